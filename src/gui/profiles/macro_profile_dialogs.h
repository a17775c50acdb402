#pragma once

#include "core/macros/macro_editing.h"
#include "gui/macros/macro_manager_dialog.h"
#include "gui/profiles/profile_manager_dialog.h"
#include "gui/session/profile_transfer.h"
#include "gui/widgets/element_actions.h"
#include "gui/widgets/modal_runner.h"
#include "gui/widgets/window_page.h"

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <memory>

namespace qvr {

class PageHost;
class UserSession;

// The macro manager bar of the left panel, the Config button, and the import
// and export the profile manager asks for, wired into the main window.
class MacroProfileDialogs final : public QObject, public WindowPage {
    Q_OBJECT

  public:
    MacroProfileDialogs(PageHost& host, UserSession& session);
    ~MacroProfileDialogs() override;

    // Tests answer the dialogs themselves.
    void setRunner(std::unique_ptr<ModalRunner> runner) { runner_ = std::move(runner); }
    void setFileDialogs(std::unique_ptr<FileDialogs> files) { files_ = std::move(files); }
    void setTick(std::function<std::uint32_t()> tick) { tick_ = std::move(tick); }
    // Tests interrupt the profile manager's file changes with this.
    void setSlotFault(SlotFault fault) { slotFault_ = std::move(fault); }

    ElementTable::Id macroBar() const { return macroBar_; }

    // The macro bar's click: runs the macro manager; after OK its table and
    // the kept-in-step macro numbers go into the record.
    void openMacroManager();
    // The Config button's click; nothing while the profile manager is open.
    void openProfileManager();
    ProfileManagerDialog* profileManager() const { return profileManager_; }
    // The macro bar's title and an open profile manager follow the window's
    // new language.
    void languageChanged() override;
    void press(ElementTable::Id id, QPoint at) override;
    // The profile manager's requests.
    void runProfileCommand(ProfileCommand command, int position);

    // The names of the macros in the record's table, by macro number (at
    // most twelve). The table changes only with the macro manager's OK, so
    // that edits the user cancelled there never reach the mouse.
    std::vector<std::string> tableMacroNames();
    // What the macro key dialog offers: the table's macros in the macro
    // manager's order, each with its table position.
    std::vector<MacroKeyChoice> macroKeyChoices();

  private:
    PageHost& host_;
    UserSession& session_;
    ElementActions actions_;
    ElementTable::Id macroBar_ = 0;
    std::unique_ptr<ModalRunner> runner_;
    std::unique_ptr<FileDialogs> files_;
    std::function<std::uint32_t()> tick_;
    SlotFault slotFault_;
    RecorderMemory recorderMemory_;
    QPointer<ProfileManagerDialog> profileManager_;
};

} // namespace qvr
