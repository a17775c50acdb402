#include "core/record/config_record.h"

#include <gtest/gtest.h>

namespace qvr {
namespace {

TEST(ConfigRecordWriters, TypedDpiIsClampedAndStoredInUnitsOfFifty) {
    EXPECT_EQ(dpiToStageValue(125), 2); // remainder dropped: 100 DPI
    EXPECT_EQ(dpiToStageValue(99), 2);  // below the range
    EXPECT_EQ(dpiToStageValue(5001), 100);
    EXPECT_EQ(dpiToStageValue(-7), 2);
    EXPECT_EQ(dpiToStageValue(175), 3);
    EXPECT_EQ(stageValueToDpi(32), 1600);
}

TEST(ConfigRecordWriters, StageColourIsStoredRedBlueGreen) {
    ConfigRecord record{};
    setStageColor(record, 0, Rgb{0x11, 0x22, 0x33});
    const auto bytes = recordBytes(record);
    EXPECT_EQ(bytes[0x17], 0x11);
    EXPECT_EQ(bytes[0x18], 0x33);
    EXPECT_EQ(bytes[0x19], 0x22);
    EXPECT_EQ(stageColor(record, 0), (Rgb{0x11, 0x22, 0x33}));
    setStageColor(record, 3, Rgb{1, 2, 3});
    EXPECT_EQ(bytes[0x17 + 9], 1);
    EXPECT_EQ(bytes[0x17 + 10], 3);
    EXPECT_EQ(bytes[0x17 + 11], 2);
}

TEST(ConfigRecordTables, AngleSnapLevelsOutsideTheTableSendOff) {
    EXPECT_EQ(angleSnapByte(1), 0x00);
    EXPECT_EQ(angleSnapByte(2), 0x82);
    EXPECT_EQ(angleSnapByte(10), 0x8F);
    EXPECT_EQ(angleSnapByte(11), 0x00);
    EXPECT_EQ(angleSnapByte(12), 0x00);
    EXPECT_EQ(angleSnapByte(255), 0x00);
}

TEST(ConfigRecordTables, BlockTemplateRowsAreThePublishedOnes) {
    EXPECT_EQ(kBlockTemplate[0x00], 0x88);
    EXPECT_EQ(kBlockTemplate[0x2A], 0xA0);
    EXPECT_EQ(kBlockTemplate[0x48], 0x18);
    EXPECT_EQ(kBlockTemplate[0x49], 0x03);
    EXPECT_EQ(kBlockTemplate[0x6E], 0x61);
    EXPECT_EQ(kBlockTemplate[0x75], 0xA5);
    EXPECT_EQ(kBlockTemplate[0x7F], 0x00);
}

TEST(ConfigRecordSnapshot, RestoreBringsBackEveryByteIncludingReservedOnes) {
    RecordState state;
    auto bytes = recordBytes(state.record);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 3);
    state.takeSnapshot();
    const ConfigRecord saved = state.record;
    state.record.reserved6C[5] = 0xEE;
    state.record.dpiStage[5] = 0x42; // stage 6 is carried even though unused
    state.record.macroData[1535] ^= 0xFF;
    state.restoreSnapshot();
    EXPECT_EQ(state.record, saved);
}

TEST(ConfigRecordWriters, OnlyTheFourIntervalsAreReportRates) {
    for (int code = 0; code < 256; ++code) {
        const bool expected = code == 1 || code == 2 || code == 4 || code == 8;
        EXPECT_EQ(isReportRateCode(static_cast<std::uint8_t>(code)), expected) << code;
    }
}

} // namespace
} // namespace qvr
