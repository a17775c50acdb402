#include "settings/desktop_pointer_settings.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace qvr {
namespace {

// Records the commands and answers as a desktop would.
struct FakeRunner : CommandRunner {
    bool gnome = true;
    std::string refuseKey;                     // gsettings refuses this key with status 1
    std::map<std::string, std::string> values; // what "gsettings get" prints
    std::vector<std::vector<std::string>> calls;

    int run(const std::vector<std::string>& argv) override {
        calls.push_back(argv);
        if (argv.at(0) == "gsettings" && argv.at(1) == "list-keys")
            return gnome ? 0 : 1;
        if (argv.at(0) == "gsettings" && argv.size() > 3 && argv[3] == refuseKey)
            return 1;
        return 0;
    }
    // "gsettings list-recursively" of the schema, from values.
    int capture(const std::vector<std::string>& argv, std::string& output) override {
        calls.push_back(argv);
        if (!gnome)
            return 1;
        for (const auto& [key, value] : values)
            output += argv.at(2) + " " + key + " " + value;
        return 0;
    }
    std::vector<std::vector<std::string>> sets() const {
        std::vector<std::vector<std::string>> result;
        for (const auto& call : calls)
            if (call.size() > 1 && call[1] != "list-keys" && call[1] != "list-recursively")
                result.push_back(call);
        return result;
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
    FakeRunner runner;
    std::ostringstream notes;
    DesktopPointerSettings settings(runner, notes);
    const PointerApplyResult none = settings.apply(values(1, 20, 480), PointerChanges{});
    EXPECT_TRUE(none.failures.empty());
    EXPECT_TRUE(runner.calls.empty()); // not even a question to the desktop

    settings.apply(values(1, 20, 480), PointerChanges{.speed = true});
    const std::string schema = DesktopPointerSettings::kSchema;
    EXPECT_EQ(runner.sets(),
              (std::vector<std::vector<std::string>>{{"gsettings", "set", schema, "speed", "1"}}));

    runner.calls.clear();
    EXPECT_TRUE(settings.apply(values(0, 1, 130), kAll).failures.empty());
    EXPECT_EQ(runner.sets(), (std::vector<std::vector<std::string>>{
                                 {"gsettings", "set", schema, "accel-profile", "flat"},
                                 {"gsettings", "set", schema, "speed", "-0.9"},
                                 {"gsettings", "set", schema, "double-click", "130"}}));
}

TEST(DesktopPointerSettings, ValuesBeyondTheDesktopsRangeTakeItsNearest) {
    FakeRunner runner;
    std::ostringstream notes;
    DesktopPointerSettings settings(runner, notes);
    const auto result = settings.apply(values(1, 22, -10), {.speed = true, .doubleClick = true});
    EXPECT_TRUE(result.failures.empty());
    ASSERT_EQ(runner.sets().size(), 2u);
    EXPECT_EQ(runner.sets()[0].back(), "1");
    EXPECT_EQ(runner.sets()[1].back(), std::to_string(kMinDoubleClickMs));
    EXPECT_EQ(settings.apply(values(1, -2, 480), {.speed = true}).failures.size(), 0u);
    EXPECT_EQ(runner.sets().back().back(), "-1");
}

TEST(DesktopPointerSettings, ADesktopRefusalBecomesTheWarningOfThatStep) {
    FakeRunner runner;
    runner.refuseKey = "double-click";
    std::ostringstream notes;
    DesktopPointerSettings settings(runner, notes);
    const auto result = settings.apply(values(1, 10, 480), kAll);
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_EQ(result.failures[0].text, "SPI_SETDOUBLECLICKTIME failed.");
    EXPECT_EQ(runner.sets().size(), 3u); // the others still went out
}

TEST(DesktopPointerSettings, MissingSettingsAreReportedOnceNotAtEverySave) {
    FakeRunner runner;
    runner.gnome = false;
    std::ostringstream notes;
    DesktopPointerSettings settings(runner, notes);
    Environment session({{"DISPLAY", nullptr}, {"WAYLAND_DISPLAY", nullptr}});
    const auto first = settings.apply(values(1, 10, 480), kAll);
    EXPECT_TRUE(first.failures.empty());
    const std::vector<PointerSetting> expected = {
        PointerSetting::MouseParameters, PointerSetting::PointerSpeed,
        PointerSetting::WheelScrollLines, PointerSetting::DoubleClickTime};
    EXPECT_EQ(first.missing, expected);
    EXPECT_NE(notes.str().find("wheel scroll lines"), std::string::npos);
    EXPECT_TRUE(settings.apply(values(1, 10, 480), kAll).missing.empty());
    EXPECT_TRUE(runner.sets().empty());

    FakeRunner gnomeRunner;
    DesktopPointerSettings gnome(gnomeRunner, notes);
    EXPECT_EQ(gnome.apply(values(1, 10, 480), kAll).missing,
              std::vector<PointerSetting>{PointerSetting::WheelScrollLines});
}

TEST(DesktopPointerSettings, X11AccelerationCarriesThePrecisionButNeverUnderWayland) {
    FakeRunner runner;
    runner.gnome = false;
    std::ostringstream notes;
    {
        DesktopPointerSettings settings(runner, notes);
        Environment x11(
            {{"DISPLAY", ":99"}, {"WAYLAND_DISPLAY", nullptr}, {"XDG_SESSION_TYPE", "x11"}});
        settings.apply(values(0, 10, 480), {.precision = true});
        EXPECT_EQ(runner.sets(),
                  (std::vector<std::vector<std::string>>{{"xset", "m", "1/1", "0"}}));
    }
    for (const auto& wayland :
         {std::map<std::string, const char*>{{"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}},
          std::map<std::string, const char*>{
              {"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", nullptr}, {"XDG_SESSION_TYPE", "wayland"}}}) {
        runner.calls.clear();
        DesktopPointerSettings settings(runner, notes);
        Environment session(wayland);
        const auto result = settings.apply(values(1, 10, 480), kAll);
        EXPECT_TRUE(runner.sets().empty());
        EXPECT_EQ(result.missing.front(), PointerSetting::MouseParameters);
    }
}

TEST(DesktopPointerSettings, TheDesktopsValuesFillTheRecordsGauges) {
    FakeRunner runner;
    runner.values = {{"speed", "0.4\n"}, {"double-click", "400\n"}, {"accel-profile", "'flat'\n"}};
    std::ostringstream notes;
    DesktopPointerSettings settings(runner, notes);
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
    runner.values = {{"speed", "fast\n"}, {"accel-profile", "'default'\n"}};
    settings.takeDesktopValues(record);
    EXPECT_EQ(record.pointerSpeed, 8);
    EXPECT_EQ(record.enhancePointerPrecision, 0);
    FakeRunner bare;
    bare.gnome = false;
    DesktopPointerSettings none(bare, notes);
    none.takeDesktopValues(record);
    EXPECT_EQ(record.doubleClickSpeed, 8);
}

} // namespace
} // namespace qvr
