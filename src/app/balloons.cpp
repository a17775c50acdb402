#include "app/balloons.h"

#include <QSystemTrayIcon>
#include <algorithm>
#include <cstdio>

namespace qvr {

void TrayBalloons::showBalloon(const QString& title, const QString& text, int timeoutMs) {
    if (QSystemTrayIcon::isSystemTrayAvailable() && tray_.isVisible()) {
        tray_.showMessage(title, text, QSystemTrayIcon::Information,
                          std::max(timeoutMs, kMinimumTimeoutMs));
        return;
    }
    std::fprintf(stderr, "qvr: %s: %s\n", title.toUtf8().constData(), text.toUtf8().constData());
}

} // namespace qvr
