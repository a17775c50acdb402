#pragma once

#include "config/config_record.h"
#include "config/profile_files.h"

#include <functional>

namespace qvr {

// The hook MouseProtocol::uploadConfiguration runs after an upload: saves the
// record into the current profile's record file, then its labels. The order
// matters: the save is what points the settings path back at the current
// profile's settings file. The returned function refers to files, which must
// outlive it.
std::function<void(const ConfigRecord&)> saveAfterUpload(ProfileFiles& files);
// The same, then which pointer settings the user changed, as they are when
// the upload ends.
std::function<void(const ConfigRecord&)> saveAfterUpload(ProfileFiles& files,
                                                         const PointerChanges& changes);

// What a Save acts on, taken when it is pressed: edits made while its upload
// runs belong to the next Save, and a profile switched to meanwhile must not
// receive it.
struct ProfileSnapshot {
    ConfigRecord record{};
    ButtonLabels labels{};
    PointerChanges pointerChanges{};
    int profileIndex = 0;
};

ProfileSnapshot takeProfileSnapshot(const ProfileFiles& files, const ConfigRecord& record,
                                    const PointerChanges& changes);

// Saves the snapshot into its own profile's files as saveAfterUpload does,
// then leaves files pointing at the profile current now, with its labels.
// False when a file could not be written (the user has been told).
bool saveProfileSnapshot(ProfileFiles& files, const ProfileSnapshot& snapshot);

} // namespace qvr
