#include "core/macros/macro_model.h"

#include "core/buttons/key_tables.h"
#include "core/files/text_codec.h"

#include <algorithm>
#include <limits>

namespace qvr {
namespace {

bool contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

std::string withoutAll(std::string_view text, std::string_view part) {
    std::string out;
    std::size_t from = 0;
    for (std::size_t at = text.find(part); at != std::string_view::npos;
         at = text.find(part, from)) {
        out.append(text.substr(from, at - from));
        from = at + part.size();
    }
    out.append(text.substr(from));
    return out;
}

} // namespace

std::string itemKey(std::size_t index) {
    return "Item" + std::to_string(index);
}

MacroItemKind macroItemKind(std::string_view text) {
    if (contains(text, kPressSuffix)) {
        return MacroItemKind::Press;
    }
    if (contains(text, kReleaseSuffix)) {
        return MacroItemKind::Release;
    }
    if (contains(text, kDelayMarker)) {
        return MacroItemKind::Delay;
    }
    return MacroItemKind::Other;
}

MacroItem parseMacroItem(std::string_view text) {
    MacroItem item;
    item.kind = macroItemKind(text);
    switch (item.kind) {
    case MacroItemKind::Press:
        item.keyName = std::string(text.substr(0, text.find(kPressSuffix)));
        break;
    case MacroItemKind::Release:
        item.keyName = std::string(text.substr(0, text.find(kReleaseSuffix)));
        break;
    case MacroItemKind::Delay:
        item.delayMs = delayTextMs(text);
        break;
    case MacroItemKind::Other:
        break;
    }
    return item;
}

std::string pressItem(std::string_view keyName) {
    return std::string(keyName) + std::string(kPressSuffix);
}

std::string releaseItem(std::string_view keyName) {
    return std::string(keyName) + std::string(kReleaseSuffix);
}

std::string delayItem(std::uint32_t delayMs) {
    return std::to_string(delayMs) + " ms";
}

std::uint64_t leadingNumber(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) {
        ++at;
    }
    constexpr std::uint64_t limit = std::numeric_limits<std::uint32_t>::max();
    std::uint64_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        value = std::min(limit, value * 10 + static_cast<std::uint64_t>(text[at] - '0'));
    }
    return value;
}

std::uint32_t delayTextMs(std::string_view text) {
    const std::uint64_t ms = leadingNumber(withoutAll(text, " ms"));
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(ms, kMaxDelayMs));
}

std::uint16_t macroLoopCount(const Macro& macro) {
    const std::uint64_t value = leadingNumber(macro.loopTimes);
    if (macro.loop && value >= 1 && value <= kMaxLoopCount) {
        return static_cast<std::uint16_t>(value);
    }
    return 1;
}

bool isValidMacroName(std::string_view name) {
    return !name.empty() && utf16Length(name) <= kMaxMacroNameLength;
}

std::uint8_t macroKeyCode(std::string_view keyName) {
    return keyName == "Application" ? 0 : keyNameToCode(keyName);
}

std::uint32_t recordedDelayMs(std::optional<std::uint32_t> previousEventTick,
                              std::uint32_t nowTick) {
    if (!previousEventTick) {
        return 0;
    }
    return std::min<std::uint32_t>(nowTick - *previousEventTick, kMaxDelayMs);
}

} // namespace qvr
