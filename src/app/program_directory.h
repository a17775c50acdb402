#pragma once

#include <filesystem>

namespace qvr {

// The folder of the running executable, asked of the system (not derived from
// argv[0], which may be a relative name or a link).
std::filesystem::path programDirectory();

} // namespace qvr
