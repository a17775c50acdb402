#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvr {

// qvrctl's profile commands as they travel to a running qvr over the
// single-instance socket. Like the window's own "show" request, each is a
// few "key=value" lines after a first line naming it, ending with an empty
// line; an older qvr, which knows only "show", closes the connection without
// a word and changes nothing.
struct ProfileRequest {
    enum class Verb { List, Current, Switch };
    Verb verb = Verb::List;
    std::string target; // Switch: a list position or a profile name

    bool operator==(const ProfileRequest&) const = default;
};

enum class ProfileOutcome {
    Listed,      // list and current
    Switched,    // the files and the mouse hold the profile
    Unchanged,   // it was the current profile already: nothing sent
    Cancelled,   // the user cancelled the unsaved-changes question
    Busy,        // the profile manager is open and will write the list itself
    Unknown,     // no profile of that position or name
    Ambiguous,   // more than one profile of that name
    MouseAbsent, // the files are switched; the mouse gets it when it comes
    NotReceived, // the files are switched; the mouse stopped answering
    Unreadable,  // a profile file could not be read or written
};

struct ProfileAnswer {
    ProfileOutcome outcome = ProfileOutcome::Listed;
    int current = -1; // the window's profile after the request
    std::vector<std::string> names;

    bool operator==(const ProfileAnswer&) const = default;
};

std::string encodeProfileRequest(const ProfileRequest& request);
// nullopt unless bytes are one whole profile request.
std::optional<ProfileRequest> decodeProfileRequest(std::string_view bytes);
std::string encodeProfileAnswer(const ProfileAnswer& answer);
std::optional<ProfileAnswer> decodeProfileAnswer(std::string_view bytes);

// Asks the program listening at socketPath. Connecting is retried for
// connectFor while a program that holds the lock may still be starting; the
// answer is waited for answerFor at most (the user may be answering a
// question first).
enum class AskResult { Answered, NoListener, NotUnderstood, NoAnswerInTime };
AskResult askRunningProgram(const std::filesystem::path& socketPath, const ProfileRequest& request,
                            std::chrono::milliseconds connectFor,
                            std::chrono::milliseconds answerFor, ProfileAnswer& answer);

} // namespace qvr
