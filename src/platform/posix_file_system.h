#pragma once

#include "core/files/file_system.h"

namespace qvr {

// The core's file operations with the guarantees the standard library cannot
// give: reads that never block on a FIFO or device, temporary files created
// with O_EXCL | O_NOFOLLOW and synced before the rename (and their folder
// after it), and folder ownership checks.
class PosixFileSystem final : public FileSystem {
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
    // Synced into the target's folder, so a crash never brings the old name back.
    int renameEntry(const std::filesystem::path& from, const std::filesystem::path& to) override;
    int removeEntry(const std::filesystem::path& path) override;
    int syncFolder(const std::filesystem::path& folder) override;
};

} // namespace qvr
