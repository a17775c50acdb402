#include "core/files/file_journal.h"
#include "core/files/ini_file.h"
#include "core/profiles/factory_files.h"
#include "core/profiles/profile_files.h"
#include "core/profiles/user_folder.h"
#include "support/faulting_file_system.h"
#include "support/program_folder.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace qvr {
namespace {

namespace fs = std::filesystem;
using testing::fileImage;
using testing::patternRecord;
using testing::ProgramFolder;

// A factory folder with the real factory files, and a user folder inside a
// fresh config home that does not exist yet.
class UserFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        for (const FactoryFile& file : factoryFiles()) {
            factory.put(file.name, file.bytes);
        }
        factory.putText("Skins/Carbon/main.png", "png");
    }

    std::vector<std::uint8_t> factoryBytes(const std::string& name) const {
        return factory.bytes(name);
    }
    std::string listValue(std::string_view key) const {
        return loadIniFile(user / "str.ini").file.value(settings_keys::kProfileSection, key);
    }
    std::vector<std::uint8_t> userBytes(const std::string& name) const {
        return home.bytes("qvr/" + name);
    }

    ProgramFolder factory;
    ProgramFolder home;
    fs::path user = home.path() / "qvr";
};

TEST_F(UserFolderTest, AFreshFolderIsPrivateAndGetsTheUserFilesOnly) {
    const UserFolderReport report = prepareUserFolder(user, factory.path());

    EXPECT_TRUE(report.problems.empty());
    EXPECT_EQ(report.copied, userFileNames());
    EXPECT_EQ(fs::status(user).permissions() & fs::perms::all, fs::perms::owner_all);
    for (const std::string& name : userFileNames()) {
        EXPECT_EQ(userBytes(name), factoryBytes(name)) << name;
    }
    EXPECT_FALSE(fs::exists(user / "config.bin"));
    EXPECT_FALSE(fs::exists(user / "Skins"));
    EXPECT_FALSE(report.listRebuilt);
    EXPECT_TRUE(report.migratedFrom.empty());
}

// A first start into a fresh folder, and a start into one an earlier start
// left half-filled, with a change of profile 1's files cut short after its
// record (the journal left behind), each cut or failing at every step.
TEST_F(UserFolderTest, AFirstStartCutShortOrFailingAtAnyStepIsCompletedByTheNext) {
    const std::vector<std::uint8_t> changedRecord = fileImage(patternRecord(7), 1);
    const std::string changedSettings = "[Setting-EN]\r\nItem1=label7\r\n";
    const auto journalEntry = [](const std::string& name, const std::string& bytes) {
        return name + "\n" + std::to_string(bytes.size()) + "\n" + bytes + "\n";
    };
    const auto setUp = [&](bool leftover) {
        fs::remove_all(user);
        if (!leftover)
            return;
        for (const std::string& name : userFileNames()) {
            if (name != "config3.bin" && name != "str4.ini")
                home.put("qvr/" + name, factoryBytes(name));
        }
        home.put("qvr/config1.bin", changedRecord);
        home.putText("qvr/" + std::string(kFileJournalName),
                     "qvr-journal 1\n" +
                         journalEntry("config1.bin",
                                      std::string(changedRecord.begin(), changedRecord.end())) +
                         journalEntry("str1.ini", changedSettings) + "end\n");
    };
    for (const bool leftover : {false, true}) {
        int steps = 0;
        setUp(leftover);
        {
            test::FaultingFileSystem counting;
            prepareUserFolder(user, factory.path());
            steps = counting.steps();
        }
        EXPECT_GT(steps, leftover ? 3 : static_cast<int>(userFileNames().size()));
        for (int cut = 0; cut < steps; ++cut) {
            for (const bool crash : {true, false}) {
                SCOPED_TRACE((leftover ? "leftover journal, " : "fresh, ") +
                             std::string(crash ? "cut at step " : "failing step ") +
                             std::to_string(cut));
                setUp(leftover);
                {
                    test::FaultingFileSystem faulting;
                    crash ? faulting.cutAt(cut) : faulting.failAt(cut, EIO);
                    try {
                        // Only a journal that could not be removed goes
                        // unreported: it is emptied, and plays nothing again.
                        if (prepareUserFolder(user, factory.path()).problems.empty()) {
                            EXPECT_TRUE(leftover);
                            const std::string emptied = "qvr-journal 1\nend\n";
                            EXPECT_EQ(userBytes(std::string(kFileJournalName)),
                                      std::vector<std::uint8_t>(emptied.begin(), emptied.end()));
                        }
                    } catch (const test::CutShort&) {
                    }
                }
                const testing::StartedFiles started = testing::startProgramOn(user, factory.path());
                EXPECT_TRUE(started.prepared.problems.empty());
                EXPECT_TRUE(started.loaded);
                EXPECT_FALSE(fs::exists(user / kFileJournalName));
                // Record files copied before the list make the next start
                // name each of them in a list of its own.
                for (const std::string& name : userFileNames()) {
                    if (leftover && name == "config1.bin") {
                        EXPECT_EQ(userBytes(name), changedRecord);
                    } else if (leftover && name == "str1.ini") {
                        EXPECT_EQ(userBytes(name),
                                  std::vector<std::uint8_t>(changedSettings.begin(),
                                                            changedSettings.end()));
                    } else if (name != kGlobalSettingsFileName) {
                        EXPECT_EQ(userBytes(name), factoryBytes(name)) << name;
                    }
                }
            }
        }
    }
}

