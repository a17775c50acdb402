#include "config/profile_list.h"
#include "config/profile_slots.h"

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

} // namespace
} // namespace qvr
