#pragma once

#include "core/files/atomic_file.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qvr {

// One operation on one INI file at a time, the way the Windows private-profile
// functions are used: every call reads the file, and every write that changes
// something replaces it atomically. The rules are those of IniFile.
//
// A missing or unreadable file reads as empty. Writes never replace a file
// that exists but cannot be read (it is reported instead), create a missing
// file only when they add something, and leave the file untouched when
// nothing changes.

// The key's value, or defaultValue (empty) when the file, section or key is
// missing.
std::string readProfileString(const std::filesystem::path& path, std::string_view section,
                              std::string_view key, std::string_view defaultValue = {});

std::vector<std::string> readProfileSectionNames(const std::filesystem::path& path);
std::vector<std::string> readProfileKeyNames(const std::filesystem::path& path,
                                             std::string_view section);

// Writes one key, creating the file and the section when they are missing.
// Refused names or values give EINVAL.
FileWriteResult writeProfileString(const std::filesystem::path& path, std::string_view section,
                                   std::string_view key, std::string_view value,
                                   const AtomicWriteFault& fault = {});

// Removes one key, or a whole section with all its keys.
FileWriteResult removeProfileKey(const std::filesystem::path& path, std::string_view section,
                                 std::string_view key, const AtomicWriteFault& fault = {});
FileWriteResult removeProfileSection(const std::filesystem::path& path, std::string_view section,
                                     const AtomicWriteFault& fault = {});

} // namespace qvr
