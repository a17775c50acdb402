#include "gui/window/device_event_relay.h"

#include "core/device/listener.h"
#include "core/text/notification_text.h"
#include "gui/session/user_session.h"
#include "gui/widgets/page_host.h"
#include "gui/widgets/qt_fonts.h"
#include "gui/window/balloons.h"
#include "gui/window/tray_presence.h"
#include "gui/window/ui_handoff.h"

#include <cstdio>

namespace qvr {

DeviceEventRelay::DeviceEventRelay(UserSession& session, const PageHost& window,
                                   const TrayPresence& tray, BalloonSink* balloons)
    : session_(session), window_(window), tray_(tray), balloons_(balloons) {}

void DeviceEventRelay::startListener() {
    session_.startListener([this](MouseEvent event) {
        runOnUiThreadAndWait(
            this,
            [this, event] {
                // Behind a read-back still under way, so balloons keep the
                // mouse's order.
                if (session_.deviceQueue().busy() && !needsActiveBlock(event.type, event.value))
                    session_.deviceQueue().request(
                        {}, [this, event] { showDeviceNotification(event.type, event.value); });
                else
                    showDeviceNotification(event.type, event.value);
            },
            [this] { return session_.listenerStopping(); });
    });
}

void DeviceEventRelay::showDeviceNotification(DeviceEventType type, int value) {
    if (needsActiveBlock(type, value)) {
        session_.setActiveDpiStage(value);
        session_.deviceQueue().readBack(
            session_.state().record,
            [this, type, value](const Block& active) { showBalloon(type, value, active); });
        return;
    }
    showBalloon(type, value, Block{});
}

BalloonSink* DeviceEventRelay::sink() const {
    return balloons_ ? balloons_ : tray_.trayBalloons();
}

void DeviceEventRelay::showBalloon(DeviceEventType type, int value, const Block& active) {
    const auto balloon = balloonForEvent(type, value, window_.language(), active);
    if (!balloon)
        return;
    BalloonSink* sink = this->sink();
    const QString text = QString::fromStdString(balloon->text);
    const QString title = qstr(balloon->title);
    if (sink)
        sink->showBalloon(title, text, balloon->timeoutMs);
    else
        std::fprintf(stderr, "qvr: %s: %s\n", title.toUtf8().constData(),
                     text.toUtf8().constData());
}

void DeviceEventRelay::showNotice(const QString& text) {
    BalloonSink* sink = this->sink();
    if (sink)
        sink->showBalloon(qstr(window_.texts().windowTitle), text,
                          TrayBalloons::kMinimumTimeoutMs * 2);
    else
        std::fprintf(stderr, "qvr: %s\n", text.toUtf8().constData());
}

} // namespace qvr
