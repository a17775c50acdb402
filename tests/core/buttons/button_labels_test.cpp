#include "core/buttons/button_catalogue.h"
#include "core/buttons/button_encoding.h"
#include "core/buttons/button_labels.h"
#include "core/buttons/key_tables.h"

#include <gtest/gtest.h>

namespace qvr {
namespace {

using T = ButtonFunctionType;

TEST(ButtonLabels, SingleKeyLabelKeepsEvenAnUnknownName) {
    EXPECT_EQ(singleKeyLabel("Num 1"), "Single Key-Num 1");
    EXPECT_EQ(singleKeyLabel("F13"), "Single Key-F13");
    EXPECT_EQ(singleKeyLabel("A", "单键"), "单键-A");
}

TEST(ButtonLabels, ComboLabelJoinsOnlyTheKnownParts) {
    EXPECT_EQ(comboKeyLabel("Left Shift", "A", ""), "Combo Key-Left Shift+A");
    EXPECT_EQ(comboKeyLabel("", "A", "B"), "Combo Key-A+B");
    EXPECT_EQ(comboKeyLabel("Left Ctrl", "F13", "B"), "Combo Key-Left Ctrl+B");
    EXPECT_EQ(comboKeyLabel("Ctrl", "", ""), "Combo Key-"); // a key name is no modifier
}

TEST(ButtonLabels, MacroLabelIsPrefixDashName) {
    EXPECT_EQ(macroKeyLabel("Macro_0"), "Macro Key-Macro_0");
}

TEST(ButtonLabels, LabelFromRecordShowsOptionAndEntryTexts) {
    ConfigRecord record{};
    assignOption(record, 2, OptionList::Media, 6);
    assignOption(record, 3, OptionList::HotKey, 2);
    assignOption(record, 4, OptionList::Windows, 5);
    record.buttonFunction[1] = static_cast<std::uint8_t>(T::DoubleClick);
    EXPECT_EQ(englishLabelFor(record, 0), "Click");
    EXPECT_EQ(englishLabelFor(record, 1), "Double Click");
    EXPECT_EQ(englishLabelFor(record, 2), "Volume Up");
    EXPECT_EQ(englishLabelFor(record, 3), "Copy");
    EXPECT_EQ(englishLabelFor(record, 4), "Show desktop");

    // A stored option value no list entry has falls back to the entry text.
    record.buttonFunction[5] = static_cast<std::uint8_t>(T::ScrollSelect);
    record.buttonWheelChoice[5] = 9;
    EXPECT_EQ(englishLabelFor(record, 5), "Scroll Select");
}

TEST(ButtonLabels, LabelFromRecordNamesKeysAndMacros) {
    ConfigRecord record{};
    record.buttonFunction = {10, 11, 11, 12, 14, 13, 0, 0};
    record.buttonSingleKey[0] = keyNameToCode("Num 1");
    record.buttonComboModifiers[1] = modifierNameToBit("Left Shift");
    record.buttonComboKey1[1] = keyNameToCode("A");
    record.buttonComboModifiers[2] = 0x11; // two bits, only from a file
    record.buttonComboKey2[2] = keyNameToCode("Delete");
    EXPECT_EQ(englishLabelFor(record, 0), "Single Key-Num 1");
    EXPECT_EQ(englishLabelFor(record, 1), "Combo Key-Left Shift+A");
    EXPECT_EQ(englishLabelFor(record, 2), "Combo Key-Left Ctrl+Right Ctrl+Delete");
    EXPECT_EQ(englishLabelFor(record, 3, "Name"), "Macro Key-Name");
    EXPECT_EQ(englishLabelFor(record, 4), "");
    EXPECT_EQ(englishLabelFor(record, 5), "Button Off");
    EXPECT_EQ(englishLabelFor(record, 8), "");
}

TEST(DefaultButtons, FirstRunAssignmentMatchesItsLabels) {
    ConfigRecord record{};
    record.buttonFunction.fill(13);
    record.buttonMacroNumber.fill(7);
    applyDefaultButtons(record);

    const std::array<std::uint8_t, kButtonCount> types = {0, 1, 2, 2, 2, 6, 3, 4};
    EXPECT_EQ(record.buttonFunction, types);
    EXPECT_EQ(record.buttonWheelChoice[2], 1);
    EXPECT_EQ(record.buttonWheelChoice[3], 2);
    EXPECT_EQ(record.buttonWheelChoice[4], 3);
    EXPECT_EQ(record.buttonDpiAction[5], 3);
    EXPECT_EQ(record.buttonMacroNumber[0], 0);

    // The default labels name what the record does (button 6 differs only in
    // the case of "loop").
    for (int i = 0; i < kButtonCount; ++i) {
        const std::string derived = englishLabelFor(record, i);
        const std::string_view label = kDefaultButtonLabelsEnglish[static_cast<std::size_t>(i)];
        if (i == 5) {
            EXPECT_EQ(derived, "DPI Loop");
            EXPECT_EQ(label, "DPI loop");
        } else {
            EXPECT_EQ(derived, label) << i;
        }
    }

    std::array<std::uint8_t, kButtonBlockSize> block{};
    buildButtonBlock(record, block);
    EXPECT_EQ((ButtonEntry{block[8], block[9], block[10], block[11]}),
              (ButtonEntry{0x01, 0x00, 0xF2, 0x00})); // button 3: middle button
    EXPECT_EQ((ButtonEntry{block[12], block[13], block[14], block[15]}),
              (ButtonEntry{0x07, 0x00, 0x03, 0x00})); // button 6: DPI loop
    EXPECT_EQ((ButtonEntry{block[56], block[57], block[58], block[59]}),
              (ButtonEntry{0x01, 0x00, 0xF7, 0x00})); // button 4: wheel up
}

} // namespace
} // namespace qvr
