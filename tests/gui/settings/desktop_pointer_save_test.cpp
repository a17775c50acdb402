// Which desktop pointer settings a Save puts on the desktop, and where a
// profile's pointer fields come from.
#include "gui/widgets/qt_fonts.h"
#include "platform/desktop_pointer_settings.h"
#include "platform/display/linux_pointer_desktop.h"
#include "support/process.h"
#include "support/settings_rig.h"

#include <QTest>
#include <array>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

namespace qvr::test {
namespace {

using enum RightSection;

// A click on the Mouse Speed gauge's right end, level with its pivot.
void clickFastestSpeed(SettingsRig& rig) {
    rig.click(rig.rectNamed("Mouse Speed", ElementRole::Slider).topLeft() + QPoint(71 + 70, 71));
}

void save(SettingsRig& rig) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.pages->actions().applyBusy(); }));
    rig.clickNamed(qstr(mainWindowTexts(rig.window().language()).save));
    // The upload, the files and the desktop's settings end after the click.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        return !rig.rig.session->uploadPending() && !rig.rig.session->deviceQueue().busy();
    }));
}

TEST(DesktopPointerSave, OnlyControlsTheUserChangedReachTheDesktopAndAreKeptPerProfile) {
    SettingsRig rig;
    rig.start();
    rig.clickHeader("DPI Setting");
    rig.clickSliderStop("DPI Setting 1", 52); // DPI only
    save(rig);
    EXPECT_TRUE(rig.desktop.setKeys().empty());
    EXPECT_EQ(readText(rig.rig.dir / "str0.ini").find("DesktopPointer"), std::string::npos);

    rig.clickHeader("DPI Setting"); // closed again
    rig.clickHeader("Mouse Speed");
    clickFastestSpeed(rig);
    ASSERT_EQ(rig.record().pointerSpeed, 12);
    save(rig);
    // The gauge's fastest stop is the desktop's fastest speed, no warning.
    EXPECT_EQ(rig.desktop.setKeys(), std::vector<std::string>{"speed=1"});
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
    EXPECT_TRUE(again.rig.state().pointerChanges.speed);
    EXPECT_FALSE(again.rig.state().pointerChanges.doubleClick);
    save(again);
    EXPECT_EQ(again.desktop.setKeys(), std::vector<std::string>{"speed=1"});
}

TEST(DesktopPointerSave, CancelForgetsTheChangeAndResetLeavesTheDesktopAlone) {
    SettingsRig rig;
    MainWindow& window = rig.start();
    rig.clickHeader("Double Click Speed");
    rig.click(rig.rectNamed("Double Click Speed", ElementRole::Slider).topLeft() +
              QPoint(71 + 60, 71));
    EXPECT_TRUE(rig.rig.state().pointerChanges.doubleClick);
    rig.clickNamed("Cancel");
    window.trayLeftClick();
    EXPECT_FALSE(rig.rig.state().pointerChanges.doubleClick);
    save(rig);
    EXPECT_TRUE(rig.desktop.setKeys().empty());

    // Reset shows the desktop's values instead of the factory's, and applies
    // none of them.
    WindowRig::writeFile(rig.rig.dir / "config.bin", readText(rig.rig.dir / "config0.bin"));
    rig.desktop.values = {{"speed", "-0.2"}, {"double-click", "400"}};
    rig.rig.state().pointerChanges.speed = true;
    rig.rig.messages.confirmations = {true};
    rig.clickNamed("Reset");
    EXPECT_EQ(rig.record().pointerSpeed, 5);     // (5 - 6) / 5 = -0.2
    EXPECT_EQ(rig.record().doubleClickSpeed, 8); // 410 ms is the nearest step
    EXPECT_TRUE(rig.desktop.setKeys().empty());
}

