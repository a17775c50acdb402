#pragma once

#include <filesystem>

namespace qvr {

// Whether the user may change an existing file, judged from its mode bits
// and owner the way the system would for an ordinary user: root gets no
// exemption, so a file someone protected stays protected.
bool userMayWriteFile(const std::filesystem::path& path);

// Makes every atomic file write ask userMayWriteFile first.
void installFileAccessCheck();

} // namespace qvr
