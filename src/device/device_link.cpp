#include "device/device_link.h"

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
    seenButNotOpened = false;

    // The search ends at the command collection: an input collection listed
    // before it is opened for the listener, one listed after it is not.
    // Interfaces that cannot be opened are skipped; on Linux a foreign node
    // refusing to open must not hide the mouse.
    for (const HidInterfaceInfo& info : backend_.enumerate()) {
        devicePath = info.path;
        if (!isMouse(info))
            continue;
        if (isEventCollection(info)) {
            std::shared_ptr<HidDevice> handle = backend_.open(info, OpenMode::ReadOnly);
            if (!handle) {
                seenButNotOpened = true;
                continue;
            }
            listenerReportLength = info.inputReportLength;
            {
                std::lock_guard lock(listenerMutex_);
                listenerHandle_ = std::move(handle);
            }
            listenerWakeEvent.set();
            continue;
        }
        if (isCommandCollection(info)) {
            commandHandle_ = backend_.open(info, OpenMode::ReadWrite);
            if (!commandHandle_) {
                seenButNotOpened = true;
                continue;
            }
            seenButNotOpened = false;
            featureReportLength = info.featureReportLength;
            inputReportLength = info.inputReportLength;
            outputReportLength = info.outputReportLength;
            return true;
        }
    }
    return false;
}

void DeviceLink::setPresent(bool present) {
    devicePresent = present ? 1 : 0;
    listenerWakeEvent.set();
}

MouseProtocol DeviceLink::protocol() {
    static NullDevice absent;
    HidDevice* device = commandHandle_ ? commandHandle_.get() : &absent;
    return MouseProtocol(*device, clock_, images, inputReportLength);
}

} // namespace qvr
