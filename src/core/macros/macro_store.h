#pragma once

#include "core/files/atomic_file.h"
#include "core/files/ini_file.h"
#include "core/macros/macro_model.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvr {

// The section-name list is scanned like a 255-character window over the
// NUL-separated names: a name is listed only when it ends, with its
// terminator, inside the window.
inline constexpr std::size_t kSectionNameScanLength = 255;

// A hand-made ItemCount is believed only up to this many items, so that a
// wild number cannot make a load allocate without bound. The recorder and
// editor stay far below it.
inline constexpr std::size_t kMaxMacroItems = 1024;

// The macro list of a store image: section names in file order, within the
// scan window, leaving out names that are empty or longer than 31 UTF-16
// code units. A macro's number is its position in this list, and the macro
// table is built from the same list, so a left-out section neither takes a
// number nor an image.
std::vector<std::string> listMacroNames(const IniFile& store);

// Reads a macro the way the store is read key by key: a missing section or
// key reads as empty, and numbers are their leading digits.
Macro loadMacro(const IniFile& store, std::string_view name);

// Removes the macro's section and writes it anew at the end of the file,
// keys in the stored order. False (and the image unchanged) when a name or an
// item cannot be stored in an INI line.
bool putMacro(IniFile& store, const Macro& macro);

enum class MacroSaveStatus {
    Saved,
    NoStore, // "record.ini" does not exist: saving does nothing
    Failed,  // see file.errorCode and file.message; the file is unchanged
};

struct MacroSaveResult {
    MacroSaveStatus status = MacroSaveStatus::Failed;
    // The macro's list position before the save when it was listed. The save
    // moves it to the end of the list; pass this to renumberAfterMove.
    std::optional<int> movedFrom;
    int macroCount = 0; // listed macros before the save, for renumberAfterMove
    FileWriteResult file;

    bool ok() const { return status != MacroSaveStatus::Failed; }
};

// The macro store "record.ini". Every operation reads the file anew, and
// every write replaces it atomically, so a failed write leaves the old file.
class MacroStore {
  public:
    explicit MacroStore(std::filesystem::path path) : path_(std::move(path)) {}

    const std::filesystem::path& path() const { return path_; }
    bool exists() const;

    // Empty when the file is missing or unreadable.
    std::vector<std::string> names() const;
    Macro load(std::string_view name) const;

    MacroSaveResult save(const Macro& macro, const AtomicWriteFault& fault = {}) const;

    // Writes MacroLoopTimes as "%ld" of value, creating the section and the
    // file when they are missing. Names the list could not show are refused.
    FileWriteResult writeLoopCount(std::string_view name, long value,
                                   const AtomicWriteFault& fault = {}) const;

    // Removes the macro's section; a missing file or section is no error.
    FileWriteResult remove(std::string_view name, const AtomicWriteFault& fault = {}) const;

  private:
    std::filesystem::path path_;
};

} // namespace qvr