TEST_F(UserFolderTest, AnExistingEntryIsNeverReplacedWhateverItHolds) {
    home.put("qvr/config0.bin", fileImage(patternRecord(3), 1));
    home.putText("qvr/str0.ini", "");                // empty
    home.putText("qvr/record.ini", "[Macro_0]\r\n"); // a recorded macro
    home.putText("qvr/str.ini",
                 "[Profile]\r\nCurProfileName=Mine\r\nItemCount=1\r\nItem0=Mine\r\n");

    const UserFolderReport report = prepareUserFolder(user, factory.path());

    EXPECT_EQ(userBytes("config0.bin"), fileImage(patternRecord(3), 1));
    EXPECT_TRUE(userBytes("str0.ini").empty());
    EXPECT_EQ(listValue("Item0"), "Mine");
    EXPECT_EQ(report.copied.size(), userFileNames().size() - 4);
    EXPECT_TRUE(report.problems.empty());
    // A second start copies nothing.
    EXPECT_TRUE(prepareUserFolder(user, factory.path()).copied.empty());
}

TEST_F(UserFolderTest, ADanglingLinkIsReportedAndNothingIsWrittenThroughIt) {
    fs::create_directories(user);
    fs::create_symlink(home.path() / "elsewhere.bin", user / "config1.bin");

    const UserFolderReport report = prepareUserFolder(user, factory.path());

    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_NE(report.problems[0].find((user / "config1.bin").string()), std::string::npos);
    EXPECT_FALSE(fs::exists(home.path() / "elsewhere.bin"));
    EXPECT_TRUE(fs::is_symlink(user / "config1.bin"));
}

TEST_F(UserFolderTest, AUserFolderThatIsAFileIsReportedAndLeftAlone) {
    home.putText("qvr", "not a folder");
    const UserFolderReport report = prepareUserFolder(user, factory.path());
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_NE(report.problems[0].find(user.string()), std::string::npos);
    EXPECT_EQ(home.bytes("qvr"), std::vector<std::uint8_t>(
                                     {'n', 'o', 't', ' ', 'a', ' ', 'f', 'o', 'l', 'd', 'e', 'r'}));
}

TEST_F(UserFolderTest, AMissingListIsRebuiltFromTheProfileFilesAndGapsAreFilled) {
    home.put("qvr/config0.bin", fileImage(patternRecord(1), 1));
    home.put("qvr/config2.bin", fileImage(patternRecord(2), 1));

    const UserFolderReport report = prepareUserFolder(user, factory.path());

    EXPECT_TRUE(report.listRebuilt);
    EXPECT_TRUE(report.damagedCopy.empty());
    EXPECT_EQ(listValue("ItemCount"), "3");
    EXPECT_EQ(listValue("Item0"), "PROFILE_0");
    EXPECT_EQ(listValue("Item2"), "PROFILE_2");
    EXPECT_EQ(listValue("CurProfileName"), "PROFILE_0");
    EXPECT_EQ(userBytes("config2.bin"), fileImage(patternRecord(2), 1));
    EXPECT_EQ(userBytes("config1.bin"), factoryBytes("config1.bin"));
    // The rebuilt list still carries the factory's skin.
    EXPECT_EQ(loadIniFile(user / "str.ini").file.value("Skins", "Path"), "Carbon");
}

TEST_F(UserFolderTest, AnUnusableListIsKeptAsideAndItsOtherSettingsSurvive) {
    for (const std::string count : {"0", "7", ""}) {
        SCOPED_TRACE(count);
        fs::remove_all(user);
        home.put("qvr/config0.bin", fileImage(patternRecord(1), 1));
        home.put("qvr/config1.bin", fileImage(patternRecord(2), 1));
        const std::string damaged =
            "[Profile]\r\nItemCount=" + count + "\r\n[Skins]\r\nPath=Mine\r\n";
        home.putText("qvr/str.ini", damaged);
        home.putText("qvr/str.ini.damaged", "an earlier one");

        const UserFolderReport report = prepareUserFolder(user, factory.path());

        EXPECT_TRUE(report.listRebuilt);
        EXPECT_EQ(report.damagedCopy, user / "str.ini.damaged.2");
        EXPECT_EQ(home.bytes("qvr/str.ini.damaged.2"),
                  std::vector<std::uint8_t>(damaged.begin(), damaged.end()));
        EXPECT_EQ(home.bytes("qvr/str.ini.damaged").size(), 14u);
        EXPECT_EQ(listValue("ItemCount"), "2");
        EXPECT_EQ(loadIniFile(user / "str.ini").file.value("Skins", "Path"), "Mine");
    }
}

