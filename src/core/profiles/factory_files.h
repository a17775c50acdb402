#pragma once

#include "core/record/config_record.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qvr {

// The data files of the factory folder: the default record
// "config.bin", the six profile record files, the global settings "str.ini",
// the six profile settings files and an empty macro store.
struct FactoryFile {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// The factory settings: the default buttons, DPI 800/1600/2400/3200 in red,
// green, blue and yellow, 1000 Hz, lighting effect 1, middle sensitivities,
// no angle snap, and no macros.
ConfigRecord factoryRecord();

// The skin and text colour the program starts with.
inline constexpr const char* kFactorySkin = "Carbon";

std::vector<FactoryFile> factoryFiles();

struct FactoryWriteReport {
    std::vector<std::string> written;   // names of files created or replaced
    std::vector<std::string> unchanged; // names of files that already held these bytes
    std::vector<std::string> errors;    // one line per file that could not be written
};

// Writes the factory files into folder (created when missing). A file that
// already holds the same bytes is left alone, so a program running from the
// folder is not disturbed by a rebuild.
FactoryWriteReport writeFactoryFiles(const std::filesystem::path& folder);

} // namespace qvr
