#include "core/layout/control_arithmetic.h"
#include "core/layout/skin_layout.h"

#include <gtest/gtest.h>

namespace qvr {
namespace {

TEST(StepSlider, ClicksBetweenStopsTakeTheNearerAndTheLastTenPixelsAreEleven) {
    EXPECT_EQ(stepSliderValue(0), 1);
    EXPECT_EQ(stepSliderValue(14), 1); // stop 1 at 4, stop 2 at 25
    EXPECT_EQ(stepSliderValue(15), 2);
    EXPECT_EQ(stepSliderValue(35), 2);
    EXPECT_EQ(stepSliderValue(36), 3);
    EXPECT_EQ(stepSliderValue(197), 10);
    for (int x = 198; x < skin::kStepSliderHit.width; ++x)
        EXPECT_EQ(stepSliderValue(x), 11) << x;
}

TEST(StepSlider, AClickOnAStopOfTheSkinSelectsThatStop) {
    for (int value = 1; value <= 11; ++value)
        EXPECT_EQ(stepSliderValue(skin::stepSliderStop(value)), value) << value;
}

TEST(LightingSlider, StopsAreThirtyPixelsApartAndTheLastFourPixelsGiveSix) {
    EXPECT_EQ(lightingSliderValue(16), 1); // stop 1 at 2, stop 2 at 32
    EXPECT_EQ(lightingSliderValue(17), 2);
    EXPECT_EQ(lightingSliderValue(108), 5);
    EXPECT_EQ(lightingSliderValue(123), 5);
    for (int x = 124; x < skin::kLightingSliderHit.width; ++x)
        EXPECT_EQ(lightingSliderValue(x), 6) << x;
    for (int value = 1; value <= 6; ++value)
        EXPECT_EQ(lightingSliderValue(skin::lightingSliderStop(value)), value) << value;
}

TEST(DpiSlider, LowestTwoRowsGiveOneTopThirteenRowsGiveOneHundred) {
    const int bottom = skin::kDpiSliderBottom;
    EXPECT_EQ(dpiSliderValue(bottom, bottom - 1), 1);
    EXPECT_EQ(dpiSliderValue(bottom, bottom - 2), 1);
    EXPECT_EQ(dpiSliderValue(bottom, bottom - 3), 2);
    int hundreds = 0;
    for (int y = skin::kDpiSliderTop; y < bottom; ++y)
        hundreds += dpiSliderValue(bottom, y) == 100;
    EXPECT_EQ(hundreds, 13);
    // The skin draws frame n with its thumb on the row a click for n hits.
    for (int value = 2; value <= 100; ++value)
        EXPECT_EQ(dpiSliderValue(bottom, skin::dpiThumbRow(value)), value) << value;
}

TEST(ReportRateDial, QuadrantsGiveTheirRatesOnTheRingOnly) {
    EXPECT_EQ(reportRateForDialClick(30, -30), std::uint8_t{1});  // above right: 1000 Hz
    EXPECT_EQ(reportRateForDialClick(-30, -30), std::uint8_t{8}); // above left: 125 Hz
    EXPECT_EQ(reportRateForDialClick(30, 30), std::uint8_t{2});   // below right: 500 Hz
    EXPECT_EQ(reportRateForDialClick(-30, 30), std::uint8_t{4});  // below left: 250 Hz

    EXPECT_EQ(reportRateForDialClick(21, -28), std::uint8_t{1}); // 35 pixels out
    EXPECT_EQ(reportRateForDialClick(18, -24), std::nullopt);    // 30 pixels
    EXPECT_EQ(reportRateForDialClick(34, -1), std::nullopt);     // just inside 35
    EXPECT_EQ(reportRateForDialClick(64, -1), std::nullopt);     // just outside 64
    EXPECT_EQ(reportRateForDialClick(-63, 1), std::uint8_t{4});
    EXPECT_EQ(reportRateForDialClick(39, -52), std::nullopt); // 65 pixels
    EXPECT_EQ(reportRateForDialClick(50, 0), std::nullopt);   // on an axis
    EXPECT_EQ(reportRateForDialClick(0, -50), std::nullopt);
}

TEST(SpeedGauge, TheHalfRingMapsRightToLeftFromTwelveToTwo) {
    EXPECT_EQ(gaugeValueForClick(70, 0), 12);  // right end, on the centre line
    EXPECT_EQ(gaugeValueForClick(70, -1), 11); // any angle above it
    EXPECT_EQ(gaugeValueForClick(0, -60), 7);  // straight up: 90 degrees
    EXPECT_EQ(gaugeValueForClick(-70, 0), 2);  // left end
    EXPECT_EQ(gaugeValueForClick(-70, -1), 2);
    EXPECT_EQ(gaugeValueForClick(-30, -52), 5); // 120 degrees
    EXPECT_EQ(gaugeValueForClick(-52, -30), 3); // 150 degrees
}

TEST(SpeedGauge, BelowTheCentreLineAndOffTheRingAreIgnored) {
    EXPECT_EQ(gaugeValueForClick(60, 1), std::nullopt);
    EXPECT_EQ(gaugeValueForClick(42, 0), std::nullopt);
    EXPECT_EQ(gaugeValueForClick(43, 0), 12);
    EXPECT_EQ(gaugeValueForClick(-71, 0), 2);
    EXPECT_EQ(gaugeValueForClick(-72, 0), std::nullopt);
}

TEST(DpiEditRule, ValuesOutsideTheLimitsAreReplacedAndStoredInFiftySteps) {
    EXPECT_EQ(dpiEditRule("99").replacement, "100");
    EXPECT_EQ(dpiEditRule("99").value, 2);
    EXPECT_EQ(dpiEditRule("5001").replacement, "5000");
    EXPECT_EQ(dpiEditRule("5001").value, 100);
    EXPECT_EQ(dpiEditRule("175").replacement, std::nullopt);
    EXPECT_EQ(dpiEditRule("175").value, 3);
    EXPECT_EQ(dpiEditRule("").replacement, "100");
    EXPECT_EQ(dpiEditRule("abc").value, 2);
    EXPECT_EQ(dpiEditRule("99999999999999").replacement, "5000");
    EXPECT_EQ(dpiEditRule("-300").replacement, "100");
}

TEST(ScrollRowsEditRule, ZeroOrMoreThanAHundredBecomesOne) {
    for (const char* text : {"0", "101", "-4", "", "x"}) {
        EXPECT_EQ(scrollRowsEditRule(text).replacement, "1") << text;
        EXPECT_EQ(scrollRowsEditRule(text).value, 1) << text;
    }
    EXPECT_EQ(scrollRowsEditRule("100").replacement, std::nullopt);
    EXPECT_EQ(scrollRowsEditRule("100").value, 100);
    EXPECT_EQ(scrollRowsEditRule("1").value, 1);
}

TEST(RecordPictures, ValuesFromAHandMadeFileDrawTheNearestFrame) {
    EXPECT_EQ(frameFor(0, 1, 11), 1);
    EXPECT_EQ(frameFor(200, 1, 100), 100);
    EXPECT_EQ(frameFor(7, 2, 12), 7);
    EXPECT_EQ(reportRateHz(8), 125);
    EXPECT_EQ(reportRateHz(1), 1000);
    EXPECT_EQ(reportRateHz(0), std::nullopt); // never a division by zero
    EXPECT_EQ(reportRateHz(3), std::nullopt);
}

} // namespace
} // namespace qvr
