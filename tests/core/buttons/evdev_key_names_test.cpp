#include "core/buttons/evdev_key_names.h"
#include "core/buttons/key_tables.h"

#include <gtest/gtest.h>
#include <limits>
#include <map>

namespace qvr {
namespace {

// A few Linux input event codes, spelled out as the kernel publishes them.
constexpr int kEvdevLeftCtrl = 29;
constexpr int kEvdevKp1 = 79;
constexpr int kEvdevKpEnter = 96;
constexpr int kEvdevDelete = 111;
constexpr int kEvdevF13 = 183;

TEST(EvdevKeyNames, LeftAndRightModifiersGetTheirOwnNames) {
    EXPECT_EQ(keyNameFromEvdevCode(kEvdevLeftCtrl), "Ctrl");
    EXPECT_EQ(keyNameFromEvdevCode(97), "Right Ctrl");
    EXPECT_EQ(keyNameFromEvdevCode(42), "Shift");
    EXPECT_EQ(keyNameFromEvdevCode(54), "Right Shift");
    EXPECT_EQ(keyNameFromEvdevCode(56), "Alt");
    EXPECT_EQ(keyNameFromEvdevCode(100), "Right Alt");
    EXPECT_EQ(keyNameFromEvdevCode(125), "Left Windows");
    EXPECT_EQ(keyNameFromEvdevCode(126), "Right Windows");
    EXPECT_EQ(keyNameToCode(keyNameFromEvdevCode(97)), 0xE4);
}

TEST(EvdevKeyNames, KeypadKeysAreNamedApartFromTheMainBlock) {
    EXPECT_EQ(keyNameFromEvdevCode(kEvdevKp1), "Num 1");
    EXPECT_EQ(keyNameFromEvdevCode(82), "Num 0");
    EXPECT_EQ(keyNameFromEvdevCode(83), "Num Del");
    EXPECT_EQ(keyNameFromEvdevCode(kEvdevKpEnter), "Num Enter");
    EXPECT_EQ(keyNameFromEvdevCode(28), "Enter");
    EXPECT_EQ(keyNameFromEvdevCode(98), "Num /");
    EXPECT_EQ(keyNameFromEvdevCode(55), "Num *");
    EXPECT_EQ(keyNameFromEvdevCode(74), "Num -");
    EXPECT_EQ(keyNameFromEvdevCode(78), "Num +");
    EXPECT_EQ(keyNameFromEvdevCode(69), "Num Lock");
    EXPECT_EQ(keyNameToCode(keyNameFromEvdevCode(kEvdevKpEnter)), 0x58);
}

TEST(EvdevKeyNames, ArrowsAndNavigationKeysUseTheKeyTableNames) {
    const std::map<int, std::string> expected = {
        {103, "Up"},          {108, "Down"},      {105, "Left"},     {106, "Right"},
        {110, "Insert"},      {102, "Home"},      {104, "Page Up"},  {kEvdevDelete, "Delete"},
        {107, "End"},         {109, "Page Down"}, {99, "Prnt Scrn"}, {119, "Pause"},
        {127, "Application"},
    };
    for (const auto& [code, name] : expected) {
        EXPECT_EQ(keyNameFromEvdevCode(code), name) << code;
        EXPECT_NE(keyNameToCode(name), 0) << name;
    }
}

TEST(EvdevKeyNames, UnknownKeysGetAReadableNameThatMapsToNoCode) {
    EXPECT_EQ(keyNameFromEvdevCode(kEvdevF13), "F13");
    EXPECT_EQ(keyNameFromEvdevCode(240), "Key 240");
    EXPECT_EQ(keyNameFromEvdevCode(0), "Key 0");
    EXPECT_EQ(keyNameFromEvdevCode(-1), "Key -1");
    EXPECT_EQ(keyNameToCode(keyNameFromEvdevCode(kEvdevF13)), 0);
    EXPECT_EQ(keyNameToCode(keyNameFromEvdevCode(86)), 0); // ISO 102nd key: no row
}

TEST(EvdevKeyNames, EveryNameIsEitherAKeyTableRowOrMapsToNoCodeAndFitsTheLabelLimit) {
    // Readable names must never collide with a table row of another key, and
    // every keyboard row of the table must be reachable from some key.
    std::map<std::uint8_t, int> reached;
    for (int code = 0; code < 768; ++code) {
        const std::string name = keyNameFromEvdevCode(code);
        EXPECT_FALSE(name.empty()) << code;
        EXPECT_LE(name.size(), 31u) << code;
        if (const std::uint8_t device = keyNameToCode(name); device != 0) {
            EXPECT_EQ(reached.count(device), 0u) << name << " named twice";
            reached[device] = code;
        }
    }
    for (const KeyRow& row : kKeyNameTable) {
        const bool mouseButton = row.code >= 0xF0;
        const bool notOnLinux = row.code == 0x32; // Linux reports it as backslash
        if (!mouseButton && !notOnLinux) {
            EXPECT_EQ(reached.count(row.code), 1u) << row.name;
        }
    }
}

TEST(EvdevKeyNames, X11KeycodesAreEvdevCodesPlusEight) {
    EXPECT_EQ(keyNameFromX11Keycode(kEvdevLeftCtrl + 8), "Ctrl");
    EXPECT_EQ(keyNameFromX11Keycode(kEvdevKpEnter + 8), "Num Enter");
    EXPECT_EQ(keyNameFromX11Keycode(38), "A"); // the usual X11 keycode of A
    EXPECT_EQ(keyNameFromX11Keycode(kEvdevF13 + 8), "F13");
    EXPECT_EQ(keyNameToCode(keyNameFromX11Keycode(0)), 0);
    EXPECT_EQ(keyNameToCode(keyNameFromX11Keycode(std::numeric_limits<int>::min())), 0);
}

} // namespace
} // namespace qvr
