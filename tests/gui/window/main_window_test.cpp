#include "core/device/mouse_protocol.h"
#include "core/layout/skin_layout.h"
#include "core/profiles/profile_record_file.h"
#include "gui/session/profile_session.h"
#include "gui/widgets/qt_fonts.h"
#include "gui/widgets/scroll_thumb.h"
#include "gui/window/firmware_updater.h"
#include "gui/window/message_boxes.h"
#include "gui/window/session_end_watch.h"
#include "support/window_rig.h"

#include <QAccessible>
#include <QActionGroup>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QSysInfo>
#include <QSystemTrayIcon>
#include <QTest>
#include <QTimer>
#include <csignal>
#include <gtest/gtest.h>
#include <thread>
#include <tuple>
#include <unistd.h>

namespace qvr::test {
namespace {

using namespace std::chrono_literals;

// Runs the event loop until the condition holds or two seconds pass.
void moveMouse(QWidget& widget, QPoint position) {
    QMouseEvent move(QEvent::MouseMove, position, widget.mapToGlobal(position), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
}

TEST(MainWindowStartUp, WithTheMouseOpensItSizesToTheSkinAndAddsTheTrayIcon) {
    WindowRig rig;
    MainWindow& window = rig.start();

    EXPECT_TRUE(rig.link.devicePresent);
    EXPECT_EQ(rig.virtualMouse->openModeByte(), 0xFC); // the open sequence ran
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.size(), QSize(1000, 640));
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.windowFlags() & Qt::WindowType_Mask, Qt::Tool); // no taskbar entry
    ASSERT_NE(window.tray().trayIcon(), nullptr);
    // The title first, then the profile and the stage the mouse reported.
    EXPECT_EQ(window.tray().trayIcon()->toolTip(), "QVR 2.7\nProfile: P1\nDPI stage 1");
    EXPECT_EQ(window.textColor(), QColor(0, 255, 0));
    EXPECT_TRUE(rig.messages.messages.empty());
    EXPECT_EQ(window.elements()[window.ids().save].label, "Save");
}

TEST(MainWindowStartUp, TheWindowShowsBeforeTheSearchAnswersAndThePageFollowsTheAnswer) {
    WindowRig rig;
    rig.waitForStartUp = false;
    rig.searchPatience = 30ms;
    int drawn = 0;
    RecordingPage page;
    page.paint = [&](QPainter&) { drawn += rig.window->pageDrawn(); };
    rig.checkedBackend.holdSearches();
    MainWindow& window = rig.start([&](MainWindow& w) { w.addPage(page); });

    // A search that hangs freezes nothing: the window is up and painted, the
    // card says the mouse is being looked for, and the button page waits.
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.grab().isNull());
    EXPECT_EQ(rig.session->startUpSearch(), StartUpSearch::Searching);
    EXPECT_FALSE(window.pageDrawn());
    EXPECT_EQ(page.drawn, 0);
    // Not known to be missing, so nothing says it is.
    window.trayLeftClick();
    EXPECT_TRUE(rig.balloons.shown.empty());
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return rig.session->startUpSearch() == StartUpSearch::NoAnswer; }));
    EXPECT_FALSE(window.pageDrawn());

    // The answer still counts when it comes.
    rig.checkedBackend.releaseSearches();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return rig.session->startUpSearch() == StartUpSearch::Answered; }));
    EXPECT_TRUE(rig.link.devicePresent);
    EXPECT_TRUE(window.pageDrawn());
    EXPECT_EQ(page.drawn, 1);
    (void)window.grab();
    EXPECT_GT(drawn, 0);
    EXPECT_EQ(rig.checkedBackend.callsOnOwnThread(), 0);
    EXPECT_TRUE(rig.balloons.shown.empty());
}

TEST(MainWindowStartUp, WithoutTheMouseStillShowsTheWindowAndTheTrayIcon) {
    WindowRig rig(WindowRig::Mouse::Absent);
    MainWindow& window = rig.start();

    EXPECT_FALSE(rig.link.devicePresent);
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.size(), QSize(1000, 640));
    EXPECT_NE(window.tray().trayIcon(), nullptr);
    EXPECT_TRUE(rig.balloons.shown.empty()); // the missing mouse is not announced at once
}

TEST(MainWindowStartUp, AMissingBackgroundIsReportedAndTheWindowKeepsItsDefaultSize) {
    WindowRig rig;
    std::filesystem::remove(rig.dir / "Skins" / "Test" / "main.png");
    MainWindow& window = rig.start();
    ASSERT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.messages.messages[0].text, "LoadPng---Load image failed.");
    EXPECT_EQ(window.size(), MainWindow::kDefaultSize);
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
    MainWindow& window = rig.start();

    window.close();
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(rig.exitCode.has_value());
    window.trayLeftClick();
    EXPECT_TRUE(window.isVisible());

    clickNamed(window, "Minimise");
    EXPECT_FALSE(window.isVisible());
    window.trayLeftClick();
    EXPECT_TRUE(window.isVisible());

    for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(&window, static_cast<Qt::Key>(key));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(rig.balloons.shown.empty());
    // Not even with the keyboard on the minimise button: only Space presses.
    for (int i = 0; i < 2; ++i)
        QTest::keyClick(&window, Qt::Key_Tab);
    ASSERT_EQ(window.focusedElement(), window.ids().minimise);
    for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
        QTest::keyClick(&window, static_cast<Qt::Key>(key));
    EXPECT_TRUE(window.isVisible());
    QTest::keyClick(&window, Qt::Key_Space);
    EXPECT_FALSE(window.isVisible());
}

TEST(MainWindowHideAndShow, TrayClickWithTheMouseAbsentRaisesTheBalloonInstead) {
    WindowRig rig(WindowRig::Mouse::Absent);
    MainWindow& window = rig.start();
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
        MainWindow& window = rig.start();
        clickNamed(window, "Close");
        EXPECT_EQ(rig.exitCode, 0);
        EXPECT_EQ(rig.link.commandHandle(), nullptr);
        EXPECT_EQ(window.tray().trayIcon(), nullptr);
        EXPECT_TRUE(rig.messages.messages.empty()); // nothing unsaved, nothing asked
    }
    {
        WindowRig rig;
        MainWindow& window = rig.start();
        const QList<QAction*> actions = window.trayMenu()->actions();
        ASSERT_FALSE(actions.isEmpty());
        EXPECT_EQ(actions.back()->text(), "Exit");
        actions.back()->trigger();
        EXPECT_EQ(rig.exitCode, 0);
    }
}

std::string fileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// The byte of the first macro image in a profile file (after its flag).
char savedMacroByte(const WindowRig& rig) {
    return fileBytes(rig.dir / "config0.bin").at(1 + offsetof(ConfigRecord, macroData));
}

