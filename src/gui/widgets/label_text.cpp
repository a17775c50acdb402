#include "gui/widgets/label_text.h"

#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QStaticText>

namespace qvr {
namespace {

// Labels are few and fixed (texts of one language, numbers of sliders); the
// bound only guards against a caller that draws ever new texts.
constexpr qsizetype kMaxCachedLabels = 1024;

QStaticText& layoutOf(const QFont& font, const QString& text) {
    static QHash<QString, QStaticText> cache;
    const QString key = font.key() + QChar(0x1F) + text;
    auto found = cache.find(key);
    if (found == cache.end()) {
        if (cache.size() >= kMaxCachedLabels)
            cache.clear();
        QStaticText layout(text);
        layout.setTextFormat(Qt::PlainText);
        layout.setPerformanceHint(QStaticText::AggressiveCaching);
        layout.prepare(QTransform(), font);
        found = cache.insert(key, layout);
    }
    return *found;
}

DrawnTextLog* activeLog = nullptr;

void note(const QPainter& painter, const QRect& rect, int flags, const QString& text,
          const QString& elidedFrom = {}) {
    if (activeLog)
        activeLog->texts.push_back({rect, flags, text, painter.font(), elidedFrom});
}

void drawLayout(QPainter& painter, const QRect& rect, int flags, const QString& text) {
    const QStaticText& layout = layoutOf(painter.font(), text);
    const QSizeF size = layout.size();
    qreal x = rect.left();
    if (flags & Qt::AlignHCenter)
        x = rect.left() + (rect.width() - size.width()) / 2;
    else if (flags & Qt::AlignRight)
        x = rect.left() + rect.width() - size.width();
    qreal y = rect.top();
    if (flags & Qt::AlignVCenter)
        y = rect.top() + (rect.height() - size.height()) / 2;
    else if (flags & Qt::AlignBottom)
        y = rect.top() + rect.height() - size.height();
    // Whole pixels, as drawText places its text: no blurred half-pixel glyphs.
    painter.drawStaticText(QPoint(qRound(x), qRound(y)), layout);
}

} // namespace

DrawnTextLog::DrawnTextLog() {
    activeLog = this;
}

DrawnTextLog::~DrawnTextLog() {
    if (activeLog == this)
        activeLog = nullptr;
}

void drawWrappedText(QPainter& painter, const QRect& rect, int flags, const QString& text) {
    note(painter, rect, flags, text);
    painter.drawText(rect, flags, text);
}

QFont fittedFont(QFont font, const QString& text, int width) {
    constexpr int kSmallestPixels = 9;
    if (font.pixelSize() <= 0)
        font.setPixelSize(QFontMetrics(font).height());
    while (font.pixelSize() > kSmallestPixels && QFontMetrics(font).horizontalAdvance(text) > width)
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

QFont fittedFont(QFont font, const QStringList& texts, int width) {
    QFont smallest = font;
    for (const QString& text : texts) {
        const QFont fitted = fittedFont(font, text, width);
        if (fitted.pixelSize() < smallest.pixelSize() || smallest.pixelSize() <= 0)
            smallest = fitted;
    }
    return smallest;
}

QFont fittedWrappedFont(QFont font, const QString& text, const QRect& rect, int flags) {
    constexpr int kSmallestPixels = 9;
    if (font.pixelSize() <= 0)
        font.setPixelSize(QFontMetrics(font).height());
    const auto fits = [&] {
        const QRect needed = QFontMetrics(font).boundingRect(rect, flags, text);
        return needed.width() <= rect.width() && needed.height() <= rect.height();
    };
    while (font.pixelSize() > kSmallestPixels && !fits())
        font.setPixelSize(font.pixelSize() - 1);
    return font;
}

void drawLabel(QPainter& painter, const QRect& rect, int flags, const QString& text) {
    if (text.isEmpty())
        return;
    note(painter, rect, flags, text);
    drawLayout(painter, rect, flags, text);
}

QString elideNameInLabel(const QFontMetrics& metrics, const QString& before, const QString& name,
                         const QString& after, int width) {
    const QString whole = before + name + after;
    if (metrics.horizontalAdvance(whole) <= width)
        return whole;
    const QString ellipsis(QChar(0x2026));
    // As many characters of both ends of the name as fit, the same number
    // of each; a surrogate pair stays whole.
    const auto joined = [&](qsizetype n) {
        qsizetype left = n, right = n;
        if (left > 0 && name[left - 1].isHighSurrogate())
            --left;
        if (right > 0 && name[name.size() - right].isLowSurrogate())
            --right;
        return before + name.left(left) + ellipsis + name.right(right) + after;
    };
    qsizetype fits = 0, tooMany = name.size() / 2 + 1;
    while (tooMany - fits > 1) {
        const qsizetype middle = (fits + tooMany) / 2;
        if (metrics.horizontalAdvance(joined(middle)) <= width)
            fits = middle;
        else
            tooMany = middle;
    }
    return joined(fits);
}

bool drawElidedLabel(QPainter& painter, const QRect& rect, int flags, const QString& before,
                     const QString& name, const QString& after) {
    const QString whole = before + name + after;
    if (whole.isEmpty())
        return false;
    const QString shown =
        elideNameInLabel(painter.fontMetrics(), before, name, after, rect.width());
    const bool elided = shown != whole;
    note(painter, rect, flags, shown, elided ? whole : QString());
    // Shortened texts change with every name: they stay out of the cache.
    if (elided)
        painter.drawText(rect, flags | Qt::TextSingleLine, shown);
    else
        drawLayout(painter, rect, flags, shown);
    return elided;
}

} // namespace qvr
