#include "core/macros/macro_editing.h"
#include "core/macros/macro_store.h"
#include "support/macro_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace qvr {
namespace {

using Items = std::vector<std::string>;
using Names = std::vector<std::string>;

TEST(MacroEditing, NewMacroNamesFollowTheLastNumberOrTheCount) {
    EXPECT_EQ(nextMacroName({}, "Macro"), "Macro_0");
    EXPECT_EQ(nextMacroName({"Macro_0", "Macro_7"}, "Macro"), "Macro_8");
    EXPECT_EQ(nextMacroName({"Macro_3", "Mine_x"}, "Macro"), "Macro_1");
    EXPECT_EQ(nextMacroName({"a", "b", "jump"}, "Macro"), "Macro_3");
    EXPECT_EQ(nextMacroName({"x_99999999999999999999"}, "Macro"), "Macro_4294967296");
    // Saves move macros to the end, so the last name may not be the highest.
    EXPECT_EQ(nextMacroName({"Macro_0", "Macro_2", "Macro_1"}, "Macro"), "Macro_3");
    EXPECT_EQ(nextMacroName({"MACRO_1", "jump"}, "Macro"), "Macro_2");
}

TEST(MacroEditing, MouseClicksGoAfterTheSelectionOrIntoAnEmptyListOnly) {
    Items items{"A   Dn", "A   Up"};
    EXPECT_EQ(insertMouseClick(items, 0, MouseButtonItem::Middle), 1);
    EXPECT_EQ(items, (Items{"A   Dn", "M-Button   Dn", "M-Button   Up", "A   Up"}));

    EXPECT_EQ(insertMouseClick(items, std::nullopt, MouseButtonItem::Left), std::nullopt);
    EXPECT_EQ(items.size(), 4u);

    Items empty;
    EXPECT_EQ(insertMouseClick(empty, std::nullopt, MouseButtonItem::Right), 0);
    EXPECT_EQ(empty, (Items{"R-Button   Dn", "R-Button   Up"}));
}

TEST(MacroEditing, InsertDelayNeverOnFirstItemNorNextToADelay) {
    Items items{"A   Dn", "120 ms", "A   Up", "B   Dn"};
    const Items before = items;
    EXPECT_EQ(insertDelayBefore(items, 0), std::nullopt);
    EXPECT_EQ(insertDelayBefore(items, 1), std::nullopt); // the delay itself
    EXPECT_EQ(insertDelayBefore(items, 2), std::nullopt); // after a delay
    EXPECT_EQ(insertDelayBefore(items, std::nullopt), std::nullopt);
    EXPECT_EQ(insertDelayBefore(items, 9), std::nullopt);
    EXPECT_EQ(items, before);

    EXPECT_EQ(insertDelayBefore(items, 3), 3);
    EXPECT_EQ(items, (Items{"A   Dn", "120 ms", "A   Up", "50 ms", "B   Dn"}));
}

TEST(MacroEditing, DelayEditorClampsAndRefusesOtherCharacters) {
    EXPECT_EQ(acceptDelayEdit("9999999 ms"), "6553500 ms");
    EXPECT_EQ(acceptDelayEdit("99999999999999999999999ms"), "6553500 ms");
    EXPECT_EQ(acceptDelayEdit(" 2 5 0ms "), "250 ms");
    EXPECT_EQ(acceptDelayEdit("6553500 ms"), "6553500 ms");
    EXPECT_EQ(acceptDelayEdit("12a ms"), std::nullopt);
    EXPECT_EQ(acceptDelayEdit("120"), std::nullopt);
    EXPECT_EQ(acceptDelayEdit("ms"), std::nullopt);
    EXPECT_EQ(acceptDelayEdit("-5 ms"), std::nullopt);
}

class MacroRename : public test::TempFolderTest {};

TEST_F(MacroRename, RenameMovesTheWholeSectionToTheEndUnderTheNewName) {
    const auto store = file("record.ini");
    put(store, "[Macro_0]\r\nDelayTimeSelStatus=1\r\nLoopTimeSelStatus=1\r\nMacroLoopTimes=3\r\n"
               "ItemCount=2\r\nItem0=A   Dn\r\nItem1=A   Up\r\n\r\n"
               "[Macro_1]\r\nMacroLoopTimes=1\r\n");
    const MacroRenameResult renamed = renameMacroSection(store, "Macro_0", "Jump");
    ASSERT_EQ(renamed.status, MacroRenameStatus::Renamed);
    EXPECT_EQ(renamed.movedFrom, 0);
    EXPECT_EQ(renamed.macroCount, 2);

    const MacroStore macros(store);
    EXPECT_EQ(macros.names(), (Names{"Macro_1", "Jump"}));
    const Macro jump = macros.load("Jump");
    EXPECT_EQ(jump.items, (Items{"A   Dn", "A   Up"}));
    EXPECT_TRUE(jump.loop);
    EXPECT_EQ(jump.loopTimes, "3");
}

TEST_F(MacroRename, RefusedNamesLeaveTheStoreUntouched) {
    const auto store = file("record.ini");
    const std::string text =
        "[Macro_0]\r\nMacroLoopTimes=1\r\n\r\n[Macro_1]\r\nMacroLoopTimes=2\r\n";
    put(store, text);
    EXPECT_EQ(renameMacroSection(store, "Macro_0", "").status, MacroRenameStatus::InvalidName);
    EXPECT_EQ(renameMacroSection(store, "Macro_0", std::string(32, 'x')).status,
              MacroRenameStatus::InvalidName);
    EXPECT_EQ(renameMacroSection(store, "Macro_0", "a]b").status, MacroRenameStatus::InvalidName);
    EXPECT_EQ(renameMacroSection(store, "Macro_0", "MACRO_1").status,
              MacroRenameStatus::DuplicateName);
    EXPECT_EQ(renameMacroSection(store, "Macro_0", "Macro_0").status, MacroRenameStatus::Unchanged);
    EXPECT_EQ(contents(store), text);
}

TEST_F(MacroRename, MacroWithoutSectionGetsOneUnderItsNewName) {
    const auto store = file("record.ini");
    put(store, "[Other]\r\nMacroLoopTimes=1\r\n");
    ASSERT_EQ(renameMacroSection(store, "Gone", "Back").status, MacroRenameStatus::Renamed);
    EXPECT_EQ(MacroStore(store).names(), (Names{"Other", "Back"}));
}

} // namespace
} // namespace qvr

