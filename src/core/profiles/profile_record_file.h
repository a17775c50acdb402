#pragma once

#include "core/record/config_record.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace qvr {

// How reading a profile record file went. A file that exists but cannot be
// read (no permission, a folder in its place) is told apart from a missing one
// only for diagnostics; callers treat both alike.
enum class RecordFileStatus { Loaded, Missing, Unreadable, WrongSize };

struct RecordFileRead {
    RecordFileStatus status = RecordFileStatus::Missing;
    std::uint8_t firstRunFlag = 0;
    std::vector<std::uint8_t> recordBytes; // kRecordSize bytes when Loaded
    int errorCode = 0;                     // errno value when Unreadable
};

// Reads a 1757-byte profile file: the first-run flag, then the record. Any
// other size is WrongSize; no more than one byte past the expected size is
// ever read, so a huge file costs nothing.
RecordFileRead readRecordFile(const std::filesystem::path& path);

// Splits a file image into flag and record bytes; WrongSize unless the image
// is exactly kProfileFileSize bytes.
RecordFileRead decodeRecordFile(std::span<const std::uint8_t> image);

// The file image of a record: the first-run flag, then the 1756 record bytes.
std::array<std::uint8_t, kProfileFileSize> recordFileImage(const ConfigRecord& record,
                                                           std::uint8_t firstRunFlag = 1);

} // namespace qvr
