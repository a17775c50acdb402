#pragma once

#include "core/device/device_event_type.h"
#include "core/device/device_link.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <thread>

namespace qvr {

// An event the mouse reports when its own buttons switch something.
struct MouseEvent {
    DeviceEventType type{}; // the report's byte, whatever it is
    std::uint8_t value = 0;
    bool operator==(const MouseEvent&) const = default;
};

// Reports that do not start 06 07 are not events.
std::optional<MouseEvent> decodeEventReport(std::span<const std::uint8_t> report);

// The one worker thread that reads the mouse's event reports. It sleeps while
// the mouse is absent, reads with a timeout so it can stop at exit, and hands
// each event over synchronously: deliver returns only when the UI thread has
// handled it, so at most one event is in flight.
class Listener {
  public:
    using Deliver = std::function<void(MouseEvent)>;

    static constexpr int kReadTimeoutMs = 200;
    static constexpr std::chrono::milliseconds kPauseAfterError{100};
    static constexpr std::chrono::milliseconds kIdleRecheck{500};
    static constexpr std::size_t kBufferSize = 64;

    Listener(DeviceLink& link, Deliver deliver);
    ~Listener();
    Listener(const Listener&) = delete;
    Listener& operator=(const Listener&) = delete;

    void start();
    // Returns within about one read timeout, also while a read is pending.
    void stop();
    bool stopping() const { return stopping_; }

  private:
    void run();

    DeviceLink& link_;
    Deliver deliver_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

} // namespace qvr