namespace qvr {
namespace {

ConfigRecord macroButtons(std::initializer_list<std::pair<int, int>> buttons) {
    ConfigRecord record{};
    for (const auto& [button, number] : buttons) {
        record.buttonFunction[button] = 12; // the macro key
        record.buttonMacroNumber[button] = static_cast<std::uint8_t>(number);
    }
    return record;
}

TEST(MacroNumbers, ButtonsFollowTheirMacroByNameAndAGoneMacrosButtonTakesItsFactoryFunction) {
    ConfigRecord factory{};
    factory.buttonFunction.fill(0);
    factory.buttonFunction[1] = 5;
    factory.buttonMediaCode[1] = 0x33;
    ConfigRecord record = macroButtons({{0, 0}, {1, 1}, {2, 2}, {3, 7}});
    record.buttonFunction[4] = 3; // not a macro key: left alone
    record.buttonMacroNumber[4] = 1;
    record.buttonMacroRepeat[1] = 2;
    const std::vector<int> restored =
        remapMacroNumbers(record, {"A", "B", "C"}, {"c", "A"}, factory);
    EXPECT_EQ(record.buttonMacroNumber[0], 1); // A
    EXPECT_EQ(record.buttonMacroNumber[2], 0); // C
    EXPECT_EQ(record.buttonMacroNumber[3], 7); // beyond the named table
    EXPECT_EQ(record.buttonFunction[4], 3);
    EXPECT_EQ(record.buttonMacroNumber[4], 1);
    // B is gone: the first empty position would be filled by the next macro
    // made, so the button goes back to what the factory gave it, all of it.
    EXPECT_EQ(restored, std::vector<int>{1});
    EXPECT_EQ(record.buttonFunction[1], 5);
    EXPECT_EQ(record.buttonMediaCode[1], 0x33);
    EXPECT_EQ(record.buttonMacroNumber[1], 0);
    EXPECT_EQ(record.buttonMacroRepeat[1], 0);

    // Twelve macros: neither the neighbour that took its place nor a number
    // past the table.
    std::vector<std::string> twelve;
    for (int i = 0; i < 12; ++i)
        twelve.push_back("M" + std::to_string(i));
    std::vector<std::string> after = twelve;
    after[5] = "New";
    ConfigRecord full = macroButtons({{0, 5}});
    EXPECT_EQ(remapMacroNumbers(full, twelve, after, factory), std::vector<int>{0});
    EXPECT_EQ(full.buttonFunction[0], 0);
}

TEST(MacroNumbers, RenamesKeepTheNameListInStep) {
    std::vector<std::string> names{"A", "B"};
    renameInList(names, "b", "Jump");
    renameInList(names, "missing", "X");
    EXPECT_EQ(names, (std::vector<std::string>{"A", "Jump"}));
}

} // namespace
} // namespace qvr
