#include "settings/pointer_values.h"

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

std::optional<double> desktopSpeedFor(int pointerSpeed) {
    if (pointerSpeed < kMinPointerSpeed || pointerSpeed > kMaxPointerSpeed) {
        return std::nullopt;
    }
    return (pointerSpeed - 10) / 10.0;
}

} // namespace qvr
