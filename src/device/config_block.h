#pragma once

#include "config/config_record.h"
#include "device/device_images.h"

namespace qvr {

// The 128-byte device configuration block sent with command 0x0C: the
// template with the record's settings written over it.
Block buildConfigurationBlock(const ConfigRecord& record);

} // namespace qvr
