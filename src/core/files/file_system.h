#pragma once

#include "core/files/atomic_file.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

namespace qvr {

// What a directory entry is, without following a symbolic link.
enum class EntryKind { Missing, Regular, Folder, Link, Special, Error };

// A whole file read into memory. errorCode is an errno value: ENOENT for a
// missing file, EFBIG for one above the limit, EINVAL for a FIFO, socket or
// device (never opened, so never blocked on).
struct FileRead {
    int errorCode = 0;
    std::vector<std::uint8_t> bytes;

    bool ok() const { return errorCode == 0; }
};

// Whether a folder is one only its owner (this user) can change: owned by the
// user, neither group nor world writable, not sticky. A link planted there
// could not have come from someone else.
enum class FolderTrust { Private, Shared, Missing };

// The file operations the core needs from the system. The core holds one
// standard-library implementation (used headless and as the default); the
// platform layer installs one with the system's stronger guarantees (fsync,
// O_NOFOLLOW, ownership).
class FileSystem {
  public:
    virtual ~FileSystem() = default;

    virtual EntryKind entryKind(const std::filesystem::path& path) const = 0;
    // Follows links; refuses anything but a regular file.
    virtual FileRead readFile(const std::filesystem::path& path, std::uintmax_t limit) const = 0;
    // Creates a new file; an existing entry (a dangling link included) is
    // never replaced. A failed write leaves no file behind.
    virtual FileWriteResult createFile(const std::filesystem::path& path,
                                       std::span<const std::uint8_t> bytes) = 0;
    // The atomic replacement described at writeFileAtomically.
    virtual FileWriteResult replaceFile(const std::filesystem::path& path,
                                        std::span<const std::uint8_t> bytes,
                                        const AtomicWriteFault& fault) = 0;
    // Creates the folder (and its parents) readable by the user only; an
    // existing folder is left as it is. Returns an errno value, 0 on success.
    virtual int makePrivateFolder(const std::filesystem::path& path) = 0;
    virtual FolderTrust folderTrust(const std::filesystem::path& path) const = 0;
    // Renames an entry (a link itself, never its target), replacing what is
    // at to. Returns an errno value, 0 on success.
    virtual int renameEntry(const std::filesystem::path& from, const std::filesystem::path& to) = 0;
    // Removes a file, or a link itself. A missing entry counts as removed.
    virtual int removeEntry(const std::filesystem::path& path) = 0;
    // Makes the folder's changes (a rename into it) survive a power cut.
    virtual int syncFolder(const std::filesystem::path& folder) = 0;
};

// Standard library only: no fsync, no ownership (every folder counts as
// private).
class StandardFileSystem : public FileSystem {
  public:
    EntryKind entryKind(const std::filesystem::path& path) const override;
    FileRead readFile(const std::filesystem::path& path, std::uintmax_t limit) const override;
    FileWriteResult createFile(const std::filesystem::path& path,
                               std::span<const std::uint8_t> bytes) override;
    FileWriteResult replaceFile(const std::filesystem::path& path,
                                std::span<const std::uint8_t> bytes,
                                const AtomicWriteFault& fault) override;
    int makePrivateFolder(const std::filesystem::path& path) override;
    FolderTrust folderTrust(const std::filesystem::path& path) const override;
    int renameEntry(const std::filesystem::path& from, const std::filesystem::path& to) override;
    int removeEntry(const std::filesystem::path& path) override;
    int syncFolder(const std::filesystem::path& folder) override;
};

// The process's file system: the standard one until the program installs
// another at start (before any thread uses files). The installed object must
// outlive every use.
FileSystem& fileSystem();
void installFileSystem(FileSystem& system);

} // namespace qvr
