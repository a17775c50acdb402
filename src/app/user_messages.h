#pragma once

#include <string_view>

namespace qvr {

// Where the program's message boxes go. The window shows them as modal boxes;
// tests record them, so no modal loop ever waits for an answer.
class UserMessages {
  public:
    virtual ~UserMessages() = default;
    virtual void show(std::string_view text, std::string_view caption) = 0;
};

// The caption of the program's own messages.
inline constexpr std::string_view kApplicationTitle = "QVR 2.7";

} // namespace qvr
