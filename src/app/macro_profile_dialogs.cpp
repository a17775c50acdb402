#include "app/macro_profile_dialogs.h"

#include "app/auto_profile_switch.h"
#include "app/main_window.h"
#include "app/profile_session.h"
#include "config/factory_files.h"
#include "macros/macro_editing.h"
#include "ui/language_tables.h"
#include "ui/qt_fonts.h"
#include "ui/window_placement.h"

#include <QEvent>
#include <algorithm>

namespace qvr {

namespace {

constexpr int kMacroBarTitleIndent = 10;
// The profile manager lies over the main window's left panel, ending just
// above the Config button.
constexpr QPoint kProfileManagerOffset{10, 5};

} // namespace

MacroProfileDialogs::MacroProfileDialogs(CMavloDlg& window)
    : QObject(&window), window_(window), runner_(std::make_unique<EventLoopRunner>()),
      files_(std::make_unique<QtFileDialogs>()) {
    macroBar_ = window_.elements().add({.rect = window_.leftPanel.macroBar(),
                                        .image = "/MacroManagementBK.png",
                                        .label = qstr(window_.texts().macroManager),
                                        .align = LabelAlign::LeftIndented,
                                        .labelIndent = kMacroBarTitleIndent,
                                        .onClick = [this](QPoint) { openMacroManager(); },
                                        .stage = ClickStage::PanelButtons,
                                        .follow = [this] { return window_.leftPanel.macroBar(); }});
    window_.elements()[window_.ids().config].onClick = [this](QPoint) { openProfileManager(); };
}

MacroProfileDialogs::~MacroProfileDialogs() {
    if (profileManager_)
        delete profileManager_.data();
}

void MacroProfileDialogs::languageChanged() {
    window_.elements()[macroBar_].label = qstr(window_.texts().macroManager);
    if (profileManager_)
        profileManager_->setLanguage(window_.language());
}

void MacroProfileDialogs::openMacroManager() {
    MacroManagerSetup setup;
    setup.skin = window_.sharedSkin();
    setup.messages = &window_.messages();
    setup.language = window_.language();
    setup.textColor = window_.textColor();
    setup.storePath = window_.profile().macroStorePath();
    setup.memory = &recorderMemory_;
    setup.tick = tick_;
    CMacroProgramDialog dialog(std::move(setup));
    if (dialog.finished())
        return; // no background: the message has been shown
    centreOverOwner(dialog, &window_);
    RecordState& state = window_.state();
    ConfigRecord& record = state.record;
    const MacroStore store(window_.profile().macroStorePath());
    // Named before the run: the store's order is the guess only as it was
    // when the table was loaded.
    window_.profileSession().macroTableNames();
    const DialogResult result = runner_->run(dialog);
    for (const auto& [oldName, newName] : dialog.renames()) {
        // A renamed macro keeps its images, in this record and in every
        // profile's files.
        for (auto* names : {&state.macroTableNames, &state.appliedMacroTableNames}) {
            if (*names)
                renameInList(**names, oldName, newName);
        }
        const FileWriteResult renamed =
            renameMacroInProfiles(window_.profile().userFolder(), oldName, newName);
        if (!renamed.ok())
            window_.messages().showMessage(writeErrorMessage(renamed),
                                           std::string(kWriteErrorCaption));
    }
    if (result != DialogResult::Ok || !dialog.table())
        return;
    // The new table and the numbers change together, so that every button
    // goes on playing the macro it was given, however saves reordered them.
    MacroTableNames storeNames = store.names();
    const std::vector<int> restored = remapMacroNumbers(
        record, window_.profileSession().macroTableNames(), storeNames, factoryRecord());
    const auto factoryLabels = defaultButtonLabels(window_.language());
    for (const int button : restored) {
        const auto at = static_cast<std::size_t>(button);
        window_.profile().labels()[at] = std::string(factoryLabels[at]);
    }
    record.macroData = *dialog.table();
    storeNames.resize(std::min(storeNames.size(), static_cast<std::size_t>(kMacroCount)));
    state.macroTableNames = std::move(storeNames);
    window_.update();
}

std::vector<std::string> MacroProfileDialogs::tableMacroNames() {
    std::vector<std::string> names = window_.profileSession().macroTableNames();
    names.resize(std::min(names.size(), static_cast<std::size_t>(kMacroCount)));
    return names;
}

std::vector<MacroKeyChoice> MacroProfileDialogs::macroKeyChoices() {
    const std::vector<std::string> table = tableMacroNames();
    const std::vector<std::string> storeNames =
        MacroStore(window_.profile().macroStorePath()).names();
    std::vector<MacroKeyChoice> choices;
    for (const int position : tablePositionsInStoreOrder(table, storeNames))
        choices.push_back(
            {table[static_cast<std::size_t>(position)], static_cast<std::uint8_t>(position)});
    return choices;
}

void MacroProfileDialogs::openProfileManager() {
    if (profileManager_)
        return;
    ProfileManagerSetup setup;
    setup.skin = window_.sharedSkin();
    setup.messages = &window_.messages();
    setup.language = window_.language();
    setup.textColor = window_.textColor();
    setup.profile = &window_.profile();
    setup.host = &window_.profileSession();
    setup.slotFault = slotFault_;
    setup.post = [this](ProfileCommand command, int position) {
        // Posted, as the window message is: the dialog's handler ends first.
        QMetaObject::invokeMethod(
            this, [this, command, position] { runProfileCommand(command, position); },
            Qt::QueuedConnection);
    };
    setup.openAutoSwitch = [this](QWidget* owner) {
        if (auto* autoSwitch = window_.findChild<AutoProfileSwitch*>())
            autoSwitch->openRules(owner);
    };
    auto* dialog = new CConfigDialog(std::move(setup));
    if (!dialog->created()) {
        delete dialog;
        return;
    }
    profileManager_ = dialog;
    placeOverOwner(*dialog, &window_, kProfileManagerOffset);
    dialog->show();
}

void MacroProfileDialogs::runProfileCommand(ProfileCommand command, int position) {
    ProfileFiles& profile = window_.profile();
    ProfileSession& session = window_.profileSession();
    switch (command) {
    case ProfileCommand::Import:
        // The import belongs to the selected profile, which becomes the
        // window's; what the window held is asked about first.
        if (const auto path = chooseImport(*files_, &window_, profile)) {
            if (session.switchProfile(position) && profile.ImportProfile(*path, window_.state()))
                session.markImported();
        }
        break;
    case ProfileCommand::Export:
        if (const auto path = chooseExport(*files_, &window_, profile)) {
            if (position == session.windowProfile())
                profile.ExportProfile(*path, window_.state().record, session.macroTableNames());
            else
                profile.ExportSavedProfile(*path, position);
        }
        break;
    case ProfileCommand::Redraw:
        window_.closePagePopups();
        break;
    }
    window_.update();
}

} // namespace qvr
