#include "settings/desktop_pointer_settings.h"
#include "support/process.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>

namespace qvr {
namespace {

// Records the commands and answers as a desktop would.
struct FakeRunner : CommandRunner {
    bool gnome = true;
    std::string refuseKey; // gsettings refuses this key with status 1
    std::vector<std::vector<std::string>> calls;

    int run(const std::vector<std::string>& argv) override {
        calls.push_back(argv);
        if (argv.at(0) == "gsettings" && argv.at(1) == "list-keys")
            return gnome ? 0 : 1;
        if (argv.at(0) == "gsettings" && argv.size() > 3 && argv[3] == refuseKey)
            return 1;
        return 0;
    }
    std::vector<std::vector<std::string>> sets() const {
        std::vector<std::vector<std::string>> result;
        for (const auto& call : calls)
            if (call.size() > 1 && call[1] != "list-keys")
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

TEST(DesktopPointerSettings, GnomeGetsTheThreeSettingsItHasInOrder) {
    FakeRunner runner;
    std::ostringstream notes;
    DesktopPointerSettings settings(runner, notes);
    EXPECT_TRUE(settings.apply(values(1, 20, 480)).empty());
    const std::string schema = DesktopPointerSettings::kSchema;
    const std::vector<std::vector<std::string>> expected = {
        {"gsettings", "set", schema, "accel-profile", "adaptive"},
        {"gsettings", "set", schema, "speed", "1"},
        {"gsettings", "set", schema, "double-click", "480"},
    };
    EXPECT_EQ(runner.sets(), expected);
}

TEST(DesktopPointerSettings, PrecisionOffIsAFlatProfileAndSpeedOneIsSlowest) {
    FakeRunner runner;
    std::ostringstream notes;
    DesktopPointerSettings settings(runner, notes);
    settings.apply(values(0, 1, 130));
    ASSERT_EQ(runner.sets().size(), 3u);
    EXPECT_EQ(runner.sets()[0].back(), "flat");
    EXPECT_EQ(runner.sets()[1].back(), "-0.9");
}

TEST(DesktopPointerSettings, ARefusedSpeedWarnsAndTheOthersAreStillApplied) {
    FakeRunner runner;
    std::ostringstream notes;
    DesktopPointerSettings settings(runner, notes);
    const auto failures = settings.apply(values(1, 22, -10));
    const std::vector<PointerFailure> expected = {
        {"SETMOUSESPEED failed.", "Warning"},
        {"SPI_SETDOUBLECLICKTIME failed.", "Warning"},
    };
    EXPECT_EQ(failures, expected);
    ASSERT_EQ(runner.sets().size(), 1u); // only the precision went out
    EXPECT_EQ(runner.sets()[0][3], "accel-profile");
}

TEST(DesktopPointerSettings, ADesktopRefusalBecomesTheWarningOfThatStep) {
    FakeRunner runner;
    runner.refuseKey = "double-click";
    std::ostringstream notes;
    DesktopPointerSettings settings(runner, notes);
    const auto failures = settings.apply(values(1, 10, 480));
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].text, "SPI_SETDOUBLECLICKTIME failed.");
}

TEST(DesktopPointerSettings, MissingSettingsAreNotedOnceNotAtEverySave) {
    FakeRunner runner;
    runner.gnome = false;
    std::ostringstream notes;
    DesktopPointerSettings settings(runner, notes);
    ::unsetenv("DISPLAY");
    EXPECT_TRUE(settings.apply(values(1, 10, 480)).empty());
    const std::string first = notes.str();
    EXPECT_NE(first.find("wheel scroll lines"), std::string::npos);
    EXPECT_NE(first.find("double-click"), std::string::npos);
    settings.apply(values(1, 10, 480));
    EXPECT_EQ(notes.str(), first);
    EXPECT_TRUE(runner.sets().empty());
}

TEST(DesktopPointerSettings, WithoutGnomeX11AccelerationCarriesThePrecision) {
    FakeRunner runner;
    runner.gnome = false;
    std::ostringstream notes;
    DesktopPointerSettings settings(runner, notes);
    ::setenv("DISPLAY", ":99", 1);
    settings.apply(values(0, 10, 480));
    ::unsetenv("DISPLAY");
    const std::vector<std::vector<std::string>> expected = {{"xset", "m", "1/1", "0"}};
    EXPECT_EQ(runner.sets(), expected);
}

// The real gsettings, writing into a keyfile of a test folder.
TEST(DesktopPointerSettings, RealGsettingsStoresTheValues) {
    SpawnCommandRunner probe;
    if (probe.run({"gsettings", "list-keys", DesktopPointerSettings::kSchema}) != 0)
        GTEST_SKIP() << "the GNOME mouse schema is not installed";
    test::TempDir home;
    ::setenv("GSETTINGS_BACKEND", "keyfile", 1);
    ::setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
    SpawnCommandRunner runner;
    std::ostringstream notes;
    DesktopPointerSettings settings(runner, notes);
    const auto failures = settings.apply(values(0, 15, 340));
    EXPECT_TRUE(failures.empty());
    const std::string keyfile = test::readText(home / "glib-2.0/settings/keyfile");
    EXPECT_NE(keyfile.find("accel-profile='flat'"), std::string::npos) << keyfile;
    EXPECT_NE(keyfile.find("speed=0.5"), std::string::npos) << keyfile;
    EXPECT_NE(keyfile.find("double-click=340"), std::string::npos) << keyfile;

    // A speed Windows would refuse never reaches the desktop: the stored one stays.
    const auto refused = settings.apply(values(1, 22, 340));
    ASSERT_EQ(refused.size(), 1u);
    EXPECT_EQ(refused[0].text, "SETMOUSESPEED failed.");
    const std::string after = test::readText(home / "glib-2.0/settings/keyfile");
    EXPECT_NE(after.find("speed=0.5"), std::string::npos) << after;
    EXPECT_NE(after.find("accel-profile='adaptive'"), std::string::npos) << after;
    ::unsetenv("GSETTINGS_BACKEND");
    ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace qvr
