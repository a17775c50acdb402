#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace qvr {

// A manual-reset event: set() wakes every waiter and stays set until reset().
class WakeEvent {
  public:
    void set() {
        std::lock_guard lock(mutex_);
        set_ = true;
        changed_.notify_all();
    }
    void reset() {
        std::lock_guard lock(mutex_);
        set_ = false;
    }
    // True when the event was set, false when the time ran out.
    bool waitFor(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, timeout, [this] { return set_; });
    }
    void wait() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return set_; });
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool set_ = false;
};

} // namespace qvr
