#include "settings/settings_rig.h"
#include "support/process.h"

#include <QTest>
#include <gtest/gtest.h>
#include <numeric>

namespace qvr::test {
namespace {

bool waitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 300 && !condition(); ++i)
        QTest::qWait(10);
    return condition();
}

std::string fileOf(const ConfigRecord& record) {
    const auto bytes = recordBytes(record);
    return std::string(1, '\1') + std::string(bytes.begin(), bytes.end());
}

// A Save whose upload stops at the clock's gate, so the test can act while
// it runs; the window keeps answering meanwhile (waitFor runs its loop).
struct HeldSave {
    explicit HeldSave(SettingsRig& rig) : rig(rig) {
        rig.rig.clock.hold();
        rig.click(955, 619);
        EXPECT_TRUE(waitFor([&] { return rig.rig.clock.waiting(); }));
    }
    void finish() {
        rig.rig.clock.release();
        EXPECT_TRUE(waitFor([&] {
            return !rig.pages->actions().uploadPending() && !rig.window().deviceThread().busy();
        }));
    }
    void pressAgain() {
        ASSERT_TRUE(waitFor([&] { return !rig.pages->actions().applyBusy(); }));
        rig.click(955, 619);
    }
    SettingsRig& rig;
};

TEST(SaveDuringUpload, ASecondSaveWaitsAndTheNewestSnapshotIsSentAfterIt) {
    SettingsRig rig;
    rig.start();
    const std::string before = readText(rig.rig.dir / "config0.bin");
    rig.record().sensitivityX = 3;
    const ConfigRecord first = rig.record();
    HeldSave save(rig);
    EXPECT_EQ(rig.window().saveProgress().phase, SaveProgress::Phase::Uploading);

    rig.record().sensitivityX = 5; // belongs to the next Save
    save.pressAgain();
    rig.record().sensitivityX = 7;
    save.pressAgain(); // replaces the waiting one
    EXPECT_EQ(rig.rig.virtualMouse->uploadsBegun(), 1);
    EXPECT_EQ(readText(rig.rig.dir / "config0.bin"), before);

    save.finish();
    EXPECT_EQ(rig.rig.virtualMouse->uploadsBegun(), 2);
    EXPECT_EQ(rig.rig.virtualMouse->configurationBlock()[0x4A], 7 * 20);
    EXPECT_EQ(readText(rig.rig.dir / "config0.bin"), fileOf(rig.record()));
    EXPECT_EQ(rig.rig.state.appliedRecord, rig.record());
    EXPECT_NE(rig.record(), first);
    EXPECT_EQ(rig.window().saveProgress().phase, SaveProgress::Phase::Saved);
}

TEST(SaveDuringUpload, AProfileSwitchedToMeanwhileKeepsItsOwnFiles) {
    SettingsRig rig;
    const std::string other(kProfileFileSize, '\x11');
    WindowRig::writeFile(rig.rig.dir / "config1.bin", other);
    WindowRig::writeFile(rig.rig.dir / "str1.ini", "[Skins]\r\nPath=Carbon\r\n");
    rig.start();
    rig.record().sensitivityX = 4;
    const ConfigRecord saved = rig.record();
    const ButtonLabels savedLabels = rig.rig.profile.labels();
    HeldSave save(rig);

    ASSERT_TRUE(rig.rig.profile.setCurrentProfileIndex(1));
    rig.rig.profile.formCurrentProfilePaths();
    rig.rig.profile.labels().fill("other");
    rig.record().sensitivityX = 9;
    save.finish();

    EXPECT_EQ(readText(rig.rig.dir / "config0.bin"), fileOf(saved));
    EXPECT_EQ(readText(rig.rig.dir / "config1.bin"), other);
    EXPECT_EQ(readText(rig.rig.dir / "str1.ini"), "[Skins]\r\nPath=Carbon\r\n");
    EXPECT_NE(readText(rig.rig.dir / "str0.ini").find(savedLabels[0]), std::string::npos);
    // The files in use stay those of the profile switched to.
    EXPECT_EQ(rig.rig.profile.currentProfileIndex(), 1);
    EXPECT_EQ(rig.rig.profile.recordFilePath().filename(), "config1.bin");
    EXPECT_EQ(rig.rig.profile.settingsFilePath().filename(), "str1.ini");
    EXPECT_EQ(rig.rig.profile.labels()[0], "other");
    EXPECT_NE(rig.rig.state.appliedRecord, saved);
}

TEST(SaveDuringUpload, AnUnplugEndsTheUploadSavesTheFilesAndTellsTheUser) {
    SettingsRig rig;
    rig.start();
    rig.record().sensitivityX = 6;
    HeldSave save(rig);
    rig.rig.backend.unplug(rig.rig.virtualMouse);
    // The search waits for the upload, which still holds the handle.
    QTest::qWait(60);
    EXPECT_EQ(rig.rig.link.devicePresent, 1);
    save.finish();

    ASSERT_TRUE(waitFor([&] { return rig.rig.link.devicePresent == 0; }));
    EXPECT_EQ(readText(rig.rig.dir / "config0.bin"), fileOf(rig.record()));
    ASSERT_FALSE(rig.rig.balloons.shown.empty());
    EXPECT_EQ(rig.rig.balloons.shown[0].text, "The system did not detect the gaming mouse!");
    EXPECT_EQ(rig.window().saveProgress().phase, SaveProgress::Phase::NotReceived);
}

TEST(SaveDuringUpload, AnEventsReadBackWaitsForTheUpload) {
    SettingsRig rig;
    rig.start();
    rig.record().dpiStage = {16, 24, 32, 64, 0, 0}; // the third stage 1600 once sent
    HeldSave save(rig);
    rig.rig.virtualMouse->emitEvent(2, 3);
    QTest::qWait(60);
    EXPECT_TRUE(rig.rig.balloons.shown.empty());
    save.finish();

    ASSERT_TRUE(waitFor([&] { return rig.rig.balloons.shown.size() == 1; }));
    EXPECT_EQ(rig.rig.balloons.shown[0].text, "Switch DPI into the third stage 1600");
}

TEST(SaveProgressCard, ShowsTheBarThenTheOutcomeInTheWindowsLanguage) {
    for (const Language language :
         {Language::English, Language::SimplifiedChinese, Language::TraditionalChinese}) {
        const SaveProgressTexts& texts = saveProgressTexts(language);
        for (std::string_view text :
             {texts.saving, texts.saved, texts.notReceived, texts.notWritten})
            EXPECT_FALSE(text.empty());
    }
    SettingsRig rig;
    rig.start();
    std::vector<int> steps;
    QObject::connect(&rig.window().deviceThread(), &DeviceThread::uploadProgress,
                     [&](int done, int total) {
                         EXPECT_EQ(total, 16); // two commands, three kinds of block
                         steps.push_back(done);
                     });
    const QImage idle = rig.window().grab().toImage();
    HeldSave save(rig);
    EXPECT_EQ(rig.window().saveProgress().phase, SaveProgress::Phase::Uploading);
    const QImage during = rig.window().grab().toImage();
    save.finish();
    std::vector<int> expected(16);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(rig.window().saveProgress().phase, SaveProgress::Phase::Saved);
    const QImage after = rig.window().grab().toImage();
    EXPECT_NE(idle, during);
    EXPECT_NE(during, after);
    EXPECT_NE(idle, after);
}

} // namespace
} // namespace qvr::test