TEST(MainWindowHideAndShow, CloseAndExitWithUnsavedChangesAskFirstAndFollowTheAnswer) {
    for (const bool fromTray : {false, true}) {
        for (const UnsavedChoice answer :
             {UnsavedChoice::Cancel, UnsavedChoice::Discard, UnsavedChoice::Save}) {
            SCOPED_TRACE(std::string(fromTray ? "Exit" : "close button") + ", answer " +
                         std::to_string(static_cast<int>(answer)));
            WindowRig rig;
            MainWindow& window = rig.start();
            const std::string saved = fileBytes(rig.dir / "config0.bin");
            const int uploads = rig.virtualMouse->uploadsBegun();
            rig.state().record.macroData[0] = 77;
            rig.messages.answers = {answer};
            if (fromTray) {
                window.hide();
                window.trayMenu()->actions().back()->trigger();
            } else {
                window.clickAt(MainWindow::kCloseRect.center());
            }
            ASSERT_EQ(rig.messages.messages.size(), 1u);
            EXPECT_EQ(rig.messages.messages[0].text,
                      "Your changes have not been saved. Save them before closing?");
            if (answer == UnsavedChoice::Cancel) {
                EXPECT_FALSE(rig.exitCode.has_value());
                EXPECT_TRUE(window.isVisible()); // Exit showed it for the question
                EXPECT_EQ(rig.state().record.macroData[0], 77);
                EXPECT_TRUE(rig.profiles().hasUnsavedChanges());
                EXPECT_EQ(fileBytes(rig.dir / "config0.bin"), saved);
                continue;
            }
            EXPECT_EQ(rig.exitCode, 0);
            EXPECT_EQ(rig.link.commandHandle(), nullptr);
            if (answer == UnsavedChoice::Discard) {
                EXPECT_EQ(fileBytes(rig.dir / "config0.bin"), saved);
                EXPECT_EQ(rig.virtualMouse->uploadsBegun(), uploads);
            } else {
                // The files at once; the end waited for the mouse's upload.
                EXPECT_EQ(savedMacroByte(rig), 77);
                EXPECT_EQ(rig.virtualMouse->uploadsBegun(), uploads + 1);
                EXPECT_EQ(rig.virtualMouse->macroBlock(1)[0], 77);
            }
        }
    }
    // A Save that cannot write its files keeps the program and the changes.
    WindowRig rig;
    MainWindow& window = rig.start();
    rig.state().record.macroData[0] = 77;
    rig.profile().setWriteFault([](AtomicWriteStage) { return ENOSPC; });
    rig.messages.answers = {UnsavedChoice::Save};
    window.clickAt(MainWindow::kCloseRect.center());
    EXPECT_FALSE(rig.exitCode.has_value());
    EXPECT_TRUE(rig.profiles().hasUnsavedChanges());
    EXPECT_EQ(savedMacroByte(rig), 0);
}

bool deviceSettled(WindowRig& rig);

QStringList actionTexts(const QMenu& menu) {
    QStringList texts;
    for (const QAction* action : menu.actions())
        if (!action->isSeparator())
            texts << action->text();
    return texts;
}

std::string listedCurrentName(const WindowRig& rig) {
    const std::string list = fileBytes(rig.dir / "str.ini");
    const auto start = list.find("CurProfileName=") + 15;
    return list.substr(start, list.find_first_of("\r\n", start) - start);
}

TEST(MainWindowTrayMenu, OpenProfilesStartAtLoginAndVirtualMouseComeBeforeExitInEachLanguage) {
    struct Case {
        std::optional<std::string> lan;
        QStringList items;
    } cases[] = {
        {std::nullopt, {"Open", "Profiles", "Start at login", "Virtual mouse", "Exit"}},
        {"Lan=CHS", {"打开", "切换配置", "登录时启动", "虚拟鼠标", "退出"}},
        {"Lan=CHT", {"開啟", "切換配置", "登入時啟動", "虛擬滑鼠", "結束"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.lan.value_or("English"));
        WindowRig rig(WindowRig::Mouse::Present, c.lan);
        int pressed = 0;
        rig.trayActions = {{"Unplug", [&] { ++pressed; }}};
        MainWindow& window = rig.start();
        QMenu& menu = *window.trayMenu();
        EXPECT_EQ(actionTexts(menu), c.items);
        const QList<QAction*> actions = menu.actions();
        ASSERT_NE(actions[3]->menu(), nullptr); // the virtual mouse's own submenu
        actions[3]->menu()->actions().front()->trigger();
        EXPECT_EQ(pressed, 1);
        EXPECT_TRUE(actions[actions.size() - 2]->isSeparator());
        // The title strip offers the same menu.
        EXPECT_EQ(window.tray().profilesMenu()->menuAction(), actions[1]);

        // Open shows the window from the tray.
        window.hideToTray();
        actions[0]->trigger();
        EXPECT_TRUE(window.isVisible());

        // The tooltip: the title, then the profile and the mouse's DPI stage.
        rig.virtualMouse->emitEvent(1, 3);
        ASSERT_TRUE(QTest::qWaitFor([&] { return rig.session->activeDpiStage() == 3; }));
        const QStringList tip = window.tray().trayIcon()->toolTip().split('\n');
        const TrayMenuTexts& texts = trayMenuTexts(window.language());
        EXPECT_EQ(tip, (QStringList{"QVR 2.7", qstr(texts.profileLine).arg("P1"),
                                    qstr(texts.dpiStageLine).arg(3)}));
    }
    // Without the virtual mouse there is no submenu for it.
    WindowRig rig;
    EXPECT_EQ(actionTexts(*rig.start().trayMenu()),
              (QStringList{"Open", "Profiles", "Start at login", "Exit"}));
}

TEST(MainWindowTrayMenu, ProfilesSwitchAsTheManagerDoesAndAskFirstAboutUnsavedChanges) {
    WindowRig rig;
    rig.writeProfiles({"P1", "P2", "P3"});
    MainWindow& window = rig.start();
    ProfileSession& session = rig.profiles();
    const auto profileItems = [&] {
        emit window.tray().profilesMenu()->aboutToShow();
        return window.tray().profilesMenu()->actions();
    };
    // Built as the menu opens, since the manager may change the names.
    const QList<QAction*> items = profileItems();
    ASSERT_EQ(actionTexts(*window.tray().profilesMenu()), (QStringList{"P1", "P2", "P3"}));
    EXPECT_TRUE(items[0]->isChecked());
    EXPECT_TRUE(items[0]->actionGroup()->isExclusive());

    // The profile on screen: nothing happens, nothing is sent.
    const int uploads = rig.virtualMouse->uploadsBegun();
    items[0]->trigger();
    QTest::qWait(20);
    ASSERT_TRUE(deviceSettled(rig));
    EXPECT_EQ(rig.virtualMouse->uploadsBegun(), uploads);

    // Without changes: loaded, kept in the list, sent.
    profileItems()[1]->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return session.windowProfile() == 1; }));
    EXPECT_EQ(rig.state().record.macroData[0], 2);
    EXPECT_EQ(listedCurrentName(rig), "P2");
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.virtualMouse->uploadsBegun() == uploads + 1; }));
    EXPECT_TRUE(profileItems()[1]->isChecked());
    EXPECT_TRUE(rig.messages.messages.empty());
    EXPECT_TRUE(window.tray().trayIcon()->toolTip().contains("P2"));

    // With changes: the window comes out and asks; Cancel keeps everything.
    rig.state().record.macroData[5] = 77;
    window.hideToTray();
    rig.messages.answers = {UnsavedChoice::Cancel};
    profileItems()[2]->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.messages.messages.size() == 1; }));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(session.windowProfile(), 1);
    EXPECT_EQ(rig.state().record.macroData[5], 77);
    EXPECT_EQ(listedCurrentName(rig), "P2");
    EXPECT_TRUE(profileItems()[1]->isChecked()); // the radio mark goes back

    // Discard: the other profile, without the changes.
    rig.messages.answers = {UnsavedChoice::Discard};
    profileItems()[2]->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return session.windowProfile() == 2; }));
    EXPECT_EQ(rig.state().record.macroData[0], 3);
    EXPECT_EQ(rig.state().record.macroData[5], 0);
    EXPECT_EQ(listedCurrentName(rig), "P3");
    EXPECT_EQ(fileBytes(rig.dir / "config1.bin")[1 + offsetof(ConfigRecord, macroData) + 5], 0);

    // Save: the changes go into the profile they were made in first.
    rig.state().record.macroData[5] = 66;
    rig.messages.answers = {UnsavedChoice::Save};
    profileItems()[0]->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return session.windowProfile() == 0; }));
    EXPECT_EQ(fileBytes(rig.dir / "config2.bin")[1 + offsetof(ConfigRecord, macroData) + 5], 66);
    EXPECT_EQ(listedCurrentName(rig), "P1");
}

