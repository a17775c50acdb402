#include "core/device/mouse_descriptor.h"
#include "platform/hidapi_backend.h"
#include "support/process.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace qvr {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

const Bytes kKeyboardDescriptor = {
    0x05, 0x01, // Usage Page (Generic Desktop)
    0x09, 0x06, // Usage (Keyboard)
    0xA1, 0x01, // Collection (Application)
    0x75, 0x08, //   Report Size (8)
    0x95, 0x08, //   Report Count (8)
    0x81, 0x00, //   Input: 8 bytes
    0xC0,       // End Collection
};

const Bytes kMouseWithPointerDescriptor = {
    0x05, 0x01, // Usage Page (Generic Desktop)
    0x09, 0x02, // Usage (Mouse)
    0xA1, 0x01, // Collection (Application)
    0x09, 0x01, //   Usage (Pointer)
    0xA1, 0x00, //   Collection (Physical), listed by hidapi as its own entry
    0x75, 0x08, //     Report Size (8)
    0x95, 0x04, //     Report Count (4)
    0x81, 0x06, //     Input: 4 bytes
    0xC0,       //   End Collection
    0xC0,       // End Collection
};

// A temporary folder laid out like /sys/class/hidraw.
class SysfsFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() / ("qvr-sysfs-" + std::to_string(std::random_device{}()));
        fs::create_directories(root_);
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path deviceFolder(int node) {
        const fs::path folder =
            root_ / "class" / "hidraw" / ("hidraw" + std::to_string(node)) / "device";
        fs::create_directories(folder);
        return folder;
    }
    void addNode(int node, std::span<const std::uint8_t> descriptor) {
        std::ofstream out(deviceFolder(node) / "report_descriptor", std::ios::binary);
        out.write(reinterpret_cast<const char*>(descriptor.data()),
                  static_cast<std::streamsize>(descriptor.size()));
    }
    static HidEnumerationEntry entry(int node, std::uint16_t vendor, std::uint16_t product,
                                     std::uint16_t usagePage, std::uint16_t usage, int interface) {
        return {"/dev/hidraw" + std::to_string(node), vendor, product, usagePage, usage, interface};
    }

    fs::path root_;
};

TEST_F(SysfsFixture, MouseCollectionsAreFoundAfterForeignAndBrokenNodes) {
    addNode(0, kKeyboardDescriptor);
    addNode(1, kMouseWithPointerDescriptor);
    deviceFolder(2);                                               // no report_descriptor at all
    fs::create_directories(deviceFolder(3) / "report_descriptor"); // not readable as a file
    addNode(4, Bytes{0x05, 0x01, 0x09});                           // truncated descriptor
    addNode(5, mouseCommandInterfaceDescriptor());
    addNode(6, mouseEventInterfaceDescriptor());

    const std::vector<HidEnumerationEntry> entries = {
        entry(0, 0x046D, 0xC31C, 0x01, 0x06, 0),
        entry(1, 0x046D, 0xC077, 0x01, 0x02, 0),
        entry(1, 0x046D, 0xC077, 0x01, 0x01, 0), // hidapi's entry for the nested collection
        entry(2, 0x1234, 0x0001, 0x01, 0x02, 0),
        entry(3, 0x1234, 0x0002, 0x01, 0x02, 0),
        entry(4, 0x1234, 0x0003, 0x01, 0x02, 0),
        entry(5, kMouseVendorId, kMouseProductId, 0xFF00, 0xFF00, kMouseCommandInterfaceNumber),
        entry(6, kMouseVendorId, kMouseProductId, 0xFF01, 0x0001, kMouseEventInterfaceNumber),
        entry(7, kMouseVendorId, kMouseProductId, 0xFF00, 0xFF00, 3), // node without sysfs folder
    };
    const std::vector<HidInterfaceInfo> list = buildInterfaceList(entries, root_);

    ASSERT_EQ(list.size(), 4u);
    EXPECT_EQ(list[0].path, "/dev/hidraw0");
    EXPECT_EQ(list[0].inputReportLength, 9);
    EXPECT_EQ(list[1].path, "/dev/hidraw1");
    EXPECT_EQ(list[1].usage, 0x02);
    EXPECT_EQ(list[1].inputReportLength, 5);

    const HidInterfaceInfo& command = list[2];
    EXPECT_EQ(command.path, "/dev/hidraw5");
    EXPECT_EQ(command.vendorId, kMouseVendorId);
    EXPECT_EQ(command.productId, kMouseProductId);
    EXPECT_EQ(command.usagePage, 0xFF00);
    EXPECT_EQ(command.usage, 0xFF00);
    EXPECT_EQ(command.featureReportLength, 9);
    EXPECT_EQ(command.inputReportLength, 65);
    EXPECT_EQ(command.outputReportLength, 65);
    EXPECT_EQ(command.interfaceNumber, kMouseCommandInterfaceNumber);

    const HidInterfaceInfo& events = list[3];
    EXPECT_EQ(events.path, "/dev/hidraw6");
    EXPECT_EQ(events.usagePage, 0xFF01);
    EXPECT_EQ(events.usage, 0x0001);
    EXPECT_EQ(events.inputReportLength, 8);
    EXPECT_EQ(events.featureReportLength, 0);
    EXPECT_EQ(events.interfaceNumber, kMouseEventInterfaceNumber);
}

