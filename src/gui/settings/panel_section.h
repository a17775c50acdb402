#pragma once

#include "gui/widgets/window_elements.h"

#include <QPoint>
#include <QRect>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

class QPainter;

namespace qvr {

class PageHost;
class UserSession;
struct MainWindowTexts;

// What each section of the settings panels is built with.
struct SectionContext {
    PageHost& host;
    UserSession& session;
    // The page the controls belong to: the window hands their clicks to it,
    // and it hands them back through press.
    ElementOwner& page;
};

// One section of the settings panels: its controls in the window's table,
// what they do, its body's picture and its edit boxes. The panel places it
// and draws its header.
class PanelSection {
  public:
    explicit PanelSection(const SectionContext& context);
    virtual ~PanelSection() = default;
    PanelSection(const PanelSection&) = delete;
    PanelSection& operator=(const PanelSection&) = delete;

    // Puts the body's top-left at origin; its controls answer only while
    // it is shown (open, and on the panel).
    virtual void place(QPoint origin, bool shown);
    virtual void paint(QPainter& painter, QPoint origin) = 0;
    // The edit boxes take the record's values and the window's look.
    virtual void updateEdits() {}
    virtual void languageChanged() {}
    // A record loaded, reset or cancelled replaces what was being typed.
    virtual void dropTyping() {}
    // Runs the action of control id; false when it is not one of these.
    bool press(ElementTable::Id id, QPoint at) const;

  protected:
    // A click at a point of the control, whose rectangle is rect now.
    using Action = std::function<void(QPoint at, QRect rect)>;
    // A control at inBody relative to the body; sliders follow a drag.
    ElementTable::Id addControl(QRect inBody, ClickStage stage, Action action);
    virtual bool answers() const { return shown_; }
    bool shown() const { return shown_; }

    // What the keyboard and screen readers make of a slider.
    void makeSlider(ElementTable::Id id, std::function<QString()> name, int group, int minimum,
                    int maximum, std::function<int()> value, std::function<void(int)> setValue);
    // A text of the window's language, read when it is asked for.
    std::function<QString()> text(std::string_view MainWindowTexts::*which) const;
    // The same change, with the window drawn again after it.
    Action redrawAfter(Action change) const;
    std::function<void(int)> redrawn(std::function<void(int)> set) const;
    // A byte of the record as a slider's value.
    static std::pair<std::function<int()>, std::function<void(int)>> byte(std::uint8_t& field);

    ElementTable& table() const;
    void redraw() const;

    PageHost& host_;
    UserSession& session_;

  private:
    struct Control {
        ElementTable::Id id;
        QRect inBody;
        Action action;
    };
    ElementOwner& page_;
    std::vector<Control> controls_;
    bool shown_ = false;
};

} // namespace qvr
