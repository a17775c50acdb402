#pragma once

#include "core/files/atomic_file.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvr {

// A profile as the command line names it: a list position "0".."5", or a
// profile name that only one position holds. A position whose name a later
// position holds too is ambiguous as well: the list would make that later
// one current.
struct ProfilePick {
    enum class Result { Found, Unknown, Ambiguous };
    Result result = Result::Unknown;
    int position = -1;
};
ProfilePick pickProfile(const std::vector<std::string>& names, std::string_view argument);

// A note in the user folder that the mouse does not hold the current
// profile's saved files (it was away when they changed). Whoever next finds
// the mouse sends them and removes the note, so a switch made while the
// mouse or the window was away still reaches the mouse.
inline constexpr std::string_view kUnsentProfileFileName = "unsent-profile";
bool profileUnsent(const std::filesystem::path& userFolder);
FileWriteResult markProfileUnsent(const std::filesystem::path& userFolder, bool unsent);

} // namespace qvr
