#include "ui/skinned_window.h"

#include "ui/face_accessible.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>
#include <utility>

namespace qvr {

SkinnedWindow::SkinnedWindow(std::shared_ptr<SkinImageCache> skin, MessageSink& messages,
                             QWidget* parent, Dragging dragging)
    : QWidget(parent), skin_(std::move(skin)), messages_(messages), dragging_(dragging) {
    setMouseTracking(true);
    installFaceAccessibility();
    // The face covers every pixel; nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool SkinnedWindow::loadBackground(const QString& name, std::string_view failureCaption) {
    backgroundName_ = name;
    // A window of its own is sized from the picture's header and shown while
    // its pixels are decoded elsewhere; its first paint takes them. A panel
    // needs them now, to know whether its parent shows through.
    QSize size;
    const QImage* background = nullptr;
    if (skin_ && isWindow())
        size = skin_->prefetch(name);
    else if (skin_ && (background = skin_->image(name, SkinImageCache::OnMissing::Silent)))
        size = background->size();
    hasBackground_ = size.isValid();
    if (!hasBackground_) {
        if (!failureCaption.empty())
            messages_.showMessage(std::string("error"), std::string(failureCaption));
        return false;
    }
    setFixedSize(size);
    // A panel inside another window lets that window show through the
    // transparent parts of its picture.
    if (background && background->hasAlphaChannel())
        setAttribute(Qt::WA_OpaquePaintEvent, false);
    return true;
}

void SkinnedWindow::paintFace(QPainter&) {}

bool SkinnedWindow::beforeClick(QPoint) {
    return false;
}

void SkinnedWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QImage* background =
        hasBackground_ && skin_ ? skin_->image(backgroundName_, SkinImageCache::OnMissing::Silent)
                                : nullptr;
    // An opaque background covers every pixel; black shows only through a
    // transparent one, and only on a window of its own.
    const bool seeThrough = !isWindow() && background && background->hasAlphaChannel();
    if (!seeThrough &&
        (!background || background->hasAlphaChannel() || background->size() != size()))
        painter.fillRect(rect(), Qt::black);
    if (!background) {
        if (hasBackground_) {
            // Its header read well, its pixels did not: said once, after
            // this paint rather than inside it.
            hasBackground_ = false;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    messages_.showMessage(std::string(kLoadImageFailed),
                                          std::string(kApplicationTitle));
                },
                Qt::QueuedConnection);
        }
        return;
    }
    painter.drawImage(QPoint(0, 0), *background);
    elements_.paint(painter, *skin_, hovered_, textFont_, textColor_);
    painter.save();
    paintFace(painter);
    painter.restore();
}

bool SkinnedWindow::clickAt(QPoint position) {
    if (beforeClick(position))
        return true;
    return elements_.dispatch(position);
}

void SkinnedWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const QPoint position = event->position().toPoint();
    const auto slider = elements_.dragElementAt(position);
    const bool taken = clickAt(position);
    sliderDrag_ = slider;
    if (taken || dragging_ != Dragging::Allowed || !isWindow())
        return;
    armWindowMove(event->globalPosition().toPoint());
}

void SkinnedWindow::armWindowMove(QPoint globalPress) {
    movePress_ = globalPress;
    dragOffset_.reset();
}

void SkinnedWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click is two presses, as far as the skin is concerned.
    mousePressEvent(event);
}

void SkinnedWindow::mouseMoveEvent(QMouseEvent* event) {
    if (sliderDrag_ && (event->buttons() & Qt::LeftButton)) {
        elements_.dragTo(*sliderDrag_, event->position().toPoint());
        return;
    }
    const bool held = event->buttons() & Qt::LeftButton;
    if (movePress_ && held) {
        const QPoint pointer = event->globalPosition().toPoint();
        if ((pointer - *movePress_).manhattanLength() < QApplication::startDragDistance())
            return;
        const QPoint press = *std::exchange(movePress_, std::nullopt);
        // The window manager moves the window where it can; otherwise we
        // follow the pointer ourselves.
        if (windowHandle() && windowHandle()->startSystemMove())
            return;
        dragOffset_ = press - frameGeometry().topLeft();
    }
    if (!held)
        movePress_.reset();
    if (dragOffset_ && held) {
        move(event->globalPosition().toPoint() - *dragOffset_);
        return;
    }
    updateHover(event->position().toPoint());
}

void SkinnedWindow::mouseReleaseEvent(QMouseEvent* event) {
    movePress_.reset();
    dragOffset_.reset();
    sliderDrag_.reset();
    QWidget::mouseReleaseEvent(event);
}

void SkinnedWindow::leaveEvent(QEvent* event) {
    if (hovered_) {
        hovered_.reset();
        update();
    }
    QWidget::leaveEvent(event);
}

void SkinnedWindow::updateHover(QPoint position) {
    const auto now = elements_.hoverElementAt(position);
    if (now == hovered_)
        return;
    hovered_ = now;
    update();
}

} // namespace qvr
