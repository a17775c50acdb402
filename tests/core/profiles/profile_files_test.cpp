#include "core/files/ini_file.h"
#include "core/files/private_profile.h"
#include "core/profiles/factory_files.h"
#include "core/profiles/profile_files.h"
#include "support/program_folder.h"

#include <cerrno>
#include <gtest/gtest.h>

namespace qvr {
namespace {

using testing::fileImage;
using testing::patternRecord;
using testing::ProgramFolder;
using Message = RecordingMessageSink::Message;

const Message kMissingFile{"Config file is not exist.", "QVR 2.7"};

std::string profileList(std::string_view current, std::string_view count,
                        std::initializer_list<std::string_view> names) {
    std::string text = "[Profile]\r\nCurProfileName=" + std::string(current) +
                       "\r\nItemCount=" + std::string(count) + "\r\n";
    int i = 0;
    for (auto name : names) {
        text += "Item" + std::to_string(i++) + "=" + std::string(name) + "\r\n";
    }
    return text;
}

std::string labelSection(std::string_view section, std::string_view prefix) {
    std::string text = "[" + std::string(section) + "]\r\n";
    for (int i = 1; i <= 8; ++i) {
        text += "Item" + std::to_string(i) + "=" + std::string(prefix) + std::to_string(i) + "\r\n";
    }
    return text;
}

ButtonLabels labelsWith(std::string_view prefix) {
    ButtonLabels labels;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        labels[i] = std::string(prefix) + std::to_string(i + 1);
    }
    return labels;
}

class ProfileFilesTest : public ::testing::Test {
  protected:
    // A program directory with one profile "P" at position 0.
    void SetUp() override {
        folder.putText("str.ini", profileList("P", "1", {"P"}));
        state.record = patternRecord(1);
    }

