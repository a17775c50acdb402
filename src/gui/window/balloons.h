#pragma once

#include "gui/window/desktop_notifications.h"

#include <QString>

class QSystemTrayIcon;

namespace qvr {

// Where the tray balloons go.
class BalloonSink {
  public:
    virtual ~BalloonSink() = default;
    virtual void showBalloon(const QString& title, const QString& text, int timeoutMs) = 0;
};

// Balloons of the tray icon; where the desktop has no tray they go to its
// notification service over D-Bus, and failing that to the standard error
// stream, so they are not lost silently.
class TrayBalloons final : public BalloonSink {
  public:
    // The shortest time a balloon stays up: the presence balloons ask for
    // 100 ms, which would only flicker on desktops that honour it.
    static constexpr int kMinimumTimeoutMs = 3000;

    explicit TrayBalloons(QSystemTrayIcon& tray);
    void showBalloon(const QString& title, const QString& text, int timeoutMs) override;

  private:
    QSystemTrayIcon& tray_;
    DesktopNotifications desktop_;
};

} // namespace qvr
