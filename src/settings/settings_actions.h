#pragma once

#include "app/user_session.h"
#include "config/save_after_upload.h"
#include "settings/desktop_pointer_settings.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <map>
#include <mutex>
#include <optional>
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

// The three buttons at the bottom right: Save uploads and stores the record
// and applies the desktop pointer settings (without the mouse: stores it, and
// the mouse gets it when it comes back), Reset goes back to the factory
// settings after asking, Cancel drops the changes and hides the window.
//
// Save and Reset write the profile's files when pressed and hand a copy of
// the record to the device thread for the upload; the status card follows
// it. Uploads wait in the device thread's one queue, in press order with
// the profile switches; a newer upload makes a waiting one needless, and the
// desktop settings of a press it replaced are applied with the newer press.
class SettingsActions : public QObject, public EditCommands {
    Q_OBJECT

  public:
    SettingsActions(PageHost& host, UserSession& session, SettingsSections& sections,
                    PointerDesktop& pointerDesktop, std::ostream& notes, SettingsTimings timings);
    ~SettingsActions() override;

    // The session's Save, Reset and Cancel.
    void save() override { ApplySettings(); }
    void reset() override { ResetToDefaults(); }
    void cancel() override { CancelChanges(); }

    void ApplySettings();
    void ResetToDefaults();
    void CancelChanges();
    // The pointer settings the user changed in this program, from the
    // record to the desktop, applied on the device thread; each refusal is a
    // "Warning" message box, and the next setting follows after it. A
    // changed setting the desktop does not have is said once per run.
    void ApplyPointerSettings(const ConfigRecord& record, const PointerChanges& changes);
    // The desktop's current pointer settings into the record's fields, for
    // a profile that starts out from the factory files.
    void takeDesktopPointerSettings(ConfigRecord& record);

    bool applyBusy() const { return applyBusy_; }
    bool waitCursorShown() const;
    // A Save's upload is under way or waiting.
    bool uploadPending() const { return !uploads_.empty(); }

  signals:
    // A Save's upload ended and its pointer settings were requested.
    void saveFinished(bool received, bool written);

  private:
    // Upload, save, snapshot and pointer settings: what Save and Reset do
    // while the mouse is there, for the record as it is now.
    void uploadAndApply();
    // Save while the mouse is away: the files now, the mouse when it is back.
    void saveWithoutMouse();
    // Reset asks first, naming the profile it overwrites.
    bool resetConfirmed();
    // What a press gives the mouse and the desktop, copied at the press.
    struct Upload {
        ConfigRecord record{};
        PointerChanges pointerChanges{};
        bool written = false; // the press's files
    };
    // received is empty when a newer upload took the press's place.
    void uploadEnded(int ticket, std::optional<bool> received);
    void showWaitCursor(QTimer& until);
    void endWaitCursor(QTimer& timer);

    PageHost& host_;
    UserSession& session_;
    SettingsSections& sections_;
    // Used on the device thread (apply) and the window's (reading).
    DesktopPointerSettings pointer_;
    std::mutex pointerMutex_;
    bool applyBusy_ = false;
    std::map<int, Upload> uploads_; // by ticket: in press order
    QTimer applyBusyTimer_;         // timer 1
    QTimer resetCursorTimer_;       // timer 2
    QTimer saveCursorTimer_;        // timer 3
};

} // namespace qvr
