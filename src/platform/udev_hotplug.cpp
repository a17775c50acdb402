#include "platform/udev_hotplug.h"

#include "core/device/hid_backend.h"

#include <charconv>
#include <cstdint>
#include <libudev.h>
#include <vector>

namespace qvr {

namespace {

std::optional<std::uint32_t> parseHex(std::string_view text) {
    if (text.empty() || text.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

bool isMouse(std::optional<std::uint32_t> vendor, std::optional<std::uint32_t> product) {
    return vendor == kMouseVendorId && product == kMouseProductId;
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

// "0003:000004D9:0000A0F4" (HID_ID) or "0003:04D9:A0F4" (hid folder name
// without its ".instance" suffix): bus, vendor, product in hex.
bool busVendorProductIsMouse(std::string_view text) {
    const std::vector<std::string_view> fields = split(text, ':');
    return fields.size() == 3 && parseHex(fields[0]) &&
           isMouse(parseHex(fields[1]), parseHex(fields[2]));
}

std::string_view property(const DeviceProperties& properties, std::string_view name) {
    const auto it = properties.find(name);
    return it == properties.end() ? std::string_view{} : std::string_view{it->second};
}

bool pairNamesMouse(const DeviceProperties& properties, std::string_view vendorKey,
                    std::string_view productKey) {
    return isMouse(parseHex(property(properties, vendorKey)),
                   parseHex(property(properties, productKey)));
}

bool devpathNamesMouse(std::string_view devpath) {
    for (std::string_view component : split(devpath, '/')) {
        const std::size_t dot = component.find('.');
        if (dot != std::string_view::npos && busVendorProductIsMouse(component.substr(0, dot))) {
            return true;
        }
    }
    return false;
}

std::string devnodeOf(const DeviceProperties& properties) {
    const std::string_view name = property(properties, "DEVNAME");
    if (name.empty() || name.front() == '/') {
        return std::string(name);
    }
    return "/dev/" + std::string(name); // kernel uevents name the node relative to /dev
}

} // namespace

bool propertiesNameMouse(const DeviceProperties& properties) {
    return busVendorProductIsMouse(property(properties, "HID_ID")) ||
           pairNamesMouse(properties, "idVendor", "idProduct") ||
           pairNamesMouse(properties, "ID_VENDOR_ID", "ID_MODEL_ID") ||
           devpathNamesMouse(property(properties, "DEVPATH"));
}

std::optional<HotplugEvent> HotplugClassifier::classify(std::string_view action,
                                                        const DeviceProperties& properties) {
    const std::string devnode = devnodeOf(properties);
    if (devnode.empty()) {
        return std::nullopt;
    }
    if (action == "add") {
        if (!propertiesNameMouse(properties)) {
            return std::nullopt;
        }
        knownNodes_.insert(devnode);
        return HotplugEvent{HotplugKind::Arrival, devnode};
    }
    if (action == "remove") {
        const bool known = knownNodes_.erase(devnode) > 0;
        if (!known && !propertiesNameMouse(properties)) {
            return std::nullopt;
        }
        return HotplugEvent{HotplugKind::Removal, devnode};
    }
    return std::nullopt;
}

UdevHotplugMonitor::UdevHotplugMonitor() {
    udev_ = udev_new();
    if (udev_ == nullptr) {
        return;
    }
    monitor_ = udev_monitor_new_from_netlink(udev_, "udev");
    if (monitor_ == nullptr) {
        return;
    }
    if (udev_monitor_filter_add_match_subsystem_devtype(monitor_, "hidraw", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor_) < 0) {
        udev_monitor_unref(monitor_);
        monitor_ = nullptr;
    }
}

UdevHotplugMonitor::~UdevHotplugMonitor() {
    if (monitor_ != nullptr) {
        udev_monitor_unref(monitor_);
    }
    if (udev_ != nullptr) {
        udev_unref(udev_);
    }
}

int UdevHotplugMonitor::fd() const {
    return monitor_ != nullptr ? udev_monitor_get_fd(monitor_) : -1;
}

namespace {

void addProperties(udev_device* device, DeviceProperties& properties) {
    udev_list_entry* entry = udev_device_get_properties_list_entry(device);
    for (; entry != nullptr; entry = udev_list_entry_get_next(entry)) {
        const char* name = udev_list_entry_get_name(entry);
        const char* value = udev_list_entry_get_value(entry);
        if (name != nullptr && value != nullptr) {
            properties.emplace(name, value);
        }
    }
}

void addSysattr(udev_device* device, const char* name, DeviceProperties& properties) {
    if (const char* value = udev_device_get_sysattr_value(device, name)) {
        properties.emplace(name, value);
    }
}

// The event's own properties, plus what its parents say while they still
// exist (on removal they usually do not).
DeviceProperties collectProperties(udev_device* device) {
    DeviceProperties properties;
    addProperties(device, properties);
    if (const char* devnode = udev_device_get_devnode(device)) {
        properties["DEVNAME"] = devnode;
    }
    // Parents are owned by the child device: no unref.
    if (udev_device* hid = udev_device_get_parent_with_subsystem_devtype(device, "hid", nullptr)) {
        if (const char* hidId = udev_device_get_property_value(hid, "HID_ID")) {
            properties.emplace("HID_ID", hidId);
        }
    }
    if (udev_device* usb =
            udev_device_get_parent_with_subsystem_devtype(device, "usb", "usb_device")) {
        addSysattr(usb, "idVendor", properties);
        addSysattr(usb, "idProduct", properties);
    }
    return properties;
}

} // namespace

std::optional<HotplugEvent> UdevHotplugMonitor::readEvent() {
    if (monitor_ == nullptr) {
        return std::nullopt;
    }
    // The monitor's socket is non-blocking, so this drains what is queued.
    while (udev_device* device = udev_monitor_receive_device(monitor_)) {
        const char* action = udev_device_get_action(device);
        const DeviceProperties properties = collectProperties(device);
        udev_device_unref(device);
        if (action == nullptr) {
            continue;
        }
        if (auto event = classifier_.classify(action, properties)) {
            return event;
        }
    }
    return std::nullopt;
}

} // namespace qvr
