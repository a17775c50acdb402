#pragma once

#include "settings/command_runner.h"
#include "settings/pointer_values.h"

#include <ostream>
#include <set>
#include <string>
#include <vector>

namespace qvr {

// A refused setting, for a message box: text and caption.
struct PointerFailure {
    std::string text;
    std::string caption;
    bool operator==(const PointerFailure&) const = default;
};

// Puts a profile's pointer settings on the Linux desktop, in the order and
// with the refusals Windows would give. GNOME's mouse settings are used where
// the desktop has them (gsettings); elsewhere X11 pointer acceleration covers
// the precision switch. What the desktop simply does not have (GNOME keeps no
// wheel lines) is skipped and noted once on the given stream, never a
// message box at every Save.
class DesktopPointerSettings {
  public:
    DesktopPointerSettings(CommandRunner& runner, std::ostream& notes);

    // Applies the four settings, each whatever became of the others; returns
    // the failures in order.
    std::vector<PointerFailure> apply(const PointerValues& values);

    static constexpr const char* kSchema = "org.gnome.desktop.peripherals.mouse";

  private:
    bool hasGnomeSchema();
    bool gsettings(const std::string& key, const std::string& value);
    void noteOnce(const std::string& what);

    CommandRunner& runner_;
    std::ostream& notes_;
    int schemaKnown_ = -1; // -1 not asked yet
    std::set<std::string> noted_;
};

} // namespace qvr
