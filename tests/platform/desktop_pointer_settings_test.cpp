#include "platform/desktop_pointer_settings.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

namespace qvr {
namespace {

// Records what reaches the desktop and answers as GNOME's settings would.
struct FakeDesktop : PointerDesktop {
    bool gnome = true;
    std::string refuseKey;                     // refused as out of range
    std::map<std::string, std::string> values; // the desktop's current values, as text
    std::vector<std::string> writes;           // "key=value", "x11=N/D/T"
    int schemaQuestions = 0;

    bool hasMouseSchema() override {
        ++schemaQuestions;
        return gnome;
    }
    std::optional<std::string> value(std::string_view key) const {
        const auto found = values.find(std::string(key));
        if (!gnome || found == values.end())
            return std::nullopt;
        return found->second;
    }
    std::optional<double> readDouble(std::string_view key) override {
        const auto text = value(key);
        char* end = nullptr;
        const double number = text ? std::strtod(text->c_str(), &end) : 0;
        return text && end && *end == 0 ? std::optional(number) : std::nullopt;
    }
    std::optional<int> readInt(std::string_view key) override {
        const auto number = readDouble(key);
        return number ? std::optional(static_cast<int>(*number)) : std::nullopt;
    }
    std::optional<std::string> readString(std::string_view key) override { return value(key); }
    bool write(std::string_view key, const std::string& text) {
        writes.push_back(std::string(key) + "=" + text);
        return gnome && key != refuseKey;
    }
    bool writeDouble(std::string_view key, double value) override {
        std::ostringstream text;
        text << value;
        return write(key, text.str());
    }
    bool writeInt(std::string_view key, int value) override {
        return write(key, std::to_string(value));
    }
    bool writeString(std::string_view key, std::string_view value) override {
        return write(key, std::string(value));
    }
    bool setX11Acceleration(int numerator, int denominator, int threshold) override {
        writes.push_back("x11=" + std::to_string(numerator) + "/" + std::to_string(denominator) +
                         "/" + std::to_string(threshold));
        return true;
    }
};

PointerValues values(int precision, int speed, int doubleClick) {
    PointerValues v;
    v.mouseParameters = precision ? std::array<int, 3>{6, 10, 1} : std::array<int, 3>{0, 0, 0};
    v.pointerSpeed = speed;
    v.wheelScrollLines = 3;
    v.doubleClickTimeMs = doubleClick;
    return v;
}

constexpr PointerChanges kAll{true, true, true, true};

// Sets and clears environment variables for one test.
struct Environment {
    explicit Environment(std::map<std::string, const char*> values) {
        for (const auto& [name, value] : values) {
            const char* old = std::getenv(name.c_str());
            saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
            if (value)
                ::setenv(name.c_str(), value, 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    ~Environment() {
        for (const auto& [name, value] : saved) {
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
        }
    }
    std::map<std::string, std::optional<std::string>> saved;
};

TEST(DesktopPointerSettings, OnlyChangedSettingsAreAppliedInOrder) {
    FakeDesktop desktop;
    std::ostringstream notes;
    DesktopPointerSettings settings(desktop, notes);
    const PointerApplyResult none = settings.apply(values(1, 20, 480), PointerChanges{});
    EXPECT_TRUE(none.failures.empty());
    EXPECT_EQ(desktop.schemaQuestions, 0); // not even a question to the desktop
    EXPECT_TRUE(desktop.writes.empty());

    settings.apply(values(1, 20, 480), PointerChanges{.speed = true});
    EXPECT_EQ(desktop.writes, std::vector<std::string>{"speed=1"});

    desktop.writes.clear();
    EXPECT_TRUE(settings.apply(values(0, 1, 130), kAll).failures.empty());
    EXPECT_EQ(desktop.writes,
              (std::vector<std::string>{"accel-profile=flat", "speed=-0.9", "double-click=130"}));
    EXPECT_EQ(desktop.schemaQuestions, 1); // asked once per run
}

TEST(DesktopPointerSettings, ValuesBeyondTheDesktopsRangeTakeItsNearest) {
    FakeDesktop desktop;
    std::ostringstream notes;
    DesktopPointerSettings settings(desktop, notes);
    const auto result = settings.apply(values(1, 22, -10), {.speed = true, .doubleClick = true});
    EXPECT_TRUE(result.failures.empty());
    EXPECT_EQ(desktop.writes, (std::vector<std::string>{
                                  "speed=1", "double-click=" + std::to_string(kMinDoubleClickMs)}));
    EXPECT_EQ(settings.apply(values(1, -2, 480), {.speed = true}).failures.size(), 0u);
    EXPECT_EQ(desktop.writes.back(), "speed=-1");
}

TEST(DesktopPointerSettings, ADesktopRefusalBecomesTheWarningOfThatStep) {
    FakeDesktop desktop;
    desktop.refuseKey = "double-click";
    std::ostringstream notes;
    DesktopPointerSettings settings(desktop, notes);
    const auto result = settings.apply(values(1, 10, 480), kAll);
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_EQ(result.failures[0].text, "SPI_SETDOUBLECLICKTIME failed.");
    EXPECT_EQ(desktop.writes.size(), 3u); // the others still went out
}

TEST(DesktopPointerSettings, MissingSettingsAreReportedOnceNotAtEverySave) {
    FakeDesktop desktop;
    desktop.gnome = false;
    std::ostringstream notes;
    DesktopPointerSettings settings(desktop, notes);
    Environment session({{"DISPLAY", nullptr}, {"WAYLAND_DISPLAY", nullptr}});
    const auto first = settings.apply(values(1, 10, 480), kAll);
    EXPECT_TRUE(first.failures.empty());
    const std::vector<PointerSetting> expected = {
        PointerSetting::MouseParameters, PointerSetting::PointerSpeed,
        PointerSetting::WheelScrollLines, PointerSetting::DoubleClickTime};
    EXPECT_EQ(first.missing, expected);
    EXPECT_NE(notes.str().find("wheel scroll lines"), std::string::npos);
    EXPECT_TRUE(settings.apply(values(1, 10, 480), kAll).missing.empty());
    EXPECT_TRUE(desktop.writes.empty());

    FakeDesktop gnomeDesktop;
    DesktopPointerSettings gnome(gnomeDesktop, notes);
    EXPECT_EQ(gnome.apply(values(1, 10, 480), kAll).missing,
              std::vector<PointerSetting>{PointerSetting::WheelScrollLines});
}

TEST(DesktopPointerSettings, X11AccelerationCarriesThePrecisionButNeverUnderWayland) {
    FakeDesktop desktop;
    desktop.gnome = false;
    std::ostringstream notes;
    {
        DesktopPointerSettings settings(desktop, notes);
        Environment x11(
            {{"DISPLAY", ":99"}, {"WAYLAND_DISPLAY", nullptr}, {"XDG_SESSION_TYPE", "x11"}});
        settings.apply(values(0, 10, 480), {.precision = true});
        settings.apply(values(1, 10, 480), {.precision = true});
        EXPECT_EQ(desktop.writes, (std::vector<std::string>{"x11=1/1/0", "x11=2/1/4"}));
    }
    for (const auto& wayland :
         {std::map<std::string, const char*>{{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}},
          std::map<std::string, const char*>{
              {"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", nullptr}, {"XDG_SESSION_TYPE", "wayland"}}}) {
        desktop.writes.clear();
        DesktopPointerSettings settings(desktop, notes);
        Environment session(wayland);
        const auto result = settings.apply(values(1, 10, 480), kAll);
        EXPECT_TRUE(desktop.writes.empty());
        EXPECT_EQ(result.missing.front(), PointerSetting::MouseParameters);
    }
}

TEST(DesktopPointerSettings, TheDesktopsValuesFillTheRecordsGauges) {
    FakeDesktop desktop;
    desktop.values = {{"speed", "0.4"}, {"double-click", "400"}, {"accel-profile", "flat"}};
    std::ostringstream notes;
    DesktopPointerSettings settings(desktop, notes);
    ConfigRecord record{};
    record.pointerSpeed = 10;
    record.doubleClickSpeed = 5;
    record.enhancePointerPrecision = 1;
    record.wheelScrollLines = 3;
    settings.takeDesktopValues(record);
    EXPECT_EQ(record.pointerSpeed, 8);
    EXPECT_EQ(record.doubleClickSpeed, 8);
    EXPECT_EQ(record.enhancePointerPrecision, 0);
    EXPECT_EQ(record.wheelScrollLines, 3); // GNOME has none: the record's stays

    // Nonsense and a desktop without the settings change nothing.
    desktop.values = {{"speed", "fast"}, {"accel-profile", "default"}};
    settings.takeDesktopValues(record);
    EXPECT_EQ(record.pointerSpeed, 8);
    EXPECT_EQ(record.enhancePointerPrecision, 0);
    FakeDesktop bare;
    bare.gnome = false;
    DesktopPointerSettings none(bare, notes);
    none.takeDesktopValues(record);
    EXPECT_EQ(record.doubleClickSpeed, 8);
}

} // namespace
} // namespace qvr
