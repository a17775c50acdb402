#include "core/buttons/evdev_key_names.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace qvr {

namespace {

struct EvdevKeyName {
    int code; // KEY_* number of the Linux input event codes
    std::string_view name;
};

// The Linux input event codes are a stable kernel ABI; they are spelled out
// here so that the core builds without Linux headers.
constexpr std::array kEvdevKeyNames = std::to_array<EvdevKeyName>({
    {1, "Esc"},          // KEY_ESC
    {2, "1"},            // KEY_1
    {3, "2"},            // KEY_2
    {4, "3"},            // KEY_3
    {5, "4"},            // KEY_4
    {6, "5"},            // KEY_5
    {7, "6"},            // KEY_6
    {8, "7"},            // KEY_7
    {9, "8"},            // KEY_8
    {10, "9"},           // KEY_9
    {11, "0"},           // KEY_0
    {12, "-"},           // KEY_MINUS
    {13, "="},           // KEY_EQUAL
    {14, "Backspace"},   // KEY_BACKSPACE
    {15, "Tab"},         // KEY_TAB
    {16, "Q"},           // KEY_Q
    {17, "W"},           // KEY_W
    {18, "E"},           // KEY_E
    {19, "R"},           // KEY_R
    {20, "T"},           // KEY_T
    {21, "Y"},           // KEY_Y
    {22, "U"},           // KEY_U
    {23, "I"},           // KEY_I
    {24, "O"},           // KEY_O
    {25, "P"},           // KEY_P
    {26, "["},           // KEY_LEFTBRACE
    {27, "]"},           // KEY_RIGHTBRACE
    {28, "Enter"},       // KEY_ENTER
    {29, "Ctrl"},        // KEY_LEFTCTRL
    {30, "A"},           // KEY_A
    {31, "S"},           // KEY_S
    {32, "D"},           // KEY_D
    {33, "F"},           // KEY_F
    {34, "G"},           // KEY_G
    {35, "H"},           // KEY_H
    {36, "J"},           // KEY_J
    {37, "K"},           // KEY_K
    {38, "L"},           // KEY_L
    {39, ";"},           // KEY_SEMICOLON
    {40, "'"},           // KEY_APOSTROPHE
    {41, "`"},           // KEY_GRAVE
    {42, "Shift"},       // KEY_LEFTSHIFT
    {43, "\\"},          // KEY_BACKSLASH (also the ISO key beside Enter)
    {44, "Z"},           // KEY_Z
    {45, "X"},           // KEY_X
    {46, "C"},           // KEY_C
    {47, "V"},           // KEY_V
    {48, "B"},           // KEY_B
    {49, "N"},           // KEY_N
    {50, "M"},           // KEY_M
    {51, ","},           // KEY_COMMA
    {52, "."},           // KEY_DOT
    {53, "/"},           // KEY_SLASH
    {54, "Right Shift"}, // KEY_RIGHTSHIFT
    {55, "Num *"},       // KEY_KPASTERISK
    {56, "Alt"},         // KEY_LEFTALT
    {57, "Space"},       // KEY_SPACE
    {58, "Caps Lock"},   // KEY_CAPSLOCK
    {59, "F1"},          // KEY_F1
    {60, "F2"},          // KEY_F2
    {61, "F3"},          // KEY_F3
    {62, "F4"},          // KEY_F4
    {63, "F5"},          // KEY_F5
    {64, "F6"},          // KEY_F6
    {65, "F7"},          // KEY_F7
    {66, "F8"},          // KEY_F8
    {67, "F9"},          // KEY_F9
    {68, "F10"},         // KEY_F10
    {69, "Num Lock"},    // KEY_NUMLOCK
    {70, "Scroll Lock"}, // KEY_SCROLLLOCK
    // The keypad reports the same codes with Num Lock on or off, so its keys
    // always get their "Num" names, as the key table expects.
    {71, "Num 7"},           // KEY_KP7
    {72, "Num 8"},           // KEY_KP8
    {73, "Num 9"},           // KEY_KP9
    {74, "Num -"},           // KEY_KPMINUS
    {75, "Num 4"},           // KEY_KP4
    {76, "Num 5"},           // KEY_KP5
    {77, "Num 6"},           // KEY_KP6
    {78, "Num +"},           // KEY_KPPLUS
    {79, "Num 1"},           // KEY_KP1
    {80, "Num 2"},           // KEY_KP2
    {81, "Num 3"},           // KEY_KP3
    {82, "Num 0"},           // KEY_KP0
    {83, "Num Del"},         // KEY_KPDOT
    {86, "102nd Key"},       // KEY_102ND: HID 0x64, which the mouse table lacks
    {87, "F11"},             // KEY_F11
    {88, "F12"},             // KEY_F12
    {96, "Num Enter"},       // KEY_KPENTER
    {97, "Right Ctrl"},      // KEY_RIGHTCTRL
    {98, "Num /"},           // KEY_KPSLASH
    {99, "Prnt Scrn"},       // KEY_SYSRQ
    {100, "Right Alt"},      // KEY_RIGHTALT (AltGr too)
    {102, "Home"},           // KEY_HOME
    {103, "Up"},             // KEY_UP
    {104, "Page Up"},        // KEY_PAGEUP
    {105, "Left"},           // KEY_LEFT
    {106, "Right"},          // KEY_RIGHT
    {107, "End"},            // KEY_END
    {108, "Down"},           // KEY_DOWN
    {109, "Page Down"},      // KEY_PAGEDOWN
    {110, "Insert"},         // KEY_INSERT
    {111, "Delete"},         // KEY_DELETE
    {113, "Mute"},           // KEY_MUTE
    {114, "Volume Down"},    // KEY_VOLUMEDOWN
    {115, "Volume Up"},      // KEY_VOLUMEUP
    {117, "Num ="},          // KEY_KPEQUAL
    {119, "Pause"},          // KEY_PAUSE
    {121, "Num ,"},          // KEY_KPCOMMA
    {125, "Left Windows"},   // KEY_LEFTMETA
    {126, "Right Windows"},  // KEY_RIGHTMETA
    {127, "Application"},    // KEY_COMPOSE, the context-menu key
    {163, "Next Track"},     // KEY_NEXTSONG
    {164, "Play/Pause"},     // KEY_PLAYPAUSE
    {165, "Previous Track"}, // KEY_PREVIOUSSONG
    {166, "Stop"},           // KEY_STOPCD
    {183, "F13"},            // KEY_F13
    {184, "F14"},            // KEY_F14
    {185, "F15"},            // KEY_F15
    {186, "F16"},            // KEY_F16
    {187, "F17"},            // KEY_F17
    {188, "F18"},            // KEY_F18
    {189, "F19"},            // KEY_F19
    {190, "F20"},            // KEY_F20
    {191, "F21"},            // KEY_F21
    {192, "F22"},            // KEY_F22
    {193, "F23"},            // KEY_F23
    {194, "F24"},            // KEY_F24
});

} // namespace

std::string keyNameFromEvdevCode(int code) {
    const auto row = std::ranges::find(kEvdevKeyNames, code, &EvdevKeyName::code);
    if (row != kEvdevKeyNames.end()) {
        return std::string{row->name};
    }
    return "Key " + std::to_string(code);
}

std::string keyNameFromX11Keycode(int keycode) {
    // Subtract in a wider type so that extreme inputs cannot overflow.
    const long long evdev = static_cast<long long>(keycode) - kX11KeycodeOffset;
    if (evdev < 0) {
        return "Key " + std::to_string(evdev);
    }
    return keyNameFromEvdevCode(static_cast<int>(evdev));
}

} // namespace qvr
