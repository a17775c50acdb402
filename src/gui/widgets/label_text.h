#pragma once

#include <QFont>
#include <QRect>
#include <QString>
#include <QStringList>
#include <vector>

class QFontMetrics;
class QPainter;

namespace qvr {

// Draws a one-line label aligned in a rectangle with the painter's font and
// pen, like QPainter::drawText, but keeps the text's layout between paints:
// the skinned windows repaint the same few dozen labels at every hover, and
// laying them out again each time is a good part of a repaint.
void drawLabel(QPainter& painter, const QRect& rect, int flags, const QString& text);

// Draws a text that may wrap onto more lines (flags as for drawText); noted
// like a label.
void drawWrappedText(QPainter& painter, const QRect& rect, int flags, const QString& text);

// The label before + name + after, with the middle of the name given up
// for "…" where the whole is wider than the width: for names of any length
// the user chose (a profile), whose start and whose surroundings must stay
// in sight.
QString elideNameInLabel(const QFontMetrics& metrics, const QString& before, const QString& name,
                         const QString& after, int width);

// Draws such a label on one line; the caller offers the whole text
// elsewhere (a tooltip, the accessible name). Returns whether the name was
// shortened.
bool drawElidedLabel(QPainter& painter, const QRect& rect, int flags, const QString& before,
                     const QString& name, const QString& after);

// A text as it was drawn: where, how, and in which font.
struct DrawnText {
    QRect rect;
    int flags;
    QString text;
    QFont font;
    // Set when the text was shortened on purpose: the whole text.
    QString elidedFrom{};
};

// While one exists, every text drawn through the functions above is noted,
// so that a check can measure each against the rectangle it was given.
class DrawnTextLog {
  public:
    DrawnTextLog();
    ~DrawnTextLog();
    DrawnTextLog(const DrawnTextLog&) = delete;
    DrawnTextLog& operator=(const DrawnTextLog&) = delete;

    std::vector<DrawnText> texts;
};

// The font stepped down until the text fits the width (never below a
// readable size): the skin's rooms are small and some languages' texts wide.
QFont fittedFont(QFont font, const QString& text, int width);
// The same for texts that share one size, such as the rows of a group: the
// font the widest of them needs.
QFont fittedFont(QFont font, const QStringList& texts, int width);
// The font stepped down until the text, wrapped as the flags say, fits the
// rectangle.
QFont fittedWrappedFont(QFont font, const QString& text, const QRect& rect, int flags);

} // namespace qvr
