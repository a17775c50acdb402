#pragma once

#include "core/device/hid_backend.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace qvr {

// One entry of hid_enumerate, as far as we use it. hidapi lists each
// collection of an interface as its own entry with the same path.
struct HidEnumerationEntry {
    std::string path; // /dev/hidrawN
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint16_t usagePage = 0;
    std::uint16_t usage = 0;
    int interfaceNumber = -1;
};

// Turns enumeration entries into one HidInterfaceInfo per top-level
// collection of each hidraw node, with the report lengths taken from the
// node's report descriptor under sysfsRoot. Works from sysfs alone and opens
// no device. Each path is read once; hidapi's extra entries for nested
// collections are not repeated. A node whose descriptor is missing,
// unreadable or malformed is left out.
std::vector<HidInterfaceInfo> buildInterfaceList(std::span<const HidEnumerationEntry> entries,
                                                 const std::filesystem::path& sysfsRoot);

// Reads sysfsRoot/class/hidraw/hidrawN/device/report_descriptor for the node
// /dev/hidrawN. Nothing when the path is not a hidraw node or the file
// cannot be read.
std::optional<std::vector<std::uint8_t>>
readHidrawReportDescriptor(const std::string& devnode, const std::filesystem::path& sysfsRoot);

// Maps the errno of a failed open() of a device node.
HidOpenError openErrorFromErrno(int error);

inline constexpr char kUdevRuleFileName[] = "70-qvr-mouse.rules";

// Where the mouse's udev rule is: in a folder udev reads (in effect), or
// only where the program's own prefix keeps it (to be copied). path is
// empty when it is found nowhere.
struct UdevRuleLocation {
    std::filesystem::path path;
    bool inEffect = false;
};

// The folders udev reads rules from, the one that wins over the others first.
std::vector<std::filesystem::path> udevRuleFolders();

// Looks in udevFolders, where the first file of the rule's name decides (an
// empty one or a link to /dev/null masks the rule), then under the program's
// prefix: lib/udev/rules.d beside the bin folder the program runs from.
UdevRuleLocation findUdevRule(const std::filesystem::path& programFolder,
                              const std::vector<std::filesystem::path>& udevFolders);

// The plain sentence to show once when the mouse is there but may not be
// opened: where the rule is and what is left to do.
std::string permissionAdvice(const std::string& devnode, const UdevRuleLocation& rule);

// HidBackend over hidapi's hidraw backend.
class HidapiBackend final : public HidBackend {
  public:
    explicit HidapiBackend(std::filesystem::path sysfsRoot = "/sys");
    ~HidapiBackend() override;
    HidapiBackend(const HidapiBackend&) = delete;
    HidapiBackend& operator=(const HidapiBackend&) = delete;

    std::vector<HidInterfaceInfo> enumerate() override;
    // hidraw offers no read-only open through hidapi: both modes open the
    // node for reading and writing, and ReadOnly only means the caller will
    // not write. Sets lastOpenError().
    std::unique_ptr<HidDevice> open(const HidInterfaceInfo& info, OpenMode mode) override;

    HidOpenError lastOpenError() const override { return lastOpenError_; }

  private:
    std::filesystem::path sysfsRoot_;
    HidOpenError lastOpenError_ = HidOpenError::None;
};

} // namespace qvr
