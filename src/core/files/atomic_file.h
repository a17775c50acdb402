#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

namespace qvr {

// Outcome of a file write. errorCode is an errno value (0 on success), kept so
// that callers can show "the system error code" in their messages.
struct FileWriteResult {
    int errorCode = 0;
    std::string message;

    bool ok() const { return errorCode == 0; }
};

// The steps of an atomic write, named so tests can make any one of them fail.
enum class AtomicWriteStage { CreateTemporary, WriteData, Flush, Rename };

// Returns an errno value to simulate a failure at that stage, or 0 to go on.
using AtomicWriteFault = std::function<int(AtomicWriteStage)>;

// Whether the user may change an existing file. The rename that replaces a
// file needs only the folder's permission, so without this check a
// write-protected file would be replaced all the same. The default reads the
// owner's write bit; the platform layer installs one that knows the owner.
using WriteAccessCheck = bool (*)(const std::filesystem::path&);
void setWriteAccessCheck(WriteAccessCheck check);
bool mayReplaceFile(const std::filesystem::path& path);

// Replaces the file at path with bytes, or leaves it untouched.
//
// The bytes go to a new temporary file in the same folder, which is flushed,
// closed and then renamed over the target, so a failure at any point (a full
// disk, a crash) leaves the old file byte-identical and no truncated file
// behind. The temporary file is removed on failure. A file the user may not
// change (mayReplaceFile) is refused with EACCES. A symbolic link is
// followed, so the file it points at is replaced and the link stays. The
// permission bits of an existing file are carried over.
//
// The work is done by the installed FileSystem; the platform's one also
// syncs the temporary file before the rename and the folder after it.
FileWriteResult writeFileAtomically(const std::filesystem::path& path,
                                    std::span<const std::uint8_t> bytes,
                                    const AtomicWriteFault& fault = {});

} // namespace qvr
