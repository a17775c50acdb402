#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qvr {

// The files a user folder holds: the six profile record files, "str.ini", the
// six profile settings files and "record.ini". "config.bin" and "Skins/" stay
// in the factory folder.
std::vector<std::string> userFileNames();

// What preparing the user folder did or could not do, for the messages the
// window shows once.
struct UserFolderReport {
    std::vector<std::string> copied; // names copied from the factory folder
    // Profiles taken over from an earlier build's executable folder.
    std::filesystem::path migratedFrom;
    // The profile list was rebuilt from the profile files; damagedCopy is
    // where the unusable list was kept (empty when it was missing).
    bool listRebuilt = false;
    std::filesystem::path damagedCopy;
    // One line per path that could not be used: folder, file, link.
    std::vector<std::string> problems;
};

// Brings the user folder to a usable state without ever replacing an
// existing entry:
// - creates it (mode 0700) when missing, first taking over a full set of
//   profile files from earlierFolder (an earlier build kept them beside the
//   executable) when any of them differs from the factory's;
// - finishes a change of a profile's files that was cut short (the file
//   journal), then a profile delete that was, and stops there when it
//   cannot;
// - rebuilds a missing or unusable "str.ini" from the "config<n>.bin" files
//   that exist, keeping the old one aside as "str.ini.damaged";
// - copies every user file that has no directory entry at all from the
//   factory folder; in a folder made by this call (and not filled from an
//   earlier one) the profile settings files get "Lan" = languageCode, the
//   language of the user's locale, unless that is empty.
// Rebuilds a missing or unusable "str.ini" as prepareUserFolder does, into
// report.
void repairProfileList(const std::filesystem::path& userFolder,
                       const std::filesystem::path& factoryFolder, UserFolderReport& report);

UserFolderReport prepareUserFolder(const std::filesystem::path& userFolder,
                                   const std::filesystem::path& factoryFolder,
                                   const std::filesystem::path& earlierFolder = {},
                                   std::string_view languageCode = {});

} // namespace qvr
