#pragma once

#include "core/files/atomic_file.h"
#include "core/profiles/profile_files.h"
#include "core/record/config_record.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace qvr {

// Kept in the user folder when the desktop session ends over unsaved edits,
// and offered at the next start. Its extension is neither ".bin" nor ".ini",
// so no export, seeding or list rebuild can ever take it for a profile file.
inline constexpr std::string_view kUnsavedEditsFileName = "unsaved.recovery";

// The edits on screen that the profile's files do not hold.
struct UnsavedEdits {
    int profile = 0;         // list position of the window's profile
    std::string profileName; // as stored in the list, to find it again
    ConfigRecord record{};
    PointerChanges pointerChanges{};
    ButtonLabels labels;
    bool imported = false;
    // The names behind the record's macro table; nullopt when the window
    // had none (it guessed them), and in files of earlier versions.
    std::optional<MacroTableNames> macroTableNames;

    bool operator==(const UnsavedEdits&) const = default;
};

// Written atomically: a session ending halfway leaves the previous file or none.
FileWriteResult writeUnsavedEdits(const std::filesystem::path& path, const UnsavedEdits& edits);

// nullopt for a missing file, and for one that cannot be read whole.
std::optional<UnsavedEdits> readUnsavedEdits(const std::filesystem::path& path);

// True when no file is left behind.
bool removeUnsavedEdits(const std::filesystem::path& path);

} // namespace qvr
