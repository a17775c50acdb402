#pragma once

#include "core/device/device_event_type.h"
#include "core/macros/macro_editing.h"
#include "core/profiles/profile_files.h"
#include "core/profiles/unsaved_edits.h"
#include "gui/session/profile_host.h"
#include "platform/profile_request.h"

#include <QObject>
#include <functional>
#include <optional>
#include <set>

namespace qvr {

class UserSession;

// What the profile's operations need of the window that shows the profile.
class ProfileView {
  public:
    virtual ~ProfileView() = default;

    virtual Language language() const = 0;
    // The profile on screen changed: its drawing, and the tray's lines.
    virtual void redraw() = 0;
    virtual void refreshTray() = 0;
    // Lists and edit boxes close before the record under them changes.
    virtual void closePagePopups() = 0;
    // A profile that was never saved takes the desktop's pointer values.
    virtual void takeDesktopPointerSettingsIfNew() = 0;
    // A loaded profile is drawn in full (while the page is drawn).
    virtual void notifyProfileDrawn() = 0;
    // The balloon of a device event (here: the mouse missed an upload).
    virtual void showDeviceNotification(DeviceEventType type, int value) = 0;
    virtual bool profileManagerOpen() const = 0;
    // Brings the window out for a question about it.
    virtual void showForQuestion() = 0;
};

// The window's profile: which list position the record on screen belongs
// to, whether it holds changes that its files do not, and the steps that
// move the window from one profile to another. Loading and sending to the
// mouse are separate steps, so either can be run alone.
class ProfileSession final : public QObject, public ProfileHost {
    Q_OBJECT

  public:
    ProfileSession(UserSession& session, ProfileView& view);

    int windowProfile() const override;
    bool switchProfile(int position) override;
    void profileDeleted(int position, int count) override;

    // Changes on screen that the profile's files do not hold.
    bool hasUnsavedChanges() const;
    // The labels on screen were read again from the profile's settings file
    // (another language's section): they are the saved ones.
    void labelsReread();
    // Reads the window's profile from its files as a start-up does: the
    // record, the labels and the snapshot Cancel returns to.
    void loadProfile();
    // Sends the record to the mouse as Save does, without writing files.
    // Returns the upload's ticket; none when nothing was sent.
    std::optional<int> uploadProfile();
    // The files of the window's profile from what is on screen, at once, so
    // that whatever happens to the profile list or the mouse meanwhile, the
    // press is kept where it belongs. nullopt: a record that was never loaded
    // is refused with a message; false: a file could not be written (the
    // user has been told which, and the changes stay unsaved).
    std::optional<bool> writeProfile();
    // As the Save button: the files, then the mouse when it is there (its
    // upload runs on the device thread; the user hears if it fails). False,
    // with nothing sent, when the files could not be written.
    bool saveProfile();
    // Asks about unsaved changes before the window leaves its profile:
    // Save, Discard (true) or Cancel (false). No question without changes.
    // question: another text than the profile switch's.
    bool mayLeaveProfile(std::string_view question = {});
    // The record now holds an import: unsaved until the next Save.
    void markImported();
    // Whether what is on screen came from an import no Save has kept yet.
    bool holdsImport() const { return imported_; }
    // Whatever is on screen is what the files hold (after a Save or load).
    void markSaved();
    // The labels on screen were written to the profile's files.
    void labelsWritten();
    // The macro names behind the record's macro table, by table position. A
    // profile whose files do not say takes the macro store's order when
    // first asked, and its next Save keeps that.
    const MacroTableNames& macroTableNames();
    // The names of the macros in the record's table, by macro number (at
    // most twelve). The table changes only with the macro manager's OK, so
    // that edits the user cancelled there never reach the mouse.
    std::vector<std::string> tableMacroNames();
    // What the macro key dialog offers: the table's macros in the macro
    // manager's order, each with its table position.
    std::vector<MacroKeyChoice> macroKeyChoices();

    // The mouse came (back): a window without unsaved changes reads its
    // profile again; edits and an import stay. A mouse that missed a saved
    // profile while it was away is sent it.
    void deviceArrived();
    // The mouse does not hold the window's saved profile. Kept in the user
    // folder too, so that a later run (or qvrctl) still sends it.
    bool mouseOutOfDate() const { return mouseOutOfDate_; }
    // The start-up search found the mouse: a profile it missed is sent.
    void mouseFound();

    // A switch asked from outside the profile manager (the tray menu,
    // qvrctl): the unsaved-changes question in the shown window, the load,
    // the list's current name, then the upload. done hears the outcome once
    // the mouse took the profile or did not. The profile already on screen
    // sends nothing.
    void switchOnRequest(int position, std::function<void(ProfileOutcome)> done);
    // qvrctl's profile requests.
    void answer(const ProfileRequest& request, std::function<void(const ProfileAnswer&)> reply);
    // The names of the list, read again.
    std::vector<std::string> profileNames() const;
    // The unsaved changes as the recovery file keeps them; none without.
    std::optional<UnsavedEdits> unsavedEdits() const;
    // Puts kept edits back on screen, unsaved, in their profile (found by
    // name first). False when no profile can take them.
    bool restoreEdits(const UnsavedEdits& edits);

  private:
    // Asks about unsaved changes, then loads position; false when the user
    // cancelled.
    bool moveTo(int position);
    void setMouseOutOfDate(bool outOfDate);
    std::optional<int> sendSavedProfile();

    UserSession& session_;
    ProfileView& view_;
    ButtonLabels savedLabels_{};
    bool imported_ = false;
    bool mouseOutOfDate_ = false;
    // Uploads of saveProfile whose failure the user must hear of.
    std::set<int> notifyTickets_;
};

} // namespace qvr
