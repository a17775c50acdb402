#pragma once

#include "core/files/message_sink.h"
#include "gui/widgets/skin_image_cache.h"
#include "gui/widgets/window_elements.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

class QKeyEvent;
class QScreen;

namespace qvr {

class SkinListBox;

// The pattern every window of the program follows: a borderless face drawn
// from the skin (a background that fixes the size, the elements of its
// rectangle table, then whatever the window paints itself), hover images,
// clicks dispatched through the same table, and moving the window by
// pressing on an empty area where the window allows it.
//
// Everything the window knows is in face pixels, the skin's own units. A
// window whose face does not fit its screen draws it smaller by one factor
// (faceScale); painting, hit-testing and the native children placed with
// placeChild all follow it, so the rectangle table never changes.
class SkinnedWindow : public QWidget {
    Q_OBJECT

  public:
    enum class Dragging { Allowed, NotAllowed };

    SkinnedWindow(std::shared_ptr<SkinImageCache> skin, MessageSink& messages,
                  QWidget* parent = nullptr, Dragging dragging = Dragging::NotAllowed);
    ~SkinnedWindow() override;

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

    // The element the keyboard is on, if any: Tab and Shift+Tab walk the
    // active named elements in reading order, Space presses the one here,
    // the arrows move within its group or step its value.
    std::optional<ElementTable::Id> focusedElement() const;
    // The elements Tab visits now: region by region, and in each top to
    // bottom, then left to right; a group is one stop, at its chosen member
    // (the one last focused, else the checked one, else its first).
    std::vector<ElementTable::Id> focusOrder() const;
    // Puts the keyboard on an element, as Tab would.
    void focusElement(ElementTable::Id id);
    // Face areas read one after the other, such as a window's panels: an
    // element belongs to the first that holds its centre, and those in none
    // come last. Without regions the whole face is one.
    void setReadingRegions(std::vector<QRect> regions) { readingRegions_ = std::move(regions); }
    // Where the native children placed on the face (lists, edit boxes) take
    // their turn at Tab: after every face control, or among them by their
    // place on the face.
    enum class NativeTabOrder { AfterFace, ReadingOrder };
    void setNativeTabOrder(NativeTabOrder order) { nativeTabOrder_ = order; }
    // What Tab visits, in order, under NativeTabOrder::ReadingOrder: a face
    // control (element) or a native child (widget).
    struct TabStop {
        std::optional<ElementTable::Id> element;
        QWidget* widget = nullptr;
        bool operator==(const TabStop&) const = default;
    };
    std::vector<TabStop> tabStops() const;
    // The focus mark shows once the keyboard is used; a press hides it.
    bool focusMarkShown() const { return focusMarkShown_; }
    // The pointer pressed on the window or a child of it (such as a list).
    void pointerPressed();

    // Face pixels per widget pixel's worth: 1 unless the face was made
    // smaller to fit the screen.
    qreal faceScale() const { return faceScale_; }
    void setFaceScale(qreal scale);
    // The face's size at scale 1 (the background's size).
    QSize naturalSize() const { return naturalSize_; }
    // The largest scale up to ceiling (at most 1) at which the face fits
    // the screen's available area.
    qreal fittingScale(const QScreen* screen, qreal ceiling = 1.0) const;
    void fitToScreen(const QScreen* screen, qreal ceiling = 1.0);

    QPoint toFace(QPointF widgetPoint) const;
    QRect toWidget(QRect faceRect) const;
    QRect toFace(QRect widgetRect) const;
    QFont scaledFont(const QFont& faceFont) const;
    // Repaints a face rectangle, wherever the scale puts it.
    void updateFace(QRect faceRect) { update(toWidget(faceRect).adjusted(-1, -1, 1, 1)); }
    // Puts a child widget at a face rectangle (and gives it the face font
    // at the window's scale); a later change of scale moves it along.
    void placeChild(QWidget* child, QRect faceRect);
    void placeChild(QWidget* child, QRect faceRect, const QFont& faceFont);
    // The face font of a child placed before, at the window's scale.
    void setChildFont(QWidget* child, const QFont& faceFont);

  protected:
    // Windows whose keys are their input (the capture dialogs) keep Tab
    // from moving the focus, so it can be captured like any other key.
    enum class TabKeys { MoveFocus, AreInput };
    void setTabKeys(TabKeys keys) { tabKeys_ = keys; }
    // Space on the focused element presses it; true when it did.
    bool pressFocusedElement(const QKeyEvent& event);
    // What the keyboard does on the face: Space presses, the arrows move
    // within a group or step a slider; true when the key was taken.
    bool faceKey(const QKeyEvent& event);
    // Marks the keyboard as in use (shows the focus mark).
    void showFocusMark();
    // While Space presses an element: the key that does it.
    const QKeyEvent* pressingKey() const { return pressingKey_; }

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
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void showEvent(QShowEvent* event) override;

    // The window's scale changed; children placed with placeChild have
    // already followed.
    virtual void faceScaleChanged() {}

  private:
    void updateHover(QPoint position);
    bool isFocusable(ElementTable::Id id) const;
    // The keyboard is on the window itself rather than on a native child.
    bool faceHasFocus() const;
    // Moves the focus to an element (or off the elements) and tells screen
    // readers; an element that went inactive hands it to the next one.
    void setFocusedElement(std::optional<ElementTable::Id> id);
    void settleFocus();
    // Every focusable element in reading order, group members included.
    std::vector<ElementTable::Id> readingOrder() const;
    std::vector<ElementTable::Id> groupMembers(int group) const;
    bool stepFocused(const QKeyEvent& event);
    // A drop-down list opened from the keyboard takes the arrows, Space,
    // Enter (choose) and Esc (close, by pressing its opener again).
    bool listKey(const QKeyEvent& event);
    SkinListBox* keyList();
    void paintFocusMark(QPainter& painter);
    void applyPlacement(QWidget* child, QRect faceRect, const std::optional<QFont>& font);

    struct Placement {
        QPointer<QWidget> child;
        QRect faceRect;
        std::optional<QFont> font;
    };
    // Tab under NativeTabOrder::ReadingOrder.
    bool moveAmongTabStops(bool next);
    // The placed native child the keyboard is in, if any.
    const Placement* focusedPlacement() const;
    bool isTabStop(const Placement& placed) const;

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
    qreal faceScale_ = 1.0;
    QSize naturalSize_;
    std::vector<Placement> placements_;
    TabKeys tabKeys_ = TabKeys::MoveFocus;
    std::optional<ElementTable::Id> focused_;
    // Where the focused element was, to find its successor once it goes.
    QRect focusedRect_;
    std::vector<QRect> readingRegions_;
    QPointer<SkinListBox> keyList_;
    const QKeyEvent* pressingKey_ = nullptr;
    bool readsBefore(QRect a, QRect b) const;
    bool focusMarkShown_ = false;
    NativeTabOrder nativeTabOrder_ = NativeTabOrder::AfterFace;
    // Dropped before QWidget's own destructor, which may move the focus
    // while only a QWidget is left of this window.
    QMetaObject::Connection focusWatch_;
};

// The colour of the keyboard's focus mark: the skin's accent.
QColor focusMarkColour();

// The skinned window a widget lies on, or none.
SkinnedWindow* skinnedWindowOf(QWidget* widget);
// placeChild on the skinned window the child lies on; without one the face
// rectangle is the geometry.
void placeOnFace(QWidget* child, QRect faceRect, const std::optional<QFont>& faceFont = {});

} // namespace qvr
