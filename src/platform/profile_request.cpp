#include "platform/profile_request.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

namespace qvr {

namespace {

constexpr std::string_view kRequestLine = "profile";
constexpr std::string_view kAnswerLine = "profile-answer";
constexpr std::string_view kVerbKey = "verb=";
constexpr std::string_view kTargetKey = "target=";
constexpr std::string_view kOutcomeKey = "outcome=";
constexpr std::string_view kCurrentKey = "current=";
constexpr std::string_view kNameKey = "name=";
// Six names of an INI line each fit many times over.
constexpr std::size_t kMaxAnswerSize = 64 * 1024;

constexpr std::array<std::string_view, 3> kVerbs{"list", "current", "switch"};
constexpr std::array<std::string_view, 10> kOutcomes{
    "listed",  "switched",  "unchanged", "cancelled",    "busy",
    "unknown", "ambiguous", "absent",    "not-received", "unreadable"};

std::string oneLine(std::string_view value) {
    std::string line;
    for (char c : value)
        if (c != '\n' && c != '\r')
            line += c;
    return line;
}

// The lines of a whole message, without its empty last line; nullopt when
// the message is not whole or does not start with first.
std::optional<std::vector<std::string_view>> messageLines(std::string_view bytes,
                                                          std::string_view first) {
    if (bytes.size() < 2 || !bytes.ends_with("\n\n"))
        return std::nullopt;
    bytes.remove_suffix(2);
    std::vector<std::string_view> lines;
    for (std::size_t start = 0;;) {
        const std::size_t end = bytes.find('\n', start);
        lines.push_back(bytes.substr(start, end - start));
        if (end == std::string_view::npos)
            break;
        start = end + 1;
    }
    if (lines.front() != first)
        return std::nullopt;
    return lines;
}

template <std::size_t N>
std::optional<std::size_t> indexOf(const std::array<std::string_view, N>& words,
                                   std::string_view word) {
    for (std::size_t i = 0; i < N; ++i)
        if (words[i] == word)
            return i;
    return std::nullopt;
}

bool waitFor(int fd, short events, std::chrono::steady_clock::time_point until) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        pollfd ready{fd, events, 0};
        const int result = ::poll(&ready, 1, static_cast<int>(std::max<long>(left.count(), 0)));
        if (result >= 0 || errno != EINTR)
            return result > 0;
    }
}

} // namespace

std::string encodeProfileRequest(const ProfileRequest& request) {
    std::string bytes(kRequestLine);
    bytes += '\n';
    bytes += kVerbKey;
    bytes += kVerbs[static_cast<std::size_t>(request.verb)];
    bytes += '\n';
    if (request.verb == ProfileRequest::Verb::Switch) {
        bytes += kTargetKey;
        bytes += oneLine(request.target);
        bytes += '\n';
    }
    return bytes + '\n';
}

std::optional<ProfileRequest> decodeProfileRequest(std::string_view bytes) {
    const auto lines = messageLines(bytes, kRequestLine);
    if (!lines)
        return std::nullopt;
    std::optional<ProfileRequest> request;
    std::optional<std::string> target;
    for (std::string_view line : *lines) {
        if (line.starts_with(kVerbKey)) {
            const auto verb = indexOf(kVerbs, line.substr(kVerbKey.size()));
            if (!verb)
                return std::nullopt;
            request = ProfileRequest{static_cast<ProfileRequest::Verb>(*verb), {}};
        } else if (line.starts_with(kTargetKey)) {
            target = std::string(line.substr(kTargetKey.size()));
        }
    }
    if (!request || (request->verb == ProfileRequest::Verb::Switch && !target))
        return std::nullopt;
    if (request->verb == ProfileRequest::Verb::Switch)
        request->target = *target;
    return request;
}

std::string encodeProfileAnswer(const ProfileAnswer& answer) {
    std::string bytes(kAnswerLine);
    bytes += '\n';
    bytes += kOutcomeKey;
    bytes += kOutcomes[static_cast<std::size_t>(answer.outcome)];
    bytes += '\n';
    bytes += std::string(kCurrentKey) + std::to_string(answer.current) + "\n";
    for (const std::string& name : answer.names)
        bytes += std::string(kNameKey) + oneLine(name) + '\n';
    return bytes + '\n';
}

std::optional<ProfileAnswer> decodeProfileAnswer(std::string_view bytes) {
    const auto lines = messageLines(bytes, kAnswerLine);
    if (!lines)
        return std::nullopt;
    ProfileAnswer answer;
    bool outcomeSeen = false;
    for (std::string_view line : *lines) {
        if (line.starts_with(kOutcomeKey)) {
            const auto outcome = indexOf(kOutcomes, line.substr(kOutcomeKey.size()));
            if (!outcome)
                return std::nullopt;
            answer.outcome = static_cast<ProfileOutcome>(*outcome);
            outcomeSeen = true;
        } else if (line.starts_with(kCurrentKey)) {
            const std::string_view number = line.substr(kCurrentKey.size());
            answer.current = number == "-1" ? -1 : 0;
            if (number != "-1") {
                if (number.size() != 1 || number[0] < '0' || number[0] > '9')
                    return std::nullopt;
                answer.current = number[0] - '0';
            }
        } else if (line.starts_with(kNameKey)) {
            answer.names.emplace_back(line.substr(kNameKey.size()));
        }
    }
    if (!outcomeSeen)
        return std::nullopt;
    return answer;
}

AskResult askRunningProgram(const std::filesystem::path& socketPath, const ProfileRequest& request,
                            std::chrono::milliseconds connectFor,
                            std::chrono::milliseconds answerFor, ProfileAnswer& answer) {
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::string path = socketPath.string();
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return AskResult::NoListener;
    std::memcpy(address.sun_path, path.data(), path.size());

    const auto connectUntil = std::chrono::steady_clock::now() + connectFor;
    int fd = -1;
    for (;;) {
        fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (fd < 0)
            return AskResult::NoListener;
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            break;
        ::close(fd);
        fd = -1;
        if (std::chrono::steady_clock::now() >= connectUntil)
            return AskResult::NoListener;
        // The program holds the lock but may not listen yet.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }

    const std::string message = encodeProfileRequest(request);
    const auto until = std::chrono::steady_clock::now() + answerFor;
    std::size_t sent = 0;
    while (sent < message.size() && waitFor(fd, POLLOUT, until)) {
        const ssize_t put = ::send(fd, message.data() + sent, message.size() - sent, MSG_NOSIGNAL);
        if (put <= 0)
            break;
        sent += static_cast<std::size_t>(put);
    }
    std::string reply;
    bool closed = false;
    char buffer[512];
    while (sent == message.size() && !reply.ends_with("\n\n") && reply.size() <= kMaxAnswerSize) {
        if (!waitFor(fd, POLLIN, until))
            break;
        const ssize_t got = ::recv(fd, buffer, sizeof buffer, 0);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            closed = true;
            break;
        }
        reply.append(buffer, static_cast<std::size_t>(got));
    }
    ::close(fd);
    if (const auto decoded = decodeProfileAnswer(reply)) {
        answer = *decoded;
        return AskResult::Answered;
    }
    // Closed without an answer: a program that does not know the request.
    if (closed || sent != message.size())
        return AskResult::NotUnderstood;
    return AskResult::NoAnswerInTime;
}

} // namespace qvr
