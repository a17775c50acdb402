#include "platform/focus_desktop.h"

#include "platform/session_bus.h"

#include <cstdlib>
#include <string_view>

namespace qvr {

namespace {

std::string variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string lowered(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

// XDG_CURRENT_DESKTOP is a list such as "ubuntu:GNOME".
bool desktopIs(const std::string& list, std::string_view name) {
    const std::string lower = lowered(list);
    for (std::size_t start = 0; start <= lower.size();) {
        const std::size_t end = std::min(lower.find(':', start), lower.size());
        if (std::string_view(lower).substr(start, end - start) == name)
            return true;
        start = end + 1;
    }
    return false;
}

} // namespace

SessionEnvironment SessionEnvironment::fromProcess() {
    return {variable("XDG_SESSION_TYPE"), variable("WAYLAND_DISPLAY"),
            variable("XDG_CURRENT_DESKTOP"), variable("DISPLAY")};
}

FocusDesktop chooseFocusDesktop(const SessionEnvironment& session) {
    const std::string type = lowered(session.sessionType);
    // A session that says it is X11 is, whatever a stray WAYLAND_DISPLAY says.
    const bool wayland = type == "wayland" || (type != "x11" && !session.waylandDisplay.empty());
    if (wayland) {
        if (desktopIs(session.currentDesktop, "kde"))
            return FocusDesktop::KdeWayland;
        if (desktopIs(session.currentDesktop, "gnome"))
            return FocusDesktop::GnomeWayland;
        // The compositor tells whether it offers the protocol when asked.
        return FocusDesktop::Wlroots;
    }
    return session.display.empty() ? FocusDesktop::None : FocusDesktop::X11;
}

std::string focusDesktopDescription(FocusDesktop desktop) {
    switch (desktop) {
    case FocusDesktop::X11:
        return "X11 (the window manager's _NET_ACTIVE_WINDOW)";
    case FocusDesktop::Wlroots:
        return "Wayland (zwlr_foreign_toplevel_manager_v1 of sway, Hyprland, river, labwc)";
    case FocusDesktop::KdeWayland:
        return "KDE Plasma on Wayland (a KWin script)";
    case FocusDesktop::GnomeWayland:
        return std::string("GNOME Shell on Wayland (the extension ") + kGnomeExtensionUuid + ")";
    case FocusDesktop::None:
        break;
    }
    return "no desktop session";
}

std::string focusUnavailableReason(FocusDesktop desktop) {
    switch (desktop) {
    case FocusDesktop::X11:
    case FocusDesktop::Wlroots:
    case FocusDesktop::KdeWayland:
    case FocusDesktop::GnomeWayland:
        return {};
    case FocusDesktop::None:
        break;
    }
    return "neither an X11 display (DISPLAY) nor a Wayland compositor (WAYLAND_DISPLAY) is set.";
}

std::string focusServiceProblem(FocusDesktop desktop) {
    const char* name = desktop == FocusDesktop::KdeWayland     ? "org.kde.KWin"
                       : desktop == FocusDesktop::GnomeWayland ? kGnomeExtensionBusName
                                                               : nullptr;
    if (!name)
        return {};
    SessionBus bus;
    std::string problem;
    if (!bus.connect(problem))
        return problem;
    if (!bus.nameOwner(name).empty())
        return {};
    return desktop == FocusDesktop::KdeWayland ? kKwinSilent : kGnomeExtensionMissing;
}

} // namespace qvr
