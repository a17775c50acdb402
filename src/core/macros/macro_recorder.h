#pragma once

#include "core/macros/macro_model.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvr {

enum class KeyDirection { Press, Release };
enum class DelayRecording { On, Off };
// Whether a recording's end releases the keys still down.
enum class HeldKeys { Keep, Release };

// One keystroke as the recorder sees it. autoRepeat is the platform's own
// repeat mark; tick is a millisecond counter that may wrap; timestamp is the
// window system's time of the event, which a repeat's release and press
// share.
struct RecorderKey {
    KeyDirection direction = KeyDirection::Press;
    std::string keyName;
    bool autoRepeat = false;
    std::uint32_t tick = 0;
    std::uint64_t timestamp = 0;
};

// What one keystroke did to the recording.
struct RecorderStep {
    // Items to append to the event list, in order (a delay item, then the
    // key item; a release held back from before may come first).
    std::vector<std::string> items;
    // The keystroke was the 65th key event: the recording must stop, and
    // nothing was appended.
    bool limitReached = false;
    // The keystroke would not fit into the mouse's event area: the recording
    // must stop; items then hold the releases of the keys still down.
    bool full = false;
    // Ctrl+Break (Ctrl held, then Pause): the recording must stop. Neither
    // key enters the macro; removed holds how many items already shown at
    // the end of the list go away (the Ctrl press and its delay item).
    bool stopKey = false;
    int removed = 0;
};

// Turns keystrokes into event items while a recording runs. It knows nothing
// of windows or hooks, so the rules can be checked without a display.
class MacroRecorder {
  public:
    void start();
    // Ends the recording; returns the items still to append (a held-back
    // release, then with HeldKeys::Release a release of every key still
    // down, last pressed first).
    std::vector<std::string> stop(DelayRecording delays, HeldKeys held = HeldKeys::Keep);
    bool running() const { return running_; }
    int keyEvents() const { return keyEvents_; }

    RecorderStep onKey(const RecorderKey& key, DelayRecording delays);
    // Lets a held-back release through once no repeat press can follow it.
    RecorderStep flush(DelayRecording delays);
    bool holdsRelease() const { return pending_.has_value(); }

  private:
    // Records a key that is no repeat.
    void take(const RecorderKey& key, DelayRecording delays, RecorderStep& step);
    bool fits(const std::vector<std::string>& items, const std::vector<std::string>& held,
              DelayRecording delays) const;
    // Appends a release of every key still down, last pressed first.
    void releaseHeldKeys(std::vector<std::string>& items);
    // Ends the recording at Ctrl+Break, taking back the Ctrl press when it
    // was the last thing recorded.
    void stopAtBreak(RecorderStep& step);

    bool running_ = false;
    bool sawPress_ = false;
    bool full_ = false;
    int keyEvents_ = 0;
    std::optional<std::uint32_t> lastTick_;
    std::string lastName_;
    int lastAdded_ = 0; // items the last recorded key appended
    // A release waits for the next keystroke: X11 repeats a held key as a
    // release and a press with one timestamp, not always marked as repeats.
    std::optional<RecorderKey> pending_;
    std::vector<std::string> held_;  // keys down, in press order
    std::vector<std::string> items_; // what this recording appended so far
};

} // namespace qvr
