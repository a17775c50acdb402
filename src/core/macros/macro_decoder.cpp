#include "core/macros/macro_decoder.h"

#include "core/buttons/key_tables.h"
#include "core/macros/macro_encoder.h"
#include "core/macros/macro_model.h"
#include "core/record/config_record.h"

#include <algorithm>
#include <cstdio>

namespace qvr {
namespace {

constexpr std::uint8_t kReleaseBit = 0x80;
constexpr std::uint8_t kDelayBits = 0x7F;
constexpr std::uint8_t kLongDelayMark = 0x03;

} // namespace

DecodedMacro decodeMacroImage(std::span<const std::uint8_t> image) {
    image = image.first(std::min(image.size(), kMacroImageSize));
    DecodedMacro out;
    if (image.size() < kMacroEventAreaOffset) {
        return out;
    }
    out.loopCount = static_cast<std::uint16_t>(image[0] << 8 | image[1]);

    std::size_t at = kMacroEventAreaOffset;
    while (at + 2 <= image.size()) {
        const std::uint8_t status = image[at];
        const std::uint8_t code = image[at + 1];
        // A long-delay record carries 0x03 as its fourth byte; a first
        // delay byte of 0 announces the 16-bit count of the six-byte form.
        const bool longForm = at + 4 <= image.size() && image[at + 3] == kLongDelayMark;
        if (status == 0 && code == 0 && !longForm) {
            break; // the zero padding after the last record
        }
        DecodedMacroEvent event{.release = (status & kReleaseBit) != 0,
                                .code = code,
                                .delayMs = 0,
                                .offset = at,
                                .size = 2};
        const std::uint32_t low = status & kDelayBits;
        if (!longForm) {
            event.delayMs = low * 10;
        } else if (image[at + 2] != 0) {
            event.delayMs = image[at + 2] * 100u + low;
            event.size = 4;
        } else if (at + 6 <= image.size()) {
            event.delayMs =
                static_cast<std::uint32_t>(image[at + 4] << 8 | image[at + 5]) * 100u + low;
            event.size = 6;
        } else {
            out.cutRecord = true;
            break;
        }
        out.events.push_back(event);
        at += event.size;
    }
    return out;
}

std::vector<std::string> decodedMacroItems(const DecodedMacro& macro) {
    std::vector<std::string> items;
    for (const DecodedMacroEvent& event : macro.events) {
        std::string name = keyNameForCode(event.code);
        if (name.empty()) {
            char text[16];
            std::snprintf(text, sizeof text, "Key 0x%02X", static_cast<unsigned>(event.code));
            name = text;
        }
        items.push_back(event.release ? releaseItem(name) : pressItem(name));
        if (event.delayMs > 0) {
            items.push_back(delayItem(event.delayMs));
        }
    }
    return items;
}

} // namespace qvr
