#include "settings/desktop_pointer_settings.h"

#include <cstdlib>
#include <sstream>

namespace qvr {
namespace {

std::string failureText(PointerSetting setting) {
    for (const auto& step : kPointerSteps)
        if (step.setting == setting)
            return std::string(step.failureMessage);
    return {};
}

bool hasX11Display() {
    const char* display = std::getenv("DISPLAY");
    return display && *display;
}

std::string decimal(double value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

} // namespace

DesktopPointerSettings::DesktopPointerSettings(CommandRunner& runner, std::ostream& notes)
    : runner_(runner), notes_(notes) {}

bool DesktopPointerSettings::hasGnomeSchema() {
    if (schemaKnown_ < 0)
        schemaKnown_ = runner_.run({"gsettings", "list-keys", kSchema}) == 0 ? 1 : 0;
    return schemaKnown_ == 1;
}

bool DesktopPointerSettings::gsettings(const std::string& key, const std::string& value) {
    return runner_.run({"gsettings", "set", kSchema, key, value}) == 0;
}

void DesktopPointerSettings::noteOnce(const std::string& what) {
    if (noted_.insert(what).second)
        notes_ << "qvr: " << what << '\n';
}

std::vector<PointerFailure> DesktopPointerSettings::apply(const PointerValues& values) {
    std::vector<PointerFailure> failures;
    auto refuse = [&](PointerSetting setting) {
        failures.push_back({failureText(setting), std::string(kPointerFailureCaption)});
    };
    const bool gnome = hasGnomeSchema();

    // Enhanced pointer precision is Windows' acceleration curve.
    const bool precision = values.mouseParameters[2] != 0;
    if (gnome) {
        if (!gsettings("accel-profile", precision ? "adaptive" : "flat"))
            refuse(PointerSetting::MouseParameters);
    } else if (hasX11Display()) {
        const std::vector<std::string> xset =
            precision ? std::vector<std::string>{"xset", "m", "2/1", "4"}
                      : std::vector<std::string>{"xset", "m", "1/1", "0"};
        if (runner_.run(xset) != 0)
            refuse(PointerSetting::MouseParameters);
    } else {
        noteOnce("this desktop offers no pointer acceleration setting; skipped.");
    }

    // Windows refuses speeds outside 1..20, and so do we, before asking.
    const auto speed = desktopSpeedFor(values.pointerSpeed);
    if (!speed) {
        refuse(PointerSetting::PointerSpeed);
    } else if (gnome) {
        if (!gsettings("speed", decimal(*speed)))
            refuse(PointerSetting::PointerSpeed);
    } else {
        noteOnce("this desktop offers no pointer speed setting; skipped.");
    }

    noteOnce("this desktop keeps no wheel scroll lines setting; skipped.");

    if (values.doubleClickTimeMs < 0) {
        refuse(PointerSetting::DoubleClickTime);
    } else if (gnome) {
        if (!gsettings("double-click", std::to_string(values.doubleClickTimeMs)))
            refuse(PointerSetting::DoubleClickTime);
    } else {
        noteOnce("this desktop offers no double-click time setting; skipped.");
    }
    return failures;
}

} // namespace qvr
