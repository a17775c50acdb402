#include "core/layout/control_arithmetic.h"

#include "core/layout/skin_layout.h"
#include "core/profiles/profile_files.h"
#include "core/record/config_record.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace qvr {
namespace {

// The radians-to-degrees factor the gauge has always used; kept so that the
// sector borders fall on the same pixels.
constexpr double kDegreesPerRadian = 57.29578;

constexpr int kDpiRowOffset = 3, kDpiMaxValue = 100;
constexpr int kDialInner = 35, kDialOuter = 64;
constexpr int kGaugeInner = 43, kGaugeOuter = 71;
constexpr int kMinRows = 1, kMaxRows = 100;

// The value whose stop lies nearest the click; halfway between two stops
// the higher one wins, which keeps the last few pixels for the top value.
template <typename StopOf> int nearestStop(int xInArea, int last, StopOf stopOf) {
    int best = 1;
    for (int value = 2; value <= last; ++value) {
        if (std::abs(xInArea - stopOf(value)) <= std::abs(xInArea - stopOf(best)))
            best = value;
    }
    return best;
}

bool onRing(int dx, int dy, int inner, int outer) {
    const int squared = dx * dx + dy * dy;
    return squared >= inner * inner && squared <= outer * outer;
}

} // namespace

int stepSliderValue(int xInArea) {
    return nearestStop(xInArea, 11, skin::stepSliderStop);
}

int lightingSliderValue(int xInArea) {
    return nearestStop(xInArea, 6, skin::lightingSliderStop);
}

int dpiSliderValue(int bottomEdge, int y) {
    const int dy = bottomEdge - y - kDpiRowOffset;
    return dy < 0 ? 1 : std::min(dy + 2, kDpiMaxValue);
}

std::optional<std::uint8_t> reportRateForDialClick(int dx, int dy) {
    if (!onRing(dx, dy, kDialInner, kDialOuter) || dx == 0 || dy == 0)
        return std::nullopt;
    const bool above = dy<0, right = dx> 0;
    if (above)
        return right ? std::uint8_t{1} : std::uint8_t{8};
    return right ? std::uint8_t{2} : std::uint8_t{4};
}

std::optional<int> gaugeValueForClick(int dx, int dy) {
    if (dy > 0 || !onRing(dx, dy, kGaugeInner, kGaugeOuter))
        return std::nullopt;
    const double ax = std::abs(dx), ay = std::abs(dy);
    double degrees = 90.0;
    if (dx > 0)
        degrees = std::atan(ay / ax) * kDegreesPerRadian;
    else if (dx < 0)
        // On the centre line the left end is 180 degrees; no division by 0.
        degrees = 90.0 + (ay == 0 ? 90.0 : std::atan(ax / ay) * kDegreesPerRadian);
    return static_cast<int>(12.0 - degrees / 18.0);
}

EditRuleResult dpiEditRule(std::string_view text) {
    const int typed = parseProfileInt(text);
    if (typed < kMinDpi)
        return {std::to_string(kMinDpi), dpiToStageValue(kMinDpi)};
    if (typed > kMaxDpi)
        return {std::to_string(kMaxDpi), dpiToStageValue(kMaxDpi)};
    return {std::nullopt, dpiToStageValue(typed)};
}

EditRuleResult scrollRowsEditRule(std::string_view text) {
    const int typed = parseProfileInt(text);
    if (typed < kMinRows || typed > kMaxRows)
        return {std::to_string(kMinRows), kMinRows};
    return {std::nullopt, typed};
}

int frameFor(int value, int first, int last) {
    return std::clamp(value, first, last);
}

std::optional<int> reportRateHz(std::uint8_t code) {
    if (!isReportRateCode(code))
        return std::nullopt;
    return 1000 / code;
}

} // namespace qvr
