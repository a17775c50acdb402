#include "app/single_instance.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/file.h>
#include <unistd.h>

namespace qvr {

SingleInstanceLock::~SingleInstanceLock() {
    if (fd_ >= 0)
        ::close(fd_);
}

SingleInstanceLock::Result SingleInstanceLock::acquire(const std::filesystem::path& folder,
                                                       std::string_view name) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    const auto path = folder / (std::string(name) + ".lock");
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return Result::Unavailable;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? Result::AlreadyRunning : Result::Unavailable;
    }
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = fd;
    return Result::Acquired;
}

std::filesystem::path runtimeFolder() {
    const char* dir = std::getenv("XDG_RUNTIME_DIR");
    if (dir && *dir)
        return dir;
    // Without a runtime folder the lock is made per user in the shared
    // temporary folder, so two users do not block each other.
    return std::filesystem::temp_directory_path() / ("qvr-" + std::to_string(::getuid()));
}

} // namespace qvr
