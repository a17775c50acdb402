#include "core/macros/macro_recorder.h"

#include "core/macros/macro_encoder.h"

#include <algorithm>
#include <array>

namespace qvr {
namespace {

// The key-name table's names: Ctrl+Break is Pause pressed with either Ctrl.
constexpr std::string_view kPauseKey = "Pause";
constexpr std::array<std::string_view, 2> kCtrlKeys = {"Ctrl", "Right Ctrl"};

} // namespace

void MacroRecorder::start() {
    running_ = true;
    sawPress_ = false;
    full_ = false;
    keyEvents_ = 0;
    lastTick_.reset();
    lastName_.clear();
    lastAdded_ = 0;
    pending_.reset();
    held_.clear();
    items_.clear();
}

std::vector<std::string> MacroRecorder::stop(DelayRecording delays, HeldKeys held) {
    std::vector<std::string> items = flush(delays).items;
    // As a full recording does: the mouse must not leave a key pressed.
    if (held == HeldKeys::Release)
        releaseHeldKeys(items);
    running_ = false;
    return items;
}

RecorderStep MacroRecorder::flush(DelayRecording delays) {
    RecorderStep step;
    if (!running_ || !pending_)
        return step;
    const RecorderKey release = std::move(*pending_);
    pending_.reset();
    take(release, delays, step);
    return step;
}

RecorderStep MacroRecorder::onKey(const RecorderKey& key, DelayRecording delays) {
    RecorderStep step;
    if (!running_)
        return step;
    if (key.direction == KeyDirection::Press) {
        if (pending_ && pending_->keyName == key.keyName && pending_->timestamp == key.timestamp) {
            pending_.reset(); // the release and press of one repeat
            return step;
        }
        step = flush(delays);
        if (!running_ || step.full || step.limitReached)
            return step;
        if (key.keyName == kPauseKey) {
            const bool ctrlDown = std::ranges::any_of(held_, [](const std::string& name) {
                return std::ranges::find(kCtrlKeys, name) != kCtrlKeys.end();
            });
            if (ctrlDown) {
                stopAtBreak(step);
                return step;
            }
        }
        const bool down = std::find(held_.begin(), held_.end(), key.keyName) != held_.end();
        // A press of a key already down, or a marked repeat of the last key.
        if (down || (key.autoRepeat && key.keyName == lastName_))
            return step;
        take(key, delays, step);
        return step;
    }
    if (key.autoRepeat)
        return step; // a marked repeat's release is no real release
    step = flush(delays);
    if (step.full || step.limitReached)
        return step;
    pending_ = key;
    return step;
}

bool MacroRecorder::fits(const std::vector<std::string>& items,
                         const std::vector<std::string>& held, DelayRecording delays) const {
    Macro macro;
    macro.recordDelays = delays == DelayRecording::On;
    macro.items = items;
    // Keys still down are released right after, so that a full recording
    // never leaves a key pressed on the mouse.
    for (auto it = held.rbegin(); it != held.rend(); ++it)
        macro.items.push_back(releaseItem(*it));
    return macroEventBytes(macro) <= kMacroEventAreaSize;
}

void MacroRecorder::stopAtBreak(RecorderStep& step) {
    step.stopKey = true;
    // Only the last thing recorded can be the Ctrl of the chord; a Ctrl
    // pressed before other keys belongs to the macro.
    const bool ctrlLast = !items_.empty() &&
                          std::ranges::find(kCtrlKeys, lastName_) != kCtrlKeys.end() &&
                          items_.back() == pressItem(lastName_);
    if (ctrlLast) {
        step.removed = lastAdded_;
        items_.resize(items_.size() - static_cast<std::size_t>(lastAdded_));
        std::erase(held_, lastName_);
        --keyEvents_;
    }
    // Whatever is still down is let go, so the macro leaves no key pressed.
    releaseHeldKeys(step.items);
    pending_.reset();
}

void MacroRecorder::take(const RecorderKey& key, DelayRecording delays, RecorderStep& step) {
    if (full_)
        return;
    ++keyEvents_;
    if (keyEvents_ > kMaxRecordedKeyEvents) {
        step.limitReached = true;
        return;
    }
    const bool press = key.direction == KeyDirection::Press;
    const bool firstPress = press && !sawPress_;
    // A release before any press (a key held when the recording started) has
    // no earlier event to measure from and gets 0 ms.
    const std::uint32_t delay = recordedDelayMs(lastTick_, key.tick);
    std::vector<std::string> added;
    if (!firstPress && delays == DelayRecording::On)
        added.push_back(delayItem(delay));
    added.push_back(press ? pressItem(key.keyName) : releaseItem(key.keyName));

    std::vector<std::string> items = items_;
    items.insert(items.end(), added.begin(), added.end());
    std::vector<std::string> held = held_;
    if (press)
        held.push_back(key.keyName);
    else
        std::erase(held, key.keyName);
    if (!fits(items, held, delays)) {
        --keyEvents_;
        full_ = true;
        step.full = true;
        releaseHeldKeys(step.items);
        return;
    }
    step.items.insert(step.items.end(), added.begin(), added.end());
    items_ = std::move(items);
    held_ = std::move(held);
    if (firstPress)
        sawPress_ = true;
    lastTick_ = key.tick;
    lastName_ = key.keyName;
    lastAdded_ = static_cast<int>(added.size());
}

void MacroRecorder::releaseHeldKeys(std::vector<std::string>& items) {
    for (auto it = held_.rbegin(); it != held_.rend(); ++it) {
        items.push_back(releaseItem(*it));
        items_.push_back(items.back());
    }
    held_.clear();
}

} // namespace qvr
