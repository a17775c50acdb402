#pragma once

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace qvr {

// What a request to the mouse is, for the one rule that drops requests: of
// the kinds that only bring the mouse or the window up to date, the newest
// given makes an older one still waiting pointless.
enum class DeviceRequestKind {
    Other,    // runs whatever else was given
    Upload,   // the mouse ends with the newest record
    ReadBack, // the newest read finds what an older one would
    Reopen,   // the newest search finds the mouse as it is now
};

// How a request was answered.
enum class DeviceAnswer {
    Ran,
    // A newer request of the same kind was given before its turn; its work
    // never ran.
    Obsolete,
    // Given after stop(); its work never ran.
    Stopped,
};

// The one worker thread that owns the mouse's command collection. Requests
// run one after another in the order given, so a read-back or a search never
// falls into an upload and an upload never goes behind one given later.
// Every request is answered, once and in the order given, through deliver,
// which hands the answer to the owner's thread (the window's event loop; a
// test may run it in place). deliver is called on the worker thread, and on
// the caller's for requests given after stop().
class DeviceQueue {
  public:
    using Work = std::function<void()>;
    using Done = std::function<void(DeviceAnswer)>;
    using Deliver = std::function<void(std::function<void()> answer)>;

    explicit DeviceQueue(Deliver deliver);
    ~DeviceQueue();
    DeviceQueue(const DeviceQueue&) = delete;
    DeviceQueue& operator=(const DeviceQueue&) = delete;

    // A waiting request of the same kind (not Other) becomes obsolete.
    void give(DeviceRequestKind kind, Work work, Done done);

    // Runs every request given so far, then joins the worker. Requests given
    // later are answered Stopped without running. The answers themselves are
    // the owner's to take: they may still be on their way.
    void stop();

  private:
    struct Request {
        DeviceRequestKind kind = DeviceRequestKind::Other;
        Work work;
        Done done;
        bool obsolete = false;
    };

    void run();

    Deliver deliver_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Request> waiting_;
    bool stopping_ = false;
    bool stopped_ = false; // set and read by the owner's thread only
    std::thread worker_;
};

} // namespace qvr
