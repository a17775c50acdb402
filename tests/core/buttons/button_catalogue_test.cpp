#include "core/buttons/button_catalogue.h"
#include "core/buttons/button_encoding.h"
#include "core/buttons/key_tables.h"

#include <gtest/gtest.h>

namespace qvr {
namespace {

using T = ButtonFunctionType;

TEST(FunctionCatalogue, EntryTextsAreInListOrder) {
    EXPECT_EQ(kFunctionTextsEnglish[0], "Click");
    EXPECT_EQ(kFunctionTextsEnglish[static_cast<int>(T::CpiCycle)], "CPI Cycle");
    EXPECT_EQ(kFunctionTextsEnglish[static_cast<int>(T::HotKey)], "HotKey");
    EXPECT_EQ(kFunctionTextsEnglish[static_cast<int>(T::ComboKey)], "Combo Key");
    EXPECT_EQ(kFunctionTextsEnglish[13], "Button Off");
}

TEST(FunctionCatalogue, OnlyTypesTwoSixSevenEightAndNineOpenAnOptionList) {
    const std::array<std::optional<OptionList>, kButtonFunctionCount> expected = {
        std::nullopt, std::nullopt,    OptionList::Scroll, std::nullopt,       std::nullopt,
        std::nullopt, OptionList::Dpi, OptionList::Media,  OptionList::HotKey, OptionList::Windows,
        std::nullopt, std::nullopt,    std::nullopt,       std::nullopt,
    };
    for (int type = 0; type < kButtonFunctionCount; ++type) {
        const auto list = optionListOf(static_cast<T>(type));
        EXPECT_EQ(list, expected[static_cast<std::size_t>(type)]) << type;
        EXPECT_EQ(functionChoice(static_cast<T>(type)) == FunctionChoice::OpensOptionList,
                  list.has_value());
        if (list) {
            EXPECT_EQ(functionTypeOf(*list), static_cast<T>(type));
        }
    }
    EXPECT_EQ(functionChoice(T::SingleKey), FunctionChoice::SingleKeyDialog);
    EXPECT_EQ(functionChoice(T::ComboKey), FunctionChoice::ComboKeyDialog);
    EXPECT_EQ(functionChoice(T::MacroKey), FunctionChoice::MacroKeyDialog);
    EXPECT_EQ(functionChoice(static_cast<T>(200)), FunctionChoice::StoredAtOnce);
    EXPECT_EQ(optionListOf(static_cast<T>(200)), std::nullopt);
}

TEST(OptionLookups, ScrollAndDpiValuesArePositionPlusOne) {
    EXPECT_EQ(optionValue(OptionList::Scroll, 0), 1);
    EXPECT_EQ(optionValue(OptionList::Scroll, 2), 3);
    EXPECT_EQ(optionValue(OptionList::Dpi, 0), 1);
    EXPECT_EQ(optionValue(OptionList::Dpi, 2), 3);
    EXPECT_EQ(optionText(OptionList::Dpi, 2), "DPI Loop");
    EXPECT_EQ(optionText(OptionList::Scroll, 1), "Mouse Scroll Up");
}

TEST(OptionLookups, MediaAndHotKeyValuesComeFromTheirTables) {
    EXPECT_EQ(optionValue(OptionList::Media, 0), 0x83);
    EXPECT_EQ(optionValue(OptionList::Media, 6), 0xE9);
    EXPECT_EQ(optionText(OptionList::Media, 6), "Volume Up");
    EXPECT_EQ(optionValue(OptionList::Media, 7), 0xEA);
    EXPECT_EQ(optionValue(OptionList::HotKey, 0), 0x11);
    EXPECT_EQ(optionValue(OptionList::HotKey, 9), 0x04);
    // Every hot key is the key code of a letter of the key table.
    for (const OptionRow& row : kHotKeyOptions) {
        EXPECT_EQ(keyNameForCode(row.value).size(), 1u) << row.text;
    }
    EXPECT_EQ(keyNameForCode(optionValue(OptionList::HotKey, 2)), "C"); // Copy
    EXPECT_EQ(keyNameForCode(optionValue(OptionList::HotKey, 7)), "Y"); // Redo
}

TEST(OptionLookups, PositionsOutsideATableYieldNoValue) {
    for (OptionList list :
         {OptionList::Scroll, OptionList::Dpi, OptionList::Media, OptionList::HotKey}) {
        const int size = static_cast<int>(optionRows(list).size());
        EXPECT_EQ(optionValue(list, -1), 0);
        EXPECT_EQ(optionValue(list, size), 0);
        EXPECT_EQ(optionText(list, size), "");
    }
    // For Windows 0 is a real command, so a bad position must not become it.
    EXPECT_EQ(optionValue(OptionList::Windows, 6), 6);
    EXPECT_EQ(optionValue(OptionList::Windows, 7), kNoWindowsCommand);
    EXPECT_EQ(optionValue(OptionList::Windows, -1), kNoWindowsCommand);
}

TEST(OptionLookups, StoredValuesLeadBackToTheirPosition) {
    for (OptionList list : {OptionList::Scroll, OptionList::Dpi, OptionList::Media,
                            OptionList::HotKey, OptionList::Windows}) {
        const int size = static_cast<int>(optionRows(list).size());
        for (int position = 0; position < size; ++position) {
            EXPECT_EQ(optionPosition(list, optionValue(list, position)), position);
        }
    }
    EXPECT_EQ(optionPosition(OptionList::Media, 0x00), std::nullopt);
}

TEST(OptionAssignment, WritesTheTypeAndOnlyThatListsField) {
    ConfigRecord record{};
    record.buttonCommand[2] = 4;
    record.buttonSingleKey[2] = 0x10;
    assignOption(record, 2, OptionList::Media, 6);
    EXPECT_EQ(record.buttonFunction[2], static_cast<std::uint8_t>(T::Multimedia));
    EXPECT_EQ(record.buttonMediaCode[2], 0xE9);
    EXPECT_EQ(record.buttonCommand[2], 4); // other types' fields are kept
    EXPECT_EQ(record.buttonSingleKey[2], 0x10);
    EXPECT_EQ(encodeButtonEntry(record, 2), (ButtonEntry{0x03, 0x00, 0xE9, 0x00}));

    assignOption(record, 5, OptionList::Windows, 9);
    EXPECT_EQ(encodeButtonEntry(record, 5), (ButtonEntry{0, 0, 0, 0}));

    const ConfigRecord before = record;
    assignOption(record, 8, OptionList::Dpi, 0);
    assignOption(record, -1, OptionList::Dpi, 0);
    EXPECT_EQ(record, before);
}

} // namespace
} // namespace qvr
