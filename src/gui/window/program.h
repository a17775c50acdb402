#pragma once

#include <optional>
#include <string>
#include <vector>

namespace qvr {

// What the command line asks for.
struct AppOptions {
    bool virtualMouse = false;
    bool minimized = false; // into the tray, or iconified without one
    std::string traceFile;  // every report and wait, emptied at start
    bool help = false;
    bool version = false;
    std::string error; // set when the command line cannot be understood
};

// Reads the command line before Qt starts, so that a mistake is reported
// even where Qt could not start (no display). Qt's own options (-platform,
// -display, ...) are passed over with their values, in their -name and
// --name forms, for QApplication to take; anything else unknown is an error.
AppOptions parseAppOptions(const std::vector<std::string>& arguments);
const char* appUsage();

// Without a session bus, libdbus (under Qt) and GIO start one through
// dbus-launch at their first connection: seconds of waiting where HOME is not
// usable, and a dbus-daemon left running after the program. When neither
// DBUS_SESSION_BUS_ADDRESS nor $XDG_RUNTIME_DIR/bus is there, this sets an
// address that refuses at once, so nothing is started. Call it before Qt.
void keepSessionBusFromLaunching();
inline constexpr char kNoSessionBus[] = "unix:path=/dev/null/no-session-bus";

// The program's run: the command line, one instance per user, one main
// window for the whole run. Returns the process's exit code.
int runProgram(int argc, char** argv);

} // namespace qvr
