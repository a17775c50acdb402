#pragma once

#include "config/message_sink.h"
#include "ui/skin_image_cache.h"
#include "ui/window_elements.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QWidget>
#include <memory>
#include <optional>

namespace qvr {

// The pattern every window of the program follows: a borderless face drawn
// from the skin (a background that fixes the size, the elements of its
// rectangle table, then whatever the window paints itself), hover images,
// clicks dispatched through the same table, and moving the window by
// pressing on an empty area where the window allows it.
class SkinnedWindow : public QWidget {
    Q_OBJECT

  public:
    enum class Dragging { Allowed, NotAllowed };

    SkinnedWindow(std::shared_ptr<SkinImageCache> skin, MessageSink& messages,
                  QWidget* parent = nullptr, Dragging dragging = Dragging::NotAllowed);

    ElementTable& elements() { return elements_; }
    SkinImageCache& skin() { return *skin_; }
    std::shared_ptr<SkinImageCache> sharedSkin() const { return skin_; }
    MessageSink& messages() { return messages_; }

    bool hasBackground() const { return hasBackground_; }
    std::optional<ElementTable::Id> hoveredElement() const { return hovered_; }

    void setTextColor(QColor color) { textColor_ = color; }
    QColor textColor() const { return textColor_; }
    void setTextFont(const QFont& font) { textFont_ = font; }
    const QFont& textFont() const { return textFont_; }

    // Handles a left press at a window position as a click would: the
    // window's own hook first, then the rectangle table.
    bool clickAt(QPoint position);

  protected:
    // The skin may be known only during start-up, after construction.
    void setSkin(std::shared_ptr<SkinImageCache> skin) { skin_ = std::move(skin); }

    // A press at globalPress may move the window: it follows the pointer
    // once the pointer has gone the platform's drag distance with the left
    // button held. Moving at the press itself would leave a press and
    // release of one instant holding the window (the window manager takes
    // the move after the release has gone by).
    void armWindowMove(QPoint globalPress);

    // Loads the background and sizes the window to it. On failure shows
    // "error" with failureCaption (when given) and leaves the face empty.
    bool loadBackground(const QString& name, std::string_view failureCaption);

    // What the window draws over its background and elements.
    virtual void paintFace(QPainter& painter);
    // Runs before the table sees a click; true ends the click there.
    virtual bool beforeClick(QPoint position);

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

  private:
    void updateHover(QPoint position);

    std::shared_ptr<SkinImageCache> skin_;
    MessageSink& messages_;
    Dragging dragging_;
    ElementTable elements_;
    QString backgroundName_;
    bool hasBackground_ = false;
    std::optional<ElementTable::Id> hovered_;
    QColor textColor_{0, 255, 0};
    QFont textFont_;
    std::optional<QPoint> movePress_; // armed, not yet moving
    std::optional<QPoint> dragOffset_;
    std::optional<ElementTable::Id> sliderDrag_;
};

} // namespace qvr
