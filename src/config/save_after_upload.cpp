#include "config/save_after_upload.h"

namespace qvr {

std::function<void(const ConfigRecord&)> saveAfterUpload(ProfileFiles& files) {
    return [&files](const ConfigRecord& record) {
        files.SaveProfileRecord(record);
        files.WriteButtonLabels();
    };
}

} // namespace qvr
