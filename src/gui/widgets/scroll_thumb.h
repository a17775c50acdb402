#pragma once

#include <QImage>
#include <QWidget>
#include <functional>
#include <optional>

namespace qvr {

// The picture of the right panel's scroll thumb: 8 x 114 pixels, a vertical
// blue bar. It is part of the program, not of the skin; devicePixelRatio
// draws it for that many device pixels per pixel.
QImage scrollThumbImage(int devicePixelRatio = 1);

// Brightens an image the way a resting skinned button is shown: each colour
// channel times 1.05 plus 5 percent.
QImage hotImage(const QImage& image);

// A skinned image button that can be dragged vertically within limits; the
// main window's scroll thumb. Each move inside the limits reports the new
// top in parent coordinates.
class ScrollThumb : public QWidget {
    Q_OBJECT

  public:
    struct Limits {
        int minTopExclusive;    // the top must stay above this (31)
        int maxBottomExclusive; // and the bottom below this (596)
    };

    ScrollThumb(QImage image, QRect geometry, Limits limits, QWidget* parent);

    void setMovedHandler(std::function<void(int top)> handler) { moved_ = std::move(handler); }
    void setReleasedHandler(std::function<void()> handler) { released_ = std::move(handler); }
    // Moves by dy as a drag would, as far as the limits allow; false when
    // it cannot move at all.
    bool dragBy(int dy);
    // Where the thumb rests when its owner puts it back: the top or the
    // bottom end of its limits.
    void moveToTopEnd();
    void moveToBottomEnd();
    // Where the thumb is, in its window's face pixels.
    QRect faceGeometry() const { return face_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    void moveFaceTop(int top);
    qreal faceScale() const;

    QImage plain_;
    QImage hot_;
    Limits limits_;
    QRect face_;
    std::optional<int> dragY_;
    std::function<void(int)> moved_;
    std::function<void()> released_;
};

} // namespace qvr
