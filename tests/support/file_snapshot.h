#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

namespace qvr::test {

// Every file of a folder with its bytes, to tell after a failure whether each
// file is whole: byte for byte as before, or as a clean run writes it.
using FileSnapshot = std::map<std::string, std::vector<std::uint8_t>>;

inline FileSnapshot snapshotFolder(const std::filesystem::path& folder) {
    FileSnapshot files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        files[entry.path().filename().string()] = {std::istreambuf_iterator<char>(in),
                                                   std::istreambuf_iterator<char>()};
    }
    return files;
}

// Names of files that are neither as in before nor as in after, and of files
// that appeared in neither (a temporary file left behind, for example).
inline std::vector<std::string> filesNotWhole(const FileSnapshot& now, const FileSnapshot& before,
                                              const FileSnapshot& after) {
    std::vector<std::string> broken;
    for (const auto& [name, bytes] : now) {
        const auto old = before.find(name);
        const auto fresh = after.find(name);
        const bool asBefore = old != before.end() && old->second == bytes;
        const bool asAfter = fresh != after.end() && fresh->second == bytes;
        if (!asBefore && !asAfter)
            broken.push_back(name);
    }
    // A file that existed both before and after must not have vanished.
    for (const auto& [name, bytes] : before)
        if (after.count(name) != 0 && now.count(name) == 0)
            broken.push_back(name + " (missing)");
    return broken;
}

} // namespace qvr::test
