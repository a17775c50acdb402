#include "gui/widgets/window_placement.h"

#include "gui/widgets/skinned_window.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace qvr {

namespace {

const QScreen* screenOf(QWidget* owner) {
    if (owner && owner->window()->screen())
        return owner->window()->screen();
    return QGuiApplication::primaryScreen();
}

// A skinned window opened over another is drawn no larger than its owner,
// and smaller still when even that does not fit the screen.
void fitOverOwner(QWidget& window, QWidget* owner) {
    auto* skinned = qobject_cast<SkinnedWindow*>(&window);
    if (!skinned)
        return;
    const SkinnedWindow* host = owner ? skinnedWindowOf(owner->window()) : nullptr;
    skinned->fitToScreen(screenOf(owner), host ? host->faceScale() : 1.0);
}

} // namespace

QPoint keptOnScreen(QRect placed, QRect room) {
    // The bottom-right corner is pulled in first, so that a window larger
    // than the room still shows its top-left corner, where its title is.
    placed.moveRight(std::min(placed.right(), room.right()));
    placed.moveBottom(std::min(placed.bottom(), room.bottom()));
    placed.moveLeft(std::max(placed.left(), room.left()));
    placed.moveTop(std::max(placed.top(), room.top()));
    return placed.topLeft();
}

void makeTransientFor(QWidget& window, QWidget* owner) {
    if (!owner || window.parentWidget() == owner->window())
        return;
    // A parent with the window's own flags keeps it a top-level; Qt then
    // gives its native window the owner as transient parent.
    window.setParent(owner->window(), window.windowFlags());
}

void centreOverOwner(QWidget& window, QWidget* owner) {
    makeTransientFor(window, owner);
    fitOverOwner(window, owner);
    if (!owner)
        return;
    QRect placed(QPoint(), window.size());
    placed.moveCenter(owner->window()->frameGeometry().center());
    window.move(keptOnScreen(placed, screenOf(owner)->availableGeometry()));
}

void placeOverOwner(QWidget& window, QWidget* owner, QPoint offset) {
    makeTransientFor(window, owner);
    fitOverOwner(window, owner);
    if (!owner)
        return;
    const SkinnedWindow* host = skinnedWindowOf(owner->window());
    const qreal scale = host ? host->faceScale() : 1.0;
    const QPoint scaled(qRound(offset.x() * scale), qRound(offset.y() * scale));
    const QRect placed(owner->window()->pos() + scaled, window.size());
    window.move(keptOnScreen(placed, screenOf(owner)->availableGeometry()));
}

} // namespace qvr
