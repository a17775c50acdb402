#include "ui/label_text.h"

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

void note(const QPainter& painter, const QRect& rect, int flags, const QString& text) {
    if (activeLog)
        activeLog->texts.push_back({rect, flags, text, painter.font()});
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

} // namespace qvr
