#include "core/text/notification_text.h"

#include <array>
#include <gtest/gtest.h>

namespace qvr {
namespace {

// A configuration block with stage n's DPI byte at 0x54 + n - 1.
std::array<std::uint8_t, 128> blockWithStages(std::array<std::uint8_t, 6> stages) {
    std::array<std::uint8_t, 128> block{};
    for (std::size_t i = 0; i < stages.size(); ++i) {
        block[0x54 + i] = stages[i];
    }
    return block;
}

const auto kBlock = blockWithStages({16, 20, 32, 48, 100, 255});

TEST(DeviceBalloons, DpiStageTextIsFollowedDirectlyByTheStagesDpi) {
    EXPECT_EQ(balloonForEvent(DeviceEventType::DpiStage2, 3, Language::English, kBlock),
              (Balloon{"Switch DPI into the third stage 1600", "Info", 5000}));
    EXPECT_EQ(balloonForEvent(DeviceEventType::DpiStage1, 1, Language::English, kBlock)->text,
              "Switch DPI into the first stage 800");
    EXPECT_EQ(balloonForEvent(DeviceEventType::DpiStage3, 6, Language::English, kBlock)->text,
              "Switch DPI into the sixth stage 12750");
    EXPECT_EQ(
        balloonForEvent(DeviceEventType::DpiStage2, 5, Language::SimplifiedChinese, kBlock)->text,
        "DPI切换到第五段 5000");
    EXPECT_EQ(
        balloonForEvent(DeviceEventType::DpiStage2, 2, Language::TraditionalChinese, kBlock)->text,
        "DPI切換到第二段 1000");
}

TEST(DeviceBalloons, DpiStageOutsideOneToSixShowsNothing) {
    EXPECT_EQ(balloonForEvent(DeviceEventType::DpiStage2, 0, Language::English, kBlock),
              std::nullopt);
    EXPECT_EQ(balloonForEvent(DeviceEventType::DpiStage2, 7, Language::English, kBlock),
              std::nullopt);
    EXPECT_EQ(balloonForEvent(DeviceEventType::DpiStage1, -1, Language::English, kBlock),
              std::nullopt);
}

TEST(DeviceBalloons, ShortBlockFromAFailedReadShowsZeroDpi) {
    const std::array<std::uint8_t, 0x55> shortBlock{};
    EXPECT_EQ(balloonForEvent(DeviceEventType::DpiStage2, 3, Language::English, shortBlock)->text,
              "Switch DPI into the third stage 0");
    EXPECT_EQ(balloonForEvent(DeviceEventType::DpiStage2, 1, Language::English, {})->text,
              "Switch DPI into the first stage 0");
}

TEST(DeviceBalloons, MacroKeyNumberFollowsWithoutASpace) {
    EXPECT_EQ(balloonForEvent(DeviceEventType::MacroKey, 2, Language::English, kBlock),
              (Balloon{"Switch to macro key2", "Info", 5000}));
    EXPECT_EQ(
        balloonForEvent(DeviceEventType::MacroKey, 12, Language::SimplifiedChinese, kBlock)->text,
        "切换到宏12");
    EXPECT_EQ(balloonForEvent(DeviceEventType::MacroKey, 0, Language::English, kBlock),
              std::nullopt);
}

TEST(DeviceBalloons, PresenceBalloonsAreShortAndWarnWhenTheMouseIsMissing) {
    EXPECT_EQ(balloonForEvent(DeviceEventType::MouseDetected, 0, Language::English, {}),
              (Balloon{"The system detect the gaming mouse.", "Info", 100}));
    EXPECT_EQ(balloonForEvent(DeviceEventType::MouseNotDetected, 123, Language::English, {}),
              (Balloon{"The system did not detect the gaming mouse!", "Warning", 100}));
    EXPECT_EQ(
        balloonForEvent(DeviceEventType::MouseNotDetected, 0, Language::TraditionalChinese, {})
            ->text,
        "系統沒有檢測到遊戲滑鼠！");
}

TEST(DeviceBalloons, OtherTypesShowNothing) {
    for (int type : {0, 4, 5, 8, 10, 13, 16, 255}) {
        EXPECT_EQ(balloonForEvent(static_cast<DeviceEventType>(type), 1, Language::English, kBlock),
                  std::nullopt)
            << type;
    }
}

} // namespace
} // namespace qvr
