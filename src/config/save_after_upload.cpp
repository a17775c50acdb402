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
        saveProfileFiles(files, record, changes);
    };
}

bool saveProfileFiles(ProfileFiles& files, const ConfigRecord& record,
                      const PointerChanges& changes,
                      const std::optional<MacroTableNames>& macroNames) {
    // Each is tried even when one before it failed.
    const bool recordWritten = files.SaveProfileRecord(record);
    const bool labelsWritten = files.WriteButtonLabels(macroNames);
    const bool changesWritten = files.WritePointerChanges(changes);
    return recordWritten && labelsWritten && changesWritten;
}

} // namespace qvr
