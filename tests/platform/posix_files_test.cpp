#include "core/profiles/profile_files.h"
#include "platform/app_folders.h"
#include "platform/posix_file_system.h"
#include "platform/single_instance_lock.h"
#include "support/process.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qvr {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::vector<std::uint8_t> bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

std::string contents(const fs::path& path) {
    return test::readText(path);
}

// The uid of "nobody", to plant folders that belong to someone else (the
// tests run as root in CI; as an ordinary user chown is refused).
std::optional<uid_t> otherUser() {
    const passwd* nobody = ::getpwnam("nobody");
    if (::geteuid() != 0 || nobody == nullptr)
        return std::nullopt;
    return nobody->pw_uid;
}

TEST(PosixFiles, ReadsRefuseFifosAndDevicesAtOnceAndHugeFilesBeforeReading) {
    TempDir dir;
    PosixFileSystem files;
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    EXPECT_EQ(files.readFile(dir / "fifo", 100).errorCode, EINVAL);
    EXPECT_EQ(files.readFile("/dev/zero", 100).errorCode, EINVAL);
    EXPECT_EQ(files.readFile(dir.path(), 100).errorCode, EISDIR);
    EXPECT_EQ(files.readFile(dir / "none", 100).errorCode, ENOENT);

    // A sparse gigabyte: refused from its size, never allocated.
    { std::ofstream(dir / "huge"); }
    fs::resize_file(dir / "huge", 1ull << 30);
    EXPECT_EQ(files.readFile(dir / "huge", 4096).errorCode, EFBIG);

    test::writeText(dir / "small", "abc");
    const FileRead read = files.readFile(dir / "small", 3);
    EXPECT_TRUE(read.ok());
    EXPECT_EQ(read.bytes, bytesOf("abc"));
    EXPECT_EQ(files.readFile(dir / "small", 2).errorCode, EFBIG);
    EXPECT_EQ(files.entryKind(dir / "fifo"), EntryKind::Special);
}

TEST(PosixFiles, CreateNeverReplacesAnEntryNorWritesThroughADanglingLink) {
    TempDir dir;
    PosixFileSystem files;
    test::writeText(dir / "kept", "mine");
    EXPECT_EQ(files.createFile(dir / "kept", bytesOf("factory")).errorCode, EEXIST);
    EXPECT_EQ(contents(dir / "kept"), "mine");

    fs::create_symlink(dir / "target", dir / "link");
    EXPECT_EQ(files.createFile(dir / "link", bytesOf("x")).errorCode, EEXIST);
    EXPECT_FALSE(fs::exists(dir / "target"));

    EXPECT_TRUE(files.createFile(dir / "new", bytesOf("fresh")).ok());
    EXPECT_EQ(contents(dir / "new"), "fresh");
}

TEST(PosixFiles, ReplaceKeepsModeFollowsLinksAndLeavesTheOldFileOnEveryFault) {
    TempDir dir;
    PosixFileSystem files;
    test::writeText(dir / "real.ini", "old");
    fs::permissions(dir / "real.ini", fs::perms::owner_read | fs::perms::owner_write);
    fs::create_symlink(dir / "real.ini", dir / "link.ini");

    for (AtomicWriteStage stage : {AtomicWriteStage::CreateTemporary, AtomicWriteStage::WriteData,
                                   AtomicWriteStage::Flush, AtomicWriteStage::Rename}) {
        const FileWriteResult failed =
            files.replaceFile(dir / "link.ini", bytesOf("new"),
                              [&](AtomicWriteStage at) { return at == stage ? ENOSPC : 0; });
        EXPECT_EQ(failed.errorCode, ENOSPC);
        EXPECT_EQ(contents(dir / "real.ini"), "old");
    }
    ASSERT_TRUE(files.replaceFile(dir / "link.ini", bytesOf("new"), {}).ok());
    EXPECT_TRUE(fs::is_symlink(dir / "link.ini"));
    EXPECT_EQ(contents(dir / "real.ini"), "new");
    EXPECT_EQ(fs::status(dir / "real.ini").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 2);
}

