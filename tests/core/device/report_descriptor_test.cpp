#include "core/device/mouse_descriptor.h"
#include "core/device/report_descriptor.h"

#include <algorithm>
#include <cstdint>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace qvr {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kWheelMouse = {
    0x05, 0x01, // Usage Page (Generic Desktop)
    0x09, 0x02, // Usage (Mouse)
    0xA1, 0x01, // Collection (Application)
    0x09, 0x01, //   Usage (Pointer)
    0xA1, 0x00, //   Collection (Physical)
    0x05, 0x09, //     Usage Page (Button)
    0x19, 0x01, //     Usage Minimum (1)
    0x29, 0x03, //     Usage Maximum (3)
    0x15, 0x00, //     Logical Minimum (0)
    0x25, 0x01, //     Logical Maximum (1)
    0x95, 0x03, //     Report Count (3)
    0x75, 0x01, //     Report Size (1)
    0x81, 0x02, //     Input (Data, Variable, Absolute): three buttons
    0x95, 0x01, //     Report Count (1)
    0x75, 0x05, //     Report Size (5)
    0x81, 0x01, //     Input (Constant): padding to a byte
    0x05, 0x01, //     Usage Page (Generic Desktop)
    0x09, 0x30, //     Usage (X)
    0x09, 0x31, //     Usage (Y)
    0x09, 0x38, //     Usage (Wheel)
    0x15, 0x81, //     Logical Minimum (-127)
    0x25, 0x7F, //     Logical Maximum (127)
    0x75, 0x08, //     Report Size (8)
    0x95, 0x03, //     Report Count (3)
    0x81, 0x06, //     Input (Data, Variable, Relative): X, Y, wheel
    0xC0,       //   End Collection
    0xC0,       // End Collection
};

const Bytes kBootKeyboard = {
    0x05, 0x01, // Usage Page (Generic Desktop)
    0x09, 0x06, // Usage (Keyboard)
    0xA1, 0x01, // Collection (Application)
    0x05, 0x07, //   Usage Page (Keyboard)
    0x19, 0xE0, //   Usage Minimum (Left Control)
    0x29, 0xE7, //   Usage Maximum (Right GUI)
    0x15, 0x00, //   Logical Minimum (0)
    0x25, 0x01, //   Logical Maximum (1)
    0x75, 0x01, //   Report Size (1)
    0x95, 0x08, //   Report Count (8)
    0x81, 0x02, //   Input (Data, Variable, Absolute): modifier byte
    0x95, 0x01, //   Report Count (1)
    0x75, 0x08, //   Report Size (8)
    0x81, 0x01, //   Input (Constant): reserved byte
    0x95, 0x05, //   Report Count (5)
    0x75, 0x01, //   Report Size (1)
    0x05, 0x08, //   Usage Page (LEDs)
    0x19, 0x01, //   Usage Minimum (Num Lock)
    0x29, 0x05, //   Usage Maximum (Kana)
    0x91, 0x02, //   Output (Data, Variable, Absolute): LED report
    0x95, 0x01, //   Report Count (1)
    0x75, 0x03, //   Report Size (3)
    0x91, 0x01, //   Output (Constant): LED padding
    0x95, 0x06, //   Report Count (6)
    0x75, 0x08, //   Report Size (8)
    0x15, 0x00, //   Logical Minimum (0)
    0x25, 0x65, //   Logical Maximum (101)
    0x05, 0x07, //   Usage Page (Keyboard)
    0x19, 0x00, //   Usage Minimum (0)
    0x29, 0x65, //   Usage Maximum (101)
    0x81, 0x00, //   Input (Data, Array): six key codes
    0xC0,       // End Collection
};

