#include "core/profiles/profile_record_file.h"

#include "core/files/file_system.h"

#include <algorithm>
#include <cerrno>

namespace qvr {

namespace fs = std::filesystem;

RecordFileRead decodeRecordFile(std::span<const std::uint8_t> image) {
    RecordFileRead result;
    if (image.size() != kProfileFileSize) {
        result.status = RecordFileStatus::WrongSize;
        return result;
    }
    result.status = RecordFileStatus::Loaded;
    result.firstRunFlag = image[0];
    result.recordBytes.assign(image.begin() + 1, image.end());
    return result;
}

RecordFileRead readRecordFile(const fs::path& path) {
    // One byte more than a profile file holds tells a longer file apart.
    const FileRead read = fileSystem().readFile(path, kProfileFileSize + 1);
    RecordFileRead result;
    if (read.errorCode == ENOENT) {
        return result; // Missing
    }
    if (read.errorCode == EFBIG) {
        result.status = RecordFileStatus::WrongSize;
        return result;
    }
    if (!read.ok()) {
        result.status = RecordFileStatus::Unreadable;
        result.errorCode = read.errorCode;
        return result;
    }
    return decodeRecordFile(read.bytes);
}

std::array<std::uint8_t, kProfileFileSize> recordFileImage(const ConfigRecord& record,
                                                           std::uint8_t firstRunFlag) {
    std::array<std::uint8_t, kProfileFileSize> image{};
    image[0] = firstRunFlag;
    const auto bytes = recordBytes(record);
    std::copy(bytes.begin(), bytes.end(), image.begin() + 1);
    return image;
}

} // namespace qvr
