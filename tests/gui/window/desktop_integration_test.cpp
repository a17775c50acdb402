#include "gui/session/profile_session.h"
#include "gui/window/instance_channel.h"
#include "platform/single_instance_lock.h"
#include "support/window_rig.h"

#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QMenu>
#include <QProcess>
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

    // qvrctl's profile requests: whole both ways, and nothing an older
    // window's reader would take for a "show".
    for (const ProfileRequest& profile : {ProfileRequest{ProfileRequest::Verb::List, ""},
                                          ProfileRequest{ProfileRequest::Verb::Current, ""},
                                          ProfileRequest{ProfileRequest::Verb::Switch, "Game 2"}}) {
        const std::string bytes = encodeProfileRequest(profile);
        EXPECT_EQ(decodeProfileRequest(bytes), profile);
        EXPECT_FALSE(decodeActivationRequest(QByteArray::fromStdString(bytes), decoded));
        EXPECT_FALSE(decodeProfileRequest(bytes.substr(0, bytes.size() - 1)));
    }
    EXPECT_FALSE(decodeProfileRequest("profile\nverb=switch\n\n")); // no target
    EXPECT_FALSE(decodeProfileRequest("profile\nverb=delete\ntarget=0\n\n"));
    const ProfileAnswer answer{ProfileOutcome::MouseAbsent, 2, {"a", "b", "c"}};
    EXPECT_EQ(decodeProfileAnswer(encodeProfileAnswer(answer)), answer);
    EXPECT_FALSE(decodeProfileAnswer("profile-answer\noutcome=maybe\n\n"));
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
    ASSERT_TRUE(QTest::qWaitFor([&] { return answered != -1; }));
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
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return socket.state() == QLocalSocket::UnconnectedState; }));
    }
    EXPECT_EQ(shown, 0);
}

// The program as qvrctl finds it: a window that holds the single-instance
// lock and answers on the socket beside it.
struct RunningWindow {
    RunningWindow() {
        rig.writeProfiles({"P1", "P2", "P3"});
        rig.start();
        EXPECT_EQ(lock.acquire(pathOf(runtime)), SingleInstanceLock::Result::Acquired);
        server->setProfileHandler(
            [this](const ProfileRequest& request, InstanceServer::Reply reply) {
                if (answer)
                    rig.profiles().answer(request, std::move(reply));
                else
                    held.push_back(std::move(reply)); // a window slow to answer
            });
        EXPECT_TRUE(server->listen(instanceSocketPath(pathOf(runtime))));
    }

    struct Result {
        int exitCode = -1;
        QString out, err;
    };
    // Runs qvrctl with the event loop going, as the window's would.
    Result qvrctl(const QStringList& args) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        environment.insert("XDG_CONFIG_HOME", runtime.path() + "/no-user-folder");
        process.setProcessEnvironment(environment);
        process.start(QString(QVR_PROGRAM_DIR) + "/qvrctl", args);
        EXPECT_TRUE(QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 20000))
            << "qvrctl did not end";
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }

    ProfileSession& session() { return rig.profiles(); }

    WindowRig rig;
    QTemporaryDir runtime;
    SingleInstanceLock lock;
    std::unique_ptr<InstanceServer> server =
        std::make_unique<InstanceServer>([](const ActivationRequest&) {});
    bool answer = true;
    std::vector<InstanceServer::Reply> held;
};

TEST(QvrctlThroughTheWindow, ListCurrentAndSwitchesFollowTheUsersAnswer) {
    RunningWindow running;
    WindowRig& rig = running.rig;
    const auto list = running.qvrctl({"profile", "list"});
    EXPECT_EQ(list.exitCode, 0) << list.err.toStdString();
    EXPECT_EQ(list.out, "* 0 P1\n  1 P2\n  2 P3\n");

    // The profile on screen: nothing sent.
    const int uploads = rig.virtualMouse->uploadsBegun();
    auto same = running.qvrctl({"profile", "switch", "0"});
    EXPECT_EQ(same.exitCode, 0) << same.err.toStdString();
    EXPECT_EQ(same.out, "P1 is the current profile already\n");
    EXPECT_EQ(rig.virtualMouse->uploadsBegun(), uploads);

    auto plain = running.qvrctl({"profile", "switch", "P2"});
    EXPECT_EQ(plain.exitCode, 0) << plain.err.toStdString();
    EXPECT_EQ(plain.out, "switched to P2\n");
    EXPECT_EQ(running.session().windowProfile(), 1);
    EXPECT_EQ(rig.virtualMouse->uploadsBegun(), uploads + 1);
    EXPECT_EQ(running.qvrctl({"profile", "current"}).out, "1 P2\n");

    struct Case {
        UnsavedChoice answer;
        int status;
        int profileAfter;
    } cases[] = {
        {UnsavedChoice::Cancel, 4, 1},
        {UnsavedChoice::Discard, 0, 2},
        {UnsavedChoice::Save, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.answer));
        const int before = running.session().windowProfile();
        const int target = (before + 1) % 3;
        rig.state().record.macroData[5] = 77;
        rig.window->hideToTray();
        rig.messages.messages.clear();
        rig.messages.answers = {c.answer};
        const auto result = running.qvrctl({"profile", "switch", QString::number(target)});
        EXPECT_EQ(result.exitCode, c.status) << result.err.toStdString();
        ASSERT_EQ(rig.messages.messages.size(), 1u);
        EXPECT_TRUE(rig.window->isVisible()); // shown for the question
        EXPECT_EQ(running.session().windowProfile(), c.profileAfter);
        if (c.answer == UnsavedChoice::Cancel) {
            EXPECT_NE(result.err.indexOf("cancelled"), -1) << result.err.toStdString();
            rig.state().record = rig.state().appliedRecord;
        }
        if (c.answer == UnsavedChoice::Save) {
            const auto saved = rig.dir / profileRecordFileName(before);
            std::ifstream file(saved, std::ios::binary);
            const std::string bytes{std::istreambuf_iterator<char>(file), {}};
            EXPECT_EQ(bytes.at(1 + offsetof(ConfigRecord, macroData) + 5), 77);
        }
    }

    // Without the mouse the files switch, and it gets the profile on return.
    rig.backend.unplug(rig.virtualMouse);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.link.devicePresent; }));
    auto away = running.qvrctl({"profile", "switch", "P3"});
    EXPECT_EQ(away.exitCode, 2) << away.err.toStdString();
    EXPECT_EQ(running.session().windowProfile(), 2);
    EXPECT_TRUE(running.session().mouseOutOfDate());
    EXPECT_TRUE(std::filesystem::exists(rig.dir / "unsent-profile"));

    EXPECT_EQ(running.qvrctl({"profile", "switch", "P4"}).exitCode, 1);
}

