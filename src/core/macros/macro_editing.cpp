#include "core/macros/macro_editing.h"

#include "core/buttons/button_catalogue.h"
#include "core/files/ini_file.h"
#include "core/macros/macro_model.h"
#include "core/macros/macro_store.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <set>

namespace qvr {

namespace {

bool sameName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) {
        return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    };
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [&](char x, char y) { return lower(x) == lower(y); });
}

std::optional<int> positionIn(const std::vector<std::string>& names, std::string_view name) {
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (sameName(names[i], name))
            return static_cast<int>(i);
    }
    return std::nullopt;
}

std::string_view buttonName(MouseButtonItem button) {
    switch (button) {
    case MouseButtonItem::Left:
        return kLeftButtonName;
    case MouseButtonItem::Middle:
        return kMiddleButtonName;
    case MouseButtonItem::Right:
        return kRightButtonName;
    }
    return kLeftButtonName;
}

} // namespace

std::string nextMacroName(const std::vector<std::string>& names, std::string_view baseWord) {
    std::uint64_t number = names.size();
    if (!names.empty()) {
        const std::string& last = names.back();
        if (const auto underscore = last.find('_'); underscore != std::string::npos)
            number = leadingNumber(std::string_view(last).substr(underscore + 1)) + 1;
    }
    // A name in use would make New share, and later overwrite, another
    // macro's section (saves reorder the list, so the last name need not
    // hold the highest number).
    const auto lower = [](std::string text) {
        for (char& c : text)
            c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
        return text;
    };
    std::set<std::string> taken;
    for (const std::string& name : names)
        taken.insert(lower(name));
    std::string name = std::string(baseWord) + "_" + std::to_string(number);
    while (taken.contains(lower(name)))
        name = std::string(baseWord) + "_" + std::to_string(++number);
    return name;
}

std::optional<int> insertMouseClick(std::vector<std::string>& items, std::optional<int> selected,
                                    MouseButtonItem button) {
    const std::string_view name = buttonName(button);
    std::size_t at = 0;
    if (selected && *selected >= 0 && static_cast<std::size_t>(*selected) < items.size())
        at = static_cast<std::size_t>(*selected) + 1;
    else if (!items.empty())
        return std::nullopt;
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(at),
                 {pressItem(name), releaseItem(name)});
    return static_cast<int>(at);
}

std::optional<int> insertDelayBefore(std::vector<std::string>& items, std::optional<int> selected) {
    if (!selected || *selected <= 0 || static_cast<std::size_t>(*selected) >= items.size())
        return std::nullopt;
    const auto at = static_cast<std::size_t>(*selected);
    if (holdsDelayMarker(items[at]) || holdsDelayMarker(items[at - 1]))
        return std::nullopt;
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), delayItem(kDefaultDelayMs));
    return *selected;
}

bool isDelayItemText(std::string_view text) {
    return text.find(" ms") != std::string_view::npos;
}

bool holdsDelayMarker(std::string_view text) {
    return text.find(kDelayMarker) != std::string_view::npos;
}

std::optional<std::string> acceptDelayEdit(std::string_view typed) {
    std::string text;
    for (char c : typed) {
        if (c != ' ')
            text += c;
    }
    if (text.find("ms") == std::string::npos)
        return std::nullopt;
    std::string digits;
    for (std::size_t at = 0; at < text.size();) {
        if (text.compare(at, 2, "ms") == 0) {
            at += 2;
            continue;
        }
        if (text[at] < '0' || text[at] > '9')
            return std::nullopt;
        digits += text[at++];
    }
    if (digits.empty())
        return std::nullopt;
    // leadingNumber saturates, so any run of digits compares safely.
    const auto value = std::min<std::uint64_t>(leadingNumber(digits), kMaxDelayMs);
    return delayItem(static_cast<std::uint32_t>(value));
}

