#include "core/record/pointer_values.h"

#include <gtest/gtest.h>

namespace qvr {
namespace {

TEST(PointerValues, SpeedFieldDoublesMinusTwoExceptOne) {
    EXPECT_EQ(pointerSpeedFor(1), 1);
    EXPECT_EQ(pointerSpeedFor(2), 2);
    EXPECT_EQ(pointerSpeedFor(6), 10);
    EXPECT_EQ(pointerSpeedFor(11), 20);
    EXPECT_EQ(pointerSpeedFor(12), 22); // refused by Windows, passed on as computed
    EXPECT_EQ(pointerSpeedFor(0), -2);
}

TEST(PointerValues, DoubleClickTimeShortensBySeventyPerStep) {
    EXPECT_EQ(doubleClickTimeFor(2), 830);
    EXPECT_EQ(doubleClickTimeFor(7), 480);
    EXPECT_EQ(doubleClickTimeFor(12), 130);
    EXPECT_EQ(doubleClickTimeFor(0), 970);
    EXPECT_LT(doubleClickTimeFor(255), 0);
}

TEST(PointerValues, OnlyPrecisionOneTurnsAccelerationOn) {
    EXPECT_EQ(mouseParametersFor(1), (std::array<int, 3>{6, 10, 1}));
    EXPECT_EQ(mouseParametersFor(0), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(mouseParametersFor(2), (std::array<int, 3>{0, 0, 0}));
    EXPECT_EQ(mouseParametersFor(255), (std::array<int, 3>{0, 0, 0}));
}

TEST(PointerValues, OneScreenScrollingWinsOverTheLineCount) {
    EXPECT_EQ(wheelScrollLinesFor(1, 3), kWheelPageScroll);
    EXPECT_EQ(wheelScrollLinesFor(7, 100), kWheelPageScroll);
    EXPECT_EQ(wheelScrollLinesFor(0, 3), 3u);
    EXPECT_EQ(wheelScrollLinesFor(0, 100), 100u);
}

TEST(PointerValues, RecordFieldsGiveAllFourValues) {
    ConfigRecord record{};
    record.enhancePointerPrecision = 1;
    record.pointerSpeed = 11;
    record.scrollOneScreen = 0;
    record.wheelScrollLines = 5;
    record.doubleClickSpeed = 7;
    EXPECT_EQ(pointerValuesFor(record), (PointerValues{{6, 10, 1}, 20, 5u, 480}));
    record.scrollOneScreen = 1;
    record.enhancePointerPrecision = 2;
    EXPECT_EQ(pointerValuesFor(record), (PointerValues{{0, 0, 0}, 20, kWheelPageScroll, 480}));
}

TEST(PointerValues, StepsRunInTheApplyOrderAndOnlyDoubleClickPersists) {
    ASSERT_EQ(kPointerSteps.size(), 4u);
    EXPECT_EQ(kPointerSteps[0].setting, PointerSetting::MouseParameters);
    EXPECT_EQ(kPointerSteps[0].failureMessage, "SETMOUSE failed.");
    EXPECT_EQ(kPointerSteps[1].failureMessage, "SETMOUSESPEED failed.");
    EXPECT_EQ(kPointerSteps[2].failureMessage, "SETWHEELSCROLLLINES failed.");
    EXPECT_EQ(kPointerSteps[3].setting, PointerSetting::DoubleClickTime);
    EXPECT_EQ(kPointerSteps[3].failureMessage, "SPI_SETDOUBLECLICKTIME failed.");
    EXPECT_FALSE(kPointerSteps[0].persistent || kPointerSteps[1].persistent ||
                 kPointerSteps[2].persistent);
    EXPECT_TRUE(kPointerSteps[3].persistent);
}

TEST(PointerValues, DesktopValuesTakeTheNearestTheDesktopHasAndMapBackToGaugeSteps) {
    EXPECT_EQ(desktopSpeedFor(10), 0.0);
    EXPECT_EQ(desktopSpeedFor(20), 1.0);
    EXPECT_DOUBLE_EQ(desktopSpeedFor(1), -0.9);
    EXPECT_EQ(desktopSpeedFor(22), 1.0); // the gauge's fastest stop
    EXPECT_EQ(desktopSpeedFor(-2), -1.0);
    EXPECT_EQ(desktopDoubleClickFor(-10), kMinDoubleClickMs);
    EXPECT_EQ(desktopDoubleClickFor(480), 480);

    // Every gauge step comes back as itself, except the fastest, whose
    // speed the desktop does not have.
    for (std::uint8_t step = 2; step <= 11; ++step) {
        EXPECT_EQ(pointerSpeedFieldFor(desktopSpeedFor(pointerSpeedFor(step))), step);
    }
    for (std::uint8_t step = 2; step <= 12; ++step) {
        EXPECT_EQ(doubleClickFieldFor(doubleClickTimeFor(step)), step);
    }
    EXPECT_EQ(pointerSpeedFieldFor(-1.0), 2);
    EXPECT_EQ(pointerSpeedFieldFor(5.0), 11);
    EXPECT_EQ(pointerSpeedFieldFor(0.0), 6);
    EXPECT_EQ(doubleClickFieldFor(400), 8); // GNOME's default, 410 ms the nearest
    EXPECT_EQ(doubleClickFieldFor(2000), 2);
    EXPECT_EQ(doubleClickFieldFor(10), 12);
}

} // namespace
} // namespace qvr
