// Which desktop pointer settings a Save puts on the desktop, and where a
// profile's pointer fields come from.
#include "settings/desktop_pointer_settings.h"
#include "settings/settings_rig.h"
#include "support/process.h"

#include <QTest>
#include <gtest/gtest.h>

namespace qvr::test {
namespace {

using enum RightSection;

constexpr QPoint kSave{955, 619};
constexpr int kHeaderX = 800;
int closedHeaderY(RightSection section) {
    return 42 + 25 * index(section);
}
// The Mouse Speed gauge's right end, with only that section open.
constexpr QPoint kFastestSpeed{734 + 50 + 71 + 70, 127 + 6 + 71};

bool waitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 200 && !condition(); ++i)
        QTest::qWait(10);
    return condition();
}

void save(SettingsRig& rig) {
    ASSERT_TRUE(waitFor([&] { return !rig.pages->actions().applyBusy(); }));
    rig.click(kSave.x(), kSave.y());
    // The upload, the files and the desktop's settings end after the click.
    ASSERT_TRUE(waitFor([&] {
        return !rig.pages->actions().uploadPending() && !rig.window().deviceThread().busy();
    }));
}

TEST(DesktopPointerSave, OnlyControlsTheUserChangedReachTheDesktopAndAreKeptPerProfile) {
    SettingsRig rig;
    rig.start();
    rig.click(kHeaderX, closedHeaderY(DpiSetting));
    rig.click(780, 150); // DPI only
    save(rig);
    EXPECT_TRUE(rig.runner.setKeys().empty());
    EXPECT_EQ(readText(rig.rig.dir / "str0.ini").find("DesktopPointer"), std::string::npos);

    rig.click(kHeaderX, closedHeaderY(DpiSetting)); // closed again
    rig.click(kHeaderX, closedHeaderY(MouseSpeed));
    rig.click(kFastestSpeed.x(), kFastestSpeed.y());
    ASSERT_EQ(rig.record().pointerSpeed, 12);
    save(rig);
    // The gauge's fastest stop is the desktop's fastest speed, no warning.
    EXPECT_EQ(rig.runner.setKeys(), std::vector<std::string>{"speed=1"});
    EXPECT_TRUE(rig.messages().empty());
    const std::string settings = readText(rig.rig.dir / "str0.ini");
    EXPECT_NE(settings.find("[DesktopPointer]\r\nSpeed=1\r\nDoubleClick=0\r\nScrollLines=0"),
              std::string::npos)
        << settings;

    // A later start of the same profile still knows the speed was chosen.
    SettingsRig again;
    WindowRig::writeFile(again.rig.dir / "str0.ini", settings);
    again.writeProfile(rig.record());
    again.start();
    EXPECT_TRUE(again.rig.state.pointerChanges.speed);
    EXPECT_FALSE(again.rig.state.pointerChanges.doubleClick);
    save(again);
    EXPECT_EQ(again.runner.setKeys(), std::vector<std::string>{"speed=1"});
}

TEST(DesktopPointerSave, CancelForgetsTheChangeAndResetLeavesTheDesktopAlone) {
    SettingsRig rig;
    CMavloDlg& window = rig.start();
    rig.click(kHeaderX, closedHeaderY(DoubleClickSpeed));
    rig.click(734 + 50 + 71 + 60, 152 + 6 + 71);
    EXPECT_TRUE(rig.rig.state.pointerChanges.doubleClick);
    rig.click(890, 619); // Cancel
    window.trayLeftClick();
    EXPECT_FALSE(rig.rig.state.pointerChanges.doubleClick);
    save(rig);
    EXPECT_TRUE(rig.runner.setKeys().empty());

    // Reset shows the desktop's values instead of the factory's, and applies
    // none of them.
    WindowRig::writeFile(rig.rig.dir / "config.bin", readText(rig.rig.dir / "config0.bin"));
    rig.runner.desktop = {{"speed", "-0.2"}, {"double-click", "400"}};
    rig.rig.state.pointerChanges.speed = true;
    rig.rig.messages.confirmations = {true};
    rig.click(826, 619);
    EXPECT_EQ(rig.record().pointerSpeed, 5);     // (5 - 6) / 5 = -0.2
    EXPECT_EQ(rig.record().doubleClickSpeed, 8); // 410 ms is the nearest step
    EXPECT_TRUE(rig.runner.setKeys().empty());
}

