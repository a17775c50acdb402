#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>

struct udev;
struct udev_monitor;

namespace qvr {

enum class HotplugKind { Arrival, Removal };

struct HotplugEvent {
    HotplugKind kind = HotplugKind::Arrival;
    std::string devnode; // /dev/hidrawN

    bool operator==(const HotplugEvent&) const = default;
};

// Properties of a hidraw uevent (ACTION, DEVNAME, DEVPATH, ...), with what
// could be learnt from its parents merged in: HID_ID of the hid device,
// idVendor and idProduct of the usb_device.
using DeviceProperties = std::map<std::string, std::string, std::less<>>;

// True when the properties name the mouse (04D9:A0F4) by any of: HID_ID
// ("0003:000004D9:0000A0F4"), idVendor/idProduct, ID_VENDOR_ID/ID_MODEL_ID,
// or the hid device folder in DEVPATH (".../0003:04D9:A0F4.0007/hidraw/...").
// The last one survives removal, when the parents are already gone.
bool propertiesNameMouse(const DeviceProperties& properties);

// Turns hidraw uevents into arrivals and removals of the mouse. Nodes seen
// arriving are remembered, so a removal is recognised even when its event
// carries nothing that names the device.
class HotplugClassifier {
  public:
    std::optional<HotplugEvent> classify(std::string_view action,
                                         const DeviceProperties& properties);

  private:
    std::set<std::string, std::less<>> knownNodes_;
};

// Watches udev for hidraw nodes of the mouse coming and going. Watch fd()
// for readability (QSocketNotifier), then call readEvent() until it returns
// nothing.
class UdevHotplugMonitor {
  public:
    UdevHotplugMonitor();
    ~UdevHotplugMonitor();
    UdevHotplugMonitor(const UdevHotplugMonitor&) = delete;
    UdevHotplugMonitor& operator=(const UdevHotplugMonitor&) = delete;

    // False when udev could not be reached (no netlink socket, for example);
    // fd() is then -1 and readEvent() returns nothing.
    bool isValid() const { return monitor_ != nullptr; }
    int fd() const;
    // Never blocks. Skips events of other devices.
    std::optional<HotplugEvent> readEvent();

  private:
    udev* udev_ = nullptr;
    udev_monitor* monitor_ = nullptr;
    HotplugClassifier classifier_;
};

} // namespace qvr
