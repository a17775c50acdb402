#include "gui/session/user_session.h"

#include "core/device/device_events.h"
#include "gui/session/profile_session.h"

#include <cstdio>
#include <utility>
#include <vector>

namespace qvr {

UserSession::UserSession(UserSessionSetup setup)
    : link_(*setup.link), messages_(*setup.messages), instanceLock_(std::move(setup.instanceLock)),
      profile_(std::move(setup.userFolder), *setup.messages, std::move(setup.factoryFolder)),
      queue_(*setup.link) {
    outcomeTimer_.setSingleShot(true);
    outcomeTimer_.setInterval(kOutcomeShown);
    connect(&outcomeTimer_, &QTimer::timeout, this, [this] { setSaveProgress({}); });
    searchPatience_.setSingleShot(true);
    connect(&searchPatience_, &QTimer::timeout, this, [this] {
        if (search_ == StartUpSearch::Searching) {
            search_ = StartUpSearch::NoAnswer;
            emit startUpSearchChanged();
        }
    });
    connect(&queue_, &DeviceThread::uploadFinished, this,
            [this](int ticket, bool received) { uploadEnded(ticket, received); });
    connect(&queue_, &DeviceThread::uploadSkipped, this,
            [this](int ticket) { uploadEnded(ticket, std::nullopt); });
    connect(&queue_, &DeviceThread::uploadProgress, this, [this](int done, int total) {
        if (!uploads_.empty())
            setSaveProgress({SaveProgress::Phase::Uploading, done, total});
    });
}

UserSession::~UserSession() {
    shutDown();
}

ProfileSession& UserSession::openProfiles(ProfileView& view) {
    profiles_ = std::make_unique<ProfileSession>(*this, view);
    return *profiles_;
}

void UserSession::save() {
    if (editCommands_)
        editCommands_->save();
}

void UserSession::reset() {
    if (editCommands_)
        editCommands_->reset();
}

void UserSession::cancel() {
    if (editCommands_)
        editCommands_->cancel();
}

void UserSession::setSaveProgress(SaveProgress progress) {
    saveProgress_ = progress;
    const bool outcome = progress.phase != SaveProgress::Phase::Idle &&
                         progress.phase != SaveProgress::Phase::Uploading;
    if (outcome)
        outcomeTimer_.start();
    else if (progress.phase == SaveProgress::Phase::Uploading)
        outcomeTimer_.stop();
    emit saveProgressChanged();
}

void UserSession::saveRecord() {
    if (mousePresent())
        writeAndUpload();
    else
        saveWithoutMouse();
}

void UserSession::resetRecord() {
    profile_.resetToDefaults(state_);
    // The factory pointer fields are no choice of the user's: the desktop's
    // own take their place, which a Save then leaves alone.
    if (pointer_)
        pointer_->takeDesktopPointerSettings(state_.record);
    if (mousePresent())
        writeAndUpload();
}

void UserSession::writeAndUpload() {
    // The files are written at the press; edits made while the upload runs
    // belong to the next Save.
    if (!profiles_)
        return;
    const std::optional<bool> written = profiles_->writeProfile();
    if (!written)
        return;
    const int ticket = queue_.upload(state_.record);
    uploads_.emplace(ticket, Upload{state_.record, state_.pointerChanges, *written});
    setSaveProgress({SaveProgress::Phase::Uploading, 0, 0});
}

namespace {

// What a mouse just opened says of itself (its active slot and DPI stage),
// or, when it would not open, why. Runs on the device thread.
struct OpenedMouse {
    std::optional<std::uint8_t> activeSlot;
    std::optional<int> dpiStage;
    std::optional<std::string> advice;
};

OpenedMouse readOpenedMouse(DeviceLink& link, const ConfigRecord& slot,
                            const std::function<std::optional<std::string>()>& permissionProblem) {
    OpenedMouse opened;
    if (link.devicePresent) {
        opened.activeSlot = slot.activeProfile;
        opened.dpiStage = readActiveDpiStage(link);
    } else if (permissionProblem) {
        opened.advice = permissionProblem();
    }
    return opened;
}

void addChanges(PointerChanges& into, const PointerChanges& from) {
    into.speed |= from.speed;
    into.doubleClick |= from.doubleClick;
    into.scrollLines |= from.scrollLines;
    into.precision |= from.precision;
}

} // namespace

void UserSession::saveWithoutMouse() {
    // The files keep the edits; the mouse gets them when it comes back. As
    // after an upload the mouse missed, the user is told.
    if (!profiles_)
        return;
    const std::optional<bool> written = profiles_->writeProfile();
    if (!written)
        return;
    using Phase = SaveProgress::Phase;
    setSaveProgress({*written ? Phase::NotReceived : Phase::NotWritten, 0, 0});
    emit deviceNotification(DeviceEventType::MouseNotDetected, 0);
    // Presses still in the queue are older: this one applies their desktop
    // settings with its newer values, and they apply none when they end.
    PointerChanges changes = state_.pointerChanges;
    for (auto& [ticket, older] : uploads_)
        addChanges(changes, std::exchange(older.pointerChanges, {}));
    applyPointerSettings(state_.record, changes);
    emit saveFinished(false, *written);
}

void UserSession::uploadEnded(int ticket, std::optional<bool> received) {
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
        applyPointerSettings(done.record, done.pointerChanges);
    if (!uploads_.empty())
        return;
    using Phase = SaveProgress::Phase;
    if (!received) {
        // A switch's upload took its place; its files are written.
        setSaveProgress({done.written ? Phase::Idle : Phase::NotWritten, 0, 0});
        return;
    }
    setSaveProgress({!done.written ? Phase::NotWritten
                     : *received   ? Phase::Saved
                                   : Phase::NotReceived,
                     0, 0});
    // The user must not take the mouse to hold what it never received.
    if (!*received)
        emit deviceNotification(DeviceEventType::MouseNotDetected, 0);
    emit saveFinished(*received, done.written);
}

void UserSession::applyPointerSettings(const ConfigRecord& record, const PointerChanges& changes) {
    if (pointer_)
        pointer_->applyPointerSettings(record, changes);
}

void UserSession::setActiveDpiStage(std::optional<int> stage) {
    activeDpiStage_ = stage;
    emit mouseChanged();
}

void UserSession::explainPermissionOnce(const std::string& advice) {
    if (permissionExplained_)
        return;
    permissionExplained_ = true;
    messages_.showMessage(advice, std::string(kApplicationTitle));
}

void UserSession::searchForMouse(const MouseWatchSetup& setup) {
    auto outcome = std::make_shared<OpenedMouse>();
    search_ = StartUpSearch::Searching;
    searchPatience_.start(setup.searchPatience);
    queue_.request(
        [this, outcome, permissionProblem = setup.permissionProblem] {
            // The open sequence only learns the mouse's active slot.
            ConfigRecord slot{};
            connectAtStartup(link_, slot);
            *outcome = readOpenedMouse(link_, slot, permissionProblem);
        },
        [this, outcome] {
            if (ending_)
                return;
            search_ = StartUpSearch::Answered;
            searchPatience_.stop();
            if (outcome->activeSlot) {
                // The mouse's slot is no edit of the user's.
                state_.record.activeProfile = *outcome->activeSlot;
                state_.appliedRecord.activeProfile = *outcome->activeSlot;
            }
            // A stage switch the listener handed over meanwhile is newer.
            if (!activeDpiStage_)
                activeDpiStage_ = outcome->dpiStage;
            if (outcome->advice)
                explainPermissionOnce(*outcome->advice);
            emit startUpSearchChanged();
            if (mousePresent() && profiles_)
                profiles_->mouseFound();
            emit mouseChanged();
        });
}

void UserSession::watchHotplug(MouseWatchSetup setup) {
    permissionProblem_ = std::move(setup.permissionProblem);
    coalescer_ = std::make_unique<HotplugCoalescer>([this](HotplugKind kind) { runHotplug(kind); },
                                                    setup.hotplugSettle);
    hotplug_ = std::move(setup.hotplug);
    if (!hotplug_)
        return;
    // Without udev (a container, for one) the program still works; only
    // plugging the mouse in later goes unnoticed.
    if (!hotplug_->start([this](HotplugKind kind) { coalescer_->add(kind); }))
        std::fprintf(stderr, "qvr: device arrival and removal cannot be watched here\n");
}

void UserSession::runHotplug(HotplugKind kind) {
    // The search and the open sequence run on the device thread, in turn with
    // its other requests. What they ask of the session and its windows is
    // kept and done here afterwards, in the same order.
    struct Outcome {
        std::vector<std::function<void()>> steps;
        OpenedMouse opened;
        bool present = false;
    };
    auto outcome = std::make_shared<Outcome>();
    queue_.reopen(
        [this, kind, outcome, permissionProblem = permissionProblem_] {
            const auto later = [outcome](std::function<void()> step) {
                outcome->steps.push_back(std::move(step));
            };
            const DeviceEventHooks hooks{
                .notify =
                    [this, later](DeviceEventType type, int value) {
                        later([=, this] { emit deviceNotification(type, value); });
                    },
                .reloadProfile =
                    [this, later] {
                        later([this] {
                            if (profiles_)
                                profiles_->deviceArrived();
                        });
                    },
                .hideWindow = [this, later] { later([this] { emit mouseLost(); }); }};
            if (kind == HotplugKind::Arrival) {
                // The open sequence only learns the mouse's active slot.
                ConfigRecord slot{};
                onDeviceArrival(link_, slot, hooks);
                outcome->opened = readOpenedMouse(link_, slot, permissionProblem);
            } else {
                onDeviceRemoval(link_, hooks);
            }
            outcome->present = link_.devicePresent;
        },
        [this, kind, outcome] {
            if (ending_)
                return;
            if (outcome->opened.activeSlot)
                state_.record.activeProfile = *outcome->opened.activeSlot;
            // A mouse opened anew says where it is; one that is gone says
            // nothing any more.
            if (!outcome->present)
                activeDpiStage_.reset();
            else if (kind == HotplugKind::Arrival)
                activeDpiStage_ = outcome->opened.dpiStage;
            for (const auto& step : outcome->steps)
                step();
            if (outcome->opened.advice)
                explainPermissionOnce(*outcome->opened.advice);
            emit mouseChanged();
        });
}

void UserSession::startListener(Listener::Deliver deliver) {
    listener_ = std::make_unique<Listener>(link_, std::move(deliver));
    listener_->start();
}

void UserSession::shutDown() {
    if (ending_)
        return;
    ending_ = true;
    // The listener may be handing an event to a window and asks whether to
    // give up, so it is stopped and joined first. Then the queue drains:
    // searches answered now are moot, but a last Save still reaches the
    // mouse. Only then do the handles close.
    if (listener_)
        listener_->stop();
    listener_.reset();
    // Plugging the mouse in now would search for nothing.
    hotplug_.reset();
    coalescer_.reset();
    searchPatience_.stop();
    queue_.stop();
    link_.closeHandles();
}

} // namespace qvr
