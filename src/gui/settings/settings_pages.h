#pragma once

#include "gui/settings/settings_actions.h"
#include "gui/settings/settings_sections.h"
#include "gui/widgets/window_page.h"

#include <QObject>
#include <ostream>

namespace qvr {

class PageHost;
class UserSession;
class ColourDialog;
class PointerDesktop;

// What the settings pages need from outside the window: the colour dialog
// and the desktop's pointer settings (both replaced in tests), where to note
// settings the desktop lacks, and the timings.
struct SettingsPagesSetup {
    ColourDialog* colours = nullptr;
    PointerDesktop* pointerDesktop = nullptr;
    std::ostream* notes = nullptr; // none: standard error
    SettingsTimings timings{};
};

// The settings sections and the Save, Reset and Cancel buttons of one main
// window. Owned by the window.
class SettingsPages : public QObject, public WindowPage {
    Q_OBJECT

  public:
    SettingsPages(PageHost& host, UserSession& session, const SettingsPagesSetup& setup);

    SettingsSections& sections() { return *sections_; }
    SettingsActions& actions() { return *actions_; }

    void press(ElementTable::Id id, QPoint at) override;
    void paintFace(QPainter& painter) override;
    void closePopups() override;
    void languageChanged() override;
    void scrollPanel(int thumbTop) override;
    void panelScrollReleased() override;
    void takeDesktopPointerSettings(ConfigRecord& record) override;

  private:
    SettingsSections* sections_;
    SettingsActions* actions_;
};

// Builds the pages into the window: the three buttons' handlers and the
// pages themselves. The colour dialog and the pointer desktop must outlive
// the window.
SettingsPages& installSettingsPages(PageHost& host, UserSession& session,
                                    const SettingsPagesSetup& setup);

} // namespace qvr
