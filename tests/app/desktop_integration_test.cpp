#include "app/instance_channel.h"
#include "app/window_rig.h"

#include <QContextMenuEvent>
#include <QLocalSocket>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace qvr::test {
namespace {

using namespace std::chrono_literals;

bool waitFor(const std::function<bool()>& condition, int timeoutMs = 3000) {
    for (int waited = 0; waited < timeoutMs; waited += 10) {
        if (condition())
            return true;
        QTest::qWait(10);
    }
    return condition();
}

// A socket file whose owner is gone, as a crashed instance leaves it.
void leaveStaleSocket(const QString& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = path.toUtf8();
    std::memcpy(address.sun_path, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
    ASSERT_TRUE(QFile::exists(path));
}

TEST(InstanceChannel, RequestsTravelWholeAndAnythingElseIsRefused) {
    const ActivationRequest request{"wl-token-1", "launcher-42_TIME1234"};
    ActivationRequest decoded;
    ASSERT_TRUE(decodeActivationRequest(encodeActivationRequest(request), decoded));
    EXPECT_EQ(decoded, request);

    // A line break in a value would end the request early.
    ASSERT_TRUE(decodeActivationRequest(encodeActivationRequest({"a\nb", ""}), decoded));
    EXPECT_EQ(decoded.activationToken, "ab");

    ASSERT_TRUE(decodeActivationRequest("show\nsomething-newer=1\n\n", decoded));
    EXPECT_EQ(decoded, ActivationRequest{});
    EXPECT_FALSE(decodeActivationRequest("show\n", decoded));
    EXPECT_FALSE(decodeActivationRequest("quit\n\n", decoded));
    EXPECT_FALSE(decodeActivationRequest("", decoded));
}

TEST(InstanceChannel, ALaterStartReachesTheHolderEvenOverAStaleSocket) {
    qtApp();
    QTemporaryDir folder;
    const QString path = instanceSocketPath(pathOf(folder));
    leaveStaleSocket(path);

    // Nobody listens: the later start gives up at its deadline.
    EXPECT_FALSE(askRunningInstanceToShow(path, {}, 200ms));

    std::vector<ActivationRequest> received;
    InstanceServer server([&](const ActivationRequest& request) { received.push_back(request); });
    ASSERT_TRUE(server.listen(path)) << server.errorString().toStdString();

    std::atomic<int> answered{-1};
    std::thread later([&] { answered = askRunningInstanceToShow(path, {"tok", "id"}, 3s); });
    ASSERT_TRUE(waitFor([&] { return answered != -1; }));
    later.join();
    EXPECT_EQ(answered, 1);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0], (ActivationRequest{"tok", "id"}));
}

TEST(InstanceChannel, AnOversizedOrGarbledRequestShowsNothing) {
    qtApp();
    QTemporaryDir folder;
    const QString path = instanceSocketPath(pathOf(folder));
    int shown = 0;
    InstanceServer server([&](const ActivationRequest&) { ++shown; });
    ASSERT_TRUE(server.listen(path));
    for (const QByteArray& bytes : {QByteArray(10000, 'x'), QByteArray("hello\n\n")}) {
        QLocalSocket socket;
        socket.connectToServer(path);
        ASSERT_TRUE(socket.waitForConnected(1000));
        socket.write(bytes);
        socket.flush();
        EXPECT_TRUE(waitFor([&] { return socket.state() == QLocalSocket::UnconnectedState; }));
    }
    EXPECT_EQ(shown, 0);
}

TEST(MainWindowWithoutTray, AnOrdinaryWindowThatMinimisesInsteadOfHiding) {
    WindowRig rig;
    rig.trayPresent = false;
    CMavloDlg& window = rig.start();
    EXPECT_FALSE(window.usesTray());
    EXPECT_EQ(window.windowType(), Qt::Window); // a taskbar entry
    EXPECT_FALSE(window.trayIcon()->isVisible());

    window.clickAt({960, 10}); // minimise button
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(window.isMinimized());
    window.showNormal();
    window.close();
    EXPECT_TRUE(window.isMinimized());
    EXPECT_FALSE(rig.exitCode.has_value());
}

