#pragma once

#include "core/device/device_images.h"
#include "core/record/config_record.h"

namespace qvr {

// The 128-byte device configuration block sent with command 0x0C: the
// template with the record's settings written over it.
Block buildConfigurationBlock(const ConfigRecord& record);

} // namespace qvr
