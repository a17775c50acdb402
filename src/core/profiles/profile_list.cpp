#include "core/profiles/profile_list.h"

#include "core/files/ini_file.h"
#include "core/profiles/profile_files.h"

#include <cctype>
#include <cerrno>
#include <cstring>

namespace qvr {

namespace {

bool startsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    if (prefix.size() > text.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(text[i])) !=
            std::tolower(static_cast<unsigned char>(prefix[i])))
            return false;
    }
    return true;
}

} // namespace

ProfileList readProfileList(const std::filesystem::path& globalSettings) {
    using namespace settings_keys;
    ProfileList list;
    const IniLoadResult loaded = loadIniFile(globalSettings);
    if (loaded.status != IniLoadStatus::Loaded)
        return list;
    const IniFile& file = loaded.file;
    // Names are kept as stored, so that one in Latin-1 or GBK is written
    // back unchanged rather than as replacement characters.
    list.currentName = file.findRaw(kProfileSection, kCurProfileName).value_or("");
    list.pendingDelete = file.find(kProfileSection, kPendingDelete).has_value();
    const int count = parseProfileInt(file.value(kProfileSection, kItemCount));
    if (count < 1 || count > kMaxProfiles)
        return list;
    for (int i = 0; i < count; ++i)
        list.names.push_back(file.findRaw(kProfileSection, itemKey(i)).value_or(""));
    return list;
}

std::optional<int> findCurrentProfile(const std::vector<std::string>& names,
                                      std::string_view currentName) {
    std::optional<int> exact;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (names[i] == currentName)
            exact = static_cast<int>(i);
    }
    if (exact || currentName.empty())
        return exact;
    for (std::size_t step = 1; step <= names.size(); ++step) {
        const std::size_t i = step % names.size();
        if (startsWithIgnoringCase(names[i], currentName))
            return static_cast<int>(i);
    }
    return std::nullopt;
}

std::string nextProfileName(const std::vector<std::string>& names) {
    if (names.empty())
        return std::string(kProfileBaseName) + "_0";
    const std::string& last = names.back();
    const auto underscore = last.find('_');
    if (underscore == std::string::npos)
        return last + "_" + std::to_string(names.size());
    const int number = parseProfileInt(std::string_view(last).substr(underscore + 1));
    return std::string(kProfileBaseName) + "_" + std::to_string(static_cast<long long>(number) + 1);
}

FileWriteResult writeProfileList(const std::filesystem::path& globalSettings,
                                 const std::vector<std::string>& names, std::optional<int> selected,
                                 std::optional<int>* current) {
    using namespace settings_keys;
    IniLoadResult loaded = loadIniFile(globalSettings);
    if (loaded.status == IniLoadStatus::Failed) {
        return {loaded.errorCode,
                "cannot read " + globalSettings.string() + ": " + std::strerror(loaded.errorCode)};
    }
    IniFile& file = loaded.file;
    file.removeSection(kProfileSection);
    std::optional<int> position;
    if (!names.empty()) {
        position = selected && *selected >= 0 && *selected < static_cast<int>(names.size())
                       ? *selected
                       : 0;
    }
    const std::string name = position ? names[static_cast<std::size_t>(*position)] : std::string();
    bool accepted = file.setValue(kProfileSection, kCurProfileName, name);
    if (!names.empty()) {
        accepted =
            accepted && file.setValue(kProfileSection, kItemCount, std::to_string(names.size()));
        for (std::size_t i = 0; accepted && i < names.size(); ++i)
            accepted = file.setValue(kProfileSection, itemKey(static_cast<int>(i)), names[i]);
    }
    if (!accepted)
        return {EINVAL, "a profile name holds text an INI line cannot store"};
    if (current)
        *current = position;
    return saveIniFile(globalSettings, file);
}

} // namespace qvr
