#include "app/program_directory.h"

#include <system_error>

namespace qvr {

std::filesystem::path programDirectory() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error)
        return std::filesystem::current_path();
    return exe.parent_path();
}

} // namespace qvr
