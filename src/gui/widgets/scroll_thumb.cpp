#include "gui/widgets/scroll_thumb.h"

#include "gui/widgets/skinned_window.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace qvr {

QImage scrollThumbImage(int devicePixelRatio) {
    QImage image(8 * devicePixelRatio, 114 * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
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
    result = result.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    result.setDevicePixelRatio(image.devicePixelRatio());
    return result;
}

ScrollThumb::ScrollThumb(QImage image, QRect geometry, Limits limits, QWidget* parent)
    : QWidget(parent), plain_(std::move(image)), hot_(hotImage(plain_)), limits_(limits),
      face_(geometry) {
    placeOnFace(this, face_);
}

bool ScrollThumb::dragBy(int dy) {
    // A fast drag past an end stops at the end rather than short of it.
    const int top = std::clamp(face_.y() + dy, limits_.minTopExclusive + 1,
                               limits_.maxBottomExclusive - 1 - face_.height());
    if (top == face_.y())
        return false;
    moveFaceTop(top);
    if (moved_)
        moved_(top);
    return true;
}

void ScrollThumb::moveToTopEnd() {
    moveFaceTop(limits_.minTopExclusive + 1);
}

void ScrollThumb::moveToBottomEnd() {
    moveFaceTop(limits_.maxBottomExclusive - 1 - face_.height());
}

void ScrollThumb::moveFaceTop(int top) {
    face_.moveTop(top);
    placeOnFace(this, face_);
}

qreal ScrollThumb::faceScale() const {
    const SkinnedWindow* window = skinnedWindowOf(parentWidget());
    return window ? window->faceScale() : 1.0;
}

void ScrollThumb::paintEvent(QPaintEvent*) {
    // At rest the button always shows its hot image, as the hover and leave
    // notifications both set it.
    // Drawn afresh at the device pixels it lands on when the built-in
    // picture is too coarse for them.
    const int wanted = devicePixelRatioF() * faceScale() >= 1.5 ? 2 : 1;
    if (plain_.devicePixelRatio() < wanted && plain_.size() == scrollThumbImage().size()) {
        plain_ = scrollThumbImage(wanted);
        hot_ = hotImage(plain_);
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), hot_);
}

void ScrollThumb::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        dragY_ = event->globalPosition().toPoint().y();
}

void ScrollThumb::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void ScrollThumb::mouseMoveEvent(QMouseEvent* event) {
    if (!dragY_ || !(event->buttons() & Qt::LeftButton))
        return;
    // The pointer moves in screen pixels, the thumb in face pixels.
    const int now = event->globalPosition().toPoint().y();
    const int faceDy = static_cast<int>(std::lround((now - *dragY_) / faceScale()));
    if (faceDy != 0 && dragBy(faceDy))
        dragY_ = now;
}

void ScrollThumb::mouseReleaseEvent(QMouseEvent*) {
    if (dragY_ && released_)
        released_();
    dragY_.reset();
}

} // namespace qvr