TEST(DesktopPointerSave, AMissingDesktopSettingIsSaidOnceInTheInterfaceLanguage) {
    SettingsRig rig;
    WindowRig::writeFile(rig.rig.dir / "str0.ini", "[Skins]\r\nPath=Carbon\r\nRColor=0\r\n"
                                                   "GColor=255\r\nBColor=0\r\nLan=CHS\r\n");
    rig.start();
    ASSERT_EQ(rig.window().language(), Language::SimplifiedChinese);
    rig.click(kHeaderX, closedHeaderY(ScrollSpeed));
    rig.click(947, 189); // a row more
    save(rig);
    save(rig);
    const std::vector<RecordingMessageSink::Message> expected = {
        {std::string(pointerSettingTexts(Language::SimplifiedChinese).noScrollLines),
         std::string(pointerSettingTexts(Language::SimplifiedChinese).caption)}};
    EXPECT_EQ(rig.messages(), expected);
    EXPECT_TRUE(rig.runner.setKeys().empty());
}

TEST(DesktopPointerSave, AProfileFreshFromTheFactoryFilesTakesTheDesktopsValues) {
    SettingsRig rig;
    ConfigRecord factory = rig.record();
    factory.pointerSpeed = 10;
    factory.doubleClickSpeed = 5;
    factory.enhancePointerPrecision = 1;
    std::string bytes(1, '\0'); // never saved: the first-run flag is clear
    const auto view = recordBytes(factory);
    bytes.append(view.begin(), view.end());
    WindowRig::writeFile(rig.rig.dir / "config0.bin", bytes);
    rig.runner.desktop = {
        {"speed", "0"}, {"double-click", "int32 620"}, {"accel-profile", "'flat'"}};
    rig.installBeforeStartUp = true;
    rig.start();
    EXPECT_EQ(rig.record().pointerSpeed, 6);
    EXPECT_EQ(rig.record().doubleClickSpeed, 5);
    EXPECT_EQ(rig.record().enhancePointerPrecision, 0);
    EXPECT_EQ(rig.rig.state.appliedRecord, rig.record());

    // A saved profile keeps its own values.
    SettingsRig saved;
    saved.runner.desktop = rig.runner.desktop;
    saved.installBeforeStartUp = true;
    saved.start();
    EXPECT_EQ(saved.record().pointerSpeed, 6);
    EXPECT_EQ(saved.record().doubleClickSpeed, 7);
}

// The real gsettings on a keyfile backend in a test folder.
TEST(DesktopPointerSave, KeyfileKeepsTheDesktopsMouseKeysUntilTheSpeedGaugeIsUsed) {
    SpawnCommandRunner probe;
    if (probe.run({"gsettings", "list-keys", DesktopPointerSettings::kSchema}) != 0)
        GTEST_SKIP() << "the GNOME mouse schema is not installed";
    TempDir home;
    ::setenv("GSETTINGS_BACKEND", "keyfile", 1);
    ::setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
    const std::string schema = DesktopPointerSettings::kSchema;
    SpawnCommandRunner real;
    ASSERT_EQ(real.run({"gsettings", "set", schema, "speed", "0.3"}), 0);
    ASSERT_EQ(real.run({"gsettings", "set", schema, "double-click", "500"}), 0);
    ASSERT_EQ(real.run({"gsettings", "set", schema, "accel-profile", "'flat'"}), 0);
    const auto keyfile = home / "glib-2.0/settings/keyfile";
    const std::string before = readText(keyfile);
    {
        SettingsRig rig;
        rig.pointerCommands = &real;
        rig.start();
        rig.click(kHeaderX, closedHeaderY(DpiSetting));
        rig.click(780, 150);
        save(rig);
        EXPECT_EQ(readText(keyfile), before);

        rig.click(kHeaderX, closedHeaderY(DpiSetting));
        rig.click(kHeaderX, closedHeaderY(MouseSpeed));
        rig.click(kFastestSpeed.x(), kFastestSpeed.y());
        save(rig);
        const std::string after = readText(keyfile);
        EXPECT_NE(after.find("speed=1.0"), std::string::npos) << after;
        EXPECT_NE(after.find("double-click=500"), std::string::npos) << after;
        EXPECT_NE(after.find("accel-profile='flat'"), std::string::npos) << after;
        EXPECT_TRUE(rig.messages().empty());

        std::string text;
        EXPECT_EQ(real.capture({"gsettings", "get", schema, "double-click"}, text), 0);
        EXPECT_EQ(text, "500\n");
    }
    ::unsetenv("GSETTINGS_BACKEND");
    ::unsetenv("XDG_CONFIG_HOME");
}

} // namespace
} // namespace qvr::test