TEST(DesktopPointerSave, AMissingDesktopSettingIsSaidOnceInTheInterfaceLanguage) {
    SettingsRig rig;
    WindowRig::writeFile(rig.rig.dir / "str0.ini", "[Skins]\r\nPath=Carbon\r\nRColor=0\r\n"
                                                   "GColor=255\r\nBColor=0\r\nLan=CHS\r\n");
    rig.start();
    ASSERT_EQ(rig.window().language(), Language::SimplifiedChinese);
    rig.clickHeader(qstr(mainWindowTexts(Language::SimplifiedChinese).scrollSpeed));
    rig.clickNamed(qstr(keyboardTexts(Language::SimplifiedChinese).moreRows));
    save(rig);
    save(rig);
    const std::vector<RecordingMessageSink::Message> expected = {
        {std::string(pointerSettingTexts(Language::SimplifiedChinese).noScrollLines),
         std::string(pointerSettingTexts(Language::SimplifiedChinese).caption)}};
    EXPECT_EQ(rig.messages(), expected);
    EXPECT_TRUE(rig.desktop.setKeys().empty());
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
    rig.desktop.values = {{"speed", "0"}, {"double-click", "620"}, {"accel-profile", "flat"}};
    rig.installBeforeStartUp = true;
    rig.start();
    // Nothing shows the values before the user's first click: the desktop
    // is not asked during start-up.
    EXPECT_TRUE(rig.desktop.calls.empty());
    EXPECT_EQ(rig.record().pointerSpeed, 10);
    rig.clickHeader("Mouse Speed");
    EXPECT_EQ(rig.record().pointerSpeed, 6);
    EXPECT_EQ(rig.record().doubleClickSpeed, 5);
    EXPECT_EQ(rig.record().enhancePointerPrecision, 0);
    EXPECT_EQ(rig.rig.state().appliedRecord, rig.record());
    const auto asked = rig.desktop.calls.size();
    rig.clickHeader("Mouse Speed");
    EXPECT_EQ(rig.desktop.calls.size(), asked); // once per start

    // A saved profile keeps its own values.
    SettingsRig saved;
    saved.desktop.values = rig.desktop.values;
    saved.installBeforeStartUp = true;
    saved.start();
    saved.clickHeader("Mouse Speed");
    EXPECT_EQ(saved.record().pointerSpeed, 6);
    EXPECT_EQ(saved.record().doubleClickSpeed, 7);
}

// GIO in this process, on the keyfile backend in a test folder. GIO settles
// its backend and folders once per process, so each such case needs a process
// of its own (as ctest runs them).
struct KeyfileDesktop {
    KeyfileDesktop() {
        ::setenv("GSETTINGS_BACKEND", "keyfile", 1);
        ::setenv("XDG_CONFIG_HOME", home.path().c_str(), 1);
        std::filesystem::create_directories(keyfile.parent_path());
    }
    ~KeyfileDesktop() {
        ::unsetenv("GSETTINGS_BACKEND");
        ::unsetenv("XDG_CONFIG_HOME");
    }
    TempDir home;
    std::filesystem::path keyfile = home / "glib-2.0/settings/keyfile";
};

TEST(DesktopPointerSave, KeyfileKeepsTheDesktopsMouseKeysUntilTheSpeedGaugeIsUsed) {
    KeyfileDesktop desktop;
    LinuxPointerDesktop gio;
    if (!gio.hasMouseSchema())
        GTEST_SKIP() << "the GNOME mouse schema is not installed";
    writeText(desktop.keyfile, "[org/gnome/desktop/peripherals/mouse]\nspeed=0.3\n"
                               "double-click=500\naccel-profile='flat'\n");
    const std::string before = readText(desktop.keyfile);
    {
        SettingsRig rig;
        rig.pointerDesktop = &gio;
        rig.start();
        rig.clickHeader("DPI Setting");
        rig.clickSliderStop("DPI Setting 1", 52);
        save(rig);
        EXPECT_EQ(readText(desktop.keyfile), before);

        rig.clickHeader("DPI Setting");
        rig.clickHeader("Mouse Speed");
        clickFastestSpeed(rig);
        save(rig);
        const std::string after = readText(desktop.keyfile);
        EXPECT_NE(after.find("speed=1.0"), std::string::npos) << after;
        EXPECT_NE(after.find("double-click=500"), std::string::npos) << after;
        EXPECT_NE(after.find("accel-profile='flat'"), std::string::npos) << after;
        EXPECT_TRUE(rig.messages().empty());
    }
    EXPECT_EQ(gio.readInt("double-click"), 500);
    EXPECT_EQ(gio.readString("accel-profile"), "flat");
}

