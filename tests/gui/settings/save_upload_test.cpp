#include "gui/session/profile_session.h"
#include "support/process.h"
#include "support/settings_rig.h"

#include <QTest>
#include <gtest/gtest.h>
#include <numeric>

namespace qvr::test {
namespace {

std::string fileOf(const ConfigRecord& record) {
    const auto bytes = recordBytes(record);
    return std::string(1, '\1') + std::string(bytes.begin(), bytes.end());
}

// A Save whose upload stops at the clock's gate, so the test can act while
// it runs; the window keeps answering meanwhile (waitFor runs its loop).
struct HeldSave {
    explicit HeldSave(SettingsRig& rig) : rig(rig) {
        rig.rig.clock.hold();
        rig.clickNamed("Save");
        EXPECT_TRUE(QTest::qWaitFor([&] { return rig.rig.clock.waiting(); }));
    }
    void finish() {
        rig.rig.clock.release();
        EXPECT_TRUE(QTest::qWaitFor([&] {
            return !rig.rig.session->uploadPending() && !rig.rig.session->deviceQueue().busy();
        }));
    }
    void pressAgain() {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.pages->actions().applyBusy(); }));
        rig.clickNamed("Save");
    }
    SettingsRig& rig;
};

TEST(SaveDuringUpload, ASecondSaveWaitsAndTheNewestPressIsSentAfterIt) {
    SettingsRig rig;
    rig.start();
    rig.record().sensitivityX = 3;
    HeldSave save(rig);
    EXPECT_EQ(rig.rig.session->saveProgress().phase, SaveProgress::Phase::Uploading);
    EXPECT_EQ(readText(rig.rig.dir / "config0.bin"), fileOf(rig.record()));

    rig.record().sensitivityX = 5; // belongs to the next Save
    save.pressAgain();
    rig.record().sensitivityX = 7;
    save.pressAgain(); // replaces the waiting one
    EXPECT_EQ(rig.rig.virtualMouse->uploadsBegun(), 1);
    EXPECT_EQ(readText(rig.rig.dir / "config0.bin"), fileOf(rig.record()));

    save.finish();
    EXPECT_EQ(rig.rig.virtualMouse->uploadsBegun(), 2);
    EXPECT_EQ(rig.rig.virtualMouse->configurationBlock()[0x4A], 7 * 20);
    EXPECT_EQ(rig.rig.state().appliedRecord, rig.record());
    EXPECT_EQ(rig.rig.session->saveProgress().phase, SaveProgress::Phase::Saved);
}

TEST(SaveDuringUpload, ASwitchMeanwhileLeavesEachProfileItsOwnFilesAndTheNewestEdits) {
    SettingsRig rig;
    ConfigRecord second{};
    second.sensitivityX = 2;
    WindowRig::writeFile(rig.rig.dir / "config1.bin", fileOf(second));
    WindowRig::writeFile(rig.rig.dir / "str1.ini", "[Skins]\r\nPath=Carbon\r\n");
    WindowRig::writeFile(rig.rig.dir / "str.ini", "[Profile]\r\nCurProfileName=P1\r\n"
                                                  "ItemCount=2\r\nItem0=P1\r\nItem1=P2\r\n");
    rig.start();
    rig.record().sensitivityX = 4;
    HeldSave save(rig);
    // The press's files are written at once.
    EXPECT_EQ(readText(rig.rig.dir / "config0.bin"), fileOf(rig.record()));

    // Edited while the upload runs, then kept by the switch's question.
    rig.record().sensitivityX = 9;
    const ConfigRecord edited = rig.record();
    rig.rig.messages.answers.push_back(UnsavedChoice::Save);
    ASSERT_TRUE(rig.rig.profiles().switchProfile(1));
    EXPECT_EQ(rig.rig.messages.answers.size(), 0u);
    save.finish();

    // The older press must not overwrite the newer edits when it ends.
    EXPECT_EQ(readText(rig.rig.dir / "config0.bin"), fileOf(edited));
    EXPECT_EQ(readText(rig.rig.dir / "config1.bin"), fileOf(second));
    EXPECT_EQ(readText(rig.rig.dir / "str1.ini"), "[Skins]\r\nPath=Carbon\r\n");
    EXPECT_EQ(rig.rig.profile().currentProfileIndex(), 1);
    EXPECT_EQ(rig.rig.profile().recordFilePath().filename(), "config1.bin");
    // The press, then the profile switched to: the switch's Save waited
    // behind the press, and the mouse would have held it only until the
    // switch's own upload replaced it.
    EXPECT_EQ(rig.rig.virtualMouse->uploadsBegun(), 2);
    EXPECT_EQ(rig.rig.virtualMouse->configurationBlock()[0x4A], 2 * 20);
    EXPECT_FALSE(rig.rig.profiles().hasUnsavedChanges());
}

TEST(SaveDuringUpload, ASwitchAfterAWaitingSaveLeavesTheMouseWithTheProfileSwitchedTo) {
    SettingsRig rig;
    ConfigRecord second{};
    second.sensitivityX = 2;
    WindowRig::writeFile(rig.rig.dir / "config1.bin", fileOf(second));
    WindowRig::writeFile(rig.rig.dir / "str.ini", "[Profile]\r\nCurProfileName=P1\r\n"
                                                  "ItemCount=2\r\nItem0=P1\r\nItem1=P2\r\n");
    rig.start();
    rig.record().sensitivityX = 4;
    HeldSave save(rig);
    rig.record().sensitivityX = 6;
    rig.record().pointerSpeed = 9;
    rig.rig.state().pointerChanges.speed = true;
    save.pressAgain(); // waits behind the first
    const ConfigRecord saved = rig.record();
    // Nothing unsaved: the switch asks nothing and uploads the other profile.
    ASSERT_TRUE(rig.rig.profiles().switchProfile(1));
    save.finish();

    EXPECT_EQ(rig.rig.profile().currentProfileIndex(), 1);
    EXPECT_EQ(rig.rig.virtualMouse->configurationBlock()[0x4A], 2 * 20);
    EXPECT_EQ(readText(rig.rig.dir / "config0.bin"), fileOf(saved));
    // The waiting press was replaced on the mouse, not on the desktop.
    const std::vector<std::string> set = rig.desktop.setKeys();
    EXPECT_EQ(std::ranges::count_if(
                  set, [](const std::string& key) { return key.starts_with("speed="); }),
              1);
    EXPECT_NE(rig.rig.session->saveProgress().phase, SaveProgress::Phase::Uploading);
}

