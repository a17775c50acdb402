#include "core/buttons/key_tables.h"

#include <gtest/gtest.h>
#include <set>
#include <string>

namespace qvr {
namespace {

TEST(KeyNameTable, TellingRowsGiveTheirDeviceCodes) {
    EXPECT_EQ(keyNameToCode("A"), 0x04);
    EXPECT_EQ(keyNameToCode("Z"), 0x1D);
    EXPECT_EQ(keyNameToCode("1"), 0x1E); // digits run 1..9, then 0
    EXPECT_EQ(keyNameToCode("9"), 0x26);
    EXPECT_EQ(keyNameToCode("0"), 0x27);
    EXPECT_EQ(keyNameToCode("Enter"), 0x28);
    EXPECT_EQ(keyNameToCode("Esc"), 0x29);
    EXPECT_EQ(keyNameToCode("Space"), 0x2C);
    EXPECT_EQ(keyNameToCode("\\"), 0x31);
    EXPECT_EQ(keyNameToCode("Eurpo(Note 2)"), 0x32);
    EXPECT_EQ(keyNameToCode("Caps Lock"), 0x39);
    EXPECT_EQ(keyNameToCode("F1"), 0x3A);
    EXPECT_EQ(keyNameToCode("F12"), 0x45);
    EXPECT_EQ(keyNameToCode("Prnt Scrn"), 0x46);
    EXPECT_EQ(keyNameToCode("Right"), 0x4F);
    EXPECT_EQ(keyNameToCode("Left"), 0x50);
    EXPECT_EQ(keyNameToCode("Down"), 0x51);
    EXPECT_EQ(keyNameToCode("Up"), 0x52);
    EXPECT_EQ(keyNameToCode("Num Enter"), 0x58);
    EXPECT_EQ(keyNameToCode("Num 1"), 0x59);
    EXPECT_EQ(keyNameToCode("Num Del"), 0x63);
    EXPECT_EQ(keyNameToCode("Application"), 0x65);
}

TEST(KeyNameTable, ModifierKeysAndMouseButtonsHaveTheirOwnRows) {
    EXPECT_EQ(keyNameToCode("Ctrl"), 0xE0);
    EXPECT_EQ(keyNameToCode("Shift"), 0xE1);
    EXPECT_EQ(keyNameToCode("Alt"), 0xE2);
    EXPECT_EQ(keyNameToCode("Left Windows"), 0xE3);
    EXPECT_EQ(keyNameToCode("Right Ctrl"), 0xE4);
    EXPECT_EQ(keyNameToCode("Right Windows"), 0xE7);
    EXPECT_EQ(keyNameToCode("L-Button"), 0xF0);
    EXPECT_EQ(keyNameToCode("R-Button"), 0xF1);
    EXPECT_EQ(keyNameToCode("M-Button"), 0xF2);
}

TEST(KeyNameTable, ComparisonIsExactCaseSensitiveAndUntrimmed) {
    EXPECT_EQ(keyNameToCode("a"), 0);
    EXPECT_EQ(keyNameToCode("A "), 0);
    EXPECT_EQ(keyNameToCode(" A"), 0);
    EXPECT_EQ(keyNameToCode(""), 0);
    EXPECT_EQ(keyNameToCode("ctrl"), 0);
    EXPECT_EQ(keyNameToCode("Num"), 0);       // a prefix of a name is not the name
    EXPECT_EQ(keyNameToCode("Left Ctrl"), 0); // modifier-table text
    EXPECT_EQ(keyNameToCode("Left Win"), 0);  // modifier-table text
    EXPECT_EQ(keyNameToCode("Strg"), 0);      // a translated key name
    EXPECT_EQ(keyNameToCode(std::string("A\0", 2)), 0);
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
        EXPECT_EQ(keyNameToCode(keyNameForCode(row.code)), row.code) << row.name;
        EXPECT_EQ(keyNameForCode(keyNameToCode(row.name)), row.name);
    }
    EXPECT_EQ(keyNameForCode(0), "");
    EXPECT_EQ(keyNameForCode(0x64), "");
    EXPECT_EQ(keyNameForCode(0xFF), "");
}

TEST(ModifierNameTable, EachNameGivesOneBitOfTheBootKeyboardByte) {
    EXPECT_EQ(modifierNameToBit("Left Ctrl"), 0x01);
    EXPECT_EQ(modifierNameToBit("Left Shift"), 0x02);
    EXPECT_EQ(modifierNameToBit("Left Alt"), 0x04);
    EXPECT_EQ(modifierNameToBit("Left Win"), 0x08);
    EXPECT_EQ(modifierNameToBit("Right Ctrl"), 0x10);
    EXPECT_EQ(modifierNameToBit("Right Shift"), 0x20);
    EXPECT_EQ(modifierNameToBit("Right Alt"), 0x40);
    EXPECT_EQ(modifierNameToBit("Right Win"), 0x80);
}

TEST(ModifierNameTable, KeyTableNamesAndNearMissesGiveNoBit) {
    EXPECT_EQ(modifierNameToBit(""), 0);
    EXPECT_EQ(modifierNameToBit("Ctrl"), 0);
    EXPECT_EQ(modifierNameToBit("Left Windows"), 0);
    EXPECT_EQ(modifierNameToBit("left ctrl"), 0);
    EXPECT_EQ(modifierNameToBit("Left Ctrl "), 0);
}

TEST(ModifierNameTable, EveryBitRoundTripsAndCombinedBitsHaveNoName) {
    for (const ModifierRow& row : kModifierNameTable) {
        EXPECT_EQ(modifierNameToBit(modifierNameForBit(row.bit)), row.bit) << row.name;
    }
    EXPECT_EQ(modifierNameForBit(0), "");
    EXPECT_EQ(modifierNameForBit(0x03), "");
    EXPECT_EQ(modifierNameForBit(0xFF), "");
}

} // namespace
} // namespace qvr
