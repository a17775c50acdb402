#include "core/buttons/button_catalogue.h"

#include <algorithm>

namespace qvr {

const FunctionTexts kFunctionTextsEnglish = {
    "Click",        "Menu",      "Scroll Select", "IE Forward", "IE Backward",
    "Double Click", "CPI Cycle", "Multimedia",    "HotKey",     "Windows",
    "Single Key",   "Combo Key", "Macro Key",     "Button Off",
};

const std::array<OptionRow, 3> kScrollOptions = {{
    {"Mouse M Button", 1},
    {"Mouse Scroll Up", 2},
    {"Mouse Scroll Down", 3},
}};

const std::array<OptionRow, 3> kDpiOptions = {{
    {"DPI +", 1},
    {"DPI -", 2},
    {"DPI Loop", 3},
}};

// Low bytes of HID Consumer page usages; the encoder adds the high byte.
const std::array<OptionRow, 8> kMediaOptions = {{
    {"Media player", 0x83}, // AL Consumer Control Configuration (0x0183)
    {"Next Track", 0xB5},
    {"Pre Track", 0xB6},
    {"Stop", 0xB7},
    {"Play/Pause", 0xCD},
    {"Mute", 0xE2},
    {"Volume Up", 0xE9},
    {"Volume Down", 0xEA},
}};

// Device key codes of the letter sent together with Left Ctrl.
const std::array<OptionRow, 10> kHotKeyOptions = {{
    {"New", 0x11},        // N
    {"Cut", 0x1B},        // X
    {"Copy", 0x06},       // C
    {"Paste", 0x19},      // V
    {"Save", 0x16},       // S
    {"Print", 0x13},      // P
    {"Find", 0x09},       // F
    {"Redo", 0x1C},       // Y
    {"Undo", 0x1D},       // Z
    {"Select All", 0x04}, // A
}};

const std::array<OptionRow, 7> kWindowsCommands = {{
    {"My computer", 0},
    {"Browser-Home", 1},
    {"Search", 2},
    {"Maximum", 3},
    {"Minimum", 4},
    {"Show desktop", 5},
    {"Run", 6},
}};

namespace {

struct FunctionRow {
    FunctionChoice choice;
    std::optional<OptionList> options;
};

constexpr std::array<FunctionRow, kButtonFunctionCount> kFunctionRows = {{
    {FunctionChoice::StoredAtOnce, std::nullopt},           // Click
    {FunctionChoice::StoredAtOnce, std::nullopt},           // Menu
    {FunctionChoice::OpensOptionList, OptionList::Scroll},  // Scroll Select
    {FunctionChoice::StoredAtOnce, std::nullopt},           // IE Forward
    {FunctionChoice::StoredAtOnce, std::nullopt},           // IE Backward
    {FunctionChoice::StoredAtOnce, std::nullopt},           // Double Click
    {FunctionChoice::OpensOptionList, OptionList::Dpi},     // CPI Cycle
    {FunctionChoice::OpensOptionList, OptionList::Media},   // Multimedia
    {FunctionChoice::OpensOptionList, OptionList::HotKey},  // HotKey
    {FunctionChoice::OpensOptionList, OptionList::Windows}, // Windows
    {FunctionChoice::SingleKeyDialog, std::nullopt},        // Single Key
    {FunctionChoice::ComboKeyDialog, std::nullopt},         // Combo Key
    {FunctionChoice::MacroKeyDialog, std::nullopt},         // Macro Key
    {FunctionChoice::StoredAtOnce, std::nullopt},           // Button Off
}};

struct OptionListRow {
    OptionList list;
    ButtonFunctionType type;
    std::span<const OptionRow> rows;
    std::uint8_t outOfRangeValue;
    std::array<std::uint8_t, kButtonCount> ConfigRecord::*field;
};

const std::array<OptionListRow, 5> kOptionLists = {{
    {OptionList::Scroll, ButtonFunctionType::ScrollSelect, kScrollOptions, 0,
     &ConfigRecord::buttonWheelChoice},
    {OptionList::Dpi, ButtonFunctionType::CpiCycle, kDpiOptions, 0, &ConfigRecord::buttonDpiAction},
    {OptionList::Media, ButtonFunctionType::Multimedia, kMediaOptions, 0,
     &ConfigRecord::buttonMediaCode},
    {OptionList::HotKey, ButtonFunctionType::HotKey, kHotKeyOptions, 0,
     &ConfigRecord::buttonHotKey},
    {OptionList::Windows, ButtonFunctionType::Windows, kWindowsCommands, kNoWindowsCommand,
     &ConfigRecord::buttonCommand},
}};

// Stands in for an enumerator outside the five lists (a bad cast), so that
// every look-up stays inside its table and yields "nothing".
const OptionListRow kNoList{OptionList::Scroll, ButtonFunctionType::ButtonOff, {}, 0, nullptr};

const OptionListRow& listRow(OptionList list) {
    const auto row = std::ranges::find(kOptionLists, list, &OptionListRow::list);
    return row == kOptionLists.end() ? kNoList : *row;
}

const OptionRow* rowAt(OptionList list, int position) {
    const auto rows = listRow(list).rows;
    if (position < 0 || static_cast<std::size_t>(position) >= rows.size()) {
        return nullptr;
    }
    return &rows[static_cast<std::size_t>(position)];
}

const FunctionRow* functionRow(ButtonFunctionType type) {
    const auto index = static_cast<std::size_t>(type);
    return index < kFunctionRows.size() ? &kFunctionRows[index] : nullptr;
}

} // namespace

FunctionChoice functionChoice(ButtonFunctionType type) {
    const FunctionRow* row = functionRow(type);
    return row ? row->choice : FunctionChoice::StoredAtOnce;
}

std::optional<OptionList> optionListOf(ButtonFunctionType type) {
    const FunctionRow* row = functionRow(type);
    return row ? row->options : std::nullopt;
}

ButtonFunctionType functionTypeOf(OptionList list) {
    return listRow(list).type;
}

std::span<const OptionRow> optionRows(OptionList list) {
    return listRow(list).rows;
}

std::uint8_t optionValue(OptionList list, int position) {
    const OptionRow* row = rowAt(list, position);
    return row ? row->value : listRow(list).outOfRangeValue;
}

std::string_view optionText(OptionList list, int position) {
    const OptionRow* row = rowAt(list, position);
    return row ? row->text : std::string_view{};
}

std::optional<int> optionPosition(OptionList list, std::uint8_t value) {
    const auto rows = listRow(list).rows;
    const auto row = std::ranges::find(rows, value, &OptionRow::value);
    if (row == rows.end()) {
        return std::nullopt;
    }
    return static_cast<int>(row - rows.begin());
}

void assignOption(ConfigRecord& record, int buttonIndex, OptionList list, int position) {
    if (buttonIndex < 0 || buttonIndex >= kButtonCount) {
        return;
    }
    const OptionListRow& row = listRow(list);
    if (row.field == nullptr) {
        return;
    }
    const auto index = static_cast<std::size_t>(buttonIndex);
    record.buttonFunction[index] = static_cast<std::uint8_t>(row.type);
    (record.*row.field)[index] = optionValue(list, position);
}

} // namespace qvr
