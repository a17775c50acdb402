#pragma once

#include <QKeyEvent>
#include <algorithm>
#include <vector>

namespace qvr {

// The keys of one capture asked for from the keyboard, told apart by where
// they are on the keyboard. A key that was down before the capture began
// (the Space that asked for it) is no part of it.
class CaptureKeys {
  public:
    enum class Step { Outside, Taken, Ended };

    void clear() { held_.clear(); }

    // What the event is to the capture: not part of it, one of its keys, or
    // the release of its last key.
    Step take(const QKeyEvent& event) {
        const int key =
            event.nativeScanCode() ? static_cast<int>(event.nativeScanCode()) : event.key();
        const bool held = std::ranges::find(held_, key) != held_.end();
        if (event.type() == QEvent::KeyPress) {
            if (!held && !event.isAutoRepeat())
                held_.push_back(key);
            if (held_.empty())
                return Step::Outside;
        } else if (!held) {
            return Step::Outside;
        }
        if (event.type() == QEvent::KeyRelease && !event.isAutoRepeat()) {
            std::erase(held_, key);
            if (held_.empty())
                return Step::Ended;
        }
        return Step::Taken;
    }

  private:
    std::vector<int> held_;
};

} // namespace qvr
