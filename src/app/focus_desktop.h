#pragma once

#include <string>

namespace qvr {

// Which desktop tells us the focused window, chosen from what the session
// says it is rather than from the first source that answers: under GNOME or
// KDE on Wayland an X11 connection still works, but sees only XWayland
// windows.
enum class FocusDesktop {
    X11,          // _NET_ACTIVE_WINDOW on the root window
    Wlroots,      // zwlr_foreign_toplevel_manager_v1 (sway, Hyprland, river, labwc)
    KdeWayland,   // KWin tells only its scripts
    GnomeWayland, // GNOME Shell tells only its extensions
    None,         // no display at all
};

struct SessionEnvironment {
    std::string sessionType;    // XDG_SESSION_TYPE
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string currentDesktop; // XDG_CURRENT_DESKTOP, names separated by ':'
    std::string display;        // DISPLAY

    static SessionEnvironment fromProcess();
};

FocusDesktop chooseFocusDesktop(const SessionEnvironment& session);
// Where the program learns the focus there, for qvrctl auto list.
std::string focusDesktopDescription(FocusDesktop desktop);
// Why automatic switching cannot work there; empty where it can.
std::string focusUnavailableReason(FocusDesktop desktop);

} // namespace qvr
