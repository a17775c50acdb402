#pragma once

#include "core/layout/skin_layout.h"

#include <QColor>
#include <QFont>
#include <QPoint>
#include <QRect>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QPainter;

namespace qvr {

class SkinImageCache;

// A rectangle given as left, top, right, bottom with the right and bottom
// edges exclusive, the way the window layouts are written.
constexpr QRect edges(int left, int top, int right, int bottom) {
    return QRect(QPoint(left, top), QSize(right - left, bottom - top));
}

// A rectangle of the skin's shared layout.
constexpr QRect toQRect(skin::Rect rect) {
    return edges(rect.left, rect.top, rect.right, rect.bottom);
}

// Where an element's click handler runs among the others. Lower stages are
// tried first; within a stage, elements run in the order they were added.
enum class ClickStage : int {
    WindowButtons = 100, // Reset, Cancel, Save, help, minimise, close, Config
    PanelButtons = 200,  // mouse-view tabs, left-panel headers, macro header
    Sections = 300,      // section headers, swatches, radios, dials, gauges
    DropDowns = 400,     // assignment drop-down boxes
    Sliders = 500,       // DPI, lighting and angle-snap sliders
};

// Whether a hit ends the dispatch or lets later elements see the click too.
enum class OnHit { Stop, Continue };

// What a screen reader is told an element is.
enum class ElementRole {
    Button,
    PageTab,
    SectionHeader,
    CheckBox,    // with checked
    RadioButton, // with checked, in a group
    Slider,      // with a value
    DropDown,    // opens a list; with expanded
};

// What answers the clicks on the elements it added to a window (a page of
// the main window): the element's id tells it which one was hit.
class ElementOwner {
  public:
    // The click or key press at a point in window coordinates.
    virtual void press(int id, QPoint at) = 0;

  protected:
    ~ElementOwner() = default;
};

// How an element's label sits in its rectangle.
enum class LabelAlign { Centre, LeftIndented };

// One entry of a window's rectangle table: what is drawn there and what a
// click there does. The same rectangle serves the painting and the
// hit-testing, so the two cannot drift apart.
struct WindowElement {
    QRect rect{};
    // With hover, image is a stem completed by "-normal.png" or "-over.png";
    // otherwise the full relative name. Empty: the table draws no image.
    QString image{};
    bool hover = false;
    QString label{};
    LabelAlign align = LabelAlign::Centre;
    int labelIndent = 0;
    std::function<void(QPoint)> onClick{}; // click position in window coordinates
    // Takes the clicks in place of onClick: the page that added the element.
    ElementOwner* owner = nullptr;
    ClickStage stage = ClickStage::WindowButtons;
    OnHit onHit = OnHit::Stop;
    // Pictures such as a track are drawn but let clicks through.
    bool clickable = true;
    // A slider: after a press on it, every pointer move with the button
    // still down clicks it again at the pointer, held inside its rectangle.
    bool drag = false;
    // Elements of hidden or closed sections neither draw nor answer clicks.
    std::function<bool()> active{};
    // For an element that moves with a layout another page owns (the left
    // panel's bar and X/Y section follow the assignment section): asked for
    // the rectangle at each paint and click, in place of rect.
    std::function<QRect()> follow{};
    // What a screen reader calls it, in the window's language; the label
    // when absent. An element with neither (a picture, a part of a larger
    // control) is not offered to screen readers.
    std::function<QString()> name{};
    ElementRole role = ElementRole::Button;
    // Elements of one group (any number but 0) are one stop of Tab, and the
    // arrow keys move among them in reading order. In a group of radio
    // buttons the arrows choose as they move, as a click would.
    int group = 0;
    // A check box or radio button: whether it is on.
    std::function<bool()> checked{};
    // A slider: its value, which the arrow keys step along its orientation
    // (Home and End go to the ends) through setValue.
    std::function<int()> value{};
    std::function<void(int)> setValue{};
    int minimum = 0;
    int maximum = 0;
    Qt::Orientation orientation = Qt::Horizontal;
    // What a screen reader says of the value ("500 Hz"; a drop-down's choice);
    // the number when absent.
    std::function<QString()> valueText{};
    // A drop-down: whether its list is open.
    std::function<bool()> expanded{};
};

// The rectangle table of one window, with its click dispatcher. Later pages
// add their elements (or move them with setRect when a layout shifts) and
// the window's painting and clicks pick them up.
class ElementTable {
  public:
    using Id = int;

    Id add(WindowElement element);
    WindowElement& operator[](Id id) { return elements_.at(static_cast<std::size_t>(id)); }
    const WindowElement& operator[](Id id) const {
        return elements_.at(static_cast<std::size_t>(id));
    }
    void setRect(Id id, QRect rect) { (*this)[id].rect = rect; }
    // A group number no element of this table has yet.
    int newGroup() { return ++lastGroup_; }
    // Where the element is now: its follow function's answer, or its rect.
    QRect rectOf(Id id) const;
    std::size_t size() const { return elements_.size(); }

    bool isActive(Id id) const;
    // Whether a click on the element does anything: its owner answers it,
    // or it has a handler of its own.
    bool hasAction(Id id) const;
    // The elements of an owner going away stay as inert places: their ids
    // remain valid, but they neither draw nor answer nor call the owner.
    void release(const ElementOwner& owner);
    // The screen reader's name: the name function's answer, or the label.
    QString nameOf(Id id) const;
    // Whether a screen reader is offered the element at all.
    bool isNamed(Id id) const;
    // The first active element in click order that contains the point.
    std::optional<Id> elementAt(QPoint point) const;
    // The active slider under the point, if any.
    std::optional<Id> dragElementAt(QPoint point) const;
    // Clicks a slider at the point moved into its rectangle (a drag that
    // leaves the slider keeps its end value).
    void dragTo(Id id, QPoint point) const;
    // The element with a hover image under the point, if any.
    std::optional<Id> hoverElementAt(QPoint point) const;

    // Runs the click handlers of the active elements containing the point in
    // stage order, up to the first Stop element hit. Returns whether any
    // element took the click (a click nobody takes may move the window).
    bool dispatch(QPoint point) const;

    // Draws the images and labels of the active elements in the order they
    // were added; the hovered element gets its "-over" image.
    void paint(QPainter& painter, SkinImageCache& skin, std::optional<Id> hovered,
               const QFont& labelFont, QColor labelColor) const;

  private:
    std::vector<Id> clickOrder() const;
    void press(Id id, QPoint point) const;
    std::vector<WindowElement> elements_;
    int lastGroup_ = 0;
};

} // namespace qvr
