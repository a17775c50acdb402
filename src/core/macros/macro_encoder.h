#pragma once

#include "core/files/ini_file.h"
#include "core/macros/macro_model.h"
#include "core/record/config_record.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>

namespace qvr {

using MacroImage = std::array<std::uint8_t, kMacroImageSize>;
using MacroTable = std::array<std::uint8_t, kMacroPartSize>;

inline constexpr std::size_t kMacroEventAreaOffset = 2;
inline constexpr std::size_t kMacroEventAreaSize = kMacroImageSize - kMacroEventAreaOffset;

// The device form of one key event and the delay after it: [status, code]
// for up to 1270 ms, [status, code, D/100, 0x03] up to 25500 ms, and
// [status, code, 0x00, 0x03, D/100 high, D/100 low] beyond. Status bit 7 is
// set for a release; its low bits hold D/10 in the short form but D mod 100
// in the long forms.
struct EventRecord {
    std::array<std::uint8_t, 6> bytes{};
    std::size_t size = 0;
};
EventRecord encodeEventRecord(bool release, std::uint8_t code, std::uint32_t delayMs);

struct MacroEncoding {
    MacroImage image{};
    int eventsWritten = 0;
    // Events left out because their records would not fit into the 126-byte
    // event area; the macro is cut after its last whole record.
    int eventsDropped = 0;
};

// One macro image: the loop count big-endian, then one record per press or
// release item. The delay of an event comes from the item after it; with
// delays not recorded, an event not followed by a delay item gets 50 ms. A
// macro without items is 128 zero bytes, loop count included.
MacroEncoding encodeMacroReport(const Macro& macro);
MacroImage encodeMacro(const Macro& macro);
// The bytes the macro's event records take, whether or not they fit.
std::size_t macroEventBytes(const Macro& macro);

// The twelve images from a store image: image k is the k-th macro of
// listMacroNames, the rest stays zero.
MacroTable buildMacroTable(const IniFile& store);
// From "record.ini": all zeros when the file is missing. nullopt when it
// exists but cannot be read, so the caller keeps the table it has instead of
// wiping it.
std::optional<MacroTable> buildMacroTable(const std::filesystem::path& storePath);

} // namespace qvr
