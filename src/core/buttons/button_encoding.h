#pragma once

#include "core/record/config_record.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

namespace qvr {

inline constexpr std::size_t kButtonBlockSize = 128;
using ButtonEntry = std::array<std::uint8_t, 4>;

// The 4-byte device form of one button's assignment (buttonIndex 0..7).
// Values the mouse has no meaning for (unknown types, wheel choices, Windows
// commands or macro numbers, or a button index outside 0..7) give an
// all-zero entry, which the mouse treats as "no function".
ButtonEntry encodeButtonEntry(const ConfigRecord& record, int buttonIndex);

// Clears the block and puts each button's entry in its slot.
void buildButtonBlock(const ConfigRecord& record, std::span<std::uint8_t, kButtonBlockSize> block);

// The slot (4 bytes each) of buttons 1..8 in the button block. The firmware
// keeps the side buttons 4 and 5 apart from the others.
inline constexpr std::array<int, kButtonCount> kButtonSlots = {0, 1, 2, 14, 15, 3, 4, 5};
inline constexpr std::size_t kButtonEntrySize = 4;
static_assert(std::ranges::all_of(kButtonSlots, [](int slot) {
    return slot >= 0 && (static_cast<std::size_t>(slot) + 1) * kButtonEntrySize <= kButtonBlockSize;
}));

} // namespace qvr
