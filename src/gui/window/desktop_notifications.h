#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

namespace qvr {

// The desktop's notification service (org.freedesktop.Notifications on the
// session bus), for desktops without a tray. Each notification replaces the
// previous one, as a balloon of the tray icon does.
class DesktopNotifications final : public QObject {
    Q_OBJECT

  public:
    // Runs when a notification could not be delivered (no session bus, no
    // service, an error from it), with the notification's title and text.
    using Undelivered = std::function<void(const QString& title, const QString& text)>;

    explicit DesktopNotifications(Undelivered undelivered, QObject* parent = nullptr);

    // False at once when there is no session bus; otherwise the call goes
    // out without waiting and a failure is reported to undelivered later.
    bool notify(const QString& title, const QString& text, int timeoutMs);

  private:
    struct Notification {
        QString title, text;
        int timeoutMs = 0;
    };
    void sendWaiting();

    Undelivered undelivered_;
    uint lastId_ = 0;
    // One call at a time: the next one must name the id the service gave
    // the last, or both stay on screen. Of those that come meanwhile, only
    // the newest is sent, as it would have replaced the others.
    bool inFlight_ = false;
    std::optional<Notification> waiting_;
};

} // namespace qvr
