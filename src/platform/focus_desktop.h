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
    KdeWayland,   // KWin tells its scripts: ours calls us over the session bus
    GnomeWayland, // GNOME Shell tells its extensions: ours publishes it on the bus
    None,         // no display at all
};

struct SessionEnvironment {
    std::string sessionType;    // XDG_SESSION_TYPE
    std::string waylandDisplay; // WAYLAND_DISPLAY
    std::string currentDesktop; // XDG_CURRENT_DESKTOP, names separated by ':'
    std::string display;        // DISPLAY

    static SessionEnvironment fromProcess();
};

// The KWin script, under the factory folder.
inline constexpr char kKwinScriptPath[] = "kwin/focus.js";
// The GNOME Shell extension and the name it owns on the session bus while
// it runs.
inline constexpr char kGnomeExtensionUuid[] = "qvr-focus@qvr.github.io";
inline constexpr char kGnomeExtensionBusName[] = "io.github.qvr.ShellFocus";

// What the sources of those desktops find missing at start: the window
// shows its own words for these. The first begins every problem of a
// session bus that cannot be reached.
inline constexpr char kSessionBusUnreachable[] = "the D-Bus session bus cannot be reached";
inline constexpr char kKwinSilent[] = "KWin does not answer on the D-Bus session bus "
                                      "(org.kde.KWin), or did not run qvr's script.";
inline constexpr char kGnomeExtensionMissing[] =
    "GNOME Shell tells the focus only to its extensions: enable qvr's with "
    "\"gnome-extensions enable qvr-focus@qvr.github.io\", then log out and in again.";

FocusDesktop chooseFocusDesktop(const SessionEnvironment& session);
// Where the program learns the focus there, for qvrctl auto list.
std::string focusDesktopDescription(FocusDesktop desktop);
// Why automatic switching cannot work there; empty where it can.
std::string focusUnavailableReason(FocusDesktop desktop);
// Asks the session bus whether what tells the focus there is present, as
// its source would at start: the problem, or empty. Only KDE and GNOME on
// Wayland ask; qvrctl does, which runs no source.
std::string focusServiceProblem(FocusDesktop desktop);

} // namespace qvr
