#include "app/firmware_updater.h"
#include "app/profile_session.h"
#include "app/window_rig.h"
#include "device/mouse_protocol.h"
#include "ui/gdip_button.h"
#include "ui/qt_fonts.h"

#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSysInfo>
#include <QSystemTrayIcon>
#include <QTest>
#include <gtest/gtest.h>
#include <thread>

namespace qvr::test {
namespace {

using namespace std::chrono_literals;

// Runs the event loop until the condition holds or two seconds pass.
void moveMouse(QWidget& widget, QPoint position) {
    QMouseEvent move(QEvent::MouseMove, position, widget.mapToGlobal(position), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
}

bool waitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 200 && !condition(); ++i)
        QTest::qWait(10);
    return condition();
}

TEST(MainWindowStartUp, WithTheMouseOpensItSizesToTheSkinAndAddsTheTrayIcon) {
    WindowRig rig;
    CMavloDlg& window = rig.start();

    EXPECT_EQ(rig.link.devicePresent, 1);
    EXPECT_EQ(rig.virtualMouse->openModeByte(), 0xFC); // the open sequence ran
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.size(), QSize(1000, 640));
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.windowFlags() & Qt::WindowType_Mask, Qt::Tool); // no taskbar entry
    ASSERT_NE(window.trayIcon(), nullptr);
    EXPECT_EQ(window.trayIcon()->toolTip(), "QVR 2.7");
    EXPECT_EQ(window.textColor(), QColor(0, 255, 0));
    EXPECT_TRUE(rig.messages.messages.empty());
    EXPECT_EQ(window.elements()[window.ids().save].label, "Save");
}

TEST(MainWindowStartUp, WithoutTheMouseStillShowsTheWindowAndTheTrayIcon) {
    WindowRig rig(WindowRig::Mouse::Absent);
    CMavloDlg& window = rig.start();

    EXPECT_EQ(rig.link.devicePresent, 0);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.size(), QSize(1000, 640));
    EXPECT_NE(window.trayIcon(), nullptr);
    EXPECT_TRUE(rig.balloons.shown.empty()); // the missing mouse is not announced at once
}

TEST(MainWindowStartUp, AMissingBackgroundIsReportedAndTheWindowKeepsItsDefaultSize) {
    WindowRig rig;
    std::filesystem::remove(rig.dir / "Skins" / "Test" / "main.png");
    CMavloDlg& window = rig.start();
    ASSERT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.messages.messages[0].text, "LoadPng---Load image failed.");
    EXPECT_EQ(window.size(), CMavloDlg::kDefaultSize);
    EXPECT_FALSE(window.grab().isNull());
}

TEST(MainWindowStartUp, AMouseThatMayNotBeOpenedIsExplainedOnce) {
    WindowRig rig(WindowRig::Mouse::Absent);
    int asked = 0;
    rig.permissionProblem = [&]() -> std::optional<std::string> {
        ++asked;
        return "Install the udev rule.";
    };
    rig.start();
    rig.window->trayLeftClick();
    ASSERT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.messages.messages[0].text, "Install the udev rule.");
    EXPECT_EQ(asked, 1);
}

TEST(MainWindowHideAndShow, CloseRequestAndMinimiseHideAndTheTrayClickShowsAgain) {
    WindowRig rig;
    CMavloDlg& window = rig.start();

    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(rig.exitCode.has_value());
    window.trayLeftClick();
    EXPECT_TRUE(window.isVisible());

    window.clickAt({960, 10}); // minimise button
    EXPECT_FALSE(window.isVisible());
    window.trayLeftClick();
    EXPECT_TRUE(window.isVisible());

    for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(&window, static_cast<Qt::Key>(key));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(rig.balloons.shown.empty());
}

