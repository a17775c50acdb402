#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qvr {

// What the pointer settings reach of the desktop: GNOME's mouse keys and
// X11's pointer acceleration. The program talks to GIO and the X server in
// its own process (LinuxPointerDesktop); tests put a recording desktop here.
class PointerDesktop {
  public:
    virtual ~PointerDesktop() = default;

    // Whether GNOME's mouse schema is installed. Without it the key calls
    // below read nothing and write nothing.
    virtual bool hasMouseSchema() = 0;
    // A key's value; nullopt when the schema has no such key of that type.
    virtual std::optional<double> readDouble(std::string_view key) = 0;
    virtual std::optional<int> readInt(std::string_view key) = 0;
    virtual std::optional<std::string> readString(std::string_view key) = 0;
    // False when the desktop refuses the value: no such key, another type,
    // outside the key's range or choices, or a key the user may not change.
    virtual bool writeDouble(std::string_view key, double value) = 0;
    virtual bool writeInt(std::string_view key, int value) = 0;
    virtual bool writeString(std::string_view key, std::string_view value) = 0;

    // X11's pointer acceleration (what `xset m NUMERATOR/DENOMINATOR
    // THRESHOLD` sets). False when no X server took it.
    virtual bool setX11Acceleration(int numerator, int denominator, int threshold) = 0;
};

} // namespace qvr
