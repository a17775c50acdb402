#include "core/buttons/key_tables.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace qvr {
namespace {

TEST(KeyNameTable, TellingRowsGiveTheirDeviceCodes) {
    EXPECT_EQ(KeyNameToCode("A"), 0x04);
    EXPECT_EQ(KeyNameToCode("Z"), 0x1D);
    EXPECT_EQ(KeyNameToCode("1"), 0x1E); // digits run 1..9, then 0
    EXPECT_EQ(KeyNameToCode("9"), 0x26);
    EXPECT_EQ(KeyNameToCode("0"), 0x27);
    EXPECT_EQ(KeyNameToCode("Enter"), 0x28);
    EXPECT_EQ(KeyNameToCode("Esc"), 0x29);
    EXPECT_EQ(KeyNameToCode("Space"), 0x2C);
    EXPECT_EQ(KeyNameToCode("\\"), 0x31);
    EXPECT_EQ(KeyNameToCode("Eurpo(Note 2)"), 0x32);
    EXPECT_EQ(KeyNameToCode("Caps Lock"), 0x39);
    EXPECT_EQ(KeyNameToCode("F1"), 0x3A);
    EXPECT_EQ(KeyNameToCode("F12"), 0x45);
    EXPECT_EQ(KeyNameToCode("Prnt Scrn"), 0x46);
    EXPECT_EQ(KeyNameToCode("Right"), 0x4F);
    EXPECT_EQ(KeyNameToCode("Left"), 0x50);
    EXPECT_EQ(KeyNameToCode("Down"), 0x51);
    EXPECT_EQ(KeyNameToCode("Up"), 0x52);
    EXPECT_EQ(KeyNameToCode("Num Enter"), 0x58);
    EXPECT_EQ(KeyNameToCode("Num 1"), 0x59);
    EXPECT_EQ(KeyNameToCode("Num Del"), 0x63);
    EXPECT_EQ(KeyNameToCode("Application"), 0x65);
}

TEST(KeyNameTable, ModifierKeysAndMouseButtonsHaveTheirOwnRows) {
    EXPECT_EQ(KeyNameToCode("Ctrl"), 0xE0);
    EXPECT_EQ(KeyNameToCode("Shift"), 0xE1);
    EXPECT_EQ(KeyNameToCode("Alt"), 0xE2);
    EXPECT_EQ(KeyNameToCode("Left Windows"), 0xE3);
    EXPECT_EQ(KeyNameToCode("Right Ctrl"), 0xE4);
    EXPECT_EQ(KeyNameToCode("Right Windows"), 0xE7);
    EXPECT_EQ(KeyNameToCode("L-Button"), 0xF0);
    EXPECT_EQ(KeyNameToCode("R-Button"), 0xF1);
    EXPECT_EQ(KeyNameToCode("M-Button"), 0xF2);
}

TEST(KeyNameTable, ComparisonIsExactCaseSensitiveAndUntrimmed) {
    EXPECT_EQ(KeyNameToCode("a"), 0);
    EXPECT_EQ(KeyNameToCode("A "), 0);
    EXPECT_EQ(KeyNameToCode(" A"), 0);
    EXPECT_EQ(KeyNameToCode(""), 0);
    EXPECT_EQ(KeyNameToCode("ctrl"), 0);
    EXPECT_EQ(KeyNameToCode("Num"), 0);       // a prefix of a name is not the name
    EXPECT_EQ(KeyNameToCode("Left Ctrl"), 0); // modifier-table text
    EXPECT_EQ(KeyNameToCode("Left Win"), 0);  // modifier-table text
    EXPECT_EQ(KeyNameToCode("Strg"), 0);      // a translated key name
    EXPECT_EQ(KeyNameToCode(std::string("A\0", 2)), 0);
}

TEST(KeyNameTable, CodesRiseByOneWithinEachOfTheFourRuns) {
    ASSERT_EQ(kKeyNameTable.size(), 108u);
    struct Run {
        std::size_t firstRow, lastRow;
        std::uint8_t firstCode;
    };
    for (const Run run :
         {Run{0, 95, 0x04}, Run{96, 96, 0x65}, Run{97, 104, 0xE0}, Run{105, 107, 0xF0}}) {
        for (std::size_t row = run.firstRow; row <= run.lastRow; ++row) {
            EXPECT_EQ(kKeyNameTable[row].code, run.firstCode + (row - run.firstRow))
                << kKeyNameTable[row].name;
        }
    }
    EXPECT_EQ(kKeyNameTable[95].name, "Num Del");
    EXPECT_EQ(kKeyNameTable[104].name, "Right Windows");
}

TEST(KeyNameTable, NoCodeOrNameAppearsTwiceAndNoRowUsesCodeZeroOrTheGap) {
    std::set<std::uint8_t> codes;
    std::set<std::string_view> names;
    for (const KeyRow& row : kKeyNameTable) {
        EXPECT_TRUE(codes.insert(row.code).second) << row.name;
        EXPECT_TRUE(names.insert(row.name).second) << row.name;
        EXPECT_NE(row.code, 0);
        EXPECT_NE(row.code, 0x64); // the ISO 102nd key has no row
    }
}

TEST(KeyNameTable, EveryRowRoundTripsThroughTheReverseLookup) {
    for (const KeyRow& row : kKeyNameTable) {
        EXPECT_EQ(KeyNameToCode(keyNameForCode(row.code)), row.code) << row.name;
        EXPECT_EQ(keyNameForCode(KeyNameToCode(row.name)), row.name);
    }
    EXPECT_EQ(keyNameForCode(0), "");
    EXPECT_EQ(keyNameForCode(0x64), "");
    EXPECT_EQ(keyNameForCode(0xFF), "");
}

TEST(ModifierNameTable, EachNameGivesOneBitOfTheBootKeyboardByte) {
    EXPECT_EQ(ModifierNameToBit("Left Ctrl"), 0x01);
    EXPECT_EQ(ModifierNameToBit("Left Shift"), 0x02);
    EXPECT_EQ(ModifierNameToBit("Left Alt"), 0x04);
    EXPECT_EQ(ModifierNameToBit("Left Win"), 0x08);
    EXPECT_EQ(ModifierNameToBit("Right Ctrl"), 0x10);
    EXPECT_EQ(ModifierNameToBit("Right Shift"), 0x20);
    EXPECT_EQ(ModifierNameToBit("Right Alt"), 0x40);
    EXPECT_EQ(ModifierNameToBit("Right Win"), 0x80);
}

TEST(ModifierNameTable, KeyTableNamesAndNearMissesGiveNoBit) {
    EXPECT_EQ(ModifierNameToBit(""), 0);
    EXPECT_EQ(ModifierNameToBit("Ctrl"), 0);
    EXPECT_EQ(ModifierNameToBit("Left Windows"), 0);
    EXPECT_EQ(ModifierNameToBit("left ctrl"), 0);
    EXPECT_EQ(ModifierNameToBit("Left Ctrl "), 0);
}

TEST(ModifierNameTable, EveryBitRoundTripsAndCombinedBitsHaveNoName) {
    for (const ModifierRow& row : kModifierNameTable) {
        EXPECT_EQ(ModifierNameToBit(modifierNameForBit(row.bit)), row.bit) << row.name;
    }
    EXPECT_EQ(modifierNameForBit(0), "");
    EXPECT_EQ(modifierNameForBit(0x03), "");
    EXPECT_EQ(modifierNameForBit(0xFF), "");
}

} // namespace
} // namespace qvr
