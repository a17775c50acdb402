#include "app/balloons.h"

#include <QProcess>
#include <QStandardPaths>
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
    // No tray: the desktop's notification service, where it has one.
    const QString notifySend = QStandardPaths::findExecutable("notify-send");
    if (!notifySend.isEmpty() &&
        QProcess::startDetached(
            notifySend, {"--app-name=QVR 2.7", "--expire-time",
                         QString::number(std::max(timeoutMs, kMinimumTimeoutMs)), title, text}))
        return;
    std::fprintf(stderr, "qvr: %s: %s\n", title.toUtf8().constData(), text.toUtf8().constData());
}

} // namespace qvr
