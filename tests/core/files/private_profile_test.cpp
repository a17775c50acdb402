#include "core/files/atomic_file.h"
#include "core/files/ini_file.h"
#include "core/files/private_profile.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace qvr {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

class ProfileFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = fs::temp_directory_path() /
                  ("qvr-ini-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder_);
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    fs::path file(const std::string& name) const { return folder_ / name; }

    static void put(const fs::path& path, std::string_view bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string contents(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::size_t entriesInFolder() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder_), fs::directory_iterator{}));
    }

    fs::path folder_;
};

TEST_F(ProfileFileTest, ReadsKeysFromAFileAndEmptyFromAMissingOne) {
    put(file("str0.ini"), "[Skins]\r\nLan=CHS\r\n[Profile]\r\nItem0=PROFILE_0\r\n");
    EXPECT_EQ(readProfileString(file("str0.ini"), "skins", "lan"), "CHS");
    EXPECT_EQ(readProfileString(file("str0.ini"), "Skins", "RColor"), "");
    EXPECT_EQ(readProfileString(file("nope.ini"), "Skins", "Lan"), "");
    EXPECT_EQ(readProfileString(file("nope.ini"), "Skins", "Lan", "x"), "x");
    EXPECT_EQ(readProfileSectionNames(file("str0.ini")),
              (std::vector<std::string>{"Skins", "Profile"}));
    EXPECT_EQ(readProfileKeyNames(file("str0.ini"), "Profile"),
              (std::vector<std::string>{"Item0"}));
    EXPECT_TRUE(readProfileSectionNames(file("nope.ini")).empty());
}

TEST_F(ProfileFileTest, WritingCreatesAMissingFileAsUtf8WithCrLf) {
    const auto path = file("record.ini");
    ASSERT_TRUE(writeProfileString(path, "Macro_0", "MacroLoopTimes", "1").ok());
    ASSERT_TRUE(writeProfileString(path, "Macro_0", "ItemCount", "0").ok());
    EXPECT_EQ(contents(path), "[Macro_0]\r\nMacroLoopTimes=1\r\nItemCount=0\r\n");
    EXPECT_EQ(entriesInFolder(), 1u); // no temporary file left behind
}

TEST_F(ProfileFileTest, WritingKeepsTheEncodingOfAUtf16File) {
    const auto path = file("str1.ini");
    const std::string utf16 = "\xFF\xFE[\0A\0]\0\r\0\n\0"s;
    put(path, utf16);
    ASSERT_TRUE(writeProfileString(path, "A", "k", "v").ok());
    EXPECT_EQ(contents(path), utf16 + "k\0=\0v\0\r\0\n\0"s);
}

TEST_F(ProfileFileTest, RemovingASectionOrKeyRewritesOnlyWhenSomethingGoes) {
    const auto path = file("record.ini");
    put(path, "[A]\nx=1\n[B]\ny=2\n");
    ASSERT_TRUE(removeProfileSection(path, "a").ok());
    EXPECT_EQ(contents(path), "[B]\ny=2\n");
    ASSERT_TRUE(removeProfileKey(path, "B", "Y").ok());
    EXPECT_EQ(contents(path), "[B]\n");

    const auto before = fs::last_write_time(path);
    ASSERT_TRUE(removeProfileSection(path, "Missing").ok());
    EXPECT_EQ(fs::last_write_time(path), before);
    // Removing from a file that is not there does not create it.
    ASSERT_TRUE(removeProfileSection(file("absent.ini"), "A").ok());
    EXPECT_FALSE(fs::exists(file("absent.ini")));
}

TEST_F(ProfileFileTest, RefusedValueIsReportedAndTheFileUntouched) {
    const auto path = file("str0.ini");
    put(path, "[A]\r\nx=1\r\n");
    const auto result = writeProfileString(path, "A", "x", "1\n[B]");
    EXPECT_EQ(result.errorCode, EINVAL);
    EXPECT_EQ(contents(path), "[A]\r\nx=1\r\n");
}

TEST_F(ProfileFileTest, AFailureAtAnyStageLeavesTheOldFileByteIdentical) {
    const auto path = file("str0.ini");
    const std::string original = "; mine\r\n[Setting-EN]\r\nItem1=Click\r\n";
    put(path, original);
    for (auto stage : {AtomicWriteStage::CreateTemporary, AtomicWriteStage::WriteData,
                       AtomicWriteStage::Flush, AtomicWriteStage::Rename}) {
        const auto fault = [stage](AtomicWriteStage at) { return at == stage ? ENOSPC : 0; };
        const auto result = writeProfileString(path, "Setting-EN", "Item1", "Menu", fault);
        EXPECT_EQ(result.errorCode, ENOSPC) << static_cast<int>(stage);
        EXPECT_FALSE(result.message.empty());
        EXPECT_EQ(contents(path), original) << static_cast<int>(stage);
        EXPECT_EQ(entriesInFolder(), 1u) << static_cast<int>(stage);
    }
    ASSERT_TRUE(writeProfileString(path, "Setting-EN", "Item1", "Menu").ok());
    EXPECT_EQ(contents(path), "; mine\r\n[Setting-EN]\r\nItem1=Menu\r\n");
}

TEST_F(ProfileFileTest, WritingIntoAMissingFolderReportsTheSystemError) {
    const auto result = writeProfileString(file("no-such-dir") / "str0.ini", "A", "k", "v");
    EXPECT_EQ(result.errorCode, ENOENT);
    EXPECT_FALSE(result.ok());
}

TEST_F(ProfileFileTest, AnUnreadableFileIsNeverReplaced) {
    // A folder where the file should be: it cannot be read, so a write must
    // not put a new file in its place.
    fs::create_directory(file("str0.ini"));
    const auto loaded = loadIniFile(file("str0.ini"));
    EXPECT_EQ(loaded.status, IniLoadStatus::Failed);
    EXPECT_EQ(loaded.errorCode, EISDIR);
    EXPECT_EQ(writeProfileString(file("str0.ini"), "A", "k", "v").errorCode, EISDIR);
    EXPECT_TRUE(fs::is_directory(file("str0.ini")));
}

TEST_F(ProfileFileTest, OversizedFileIsRefusedNotLoaded) {
    const auto path = file("big.ini");
    {
        std::ofstream out(path, std::ios::binary);
        const std::string block(1 << 20, 'x');
        for (std::uintmax_t written = 0; written <= kIniMaxFileSize; written += block.size()) {
            out << block;
        }
    }
    const auto loaded = loadIniFile(path);
    EXPECT_EQ(loaded.status, IniLoadStatus::Failed);
    EXPECT_EQ(loaded.errorCode, EFBIG);
    const auto size = fs::file_size(path);
    EXPECT_EQ(writeProfileString(path, "A", "k", "v").errorCode, EFBIG);
    EXPECT_EQ(fs::file_size(path), size);
}

TEST_F(ProfileFileTest, AtomicWriteReplacesThroughALinkAndKeepsPermissions) {
    const auto target = file("real.bin");
    put(target, "old");
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink(target, file("link.bin"));
    const std::uint8_t bytes[] = {1, 2, 3};
    ASSERT_TRUE(writeFileAtomically(file("link.bin"), bytes).ok());
    EXPECT_TRUE(fs::is_symlink(file("link.bin")));
    EXPECT_EQ(contents(target), std::string("\1\2\3"));
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

} // namespace
} // namespace qvr