TEST(MainWindowTrayMenu, StartAtLoginWritesAndRemovesTheAutostartEntry) {
    WindowRig rig;
    MainWindow& window = rig.start();
    QAction& item = *window.tray().startAtLoginAction();
    const auto entry = rig.dir / "autostart" / "qvr.desktop";
    EXPECT_TRUE(item.isCheckable());
    EXPECT_FALSE(item.isChecked());

    item.trigger();
    ASSERT_TRUE(std::filesystem::exists(entry));
    EXPECT_TRUE(item.isChecked());
    const std::string text = fileBytes(entry);
    EXPECT_NE(text.find("\nExec=\"/opt/qvr tools/bin/qvr\" --minimized\n"), std::string::npos)
        << text;
    if (!QStandardPaths::findExecutable("desktop-file-validate").isEmpty()) {
        QProcess validate;
        validate.start("desktop-file-validate", {QString::fromStdString(entry.string())});
        ASSERT_TRUE(validate.waitForFinished(10000));
        EXPECT_EQ(validate.exitCode(), 0) << validate.readAllStandardOutput().toStdString();
        EXPECT_EQ(validate.readAllStandardOutput(), "");
    }

    // Switched off by the desktop's own settings: the menu says so.
    WindowRig::writeFile(entry, text + "Hidden=true\n");
    emit window.trayMenu()->aboutToShow();
    EXPECT_FALSE(item.isChecked());
    item.trigger();
    EXPECT_TRUE(item.isChecked());
    EXPECT_EQ(fileBytes(entry), text);

    item.trigger();
    EXPECT_FALSE(std::filesystem::exists(entry));
    EXPECT_FALSE(item.isChecked());
    EXPECT_TRUE(rig.messages.messages.empty());

    // A folder that cannot be made: said, and the item stays unchecked.
    std::filesystem::remove_all(rig.dir / "autostart");
    WindowRig::writeFile(rig.dir / "autostart", "a file where the folder goes");
    item.trigger();
    EXPECT_FALSE(item.isChecked());
    EXPECT_EQ(rig.messages.messages.size(), 1u);
}

TEST(MainWindowTrayMenu, MinimizedStartsInTheTrayOrIconifiedWithoutOne) {
    {
        WindowRig rig;
        rig.shown = StartShown::Minimized;
        rig.waitForStartUp = false;
        MainWindow& window = rig.start();
        EXPECT_TRUE(QTest::qWaitFor([&] { return window.tray().trayIcon()->isVisible(); }));
        EXPECT_FALSE(window.isVisible());
        window.trayLeftClick();
        EXPECT_TRUE(window.isVisible());
    }
    WindowRig rig;
    rig.trayPresent = false;
    rig.shown = StartShown::Minimized;
    rig.waitForStartUp = false;
    MainWindow& window = rig.start();
    EXPECT_TRUE(window.isMinimized());
    EXPECT_FALSE(window.tray().trayIcon()->isVisible());
}

TEST(MainWindowHideAndShow, ClosingWhileTheListenerHandsAnEventOverEndsCleanly) {
    for (const bool byExit : {true, false}) {
        SCOPED_TRACE(byExit ? "Exit" : "destruction");
        WindowRig rig;
        MainWindow& window = rig.start();
        rig.virtualMouse->emitEvent(1, 2);
        // Once read, the event waits for this thread, which does not turn
        // its event loop here: the close comes in the middle of the hand-over.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (rig.virtualMouse->eventsWaiting() > 0 && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_EQ(rig.virtualMouse->eventsWaiting(), 0u);
        if (byExit) {
            clickNamed(window, "Close");
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
    MainWindow& window = rig.start();
    window.addPage(page);
    rig.state().record.dpiStage[0] = 77; // an edit that Cancel discards
    // An edit box closed after the reload would write its stale value back.
    std::vector<int> seenByClose;
    page.onClosePopups = [&] { seenByClose.push_back(rig.state().record.dpiStage[0]); };
    window.reloadOnReopen = true;
    window.hide();
    window.trayLeftClick();
    ASSERT_FALSE(seenByClose.empty());
    EXPECT_EQ(seenByClose.front(), 77);
    EXPECT_GE(page.drawn, 1); // the reloaded profile is drawn in full
    EXPECT_FALSE(window.reloadOnReopen);
    EXPECT_EQ(rig.state().record.dpiStage[0], 0); // as in config0.bin
}

TEST(MainWindowBalloons, MouseEventsShowTheirBalloonsThroughTheListener) {
    WindowRig rig;
    MainWindow& window = rig.start();
    // Put DPI byte 32 in stage 3 of the mouse's active slot.
    rig.state().record.dpiStage = {16, 24, 32, 64, 0, 0};
    rig.state().record.reportRateCode = 1;
    rig.link.protocol().uploadConfiguration(rig.state().record);

    rig.virtualMouse->emitEvent(2, 3);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.balloons.shown.size() == 1; }));
    EXPECT_EQ(rig.balloons.shown[0].text, "Switch DPI into the third stage 1600");
    EXPECT_EQ(rig.balloons.shown[0].title, "Info");
    EXPECT_EQ(rig.balloons.shown[0].timeoutMs, 5000);

    // 06 07 04 01 shows nothing; the macro event sent after it is the next
    // balloon.
    rig.virtualMouse->emitEvent(4, 1);
    rig.virtualMouse->emitEvent(9, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.balloons.shown.size() >= 2; }));
    QTest::qWait(50);
    ASSERT_EQ(rig.balloons.shown.size(), 2u);
    EXPECT_EQ(rig.balloons.shown[1].text, "Switch to macro key2");
    EXPECT_EQ(rig.balloons.shown[1].title, "Info");
    (void)window;
}

TEST(MainWindowBalloons, TheActiveDpiStageComesFromTheReadBackAtOpeningAndFromEachEvent) {
    WindowRig rig;
    rig.virtualMouse->setDpiStage(3);
    rig.start();
    EXPECT_EQ(rig.session->activeDpiStage(), 3);
    // Read back right after the open command.
    const std::vector<std::string> trace = rig.virtualMouse->trace()->lines();
    const auto open = std::ranges::find_if(
        trace, [](const std::string& line) { return line.starts_with("set-feature 00 01 fc"); });
    ASSERT_NE(open, trace.end());
    EXPECT_NE(
        std::find_if(open, trace.end(),
                     [](const std::string& line) { return line.starts_with("set-feature 00 8c"); }),
        trace.end());

    // The mouse's own buttons: the event says where they went.
    rig.virtualMouse->emitEvent(1, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.session->activeDpiStage() == 2; }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.balloons.shown.size() == 1; }));
    rig.virtualMouse->emitEvent(3, 4);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.session->activeDpiStage() == 4; }));
    // An event naming no stage changes nothing.
    rig.virtualMouse->emitEvent(1, 7);
    rig.virtualMouse->emitEvent(9, 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.balloons.shown.size() == 3; }));
    EXPECT_EQ(rig.session->activeDpiStage(), 4);

    // Gone, the mouse says nothing; back, it is asked again.
    rig.backend.unplug(rig.virtualMouse);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.session->activeDpiStage().has_value(); }));
    rig.virtualMouse->setDpiStage(1);
    rig.backend.plug(rig.virtualMouse);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.session->activeDpiStage() == 1; }));
}

TEST(MainWindowBalloons, AReadBackThatNamesNoStageMarksNone) {
    for (const std::uint8_t length : {std::uint8_t{0x40}, std::uint8_t{0x80}}) {
        WindowRig rig;
        rig.virtualMouse->setConfigAnswerLength(length); // 0x40: cut before the stage
        rig.virtualMouse->setDpiStage(length == 0x40 ? 2 : 0);
        rig.start();
        EXPECT_FALSE(rig.session->activeDpiStage().has_value()) << int{length};
    }
    WindowRig absent(WindowRig::Mouse::Absent);
    absent.start();
    EXPECT_FALSE(absent.session->activeDpiStage().has_value());
}

TEST(MainWindowBalloons, OnePlugGivesOneBalloonForRemovalAndForArrival) {
    WindowRig rig;
    rig.start();

    rig.backend.unplug(rig.virtualMouse); // two nodes, two events
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.balloons.shown.size() == 1; }));
    QTest::qWait(60);
    ASSERT_EQ(rig.balloons.shown.size(), 1u);
    EXPECT_EQ(rig.balloons.shown[0].text, "The system did not detect the gaming mouse!");
    EXPECT_EQ(rig.balloons.shown[0].title, "Warning");
    EXPECT_FALSE(rig.link.devicePresent);

    rig.backend.plug(rig.virtualMouse);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.balloons.shown.size() == 2; }));
    QTest::qWait(60);
    ASSERT_EQ(rig.balloons.shown.size(), 2u);
    EXPECT_EQ(rig.balloons.shown[1].text, "The system detect the gaming mouse.");
    EXPECT_EQ(rig.balloons.shown[1].title, "Info");
    EXPECT_TRUE(rig.link.devicePresent);
}

