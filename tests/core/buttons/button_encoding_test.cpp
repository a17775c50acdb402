#include "core/buttons/button_catalogue.h"
#include "core/buttons/button_encoding.h"

#include <gtest/gtest.h>
#include <vector>

namespace qvr {
namespace {

using T = ButtonFunctionType;

ConfigRecord allButtons(T type) {
    ConfigRecord record{};
    record.buttonFunction.fill(static_cast<std::uint8_t>(type));
    return record;
}

ButtonEntry encodeOne(T type, auto setField) {
    ConfigRecord record{};
    record.buttonFunction[0] = static_cast<std::uint8_t>(type);
    setField(record);
    return encodeButtonEntry(record, 0);
}

std::vector<std::uint8_t> buildBlock(const ConfigRecord& record) {
    std::array<std::uint8_t, kButtonBlockSize> block;
    block.fill(0xAA); // the builder must clear what was there
    buildButtonBlock(record, block);
    return {block.begin(), block.end()};
}

std::vector<std::uint8_t> zeros(std::size_t n) {
    return std::vector<std::uint8_t>(n, 0);
}

TEST(ButtonEntryEncoding, MouseFunctionsAndDoubleClickHaveFixedEntries) {
    const auto none = [](ConfigRecord&) {};
    EXPECT_EQ(encodeOne(T::Click, none), (ButtonEntry{0x01, 0x00, 0xF0, 0x00}));
    EXPECT_EQ(encodeOne(T::Menu, none), (ButtonEntry{0x01, 0x00, 0xF1, 0x00}));
    EXPECT_EQ(encodeOne(T::IeForward, none), (ButtonEntry{0x01, 0x00, 0xF4, 0x00}));
    EXPECT_EQ(encodeOne(T::IeBackward, none), (ButtonEntry{0x01, 0x00, 0xF3, 0x00}));
    EXPECT_EQ(encodeOne(T::DoubleClick, none), (ButtonEntry{0x0A, 0xF0, 0x1E, 0x02}));
    EXPECT_EQ(encodeOne(T::ButtonOff, none), (ButtonEntry{0, 0, 0, 0}));
}

TEST(ButtonEntryEncoding, ScrollSelectKnowsOnlyWheelChoicesOneToThree) {
    const auto wheel = [](std::uint8_t choice) {
        return encodeOne(T::ScrollSelect,
                         [=](ConfigRecord& r) { r.buttonWheelChoice[0] = choice; });
    };
    EXPECT_EQ(wheel(1), (ButtonEntry{0x01, 0x00, 0xF2, 0x00}));
    EXPECT_EQ(wheel(2), (ButtonEntry{0x01, 0x00, 0xF7, 0x00}));
    EXPECT_EQ(wheel(3), (ButtonEntry{0x01, 0x00, 0xF8, 0x00}));
    EXPECT_EQ(wheel(0), (ButtonEntry{0, 0, 0, 0}));
    EXPECT_EQ(wheel(4), (ButtonEntry{0, 0, 0, 0}));
    EXPECT_EQ(wheel(255), (ButtonEntry{0, 0, 0, 0}));
}

TEST(ButtonEntryEncoding, CpiCycleCopiesTheActionWithoutARangeTest) {
    const auto dpi = [](std::uint8_t action) {
        return encodeOne(T::CpiCycle, [=](ConfigRecord& r) { r.buttonDpiAction[0] = action; });
    };
    EXPECT_EQ(dpi(0), (ButtonEntry{0x07, 0x00, 0x00, 0x00}));
    EXPECT_EQ(dpi(3), (ButtonEntry{0x07, 0x00, 0x03, 0x00}));
    EXPECT_EQ(dpi(200), (ButtonEntry{0x07, 0x00, 200, 0x00}));
}

TEST(ButtonEntryEncoding, MultimediaAddsTheHighUsageByteOnlyForTheMediaPlayer) {
    const auto media = [](std::uint8_t code) {
        return encodeOne(T::Multimedia, [=](ConfigRecord& r) { r.buttonMediaCode[0] = code; });
    };
    EXPECT_EQ(media(0x83), (ButtonEntry{0x03, 0x00, 0x83, 0x01}));
    EXPECT_EQ(media(0xE9), (ButtonEntry{0x03, 0x00, 0xE9, 0x00}));
    EXPECT_EQ(media(0xCD), (ButtonEntry{0x03, 0x00, 0xCD, 0x00}));
}

TEST(ButtonEntryEncoding, HotKeySendsLeftCtrlAsFirstKeyAndTheLetterSecond) {
    EXPECT_EQ(encodeOne(T::HotKey, [](ConfigRecord& r) { r.buttonHotKey[0] = 0x06; }),
              (ButtonEntry{0x00, 0x00, 0xE0, 0x06}));
}

TEST(ButtonEntryEncoding, EveryWindowsCommandHasItsFixedEntryAndSevenIsEmpty) {
    const std::array<ButtonEntry, 9> expected = {{
        {0x03, 0x00, 0x94, 0x01}, // 0 My computer
        {0x03, 0x00, 0x23, 0x02}, // 1 Browser-Home
        {0x03, 0x00, 0x21, 0x02}, // 2 Search
        {0x00, 0x04, 0x2C, 0x1B}, // 3 Maximum
        {0x00, 0x04, 0x2C, 0x11}, // 4 Minimum
        {0x00, 0x00, 0xE3, 0x07}, // 5 Show desktop
        {0x00, 0x00, 0xE3, 0x15}, // 6 Run
        {0x00, 0x00, 0x00, 0x00}, // 7 unknown
        {0x00, 0x00, 0x00, 0x00}, // 255 unknown
    }};
    const std::array<std::uint8_t, 9> commands = {0, 1, 2, 3, 4, 5, 6, 7, 255};
    for (std::size_t k = 0; k < commands.size(); ++k) {
        const std::uint8_t command = commands[k];
        EXPECT_EQ(encodeOne(T::Windows, [=](ConfigRecord& r) { r.buttonCommand[0] = command; }),
                  expected[k])
            << "command " << int(command);
    }
}

TEST(ButtonEntryEncoding, KeyboardEntriesCarryTheStoredCodes) {
    EXPECT_EQ(encodeOne(T::SingleKey, [](ConfigRecord& r) { r.buttonSingleKey[0] = 0x59; }),
              (ButtonEntry{0x00, 0x00, 0x59, 0x00}));
    // A single key the table did not know was stored as 0: nothing is sent.
    EXPECT_EQ(encodeOne(T::SingleKey, [](ConfigRecord& r) { r.buttonSingleKey[0] = 0; }),
              (ButtonEntry{0, 0, 0, 0}));
    EXPECT_EQ(encodeOne(T::ComboKey,
                        [](ConfigRecord& r) {
                            r.buttonComboModifiers[0] = 0x02;
                            r.buttonComboKey1[0] = 0x04;
                            r.buttonComboKey2[0] = 0x05;
                        }),
              (ButtonEntry{0x00, 0x02, 0x04, 0x05}));
}

TEST(ButtonEntryEncoding, MacroKeyNumbersMacrosFromOne) {
    const auto macro = [](std::uint8_t number, std::uint8_t repeat) {
        return encodeOne(T::MacroKey, [=](ConfigRecord& r) {
            r.buttonMacroNumber[0] = number;
            r.buttonMacroRepeat[0] = repeat;
        });
    };
    EXPECT_EQ(macro(11, 2), (ButtonEntry{0x09, 0x02, 0x0C, 0x00}));
    EXPECT_EQ(macro(0, 0), (ButtonEntry{0x09, 0x00, 0x01, 0x00}));
}

TEST(ButtonEntryEncoding, MacroNumberPastTheTwelveMacrosGivesNoFunction) {
    // 255 would wrap to macro 0 and 12 would name a thirteenth macro.
    for (std::uint8_t number : {12, 13, 255}) {
        ConfigRecord record{};
        record.buttonFunction[0] = static_cast<std::uint8_t>(T::MacroKey);
        record.buttonMacroNumber[0] = number;
        record.buttonMacroRepeat[0] = 1;
        EXPECT_EQ(encodeButtonEntry(record, 0), (ButtonEntry{0, 0, 0, 0})) << int(number);
    }
}

TEST(ButtonEntryEncoding, UnknownTypesFromAFileGiveNoFunction) {
    for (std::uint8_t type : {14, 15, 128, 255}) {
        ConfigRecord record{};
        record.buttonFunction[0] = type;
        record.buttonSingleKey[0] = 0x04;
        record.buttonComboKey1[0] = 0x04;
        record.buttonMacroNumber[0] = 1;
        EXPECT_EQ(encodeButtonEntry(record, 0), (ButtonEntry{0, 0, 0, 0})) << int(type);
    }
}

TEST(ButtonEntryEncoding, ButtonIndexOutsideTheEightGivesNoFunction) {
    const ConfigRecord record = allButtons(T::Click);
    EXPECT_EQ(encodeButtonEntry(record, -1), (ButtonEntry{0, 0, 0, 0}));
    EXPECT_EQ(encodeButtonEntry(record, 8), (ButtonEntry{0, 0, 0, 0}));
    EXPECT_EQ(encodeButtonEntry(record, 7), (ButtonEntry{0x01, 0x00, 0xF0, 0x00}));
}

TEST(ButtonBlock, AllButtonsOffGiveOneHundredTwentyEightZeros) {
    EXPECT_EQ(buildBlock(allButtons(T::ButtonOff)), zeros(kButtonBlockSize));
}

TEST(ButtonBlock, AllZeroRecordPutsClickInTheEightSlotsOnly) {
    // Type 0 is "Click", so an empty record clicks on every button.
    std::vector<std::uint8_t> expected = zeros(kButtonBlockSize);
    for (std::size_t offset : {0u, 4u, 8u, 12u, 16u, 20u, 56u, 60u}) {
        expected[offset + 0] = 0x01;
        expected[offset + 2] = 0xF0;
    }
    EXPECT_EQ(buildBlock(ConfigRecord{}), expected);
}

TEST(ButtonBlock, ButtonsGoToSlotsZeroOneTwoFourteenFifteenThreeFourFive) {
    // Give each button a single key equal to its number so slots tell apart.
    ConfigRecord record = allButtons(T::SingleKey);
    for (std::size_t i = 0; i < kButtonCount; ++i) {
        record.buttonSingleKey[i] = static_cast<std::uint8_t>(i + 1);
    }
    std::vector<std::uint8_t> expected = {
        0x00, 0x00, 0x01, 0x00, // slot 0: button 1
        0x00, 0x00, 0x02, 0x00, // slot 1: button 2
        0x00, 0x00, 0x03, 0x00, // slot 2: button 3
        0x00, 0x00, 0x06, 0x00, // slot 3: button 6
        0x00, 0x00, 0x07, 0x00, // slot 4: button 7
        0x00, 0x00, 0x08, 0x00, // slot 5: button 8
    };
    expected.resize(14 * 4, 0x00); // slots 6..13 stay empty
    expected.insert(expected.end(), {
                                        0x00, 0x00, 0x04, 0x00, // slot 14: button 4
                                        0x00, 0x00, 0x05, 0x00, // slot 15: button 5
                                    });
    expected.resize(kButtonBlockSize, 0x00); // slots 16..31 stay empty
    EXPECT_EQ(buildBlock(record), expected);
}

TEST(ButtonBlock, ButtonFourClickLandsAtBytes56NotAtButtonSixsSlot) {
    ConfigRecord record = allButtons(T::ButtonOff);
    record.buttonFunction[3] = static_cast<std::uint8_t>(T::Click);
    std::vector<std::uint8_t> expected = zeros(kButtonBlockSize);
    expected[56] = 0x01; // slot 14: button 4
    expected[58] = 0xF0;
    EXPECT_EQ(buildBlock(record), expected);

    record = allButtons(T::ButtonOff);
    record.buttonFunction[5] = static_cast<std::uint8_t>(T::Click);
    expected = zeros(kButtonBlockSize);
    expected[12] = 0x01; // slot 3: button 6
    expected[14] = 0xF0;
    EXPECT_EQ(buildBlock(record), expected);
}

TEST(ButtonBlock, MixedAssignmentsBuildTheExpectedBlock) {
    ConfigRecord record{};
    record.buttonFunction = {0, 1, 7, 12, 11, 6, 9, 13};
    record.buttonMediaCode[2] = 0x83;
    record.buttonMacroNumber[3] = 11;
    record.buttonMacroRepeat[3] = 2;
    record.buttonComboModifiers[4] = 0x02;
    record.buttonComboKey1[4] = 0x04;
    record.buttonDpiAction[5] = 3;
    record.buttonCommand[6] = 5;
    std::vector<std::uint8_t> expected = {
        0x01, 0x00, 0xF0, 0x00, // slot 0: button 1 Click
        0x01, 0x00, 0xF1, 0x00, // slot 1: button 2 Menu
        0x03, 0x00, 0x83, 0x01, // slot 2: button 3 Media player
        0x07, 0x00, 0x03, 0x00, // slot 3: button 6 DPI Loop
        0x00, 0x00, 0xE3, 0x07, // slot 4: button 7 Show desktop
        0x00, 0x00, 0x00, 0x00, // slot 5: button 8 Button Off
    };
    expected.resize(14 * 4, 0x00); // slots 6..13
    expected.insert(expected.end(),
                    {
                        0x09, 0x02, 0x0C, 0x00, // slot 14: button 4 macro 11, repeat mode 2
                        0x00, 0x02, 0x04, 0x00, // slot 15: button 5 Left Shift + A
                    });
    expected.resize(kButtonBlockSize, 0x00); // slots 16..31
    EXPECT_EQ(buildBlock(record), expected);
}

} // namespace
} // namespace qvr
