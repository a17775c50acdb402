#pragma once

#include "gui/session/user_session.h"
#include "platform/desktop_pointer_settings.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <mutex>
#include <ostream>

namespace qvr {

class PageHost;
class UserSession;
class SettingsSections;

// How long Save stays locked after a press, and how long the wait cursor
// shows after Save or Reset.
struct SettingsTimings {
    std::chrono::milliseconds applyBusy{2000};
    std::chrono::milliseconds waitCursor{6000};
};

// The three buttons at the bottom right, as the window shows them: Save
// (the session's, locked for a moment against a double press), Reset (the
// session's, after asking), Cancel (drops the changes and hides the
// window), with the wait cursor while an upload may run. The desktop's
// pointer settings the session's Save and Reset ask for are applied and
// read here.
class SettingsActions : public QObject, public EditCommands, public DesktopPointerHandler {
    Q_OBJECT

  public:
    SettingsActions(PageHost& host, UserSession& session, SettingsSections& sections,
                    PointerDesktop& pointerDesktop, std::ostream& notes, SettingsTimings timings);
    ~SettingsActions() override;

    // The buttons' presses, as the session hands them over.
    void save() override;
    void reset() override;
    void cancel() override;

    // The pointer settings the user changed in this program, from the
    // record to the desktop, applied on the device thread; each refusal is a
    // "Warning" message box, and the next setting follows after it. A
    // changed setting the desktop does not have is said once per run.
    void applyPointerSettings(const ConfigRecord& record, const PointerChanges& changes) override;
    // The desktop's current pointer settings into the record's fields, for
    // a profile that starts out from the factory files.
    void takeDesktopPointerSettings(ConfigRecord& record) override;

    bool applyBusy() const { return applyBusy_; }
    bool waitCursorShown() const;

  private:
    // Reset asks first, naming the profile it overwrites.
    bool resetConfirmed();
    void showWaitCursor(QTimer& until);
    void endWaitCursor(QTimer& timer);

    PageHost& host_;
    UserSession& session_;
    SettingsSections& sections_;
    // Used on the device thread (apply) and the window's (reading).
    DesktopPointerSettings pointer_;
    std::mutex pointerMutex_;
    bool applyBusy_ = false;
    QTimer applyBusyTimer_; // a second Save press within it is ignored
    QTimer resetCursorTimer_;
    QTimer saveCursorTimer_;
};

} // namespace qvr
