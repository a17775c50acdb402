#pragma once

#include <string>

namespace qvr {

// Names a physical key, given its Linux evdev key code, with the key-name
// texts of the key table, so that left and right modifiers, keypad keys and
// the navigation block keep their own names whatever the keyboard layout or
// the Num Lock state. Keys the key table does not know get a readable name
// ("F13", "Key 183") that is in no table and so maps to code 0.
std::string keyNameFromEvdevCode(int code);

// The same for an X11 keycode, which is the evdev code plus 8 (this is what
// Qt's QKeyEvent::nativeScanCode() gives on X11 and on Wayland via xkb).
std::string keyNameFromX11Keycode(int keycode);

inline constexpr int kX11KeycodeOffset = 8;

} // namespace qvr
