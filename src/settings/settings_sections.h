#pragma once

#include "settings/right_panel_layout.h"
#include "ui/window_elements.h"

#include <QObject>
#include <QPoint>
#include <QRect>
#include <array>
#include <vector>

class QLineEdit;
class QPainter;

namespace qvr {

class PageHost;
class UserSession;
class ColourDialog;

// The performance settings of the main window: the left panel's X/Y
// sensitivity section and the right panel's seven sections. Every control
// is a rectangle of the window's table; every picture is chosen from the
// record when it is drawn, so a loaded, imported or reset record shows at
// the next paint. Only the five edit boxes are native widgets.
class SettingsSections : public QObject {
    Q_OBJECT

  public:
    // The edit boxes take the window's new fonts.
    void languageChanged();
    SettingsSections(PageHost& host, UserSession& session, ColourDialog& colours);

    bool isOpen(RightSection section) const { return open_[index(section)]; }
    bool isVisible(RightSection section) const { return layout_[index(section)].visible; }
    PanelPosition position() const { return position_; }
    QRect headerRect(RightSection section) const;
    QPoint bodyOrigin(RightSection section) const;
    QPoint xyBodyOrigin() const;
    QRect xyHeaderRect() const;

    // The DPI value boxes (stages 0..3, controls 124..127) and the scroll
    // rows box (control 121); hidden while their section is not shown.
    QLineEdit* dpiEdit(int stage) const { return dpiEdits_.at(static_cast<std::size_t>(stage)); }
    QLineEdit* rowsEdit() const { return rowsEdit_; }

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

    void paint(QPainter& painter);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // A control's rectangle relative to its section body, and where clicks
    // on it go.
    struct Control {
        ElementTable::Id id;
        int section; // a RightSection index, or kLeftXY
        QRect inBody;
    };
    static constexpr int kLeftXY = -1;

    void addElements();
    ElementTable::Id addControl(int section, QRect inBody, ClickStage stage,
                                std::function<void(QPoint, QRect)> click);
    bool controlsAnswer(int section) const;
    QPoint originOf(int section) const;
    void relayout();
    void placeThumb();
    void placeElements();
    void syncEdits();
    void styleEdits();
    void setEditText(QLineEdit* edit, int value);
    void dpiTextChanged(int stage);
    void dpiEditingFinished(int stage);
    void rowsTextChanged();
    void rowsEditingFinished();
    // Puts a value into a box without running its change handler.
    void setShownValue(QLineEdit* edit, int value);
    void stepRows(int delta);
    void pickStageColour(int stage);
    void redraw();

    void paintHeader(QPainter& painter, QRect rect, const QString& title);
    void paintXY(QPainter& painter, QPoint origin);
    void paintStepSlider(QPainter& painter, QRect hit, QRect labels, int value);
    void paintDpi(QPainter& painter);
    void paintLighting(QPainter& painter, QPoint origin);
    void paintReportRate(QPainter& painter, QPoint origin);
    void paintGauge(QPainter& painter, QPoint origin, int value);
    void paintScroll(QPainter& painter, QPoint origin);
    void paintAngleSnap(QPainter& painter, QPoint origin);

    PageHost& host_;
    // The window whose events the page filters; kept, since the host is
    // no longer one while the window is being destroyed.
    QObject* const face_;
    UserSession& session_;
    ColourDialog& colours_;
    SectionFlags open_{};
    PanelPosition position_ = PanelPosition::Top;
    PanelLayout layout_{};
    std::array<ElementTable::Id, kRightSectionCount> headerIds_{};
    ElementTable::Id xyHeaderId_ = -1;
    std::vector<Control> controls_;
    std::array<QLineEdit*, 4> dpiEdits_{};
    QLineEdit* rowsEdit_ = nullptr;
    // Set while a slider, an arrow or a redraw writes an edit box, so the
    // box's change handler knows the text did not come from the keyboard.
    bool editUpdateGuard_ = false;
    // Set by a keystroke in a box until its change is handled: while the
    // user is still typing, the digits stay as typed.
    bool typing_ = false;
    // The box the user is typing in, from the first keystroke to the end of
    // typing (Enter, Tab, focus out): a redraw leaves its text alone, even
    // when it is empty or between two limits.
    QLineEdit* typedIn_ = nullptr;
    QString editStyle_;
};

} // namespace qvr
