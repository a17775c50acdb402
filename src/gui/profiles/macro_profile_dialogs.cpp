#include "gui/profiles/macro_profile_dialogs.h"

#include "core/macros/macro_editing.h"
#include "core/profiles/factory_files.h"
#include "core/text/language_tables.h"
#include "gui/session/auto_profile_switch.h"
#include "gui/session/profile_session.h"
#include "gui/session/user_session.h"
#include "gui/widgets/page_host.h"
#include "gui/widgets/qt_fonts.h"
#include "gui/widgets/skinned_window.h"
#include "gui/widgets/window_placement.h"

#include <QEvent>
#include <algorithm>

namespace qvr {

namespace {

constexpr int kMacroBarTitleIndent = 10;
// The profile manager lies over the main window's left panel, ending just
// above the Config button.
constexpr QPoint kProfileManagerOffset{10, 5};

} // namespace

MacroProfileDialogs::MacroProfileDialogs(PageHost& host, UserSession& session)
    : QObject(&host.face()), host_(host), session_(session),
      runner_(std::make_unique<EventLoopRunner>()), files_(std::make_unique<QtFileDialogs>()) {
    macroBar_ = actions_.add(host_.face().elements(), *this,
                             {.rect = host_.leftPanel().macroBar(),
                              .image = "/MacroManagementBK.png",
                              .label = qstr(host_.texts().macroManager),
                              .align = LabelAlign::LeftIndented,
                              .labelIndent = kMacroBarTitleIndent,
                              .stage = ClickStage::PanelButtons,
                              .follow = [this] { return host_.leftPanel().macroBar(); }},
                             [this](QPoint) { openMacroManager(); });
}

void MacroProfileDialogs::press(ElementTable::Id id, QPoint at) {
    actions_.press(id, at);
}

MacroProfileDialogs::~MacroProfileDialogs() {
    if (profileManager_)
        delete profileManager_.data();
}

void MacroProfileDialogs::languageChanged() {
    host_.face().elements()[macroBar_].label = qstr(host_.texts().macroManager);
    if (profileManager_)
        profileManager_->setLanguage(host_.language());
}

void MacroProfileDialogs::openMacroManager() {
    MacroManagerSetup setup;
    setup.skin = host_.face().sharedSkin();
    setup.messages = &session_.messages();
    setup.language = host_.language();
    setup.textColor = host_.face().textColor();
    setup.storePath = session_.profile().macroStorePath();
    setup.memory = &recorderMemory_;
    setup.tick = tick_;
    // Every profile's table keeps naming a renamed macro, in the same
    // transaction as the store.
    setup.renameAlongside = [folder = session_.profile().userFolder()](std::string_view oldName,
                                                                       std::string_view newName) {
        return macroRenameInProfiles(folder, oldName, newName);
    };
    MacroManagerDialog dialog(std::move(setup));
    if (dialog.finished())
        return; // no background: the message has been shown
    centreOverOwner(dialog, &host_.face());
    RecordState& state = session_.state();
    ConfigRecord& record = state.record;
    const MacroStore store(session_.profile().macroStorePath());
    // Named before the run: the store's order is the guess only as it was
    // when the table was loaded.
    (*session_.profiles()).macroTableNames();
    const DialogResult result = runner_->run(dialog);
    for (const auto& [oldName, newName] : dialog.renames()) {
        // A renamed macro keeps its images in this record too; the
        // profiles' files changed with the store.
        for (auto* names : {&state.macroTableNames, &state.appliedMacroTableNames}) {
            if (*names)
                renameInList(**names, oldName, newName);
        }
    }
    if (result != DialogResult::Ok || !dialog.table())
        return;
    // The new table and the numbers change together, so that every button
    // goes on playing the macro it was given, however saves reordered them.
    MacroTableNames storeNames = store.names();
    const std::vector<int> restored = remapMacroNumbers(
        record, (*session_.profiles()).macroTableNames(), storeNames, factoryRecord());
    const auto factoryLabels = defaultButtonLabels(host_.language());
    for (const int button : restored) {
        const auto at = static_cast<std::size_t>(button);
        session_.profile().labels()[at] = std::string(factoryLabels[at]);
    }
    record.macroData = *dialog.table();
    storeNames.resize(std::min(storeNames.size(), static_cast<std::size_t>(kMacroCount)));
    state.macroTableNames = std::move(storeNames);
    host_.redraw();
}

std::vector<std::string> MacroProfileDialogs::tableMacroNames() {
    return session_.profiles()->tableMacroNames();
}

std::vector<MacroKeyChoice> MacroProfileDialogs::macroKeyChoices() {
    return session_.profiles()->macroKeyChoices();
}

void MacroProfileDialogs::openProfileManager() {
    if (profileManager_)
        return;
    ProfileManagerSetup setup;
    setup.skin = host_.face().sharedSkin();
    setup.messages = &session_.messages();
    setup.language = host_.language();
    setup.textColor = host_.face().textColor();
    setup.profile = &session_.profile();
    setup.host = &(*session_.profiles());
    setup.slotFault = slotFault_;
    setup.post = [this](ProfileCommand command, int position) {
        // Posted, as the window message is: the dialog's handler ends first.
        QMetaObject::invokeMethod(
            this, [this, command, position] { runProfileCommand(command, position); },
            Qt::QueuedConnection);
    };
    setup.openAutoSwitch = [this](QWidget* owner) {
        if (auto* autoSwitch = host_.face().findChild<AutoProfileSwitch*>())
            autoSwitch->openRules(owner);
    };
    auto* dialog = new ProfileManagerDialog(std::move(setup));
    if (!dialog->created()) {
        delete dialog;
        return;
    }
    profileManager_ = dialog;
    placeOverOwner(*dialog, &host_.face(), kProfileManagerOffset);
    dialog->show();
    // A tool window is not given the keyboard by every window manager (nor
    // without one); whoever opened it, by key or pointer, works in it next.
    dialog->raise();
    dialog->activateWindow();
}

void MacroProfileDialogs::runProfileCommand(ProfileCommand command, int position) {
    ProfileFiles& profile = session_.profile();
    ProfileSession& session = (*session_.profiles());
    switch (command) {
    case ProfileCommand::Import:
        // The import belongs to the selected profile, which becomes the
        // window's; what the window held is asked about first.
        if (const auto path = chooseImport(*files_, &host_.face(), profile)) {
            if (session.switchProfile(position) && profile.importProfile(*path, session_.state()))
                session.markImported();
        }
        break;
    case ProfileCommand::Export:
        if (const auto path = chooseExport(*files_, &host_.face(), profile)) {
            if (position == session.windowProfile())
                profile.exportProfile(*path, session_.state().record, session.macroTableNames());
            else
                profile.exportSavedProfile(*path, position);
        }
        break;
    case ProfileCommand::Redraw:
        host_.closePagePopups();
        break;
    }
    host_.redraw();
}

} // namespace qvr
