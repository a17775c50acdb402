#include "ui/window_placement.h"

#include <QRect>
#include <QWidget>

namespace qvr {

void makeTransientFor(QWidget& window, QWidget* owner) {
    if (!owner || window.parentWidget() == owner->window())
        return;
    // A parent with the window's own flags keeps it a top-level; Qt then
    // gives its native window the owner as transient parent.
    window.setParent(owner->window(), window.windowFlags());
}

void centreOverOwner(QWidget& window, QWidget* owner) {
    makeTransientFor(window, owner);
    if (!owner)
        return;
    QRect placed(QPoint(), window.size());
    placed.moveCenter(owner->window()->frameGeometry().center());
    window.move(placed.topLeft());
}

void placeOverOwner(QWidget& window, QWidget* owner, QPoint offset) {
    makeTransientFor(window, owner);
    if (owner)
        window.move(owner->window()->pos() + offset);
}

} // namespace qvr