TEST(MainWindowHideAndShow, TrayClickWithTheMouseAbsentRaisesTheBalloonInstead) {
    WindowRig rig(WindowRig::Mouse::Absent);
    CMavloDlg& window = rig.start();
    window.close();
    window.trayLeftClick();
    EXPECT_FALSE(window.isVisible());
    ASSERT_EQ(rig.balloons.shown.size(), 1u);
    EXPECT_EQ(rig.balloons.shown[0].text, "The system did not detect the gaming mouse!");
    EXPECT_EQ(rig.balloons.shown[0].title, "Warning");
    EXPECT_EQ(rig.balloons.shown[0].timeoutMs, 100);
}

TEST(MainWindowHideAndShow, CloseButtonAndExitEndWithZeroAndCloseTheHandles) {
    {
        WindowRig rig;
        CMavloDlg& window = rig.start();
        window.clickAt({985, 10});
        EXPECT_EQ(rig.exitCode, 0);
        EXPECT_EQ(rig.link.commandHandle(), nullptr);
        EXPECT_EQ(window.trayIcon(), nullptr);
    }
    {
        WindowRig rig;
        CMavloDlg& window = rig.start();
        const QList<QAction*> actions = window.trayMenu()->actions();
        ASSERT_FALSE(actions.isEmpty());
        EXPECT_EQ(actions.back()->text(), "Exit");
        actions.back()->trigger();
        EXPECT_EQ(rig.exitCode, 0);
    }
}

TEST(MainWindowHideAndShow, ClosingWhileTheListenerHandsAnEventOverEndsCleanly) {
    for (const bool byExit : {true, false}) {
        SCOPED_TRACE(byExit ? "Exit" : "destruction");
        WindowRig rig;
        CMavloDlg& window = rig.start();
        rig.virtualMouse->emitEvent(1, 2);
        // Once read, the event waits for this thread, which does not turn
        // its event loop here: the close comes in the middle of the hand-over.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (rig.virtualMouse->eventsWaiting() > 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_EQ(rig.virtualMouse->eventsWaiting(), 0u);
        if (byExit) {
            window.clickAt({985, 10});
            EXPECT_EQ(rig.exitCode, 0);
        }
        rig.clock.release();
        rig.window.reset();
        EXPECT_TRUE(rig.balloons.shown.empty());
    }
}

TEST(MainWindowHideAndShow, ReopeningAfterCancelReloadsTheProfile) {
    RecordingPage page;
    WindowRig rig;
    CMavloDlg& window = rig.start();
    window.addPage(page);
    rig.state.record.dpiStage[0] = 77; // an edit that Cancel discards
    // An edit box closed after the reload would write its stale value back.
    std::vector<int> seenByClose;
    page.onClosePopups = [&] { seenByClose.push_back(rig.state.record.dpiStage[0]); };
    window.reloadOnReopen = true;
    window.hide();
    window.trayLeftClick();
    ASSERT_FALSE(seenByClose.empty());
    EXPECT_EQ(seenByClose.front(), 77);
    EXPECT_GE(page.drawn, 1); // the reloaded profile is drawn in full
    EXPECT_FALSE(window.reloadOnReopen);
    EXPECT_EQ(rig.state.record.dpiStage[0], 0); // as in config0.bin
}

TEST(MainWindowBalloons, MouseEventsShowTheirBalloonsThroughTheListener) {
    WindowRig rig;
    CMavloDlg& window = rig.start();
    // Put DPI byte 32 in stage 3 of the mouse's active slot.
    rig.state.record.dpiStage = {16, 24, 32, 64, 0, 0};
    rig.state.record.reportRateCode = 1;
    rig.link.protocol().uploadConfiguration(rig.state.record);

    rig.virtualMouse->emitEvent(2, 3);
    ASSERT_TRUE(waitFor([&] { return rig.balloons.shown.size() == 1; }));
    EXPECT_EQ(rig.balloons.shown[0].text, "Switch DPI into the third stage 1600");
    EXPECT_EQ(rig.balloons.shown[0].title, "Info");
    EXPECT_EQ(rig.balloons.shown[0].timeoutMs, 5000);

    // 06 07 04 01 shows nothing; the macro event sent after it is the next
    // balloon.
    rig.virtualMouse->emitEvent(4, 1);
    rig.virtualMouse->emitEvent(9, 2);
    ASSERT_TRUE(waitFor([&] { return rig.balloons.shown.size() >= 2; }));
    QTest::qWait(50);
    ASSERT_EQ(rig.balloons.shown.size(), 2u);
    EXPECT_EQ(rig.balloons.shown[1].text, "Switch to macro key2");
    EXPECT_EQ(rig.balloons.shown[1].title, "Info");
    (void)window;
}

