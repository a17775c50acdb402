#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qvr {

// One event record read back from a macro image.
struct DecodedMacroEvent {
    bool release = false;
    std::uint8_t code = 0;
    std::uint32_t delayMs = 0;
    std::size_t offset = 0; // of the record in the image
    std::size_t size = 0;   // 2, 4 or 6

    bool operator==(const DecodedMacroEvent&) const = default;
};

struct DecodedMacro {
    std::uint16_t loopCount = 0;
    std::vector<DecodedMacroEvent> events;
    // A long-delay record ran past the end of the image; it is not listed.
    bool cutRecord = false;
};

// Reads at most the first 128 bytes. The events end at the first pair of
// zero bytes (the padding after the last record) or at the image's end;
// anything that is no valid record is read as best it can, never past the
// input.
DecodedMacro decodeMacroImage(std::span<const std::uint8_t> image);

// The events as event-list texts ("A   Dn", "120 ms"), for showing what a
// mouse or a profile holds. Unknown codes are named "Key 0xNN"; zero delays
// get no delay item.
std::vector<std::string> decodedMacroItems(const DecodedMacro& macro);

} // namespace qvr
