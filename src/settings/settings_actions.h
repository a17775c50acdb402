#pragma once

#include "config/save_after_upload.h"
#include "settings/command_runner.h"
#include "settings/desktop_pointer_settings.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <optional>
#include <ostream>

namespace qvr {

class CMavloDlg;
class SettingsSections;

// How long Save stays locked after a press, and how long the wait cursor
// shows after Save or Reset.
struct SettingsTimings {
    std::chrono::milliseconds applyBusy{2000};
    std::chrono::milliseconds waitCursor{6000};
};

// The three buttons at the bottom right: Save uploads and stores the record
// and applies the desktop pointer settings, Reset goes back to the factory
// settings, Cancel drops the changes and hides the window.
//
// Save and Reset take a snapshot of the record, its labels and the profile
// index when pressed; the upload runs on the device thread and the files are
// written from the snapshot once it ends. One snapshot waits while an upload
// runs; a newer press replaces it.
class SettingsActions : public QObject {
    Q_OBJECT

  public:
    SettingsActions(CMavloDlg& window, SettingsSections& sections, CommandRunner& pointerCommands,
                    std::ostream& notes, SettingsTimings timings);

    void ApplySettings();
    void ResetToDefaults();
    void CancelChanges();
    // The pointer settings the user changed in this program, from the
    // record to the desktop; each refusal is a "Warning" message box, and
    // the next setting follows after it. A changed setting the desktop does
    // not have is said once per run.
    void ApplyPointerSettings();
    // The desktop's current pointer settings into the record's fields, for
    // a profile that starts out from the factory files.
    void takeDesktopPointerSettings(ConfigRecord& record);
    // The same for a given record, applied off the window's thread.
    void ApplyPointerSettings(const ConfigRecord& record, const PointerChanges& changes);
    // Upload, save, snapshot and pointer settings: what Save and Reset do
    // while the mouse is there, for the record as it is now.
    void uploadAndApply();

    bool applyBusy() const { return applyBusy_; }
    bool waitCursorShown() const;
    // An upload of a snapshot is under way or waiting.
    bool uploadPending() const { return inFlight_ || pending_; }

  signals:
    // The snapshot's files are written and its pointer settings requested.
    void saveFinished(bool received, bool written);

  private:
    void startUpload(ProfileSnapshot snapshot);
    void uploadFinished(int ticket, bool received);
    void showWaitCursor(QTimer& until);
    void endWaitCursor(QTimer& timer);

    CMavloDlg& window_;
    SettingsSections& sections_;
    DesktopPointerSettings pointer_;
    bool applyBusy_ = false;
    std::optional<ProfileSnapshot> inFlight_;
    int inFlightTicket_ = 0;
    std::optional<ProfileSnapshot> pending_;
    QTimer applyBusyTimer_;   // timer 1
    QTimer resetCursorTimer_; // timer 2
    QTimer saveCursorTimer_;  // timer 3
};

} // namespace qvr
