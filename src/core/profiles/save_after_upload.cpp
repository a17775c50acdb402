#include "core/profiles/save_after_upload.h"

namespace qvr {

std::function<void(const ConfigRecord&)> saveAfterUpload(ProfileFiles& files) {
    return [&files](const ConfigRecord& record) {
        files.saveProfileRecord(record);
        files.writeButtonLabels();
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
    return files.saveProfile(record, changes, macroNames);
}

} // namespace qvr
