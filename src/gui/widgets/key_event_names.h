#pragma once

#include <Qt>
#include <string>

class QKeyEvent;

namespace qvr {

// Names a keystroke with the key table's texts ("A", "Right Ctrl", "Num
// Enter", "Left Windows"), whatever the keyboard layout. The physical key is
// taken from the event's scan code where the platform gives one; keys the key
// table does not know keep a readable name that maps to code 0.
std::string keyNameFromKeyEvent(const QKeyEvent& event);

// The fallback when an event carries no scan code (the offscreen platform,
// some Wayland compositors): the Qt key and the keypad flag, read as the keys
// of a US layout.
std::string keyNameFromQtKey(int key, Qt::KeyboardModifiers modifiers);

} // namespace qvr
