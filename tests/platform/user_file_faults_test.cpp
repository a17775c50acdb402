// Faults of the user's files that permission bits and a full disk cause. They
// mean something only to an ordinary user: ctest runs this suite as
// "nobody", and the full-disk cases on a small tmpfs (QVR_FULL_DISK_DIR).
#include "core/profiles/factory_files.h"
#include "core/profiles/profile_files.h"
#include "core/profiles/user_folder.h"
#include "platform/posix_file_system.h"
#include "support/process.h"

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace qvr {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

class UserFileFaults : public ::testing::Test {
  protected:
    void SetUp() override {
        if (::geteuid() == 0)
            GTEST_SKIP() << "permission bits mean nothing to root; ctest runs this as nobody";
        installFileSystem(files);
        for (const FactoryFile& file : factoryFiles())
            write(factory / file.name, file.bytes);
    }
    void TearDown() override {
        // Let the folder be removed again.
        std::error_code ignored;
        for (const auto& entry : fs::recursive_directory_iterator(dir.path(), ignored))
            if (entry.is_directory(ignored))
                fs::permissions(entry.path(), fs::perms::owner_all, ignored);
        static StandardFileSystem kept;
        installFileSystem(kept);
    }
    static void write(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
        fs::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
    static std::vector<std::uint8_t> read(const fs::path& path) {
        const std::string text = test::readText(path);
        return {text.begin(), text.end()};
    }
    // Every problem line names a path below folder.
    static void expectNamed(const UserFolderReport& report, const fs::path& folder) {
        ASSERT_FALSE(report.problems.empty());
        for (const std::string& line : report.problems)
            EXPECT_NE(line.find(folder.string()), std::string::npos) << line;
    }

    PosixFileSystem files;
    TempDir dir;
    fs::path factory = dir / "share";
    fs::path user = dir / "config" / "qvr";
};

TEST_F(UserFileFaults, AReadOnlyFactoryFolderIsOnlyRead) {
    fs::permissions(factory, fs::perms::owner_read | fs::perms::owner_exec);
    const UserFolderReport report = prepareUserFolder(user, factory);
    EXPECT_TRUE(report.problems.empty());
    EXPECT_EQ(report.copied, userFileNames());
}

TEST_F(UserFileFaults, AReadOnlyUserFolderKeepsItsFilesAndNamesWhatIsMissing) {
    const std::vector<std::uint8_t> mine(kProfileFileSize, 7);
    write(user / "config0.bin", mine);
    fs::permissions(user, fs::perms::owner_read | fs::perms::owner_exec);

    const UserFolderReport report = prepareUserFolder(user, factory);

    expectNamed(report, user);
    EXPECT_EQ(read(user / "config0.bin"), mine);
    EXPECT_EQ(std::distance(fs::directory_iterator(user), fs::directory_iterator()), 1);

    // Save reports the system's code and leaves the file as it was.
    fs::permissions(user, fs::perms::owner_all);
    write(user / "str.ini", std::vector<std::uint8_t>{});
    fs::permissions(user, fs::perms::owner_read | fs::perms::owner_exec);
    RecordingMessageSink sink;
    ProfileFiles profile(user, sink, factory);
    EXPECT_FALSE(profile.saveProfileRecord(ConfigRecord{}));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text,
              writeErrorMessage(fileWriteFailure(user / "config0.bin", EACCES)));
    EXPECT_EQ(read(user / "config0.bin"), mine);
}

TEST_F(UserFileFaults, AConfigHomeThatCannotHoldTheFolderIsNamed) {
    fs::create_directories(user.parent_path());
    fs::permissions(user.parent_path(), fs::perms::owner_read | fs::perms::owner_exec);
    const UserFolderReport report = prepareUserFolder(user, factory);
    expectNamed(report, user);
    EXPECT_TRUE(report.copied.empty());
}

TEST_F(UserFileFaults, AFullDiskLeavesNoHalfWrittenFile) {
    const char* full = std::getenv("QVR_FULL_DISK_DIR");
    if (full == nullptr)
        GTEST_SKIP() << "needs a small tmpfs in QVR_FULL_DISK_DIR";
    const fs::path disk = full;
    const fs::path onDisk = disk / "qvr";
    // Fill the disk up to a few hundred bytes, less than any profile file.
    {
        std::ofstream filler(disk / "filler", std::ios::binary);
        const std::string block(512, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
            filler.flush();
    }
    const UserFolderReport report = prepareUserFolder(onDisk, factory);
    for (const std::string& name : userFileNames()) {
        std::error_code ec;
        if (!fs::exists(onDisk / name, ec))
            continue;
        // A copy that is there is whole.
        EXPECT_EQ(read(onDisk / name), read(factory / name)) << name;
    }
    EXPECT_FALSE(report.problems.empty());
    for (const auto& entry : fs::directory_iterator(onDisk))
        EXPECT_EQ(entry.path().filename().string().rfind(".", 0), std::string::npos)
            << "temporary file left: " << entry.path();

    // A save on the full disk keeps the old file whole.
    fs::remove(disk / "filler");
    ASSERT_TRUE(prepareUserFolder(onDisk, factory).problems.empty());
    const auto before = read(onDisk / "config0.bin");
    {
        std::ofstream filler(disk / "filler", std::ios::binary);
        const std::string block(512, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
            filler.flush();
    }
    RecordingMessageSink sink;
    ProfileFiles profile(onDisk, sink, factory);
    ConfigRecord changed{};
    changed.dpiStage[0] = 99;
    EXPECT_FALSE(profile.saveProfileRecord(changed));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text,
              writeErrorMessage(fileWriteFailure(onDisk / "config0.bin", ENOSPC)));
    EXPECT_EQ(read(onDisk / "config0.bin"), before);
}

} // namespace
} // namespace qvr
