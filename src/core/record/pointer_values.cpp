#include "core/record/pointer_values.h"

#include <algorithm>
#include <cmath>

namespace qvr {

std::array<int, 3> mouseParametersFor(std::uint8_t enhancePointerPrecision) {
    // Only exactly 1 turns precision on; any other byte turns it off.
    if (enhancePointerPrecision == 1) {
        return {6, 10, 1};
    }
    return {0, 0, 0};
}

int pointerSpeedFor(std::uint8_t pointerSpeedField) {
    if (pointerSpeedField == 1) {
        return 1;
    }
    return 2 * pointerSpeedField - 2;
}

std::uint32_t wheelScrollLinesFor(std::uint8_t scrollOneScreen, std::uint8_t wheelScrollLines) {
    return scrollOneScreen != 0 ? kWheelPageScroll : wheelScrollLines;
}

int doubleClickTimeFor(std::uint8_t doubleClickSpeedField) {
    return 970 - 70 * doubleClickSpeedField;
}

PointerValues pointerValuesFor(const ConfigRecord& record) {
    return {mouseParametersFor(record.enhancePointerPrecision),
            pointerSpeedFor(record.pointerSpeed),
            wheelScrollLinesFor(record.scrollOneScreen, record.wheelScrollLines),
            doubleClickTimeFor(record.doubleClickSpeed)};
}

double desktopSpeedFor(int pointerSpeed) {
    return std::clamp((pointerSpeed - 10) / 10.0, -1.0, 1.0);
}

int desktopDoubleClickFor(int doubleClickTimeMs) {
    return std::clamp(doubleClickTimeMs, kMinDoubleClickMs, kMaxDoubleClickMs);
}

namespace {

constexpr int kMinGaugeStep = 2;
constexpr int kMaxGaugeStep = 12;

std::uint8_t gaugeStep(double step) {
    return static_cast<std::uint8_t>(
        std::clamp(static_cast<int>(std::lround(step)), kMinGaugeStep, kMaxGaugeStep));
}

} // namespace

std::uint8_t pointerSpeedFieldFor(double desktopSpeed) {
    // field f gives Windows speed 2f - 2, which is desktop speed (f - 6) / 5.
    return gaugeStep(6.0 + 5.0 * std::clamp(desktopSpeed, -1.0, 1.0));
}

std::uint8_t doubleClickFieldFor(int doubleClickTimeMs) {
    return gaugeStep((970.0 - doubleClickTimeMs) / 70.0);
}

} // namespace qvr
