#include "core/device/config_block.h"

#include <algorithm>

namespace qvr {
namespace {

// Block offsets of the fields the upload writes over the template.
enum Offset : std::size_t {
    kEnable = 0x02,
    kAngleSnapMarker = 0x32,
    kAngleSnap = 0x33,
    kMarker40 = 0x40,
    kMarker46 = 0x46,
    kLightingMode = 0x47,
    kLightingSpeed = 0x48,
    kLightingExtra = 0x49,
    kSensitivityX = 0x4A,
    kSensitivityY = 0x4B,
    kDpiX = 0x54,
    kDpiY = 0x5C,
    kMarker64 = 0x64,
    kColors = 0x68,
    kColorsEnd = 0x80,
};

void applyLightingRule(const ConfigRecord& record, Block& block) {
    block[kLightingMode] = record.lightingMode;
    switch (record.lightingMode) {
    case 1:
        if (record.lightingParam1 == 1) {
            block[kLightingMode] = 0;
        } else {
            block[kLightingSpeed] = static_cast<std::uint8_t>(2 * record.lightingParam1);
            block[kLightingExtra] = 3;
        }
        break;
    case 2:
        block[kLightingSpeed] = static_cast<std::uint8_t>(6 - record.lightingParam2);
        block[kLightingExtra] = 3;
        break;
    case 3:
        block[kLightingSpeed] = static_cast<std::uint8_t>(3 * record.lightingParam3);
        break;
    default:
        break; // other modes go out as they are
    }
}

} // namespace

Block buildConfigurationBlock(const ConfigRecord& record) {
    Block block = kBlockTemplate;
    block[kEnable] = 0x01;
    block[kAngleSnapMarker] = 0x42;
    block[kAngleSnap] = angleSnapByte(record.angleSnapLevel);
    block[kMarker40] = 0x0F;
    block[kSensitivityX] = static_cast<std::uint8_t>(record.sensitivityX * 20);
    block[kSensitivityY] = static_cast<std::uint8_t>(record.sensitivityY * 20);
    applyLightingRule(record, block);
    block[kMarker64] = 0x0F;
    for (int stage = 0; stage < kDpiStagesUsed; ++stage) {
        block[kDpiX + stage] = record.dpiStage[stage];
        block[kDpiY + stage] = record.dpiStage[stage];
    }
    std::fill(block.begin() + kColors, block.begin() + kColorsEnd, 0);
    std::copy_n(record.stageColor.begin(), kDpiStagesUsed * 3, block.begin() + kColors);
    block[kMarker46] = 0x04;
    return block;
}

} // namespace qvr
