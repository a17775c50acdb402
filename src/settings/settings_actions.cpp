#include "settings/settings_actions.h"

#include "app/notification_text.h"
#include "app/page_host.h"
#include "app/profile_session.h"
#include "app/user_session.h"
#include "config/profile_list.h"
#include "device/device_events.h"
#include "settings/pointer_values.h"
#include "settings/settings_sections.h"
#include "ui/qt_fonts.h"
#include "ui/skinned_window.h"

#include <memory>
#include <mutex>
#include <vector>

namespace qvr {

SettingsActions::SettingsActions(PageHost& host, UserSession& session, SettingsSections& sections,
                                 PointerDesktop& pointerDesktop, std::ostream& notes,
                                 SettingsTimings timings)
    : QObject(&host.face()), host_(host), session_(session), sections_(sections),
      pointer_(pointerDesktop, notes) {
    applyBusyTimer_.setSingleShot(true);
    applyBusyTimer_.setInterval(timings.applyBusy);
    connect(&applyBusyTimer_, &QTimer::timeout, this, [this] { applyBusy_ = false; });
    for (QTimer* cursor : {&resetCursorTimer_, &saveCursorTimer_}) {
        cursor->setSingleShot(true);
        cursor->setInterval(timings.waitCursor);
        connect(cursor, &QTimer::timeout, this, [this, cursor] { endWaitCursor(*cursor); });
    }
    connect(&session_.deviceQueue(), &DeviceThread::uploadFinished, this,
            [this](int ticket, bool received) { uploadEnded(ticket, received); });
    connect(&session_.deviceQueue(), &DeviceThread::uploadSkipped, this,
            [this](int ticket) { uploadEnded(ticket, std::nullopt); });
    connect(&session_.deviceQueue(), &DeviceThread::uploadProgress, this,
            [this](int done, int total) {
                if (!uploads_.empty())
                    host_.setSaveProgress({SaveProgress::Phase::Uploading, done, total});
            });
}

SettingsActions::~SettingsActions() {
    if (session_.editCommands() == this)
        session_.setEditCommands(nullptr);
}

bool SettingsActions::waitCursorShown() const {
    return host_.face().cursor().shape() == Qt::WaitCursor;
}

void SettingsActions::showWaitCursor(QTimer& until) {
    host_.face().setCursor(Qt::WaitCursor);
    until.start();
}

void SettingsActions::endWaitCursor(QTimer& timer) {
    timer.stop();
    host_.face().setCursor(Qt::ArrowCursor);
}

void SettingsActions::uploadAndApply() {
    // The files are written at the press; edits made while the upload runs
    // belong to the next Save.
    const std::optional<bool> written = (*session_.profiles()).writeProfile();
    if (!written)
        return;
    const RecordState& state = session_.state();
    const int ticket = session_.deviceQueue().upload(state.record);
    uploads_.emplace(ticket, Upload{state.record, state.pointerChanges, *written});
    host_.setSaveProgress({SaveProgress::Phase::Uploading, 0, 0});
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
        host_.setSaveProgress({done.written ? Phase::Idle : Phase::NotWritten, 0, 0});
        return;
    }
    host_.setSaveProgress({!done.written ? Phase::NotWritten
                           : *received   ? Phase::Saved
                                         : Phase::NotReceived,
                           0, 0});
    // The user must not take the mouse to hold what it never received.
    if (!*received)
        host_.showDeviceNotification(kNotifyNotDetected, 0);
    emit saveFinished(*received, done.written);
}

void SettingsActions::ApplySettings() {
    if (applyBusy_)
        return;
    applyBusy_ = true;
    if (session_.mousePresent()) {
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
    const std::optional<bool> written = (*session_.profiles()).writeProfile();
    if (!written)
        return;
    using Phase = SaveProgress::Phase;
    host_.setSaveProgress({*written ? Phase::NotReceived : Phase::NotWritten, 0, 0});
    host_.showDeviceNotification(kNotifyNotDetected, 0);
    // Presses still in the queue are older: this one applies their desktop
    // settings with its newer values, and they apply none when they end.
    const RecordState& state = session_.state();
    PointerChanges changes = state.pointerChanges;
    for (auto& [ticket, older] : uploads_)
        addChanges(changes, std::exchange(older.pointerChanges, {}));
    ApplyPointerSettings(state.record, changes);
    emit saveFinished(false, *written);
}

bool SettingsActions::resetConfirmed() {
    const ProfileFiles& files = session_.profile();
    const std::vector<std::string> names = readProfileList(files.globalSettingsPath()).names;
    const int position = files.currentProfileIndex();
    const QString name = position >= 0 && position < static_cast<int>(names.size())
                             ? QString::fromStdString(names[static_cast<std::size_t>(position)])
                             : QString::number(position + 1);
    const ProfileFileTexts& texts = profileFileTexts(host_.language());
    return session_.messages().confirm(
        qstr(texts.resetQuestion).arg(name).toStdString(), kApplicationTitle,
        {std::string(host_.texts().reset), std::string(texts.cancelChoice)});
}

void SettingsActions::ResetToDefaults() {
    if (!resetConfirmed())
        return;
    showWaitCursor(resetCursorTimer_);
    session_.profile().resetToDefaults(session_.state());
    // The factory pointer fields are no choice of the user's: show the
    // desktop's own, which a Save then leaves alone.
    takeDesktopPointerSettings(session_.state().record);
    if (session_.mousePresent())
        uploadAndApply();
    host_.closePagePopups();
    sections_.closeAll();
    host_.redraw();
}

void SettingsActions::CancelChanges() {
    session_.state().restoreSnapshot();
    host_.hideAndReloadOnReopen();
}

void SettingsActions::ApplyPointerSettings(const ConfigRecord& record,
                                           const PointerChanges& changes) {
    // A desktop's settings store may take its time (dconf writes over the
    // session bus), so this runs on the device thread, in turn after the
    // upload.
    auto result = std::make_shared<PointerApplyResult>();
    session_.deviceQueue().request(
        [this, result, values = pointerValuesFor(record), changes] {
            std::lock_guard lock(pointerMutex_);
            *result = pointer_.apply(values, changes);
        },
        [this, result] {
            for (const PointerFailure& failure : result->failures)
                session_.messages().showMessage(failure.text, failure.caption);
            const PointerSettingTexts& texts = pointerSettingTexts(host_.language());
            for (const PointerSetting setting : result->missing) {
                const std::string_view text =
                    setting == PointerSetting::MouseParameters    ? texts.noAcceleration
                    : setting == PointerSetting::PointerSpeed     ? texts.noSpeed
                    : setting == PointerSetting::WheelScrollLines ? texts.noScrollLines
                                                                  : texts.noDoubleClick;
                session_.messages().showMessage(std::string(text), std::string(texts.caption));
            }
        });
}

void SettingsActions::takeDesktopPointerSettings(ConfigRecord& record) {
    std::lock_guard lock(pointerMutex_);
    pointer_.takeDesktopValues(record);
}

} // namespace qvr
