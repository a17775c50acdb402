#pragma once

#include "core/device/device_event_type.h"
#include "core/text/language_tables.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qvr {

// A tray balloon. The titles are not translated.
struct Balloon {
    std::string text;
    std::string_view title;
    int timeoutMs = 0;

    bool operator==(const Balloon&) const = default;
};

inline constexpr std::string_view kInfoTitle = "Info";
inline constexpr std::string_view kWarningTitle = "Warning";
inline constexpr int kEventBalloonTimeoutMs = 5000;
inline constexpr int kPresenceBalloonTimeoutMs = 100;

// Offset of stage 1's DPI byte in a device configuration block.
inline constexpr std::size_t kBlockDpiStageOffset = 0x54;

// A DPI-stage event of a stage its balloon can name (1..6): the text needs
// the mouse's active configuration block, read back first.
bool needsActiveBlock(DeviceEventType type, int value);

// The balloon for a device event, or nullopt when the event shows none: an
// unknown type, a DPI stage outside 1..6, a macro number of 0.
//
// activeBlock is the configuration block the mouse reported for its active
// slot; a DPI stage reads its byte there (times 50). A block too short to hold
// that byte (a failed read) gives 0 DPI; the balloon is shown all the same.
std::optional<Balloon> balloonForEvent(DeviceEventType type, int value, Language language,
                                       std::span<const std::uint8_t> activeBlock);

} // namespace qvr
