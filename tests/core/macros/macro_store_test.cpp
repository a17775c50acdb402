#include "core/files/ini_file.h"
#include "core/macros/macro_encoder.h"
#include "core/macros/macro_store.h"
#include "support/macro_test_support.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace qvr {
namespace {

using test::expectImage;
using test::imageOf;
using Names = std::vector<std::string>;

// One section in the stored key order.
std::string section(const std::string& name, const std::string& loopTimes,
                    const std::vector<std::string>& items, int delays = 1, int loop = 0) {
    std::string text = "[" + name + "]\r\n";
    text += "DelayTimeSelStatus=" + std::to_string(delays) + "\r\n";
    text += "LoopTimeSelStatus=" + std::to_string(loop) + "\r\n";
    text += "MacroLoopTimes=" + loopTimes + "\r\n";
    text += "ItemCount=" + std::to_string(items.size()) + "\r\n";
    for (std::size_t i = 0; i < items.size(); ++i) {
        text += "Item" + std::to_string(i) + "=" + items[i] + "\r\n";
    }
    return text;
}

class MacroStoreTest : public test::TempFolderTest {
  protected:
    std::filesystem::path storePath() const { return file("record.ini"); }
    MacroStore store() const { return MacroStore(storePath()); }

    void putThreeMacros() {
        put(storePath(), section("Macro_0", "1", {"A   Dn"}) + "\r\n" +
                             section("Macro_1", "1", {"B   Dn"}) + "\r\n" +
                             section("Macro_2", "1", {"C   Dn"}));
    }
};

TEST_F(MacroStoreTest, ListsSectionNamesInFileOrder) {
    put(storePath(), "[Zeta]\r\nItemCount=0\r\n[alpha]\r\n[Macro_1]\r\n");
    EXPECT_EQ(store().names(), (Names{"Zeta", "alpha", "Macro_1"}));
}

TEST_F(MacroStoreTest, ListLeavesOutNamesOverThirtyOneCharactersAndNamesBeyondTheScanWindow) {
    const std::string longName(32, 'L');
    const std::string limitName(31, 'm');
    const std::string wide = "\xE5\xAE\x8F_0"; // three UTF-16 units, five bytes
    put(storePath(), "[" + longName + "]\r\n[" + limitName + "]\r\n[" + wide + "]\r\n");
    EXPECT_EQ(store().names(), (Names{limitName, wide}));

    // Names of 30 units take 31 characters of the window each: eight end
    // within 255 characters, the ninth would end at 279.
    std::string text;
    Names expected;
    for (char c = 'a'; c <= 'i'; ++c) {
        const std::string name = std::string(29, c) + "_";
        text += "[" + name + "]\r\n";
        if (c != 'i') {
            expected.push_back(name);
        }
    }
    put(storePath(), text);
    EXPECT_EQ(store().names(), expected);
}

TEST_F(MacroStoreTest, MissingStoreListsNothingAndLoadsAnEmptyMacro) {
    EXPECT_TRUE(store().names().empty());
    const Macro macro = store().load("Macro_0");
    EXPECT_EQ(macro.name, "Macro_0");
    EXPECT_TRUE(macro.items.empty());
    EXPECT_EQ(macro.loopTimes, "");
}

TEST_F(MacroStoreTest, LoadsItemsFlagsAndLoopText) {
    put(storePath(), "[Macro_0]\r\nDelayTimeSelStatus=0\r\nLoopTimeSelStatus=1\r\n"
                     "MacroLoopTimes=300\r\nItemCount=4\r\nItem0=A   Dn\r\nItem1=120 ms\r\n"
                     "item2=A   Up\r\n");
    const Macro macro = store().load("MACRO_0");
    EXPECT_EQ(macro.items, (Names{"A   Dn", "120 ms", "A   Up", ""})); // Item3 missing
    EXPECT_FALSE(macro.recordDelays);
    EXPECT_TRUE(macro.loop);
    EXPECT_EQ(macro.loopTimes, "300");
}

TEST_F(MacroStoreTest, LoadBelievesAWildItemCountOnlyUpToTheItemLimit) {
    put(storePath(), "[Macro_0]\r\nItemCount=4000000000\r\nItem0=A   Dn\r\n");
    EXPECT_EQ(store().load("Macro_0").items.size(), kMaxMacroItems);
}

TEST_F(MacroStoreTest, SaveRewritesTheSectionAtTheEndInKeyOrder) {
    putThreeMacros();
    const Macro macro{"macro_0", {"Q   Dn", "1310 ms", "Q   Up"}, true, true, "7"};
    const MacroSaveResult result = store().save(macro);
    ASSERT_EQ(result.status, MacroSaveStatus::Saved);
    EXPECT_EQ(result.movedFrom, 0);
    EXPECT_EQ(result.macroCount, 3);
    EXPECT_EQ(store().names(), (Names{"Macro_1", "Macro_2", "macro_0"}));
    EXPECT_EQ(contents(storePath()),
              section("Macro_1", "1", {"B   Dn"}) + "\r\n" + section("Macro_2", "1", {"C   Dn"}) +
                  "\r\n" + section("macro_0", "7", {"Q   Dn", "1310 ms", "Q   Up"}, 1, 1));
    EXPECT_EQ(store().load("macro_0"), macro);
}

TEST_F(MacroStoreTest, SavingTheFirstOfThreeMacrosMakesItImageTwo) {
    putThreeMacros();
    const MacroTable before = *buildMacroTable(storePath());
    expectImage(imageOf(before, 0), {0x00, 0x01, 0x00, 0x04}); // Macro_0: press A

    ASSERT_EQ(store().save(store().load("Macro_0")).status, MacroSaveStatus::Saved);
    const MacroTable after = *buildMacroTable(storePath());
    expectImage(imageOf(after, 0), {0x00, 0x01, 0x00, 0x05}); // Macro_1: press B
    expectImage(imageOf(after, 1), {0x00, 0x01, 0x00, 0x06}); // Macro_2: press C
    expectImage(imageOf(after, 2), {0x00, 0x01, 0x00, 0x04}); // Macro_0: press A
    for (std::size_t k = 3; k < kMacroCount; ++k) {
        expectImage(imageOf(after, k), {});
    }
}

TEST_F(MacroStoreTest, SaveWritesNothingWithoutAStoreAndEmptiesAnEmptiedMacro) {
    const Macro macro{"Macro_0", {"A   Dn"}, true, false, "1"};
    EXPECT_EQ(store().save(macro).status, MacroSaveStatus::NoStore);
    EXPECT_FALSE(std::filesystem::exists(storePath()));

    // An emptied macro must stop playing its old events.
    putThreeMacros();
    const std::string name = store().names().front();
    ASSERT_FALSE(store().load(name).items.empty());
    EXPECT_EQ(store().save(Macro{name, {}, true, false, "1"}).status, MacroSaveStatus::Saved);
    EXPECT_EQ(store().load(name).items, std::vector<std::string>{});
    EXPECT_NE(contents(storePath()).find("ItemCount=0"), std::string::npos);
    const auto table = buildMacroTable(storePath());
    ASSERT_TRUE(table);
    const auto position = store().names().size() - 1; // a save moves it last
    EXPECT_TRUE(std::all_of(table->begin() + static_cast<long>(position * kMacroImageSize),
                            table->begin() + static_cast<long>((position + 1) * kMacroImageSize),
                            [](std::uint8_t b) { return b == 0; }));
}

TEST_F(MacroStoreTest, RefusedSaveLeavesTheOldSectionInPlace) {
    putThreeMacros();
    const std::string before = contents(storePath());

    const MacroSaveResult badItem =
        store().save(Macro{"Macro_1", {"A   Dn", "line\nbreak"}, true, false, "1"});
    EXPECT_EQ(badItem.status, MacroSaveStatus::Failed);
    EXPECT_EQ(badItem.file.errorCode, EINVAL);

    const MacroSaveResult longName =
        store().save(Macro{std::string(32, 'x'), {"A   Dn"}, true, false, "1"});
    EXPECT_EQ(longName.status, MacroSaveStatus::Failed);
    EXPECT_FALSE(longName.file.message.empty());

    const MacroSaveResult diskFull =
        store().save(Macro{"Macro_1", {"A   Dn"}, true, false, "1"}, [](AtomicWriteStage stage) {
            return stage == AtomicWriteStage::WriteData ? ENOSPC : 0;
        });
    EXPECT_EQ(diskFull.status, MacroSaveStatus::Failed);
    EXPECT_EQ(diskFull.file.errorCode, ENOSPC);

    EXPECT_EQ(contents(storePath()), before);
}

TEST_F(MacroStoreTest, WriteLoopCountCreatesTheFileAndTheSection) {
    ASSERT_TRUE(store().writeLoopCount("Macro_0", 1).ok());
    EXPECT_EQ(contents(storePath()), "[Macro_0]\r\nMacroLoopTimes=1\r\n");

    ASSERT_TRUE(store().writeLoopCount("macro_0", 65535).ok());
    ASSERT_TRUE(store().writeLoopCount("Macro_1", -4).ok());
    EXPECT_EQ(contents(storePath()),
              "[Macro_0]\r\nMacroLoopTimes=65535\r\n\r\n[Macro_1]\r\nMacroLoopTimes=-4\r\n");
    EXPECT_EQ(store().names(), (Names{"Macro_0", "Macro_1"}));

    EXPECT_EQ(store().writeLoopCount("", 1).errorCode, EINVAL);
}

TEST_F(MacroStoreTest, DeleteRemovesOnlyThatSection) {
    putThreeMacros();
    ASSERT_TRUE(store().remove("MACRO_1").ok());
    EXPECT_EQ(store().names(), (Names{"Macro_0", "Macro_2"}));
    EXPECT_EQ(store().load("Macro_2").items, (Names{"C   Dn"}));
    EXPECT_TRUE(store().remove("Macro_9").ok());

    EXPECT_TRUE(MacroStore(file("none.ini")).remove("Macro_0").ok());
    EXPECT_FALSE(std::filesystem::exists(file("none.ini")));
}

TEST_F(MacroStoreTest, TableTakesOnlyTheFirstTwelveListedMacros) {
    std::string text = section(std::string(40, 'X'), "1", {"Z   Dn"}); // too long: no image
    for (int k = 0; k < 13; ++k) {
        text +=
            section("M" + std::to_string(k), "1", {"A   Dn", std::to_string(10 * (k + 1)) + " ms"});
    }
    put(storePath(), text);
    ASSERT_EQ(store().names().size(), 13u);

    const MacroTable table = *buildMacroTable(storePath());
    for (std::size_t k = 0; k < kMacroCount; ++k) {
        SCOPED_TRACE(k);
        expectImage(imageOf(table, k), {
                                           0x00, 0x01,                             // loop count
                                           static_cast<std::uint8_t>(k + 1), 0x04, // press A
                                       });
    }
}

TEST_F(MacroStoreTest, TableFromAMissingStoreIsZeroAndFromAnUnreadableOneIsRefused) {
    const std::optional<MacroTable> missing = buildMacroTable(storePath());
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(*missing, MacroTable{});

    std::filesystem::create_directories(storePath()); // exists, cannot be read as a file
    EXPECT_FALSE(buildMacroTable(storePath()).has_value());
    EXPECT_EQ(store().save(Macro{"Macro_0", {"A   Dn"}, true, false, "1"}).status,
              MacroSaveStatus::Failed);
}

TEST_F(MacroStoreTest, TableReadsFlagsAsTheStoreHoldsThem) {
    put(storePath(), section("Empty", "300", {}, 1, 1) +
                         section("Looped", "300", {"A   Dn", "A   Up"}, 0, 1) +
                         section("NotLooped", "300", {"A   Dn"}, 1, 2));
    const MacroTable table = buildMacroTable(IniFile::fromText(contents(storePath())));
    expectImage(imageOf(table, 0), {});
    expectImage(imageOf(table, 1), {
                                       0x01, 0x2C, // loop count 300
                                       0x05, 0x04, // press A, 50 ms (delays off)
                                       0x85, 0x04, // release A, 50 ms
                                   });
    expectImage(imageOf(table, 2), {
                                       0x00, 0x01, // LoopTimeSelStatus 2 is not "on"
                                       0x00, 0x04, // press A
                                   });
}

} // namespace
} // namespace qvr
