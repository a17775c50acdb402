// Runs under dbus-run-session: a private session bus on which the test
// itself plays the desktop's notification service.
#include "gui/window/desktop_notifications.h"
#include "support/window_rig.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTest>
#include <gtest/gtest.h>

namespace qvr::test {
namespace {

struct Received {
    QString appName;
    uint replacesId = 0;
    QString summary, body;
    int timeoutMs = 0;
};

// The smallest notification server: it keeps what it is sent and numbers
// the notifications from 1.
class NotificationServer final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

  public:
    std::vector<Received> received;

  public slots:
    uint Notify(const QString& appName, uint replacesId, const QString&, const QString& summary,
                const QString& body, const QStringList&, const QVariantMap&, int timeoutMs) {
        received.push_back({appName, replacesId, summary, body, timeoutMs});
        return static_cast<uint>(received.size());
    }
    QStringList GetCapabilities() { return {"body"}; }
};

// Its own connection, so that the program's calls really cross the bus.
class ServerOnBus {
  public:
    ServerOnBus() : bus_(QDBusConnection::connectToBus(QDBusConnection::SessionBus, "server")) {
        registered = bus_.registerObject("/org/freedesktop/Notifications", &server,
                                         QDBusConnection::ExportAllSlots) &&
                     bus_.registerService("org.freedesktop.Notifications");
    }
    ~ServerOnBus() {
        bus_.unregisterService("org.freedesktop.Notifications");
        bus_.unregisterObject("/org/freedesktop/Notifications");
    }
    NotificationServer server;
    bool registered = false;

  private:
    QDBusConnection bus_;
};

TEST(DesktopNotifications, EachDeviceNotificationReachesTheServiceWithTitleTextAndTimeout) {
    qtApp();
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
    ServerOnBus bus;
    ASSERT_TRUE(bus.registered);

    WindowRig rig;
    rig.trayPresent = false;
    rig.deliverBalloons = true; // through the window's own notification path
    rig.start();
    std::vector<Received>& got = bus.server.received;

    rig.virtualMouse->emitEvent(1, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return got.size() == 1; }));
    EXPECT_EQ(got[0].appName, "QVR 2.7");
    EXPECT_EQ(got[0].summary, "Info");
    EXPECT_TRUE(got[0].body.startsWith("Switch DPI into the second stage "))
        << got[0].body.toStdString();
    EXPECT_EQ(got[0].timeoutMs, 5000);
    EXPECT_EQ(got[0].replacesId, 0u);

    rig.virtualMouse->emitEvent(9, 2);
    ASSERT_TRUE(QTest::qWaitFor([&] { return got.size() == 2; }));
    EXPECT_EQ(got[1].summary, "Info");
    EXPECT_EQ(got[1].body, "Switch to macro key2");
    EXPECT_EQ(got[1].timeoutMs, 5000);
    EXPECT_EQ(got[1].replacesId, 1u); // replaces the previous one, as a balloon does

    rig.backend.unplug(rig.virtualMouse);
    ASSERT_TRUE(QTest::qWaitFor([&] { return got.size() == 3; }));
    EXPECT_EQ(got[2].summary, "Warning");
    EXPECT_EQ(got[2].body, "The system did not detect the gaming mouse!");
    // The presence notifications ask for 100 ms, raised to a readable time.
    EXPECT_EQ(got[2].timeoutMs, 3000);

    rig.backend.plug(rig.virtualMouse);
    ASSERT_TRUE(QTest::qWaitFor([&] { return got.size() == 4; }));
    EXPECT_EQ(got[3].summary, "Info");
    EXPECT_EQ(got[3].body, "The system detect the gaming mouse.");
    EXPECT_EQ(got[3].timeoutMs, 3000);

    // A burst before the service answers: each call waits for the id of the
    // one before and names it.
    rig.virtualMouse->emitEvent(9, 3);
    rig.virtualMouse->emitEvent(9, 4);
    rig.virtualMouse->emitEvent(9, 5);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !got.empty() && got.back().body.endsWith("5"); }));
    for (std::size_t i = 4; i < got.size(); ++i)
        EXPECT_EQ(got[i].replacesId, static_cast<uint>(i)) << got[i].body.toStdString();
}

TEST(DesktopNotifications, WithoutAServiceTheNotificationIsHandedBack) {
    qtApp();
    ASSERT_TRUE(QDBusConnection::sessionBus().isConnected());
    ASSERT_FALSE(QDBusConnection::sessionBus().interface()->isServiceRegistered(
        "org.freedesktop.Notifications"));
    std::vector<QString> undelivered;
    DesktopNotifications notifications([&](const QString& title, const QString& text) {
        undelivered.push_back(title + ": " + text);
    });
    ASSERT_TRUE(notifications.notify("Warning", "lost", 3000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !undelivered.empty(); }));
    EXPECT_EQ(undelivered, std::vector<QString>{"Warning: lost"});
}

} // namespace
} // namespace qvr::test

#include "notification_server_test.moc"
