#include "core/device/device_events.h"
#include "core/device/listener.h"
#include "core/device/virtual_hid_backend.h"
#include "support/stress_count.h"
#include "support/ui_thread.h"

#include <chrono>
#include <gtest/gtest.h>
#include <thread>
#include <vector>

namespace qvr {
namespace {

using namespace std::chrono_literals;

// Numbers each event through its two bytes, so order, loss and duplicates
// all show in the sequence the window receives.
MouseEvent eventNumber(int n) {
    return MouseEvent{static_cast<DeviceEventType>(n >> 8), static_cast<std::uint8_t>(n & 0xFF)};
}

int numberOf(MouseEvent event) {
    return static_cast<int>(event.type) << 8 | event.value;
}

TEST(EventBurst, EveryReportOfABurstReachesTheWindowOnceAndInOrder) {
    const int count = test::stressCount(1000, 10000);
    VirtualHidBackend backend;
    auto mouse = backend.addMouse();
    ManualClock clock;
    DeviceLink link(backend, clock);
    ConfigRecord record{};
    ASSERT_TRUE(connectAtStartup(link, record));

    test::UiThread ui;
    Listener listener(link, ui.deliverer());
    listener.start();
    std::thread burst([&] {
        for (int n = 0; n < count; ++n) {
            const MouseEvent event = eventNumber(n);
            mouse->emitEvent(static_cast<std::uint8_t>(event.type), event.value);
        }
    });

    std::vector<int> received;
    received.reserve(static_cast<std::size_t>(count));
    const auto record_ = [&](MouseEvent event) { received.push_back(numberOf(event)); };
    while (static_cast<int>(received.size()) < count && ui.pump(record_, 2s)) {
    }
    burst.join();
    // Anything more arriving now would be a duplicate.
    ui.pump(record_, 300ms);
    ui.close();
    listener.stop();

    ASSERT_EQ(static_cast<int>(received.size()), count);
    for (int n = 0; n < count; ++n)
        ASSERT_EQ(received[static_cast<std::size_t>(n)], n) << "event " << n;
}

} // namespace
} // namespace qvr
