#pragma once

#include "core/device/listener.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>

namespace qvr::test {

// Plays the window's side of the listener's hand-over: the listener posts an
// event and waits until the thread that calls pump() has handled it, as a
// blocking cross-thread call into the UI thread would.
class UiThread {
  public:
    ~UiThread() { close(); }

    Listener::Deliver deliverer() {
        return [this](MouseEvent event) { post(event); };
    }

    // Handles the next posted event on the calling thread. False when none
    // came within timeout.
    bool pump(const std::function<void(MouseEvent)>& handle, std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex_);
        if (!changed_.wait_for(lock, timeout, [this] { return !posted_.empty(); }))
            return false;
        const MouseEvent event = posted_.front();
        lock.unlock();
        handle(event);
        lock.lock();
        posted_.pop_front();
        ++handled_;
        changed_.notify_all();
        return true;
    }

    // Lets a listener blocked in a hand-over go, so it can be stopped.
    void close() {
        std::lock_guard lock(mutex_);
        closed_ = true;
        changed_.notify_all();
    }

  private:
    void post(MouseEvent event) {
        std::unique_lock lock(mutex_);
        if (closed_)
            return;
        posted_.push_back(event);
        const unsigned long long ticket = handled_ + posted_.size();
        changed_.notify_all();
        changed_.wait(lock, [&] { return closed_ || handled_ >= ticket; });
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<MouseEvent> posted_;
    unsigned long long handled_ = 0;
    bool closed_ = false;
};

} // namespace qvr::test
