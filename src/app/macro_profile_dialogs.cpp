#include "app/macro_profile_dialogs.h"

#include "app/main_window.h"
#include "macros/macro_editing.h"
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
    ConfigRecord& record = window_.state().record;
    const MacroStore store(window_.profile().macroStorePath());
    learnTableOrder(store.names());
    const DialogResult result = runner_->run(dialog);
    for (const auto& [oldName, newName] : dialog.renames())
        renameInList(tableNames_, oldName, newName);
    tableKnown_ = true;
    knownTable_ = record.macroData;
    if (result != DialogResult::Ok || !dialog.table())
        return;
    // The new table and the numbers change together, so that every button
    // goes on playing the macro it was given, however saves reordered them.
    const std::vector<std::string> storeNames = store.names();
    remapMacroNumbers(record, tableNames_, storeNames);
    record.macroData = *dialog.table();
    tableNames_ = storeNames;
    knownTable_ = record.macroData;
    window_.update();
}

void MacroProfileDialogs::learnTableOrder(const std::vector<std::string>& storeNames) {
    const ConfigRecord& record = window_.state().record;
    if (!tableKnown_ || record.macroData != knownTable_)
        tableNames_ = storeNames;
    tableKnown_ = true;
    knownTable_ = record.macroData;
}

int MacroProfileDialogs::macroNumberFor(int storePosition) {
    const MacroStore store(window_.profile().macroStorePath());
    const std::vector<std::string> names = store.names();
    learnTableOrder(names);
    if (storePosition < 0 || storePosition >= static_cast<int>(names.size()))
        return storePosition;
    const auto inTable = std::find(tableNames_.begin(), tableNames_.end(), names[storePosition]);
    if (inTable != tableNames_.end())
        return static_cast<int>(inTable - tableNames_.begin());
    const auto table = buildMacroTable(window_.profile().macroStorePath());
    if (!table)
        return storePosition; // the store cannot be read: keep what the dialog said
    ConfigRecord& record = window_.state().record;
    remapMacroNumbers(record, tableNames_, names);
    record.macroData = *table;
    tableNames_ = names;
    knownTable_ = record.macroData;
    return storePosition;
}

int MacroProfileDialogs::storePositionOf(int macroNumber) {
    const std::vector<std::string> names = MacroStore(window_.profile().macroStorePath()).names();
    learnTableOrder(names);
    if (macroNumber < 0 || macroNumber >= static_cast<int>(tableNames_.size()))
        return macroNumber;
    const auto inStore = std::find(names.begin(), names.end(), tableNames_[macroNumber]);
    return inStore != names.end() ? static_cast<int>(inStore - names.begin()) : macroNumber;
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
    setup.post = [this](ProfileCommand command, int position) {
        // Posted, as the window message is: the dialog's handler ends first.
        QMetaObject::invokeMethod(
            this, [this, command, position] { runProfileCommand(command, position); },
            Qt::QueuedConnection);
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

void MacroProfileDialogs::runProfileCommand(ProfileCommand command, int) {
    switch (command) {
    case ProfileCommand::Import:
        ImportProfile(*files_, &window_, window_.profile(), window_.state());
        break;
    case ProfileCommand::Export:
        ExportProfile(*files_, &window_, window_.profile(), window_.state().record);
        break;
    case ProfileCommand::Redraw:
        if (window_.closePagePopups)
            window_.closePagePopups();
        break;
    }
    window_.update();
}

} // namespace qvr