TEST(SaveDuringUpload, ClosingTheProgramLetsTheWaitingSaveReachTheMouse) {
    SettingsRig rig;
    rig.start();
    rig.record().sensitivityX = 3;
    HeldSave save(rig);
    rig.record().sensitivityX = 8;
    save.pressAgain();
    rig.rig.clock.release();
    rig.window().exitProgram();

    EXPECT_EQ(rig.rig.exitCode, 0);
    EXPECT_EQ(rig.rig.virtualMouse->uploadsBegun(), 2);
    EXPECT_EQ(rig.rig.virtualMouse->configurationBlock()[0x4A], 8 * 20);
    EXPECT_EQ(readText(rig.rig.dir / "config0.bin"), fileOf(rig.record()));
}

TEST(SaveDuringUpload, AWindowDestroyedWithASaveWaitingStillAppliesItsPointerSettings) {
    // The window's destructor drains the waiting Save, whose pointer apply
    // calls the desktop: what it calls must still be there (the sanitizer
    // build sees it when not).
    {
        SettingsRig rig;
        rig.start();
        rig.record().sensitivityX = 3;
        HeldSave save(rig);
        rig.record().pointerSpeed = 9;
        rig.rig.state().pointerChanges.speed = true;
        save.pressAgain();
        EXPECT_EQ(readText(rig.rig.dir / "config0.bin"), fileOf(rig.record()));
        rig.rig.clock.release();
        const std::size_t callsBefore = rig.desktop.calls.size();
        rig.rig.window.reset();
        EXPECT_GT(rig.desktop.calls.size(), callsBefore);
    }
    {
        SettingsRig rig;
        rig.start();
        rig.record().sensitivityX = 3;
        HeldSave save(rig);
        rig.rig.state().pointerChanges.speed = true;
        save.pressAgain();
        EXPECT_TRUE(rig.rig.clock.waiting());
    } // destroyed in declaration order, the Save still waiting
}

TEST(DeviceThread, NoCommandToTheMouseRunsOnTheWindowsThread) {
    SettingsRig rig;
    rig.start();
    rig.record().sensitivityX = 5;
    rig.clickNamed("Save");
    rig.rig.virtualMouse->emitEvent(2, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.rig.balloons.shown.size() == 1; }));
    rig.rig.backend.unplug(rig.rig.virtualMouse);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.rig.link.devicePresent; }));
    rig.rig.backend.plug(rig.rig.virtualMouse);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.rig.link.devicePresent.load(); }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.pages->actions().applyBusy(); }));
    rig.rig.messages.confirmations = {true};
    rig.clickNamed("Reset");
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return !rig.rig.session->uploadPending() && !rig.rig.session->deviceQueue().busy();
    }));
    rig.window().exitProgram();

    EXPECT_GE(rig.rig.virtualMouse->uploadsBegun(), 2);
    EXPECT_EQ(rig.rig.checkedBackend.callsOnOwnThread(), 0);
}

TEST(SaveDuringUpload, AnUnplugEndsTheUploadSavesTheFilesAndTellsTheUser) {
    SettingsRig rig;
    rig.start();
    rig.record().sensitivityX = 6;
    HeldSave save(rig);
    rig.rig.backend.unplug(rig.rig.virtualMouse);
    // The search waits for the upload, which still holds the handle.
    QTest::qWait(60);
    EXPECT_TRUE(rig.rig.link.devicePresent);
    save.finish();

    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.rig.link.devicePresent; }));
    EXPECT_EQ(readText(rig.rig.dir / "config0.bin"), fileOf(rig.record()));
    ASSERT_FALSE(rig.rig.balloons.shown.empty());
    EXPECT_EQ(rig.rig.balloons.shown[0].text, "The system did not detect the gaming mouse!");
    EXPECT_EQ(rig.rig.session->saveProgress().phase, SaveProgress::Phase::NotReceived);
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

    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.rig.balloons.shown.size() == 1; }));
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
    QObject::connect(&rig.rig.session->deviceQueue(), &DeviceThread::uploadProgress,
                     [&](int done, int total) {
                         EXPECT_EQ(total, 16); // two commands, three kinds of block
                         steps.push_back(done);
                     });
    const QImage idle = rig.window().grab().toImage();
    HeldSave save(rig);
    EXPECT_EQ(rig.rig.session->saveProgress().phase, SaveProgress::Phase::Uploading);
    const QImage during = rig.window().grab().toImage();
    save.finish();
    std::vector<int> expected(16);
    std::iota(expected.begin(), expected.end(), 1);
    EXPECT_EQ(steps, expected);
    EXPECT_EQ(rig.rig.session->saveProgress().phase, SaveProgress::Phase::Saved);
    const QImage after = rig.window().grab().toImage();
    EXPECT_NE(idle, during);
    EXPECT_NE(during, after);
    EXPECT_NE(idle, after);
}

} // namespace
} // namespace qvr::test