MacroRenameResult renameMacroSection(const std::filesystem::path& storePath,
                                     std::string_view oldName, std::string_view newName,
                                     const std::vector<FileChange>& alongside) {
    MacroRenameResult result;
    if (oldName == newName) {
        result.status = MacroRenameStatus::Unchanged;
        return result;
    }
    if (!isValidMacroName(newName)) {
        result.status = MacroRenameStatus::InvalidName;
        return result;
    }
    IniLoadResult loaded = loadIniFile(storePath);
    if (loaded.status == IniLoadStatus::Failed) {
        result.file = {loaded.errorCode, "cannot read " + storePath.string() + ": " +
                                             std::strerror(loaded.errorCode)};
        return result;
    }
    IniFile& store = loaded.file;
    const std::vector<std::string> before = listMacroNames(store);
    result.macroCount = static_cast<int>(before.size());
    // A change of letter case only keeps the same section, which the INI
    // rules treat as one name.
    if (!sameName(oldName, newName) && store.hasSection(newName)) {
        result.status = MacroRenameStatus::DuplicateName;
        return result;
    }
    IniFile edited = store;
    std::vector<std::pair<std::string, std::string>> keys;
    for (const std::string& key : store.keyNames(oldName))
        keys.emplace_back(key, store.value(oldName, key));
    edited.removeSection(oldName);
    // A section without keys would not be written at all; MacroLoopTimes is
    // what New writes first, so an empty macro keeps that one.
    if (keys.empty())
        keys.emplace_back(std::string(kMacroLoopTimesKey), "1");
    for (const auto& [key, value] : keys) {
        if (!edited.setValue(newName, key, value)) {
            result.status = MacroRenameStatus::InvalidName;
            return result;
        }
    }
    if (alongside.empty()) {
        result.file = saveIniFile(storePath, edited);
    } else {
        std::vector<FileChange> changes{{storePath.filename().string(), edited.toBytes()}};
        changes.insert(changes.end(), alongside.begin(), alongside.end());
        result.file = replaceFilesTogether(storePath.parent_path(), changes);
    }
    if (!result.file.ok())
        return result;
    result.status = MacroRenameStatus::Renamed;
    result.movedFrom = positionIn(before, oldName);
    return result;
}

namespace {

// Every field a button's assignment is made of.
constexpr std::array kButtonFields{
    &ConfigRecord::buttonFunction,    &ConfigRecord::buttonWheelChoice,
    &ConfigRecord::buttonDpiAction,   &ConfigRecord::buttonMediaCode,
    &ConfigRecord::buttonCommand,     &ConfigRecord::buttonHotKey,
    &ConfigRecord::buttonSingleKey,   &ConfigRecord::buttonComboModifiers,
    &ConfigRecord::buttonComboKey1,   &ConfigRecord::buttonComboKey2,
    &ConfigRecord::buttonMacroNumber, &ConfigRecord::buttonMacroRepeat};

} // namespace

std::vector<int> remapMacroNumbers(ConfigRecord& record, const std::vector<std::string>& tableNames,
                                   const std::vector<std::string>& storeNames,
                                   const ConfigRecord& factory) {
    std::vector<int> restored;
    for (int button = 0; button < kButtonCount; ++button) {
        if (record.buttonFunction[button] !=
            static_cast<std::uint8_t>(ButtonFunctionType::MacroKey))
            continue;
        std::uint8_t& number = record.buttonMacroNumber[button];
        if (number >= tableNames.size())
            continue;
        if (const auto now = positionIn(storeNames, tableNames[number])) {
            number = static_cast<std::uint8_t>(*now);
            continue;
        }
        // No position stays empty for good: a macro made later would fill it
        // and the button would play what nobody gave it.
        const auto at = static_cast<std::size_t>(button);
        for (const auto field : kButtonFields)
            (record.*field)[at] = (factory.*field)[at];
        restored.push_back(button);
    }
    return restored;
}

std::vector<int> tablePositionsInStoreOrder(const std::vector<std::string>& tableNames,
                                            const std::vector<std::string>& storeNames) {
    std::vector<int> positions;
    for (const std::string& name : storeNames) {
        const auto at = positionIn(tableNames, name);
        if (at && std::ranges::find(positions, *at) == positions.end())
            positions.push_back(*at);
    }
    return positions;
}

void renameInList(std::vector<std::string>& names, std::string_view oldName,
                  std::string_view newName) {
    if (const auto at = positionIn(names, oldName))
        names[static_cast<std::size_t>(*at)] = std::string(newName);
}

} // namespace qvr
