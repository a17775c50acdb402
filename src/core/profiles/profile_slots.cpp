#include "core/profiles/profile_slots.h"

#include "core/files/file_system.h"
#include "core/files/ini_file.h"
#include "core/profiles/factory_files.h"
#include "core/profiles/profile_files.h"
#include "core/profiles/profile_list.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace qvr {

namespace fs = std::filesystem;

namespace {

// Profile files are small; a larger one is not a profile and is not copied.
constexpr std::uintmax_t kMaxCopiedFile = 1 << 20;

FileWriteResult failed(int code, const std::string& what) {
    return {code != 0 ? code : EIO, what + ": " + std::strerror(code != 0 ? code : EIO)};
}

bool present(const fs::path& path) {
    return fileSystem().entryKind(path) != EntryKind::Missing;
}

std::optional<std::vector<std::uint8_t>> readSmallFile(const fs::path& path) {
    FileRead read = fileSystem().readFile(path, kMaxCopiedFile);
    if (!read.ok())
        return std::nullopt;
    return std::move(read.bytes);
}

std::vector<std::uint8_t> factoryFile(const std::string& name) {
    for (FactoryFile& file : factoryFiles()) {
        if (file.name == name)
            return std::move(file.bytes);
    }
    return {};
}

} // namespace

ProfileSlots::ProfileSlots(fs::path folder, SlotFault fault)
    : folder_(std::move(folder)), fault_(std::move(fault)) {}

fs::path ProfileSlots::recordPath(int position) const {
    return folder_ / profileRecordFileName(position);
}

fs::path ProfileSlots::settingsPath(int position) const {
    return folder_ / profileSettingsFileName(position);
}

fs::path ProfileSlots::listPath() const {
    return folder_ / std::string(kGlobalSettingsFileName);
}

FileWriteResult ProfileSlots::write(const fs::path& path, std::span<const std::uint8_t> bytes) {
    if (const int code = fault_ ? fault_({SlotStep::Kind::Write, path}) : 0)
        return failed(code, "cannot write " + path.string());
    return writeFileAtomically(path, bytes);
}

FileWriteResult ProfileSlots::remove(const fs::path& path) {
    if (const int code = fault_ ? fault_({SlotStep::Kind::Remove, path}) : 0)
        return failed(code, "cannot remove " + path.string());
    const int code = fileSystem().removeEntry(path);
    return code != 0 ? failed(code, "cannot remove " + path.string()) : FileWriteResult{};
}

FileWriteResult ProfileSlots::rename(const fs::path& from, const fs::path& to) {
    if (const int code = fault_ ? fault_({SlotStep::Kind::Rename, from}) : 0)
        return failed(code, "cannot rename " + from.string());
    const int code = fileSystem().renameEntry(from, to);
    return code != 0 ? failed(code, "cannot rename " + from.string()) : FileWriteResult{};
}

FileWriteResult ProfileSlots::copyProfile(int from, int to) {
    auto record = readSmallFile(recordPath(from));
    if (!record)
        record = factoryFile(profileRecordFileName(0));
    if (FileWriteResult result = write(recordPath(to), *record); !result.ok())
        return result;
    // A missing settings file reads as empty labels; so does an empty one.
    const auto settings = readSmallFile(settingsPath(from)).value_or(std::vector<std::uint8_t>{});
    return write(settingsPath(to), settings);
}

FileWriteResult ProfileSlots::createProfile(int to, int lookFrom) {
    using namespace settings_keys;
    const auto record = factoryFile(profileRecordFileName(0));
    if (FileWriteResult result = write(recordPath(to), record); !result.ok())
        return result;
    IniFile settings = IniFile::fromBytes(factoryFile(profileSettingsFileName(0)));
    const IniLoadResult look = loadIniFile(settingsPath(lookFrom));
    if (look.status == IniLoadStatus::Loaded) {
        for (std::string_view key : {kPath, kRColor, kGColor, kBColor, kLan}) {
            if (const auto value = look.file.findRaw(kSkinsSection, key))
                settings.setValue(kSkinsSection, key, *value);
        }
    }
    return write(settingsPath(to), settings.toBytes());
}

FileWriteResult ProfileSlots::writeListFile(const std::vector<std::string>& names,
                                            const std::string& currentName,
                                            std::optional<PendingDelete> pending) {
    using namespace settings_keys;
    IniLoadResult loaded = loadIniFile(listPath());
    if (loaded.status == IniLoadStatus::Failed)
        return failed(loaded.errorCode, "cannot read " + listPath().string());
    IniFile& file = loaded.file;
    file.removeSection(kProfileSection);
    bool accepted = file.setValue(kProfileSection, kCurProfileName, currentName);
    if (!names.empty()) {
        accepted =
            accepted && file.setValue(kProfileSection, kItemCount, std::to_string(names.size()));
        for (std::size_t i = 0; accepted && i < names.size(); ++i)
            accepted = file.setValue(kProfileSection, itemKey(static_cast<int>(i)), names[i]);
    }
    if (accepted && pending) {
        accepted =
            file.setValue(kProfileSection, kPendingDelete, std::to_string(pending->position)) &&
            file.setValue(kProfileSection, kPendingDeleteDone, std::to_string(pending->done));
    }
    if (!accepted)
        return {EINVAL, "a profile name holds text an INI line cannot store"};
    return write(listPath(), file.toBytes());
}

