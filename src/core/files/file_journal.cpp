#include "core/files/file_journal.h"

#include "core/files/file_system.h"

#include <cerrno>
#include <charconv>
#include <cstring>
#include <optional>

namespace qvr {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kHeader = "qvr-journal 1\n";
constexpr std::string_view kTrailer = "end\n";
// Profile files are small; the journal holds a few of them.
constexpr std::uintmax_t kMaxJournal = 16u << 20;
constexpr std::uintmax_t kMaxFile = 4u << 20;

FileWriteResult failure(int code, const std::string& what) {
    code = code != 0 ? code : EIO;
    return {code, what + ": " + std::strerror(code)};
}

// A plain name in the folder: a journal never reaches outside it.
bool plainName(std::string_view name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\n\0", 3)) == std::string_view::npos;
}

void append(std::vector<std::uint8_t>& out, std::string_view text) {
    out.insert(out.end(), text.begin(), text.end());
}

std::vector<std::uint8_t> encode(const std::vector<FileChange>& changes) {
    std::vector<std::uint8_t> out;
    append(out, kHeader);
    for (const FileChange& change : changes) {
        append(out, change.name + "\n" + std::to_string(change.bytes.size()) + "\n");
        out.insert(out.end(), change.bytes.begin(), change.bytes.end());
        append(out, "\n");
    }
    append(out, kTrailer);
    return out;
}

std::optional<std::vector<FileChange>> decode(std::span<const std::uint8_t> bytes) {
    const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (!text.starts_with(kHeader))
        return std::nullopt;
    std::size_t at = kHeader.size();
    const auto line = [&]() -> std::optional<std::string_view> {
        const std::size_t end = text.find('\n', at);
        if (end == std::string_view::npos)
            return std::nullopt;
        const std::string_view found = text.substr(at, end - at);
        at = end + 1;
        return found;
    };
    std::vector<FileChange> changes;
    while (text.substr(at) != kTrailer) {
        const auto name = line();
        const auto size = line();
        if (!name || !size || !plainName(*name))
            return std::nullopt;
        std::size_t count = 0;
        const auto [end, error] = std::from_chars(size->data(), size->data() + size->size(), count);
        if (error != std::errc() || end != size->data() + size->size() || count > kMaxFile ||
            text.size() - at < count + 1 || text[at + count] != '\n')
            return std::nullopt;
        changes.push_back({std::string(*name),
                           {bytes.begin() + static_cast<std::ptrdiff_t>(at),
                            bytes.begin() + static_cast<std::ptrdiff_t>(at + count)}});
        at += count + 1;
    }
    return changes;
}

fs::path journalPath(const fs::path& folder) {
    return folder / std::string(kFileJournalName);
}

// A journal left behind would be played again at the next start, over
// whatever was saved since: one that cannot be removed is emptied.
FileWriteResult dropJournal(const fs::path& journal) {
    const int error = fileSystem().removeEntry(journal);
    if (error == 0 || writeFileAtomically(journal, encode({})).ok())
        return {};
    return failure(error, "cannot remove " + journal.string());
}

} // namespace

FileWriteResult replaceFilesTogether(const fs::path& folder, const std::vector<FileChange>& changes,
                                     const AtomicWriteFault& fault) {
    for (const FileChange& change : changes) {
        if (!plainName(change.name))
            return failure(EINVAL, "no plain file name: " + change.name);
        if (!mayReplaceFile(folder / change.name))
            return failure(EACCES, (folder / change.name).string() + " is write-protected");
    }
    // One an earlier change could not remove goes first, so it never comes
    // back over this one.
    if (FileWriteResult finished = finishFileJournal(folder); !finished.ok())
        return finished;
    if (changes.size() <= 1)
        return changes.empty()
                   ? FileWriteResult{}
                   : writeFileAtomically(folder / changes[0].name, changes[0].bytes, fault);

    // What stands now, to put back after a failure.
    std::vector<std::optional<std::vector<std::uint8_t>>> before;
    for (const FileChange& change : changes) {
        FileRead read = fileSystem().readFile(folder / change.name, kMaxFile);
        if (!read.ok() && read.errorCode != ENOENT)
            return failure(read.errorCode, "cannot read " + (folder / change.name).string());
        before.push_back(read.ok() ? std::optional(std::move(read.bytes)) : std::nullopt);
    }
    const fs::path journal = journalPath(folder);
    if (FileWriteResult written = writeFileAtomically(journal, encode(changes)); !written.ok())
        return written;
    for (std::size_t i = 0; i < changes.size(); ++i) {
        const FileWriteResult written =
            writeFileAtomically(folder / changes[i].name, changes[i].bytes, fault);
        if (written.ok())
            continue;
        bool undone = true;
        for (std::size_t k = 0; k < i; ++k) {
            const fs::path path = folder / changes[k].name;
            undone = (before[k] ? writeFileAtomically(path, *before[k]).ok()
                                : fileSystem().removeEntry(path) == 0) &&
                     undone;
        }
        // Otherwise the journal stays, and the next start finishes the change.
        if (undone)
            dropJournal(journal);
        return written;
    }
    return dropJournal(journal);
}

FileWriteResult finishFileJournal(const fs::path& folder) {
    const fs::path journal = journalPath(folder);
    if (fileSystem().entryKind(journal) == EntryKind::Missing)
        return {};
    const FileRead read = fileSystem().readFile(journal, kMaxJournal);
    if (!read.ok())
        return failure(read.errorCode, "cannot read " + journal.string());
    const auto changes = decode(read.bytes);
    if (!changes)
        return failure(EINVAL, journal.string() + " is damaged");
    for (const FileChange& change : *changes) {
        const fs::path path = folder / change.name;
        const FileRead now = fileSystem().readFile(path, kMaxFile);
        if (now.ok() && now.bytes == change.bytes)
            continue;
        if (FileWriteResult written = writeFileAtomically(path, change.bytes); !written.ok())
            return written;
    }
    return dropJournal(journal);
}

bool fileJournalPending(const fs::path& folder) {
    return fileSystem().entryKind(journalPath(folder)) != EntryKind::Missing;
}

} // namespace qvr