const Bytes kNumberedReports = {
    0x05, 0x0C,       // Usage Page (Consumer)
    0x09, 0x01,       // Usage (Consumer Control)
    0xA1, 0x01,       // Collection (Application)
    0x85, 0x01,       //   Report ID (1)
    0x75, 0x10,       //   Report Size (16)
    0x95, 0x01,       //   Report Count (1)
    0x81, 0x00,       //   Input: 2 bytes
    0x85, 0x02,       //   Report ID (2)
    0x75, 0x08,       //   Report Size (8)
    0x95, 0x04,       //   Report Count (4)
    0x81, 0x02,       //   Input: 4 bytes ...
    0x95, 0x03,       //   Report Count (3)
    0x81, 0x02,       //   Input: ... and 3 more in the same report: 7 bytes
    0x85, 0x03,       //   Report ID (3)
    0xB1, 0x02,       //   Feature: 3 bytes
    0xC0,             // End Collection
    0x06, 0x00, 0xFF, // Usage Page (Vendor 0xFF00)
    0x09, 0x01,       // Usage (0x01)
    0xA1, 0x01,       // Collection (Application)
    0x85, 0x05,       //   Report ID (5)
    0x95, 0x20,       //   Report Count (32)
    0x91, 0x02,       //   Output: 32 bytes
    0xC0,             // End Collection
};

DescriptorResult parse(const Bytes& bytes) {
    return parseReportDescriptor(bytes);
}

TEST(ReportDescriptorParser, WheelMouseHasOneCollectionWithFiveByteInput) {
    const DescriptorResult result = parse(kWheelMouse);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->collections.size(), 1u); // the physical collection is nested
    const TopLevelCollection& mouse = result->collections[0];
    EXPECT_EQ(mouse.usagePage, 0x01);
    EXPECT_EQ(mouse.usage, 0x02);
    EXPECT_EQ(mouse.inputReportLength, 5); // 4 bytes + report ID byte
    EXPECT_EQ(mouse.outputReportLength, 0);
    EXPECT_EQ(mouse.featureReportLength, 0);
    EXPECT_FALSE(result->usesReportIds);
}

TEST(ReportDescriptorParser, BootKeyboardHasLedOutputReport) {
    const DescriptorResult result = parse(kBootKeyboard);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->collections.size(), 1u);
    const TopLevelCollection& keyboard = result->collections[0];
    EXPECT_EQ(keyboard.usagePage, 0x01);
    EXPECT_EQ(keyboard.usage, 0x06);
    EXPECT_EQ(keyboard.inputReportLength, 9);
    EXPECT_EQ(keyboard.outputReportLength, 2);
    EXPECT_EQ(keyboard.featureReportLength, 0);
}

TEST(ReportDescriptorParser, LargestNumberedReportOfEachKindWinsPerCollection) {
    const DescriptorResult result = parse(kNumberedReports);
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->usesReportIds);
    ASSERT_EQ(result->collections.size(), 2u);
    const TopLevelCollection& consumer = result->collections[0];
    EXPECT_EQ(consumer.usagePage, 0x0C);
    EXPECT_EQ(consumer.usage, 0x01);
    EXPECT_EQ(consumer.inputReportLength, 8); // report 2: 4 + 3 bytes
    EXPECT_EQ(consumer.outputReportLength, 0);
    EXPECT_EQ(consumer.featureReportLength, 4);
    const TopLevelCollection& vendor = result->collections[1];
    EXPECT_EQ(vendor.usagePage, 0xFF00);
    EXPECT_EQ(vendor.inputReportLength, 0); // reports of the first collection do not count
    EXPECT_EQ(vendor.outputReportLength, 33);
    EXPECT_EQ(vendor.featureReportLength, 0);
}

TEST(ReportDescriptorParser, MouseCommandInterfaceHasNineByteFeatureAndSixtyFiveByteData) {
    const DescriptorResult result = parseReportDescriptor(mouseCommandInterfaceDescriptor());
    ASSERT_TRUE(result);
    EXPECT_FALSE(result->usesReportIds);
    ASSERT_EQ(result->collections.size(), 1u);
    const TopLevelCollection& command = result->collections[0];
    EXPECT_EQ(command.usagePage, 0xFF00);
    EXPECT_EQ(command.usage, 0xFF00);
    EXPECT_EQ(command.featureReportLength, 9);
    EXPECT_EQ(command.inputReportLength, 65);
    EXPECT_EQ(command.outputReportLength, 65);
}

