#include "gui/widgets/key_event_names.h"

#include "core/buttons/evdev_key_names.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <algorithm>
#include <array>
#include <span>
#include <string_view>

namespace qvr {

namespace {

struct QtKeyName {
    int key;
    std::string_view name;
};

// Keys outside the keypad. Shifted symbols of a US layout name the key that
// carries them, as a scan code would. Qt cannot tell the left modifier from
// the right one without a scan code; the left names are the better guess,
// since those are the keys people press. AltGr is the one right-hand key Qt
// does name apart.
constexpr auto kMainKeys = std::to_array<QtKeyName>({
    {Qt::Key_Return, "Enter"},
    {Qt::Key_Enter, "Num Enter"},
    {Qt::Key_Escape, "Esc"},
    {Qt::Key_Backspace, "Backspace"},
    {Qt::Key_Tab, "Tab"},
    {Qt::Key_Backtab, "Tab"},
    {Qt::Key_Space, "Space"},
    {Qt::Key_Minus, "-"},
    {Qt::Key_Underscore, "-"},
    {Qt::Key_Equal, "="},
    {Qt::Key_Plus, "="},
    {Qt::Key_BracketLeft, "["},
    {Qt::Key_BraceLeft, "["},
    {Qt::Key_BracketRight, "]"},
    {Qt::Key_BraceRight, "]"},
    {Qt::Key_Backslash, "\\"},
    {Qt::Key_Bar, "\\"},
    {Qt::Key_Semicolon, ";"},
    {Qt::Key_Colon, ";"},
    {Qt::Key_Apostrophe, "'"},
    {Qt::Key_QuoteDbl, "'"},
    {Qt::Key_QuoteLeft, "`"},
    {Qt::Key_AsciiTilde, "`"},
    {Qt::Key_Comma, ","},
    {Qt::Key_Less, ","},
    {Qt::Key_Period, "."},
    {Qt::Key_Greater, "."},
    {Qt::Key_Slash, "/"},
    {Qt::Key_Question, "/"},
    {Qt::Key_Exclam, "1"},
    {Qt::Key_At, "2"},
    {Qt::Key_NumberSign, "3"},
    {Qt::Key_Dollar, "4"},
    {Qt::Key_Percent, "5"},
    {Qt::Key_AsciiCircum, "6"},
    {Qt::Key_Ampersand, "7"},
    {Qt::Key_Asterisk, "8"},
    {Qt::Key_ParenLeft, "9"},
    {Qt::Key_ParenRight, "0"},
    {Qt::Key_CapsLock, "Caps Lock"},
    {Qt::Key_Print, "Prnt Scrn"},
    {Qt::Key_SysReq, "Prnt Scrn"},
    {Qt::Key_ScrollLock, "Scroll Lock"},
    {Qt::Key_Pause, "Pause"},
    {Qt::Key_Insert, "Insert"},
    {Qt::Key_Home, "Home"},
    {Qt::Key_PageUp, "Page Up"},
    {Qt::Key_Delete, "Delete"},
    {Qt::Key_End, "End"},
    {Qt::Key_PageDown, "Page Down"},
    {Qt::Key_Right, "Right"},
    {Qt::Key_Left, "Left"},
    {Qt::Key_Down, "Down"},
    {Qt::Key_Up, "Up"},
    {Qt::Key_NumLock, "Num Lock"},
    {Qt::Key_Menu, "Application"},
    {Qt::Key_Control, "Ctrl"},
    {Qt::Key_Shift, "Shift"},
    {Qt::Key_Alt, "Alt"},
    {Qt::Key_AltGr, "Right Alt"},
    {Qt::Key_Meta, "Left Windows"},
    {Qt::Key_Super_L, "Left Windows"},
    {Qt::Key_Super_R, "Right Windows"},
});

// Keys that carry the keypad flag. With Num Lock off the keypad sends the
// navigation keys; the key table names the physical key either way.
constexpr auto kKeypadKeys = std::to_array<QtKeyName>({
    {Qt::Key_Enter, "Num Enter"}, {Qt::Key_Return, "Num Enter"}, {Qt::Key_Slash, "Num /"},
    {Qt::Key_Asterisk, "Num *"},  {Qt::Key_Minus, "Num -"},      {Qt::Key_Plus, "Num +"},
    {Qt::Key_Period, "Num Del"},  {Qt::Key_Comma, "Num Del"},    {Qt::Key_Delete, "Num Del"},
    {Qt::Key_Insert, "Num 0"},    {Qt::Key_End, "Num 1"},        {Qt::Key_Down, "Num 2"},
    {Qt::Key_PageDown, "Num 3"},  {Qt::Key_Left, "Num 4"},       {Qt::Key_Clear, "Num 5"},
    {Qt::Key_Right, "Num 6"},     {Qt::Key_Home, "Num 7"},       {Qt::Key_Up, "Num 8"},
    {Qt::Key_PageUp, "Num 9"},    {Qt::Key_NumLock, "Num Lock"},
});

std::string find(std::span<const QtKeyName> table, int key) {
    const auto row = std::ranges::find(table, key, &QtKeyName::key);
    return row == table.end() ? std::string() : std::string(row->name);
}

} // namespace

std::string keyNameFromQtKey(int key, Qt::KeyboardModifiers modifiers) {
    if (key >= Qt::Key_A && key <= Qt::Key_Z)
        return std::string(1, static_cast<char>('A' + (key - Qt::Key_A)));
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        const std::string digit(1, static_cast<char>('0' + (key - Qt::Key_0)));
        return modifiers.testFlag(Qt::KeypadModifier) ? "Num " + digit : digit;
    }
    if (key >= Qt::Key_F1 && key <= Qt::Key_F35)
        return "F" + std::to_string(key - Qt::Key_F1 + 1);
    if (modifiers.testFlag(Qt::KeypadModifier)) {
        if (std::string name = find(kKeypadKeys, key); !name.empty())
            return name;
    }
    if (std::string name = find(kMainKeys, key); !name.empty())
        return name;
    // Anything else keeps what Qt calls it, which is in no table.
    const QString text = QKeySequence(key).toString(QKeySequence::PortableText);
    if (!text.isEmpty() && key != 0 && key != Qt::Key_unknown)
        return text.toStdString();
    return "Key " + std::to_string(key);
}

std::string keyNameFromKeyEvent(const QKeyEvent& event) {
    // On X11 and Wayland the scan code is the X11 keycode, evdev + 8. (A
    // Windows build would read the set-1 scan code here instead.)
    if (const quint32 scanCode = event.nativeScanCode(); scanCode != 0)
        return keyNameFromX11Keycode(static_cast<int>(scanCode));
    return keyNameFromQtKey(event.key(), event.modifiers());
}

} // namespace qvr
