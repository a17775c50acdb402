#include "core/device/device_events.h"

namespace qvr {

bool connectAtStartup(DeviceLink& link, ConfigRecord& record) {
    if (!link.openMouse()) {
        link.setPresent(false);
        return false;
    }
    link.setPresent(true);
    link.protocol().openSequence(record);
    return true;
}

void onDeviceArrival(DeviceLink& link, ConfigRecord& record, const DeviceEventHooks& hooks) {
    if (link.openMouse()) {
        if (hooks.notify)
            hooks.notify(DeviceEventType::MouseDetected, 0);
        link.setPresent(true);
        link.protocol().openSequence(record);
        if (hooks.reloadProfile)
            hooks.reloadProfile();
        return;
    }
    if (hooks.notify)
        hooks.notify(DeviceEventType::MouseNotDetected, 0);
    if (hooks.hideWindow)
        hooks.hideWindow();
    link.setPresent(false);
}

void onDeviceRemoval(DeviceLink& link, const DeviceEventHooks& hooks) {
    if (link.openMouse()) {
        link.setPresent(true);
        return;
    }
    if (hooks.notify)
        hooks.notify(DeviceEventType::MouseNotDetected, 0);
    link.setPresent(false);
}

Block readBackForDpiEvent(DeviceLink& link, const ConfigRecord& record) {
    if (link.devicePresent) {
        MouseProtocol protocol = link.protocol();
        protocol.readActiveSlot();
        protocol.readConfigurationBlock();
    }
    const std::size_t slot =
        record.activeProfile < link.images.profileBlocks.size() ? record.activeProfile : 0;
    return link.images.profileBlocks[slot];
}

std::optional<int> activeDpiStageOf(const Block& block) {
    const int stage = block[kBlockActiveStageOffset];
    if (stage < 1 || stage > kDeviceDpiStages)
        return std::nullopt;
    return stage;
}

std::optional<int> readActiveDpiStage(DeviceLink& link) {
    if (!link.devicePresent)
        return std::nullopt;
    MouseProtocol protocol = link.protocol();
    // A short or failed answer leaves the byte cleared: no stage.
    link.images.profileBlocks[0] = {};
    if (protocol.readConfigurationBlock() <= kBlockActiveStageOffset)
        return std::nullopt;
    return activeDpiStageOf(link.images.profileBlocks[0]);
}

} // namespace qvr
