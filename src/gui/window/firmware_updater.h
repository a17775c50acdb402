#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

namespace qvr {

// The updater of the machine's native architecture, relative to the factory
// folder. cpuArchitecture is the name the system gives ("x86_64", "i686").
std::string_view updaterRelativePath(std::string_view cpuArchitecture);

// The installed updater for this machine, if there is one.
std::optional<std::filesystem::path>
firmwareUpdaterPath(const std::filesystem::path& factoryFolder);

// Starts the updater without waiting for it. A missing file starts nothing
// and says nothing. Returns whether a process was started.
bool launchFirmwareUpdater(const std::filesystem::path& factoryFolder);

} // namespace qvr
