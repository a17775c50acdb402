#include "config/profile_record_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <system_error>

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
    RecordFileRead result;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) {
        return result; // Missing
    }
    auto unreadable = [&](int code) {
        result.status = RecordFileStatus::Unreadable;
        result.errorCode = code != 0 ? code : EIO;
        return result;
    };
    // fopen succeeds on a folder on Linux; only the read would fail.
    if (!fs::is_regular_file(status)) {
        return unreadable(fs::is_directory(status) ? EISDIR : EINVAL);
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return unreadable(errno);
    }
    std::array<std::uint8_t, kProfileFileSize + 1> buffer{};
    errno = 0;
    const std::size_t got = std::fread(buffer.data(), 1, buffer.size(), file);
    const bool failed = std::ferror(file) != 0;
    const int readError = errno;
    std::fclose(file);
    if (failed) {
        return unreadable(readError);
    }
    return decodeRecordFile(std::span<const std::uint8_t>(buffer.data(), got));
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
