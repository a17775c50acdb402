// Plugging the emulated mouse out and in through real udev events: the
// monitor, the window's coalescing, the device link and the listener.

#include "core/device/device_events.h"
#include "core/device/listener.h"
#include "gui/session/hotplug_watch.h"
#include "platform/hidapi_backend.h"
#include "support/emulated_mouse.h"
#include "support/qt_test_app.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <atomic>
#include <gtest/gtest.h>
#include <mutex>
#include <poll.h>

namespace qvr {
namespace {

using test::EmulatedMouse;
using Node = EmulatedMouse::Node;

// Runs the event loop until the condition holds; the timeout only bounds a failure.
bool spinUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
    QElapsedTimer timer;
    timer.start();
    while (!condition()) {
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

std::vector<HotplugEvent> readEvents(UdevHotplugMonitor& monitor, std::size_t count,
                                     int timeoutMs = 5000) {
    std::vector<HotplugEvent> events;
    QElapsedTimer timer;
    timer.start();
    while (events.size() < count && timer.elapsed() < timeoutMs) {
        pollfd ready{monitor.fd(), POLLIN, 0};
        if (::poll(&ready, 1, 100) > 0)
            while (auto event = monitor.readEvent())
                events.push_back(*event);
    }
    return events;
}

TEST(KernelHotplug, TheMonitorSeesEachNodeOfTheMouseGoAndCome) {
    EmulatedMouse mouse; // before the monitor: its socket joins the test bed
    UdevHotplugMonitor monitor;
    ASSERT_TRUE(monitor.isValid());
    const std::string command = mouse.devnode(Node::Command);
    const std::string event = mouse.devnode(Node::Event);

    mouse.unplug();
    EXPECT_EQ(readEvents(monitor, 2), (std::vector<HotplugEvent>{{HotplugKind::Removal, command},
                                                                 {HotplugKind::Removal, event}}));
    mouse.plug();
    EXPECT_EQ(readEvents(monitor, 2),
              (std::vector<HotplugEvent>{{HotplugKind::Arrival, mouse.devnode(Node::Command)},
                                         {HotplugKind::Arrival, mouse.devnode(Node::Event)}}));
    // Nothing else: the foreign keyboard never showed up.
    EXPECT_TRUE(readEvents(monitor, 1, 300).empty());
}

TEST(KernelHotplug, RemoveThenAddGivesOneLostAndOneFoundAndTheListenerResumes) {
    test::qtApp();
    EmulatedMouse mouse(EmulatedMouse::Order::EventFirst);
    HidapiBackend backend;
    ManualClock clock;
    DeviceLink link(backend, clock);
    ConfigRecord record{};
    ASSERT_TRUE(connectAtStartup(link, record));
    ASSERT_TRUE(mouse.waitUntilOpen(Node::Event));

    std::mutex mutex;
    std::vector<MouseEvent> events;
    Listener listener(link, [&](MouseEvent event) {
        std::lock_guard lock(mutex);
        events.push_back(event);
    });
    const auto eventCount = [&] {
        std::lock_guard lock(mutex);
        return events.size();
    };
    listener.start();

    std::vector<DeviceEventType> notifications;
    DeviceEventHooks hooks{
        .notify = [&](DeviceEventType type, int) { notifications.push_back(type); },
        .reloadProfile = {},
        .hideWindow = {}};
    HotplugCoalescer coalescer(
        [&](HotplugKind kind) {
            if (kind == HotplugKind::Arrival)
                onDeviceArrival(link, record, hooks);
            else
                onDeviceRemoval(link, hooks);
        },
        std::chrono::milliseconds(100));
    UdevHotplugSource source;
    ASSERT_TRUE(source.start([&](HotplugKind kind) { coalescer.add(kind); }));

    mouse.emitEvent(1, 2);
    ASSERT_TRUE(spinUntil([&] { return eventCount() == 1; }));

    mouse.unplug();
    ASSERT_TRUE(spinUntil([&] { return !notifications.empty() && !coalescer.pending(); }));
    EXPECT_EQ(notifications, std::vector{DeviceEventType::MouseNotDetected});
    EXPECT_FALSE(link.devicePresent);

    mouse.plug();
    ASSERT_TRUE(spinUntil([&] { return notifications.size() == 2 && !coalescer.pending(); }));
    EXPECT_EQ(notifications,
              (std::vector{DeviceEventType::MouseNotDetected, DeviceEventType::MouseDetected}));
    EXPECT_TRUE(link.devicePresent);
    ASSERT_TRUE(mouse.waitUntilOpen(Node::Event));

    // The listener reads the new event node.
    mouse.emitEvent(1, 3);
    ASSERT_TRUE(spinUntil([&] { return eventCount() == 2; }));
    listener.stop();
    std::lock_guard lock(mutex);
    EXPECT_EQ(events, (std::vector<MouseEvent>{{DeviceEventType::DpiStage1, 2},
                                               {DeviceEventType::DpiStage1, 3}}));
}

} // namespace
} // namespace qvr
