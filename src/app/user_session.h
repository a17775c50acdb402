#pragma once

#include "app/device_thread.h"
#include "app/single_instance.h"
#include "config/config_record.h"
#include "config/message_sink.h"
#include "config/profile_files.h"
#include "device/device_link.h"
#include "device/listener.h"

#include <filesystem>
#include <memory>

namespace qvr {

class ProfileSession;
class ProfileView;

// Save, Reset and Cancel of the record on screen, as the window's buttons
// ask for them; whoever carries them out (the settings pages, which apply
// the desktop's pointer settings with a Save) registers with the session.
class EditCommands {
  public:
    virtual ~EditCommands() = default;
    virtual void save() = 0;
    virtual void reset() = 0;
    virtual void cancel() = 0;
};

// What the session is built from: the mouse's link, where the user hears of
// problems, and the user and factory folders.
struct UserSessionSetup {
    DeviceLink* link = nullptr;
    MessageSink* messages = nullptr;
    std::filesystem::path userFolder;
    std::filesystem::path factoryFolder; // none: the user folder
    // The lock that keeps a second qvr away and that qvrctl looks for before
    // it changes profiles behind the window's back. Held for the run.
    std::unique_ptr<SingleInstanceLock> instanceLock;
};

// The user's state and its one owner, for the whole run: the record and
// whether it is saved, the profile store with the macro store and the
// names behind the mouse's macro table, the one ordered queue of requests
// to the mouse and the listener for its events, and the messages to the
// user. It has no widgets; windows draw it and call its operations.
class UserSession {
  public:
    explicit UserSession(UserSessionSetup setup);
    ~UserSession();
    UserSession(const UserSession&) = delete;
    UserSession& operator=(const UserSession&) = delete;

    RecordState& state() { return state_; }
    const RecordState& state() const { return state_; }
    ProfileFiles& profile() { return profile_; }
    const ProfileFiles& profile() const { return profile_; }
    MessageSink& messages() { return messages_; }
    // Every request to the mouse after start-up goes through it, in order.
    DeviceThread& deviceQueue() { return queue_; }
    DeviceLink& link() { return link_; }
    bool mousePresent() const { return link_.devicePresent == 1; }

    // The profile's operations: built once the profile has been read, with
    // the view that shows it. Null before.
    ProfileSession& openProfiles(ProfileView& view);
    ProfileSession* profiles() { return profiles_.get(); }

    // Save, Reset and Cancel; nothing happens while nobody carries them out.
    void setEditCommands(EditCommands* commands) { editCommands_ = commands; }
    EditCommands* editCommands() const { return editCommands_; }
    void save();
    void reset();
    void cancel();

    // The mouse's events, each handed to deliver on the listener's thread.
    void startListener(Listener::Deliver deliver);
    bool listenerStopping() const { return listener_ && listener_->stopping(); }

    // The one end order: the listener stopped and joined before anything it
    // calls goes, then the queue drained (a last Save still reaches the
    // mouse), then the mouse's handles closed. The windows go after it.
    // Runs once; requests given later are answered without the mouse.
    void shutDown();
    // From the start of shutDown(): answers that would show a window again
    // are dropped.
    bool ending() const { return ending_; }

  private:
    DeviceLink& link_;
    MessageSink& messages_;
    std::unique_ptr<SingleInstanceLock> instanceLock_;
    RecordState state_;
    ProfileFiles profile_;
    DeviceThread queue_;
    std::unique_ptr<Listener> listener_;
    std::unique_ptr<ProfileSession> profiles_;
    EditCommands* editCommands_ = nullptr;
    bool ending_ = false;
};

} // namespace qvr
