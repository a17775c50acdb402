#pragma once

#include "core/device/clock.h"

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace qvr::test {

// The test clock, with a gate: while held, a wait of the protocol stops at
// it, so a test can act in the middle of an upload on the device thread.
class GatedClock final : public Clock {
  public:
    ~GatedClock() override { release(); }

    void sleepFor(std::chrono::milliseconds duration) override {
        if (realWaits)
            std::this_thread::sleep_for(duration);
        std::unique_lock lock(mutex_);
        elapsed_ += duration;
        ++waiting_;
        changed_.notify_all();
        changed_.wait(lock, [this] { return !held_; });
        --waiting_;
    }

    void hold() {
        std::lock_guard lock(mutex_);
        held_ = true;
    }
    void release() {
        std::lock_guard lock(mutex_);
        held_ = false;
        changed_.notify_all();
    }
    // A wait is stopped at the gate.
    bool waiting() const {
        std::lock_guard lock(mutex_);
        return held_ && waiting_ > 0;
    }
    std::chrono::milliseconds elapsed() const {
        std::lock_guard lock(mutex_);
        return elapsed_;
    }

    // Benchmarks wait for real, as the mouse needs.
    std::atomic<bool> realWaits{false};

  private:
    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::chrono::milliseconds elapsed_{0};
    int waiting_ = 0;
    bool held_ = false;
};

} // namespace qvr::test
