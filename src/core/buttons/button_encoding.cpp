#include "core/buttons/button_encoding.h"

#include "core/buttons/button_catalogue.h"

#include <algorithm>

namespace qvr {

namespace {

// Entry kinds (byte 0) the mouse understands.
constexpr std::uint8_t kKindKeyboard = 0x00;
constexpr std::uint8_t kKindMouse = 0x01;
constexpr std::uint8_t kKindConsumer = 0x03;
constexpr std::uint8_t kKindDpi = 0x07;
constexpr std::uint8_t kKindMacro = 0x09;

// Mouse codes of kind 0x01 entries.
constexpr std::uint8_t kMouseLeft = 0xF0;
constexpr std::uint8_t kMouseRight = 0xF1;
constexpr std::uint8_t kMouseMiddle = 0xF2;
constexpr std::uint8_t kMouseBack = 0xF3;
constexpr std::uint8_t kMouseForward = 0xF4;
constexpr std::uint8_t kMouseWheelUp = 0xF7;
constexpr std::uint8_t kMouseWheelDown = 0xF8;

constexpr std::uint8_t kKeyLeftCtrl = 0xE0;
constexpr std::uint8_t kMediaPlayerUsage = 0x83; // the one usage on page 0x01xx
constexpr int kMacroSlots = kMacroCount;

constexpr ButtonEntry kEmpty = {0, 0, 0, 0};

constexpr ButtonEntry mouseEntry(std::uint8_t code) {
    return {kKindMouse, 0, code, 0};
}

// buttonWheelChoice 1..3 -> mouse code.
constexpr std::array<std::uint8_t, 3> kWheelCodes = {kMouseMiddle, kMouseWheelUp, kMouseWheelDown};

// buttonCommand 0..6 -> fixed entry.
constexpr std::array<ButtonEntry, 7> kWindowsEntries = {{
    {kKindConsumer, 0x00, 0x94, 0x01}, // My computer: AL Local Machine Browser 0x0194
    {kKindConsumer, 0x00, 0x23, 0x02}, // Browser-Home: AC Home 0x0223
    {kKindConsumer, 0x00, 0x21, 0x02}, // Search: AC Search 0x0221
    {kKindKeyboard, 0x04, 0x2C, 0x1B}, // Maximum: Left Alt + Space, X
    {kKindKeyboard, 0x04, 0x2C, 0x11}, // Minimum: Left Alt + Space, N
    {kKindKeyboard, 0x00, 0xE3, 0x07}, // Show desktop: Left Windows, D
    {kKindKeyboard, 0x00, 0xE3, 0x15}, // Run: Left Windows, R
}};

// Entries that depend on nothing but the type.
struct FixedEntry {
    ButtonFunctionType type;
    ButtonEntry entry;
};

constexpr std::array<FixedEntry, 6> kFixedEntries = {{
    {ButtonFunctionType::Click, mouseEntry(kMouseLeft)},
    {ButtonFunctionType::Menu, mouseEntry(kMouseRight)},
    {ButtonFunctionType::IeForward, mouseEntry(kMouseForward)},
    {ButtonFunctionType::IeBackward, mouseEntry(kMouseBack)},
    // The double-click entry is fixed by the firmware.
    {ButtonFunctionType::DoubleClick, {0x0A, 0xF0, 0x1E, 0x02}},
    {ButtonFunctionType::ButtonOff, kEmpty},
}};

template <std::size_t N>
ButtonEntry pick(const std::array<ButtonEntry, N>& table, std::size_t index) {
    return index < N ? table[index] : kEmpty;
}

} // namespace

ButtonEntry encodeButtonEntry(const ConfigRecord& record, int buttonIndex) {
    if (buttonIndex < 0 || buttonIndex >= kButtonCount) {
        return kEmpty;
    }
    const auto i = static_cast<std::size_t>(buttonIndex);
    const auto type = static_cast<ButtonFunctionType>(record.buttonFunction[i]);

    const auto fixed = std::ranges::find(kFixedEntries, type, &FixedEntry::type);
    if (fixed != kFixedEntries.end()) {
        return fixed->entry;
    }

    switch (type) {
    case ButtonFunctionType::ScrollSelect: {
        const std::uint8_t choice = record.buttonWheelChoice[i];
        if (choice < 1 || choice > kWheelCodes.size()) {
            return kEmpty;
        }
        return mouseEntry(kWheelCodes[choice - 1u]);
    }
    case ButtonFunctionType::CpiCycle:
        // Copied unchanged: the mouse decides what an unknown action means.
        return {kKindDpi, 0, record.buttonDpiAction[i], 0};
    case ButtonFunctionType::Multimedia: {
        const std::uint8_t usage = record.buttonMediaCode[i];
        return {kKindConsumer, 0, usage,
                usage == kMediaPlayerUsage ? std::uint8_t{1} : std::uint8_t{0}};
    }
    case ButtonFunctionType::HotKey:
        return {kKindKeyboard, 0, kKeyLeftCtrl, record.buttonHotKey[i]};
    case ButtonFunctionType::Windows:
        return pick(kWindowsEntries, record.buttonCommand[i]);
    case ButtonFunctionType::SingleKey:
        return {kKindKeyboard, 0, record.buttonSingleKey[i], 0};
    case ButtonFunctionType::ComboKey:
        return {kKindKeyboard, record.buttonComboModifiers[i], record.buttonComboKey1[i],
                record.buttonComboKey2[i]};
    case ButtonFunctionType::MacroKey: {
        // The mouse numbers its macros 1..12. A number outside the table (only
        // from a damaged file) would otherwise wrap or point past the last
        // macro, so it gives no function instead.
        const std::uint8_t number = record.buttonMacroNumber[i];
        if (number >= kMacroSlots) {
            return kEmpty;
        }
        return {kKindMacro, record.buttonMacroRepeat[i], static_cast<std::uint8_t>(number + 1), 0};
    }
    default:
        return kEmpty; // types 14 and above can only come from a file
    }
}

void buildButtonBlock(const ConfigRecord& record, std::span<std::uint8_t, kButtonBlockSize> block) {
    std::ranges::fill(block, std::uint8_t{0});
    for (int button = 0; button < kButtonCount; ++button) {
        const ButtonEntry entry = encodeButtonEntry(record, button);
        const auto offset =
            static_cast<std::size_t>(kButtonSlots[static_cast<std::size_t>(button)]) *
            kButtonEntrySize;
        std::ranges::copy(entry, block.subspan(offset, kButtonEntrySize).begin());
    }
}

} // namespace qvr
