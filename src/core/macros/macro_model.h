#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qvr {

// One macro as "record.ini" holds it. The event items stay the texts the
// user sees in the event list, so that hand-edited or unknown items survive a
// load and a save unchanged.
struct Macro {
    std::string name;
    std::vector<std::string> items;
    // DelayTimeSelStatus: on unless the store says 0, because delay items are
    // replaced by 50 ms only when the flag reads 0.
    bool recordDelays = false;
    // LoopTimeSelStatus: on only when the store says 1.
    bool loop = false;
    // MacroLoopTimes as last accepted from the loop-times field.
    std::string loopTimes = "1";

    bool operator==(const Macro&) const = default;
};

// Store keys, in the order a saved section holds them.
inline constexpr std::string_view kDelayTimeSelStatusKey = "DelayTimeSelStatus";
inline constexpr std::string_view kLoopTimeSelStatusKey = "LoopTimeSelStatus";
inline constexpr std::string_view kMacroLoopTimesKey = "MacroLoopTimes";
inline constexpr std::string_view kItemCountKey = "ItemCount";
// "Item%d" for item index.
std::string itemKey(std::size_t index);

inline constexpr std::string_view kPressSuffix = "   Dn";
inline constexpr std::string_view kReleaseSuffix = "   Up";
inline constexpr std::string_view kDelayMarker = "ms";

// Names of the mouse-button items that the event editor inserts.
inline constexpr std::string_view kLeftButtonName = "L-Button";
inline constexpr std::string_view kMiddleButtonName = "M-Button";
inline constexpr std::string_view kRightButtonName = "R-Button";

inline constexpr std::size_t kMaxMacroNameLength = 31; // UTF-16 code units
inline constexpr int kMaxRecordedKeyEvents = 64;
inline constexpr std::uint32_t kMaxDelayMs = 6553500;
inline constexpr std::uint32_t kDefaultDelayMs = 50;
inline constexpr std::uint32_t kMaxLoopCount = 65535;

enum class MacroItemKind { Press, Release, Delay, Other };

// An item text taken apart. keyName is set for presses and releases, delayMs
// for delay items (clamped to kMaxDelayMs).
struct MacroItem {
    MacroItemKind kind = MacroItemKind::Other;
    std::string keyName;
    std::uint32_t delayMs = 0;

    bool operator==(const MacroItem&) const = default;
};

// The kind is decided in a fixed order: a text holding "   Dn" is a press,
// else one holding "   Up" a release, else one holding "ms" a delay.
MacroItemKind macroItemKind(std::string_view text);
MacroItem parseMacroItem(std::string_view text);

std::string pressItem(std::string_view keyName);
std::string releaseItem(std::string_view keyName);
std::string delayItem(std::uint32_t delayMs); // "%d ms"

// Leading decimal digits after optional blanks; 0 when there are none. Large
// values saturate instead of wrapping, so an absurd number stays out of range.
std::uint64_t leadingNumber(std::string_view text);

// The milliseconds of a delay text: every " ms" removed, then the leading
// digits, clamped to kMaxDelayMs so the 16-bit device count cannot wrap.
std::uint32_t delayTextMs(std::string_view text);

// The loop count a macro plays: its MacroLoopTimes when looping is on and the
// value lies in 1..65535, otherwise 1.
std::uint16_t macroLoopCount(const Macro& macro);

// A name the store can list: not empty and at most 31 UTF-16 code units.
bool isValidMacroName(std::string_view name);

// Device key code of a macro item's key name. Macros do not know the
// "Application" key, so it gives 0 here although the key table has it.
std::uint8_t macroKeyCode(std::string_view keyName);

// The delay a recorder puts in front of a key event: the time since the
// previous event of the same recording (the tick counter may wrap), or 0
// when the recording has no event yet. A key that was already held when the
// recording started is released before any press; measuring it from a stale
// tick would record a meaningless, possibly huge delay.
std::uint32_t recordedDelayMs(std::optional<std::uint32_t> previousEventTick,
                              std::uint32_t nowTick);

} // namespace qvr
