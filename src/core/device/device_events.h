#pragma once

#include "core/device/device_event_type.h"
#include "core/device/device_link.h"
#include "core/record/config_record.h"

#include <functional>
#include <optional>

namespace qvr {

// The byte of the configuration block read back with 0x8C where the mouse
// reports the DPI stage its own buttons are at (1 = stage 1). An upload
// sends the template's 1 there; the stage in use is the mouse's to keep.
inline constexpr std::size_t kBlockActiveStageOffset = 0x50;
// The stages the mouse can report; this model uses the first four.
inline constexpr int kDeviceDpiStages = 6;

// What the window does for the device side. notify must be synchronous: the
// balloon is handled before the device flag changes.
struct DeviceEventHooks {
    std::function<void(DeviceEventType type, int value)> notify;
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

// Right after the mouse is opened: reads the configuration block back (0x8C)
// and returns the DPI stage the mouse is at, 1..6; nothing when the mouse is
// absent or the byte names no stage.
std::optional<int> readActiveDpiStage(DeviceLink& link);
// The stage a block read back names, if any.
std::optional<int> activeDpiStageOf(const Block& block);

} // namespace qvr
