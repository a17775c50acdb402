#pragma once

#include <dlfcn.h>

namespace qvr {

// GIO, opened at the first call that needs it, so starts that need neither
// GNOME's settings nor the session bus never load it. Kept open for the rest
// of the run: GIO does not unload cleanly. nullptr where it is not installed.
inline void* gioLibrary() {
    static void* const library = ::dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
    return library;
}

// Points function at GIO's call of that name; false when there is none.
template <typename Function> bool findGioCall(const char* name, Function& function) {
    void* library = gioLibrary();
    function = library ? reinterpret_cast<Function>(::dlsym(library, name)) : nullptr;
    return function != nullptr;
}

} // namespace qvr
