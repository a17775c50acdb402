#include "gui/window/balloons.h"

#include <QSystemTrayIcon>
#include <algorithm>
#include <cstdio>

namespace qvr {

namespace {

void toStandardError(const QString& title, const QString& text) {
    std::fprintf(stderr, "qvr: %s: %s\n", title.toUtf8().constData(), text.toUtf8().constData());
}

} // namespace

TrayBalloons::TrayBalloons(QSystemTrayIcon& tray) : tray_(tray), desktop_(toStandardError) {}

void TrayBalloons::showBalloon(const QString& title, const QString& text, int timeoutMs) {
    const int shownFor = std::max(timeoutMs, kMinimumTimeoutMs);
    if (QSystemTrayIcon::isSystemTrayAvailable() && tray_.isVisible()) {
        tray_.showMessage(title, text, QSystemTrayIcon::Information, shownFor);
        return;
    }
    if (!desktop_.notify(title, text, shownFor))
        toStandardError(title, text);
}

} // namespace qvr
