// The real hidapi backend, device link and listener against the mouse as the
// kernel presents it: udev enumeration, sysfs descriptors, hidraw nodes.

#include "core/device/config_block.h"
#include "core/device/device_events.h"
#include "core/device/listener.h"
#include "core/device/tracing_backend.h"
#include "core/device/virtual_hid_backend.h"
#include "core/files/message_sink.h"
#include "core/files/private_profile.h"
#include "core/profiles/save_after_upload.h"
#include "core/text/notification_text.h"
#include "platform/hidapi_backend.h"
#include "support/emulated_mouse.h"
#include "support/program_folder.h"

#include <chrono>
#include <condition_variable>
#include <gtest/gtest.h>
#include <hidapi.h>
#include <map>
#include <mutex>

namespace qvr {
namespace {

using test::EmulatedMouse;
using Node = EmulatedMouse::Node;
using Order = EmulatedMouse::Order;
using Bytes = std::vector<std::uint8_t>;

Bytes counting(std::size_t size, std::uint8_t first) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(first + i);
    return bytes;
}

// A record that exercises every block of the upload.
ConfigRecord uploadRecord() {
    ConfigRecord record = testing::patternRecord(5);
    record.reportRateCode = 2;
    record.activeProfile = 0;
    return record;
}

// --- the emulated kernel keeps the hidraw contract ------------------------

class HidrawNode : public ::testing::Test {
  protected:
    hid_device* open(Node node) {
        hid_device* handle = hid_open_path(mouse_.devnode(node).c_str());
        EXPECT_NE(handle, nullptr) << mouse_.devnode(node);
        EXPECT_TRUE(mouse_.waitUntilOpen(node, ++opens_[node]));
        return handle;
    }
    EmulatedMouse mouse_;
    std::map<Node, int> opens_;
};

TEST_F(HidrawNode, EachReadReturnsOneReportWithTheIdOnlyWhenNumbered) {
    hid_device* command = open(Node::Command);
    hid_device* event = open(Node::Event);
    ASSERT_TRUE(command && event);
    mouse_.sendInputReport(Node::Command, counting(64, 0x10));
    mouse_.sendInputReport(Node::Command, counting(64, 0x80));
    mouse_.emitEvent(2, 4);

    std::array<std::uint8_t, 200> buffer{};
    ASSERT_EQ(hid_read_timeout(command, buffer.data(), buffer.size(), 1000), 64);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 64), counting(64, 0x10));
    ASSERT_EQ(hid_read_timeout(command, buffer.data(), buffer.size(), 1000), 64);
    EXPECT_EQ(buffer[0], 0x80);
    EXPECT_EQ(hid_read_timeout(command, buffer.data(), buffer.size(), 50), 0);

    ASSERT_EQ(hid_read_timeout(event, buffer.data(), buffer.size(), 1000), 8);
    EXPECT_EQ(Bytes(buffer.begin(), buffer.begin() + 8), (Bytes{6, 7, 2, 4, 0, 0, 0, 0}));
    // A short buffer gets the start of the report; the rest is gone.
    mouse_.emitEvent(1, 3);
    ASSERT_EQ(hid_read_timeout(event, buffer.data(), 3, 1000), 3);
    EXPECT_EQ(hid_read_timeout(event, buffer.data(), buffer.size(), 50), 0);
    hid_close(command);
    hid_close(event);
}

TEST_F(HidrawNode, ReportsSentWhileNobodyHoldsTheNodeAreLost) {
    mouse_.emitEvent(1, 2);
    mouse_.sendInputReport(Node::Event, {6, 7, 1, 3, 0, 0, 0, 0});
    hid_device* event = open(Node::Event);
    ASSERT_NE(event, nullptr);
    std::array<std::uint8_t, 64> buffer{};
    EXPECT_EQ(hid_read_timeout(event, buffer.data(), buffer.size(), 100), 0);
    hid_close(event);
}

