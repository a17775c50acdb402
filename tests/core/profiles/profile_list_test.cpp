#include "core/profiles/auto_switch.h"
#include "core/profiles/profile_list.h"
#include "core/profiles/profile_slots.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace qvr {
namespace {

using Names = std::vector<std::string>;

TEST(ProfileList, NewNamesFollowTheLastName) {
    EXPECT_EQ(nextProfileName({}), "PROFILE_0");
    EXPECT_EQ(nextProfileName({"PROFILE_0", "PROFILE_1"}), "PROFILE_2");
    EXPECT_EQ(nextProfileName({"Game"}), "Game_1");
    EXPECT_EQ(nextProfileName({"my_set"}), "PROFILE_1");
    EXPECT_EQ(nextProfileName({"a", "b", "c"}), "c_3");
}

TEST(ProfileList, CurrentNamePrefersAnExactMatchOverAPrefix) {
    // A plain prefix search from the second entry would pick "Game2" and
    // make opening the manager switch the profile.
    EXPECT_EQ(findCurrentProfile({"Game", "Game2"}, "Game"), 0);
    EXPECT_EQ(findCurrentProfile({"P", "P"}, "P"), 1);
    EXPECT_EQ(findCurrentProfile({"alpha", "Beta", "gamma"}, "be"), 1);
    EXPECT_EQ(findCurrentProfile({"abc", "xyz", "abd"}, "AB"), 2);
    EXPECT_EQ(findCurrentProfile({"abc", "xyz"}, "AB"), 0);
    EXPECT_EQ(findCurrentProfile({"abc"}, "q"), std::nullopt);
    EXPECT_EQ(findCurrentProfile({"abc"}, ""), std::nullopt);
    EXPECT_EQ(findCurrentProfile({"abc", ""}, ""), 1);
}

class ProfileListFile : public ::testing::Test {
  protected:
    std::string read() const {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    void write(const std::string& text) const { std::ofstream(path, std::ios::binary) << text; }

    void SetUp() override { std::filesystem::create_directories(folder); }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::filesystem::path folder =
        std::filesystem::temp_directory_path() /
        ("qvr-profile-list-" +
         std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    std::filesystem::path path = folder / "str.ini";
};

TEST_F(ProfileListFile, ClosingWritesSelectionCountAndNamesAndKeepsOtherSections) {
    write("[Setting-EN]\r\nItem1=Click\r\n\r\n[Profile]\r\nCurProfileName=A\r\nItemCount=1\r\n"
          "Item0=A\r\n\r\n[Skins]\r\nPath=Carbon\r\n");
    std::optional<int> current;
    ASSERT_TRUE(writeProfileList(path, {"A", "B", "C"}, 2, &current).ok());
    EXPECT_EQ(current, 2);
    const ProfileList list = readProfileList(path);
    EXPECT_EQ(list.names, (Names{"A", "B", "C"}));
    EXPECT_EQ(list.currentName, "C");
    const std::string text = read();
    EXPECT_NE(text.find("[Setting-EN]\r\nItem1=Click"), std::string::npos);
    EXPECT_NE(text.find("[Skins]\r\nPath=Carbon"), std::string::npos);
}

TEST_F(ProfileListFile, NothingSelectedStoresTheFirstNameAndPositionZero) {
    write("[Profile]\r\nCurProfileName=B\r\nItemCount=2\r\nItem0=A\r\nItem1=B\r\n");
    std::optional<int> current;
    ASSERT_TRUE(writeProfileList(path, {"A", "B"}, std::nullopt, &current).ok());
    EXPECT_EQ(current, 0);
    EXPECT_EQ(readProfileList(path).currentName, "A");
}

TEST_F(ProfileListFile, EmptyListWritesOnlyAnEmptyCurrentName) {
    write("[Profile]\r\nCurProfileName=B\r\nItemCount=2\r\nItem0=A\r\nItem1=B\r\n");
    std::optional<int> current = 4;
    ASSERT_TRUE(writeProfileList(path, {}, std::nullopt, &current).ok());
    EXPECT_EQ(current, std::nullopt);
    EXPECT_EQ(read(), "[Profile]\r\nCurProfileName=\r\n");
}

TEST_F(ProfileListFile, CountOutsideOneToSixReadsAsEmptyList) {
    write("[Profile]\r\nCurProfileName=A\r\nItemCount=7\r\nItem0=A\r\n");
    EXPECT_TRUE(readProfileList(path).names.empty());
    write("[Profile]\r\nItemCount=0\r\n");
    EXPECT_TRUE(readProfileList(path).names.empty());
}

TEST_F(ProfileListFile, NamesThatAreNotUtf8AreReadAndWrittenBackByteForByte) {
    // Latin-1 "Café", GBK "游戏", and an empty current name.
    const std::string text = "[Profile]\r\nCurProfileName=\r\nItemCount=3\r\nItem0=Caf\xE9\r\n"
                             "Item1=\xD3\xCE\xCF\xB7\r\nItem2=\r\n";
    write(text);
    const ProfileList list = readProfileList(path);
    EXPECT_EQ(list.names, (Names{"Caf\xE9", "\xD3\xCE\xCF\xB7", ""}));
    EXPECT_EQ(findCurrentProfile(list.names, list.currentName), 2);
    ASSERT_TRUE(ProfileSlots(folder).writeList(list.names, list.currentName).ok());
    EXPECT_EQ(read(), text);
}

// Automatic switching: its rules file, which lives beside the list and names
// profiles by the list's names.
TEST_F(ProfileListFile, AutoSwitchRulesSurviveTheFileAndAHandEditedOneIsReadSafely) {
    EXPECT_EQ(readAutoSwitchRules(folder).status, AutoSwitchFileStatus::Missing);
    EXPECT_EQ(readAutoSwitchRules(folder).rules, AutoSwitchRules{});
    EXPECT_TRUE(AutoSwitchRules{}.enabled) << "a first rule must work without a second step";

    AutoSwitchRules rules;
    rules.enabled = false;
    rules.defaultProfile = "Desk top";
    rules.setRule("firefox", "Web");
    rules.setRule("Steam", "Game");
    rules.setRule("FIREFOX", "Browse"); // the same application: its rule changes
    rules.setRule("\xE6\xB8\xB8\xE6\x88\x8F", "Game");
    ASSERT_TRUE(writeAutoSwitchRules(folder, rules).ok());
    const AutoSwitchRead read = readAutoSwitchRules(folder);
    EXPECT_EQ(read.status, AutoSwitchFileStatus::Loaded);
    EXPECT_EQ(read.rules, rules);
    ASSERT_EQ(read.rules.rules.size(), 3u);
    EXPECT_EQ(read.rules.rules[0], (AutoSwitchRule{"firefox", "Browse"}));
    AutoSwitchRules fewer = read.rules;
    EXPECT_TRUE(fewer.removeRule("steam"));
    EXPECT_FALSE(fewer.removeRule("steam"));

    // Repeated and empty applications, rules without a profile and a
    // count that is not a number or far too large are passed over.
    const auto file = folder / std::string(kAutoSwitchFileName);
    std::ofstream(file, std::ios::binary)
        << "[AutoSwitch]\r\nCount=5\r\nApp0=Term\r\nProfile0=A\r\nApp1=term\r\nProfile1=B\r\n"
           "App2=\r\nProfile2=C\r\nApp3=mpv\r\nProfile3=\r\nApp4=  vlc  \r\nProfile4=D\r\n";
    EXPECT_EQ(readAutoSwitchRules(folder).rules.rules,
              (std::vector<AutoSwitchRule>{{"Term", "A"}, {"vlc", "D"}}));
    EXPECT_TRUE(readAutoSwitchRules(folder).rules.enabled);
    for (const char* count : {"x", "-1", "99999999999"}) {
        std::ofstream(file, std::ios::binary)
            << "[AutoSwitch]\r\nCount=" << count << "\r\nApp0=Term\r\nProfile0=A\r\n";
        const auto odd = readAutoSwitchRules(folder).rules.rules;
        EXPECT_LE(odd.size(), 1u) << count;
    }

    // A name that would break a line of the file is never written.
    EXPECT_EQ(storableApplicationName("  steam\t"), "steam");
    EXPECT_EQ(storableApplicationName("two\nlines"), std::nullopt);
    EXPECT_EQ(storableApplicationName(" "), std::nullopt);
    AutoSwitchRules broken;
    broken.setRule("app", "two\nlines");
    const auto text = [&file] {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    const std::string before = text();
    EXPECT_FALSE(writeAutoSwitchRules(folder, broken).ok());
    EXPECT_EQ(text(), before);

    // Something that is not a file cannot be read as rules.
    std::filesystem::remove(file);
    std::filesystem::create_directory(file);
    EXPECT_EQ(readAutoSwitchRules(folder).status, AutoSwitchFileStatus::Unreadable);
}

TEST(AutoSwitch, AnyNameOfTheWindowMatchesWithoutCaseAndTheFirstRuleWins) {
    AutoSwitchRules rules;
    rules.setRule("xterm", "Shell");
    rules.setRule("Firefox-ESR", "Web");
    rules.setRule("bash", "Other");
    const FocusedWindow xterm{{"XTerm", "xterm", "bash"}};
    EXPECT_EQ(profileForFocus(rules, xterm), "Shell");
    EXPECT_EQ(profileForFocus(rules, FocusedWindow{{"firefox-esr"}}), "Web");
    // The process name alone (a window whose class has no rule).
    EXPECT_EQ(profileForFocus(rules, FocusedWindow{{"Konsole", "konsole", "BASH"}}), "Other");
    EXPECT_EQ(profileForFocus(rules, FocusedWindow{{"mpv"}}), std::nullopt) << "stay";
    rules.defaultProfile = "Desk";
    EXPECT_EQ(profileForFocus(rules, FocusedWindow{{"mpv"}}), "Desk");
    EXPECT_EQ(profileForFocus(rules, FocusedWindow{}), "Desk");
    EXPECT_TRUE(sameApplication("Org.Gnome.Nautilus", "org.gnome.nautilus"));
    EXPECT_FALSE(sameApplication("steam", "steam "));
}

// The switcher on a clock of the test's own: time points are given, never
// waited for.
class AutoSwitchTiming : public ::testing::Test {
  protected:
    using Kind = AutoSwitchStep::Kind;
    AutoSwitchTiming() {
        AutoSwitchRules rules;
        rules.setRule("xterm", "Shell");
        rules.setRule("firefox", "Web");
        rules.setRule("mpv", "Nowhere");
        rules.setRule("vlc", "Twice");
        switcher.setRules(rules);
    }
    AutoSwitcher::Clock::time_point at(int ms) const {
        return start + std::chrono::milliseconds(ms);
    }
    void focus(const std::string& name, int ms) { switcher.focusChanged({{name}}, at(ms)); }
    AutoSwitchStep step(int ms) { return switcher.step(at(ms), view); }

    AutoSwitcher switcher;
    AutoSwitcher::Clock::time_point start{std::chrono::seconds(1000)};
    SwitchView view{{"Desk", "Shell", "Web", "Twice", "Twice"}, 0, false};
};

TEST_F(AutoSwitchTiming, AFocusCountsOnceItStayedHalfASecondAndOnlyOnce) {
    focus("XTerm", 0);
    EXPECT_EQ(switcher.deadline(), at(500));
    EXPECT_EQ(step(499).kind, Kind::None);
    EXPECT_EQ(step(500), (AutoSwitchStep{Kind::Switch, 1, "Shell", "XTerm"}));
    EXPECT_EQ(switcher.deadline(), std::nullopt);
    EXPECT_EQ(step(2000).kind, Kind::None) << "a settled focus decides once";
    // The same window reported again (a second property change) neither
    // restarts nor repeats anything.
    view.current = 1;
    focus("XTerm", 2100);
    EXPECT_EQ(switcher.deadline(), std::nullopt);
}

TEST_F(AutoSwitchTiming, PassingThroughWindowsSwitchesOnlyToTheLastOne) {
    focus("firefox", 0);
    focus("xterm", 120);
    focus("mpv", 240);
    focus("firefox", 360);
    focus("xterm", 480);
    for (int ms = 0; ms < 980; ms += 20)
        EXPECT_EQ(step(ms).kind, Kind::None) << ms;
    EXPECT_EQ(step(980), (AutoSwitchStep{Kind::Switch, 1, "Shell", "xterm"}));
    // The profile a settled focus already has, one the list lacks or holds
    // twice: nothing to send.
    view.current = 1;
    focus("firefox", 1000);
    focus("xterm", 1100);
    EXPECT_EQ(step(1700).kind, Kind::None);
    focus("mpv", 2000);
    EXPECT_EQ(step(2500).kind, Kind::None);
    focus("vlc", 3000);
    EXPECT_EQ(step(3500).kind, Kind::None);
}

TEST_F(AutoSwitchTiming, UnsavedEditsPauseSwitchingAndSayItOnce) {
    view.unsavedEdits = true;
    focus("xterm", 0);
    EXPECT_EQ(step(500), (AutoSwitchStep{Kind::Paused, 1, "Shell", "xterm"}));
    focus("firefox", 600);
    EXPECT_EQ(step(1100).kind, Kind::None) << "said once";
    // Saved: the next focus switches, and a later pause is told again.
    view.unsavedEdits = false;
    focus("xterm", 1200);
    EXPECT_EQ(step(1700).kind, Kind::Switch);
    view.current = 1;
    view.unsavedEdits = true;
    focus("firefox", 1800);
    EXPECT_EQ(step(2300).kind, Kind::Paused);
}

TEST_F(AutoSwitchTiming, OwnWindowsAndSwitchingOffLeaveTheProfileAlone) {
    focus("xterm", 0);
    EXPECT_EQ(step(500).kind, Kind::Switch);
    view.current = 1;
    // The tray menu, a profile chosen there by hand, back to the terminal:
    // the hand's choice stays.
    focus("firefox", 1000);
    switcher.focusChanged({{"VL384-netGMClass"}, true}, at(1100));
    EXPECT_EQ(switcher.deadline(), std::nullopt) << "own windows cancel a pending focus";
    EXPECT_EQ(step(1700).kind, Kind::None);
    view.current = 0;
    focus("xterm", 1800);
    EXPECT_EQ(step(2400).kind, Kind::None);

    AutoSwitchRules off = switcher.rules();
    off.enabled = false;
    switcher.setRules(off);
    focus("firefox", 3000);
    EXPECT_EQ(step(3500).kind, Kind::None);
    // The editor still learns what had the focus, newest first, once each.
    EXPECT_EQ(switcher.recentApplications(), (Names{"firefox", "xterm"}));
    switcher.focusChanged({{"XTerm", "uxterm", "bash"}}, at(3600));
    EXPECT_EQ(switcher.recentApplications(), (Names{"XTerm", "uxterm", "bash", "firefox"}));
    for (int i = 0; i < 12; ++i)
        focus("app" + std::to_string(i), 4000 + i);
    focus("APP11", 5000);
    EXPECT_EQ(switcher.recentApplications().size(), AutoSwitcher::kRecentCount);
    EXPECT_EQ(switcher.recentApplications().front(), "APP11");
}

} // namespace
} // namespace qvr
