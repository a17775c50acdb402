#include "core/macros/macro_model.h"

#include <gtest/gtest.h>

namespace qvr {
namespace {

TEST(MacroModelTest, ItemKindIsDecidedPressReleaseDelayInThatOrder) {
    EXPECT_EQ(parseMacroItem("Left Windows   Up"),
              (MacroItem{MacroItemKind::Release, "Left Windows", 0}));
    EXPECT_EQ(parseMacroItem("A   Dn"), (MacroItem{MacroItemKind::Press, "A", 0}));
    // Holds both markers: the press marker wins, the name is cut at it.
    EXPECT_EQ(macroItemKind("X   Dn   Up"), MacroItemKind::Press);
    EXPECT_EQ(parseMacroItem("Items   Up"), (MacroItem{MacroItemKind::Release, "Items", 0}));
    EXPECT_EQ(parseMacroItem("1310 ms"), (MacroItem{MacroItemKind::Delay, "", 1310}));
    EXPECT_EQ(parseMacroItem("ms"), (MacroItem{MacroItemKind::Delay, "", 0}));
    EXPECT_EQ(macroItemKind("A  Dn"), MacroItemKind::Other);
}

TEST(MacroModelTest, NumbersAreLeadingDigitsAndSaturate) {
    EXPECT_EQ(leadingNumber(""), 0u);
    EXPECT_EQ(leadingNumber("  42abc"), 42u);
    EXPECT_EQ(leadingNumber("-5"), 0u);
    EXPECT_EQ(leadingNumber("123456789012345678901234567890"), 4294967295u);
    EXPECT_EQ(delayTextMs("99999999 ms"), kMaxDelayMs);
}

TEST(MacroModelTest, MacroNamesAreLimitedInUtf16Units) {
    EXPECT_TRUE(isValidMacroName(std::string(31, 'a')));
    EXPECT_FALSE(isValidMacroName(std::string(32, 'a')));
    EXPECT_FALSE(isValidMacroName(""));
    std::string wide;
    for (int i = 0; i < 31; ++i) {
        wide += "\xE5\xAE\x8F"; // one unit, three bytes
    }
    EXPECT_TRUE(isValidMacroName(wide));
    EXPECT_FALSE(isValidMacroName(wide + "x"));
}

TEST(MacroModelTest, ApplicationIsNoKeyInMacros) {
    EXPECT_EQ(macroKeyCode("Application"), 0);
    EXPECT_EQ(macroKeyCode("A"), 0x04);
    EXPECT_EQ(macroKeyCode("M-Button"), 0xF2);
}

TEST(MacroModelTest, ReleaseBeforeAnyRecordedEventGetsNoDelay) {
    EXPECT_EQ(recordedDelayMs(std::nullopt, 123456789u), 0u);
    EXPECT_EQ(recordedDelayMs(1000u, 1120u), 120u);
    // The tick counter wraps after 49.7 days.
    EXPECT_EQ(recordedDelayMs(0xFFFFFF00u, 0x00000010u), 0x110u);
    EXPECT_EQ(recordedDelayMs(0u, 100000000u), kMaxDelayMs);
}

} // namespace
} // namespace qvr
