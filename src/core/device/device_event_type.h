#pragma once

#include <cstdint>

namespace qvr {

// What a device notification is about: the mouse's own switches (the type
// byte of its event report) and the program learning that it came or went.
// A byte the mouse sends that is none of these still travels as this type,
// and shows nothing.
enum class DeviceEventType : std::uint8_t {
    DpiStage1 = 1, // types 1, 2 and 3 are handled alike
    DpiStage2 = 2,
    DpiStage3 = 3,
    MacroKey = 9,
    MouseDetected = 14,
    MouseNotDetected = 15,
};

} // namespace qvr
