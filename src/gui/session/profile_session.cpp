#include "gui/session/profile_session.h"

#include "core/device/device_events.h"
#include "core/macros/macro_editing.h"
#include "core/macros/macro_store.h"
#include "core/profiles/profile_list.h"
#include "core/profiles/profile_slots.h"
#include "core/profiles/profile_switch.h"
#include "core/profiles/save_after_upload.h"
#include "gui/session/user_session.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace qvr {

ProfileSession::ProfileSession(UserSession& session, ProfileView& view)
    : session_(session), view_(view) {
    savedLabels_ = session_.profile().labels();
    mouseOutOfDate_ = profileUnsent(session_.profile().userFolder());
    connect(&session_.deviceQueue(), &DeviceThread::uploadFinished, this,
            [this](int ticket, bool received) {
                setMouseOutOfDate(!received);
                if (notifyTickets_.erase(ticket) && !received)
                    view_.showDeviceNotification(kNotifyNotDetected, 0);
            });
    connect(&session_.deviceQueue(), &DeviceThread::uploadSkipped, this,
            [this](int ticket) { notifyTickets_.erase(ticket); });
}

int ProfileSession::windowProfile() const {
    return session_.profile().currentProfileIndex();
}

bool ProfileSession::hasUnsavedChanges() const {
    const RecordState& state = session_.state();
    // Names may change with the same bytes (two empty macros swapped).
    const bool namesChanged = state.macroTableNames && state.appliedMacroTableNames &&
                              *state.macroTableNames != *state.appliedMacroTableNames;
    return imported_ ||
           !std::ranges::equal(recordBytes(state.record), recordBytes(state.appliedRecord)) ||
           session_.profile().labels() != savedLabels_ || namesChanged;
}

void ProfileSession::labelsReread() {
    savedLabels_ = session_.profile().labels();
    view_.redraw();
}

void ProfileSession::markSaved() {
    session_.state().takeSnapshot();
    savedLabels_ = session_.profile().labels();
    imported_ = false;
    view_.redraw();
}

void ProfileSession::labelsWritten() {
    savedLabels_ = session_.profile().labels();
    view_.redraw();
}

const MacroTableNames& ProfileSession::macroTableNames() {
    RecordState& state = session_.state();
    if (!state.macroTableNames) {
        state.macroTableNames = guessMacroTableNames(session_.profile().macroStorePath());
        // Nothing named changed the table since it came unnamed from a file.
        if (!state.appliedMacroTableNames)
            state.appliedMacroTableNames = state.macroTableNames;
    }
    return *state.macroTableNames;
}

std::vector<std::string> ProfileSession::tableMacroNames() {
    std::vector<std::string> names = macroTableNames();
    names.resize(std::min(names.size(), static_cast<std::size_t>(kMacroCount)));
    return names;
}

std::vector<MacroKeyChoice> ProfileSession::macroKeyChoices() {
    const std::vector<std::string> table = tableMacroNames();
    const std::vector<std::string> storeNames =
        MacroStore(session_.profile().macroStorePath()).names();
    std::vector<MacroKeyChoice> choices;
    for (const int position : tablePositionsInStoreOrder(table, storeNames))
        choices.push_back(
            {table[static_cast<std::size_t>(position)], static_cast<std::uint8_t>(position)});
    return choices;
}

void ProfileSession::markImported() {
    imported_ = true;
    view_.redraw();
}

void ProfileSession::loadProfile() {
    RecordState& state = session_.state();
    ProfileFiles& files = session_.profile();
    view_.closePagePopups();
    state.loaded = false;
    files.loadProfileAt(files.currentProfileIndex(), state);
    view_.takeDesktopPointerSettingsIfNew();
    files.readProfileSettings();
    markSaved();
    // First-run labels once per load, as the first drawing of a start-up.
    view_.notifyProfileDrawn();
    savedLabels_ = files.labels();
    view_.refreshTray();
}

std::optional<int> ProfileSession::uploadProfile() {
    RecordState& state = session_.state();
    if (!state.loaded)
        return std::nullopt;
    if (!session_.mousePresent()) {
        setMouseOutOfDate(true);
        return std::nullopt;
    }
    // As the upload itself does, before the copy leaves for the device thread.
    state.record.activeProfile = 0;
    const int ticket = session_.deviceQueue().upload(state.record);
    state.takeSnapshot();
    return ticket;
}

