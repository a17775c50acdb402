#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace qvr {

// What one top-level collection of a HID report descriptor offers, in the
// terms of Windows' HidP_GetCaps: each length is the largest report of that
// kind in the collection, in bytes, plus one byte for the report ID (counted
// also when the descriptor declares no report IDs), or 0 when the collection
// has no report of that kind. Lengths too large for 16 bits read 0xFFFF.
struct TopLevelCollection {
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    std::uint16_t inputReportLength = 0;
    std::uint16_t outputReportLength = 0;
    std::uint16_t featureReportLength = 0;
};

struct ParsedReportDescriptor {
    std::vector<TopLevelCollection> collections;
    // True when any Report ID item appears: every report then starts with its
    // ID on the wire, otherwise the system adds a 0 in front (hidraw does not
    // on reads, so the reader needs to know).
    bool usesReportIds = false;
};

enum class DescriptorError {
    TruncatedItem,           // an item's data runs past the end of the descriptor
    CollectionTooDeep,       // more nested collections than we accept
    UnbalancedEndCollection, // End Collection without an open collection
    UnclosedCollection,      // the descriptor ends inside a collection
    GlobalStackOverflow,     // too many Push items
    GlobalStackUnderflow,    // Pop without a matching Push
    InvalidReportId,         // Report ID 0 or above 255
};

std::string_view describe(DescriptorError error);

struct DescriptorFault {
    DescriptorError error;
    std::size_t offset; // of the item that could not be accepted
};

// Either the parsed descriptor or the first fault found in it.
class DescriptorResult {
  public:
    DescriptorResult(ParsedReportDescriptor value) : state_(std::move(value)) {}
    DescriptorResult(DescriptorFault fault) : state_(fault) {}

    explicit operator bool() const { return state_.index() == 0; }
    const ParsedReportDescriptor& value() const { return std::get<0>(state_); }
    const ParsedReportDescriptor* operator->() const { return &std::get<0>(state_); }
    const DescriptorFault& fault() const { return std::get<1>(state_); }

  private:
    std::variant<ParsedReportDescriptor, DescriptorFault> state_;
};

// Bounds the parser enforces where the HID standard leaves the size open.
inline constexpr std::size_t kMaxCollectionDepth = 32;
inline constexpr std::size_t kMaxGlobalStackDepth = 16;

// Parses a report descriptor (HID 1.11, section 6.2.2). Never reads outside
// the span; any input, however malformed, yields a value or a fault.
DescriptorResult parseReportDescriptor(std::span<const std::uint8_t> descriptor);

} // namespace qvr
