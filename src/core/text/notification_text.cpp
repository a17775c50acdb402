#include "core/text/notification_text.h"

#include "core/record/config_record.h"

#include <tuple>

namespace qvr {
namespace {

bool isDpiStageEvent(int type) {
    return type == static_cast<int>(DeviceEventType::DpiStage1) ||
           type == static_cast<int>(DeviceEventType::DpiStage2) ||
           type == static_cast<int>(DeviceEventType::DpiStage3);
}

constexpr int kNamedStages =
    static_cast<int>(std::tuple_size_v<decltype(MainWindowTexts::dpiStageSwitched)>);

} // namespace

bool needsActiveBlock(int type, int value) {
    return isDpiStageEvent(type) && value >= 1 && value <= kNamedStages;
}

std::optional<Balloon> balloonForEvent(int type, int value, Language language,
                                       std::span<const std::uint8_t> activeBlock) {
    const MainWindowTexts& texts = mainWindowTexts(language);
    if (isDpiStageEvent(type)) {
        if (!needsActiveBlock(type, value)) {
            return std::nullopt;
        }
        const std::size_t offset = kBlockDpiStageOffset + static_cast<std::size_t>(value) - 1;
        const std::uint8_t stageByte = offset < activeBlock.size() ? activeBlock[offset] : 0;
        std::string text(texts.dpiStageSwitched[static_cast<std::size_t>(value) - 1]);
        text += std::to_string(stageByte * kDpiUnit);
        return Balloon{std::move(text), kInfoTitle, kEventBalloonTimeoutMs};
    }
    switch (type) {
    case static_cast<int>(DeviceEventType::MacroKey):
        if (value == 0) {
            return std::nullopt;
        }
        return Balloon{std::string(texts.macroKeySwitched) + std::to_string(value), kInfoTitle,
                       kEventBalloonTimeoutMs};
    case static_cast<int>(DeviceEventType::MouseDetected):
        return Balloon{std::string(texts.mouseDetected), kInfoTitle, kPresenceBalloonTimeoutMs};
    case static_cast<int>(DeviceEventType::MouseNotDetected):
        return Balloon{std::string(texts.mouseNotDetected), kWarningTitle,
                       kPresenceBalloonTimeoutMs};
    default:
        return std::nullopt;
    }
}

} // namespace qvr