TEST(ReportDescriptorParser, MouseEventInterfaceHasSmallNumberedInputReport) {
    const DescriptorResult result = parseReportDescriptor(mouseEventInterfaceDescriptor());
    ASSERT_TRUE(result);
    EXPECT_TRUE(result->usesReportIds);
    ASSERT_EQ(result->collections.size(), 1u);
    const TopLevelCollection& events = result->collections[0];
    EXPECT_EQ(events.usagePage, 0xFF01);
    EXPECT_EQ(events.usage, 0x0001);
    EXPECT_EQ(events.inputReportLength, 8);
    EXPECT_EQ(events.outputReportLength, 0);
    EXPECT_EQ(events.featureReportLength, 0);
}

TEST(ReportDescriptorParser, ExtendedUsageCarriesItsOwnPageAndPopRestoresGlobals) {
    const Bytes descriptor = {
        0x05, 0x01,                   // Usage Page (Generic Desktop)
        0x0B, 0x01, 0x00, 0x0C, 0x00, // Usage (Consumer 0x0001), four bytes
        0xA1, 0x01,                   // Collection (Application)
        0x75, 0x08,                   //   Report Size (8)
        0x95, 0x02,                   //   Report Count (2)
        0xA4,                         //   Push
        0x75, 0x20,                   //   Report Size (32)
        0x95, 0x10,                   //   Report Count (16)
        0xB1, 0x02,                   //   Feature: 64 bytes
        0xB4,                         //   Pop: back to 2 x 8 bits
        0x81, 0x02,                   //   Input: 2 bytes
        0xFE, 0x02, 0x10, 0xAA, 0xBB, //   Long item, skipped
        0xC0,                         // End Collection
    };
    const DescriptorResult result = parse(descriptor);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->collections.size(), 1u);
    EXPECT_EQ(result->collections[0].usagePage, 0x0C);
    EXPECT_EQ(result->collections[0].usage, 0x01);
    EXPECT_EQ(result->collections[0].featureReportLength, 65);
    EXPECT_EQ(result->collections[0].inputReportLength, 3);
}

TEST(ReportDescriptorParser, HugeReportSizesSaturateInsteadOfWrapping) {
    Bytes descriptor = {
        0x06, 0x00, 0xFF,             // Usage Page (Vendor)
        0x09, 0x01,                   // Usage (0x01)
        0xA1, 0x01,                   // Collection (Application)
        0x77, 0xFF, 0xFF, 0xFF, 0xFF, //   Report Size (2^32 - 1)
        0x97, 0xFF, 0xFF, 0xFF, 0xFF, //   Report Count (2^32 - 1)
    };
    for (int i = 0; i < 8; ++i) {
        descriptor.push_back(0x81); // Input, whose size alone is near 2^64 bits
        descriptor.push_back(0x02);
    }
    descriptor.insert(descriptor.end(), {
                                            0x77, 0x01, 0x00, 0x00, 0x00, // Report Size (1)
                                            0x97, 0x08, 0x00, 0x00, 0x00, // Report Count (8)
                                            0x91, 0x02,                   // Output: 1 byte
                                            0xC0,                         // End Collection
                                        });
    const DescriptorResult result = parse(descriptor);
    ASSERT_TRUE(result);
    ASSERT_EQ(result->collections.size(), 1u);
    EXPECT_EQ(result->collections[0].inputReportLength, 0xFFFF);
    EXPECT_EQ(result->collections[0].outputReportLength, 2);
}

struct BadDescriptor {
    const char* name;
    Bytes bytes;
    DescriptorError error;
    std::size_t offset;
};

