#include "core/device/device_events.h"
#include "core/device/virtual_mouse.h"
#include "platform/device_setup.h"
#include "support/process.h"

#include <gtest/gtest.h>
#include <sstream>

namespace qvr {
namespace {

using namespace std::chrono_literals;

std::vector<std::string> fileLines(const std::filesystem::path& path) {
    std::vector<std::string> result;
    std::istringstream in(test::readText(path));
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

TEST(DeviceSetupTrace, TheVirtualMouseTracesReportsAndTheProtocolsWaitsIntoAnEmptiedFile) {
    test::TempDir dir;
    const auto path = dir / "trace.txt";
    test::writeText(path, "left over from an earlier run\n");
    DeviceSetup setup(DeviceSetup::Source::VirtualMouse, path.string());
    ASSERT_TRUE(setup.traceError().empty());
    EXPECT_TRUE(fileLines(path).empty());

    DeviceLink link(setup.backend(), setup.clock());
    ConfigRecord record{};
    ASSERT_TRUE(connectAtStartup(link, record));
    link.protocol().uploadConfiguration(record);

    const auto lines = fileLines(path);
    EXPECT_EQ(lines, setup.trace()->lines());
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0], "set-feature 00 82 00 00 00 00 00 00 7d");
    // Begin upload, then the pause after it, as the mouse saw them.
    EXPECT_EQ(lines[3], "set-feature 00 02 00 00 00 00 00 00 fd");
    EXPECT_EQ(lines[4], "wait 10");
}

TEST(DeviceSetupTrace, TheHardwareTracesItsClockOnlyWhenATraceIsAsked) {
    EXPECT_EQ(DeviceSetup(DeviceSetup::Source::Hardware).trace(), nullptr);

    test::TempDir dir;
    const auto path = dir / "trace.txt";
    test::writeText(path, "stale\n");
    DeviceSetup setup(DeviceSetup::Source::Hardware, path.string());
    ASSERT_TRUE(setup.traceError().empty());
    ASSERT_NE(setup.trace(), nullptr);
    EXPECT_EQ(setup.virtualBackend(), nullptr);
    setup.clock().sleepFor(1ms);
    EXPECT_EQ(fileLines(path), std::vector<std::string>{"wait 1"});
}

TEST(DeviceSetupTrace, AnUnwritableTraceFileIsNamed) {
    test::TempDir dir;
    const auto path = dir / "missing-folder" / "trace.txt";
    for (auto source : {DeviceSetup::Source::Hardware, DeviceSetup::Source::VirtualMouse}) {
        DeviceSetup setup(source, path.string());
        EXPECT_NE(setup.traceError().find(path.string()), std::string::npos) << setup.traceError();
    }
}

} // namespace
} // namespace qvr
