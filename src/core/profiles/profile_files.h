#pragma once

#include "core/files/atomic_file.h"
#include "core/files/file_journal.h"
#include "core/files/ini_file.h"
#include "core/files/message_sink.h"
#include "core/profiles/profile_record_file.h"
#include "core/record/config_record.h"
#include "core/text/language_tables.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvr {

inline constexpr int kProfileCount = 6;

// Files of the user and factory folders.
inline constexpr std::string_view kDefaultRecordFileName = "config.bin";
inline constexpr std::string_view kGlobalSettingsFileName = "str.ini";
inline constexpr std::string_view kMacroStoreFileName = "record.ini";
std::string profileRecordFileName(int index);   // "config%d.bin"
std::string profileSettingsFileName(int index); // "str%d.ini"

// Sections and keys of the settings files.
namespace settings_keys {
inline constexpr std::string_view kProfileSection = "Profile";
inline constexpr std::string_view kCurProfileName = "CurProfileName";
inline constexpr std::string_view kItemCount = "ItemCount";
// The position a delete was moving files for, and how many of its file
// changes are done; present only while it runs.
inline constexpr std::string_view kPendingDelete = "PendingDelete";
inline constexpr std::string_view kPendingDeleteDone = "PendingDeleteDone";
inline constexpr std::string_view kSkinsSection = "Skins";
inline constexpr std::string_view kRColor = "RColor";
inline constexpr std::string_view kGColor = "GColor";
inline constexpr std::string_view kBColor = "BColor";
inline constexpr std::string_view kPath = "Path";
inline constexpr std::string_view kLan = "Lan";
inline constexpr std::string_view kPointSection = "Point";
inline constexpr std::array<std::string_view, 4> kPointKeys = {"SensitivityX_Y", "SensitivityY_Y",
                                                               "Sensitivity_Y", "MouseSpeed_Y"};
// Which desktop pointer settings the user changed (1) in this program.
inline constexpr std::string_view kDesktopPointerSection = "DesktopPointer";
inline constexpr std::string_view kSpeedChanged = "Speed";
inline constexpr std::string_view kDoubleClickChanged = "DoubleClick";
inline constexpr std::string_view kScrollLinesChanged = "ScrollLines";
inline constexpr std::string_view kPrecisionChanged = "Precision";
// The names of the macros whose images the profile's record holds:
// "ItemCount", then "Item%d" from 0 by table position. The macro store's
// order moves with every save, the table only with the macro manager's OK.
inline constexpr std::string_view kMacroTableSection = "MacroTable";
// "Item%d": profile names count from 0, button labels from 1.
std::string itemKey(int number);
} // namespace settings_keys

// Texts of the file messages.
inline constexpr std::string_view kFileMissingMessage = "Config file is not exist.";
inline constexpr std::string_view kWriteErrorCaption = "NULL ==fp ";
// "Error Code is: %d \n" with the system's error code, then what failed: the
// file and the system's description of the error.
std::string writeErrorMessage(const FileWriteResult& failure);
// A failure at file, named with the system's description of errorCode.
FileWriteResult fileWriteFailure(const std::filesystem::path& file, int errorCode);

// A whole decimal number the way the private-profile integer reader takes it:
// optional sign, then the leading digits; no digits gives 0. Clamped to int.
int parseProfileInt(std::string_view text);

// A settings file without the section changed nothing.
PointerChanges readPointerChanges(const IniFile& settings);
void putPointerChanges(IniFile& settings, const PointerChanges& changes);

// The macro names behind a macro table, by table position (at most twelve).
using MacroTableNames = std::vector<std::string>;

// nullopt when the settings file has no macro table section.
std::optional<MacroTableNames> readMacroTableNames(const IniFile& settings);
// Replaces the section. False (the file then unchanged) for a name that
// cannot be stored in an INI line.
bool putMacroTableNames(IniFile& settings, const MacroTableNames& names);
// What a profile without the section is taken to hold: the table built from
// the macro store as it is now.
MacroTableNames guessMacroTableNames(const std::filesystem::path& macroStore);

