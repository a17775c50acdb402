#include "macros/recorder_key_names.h"

#include "buttons/evdev_key_names.h"

#include <QKeyEvent>
#include <array>
#include <string_view>

namespace qvr {

namespace {

struct QtKeyName {
    int key;
    std::string_view name;
};

// Keys whose Qt code does not spell their key-table name. Letters, digits
// and F1..F24 are formed from the code.
constexpr std::array kQtKeyNames = std::to_array<QtKeyName>({
    {Qt::Key_Escape, "Esc"},
    {Qt::Key_Tab, "Tab"},
    {Qt::Key_Backtab, "Tab"},
    {Qt::Key_Backspace, "Backspace"},
    {Qt::Key_Return, "Enter"},
    {Qt::Key_Enter, "Num Enter"},
    {Qt::Key_Insert, "Insert"},
    {Qt::Key_Delete, "Delete"},
    {Qt::Key_Pause, "Pause"},
    {Qt::Key_Print, "Prnt Scrn"},
    {Qt::Key_Home, "Home"},
    {Qt::Key_End, "End"},
    {Qt::Key_Left, "Left"},
    {Qt::Key_Up, "Up"},
    {Qt::Key_Right, "Right"},
    {Qt::Key_Down, "Down"},
    {Qt::Key_PageUp, "Page Up"},
    {Qt::Key_PageDown, "Page Down"},
    {Qt::Key_Shift, "Shift"},
    {Qt::Key_Control, "Ctrl"},
    {Qt::Key_Meta, "Left Windows"},
    {Qt::Key_Super_L, "Left Windows"},
    {Qt::Key_Super_R, "Right Windows"},
    {Qt::Key_Alt, "Alt"},
    {Qt::Key_AltGr, "Right Alt"},
    {Qt::Key_CapsLock, "Caps Lock"},
    {Qt::Key_NumLock, "Num Lock"},
    {Qt::Key_ScrollLock, "Scroll Lock"},
    {Qt::Key_Menu, "Application"},
    {Qt::Key_Space, "Space"},
    {Qt::Key_Minus, "-"},
    {Qt::Key_Equal, "="},
    {Qt::Key_BracketLeft, "["},
    {Qt::Key_BracketRight, "]"},
    {Qt::Key_Backslash, "\\"},
    {Qt::Key_Semicolon, ";"},
    {Qt::Key_Apostrophe, "'"},
    {Qt::Key_QuoteLeft, "`"},
    {Qt::Key_Comma, ","},
    {Qt::Key_Period, "."},
    {Qt::Key_Slash, "/"},
});

std::string nameFromQtKey(int key) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return std::string(1, static_cast<char>('A' + (key - Qt::Key_A)));
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return std::string(1, static_cast<char>('0' + (key - Qt::Key_0)));
    if (key >= Qt::Key_F1 && key <= Qt::Key_F24)
        return "F" + std::to_string(key - Qt::Key_F1 + 1);
    for (const QtKeyName& row : kQtKeyNames) {
        if (row.key == key)
            return std::string(row.name);
    }
    return {};
}

} // namespace

std::string recorderKeyName(const QKeyEvent& event) {
    if (event.nativeScanCode() > kX11KeycodeOffset)
        return keyNameFromX11Keycode(static_cast<int>(event.nativeScanCode()));
    return nameFromQtKey(event.key());
}

} // namespace qvr
