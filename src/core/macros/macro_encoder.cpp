#include "core/macros/macro_encoder.h"

#include "core/macros/macro_store.h"

#include <algorithm>

namespace qvr {
namespace {

constexpr std::uint32_t kShortFormMaxMs = 1270;
constexpr std::uint32_t kLongFormMaxMs = 25500;
constexpr std::uint8_t kReleaseBit = 0x80;
constexpr std::uint8_t kLongDelayMark = 0x03;

// The delay after an event, from the text of the item that follows it.
std::uint32_t delayAfterEvent(std::string_view nextItem, bool recordDelays) {
    // A following key item is no delay, even when its key name starts with
    // digits ("5   Dn" must not become 5 ms).
    const MacroItemKind nextKind = macroItemKind(nextItem);
    if (nextKind == MacroItemKind::Press || nextKind == MacroItemKind::Release) {
        nextItem = {};
    }
    if (!recordDelays && nextItem.find(kDelayMarker) == std::string_view::npos) {
        return kDefaultDelayMs;
    }
    return delayTextMs(nextItem);
}

} // namespace

EventRecord encodeEventRecord(bool release, std::uint8_t code, std::uint32_t delayMs) {
    delayMs = std::min(delayMs, kMaxDelayMs);
    const std::uint8_t direction = release ? kReleaseBit : 0;
    EventRecord record;
    if (delayMs <= kShortFormMaxMs) {
        record.bytes = {static_cast<std::uint8_t>(direction | delayMs / 10), code};
        record.size = 2;
        return record;
    }
    const auto status = static_cast<std::uint8_t>(direction | delayMs % 100);
    const std::uint32_t hundreds = delayMs / 100;
    if (delayMs <= kLongFormMaxMs) {
        record.bytes = {status, code, static_cast<std::uint8_t>(hundreds), kLongDelayMark};
        record.size = 4;
    } else {
        record.bytes = {status,
                        code,
                        0x00,
                        kLongDelayMark,
                        static_cast<std::uint8_t>(hundreds >> 8),
                        static_cast<std::uint8_t>(hundreds & 0xFF)};
        record.size = 6;
    }
    return record;
}

MacroEncoding encodeMacroReport(const Macro& macro) {
    MacroEncoding out;
    if (macro.items.empty()) {
        return out;
    }
    const std::uint16_t loops = macroLoopCount(macro);
    out.image[0] = static_cast<std::uint8_t>(loops >> 8);
    out.image[1] = static_cast<std::uint8_t>(loops & 0xFF);

    std::size_t at = kMacroEventAreaOffset;
    for (std::size_t j = 0; j < macro.items.size(); ++j) {
        const MacroItem item = parseMacroItem(macro.items[j]);
        if (item.kind != MacroItemKind::Press && item.kind != MacroItemKind::Release) {
            continue;
        }
        if (out.eventsDropped > 0) {
            ++out.eventsDropped;
            continue;
        }
        const std::string_view next =
            j + 1 < macro.items.size() ? std::string_view(macro.items[j + 1]) : std::string_view{};
        const EventRecord record =
            encodeEventRecord(item.kind == MacroItemKind::Release, macroKeyCode(item.keyName),
                              delayAfterEvent(next, macro.recordDelays));
        // Playing a later event without the ones before it would press keys
        // the user never recorded in that order, so the macro ends here.
        if (at + record.size > out.image.size()) {
            out.eventsDropped = 1;
            continue;
        }
        std::copy_n(record.bytes.begin(), record.size, out.image.begin() + at);
        at += record.size;
        ++out.eventsWritten;
    }
    return out;
}

std::size_t macroEventBytes(const Macro& macro) {
    std::size_t bytes = 0;
    for (std::size_t j = 0; j < macro.items.size(); ++j) {
        const MacroItemKind kind = macroItemKind(macro.items[j]);
        if (kind != MacroItemKind::Press && kind != MacroItemKind::Release) {
            continue;
        }
        const std::string_view next =
            j + 1 < macro.items.size() ? std::string_view(macro.items[j + 1]) : std::string_view{};
        bytes += encodeEventRecord(false, 0, delayAfterEvent(next, macro.recordDelays)).size;
    }
    return bytes;
}

MacroImage encodeMacro(const Macro& macro) {
    return encodeMacroReport(macro).image;
}

MacroTable buildMacroTable(const IniFile& store) {
    MacroTable table{};
    const std::vector<std::string> names = listMacroNames(store);
    const std::size_t count = std::min<std::size_t>(names.size(), kMacroCount);
    for (std::size_t k = 0; k < count; ++k) {
        const MacroImage image = encodeMacro(loadMacro(store, names[k]));
        std::copy(image.begin(), image.end(), table.begin() + k * kMacroImageSize);
    }
    return table;
}

std::optional<MacroTable> buildMacroTable(const std::filesystem::path& storePath) {
    const IniLoadResult loaded = loadIniFile(storePath);
    switch (loaded.status) {
    case IniLoadStatus::Loaded:
        return buildMacroTable(loaded.file);
    case IniLoadStatus::Missing:
        return MacroTable{};
    case IniLoadStatus::Failed:
        break;
    }
    return std::nullopt;
}

} // namespace qvr