void ProfileSession::setMouseOutOfDate(bool outOfDate) {
    mouseOutOfDate_ = outOfDate;
    const auto folder = session_.profile().userFolder();
    if (const FileWriteResult noted = markProfileUnsent(folder, outOfDate); !noted.ok())
        std::fprintf(stderr, "qvr: %s\n", noted.message.c_str());
}

std::optional<bool> ProfileSession::writeProfile() {
    RecordState& state = session_.state();
    if (!state.loaded) {
        session_.messages().showMessage(std::string(profileFileTexts(view_.language()).notLoaded),
                                        kApplicationTitle);
        return std::nullopt;
    }
    // What the upload about to follow leaves on the mouse.
    if (session_.mousePresent())
        state.record.activeProfile = 0;
    const bool written =
        saveProfileFiles(session_.profile(), state.record, state.pointerChanges, macroTableNames());
    // What no file holds stays unsaved, so that leaving the profile still asks.
    if (written)
        markSaved();
    // Sent when the mouse comes back.
    if (written && !session_.mousePresent())
        setMouseOutOfDate(true);
    return written;
}

bool ProfileSession::saveProfile() {
    if (!writeProfile().value_or(false))
        return false;
    if (session_.mousePresent())
        notifyTickets_.insert(session_.deviceQueue().upload(session_.state().record));
    return true;
}

bool ProfileSession::mayLeaveProfile(std::string_view question) {
    if (!hasUnsavedChanges())
        return true;
    const ProfileFileTexts& texts = profileFileTexts(view_.language());
    const UnsavedChoice choice = session_.messages().askUnsavedChanges(
        std::string(question.empty() ? texts.unsavedQuestion : question), kApplicationTitle,
        {std::string(texts.saveChoice), std::string(texts.discardChoice),
         std::string(texts.cancelChoice)});
    switch (choice) {
    case UnsavedChoice::Save:
        return saveProfile();
    case UnsavedChoice::Discard:
        return true;
    case UnsavedChoice::Cancel:
        break;
    }
    return false;
}

bool ProfileSession::moveTo(int position) {
    if (!mayLeaveProfile())
        return false;
    session_.profile().setCurrentProfileIndex(position);
    loadProfile();
    return true;
}

bool ProfileSession::switchProfile(int position) {
    if (position == windowProfile())
        return true;
    if (!moveTo(position))
        return false;
    uploadProfile();
    return true;
}

std::vector<std::string> ProfileSession::profileNames() const {
    return readProfileList(session_.profile().globalSettingsPath()).names;
}

void ProfileSession::switchOnRequest(int position, std::function<void(ProfileOutcome)> done) {
    const auto tell = [&done](ProfileOutcome outcome) {
        if (done)
            done(outcome);
    };
    if (position == windowProfile())
        return tell(ProfileOutcome::Unchanged);
    // The open manager writes the list when it closes, with its own choice.
    if (view_.profileManagerOpen())
        return tell(ProfileOutcome::Busy);
    // The question needs the window it is about.
    if (hasUnsavedChanges())
        view_.showForQuestion();
    if (!moveTo(position))
        return tell(ProfileOutcome::Cancelled);
    const ProfileFiles& files = session_.profile();
    if (!session_.state().loaded)
        return tell(ProfileOutcome::Unreadable);
    // The next start, and qvrctl, find the profile the window went to.
    const std::vector<std::string> names = profileNames();
    if (position < static_cast<int>(names.size())) {
        const FileWriteResult written =
            ProfileSlots(files.userFolder())
                .writeList(names, names[static_cast<std::size_t>(position)]);
        if (!written.ok()) {
            session_.messages().showMessage(writeErrorMessage(written),
                                            std::string(kWriteErrorCaption));
            uploadProfile();
            return tell(ProfileOutcome::Unreadable);
        }
    }
    const std::optional<int> ticket = uploadProfile();
    if (!ticket)
        return tell(ProfileOutcome::MouseAbsent);
    if (!done)
        return;
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection =
        connect(&session_.deviceQueue(), &DeviceThread::uploadFinished, this,
                [connection, ticket, done](int finished, bool received) {
                    if (finished != *ticket)
                        return;
                    QObject::disconnect(*connection);
                    done(received ? ProfileOutcome::Switched : ProfileOutcome::NotReceived);
                });
}

