#pragma once

#include "core/record/config_record.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace qvr {

// Which macros a record's macro table holds: their names by table position,
// and the macro store's names, whose order the macro manager lists them in.
struct MacroNaming {
    std::vector<std::string> tableNames;
    std::vector<std::string> storeNames;
};

// A profile record written out for people: every field by name, buttons with
// their function and option or key names, DPI in DPI, colours as #rrggbb,
// the report rate in Hz, and each macro image decoded. Named macros are
// called by their names and listed first, in the macro manager's order.
std::string describeProfile(const ConfigRecord& record, std::uint8_t firstRunFlag,
                            const MacroNaming& naming = {});

// What one upload of the record sends, one block per line:
// "config-block: <hex>", "button-block: <hex>", "macro-1: <hex>" .. "macro-12: <hex>".
std::string describeUpload(const ConfigRecord& record);

// Lines "macro-1: <hex>" .. "macro-12: <hex>" for a 1536-byte macro table.
std::string describeMacroTable(std::span<const std::uint8_t> table);

} // namespace qvr
