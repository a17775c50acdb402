#include "macros/macro_recorder.h"

namespace qvr {

void MacroRecorder::start() {
    running_ = true;
    sawPress_ = false;
    keyEvents_ = 0;
    lastTick_.reset();
    lastName_.clear();
}

RecorderStep MacroRecorder::onKey(const RecorderKey& key, DelayRecording delays) {
    RecorderStep step;
    if (!running_)
        return step;
    if (key.autoRepeat) {
        // A held key repeats its press; X11 also sends a release before each
        // repeated press, which is no real release either.
        if (key.direction == KeyDirection::Release || key.keyName == lastName_)
            return step;
    }
    ++keyEvents_;
    if (keyEvents_ > kMaxRecordedKeyEvents) {
        step.limitReached = true;
        return step;
    }

    const bool firstPress = key.direction == KeyDirection::Press && !sawPress_;
    // A release before any press (a key held when the recording started) has
    // no earlier event to measure from and gets 0 ms.
    const std::uint32_t delay = recordedDelayMs(lastTick_, key.tick);
    if (!firstPress && delays == DelayRecording::On)
        step.items.push_back(delayItem(delay));
    step.items.push_back(key.direction == KeyDirection::Press ? pressItem(key.keyName)
                                                              : releaseItem(key.keyName));
    if (firstPress)
        sawPress_ = true;
    lastTick_ = key.tick;
    lastName_ = key.keyName;
    return step;
}

} // namespace qvr
