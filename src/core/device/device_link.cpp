#include "core/device/device_link.h"

namespace qvr {

bool isMouse(const HidInterfaceInfo& info) {
    return info.vendorId == kMouseVendorId && info.productId == kMouseProductId;
}

bool isCommandCollection(const HidInterfaceInfo& info) {
    return isMouse(info) && info.usagePage == kCommandUsagePage && info.usage == kCommandUsage &&
           info.featureReportLength == kCommandFeatureLength;
}

bool isEventCollection(const HidInterfaceInfo& info) {
    return isMouse(info) && info.usagePage == kEventUsagePage && info.usage == kEventUsage &&
           info.inputReportLength != 0;
}

DeviceLink::DeviceLink(HidBackend& backend, Clock& clock) : backend_(backend), clock_(clock) {}

std::shared_ptr<HidDevice> DeviceLink::listenerHandle() const {
    std::lock_guard lock(listenerMutex_);
    return listenerHandle_;
}

void DeviceLink::closeHandles() {
    commandHandle_.reset();
    std::lock_guard lock(listenerMutex_);
    listenerHandle_.reset();
}

bool DeviceLink::openMouse() {
    closeHandles();
    // Wake the listener so it lets go of the old handle and sees the new one.
    listenerWakeEvent.set();
    commandRefusal = {};
    eventRefusal = {};

    // Interfaces that cannot be opened are passed over; on Linux a foreign
    // node, or one node of the mouse, refusing to open must not hide the rest.
    for (const HidInterfaceInfo& info : backend_.enumerate()) {
        if (!isMouse(info))
            continue;
        if (isEventCollection(info) && !listenerHandle()) {
            std::shared_ptr<HidDevice> handle = backend_.open(info, OpenMode::ReadOnly);
            if (!handle) {
                if (eventRefusal.path.empty())
                    eventRefusal = {info.path, backend_.lastOpenError()};
                continue;
            }
            eventRefusal = {};
            listenerReportLength = info.inputReportLength;
            {
                std::lock_guard lock(listenerMutex_);
                listenerHandle_ = std::move(handle);
            }
            listenerWakeEvent.set();
        } else if (isCommandCollection(info) && !commandHandle_) {
            commandHandle_ = backend_.open(info, OpenMode::ReadWrite);
            if (!commandHandle_) {
                if (commandRefusal.path.empty())
                    commandRefusal = {info.path, backend_.lastOpenError()};
                continue;
            }
            commandRefusal = {};
            featureReportLength = info.featureReportLength;
            inputReportLength = info.inputReportLength;
            outputReportLength = info.outputReportLength;
        }
        if (commandHandle_ && listenerHandle())
            break;
    }
    return commandHandle_ != nullptr;
}

void DeviceLink::setPresent(bool present) {
    devicePresent = present;
    listenerWakeEvent.set();
}

MouseProtocol DeviceLink::protocol() {
    static NullDevice absent;
    HidDevice* device = commandHandle_ ? commandHandle_.get() : &absent;
    return MouseProtocol(*device, clock_, images, inputReportLength);
}

} // namespace qvr
