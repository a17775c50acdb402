#pragma once

#include "core/buttons/button_catalogue.h"
#include "gui/widgets/element_actions.h"
#include "gui/widgets/skinned_dialog.h"
#include "gui/widgets/window_elements.h"
#include "gui/widgets/window_page.h"

#include <QObject>
#include <QPointer>
#include <array>
#include <optional>

class QHelpEvent;

namespace qvr {

class PageHost;
class UserSession;
class SkinListBox;

// The "Button Assignment" section of the main window's left panel: eight
// rows of a title and a drop-down box showing the button's label, the
// function list of each button, the option lists beside it, the key and
// macro dialogs, and the highlight of the button in the mouse view. Every
// choice goes at once into the record and the label; Save sends them on.
class AssignmentSection : public QObject, public WindowPage {
    Q_OBJECT

  public:
    static constexpr QPoint kBodyAt{20, 127};
    static constexpr int kRowPitch = 20;
    static constexpr QRect rowTitleRect(int index) {
        return edges(31, 156 + kRowPitch * index, 115, 170 + kRowPitch * index);
    }
    static constexpr QRect boxRect(int index) {
        return edges(120, 154 + kRowPitch * index, 250, 170 + kRowPitch * index);
    }
    static constexpr QRect functionListRect(int index) {
        return edges(262, 154 + kRowPitch * index, 365, 384 + kRowPitch * index);
    }
    // Where an option list opens: beside the hovered entry (entry in the
    // function list's client coordinates) of the function list at list.
    static QRect optionListRect(OptionList option, QRect list, QRect entry);

    enum class BoxLook { Normal, Over, Leave };

    AssignmentSection(PageHost& host, UserSession& session);
    ~AssignmentSection() override;

    // Dialogs run through this; nothing set means modal runs.
    void setDialogRunner(ModalRunner* runner) { runner_ = runner; }

    bool isOpen() const;
    void toggle();
    // The handlers of a click in box index (0..7) and of any other click.
    void clickBox(int index);
    void closeListsOutside(QPoint position);
    void closeAllLists();

    // The hover look of the boxes for a pointer at a window position.
    void pointerAt(std::optional<QPoint> position);

    void hoverFunctionEntry(int index, int row);
    void chooseFunction(int index, int position);
    void chooseOption(OptionList option, int position);

    // At every full drawing of the window: the first-run labels of a profile
    // that has none yet, written to the settings file.
    void applyFirstRunLabels();

    void paintFace(QPainter& painter) override;
    // Before a reload the lists close; a full drawing also brings the
    // first-run labels.
    void closePopups() override;
    void profileDrawn() override;
    void press(ElementTable::Id id, QPoint at) override;

    SkinListBox* functionList(int index) const;
    SkinListBox* optionList(OptionList option) const;
    bool listOpen(int index) const;
    BoxLook boxLook(int index) const;
    // The button lit in the mouse view: the one whose list is open, else the
    // one whose box the pointer is over.
    std::optional<int> mouseViewHighlight() const;
    // A label too long for its box is shown shortened; the full text is the
    // box's tooltip.
    bool labelFits(int index) const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // What the page's place says while the page is not drawn; empty when
    // nothing is said there.
    QString absenceText() const;
    void addElements();
    void paintMouseView(QPainter& painter);
    void openFunctionList(int index);
    void destroyFunctionList(int index);
    void destroyOptionLists();
    void openOptionList(OptionList option, int index, int row);
    bool runDialog(SkinnedDialog& dialog);
    bool assignByDialog(int index, ButtonFunctionType type);
    bool anyFunctionList() const;
    void setLook(int index, BoxLook look);
    void showLabelTip(QHelpEvent& event);
    QRect labelRoom(int index) const;
    QFont labelFont(int index) const;

    PageHost& host_;
    // The window whose events the page filters; kept, since the host is
    // no longer one while the window is being destroyed.
    QObject* const face_;
    UserSession& session_;
    ElementActions actions_;
    ModalRunner* runner_ = nullptr;
    std::array<QPointer<SkinListBox>, 8> functionLists_{};
    std::array<QPointer<SkinListBox>, 5> optionLists_{};
    std::array<bool, 8> listOpen_{};
    std::array<bool, 8> highlighted_{};
    std::array<BoxLook, 8> looks_{};
    std::optional<int> hoveredBox_;
};

// Builds the section into the main window as one of its pages.
AssignmentSection& installAssignmentSection(PageHost& host, UserSession& session);

} // namespace qvr
