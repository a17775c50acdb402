#include "core/device/virtual_hid_backend.h"

#include "core/device/mouse_descriptor.h"
#include "core/device/report_descriptor.h"

namespace qvr {
namespace {

HidInterfaceInfo describe(std::span<const std::uint8_t> descriptor, std::string path,
                          int interfaceNumber) {
    HidInterfaceInfo info;
    info.path = std::move(path);
    info.vendorId = kMouseVendorId;
    info.productId = kMouseProductId;
    info.interfaceNumber = interfaceNumber;
    const auto parsed = parseReportDescriptor(descriptor);
    if (parsed && !parsed->collections.empty()) {
        const auto& collection = parsed->collections.front();
        info.usagePage = collection.usagePage;
        info.usage = collection.usage;
        info.inputReportLength = collection.inputReportLength;
        info.outputReportLength = collection.outputReportLength;
        info.featureReportLength = collection.featureReportLength;
    }
    return info;
}

} // namespace

std::shared_ptr<VirtualMouse> VirtualHidBackend::addMouse(Order order) {
    auto mouse = std::make_shared<VirtualMouse>();
    std::lock_guard lock(mutex_);
    const std::string base = "virtual:mouse" + std::to_string(mice_++);
    Entry command{describe(mouseCommandInterfaceDescriptor(), base + ":command",
                           kMouseCommandInterfaceNumber),
                  mouse, true};
    Entry event{
        describe(mouseEventInterfaceDescriptor(), base + ":event", kMouseEventInterfaceNumber),
        mouse, false};
    if (order == Order::EventFirst) {
        entries_.push_back(event);
        entries_.push_back(command);
    } else {
        entries_.push_back(command);
        entries_.push_back(event);
    }
    return mouse;
}

void VirtualHidBackend::addForeign(HidInterfaceInfo info, bool openable) {
    std::lock_guard lock(mutex_);
    entries_.push_back(Entry{std::move(info), nullptr, false,
                             openable ? HidOpenError::None : HidOpenError::PermissionDenied});
}

void VirtualHidBackend::refuseOpen(const std::string& path, HidOpenError error) {
    std::lock_guard lock(mutex_);
    for (auto& entry : entries_)
        if (entry.info.path == path)
            entry.refusal = error;
}

void VirtualHidBackend::setPlugListener(PlugListener listener) {
    plugListener_ = std::move(listener);
}

std::vector<std::string>
VirtualHidBackend::pathsOf(const std::shared_ptr<VirtualMouse>& mouse) const {
    std::lock_guard lock(mutex_);
    std::vector<std::string> paths;
    for (const auto& entry : entries_)
        if (entry.mouse == mouse)
            paths.push_back(entry.info.path);
    return paths;
}

void VirtualHidBackend::unplug(const std::shared_ptr<VirtualMouse>& mouse) {
    mouse->unplug();
    if (plugListener_)
        for (const std::string& path : pathsOf(mouse))
            plugListener_(Plug::Removal, path);
}

void VirtualHidBackend::plug(const std::shared_ptr<VirtualMouse>& mouse) {
    mouse->plug();
    if (plugListener_)
        for (const std::string& path : pathsOf(mouse))
            plugListener_(Plug::Arrival, path);
}

std::vector<HidInterfaceInfo> VirtualHidBackend::enumerate() {
    std::lock_guard lock(mutex_);
    std::vector<HidInterfaceInfo> list;
    for (const auto& entry : entries_)
        if (!entry.mouse || entry.mouse->plugged())
            list.push_back(entry.info);
    return list;
}

std::unique_ptr<HidDevice> VirtualHidBackend::open(const HidInterfaceInfo& info, OpenMode) {
    std::lock_guard lock(mutex_);
    opened_.push_back(info.path);
    lastOpenError_ = HidOpenError::NotFound;
    for (const auto& entry : entries_) {
        if (entry.info.path != info.path)
            continue;
        if (entry.refusal != HidOpenError::None) {
            lastOpenError_ = entry.refusal;
            return nullptr;
        }
        std::unique_ptr<HidDevice> device;
        if (!entry.mouse)
            // Foreign interfaces answer nothing; the search must never need them.
            device = std::make_unique<NullDevice>();
        else
            device = entry.command ? entry.mouse->openCommandCollection()
                                   : entry.mouse->openEventCollection();
        lastOpenError_ = device ? HidOpenError::None : HidOpenError::NotFound;
        return device;
    }
    return nullptr;
}

HidOpenError VirtualHidBackend::lastOpenError() const {
    std::lock_guard lock(mutex_);
    return lastOpenError_;
}

std::vector<std::string> VirtualHidBackend::openedPaths() const {
    std::lock_guard lock(mutex_);
    return opened_;
}

} // namespace qvr
