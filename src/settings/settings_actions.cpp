#include "settings/settings_actions.h"

#include "app/main_window.h"
#include "app/notification_text.h"
#include "settings/pointer_values.h"
#include "settings/settings_sections.h"

#include <memory>
#include <vector>

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
    connect(&window_.deviceThread(), &DeviceThread::uploadFinished, this,
            &SettingsActions::uploadFinished);
    connect(&window_.deviceThread(), &DeviceThread::uploadProgress, this,
            [this](int done, int total) {
                if (inFlight_)
                    window_.setSaveProgress({SaveProgress::Phase::Uploading, done, total});
            });
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
    ConfigRecord& record = window_.state().record;
    // The upload leaves the mouse on its first slot.
    record.activeProfile = 0;
    ProfileSnapshot snapshot = takeProfileSnapshot(window_.profile(), record);
    if (inFlight_)
        pending_ = std::move(snapshot);
    else
        startUpload(std::move(snapshot));
}

void SettingsActions::startUpload(ProfileSnapshot snapshot) {
    inFlight_ = std::move(snapshot);
    window_.setSaveProgress({SaveProgress::Phase::Uploading, 0, 0});
    window_.deviceThread().upload(inFlight_->record);
}

void SettingsActions::uploadFinished(bool received) {
    if (!inFlight_)
        return;
    const ProfileSnapshot done = std::move(*inFlight_);
    inFlight_.reset();
    // The files are saved either way; the user must not take the mouse to
    // hold what it never received.
    ProfileFiles& files = window_.profile();
    const bool written = saveProfileSnapshot(files, done);
    if (done.profileIndex == files.currentProfileIndex())
        window_.state().appliedRecord = done.record;
    using Phase = SaveProgress::Phase;
    window_.setSaveProgress({!written   ? Phase::NotWritten
                             : received ? Phase::Saved
                                        : Phase::NotReceived,
                             0, 0});
    if (!received)
        window_.showDeviceNotification(kNotifyNotDetected, 0);
    ApplyPointerSettings(done.record);
    if (pending_) {
        ProfileSnapshot next = std::move(*pending_);
        pending_.reset();
        startUpload(std::move(next));
    }
    emit saveFinished(received, written);
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

void SettingsActions::ApplyPointerSettings(const ConfigRecord& record) {
    // The desktop's settings programs take tens of milliseconds each.
    auto failures = std::make_shared<std::vector<PointerFailure>>();
    window_.deviceThread().run(
        [this, failures, values = pointerValuesFor(record)] { *failures = pointer_.apply(values); },
        [this, failures] {
            for (const PointerFailure& failure : *failures)
                window_.messages().showMessage(failure.text, failure.caption);
        });
}

} // namespace qvr
