#pragma once

namespace qvr {

// Screen readers list the program by its title, "QVR 2.7", while its
// windows keep the X11 class the desktop knows it by. Installed once, before
// the first window is asked for.
void installApplicationAccessibility();

} // namespace qvr
