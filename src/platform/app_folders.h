#pragma once

#include <filesystem>
#include <string>

namespace qvr {

// Where the program finds its files. Every path is absolute.

// The folder of the running executable, asked of the system (not derived
// from argv[0], which may be a relative name or a link).
std::filesystem::path executableFolder();

// The read-only factory data (profile files, "config.bin", "Skins/",
// "Update/"): "../share/qvr" from the executable, in a build tree as after an
// install.
std::filesystem::path factoryFolder();

// The user's own profile files: ${XDG_CONFIG_HOME:-$HOME/.config}/qvr. Not
// created here (see prepareUserFolder).
std::filesystem::path userFolder();

// The per-user folder for the single-instance lock and local sockets:
// $XDG_RUNTIME_DIR, or else a folder of the user's own in the temporary
// folder, created with mode 0700. problem is empty when the folder is
// usable; otherwise it says why (a folder of that name owned by someone
// else, or writable by others) and the folder must not be used.
struct RuntimeFolder {
    std::filesystem::path path;
    std::string problem;

    bool usable() const { return problem.empty(); }
};
RuntimeFolder runtimeFolder();

} // namespace qvr