// Both implementations: a link is renamed and removed itself, never its
// target, and a file already gone counts as removed.
TEST(PosixFiles, RenameAndRemoveTakeTheEntryItselfAndAMissingFileIsRemoved) {
    PosixFileSystem posix;
    StandardFileSystem standard;
    for (FileSystem* files :
         {static_cast<FileSystem*>(&posix), static_cast<FileSystem*>(&standard)}) {
        TempDir dir;
        test::writeText(dir / "a", "A");
        test::writeText(dir / "b", "B");
        fs::create_symlink(dir / "a", dir / "link");
        EXPECT_EQ(files->renameEntry(dir / "a", dir / "b"), 0);
        EXPECT_EQ(contents(dir / "b"), "A");
        EXPECT_FALSE(fs::exists(dir / "a"));
        EXPECT_EQ(files->renameEntry(dir / "a", dir / "c"), ENOENT);
        EXPECT_FALSE(fs::exists(dir / "c"));
        EXPECT_EQ(files->syncFolder(dir.path()), 0);

        EXPECT_EQ(files->renameEntry(dir / "link", dir / "moved"), 0);
        EXPECT_TRUE(fs::is_symlink(fs::symlink_status(dir / "moved")));
        EXPECT_EQ(files->removeEntry(dir / "moved"), 0);
        EXPECT_EQ(files->entryKind(dir / "moved"), EntryKind::Missing);
        EXPECT_EQ(files->removeEntry(dir / "b"), 0);
        EXPECT_EQ(files->removeEntry(dir / "b"), 0);
        EXPECT_TRUE(fs::is_empty(dir.path()));
    }
    EXPECT_EQ(posix.syncFolder(fs::path("/nonexistent-qvr-folder")), ENOENT);
}

TEST(PosixFiles, OnlyAnOwnFolderNobodyElseCanWriteIsTrusted) {
    TempDir dir;
    PosixFileSystem files;
    fs::create_directory(dir / "own");
    fs::permissions(dir / "own", fs::perms::owner_all);
    EXPECT_EQ(files.folderTrust(dir / "own"), FolderTrust::Private);
    fs::permissions(dir / "own", fs::perms::owner_all | fs::perms::group_write);
    EXPECT_EQ(files.folderTrust(dir / "own"), FolderTrust::Shared);
    fs::permissions(dir / "own", fs::perms::owner_all | fs::perms::sticky_bit);
    EXPECT_EQ(files.folderTrust(dir / "own"), FolderTrust::Shared);
    EXPECT_EQ(files.folderTrust(dir / "none"), FolderTrust::Missing);
    if (const auto other = otherUser()) {
        fs::permissions(dir / "own", fs::perms::owner_all);
        ASSERT_EQ(::chown((dir / "own").c_str(), *other, static_cast<gid_t>(-1)), 0);
        EXPECT_EQ(files.folderTrust(dir / "own"), FolderTrust::Shared);
    }
}

// Runs runtimeFolder() with TMPDIR pointing at dir and no XDG_RUNTIME_DIR.
class RuntimeFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char* value = std::getenv("XDG_RUNTIME_DIR"))
            savedRuntime_ = value;
        if (const char* value = std::getenv("TMPDIR"))
            savedTmp_ = value;
        ::unsetenv("XDG_RUNTIME_DIR");
        ::setenv("TMPDIR", dir.path().c_str(), 1);
    }
    void TearDown() override {
        if (savedRuntime_)
            ::setenv("XDG_RUNTIME_DIR", savedRuntime_->c_str(), 1);
        if (savedTmp_)
            ::setenv("TMPDIR", savedTmp_->c_str(), 1);
        else
            ::unsetenv("TMPDIR");
    }
    fs::path own() const { return dir / ("qvr-" + std::to_string(::geteuid())); }

    TempDir dir;

  private:
    std::optional<std::string> savedRuntime_, savedTmp_;
};

