#include "config/save_after_upload.h"

namespace qvr {

std::function<void(const ConfigRecord&)> saveAfterUpload(ProfileFiles& files) {
    return [&files](const ConfigRecord& record) {
        files.SaveProfileRecord(record);
        files.WriteButtonLabels();
    };
}

ProfileSnapshot takeProfileSnapshot(const ProfileFiles& files, const ConfigRecord& record) {
    return {record, files.labels(), files.currentProfileIndex()};
}

bool saveProfileSnapshot(ProfileFiles& files, const ProfileSnapshot& snapshot) {
    const int current = files.currentProfileIndex();
    ButtonLabels currentLabels = files.labels();
    files.setCurrentProfileIndex(snapshot.profileIndex);
    files.labels() = snapshot.labels;
    // The record first: its save points the settings path at this profile.
    const bool recordWritten = files.SaveProfileRecord(snapshot.record);
    const bool labelsWritten = files.WriteButtonLabels();
    files.labels() = std::move(currentLabels);
    files.setCurrentProfileIndex(current);
    files.formCurrentProfilePaths();
    return recordWritten && labelsWritten;
}

} // namespace qvr
