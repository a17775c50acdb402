#include "settings/settings_pages.h"

#include "app/main_window.h"
#include "ui/gdip_button.h"

#include <QLineEdit>
#include <iostream>

namespace qvr {

SettingsPages::SettingsPages(CMavloDlg& window, const SettingsPagesSetup& setup)
    : QObject(&window), sections_(new SettingsSections(window, *setup.colours)),
      actions_(new SettingsActions(window, *sections_, *setup.pointerCommands,
                                   setup.notes ? *setup.notes : std::cerr, setup.timings)) {}

SettingsPages& installSettingsPages(CMavloDlg& window, const SettingsPagesSetup& setup) {
    auto* pages = new SettingsPages(window, setup);
    SettingsSections& sections = pages->sections();
    SettingsActions& actions = pages->actions();

    ElementTable& table = window.elements();
    table[window.ids().save].onClick = [&actions](QPoint) { actions.ApplySettings(); };
    table[window.ids().reset].onClick = [&actions](QPoint) { actions.ResetToDefaults(); };
    table[window.ids().cancel].onClick = [&actions](QPoint) { actions.CancelChanges(); };

    window.takeDesktopPointerSettings = [&actions](ConfigRecord& record) {
        actions.takeDesktopPointerSettings(record);
    };

    window.addFacePainter([&sections](QPainter& painter) { sections.paint(painter); });

    // Other pages may hook these too; each keeps the earlier hook running.
    window.closePagePopups = [&sections, earlier = window.closePagePopups] {
        if (earlier)
            earlier();
        for (int stage = 0; stage < 4; ++stage)
            sections.dpiEdit(stage)->clearFocus();
        sections.rowsEdit()->clearFocus();
        sections.refresh();
    };
    window.scrollPanel = [&sections, earlier = window.scrollPanel](int thumbTop) {
        if (earlier)
            earlier(thumbTop);
        sections.scrollTo(thumbTop);
    };
    // Let go, the thumb rests at the end of the position it chose; queued
    // behind the moves the thumb posted.
    if (CGdipButton* thumb = window.scrollThumb()) {
        thumb->setReleasedHandler([&sections] {
            QMetaObject::invokeMethod(
                &sections, [&sections] { sections.scrollToPosition(sections.position()); },
                Qt::QueuedConnection);
        });
    }
    return *pages;
}

} // namespace qvr
