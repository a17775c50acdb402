#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

namespace qvr {

// Where a window at placed goes so that it lies within room (a screen's
// available area).
QPoint keptOnScreen(QRect placed, QRect room);

// Makes a top-level window of the program a transient of the owner's window,
// so that the desktop keeps it with its owner. On Wayland this is the only
// placement a client has: the compositor places top-levels itself and
// ignores moves. Call before the window is first shown.
void makeTransientFor(QWidget& window, QWidget* owner);

// Transient for the owner and centred over it. A skinned window is drawn
// at its owner's scale, or smaller when it would not fit the screen.
void centreOverOwner(QWidget& window, QWidget* owner);

// Transient for the owner, its top-left corner at an offset from the owner's.
void placeOverOwner(QWidget& window, QWidget* owner, QPoint offset);

} // namespace qvr
