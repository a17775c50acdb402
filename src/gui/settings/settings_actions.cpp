#include "gui/settings/settings_actions.h"

#include "core/device/device_events.h"
#include "core/profiles/profile_list.h"
#include "core/record/pointer_values.h"
#include "core/text/notification_text.h"
#include "gui/session/profile_session.h"
#include "gui/session/user_session.h"
#include "gui/settings/settings_sections.h"
#include "gui/widgets/page_host.h"
#include "gui/widgets/qt_fonts.h"
#include "gui/widgets/skinned_window.h"

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
}

SettingsActions::~SettingsActions() {
    if (session_.editCommands() == this)
        session_.setEditCommands(nullptr);
    if (session_.desktopPointer() == this)
        session_.setDesktopPointer(nullptr);
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

void SettingsActions::save() {
    if (applyBusy_)
        return;
    applyBusy_ = true;
    if (session_.mousePresent())
        showWaitCursor(saveCursorTimer_);
    session_.saveRecord();
    applyBusyTimer_.start();
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

void SettingsActions::reset() {
    if (!resetConfirmed())
        return;
    showWaitCursor(resetCursorTimer_);
    session_.resetRecord();
    host_.closePagePopups();
    sections_.closeAll();
    host_.redraw();
}

void SettingsActions::cancel() {
    session_.state().restoreSnapshot();
    host_.hideAndReloadOnReopen();
}

void SettingsActions::applyPointerSettings(const ConfigRecord& record,
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
