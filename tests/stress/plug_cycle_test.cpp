#include "core/device/device_events.h"
#include "core/device/listener.h"
#include "core/device/virtual_hid_backend.h"
#include "support/stress_count.h"
#include "support/ui_thread.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <thread>
#include <unistd.h>

namespace qvr {
namespace {

using namespace std::chrono_literals;

long entriesOf(const char* folder) {
    return std::distance(std::filesystem::directory_iterator(folder),
                         std::filesystem::directory_iterator());
}

long openFileDescriptors() {
    return entriesOf("/proc/self/fd");
}

long threads() {
    return entriesOf("/proc/self/task");
}

// A joined thread can still be listed in /proc for a moment while the kernel
// finishes its exit, so a count is a fact only once it has settled.
long threadsSettledAt(long expected) {
    const auto deadline = std::chrono::steady_clock::now() + 5s;
    long now = threads();
    while (now != expected && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(1ms);
        now = threads();
    }
    return now;
}

TEST(PlugCycles, RepeatedUnplugAndPlugLeaveNoHandleOrThreadBehind) {
    const int cycles = test::stressCount(20, 200);
    VirtualHidBackend backend;
    auto mouse = backend.addMouse();
    ManualClock clock;
    DeviceLink link(backend, clock);
    ConfigRecord record{};
    int reloads = 0;
    const DeviceEventHooks hooks{[](DeviceEventType, int) {}, [&] { ++reloads; }, [] {}};
    // The hotplug monitor's part: each plug event runs its handling.
    backend.setPlugListener([&](VirtualHidBackend::Plug plug, const std::string&) {
        if (plug == VirtualHidBackend::Plug::Arrival)
            onDeviceArrival(link, record, hooks);
        else
            onDeviceRemoval(link, hooks);
    });
    ASSERT_TRUE(connectAtStartup(link, record));
    // A sanitizer's runtime starts a thread of its own with the first one
    // made: let it exist before counting.
    pid_t warmUp = 0;
    std::thread([&] { warmUp = ::gettid(); }).join();
    const auto gone = std::chrono::steady_clock::now() + 5s;
    while (std::filesystem::exists("/proc/self/task/" + std::to_string(warmUp)) &&
           std::chrono::steady_clock::now() < gone)
        std::this_thread::sleep_for(1ms);
    const long threadsWithoutListener = threads();

    test::UiThread ui;
    Listener listener(link, ui.deliverer());
    listener.start();

    std::optional<long> fdsAtStart;
    std::optional<long> threadsAtStart;
    for (int cycle = 0; cycle <= cycles; ++cycle) {
        SCOPED_TRACE("cycle " + std::to_string(cycle));
        backend.unplug(mouse);
        ASSERT_FALSE(link.devicePresent);
        backend.plug(mouse);
        ASSERT_TRUE(link.devicePresent);
        // The listener must have taken up the new handle.
        const auto value = static_cast<std::uint8_t>(cycle);
        mouse->emitEvent(1, value);
        std::optional<MouseEvent> got;
        ASSERT_TRUE(ui.pump([&](MouseEvent event) { got = event; }, 2s));
        ASSERT_EQ(got, (MouseEvent{DeviceEventType::DpiStage1, value}));
        if (cycle == 0) {
            // Counted after one warm-up cycle, once everything lazy exists.
            fdsAtStart = openFileDescriptors();
            threadsAtStart = threads();
        }
    }
    EXPECT_EQ(openFileDescriptors(), *fdsAtStart);
    EXPECT_EQ(threadsSettledAt(*threadsAtStart), *threadsAtStart);
    // Each of the mouse's two nodes announces itself, as hidraw nodes do.
    EXPECT_EQ(reloads, 2 * (cycles + 1));

    ui.close();
    listener.stop();
    EXPECT_EQ(threadsSettledAt(threadsWithoutListener), threadsWithoutListener);
}

} // namespace
} // namespace qvr
