#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace qvr {

// How a click on one of the performance controls becomes a record value.
// Positions are pixels relative to the control's hit area (sliders) or to its
// centre (dial, gauges); dy grows downwards, as window coordinates do.

// X axis, Y axis and angle snap: 1..11, the stops 21 pixels apart; a click
// between two stops takes the nearer one.
int stepSliderValue(int xInArea);
// The three lighting sliders: 1..6, the stops 30 pixels apart, nearest
// stop as above.
int lightingSliderValue(int xInArea);
// A vertical DPI slider: one DPI step per pixel row counted up from its
// bottom edge (exclusive); 1..100. The edit rule then turns 1 into 2.
int dpiSliderValue(int bottomEdge, int y);

// The report-rate code of a click on the dial, nullopt when the click is off
// the ring (35..64 pixels from the centre) or exactly on an axis.
std::optional<std::uint8_t> reportRateForDialClick(int dx, int dy);
// The value 2..12 of a click on a speed gauge, nullopt when it is below the
// centre line or off the half ring (43..71 pixels from the centre).
std::optional<int> gaugeValueForClick(int dx, int dy);

// The edit boxes check their text at every change. A text outside the limits
// is replaced at once by the limit text.
struct EditRuleResult {
    std::optional<std::string> replacement;
    int value = 0; // what the record stores
};
// DPI boxes: 100..5000 typed, stored as DPI / 50 (remainder dropped).
EditRuleResult dpiEditRule(std::string_view text);
// The scroll rows box: 1..100; anything else becomes "1".
EditRuleResult scrollRowsEditRule(std::string_view text);

// The images drawn for a record value: record values a hand-made file may
// bring are shown at the nearest frame the skin has, the record keeps them.
int frameFor(int value, int first, int last);
// 1000 / code; nullopt for a code the mouse does not know (0 among them).
std::optional<int> reportRateHz(std::uint8_t code);

} // namespace qvr
