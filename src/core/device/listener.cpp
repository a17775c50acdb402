#include "core/device/listener.h"

#include <array>

namespace qvr {

std::optional<MouseEvent> decodeEventReport(std::span<const std::uint8_t> report) {
    if (report.size() < 4 || report[0] != 0x06 || report[1] != 0x07)
        return std::nullopt;
    return MouseEvent{static_cast<DeviceEventType>(report[2]), report[3]};
}

Listener::Listener(DeviceLink& link, Deliver deliver) : link_(link), deliver_(std::move(deliver)) {}

Listener::~Listener() {
    stop();
}

void Listener::start() {
    if (thread_.joinable())
        return;
    stopping_ = false;
    thread_ = std::thread([this] { run(); });
}

void Listener::stop() {
    stopping_ = true;
    link_.listenerWakeEvent.set();
    if (thread_.joinable())
        thread_.join();
}

void Listener::run() {
    // Reads never go past this buffer, whatever length the collection
    // declares: a longer report is cut by the read itself.
    std::array<std::uint8_t, kBufferSize> buffer{};
    while (!stopping_) {
        link_.listenerWakeEvent.reset();
        // Holding our own reference keeps the handle open during the read,
        // even when a new search replaces it meanwhile.
        std::shared_ptr<HidDevice> handle = link_.listenerHandle();
        if (!link_.devicePresent || !handle) {
            link_.listenerWakeEvent.waitFor(kIdleRecheck);
            continue;
        }
        buffer.fill(0);
        const int got = handle->read(buffer, kReadTimeoutMs);
        if (stopping_)
            break;
        if (got < 0) {
            // Gone or failing: pause instead of spinning; a new handle wakes us.
            link_.listenerWakeEvent.waitFor(kPauseAfterError);
            continue;
        }
        if (got == 0 || !link_.devicePresent)
            continue;
        if (auto event = decodeEventReport(std::span(buffer).first(static_cast<std::size_t>(got))))
            deliver_(*event);
    }
}

} // namespace qvr
