#include "core/files/file_system.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace qvr {

namespace fs = std::filesystem;

namespace {

StandardFileSystem standardFileSystem;
FileSystem* installed = &standardFileSystem;

FileWriteResult failure(int errorCode, const std::string& what) {
    errorCode = errorCode != 0 ? errorCode : EIO;
    return {errorCode, what + ": " + std::strerror(errorCode)};
}

} // namespace

FileSystem& fileSystem() {
    return *installed;
}

void installFileSystem(FileSystem& system) {
    installed = &system;
}

EntryKind StandardFileSystem::entryKind(const fs::path& path) const {
    std::error_code ec;
    const fs::file_status status = fs::symlink_status(path, ec);
    switch (status.type()) {
    case fs::file_type::not_found:
        return EntryKind::Missing;
    case fs::file_type::regular:
        return EntryKind::Regular;
    case fs::file_type::directory:
        return EntryKind::Folder;
    case fs::file_type::symlink:
        return EntryKind::Link;
    case fs::file_type::none:
    case fs::file_type::unknown:
        return EntryKind::Error;
    default:
        return EntryKind::Special;
    }
}

FileRead StandardFileSystem::readFile(const fs::path& path, std::uintmax_t limit) const {
    FileRead result;
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (!fs::exists(status)) {
        result.errorCode = ec && ec.value() != ENOENT ? ec.value() : ENOENT;
        return result;
    }
    // Opening a FIFO would block until a writer comes; a device may never end.
    if (!fs::is_regular_file(status)) {
        result.errorCode = fs::is_directory(status) ? EISDIR : EINVAL;
        return result;
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        result.errorCode = errno != 0 ? errno : EIO;
        return result;
    }
    std::uint8_t chunk[65536];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        if (result.bytes.size() + got > limit) {
            result.errorCode = EFBIG;
            break;
        }
        result.bytes.insert(result.bytes.end(), chunk, chunk + got);
    }
    if (result.errorCode == 0 && std::ferror(file) != 0) {
        result.errorCode = errno != 0 ? errno : EIO;
    }
    std::fclose(file);
    if (!result.ok()) {
        result.bytes.clear();
    }
    return result;
}

FileWriteResult StandardFileSystem::createFile(const fs::path& path,
                                               std::span<const std::uint8_t> bytes) {
    if (entryKind(path) != EntryKind::Missing) {
        return failure(EEXIST, "cannot create " + path.string());
    }
    errno = 0;
    std::FILE* file = std::fopen(path.c_str(), "wbx");
    if (file == nullptr) {
        return failure(errno, "cannot create " + path.string());
    }
    bool written =
        bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    const int writeError = errno;
    written = std::fclose(file) == 0 && written;
    if (!written) {
        StandardFileSystem::removeEntry(path);
        return failure(writeError, "cannot write " + path.string());
    }
    return {};
}

int StandardFileSystem::makePrivateFolder(const fs::path& path) {
    std::error_code ec;
    const bool created = fs::create_directories(path, ec);
    if (ec) {
        return ec.value();
    }
    if (created) {
        fs::permissions(path, fs::perms::owner_all, ec);
    }
    if (!fs::is_directory(path, ec)) {
        return ENOTDIR;
    }
    return 0;
}

FolderTrust StandardFileSystem::folderTrust(const fs::path& path) const {
    std::error_code ec;
    return fs::is_directory(path, ec) ? FolderTrust::Private : FolderTrust::Missing;
}

int StandardFileSystem::renameEntry(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    fs::rename(from, to, ec);
    return ec.value();
}

int StandardFileSystem::removeEntry(const fs::path& path) {
    std::error_code ec;
    fs::remove(path, ec);
    return ec && ec.value() != ENOENT ? ec.value() : 0;
}

int StandardFileSystem::syncFolder(const fs::path&) {
    return 0;
}

} // namespace qvr
