#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qvr {

// Keys travel through the program as their English key-name texts; a device
// key code (a HID Keyboard/Keypad usage, or 0xF0..0xF2 for the mouse buttons)
// is looked up only when device data is built. Code 0 means "no key".
struct KeyRow {
    std::string_view name;
    std::uint8_t code;
};

// One bit of the HID boot-keyboard modifier byte and its name. These names
// differ from the key table's ("Left Win" here, "Left Windows" there).
struct ModifierRow {
    std::string_view name;
    std::uint8_t bit;
};

inline constexpr std::size_t kKeyRowCount = 108;
inline constexpr std::size_t kModifierRowCount = 8;

extern const std::array<KeyRow, kKeyRowCount> kKeyNameTable;
extern const std::array<ModifierRow, kModifierRowCount> kModifierNameTable;

// Exact, case-sensitive, untrimmed comparison; the first equal row wins.
// Returns 0 when no row matches.
std::uint8_t keyNameToCode(std::string_view name);
std::uint8_t modifierNameToBit(std::string_view name);

// Reverse look-ups for showing stored codes. The name of the first row with
// that code, or an empty text when no row has it.
std::string keyNameForCode(std::uint8_t code);
// The name of a single modifier bit; empty for 0 or for several bits at once.
std::string modifierNameForBit(std::uint8_t bit);

} // namespace qvr
