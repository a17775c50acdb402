#include "core/profiles/user_folder.h"

#include "core/files/file_journal.h"
#include "core/files/file_system.h"
#include "core/files/ini_file.h"
#include "core/profiles/profile_files.h"
#include "core/profiles/profile_record_file.h"
#include "core/profiles/profile_slots.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

namespace qvr {

namespace fs = std::filesystem;

namespace {

// Far above any real profile or macro file; keeps a huge planted file out of
// memory.
constexpr std::uintmax_t kUserFileLimit = 16u << 20;

std::string problem(const fs::path& path, int errorCode) {
    return path.string() + ": " + std::strerror(errorCode);
}

bool isDanglingLink(const fs::path& path) {
    std::error_code ec;
    return fileSystem().entryKind(path) == EntryKind::Link && !fs::exists(path, ec);
}

// Every user file is there and at least one differs from the factory's, so
// the set holds a user's work and not just an earlier factory copy.
bool holdsEarlierWork(const fs::path& earlier, const fs::path& factory) {
    if (earlier.empty() || fs::path(earlier).lexically_normal() == factory.lexically_normal()) {
        return false;
    }
    bool differs = false;
    for (const std::string& name : userFileNames()) {
        const FileRead mine = fileSystem().readFile(earlier / name, kUserFileLimit);
        if (!mine.ok()) {
            // An earlier build had no macro store until one was recorded.
            if (name == kMacroStoreFileName && mine.errorCode == ENOENT) {
                continue;
            }
            return false;
        }
        const FileRead original = fileSystem().readFile(factory / name, kUserFileLimit);
        differs = differs || !original.ok() || original.bytes != mine.bytes;
    }
    return differs;
}

void copyMissing(const fs::path& from, const fs::path& to, const std::string& name,
                 UserFolderReport& report, std::string_view languageCode = {}) {
    FileRead source = fileSystem().readFile(from / name, kUserFileLimit);
    if (!source.ok()) {
        report.problems.push_back(problem(from / name, source.errorCode));
        return;
    }
    if (!languageCode.empty()) {
        // Parsed and written back in the factory file's own encoding and
        // line ends; only the one value differs.
        IniFile settings = IniFile::fromBytes(source.bytes);
        settings.setValue(settings_keys::kSkinsSection, settings_keys::kLan, languageCode);
        source.bytes = settings.toBytes();
    }
    const FileWriteResult written = fileSystem().createFile(to / name, source.bytes);
    if (!written.ok()) {
        report.problems.push_back(problem(to / name, written.errorCode));
        return;
    }
    report.copied.push_back(name);
}

bool listUsable(const IniLoadResult& loaded) {
    if (loaded.status != IniLoadStatus::Loaded) {
        return false;
    }
    const int count = parseProfileInt(
        loaded.file.value(settings_keys::kProfileSection, settings_keys::kItemCount));
    return count > 0 && count <= kProfileCount;
}

// The first of "str.ini.damaged", "str.ini.damaged.2", ... that is free, so
// an earlier damaged copy is never replaced.
fs::path freeDamagedName(const fs::path& list) {
    const std::string base = list.string() + ".damaged";
    fs::path candidate = base;
    for (int n = 2; fileSystem().entryKind(candidate) != EntryKind::Missing && n < 100; ++n) {
        candidate = base + "." + std::to_string(n);
    }
    return candidate;
}

// Names every profile up to the highest record file present, so that each
// file has its place in the list; the gaps are filled from the factory later.
void rebuildList(const fs::path& userFolder, const fs::path& factoryFolder,
                 const IniLoadResult& old, UserFolderReport& report) {
    using namespace settings_keys;
    int count = 0;
    for (int index = 0; index < kProfileCount; ++index) {
        if (fileSystem().entryKind(userFolder / profileRecordFileName(index)) !=
            EntryKind::Missing) {
            count = index + 1;
        }
    }
    // The skin, colours and labels of the old list survive when it could be
    // read; otherwise they come from the factory's.
    IniFile list = old.status == IniLoadStatus::Loaded
                       ? old.file
                       : loadIniFile(factoryFolder / std::string(kGlobalSettingsFileName)).file;
    list.removeSection(kProfileSection);
    const std::string base(profileManagerTexts(Language::English).profileBaseName);
    list.setValue(kProfileSection, kCurProfileName, base + "_0");
    list.setValue(kProfileSection, kItemCount, std::to_string(count));
    for (int index = 0; index < count; ++index) {
        list.setValue(kProfileSection, itemKey(index), base + "_" + std::to_string(index));
    }
    const fs::path path = userFolder / std::string(kGlobalSettingsFileName);
    const FileWriteResult written = saveIniFile(path, list);
    if (!written.ok()) {
        report.problems.push_back(problem(path, written.errorCode));
        return;
    }
    report.listRebuilt = true;
}

} // namespace

void repairProfileList(const fs::path& userFolder, const fs::path& factoryFolder,
                       UserFolderReport& report) {
    const fs::path path = userFolder / std::string(kGlobalSettingsFileName);
    const EntryKind kind = fileSystem().entryKind(path);
    if (kind == EntryKind::Missing) {
        bool anyProfile = false;
        for (int index = 0; index < kProfileCount; ++index) {
            anyProfile =
                anyProfile || fileSystem().entryKind(userFolder / profileRecordFileName(index)) !=
                                  EntryKind::Missing;
        }
        if (anyProfile) {
            rebuildList(userFolder, factoryFolder, IniLoadResult{}, report);
        }
        return;
    }
    if (isDanglingLink(path)) {
        return; // reported with the other links; its target may come back
    }
    const IniLoadResult loaded = loadIniFile(path);
    if (listUsable(loaded)) {
        return;
    }
    const fs::path aside = freeDamagedName(path);
    if (const int error = fileSystem().renameEntry(path, aside); error != 0) {
        report.problems.push_back(problem(path, error));
        return;
    }
    report.damagedCopy = aside;
    rebuildList(userFolder, factoryFolder, loaded, report);
}

std::vector<std::string> userFileNames() {
    std::vector<std::string> names;
    for (int index = 0; index < kProfileCount; ++index) {
        names.push_back(profileRecordFileName(index));
    }
    names.emplace_back(kGlobalSettingsFileName);
    for (int index = 0; index < kProfileCount; ++index) {
        names.push_back(profileSettingsFileName(index));
    }
    names.emplace_back(kMacroStoreFileName);
    return names;
}

UserFolderReport prepareUserFolder(const fs::path& userFolder, const fs::path& factoryFolder,
                                   const fs::path& earlierFolder, std::string_view languageCode) {
    UserFolderReport report;
    FileSystem& files = fileSystem();
    const EntryKind kind = files.entryKind(userFolder);
    const bool fresh = kind == EntryKind::Missing;
    if (fresh || kind == EntryKind::Folder || kind == EntryKind::Link) {
        if (const int error = files.makePrivateFolder(userFolder)) {
            report.problems.push_back(problem(userFolder, error));
            return report;
        }
    } else {
        report.problems.push_back(problem(userFolder, ENOTDIR));
        return report;
    }

    const bool takesOver = fresh && holdsEarlierWork(earlierFolder, factoryFolder);
    if (takesOver) {
        UserFolderReport taken;
        for (const std::string& name : userFileNames()) {
            if (files.entryKind(earlierFolder / name) != EntryKind::Missing) {
                copyMissing(earlierFolder, userFolder, name, taken);
            }
        }
        if (taken.problems.empty()) {
            report.migratedFrom = earlierFolder;
        } else {
            report.problems = taken.problems;
        }
    }

    // A change of files that belong together is finished first: whatever
    // comes after reads them.
    if (const FileWriteResult finished = finishFileJournal(userFolder); !finished.ok()) {
        report.problems.push_back(finished.message);
        return report;
    }

    // A delete cut short is finished before anything is copied in: a copy
    // would stand where a moved file is expected. One that cannot be
    // finished keeps the folder as it is for the next start.
    if (const FileWriteResult resumed = ProfileSlots(userFolder).resumePendingDelete();
        !resumed.ok()) {
        report.problems.push_back(resumed.message);
        return report;
    }

    repairProfileList(userFolder, factoryFolder, report);

    // The locale's language is the first start's only: a folder that
    // already existed, or took over an earlier one, keeps its own.
    const bool seedsLanguage = fresh && !takesOver && !languageCode.empty();
    std::vector<std::string> settingsFiles;
    for (int index = 0; index < kProfileCount; ++index) {
        settingsFiles.push_back(profileSettingsFileName(index));
    }
    for (const std::string& name : userFileNames()) {
        const fs::path path = userFolder / name;
        if (files.entryKind(path) == EntryKind::Missing) {
            const bool profileSettings =
                std::find(settingsFiles.begin(), settingsFiles.end(), name) != settingsFiles.end();
            copyMissing(factoryFolder, userFolder, name, report,
                        seedsLanguage && profileSettings ? languageCode : std::string_view{});
        } else if (isDanglingLink(path)) {
            report.problems.push_back(problem(path, ENOENT));
        }
    }
    return report;
}

} // namespace qvr
