#pragma once

#include "config/config_record.h"
#include "device/device_link.h"

#include <functional>

namespace qvr {

// Notification types the device side raises (the balloons of the window).
inline constexpr int kNotifyDetected = 14;
inline constexpr int kNotifyNotDetected = 15;

// What the window does for the device side. notify must be synchronous: the
// balloon is handled before the device flag changes.
struct DeviceEventHooks {
    std::function<void(int type, int value)> notify;
    std::function<void()> reloadProfile; // profile record and settings files
    std::function<void()> hideWindow;
};

// Start-up: search, and when the mouse is there, the open sequence. Returns
// whether the mouse is present.
bool connectAtStartup(DeviceLink& link, ConfigRecord& record);

// The mouse (or one of its nodes) arrived: search again, tell the user, run
// the open sequence and reload the current profile. No upload is made.
void onDeviceArrival(DeviceLink& link, ConfigRecord& record, const DeviceEventHooks& hooks);

// A node of the mouse went away: another matching device may still be there.
void onDeviceRemoval(DeviceLink& link, const DeviceEventHooks& hooks);

// For a DPI-stage event: reads the slot and the configuration block back
// from the mouse and returns the block image of slot activeProfile (block 0
// when a hand-edited file holds a slot beyond the six images).
Block readBackForDpiEvent(DeviceLink& link, const ConfigRecord& record);

} // namespace qvr
