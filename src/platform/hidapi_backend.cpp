#include "platform/hidapi_backend.h"

#include "core/device/report_descriptor.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <fstream>
#include <hidapi.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qvr {

namespace fs = std::filesystem;

namespace {

// The kernel refuses descriptors above 4096 bytes (HID_MAX_DESCRIPTOR_SIZE);
// anything far beyond that in sysfs is not a report descriptor.
constexpr std::size_t kMaxDescriptorFileSize = 65536;

constexpr std::string_view kHidrawPrefix = "hidraw";

// "hidraw12" from "/dev/hidraw12"; nothing for any other name, so a path
// from outside can never steer the sysfs look-up elsewhere.
std::optional<std::string> hidrawNodeName(const std::string& devnode) {
    const std::string name = std::filesystem::path(devnode).filename().string();
    if (name.size() <= kHidrawPrefix.size() || name.size() > kHidrawPrefix.size() + 9 ||
        name.compare(0, kHidrawPrefix.size(), kHidrawPrefix) != 0) {
        return std::nullopt;
    }
    const bool digits = std::all_of(name.begin() + kHidrawPrefix.size(), name.end(),
                                    [](char c) { return c >= '0' && c <= '9'; });
    if (!digits) {
        return std::nullopt;
    }
    return name;
}

class HidapiDevice final : public HidDevice {
  public:
    HidapiDevice(hid_device* handle, bool reportsNumbered)
        : handle_(handle), reportsNumbered_(reportsNumbered) {}
    ~HidapiDevice() override { hid_close(handle_); }
    HidapiDevice(const HidapiDevice&) = delete;
    HidapiDevice& operator=(const HidapiDevice&) = delete;

    bool setFeature(std::span<const std::uint8_t> report) override {
        if (!fitsInt(report.size()) || report.empty()) {
            return false;
        }
        const int sent = hid_send_feature_report(handle_, report.data(), report.size());
        return sent == static_cast<int>(report.size());
    }

    int getFeature(std::span<std::uint8_t> buffer) override {
        if (!fitsInt(buffer.size()) || buffer.empty()) {
            return -1;
        }
        return hid_get_feature_report(handle_, buffer.data(), buffer.size());
    }

    int write(std::span<const std::uint8_t> report) override {
        if (!fitsInt(report.size()) || report.empty()) {
            return -1;
        }
        return hid_write(handle_, report.data(), report.size());
    }

    int read(std::span<std::uint8_t> buffer, int timeoutMs) override {
        if (!fitsInt(buffer.size()) || buffer.empty()) {
            return -1;
        }
        if (reportsNumbered_) {
            return hid_read_timeout(handle_, buffer.data(), buffer.size(), timeoutMs);
        }
        // hidraw reads an unnumbered report without the 0 in front, while
        // every buffer of a HidDevice starts with the report ID: add it.
        if (buffer.size() < 2) {
            return -1;
        }
        buffer[0] = 0;
        const int got = hid_read_timeout(handle_, buffer.data() + 1, buffer.size() - 1, timeoutMs);
        return got > 0 ? got + 1 : got;
    }

  private:
    static bool fitsInt(std::size_t size) { return size <= static_cast<std::size_t>(INT_MAX); }

    hid_device* handle_;
    bool reportsNumbered_;
};

} // namespace

std::optional<std::vector<std::uint8_t>>
readHidrawReportDescriptor(const std::string& devnode, const std::filesystem::path& sysfsRoot) {
    const std::optional<std::string> node = hidrawNodeName(devnode);
    if (!node) {
        return std::nullopt;
    }
    const std::filesystem::path file =
        sysfsRoot / "class" / "hidraw" / *node / "device" / "report_descriptor";
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) {
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    // sysfs reports a size of 4096 for every attribute, so read to the end
    // rather than trusting the file size.
    std::vector<std::uint8_t> bytes;
    char chunk[4096];
    while (in.read(chunk, sizeof chunk) || in.gcount() > 0) {
        bytes.insert(bytes.end(), chunk, chunk + in.gcount());
        if (bytes.size() > kMaxDescriptorFileSize) {
            return std::nullopt;
        }
    }
    if (in.bad()) {
        return std::nullopt;
    }
    return bytes;
}

std::vector<HidInterfaceInfo> buildInterfaceList(std::span<const HidEnumerationEntry> entries,
                                                 const std::filesystem::path& sysfsRoot) {
    std::vector<HidInterfaceInfo> interfaces;
    std::vector<std::string> seenPaths;
    for (const HidEnumerationEntry& entry : entries) {
        if (std::find(seenPaths.begin(), seenPaths.end(), entry.path) != seenPaths.end()) {
            continue;
        }
        seenPaths.push_back(entry.path);

        const auto descriptor = readHidrawReportDescriptor(entry.path, sysfsRoot);
        if (!descriptor) {
            continue;
        }
        const DescriptorResult parsed = parseReportDescriptor(*descriptor);
        if (!parsed) {
            continue;
        }
        for (const TopLevelCollection& collection : parsed->collections) {
            HidInterfaceInfo info;
            info.path = entry.path;
            info.vendorId = entry.vendorId;
            info.productId = entry.productId;
            info.usagePage = collection.usagePage;
            info.usage = collection.usage;
            info.inputReportLength = collection.inputReportLength;
            info.outputReportLength = collection.outputReportLength;
            info.featureReportLength = collection.featureReportLength;
            info.interfaceNumber = entry.interfaceNumber;
            interfaces.push_back(std::move(info));
        }
    }
    return interfaces;
}

