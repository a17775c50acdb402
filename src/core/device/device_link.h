#pragma once

#include "core/device/clock.h"
#include "core/device/device_images.h"
#include "core/device/hid_backend.h"
#include "core/device/mouse_protocol.h"
#include "core/device/wake_event.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace qvr {

// The two collections of the mouse the program talks to.
inline constexpr std::uint16_t kCommandUsagePage = 0xFF00;
inline constexpr std::uint16_t kCommandUsage = 0xFF00;
inline constexpr std::uint16_t kEventUsagePage = 0xFF01;
inline constexpr std::uint16_t kEventUsage = 0x0001;
inline constexpr std::uint16_t kCommandFeatureLength = 9;

bool isMouse(const HidInterfaceInfo& info);
bool isCommandCollection(const HidInterfaceInfo& info);
bool isEventCollection(const HidInterfaceInfo& info);

// What the program knows of the mouse: its open handles, report lengths, the
// device-present flag (the one gate of every command) and the device images.
// Lives as long as the program. The device thread searches, opens and writes
// it, one request at a time; the listener reads the flag and takes its own
// reference to the event handle; the window's thread reads only the flag.
class DeviceLink {
  public:
    DeviceLink(HidBackend& backend, Clock& clock);

    // Searches the HID interfaces for the mouse and opens its command
    // collection and its event collection, wherever each is listed: the
    // search goes on past the first one it opens until both are open or the
    // list ends. True when the command collection was opened. Nodes that
    // refuse to open are passed over and remembered in the refusals below.
    // Handles of an earlier search are let go first (the listener holds its
    // own reference while a read is under way, so it is never closed under
    // it). Does not change devicePresent: the callers decide when the
    // program learns of the mouse.
    bool openMouse();
    void closeHandles();

    HidDevice* commandHandle() const { return commandHandle_.get(); }
    std::shared_ptr<HidDevice> listenerHandle() const;
    MouseProtocol protocol();

    // Changes the device-present flag and wakes the listener, which sleeps
    // while the mouse is absent.
    void setPresent(bool present);

    std::atomic<bool> devicePresent{false};
    std::atomic<std::uint16_t> listenerReportLength{0};
    std::uint16_t featureReportLength = 0;
    std::uint16_t inputReportLength = 0;
    std::uint16_t outputReportLength = 0;
    // A node of the mouse itself that refused to open in the last search, so
    // the program can say which node lacks the permission.
    struct Refusal {
        std::string path; // empty: no refusal
        HidOpenError error = HidOpenError::None;
    };
    Refusal commandRefusal;
    Refusal eventRefusal;

    DeviceImages images;
    WakeEvent listenerWakeEvent;

  private:
    HidBackend& backend_;
    Clock& clock_;
    std::unique_ptr<HidDevice> commandHandle_;
    mutable std::mutex listenerMutex_;
    std::shared_ptr<HidDevice> listenerHandle_;
};

} // namespace qvr