TEST(MainWindowBalloons, OnePlugGivesOneBalloonForRemovalAndForArrival) {
    WindowRig rig;
    rig.start();

    rig.backend.unplug(rig.virtualMouse); // two nodes, two events
    ASSERT_TRUE(waitFor([&] { return rig.balloons.shown.size() == 1; }));
    QTest::qWait(60);
    ASSERT_EQ(rig.balloons.shown.size(), 1u);
    EXPECT_EQ(rig.balloons.shown[0].text, "The system did not detect the gaming mouse!");
    EXPECT_EQ(rig.balloons.shown[0].title, "Warning");
    EXPECT_EQ(rig.link.devicePresent, 0);

    rig.backend.plug(rig.virtualMouse);
    ASSERT_TRUE(waitFor([&] { return rig.balloons.shown.size() == 2; }));
    QTest::qWait(60);
    ASSERT_EQ(rig.balloons.shown.size(), 2u);
    EXPECT_EQ(rig.balloons.shown[1].text, "The system detect the gaming mouse.");
    EXPECT_EQ(rig.balloons.shown[1].title, "Info");
    EXPECT_EQ(rig.link.devicePresent, 1);
}

TEST(MainWindowLanguage, OnlyExactCodesSelectChinese) {
    const std::vector<std::pair<std::optional<std::string>, Language>> cases = {
        {"Lan=chs", Language::English},
        {"Lan=\"CHS \"", Language::English}, // quoted, so the blank stays
        {std::nullopt, Language::English},
        {"Lan=CHS", Language::SimplifiedChinese},
        {"Lan=CHT", Language::TraditionalChinese},
    };
    for (const auto& [line, expected] : cases) {
        WindowRig rig(WindowRig::Mouse::Present, line);
        CMavloDlg& window = rig.start();
        EXPECT_EQ(window.language(), expected) << line.value_or("(none)");
        EXPECT_EQ(window.trayMenu()->actions().back()->text(),
                  qstr(mainWindowTexts(expected).exit));
    }
}

TEST(MainWindowLanguage, ChineseFacesMapToTheInstalledCjkSans) {
    WindowRig rig(WindowRig::Mouse::Present, "Lan=CHS");
    CMavloDlg& window = rig.start();
    EXPECT_EQ(window.textFont().family(), "WenQuanYi Micro Hei");
    EXPECT_EQ(window.textFont().pixelSize(), 13);
    EXPECT_EQ(window.headingFont().pixelSize(), 18);
    EXPECT_EQ(window.headingFont().weight(), QFont::Bold);
    EXPECT_EQ(window.elements()[window.ids().save].label, "保存");
}

TEST(MainWindowHelpPanel, HelpButtonTogglesAndOtherClicksCloseExceptTheBottomButtons) {
    WindowRig rig;
    CMavloDlg& window = rig.start();
    const QPoint help(940, 10);

    window.clickAt(help);
    EXPECT_TRUE(window.helpPanelOpen());
    window.clickAt(help);
    EXPECT_FALSE(window.helpPanelOpen());

    window.clickAt(help);
    window.clickAt({930, 610}); // Save
    window.clickAt({800, 610}); // Reset
    EXPECT_TRUE(window.helpPanelOpen());
    window.clickAt({500, 300});
    EXPECT_FALSE(window.helpPanelOpen());
    EXPECT_TRUE(rig.messages.messages.empty());
}

