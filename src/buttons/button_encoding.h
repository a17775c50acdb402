#pragma once

#include "config/config_record.h"

#include <array>
#include <cstdint>
#include <span>

namespace qvr {

inline constexpr std::size_t kButtonBlockSize = 128;
using ButtonEntry = std::array<std::uint8_t, 4>;

// The 4-byte device form of one button's assignment (buttonIndex 0..7).
ButtonEntry EncodeButtonEntry(const ConfigRecord& record, int buttonIndex);

// Clears the block and puts each button's entry in its slot.
void BuildButtonBlock(const ConfigRecord& record, std::span<std::uint8_t, kButtonBlockSize> block);

} // namespace qvr