// The colour and skin-folder strings of "Skins", as text; start-up converts them.
struct SkinStrings {
    std::string red, green, blue, path;
};

// The four "Point" strings, in the order of settings_keys::kPointKeys.
using PointStrings = std::array<std::string, 4>;

using ButtonLabels = std::array<std::string, kButtonCount>;

// The profile files of the user folder and the state that says which of
// them are in use: the record file ("config%d.bin"), the settings file
// ("str%d.ini") of the current profile, the global settings file "str.ini",
// the macro store "record.ini", the button labels and the skin and point
// strings read with them.
//
// Every failure a user should hear of goes to the message sink; none of the
// operations throws or stops the program. Files that hold user data are
// always replaced whole (writeFileAtomically), so a failed write leaves the
// previous file as it was.
class ProfileFiles {
  public:
    // userFolder holds the profile files; factoryFolder the read-only
    // defaults Reset reads ("config.bin", "str0.ini"), the user folder when
    // not given.
    ProfileFiles(std::filesystem::path userFolder, MessageSink& messages,
                 std::filesystem::path factoryFolder = {});

    // Forms the paths and reads the current profile's record file into the
    // record; in default-load mode the first 220 bytes of "config.bin"
    // of the factory folder instead. Returns whether record bytes were read:
    // not with an unusable list, nor while a delete is unfinished.
    bool loadProfileFiles(RecordState& state);
    // Makes index the current profile and reads its record file, without
    // consulting the list (a switch, a reload of the profile on screen).
    bool loadProfileAt(int index, RecordState& state);
    // Reads the labels of the label section, the "Skins" and the "Point"
    // strings from the settings file now in use. Missing keys read empty.
    void readProfileSettings();
    // Writes "Item1".."Item8" of the label section into the settings file now
    // in use, creating it when needed, and with them the macro table's names
    // when given (otherwise the file's section stays as it is). Returns false
    // after reporting a failure.
    bool writeButtonLabels(const std::optional<MacroTableNames>& macroNames = std::nullopt);
    // Whether the labels in memory are those of the label section of the
    // settings file now in use, and reading them from it.
    bool labelsMatchFile() const;
    void readButtonLabels();
    // Keeps which pointer settings the user changed in the current profile's
    // settings file. A file without the section is left alone while nothing
    // changed. Returns false after reporting a failure.
    bool writePointerChanges(const PointerChanges& changes);
    // Writes the flag 1 and the record into the current profile's record
    // file, which must already exist; also points the settings path back at
    // the current profile's settings file.
    bool saveProfileRecord(const ConfigRecord& record);
    // Save: the record (flag 1), the labels, the macro table's names (when
    // given) and the pointer changes go into the current profile's files
    // together or not at all: the record's macro images and the names in
    // its settings file describe each other. The record file must already
    // exist. Returns false after reporting a failure.
    bool saveProfile(const ConfigRecord& record, const PointerChanges& changes,
                     const std::optional<MacroTableNames>& macroNames);
    // The file part of an import: chosenPath is the file the user picked.
    // Returns whether anything was read.
    bool importProfile(const std::filesystem::path& chosenPath, RecordState& state);
    // The file part of an export: the record and labels (and the macro
    // table's names, when given) go to chosenPath (with ".bin" added when its
    // name lacks it) and its ".ini" twin, and a second copy of both into the
    // user folder.
    void exportProfile(const std::filesystem::path& chosenPath, const ConfigRecord& record,
                       const std::optional<MacroTableNames>& macroNames = std::nullopt);
    // Export of another profile than the one on screen: its files as saved.
    void exportSavedProfile(const std::filesystem::path& chosenPath, int index);

