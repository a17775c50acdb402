#pragma once

#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

namespace qvr {

// Draws a one-line label aligned in a rectangle with the painter's font and
// pen, like QPainter::drawText, but keeps the text's layout between paints:
// the skinned windows repaint the same few dozen labels at every hover, and
// laying them out again each time is a good part of a repaint.
void drawLabel(QPainter& painter, const QRect& rect, int flags, const QString& text);

// The font stepped down until the text fits the width (never below a
// readable size): the skin's rooms are small and some languages' texts wide.
QFont fittedFont(QFont font, const QString& text, int width);

} // namespace qvr
