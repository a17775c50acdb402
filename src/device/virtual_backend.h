#pragma once

#include "device/hid_backend.h"
#include "device/virtual_mouse.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qvr {

// A HidBackend of virtual devices: any number of virtual mice among foreign
// HID interfaces, listed in an order a test chooses. The mice present their
// real report descriptors, so their lengths come from the same parser the
// hidapi backend uses.
class VirtualHidBackend final : public HidBackend {
  public:
    enum class Order { EventFirst, CommandFirst };
    enum class Plug { Arrival, Removal };
    using PlugListener = std::function<void(Plug, const std::string& path)>;

    // Adds a mouse; returns it so a test or the tray menu can drive it.
    std::shared_ptr<VirtualMouse> addMouse(Order order = Order::EventFirst);
    // A foreign interface listed before whatever is added after it. One that
    // is not openable fails every open.
    void addForeign(HidInterfaceInfo info, bool openable = true);

    // Plugging a mouse in or out raises the same events a hotplug monitor
    // would, through the listener.
    void setPlugListener(PlugListener listener);
    void unplug(const std::shared_ptr<VirtualMouse>& mouse);
    void plug(const std::shared_ptr<VirtualMouse>& mouse);

    std::vector<HidInterfaceInfo> enumerate() override;
    std::unique_ptr<HidDevice> open(const HidInterfaceInfo& info, OpenMode mode) override;

    // Every path open() was asked for, in order.
    const std::vector<std::string>& openedPaths() const { return opened_; }

  private:
    struct Entry {
        HidInterfaceInfo info;
        std::shared_ptr<VirtualMouse> mouse; // null for a foreign interface
        bool command = false;
        bool openable = true;
    };
    std::vector<Entry> entries_;
    std::vector<std::string> opened_;
    PlugListener plugListener_;
    int mice_ = 0;
};

} // namespace qvr
