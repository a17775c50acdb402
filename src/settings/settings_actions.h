#pragma once

#include "settings/command_runner.h"
#include "settings/desktop_pointer_settings.h"

#include <QObject>
#include <QTimer>
#include <chrono>
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

    bool applyBusy() const { return applyBusy_; }
    bool waitCursorShown() const;

  private:
    // Upload, save, snapshot and pointer settings: what Save and Reset do
    // while the mouse is there.
    void uploadAndApply();
    void showWaitCursor(QTimer& until);
    void endWaitCursor(QTimer& timer);

    CMavloDlg& window_;
    SettingsSections& sections_;
    DesktopPointerSettings pointer_;
    bool applyBusy_ = false;
    QTimer applyBusyTimer_;   // timer 1
    QTimer resetCursorTimer_; // timer 2
    QTimer saveCursorTimer_;  // timer 3
};

} // namespace qvr