void ProfileSession::answer(const ProfileRequest& request,
                            std::function<void(const ProfileAnswer&)> reply) {
    ProfileAnswer answer{
        .outcome = ProfileOutcome::Listed, .current = windowProfile(), .names = profileNames()};
    if (request.verb != ProfileRequest::Verb::Switch)
        return reply(answer);
    const ProfilePick pick = pickProfile(answer.names, request.target);
    if (pick.result != ProfilePick::Result::Found) {
        answer.outcome = pick.result == ProfilePick::Result::Ambiguous ? ProfileOutcome::Ambiguous
                                                                       : ProfileOutcome::Unknown;
        return reply(answer);
    }
    switchOnRequest(pick.position, [this, answer, reply](ProfileOutcome outcome) mutable {
        answer.outcome = outcome;
        answer.current = windowProfile();
        reply(answer);
    });
}

void ProfileSession::profileDeleted(int position, int count) {
    int current = windowProfile();
    const bool own = current == position;
    if (current > position || current == count)
        --current;
    session_.profile().setCurrentProfileIndex(std::max(current, 0));
    if (own) {
        // The deleted profile's changes went with it.
        loadProfile();
        uploadProfile();
    }
    view_.redraw();
}

void ProfileSession::deviceArrived() {
    if (!hasUnsavedChanges())
        loadProfile();
    sendSavedProfile();
}

void ProfileSession::mouseFound() {
    sendSavedProfile();
}

std::optional<int> ProfileSession::sendSavedProfile() {
    const RecordState& state = session_.state();
    if (!mouseOutOfDate_ || !state.loaded || !session_.mousePresent())
        return std::nullopt;
    // The snapshot is what the files hold, whatever is being edited now.
    ConfigRecord saved = state.appliedRecord;
    saved.activeProfile = 0;
    const int ticket = session_.deviceQueue().upload(saved);
    notifyTickets_.insert(ticket);
    return ticket;
}

std::optional<UnsavedEdits> ProfileSession::unsavedEdits() const {
    const RecordState& state = session_.state();
    if (!state.loaded || !hasUnsavedChanges())
        return std::nullopt;
    const ProfileFiles& files = session_.profile();
    const std::vector<std::string> names = readProfileList(files.globalSettingsPath()).names;
    const int position = windowProfile();
    const bool listed = position >= 0 && position < static_cast<int>(names.size());
    return UnsavedEdits{.profile = position,
                        .profileName = listed ? names[static_cast<std::size_t>(position)] : "",
                        .record = state.record,
                        .pointerChanges = state.pointerChanges,
                        .labels = files.labels(),
                        .imported = imported_,
                        .macroTableNames = state.macroTableNames};
}

bool ProfileSession::restoreEdits(const UnsavedEdits& edits) {
    ProfileFiles& files = session_.profile();
    const std::vector<std::string> names = readProfileList(files.globalSettingsPath()).names;
    const auto count = static_cast<int>(names.size());
    // A profile moves in the list when one above it is deleted.
    int position = edits.profile;
    if (position >= count || names[static_cast<std::size_t>(position)] != edits.profileName) {
        const auto named = std::ranges::find(names, edits.profileName);
        if (named != names.end())
            position = static_cast<int>(named - names.begin());
    }
    if (position >= count)
        return false;
    if (position != windowProfile()) {
        files.setCurrentProfileIndex(position);
        loadProfile();
    }
    RecordState& state = session_.state();
    if (!state.loaded)
        return false;
    // Kept edits of an earlier version do not say which macros a table of
    // their own holds: it is then guessed from the store.
    if (edits.macroTableNames)
        state.macroTableNames = edits.macroTableNames;
    else if (edits.record.macroData != state.record.macroData)
        state.macroTableNames.reset();
    state.record = edits.record;
    state.pointerChanges = edits.pointerChanges;
    files.labels() = edits.labels;
    imported_ = edits.imported;
    view_.redraw();
    return true;
}

} // namespace qvr
