#include "gui/settings/settings_pages.h"

#include "gui/session/profile_session.h"
#include "gui/session/user_session.h"
#include "gui/widgets/page_host.h"
#include "gui/widgets/skinned_window.h"

#include <QLineEdit>
#include <iostream>

namespace qvr {

SettingsPages::SettingsPages(PageHost& host, UserSession& session, const SettingsPagesSetup& setup)
    : QObject(&host.face()), sections_(new SettingsSections(host, session, *setup.colours, *this)),
      actions_(new SettingsActions(host, session, *sections_, *setup.pointerDesktop,
                                   setup.notes ? *setup.notes : std::cerr, setup.timings)) {}

void SettingsPages::press(ElementTable::Id id, QPoint at) {
    sections_->press(id, at);
}

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

SettingsPages& installSettingsPages(PageHost& host, UserSession& session,
                                    const SettingsPagesSetup& setup) {
    auto* pages = new SettingsPages(host, session, setup);
    session.setEditCommands(&pages->actions());
    session.setDesktopPointer(&pages->actions());
    host.addPage(*pages);
    return *pages;
}

} // namespace qvr
