#include "core/device/config_block.h"
#include "core/device/mouse_protocol.h"
#include "core/device/virtual_mouse.h"

#include <gtest/gtest.h>
#include <numeric>
#include <string>

namespace qvr {
namespace {

// A virtual mouse and a protocol over its command collection, with waits
// recorded in the mouse's trace instead of slept.
struct ProtocolRig {
    VirtualMouse mouse;
    ManualClock manual;
    TracingClock clock{manual, mouse.trace()};
    DeviceImages images;
    std::unique_ptr<HidDevice> device = mouse.openCommandCollection();
    MouseProtocol protocol{*device, clock, images};

    std::vector<std::string> trace() const { return mouse.trace()->lines(); }
};

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.rfind(prefix, 0) == 0;
}

TEST(CommandReport, ChecksumsOfTheKnownCommands) {
    EXPECT_EQ(buildCommandReport({0x82})[8], 0x7D);
    EXPECT_EQ(buildCommandReport({0x01, 0xFC})[8], 0x02);
    EXPECT_EQ(buildCommandReport({0x0C, 0x00, 0x80})[8], 0x73);
    EXPECT_EQ(buildCommandReport({0x0F, 0x01, 0x80})[8], 0x6F);
    // The sum wraps modulo 256.
    EXPECT_EQ(buildCommandReport({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF})[8], 0x06);
}

TEST(CommandReport, ReportIdLeadsAndParametersFollowTheCode) {
    const auto report = buildCommandReport({0x03, 0x00, 0x08});
    EXPECT_EQ(report, (std::array<std::uint8_t, 9>{0x00, 0x03, 0x00, 0x08, 0, 0, 0, 0, 0xF4}));
}

TEST(OpenSequence, ReadsTheSlotThenSendsTheOpenCommand) {
    ProtocolRig rig;
    rig.mouse.setSlot(3);
    ConfigRecord record{};
    rig.images.buttonBlock.fill(0x55); // must be cleared by opening
    rig.protocol.openSequence(record);

    EXPECT_EQ(record.activeProfile, 3);
    EXPECT_EQ(rig.images.deviceState[0], 3);
    EXPECT_EQ(rig.images.deviceState[1], 0xFC);
    EXPECT_EQ(rig.images.buttonBlock, Block{});
    EXPECT_EQ(rig.mouse.openModeByte(), 0xFC);
    const std::vector<std::string> expected = {
        "set-feature 00 82 00 00 00 00 00 00 7d",
        "get-feature 00 03 00 00 00 00 00 00 fc",
        "set-feature 00 01 fc 00 00 00 00 00 02",
    };
    EXPECT_EQ(rig.trace(), expected);
}

TEST(OpenSequence, AFailedSlotAnswerReadsAsSlotZero) {
    ProtocolRig rig;
    rig.mouse.setSlot(4);
    rig.mouse.armFault(VirtualMouse::FaultKind::FailOnce, 1); // the get-feature
    ConfigRecord record{};
    record.activeProfile = 9;
    rig.protocol.openSequence(record);
    EXPECT_EQ(record.activeProfile, 0);
}

ConfigRecord sampleRecord() {
    ConfigRecord record{};
    record.activeProfile = 5;
    record.reportRateCode = 2;
    record.dpiStage = {2, 16, 32, 100, 77, 88}; // stages 5 and 6 are never sent
    for (int stage = 0; stage < 6; ++stage)
        setStageColor(record, stage,
                      Rgb{static_cast<std::uint8_t>(0x10 + stage),
                          static_cast<std::uint8_t>(0x20 + stage),
                          static_cast<std::uint8_t>(0x30 + stage)});
    record.lightingMode = 2;
    record.lightingParam2 = 4;
    record.angleSnapLevel = 3;
    record.sensitivityX = 6;
    record.sensitivityY = 13; // 260 wraps to 4
    for (std::size_t i = 0; i < record.macroData.size(); ++i)
        record.macroData[i] = static_cast<std::uint8_t>(i / 128 + 1 + (i % 128) * 3);
    return record;
}

TEST(Upload, SendsEveryReportInOrderWithItsWaits) {
    ProtocolRig rig;
    ConfigRecord record = sampleRecord();
    rig.protocol.uploadConfiguration(record);
    const auto lines = rig.trace();

    std::size_t at = 0;
    auto expectLine = [&](const std::string& prefix) {
        ASSERT_LT(at, lines.size()) << "trace ends before " << prefix;
        EXPECT_TRUE(startsWith(lines[at], prefix))
            << "line " << at << ": " << lines[at] << "\nexpected: " << prefix;
        ++at;
    };
    auto expectBlock = [&](const std::string& command, const std::string& after) {
        expectLine(command);
        expectLine("write 00 ");
        expectLine("wait 20");
        expectLine("write 00 ");
        expectLine("wait 20");
        expectLine(after);
    };

    expectLine("set-feature 00 02 00 00 00 00 00 00 fd");
    expectLine("wait 10");
    expectLine("set-feature 00 03 00 02 00 00 00 00 fa"); // report-rate code 2
    expectLine("wait 10");
    expectBlock("set-feature 00 0c 00 80 00 00 00 00 73", "wait 10");
    expectBlock("set-feature 00 0d 00 80 00 00 00 00 72", "wait 2");
    for (int n = 1; n <= 12; ++n) {
        char command[64];
        std::snprintf(command, sizeof command, "set-feature 00 0f %02x 80 00 00 00 00 %02x", n,
                      0xFF - (0x0F + n + 0x80));
        expectBlock(command, "wait 20");
    }
    EXPECT_EQ(at, lines.size());

    int waited = 0;
    for (const auto& line : lines)
        if (startsWith(line, "wait "))
            waited += std::stoi(line.substr(5));
    EXPECT_EQ(waited, 832);
    EXPECT_EQ(rig.manual.elapsed.count(), 832);
}

TEST(Upload, ClearsTheSlotAndStoresEachBlockInTheMouse) {
    ProtocolRig rig;
    ConfigRecord record = sampleRecord();
    rig.protocol.uploadConfiguration(record);

    EXPECT_EQ(record.activeProfile, 0);
    EXPECT_EQ(rig.mouse.reportRateCode(), 2);
    EXPECT_EQ(rig.mouse.configurationBlock(), buildConfigurationBlock(record));
    for (int n = 1; n <= 12; ++n) {
        const Block block = rig.mouse.macroBlock(n);
        for (std::size_t i = 0; i < block.size(); ++i)
            ASSERT_EQ(block[i], static_cast<std::uint8_t>(n + i * 3)) << "macro " << n << " @" << i;
    }
}

TEST(Upload, SendsAllTwelveMacroBlocksEvenWhenEmpty) {
    ProtocolRig rig;
    ConfigRecord record{};
    rig.protocol.uploadConfiguration(record);
    int macroCommands = 0;
    for (const auto& line : rig.trace())
        macroCommands += startsWith(line, "set-feature 00 0f ");
    EXPECT_EQ(macroCommands, 12);
}

TEST(Upload, AllZeroRecordPutsLeftClickInTheEightButtonSlots) {
    ProtocolRig rig;
    ConfigRecord record{};
    rig.protocol.uploadConfiguration(record);
    const Block block = rig.mouse.buttonBlock();
    const int slots[] = {0, 1, 2, 14, 15, 3, 4, 5};
    Block expected{};
    for (int slot : slots) {
        expected[slot * 4 + 0] = 0x01; // mouse function
        expected[slot * 4 + 2] = 0xF0; // left button
    }
    EXPECT_EQ(block, expected);
}

TEST(Upload, RunsTheSaveStepAfterTheLastBlockEvenWhenTheMouseFails) {
    ProtocolRig rig;
    rig.mouse.armFault(VirtualMouse::FaultKind::FailFromThenOn, 0);
    ConfigRecord record = sampleRecord();
    std::size_t linesAtSave = 0;
    rig.protocol.uploadConfiguration(
        record, [&](const ConfigRecord&) { linesAtSave = rig.trace().size(); });
    EXPECT_EQ(linesAtSave, rig.trace().size());
    EXPECT_GT(linesAtSave, 0u);
    EXPECT_EQ(rig.manual.elapsed.count(), 832); // the pacing does not depend on answers
}

TEST(Upload, AVanishingMouseNeitherCrashesNorHangs) {
    for (int at : {0, 3, 7, 20, 43}) {
        ProtocolRig rig;
        rig.mouse.armFault(VirtualMouse::FaultKind::VanishAt, at);
        ConfigRecord record = sampleRecord();
        bool saved = false;
        rig.protocol.uploadConfiguration(record, [&](const ConfigRecord&) { saved = true; });
        EXPECT_TRUE(saved);
        EXPECT_FALSE(rig.mouse.plugged());
    }
}

TEST(Upload, RecordOfAllOnesStaysInsideEveryTable) {
    ProtocolRig rig;
    ConfigRecord record{};
    std::fill(recordBytes(record).begin(), recordBytes(record).end(), 0xFF);
    rig.protocol.uploadConfiguration(record);
    const Block block = rig.mouse.configurationBlock();
    EXPECT_EQ(block[0x33], 0x00);                // angle-snap level 255: off
    EXPECT_EQ(block[0x4A], (255 * 20) % 256);    // sensitivity wraps
    EXPECT_EQ(rig.mouse.buttonBlock(), Block{}); // type 255 encodes as nothing
    Block ones;
    ones.fill(0xFF);
    EXPECT_EQ(rig.mouse.macroBlock(12), ones);
}

TEST(ReadBack, StoresTheMouseBlockAndWaits) {
    ProtocolRig rig;
    ConfigRecord record = sampleRecord();
    rig.protocol.uploadConfiguration(record);
    rig.images.clear();
    rig.mouse.trace()->clear();

    EXPECT_EQ(rig.protocol.readConfigurationBlock(), 128u);
    EXPECT_EQ(rig.images.profileBlocks[0], rig.mouse.configurationBlock());
    const auto lines = rig.trace();
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "set-feature 00 8c 00 00 00 00 00 00 73");
    EXPECT_TRUE(startsWith(lines[1], "get-feature 00 8c 80 "));
    EXPECT_TRUE(startsWith(lines[2], "read 00 "));
    EXPECT_TRUE(startsWith(lines[3], "read 00 "));
    EXPECT_EQ(lines[4], "wait 10");
}

