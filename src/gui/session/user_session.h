#pragma once

#include "core/device/device_link.h"
#include "core/device/listener.h"
#include "core/files/message_sink.h"
#include "core/profiles/profile_files.h"
#include "core/record/config_record.h"
#include "gui/session/device_thread.h"
#include "gui/session/hotplug_watch.h"
#include "platform/single_instance_lock.h"

#include <QObject>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

namespace qvr {

class ProfileSession;
class ProfileView;

// Save, Reset and Cancel as the window's buttons press them. Whoever shows
// them (the settings pages: the guard against a double press, the wait
// cursor, Reset's question) registers with the session and calls its
// operations.
class EditCommands {
  public:
    virtual ~EditCommands() = default;
    virtual void save() = 0;
    virtual void reset() = 0;
    virtual void cancel() = 0;
};

// The desktop's pointer settings, which each Save hands to the desktop
// after its upload and Reset reads back: platform code the settings pages
// bring.
class DesktopPointerHandler {
  public:
    virtual ~DesktopPointerHandler() = default;
    // The settings the user changed, from the record; on the device thread,
    // in turn with the mouse's requests.
    virtual void applyPointerSettings(const ConfigRecord& record,
                                      const PointerChanges& changes) = 0;
    // The desktop's current values into the record's pointer fields.
    virtual void takeDesktopPointerSettings(ConfigRecord& record) = 0;
};

// The device search that start-up hands to the device thread.
enum class StartUpSearch { Searching, Answered, NoAnswer };

// Where the last Save or Reset stands, for the status card.
struct SaveProgress {
    enum class Phase { Idle, Uploading, Saved, NotReceived, NotWritten };
    Phase phase = Phase::Idle;
    int done = 0;
    int total = 0;
};

// How the session finds the mouse at start and hears it come and go.
struct MouseWatchSetup {
    std::unique_ptr<HotplugSource> hotplug; // none: no hotplug watch
    std::chrono::milliseconds hotplugSettle = HotplugCoalescer::kSettleTime;
    // How long the start-up search may take before it counts as not
    // answering (the answer still counts when it comes).
    std::chrono::milliseconds searchPatience = std::chrono::seconds(5);
    // Says why a mouse that is there could not be opened (no permission).
    // Called on the device thread, right after a search.
    std::function<std::optional<std::string>()> permissionProblem;
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
// to the mouse with the uploads of Save and Reset in it, what the mouse
// last said of itself, the listener for its events and the watch for its
// plugging, and the messages to the user. It has no widgets; windows draw
// it, call its operations and hear its signals.
class UserSession : public QObject {
    Q_OBJECT

  public:
    explicit UserSession(UserSessionSetup setup);
    ~UserSession() override;
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
    bool mousePresent() const { return link_.devicePresent; }

    // The profile's operations: built once the profile has been read, with
    // the view that shows it. Null before.
    ProfileSession& openProfiles(ProfileView& view);
    ProfileSession* profiles() { return profiles_.get(); }

    // The buttons' presses; nothing happens while nobody shows them.
    void setEditCommands(EditCommands* commands) { editCommands_ = commands; }
    EditCommands* editCommands() const { return editCommands_; }
    void save();
    void reset();
    void cancel();

    // Save: the profile's files from the record at once, all or none (edits
    // made while the upload runs belong to the next Save); with the mouse
    // there, a copy of the record behind whatever the queue already holds.
    // Without the mouse the user is told now and the mouse gets the files
    // when it comes back. Each press's desktop pointer settings follow once
    // its upload ended; a newer upload makes a waiting one needless, and the
    // replaced press's settings go with the newer one.
    void saveRecord();
    // Reset: the factory settings into the record, with the desktop's own
    // pointer values; stored and sent as a Save while the mouse is there.
    void resetRecord();
    // A Save's or Reset's upload is under way or waiting.
    bool uploadPending() const { return !uploads_.empty(); }
    const SaveProgress& saveProgress() const { return saveProgress_; }
    // An outcome stays for kOutcomeShown, then the progress is idle again.
    void setSaveProgress(SaveProgress progress);
    static constexpr std::chrono::milliseconds kOutcomeShown{5000};
    void setDesktopPointer(DesktopPointerHandler* handler) { pointer_ = handler; }
    DesktopPointerHandler* desktopPointer() const { return pointer_; }

    // The start-up search, on the device thread; its answer sets the
    // mouse's slot and stage and sends a profile the mouse missed.
    void searchForMouse(const MouseWatchSetup& setup);
    StartUpSearch startUpSearch() const { return search_; }
    // Plugging and unplugging, each burst folded into one search through
    // the queue. Without a source nothing is watched.
    void watchHotplug(MouseWatchSetup setup);
    bool hotplugPending() const { return coalescer_ && coalescer_->pending(); }
    // The DPI stage the mouse's own buttons are at (1..6), as the mouse last
    // said: read back when it is opened, then from each DPI event. Nothing
    // while the mouse is away or has not said.
    std::optional<int> activeDpiStage() const { return activeDpiStage_; }
    void setActiveDpiStage(std::optional<int> stage);
    // Says once per run why the mouse could not be opened.
    void explainPermissionOnce(const std::string& advice);

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

  signals:
    void saveProgressChanged();
    // A Save's upload ended (or a Save without the mouse wrote its files).
    void saveFinished(bool received, bool written);
    // The search answered or gave up waiting; the mouse's presence, slot or
    // DPI stage changed.
    void startUpSearchChanged();
    void mouseChanged();
    // A balloon for the user: the mouse found or lost, an upload it missed.
    void deviceNotification(DeviceEventType type, int value);
    // The mouse went away while being opened: the window goes out of sight.
    void mouseLost();

  private:
    // What a press gives the mouse and the desktop, copied at the press.
    struct Upload {
        ConfigRecord record{};
        PointerChanges pointerChanges{};
        bool written = false; // the press's files
    };
    // Files, upload and, later, pointer settings: a press with the mouse.
    void writeAndUpload();
    void saveWithoutMouse();
    // received is empty when a newer upload took the press's place.
    void uploadEnded(int ticket, std::optional<bool> received);
    void applyPointerSettings(const ConfigRecord& record, const PointerChanges& changes);
    void runHotplug(HotplugKind kind);

    DeviceLink& link_;
    MessageSink& messages_;
    std::unique_ptr<SingleInstanceLock> instanceLock_;
    RecordState state_;
    ProfileFiles profile_;
    DeviceThread queue_;
    std::unique_ptr<Listener> listener_;
    std::unique_ptr<ProfileSession> profiles_;
    EditCommands* editCommands_ = nullptr;
    DesktopPointerHandler* pointer_ = nullptr;
    std::map<int, Upload> uploads_; // by ticket: in press order
    SaveProgress saveProgress_;
    QTimer outcomeTimer_;
    StartUpSearch search_ = StartUpSearch::Searching;
    QTimer searchPatience_;
    std::optional<int> activeDpiStage_;
    std::function<std::optional<std::string>()> permissionProblem_;
    bool permissionExplained_ = false;
    std::unique_ptr<HotplugCoalescer> coalescer_;
    std::unique_ptr<HotplugSource> hotplug_; // goes first: it feeds the coalescer
    bool ending_ = false;
};

} // namespace qvr
