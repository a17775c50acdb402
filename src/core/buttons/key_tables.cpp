#include "core/buttons/key_tables.h"

#include <algorithm>

namespace qvr {

// Rows are in the order the mouse's key codes were published in; the codes
// rise by one per row within each run (0x04..0x63, 0x65, 0xE0..0xE7,
// 0xF0..0xF2). 0x64 (the ISO 102nd key) has no row.
const std::array<KeyRow, kKeyRowCount> kKeyNameTable = {{
    {"A", 0x04},
    {"B", 0x05},
    {"C", 0x06},
    {"D", 0x07},
    {"E", 0x08},
    {"F", 0x09},
    {"G", 0x0A},
    {"H", 0x0B},
    {"I", 0x0C},
    {"J", 0x0D},
    {"K", 0x0E},
    {"L", 0x0F},
    {"M", 0x10},
    {"N", 0x11},
    {"O", 0x12},
    {"P", 0x13},
    {"Q", 0x14},
    {"R", 0x15},
    {"S", 0x16},
    {"T", 0x17},
    {"U", 0x18},
    {"V", 0x19},
    {"W", 0x1A},
    {"X", 0x1B},
    {"Y", 0x1C},
    {"Z", 0x1D},
    {"1", 0x1E},
    {"2", 0x1F},
    {"3", 0x20},
    {"4", 0x21},
    {"5", 0x22},
    {"6", 0x23},
    {"7", 0x24},
    {"8", 0x25},
    {"9", 0x26},
    {"0", 0x27},
    {"Enter", 0x28},
    {"Esc", 0x29},
    {"Backspace", 0x2A},
    {"Tab", 0x2B},
    {"Space", 0x2C},
    {"-", 0x2D},
    {"=", 0x2E},
    {"[", 0x2F},
    {"]", 0x30},
    {"\\", 0x31},
    {"Eurpo(Note 2)", 0x32}, // sic: the stored name of the non-US # key
    {";", 0x33},
    {"'", 0x34},
    {"`", 0x35},
    {",", 0x36},
    {".", 0x37},
    {"/", 0x38},
    {"Caps Lock", 0x39},
    {"F1", 0x3A},
    {"F2", 0x3B},
    {"F3", 0x3C},
    {"F4", 0x3D},
    {"F5", 0x3E},
    {"F6", 0x3F},
    {"F7", 0x40},
    {"F8", 0x41},
    {"F9", 0x42},
    {"F10", 0x43},
    {"F11", 0x44},
    {"F12", 0x45},
    {"Prnt Scrn", 0x46},
    {"Scroll Lock", 0x47},
    {"Pause", 0x48},
    {"Insert", 0x49},
    {"Home", 0x4A},
    {"Page Up", 0x4B},
    {"Delete", 0x4C},
    {"End", 0x4D},
    {"Page Down", 0x4E},
    {"Right", 0x4F},
    {"Left", 0x50},
    {"Down", 0x51},
    {"Up", 0x52},
    {"Num Lock", 0x53},
    {"Num /", 0x54},
    {"Num *", 0x55},
    {"Num -", 0x56},
    {"Num +", 0x57},
    {"Num Enter", 0x58},
    {"Num 1", 0x59},
    {"Num 2", 0x5A},
    {"Num 3", 0x5B},
    {"Num 4", 0x5C},
    {"Num 5", 0x5D},
    {"Num 6", 0x5E},
    {"Num 7", 0x5F},
    {"Num 8", 0x60},
    {"Num 9", 0x61},
    {"Num 0", 0x62},
    {"Num Del", 0x63},
    {"Application", 0x65},
    {"Ctrl", 0xE0},
    {"Shift", 0xE1},
    {"Alt", 0xE2},
    {"Left Windows", 0xE3},
    {"Right Ctrl", 0xE4},
    {"Right Shift", 0xE5},
    {"Right Alt", 0xE6},
    {"Right Windows", 0xE7},
    {"L-Button", 0xF0},
    {"R-Button", 0xF1},
    {"M-Button", 0xF2},
}};

const std::array<ModifierRow, kModifierRowCount> kModifierNameTable = {{
    {"Left Ctrl", 0x01},
    {"Left Shift", 0x02},
    {"Left Alt", 0x04},
    {"Left Win", 0x08},
    {"Right Ctrl", 0x10},
    {"Right Shift", 0x20},
    {"Right Alt", 0x40},
    {"Right Win", 0x80},
}};

std::uint8_t keyNameToCode(std::string_view name) {
    const auto row = std::ranges::find(kKeyNameTable, name, &KeyRow::name);
    return row == kKeyNameTable.end() ? 0 : row->code;
}

std::uint8_t modifierNameToBit(std::string_view name) {
    const auto row = std::ranges::find(kModifierNameTable, name, &ModifierRow::name);
    return row == kModifierNameTable.end() ? 0 : row->bit;
}

std::string keyNameForCode(std::uint8_t code) {
    // Code 0 is "no key" and must not find a row even if one were added.
    if (code == 0) {
        return {};
    }
    const auto row = std::ranges::find(kKeyNameTable, code, &KeyRow::code);
    return row == kKeyNameTable.end() ? std::string{} : std::string{row->name};
}

std::string modifierNameForBit(std::uint8_t bit) {
    const auto row = std::ranges::find(kModifierNameTable, bit, &ModifierRow::bit);
    return row == kModifierNameTable.end() ? std::string{} : std::string{row->name};
}

} // namespace qvr
