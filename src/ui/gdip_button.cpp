#include "ui/gdip_button.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace qvr {

QImage scrollThumbImage() {
    QImage image(8, 114, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient shade(0, 0, 8, 0);
    shade.setColorAt(0.0, QColor(0, 84, 200));
    shade.setColorAt(0.5, QColor(40, 140, 255));
    shade.setColorAt(1.0, QColor(0, 84, 200));
    painter.setPen(Qt::NoPen);
    painter.setBrush(shade);
    painter.drawRoundedRect(QRectF(0.5, 0.5, 7, 113), 3, 3);
    return image;
}

QImage hotImage(const QImage& image) {
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            const auto lift = [](int c) {
                return std::min(255, static_cast<int>(c * 1.05 + 12.75));
            };
            const QRgb p = line[x];
            line[x] = qRgba(lift(qRed(p)), lift(qGreen(p)), lift(qBlue(p)), qAlpha(p));
        }
    }
    return result.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

CGdipButton::CGdipButton(QImage image, QRect geometry, Limits limits, QWidget* parent)
    : QWidget(parent), hot_(hotImage(image)), limits_(limits), fixedX_(geometry.x()) {
    setGeometry(geometry);
}

bool CGdipButton::dragBy(int dy) {
    // A fast drag past an end stops at the end rather than short of it.
    const int top = std::clamp(y() + dy, limits_.minTopExclusive + 1,
                               limits_.maxBottomExclusive - 1 - height());
    if (top == y() || x() != fixedX_)
        return false;
    move(x(), top);
    if (moved_)
        moved_(top);
    return true;
}

void CGdipButton::moveToTopEnd() {
    move(fixedX_, limits_.minTopExclusive + 1);
}

void CGdipButton::moveToBottomEnd() {
    move(fixedX_, limits_.maxBottomExclusive - 1 - height());
}

void CGdipButton::paintEvent(QPaintEvent*) {
    // At rest the button always shows its hot image, as the hover and leave
    // notifications both set it.
    QPainter(this).drawImage(0, 0, hot_);
}

void CGdipButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        dragY_ = event->globalPosition().toPoint().y();
}

void CGdipButton::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void CGdipButton::mouseMoveEvent(QMouseEvent* event) {
    if (!dragY_ || !(event->buttons() & Qt::LeftButton))
        return;
    const int now = event->globalPosition().toPoint().y();
    if (dragBy(now - *dragY_))
        dragY_ = now;
}

void CGdipButton::mouseReleaseEvent(QMouseEvent*) {
    if (dragY_ && released_)
        released_();
    dragY_.reset();
}

} // namespace qvr
