#pragma once

#include "core/device/hid_backend.h"
#include "core/device/virtual_mouse.h"

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace qvr {

// A HidBackend of virtual devices: any number of virtual mice among foreign
// HID interfaces. The mice present their real report descriptors, so their
// lengths come from the same parser the hidapi backend uses. Safe to use from
// several threads: the window plugs mice in and out while the device thread
// searches.
class VirtualHidBackend final : public HidBackend {
  public:
    // Linux lists hidraw nodes by USB interface number, which puts the
    // command collection first; other systems may list the other way round.
    enum class Order { ByInterfaceNumber, EventFirst };
    enum class Plug { Arrival, Removal };
    using PlugListener = std::function<void(Plug, const std::string& path)>;

    // Adds a mouse; returns it so a test or the tray menu can drive it.
    std::shared_ptr<VirtualMouse> addMouse(Order order = Order::ByInterfaceNumber);
    // A foreign interface listed before whatever is added after it. One that
    // is not openable fails every open.
    void addForeign(HidInterfaceInfo info, bool openable = true);
    // Makes every open of the node at path fail with error (None opens again).
    void refuseOpen(const std::string& path, HidOpenError error);

    // Plugging a mouse in or out raises the same events a hotplug monitor
    // would, through the listener.
    void setPlugListener(PlugListener listener);
    void unplug(const std::shared_ptr<VirtualMouse>& mouse);
    void plug(const std::shared_ptr<VirtualMouse>& mouse);

    std::vector<HidInterfaceInfo> enumerate() override;
    std::unique_ptr<HidDevice> open(const HidInterfaceInfo& info, OpenMode mode) override;
    HidOpenError lastOpenError() const override;

    // Every path open() was asked for, in order.
    std::vector<std::string> openedPaths() const;

  private:
    struct Entry {
        HidInterfaceInfo info;
        std::shared_ptr<VirtualMouse> mouse; // null for a foreign interface
        bool command = false;
        HidOpenError refusal = HidOpenError::None;
    };
    // The entries a plug or unplug concerns, for the listener, which is called
    // without the lock held.
    std::vector<std::string> pathsOf(const std::shared_ptr<VirtualMouse>& mouse) const;

    mutable std::mutex mutex_;
    std::vector<Entry> entries_;
    std::vector<std::string> opened_;
    HidOpenError lastOpenError_ = HidOpenError::None;
    PlugListener plugListener_;
    int mice_ = 0;
};

} // namespace qvr