TEST_F(RuntimeFolderTest, WithoutTheRuntimeFolderAPrivateOneIsMade) {
    const RuntimeFolder folder = runtimeFolder();
    EXPECT_TRUE(folder.usable()) << folder.problem;
    EXPECT_EQ(folder.path, own());
    EXPECT_EQ(fs::status(own()).permissions() & fs::perms::all, fs::perms::owner_all);
    ::setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
    EXPECT_EQ(runtimeFolder().path, dir / "run");
}

TEST_F(RuntimeFolderTest, APlantedFolderLinkOrWritableFolderIsRefused) {
    fs::create_symlink(dir.path(), own());
    EXPECT_FALSE(runtimeFolder().usable());
    fs::remove(own());

    fs::create_directory(own());
    fs::permissions(own(), fs::perms::owner_all | fs::perms::others_write);
    EXPECT_NE(runtimeFolder().problem.find("other users"), std::string::npos);

    if (const auto other = otherUser()) {
        fs::permissions(own(), fs::perms::owner_all);
        ASSERT_EQ(::chown(own().c_str(), *other, static_cast<gid_t>(-1)), 0);
        EXPECT_NE(runtimeFolder().problem.find("another user"), std::string::npos);
    }
}

TEST(SingleInstanceLockFile, APlantedLinkIsNotFollowed) {
    TempDir dir;
    fs::create_symlink(dir / "victim", dir / "ZPVL384-netMutex.lock");
    SingleInstanceLock lock;
    EXPECT_EQ(lock.acquire(dir.path()), SingleInstanceLock::Result::Unavailable);
    EXPECT_FALSE(fs::exists(dir / "victim"));
}

TEST(AppFolders, FactoryBesideTheExecutableAndUserFolderFromTheEnvironment) {
    EXPECT_EQ(factoryFolder(), executableFolder().parent_path() / "share" / "qvr");
    const char* saved = std::getenv("XDG_CONFIG_HOME");
    const std::string keep = saved ? saved : "";
    const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "/";
    ::setenv("XDG_CONFIG_HOME", "/cfg", 1);
    EXPECT_EQ(userFolder(), fs::path("/cfg/qvr"));
    ::setenv("XDG_CONFIG_HOME", "relative", 1); // not allowed: HOME decides
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(userFolder(), fs::path("/home/u/.config/qvr"));
    ::setenv("HOME", home.c_str(), 1);
    if (saved)
        ::setenv("XDG_CONFIG_HOME", keep.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

TEST(ExportLinks, ALinkInASharedFolderIsRefusedAndOneInThePrivateFolderFollowed) {
    TempDir dir;
    PosixFileSystem files;
    installFileSystem(files);
    RecordingMessageSink sink;
    fs::create_directories(dir / "user");
    fs::permissions(dir / "user", fs::perms::owner_all);
    ProfileFiles profile(dir / "user", sink);

    fs::create_directories(dir / "shared");
    fs::permissions(dir / "shared", fs::perms::all | fs::perms::sticky_bit);
    fs::create_symlink(dir / "victim", dir / "shared" / "mine.ini");
    profile.exportProfile(dir / "shared" / "mine.bin", ConfigRecord{});
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_NE(sink.messages[0].text.find((dir / "shared" / "mine.ini").string()),
              std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "victim"));
    EXPECT_FALSE(fs::exists(dir / "shared" / "mine.bin"));

    // People keep dotfiles as links into their own folders.
    sink.messages.clear();
    test::writeText(dir / "kept.bin", "");
    fs::create_symlink(dir / "kept.bin", dir / "user" / "out.bin");
    profile.exportProfile(dir / "user" / "out.bin", ConfigRecord{});
    EXPECT_TRUE(fs::is_symlink(dir / "user" / "out.bin"));
    EXPECT_EQ(fs::file_size(dir / "kept.bin"), kProfileFileSize);
    StandardFileSystem standard;
    installFileSystem(standard);
}

} // namespace
} // namespace qvr
