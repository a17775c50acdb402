#include "core/device/device_events.h"
#include "core/device/device_queue.h"
#include "core/device/listener.h"
#include "core/device/virtual_hid_backend.h"
#include "core/profiles/factory_files.h"

#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qvr {
namespace {

using namespace std::chrono_literals;

HidInterfaceInfo foreign(std::string path, std::uint16_t vendor, std::uint16_t usagePage,
                         std::uint16_t usage) {
    HidInterfaceInfo info;
    info.path = std::move(path);
    info.vendorId = vendor;
    info.productId = 0x1234;
    info.usagePage = usagePage;
    info.usage = usage;
    info.inputReportLength = 9;
    info.featureReportLength = 9; // same length as ours: only the ids may tell
    return info;
}

struct LinkRig {
    VirtualHidBackend backend;
    ManualClock clock;
    DeviceLink link{backend, clock};
    ConfigRecord record{};
    std::vector<std::pair<DeviceEventType, bool>> notified; // (type, devicePresent then)
    bool hidden = false;
    int reloads = 0;
    DeviceEventHooks hooks{
        [this](DeviceEventType type, int) {
            notified.emplace_back(type, link.devicePresent.load());
        },
        [this] { ++reloads; },
        [this] { hidden = true; },
    };
};

// Collects delivered events; the test thread plays the UI thread.
struct EventLog {
    std::mutex mutex;
    std::condition_variable arrived;
    std::vector<MouseEvent> events;

