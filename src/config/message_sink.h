#pragma once

#include <string>
#include <vector>

namespace qvr {

// Where core file operations report to the user. The window shows each one as
// a message box with an OK button; tests record them.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void showMessage(std::string text, std::string caption) = 0;
};

// The application title, used as the caption of file messages.
inline constexpr const char* kApplicationTitle = "QVR 2.7";

// Keeps every message in order, for tests and for callers that show them later.
class RecordingMessageSink final : public MessageSink {
  public:
    struct Message {
        std::string text;
        std::string caption;

        bool operator==(const Message&) const = default;
    };

    void showMessage(std::string text, std::string caption) override {
        messages.push_back({std::move(text), std::move(caption)});
    }

    std::vector<Message> messages;
};

} // namespace qvr
