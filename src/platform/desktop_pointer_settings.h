#pragma once

#include "core/record/config_record.h"
#include "core/record/pointer_values.h"
#include "platform/pointer_desktop.h"

#include <optional>
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

struct PointerApplyResult {
    std::vector<PointerFailure> failures;
    // Settings the user changed that this desktop does not have, each named
    // once per run.
    std::vector<PointerSetting> missing;
};

// The desktop's own pointer settings, where it has them.
struct DesktopPointerReading {
    std::optional<double> speed; // -1.0..1.0
    std::optional<int> doubleClickMs;
    std::optional<bool> acceleration; // nullopt: the desktop's default curve
};

// Puts a profile's pointer settings on the Linux desktop: only those the
// user changed in this program, each whatever became of the others. GNOME's
// mouse settings are used where the desktop has them; on X11 without them,
// X pointer acceleration carries the precision switch.
class DesktopPointerSettings {
  public:
    DesktopPointerSettings(PointerDesktop& desktop, std::ostream& notes);

    PointerApplyResult apply(const PointerValues& values, const PointerChanges& changed);

    DesktopPointerReading read();
    // The desktop's current values on the record's gauges, for a profile
    // made anew; fields the desktop has no value for stay as they are.
    void takeDesktopValues(ConfigRecord& record);

    static constexpr const char* kSchema = "org.gnome.desktop.peripherals.mouse";

  private:
    bool hasGnomeSchema();
    void missing(PointerSetting setting, PointerApplyResult& result);

    PointerDesktop& desktop_;
    std::ostream& notes_;
    int schemaKnown_ = -1; // -1 not asked yet
    std::set<PointerSetting> noted_;
};

// X11 pointer control changes nothing useful in a Wayland session, even
// through XWayland.
bool x11PointerControlUsable();

} // namespace qvr