    void add(MouseEvent event) {
        std::lock_guard lock(mutex);
        events.push_back(event);
        arrived.notify_all();
    }
    bool waitForCount(std::size_t count, std::chrono::milliseconds timeout = 3s) {
        std::unique_lock lock(mutex);
        return arrived.wait_for(lock, timeout, [&] { return events.size() >= count; });
    }
};

TEST(MouseSearch, FindsTheMouseBehindForeignInterfacesWithoutOpeningThem) {
    LinkRig rig;
    rig.backend.addForeign(foreign("/dev/hidraw0", 0x046D, 0x0001, 0x0002));
    rig.backend.addForeign(foreign("/dev/hidraw1", 0x04D9, 0xFF00, 0xFF00)); // same vendor
    rig.backend.addForeign(foreign("/dev/hidraw2", 0x1532, 0xFF00, 0xFF00), false);
    auto mouse = rig.backend.addMouse();

    ASSERT_TRUE(rig.link.openMouse());
    EXPECT_NE(rig.link.commandHandle(), nullptr);
    EXPECT_NE(rig.link.listenerHandle(), nullptr);
    EXPECT_EQ(rig.link.featureReportLength, 9);
    EXPECT_EQ(rig.link.inputReportLength, 65);
    EXPECT_EQ(rig.link.outputReportLength, 65);
    EXPECT_EQ(rig.link.listenerReportLength, 8);
    const std::vector<std::string> opened = {"virtual:mouse0:command", "virtual:mouse0:event"};
    EXPECT_EQ(rig.backend.openedPaths(), opened);
}

TEST(MouseSearch, OpensBothCollectionsInEitherListingOrder) {
    for (auto order :
         {VirtualHidBackend::Order::ByInterfaceNumber, VirtualHidBackend::Order::EventFirst}) {
        LinkRig rig;
        rig.backend.addForeign(foreign("/dev/hidraw0", 0x046D, 0x0001, 0x0002));
        auto mouse = rig.backend.addMouse(order);
        ASSERT_TRUE(connectAtStartup(rig.link, rig.record));
        ASSERT_NE(rig.link.listenerHandle(), nullptr);
        EXPECT_EQ(rig.link.listenerReportLength, 8);

        // The handle is the mouse's own event node: its events come through it.
        EventLog log;
        Listener listener(rig.link, [&](MouseEvent event) { log.add(event); });
        listener.start();
        mouse->emitEvent(1, 2);
        ASSERT_TRUE(log.waitForCount(1));
        EXPECT_EQ(log.events.front(), (MouseEvent{DeviceEventType::DpiStage1, 2}));
    }
}

TEST(MouseSearch, StopsOnceBothCollectionsOfTheFirstMouseAreOpen) {
    LinkRig rig;
    rig.backend.addMouse();
    rig.backend.addMouse();
    ASSERT_TRUE(rig.link.openMouse());
    const std::vector<std::string> opened = {"virtual:mouse0:command", "virtual:mouse0:event"};
    EXPECT_EQ(rig.backend.openedPaths(), opened);
}

TEST(MouseSearch, AnEventNodeThatRefusesLeavesTheCommandCollectionWorking) {
    LinkRig rig;
    rig.backend.addMouse();
    rig.backend.refuseOpen("virtual:mouse0:event", HidOpenError::PermissionDenied);
    ASSERT_TRUE(connectAtStartup(rig.link, rig.record));
    EXPECT_TRUE(rig.link.devicePresent);
    EXPECT_EQ(rig.link.listenerHandle(), nullptr);
    EXPECT_EQ(rig.link.eventRefusal.path, "virtual:mouse0:event");
    EXPECT_EQ(rig.link.eventRefusal.error, HidOpenError::PermissionDenied);
    EXPECT_TRUE(rig.link.commandRefusal.path.empty());
}

TEST(MouseSearch, ACommandNodeThatRefusesFailsTheSearchAndIsNamed) {
    LinkRig rig;
    // A foreign node examined after the mouse must not take its place in the advice.
    rig.backend.addMouse();
    rig.backend.addForeign(foreign("/dev/hidraw9", 0x046D, 0x0001, 0x0002), false);
    rig.backend.refuseOpen("virtual:mouse0:command", HidOpenError::PermissionDenied);
    EXPECT_FALSE(rig.link.openMouse());
    EXPECT_EQ(rig.link.commandHandle(), nullptr);
    EXPECT_EQ(rig.link.commandRefusal.path, "virtual:mouse0:command");
    EXPECT_EQ(rig.link.commandRefusal.error, HidOpenError::PermissionDenied);
    // The event collection alone is no mouse to talk to, but it is kept open.
    EXPECT_NE(rig.link.listenerHandle(), nullptr);

    // Once the node opens, the next search forgets the refusal.
    rig.backend.refuseOpen("virtual:mouse0:command", HidOpenError::None);
    EXPECT_TRUE(rig.link.openMouse());
    EXPECT_TRUE(rig.link.commandRefusal.path.empty());
}

TEST(MouseSearch, ARefusingFirstMouseGivesWayToASecondOne) {
    LinkRig rig;
    rig.backend.addMouse();
    auto second = rig.backend.addMouse();
    rig.backend.refuseOpen("virtual:mouse0:command", HidOpenError::PermissionDenied);
    rig.backend.refuseOpen("virtual:mouse0:event", HidOpenError::PermissionDenied);
    ASSERT_TRUE(connectAtStartup(rig.link, rig.record));
    EXPECT_NE(rig.link.listenerHandle(), nullptr);
    EXPECT_TRUE(rig.link.commandRefusal.path.empty());
    EXPECT_FALSE(second->trace()->lines().empty()); // the open sequence went to it
}

TEST(MouseSearch, NoMouseMeansNoHandles) {
    LinkRig rig;
    rig.backend.addForeign(foreign("/dev/hidraw0", 0x046D, 0x0001, 0x0002));
    EXPECT_FALSE(rig.link.openMouse());
    EXPECT_EQ(rig.link.commandHandle(), nullptr);
}

TEST(MouseSearch, AnUnplugableFirstMouseDoesNotHideASecond) {
    LinkRig rig;
    auto first = rig.backend.addMouse();
    auto second = rig.backend.addMouse();
    ASSERT_TRUE(connectAtStartup(rig.link, rig.record));
    rig.backend.unplug(first);
    onDeviceRemoval(rig.link, rig.hooks);
    EXPECT_TRUE(rig.link.devicePresent);
    EXPECT_TRUE(rig.notified.empty());
    // The handle now talks to the second mouse.
    rig.link.protocol().readActiveSlot();
    EXPECT_EQ(second->trace()->lines().back().rfind("get-feature", 0), 0u);
}

TEST(Hotplug, ArrivalTellsTheUserBeforeTheMouseCountsAsPresentThenOpensAndReloads) {
    LinkRig rig;
    auto mouse = rig.backend.addMouse();
    mouse->unplug();
    EXPECT_FALSE(connectAtStartup(rig.link, rig.record));
    mouse->setSlot(2);
    rig.backend.plug(mouse);
    onDeviceArrival(rig.link, rig.record, rig.hooks);

    ASSERT_EQ(rig.notified.size(), 1u);
    EXPECT_EQ(rig.notified[0], std::make_pair(DeviceEventType::MouseDetected, false));
    EXPECT_TRUE(rig.link.devicePresent);
    EXPECT_EQ(rig.reloads, 1);
    EXPECT_EQ(rig.record.activeProfile, 2);
    const auto lines = mouse->trace()->lines();
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "set-feature 00 82 00 00 00 00 00 00 7d");
    EXPECT_EQ(lines[2], "set-feature 00 01 fc 00 00 00 00 00 02");
    EXPECT_EQ(mouse->uploadsBegun(), 0); // no upload on arrival
}

