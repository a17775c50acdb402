#include "core/profiles/profile_switch.h"

#include "core/files/file_system.h"

#include <cerrno>
#include <cstring>

namespace qvr {

ProfilePick pickProfile(const std::vector<std::string>& names, std::string_view argument) {
    const auto count = static_cast<int>(names.size());
    // A position first, as show, encode and upload read it. The list keeps
    // the current profile by name, and a name held twice reads as its last
    // position, so an earlier one of that name cannot stay current.
    if (argument.size() == 1 && argument[0] >= '0' && argument[0] <= '9') {
        const int position = argument[0] - '0';
        if (position >= count)
            return {};
        const auto& name = names[static_cast<std::size_t>(position)];
        for (int later = position + 1; later < count; ++later)
            if (names[static_cast<std::size_t>(later)] == name)
                return {ProfilePick::Result::Ambiguous, -1};
        return {ProfilePick::Result::Found, position};
    }
    ProfilePick pick;
    for (int i = 0; i < count; ++i) {
        if (names[static_cast<std::size_t>(i)] != argument)
            continue;
        if (pick.result == ProfilePick::Result::Found)
            return {ProfilePick::Result::Ambiguous, -1};
        pick = {ProfilePick::Result::Found, i};
    }
    return pick;
}

namespace {

std::filesystem::path notePath(const std::filesystem::path& userFolder) {
    return userFolder / kUnsentProfileFileName;
}

} // namespace

bool profileUnsent(const std::filesystem::path& userFolder) {
    return fileSystem().entryKind(notePath(userFolder)) != EntryKind::Missing;
}

FileWriteResult markProfileUnsent(const std::filesystem::path& userFolder, bool unsent) {
    const auto path = notePath(userFolder);
    const bool there = profileUnsent(userFolder);
    if (unsent == there)
        return {};
    if (unsent) {
        static constexpr std::string_view kNote = "The mouse does not hold the current profile.\n";
        return writeFileAtomically(
            path, {reinterpret_cast<const std::uint8_t*>(kNote.data()), kNote.size()});
    }
    if (const int error = fileSystem().removeEntry(path); error != 0)
        return {error, path.string() + ": " + std::strerror(error)};
    return {};
}

} // namespace qvr
