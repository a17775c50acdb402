#include "settings/settings_actions.h"

#include "app/main_window.h"
#include "app/notification_text.h"
#include "app/profile_session.h"
#include "config/profile_list.h"
#include "settings/pointer_values.h"
#include "settings/settings_sections.h"
#include "ui/qt_fonts.h"

#include <memory>
#include <mutex>
#include <vector>

namespace qvr {

SettingsActions::SettingsActions(CMavloDlg& window, SettingsSections& sections,
                                 PointerDesktop& pointerDesktop, std::ostream& notes,
                                 SettingsTimings timings)
    : QObject(&window), window_(window), sections_(sections), pointer_(pointerDesktop, notes) {
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
    // The files are written at the press; edits made while the upload runs
    // belong to the next Save.
    const std::optional<bool> written = window_.profileSession().writeProfile();
    if (!written)
        return;
    const RecordState& state = window_.state();
    Upload upload{state.record, state.pointerChanges, *written};
    // One upload waits at most: the newest press is what the mouse must end
    // up with.
    if (inFlight_)
        waiting_ = std::move(upload);
    else
        startUpload(std::move(upload));
}

void SettingsActions::startUpload(Upload upload) {
    inFlight_ = std::move(upload);
    window_.setSaveProgress({SaveProgress::Phase::Uploading, 0, 0});
    inFlightTicket_ = window_.deviceThread().upload(inFlight_->record);
}

void SettingsActions::uploadFinished(int ticket, bool received) {
    if (!inFlight_ || ticket != inFlightTicket_)
        return;
    const Upload done = std::move(*inFlight_);
    inFlight_.reset();
    using Phase = SaveProgress::Phase;
    window_.setSaveProgress({!done.written ? Phase::NotWritten
                             : received    ? Phase::Saved
                                           : Phase::NotReceived,
                             0, 0});
    // The user must not take the mouse to hold what it never received.
    if (!received)
        window_.showDeviceNotification(kNotifyNotDetected, 0);
    ApplyPointerSettings(done.record, done.pointerChanges);
    if (waiting_) {
        Upload next = std::move(*waiting_);
        waiting_.reset();
        startUpload(std::move(next));
    }
    emit saveFinished(received, done.written);
}

void SettingsActions::ApplySettings() {
    if (applyBusy_)
        return;
    applyBusy_ = true;
    if (window_.link().devicePresent == 1) {
        showWaitCursor(saveCursorTimer_);
        uploadAndApply();
    } else {
        saveWithoutMouse();
    }
    applyBusyTimer_.start();
}

void SettingsActions::saveWithoutMouse() {
    // The files keep the edits; the session sends them when the mouse comes
    // back. As after an upload the mouse missed, the user is told.
    const std::optional<bool> written = window_.profileSession().writeProfile();
    if (!written)
        return;
    // Older than this press: the mouse must end up with the files.
    waiting_.reset();
    using Phase = SaveProgress::Phase;
    window_.setSaveProgress({*written ? Phase::NotReceived : Phase::NotWritten, 0, 0});
    window_.showDeviceNotification(kNotifyNotDetected, 0);
    const RecordState& state = window_.state();
    ApplyPointerSettings(state.record, state.pointerChanges);
    emit saveFinished(false, *written);
}

bool SettingsActions::resetConfirmed() {
    const ProfileFiles& files = window_.profile();
    const std::vector<std::string> names = readProfileList(files.globalSettingsPath()).names;
    const int position = files.currentProfileIndex();
    const QString name = position >= 0 && position < static_cast<int>(names.size())
                             ? QString::fromStdString(names[static_cast<std::size_t>(position)])
                             : QString::number(position + 1);
    const ProfileFileTexts& texts = profileFileTexts(window_.language());
    return window_.messages().confirm(
        qstr(texts.resetQuestion).arg(name).toStdString(), kApplicationTitle,
        {std::string(window_.texts().reset), std::string(texts.cancelChoice)});
}

void SettingsActions::ResetToDefaults() {
    if (!resetConfirmed())
        return;
    showWaitCursor(resetCursorTimer_);
    window_.profile().resetToDefaults(window_.state());
    // The factory pointer fields are no choice of the user's: show the
    // desktop's own, which a Save then leaves alone.
    takeDesktopPointerSettings(window_.state().record);
    if (window_.link().devicePresent == 1)
        uploadAndApply();
    window_.closePagePopups();
    sections_.closeAll();
    window_.update();
}

void SettingsActions::CancelChanges() {
    window_.state().restoreSnapshot();
    window_.reloadOnReopen = true;
    window_.hideToTray();
}

void SettingsActions::ApplyPointerSettings(const ConfigRecord& record,
                                           const PointerChanges& changes) {
    // A desktop's settings store may take its time (dconf writes over the
    // session bus), so this runs on the device thread, in turn after the
    // upload.
    auto result = std::make_shared<PointerApplyResult>();
    window_.deviceThread().request(
        [this, result, values = pointerValuesFor(record), changes] {
            std::lock_guard lock(pointerMutex_);
            *result = pointer_.apply(values, changes);
        },
        [this, result] {
            for (const PointerFailure& failure : result->failures)
                window_.messages().showMessage(failure.text, failure.caption);
            const PointerSettingTexts& texts = pointerSettingTexts(window_.language());
            for (const PointerSetting setting : result->missing) {
                const std::string_view text =
                    setting == PointerSetting::MouseParameters    ? texts.noAcceleration
                    : setting == PointerSetting::PointerSpeed     ? texts.noSpeed
                    : setting == PointerSetting::WheelScrollLines ? texts.noScrollLines
                                                                  : texts.noDoubleClick;
                window_.messages().showMessage(std::string(text), std::string(texts.caption));
            }
        });
}

void SettingsActions::takeDesktopPointerSettings(ConfigRecord& record) {
    std::lock_guard lock(pointerMutex_);
    pointer_.takeDesktopValues(record);
}

} // namespace qvr
