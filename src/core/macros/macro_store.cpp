#include "core/macros/macro_store.h"

#include "core/files/private_profile.h"
#include "core/files/text_codec.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace qvr {
namespace {

namespace fs = std::filesystem;

FileWriteResult refusedName(std::string_view name) {
    return {EINVAL,
            "macro name \"" + std::string(name) + "\" is empty or longer than 31 characters"};
}

std::optional<int> positionOf(const std::vector<std::string>& names, std::string_view name) {
    // Section names match ignoring ASCII case, as the INI engine looks them up.
    const auto sameName = [&](const std::string& listed) {
        return std::equal(
            listed.begin(), listed.end(), name.begin(), name.end(), [](char a, char b) {
                const auto lower = [](char c) {
                    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
                };
                return lower(a) == lower(b);
            });
    };
    const auto it = std::find_if(names.begin(), names.end(), sameName);
    if (it == names.end()) {
        return std::nullopt;
    }
    return static_cast<int>(it - names.begin());
}

} // namespace

std::vector<std::string> listMacroNames(const IniFile& store) {
    std::vector<std::string> names;
    std::size_t used = 0; // characters of the window taken so far
    for (const std::string& name : store.sectionNames()) {
        used += utf16Length(name) + 1;
        if (used > kSectionNameScanLength) {
            break;
        }
        if (isValidMacroName(name)) {
            names.push_back(name);
        }
    }
    return names;
}

Macro loadMacro(const IniFile& store, std::string_view name) {
    Macro macro;
    macro.name = std::string(name);
    // Found once: an upload reads every item of twelve macros.
    const IniFile::SectionView section = store.section(name);
    macro.loopTimes = section.value(kMacroLoopTimesKey);
    const std::size_t count = static_cast<std::size_t>(
        std::min<std::uint64_t>(leadingNumber(section.value(kItemCountKey)), kMaxMacroItems));
    macro.items.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        macro.items.push_back(section.value(itemKey(i)));
    }
    macro.recordDelays = leadingNumber(section.value(kDelayTimeSelStatusKey)) != 0;
    macro.loop = leadingNumber(section.value(kLoopTimeSelStatusKey)) == 1;
    return macro;
}

bool putMacro(IniFile& store, const Macro& macro) {
    IniFile edited = store;
    edited.removeSection(macro.name);
    bool accepted =
        edited.setValue(macro.name, kDelayTimeSelStatusKey, macro.recordDelays ? "1" : "0") &&
        edited.setValue(macro.name, kLoopTimeSelStatusKey, macro.loop ? "1" : "0") &&
        edited.setValue(macro.name, kMacroLoopTimesKey, macro.loopTimes) &&
        edited.setValue(macro.name, kItemCountKey, std::to_string(macro.items.size()));
    for (std::size_t i = 0; accepted && i < macro.items.size(); ++i) {
        accepted = edited.setValue(macro.name, itemKey(i), macro.items[i]);
    }
    if (accepted) {
        store = std::move(edited);
    }
    return accepted;
}

bool MacroStore::exists() const {
    std::error_code error;
    return fs::exists(path_, error);
}

std::vector<std::string> MacroStore::names() const {
    IniLoadResult loaded = loadIniFile(path_);
    return loaded.status == IniLoadStatus::Loaded ? listMacroNames(loaded.file)
                                                  : std::vector<std::string>{};
}

Macro MacroStore::load(std::string_view name) const {
    IniLoadResult loaded = loadIniFile(path_);
    return loadMacro(loaded.status == IniLoadStatus::Loaded ? loaded.file : IniFile{}, name);
}

MacroSaveResult MacroStore::save(const Macro& macro, const AtomicWriteFault& fault) const {
    MacroSaveResult result;
    IniLoadResult loaded = loadIniFile(path_);
    if (loaded.status == IniLoadStatus::Failed) {
        result.file = {loaded.errorCode,
                       "cannot read " + path_.string() + ": " + std::strerror(loaded.errorCode)};
        return result;
    }
    const std::vector<std::string> before = loaded.status == IniLoadStatus::Loaded
                                                ? listMacroNames(loaded.file)
                                                : std::vector<std::string>{};
    result.macroCount = static_cast<int>(before.size());
    if (loaded.status == IniLoadStatus::Missing) {
        result.status = MacroSaveStatus::NoStore;
        return result;
    }
    // A section the list cannot show would make the macro vanish from every
    // dialog and from the table, so such a name is refused before anything
    // is removed.
    if (!isValidMacroName(macro.name)) {
        result.file = refusedName(macro.name);
        return result;
    }
    if (!putMacro(loaded.file, macro)) {
        result.file = {EINVAL, "macro \"" + macro.name + "\" holds text an INI line cannot store"};
        return result;
    }
    result.file = saveIniFile(path_, loaded.file, fault);
    if (!result.file.ok()) {
        return result;
    }
    result.status = MacroSaveStatus::Saved;
    result.movedFrom = positionOf(before, macro.name);
    return result;
}

FileWriteResult MacroStore::writeLoopCount(std::string_view name, long value,
                                           const AtomicWriteFault& fault) const {
    if (!isValidMacroName(name)) {
        return refusedName(name);
    }
    return writeProfileString(path_, name, kMacroLoopTimesKey, std::to_string(value), fault);
}

FileWriteResult MacroStore::remove(std::string_view name, const AtomicWriteFault& fault) const {
    return removeProfileSection(path_, name, fault);
}

} // namespace qvr
