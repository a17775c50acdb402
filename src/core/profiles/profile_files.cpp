#include "core/profiles/profile_files.h"

#include "core/files/file_journal.h"
#include "core/files/file_system.h"
#include "core/files/ini_file.h"
#include "core/files/private_profile.h"
#include "core/macros/macro_editing.h"
#include "core/macros/macro_store.h"
#include "core/profiles/factory_files.h"
#include "core/profiles/profile_list.h"
#include "core/profiles/profile_record_file.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <system_error>

namespace qvr {

namespace fs = std::filesystem;

namespace {

std::string replaceAll(std::string text, std::string_view from, std::string_view to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

// The files the program itself keeps in its folder. Compared ignoring case, as
// the folder may live on a file system that does.
bool isProgramOwnFile(std::string_view fileName) {
    if (equalsIgnoringAsciiCase(fileName, kDefaultRecordFileName) ||
        equalsIgnoringAsciiCase(fileName, kGlobalSettingsFileName) ||
        equalsIgnoringAsciiCase(fileName, kMacroStoreFileName)) {
        return true;
    }
    for (int index = 0; index < kProfileCount; ++index) {
        if (equalsIgnoringAsciiCase(fileName, profileRecordFileName(index)) ||
            equalsIgnoringAsciiCase(fileName, profileSettingsFileName(index))) {
            return true;
        }
    }
    return false;
}

// A message text with its "%1" and "%2" filled in.
std::string fillIn(std::string_view text, const std::string& first,
                   const std::string& second = {}) {
    std::string result(text);
    for (const auto& [mark, value] : {std::pair{"%1", &first}, std::pair{"%2", &second}}) {
        if (const auto at = result.find(mark); at != std::string::npos)
            result.replace(at, 2, *value);
    }
    return result;
}

bool sameFolder(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    return fs::weakly_canonical(a, ec) == fs::weakly_canonical(b, ec);
}

IniFile readIniOrEmpty(const fs::path& path) {
    IniLoadResult loaded = loadIniFile(path);
    return loaded.status == IniLoadStatus::Loaded ? std::move(loaded.file) : IniFile{};
}

} // namespace

std::string profileRecordFileName(int index) {
    return "config" + std::to_string(index) + ".bin";
}

std::string profileSettingsFileName(int index) {
    return "str" + std::to_string(index) + ".ini";
}

std::string settings_keys::itemKey(int number) {
    return "Item" + std::to_string(number);
}

std::string writeErrorMessage(const FileWriteResult& failure) {
    return "Error Code is: " + std::to_string(failure.errorCode) + " \n" + failure.message;
}

FileWriteResult fileWriteFailure(const fs::path& file, int errorCode) {
    return {errorCode, file.string() + ": " + std::strerror(errorCode)};
}

int parseProfileInt(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            break;
        }
        value = std::min<long long>(value * 10 + (c - '0'), static_cast<long long>(INT_MAX) + 1);
    }
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::optional<MacroTableNames> readMacroTableNames(const IniFile& settings) {
    using namespace settings_keys;
    if (!settings.hasSection(kMacroTableSection)) {
        return std::nullopt;
    }
    const int count =
        std::clamp(parseProfileInt(settings.value(kMacroTableSection, kItemCount)), 0, kMacroCount);
    MacroTableNames names;
    for (int position = 0; position < count; ++position) {
        names.push_back(settings.value(kMacroTableSection, itemKey(position)));
    }
    return names;
}

bool putMacroTableNames(IniFile& settings, const MacroTableNames& names) {
    using namespace settings_keys;
    IniFile edited = settings;
    edited.removeSection(kMacroTableSection);
    const auto count = std::min<std::size_t>(names.size(), kMacroCount);
    if (!edited.setValue(kMacroTableSection, kItemCount, std::to_string(count))) {
        return false;
    }
    for (std::size_t position = 0; position < count; ++position) {
        if (!edited.setValue(kMacroTableSection, itemKey(static_cast<int>(position)),
                             names[position])) {
            return false;
        }
    }
    settings = std::move(edited);
    return true;
}

MacroTableNames guessMacroTableNames(const fs::path& macroStore) {
    MacroTableNames names = MacroStore(macroStore).names();
    names.resize(std::min<std::size_t>(names.size(), kMacroCount));
    return names;
}

PointerChanges readPointerChanges(const IniFile& settings) {
    using namespace settings_keys;
    const auto flag = [&](std::string_view key) {
        return parseProfileInt(settings.value(kDesktopPointerSection, key)) == 1;
    };
    return {flag(kSpeedChanged), flag(kDoubleClickChanged), flag(kScrollLinesChanged),
            flag(kPrecisionChanged)};
}

void putPointerChanges(IniFile& settings, const PointerChanges& changes) {
    using namespace settings_keys;
    const auto put = [&](std::string_view key, bool on) {
        settings.setValue(kDesktopPointerSection, key, on ? "1" : "0");
    };
    put(kSpeedChanged, changes.speed);
    put(kDoubleClickChanged, changes.doubleClick);
    put(kScrollLinesChanged, changes.scrollLines);
    put(kPrecisionChanged, changes.precision);
}

ProfileFiles::ProfileFiles(fs::path userFolder, MessageSink& messages, fs::path factoryFolder)
    : userFolder_(std::move(userFolder)),
      factoryFolder_(factoryFolder.empty() ? userFolder_ : std::move(factoryFolder)),
      messages_(messages) {
    macroStorePath_ = inUserFolder(kMacroStoreFileName);
    globalSettingsPath_ = inUserFolder(kGlobalSettingsFileName);
    formCurrentProfilePaths();
}

fs::path ProfileFiles::inUserFolder(std::string_view fileName) const {
    return userFolder_ / fs::path(std::string(fileName));
}

void ProfileFiles::formCurrentProfilePaths() {
    recordFilePath_ = inUserFolder(profileRecordFileName(currentProfileIndex_));
    settingsFilePath_ = inUserFolder(profileSettingsFileName(currentProfileIndex_));
}

bool ProfileFiles::setCurrentProfileIndex(int index) {
    if (index < 0 || index >= kProfileCount) {
        return false;
    }
    currentProfileIndex_ = index;
    return true;
}

void ProfileFiles::reportMissingRecordFile() {
    messages_.showMessage(std::string(kFileMissingMessage), kApplicationTitle);
}

void ProfileFiles::reportWriteError(const FileWriteResult& failure) {
    messages_.showMessage(writeErrorMessage(failure), std::string(kWriteErrorCaption));
}

bool ProfileFiles::writeRecordFile(const fs::path& path, const ConfigRecord& record) {
    const auto image = recordFileImage(record, 1);
    const FileWriteResult result = writeFileAtomically(path, image, writeFault_);
    if (!result.ok()) {
        reportWriteError(fileWriteFailure(path, result.errorCode));
    }
    return result.ok();
}

// Returns false when the list is unusable ("ItemCount" missing, 0 or above 6).
bool ProfileFiles::selectProfileFromList() {
    const ProfileList list = readProfileList(globalSettingsPath_);
    // A delete the start could not finish has files half moved: any of them
    // could hold another profile's settings, and a Save would overwrite them.
    // So may a change of a profile's files that cannot be finished now.
    if (list.names.empty() || list.pendingDelete ||
        (fileJournalPending(userFolder_) && !finishFileJournal(userFolder_).ok())) {
        return false;
    }
    // The last position holding the name wins; no match keeps the index.
    for (std::size_t i = 0; i < list.names.size(); ++i) {
        if (list.names[i] == list.currentName) {
            currentProfileIndex_ = static_cast<int>(i);
        }
    }
    if (currentProfileIndex_ >= static_cast<int>(list.names.size())) {
        currentProfileIndex_ = 0;
    }
    return true;
}

bool ProfileFiles::loadProfileFiles(RecordState& state) {
    macroStorePath_ = inUserFolder(kMacroStoreFileName);
    globalSettingsPath_ = inUserFolder(kGlobalSettingsFileName);
    if (defaultLoadMode_) {
        // The defaults are the factory's, never a file the user could change.
        recordFilePath_ = factoryFolder_ / std::string(kDefaultRecordFileName);
        settingsFilePath_ = factoryFolder_ / profileSettingsFileName(0);
    } else {
        const bool listUsable = selectProfileFromList();
        // With an unusable profile list nothing is loaded, but the paths still
        // name the current profile's files (profile 0 unless an earlier load
        // chose another), so a later label write lands in that profile's
        // settings file and never on a half-formed path.
        formCurrentProfilePaths();
        if (!listUsable) {
            return false;
        }
    }

    return readIntoRecord(state);
}

bool ProfileFiles::loadProfileAt(int index, RecordState& state) {
    if (!setCurrentProfileIndex(index)) {
        return false;
    }
    formCurrentProfilePaths();
    return readIntoRecord(state);
}

bool ProfileFiles::readIntoRecord(RecordState& state) {
    RecordFileRead read = readRecordFile(recordFilePath_);
    if (!defaultLoadMode_ &&
        (read.status == RecordFileStatus::Missing || read.status == RecordFileStatus::WrongSize)) {
        read = startFromFactory(read.status);
    }
    switch (read.status) {
    case RecordFileStatus::Missing:
    case RecordFileStatus::Unreadable:
        reportMissingRecordFile();
        return false;
    case RecordFileStatus::WrongSize:
        return false;
    case RecordFileStatus::Loaded:
        break;
    }
    if (defaultLoadMode_) {
        // Reset takes only the settings part, so the user's macros survive
        // it; the first-run flag belongs to the profile's own file.
        std::copy_n(read.recordBytes.begin(), kSettingsPartSize, recordBytes(state.record).begin());
        // Defaults leave the desktop's pointer settings as the user has them.
        state.pointerChanges = PointerChanges{};
        return true;
    }
    state.firstRunFlag = read.firstRunFlag;
    const IniFile settings = readIniOrEmpty(settingsFilePath_);
    state.pointerChanges = readPointerChanges(settings);
    state.macroTableNames = readMacroTableNames(settings);
    std::copy_n(read.recordBytes.begin(), kRecordSize, recordBytes(state.record).begin());
    state.loaded = true;
    return true;
}

// Saving a record that was never loaded would write zeros over the profile:
// the profile starts from the factory record instead, the damaged file kept.
RecordFileRead ProfileFiles::startFromFactory(RecordFileStatus found) {
    const Language language = languageFromCode(readLanguageCode());
    const ProfileFileTexts& texts = profileFileTexts(language);
    const std::string name = recordFilePath_.string();
    std::string notice = fillIn(texts.missingFile, name);
    if (found == RecordFileStatus::WrongSize) {
        fs::path aside = recordFilePath_;
        aside += ".damaged";
        if (const int error = fileSystem().renameEntry(recordFilePath_, aside); error != 0) {
            // Kept where it is: the factory record stays in memory only.
            reportWriteError(fileWriteFailure(recordFilePath_, error));
            RecordFileRead factory = decodeRecordFile(recordFileImage(factoryRecord(), 0));
            return factory;
        }
        notice = fillIn(texts.damagedFile, name, aside.string());
    }
    const auto image = recordFileImage(factoryRecord(), 0);
    const FileWriteResult written = writeFileAtomically(recordFilePath_, image, writeFault_);
    if (!written.ok()) {
        reportWriteError(fileWriteFailure(recordFilePath_, written.errorCode));
    }
    messages_.showMessage(notice, kApplicationTitle);
    return decodeRecordFile(image);
}

void ProfileFiles::readProfileSettings() {
    using namespace settings_keys;
    const IniFile settings = readIniOrEmpty(settingsFilePath_);
    for (int i = 0; i < kButtonCount; ++i) {
        labels_[static_cast<std::size_t>(i)] = settings.value(labelSection(), itemKey(i + 1));
    }
    skinStrings_.red = settings.value(kSkinsSection, kRColor);
    skinStrings_.green = settings.value(kSkinsSection, kGColor);
    skinStrings_.blue = settings.value(kSkinsSection, kBColor);
    skinStrings_.path = settings.value(kSkinsSection, kPath);
    for (std::size_t i = 0; i < kPointKeys.size(); ++i) {
        pointStrings_[i] = settings.value(kPointSection, kPointKeys[i]);
    }
}

bool ProfileFiles::labelsMatchFile() const {
    const IniFile settings = readIniOrEmpty(settingsFilePath_);
    for (int i = 0; i < kButtonCount; ++i) {
        if (labels_[static_cast<std::size_t>(i)] !=
            settings.value(labelSection(), settings_keys::itemKey(i + 1))) {
            return false;
        }
    }
    return true;
}

void ProfileFiles::readButtonLabels() {
    const IniFile settings = readIniOrEmpty(settingsFilePath_);
    for (int i = 0; i < kButtonCount; ++i) {
        labels_[static_cast<std::size_t>(i)] =
            settings.value(labelSection(), settings_keys::itemKey(i + 1));
    }
}

bool ProfileFiles::writeButtonLabels(const std::optional<MacroTableNames>& macroNames) {
    IniLoadResult loaded = loadIniFile(settingsFilePath_);
    if (loaded.status == IniLoadStatus::Failed) {
        // A file that cannot be read is never replaced: its other sections
        // would be lost.
        reportWriteError(fileWriteFailure(settingsFilePath_, loaded.errorCode));
        return false;
    }
    IniFile& file = loaded.file;
    const auto before = file.toBytes();
    for (int i = 0; i < kButtonCount; ++i) {
        if (!file.setValue(labelSection(), settings_keys::itemKey(i + 1),
                           labels_[static_cast<std::size_t>(i)])) {
            // A label with a line break in it.
            reportWriteError(fileWriteFailure(settingsFilePath_, EINVAL));
            return false;
        }
    }
    // Written only as a whole: the section must stay unchanged or describe
    // the table.
    if (macroNames && readMacroTableNames(file) != *macroNames &&
        !putMacroTableNames(file, *macroNames)) {
        reportWriteError(fileWriteFailure(settingsFilePath_, EINVAL));
        return false;
    }
    if (loaded.status == IniLoadStatus::Loaded && file.toBytes() == before) {
        return true;
    }
    const FileWriteResult result = saveIniFile(settingsFilePath_, file, writeFault_);
    if (!result.ok()) {
        reportWriteError(fileWriteFailure(settingsFilePath_, result.errorCode));
    }
    return result.ok();
}

bool ProfileFiles::writePointerChanges(const PointerChanges& changes) {
    IniLoadResult loaded = loadIniFile(settingsFilePath_);
    if (loaded.status == IniLoadStatus::Failed) {
        reportWriteError(fileWriteFailure(settingsFilePath_, loaded.errorCode));
        return false;
    }
    IniFile& file = loaded.file;
    if (!changes.any() && !file.hasSection(settings_keys::kDesktopPointerSection)) {
        return true;
    }
    if (loaded.status == IniLoadStatus::Loaded && readPointerChanges(file) == changes &&
        file.hasSection(settings_keys::kDesktopPointerSection)) {
        return true;
    }
    putPointerChanges(file, changes);
    const FileWriteResult result = saveIniFile(settingsFilePath_, file, writeFault_);
    if (!result.ok()) {
        reportWriteError(fileWriteFailure(settingsFilePath_, result.errorCode));
    }
    return result.ok();
}

bool ProfileFiles::saveProfileRecord(const ConfigRecord& record) {
    formCurrentProfilePaths();
    std::error_code ec;
    if (!fs::exists(recordFilePath_, ec)) {
        reportMissingRecordFile();
        return false;
    }
    return writeRecordFile(recordFilePath_, record);
}

bool ProfileFiles::saveProfile(const ConfigRecord& record, const PointerChanges& changes,
                               const std::optional<MacroTableNames>& macroNames) {
    formCurrentProfilePaths();
    std::error_code ec;
    if (!fs::exists(recordFilePath_, ec)) {
        reportMissingRecordFile();
        return false;
    }
    IniLoadResult loaded = loadIniFile(settingsFilePath_);
    if (loaded.status == IniLoadStatus::Failed) {
        // Its other sections would be lost.
        reportWriteError(fileWriteFailure(settingsFilePath_, loaded.errorCode));
        return false;
    }
    IniFile& settings = loaded.file;
    const auto before = settings.toBytes();
    for (int i = 0; i < kButtonCount; ++i) {
        if (!settings.setValue(labelSection(), settings_keys::itemKey(i + 1),
                               labels_[static_cast<std::size_t>(i)])) {
            reportWriteError(fileWriteFailure(settingsFilePath_, EINVAL));
            return false;
        }
    }
    if (macroNames && readMacroTableNames(settings) != *macroNames &&
        !putMacroTableNames(settings, *macroNames)) {
        reportWriteError(fileWriteFailure(settingsFilePath_, EINVAL));
        return false;
    }
    // A file without the section is left without it while nothing changed.
    if (changes.any() || settings.hasSection(settings_keys::kDesktopPointerSection)) {
        putPointerChanges(settings, changes);
    }
    const auto image = recordFileImage(record, 1);
    std::vector<FileChange> files{
        {recordFilePath_.filename().string(), {image.begin(), image.end()}}};
    if (loaded.status != IniLoadStatus::Loaded || settings.toBytes() != before) {
        files.push_back({settingsFilePath_.filename().string(), settings.toBytes()});
    }
    const FileWriteResult result = replaceFilesTogether(userFolder_, files, writeFault_);
    if (!result.ok()) {
        reportWriteError(fileWriteFailure(recordFilePath_, result.errorCode));
    }
    return result.ok();
}

bool ProfileFiles::importProfile(const fs::path& chosenPath, RecordState& state) {
    if (chosenPath.filename().string().find(".bin") == std::string::npos) {
        return false;
    }
    bool imported = false;
    recordFilePath_ = chosenPath;
    const RecordFileRead read = readRecordFile(recordFilePath_);
    if (read.status == RecordFileStatus::Missing || read.status == RecordFileStatus::Unreadable) {
        reportMissingRecordFile();
    } else {
        if (read.status == RecordFileStatus::Loaded) {
            state.firstRunFlag = read.firstRunFlag;
            std::copy(read.recordBytes.begin(), read.recordBytes.end(),
                      recordBytes(state.record).begin());
            state.loaded = true;
        }
        settingsFilePath_ = replaceAll(chosenPath.string(), ".bin", ".ini");
        readProfileSettings();
        if (read.status == RecordFileStatus::Loaded) {
            const IniFile settings = readIniOrEmpty(settingsFilePath_);
            state.pointerChanges = readPointerChanges(settings);
            state.macroTableNames = readMacroTableNames(settings);
        }
        imported = true;
    }
    // The imported values stay in memory only; every later write goes to the
    // current profile's own files again.
    macroStorePath_ = inUserFolder(kMacroStoreFileName);
    globalSettingsPath_ = inUserFolder(kGlobalSettingsFileName);
    formCurrentProfilePaths();
    return imported;
}

ProfileFiles::ExportPaths ProfileFiles::exportPaths(const fs::path& chosenPath) {
    std::string fileName = chosenPath.filename().string();
    std::string fullPath = chosenPath.string();
    // Whether ".bin" is missing is judged on the file name alone: a folder
    // such as "a.bin.d" must not leave the file without its extension.
    if (!fileName.empty() && fileName.find(".bin") == std::string::npos) {
        fullPath += ".bin";
    }
    return {fullPath, replaceAll(fullPath, ".bin", ".ini")};
}

// In a folder others can write to, a link may have been planted to make the
// export overwrite a file of the user's choosing elsewhere.
bool ProfileFiles::refusesLinkIn(const fs::path& path) {
    if (fileSystem().entryKind(path) != EntryKind::Link ||
        fileSystem().folderTrust(path.parent_path()) == FolderTrust::Private) {
        return false;
    }
    messages_.showMessage(fillIn(profileFileTexts(language_).linkRefused, path.string()),
                          kApplicationTitle);
    return true;
}

void ProfileFiles::exportProfile(const fs::path& chosenPath, const ConfigRecord& record,
                                 const std::optional<MacroTableNames>& macroNames) {
    if (chosenPath.filename().empty()) {
        return;
    }
    const ExportPaths paths = exportPaths(chosenPath);
    const std::string fileName = paths.record.filename().string();
    const std::string settingsCopyName = replaceAll(fileName, ".bin", ".ini");
    // Every target is checked before the first write: the chosen file and
    // its twin may lie in the user or factory folder, and the second copy
    // always lies in the user folder.
    const auto ownFile = [this](const fs::path& target) {
        return isProgramOwnFile(target.filename().string()) &&
               (sameFolder(target.parent_path(), userFolder_) ||
                sameFolder(target.parent_path(), factoryFolder_));
    };
    for (const fs::path& target :
         {paths.record, paths.settings, inUserFolder(fileName), inUserFolder(settingsCopyName)}) {
        if (ownFile(target)) {
            messages_.showMessage(
                fillIn(profileFileTexts(language_).exportRefused, target.string()),
                kApplicationTitle);
            return;
        }
    }
    if (refusesLinkIn(paths.record) || refusesLinkIn(paths.settings)) {
        return;
    }
    settingsFilePath_ = paths.settings;
    writeButtonLabels(macroNames);
    recordFilePath_ = paths.record;
    writeRecordFile(recordFilePath_, record);

    settingsFilePath_ = inUserFolder(settingsCopyName);
    writeButtonLabels(macroNames);
    recordFilePath_ = inUserFolder(fileName);
    writeRecordFile(recordFilePath_, record);
    settingsFilePath_ = inUserFolder(profileSettingsFileName(currentProfileIndex_));
}

void ProfileFiles::exportSavedProfile(const fs::path& chosenPath, int index) {
    const RecordFileRead read = readRecordFile(inUserFolder(profileRecordFileName(index)));
    if (read.status != RecordFileStatus::Loaded) {
        reportMissingRecordFile();
        return;
    }
    ConfigRecord record{};
    std::copy(read.recordBytes.begin(), read.recordBytes.end(), recordBytes(record).begin());
    const IniFile settings = readIniOrEmpty(inUserFolder(profileSettingsFileName(index)));
    const ButtonLabels windowLabels = labels_;
    for (int i = 0; i < kButtonCount; ++i) {
        labels_[static_cast<std::size_t>(i)] =
            settings.value(labelSection(), settings_keys::itemKey(i + 1));
    }
    // A profile saved before its table's names were kept gets them guessed,
    // as its load would.
    exportProfile(chosenPath, record,
                  readMacroTableNames(settings).value_or(
                      guessMacroTableNames(inUserFolder(kMacroStoreFileName))));
    labels_ = windowLabels;
}

void ProfileFiles::resetToDefaults(RecordState& state) {
    const std::uint8_t keptActiveProfile = state.record.activeProfile;
    defaultLoadMode_ = true;
    loadProfileFiles(state);
    readProfileSettings();
    state.record.activeProfile = keptActiveProfile;
    defaultLoadMode_ = false;
    // Without the mouse nothing saves the defaults; pointing the paths back at
    // the current profile keeps any later label write out of the global
    // defaults in "str.ini".
    formCurrentProfilePaths();
}

std::string ProfileFiles::readLanguageCode() const {
    return readProfileString(settingsFilePath_, settings_keys::kSkinsSection, settings_keys::kLan);
}

FileWriteResult writeLanguageToProfiles(const fs::path& userFolder, std::string_view code,
                                        const AtomicWriteFault& fault) {
    struct Change {
        fs::path target;    // the file itself, a link followed
        fs::path temporary; // the new text, beside it
        std::vector<std::uint8_t> before;
    };
    std::vector<Change> changes;
    const auto undo = [&changes](std::size_t renamed) {
        for (std::size_t i = 0; i < changes.size(); ++i) {
            if (i < renamed) {
                fileSystem().replaceFile(changes[i].target, changes[i].before, {});
            } else {
                fileSystem().removeEntry(changes[i].temporary);
            }
        }
    };
    const auto faultAt = [&fault](AtomicWriteStage stage) { return fault ? fault(stage) : 0; };

    for (int index = 0; index < kProfileCount; ++index) {
        const fs::path path = userFolder / profileSettingsFileName(index);
        if (fileSystem().entryKind(path) == EntryKind::Missing) {
            continue;
        }
        IniLoadResult loaded = loadIniFile(path);
        if (loaded.status != IniLoadStatus::Loaded) {
            undo(0);
            return fileWriteFailure(path, loaded.errorCode != 0 ? loaded.errorCode : EINVAL);
        }
        const std::vector<std::uint8_t> before = loaded.file.toBytes();
        loaded.file.setValue(settings_keys::kSkinsSection, settings_keys::kLan, code);
        const std::vector<std::uint8_t> after = loaded.file.toBytes();
        if (after == before) {
            continue;
        }
        std::error_code ec;
        const fs::path target = fs::is_symlink(path, ec) ? fs::canonical(path, ec) : path;
        if (ec) {
            undo(0);
            return fileWriteFailure(path, ec.value());
        }
        if (!mayReplaceFile(target)) {
            undo(0);
            return fileWriteFailure(target, EACCES);
        }
        fs::path temporary = target;
        temporary += ".lan-new";
        fileSystem().removeEntry(temporary); // left by a change cut short
        int error = faultAt(AtomicWriteStage::CreateTemporary);
        if (error == 0) {
            error = fileSystem().createFile(temporary, after).errorCode;
        }
        if (error != 0) {
            undo(0);
            return fileWriteFailure(temporary, error);
        }
        fs::permissions(temporary, fs::status(target, ec).permissions(), ec);
        changes.push_back({target, temporary, before});
    }
    for (std::size_t i = 0; i < changes.size(); ++i) {
        int error = faultAt(AtomicWriteStage::Rename);
        if (error == 0) {
            error = fileSystem().renameEntry(changes[i].temporary, changes[i].target);
        }
        if (error != 0) {
            // The files renamed so far get their old text back.
            undo(i);
            return fileWriteFailure(changes[i].target, error);
        }
    }
    return {};
}

std::vector<FileChange> macroRenameInProfiles(const fs::path& userFolder, std::string_view oldName,
                                              std::string_view newName) {
    std::vector<FileChange> changes;
    for (int index = 0; index < kProfileCount; ++index) {
        const std::string name = profileSettingsFileName(index);
        IniLoadResult loaded = loadIniFile(userFolder / name);
        if (loaded.status != IniLoadStatus::Loaded) {
            continue;
        }
        const std::optional<MacroTableNames> before = readMacroTableNames(loaded.file);
        if (!before) {
            continue;
        }
        MacroTableNames after = *before;
        renameInList(after, oldName, newName);
        if (after == *before || !putMacroTableNames(loaded.file, after)) {
            continue;
        }
        changes.push_back({name, loaded.file.toBytes()});
    }
    return changes;
}

} // namespace qvr