TEST(MainWindowWithoutTray, RestoringAfterCancelReloadsTheProfile) {
    RecordingPage page;
    WindowRig rig;
    rig.trayPresent = false;
    CMavloDlg& window = rig.start();
    window.addPage(page);
    rig.state.record.dpiStage[0] = 77;
    window.reloadOnReopen = true;
    window.hideToTray();
    window.showNormal(); // from the taskbar
    EXPECT_GE(page.popupsClosed, 1);
    EXPECT_FALSE(window.reloadOnReopen);
    EXPECT_EQ(rig.state.record.dpiStage[0], 0);
}

TEST(MainWindowWithoutTray, TheTitleAreaOffersTheTrayMenu) {
    WindowRig rig;
    rig.trayPresent = false;
    CMavloDlg& window = rig.start();
    QContextMenuEvent elsewhere(QContextMenuEvent::Mouse, {400, 300},
                                window.mapToGlobal(QPoint(400, 300)));
    QApplication::sendEvent(&window, &elsewhere);
    EXPECT_FALSE(window.trayMenu()->isVisible());
    QContextMenuEvent onTitle(QContextMenuEvent::Mouse, {300, 10},
                              window.mapToGlobal(QPoint(300, 10)));
    QApplication::sendEvent(&window, &onTitle);
    EXPECT_TRUE(window.trayMenu()->isVisible());
    window.trayMenu()->hide();
    window.trayMenu()->actions().back()->trigger(); // "Exit"
    EXPECT_EQ(rig.exitCode, 0);
}

TEST(MainWindowTrayChanges, AnAppearingTrayTakesTheWindowAndAVanishingOneGivesItBack) {
    WindowRig rig;
    rig.trayPresent = false;
    CMavloDlg& window = rig.start();

    // A shown window stays shown, now without its taskbar entry.
    rig.trayPresent = true;
    ASSERT_TRUE(waitFor([&] { return window.usesTray(); }));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowType(), Qt::Tool);
    EXPECT_TRUE(waitFor([&] { return window.trayIcon()->isVisible(); }));

    rig.trayPresent = false;
    ASSERT_TRUE(waitFor([&] { return !window.usesTray(); }));
    window.hideToTray();
    EXPECT_TRUE(window.isMinimized());
    // A minimised window goes into a tray that appears.
    rig.trayPresent = true;
    ASSERT_TRUE(waitFor([&] { return window.usesTray(); }));
    EXPECT_FALSE(window.isVisible());

    // Hidden in a tray that goes away: back on the screen.
    rig.trayPresent = false;
    ASSERT_TRUE(waitFor([&] { return !window.usesTray(); }));
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
    EXPECT_EQ(window.windowType(), Qt::Window);
}

TEST(MainWindowSecondStart, BringsTheWindowBackAndSaysWhenTheMouseIsMissing) {
    {
        WindowRig rig;
        CMavloDlg& window = rig.start();
        window.hideToTray();
        ASSERT_FALSE(window.isVisible());
        window.bringForward({});
        EXPECT_TRUE(window.isVisible());
        EXPECT_TRUE(window.pageDrawn());
        EXPECT_TRUE(rig.balloons.shown.empty());
    }
    {
        WindowRig rig(WindowRig::Mouse::Absent);
        rig.trayPresent = false;
        CMavloDlg& window = rig.start();
        window.hideToTray();
        window.bringForward({"token", ""});
        EXPECT_TRUE(window.isVisible());
        EXPECT_FALSE(window.isMinimized());
        EXPECT_FALSE(window.pageDrawn());
        ASSERT_EQ(rig.balloons.shown.size(), 1u);
        EXPECT_EQ(rig.balloons.shown[0].text, "The system did not detect the gaming mouse!");
    }
}

} // namespace
} // namespace qvr::test