HidOpenError openErrorFromErrno(int error) {
    switch (error) {
    case 0:
        return HidOpenError::None;
    case EACCES:
    case EPERM:
        return HidOpenError::PermissionDenied;
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return HidOpenError::NotFound;
    default:
        return HidOpenError::Failed;
    }
}

std::vector<fs::path> udevRuleFolders() {
    return {"/etc/udev/rules.d", "/run/udev/rules.d", "/usr/local/lib/udev/rules.d",
            "/usr/lib/udev/rules.d", "/lib/udev/rules.d"};
}

UdevRuleLocation findUdevRule(const fs::path& programFolder,
                              const std::vector<fs::path>& udevFolders) {
    std::error_code error;
    for (const fs::path& folder : udevFolders) {
        const fs::path rule = folder / kUdevRuleFileName;
        if (!fs::exists(fs::symlink_status(rule, error)))
            continue;
        if (fs::is_regular_file(rule, error) && fs::file_size(rule, error) > 0 && !error)
            return {rule, true};
        break; // masked, and udev reads none of the others
    }
    const fs::path own =
        (programFolder / ".." / "lib" / "udev" / "rules.d" / kUdevRuleFileName).lexically_normal();
    if (fs::is_regular_file(own, error))
        return {own, false};
    return {};
}

std::string permissionAdvice(const std::string& devnode, const UdevRuleLocation& rule) {
    const std::string problem =
        "The mouse is connected (" + devnode + "), but this user may not open it. ";
    const std::string reload = "run \"sudo udevadm control --reload\" and \"sudo udevadm "
                               "trigger\", then unplug and replug the mouse.";
    if (rule.inEffect)
        return problem + "The udev rule " + rule.path.string() +
               " is installed: unplug and replug the mouse, or run \"sudo udevadm trigger\". "
               "It gives access only to the user logged in at the local seat, not over SSH.";
    if (!rule.path.empty())
        return problem + "Install the udev rule: copy " + rule.path.string() +
               " to /etc/udev/rules.d/, " + reload;
    return problem + "Install the udev rule " + kUdevRuleFileName +
           ": copy it to /etc/udev/rules.d/, " + reload;
}

HidapiBackend::HidapiBackend(std::filesystem::path sysfsRoot) : sysfsRoot_(std::move(sysfsRoot)) {}

// hidapi's hidraw backend keeps only an error string as global state, so
// releasing it here does not disturb devices that outlive the backend.
HidapiBackend::~HidapiBackend() {
    hid_exit();
}

std::vector<HidInterfaceInfo> HidapiBackend::enumerate() {
    std::vector<HidEnumerationEntry> entries;
    hid_device_info* list = hid_enumerate(0, 0);
    for (const hid_device_info* info = list; info != nullptr; info = info->next) {
        if (info->path == nullptr) {
            continue;
        }
        entries.push_back({info->path, info->vendor_id, info->product_id, info->usage_page,
                           info->usage, info->interface_number});
    }
    hid_free_enumeration(list);
    return buildInterfaceList(entries, sysfsRoot_);
}

std::unique_ptr<HidDevice> HidapiBackend::open(const HidInterfaceInfo& info, OpenMode /*mode*/) {
    lastOpenError_ = HidOpenError::None;
    // hidapi 0.13.1 crashes (a free of garbage) when hid_open_path is given
    // a node that is not hidraw, so only hidraw character devices reach it.
    struct stat status {};
    if (::stat(info.path.c_str(), &status) != 0) {
        const HidOpenError error = openErrorFromErrno(errno);
        lastOpenError_ = error == HidOpenError::None ? HidOpenError::Failed : error;
        return nullptr;
    }
    if (!S_ISCHR(status.st_mode) || !hidrawNodeName(info.path)) {
        lastOpenError_ = HidOpenError::Failed;
        return nullptr;
    }
    hid_device* handle = hid_open_path(info.path.c_str());
    if (handle == nullptr) {
        // hidapi does not keep errno; ask the node itself, without opening it.
        if (::access(info.path.c_str(), R_OK | W_OK) == 0) {
            lastOpenError_ = HidOpenError::Failed;
        } else {
            const HidOpenError error = openErrorFromErrno(errno);
            lastOpenError_ = error == HidOpenError::None ? HidOpenError::Failed : error;
        }
        return nullptr;
    }
    // Whether reports are numbered decides how reads are framed.
    std::optional<bool> numbered;
    if (const auto descriptor = readHidrawReportDescriptor(info.path, sysfsRoot_)) {
        if (const DescriptorResult parsed = parseReportDescriptor(*descriptor)) {
            numbered = parsed->usesReportIds;
        }
    }
    if (!numbered) {
        hid_close(handle);
        lastOpenError_ = HidOpenError::DescriptorUnreadable;
        return nullptr;
    }
    return std::make_unique<HidapiDevice>(handle, *numbered);
}

} // namespace qvr
