// A profile record file image, loaded and then read by everything that reads
// a loaded record: the upload's blocks, the labels and the profile report.
#include "core/buttons/button_labels.h"
#include "core/device/config_block.h"
#include "core/profiles/profile_record_file.h"
#include "core/profiles/profile_report.h"

#include <algorithm>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Short inputs are padded to a whole file so that the fuzzer reaches the
    // readers of the record, not only the size check.
    std::vector<std::uint8_t> image(data, data + size);
    qvr::RecordFileRead read = qvr::decodeRecordFile(image);
    if (read.status != qvr::RecordFileStatus::Loaded) {
        image.resize(qvr::kProfileFileSize);
        read = qvr::decodeRecordFile(image);
    }
    if (read.status != qvr::RecordFileStatus::Loaded || read.recordBytes.size() != qvr::kRecordSize)
        std::abort();
    qvr::ConfigRecord record{};
    std::copy(read.recordBytes.begin(), read.recordBytes.end(), qvr::recordBytes(record).begin());
    for (int button = 0; button < qvr::kButtonCount; ++button)
        qvr::englishLabelFor(record, button, "macro");
    qvr::buildConfigurationBlock(record);
    qvr::describeProfile(record, read.firstRunFlag);
    qvr::describeUpload(record);
    return 0;
}
