#include "core/profiles/user_folder_notes.h"

#include "core/profiles/profile_files.h"

namespace qvr {

namespace {

std::string filled(std::string_view text, const std::string& first,
                   const std::string& second = {}) {
    std::string result(text);
    for (const auto& [mark, value] : {std::pair{"%1", first}, std::pair{"%2", second}}) {
        if (const auto at = result.find(mark); at != std::string::npos)
            result.replace(at, 2, value);
    }
    return result;
}

} // namespace

std::vector<std::string> userFolderNotes(const UserFolderReport& report,
                                         const std::filesystem::path& userFolder, Language language,
                                         const std::string& lockProblem) {
    const UserFolderTexts& texts = userFolderTexts(language);
    std::vector<std::string> notes;
    if (!report.migratedFrom.empty())
        notes.push_back(
            filled(texts.profilesMoved, report.migratedFrom.string(), userFolder.string()));
    const std::string list = (userFolder / std::string(kGlobalSettingsFileName)).string();
    if (report.listRebuilt && !report.damagedCopy.empty())
        notes.push_back(filled(texts.listRebuilt, list, report.damagedCopy.string()));
    else if (report.listRebuilt)
        notes.push_back(filled(texts.listRecreated, list));
    if (!report.problems.empty()) {
        std::string lines;
        for (const std::string& line : report.problems)
            lines += (lines.empty() ? "" : "\n") + line;
        notes.push_back(filled(texts.filesUnusable, lines));
    }
    if (!lockProblem.empty())
        notes.push_back(filled(texts.lockRefused, lockProblem));
    return notes;
}

} // namespace qvr