TEST_F(UserFolderTest, AnUnreadableListIsRebuiltFromTheFactorySettings) {
    home.put("qvr/config0.bin", fileImage(patternRecord(1), 1));
    fs::create_directories(user / "str.ini"); // a folder where the list should be
    const UserFolderReport report = prepareUserFolder(user, factory.path());
    EXPECT_TRUE(report.listRebuilt);
    EXPECT_TRUE(fs::is_directory(user / "str.ini.damaged"));
    EXPECT_EQ(listValue("ItemCount"), "1");
    EXPECT_EQ(loadIniFile(user / "str.ini").file.value("Skins", "Path"), "Carbon");
}

TEST_F(UserFolderTest, OnlyAFolderMadeNowTakesTheLocalesLanguage) {
    const UserFolderReport report = prepareUserFolder(user, factory.path(), {}, "CHT");

    EXPECT_TRUE(report.problems.empty());
    for (int index = 0; index < kProfileCount; ++index) {
        const std::string name = profileSettingsFileName(index);
        const IniLoadResult loaded = loadIniFile(user / name);
        EXPECT_EQ(loaded.file.value(settings_keys::kSkinsSection, settings_keys::kLan), "CHT")
            << name;
        // Only the one value differs; the file keeps its CRLF lines.
        IniFile factoryFile = IniFile::fromBytes(factoryBytes(name));
        factoryFile.setValue(settings_keys::kSkinsSection, settings_keys::kLan, "CHT");
        EXPECT_EQ(userBytes(name), factoryFile.toBytes()) << name;
    }
    EXPECT_EQ(userBytes("str.ini"), factoryBytes("str.ini"));

    // A later start, a file missing from an existing folder: factory copy.
    fs::remove(user / "str2.ini");
    const std::vector<std::uint8_t> kept = userBytes("str0.ini");
    prepareUserFolder(user, factory.path(), {}, "CHS");
    EXPECT_EQ(userBytes("str2.ini"), factoryBytes("str2.ini"));
    EXPECT_EQ(userBytes("str0.ini"), kept);
}

TEST_F(UserFolderTest, ProfilesTakenOverFromAnEarlierFolderKeepTheirLanguage) {
    ProgramFolder earlier;
    for (const std::string& name : userFileNames()) {
        earlier.put(name, factoryBytes(name));
    }
    earlier.put("config1.bin", fileImage(patternRecord(4), 1));

    const UserFolderReport report = prepareUserFolder(user, factory.path(), earlier.path(), "CHS");

    EXPECT_EQ(report.migratedFrom, earlier.path());
    for (int index = 0; index < kProfileCount; ++index) {
        EXPECT_EQ(userBytes(profileSettingsFileName(index)),
                  factoryBytes(profileSettingsFileName(index)));
    }
}

TEST_F(UserFolderTest, AnEarlierBuildsChangedProfilesAreTakenOverOnce) {
    ProgramFolder earlier;
    for (const std::string& name : userFileNames()) {
        earlier.put(name, factoryBytes(name));
    }
    earlier.put("config3.bin", fileImage(patternRecord(9), 1));
    earlier.putText("str.ini",
                    "[Profile]\r\nCurProfileName=Work\r\nItemCount=4\r\nItem0=A\r\nItem1=B\r\n"
                    "Item2=C\r\nItem3=Work\r\n");

    const UserFolderReport report = prepareUserFolder(user, factory.path(), earlier.path());

    EXPECT_EQ(report.migratedFrom, earlier.path());
    EXPECT_EQ(userBytes("config3.bin"), fileImage(patternRecord(9), 1));
    EXPECT_EQ(listValue("Item3"), "Work");
    EXPECT_FALSE(report.listRebuilt);
    EXPECT_TRUE(earlier.exists("config3.bin")); // copied, not moved

    // Once the user folder exists, the earlier folder is not looked at again.
    fs::remove(user / "config3.bin");
    const UserFolderReport again = prepareUserFolder(user, factory.path(), earlier.path());
    EXPECT_TRUE(again.migratedFrom.empty());
    EXPECT_EQ(userBytes("config3.bin"), factoryBytes("config3.bin"));
}

TEST_F(UserFolderTest, UnchangedOrIncompleteEarlierSetsAreNotTakenOver) {
    ProgramFolder unchanged;
    for (const std::string& name : userFileNames()) {
        unchanged.put(name, factoryBytes(name));
    }
    EXPECT_TRUE(prepareUserFolder(user, factory.path(), unchanged.path()).migratedFrom.empty());

    fs::remove_all(user);
    ProgramFolder partial;
    partial.put("config0.bin", fileImage(patternRecord(4), 1));
    const UserFolderReport report = prepareUserFolder(user, factory.path(), partial.path());
    EXPECT_TRUE(report.migratedFrom.empty());
    EXPECT_EQ(userBytes("config0.bin"), factoryBytes("config0.bin"));
}

} // namespace
} // namespace qvr
