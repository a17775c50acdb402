#pragma once

namespace qvr {

// Names other programs know this one by; they never change.
// The class name other programs find the window by (WM_CLASS on X11).
inline constexpr char kWindowClassName[] = "VL384-netGMClass";
// The installed desktop entry's name, also the Wayland app id.
inline constexpr char kDesktopFileName[] = "qvr";

} // namespace qvr
