#pragma once

#include "core/layout/right_panel_layout.h"
#include "gui/widgets/element_actions.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <array>
#include <memory>

class QLineEdit;
class QPainter;

namespace qvr {

class PageHost;
class UserSession;
class ColourDialog;
class PanelSection;
class DpiSection;
class ScrollSpeedSection;
class XYSensitivitySection;

// The performance settings of the main window: the left panel's X/Y
// sensitivity section and the right panel's seven sections. The panel
// keeps what they share (where each is, which are open, their headers, the
// scroll position and thumb); each section keeps its controls, their
// actions and its picture. Every picture is chosen from the record when it
// is drawn, so a loaded, imported or reset record shows at the next paint.
class SettingsSections : public QObject {
    Q_OBJECT

  public:
    // The controls are page's elements: the window hands their clicks to
    // it, and it hands them on to press.
    SettingsSections(PageHost& host, UserSession& session, ColourDialog& colours,
                     ElementOwner& page);
    ~SettingsSections() override;

    // The edit boxes take the window's new fonts.
    void languageChanged();

    bool isOpen(RightSection section) const { return open_[index(section)]; }
    bool isVisible(RightSection section) const { return layout_[index(section)].visible; }
    PanelPosition position() const { return position_; }
    QRect headerRect(RightSection section) const;
    QPoint bodyOrigin(RightSection section) const;
    QPoint xyBodyOrigin() const;
    QRect xyHeaderRect() const;

    // The DPI value boxes (stages 0..3, controls 124..127) and the scroll
    // rows box (control 121); hidden while their section is not shown.
    QLineEdit* dpiEdit(int stage) const;
    QLineEdit* rowsEdit() const;

    void toggle(RightSection section);
    void toggleXY();
    // The scroll thumb moved to thumbTop.
    void scrollTo(int thumbTop);
    // Puts the panel and its thumb at one end (the wheel, the thumb's
    // release); the bottom only while something overflows the top.
    void scrollToPosition(PanelPosition position);
    // Reset: every section of both panels closed, the panel at the top.
    void closeAll();
    // Takes up changes made elsewhere: the left panel moved, a record loaded.
    void refresh();

    // A click or key press on one of the headers or controls.
    void press(ElementTable::Id id, QPoint at);
    void paint(QPainter& painter);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    PanelSection& section(int index) const {
        return *sections_.at(static_cast<std::size_t>(index));
    }
    void relayout();
    void placeThumb();
    void placeElements();
    void updateEdits();
    void redraw();

    PageHost& host_;
    // The window whose events the page filters; kept, since the host is
    // no longer one while the window is being destroyed.
    QObject* const face_;
    SectionFlags open_{};
    PanelPosition position_ = PanelPosition::Top;
    PanelLayout layout_{};
    ElementActions headers_;
    std::array<ElementTable::Id, kRightSectionCount> headerIds_{};
    std::unique_ptr<XYSensitivitySection> xy_;
    std::array<std::unique_ptr<PanelSection>, kRightSectionCount> sections_;
    DpiSection* dpi_ = nullptr;
    ScrollSpeedSection* scroll_ = nullptr;
};

} // namespace qvr