TEST_F(SysfsFixture, OneNodeWithSeveralTopLevelCollectionsGivesOneInterfaceEach) {
    Bytes both(kKeyboardDescriptor);
    both.insert(both.end(), mouseCommandInterfaceDescriptor().begin(),
                mouseCommandInterfaceDescriptor().end());
    addNode(9, both);
    const std::vector<HidEnumerationEntry> entries = {
        entry(9, kMouseVendorId, kMouseProductId, 0x01, 0x06, 0),
        entry(9, kMouseVendorId, kMouseProductId, 0xFF00, 0xFF00, 0),
    };
    const std::vector<HidInterfaceInfo> list = buildInterfaceList(entries, root_);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0].usage, 0x06);
    EXPECT_EQ(list[1].usagePage, 0xFF00);
    EXPECT_EQ(list[1].featureReportLength, 9);
}

TEST_F(SysfsFixture, OnlyHidrawNodeNamesReachTheSysfsLookUp) {
    addNode(5, mouseCommandInterfaceDescriptor());
    EXPECT_TRUE(readHidrawReportDescriptor("/dev/hidraw5", root_));
    for (const char* path : {"/dev/hidraw", "/dev/hidrawx", "/dev/hidraw5/..", "/dev/usb/hiddev0",
                             "", "/dev/hidraw-5", "/dev/hidraw12345678901"}) {
        EXPECT_FALSE(readHidrawReportDescriptor(path, root_)) << path;
    }
}

TEST(HidapiBackendOpen, MissingNodeIsReportedAsNotFound) {
    HidapiBackend backend(fs::temp_directory_path());
    HidInterfaceInfo info;
    info.path = (fs::temp_directory_path() / "qvr-no-such-hidraw-node").string();
    EXPECT_EQ(backend.open(info, OpenMode::ReadWrite), nullptr);
    EXPECT_EQ(backend.lastOpenError(), HidOpenError::NotFound);
}

TEST(HidapiBackendOpen, NodesThatAreNotHidrawAreRefusedWithoutCrashing) {
    // A regular file with a hidraw name, and a character device without one.
    const fs::path file = fs::temp_directory_path() / "hidraw7";
    std::ofstream(file) << "x";
    HidapiBackend backend(fs::temp_directory_path());
    for (const std::string& path : {file.string(), std::string("/dev/null")}) {
        HidInterfaceInfo info;
        info.path = path;
        EXPECT_EQ(backend.open(info, OpenMode::ReadOnly), nullptr) << path;
        EXPECT_EQ(backend.lastOpenError(), HidOpenError::Failed) << path;
    }
    fs::remove(file);
}

