#pragma once

#include "core/files/atomic_file.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvr {

// The list of profile names in the "Profile" section of "str.ini". A name's
// position n is the profile whose files are "config%d.bin" and "str%d.ini".

inline constexpr int kMaxProfiles = 6;
inline constexpr std::string_view kProfileBaseName = "PROFILE";

struct ProfileList {
    std::vector<std::string> names; // empty when ItemCount is outside 1..6
    std::string currentName;        // CurProfileName
    bool pendingDelete = false;     // a delete was interrupted (see ProfileSlots)
};

// Reads the list; a missing file or section reads as an empty list.
ProfileList readProfileList(const std::filesystem::path& globalSettings);

// The position the manager selects for the current name: the last position
// holding exactly that name, as the profile load chooses it; failing that the
// list box's prefix search (ignoring case, from the second entry on, wrapping
// round to the first). An empty name matches only an empty name.
std::optional<int> findCurrentProfile(const std::vector<std::string>& names,
                                      std::string_view currentName);

// The name New appends: PROFILE_0 for an empty list; after a name with "_"
// the base name and the number after the first "_" plus 1 (0 when that is not
// a number); after a name without "_" that name, "_" and the count of names.
std::string nextProfileName(const std::vector<std::string>& names);

// Replaces the whole "Profile" section in one write: CurProfileName is the
// selected name (the first when nothing is selected, empty for an empty
// list), then ItemCount and Item0.. when the list is not empty. Returns the
// position made current (nullopt for an empty list) through current.
FileWriteResult writeProfileList(const std::filesystem::path& globalSettings,
                                 const std::vector<std::string>& names, std::optional<int> selected,
                                 std::optional<int>* current = nullptr);

} // namespace qvr