TEST(ReportDescriptorParser, MalformedDescriptorsAreRejectedWithTheFaultAndItsOffset) {
    const std::vector<BadDescriptor> cases = {
        {"two-byte item cut after one byte",
         {0x05, 0x01, 0x26, 0xFF},
         DescriptorError::TruncatedItem,
         2},
        {"four-byte item cut", {0x97, 0x01, 0x02}, DescriptorError::TruncatedItem, 0},
        {"long item without its header", {0xFE, 0x05}, DescriptorError::TruncatedItem, 0},
        {"long item with short data",
         {0xFE, 0x05, 0x00, 0x01, 0x02},
         DescriptorError::TruncatedItem,
         0},
        {"end collection first", {0xC0}, DescriptorError::UnbalancedEndCollection, 0},
        {"collection never closed",
         {0x09, 0x01, 0xA1, 0x01, 0x81, 0x02},
         DescriptorError::UnclosedCollection,
         6},
        {"pop without push", {0x05, 0x01, 0xB4}, DescriptorError::GlobalStackUnderflow, 2},
        {"report id zero", {0x85, 0x00}, DescriptorError::InvalidReportId, 0},
        {"report id above one byte", {0x86, 0x00, 0x01}, DescriptorError::InvalidReportId, 0},
    };
    for (const BadDescriptor& bad : cases) {
        SCOPED_TRACE(bad.name);
        const DescriptorResult result = parse(bad.bytes);
        ASSERT_FALSE(result);
        EXPECT_EQ(result.fault().error, bad.error);
        EXPECT_EQ(result.fault().offset, bad.offset);
        EXPECT_FALSE(describe(bad.error).empty());
    }
}

TEST(ReportDescriptorParser, NestingAndPushDepthAreBounded) {
    Bytes deep;
    for (std::size_t i = 0; i < kMaxCollectionDepth; ++i) {
        deep.insert(deep.end(), {0xA1, 0x00});
    }
    Bytes closed = deep;
    closed.insert(closed.end(), kMaxCollectionDepth, 0xC0);
    EXPECT_TRUE(parse(closed)); // the deepest nesting accepted

    deep.insert(deep.end(), {0xA1, 0x00});
    const DescriptorResult tooDeep = parse(deep);
    ASSERT_FALSE(tooDeep);
    EXPECT_EQ(tooDeep.fault().error, DescriptorError::CollectionTooDeep);

    const Bytes pushes(kMaxGlobalStackDepth + 1, 0xA4);
    const DescriptorResult overflow = parse(pushes);
    ASSERT_FALSE(overflow);
    EXPECT_EQ(overflow.fault().error, DescriptorError::GlobalStackOverflow);
    EXPECT_EQ(overflow.fault().offset, kMaxGlobalStackDepth);
}

TEST(ReportDescriptorParser, PrefixesOfTheMouseDescriptorsNeverYieldACollection) {
    for (const auto descriptor :
         {mouseCommandInterfaceDescriptor(), mouseEventInterfaceDescriptor()}) {
        const std::size_t collectionEnd =
            static_cast<std::size_t>(std::find(descriptor.begin(), descriptor.end(), 0xA1) -
                                     descriptor.begin()) +
            2;
        for (std::size_t length = 1; length < descriptor.size(); ++length) {
            // An exactly sized copy, so the sanitizer build sees any over-read.
            const Bytes prefix(descriptor.begin(), descriptor.begin() + length);
            const DescriptorResult result = parse(prefix);
            if (length >= collectionEnd) {
                EXPECT_FALSE(result) << "length " << length; // cut inside the collection
            } else if (result) {
                EXPECT_TRUE(result->collections.empty()) << "length " << length;
            }
        }
    }
}

TEST(ReportDescriptorParser, RandomBytesNeverCrashOrReadPastTheEnd) {
    // Bytes from item prefixes the parser acts on make deep paths likelier
    // than uniform noise does.
    const Bytes prefixes = {0x05, 0x06, 0x07, 0x09, 0x0A, 0x0B, 0x75, 0x77, 0x85, 0x95,
                            0x97, 0xA4, 0xB4, 0xA1, 0xC0, 0x81, 0x91, 0xB1, 0xFE};
    std::size_t accepted = 0;
    for (std::uint32_t seed = 0; seed < 20000; ++seed) {
        std::mt19937 random(seed);
        const std::size_t length = random() % 96;
        Bytes bytes(length);
        for (std::uint8_t& byte : bytes) {
            byte = random() % 2 ? prefixes[random() % prefixes.size()]
                                : static_cast<std::uint8_t>(random());
        }
        const DescriptorResult result = parse(bytes);
        if (result) {
            ++accepted;
        } else {
            EXPECT_LE(result.fault().offset, bytes.size()) << "seed " << seed;
        }
    }
    EXPECT_GT(accepted, 0u); // the generator reaches the accepting paths too
}

} // namespace
} // namespace qvr
