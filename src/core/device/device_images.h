#pragma once

#include <array>
#include <cstdint>

namespace qvr {

inline constexpr std::size_t kBlockSize = 128;
using Block = std::array<std::uint8_t, kBlockSize>;

// What the program last read from or built for the mouse. Cleared each time
// the mouse is opened and rebuilt by each upload.
struct DeviceImages {
    std::array<std::uint8_t, 2> deviceState{}; // slot read with 0x82, byte sent with 0x01
    std::array<Block, 6> profileBlocks{};
    Block buttonBlock{};
    std::array<Block, 12> macroBlocks{};

    void clear() { *this = DeviceImages{}; }
};

} // namespace qvr