    // The record and settings files an export to chosenPath writes: ".bin"
    // added when the name lacks it, and its ".ini" twin.
    struct ExportPaths {
        std::filesystem::path record, settings;
    };
    static ExportPaths exportPaths(const std::filesystem::path& chosenPath);

    // The file part of Reset: the settings part of the factory "config.bin"
    // and the labels of the factory "str0.ini", keeping the record's first byte and macro part.
    void resetToDefaults(RecordState& state);

    // "Lan" of the settings file now in use (start-up reads it once).
    std::string readLanguageCode() const;

    const std::filesystem::path& userFolder() const { return userFolder_; }
    const std::filesystem::path& factoryFolder() const { return factoryFolder_; }
    const std::filesystem::path& macroStorePath() const { return macroStorePath_; }
    const std::filesystem::path& globalSettingsPath() const { return globalSettingsPath_; }
    const std::filesystem::path& recordFilePath() const { return recordFilePath_; }
    const std::filesystem::path& settingsFilePath() const { return settingsFilePath_; }

    int currentProfileIndex() const { return currentProfileIndex_; }
    // The profile manager selects a list position before import and export.
    // Indices outside 0..5 are refused (false) and the index is kept.
    bool setCurrentProfileIndex(int index);

    bool defaultLoadMode() const { return defaultLoadMode_; }
    void setDefaultLoadMode(bool on) { defaultLoadMode_ = on; }

    Language language() const { return language_; }
    void setLanguage(Language language) { language_ = language; }
    std::string_view labelSection() const { return labelSectionName(language_); }

    ButtonLabels& labels() { return labels_; }
    const ButtonLabels& labels() const { return labels_; }
    const SkinStrings& skinStrings() const { return skinStrings_; }
    const PointStrings& pointStrings() const { return pointStrings_; }

    // Lets tests make a file write fail at a chosen step.
    void setWriteFault(AtomicWriteFault fault) { writeFault_ = std::move(fault); }

  private:
    std::filesystem::path inUserFolder(std::string_view fileName) const;
    void formCurrentProfilePaths();
    void reportMissingRecordFile();
    void reportWriteError(const FileWriteResult& failure);
    bool writeRecordFile(const std::filesystem::path& path, const ConfigRecord& record);
    bool selectProfileFromList();
    RecordFileRead startFromFactory(RecordFileStatus found);
    bool readIntoRecord(RecordState& state);
    bool refusesLinkIn(const std::filesystem::path& path);

    std::filesystem::path userFolder_;
    std::filesystem::path factoryFolder_;
    MessageSink& messages_;
    AtomicWriteFault writeFault_;

    std::filesystem::path macroStorePath_;
    std::filesystem::path globalSettingsPath_;
    std::filesystem::path recordFilePath_;
    std::filesystem::path settingsFilePath_;

    int currentProfileIndex_ = 0;
    bool defaultLoadMode_ = false;
    Language language_ = Language::English;

    ButtonLabels labels_;
    SkinStrings skinStrings_;
    PointStrings pointStrings_;
};

// Sets "Lan" of section "Skins" in the six profile settings files of the
// user folder, all or none: every new file is written beside its old one
// first, and only then are they renamed over the old ones; a failure leaves
// every file as it was. A missing file is left missing. The fault hook sees
// CreateTemporary for each file and Rename before each rename.
FileWriteResult writeLanguageToProfiles(const std::filesystem::path& userFolder,
                                        std::string_view code, const AtomicWriteFault& fault = {});

// A macro renamed in the store keeps its place in every profile's macro
// table: the new text of each profile settings file of the user folder whose
// macro table names oldName. The rename writes them together with the store
// (renameMacroSection), so no profile is left naming a macro the store no
// longer holds. A file that cannot be read is left out, never replaced.
std::vector<FileChange> macroRenameInProfiles(const std::filesystem::path& userFolder,
                                              std::string_view oldName, std::string_view newName);

} // namespace qvr