TEST_F(HidrawNode, FeatureReportsCarryTheReportNumberInTheirLength) {
    hid_device* command = open(Node::Command);
    ASSERT_NE(command, nullptr);
    mouse_.firmware().setSlot(3);
    const auto ask = buildCommandReport({command::kReadSlot, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(hid_send_feature_report(command, ask.data(), ask.size()), 9);
    std::array<std::uint8_t, 9> answer{};
    EXPECT_EQ(hid_get_feature_report(command, answer.data(), answer.size()), 9);
    EXPECT_EQ(answer[0], 0);
    EXPECT_EQ(answer[1], 3);

    // The event interface has no feature report: the device stalls.
    hid_device* event = open(Node::Event);
    ASSERT_NE(event, nullptr);
    EXPECT_EQ(hid_send_feature_report(event, ask.data(), ask.size()), -1);
    hid_close(event);
    hid_close(command);
}

TEST_F(HidrawNode, AnUnpluggedNodeFailsAtOnceAndItsNameIsGone) {
    hid_device* command = open(Node::Command);
    hid_device* event = open(Node::Event);
    ASSERT_TRUE(command && event);
    const std::string path = mouse_.devnode(Node::Command);
    mouse_.unplug();

    const Bytes report = counting(65, 0);
    EXPECT_EQ(hid_write(command, report.data(), report.size()), -1);
    std::array<std::uint8_t, 64> buffer{};
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(hid_read_timeout(event, buffer.data(), buffer.size(), 5000), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(hid_open_path(path.c_str()), nullptr);
    hid_close(command);
    hid_close(event);

    // A fresh device: new nodes, the firmware answers again.
    mouse_.plug();
    opens_.clear();
    hid_device* again = open(Node::Command);
    ASSERT_NE(again, nullptr);
    const auto ask = buildCommandReport({command::kReadSlot, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(hid_send_feature_report(again, ask.data(), ask.size()), 9);
    hid_close(again);
}

// --- discovery --------------------------------------------------------------

TEST(KernelDiscovery, ListsTheForeignDeviceFirstWithLengthsFromTheSysfsDescriptors) {
    for (Order order : {Order::CommandFirst, Order::EventFirst}) {
        EmulatedMouse mouse(order);
        HidapiBackend backend;
        const auto list = backend.enumerate();
        ASSERT_EQ(list.size(), 3u);
        EXPECT_EQ(list[0].path, mouse.devnode(Node::Foreign));
        EXPECT_FALSE(isMouse(list[0]));
        const std::size_t command = order == Order::CommandFirst ? 1 : 2;
        const std::size_t event = order == Order::CommandFirst ? 2 : 1;
        EXPECT_EQ(list[command].path, mouse.devnode(Node::Command));
        EXPECT_TRUE(isCommandCollection(list[command]));
        EXPECT_EQ(list[command].inputReportLength, 65);
        EXPECT_EQ(list[command].outputReportLength, 65);
        EXPECT_EQ(list[command].featureReportLength, 9);
        EXPECT_EQ(list[event].path, mouse.devnode(Node::Event));
        EXPECT_TRUE(isEventCollection(list[event]));
        EXPECT_EQ(list[event].inputReportLength, 8);
        EXPECT_EQ(list[event].interfaceNumber, order == Order::CommandFirst ? 2 : 1);
    }
}

TEST(KernelDiscovery, OpensBothCollectionsInEitherOrderWithoutTouchingTheForeignNode) {
    for (Order order : {Order::CommandFirst, Order::EventFirst}) {
        SCOPED_TRACE(order == Order::CommandFirst ? "command first" : "event first");
        EmulatedMouse mouse(order);
        HidapiBackend backend;
        ManualClock clock;
        DeviceLink link(backend, clock);
        ASSERT_TRUE(link.openMouse());
        EXPECT_NE(link.commandHandle(), nullptr);
        EXPECT_NE(link.listenerHandle(), nullptr);
        EXPECT_EQ(link.listenerReportLength, 8);
        EXPECT_EQ(link.inputReportLength, 65);
        EXPECT_TRUE(mouse.waitUntilOpen(Node::Command));
        EXPECT_TRUE(mouse.waitUntilOpen(Node::Event));
        EXPECT_EQ(mouse.openCount(Node::Foreign), 0);
    }
}

// --- the command conversation -----------------------------------------------

// Start-up, a full upload and a read-back of the configuration block, traced.
std::vector<std::string> conversation(HidBackend& backend, const std::shared_ptr<Trace>& trace,
                                      DeviceImages& images) {
    ManualClock manual;
    TracingClock clock(manual, trace);
    DeviceLink link(backend, clock);
    ConfigRecord state{};
    EXPECT_TRUE(connectAtStartup(link, state));
    ConfigRecord record = uploadRecord();
    EXPECT_TRUE(link.protocol().uploadConfiguration(record));
    EXPECT_EQ(link.protocol().readConfigurationBlock(), kBlockSize);
    images = link.images;
    return trace->lines();
}

TEST(KernelConversation, OpenUploadAndReadBackMatchTheVirtualMouseByteForByte) {
    VirtualHidBackend virtualBackend;
    const auto virtualMouse = virtualBackend.addMouse();
    DeviceImages virtualImages;
    const auto expected = conversation(virtualBackend, virtualMouse->trace(), virtualImages);

    EmulatedMouse mouse;
    HidapiBackend hidapi;
    const auto trace = std::make_shared<Trace>();
    TracingBackend traced(hidapi, trace);
    DeviceImages images;
    const auto lines = conversation(traced, trace, images);

    // Open 3 lines, begin and rate 2 each, 14 blocks of 6, read-back 5.
    ASSERT_EQ(expected.size(), 96u);
    EXPECT_EQ(lines, expected);
    // The same firmware ended up holding the same blocks.
    EXPECT_EQ(mouse.firmware().configurationBlock(), virtualMouse->configurationBlock());
    EXPECT_EQ(mouse.firmware().buttonBlock(), virtualMouse->buttonBlock());
    for (int n = 1; n <= 12; ++n)
        EXPECT_EQ(mouse.firmware().macroBlock(n), virtualMouse->macroBlock(n)) << n;
    EXPECT_EQ(mouse.firmware().reportRateCode(), 2);
    // 0x8C read the uploaded block back through the command node.
    EXPECT_EQ(images.profileBlocks[0], buildConfigurationBlock(uploadRecord()));
    EXPECT_EQ(images.profileBlocks[0], virtualImages.profileBlocks[0]);
}

// --- events -------------------------------------------------------------------

class Events {
  public:
    void add(MouseEvent event) {
        std::lock_guard lock(mutex_);
        events_.push_back(event);
        changed_.notify_all();
    }
    bool waitFor(std::size_t count) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(5),
                                 [&] { return events_.size() >= count; });
    }
    std::vector<MouseEvent> list() {
        std::lock_guard lock(mutex_);
        return events_;
    }

  private:
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<MouseEvent> events_;
};

TEST(KernelEvents, AnEventReportInTheEventNodeGivesTheDpiBalloonFromTheReadBack) {
    EmulatedMouse mouse(Order::EventFirst);
    HidapiBackend backend;
    ManualClock clock;
    DeviceLink link(backend, clock);
    ConfigRecord record{};
    ASSERT_TRUE(connectAtStartup(link, record));
    ASSERT_TRUE(mouse.waitUntilOpen(Node::Event));
    Events events;
    Listener listener(link, [&](MouseEvent event) { events.add(event); });
    listener.start();

    // The mouse's own DPI button: report 6, stage switch, stage 3.
    mouse.sendInputReport(Node::Event, {0x06, 0x07, 0x01, 0x03, 0, 0, 0, 0});
    // Not an event (wrong second byte): dropped by the listener.
    mouse.sendInputReport(Node::Event, {0x06, 0x05, 0x01, 0x02, 0, 0, 0, 0});
    mouse.emitEvent(9, 2);
    ASSERT_TRUE(events.waitFor(2));
    listener.stop();
    EXPECT_EQ(events.list(), (std::vector<MouseEvent>{{DeviceEventType::DpiStage1, 3},
                                                      {DeviceEventType::MacroKey, 2}}));

    const Block active = readBackForDpiEvent(link, record);
    EXPECT_EQ(active, mouse.firmware().configurationBlock());
    const auto balloon = balloonForEvent(DeviceEventType::DpiStage1, 3, Language::English, active);
    ASSERT_TRUE(balloon.has_value());
    // The firmware's stage 3 holds 48: 2400 DPI.
    EXPECT_EQ(balloon->text, "Switch DPI into the third stage 2400");
}

// --- unplug during an upload ------------------------------------------------

TEST(KernelUnplug, MidUploadNothingHangsTheFilesAreSavedAndTheLossIsReported) {
    testing::ProgramFolder folder;
    folder.putText("str.ini", "[Profile]\r\nCurProfileName=B\r\nItemCount=2\r\nItem0=A\r\n"
                              "Item1=B\r\n");
    folder.put("config1.bin", testing::fileImage(testing::patternRecord(1), 0));
    RecordingMessageSink sink;
    ProfileFiles files(folder.path(), sink);
    RecordState state;
    ASSERT_TRUE(files.loadProfileFiles(state));
    state.record = uploadRecord(); // the user's edits

    EmulatedMouse mouse(Order::EventFirst);
    HidapiBackend backend;
    ManualClock clock;
    DeviceLink link(backend, clock);
    ConfigRecord scratch{};
    ASSERT_TRUE(connectAtStartup(link, scratch));
    // The mouse is pulled out during the button block.
    mouse.firmware().resetCallCount();
    mouse.firmware().armFault(VirtualMouse::FaultKind::VanishAt, 12);

    const auto start = std::chrono::steady_clock::now();
    const bool received = link.protocol().uploadConfiguration(state.record, saveAfterUpload(files));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_FALSE(received);
    EXPECT_EQ(folder.bytes("config1.bin"), testing::fileImage(state.record, 1));
    EXPECT_TRUE(sink.messages.empty());
    // The configuration block got through before the mouse went.
    EXPECT_EQ(mouse.firmware().configurationBlock(), buildConfigurationBlock(state.record));

    // Reads of the gone nodes fail at once rather than wait out their timeout.
    const auto readStart = std::chrono::steady_clock::now();
    EXPECT_EQ(link.protocol().readConfigurationBlock(), 0u);
    std::array<std::uint8_t, 64> buffer{};
    EXPECT_EQ(link.listenerHandle()->read(buffer, 2000), -1);
    EXPECT_LT(std::chrono::steady_clock::now() - readStart, std::chrono::seconds(1));
}

} // namespace
} // namespace qvr
