#include "settings/desktop_pointer_settings.h"

#include <charconv>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string_view>

namespace qvr {
namespace {

std::string failureText(PointerSetting setting) {
    for (const auto& step : kPointerSteps)
        if (step.setting == setting)
            return std::string(step.failureMessage);
    return {};
}

std::string decimal(double value) {
    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << value;
    return out.str();
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n'");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r\n'");
    return text.substr(first, last - first + 1);
}

template <typename Number> std::optional<Number> number(std::string_view text) {
    text = trimmed(text);
    // GVariant text may name the type first ("int32 400").
    if (const auto space = text.rfind(' '); space != std::string_view::npos)
        text.remove_prefix(space + 1);
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return value;
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
            if (!gsettings("accel-profile", precision ? "adaptive" : "flat"))
                refuse(PointerSetting::MouseParameters);
        } else if (x11PointerControlUsable()) {
            const std::vector<std::string> xset =
                precision ? std::vector<std::string>{"xset", "m", "2/1", "4"}
                          : std::vector<std::string>{"xset", "m", "1/1", "0"};
            if (runner_.run(xset) != 0)
                refuse(PointerSetting::MouseParameters);
        } else {
            missing(PointerSetting::MouseParameters, result);
        }
    }
    if (changed.speed) {
        if (!gnome)
            missing(PointerSetting::PointerSpeed, result);
        else if (!gsettings("speed", decimal(desktopSpeedFor(values.pointerSpeed))))
            refuse(PointerSetting::PointerSpeed);
    }
    if (changed.scrollLines)
        missing(PointerSetting::WheelScrollLines, result);
    if (changed.doubleClick) {
        if (!gnome)
            missing(PointerSetting::DoubleClickTime, result);
        else if (!gsettings("double-click",
                            std::to_string(desktopDoubleClickFor(values.doubleClickTimeMs))))
            refuse(PointerSetting::DoubleClickTime);
    }
    return result;
}

DesktopPointerReading DesktopPointerSettings::read() {
    DesktopPointerReading reading;
    // One program for every key: each start of gsettings costs tens of
    // milliseconds, and this runs as a profile is loaded.
    std::string listing;
    schemaKnown_ = runner_.capture({"gsettings", "list-recursively", kSchema}, listing) == 0;
    if (!schemaKnown_)
        return reading;
    std::map<std::string, std::string, std::less<>> values;
    std::istringstream lines(listing);
    for (std::string line; std::getline(lines, line);) {
        // "<schema> <key> <value>"
        std::istringstream fields(line);
        std::string schema, key, value;
        if (fields >> schema >> key && schema == kSchema && std::getline(fields, value))
            values[key] = value;
    }
    const auto value = [&](std::string_view key) -> std::optional<std::string> {
        const auto found = values.find(key);
        return found == values.end() ? std::nullopt : std::optional(found->second);
    };
    if (const auto text = value("speed"))
        reading.speed = number<double>(*text);
    if (const auto text = value("double-click"))
        reading.doubleClickMs = number<int>(*text);
    if (const auto text = value("accel-profile")) {
        const std::string_view profile = trimmed(*text);
        if (profile == "adaptive")
            reading.acceleration = true;
        else if (profile == "flat")
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