    ProgramFolder folder;
    RecordingMessageSink sink;
    ProfileFiles files{folder.path(), sink};
    RecordState state;
};

TEST_F(ProfileFilesTest, ADamagedRecordFileIsKeptAsideAndTheProfileStartsFromTheFactory) {
    for (std::size_t size : {kProfileFileSize - 1, kProfileFileSize + 1}) {
        sink.messages.clear();
        auto image = fileImage(patternRecord(9), 1);
        image.resize(size, 0xEE);
        folder.put("config0.bin", image);
        state = RecordState{};
        EXPECT_TRUE(files.loadProfileFiles(state)) << size;
        EXPECT_TRUE(state.loaded) << size;
        EXPECT_EQ(state.record, factoryRecord()) << size;
        EXPECT_EQ(state.firstRunFlag, 0) << size;
        EXPECT_EQ(folder.bytes("config0.bin.damaged"), image) << size;
        EXPECT_EQ(folder.bytes("config0.bin"), fileImage(factoryRecord(), 0)) << size;
        ASSERT_EQ(sink.messages.size(), 1u) << size;
        const std::string name = (folder / "config0.bin").string();
        EXPECT_EQ(sink.messages[0].text, name +
                                             " could not be used. The profile starts from the "
                                             "factory settings; the damaged file is kept as " +
                                             name + ".damaged.");
        // Said once: the next load finds a sound file.
        EXPECT_TRUE(files.loadProfileFiles(state));
        EXPECT_EQ(sink.messages.size(), 1u);
    }

    folder.put("config0.bin", fileImage(patternRecord(9), 1));
    EXPECT_TRUE(files.loadProfileFiles(state));
    EXPECT_EQ(state.record, patternRecord(9));
    EXPECT_EQ(state.firstRunFlag, 1);
    EXPECT_EQ(files.macroStorePath(), folder / "record.ini");
    EXPECT_EQ(files.globalSettingsPath(), folder / "str.ini");
}

TEST_F(ProfileFilesTest, AMissingRecordFileStartsFromTheFactoryInChinese) {
    folder.putText("str0.ini", "[Skins]\r\nLan=CHS\r\n");
    EXPECT_TRUE(files.loadProfileFiles(state));
    EXPECT_EQ(state.record, factoryRecord());
    EXPECT_EQ(folder.bytes("config0.bin"), fileImage(factoryRecord(), 0));
    const Message told{"找不到 " + (folder / "config0.bin").string() + "。该配置从出厂设置开始。",
                       "QVR 2.7"};
    EXPECT_EQ(sink.messages, std::vector<Message>{told});
}

TEST_F(ProfileFilesTest, AWriteProtectedProfileFileIsReportedAndLeftAlone) {
    folder.put("config0.bin", fileImage(patternRecord(5), 1));
    folder.putText("str0.ini", "[Setting-EN]\r\nItem1=Mine\r\n");
    for (const char* name : {"config0.bin", "str0.ini"})
        std::filesystem::permissions(folder / name, std::filesystem::perms::owner_read |
                                                        std::filesystem::perms::group_read);
    const auto record = folder.bytes("config0.bin");
    const auto settings = folder.bytes("str0.ini");
    const auto denied = [&](const char* name) {
        return Message{"Error Code is: " + std::to_string(EACCES) + " \n" +
                           (folder / name).string() + ": Permission denied",
                       "NULL ==fp "};
    };

    EXPECT_FALSE(files.saveProfileRecord(patternRecord(6)));
    files.labels() = labelsWith("New ");
    EXPECT_FALSE(files.writeButtonLabels());
    EXPECT_EQ(sink.messages, (std::vector<Message>{denied("config0.bin"), denied("str0.ini")}));
    EXPECT_EQ(folder.bytes("config0.bin"), record);
    EXPECT_EQ(folder.bytes("str0.ini"), settings);
    EXPECT_EQ(std::filesystem::status(folder / "config0.bin").permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
}

TEST_F(ProfileFilesTest, ImportIgnoresWrongSizesButStillReadsTheLabels) {
    const ConfigRecord before = state.record;
    folder.putText("out/p.ini", labelSection("Setting-EN", "Imported "));
    for (std::size_t size : {kProfileFileSize - 1, kProfileFileSize + 1}) {
        auto image = fileImage(patternRecord(9), 1);
        image.resize(size, 0xEE);
        folder.put("out/p.bin", image);
        files.labels() = labelsWith("Old ");
        files.importProfile(folder / "out/p.bin", state);
        EXPECT_EQ(state.record, before) << size;
        EXPECT_EQ(files.labels(), labelsWith("Imported ")) << size;
    }
    EXPECT_TRUE(sink.messages.empty());

    folder.put("out/p.bin", fileImage(patternRecord(9), 1));
    files.importProfile(folder / "out/p.bin", state);
    EXPECT_EQ(state.record, patternRecord(9));
    EXPECT_EQ(state.firstRunFlag, 1);
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(ProfileFilesTest, ImportOfANameWithoutBinDoesNothing) {
    folder.put("out/p.dat", fileImage(patternRecord(9), 1));
    folder.put("out/p.BIN", fileImage(patternRecord(9), 1)); // the test is case-sensitive
    const ConfigRecord before = state.record;
    files.importProfile(folder / "out/p.dat", state);
    files.importProfile(folder / "out/p.BIN", state);
    EXPECT_EQ(state.record, before);
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(ProfileFilesTest, ImportReplacesEveryBinInThePathForTheSettingsFile) {
    folder.put("a.bin.d/p.bin", fileImage(patternRecord(9), 0));
    folder.putText("a.ini.d/p.ini", labelSection("Setting-EN", "Folder "));
    folder.putText("a.bin.d/p.ini", labelSection("Setting-EN", "Wrong "));
    files.setCurrentProfileIndex(2);
    files.importProfile(folder / "a.bin.d/p.bin", state);
    EXPECT_EQ(state.record, patternRecord(9));
    EXPECT_EQ(state.firstRunFlag, 0);
    EXPECT_EQ(files.labels(), labelsWith("Folder "));
    // Later writes go to the selected profile's own files again.
    EXPECT_EQ(files.recordFilePath(), folder / "config2.bin");
    EXPECT_EQ(files.settingsFilePath(), folder / "str2.ini");
    EXPECT_EQ(files.macroStorePath(), folder / "record.ini");
}

TEST_F(ProfileFilesTest, ImportOfAMissingOrUnreadableFileReportsItAsMissing) {
    std::filesystem::create_directories(folder / "out/dir.bin");
    const ConfigRecord before = state.record;
    files.importProfile(folder / "out/none.bin", state);
    files.importProfile(folder / "out/dir.bin", state);
    EXPECT_EQ(state.record, before);
    EXPECT_EQ(sink.messages, (std::vector<Message>{kMissingFile, kMissingFile}));
    EXPECT_EQ(files.recordFilePath(), folder / "config0.bin");
}

TEST_F(ProfileFilesTest, ResetReadsOnlyTheFactorySettingsPartAndKeepsFirstByteAndMacros) {
    // The user folder's own copies must not be taken for the defaults.
    folder.put("config.bin", fileImage(patternRecord(70), 0));
    folder.putText("str0.ini", labelSection("Setting-EN", "Mine "));
    ProgramFolder factory;
    factory.put("config.bin", fileImage(patternRecord(50), 0));
    factory.putText("str.ini", labelSection("Setting-EN", "Global "));
    factory.putText("str0.ini", labelSection("Setting-EN", "Def "));
    ProfileFiles withFactory{folder.path(), sink, factory.path()};
    state.firstRunFlag = 1;
    const ConfigRecord before = state.record;

    withFactory.resetToDefaults(state);

    const auto got = recordBytes(state.record);
    const ConfigRecord defaultRecord = patternRecord(50);
    const auto defaults = recordBytes(defaultRecord);
    const auto old = recordBytes(before);
    EXPECT_EQ(got[0], old[0]);
    EXPECT_TRUE(std::equal(got.begin() + 1, got.begin() + kSettingsPartSize, defaults.begin() + 1));
    EXPECT_EQ(state.record.macroData, before.macroData);
    // The flag is the profile's own: the defaults' flag would make the next
    // drawing put first-run labels over the user's.
    EXPECT_EQ(state.firstRunFlag, 1);
    EXPECT_EQ(withFactory.labels(), labelsWith("Def "));
    EXPECT_FALSE(withFactory.defaultLoadMode());
    EXPECT_TRUE(sink.messages.empty());
    // A later label write goes to the user's profile, never the factory.
    EXPECT_EQ(withFactory.settingsFilePath(), folder / "str0.ini");
}

TEST_F(ProfileFilesTest, ResetWithoutADefaultFileReportsItAndKeepsTheRecord) {
    const ConfigRecord before = state.record;
    files.resetToDefaults(state);
    EXPECT_EQ(state.record, before);
    EXPECT_EQ(sink.messages, std::vector<Message>{kMissingFile});
}

TEST_F(ProfileFilesTest, TheLaterOfTwoProfilesWithOneNameBecomesCurrent) {
    folder.putText("str.ini", profileList("Twin", "3", {"Twin", "Other", "Twin"}));
    folder.put("config0.bin", fileImage(patternRecord(10), 1));
    folder.put("config2.bin", fileImage(patternRecord(12), 1));
    EXPECT_TRUE(files.loadProfileFiles(state));
    EXPECT_EQ(files.currentProfileIndex(), 2);
    EXPECT_EQ(state.record, patternRecord(12));
    EXPECT_EQ(files.settingsFilePath(), folder / "str2.ini");
}

TEST_F(ProfileFilesTest, ACurrentNameMatchingNoProfileKeepsTheIndex) {
    folder.putText("str.ini", profileList("Gone", "6", {"A", "B", "C", "D", "E", "F"}));
    folder.put("config4.bin", fileImage(patternRecord(14), 1));
    ASSERT_TRUE(files.setCurrentProfileIndex(4));
    EXPECT_TRUE(files.loadProfileFiles(state));
    EXPECT_EQ(files.currentProfileIndex(), 4);
    EXPECT_EQ(state.record, patternRecord(14));
    // Names are compared case-sensitively; an index past the list's end
    // names no profile and falls back to the first.
    folder.putText("str.ini", profileList("a", "2", {"X", "A"}));
    files.loadProfileFiles(state);
    EXPECT_EQ(files.currentProfileIndex(), 0);
}

TEST_F(ProfileFilesTest, InvalidItemCountLoadsNothingAndLabelsGoToTheFirstProfile) {
    folder.put("config0.bin", fileImage(patternRecord(20), 1));
    const auto listingBefore = folder.listing();
    for (std::string_view count : {"", "0", "7", "-1", "abc"}) {
        folder.putText("str.ini", profileList("P", count, {"P"}));
        const ConfigRecord before = state.record;
        EXPECT_FALSE(files.loadProfileFiles(state)) << count;
        EXPECT_EQ(state.record, before) << count;
        EXPECT_EQ(files.recordFilePath(), folder / "config0.bin") << count;
        EXPECT_EQ(files.settingsFilePath(), folder / "str0.ini") << count;
    }
    EXPECT_TRUE(sink.messages.empty());

    files.labels() = labelsWith("First ");
    EXPECT_TRUE(files.writeButtonLabels());
    auto expected = listingBefore;
    expected.push_back("str0.ini");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folder.listing(), expected);
    EXPECT_EQ(readProfileString(folder / "str0.ini", "Setting-EN", "Item1"), "First 1");
}

TEST_F(ProfileFilesTest, AnUnreadableRecordFileIsReportedAsMissing) {
    std::filesystem::create_directories(folder / "config0.bin");
    const ConfigRecord before = state.record;
    EXPECT_FALSE(files.loadProfileFiles(state));
    EXPECT_EQ(state.record, before);
    EXPECT_EQ(sink.messages, std::vector<Message>{kMissingFile});
}

TEST_F(ProfileFilesTest, SavingIntoADeletedRecordFileReportsAndCreatesNothing) {
    files.setCurrentProfileIndex(3);
    EXPECT_FALSE(files.saveProfileRecord(state.record));
    EXPECT_EQ(sink.messages, std::vector<Message>{kMissingFile});
    EXPECT_EQ(folder.listing(), std::vector<std::string>{"str.ini"});
}

TEST_F(ProfileFilesTest, SaveWritesFlagOneAndTheRecordIntoTheCurrentProfile) {
    folder.put("config3.bin", fileImage(patternRecord(30), 0));
    files.setCurrentProfileIndex(3);
    EXPECT_TRUE(files.saveProfileRecord(patternRecord(33)));
    EXPECT_EQ(folder.bytes("config3.bin"), fileImage(patternRecord(33), 1));
    EXPECT_EQ(files.settingsFilePath(), folder / "str3.ini");
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(ProfileFilesTest, AWriteThatFailsHalfwayLeavesTheOldFilesAndReportsTheError) {
    folder.put("config0.bin", fileImage(patternRecord(40), 0));
    folder.putText("str0.ini", labelSection("Setting-EN", "Kept "));
    const auto oldRecord = folder.bytes("config0.bin");
    const auto oldSettings = folder.bytes("str0.ini");
    for (auto stage : {AtomicWriteStage::WriteData, AtomicWriteStage::Rename}) {
        files.setWriteFault([stage](AtomicWriteStage at) { return at == stage ? ENOSPC : 0; });
        sink.messages.clear();
        EXPECT_FALSE(files.saveProfileRecord(patternRecord(41)));
        files.labels() = labelsWith("New ");
        EXPECT_FALSE(files.writeButtonLabels());
        EXPECT_EQ(folder.bytes("config0.bin"), oldRecord);
        EXPECT_EQ(folder.bytes("str0.ini"), oldSettings);
        const auto error = [&](const char* name) {
            return Message{writeErrorMessage(fileWriteFailure(folder / name, ENOSPC)),
                           "NULL ==fp "};
        };
        EXPECT_EQ(sink.messages, (std::vector<Message>{error("config0.bin"), error("str0.ini")}));
        // No temporary file is left behind.
        EXPECT_EQ(folder.listing(),
                  (std::vector<std::string>{"config0.bin", "str.ini", "str0.ini"}));
    }
}

TEST_F(ProfileFilesTest, LabelsAreNotWrittenOverASettingsFileThatCannotBeRead) {
    std::filesystem::create_directories(folder / "str0.ini");
    files.labels() = labelsWith("New ");
    EXPECT_FALSE(files.writeButtonLabels());
    EXPECT_TRUE(std::filesystem::is_directory(folder / "str0.ini"));
    const Message error{"Error Code is: " + std::to_string(EISDIR) + " \n" +
                            (folder / "str0.ini").string() + ": Is a directory",
                        "NULL ==fp "};
    EXPECT_EQ(sink.messages, std::vector<Message>{error});
}

TEST_F(ProfileFilesTest, LabelWritesKeepTheOtherSectionsOfTheSettingsFile) {
    folder.putText("str0.ini", "[Skins]\r\nPath=Carbon\r\nLan=CHS\r\n" +
                                   labelSection("Setting-EN", "English "));
    files.setLanguage(Language::SimplifiedChinese);
    files.labels() = labelsWith("Chinese ");
    EXPECT_TRUE(files.writeButtonLabels());
    files.readProfileSettings();
    EXPECT_EQ(files.labels(), labelsWith("Chinese "));
    EXPECT_EQ(files.skinStrings().path, "Carbon");
    EXPECT_EQ(files.readLanguageCode(), "CHS");
    EXPECT_EQ(readProfileString(folder / "str0.ini", "Setting-EN", "Item8"), "English 8");
}

// The names behind the macro table travel with the record: read at load,
// written with the labels, left alone when not given.
TEST_F(ProfileFilesTest, MacroTableNamesAreLoadedWithTheRecordAndWrittenWithTheLabels) {
    using Names = std::vector<std::string>;
    const std::string skins = "[Skins]\r\nPath=Carbon\r\n";
    folder.put("config0.bin", fileImage(patternRecord(80), 1));
    folder.putText("str0.ini", skins + "[MacroTable]\r\nItemCount=2\r\nItem0=First\r\n"
                                       "Item1=Second\r\n");
    ASSERT_TRUE(files.loadProfileFiles(state));
    EXPECT_EQ(state.macroTableNames, (Names{"First", "Second"}));

    // A file without the section says nothing; the labels' write keeps that.
    folder.putText("str0.ini", skins);
    ASSERT_TRUE(files.loadProfileFiles(state));
    EXPECT_EQ(state.macroTableNames, std::nullopt);
    files.labels() = labelsWith("L");
    EXPECT_TRUE(files.writeButtonLabels());
    EXPECT_EQ(readMacroTableNames(loadIniFile(folder / "str0.ini").file), std::nullopt);

    // Given, the section is written as a whole, in the file's line breaks.
    EXPECT_TRUE(files.writeButtonLabels(Names{"Second", "First"}));
    const std::vector<std::uint8_t> written = folder.bytes("str0.ini");
    const std::string text(written.begin(), written.end());
    EXPECT_NE(text.find("[MacroTable]\r\nItemCount=2\r\nItem0=Second\r\nItem1=First\r\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.rfind(skins, 0), 0u);
    files.labels() = labelsWith("M");
    EXPECT_TRUE(files.writeButtonLabels());
    EXPECT_EQ(readMacroTableNames(loadIniFile(folder / "str0.ini").file),
              (Names{"Second", "First"}));
    EXPECT_TRUE(files.writeButtonLabels(Names{}));
    EXPECT_EQ(readMacroTableNames(loadIniFile(folder / "str0.ini").file), Names{});

    // A name an INI line cannot hold changes nothing and is reported.
    const std::vector<std::uint8_t> before = folder.bytes("str0.ini");
    EXPECT_FALSE(files.writeButtonLabels(Names{"Line\nbreak"}));
    EXPECT_EQ(folder.bytes("str0.ini"), before);
    EXPECT_EQ(sink.messages.size(), 1u);

    // A hand-made count is believed only as far as the table reaches.
    folder.putText("str0.ini", "[MacroTable]\r\nItemCount=40\r\nItem0=A\r\n");
    ASSERT_TRUE(files.loadProfileFiles(state));
    ASSERT_TRUE(state.macroTableNames);
    EXPECT_EQ(state.macroTableNames->size(), 12u);
    EXPECT_EQ(state.macroTableNames->front(), "A");
}

class ExportTest : public ProfileFilesTest {
  protected:
    void SetUp() override {
        ProfileFilesTest::SetUp();
        files.setLanguage(Language::TraditionalChinese);
        files.labels() = labelsWith("Exported ");
        files.setCurrentProfileIndex(1);
    }

    // The exported INI holds the eight labels of the language's section only.
    void expectLabelsOnly(const std::string& name) {
        const IniLoadResult loaded = loadIniFile(folder / name);
        ASSERT_EQ(loaded.status, IniLoadStatus::Loaded) << name;
        EXPECT_EQ(loaded.file.sectionNames(), std::vector<std::string>{"Setting-CHT"}) << name;
        EXPECT_EQ(loaded.file.keyNames("Setting-CHT"),
                  (std::vector<std::string>{"Item1", "Item2", "Item3", "Item4", "Item5", "Item6",
                                            "Item7", "Item8"}))
            << name;
        EXPECT_EQ(loaded.file.value("Setting-CHT", "Item5"), "Exported 5") << name;
    }
};

TEST_F(ExportTest, WritesBinAndIniAtTheChosenPlaceAndInTheProgramDirectory) {
    std::filesystem::create_directories(folder / "out");
    files.exportProfile(folder / "out/p", patternRecord(60));

    for (const std::string prefix : {"out/", ""}) {
        EXPECT_EQ(folder.bytes(prefix + "p.bin"), fileImage(patternRecord(60), 1)) << prefix;
        expectLabelsOnly(prefix + "p.ini");
    }
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_EQ(files.settingsFilePath(), folder / "str1.ini");
    EXPECT_EQ(files.recordFilePath(), folder / "p.bin");
}

TEST_F(ExportTest, TheMacroTableNamesTravelWithExportAndImport) {
    using Names = std::vector<std::string>;
    std::filesystem::create_directories(folder / "out");
    files.exportProfile(folder / "out/p", patternRecord(64), Names{"Jump", "Dash"});
    for (const std::string prefix : {"out/", ""})
        EXPECT_EQ(readMacroTableNames(loadIniFile(folder / (prefix + "p.ini")).file),
                  (Names{"Jump", "Dash"}))
            << prefix;
    ASSERT_TRUE(files.importProfile(folder / "out/p.bin", state));
    EXPECT_EQ(state.macroTableNames, (Names{"Jump", "Dash"}));

    // A saved profile goes out with the names its file keeps, or, before it
    // kept any, with those its load would take from the macro store.
    folder.put("config2.bin", fileImage(patternRecord(65), 1));
    folder.putText("str2.ini", "[MacroTable]\r\nItemCount=1\r\nItem0=Dash\r\n");
    folder.put("config3.bin", fileImage(patternRecord(66), 1));
    folder.putText("record.ini", "[Walk]\r\nMacroLoopTimes=1\r\n[Run]\r\nMacroLoopTimes=1\r\n");
    files.exportSavedProfile(folder / "out/two", 2);
    files.exportSavedProfile(folder / "out/three", 3);
    EXPECT_EQ(readMacroTableNames(loadIniFile(folder / "out/two.ini").file), Names{"Dash"});
    EXPECT_EQ(readMacroTableNames(loadIniFile(folder / "out/three.ini").file),
              (Names{"Walk", "Run"}));
    EXPECT_TRUE(sink.messages.empty());

    // An export from before the names were kept imports without them.
    folder.putText("out/p.ini", "[Setting-CHT]\r\nItem1=x\r\n");
    ASSERT_TRUE(files.importProfile(folder / "out/p.bin", state));
    EXPECT_EQ(state.macroTableNames, std::nullopt);
}

TEST_F(ExportTest, ANameEndingInBinGetsNoSecondExtension) {
    std::filesystem::create_directories(folder / "out");
    files.exportProfile(folder / "out/q.bin", patternRecord(61));
    EXPECT_EQ(folder.bytes("out/q.bin"), fileImage(patternRecord(61), 1));
    EXPECT_TRUE(folder.exists("out/q.ini"));
    EXPECT_FALSE(folder.exists("out/q.bin.bin"));
}

TEST_F(ExportTest, AFolderNamedWithBinStillGetsTheExtensionOnTheFile) {
    std::filesystem::create_directories(folder / "a.bin.d");
    std::filesystem::create_directories(folder / "a.ini.d");
    files.exportProfile(folder / "a.bin.d/p", patternRecord(62));
    EXPECT_EQ(folder.bytes("a.bin.d/p.bin"), fileImage(patternRecord(62), 1));
    expectLabelsOnly("a.ini.d/p.ini");
    EXPECT_FALSE(folder.exists("a.bin.d/p"));
}

TEST_F(ExportTest, NamesOfTheProgramsOwnFilesAreRefusedBeforeAnythingIsWritten) {
    std::filesystem::create_directories(folder / "out");
    folder.put("config2.bin", fileImage(patternRecord(70), 0));
    folder.putText("record.ini", "[Macro_0]\r\n");
    const auto listing = folder.listing();
    const auto own = [&] {
        return std::vector{folder.bytes("config2.bin"), folder.bytes("record.ini"),
                           folder.bytes("str.ini")};
    };
    const auto ownBefore = own();

    // Typed in the program's folder, or named so that its second copy would be.
    for (std::string name : {"config2", "record", "str", "STR0.bin"}) {
        for (const auto& place : {folder.path(), folder / "out"}) {
            sink.messages.clear();
            files.exportProfile(place / name, patternRecord(71));
            ASSERT_EQ(sink.messages.size(), 1u) << name;
            // In the export's language (Traditional Chinese here).
            EXPECT_NE(sink.messages[0].text.find("是本程式自己的檔案"), std::string::npos) << name;
        }
    }
    EXPECT_NE(sink.messages[0].text.find("STR0."), std::string::npos);
    EXPECT_EQ(own(), ownBefore);
    EXPECT_EQ(folder.listing(), listing);
}

TEST_F(ExportTest, AFailedExportWriteIsReportedAndTheSecondCopyStillHappens) {
    // The chosen folder does not exist, so both writes there fail.
    files.exportProfile(folder / "missing/p", patternRecord(63));
    const auto error = [&](const char* name) {
        return Message{writeErrorMessage(fileWriteFailure(folder / "missing" / name, ENOENT)),
                       "NULL ==fp "};
    };
    EXPECT_EQ(sink.messages, (std::vector<Message>{error("p.ini"), error("p.bin")}));
    EXPECT_EQ(folder.bytes("p.bin"), fileImage(patternRecord(63), 1));
    expectLabelsOnly("p.ini");
}

// The language choice changes all six settings files or none.
TEST(LanguageOfAllProfiles, IsWrittenIntoEverySettingsFileOrNone) {
    ProgramFolder folder;
    for (int index = 0; index < kProfileCount; ++index) {
        folder.putText(profileSettingsFileName(index),
                       "[Skins]\r\nPath=Carbon\r\nLan=\r\n" + labelSection("Setting-EN", "L"));
    }
    const auto snapshot = [&folder] {
        std::vector<std::vector<std::uint8_t>> files;
        for (int index = 0; index < kProfileCount; ++index) {
            files.push_back(folder.bytes(profileSettingsFileName(index)));
        }
        return files;
    };
    const auto before = snapshot();

    // A failure at the fourth rename: the three already renamed go back.
    int renames = 0;
    const FileWriteResult failed =
        writeLanguageToProfiles(folder.path(), "CHT", [&renames](AtomicWriteStage stage) {
            return stage == AtomicWriteStage::Rename && ++renames == 4 ? ENOSPC : 0;
        });
    EXPECT_EQ(failed.errorCode, ENOSPC);
    EXPECT_EQ(snapshot(), before);
    // So does a failure while the new files are written, and no temporary
    // file is left behind.
    int creations = 0;
    EXPECT_FALSE(writeLanguageToProfiles(folder.path(), "CHT", [&creations](AtomicWriteStage s) {
                     return s == AtomicWriteStage::CreateTemporary && ++creations == 6 ? EIO : 0;
                 }).ok());
    EXPECT_EQ(snapshot(), before);
    for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
        EXPECT_EQ(entry.path().string().find(".lan-new"), std::string::npos) << entry.path();
    }

    ASSERT_TRUE(writeLanguageToProfiles(folder.path(), "CHS").ok());
    for (int index = 0; index < kProfileCount; ++index) {
        const std::string name = profileSettingsFileName(index);
        const auto written = folder.bytes(name);
        EXPECT_EQ(std::string(written.begin(), written.end()),
                  "[Skins]\r\nPath=Carbon\r\nLan=CHS\r\n" + labelSection("Setting-EN", "L"))
            << name;
    }
}

TEST(ProfileInt, ReadsLeadingDecimalDigitsLikeTheProfileReader) {
    EXPECT_EQ(parseProfileInt("6"), 6);
    EXPECT_EQ(parseProfileInt("3 profiles"), 3);
    EXPECT_EQ(parseProfileInt("-2"), -2);
    EXPECT_EQ(parseProfileInt(""), 0);
    EXPECT_EQ(parseProfileInt("x5"), 0);
    EXPECT_EQ(parseProfileInt("99999999999999999999"), INT_MAX);
}

} // namespace
} // namespace qvr