TEST(MainWindowHelpPanel, TheLanguageLinesSwitchTheWindowAndAllSixProfiles) {
    WindowRig rig;
    for (int index = 1; index < 6; ++index)
        std::filesystem::copy_file(rig.dir / "str0.ini",
                                   rig.dir / ("str" + std::to_string(index) + ".ini"));
    CMavloDlg& window = rig.start();
    const auto lanOf = [&rig](int index) {
        return loadIniFile(rig.dir / ("str" + std::to_string(index) + ".ini"))
            .file.value("Skins", "Lan");
    };
    window.toggleHelpPanel();
    auto* panel = window.helpPanel();
    ASSERT_NE(panel, nullptr);
    const QImage english = window.grab().toImage();

    EXPECT_TRUE(panel->clickAt(CHelpDialog::languageLine(2).center()));
    EXPECT_EQ(window.language(), Language::TraditionalChinese);
    EXPECT_EQ(window.elements()[window.ids().save].label, "保存");
    EXPECT_EQ(window.elements()[window.ids().config].label,
              qstr(mainWindowTexts(Language::TraditionalChinese).config));
    EXPECT_EQ(rig.profile.labelSection(), "Setting-CHT");
    EXPECT_FALSE(window.profileSession().hasUnsavedChanges()); // saved labels stay saved
    for (int index = 0; index < 6; ++index)
        EXPECT_EQ(lanOf(index), "CHT") << index;
    EXPECT_NE(window.grab().toImage(), english);
    EXPECT_TRUE(window.helpPanelOpen());

    // A file that may not be changed: nothing changes, the user is told.
    const auto locked = rig.dir / "str4.ini";
    std::filesystem::permissions(locked, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_FALSE(window.chooseLanguage(Language::SimplifiedChinese));
    EXPECT_EQ(window.language(), Language::TraditionalChinese);
    for (int index = 0; index < 6; ++index)
        EXPECT_EQ(lanOf(index), "CHT") << index;
    ASSERT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_NE(rig.messages.messages[0].text.find("str4.ini"), std::string::npos);
    std::filesystem::permissions(locked, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add);

    EXPECT_TRUE(panel->clickAt(CHelpDialog::languageLine(0).center()));
    EXPECT_EQ(window.language(), Language::English);
    EXPECT_EQ(languageFromCode(lanOf(3)), Language::English);
    EXPECT_EQ(window.elements()[window.ids().save].label, "Save");
}

TEST(MainWindowHelpPanel, TheUpdateLineWorksOnlyWithAnInstalledUpdater) {
    WindowRig rig;
    CMavloDlg& window = rig.start();
    window.toggleHelpPanel();
    auto* panel = window.findChild<CHelpDialog*>();
    ASSERT_NE(panel, nullptr);
    const QImage disabled = panel->grab().toImage();
    EXPECT_FALSE(panel->clickAt(CHelpDialog::kUpdateLine.center()));
    window.closeHelpPanel();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    // The factory folder is the rig's folder: install an updater there.
    const QByteArray arch = QSysInfo::currentCpuArchitecture().toUtf8();
    const auto updater = rig.dir / updaterRelativePath(arch.toStdString());
    const auto marker = rig.dir / "started";
    std::filesystem::create_directories(updater.parent_path());
    WindowRig::writeFile(updater, "#!/bin/sh\ntouch '" + marker.string() + "'\n");
    std::filesystem::permissions(updater, std::filesystem::perms::owner_all);

    window.toggleHelpPanel();
    panel = window.findChild<CHelpDialog*>();
    ASSERT_NE(panel, nullptr);
    EXPECT_NE(panel->grab().toImage(), disabled);
    EXPECT_TRUE(panel->clickAt(CHelpDialog::kUpdateLine.center()));
    EXPECT_TRUE(waitFor([&] { return std::filesystem::exists(marker); }));
}

TEST(MainWindowHelpPanel, APanelWithoutItsBackgroundSaysSo) {
    WindowRig rig;
    std::filesystem::remove(rig.dir / "Skins" / "Test" / "Help" / "HelpWindow.png");
    CMavloDlg& window = rig.start();
    window.toggleHelpPanel();
    ASSERT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.messages.messages[0].text, "error");
    EXPECT_EQ(rig.messages.messages[0].caption, "Help Dialog Load background image failed!!!");
}

