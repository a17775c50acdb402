#pragma once

#include "settings/settings_actions.h"
#include "settings/settings_sections.h"

#include <QObject>
#include <ostream>

namespace qvr {

class CMavloDlg;
class ColourDialog;
class CommandRunner;

// What the settings pages need from outside the window: the colour dialog
// and the runner of the desktop's settings programs (both replaced in
// tests), where to note settings the desktop lacks, and the timings.
struct SettingsPagesSetup {
    ColourDialog* colours = nullptr;
    CommandRunner* pointerCommands = nullptr;
    std::ostream* notes = nullptr; // none: standard error
    SettingsTimings timings{};
};

// The settings sections and the Save, Reset and Cancel buttons of one main
// window. Owned by the window.
class SettingsPages : public QObject {
    Q_OBJECT

  public:
    SettingsPages(CMavloDlg& window, const SettingsPagesSetup& setup);

    SettingsSections& sections() { return *sections_; }
    SettingsActions& actions() { return *actions_; }

  private:
    SettingsSections* sections_;
    SettingsActions* actions_;
};

// Builds the pages into the window: their rectangles, their painting, the
// three buttons' handlers, the panel scrolling and the closing of their
// edit boxes. The colour dialog and the runner must outlive the window.
SettingsPages& installSettingsPages(CMavloDlg& window, const SettingsPagesSetup& setup);

} // namespace qvr