TEST(HidapiBackendOpen, AccessErrorsMapToPermissionAndVanishedNodesToNotFound) {
    EXPECT_EQ(openErrorFromErrno(EACCES), HidOpenError::PermissionDenied);
    EXPECT_EQ(openErrorFromErrno(EPERM), HidOpenError::PermissionDenied);
    EXPECT_EQ(openErrorFromErrno(ENOENT), HidOpenError::NotFound);
    EXPECT_EQ(openErrorFromErrno(ENODEV), HidOpenError::NotFound);
    EXPECT_EQ(openErrorFromErrno(EBUSY), HidOpenError::Failed);
}

// The advice names the rule where it is and asks only for what is left to do.
TEST(HidapiBackendOpen, PermissionAdviceNamesTheRuleWhereItIsFound) {
    test::TempDir dir;
    const fs::path etc = dir / "etc", lib = dir / "usr" / "lib" / "udev" / "rules.d";
    const fs::path optBin = dir / "opt" / "bin", optRule = dir / "opt/lib/udev/rules.d";
    for (const auto& folder : {etc, lib, optBin, optRule})
        fs::create_directories(folder);
    const std::string rule = kUdevRuleFileName;
    const std::vector<fs::path> udev{etc, lib};
    const std::string replug = "unplug and replug the mouse";
    struct Case {
        std::vector<fs::path> ruleFiles, emptyFiles;
        fs::path program;
        fs::path found;
        bool inEffect;
        std::vector<std::string> says, doesNotSay;
    } cases[] = {
        // Nowhere: only its name.
        {{},
         {},
         optBin,
         {},
         false,
         {"Install the udev rule " + rule, "udevadm control --reload", replug},
         {"installed"}},
        // Under the program's own prefix only: copy it from there.
        {{optRule / rule},
         {},
         optBin,
         optRule / rule,
         false,
         {"copy " + (optRule / rule).string() + " to /etc/udev/rules.d/",
          "udevadm control --reload", replug},
         {"installed"}},
        // Installed with the program under /usr: only the device is left to do.
        {{lib / rule},
         {},
         dir / "usr" / "bin",
         lib / rule,
         true,
         {"rule " + (lib / rule).string() + " is installed", replug, "udevadm trigger",
          "local seat"},
         {"copy", "control --reload"}},
        {{lib / rule, optRule / rule}, {}, optBin, lib / rule, true, {"is installed"}, {"copy"}},
        // An empty file of the same name earlier in udev's order masks it.
        {{lib / rule, optRule / rule},
         {etc / rule},
         optBin,
         optRule / rule,
         false,
         {"copy " + (optRule / rule).string()},
         {"installed"}},
    };
    for (const auto& c : cases) {
        for (const auto& folder : {etc, lib, optRule})
            fs::remove(folder / rule);
        for (const auto& file : c.ruleFiles)
            test::writeText(file, "TAG+=\"uaccess\"\n");
        for (const auto& file : c.emptyFiles)
            test::writeText(file, "");
        const UdevRuleLocation found = findUdevRule(c.program, udev);
        EXPECT_EQ(found.path, c.found);
        EXPECT_EQ(found.inEffect, c.inEffect) << found.path;
        const std::string advice = permissionAdvice("/dev/hidraw5", found);
        EXPECT_NE(advice.find("(/dev/hidraw5)"), std::string::npos) << advice;
        EXPECT_EQ(advice.find('\n'), std::string::npos) << advice;
        for (const auto& part : c.says)
            EXPECT_NE(advice.find(part), std::string::npos) << part << "\n" << advice;
        for (const auto& part : c.doesNotSay)
            EXPECT_EQ(advice.find(part), std::string::npos) << part << "\n" << advice;
    }
}

} // namespace
} // namespace qvr
