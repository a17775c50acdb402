#include "core/device/device_queue.h"

#include <utility>

namespace qvr {

DeviceQueue::DeviceQueue(Deliver deliver) : deliver_(std::move(deliver)) {
    worker_ = std::thread([this] { run(); });
}

DeviceQueue::~DeviceQueue() {
    stop();
}

void DeviceQueue::give(DeviceRequestKind kind, Work work, Done done) {
    {
        std::lock_guard lock(mutex_);
        if (!stopping_) {
            if (kind != DeviceRequestKind::Other) {
                for (Request& older : waiting_) {
                    if (older.kind == kind && !older.obsolete) {
                        older.obsolete = true;
                        older.work = nullptr; // what it holds may be large
                    }
                }
            }
            waiting_.push_back({kind, std::move(work), std::move(done)});
            changed_.notify_one();
            return;
        }
    }
    deliver_([done = std::move(done)] {
        if (done)
            done(DeviceAnswer::Stopped);
    });
}

void DeviceQueue::stop() {
    if (stopped_)
        return;
    stopped_ = true;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_one();
    worker_.join();
}

void DeviceQueue::run() {
    for (;;) {
        Request request;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || !waiting_.empty(); });
            if (waiting_.empty())
                return; // stopping, and everything given has run
            request = std::move(waiting_.front());
            waiting_.pop_front();
        }
        const DeviceAnswer answer = request.obsolete ? DeviceAnswer::Obsolete : DeviceAnswer::Ran;
        if (answer == DeviceAnswer::Ran && request.work)
            request.work();
        deliver_([done = std::move(request.done), answer] {
            if (done)
                done(answer);
        });
    }
}

} // namespace qvr
