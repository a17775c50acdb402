#include "app/desktop_notifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

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
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
    call << QString(kAppName) << lastId_ << QString(kAppIcon) << title << text << QStringList()
         << QVariantMap() << static_cast<qint32>(timeoutMs);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, title, text] {
        const QDBusPendingReply<uint> reply = *watcher;
        if (reply.isError()) {
            if (undelivered_)
                undelivered_(title, text);
        } else {
            lastId_ = reply.value();
        }
        watcher->deleteLater();
    });
    return true;
}

} // namespace qvr
