#include "core/buttons/button_labels.h"
#include "core/files/ini_file.h"
#include "core/profiles/factory_files.h"
#include "core/profiles/profile_files.h"
#include "core/profiles/profile_record_file.h"
#include "support/program_folder.h"

#include <gtest/gtest.h>

namespace qvr {
namespace {

using testing::ProgramFolder;

TEST(FactoryFiles, EveryGeneratedFileLoadsBack) {
    ProgramFolder folder;
    const FactoryWriteReport report = writeFactoryFiles(folder.path());
    EXPECT_TRUE(report.errors.empty());
    EXPECT_EQ(report.written.size(), 15u);

    for (std::string name : {"config.bin", "config0.bin", "config1.bin", "config2.bin",
                             "config3.bin", "config4.bin", "config5.bin"}) {
        const RecordFileRead read = readRecordFile(folder / name);
        ASSERT_EQ(read.status, RecordFileStatus::Loaded) << name;
        EXPECT_EQ(read.firstRunFlag, 0) << name;
        EXPECT_TRUE(std::equal(read.recordBytes.begin(), read.recordBytes.end(),
                               recordBytes(factoryRecord()).begin()))
            << name;
    }
    EXPECT_TRUE(folder.exists("record.ini"));
    EXPECT_TRUE(folder.bytes("record.ini").empty());

    RecordingMessageSink sink;
    ProfileFiles files(folder.path(), sink);
    RecordState state;
    ASSERT_TRUE(files.loadProfileFiles(state));
    EXPECT_EQ(files.currentProfileIndex(), 0);
    EXPECT_EQ(state.record, factoryRecord());
    EXPECT_EQ(languageFromCode(files.readLanguageCode()), Language::English);

    const IniFile global = loadIniFile(folder / "str.ini").file;
    EXPECT_EQ(global.value("Profile", "CurProfileName"), "PROFILE_0");
    EXPECT_EQ(global.value("Profile", "ItemCount"), "1");
    EXPECT_EQ(global.value("Profile", "Item0"), "PROFILE_0");

    for (Language language :
         {Language::English, Language::SimplifiedChinese, Language::TraditionalChinese}) {
        files.setLanguage(language);
        for (std::string name : {"str.ini", "str0.ini", "str5.ini"}) {
            const IniFile settings = loadIniFile(folder / name).file;
            const auto defaults = defaultButtonLabels(language);
            for (int i = 0; i < kButtonCount; ++i) {
                EXPECT_EQ(
                    settings.value(labelSectionName(language), "Item" + std::to_string(i + 1)),
                    defaults[static_cast<std::size_t>(i)])
                    << name;
            }
            EXPECT_EQ(settings.value("Skins", "Path"), "Carbon") << name;
            EXPECT_EQ(settings.value("Skins", "RColor"), "225") << name;
        }
    }
    files.readProfileSettings();
    EXPECT_EQ(files.pointStrings()[3], "10");
    EXPECT_TRUE(sink.messages.empty());

    // Reset against the factory files keeps the user's macros.
    state.record.macroData.fill(0x42);
    files.resetToDefaults(state);
    EXPECT_EQ(state.record.dpiStage, factoryRecord().dpiStage);
    EXPECT_EQ(state.record.macroData[0], 0x42);
}

TEST(FactoryFiles, ARerunLeavesIdenticalFilesAloneAndRepairsChangedOnes) {
    ProgramFolder folder;
    writeFactoryFiles(folder.path());
    folder.putText("str3.ini", "changed");
    const FactoryWriteReport report = writeFactoryFiles(folder.path());
    EXPECT_EQ(report.written, std::vector<std::string>{"str3.ini"});
    EXPECT_EQ(report.unchanged.size(), 14u);
    EXPECT_EQ(folder.bytes("str3.ini"), folder.bytes("str0.ini"));
}

TEST(FactoryFiles, TheFactoryRecordKeepsEveryFieldInItsRange) {
    const ConfigRecord record = factoryRecord();
    EXPECT_TRUE(isReportRateCode(record.reportRateCode));
    for (int stage = 0; stage < 6; ++stage) {
        EXPECT_GE(record.dpiStage[static_cast<std::size_t>(stage)], 2);
        EXPECT_LE(record.dpiStage[static_cast<std::size_t>(stage)], 100);
    }
    const std::vector<int> dpis = {
        stageValueToDpi(record.dpiStage[0]), stageValueToDpi(record.dpiStage[1]),
        stageValueToDpi(record.dpiStage[2]), stageValueToDpi(record.dpiStage[3])};
    EXPECT_EQ(dpis, (std::vector<int>{800, 1600, 2400, 3200}));
    // Four colours a user can tell apart.
    for (int a = 0; a < 4; ++a)
        for (int b = a + 1; b < 4; ++b)
            EXPECT_NE(stageColor(record, a), stageColor(record, b));
    EXPECT_EQ(stageColor(record, 0), (Rgb{255, 0, 0}));
    for (auto value : {record.lightingParam1, record.lightingParam2, record.lightingParam3}) {
        EXPECT_GE(value, 1);
        EXPECT_LE(value, 6);
    }
    for (auto value : {record.sensitivityX, record.sensitivityY, record.angleSnapLevel}) {
        EXPECT_GE(value, 1);
        EXPECT_LE(value, 11);
    }
    // The pointer gauges run 2..12.
    EXPECT_GE(record.pointerSpeed, 2);
    EXPECT_LE(record.pointerSpeed, 12);
    EXPECT_GE(record.doubleClickSpeed, 2);
    EXPECT_LE(record.doubleClickSpeed, 12);
    EXPECT_GE(record.wheelScrollLines, 1);
    EXPECT_LE(record.wheelScrollLines, 100);
    for (int button = 0; button < kButtonCount; ++button) {
        EXPECT_EQ(englishLabelFor(record, button),
                  kDefaultButtonLabelsEnglish[static_cast<std::size_t>(button)] == "DPI loop"
                      ? "DPI Loop"
                      : kDefaultButtonLabelsEnglish[static_cast<std::size_t>(button)])
            << button;
    }
    EXPECT_EQ(record.macroData, decltype(record.macroData){});
}

} // namespace
} // namespace qvr
