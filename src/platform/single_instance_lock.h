#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace qvr {

// The name every running copy of the program locks.
inline constexpr std::string_view kSingleInstanceName = "ZPVL384-netMutex";

// The socket the lock holder listens on, beside the lock in the same folder.
inline std::filesystem::path instanceSocketFile(const std::filesystem::path& lockFolder) {
    return lockFolder / (std::string(kSingleInstanceName) + ".socket");
}

// A lock file in the user's runtime folder, held by the first instance for
// as long as it runs. The lock goes with the process, so a crash never leaves
// a stale lock behind.
class SingleInstanceLock {
  public:
    enum class Result { Acquired, AlreadyRunning, Unavailable };

    SingleInstanceLock() = default;
    ~SingleInstanceLock();
    SingleInstanceLock(const SingleInstanceLock&) = delete;
    SingleInstanceLock& operator=(const SingleInstanceLock&) = delete;

    // folder must already exist and be the user's own (runtimeFolder()). The
    // lock file is never opened through a link. Unavailable when it cannot be
    // created; the program then runs without the guard rather than not at all.
    Result acquire(const std::filesystem::path& folder,
                   std::string_view name = kSingleInstanceName);

  private:
    int fd_ = -1;
};

} // namespace qvr
