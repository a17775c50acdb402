#pragma once

#include "core/files/atomic_file.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace qvr {

// One change to the profile folder, named so tests can interrupt any of them.
struct SlotStep {
    enum class Kind { Write, Remove, Rename };
    Kind kind = Kind::Write;
    std::filesystem::path path; // the file written, removed or renamed
};

// Returns an errno value to make the step fail (nothing is done), or 0.
using SlotFault = std::function<int(const SlotStep&)>;

// The files of the profile positions in one folder: "config<n>.bin" and
// "str<n>.ini" of position n, and the list in "str.ini". A name and its files
// always move together, so the list is written only after the files it
// names are in place.
class ProfileSlots {
  public:
    explicit ProfileSlots(std::filesystem::path folder, SlotFault fault = {});

    // The files of position from, as saved, become those of position to.
    FileWriteResult copyProfile(int from, int to);
    // The factory profile goes into position to; its settings file keeps the
    // look (skin, text colour, language) of position lookFrom.
    FileWriteResult createProfile(int to, int lookFrom);

    // Removes position from the list: its files are removed, the files of
    // the later positions are renamed down one place in ascending order, and
    // only then is the list written (names without that position, current
    // name as given). Before the first file changes, the list is written
    // with a note of the delete, and after each change with how many are
    // done, so that resumePendingDelete() can finish it after any
    // interruption.
    FileWriteResult deleteProfile(const std::vector<std::string>& names, int position,
                                  const std::string& currentName);
    // Finishes a delete that was interrupted; nothing when none was. A note
    // without its count of changes done (an earlier version's) is read from
    // the one position lacking its file, which holds only until anything
    // fills that gap: the start runs this before it copies missing files.
    FileWriteResult resumePendingDelete();

    // Writes the list (without the note of a delete).
    FileWriteResult writeList(const std::vector<std::string>& names,
                              const std::string& currentName);

    std::filesystem::path recordPath(int position) const;
    std::filesystem::path settingsPath(int position) const;
    std::filesystem::path listPath() const;

  private:
    // A delete under way: the position, and how many of its file changes
    // are done.
    struct PendingDelete {
        int position = 0;
        int done = 0;
    };
    // One file change of a delete: from is removed (to empty) or renamed to.
    struct DeleteStep {
        std::filesystem::path from, to;
    };

    FileWriteResult write(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);
    FileWriteResult remove(const std::filesystem::path& path);
    FileWriteResult rename(const std::filesystem::path& from, const std::filesystem::path& to);
    FileWriteResult writeListFile(const std::vector<std::string>& names,
                                  const std::string& currentName,
                                  std::optional<PendingDelete> pending);
    // Gives every position in first..last both files, so that every rename
    // of a delete has its file and an earlier version's note still reads
    // right.
    FileWriteResult fillGaps(int first, int last);
    std::vector<DeleteStep> deleteSteps(int position, int count) const;
    std::optional<int> progressFromGaps(int position, int count) const;
    FileWriteResult take(const DeleteStep& step);

    std::filesystem::path folder_;
    SlotFault fault_;
};

} // namespace qvr