// Unplugs the mouse and plugs it in again; returns once the window has
// handled the arrival (its balloon comes with the reload).
bool replug(WindowRig& rig) {
    const std::size_t balloons = rig.balloons.shown.size();
    rig.backend.unplug(rig.virtualMouse);
    if (!QTest::qWaitFor([&] { return rig.balloons.shown.size() == balloons + 1; }))
        return false;
    rig.backend.plug(rig.virtualMouse);
    return QTest::qWaitFor([&] { return rig.balloons.shown.size() == balloons + 2; }) &&
           rig.link.devicePresent;
}

bool deviceSettled(WindowRig& rig) {
    return QTest::qWaitFor([&] { return !rig.session->deviceQueue().busy(); });
}

TEST(MainWindowPlug, ArrivalKeepsUnsavedChangesAndReloadsAWindowWithoutThem) {
    WindowRig rig;
    rig.start();
    const int uploads = rig.virtualMouse->uploadsBegun();
    rig.state().record.macroData[0] = 77;
    ASSERT_TRUE(replug(rig));
    EXPECT_EQ(rig.state().record.macroData[0], 77);
    EXPECT_TRUE(rig.profiles().hasUnsavedChanges());

    // Without changes the profile is read again, as the files hold it now.
    rig.state().record = rig.state().appliedRecord;
    std::string file(kProfileFileSize, '\0');
    file[1 + offsetof(ConfigRecord, macroData)] = 5;
    WindowRig::writeFile(rig.dir / "config0.bin", file);
    ASSERT_TRUE(replug(rig));
    EXPECT_EQ(rig.state().record.macroData[0], 5);
    EXPECT_FALSE(rig.profiles().hasUnsavedChanges());
    ASSERT_TRUE(deviceSettled(rig));
    EXPECT_EQ(rig.virtualMouse->uploadsBegun(), uploads); // arrival alone sends nothing
}

TEST(MainWindowPlug, ASaveWhileTheMouseIsAwayIsSentOnceWhenItComesBack) {
    WindowRig rig;
    rig.start();
    ProfileSession& session = rig.profiles();
    const int uploads = rig.virtualMouse->uploadsBegun();
    rig.backend.unplug(rig.virtualMouse);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.link.devicePresent; }));
    rig.state().record.macroData[0] = 77;
    ASSERT_TRUE(session.saveProfile());
    EXPECT_EQ(savedMacroByte(rig), 77);
    EXPECT_TRUE(session.mouseOutOfDate());
    rig.state().record.macroData[0] = 88; // on screen only

    rig.backend.plug(rig.virtualMouse);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.virtualMouse->uploadsBegun() == uploads + 1; }));
    ASSERT_TRUE(deviceSettled(rig));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !session.mouseOutOfDate(); }));
    EXPECT_EQ(rig.virtualMouse->macroBlock(1)[0], 77); // the saved record, not the screen
    EXPECT_EQ(rig.state().record.macroData[0], 88);
    EXPECT_TRUE(session.hasUnsavedChanges());

    ASSERT_TRUE(replug(rig));
    ASSERT_TRUE(deviceSettled(rig));
    EXPECT_EQ(rig.virtualMouse->uploadsBegun(), uploads + 1);
}

// The program started again on the same folder, as after a new login.
MainWindow& restart(WindowRig& rig) {
    rig.window.reset();
    rig.state() = RecordState{};
    rig.messages.messages.clear();
    rig.exitCode.reset();
    return rig.start();
}

TEST(MainWindowSessionEnd, SigtermKeepsUnsavedChangesAndTheNextStartOffersThemBack) {
    WindowRig rig;
    rig.start();
    const std::string saved = fileBytes(rig.dir / "config0.bin");
    rig.state().record.macroData[0] = 77;
    rig.state().record.pointerSpeed = 9;
    rig.state().pointerChanges.speed = true;
    rig.profile().labels()[0] = "Mine";
    const std::filesystem::path kept = rig.window->unsavedEditsPath();
    {
        SessionEndWatch watch([&] { rig.window->keepUnsavedEdits(); },
                              [&] { rig.window->endSession(); });
        ASSERT_TRUE(watch.catchesTerminate());
        ASSERT_EQ(::kill(::getpid(), SIGTERM), 0);
        ASSERT_TRUE(QTest::qWaitFor([&] { return rig.exitCode.has_value(); }));
    }
    EXPECT_EQ(rig.exitCode, 0);
    EXPECT_TRUE(rig.messages.messages.empty()); // no one was there to answer
    EXPECT_EQ(rig.link.commandHandle(), nullptr);
    EXPECT_EQ(fileBytes(rig.dir / "config0.bin"), saved);
    ASSERT_TRUE(std::filesystem::exists(kept));
    EXPECT_EQ(kept.parent_path(), rig.dir);

    // Escape (no answer) restores: nothing is lost by not choosing.
    MainWindow& window = restart(rig);
    EXPECT_EQ(rig.state().record.macroData[0], 0);
    window.offerUnsavedEdits();
    ASSERT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.messages.messages[0].text, "Restore the changes you had not saved?");
    EXPECT_EQ(rig.state().record.macroData[0], 77);
    EXPECT_EQ(rig.state().record.pointerSpeed, 9);
    EXPECT_TRUE(rig.state().pointerChanges.speed);
    EXPECT_EQ(rig.profile().labels()[0], "Mine");
    EXPECT_TRUE(rig.profiles().hasUnsavedChanges());
    EXPECT_FALSE(std::filesystem::exists(kept));
    EXPECT_EQ(fileBytes(rig.dir / "config0.bin"), saved);

    // The session manager's request keeps them too, and Discard drops them.
    window.keepUnsavedEdits();
    ASSERT_TRUE(std::filesystem::exists(kept));
    restart(rig);
    rig.messages.confirmations = {false};
    rig.window->offerUnsavedEdits();
    EXPECT_EQ(rig.state().record.macroData[0], 0);
    EXPECT_FALSE(rig.profiles().hasUnsavedChanges());
    EXPECT_FALSE(std::filesystem::exists(kept));
}

TEST(MainWindowSessionEnd, TheRecoveryFileHoldsOnlyWhatIsStillUnsaved) {
    WindowRig rig;
    MainWindow& window = rig.start();
    const std::filesystem::path kept = window.unsavedEditsPath();
    window.keepUnsavedEdits();
    EXPECT_FALSE(std::filesystem::exists(kept)); // nothing unsaved

    // A session end that was cancelled, then a Save: the kept copy is stale.
    rig.state().record.macroData[0] = 77;
    window.keepUnsavedEdits();
    ASSERT_TRUE(std::filesystem::exists(kept));
    ASSERT_TRUE(rig.profiles().saveProfile());
    window.keepUnsavedEdits();
    EXPECT_FALSE(std::filesystem::exists(kept));

    // Cancel threw the changes away (the reload waits for the tray).
    rig.state().record.macroData[0] = 78;
    window.keepUnsavedEdits();
    ASSERT_TRUE(std::filesystem::exists(kept));
    rig.state().restoreSnapshot();
    rig.profile().labels()[0] = "thrown away";
    window.reloadOnReopen = true;
    window.keepUnsavedEdits();
    EXPECT_FALSE(std::filesystem::exists(kept));

    // The user's own end: what was kept goes with the answer.
    window.reloadOnReopen = false;
    rig.state().record.macroData[0] = 79;
    window.keepUnsavedEdits();
    ASSERT_TRUE(std::filesystem::exists(kept));
    rig.messages.answers = {UnsavedChoice::Discard};
    window.exitProgram();
    EXPECT_EQ(rig.exitCode, 0);
    EXPECT_FALSE(std::filesystem::exists(kept));
}

