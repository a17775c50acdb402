#pragma once

#include "core/files/atomic_file.h"
#include "core/files/file_journal.h"
#include "core/record/config_record.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvr {

// The macro manager's editing rules on plain lists, so that they are checked
// without a window. Positions are list rows; nullopt means nothing selected.

inline constexpr int kMaxMacros = 12;

// The name New gives: the base word, "_" and a number. The number follows the
// text after the first "_" of the last name (a text without leading digits
// counts as 0); without such a name it is the count of names.
std::string nextMacroName(const std::vector<std::string>& names, std::string_view baseWord);

enum class MouseButtonItem { Left, Middle, Right };

// Inserts a press and a release of the mouse button after the selected item,
// or at the top of an empty list. Returns the row to select, or nullopt when
// nothing was inserted (nothing selected in a list that is not empty).
std::optional<int> insertMouseClick(std::vector<std::string>& items, std::optional<int> selected,
                                    MouseButtonItem button);

// Inserts "50 ms" before the selected item when neither it nor the item before
// it is a delay, and never in front of the first item. Returns the row of the
// new delay, or nullopt when nothing was inserted.
std::optional<int> insertDelayBefore(std::vector<std::string>& items, std::optional<int> selected);

// Whether an item is shown with the delay editor: it holds " ms".
bool isDelayItemText(std::string_view text);
// Whether an item counts as a delay for the insertion rule: it holds "ms".
bool holdsDelayMarker(std::string_view text);

// The delay editor's commit: spaces removed, the text must hold "ms" and
// otherwise only digits (at least one); values above 6553500 become 6553500.
// Returns the item text ("%d ms"), or nullopt to leave the item unchanged.
std::optional<std::string> acceptDelayEdit(std::string_view typed);

enum class MacroRenameStatus {
    Renamed,
    Unchanged,     // the same name: nothing to do
    InvalidName,   // empty or longer than 31 characters: the store could not list it
    DuplicateName, // another macro has it: its section would be overwritten
    Failed,        // the store could not be read or written; see file
};

struct MacroRenameResult {
    MacroRenameStatus status = MacroRenameStatus::Failed;
    // The macro's list position before the rename; the renamed section is
    // appended, so it moves to the end like a save.
    std::optional<int> movedFrom;
    int macroCount = 0;
    FileWriteResult file;
};

// Moves the section oldName, keys and values in order, to newName at the end
// of the store, in one write. A section that is missing is created empty, so
// the renamed macro keeps a section whatever the store held. alongside are
// files of the store's folder that name the macro (the profiles' settings):
// they and the store are replaced together or not at all.
MacroRenameResult renameMacroSection(const std::filesystem::path& storePath,
                                     std::string_view oldName, std::string_view newName,
                                     const std::vector<FileChange>& alongside = {});

// Points the record's macro keys at the same macros after the store was
// reordered. tableNames are the macro names in the order of the record's
// table (the order the numbers refer to), storeNames the store's order that
// the new table is built in. A button whose macro is gone takes its
// assignment from factory again; those buttons are returned, so their labels
// can follow. Numbers beyond tableNames stay.
std::vector<int> remapMacroNumbers(ConfigRecord& record, const std::vector<std::string>& tableNames,
                                   const std::vector<std::string>& storeNames,
                                   const ConfigRecord& factory);

// One macro the macro key dialog offers: its name and its position in the
// macro table, which is what a button plays.
struct MacroKeyChoice {
    std::string name;
    std::uint8_t position = 0;

    bool operator==(const MacroKeyChoice&) const = default;
};

// The table's macros in the order the macro manager lists them: the table
// positions of the store's names, in store order. A macro the table holds no
// image for, and an image whose macro left the store, are not among them.
std::vector<int> tablePositionsInStoreOrder(const std::vector<std::string>& tableNames,
                                            const std::vector<std::string>& storeNames);

// Applies a rename to a list of names (names match ignoring ASCII case).
void renameInList(std::vector<std::string>& names, std::string_view oldName,
                  std::string_view newName);

} // namespace qvr
