#include "platform/file_access.h"

#include "core/files/atomic_file.h"

#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace qvr {

namespace {

bool inGroup(gid_t group) {
    if (group == getegid())
        return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = getgroups(count, groups.data());
    for (int i = 0; i < got; ++i) {
        if (groups[static_cast<std::size_t>(i)] == group)
            return true;
    }
    return false;
}

} // namespace

bool userMayWriteFile(const std::filesystem::path& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return true; // nothing there to protect
    if (info.st_uid == geteuid())
        return (info.st_mode & S_IWUSR) != 0;
    if (inGroup(info.st_gid))
        return (info.st_mode & S_IWGRP) != 0;
    return (info.st_mode & S_IWOTH) != 0;
}

void installFileAccessCheck() {
    setWriteAccessCheck(&userMayWriteFile);
}

} // namespace qvr