TEST(Hotplug, FailedArrivalWarnsHidesAndClearsThePresence) {
    LinkRig rig;
    auto mouse = rig.backend.addMouse();
    ASSERT_TRUE(connectAtStartup(rig.link, rig.record));
    mouse->unplug();
    onDeviceArrival(rig.link, rig.record, rig.hooks);
    ASSERT_EQ(rig.notified.size(), 1u);
    EXPECT_EQ(rig.notified[0], std::make_pair(DeviceEventType::MouseNotDetected, true));
    EXPECT_TRUE(rig.hidden);
    EXPECT_FALSE(rig.link.devicePresent);
    EXPECT_EQ(rig.reloads, 0);
}

TEST(Hotplug, RemovalSearchesAgainAndWarnsWhenNothingIsLeft) {
    LinkRig rig;
    auto mouse = rig.backend.addMouse();
    ASSERT_TRUE(connectAtStartup(rig.link, rig.record));
    rig.backend.unplug(mouse);
    onDeviceRemoval(rig.link, rig.hooks);
    ASSERT_EQ(rig.notified.size(), 1u);
    EXPECT_EQ(rig.notified[0], std::make_pair(DeviceEventType::MouseNotDetected, true));
    EXPECT_FALSE(rig.link.devicePresent);
    EXPECT_FALSE(rig.hidden); // the window stays as it was
    EXPECT_EQ(rig.link.commandHandle(), nullptr);
}

TEST(Hotplug, TheVirtualMouseRaisesPlugEventsForBothNodes) {
    LinkRig rig;
    auto mouse = rig.backend.addMouse();
    std::vector<std::string> events;
    rig.backend.setPlugListener([&](VirtualHidBackend::Plug plug, const std::string& path) {
        events.push_back((plug == VirtualHidBackend::Plug::Arrival ? "+" : "-") + path);
    });
    rig.backend.unplug(mouse);
    rig.backend.plug(mouse);
    const std::vector<std::string> expected = {"-virtual:mouse0:command", "-virtual:mouse0:event",
                                               "+virtual:mouse0:command", "+virtual:mouse0:event"};
    EXPECT_EQ(events, expected);
}

TEST(DpiEventReadBack, ReadsTheSlotAndBlockFromTheMouse) {
    LinkRig rig;
    auto mouse = rig.backend.addMouse();
    ASSERT_TRUE(connectAtStartup(rig.link, rig.record));
    const Block block = readBackForDpiEvent(rig.link, rig.record);
    EXPECT_EQ(block, mouse->configurationBlock());
    EXPECT_EQ(block[0x54 + 2], 48); // the model's third stage
    rig.record.activeProfile = 200; // from a hand-edited file
    EXPECT_EQ(readBackForDpiEvent(rig.link, rig.record), mouse->configurationBlock());
}

TEST(EventReport, OnlyReportsStartingSixSevenAreEvents) {
    const std::uint8_t good[] = {0x06, 0x07, 0x01, 0x03};
    const std::uint8_t wrongMarker[] = {0x06, 0x08, 0x01, 0x03};
    const std::uint8_t tooShort[] = {0x06, 0x07, 0x01};
    EXPECT_EQ(decodeEventReport(good), (MouseEvent{DeviceEventType::DpiStage1, 3}));
    EXPECT_FALSE(decodeEventReport(wrongMarker));
    EXPECT_FALSE(decodeEventReport(tooShort));
    EXPECT_FALSE(decodeEventReport({}));
}

