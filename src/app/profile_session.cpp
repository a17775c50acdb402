#include "app/profile_session.h"

#include "app/main_window.h"
#include "config/save_after_upload.h"
#include "device/device_events.h"

#include <algorithm>

namespace qvr {

ProfileSession::ProfileSession(CMavloDlg& window) : QObject(&window), window_(window) {
    savedLabels_ = window_.profile().labels();
    connect(&window_.deviceThread(), &DeviceThread::uploadFinished, this,
            [this](int ticket, bool received) {
                if (notifyTickets_.erase(ticket) && !received)
                    window_.showDeviceNotification(kNotifyNotDetected, 0);
            });
}

int ProfileSession::windowProfile() const {
    return window_.profile().currentProfileIndex();
}

bool ProfileSession::hasUnsavedChanges() const {
    const RecordState& state = window_.state();
    return imported_ ||
           !std::ranges::equal(recordBytes(state.record), recordBytes(state.appliedRecord)) ||
           window_.profile().labels() != savedLabels_;
}

void ProfileSession::labelsReread() {
    savedLabels_ = window_.profile().labels();
    window_.update();
}

void ProfileSession::markSaved() {
    window_.state().takeSnapshot();
    savedLabels_ = window_.profile().labels();
    imported_ = false;
    window_.update();
}

void ProfileSession::markImported() {
    imported_ = true;
    window_.update();
}

void ProfileSession::loadProfile() {
    RecordState& state = window_.state();
    ProfileFiles& files = window_.profile();
    window_.closePagePopups();
    state.loaded = false;
    files.loadProfileAt(files.currentProfileIndex(), state);
    window_.takeDesktopPointerSettingsIfNew();
    files.ReadProfileSettings();
    markSaved();
    // First-run labels once per load, as the first drawing of a start-up.
    window_.notifyProfileDrawn();
    savedLabels_ = files.labels();
}

void ProfileSession::uploadProfile() {
    RecordState& state = window_.state();
    if (window_.link().devicePresent != 1 || !state.loaded)
        return;
    // As the upload itself does, before the copy leaves for the device thread.
    state.record.activeProfile = 0;
    window_.deviceThread().upload(state.record);
    state.takeSnapshot();
}

std::optional<bool> ProfileSession::writeProfile() {
    RecordState& state = window_.state();
    if (!state.loaded) {
        window_.messages().showMessage(std::string(profileFileTexts(window_.language()).notLoaded),
                                       kApplicationTitle);
        return std::nullopt;
    }
    // What the upload about to follow leaves on the mouse.
    if (window_.link().devicePresent == 1)
        state.record.activeProfile = 0;
    const bool written = saveProfileFiles(window_.profile(), state.record, state.pointerChanges);
    // What no file holds stays unsaved, so that leaving the profile still asks.
    if (written)
        markSaved();
    return written;
}

bool ProfileSession::saveProfile() {
    if (!writeProfile().value_or(false))
        return false;
    if (window_.link().devicePresent == 1)
        notifyTickets_.insert(window_.deviceThread().upload(window_.state().record));
    return true;
}

bool ProfileSession::mayLeaveProfile() {
    if (!hasUnsavedChanges())
        return true;
    const ProfileFileTexts& texts = profileFileTexts(window_.language());
    const UnsavedChoice choice = window_.messages().askUnsavedChanges(
        std::string(texts.unsavedQuestion), kApplicationTitle,
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

bool ProfileSession::switchProfile(int position) {
    if (position == windowProfile())
        return true;
    if (!mayLeaveProfile())
        return false;
    window_.profile().setCurrentProfileIndex(position);
    loadProfile();
    uploadProfile();
    return true;
}

void ProfileSession::profileDeleted(int position, int count) {
    int current = windowProfile();
    const bool own = current == position;
    if (current > position || current == count)
        --current;
    window_.profile().setCurrentProfileIndex(std::max(current, 0));
    if (own) {
        // The deleted profile's changes went with it.
        loadProfile();
        uploadProfile();
    }
    window_.update();
}

} // namespace qvr
