#include "platform/posix_file_system.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace qvr {

namespace fs = std::filesystem;

namespace {

FileWriteResult failure(int errorCode, const std::string& what) {
    errorCode = errorCode != 0 ? errorCode : EIO;
    return {errorCode, what + ": " + std::strerror(errorCode)};
}

int injected(const AtomicWriteFault& fault, AtomicWriteStage stage) {
    return fault ? fault(stage) : 0;
}

// Writes everything or returns the errno of the failure.
int writeAll(int fd, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

int syncFolderOf(const fs::path& folder) {
    const int fd =
        ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    const int result = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    // Some file systems cannot sync a folder; the rename itself is done.
    return result == EINVAL ? 0 : result;
}

// A name no other writer uses, in the target's folder so that the rename
// never crosses file systems.
fs::path temporaryNameFor(const fs::path& target, unsigned attempt) {
    static thread_local std::mt19937 generator{std::random_device{}()};
    const auto suffix = std::to_string(generator()) + "-" + std::to_string(attempt);
    return target.parent_path() / ("." + target.filename().string() + ".tmp-" + suffix);
}

} // namespace

EntryKind PosixFileSystem::entryKind(const fs::path& path) const {
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return errno == ENOENT ? EntryKind::Missing : EntryKind::Error;
    if (S_ISREG(info.st_mode))
        return EntryKind::Regular;
    if (S_ISDIR(info.st_mode))
        return EntryKind::Folder;
    if (S_ISLNK(info.st_mode))
        return EntryKind::Link;
    return EntryKind::Special;
}

FileRead PosixFileSystem::readFile(const fs::path& path, std::uintmax_t limit) const {
    FileRead result;
    // O_NONBLOCK: opening a FIFO must not wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        result.errorCode = errno;
        return result;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        result.errorCode = errno;
    } else if (S_ISDIR(info.st_mode)) {
        result.errorCode = EISDIR;
    } else if (!S_ISREG(info.st_mode)) {
        result.errorCode = EINVAL;
    } else if (static_cast<std::uintmax_t>(info.st_size) > limit) {
        result.errorCode = EFBIG;
    } else {
        result.bytes.resize(static_cast<std::size_t>(info.st_size));
        std::size_t done = 0;
        // Reads to the end, as the file may have grown since fstat.
        for (;;) {
            if (done == result.bytes.size()) {
                if (result.bytes.size() > limit) {
                    result.errorCode = EFBIG;
                    break;
                }
                result.bytes.resize(done + 4096);
            }
            const ssize_t n = ::read(fd, result.bytes.data() + done, result.bytes.size() - done);
            if (n < 0) {
                if (errno == EINTR)
                    continue;
                result.errorCode = errno;
                break;
            }
            if (n == 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        result.bytes.resize(done);
        if (result.ok() && done > limit)
            result.errorCode = EFBIG;
    }
    ::close(fd);
    if (!result.ok())
        result.bytes.clear();
    return result;
}

FileWriteResult PosixFileSystem::createFile(const fs::path& path,
                                            std::span<const std::uint8_t> bytes) {
    // O_EXCL never follows a link, so a dangling one is not written through.
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return failure(errno, "cannot create " + path.string());
    int error = writeAll(fd, bytes);
    if (error == 0 && ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(path.c_str());
        return failure(error, "cannot write " + path.string());
    }
    syncFolderOf(path.parent_path());
    return {};
}

FileWriteResult PosixFileSystem::replaceFile(const fs::path& path,
                                             std::span<const std::uint8_t> bytes,
                                             const AtomicWriteFault& fault) {
    std::error_code ec;
    fs::path target = path;
    if (entryKind(path) == EntryKind::Link) {
        const fs::path resolved = fs::canonical(path, ec);
        if (ec)
            return failure(ec.value(), "cannot follow link " + path.string());
        target = resolved;
    }
    if (target.filename().empty())
        return failure(EISDIR, "no file name in " + path.string());

    const std::string creating = "cannot create a temporary file beside " + target.string();
    if (int error = injected(fault, AtomicWriteStage::CreateTemporary))
        return failure(error, creating);
    fs::path temporary;
    int fd = -1;
    for (unsigned attempt = 0; attempt < 16 && fd < 0; ++attempt) {
        temporary = temporaryNameFor(target, attempt);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
        if (fd < 0 && errno != EEXIST)
            return failure(errno, creating);
    }
    if (fd < 0)
        return failure(EEXIST, creating);

    auto abandon = [&](int error, const std::string& what) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(temporary.c_str());
        return failure(error, what);
    };
    const std::string writing = "cannot write " + temporary.string();
    int error = writeAll(fd, bytes);
    if (error == 0)
        error = injected(fault, AtomicWriteStage::WriteData);
    if (error != 0)
        return abandon(error, writing);
    // The data is on the disk before the name points at it, so a crash after
    // the rename never finds an empty file.
    if (::fsync(fd) != 0)
        return abandon(errno, writing);
    if ((error = injected(fault, AtomicWriteStage::Flush)) != 0)
        return abandon(error, writing);
    // Keep the old file's permission bits; a new one gets the usual defaults.
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0) {
        ::fchmod(fd, old.st_mode & 07777);
    } else {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    const int closed = ::close(fd);
    fd = -1;
    if (closed != 0)
        return abandon(errno, writing);

    const std::string replacing = "cannot replace " + target.string();
    if ((error = injected(fault, AtomicWriteStage::Rename)) != 0)
        return abandon(error, replacing);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        return abandon(errno, replacing);
    syncFolderOf(target.parent_path());
    return {};
}

int PosixFileSystem::makePrivateFolder(const fs::path& path) {
    std::error_code ec;
    const fs::path parent = path.parent_path();
    if (!parent.empty() && !fs::exists(parent, ec))
        fs::create_directories(parent, ec);
    if (::mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
        return errno;
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno;
    return S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
}

FolderTrust PosixFileSystem::folderTrust(const fs::path& path) const {
    struct stat info {};
    if (::stat(path.empty() ? "." : path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode))
        return FolderTrust::Missing;
    const bool owned = info.st_uid == ::geteuid();
    const bool othersWrite = (info.st_mode & (S_IWGRP | S_IWOTH)) != 0;
    const bool sticky = (info.st_mode & S_ISVTX) != 0;
    return owned && !othersWrite && !sticky ? FolderTrust::Private : FolderTrust::Shared;
}

int PosixFileSystem::renameEntry(const fs::path& from, const fs::path& to) {
    if (::rename(from.c_str(), to.c_str()) != 0)
        return errno;
    syncFolderOf(to.parent_path());
    if (from.parent_path() != to.parent_path())
        syncFolderOf(from.parent_path());
    return 0;
}

int PosixFileSystem::removeEntry(const fs::path& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT ? 0 : errno;
}

int PosixFileSystem::syncFolder(const fs::path& folder) {
    return syncFolderOf(folder);
}

} // namespace qvr