// The names behind an unsaved macro table come back with it; a file of an
// earlier version, without them, still gives the edits back and the names
// are guessed from the store.
TEST(MainWindowSessionEnd, KeptChangesBringBackTheNamesBehindTheirMacroTable) {
    WindowRig rig;
    MainWindow& window = rig.start();
    const std::filesystem::path kept = window.unsavedEditsPath();
    rig.state().record.macroData[0] = 77;
    rig.state().macroTableNames = std::vector<std::string>{"Second", "First"};
    window.keepUnsavedEdits();
    ASSERT_TRUE(std::filesystem::exists(kept));
    IniFile older = loadIniFile(kept).file;
    for (const std::string& key : older.keyNames("Unsaved")) {
        if (key.starts_with("MacroTable"))
            older.removeKey("Unsaved", key);
    }

    restart(rig).offerUnsavedEdits();
    EXPECT_EQ(rig.state().record.macroData[0], 77);
    EXPECT_EQ(rig.state().macroTableNames, (std::vector<std::string>{"Second", "First"}));
    EXPECT_FALSE(std::filesystem::exists(kept));

    ASSERT_TRUE(saveIniFile(kept, older).ok());
    restart(rig).offerUnsavedEdits();
    EXPECT_EQ(rig.state().record.macroData[0], 77);
    EXPECT_EQ(rig.state().macroTableNames, std::nullopt);
    EXPECT_TRUE(rig.profiles().hasUnsavedChanges());
}

// Runs act on the next message box, once it is up.
void inNextBox(std::function<void(QWidget&)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act = std::move(act)] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            act(*box);
        }
    });
    poll->start(10);
}

void pressInNextBox(Qt::Key key) {
    inNextBox([key](QWidget& box) { QTest::keyClick(&box, key); });
}

// Presses Escape in the next message box, once it is up.
void escapeNextBox() {
    pressInNextBox(Qt::Key_Escape);
}

TEST(MainWindowQuestions, EscapeAnswersWhatLosesNothing) {
    qtApp();
    MessageBoxes boxes;
    escapeNextBox();
    EXPECT_EQ(boxes.askUnsavedChanges("Save first?", "QVR 2.7", {"Save", "Discard", "Cancel"}),
              UnsavedChoice::Cancel);
    escapeNextBox();
    EXPECT_FALSE(boxes.confirm("Delete?", "Warning", {"Delete", "Cancel"}));
    escapeNextBox();
    EXPECT_TRUE(boxes.confirm("Restore?", "QVR 2.7", {"Restore", "Discard"}, true));
}

// Enter takes the marked button: OK of a message, Save of the question
// about unsaved changes, and the answer that loses nothing of a
// confirmation until Tab marks the other. The mark is the skin's accent
// ring, and screen readers hear each button's whole text.
TEST(MainWindowQuestions, EnterTakesTheMarkedButtonRingedInTheAccentAndNamed) {
    qtApp();
    MessageBoxes boxes;
    bool shown = false;
    inNextBox([&shown](QWidget& box) {
        shown = true;
        QTest::keyClick(&box, Qt::Key_Return);
    });
    boxes.showMessage("Config file is not exist.", "QVR 2.7");
    EXPECT_TRUE(shown);
    escapeNextBox();
    boxes.showMessage("Config file is not exist.", "QVR 2.7");
    pressInNextBox(Qt::Key_Return);
    EXPECT_EQ(boxes.askUnsavedChanges("Save first?", "QVR 2.7", {"Save", "Discard", "Cancel"}),
              UnsavedChoice::Save);
    pressInNextBox(Qt::Key_Enter);
    EXPECT_FALSE(boxes.confirm("Delete?", "Warning", {"Delete", "Cancel"}));

    QStringList names;
    QString marked;
    QColor edge;
    inNextBox([&](QWidget& box) {
        for (const QPushButton* button : box.findChildren<QPushButton*>())
            names << button->accessibleName();
        QTest::keyClick(&box, Qt::Key_Tab);
        if (auto* button = qobject_cast<QPushButton*>(box.focusWidget())) {
            marked = button->accessibleName();
            const QImage face = button->grab().toImage();
            edge = face.pixelColor(1, face.height() / 2);
        }
        QTest::keyClick(&box, Qt::Key_Return);
    });
    EXPECT_TRUE(boxes.confirm("Delete?", "Warning", {"Delete", "Save & Close"}));
    names.sort();
    EXPECT_EQ(names, (QStringList{"Delete", "Save & Close"}));
    EXPECT_EQ(marked, "Delete");
    EXPECT_EQ(edge, focusMarkColour());
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
        MainWindow& window = rig.start();
        EXPECT_EQ(window.language(), expected) << line.value_or("(none)");
        EXPECT_EQ(window.trayMenu()->actions().back()->text(),
                  qstr(mainWindowTexts(expected).exit));
    }
}

TEST(MainWindowLanguage, ChineseFacesMapToTheInstalledCjkSans) {
    WindowRig rig(WindowRig::Mouse::Present, "Lan=CHS");
    MainWindow& window = rig.start();
    EXPECT_EQ(window.textFont().family(), "WenQuanYi Micro Hei");
    EXPECT_EQ(window.textFont().pixelSize(), 13);
    EXPECT_EQ(window.headingFont().pixelSize(), 18);
    EXPECT_EQ(window.headingFont().weight(), QFont::Bold);
    EXPECT_EQ(window.elements()[window.ids().save].label, "保存");
}

TEST(MainWindowHelpPanel, HelpButtonTogglesAndOtherClicksCloseExceptTheBottomButtons) {
    WindowRig rig;
    MainWindow& window = rig.start();
    clickNamed(window, "Help");
    EXPECT_TRUE(window.helpPanelOpen());
    clickNamed(window, "Help");
    EXPECT_FALSE(window.helpPanelOpen());

    clickNamed(window, "Help");
    clickNamed(window, "Save");
    clickNamed(window, "Reset");
    EXPECT_TRUE(window.helpPanelOpen());
    window.clickAt(window.rect().center()); // the mouse view, off the controls
    EXPECT_FALSE(window.helpPanelOpen());
    EXPECT_TRUE(rig.messages.messages.empty());
}

TEST(MainWindowHelpPanel, TheLanguageLinesSwitchTheWindowAndAllSixProfiles) {
    WindowRig rig;
    for (int index = 1; index < 6; ++index)
        std::filesystem::copy_file(rig.dir / "str0.ini",
                                   rig.dir / ("str" + std::to_string(index) + ".ini"));
    MainWindow& window = rig.start();
    const auto lanOf = [&rig](int index) {
        return loadIniFile(rig.dir / ("str" + std::to_string(index) + ".ini"))
            .file.value("Skins", "Lan");
    };
    window.toggleHelpPanel();
    auto* panel = window.helpPanel();
    ASSERT_NE(panel, nullptr);
    const QImage english = window.grab().toImage();

    EXPECT_TRUE(panel->clickAt(HelpPanel::languageLine(2).center()));
    EXPECT_EQ(window.language(), Language::TraditionalChinese);
    EXPECT_EQ(window.elements()[window.ids().save].label, "保存");
    EXPECT_EQ(window.elements()[window.ids().config].label,
              qstr(mainWindowTexts(Language::TraditionalChinese).config));
    EXPECT_EQ(rig.profile().labelSection(), "Setting-CHT");
    EXPECT_FALSE(rig.profiles().hasUnsavedChanges()); // saved labels stay saved
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

    EXPECT_TRUE(panel->clickAt(HelpPanel::languageLine(0).center()));
    EXPECT_EQ(window.language(), Language::English);
    EXPECT_EQ(languageFromCode(lanOf(3)), Language::English);
    EXPECT_EQ(window.elements()[window.ids().save].label, "Save");
}

TEST(MainWindowHelpPanel, TheUpdateLineWorksOnlyWithAnInstalledUpdater) {
    WindowRig rig;
    MainWindow& window = rig.start();
    window.toggleHelpPanel();
    auto* panel = window.findChild<HelpPanel*>();
    ASSERT_NE(panel, nullptr);
    const QImage disabled = panel->grab().toImage();
    EXPECT_FALSE(panel->clickAt(HelpPanel::kUpdateLine.center()));
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
    panel = window.findChild<HelpPanel*>();
    ASSERT_NE(panel, nullptr);
    EXPECT_NE(panel->grab().toImage(), disabled);
    EXPECT_TRUE(panel->clickAt(HelpPanel::kUpdateLine.center()));
    EXPECT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(marker); }));
}

