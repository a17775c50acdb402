#include "platform/desktop_pointer_settings.h"

#include <cstdlib>
#include <string_view>

namespace qvr {
namespace {

std::string failureText(PointerSetting setting) {
    for (const auto& step : kPointerSteps)
        if (step.setting == setting)
            return std::string(step.failureMessage);
    return {};
}

const char* settingName(PointerSetting setting) {
    switch (setting) {
    case PointerSetting::MouseParameters:
        return "pointer acceleration";
    case PointerSetting::PointerSpeed:
        return "pointer speed";
    case PointerSetting::WheelScrollLines:
        return "wheel scroll lines";
    case PointerSetting::DoubleClickTime:
        return "double-click time";
    }
    return "";
}

} // namespace

bool x11PointerControlUsable() {
    const auto set = [](const char* name) {
        const char* value = std::getenv(name);
        return value && *value;
    };
    const char* session = std::getenv("XDG_SESSION_TYPE");
    const bool wayland =
        set("WAYLAND_DISPLAY") || (session && std::string_view(session) == "wayland");
    return set("DISPLAY") && !wayland;
}

DesktopPointerSettings::DesktopPointerSettings(PointerDesktop& desktop, std::ostream& notes)
    : desktop_(desktop), notes_(notes) {}

bool DesktopPointerSettings::hasGnomeSchema() {
    if (schemaKnown_ < 0)
        schemaKnown_ = desktop_.hasMouseSchema() ? 1 : 0;
    return schemaKnown_ == 1;
}

void DesktopPointerSettings::missing(PointerSetting setting, PointerApplyResult& result) {
    if (!noted_.insert(setting).second)
        return;
    notes_ << "qvr: this desktop has no " << settingName(setting) << " setting; skipped.\n";
    result.missing.push_back(setting);
}

PointerApplyResult DesktopPointerSettings::apply(const PointerValues& values,
                                                 const PointerChanges& changed) {
    PointerApplyResult result;
    auto refuse = [&](PointerSetting setting) {
        result.failures.push_back({failureText(setting), std::string(kPointerFailureCaption)});
    };
    if (!changed.any())
        return result;
    const bool gnome = hasGnomeSchema();

    if (changed.precision) {
        // Enhanced pointer precision is Windows' acceleration curve.
        const bool precision = values.mouseParameters[2] != 0;
        if (gnome) {
            if (!desktop_.writeString("accel-profile", precision ? "adaptive" : "flat"))
                refuse(PointerSetting::MouseParameters);
        } else if (x11PointerControlUsable()) {
            // Twice as fast past 4 pixels, or no acceleration at all.
            const bool set = precision ? desktop_.setX11Acceleration(2, 1, 4)
                                       : desktop_.setX11Acceleration(1, 1, 0);
            if (!set)
                refuse(PointerSetting::MouseParameters);
        } else {
            missing(PointerSetting::MouseParameters, result);
        }
    }
    if (changed.speed) {
        if (!gnome)
            missing(PointerSetting::PointerSpeed, result);
        else if (!desktop_.writeDouble("speed", desktopSpeedFor(values.pointerSpeed)))
            refuse(PointerSetting::PointerSpeed);
    }
    if (changed.scrollLines)
        missing(PointerSetting::WheelScrollLines, result);
    if (changed.doubleClick) {
        if (!gnome)
            missing(PointerSetting::DoubleClickTime, result);
        else if (!desktop_.writeInt("double-click",
                                    desktopDoubleClickFor(values.doubleClickTimeMs)))
            refuse(PointerSetting::DoubleClickTime);
    }
    return result;
}

DesktopPointerReading DesktopPointerSettings::read() {
    DesktopPointerReading reading;
    if (!hasGnomeSchema())
        return reading;
    reading.speed = desktop_.readDouble("speed");
    reading.doubleClickMs = desktop_.readInt("double-click");
    if (const auto profile = desktop_.readString("accel-profile")) {
        if (*profile == "adaptive")
            reading.acceleration = true;
        else if (*profile == "flat")
            reading.acceleration = false;
    }
    return reading;
}

void DesktopPointerSettings::takeDesktopValues(ConfigRecord& record) {
    const DesktopPointerReading reading = read();
    if (reading.speed)
        record.pointerSpeed = pointerSpeedFieldFor(*reading.speed);
    if (reading.doubleClickMs)
        record.doubleClickSpeed = doubleClickFieldFor(*reading.doubleClickMs);
    if (reading.acceleration)
        record.enhancePointerPrecision = *reading.acceleration ? 1 : 0;
}

} // namespace qvr
