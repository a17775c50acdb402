#pragma once

#include <cstdint>
#include <span>

namespace qvr {

// The report descriptors of the mouse's two vendor interfaces, for the
// virtual mouse to present and for tests of the descriptor parser.
//
// The two collections sit on separate USB interfaces, each with its own
// descriptor (and its own hidraw node): the command collection uses no
// report IDs (its reports start with 0), while the event report starts with
// report ID 6. HID 1.11 (6.2.2.7) does not allow one descriptor to mix
// numbered and unnumbered reports, so one descriptor could not hold both.

// Command collection, usage page 0xFF00, usage 0xFF00: an 8-byte feature
// report (the command) and 64-byte input and output reports (data blocks).
// Lengths with the report ID byte: feature 9, input 65, output 65.
std::span<const std::uint8_t> mouseCommandInterfaceDescriptor();

// Input collection, usage page 0xFF01, usage 0x0001: the event report,
// report ID 6 followed by 7 bytes (06 07 type value, then padding).
// Input length with the report ID byte: 8.
std::span<const std::uint8_t> mouseEventInterfaceDescriptor();

// USB interface numbers of the two descriptors above.
inline constexpr int kMouseCommandInterfaceNumber = 1;
inline constexpr int kMouseEventInterfaceNumber = 2;

// Report ID of the event report.
inline constexpr std::uint8_t kMouseEventReportId = 0x06;

} // namespace qvr