TEST(QvrctlThroughTheWindow, ASlowWindowIsWaitedForABoundedTimeAndAnOlderOneRefusesHarmlessly) {
    RunningWindow running;
    running.answer = false;
    QElapsedTimer clock;
    clock.start();
    const auto slow = running.qvrctl({"profile", "switch", "P2", "--wait", "1"});
    EXPECT_EQ(slow.exitCode, 4) << slow.err.toStdString();
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_NE(slow.err.indexOf("did not answer within 1 seconds"), -1) << slow.err.toStdString();
    EXPECT_EQ(running.held.size(), 1u);
    EXPECT_EQ(running.session().windowProfile(), 0);

    // A window of an earlier version knows only "show": it closes the
    // connection and does nothing.
    int shown = 0;
    running.server.reset();
    InstanceServer older([&](const ActivationRequest&) { ++shown; });
    ASSERT_TRUE(older.listen(instanceSocketPath(pathOf(running.runtime))));
    const auto refused = running.qvrctl({"profile", "list"});
    EXPECT_EQ(refused.exitCode, 1) << refused.err.toStdString();
    EXPECT_NE(refused.err.indexOf("older version"), -1) << refused.err.toStdString();
    EXPECT_EQ(shown, 0);
}

TEST(MainWindowWithoutTray, AnOrdinaryWindowThatMinimisesInsteadOfHiding) {
    WindowRig rig;
    rig.trayPresent = false;
    MainWindow& window = rig.start();
    EXPECT_FALSE(window.tray().usesTray());
    EXPECT_EQ(window.windowType(), Qt::Window); // a taskbar entry
    EXPECT_FALSE(window.tray().trayIcon()->isVisible());

    clickNamed(window, "Minimise");
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
    MainWindow& window = rig.start();
    window.addPage(page);
    rig.state().record.dpiStage[0] = 77;
    window.reloadOnReopen = true;
    window.hideToTray();
    window.showNormal(); // from the taskbar
    EXPECT_GE(page.popupsClosed, 1);
    EXPECT_FALSE(window.reloadOnReopen);
    EXPECT_EQ(rig.state().record.dpiStage[0], 0);
}

TEST(MainWindowWithoutTray, TheTitleAreaOffersTheTrayMenu) {
    WindowRig rig;
    rig.trayPresent = false;
    MainWindow& window = rig.start();
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
    MainWindow& window = rig.start();

    // A shown window stays shown, now without its taskbar entry.
    rig.trayPresent = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.tray().usesTray(); }));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowType(), Qt::Tool);
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.tray().trayIcon()->isVisible(); }));

    rig.trayPresent = false;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.tray().usesTray(); }));
    window.hideToTray();
    EXPECT_TRUE(window.isMinimized());
    // A minimised window goes into a tray that appears.
    rig.trayPresent = true;
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.tray().usesTray(); }));
    EXPECT_FALSE(window.isVisible());

    // Hidden in a tray that goes away: back on the screen.
    rig.trayPresent = false;
    ASSERT_TRUE(QTest::qWaitFor([&] { return !window.tray().usesTray(); }));
    EXPECT_TRUE(window.isVisible());
    EXPECT_FALSE(window.isMinimized());
    EXPECT_EQ(window.windowType(), Qt::Window);
}

TEST(MainWindowSecondStart, BringsTheWindowBackAndSaysWhenTheMouseIsMissing) {
    {
        WindowRig rig;
        MainWindow& window = rig.start();
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
        MainWindow& window = rig.start();
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
