#pragma once

#include "core/files/atomic_file.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace qvr {

// Kept in the user folder while files that belong together are being
// replaced. Its extension is neither ".bin" nor ".ini", so nothing takes it
// for a profile file.
inline constexpr std::string_view kFileJournalName = "changes.journal";

// The new contents of one file of the folder, by its plain name.
struct FileChange {
    std::string name;
    std::vector<std::uint8_t> bytes;
};

// Replaces the files of folder together (a profile's record and its
// settings, which describe each other): the new contents go into the journal
// first, then each file is replaced and the journal removed (emptied when it
// cannot be). A failure on the way puts back what was replaced; a crash
// leaves the journal, from which the next start finishes the change
// (finishFileJournal). One file alone is simply replaced. A journal an
// earlier change left is finished first. Every file must be one the user may change, or
// nothing is written. fault is given each file's write (not the journal's).
FileWriteResult replaceFilesTogether(const std::filesystem::path& folder,
                                     const std::vector<FileChange>& changes,
                                     const AtomicWriteFault& fault = {});

// Finishes a change a crash interrupted; nothing when there is no journal.
// An unreadable journal, or one that cannot be finished now, stays for the
// next start and is reported.
FileWriteResult finishFileJournal(const std::filesystem::path& folder);

// Whether a change is waiting to be finished: until it is, the files it
// names may not describe each other.
bool fileJournalPending(const std::filesystem::path& folder);

} // namespace qvr
