#pragma once

#include "macros/macro_model.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvr {

enum class KeyDirection { Press, Release };
enum class DelayRecording { On, Off };

// One keystroke as the recorder sees it. autoRepeat is the platform's own
// repeat mark; tick is a millisecond counter that may wrap.
struct RecorderKey {
    KeyDirection direction = KeyDirection::Press;
    std::string keyName;
    bool autoRepeat = false;
    std::uint32_t tick = 0;
};

// What one keystroke did to the recording.
struct RecorderStep {
    // Items to append to the event list, in order (a delay item, then the
    // key item).
    std::vector<std::string> items;
    // The keystroke was the 65th key event: the recording must stop, and
    // nothing was appended.
    bool limitReached = false;
};

// Turns keystrokes into event items while a recording runs. It knows nothing
// of windows or hooks, so the rules can be checked without a display.
class MacroRecorder {
  public:
    void start();
    void stop() { running_ = false; }
    bool running() const { return running_; }
    int keyEvents() const { return keyEvents_; }

    RecorderStep onKey(const RecorderKey& key, DelayRecording delays);

  private:
    bool running_ = false;
    bool sawPress_ = false;
    int keyEvents_ = 0;
    std::optional<std::uint32_t> lastTick_;
    std::string lastName_;
};

} // namespace qvr