// From the keyboard: Space on Help puts the keyboard into the help panel,
// Space on its last line opens the keys panel with the keyboard in it; Esc
// there goes back to that line, Enter works alike, and Esc in the help
// panel goes back to Help. Screen readers read each line of the keys.
TEST(MainWindowHelpPanel, TheKeysPanelOpensAndClosesByKeyboardAndHandsTheFocusBack) {
    WindowRig rig;
    MainWindow& window = rig.start();
    QTest::keyClick(&window, Qt::Key_Tab);
    ASSERT_EQ(window.focusedElement(), window.ids().help);
    QTest::keyClick(&window, Qt::Key_Space);
    HelpPanel* help = window.helpPanel();
    ASSERT_NE(help, nullptr);
    const auto nameOnHelp = [help] {
        const auto focused = help->focusedElement();
        return focused ? help->elements().nameOf(*focused) : QString();
    };
    for (int i = 0; i < 6 && nameOnHelp() != "Keyboard keys"; ++i)
        QTest::keyClick(help, Qt::Key_Tab);
    ASSERT_EQ(nameOnHelp(), "Keyboard keys");

    for (Qt::Key ending : {Qt::Key_Escape, Qt::Key_Return}) {
        QTest::keyClick(help, Qt::Key_Space);
        KeysPanel* keys = help->keysPanel();
        ASSERT_NE(keys, nullptr);
        ASSERT_TRUE(keys->focusedElement().has_value());
        EXPECT_EQ(keys->elements().nameOf(*keys->focusedElement()), "Close");
        EXPECT_TRUE(keys->hasFocus());
        // Tab keeps the keyboard in the panel until it is closed.
        QTest::keyClick(keys, Qt::Key_Tab);
        EXPECT_TRUE(keys->hasFocus());
        ASSERT_TRUE(keys->focusedElement().has_value());
        EXPECT_EQ(keys->elements().nameOf(*keys->focusedElement()), "Close");
        QTest::keyClick(keys, ending);
        EXPECT_EQ(help->keysPanel(), nullptr);
        EXPECT_TRUE(help->hasFocus());
        EXPECT_EQ(nameOnHelp(), "Keyboard keys");
    }

    help->toggleKeysPanel();
    QStringList read;
    QAccessibleInterface* panel = QAccessible::queryAccessibleInterface(help->keysPanel());
    ASSERT_NE(panel, nullptr);
    for (int i = 0; i < panel->childCount(); ++i)
        read << panel->child(i)->text(QAccessible::Name);
    EXPECT_TRUE(read.contains("Tab, Shift+Tab: Next or previous control; a ring marks it"))
        << read.join(" | ").toStdString();
    EXPECT_TRUE(read.contains("Capturing keys"));
    EXPECT_TRUE(read.contains("Close"));

    QTest::keyClick(help, Qt::Key_Escape);
    EXPECT_FALSE(window.helpPanelOpen());
    EXPECT_EQ(window.focusedElement(), window.ids().help);
    EXPECT_TRUE(rig.messages.messages.empty());
}

TEST(MainWindowHelpPanel, APanelWithoutItsBackgroundSaysSo) {
    WindowRig rig;
    std::filesystem::remove(rig.dir / "Skins" / "Test" / "Help" / "HelpWindow.png");
    MainWindow& window = rig.start();
    window.toggleHelpPanel();
    ASSERT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.messages.messages[0].text, "error");
    EXPECT_EQ(rig.messages.messages[0].caption, "Help Dialog Load background image failed!!!");
}

TEST(MainWindowSkin, AMissingElementImageIsReportedOnceAndPaintingGoesOn) {
    WindowRig rig;
    std::filesystem::remove(rig.dir / "Skins" / "Test" / "button-save-normal.png");
    MainWindow& window = rig.start();
    const QImage first = window.grab().toImage();
    const QImage second = window.grab().toImage();
    ASSERT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.messages.messages[0].text, "LoadPng---Load image failed.");
    EXPECT_EQ(first.size(), QSize(1000, 640));
    EXPECT_EQ(first, second);
}

TEST(MainWindowSkin, HoverShowsTheOverImage) {
    WindowRig rig;
    MainWindow& window = rig.start();
    const QPoint help = rectNamed(window, "Help").center();
    moveMouse(window, help);
    ASSERT_EQ(window.hoveredElement(), window.ids().help);
    EXPECT_EQ(window.grab().toImage().pixelColor(help), QColor(0, 150, 255));
    moveMouse(window, window.rect().center()); // the mouse view, off the controls
    EXPECT_FALSE(window.hoveredElement().has_value());
    EXPECT_EQ(window.grab().toImage().pixelColor(help), QColor(30, 32, 40));
}

// A press and a move of the pointer with the left button held.
void pressAndDrag(QWidget& widget, QPoint from, std::vector<QPoint> moves) {
    QTest::mousePress(&widget, Qt::LeftButton, {}, from);
    for (QPoint to : moves) {
        QMouseEvent move(QEvent::MouseMove, to, widget.mapToGlobal(to), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&widget, &move);
    }
}

TEST(MainWindowSkin, OnlyADragPastTheDragDistanceMovesTheWindow) {
    WindowRig rig;
    MainWindow& window = rig.start();
    const QPoint start = window.pos();
    // The face between the panels, just above the bottom buttons.
    const QPoint empty(window.width() / 2, rectNamed(window, "Config").top() - 4);
    ASSERT_FALSE(window.elements().elementAt(empty).has_value());
    const int distance = QApplication::startDragDistance();

    // A click in one instant, then the pointer going by: the window stays.
    QTest::mouseClick(&window, Qt::LeftButton, {}, empty);
    moveMouse(window, empty + QPoint(40, 40));
    EXPECT_EQ(window.pos(), start);

    // Held but short of the drag distance: still nothing.
    pressAndDrag(window, empty, {empty + QPoint(distance - 1, 0)});
    EXPECT_EQ(window.pos(), start);
    QTest::mouseRelease(&window, Qt::LeftButton, {}, empty);
    // Past it, the window follows the pointer from where it was pressed.
    pressAndDrag(window, empty, {empty + QPoint(distance, 0)});
    EXPECT_EQ(window.pos(), start + QPoint(distance, 0));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, empty);
    pressAndDrag(window, empty, {empty + QPoint(30, 20)});
    EXPECT_EQ(window.pos(), start + QPoint(distance + 30, 20));
    QTest::mouseRelease(&window, Qt::LeftButton, {}, empty);
    const QPoint moved = window.pos();
    moveMouse(window, empty + QPoint(-50, 0));
    EXPECT_EQ(window.pos(), moved);

    // A press on a control acts on it and moves nothing, dragged or not.
    pressAndDrag(window, MainWindow::kFrontTabRect.center(),
                 {MainWindow::kFrontTabRect.center() + QPoint(60, 60)});
    QTest::mouseRelease(&window, Qt::LeftButton, {}, MainWindow::kFrontTabRect.center());
    EXPECT_EQ(window.pos(), moved);
}

