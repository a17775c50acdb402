#pragma once

#include "core/files/atomic_file.h"

#include <filesystem>
#include <string>

namespace qvr {

// The desktop's autostart entry that starts the program at login, into the
// tray: ${XDG_CONFIG_HOME:-$HOME/.config}/autostart/qvr.desktop.
std::filesystem::path autostartEntryPath();

// Whether the entry is there and not switched off (Hidden=true is how the
// desktop's own settings switch an entry off).
bool startsAtLogin(const std::filesystem::path& entry);

// The entry's text, starting program with --minimized.
std::string autostartEntryText(const std::filesystem::path& program);

// Writes the entry (creating the autostart folder) or removes it.
FileWriteResult setStartAtLogin(const std::filesystem::path& entry, bool on,
                                const std::filesystem::path& program);

} // namespace qvr
