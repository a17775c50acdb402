// qvrctl against the emulated kernel: the programs started here inherit the
// preload library and the test bed.

#include "core/record/config_record.h"
#include "platform/hidapi_backend.h"
#include "support/emulated_mouse.h"
#include "support/process.h"
#include "support/program_folder.h"

#include <gtest/gtest.h>
#include <sstream>

namespace qvr {
namespace {

using test::EmulatedMouse;
using test::runProcess;
using test::TempDir;
using Node = EmulatedMouse::Node;

const std::filesystem::path kQvrctl = std::filesystem::path(QVR_PROGRAM_DIR) / "qvrctl";

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

std::size_t occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class QvrctlOnKernel : public ::testing::Test {
  protected:
    QvrctlOnKernel() {
        ConfigRecord record = testing::patternRecord(9);
        record.reportRateCode = 3;
        test::writeBytes(dir_ / "p.bin", testing::fileImage(record, 1));
        // The program may run as another user.
        std::filesystem::permissions(dir_.path(), std::filesystem::perms::all);
    }
    TempDir dir_;
};

TEST_F(QvrctlOnKernel, UploadTraceEqualsTheVirtualMouseTraceWaitForWait) {
    const auto profile = (dir_ / "p.bin").string();
    const auto virtualRun =
        runProcess(kQvrctl, {"--virtual-mouse", "--trace", (dir_ / "virtual.trace").string(),
                             "upload", profile});
    ASSERT_EQ(virtualRun.exitCode, 0) << virtualRun.err;

    EmulatedMouse mouse;
    const auto kernelRun =
        runProcess(kQvrctl, {"--trace", (dir_ / "kernel.trace").string(), "upload", profile});
    ASSERT_EQ(kernelRun.exitCode, 0) << kernelRun.err;
    EXPECT_EQ(kernelRun.out, virtualRun.out);

    const auto expected = lines(test::readText(dir_ / "virtual.trace"));
    const auto traced = lines(test::readText(dir_ / "kernel.trace"));
    ASSERT_EQ(expected.size(), 91u); // open 3, begin and rate 2 each, 14 blocks of 6
    EXPECT_EQ(traced, expected);
    EXPECT_EQ(mouse.firmware().reportRateCode(), 3);
    EXPECT_EQ(mouse.firmware().uploadsBegun(), 1);
}

TEST_F(QvrctlOnKernel, InfoAndReadBlockSeeTheMouseBehindTheForeignDevice) {
    EmulatedMouse mouse;
    mouse.firmware().setSlot(2);
    const auto info = runProcess(kQvrctl, {"info"});
    ASSERT_EQ(info.exitCode, 0) << info.err;
    const auto out = lines(info.out);
    ASSERT_EQ(out.size(), 3u) << info.out;
    EXPECT_EQ(out[0],
              "collection " + mouse.devnode(Node::Command) +
                  ": usage page 0xFF00, usage 0xFF00, input 65, output 65, feature 9 bytes");
    EXPECT_EQ(out[1], "collection " + mouse.devnode(Node::Event) +
                          ": usage page 0xFF01, usage 0x0001, input 8, output 0, feature 0 bytes");
    EXPECT_EQ(out[2], "slot: 2");

    const auto readBlock = runProcess(kQvrctl, {"read-block"});
    ASSERT_EQ(readBlock.exitCode, 0) << readBlock.err;
    const auto block = mouse.firmware().configurationBlock();
    std::string hex;
    for (std::uint8_t byte : block) {
        char digits[3];
        std::snprintf(digits, sizeof digits, "%02x", byte);
        hex += digits;
    }
    EXPECT_EQ(lines(readBlock.out), (std::vector<std::string>{"slot: 2", "config-block: " + hex}));

    // --virtual-mouse after the command keeps the hardware out of it.
    mouse.firmware().resetCallCount();
    for (const char* command : {"info", "read-block"}) {
        const auto run = runProcess(kQvrctl, {command, "--virtual-mouse"});
        ASSERT_EQ(run.exitCode, 0) << command << run.err;
        EXPECT_NE(run.out.find("slot: 0"), std::string::npos) << command << run.out;
    }
    EXPECT_EQ(mouse.firmware().callCount(), 0);
}

TEST_F(QvrctlOnKernel, AMouseUnpluggedDuringTheUploadIsReportedNotHidden) {
    EmulatedMouse mouse;
    mouse.firmware().resetCallCount();
    // Past the open sequence, in the middle of the macro blocks.
    mouse.firmware().armFault(VirtualMouse::FaultKind::VanishAt, 30);
    const auto start = std::chrono::steady_clock::now();
    const auto run = runProcess(kQvrctl, {"upload", (dir_ / "p.bin").string()});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("the mouse did not receive all of"), std::string::npos) << run.err;
}

TEST_F(QvrctlOnKernel, WithoutPermissionTheAdviceNamesTheMouseNodeAndTheRuleOnce) {
    EmulatedMouse mouse;
    mouse.restrictToRoot();
    const auto asNobody = test::runAsNobody(kQvrctl, {"upload", (dir_ / "p.bin").string()}, dir_);
    if (!asNobody)
        GTEST_SKIP() << "cannot run a program as nobody here";
    const test::ProcessResult& run = *asNobody;
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_EQ(occurrences(run.err, kUdevRuleFileName), 1u) << run.err;
    // By its path: the build keeps it under its prefix, as an install does.
    EXPECT_EQ(occurrences(run.err, std::string("/lib/udev/rules.d/") + kUdevRuleFileName), 1u)
        << run.err;
    EXPECT_EQ(occurrences(run.err, "may not open"), 1u) << run.err;
    EXPECT_NE(run.err.find("(" + mouse.devnode(Node::Command) + ")"), std::string::npos) << run.err;
    EXPECT_EQ(run.err.find(mouse.devnode(Node::Foreign)), std::string::npos) << run.err;
    // Nothing reached the firmware.
    EXPECT_EQ(mouse.firmware().uploadsBegun(), 0);
}

} // namespace
} // namespace qvr
