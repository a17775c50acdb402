#include "platform/udev_hotplug.h"

#include <gtest/gtest.h>

namespace qvr {
namespace {

TEST(HotplugProperties, MouseIsRecognisedFromAnyOfItsIdentifiers) {
    const std::vector<DeviceProperties> ours = {
        {{"HID_ID", "0003:000004D9:0000A0F4"}},
        {{"HID_ID", "0003:000004d9:0000a0f4"}},
        {{"idVendor", "04d9"}, {"idProduct", "a0f4"}},
        {{"ID_VENDOR_ID", "04D9"}, {"ID_MODEL_ID", "A0F4"}},
        {{"DEVPATH", "/devices/pci0000:00/0000:00:14.0/usb1/1-2/1-2:1.1/0003:04D9:A0F4.0007/"
                     "hidraw/hidraw3"}},
    };
    for (const DeviceProperties& properties : ours) {
        EXPECT_TRUE(propertiesNameMouse(properties)) << properties.begin()->second;
    }
}

TEST(HotplugProperties, OtherAndMalformedIdentifiersAreNotTheMouse) {
    const std::vector<DeviceProperties> foreign = {
        {},
        {{"HID_ID", "0003:0000046D:0000C077"}},
        {{"HID_ID", "0003:000004D9"}},
        {{"HID_ID", "0003:000004D9:0000A0F4:0001"}},
        {{"HID_ID", "zz:000004D9:0000A0F4"}},
        {{"HID_ID", "0003:000004D9:0000A0F4x"}},
        {{"idVendor", "04d9"}, {"idProduct", "a0f5"}},
        {{"idVendor", "04d9"}},
        {{"ID_VENDOR_ID", "04D9"}, {"idProduct", "A0F4"}},
        {{"DEVPATH", "/devices/virtual/misc/0003:046D:C077.0001/hidraw/hidraw3"}},
        {{"DEVPATH", "/devices/pci0000:00/04D9:A0F4/hidraw/hidraw3"}},
    };
    for (const DeviceProperties& properties : foreign) {
        EXPECT_FALSE(propertiesNameMouse(properties))
            << (properties.empty() ? std::string("(empty)") : properties.begin()->second);
    }
}

TEST(HotplugClassifier, RemovalIsRecognisedFromTheNodeSeenArriving) {
    HotplugClassifier classifier;
    const auto arrival = classifier.classify(
        "add", {{"DEVNAME", "/dev/hidraw3"}, {"HID_ID", "0003:000004D9:0000A0F4"}});
    EXPECT_EQ(arrival, (HotplugEvent{HotplugKind::Arrival, "/dev/hidraw3"}));

    // The removal event names nothing but the node: the parents are gone.
    const DeviceProperties bare = {{"DEVNAME", "/dev/hidraw3"}, {"SUBSYSTEM", "hidraw"}};
    EXPECT_EQ(classifier.classify("remove", bare),
              (HotplugEvent{HotplugKind::Removal, "/dev/hidraw3"}));
    // Once removed, the node is forgotten: it may come back as another device.
    EXPECT_EQ(classifier.classify("remove", bare), std::nullopt);
}

TEST(HotplugClassifier, ForeignAndOtherActionsAreIgnored) {
    HotplugClassifier classifier;
    EXPECT_EQ(classifier.classify(
                  "add", {{"DEVNAME", "/dev/hidraw1"}, {"HID_ID", "0003:0000046D:0000C077"}}),
              std::nullopt);
    EXPECT_EQ(classifier.classify("remove", {{"DEVNAME", "/dev/hidraw1"}}), std::nullopt);
    EXPECT_EQ(classifier.classify(
                  "change", {{"DEVNAME", "/dev/hidraw2"}, {"HID_ID", "0003:000004D9:0000A0F4"}}),
              std::nullopt);
    EXPECT_EQ(classifier.classify("add", {{"HID_ID", "0003:000004D9:0000A0F4"}}), std::nullopt);
    // A change event must not make the node known.
    EXPECT_EQ(classifier.classify("remove", {{"DEVNAME", "/dev/hidraw2"}}), std::nullopt);
}

TEST(HotplugClassifier, RemovalBeforeAnyArrivalIsRecognisedFromItsDevpath) {
    HotplugClassifier classifier;
    const auto removal = classifier.classify(
        "remove", {{"DEVNAME", "hidraw4"},
                   {"DEVPATH", "/devices/pci0000:00/usb1/1-2/1-2:1.2/0003:04D9:A0F4.0008/hidraw/"
                               "hidraw4"}});
    EXPECT_EQ(removal, (HotplugEvent{HotplugKind::Removal, "/dev/hidraw4"}));
}

TEST(UdevHotplugMonitor, ReadingWithNothingQueuedReturnsAtOnce) {
    UdevHotplugMonitor monitor;
    EXPECT_EQ(monitor.isValid(), monitor.fd() >= 0);
    EXPECT_EQ(monitor.readEvent(), std::nullopt);
}

} // namespace
} // namespace qvr
