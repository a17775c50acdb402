#include "platform/single_instance_lock.h"

#include <cerrno>
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
    const auto path = folder / (std::string(name) + ".lock");
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
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

} // namespace qvr
