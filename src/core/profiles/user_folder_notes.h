#pragma once

#include "core/profiles/user_folder.h"
#include "core/text/language_tables.h"

#include <string>
#include <vector>

namespace qvr {

// The messages start-up shows once, in the interface language: a rebuilt
// profile list, profiles taken over from an earlier build, paths that could
// not be used, and a refused lock folder (lockProblem, empty when fine).
// Plain copies of factory files say nothing.
std::vector<std::string> userFolderNotes(const UserFolderReport& report,
                                         const std::filesystem::path& userFolder, Language language,
                                         const std::string& lockProblem = {});

} // namespace qvr
