#include "gui/window/desktop_notifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>
#include <utility>

namespace qvr {

namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kInterface = "org.freedesktop.Notifications";
constexpr const char* kAppName = "QVR 2.7";
constexpr const char* kAppIcon = "input-mouse";

} // namespace

DesktopNotifications::DesktopNotifications(Undelivered undelivered, QObject* parent)
    : QObject(parent), undelivered_(std::move(undelivered)) {}

bool DesktopNotifications::notify(const QString& title, const QString& text, int timeoutMs) {
    if (!QDBusConnection::sessionBus().isConnected())
        return false;
    waiting_ = Notification{title, text, timeoutMs};
    if (!inFlight_)
        sendWaiting();
    return true;
}

void DesktopNotifications::sendWaiting() {
    if (!waiting_)
        return;
    const Notification next = *std::exchange(waiting_, std::nullopt);
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
    call << QString(kAppName) << lastId_ << QString(kAppIcon) << next.title << next.text
         << QStringList() << QVariantMap() << static_cast<qint32>(next.timeoutMs);
    inFlight_ = true;
    auto* watcher =
        new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, next] {
        const QDBusPendingReply<uint> reply = *watcher;
        inFlight_ = false;
        if (reply.isError()) {
            if (undelivered_)
                undelivered_(next.title, next.text);
        } else {
            lastId_ = reply.value();
        }
        watcher->deleteLater();
        sendWaiting();
    });
}

} // namespace qvr
