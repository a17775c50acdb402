#pragma once

#include "core/device/device_event_type.h"
#include "core/device/device_images.h"

#include <QObject>
#include <QString>

namespace qvr {

class BalloonSink;
class PageHost;
class TrayPresence;
class UserSession;

// The way from a mouse event to a balloon: the listener's events are handed
// to the UI thread, a DPI-stage event is read back from the mouse first, and
// the balloon goes to the window's sink (the tray icon's where it has none,
// the standard error stream where there is no icon either). Program notices
// take the same sinks.
class DeviceEventRelay : public QObject {
    Q_OBJECT

  public:
    // window gives the language and title of the balloons; balloons is where
    // they go (none: the tray's). The session, window and tray must outlive
    // the relay.
    DeviceEventRelay(UserSession& session, const PageHost& window, const TrayPresence& tray,
                     BalloonSink* balloons);

    // The session's listener, each event run on the UI thread as the mouse
    // sent them.
    void startListener();
    // The balloon of a device event (DPI stage, macro key, found, lost).
    void showDeviceNotification(DeviceEventType type, int value);
    // A balloon of the program's own, under the window's title.
    void showNotice(const QString& text);

  private:
    void showBalloon(DeviceEventType type, int value, const Block& active);
    BalloonSink* sink() const;

    UserSession& session_;
    const PageHost& window_;
    const TrayPresence& tray_;
    BalloonSink* balloons_ = nullptr;
};

} // namespace qvr