TEST(MainWindowSkin, ScrollThumbPostsItsTopAndItsReleaseToThePages) {
    RecordingPage page;
    WindowRig rig;
    MainWindow& window = rig.start();
    window.addPage(page);
    ScrollThumb* thumb = window.scrollThumb();
    ASSERT_NE(thumb, nullptr);
    EXPECT_EQ(thumb->geometry(), QRect(984, 32, 8, 114));
    EXPECT_TRUE(thumb->dragBy(300));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !page.scrolls.empty(); }));
    EXPECT_EQ(page.scrolls, std::vector<int>{332});

    // A drag by the pointer: the release comes after the move it ended.
    page.scrolls.clear();
    QTest::mousePress(thumb, Qt::LeftButton, {}, QPoint(4, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(4, 10 - 100), thumb->mapToGlobal(QPointF(4, -90)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(thumb, &move);
    QTest::mouseRelease(thumb, Qt::LeftButton, {}, QPoint(4, 10));
    ASSERT_TRUE(QTest::qWaitFor([&] { return page.scrolls.size() >= 2; }));
    EXPECT_EQ(page.scrolls, (std::vector<int>{232, RecordingPage::kReleased}));
}

// The controls Tab stops at from the one it is on now, until it comes back
// round to it; native children on the way count as none.
std::vector<std::optional<ElementTable::Id>> tabRound(MainWindow& window, Qt::Key key) {
    std::vector<std::optional<ElementTable::Id>> visited{window.focusedElement()};
    for (int i = 0; i < 100; ++i) {
        QTest::keyClick(&window, key);
        if (window.focusedElement() == visited.front())
            break;
        visited.push_back(window.focusedElement());
    }
    return visited;
}

TEST(MainWindowKeys, TabWalksTheControlsInReadingOrderAndShiftTabWalksBack) {
    WindowRig rig;
    MainWindow& window = rig.start();
    const MainWindow::Ids& ids = window.ids();
    // The settings pages give these their actions; without one a control
    // does nothing and Tab passes it by.
    for (ElementTable::Id id : {ids.reset, ids.cancel, ids.save})
        window.elements()[id].onClick = [](QPoint) {};
    EXPECT_EQ(window.focusPolicy(), Qt::StrongFocus);
    EXPECT_EQ(window.focusedElement(), std::nullopt);
    EXPECT_FALSE(window.focusMarkShown());

    QTest::keyClick(&window, Qt::Key_Tab);
    EXPECT_TRUE(window.focusMarkShown());
    const auto forward = tabRound(window, Qt::Key_Tab);
    ASSERT_GE(forward.size(), 8u);
    EXPECT_EQ(forward[0], ids.help);
    EXPECT_EQ(forward[1], ids.minimise);
    EXPECT_EQ(forward[2], ids.close);
    std::vector<ElementTable::Id> controls;
    for (const auto& id : forward)
        if (id)
            controls.push_back(*id);
    EXPECT_EQ(controls, window.focusOrder());
    EXPECT_EQ(controls.back(), ids.save);
    for (ElementTable::Id id : {ids.sideTab, ids.frontTab, ids.config, ids.reset, ids.cancel})
        EXPECT_NE(std::ranges::find(controls, id), controls.end()) << id;
    // The title strip, then each panel read through before the next (the
    // left panel's headers before the right panel's), then the bottom row.
    const auto region = [](QRect rect) {
        const int x = rect.center().x();
        const int y = rect.center().y();
        return y < skin::kLeftPanel.top       ? 0
               : y >= skin::kLeftPanel.bottom ? 4
               : x < skin::kMidPanel.left     ? 1
               : x < skin::kRightPanel.left   ? 2
                                              : 3;
    };
    for (std::size_t i = 1; i < controls.size(); ++i) {
        const QRect before = window.elements().rectOf(controls[i - 1]);
        const QRect after = window.elements().rectOf(controls[i]);
        EXPECT_TRUE(std::tuple(region(before), before.top(), before.left()) <
                    std::tuple(region(after), after.top(), after.left()))
            << controls[i - 1] << " before " << controls[i];
    }
    EXPECT_LT(std::ranges::find(controls, ids.sideTab) - controls.begin(),
              std::ranges::find(controls, ids.config) - controls.begin());

    // Shift+Tab walks the same round backwards.
    auto backward = tabRound(window, Qt::Key_Backtab);
    std::ranges::reverse(backward.begin() + 1, backward.end());
    EXPECT_EQ(backward, forward);

    // A control that leaves the face hands the focus to the next one.
    bool shown = true;
    const ElementTable::Id extra = window.elements().add({.rect = edges(500, 5, 520, 20),
                                                          .label = "Extra",
                                                          .onClick = [](QPoint) {},
                                                          .active = [&] { return shown; }});
    QTest::keyClick(&window, Qt::Key_Backtab);
    EXPECT_EQ(window.focusedElement(), extra);
    shown = false;
    EXPECT_EQ(window.focusedElement(), ids.help);

    // A pointer press hides the mark until the keyboard is used again.
    QTest::mouseClick(&window, Qt::LeftButton, {}, window.rect().center()); // off the controls
    EXPECT_FALSE(window.focusMarkShown());
}

TEST(MainWindowKeys, SpacePressesTheFocusedControl) {
    WindowRig rig;
    MainWindow& window = rig.start();
    ASSERT_EQ(window.mouseView(), MouseView::Front);
    while (window.focusedElement() != window.ids().sideTab &&
           window.focusedElement() != window.ids().save)
        QTest::keyClick(&window, Qt::Key_Tab);
    ASSERT_EQ(window.focusedElement(), window.ids().sideTab);
    QTest::keyClick(&window, Qt::Key_Space);
    EXPECT_EQ(window.mouseView(), MouseView::Side);
    EXPECT_EQ(window.focusedElement(), window.ids().sideTab);
}

TEST(MainWindowPages, PagesAndElementsAddedLaterTakePartInPaintAndClicks) {
    RecordingPage under;
    RecordingPage over;
    WindowRig rig;
    MainWindow& window = rig.start();
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

TEST(MainWindowPages, APagesElementsReachItsPressByPointerAndKeyUntilThePageIsRemoved) {
    RecordingPage page;
    RecordingPage other;
    WindowRig rig;
    MainWindow& window = rig.start();
    window.addPage(other);
    window.addPage(page);
    const ElementTable::Id id =
        window.elements().add({.rect = edges(500, 5, 520, 20),
                               .image = "/Bar1.png",
                               .label = "Extra",
                               .owner = &page,
                               .stage = ClickStage::Sections,
                               .active = [&page] { return page.drawn >= 0; }});
    EXPECT_TRUE(window.elements().hasAction(id));
    window.clickAt({505, 10});
    ASSERT_EQ(page.presses.size(), 1u);
    EXPECT_EQ(page.presses[0], std::pair(id, QPoint(505, 10)));
    EXPECT_TRUE(other.presses.empty());

    // Space on it goes the same way.
    for (int i = 0; i < 100 && window.focusedElement() != id; ++i)
        QTest::keyClick(&window, Qt::Key_Tab);
    ASSERT_EQ(window.focusedElement(), id);
    QTest::keyClick(&window, Qt::Key_Space);
    ASSERT_EQ(page.presses.size(), 2u);
    EXPECT_EQ(page.presses[1].first, id);

    // Gone with its page: drawn no more, pressed no more, passed by Tab,
    // and nothing left behind that calls the page.
    window.removePage(page);
    EXPECT_FALSE(window.elements().hasAction(id));
    EXPECT_FALSE(window.elements().isActive(id));
    EXPECT_NE(window.focusedElement(), id);
    window.clickAt({505, 10});
    QTest::keyClick(&window, Qt::Key_Space);
    (void)window.grab();
    EXPECT_EQ(page.presses.size(), 2u);
    EXPECT_EQ(std::ranges::count(window.focusOrder(), id), 0);
    EXPECT_TRUE(other.presses.empty());
}

// The session alone, as the program builds it before any window: what it
// owns works and ends without a widget.
struct NoWindowView final : ProfileView {
    Language language() const override { return Language::English; }
    void redraw() override {}
    void refreshTray() override {}
    void closePagePopups() override {}
    void takeDesktopPointerSettingsIfNew() override {}
    void notifyProfileDrawn() override {}
    void showDeviceNotification(DeviceEventType type, int) override {
        notifications.push_back(type);
    }
    bool profileManagerOpen() const override { return false; }
    void showForQuestion() override {}
    std::vector<DeviceEventType> notifications;
};

void openMouse(UserSession& session) {
    ASSERT_TRUE(session.deviceQueue().busy() == false);
    session.deviceQueue().request(
        [&session] {
            ConfigRecord slot{};
            connectAtStartup(session.link(), slot);
        },
        {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !session.deviceQueue().busy(); }));
}

// The session's profile read as the program's start-up does, with the
// mouse opened when it is there.
ProfileSession& openSession(WindowRig& rig, NoWindowView& view) {
    UserSession& session = *rig.session;
    if (rig.virtualMouse)
        openMouse(session);
    EXPECT_EQ(session.mousePresent(), rig.virtualMouse != nullptr);
    EXPECT_TRUE(session.profile().loadProfileFiles(session.state()));
    session.state().takeSnapshot();
    session.profile().readProfileSettings();
    return session.openProfiles(view);
}

// The desktop's pointer settings as Save hands them over.
struct RecordingPointer final : DesktopPointerHandler {
    void applyPointerSettings(const ConfigRecord& record, const PointerChanges& changes) override {
        applied.push_back({record, changes});
    }
    void takeDesktopPointerSettings(ConfigRecord& record) override { record.pointerSpeed = 5; }
    std::vector<std::pair<ConfigRecord, PointerChanges>> applied;
};

bool saveSettled(UserSession& session) {
    return QTest::qWaitFor(
        [&] { return !session.uploadPending() && !session.deviceQueue().busy(); });
}

TEST(UserSession, SavesAndSendsTheProfileWithNoWindowAndEndsWithTheUploadDone) {
    WindowRig rig;
    UserSession& session = *rig.session;
    NoWindowView view;
    ProfileSession& profiles = openSession(rig, view);
    EXPECT_EQ(session.profiles(), &profiles);

    session.state().record.dpiStage[0] = 42;
    EXPECT_TRUE(profiles.hasUnsavedChanges());
    ASSERT_TRUE(profiles.saveProfile());
    EXPECT_FALSE(profiles.hasUnsavedChanges());
    EXPECT_EQ(fileBytes(rig.dir / "config0.bin").at(1 + offsetof(ConfigRecord, dpiStage)), 42);

    // The end drains the queue: the upload given last still reaches the mouse.
    session.shutDown();
    EXPECT_EQ(rig.virtualMouse->uploadsBegun(), 1);
    EXPECT_FALSE(profiles.mouseOutOfDate());
    EXPECT_TRUE(view.notifications.empty());
    EXPECT_EQ(rig.link.commandHandle(), nullptr);
}

TEST(UserSession, SaveWritesTheFilesSendsTheRecordAndTellsWhoeverListensWithNoWindow) {
    using Phase = SaveProgress::Phase;
    for (const auto mouse : {WindowRig::Mouse::Present, WindowRig::Mouse::Absent}) {
        const bool present = mouse == WindowRig::Mouse::Present;
        WindowRig rig(mouse);
        UserSession& session = *rig.session;
        NoWindowView view;
        ProfileSession& profiles = openSession(rig, view);
        RecordingPointer pointer;
        session.setDesktopPointer(&pointer);
        std::vector<Phase> phases;
        std::vector<std::pair<bool, bool>> finished; // received, written
        std::vector<DeviceEventType> notices;
        QObject listening; // goes before what it fills
        QObject::connect(&session, &UserSession::saveProgressChanged, &listening,
                         [&] { phases.push_back(session.saveProgress().phase); });
        QObject::connect(&session, &UserSession::saveFinished, &listening,
                         [&](bool received, bool written) {
                             finished.push_back({received, written});
                         });
        QObject::connect(&session, &UserSession::deviceNotification, &listening,
                         [&](DeviceEventType type, int) { notices.push_back(type); });

        session.state().record.dpiStage[0] = 42;
        session.state().pointerChanges.speed = true;
        session.saveRecord();
        // The files at the press, whatever the mouse does.
        EXPECT_EQ(fileBytes(rig.dir / "config0.bin").at(1 + offsetof(ConfigRecord, dpiStage)), 42);
        EXPECT_FALSE(profiles.hasUnsavedChanges());
        ASSERT_TRUE(saveSettled(session));

        ASSERT_EQ(pointer.applied.size(), 1u) << present;
        EXPECT_EQ(pointer.applied[0].first.dpiStage[0], 42);
        EXPECT_TRUE(pointer.applied[0].second.speed);
        EXPECT_EQ(profiles.mouseOutOfDate(), !present);
        if (present) {
            EXPECT_EQ(rig.virtualMouse->uploadsBegun(), 1);
            // The bar from its start, each step of the upload, then the outcome.
            ASSERT_GT(phases.size(), 2u);
            EXPECT_EQ(phases.front(), Phase::Uploading);
            EXPECT_EQ(phases.back(), Phase::Saved);
            EXPECT_EQ(session.saveProgress().phase, Phase::Saved);
            EXPECT_EQ(finished, (std::vector<std::pair<bool, bool>>{{true, true}}));
            EXPECT_TRUE(notices.empty());
        } else {
            EXPECT_EQ(phases, std::vector<Phase>{Phase::NotReceived});
            EXPECT_EQ(finished, (std::vector<std::pair<bool, bool>>{{false, true}}));
            EXPECT_EQ(notices, std::vector{DeviceEventType::MouseNotDetected});
        }
        session.setDesktopPointer(nullptr);
    }
}

TEST(UserSession, ASaveWaitingBehindAnUploadGivesWayToALaterSwitchWithNoWindow) {
    WindowRig rig;
    rig.writeProfiles({"P1", "P2"});
    ConfigRecord second{};
    second.sensitivityX = 2;
    const auto image = recordFileImage(second, 1);
    WindowRig::writeFile(rig.dir / profileRecordFileName(1),
                         std::string(image.begin(), image.end()));
    UserSession& session = *rig.session;
    NoWindowView view;
    ProfileSession& profiles = openSession(rig, view);
    RecordingPointer pointer;
    session.setDesktopPointer(&pointer);

    rig.clock.hold();
    session.state().record.sensitivityX = 4;
    session.saveRecord();
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.clock.waiting(); }));
    session.state().record.sensitivityX = 6;
    session.state().pointerChanges.speed = true;
    session.saveRecord(); // waits behind the first
    ASSERT_TRUE(profiles.switchProfile(1));
    rig.clock.release();
    ASSERT_TRUE(saveSettled(session));

    // The first press, then the profile switched to; the waiting press's
    // upload was needless, its files and desktop settings were not.
    EXPECT_EQ(rig.virtualMouse->uploadsBegun(), 2);
    EXPECT_EQ(rig.virtualMouse->configurationBlock()[0x4A], 2 * 20);
    EXPECT_EQ(session.profile().currentProfileIndex(), 1);
    EXPECT_EQ(fileBytes(rig.dir / "config0.bin").at(1 + offsetof(ConfigRecord, sensitivityX)), 6);
    ASSERT_EQ(pointer.applied.size(), 1u);
    EXPECT_EQ(pointer.applied[0].first.sensitivityX, 6);
    EXPECT_TRUE(pointer.applied[0].second.speed);
    EXPECT_NE(session.saveProgress().phase, SaveProgress::Phase::Uploading);
    EXPECT_FALSE(profiles.mouseOutOfDate());
    session.setDesktopPointer(nullptr);
}

TEST(UserSession, EndsOnceListenerFirstThenTheQueueThenTheHandles) {
    WindowRig rig;
    UserSession& session = *rig.session;
    openMouse(session);
    session.startListener([](MouseEvent) {});
    std::vector<std::string> answers;
    session.deviceQueue().request({}, [&] {
        // Answered while the session ends, before the handles close.
        answers.push_back(session.ending() ? "while ending" : "before");
        EXPECT_NE(rig.link.commandHandle(), nullptr);
        EXPECT_FALSE(session.listenerStopping()); // joined and gone already
    });
    session.shutDown();
    EXPECT_EQ(answers, std::vector<std::string>{"while ending"});
    EXPECT_EQ(rig.link.commandHandle(), nullptr);

    // Later requests are answered without the mouse, and a second end is none.
    bool ran = false;
    bool answered = false;
    session.deviceQueue().request([&] { ran = true; }, [&] { answered = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return answered; }));
    EXPECT_FALSE(ran);
    session.shutDown();
    EXPECT_TRUE(session.ending());
}

} // namespace
} // namespace qvr::test
