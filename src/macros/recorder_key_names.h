#pragma once

#include <string>

class QKeyEvent;

namespace qvr {

// The key-table name of a Qt key event. The physical key (X11 keycode) decides
// when the platform gives one, so left and right modifiers and keypad keys
// keep their own names; events without one (synthetic events, platforms
// without X keycodes) fall back to the Qt key. Empty for keys neither knows.
//
// FIXME: replace with the button page's key naming once both share one home.
std::string recorderKeyName(const QKeyEvent& event);

} // namespace qvr