TEST(MainWindowSkin, AMissingElementImageIsReportedOnceAndPaintingGoesOn) {
    WindowRig rig;
    std::filesystem::remove(rig.dir / "Skins" / "Test" / "button-save-normal.png");
    CMavloDlg& window = rig.start();
    const QImage first = window.grab().toImage();
    const QImage second = window.grab().toImage();
    ASSERT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.messages.messages[0].text, "LoadPng---Load image failed.");
    EXPECT_EQ(first.size(), QSize(1000, 640));
    EXPECT_EQ(first, second);
}

TEST(MainWindowSkin, HoverShowsTheOverImage) {
    WindowRig rig;
    CMavloDlg& window = rig.start();
    moveMouse(window, {944, 12});
    ASSERT_EQ(window.hoveredElement(), window.ids().help);
    EXPECT_EQ(window.grab().toImage().pixelColor(944, 12), QColor(0, 150, 255));
    moveMouse(window, {500, 300});
    EXPECT_FALSE(window.hoveredElement().has_value());
    EXPECT_EQ(window.grab().toImage().pixelColor(944, 12), QColor(30, 32, 40));
}

TEST(MainWindowSkin, ScrollThumbPostsItsTopAndItsReleaseToThePages) {
    RecordingPage page;
    WindowRig rig;
    CMavloDlg& window = rig.start();
    window.addPage(page);
    CGdipButton* thumb = window.scrollThumb();
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->geometry(), QRect(984, 32, 8, 114));
    EXPECT_TRUE(thumb->dragBy(300));
    ASSERT_TRUE(waitFor([&] { return !page.scrolls.empty(); }));
    EXPECT_EQ(page.scrolls, std::vector<int>{332});

    // A drag by the pointer: the release comes after the move it ended.
    page.scrolls.clear();
    QTest::mousePress(thumb, Qt::LeftButton, {}, QPoint(4, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(4, 10 - 100), thumb->mapToGlobal(QPointF(4, -90)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(thumb, &move);
    QTest::mouseRelease(thumb, Qt::LeftButton, {}, QPoint(4, 10));
    ASSERT_TRUE(waitFor([&] { return page.scrolls.size() >= 2; }));
    EXPECT_EQ(page.scrolls, (std::vector<int>{232, RecordingPage::kReleased}));
}

TEST(MainWindowPages, PagesAndElementsAddedLaterTakePartInPaintAndClicks) {
    RecordingPage under;
    RecordingPage over;
    WindowRig rig;
    CMavloDlg& window = rig.start();
    int clicks = 0;
    window.elements().add({.rect = edges(734, 32, 976, 52),
                           .onClick = [&](QPoint) { ++clicks; },
                           .stage = ClickStage::Sections});
    under.paint = [](QPainter& painter) { painter.fillRect(734, 32, 242, 20, Qt::red); };
    over.paint = [](QPainter& painter) { painter.fillRect(734, 32, 100, 20, Qt::blue); };
    window.addPage(under);
    window.addPage(over);
    window.clickAt({740, 40});
    EXPECT_EQ(clicks, 1);
    // The page added later draws over the earlier one.
    const QImage face = window.grab().toImage();
    EXPECT_EQ(face.pixelColor(740, 40), QColor(Qt::blue));
    EXPECT_EQ(face.pixelColor(900, 40), QColor(Qt::red));

    window.closePagePopups();
    EXPECT_EQ(under.popupsClosed, 1);
    EXPECT_EQ(over.popupsClosed, 1);
}

} // namespace
} // namespace qvr::test
