#include "config/save_after_upload.h"

namespace qvr {

std::function<void(const ConfigRecord&)> saveAfterUpload(ProfileFiles& files) {
    return [&files](const ConfigRecord& record) {
        files.SaveProfileRecord(record);
        files.WriteButtonLabels();
    };
}

std::function<void(const ConfigRecord&)> saveAfterUpload(ProfileFiles& files,
                                                         const PointerChanges& changes) {
    return [&files, &changes](const ConfigRecord& record) {
        files.SaveProfileRecord(record);
        files.WriteButtonLabels();
        files.WritePointerChanges(changes);
    };
}

ProfileSnapshot takeProfileSnapshot(const ProfileFiles& files, const ConfigRecord& record,
                                    const PointerChanges& changes) {
    return {record, files.labels(), changes, files.currentProfileIndex()};
}

bool saveProfileSnapshot(ProfileFiles& files, const ProfileSnapshot& snapshot) {
    const int current = files.currentProfileIndex();
    ButtonLabels currentLabels = files.labels();
    files.setCurrentProfileIndex(snapshot.profileIndex);
    files.labels() = snapshot.labels;
    // The record first: its save points the settings path at this profile.
    const bool recordWritten = files.SaveProfileRecord(snapshot.record);
    const bool labelsWritten = files.WriteButtonLabels();
    const bool changesWritten = files.WritePointerChanges(snapshot.pointerChanges);
    files.labels() = std::move(currentLabels);
    files.setCurrentProfileIndex(current);
    files.formCurrentProfilePaths();
    return recordWritten && labelsWritten && changesWritten;
}

} // namespace qvr