TEST(ReadBack, AnOversizedAnswerIsCutAtTheBlock) {
    ProtocolRig rig;
    rig.mouse.setConfigAnswerLength(255);
    const std::size_t stored = rig.protocol.readConfigurationBlock();
    EXPECT_EQ(stored, 128u);
    EXPECT_EQ(rig.images.profileBlocks[0], rig.mouse.configurationBlock());
    // The model's bytes past its block are 0xEE; none may have landed anywhere.
    for (std::size_t b = 1; b < rig.images.profileBlocks.size(); ++b)
        EXPECT_EQ(rig.images.profileBlocks[b], Block{});
    int reads = 0;
    for (const auto& line : rig.trace())
        reads += startsWith(line, "read ");
    EXPECT_EQ(reads, 4); // the extra reports are drained, not left queued
}

TEST(ReadBack, AShortAnswerStoresOnlyWhatCame) {
    ProtocolRig rig;
    rig.mouse.setConfigAnswerLength(70);
    rig.images.profileBlocks[0].fill(0x11);
    EXPECT_EQ(rig.protocol.readConfigurationBlock(), 70u);
    EXPECT_EQ(rig.images.profileBlocks[0][69], rig.mouse.configurationBlock()[69]);
    EXPECT_EQ(rig.images.profileBlocks[0][70], 0x11);
}

TEST(ReadBack, ASmallDeclaredReportLengthNeverOverrunsTheBuffer) {
    for (std::size_t declared : {0u, 1u, 2u, 9u, 64u, 65u, 300u, 70000u}) {
        ProtocolRig rig;
        MouseProtocol protocol{*rig.device, rig.clock, rig.images, declared};
        const std::size_t stored = protocol.readConfigurationBlock();
        EXPECT_LE(stored, 128u) << declared;
        if (declared >= 65) {
            EXPECT_EQ(stored, 128u) << declared;
        }
    }
}

TEST(ReadBack, AMouseThatFailsEveryCallLeavesZeros) {
    ProtocolRig rig;
    rig.mouse.armFault(VirtualMouse::FaultKind::FailFromThenOn, 0);
    EXPECT_EQ(rig.protocol.readConfigurationBlock(), 0u);
    EXPECT_EQ(rig.images.profileBlocks[0], Block{});
    rig.protocol.readActiveSlot();
    EXPECT_EQ(rig.images.deviceState[0], 0);
}

} // namespace
} // namespace qvr