TEST(ListenerThread, HandsEventsOverInOrderAndDropsForeignReports) {
    LinkRig rig;
    auto mouse = rig.backend.addMouse();
    EventLog log;
    Listener listener(rig.link, [&](MouseEvent event) { log.add(event); });
    ASSERT_TRUE(connectAtStartup(rig.link, rig.record));
    listener.start();
    mouse->emitEvent(1, 3);
    mouse->emitInputReport({0x06, 0x08, 0x01, 0x03, 0, 0, 0, 0});
    mouse->emitEvent(9, 2);
    ASSERT_TRUE(log.waitForCount(2));
    listener.stop();
    const std::vector<MouseEvent> expected = {{DeviceEventType::DpiStage1, 3},
                                              {DeviceEventType::MacroKey, 2}};
    EXPECT_EQ(log.events, expected);
}

TEST(ListenerThread, ReadsNothingWhileTheMouseIsAbsentAndStartsOnArrival) {
    LinkRig rig;
    auto mouse = rig.backend.addMouse();
    mouse->unplug();
    EventLog log;
    Listener listener(rig.link, [&](MouseEvent event) { log.add(event); });
    EXPECT_FALSE(connectAtStartup(rig.link, rig.record));
    listener.start();
    std::this_thread::sleep_for(50ms);
    EXPECT_TRUE(mouse->trace()->lines().empty());

    rig.backend.plug(mouse);
    onDeviceArrival(rig.link, rig.record, rig.hooks);
    mouse->emitEvent(2, 4);
    ASSERT_TRUE(log.waitForCount(1));
    EXPECT_EQ(log.events.front(), (MouseEvent{DeviceEventType::DpiStage2, 4}));
}

TEST(ListenerThread, StopsWithinASecondWhileAReadIsPending) {
    LinkRig rig;
    rig.backend.addMouse();
    Listener listener(rig.link, [](MouseEvent) {});
    ASSERT_TRUE(connectAtStartup(rig.link, rig.record));
    listener.start();
    std::this_thread::sleep_for(30ms); // inside a read by now
    const auto begin = std::chrono::steady_clock::now();
    listener.stop();
    EXPECT_LT(std::chrono::steady_clock::now() - begin, 1s);
}

TEST(ListenerThread, SurvivesUnplugDuringAReadAndResumesAfterReplug) {
    LinkRig rig;
    auto mouse = rig.backend.addMouse();
    EventLog log;
    Listener listener(rig.link, [&](MouseEvent event) { log.add(event); });
    ASSERT_TRUE(connectAtStartup(rig.link, rig.record));
    listener.start();
    std::this_thread::sleep_for(20ms);
    rig.backend.unplug(mouse);
    onDeviceRemoval(rig.link, rig.hooks);
    EXPECT_FALSE(rig.link.devicePresent);
    std::this_thread::sleep_for(50ms);
    rig.backend.plug(mouse);
    onDeviceArrival(rig.link, rig.record, rig.hooks);
    mouse->emitEvent(1, 1);
    ASSERT_TRUE(log.waitForCount(1));
    EXPECT_EQ(log.events.front(), (MouseEvent{DeviceEventType::DpiStage1, 1}));
}

// A queue whose answers are taken in place on its worker, with what ran and
// what was answered in one log. A held request keeps the worker until
// release(), so that the ones given after it wait.
struct QueueRig {
    std::mutex mutex;
    std::condition_variable changed;
    bool held = true;
    bool running = false;
    std::vector<std::string> log;
    DeviceQueue queue{[](std::function<void()> answer) { answer(); }};

