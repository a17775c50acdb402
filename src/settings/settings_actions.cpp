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
            [this](int ticket, bool received) { uploadEnded(ticket, received); });
    connect(&window_.deviceThread(), &DeviceThread::uploadSkipped, this,
            [this](int ticket) { uploadEnded(ticket, std::nullopt); });
    connect(&window_.deviceThread(), &DeviceThread::uploadProgress, this,
            [this](int done, int total) {
                if (!uploads_.empty())
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
    const int ticket = window_.deviceThread().upload(state.record);
    uploads_.emplace(ticket, Upload{state.record, state.pointerChanges, *written});
    window_.setSaveProgress({SaveProgress::Phase::Uploading, 0, 0});
}

namespace {

void addChanges(PointerChanges& into, const PointerChanges& from) {
    into.speed |= from.speed;
    into.doubleClick |= from.doubleClick;
    into.scrollLines |= from.scrollLines;
    into.precision |= from.precision;
}

} // namespace

void SettingsActions::uploadEnded(int ticket, std::optional<bool> received) {
    const auto found = uploads_.find(ticket);
    if (found == uploads_.end())
        return;
    const Upload done = std::move(found->second);
    const auto newer = uploads_.erase(found);
    // The desktop takes the newest press's values once, not each older
    // press's values in between.
    if (newer != uploads_.end())
        addChanges(newer->second.pointerChanges, done.pointerChanges);
    else
        ApplyPointerSettings(done.record, done.pointerChanges);
    if (!uploads_.empty())
        return;
    using Phase = SaveProgress::Phase;
    if (!received) {
        // A switch's upload took its place; its files are written.
        window_.setSaveProgress({done.written ? Phase::Idle : Phase::NotWritten, 0, 0});
        return;
    }
    window_.setSaveProgress({!done.written ? Phase::NotWritten
                             : *received   ? Phase::Saved
                                           : Phase::NotReceived,
                             0, 0});
    // The user must not take the mouse to hold what it never received.
    if (!*received)
        window_.showDeviceNotification(kNotifyNotDetected, 0);
    emit saveFinished(*received, done.written);
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
    using Phase = SaveProgress::Phase;
    window_.setSaveProgress({*written ? Phase::NotReceived : Phase::NotWritten, 0, 0});
    window_.showDeviceNotification(kNotifyNotDetected, 0);
    // Presses still in the queue are older: this one applies their desktop
    // settings with its newer values, and they apply none when they end.
    const RecordState& state = window_.state();
    PointerChanges changes = state.pointerChanges;
    for (auto& [ticket, older] : uploads_)
        addChanges(changes, std::exchange(older.pointerChanges, {}));
    ApplyPointerSettings(state.record, changes);
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
