#include "core/files/private_profile.h"

#include "core/files/ini_file.h"

#include <cerrno>
#include <cstring>

namespace qvr {
namespace {

namespace fs = std::filesystem;

IniFile readOrEmpty(const fs::path& path) {
    IniLoadResult loaded = loadIniFile(path);
    return loaded.status == IniLoadStatus::Loaded ? std::move(loaded.file) : IniFile{};
}

enum class WhenMissing { Create, LeaveAlone };

// Loads, edits and saves. edit returns whether it was accepted; an edit that
// leaves the image as it was writes nothing.
template <typename Edit>
FileWriteResult editProfile(const fs::path& path, WhenMissing whenMissing,
                            const AtomicWriteFault& fault, Edit edit) {
    IniLoadResult loaded = loadIniFile(path);
    if (loaded.status == IniLoadStatus::Failed) {
        return {loaded.errorCode,
                "cannot read " + path.string() + ": " + std::strerror(loaded.errorCode)};
    }
    if (loaded.status == IniLoadStatus::Missing && whenMissing == WhenMissing::LeaveAlone) {
        return {};
    }
    const auto before = loaded.file.toBytes();
    if (!edit(loaded.file)) {
        return {EINVAL, "refused INI name or value for " + path.string()};
    }
    if (loaded.status == IniLoadStatus::Loaded && loaded.file.toBytes() == before) {
        return {};
    }
    return saveIniFile(path, loaded.file, fault);
}

} // namespace

std::string readProfileString(const fs::path& path, std::string_view section, std::string_view key,
                              std::string_view defaultValue) {
    return readOrEmpty(path).value(section, key, defaultValue);
}

std::vector<std::string> readProfileSectionNames(const fs::path& path) {
    return readOrEmpty(path).sectionNames();
}

std::vector<std::string> readProfileKeyNames(const fs::path& path, std::string_view section) {
    return readOrEmpty(path).keyNames(section);
}

FileWriteResult writeProfileString(const fs::path& path, std::string_view section,
                                   std::string_view key, std::string_view value,
                                   const AtomicWriteFault& fault) {
    return editProfile(path, WhenMissing::Create, fault,
                       [&](IniFile& file) { return file.setValue(section, key, value); });
}

FileWriteResult removeProfileKey(const fs::path& path, std::string_view section,
                                 std::string_view key, const AtomicWriteFault& fault) {
    return editProfile(path, WhenMissing::LeaveAlone, fault, [&](IniFile& file) {
        file.removeKey(section, key);
        return true;
    });
}

FileWriteResult removeProfileSection(const fs::path& path, std::string_view section,
                                     const AtomicWriteFault& fault) {
    return editProfile(path, WhenMissing::LeaveAlone, fault, [&](IniFile& file) {
        file.removeSection(section);
        return true;
    });
}

} // namespace qvr
