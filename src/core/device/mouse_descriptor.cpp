#include "core/device/mouse_descriptor.h"

#include <array>

namespace qvr {

namespace {

constexpr auto kCommandInterface = std::to_array<std::uint8_t>({
    0x06, 0x00, 0xFF, // Usage Page (Vendor 0xFF00)
    0x0A, 0x00, 0xFF, // Usage (0xFF00)
    0xA1, 0x01,       // Collection (Application)
    0x15, 0x00,       //   Logical Minimum (0)
    0x26, 0xFF, 0x00, //   Logical Maximum (255)
    0x75, 0x08,       //   Report Size (8)
    0x95, 0x40,       //   Report Count (64)
    0x09, 0x01,       //   Usage (0x01)
    0x81, 0x02,       //   Input (Data, Variable, Absolute): data block read
    0x95, 0x40,       //   Report Count (64)
    0x09, 0x02,       //   Usage (0x02)
    0x91, 0x02,       //   Output (Data, Variable, Absolute): data block written
    0x95, 0x08,       //   Report Count (8)
    0x09, 0x03,       //   Usage (0x03)
    0xB1, 0x02,       //   Feature (Data, Variable, Absolute): command report
    0xC0,             // End Collection
});

constexpr auto kEventInterface = std::to_array<std::uint8_t>({
    0x06, 0x01, 0xFF, // Usage Page (Vendor 0xFF01)
    0x09, 0x01,       // Usage (0x01)
    0xA1, 0x01,       // Collection (Application)
    0x85, 0x06,       //   Report ID (6)
    0x15, 0x00,       //   Logical Minimum (0)
    0x26, 0xFF, 0x00, //   Logical Maximum (255)
    0x75, 0x08,       //   Report Size (8)
    0x95, 0x07,       //   Report Count (7)
    0x09, 0x01,       //   Usage (0x01)
    0x81, 0x02,       //   Input (Data, Variable, Absolute): event report
    0xC0,             // End Collection
});

} // namespace

std::span<const std::uint8_t> mouseCommandInterfaceDescriptor() {
    return kCommandInterface;
}

std::span<const std::uint8_t> mouseEventInterfaceDescriptor() {
    return kEventInterface;
}

} // namespace qvr
