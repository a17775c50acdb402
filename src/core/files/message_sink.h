#pragma once

#include <array>
#include <deque>
#include <string>
#include <vector>

namespace qvr {

// Where core file operations report to the user. The window shows each one as
// a message box with an OK button; tests record them.
// The answers to the question about unsaved changes.
enum class UnsavedChoice { Save, Discard, Cancel };

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void showMessage(std::string text, std::string caption) = 0;
    // Asks what to do with unsaved changes; buttons are the texts of Save,
    // Discard and Cancel. A sink that cannot ask keeps the changes.
    virtual UnsavedChoice askUnsavedChanges(std::string text, std::string caption,
                                            const std::array<std::string, 3>& buttons) {
        (void)text, (void)caption, (void)buttons;
        return UnsavedChoice::Cancel;
    }
    // Asks before an action; buttons are the texts of acting and of not
    // acting. Escape, closing the box and a sink that cannot ask give
    // escapeAnswer, which is the answer that loses nothing.
    virtual bool confirm(std::string text, std::string caption,
                         const std::array<std::string, 2>& buttons, bool escapeAnswer = false) {
        (void)text, (void)caption, (void)buttons;
        return escapeAnswer;
    }
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
    // Questions are kept with the messages and answered from answers in
    // order (Cancel when none is left).
    UnsavedChoice askUnsavedChanges(std::string text, std::string caption,
                                    const std::array<std::string, 3>&) override {
        messages.push_back({std::move(text), std::move(caption)});
        if (answers.empty())
            return UnsavedChoice::Cancel;
        const UnsavedChoice answer = answers.front();
        answers.pop_front();
        return answer;
    }
    // Answered from confirmations in order (escapeAnswer when none is left).
    bool confirm(std::string text, std::string caption, const std::array<std::string, 2>&,
                 bool escapeAnswer = false) override {
        messages.push_back({std::move(text), std::move(caption)});
        if (confirmations.empty())
            return escapeAnswer;
        const bool answer = confirmations.front();
        confirmations.pop_front();
        return answer;
    }

    std::vector<Message> messages;
    std::deque<UnsavedChoice> answers;
    std::deque<bool> confirmations;
};

} // namespace qvr
