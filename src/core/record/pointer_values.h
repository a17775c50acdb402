#pragma once

#include "core/record/config_record.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

namespace qvr {

// The desktop pointer settings a profile carries, in the Windows units the
// profile files were made for. The record is the only source: current desktop
// values are never read.
struct PointerValues {
    // SPI_SETMOUSE: two acceleration thresholds and the acceleration level;
    // {6, 10, 1} turns enhanced pointer precision on, {0, 0, 0} off.
    std::array<int, 3> mouseParameters{};
    // SPI_SETMOUSESPEED: 1..20 is what Windows accepts; other values (from
    // fields 0 or 12 and above) are passed on for the applier to refuse.
    int pointerSpeed = 0;
    // SPI_SETWHEELSCROLLLINES: lines per notch, or kWheelPageScroll.
    std::uint32_t wheelScrollLines = 0;
    // SPI_SETDOUBLECLICKTIME in milliseconds; negative for fields of 14 and
    // above, which the applier refuses.
    int doubleClickTimeMs = 0;

    bool operator==(const PointerValues&) const = default;
};

// "One screen per notch" (WHEEL_PAGESCROLL: all bits set).
inline constexpr std::uint32_t kWheelPageScroll = 0xFFFFFFFFu;
inline constexpr int kMinPointerSpeed = 1;
inline constexpr int kMaxPointerSpeed = 20;

PointerValues pointerValuesFor(const ConfigRecord& record);

// Parts of the computation, for the pages that show them.
std::array<int, 3> mouseParametersFor(std::uint8_t enhancePointerPrecision);
int pointerSpeedFor(std::uint8_t pointerSpeedField);
std::uint32_t wheelScrollLinesFor(std::uint8_t scrollOneScreen, std::uint8_t wheelScrollLines);
int doubleClickTimeFor(std::uint8_t doubleClickSpeedField);

// The four settings in the order they are applied, each independently of the
// others' success, with the warning shown when one is refused. Only the
// double-click time is also stored in the user's desktop profile.
enum class PointerSetting { MouseParameters, PointerSpeed, WheelScrollLines, DoubleClickTime };

struct PointerStep {
    PointerSetting setting;
    std::string_view failureMessage;
    bool persistent;
};

inline constexpr std::string_view kPointerFailureCaption = "Warning";

inline constexpr std::array<PointerStep, 4> kPointerSteps{{
    {PointerSetting::MouseParameters, "SETMOUSE failed.", false},
    {PointerSetting::PointerSpeed, "SETMOUSESPEED failed.", false},
    {PointerSetting::WheelScrollLines, "SETWHEELSCROLLLINES failed.", false},
    {PointerSetting::DoubleClickTime, "SPI_SETDOUBLECLICKTIME failed.", true},
}};

// A Windows pointer speed (1..20, 10 = unchanged) as the -1.0..1.0 speed of
// Linux desktops (0 = unchanged). Speeds beyond either end (the gauge's
// fastest stop gives 22) take the nearest speed the desktop has.
double desktopSpeedFor(int pointerSpeed);
// A double-click time within what the gauge offers; a hand-made field can
// give a negative time.
int desktopDoubleClickFor(int doubleClickTimeMs);
inline constexpr int kMinDoubleClickMs = 130;
inline constexpr int kMaxDoubleClickMs = 970;

// The desktop's values back on the gauges' steps (2..12), the nearest step.
std::uint8_t pointerSpeedFieldFor(double desktopSpeed);
std::uint8_t doubleClickFieldFor(int doubleClickTimeMs);

} // namespace qvr
