#pragma once

#include "core/layout/skin_layout.h"
#include "gui/widgets/window_elements.h"

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>

class QPainter;

namespace qvr {

class SkinnedWindow;

// Where the skin puts a picture of the given size.
inline QRect rectAt(skin::Point at, skin::Size size) {
    return QRect(at.x, at.y, size.width, size.height);
}

inline QPoint topLeftOf(skin::Rect rect) {
    return QPoint(rect.left, rect.top);
}

// A radio row answers on its picture and on its text.
inline QRect radioRow(skin::Rect radio, skin::Rect text) {
    return toQRect(radio).united(toQRect(text));
}

// A section's header bar with its title.
void paintSectionHeader(QPainter& painter, SkinnedWindow& face, QRect rect, const QString& title);

// A slider of eleven steps (X/Y sensitivity, angle snap) at its value, with
// the stops 1 to 10 numbered under it in labels.
void paintStepSlider(QPainter& painter, SkinnedWindow& face, const QFont& labelFont, QRect hit,
                     QRect labels, int value);

// Draws a label in a fixed rectangle, stepping the font down until the
// text fits: the texts of some languages are wider than the skin's room.
void drawFitted(QPainter& painter, QRect rect, int flags, const QString& text, QFont font);

} // namespace qvr
