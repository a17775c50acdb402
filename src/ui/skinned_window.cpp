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
    const QImage* background =
        skin_ ? skin_->image(name, SkinImageCache::OnMissing::Silent) : nullptr;
    hasBackground_ = background != nullptr;
    if (!background) {
        if (!failureCaption.empty())
            messages_.showMessage(std::string("error"), std::string(failureCaption));
        return false;
    }
    setFixedSize(background->size());
    // A panel inside another window lets that window show through the
    // transparent parts of its picture.
    if (!isWindow() && background->hasAlphaChannel())
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
    if (!background)
        return;
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
