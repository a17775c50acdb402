#include "core/device/config_block.h"

#include <gtest/gtest.h>

namespace qvr {
namespace {

ConfigRecord lightingRecord(std::uint8_t mode, std::uint8_t p1, std::uint8_t p2, std::uint8_t p3) {
    ConfigRecord record{};
    record.lightingMode = mode;
    record.lightingParam1 = p1;
    record.lightingParam2 = p2;
    record.lightingParam3 = p3;
    return record;
}

struct Lighting {
    std::uint8_t mode, speed, extra;
};

Lighting lightingBytes(const ConfigRecord& record) {
    const Block block = buildConfigurationBlock(record);
    return {block[0x47], block[0x48], block[0x49]};
}

TEST(ConfigBlockLighting, EffectOneAtSlowestIsSentAsEffectZero) {
    const auto bytes = lightingBytes(lightingRecord(1, 1, 5, 5));
    EXPECT_EQ(bytes.mode, 0);
    EXPECT_EQ(bytes.speed, 0x18); // template
    EXPECT_EQ(bytes.extra, 0x03); // template
}

TEST(ConfigBlockLighting, EffectOneDoublesItsSlider) {
    const auto bytes = lightingBytes(lightingRecord(1, 4, 0, 0));
    EXPECT_EQ(bytes.mode, 1);
    EXPECT_EQ(bytes.speed, 8);
    EXPECT_EQ(bytes.extra, 3);
}

TEST(ConfigBlockLighting, EffectTwoCountsDownFromSix) {
    const auto bytes = lightingBytes(lightingRecord(2, 0, 4, 0));
    EXPECT_EQ(bytes.mode, 2);
    EXPECT_EQ(bytes.speed, 2);
    EXPECT_EQ(bytes.extra, 3);
    // A slider above six from a file wraps as a byte.
    EXPECT_EQ(lightingBytes(lightingRecord(2, 0, 7, 0)).speed, 0xFF);
}

TEST(ConfigBlockLighting, EffectThreeTriplesAndKeepsTheTemplateByte) {
    const auto bytes = lightingBytes(lightingRecord(3, 0, 0, 5));
    EXPECT_EQ(bytes.mode, 3);
    EXPECT_EQ(bytes.speed, 15);
    EXPECT_EQ(bytes.extra, 0x03);
}

TEST(ConfigBlockLighting, OtherModesGoOutUnchanged) {
    for (std::uint8_t mode : {0, 4, 200}) {
        const auto bytes = lightingBytes(lightingRecord(mode, 3, 3, 3));
        EXPECT_EQ(bytes.mode, mode);
        EXPECT_EQ(bytes.speed, 0x18);
        EXPECT_EQ(bytes.extra, 0x03);
    }
}

TEST(ConfigBlockFields, FixedBytesSensitivitiesStagesAndColours) {
    ConfigRecord record{};
    record.angleSnapLevel = 10;
    record.sensitivityX = 1;
    record.sensitivityY = 11;
    record.dpiStage = {2, 16, 32, 100, 55, 66};
    setStageColor(record, 0, Rgb{0x11, 0x22, 0x33});
    setStageColor(record, 3, Rgb{0xAA, 0xBB, 0xCC});
    setStageColor(record, 4, Rgb{0x99, 0x99, 0x99}); // carried, never sent

    const Block block = buildConfigurationBlock(record);
    EXPECT_EQ(block[0x00], 0x88); // template start kept
    EXPECT_EQ(block[0x02], 0x01);
    EXPECT_EQ(block[0x32], 0x42);
    EXPECT_EQ(block[0x33], 0x8F); // level 10
    EXPECT_EQ(block[0x40], 0x0F);
    EXPECT_EQ(block[0x46], 0x04);
    EXPECT_EQ(block[0x4A], 20);
    EXPECT_EQ(block[0x4B], 220);
    EXPECT_EQ(block[0x64], 0x0F);
    const std::uint8_t stages[] = {2, 16, 32, 100};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(block[0x54 + i], stages[i]); // X
        EXPECT_EQ(block[0x5C + i], stages[i]); // Y
    }
    EXPECT_EQ(block[0x58], 0xD0); // template byte right after the X stages
    // Colours as stored: red, blue, green.
    EXPECT_EQ(block[0x68], 0x11);
    EXPECT_EQ(block[0x69], 0x33);
    EXPECT_EQ(block[0x6A], 0x22);
    EXPECT_EQ(block[0x71], 0xAA);
    EXPECT_EQ(block[0x72], 0xCC);
    EXPECT_EQ(block[0x73], 0xBB);
    for (int i = 0x74; i < 0x80; ++i)
        EXPECT_EQ(block[i], 0x00) << i; // template 0xFF 0xA5 there are cleared
}

TEST(ConfigBlockFields, AngleSnapLevelsOneAndElevenAreOff) {
    ConfigRecord record{};
    record.angleSnapLevel = 1;
    EXPECT_EQ(buildConfigurationBlock(record)[0x33], 0x00);
    record.angleSnapLevel = 11;
    EXPECT_EQ(buildConfigurationBlock(record)[0x33], 0x00);
    record.angleSnapLevel = 2;
    EXPECT_EQ(buildConfigurationBlock(record)[0x33], 0x82);
}

} // namespace
} // namespace qvr
