#include "core/text/notification_text.h"

#include "core/record/config_record.h"

#include <tuple>

namespace qvr {
namespace {

bool isDpiStageEvent(DeviceEventType type) {
    return type == DeviceEventType::DpiStage1 || type == DeviceEventType::DpiStage2 ||
           type == DeviceEventType::DpiStage3;
}

constexpr int kNamedStages =
    static_cast<int>(std::tuple_size_v<decltype(MainWindowTexts::dpiStageSwitched)>);

} // namespace

bool needsActiveBlock(DeviceEventType type, int value) {
    return isDpiStageEvent(type) && value >= 1 && value <= kNamedStages;
}

std::optional<Balloon> balloonForEvent(DeviceEventType type, int value, Language language,
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
    case DeviceEventType::MacroKey:
        if (value == 0) {
            return std::nullopt;
        }
        return Balloon{std::string(texts.macroKeySwitched) + std::to_string(value), kInfoTitle,
                       kEventBalloonTimeoutMs};
    case DeviceEventType::MouseDetected:
        return Balloon{std::string(texts.mouseDetected), kInfoTitle, kPresenceBalloonTimeoutMs};
    case DeviceEventType::MouseNotDetected:
        return Balloon{std::string(texts.mouseNotDetected), kWarningTitle,
                       kPresenceBalloonTimeoutMs};
    default:
        return std::nullopt;
    }
}

} // namespace qvr