FileWriteResult ProfileSlots::writeList(const std::vector<std::string>& names,
                                        const std::string& currentName) {
    return writeListFile(names, currentName, std::nullopt);
}

FileWriteResult ProfileSlots::fillGaps(int first, int last) {
    for (int position = first; position <= last; ++position) {
        if (!present(recordPath(position))) {
            if (auto result = write(recordPath(position), factoryFile(profileRecordFileName(0)));
                !result.ok())
                return result;
        }
        if (!present(settingsPath(position))) {
            if (auto result = write(settingsPath(position), {}); !result.ok())
                return result;
        }
    }
    return {};
}

// The record file of position goes and the later ones move down one place,
// then the same for the settings files.
std::vector<ProfileSlots::DeleteStep> ProfileSlots::deleteSteps(int position, int count) const {
    std::vector<DeleteStep> steps;
    for (auto file : {&ProfileSlots::recordPath, &ProfileSlots::settingsPath}) {
        steps.push_back({(this->*file)(position), {}});
        for (int k = position + 1; k < count; ++k)
            steps.push_back({(this->*file)(k), (this->*file)(k - 1)});
    }
    return steps;
}

// Every position of position..count-1 has both files until the delete
// starts; after that, the one position lacking a file of a kind tells how
// far that kind got, and a kind is begun only when the one before it is done.
std::optional<int> ProfileSlots::progressFromGaps(int position, int count) const {
    int done = 0;
    bool stopped = false;
    for (auto file : {&ProfileSlots::recordPath, &ProfileSlots::settingsPath}) {
        std::vector<int> gaps;
        for (int k = position; k < count; ++k) {
            if (!present((this->*file)(k)))
                gaps.push_back(k);
        }
        if (gaps.size() > 1 || (stopped && !gaps.empty()))
            return std::nullopt;
        if (stopped)
            continue;
        if (gaps.empty()) {
            stopped = true;
            continue;
        }
        // The removal, then the renames into position..gap-1.
        done += 1 + gaps.front() - position;
        stopped = gaps.front() != count - 1;
    }
    return done;
}

// A change made before an interruption that the note did not count yet is
// not made again: its file is gone, or already where it was going.
FileWriteResult ProfileSlots::take(const DeleteStep& step) {
    if (present(step.from))
        return step.to.empty() ? remove(step.from) : rename(step.from, step.to);
    if (step.to.empty() || present(step.to))
        return {};
    return {EINVAL, step.from.string() + " went missing while a profile was being deleted"};
}

FileWriteResult ProfileSlots::deleteProfile(const std::vector<std::string>& names, int position,
                                            const std::string& currentName) {
    const int count = static_cast<int>(names.size());
    if (position < 0 || position >= count)
        return {EINVAL, "no profile at that position"};
    if (FileWriteResult result = fillGaps(position, count - 1); !result.ok())
        return result;
    if (FileWriteResult result = writeListFile(names, currentName, PendingDelete{position, 0});
        !result.ok())
        return result;
    return resumePendingDelete();
}

FileWriteResult ProfileSlots::resumePendingDelete() {
    using namespace settings_keys;
    const IniLoadResult loaded = loadIniFile(listPath());
    if (loaded.status != IniLoadStatus::Loaded)
        return {};
    const auto pending = loaded.file.find(kProfileSection, kPendingDelete);
    if (!pending)
        return {};
    ProfileList list = readProfileList(listPath());
    const int count = static_cast<int>(list.names.size());
    const int position = parseProfileInt(*pending);
    if (position < 0 || position >= count)
        return writeList(list.names, list.currentName); // a note that names nothing
    const std::vector<DeleteStep> steps = deleteSteps(position, count);
    std::optional<int> done;
    if (const auto counted = loaded.file.find(kProfileSection, kPendingDeleteDone)) {
        done = parseProfileInt(*counted);
    } else if ((done = progressFromGaps(position, count))) {
        // Counted from now on, whatever fills the gaps later.
        if (FileWriteResult result =
                writeListFile(list.names, list.currentName, PendingDelete{position, *done});
            !result.ok())
            return result;
    }
    if (!done || *done < 0 || *done > static_cast<int>(steps.size()))
        return {EINVAL, "the profile files in " + folder_.string() +
                            " were changed while a profile was being deleted"};
    for (int i = *done; i < static_cast<int>(steps.size()); ++i) {
        if (FileWriteResult result = take(steps[static_cast<std::size_t>(i)]); !result.ok())
            return result;
        if (FileWriteResult result =
                writeListFile(list.names, list.currentName, PendingDelete{position, i + 1});
            !result.ok())
            return result;
    }
    list.names.erase(list.names.begin() + position);
    return writeList(list.names, list.currentName);
}

} // namespace qvr
