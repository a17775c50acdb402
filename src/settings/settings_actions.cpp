#include "settings/settings_actions.h"

#include "app/main_window.h"
#include "app/notification_text.h"
#include "app/profile_session.h"
#include "settings/pointer_values.h"
#include "settings/settings_sections.h"

namespace qvr {

SettingsActions::SettingsActions(CMavloDlg& window, SettingsSections& sections,
                                 CommandRunner& pointerCommands, std::ostream& notes,
                                 SettingsTimings timings)
    : QObject(&window), window_(window), sections_(sections), pointer_(pointerCommands, notes) {
    applyBusyTimer_.setSingleShot(true);
    applyBusyTimer_.setInterval(timings.applyBusy);
    connect(&applyBusyTimer_, &QTimer::timeout, this, [this] { applyBusy_ = false; });
    for (QTimer* cursor : {&resetCursorTimer_, &saveCursorTimer_}) {
        cursor->setSingleShot(true);
        cursor->setInterval(timings.waitCursor);
        connect(cursor, &QTimer::timeout, this, [this, cursor] { endWaitCursor(*cursor); });
    }
}

bool SettingsActions::waitCursorShown() const {
    return window_.cursor().shape() == Qt::WaitCursor;
}

void SettingsActions::showWaitCursor(QTimer& until) {
    window_.setCursor(Qt::WaitCursor);
    until.start();
}

void SettingsActions::endWaitCursor(QTimer& timer) {
    timer.stop();
    window_.setCursor(Qt::ArrowCursor);
}

void SettingsActions::uploadAndApply() {
    if (window_.profileSession().saveProfile())
        ApplyPointerSettings();
}

void SettingsActions::ApplySettings() {
    if (applyBusy_)
        return;
    applyBusy_ = true;
    if (window_.link().devicePresent == 1) {
        showWaitCursor(saveCursorTimer_);
        uploadAndApply();
    } else {
        // Nothing reaches the mouse or the files; say so rather than let the
        // press look like a save.
        window_.showDeviceNotification(kNotifyNotDetected, 0);
    }
    applyBusyTimer_.start();
}

void SettingsActions::ResetToDefaults() {
    showWaitCursor(resetCursorTimer_);
    window_.profile().resetToDefaults(window_.state());
    // The factory pointer fields are no choice of the user's: show the
    // desktop's own, which a Save then leaves alone.
    takeDesktopPointerSettings(window_.state().record);
    if (window_.link().devicePresent == 1)
        uploadAndApply();
    if (window_.closePagePopups)
        window_.closePagePopups();
    sections_.closeAll();
    window_.update();
}

void SettingsActions::CancelChanges() {
    window_.state().restoreSnapshot();
    window_.reloadOnReopen = true;
    window_.hideToTray();
}

void SettingsActions::ApplyPointerSettings() {
    const RecordState& state = window_.state();
    const PointerApplyResult result =
        pointer_.apply(pointerValuesFor(state.record), state.pointerChanges);
    for (const PointerFailure& failure : result.failures)
        window_.messages().showMessage(failure.text, failure.caption);
    const PointerSettingTexts& texts = pointerSettingTexts(window_.language());
    for (const PointerSetting setting : result.missing) {
        const std::string_view text =
            setting == PointerSetting::MouseParameters    ? texts.noAcceleration
            : setting == PointerSetting::PointerSpeed     ? texts.noSpeed
            : setting == PointerSetting::WheelScrollLines ? texts.noScrollLines
                                                          : texts.noDoubleClick;
        window_.messages().showMessage(std::string(text), std::string(texts.caption));
    }
}

void SettingsActions::takeDesktopPointerSettings(ConfigRecord& record) {
    pointer_.takeDesktopValues(record);
}

} // namespace qvr
