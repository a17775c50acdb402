#include "platform/app_folders.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace qvr {

namespace fs = std::filesystem;

namespace {

fs::path environmentFolder(const char* name) {
    const char* value = std::getenv(name);
    // Relative values are invalid by the XDG rules and are ignored.
    if (value == nullptr || *value != '/')
        return {};
    return value;
}

// The private fallback: an existing entry is used only when it is a real
// folder (not a link) that only this user can change.
std::string checkPrivateFolder(const fs::path& path) {
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return "cannot create " + path.string() + ": " + std::strerror(errno);
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return "cannot use " + path.string() + ": " + std::strerror(errno);
    if (!S_ISDIR(info.st_mode))
        return path.string() + " is not a folder";
    if (info.st_uid != ::geteuid())
        return path.string() + " belongs to another user";
    if ((info.st_mode & (S_IWGRP | S_IWOTH)) != 0)
        return path.string() + " can be changed by other users";
    return {};
}

} // namespace

fs::path executableFolder() {
    std::error_code error;
    const auto exe = fs::read_symlink("/proc/self/exe", error);
    if (error)
        return fs::current_path(error);
    return exe.parent_path();
}

fs::path factoryFolder() {
    return (executableFolder() / ".." / "share" / "qvr").lexically_normal();
}

fs::path userFolder() {
    fs::path config = environmentFolder("XDG_CONFIG_HOME");
    if (config.empty()) {
        const fs::path home = environmentFolder("HOME");
        config = (home.empty() ? fs::path("/") : home) / ".config";
    }
    return config / "qvr";
}

RuntimeFolder runtimeFolder() {
    const fs::path runtime = environmentFolder("XDG_RUNTIME_DIR");
    if (!runtime.empty())
        return {runtime, {}};
    std::error_code error;
    fs::path temporary = fs::temp_directory_path(error);
    if (error)
        temporary = "/tmp";
    const fs::path own = temporary / ("qvr-" + std::to_string(::geteuid()));
    return {own, checkPrivateFolder(own)};
}

} // namespace qvr