TEST(DesktopPointerSave, GioRefusesWhatTheSchemaDoesNotAllowAndChangesNothing) {
    KeyfileDesktop desktop;
    LinuxPointerDesktop gio;
    if (!gio.hasMouseSchema())
        GTEST_SKIP() << "the GNOME mouse schema is not installed";
    ASSERT_TRUE(gio.writeDouble("speed", -0.5));
    EXPECT_FALSE(gio.writeDouble("speed", 1.5));                 // beyond -1..1
    EXPECT_FALSE(gio.writeString("accel-profile", "quadratic")); // not a choice
    EXPECT_FALSE(gio.writeInt("speed", 1));                      // a double key
    EXPECT_FALSE(gio.writeInt("wheel-lines", 3));                // no such key
    EXPECT_EQ(gio.readDouble("speed"), -0.5);
    EXPECT_EQ(gio.readInt("speed"), std::nullopt);
    EXPECT_EQ(gio.readInt("wheel-lines"), std::nullopt);
    EXPECT_NE(readText(desktop.keyfile).find("speed=-0.5"), std::string::npos);
}

// An X server of its own, for X11's pointer control; Xvfb says which display
// it took once it answers.
class OwnXServer {
  public:
    OwnXServer() {
        int ready[2];
        if (::pipe(ready) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            const std::string fd = std::to_string(ready[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-noreset", "-nolisten", "tcp",
                     "-screen", "0", "640x480x24", static_cast<char*>(nullptr));
            std::_Exit(127);
        }
        ::close(ready[1]);
        // The number and a line break, once the server answers.
        std::string number;
        char digit = 0;
        while (pid_ > 0 && ::read(ready[0], &digit, 1) == 1 && digit != '\n')
            number += digit;
        ::close(ready[0]);
        if (digit == '\n' && !number.empty())
            display_ = ":" + number;
    }
    ~OwnXServer() {
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& display() const { return display_; }

  private:
    pid_t pid_ = -1;
    std::string display_;
};

std::array<int, 3> acceleration(const std::string& display) {
    xcb_connection_t* connection = xcb_connect(display.c_str(), nullptr);
    std::array<int, 3> result{-1, -1, -1};
    if (auto* reply = xcb_get_pointer_control_reply(connection, xcb_get_pointer_control(connection),
                                                    nullptr)) {
        result = {reply->acceleration_numerator, reply->acceleration_denominator, reply->threshold};
        std::free(reply);
    }
    xcb_disconnect(connection);
    return result;
}

TEST(DesktopPointerSave, ThePrecisionSwitchSetsX11AccelerationWithoutAProgram) {
    OwnXServer server;
    if (server.display().empty())
        GTEST_SKIP() << "Xvfb could not be started";
    const char* oldDisplay = std::getenv("DISPLAY");
    const std::string saved = oldDisplay ? oldDisplay : "";
    ::setenv("DISPLAY", server.display().c_str(), 1);
    LinuxPointerDesktop x11;
    EXPECT_TRUE(x11.setX11Acceleration(2, 1, 4));
    EXPECT_EQ(acceleration(server.display()), (std::array<int, 3>{2, 1, 4}));
    EXPECT_TRUE(x11.setX11Acceleration(1, 1, 0));
    EXPECT_EQ(acceleration(server.display()), (std::array<int, 3>{1, 1, 0}));
    ::setenv("DISPLAY", "", 1); // no server named
    EXPECT_FALSE(x11.setX11Acceleration(2, 1, 4));
    if (oldDisplay)
        ::setenv("DISPLAY", saved.c_str(), 1);
    else
        ::unsetenv("DISPLAY");
}

} // namespace
} // namespace qvr::test
