#include "settings/settings_pages.h"

#include "app/main_window.h"

#include <QLineEdit>
#include <iostream>

namespace qvr {

SettingsPages::SettingsPages(CMavloDlg& window, const SettingsPagesSetup& setup)
    : QObject(&window), sections_(new SettingsSections(window, *setup.colours)),
      actions_(new SettingsActions(window, *sections_, *setup.pointerDesktop,
                                   setup.notes ? *setup.notes : std::cerr, setup.timings)) {}

void SettingsPages::paintFace(QPainter& painter) {
    sections_->paint(painter);
}

void SettingsPages::languageChanged() {
    sections_->languageChanged();
}

void SettingsPages::closePopups() {
    for (int stage = 0; stage < 4; ++stage)
        sections_->dpiEdit(stage)->clearFocus();
    sections_->rowsEdit()->clearFocus();
    sections_->refresh();
}

void SettingsPages::scrollPanel(int thumbTop) {
    sections_->scrollTo(thumbTop);
}

void SettingsPages::panelScrollReleased() {
    // Let go, the thumb rests at the end of the position it chose.
    sections_->scrollToPosition(sections_->position());
}

void SettingsPages::takeDesktopPointerSettings(ConfigRecord& record) {
    actions_->takeDesktopPointerSettings(record);
}

SettingsPages& installSettingsPages(CMavloDlg& window, const SettingsPagesSetup& setup) {
    auto* pages = new SettingsPages(window, setup);
    SettingsActions& actions = pages->actions();

    ElementTable& table = window.elements();
    table[window.ids().save].onClick = [&actions](QPoint) { actions.ApplySettings(); };
    table[window.ids().reset].onClick = [&actions](QPoint) { actions.ResetToDefaults(); };
    table[window.ids().cancel].onClick = [&actions](QPoint) { actions.CancelChanges(); };
    window.addPage(*pages);
    return *pages;
}

} // namespace qvr