    void note(const std::string& line) {
        std::lock_guard lock(mutex);
        log.push_back(line);
    }
    // Returns once the worker runs the held request.
    void hold(DeviceRequestKind kind = DeviceRequestKind::Other) {
        give(kind, "held", [this] {
            std::unique_lock lock(mutex);
            running = true;
            changed.notify_all();
            changed.wait(lock, [this] { return !held; });
        });
        std::unique_lock lock(mutex);
        changed.wait(lock, [this] { return running; });
    }
    void release() {
        std::lock_guard lock(mutex);
        held = false;
        changed.notify_all();
    }
    void give(DeviceRequestKind kind, const std::string& name, std::function<void()> work = {}) {
        queue.give(
            kind,
            [this, name, work] {
                if (work)
                    work();
                note("run " + name);
            },
            [this, name](DeviceAnswer answer) {
                note((answer == DeviceAnswer::Ran        ? "ran "
                      : answer == DeviceAnswer::Obsolete ? "obsolete "
                                                         : "stopped ") +
                     name);
            });
    }
};

using Log = std::vector<std::string>;

TEST(DeviceQueue, ANewerRequestOfTheSameKindDropsTheOneStillWaitingAndNoOther) {
    using enum DeviceRequestKind;
    for (const DeviceRequestKind kind : {Upload, ReadBack, Reopen}) {
        SCOPED_TRACE(static_cast<int>(kind));
        QueueRig rig;
        // The one running is past dropping, even by a newer one of its kind.
        rig.hold(kind);
        rig.give(kind, "older");
        rig.give(Other, "other");
        for (const DeviceRequestKind different : {Upload, ReadBack, Reopen}) {
            if (different != kind)
                rig.give(different, "different");
        }
        rig.give(kind, "newer");
        rig.release();
        rig.queue.stop();
        EXPECT_EQ(rig.log, (Log{"run held", "ran held", "obsolete older", "run other", "ran other",
                                "run different", "ran different", "run different", "ran different",
                                "run newer", "ran newer"}));
    }
}

TEST(DeviceQueue, OthersAreNeverDroppedAndEveryRequestIsAnsweredOnceInTheOrderGiven) {
    using enum DeviceRequestKind;
    QueueRig rig;
    rig.hold();
    rig.give(Other, "first");
    rig.give(Upload, "save");
    rig.give(Other, "second");
    rig.give(Upload, "switch");
    rig.give(ReadBack, "read");
    rig.release();
    rig.queue.stop();
    EXPECT_EQ(rig.log,
              (Log{"run held", "ran held", "run first", "ran first", "obsolete save", "run second",
                   "ran second", "run switch", "ran switch", "run read", "ran read"}));
}

TEST(DeviceQueue, StopRunsWhatWasGivenAndAnswersLaterRequestsWithoutRunningThem) {
    using enum DeviceRequestKind;
    QueueRig rig;
    rig.hold();
    rig.give(Upload, "last save");
    std::thread releaser([&] {
        std::this_thread::sleep_for(20ms); // stop is waiting by now, or soon
        rig.release();
    });
    rig.queue.stop();
    releaser.join();
    rig.give(Upload, "too late");
    rig.give(Other, "also too late");
    rig.queue.stop(); // a second stop is harmless
    EXPECT_EQ(rig.log, (Log{"run held", "ran held", "run last save", "ran last save",
                            "stopped too late", "stopped also too late"}));
}

// A Save waiting behind a running upload, then a profile switch: the mouse
// ends with the switched profile, and the Save's upload never goes after it.
TEST(DeviceQueue, ASaveWaitingBehindAnUploadGivesWayToALaterSwitch) {
    LinkRig rig;
    auto mouse = rig.backend.addMouse();
    ASSERT_TRUE(connectAtStartup(rig.link, rig.record));
    ConfigRecord saved = factoryRecord();
    saved.reportRateCode = 1;
    ConfigRecord switched = factoryRecord();
    switched.reportRateCode = 2;
    QueueRig queue;
    const auto upload = [&](const std::string& name, ConfigRecord record) {
        queue.give(DeviceRequestKind::Upload, name,
                   [&rig, record]() mutable { rig.link.protocol().uploadConfiguration(record); });
    };
    queue.hold(DeviceRequestKind::Upload);
    upload("save", saved);
    upload("switch", switched);
    queue.release();
    queue.queue.stop();
    EXPECT_EQ(mouse->uploadsBegun(), 1);
    EXPECT_EQ(mouse->reportRateCode(), 2);
    EXPECT_EQ(queue.log,
              (Log{"run held", "ran held", "obsolete save", "run switch", "ran switch"}));
}

} // namespace
} // namespace qvr
