// The window's record belongs to one profile at a time, and a profile's name
// and files travel together: switching, importing, deleting, copying and
// creating profiles through the profile manager.
#include "core/files/private_profile.h"
#include "gui/session/auto_profile_switch.h"
#include "gui/widgets/qt_fonts.h"
#include "platform/file_access.h"
#include "support/profile_rig.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace qvr {
namespace {

using test::ProfileRig;
using test::profileSettings;
using test::readBytes;
using Names = std::vector<std::string>;

// Unplugs the mouse and plugs it in again; returns once the window has
// handled the arrival (its balloon comes with the reload).
bool replug(test::WindowRig& rig) {
    const std::size_t balloons = rig.balloons.shown.size();
    rig.backend.unplug(rig.virtualMouse);
    if (!QTest::qWaitFor([&] { return rig.balloons.shown.size() == balloons + 1; }))
        return false;
    rig.backend.plug(rig.virtualMouse);
    return QTest::qWaitFor([&] { return rig.balloons.shown.size() == balloons + 2; });
}

class ProfileSwitch : public ::testing::Test {
  protected:
    void SetUp() override {
        p.putProfiles({"Game", "Work", "Office"}, "Game");
        p.start();
    }
    ProfileRig p;
};

TEST_F(ProfileSwitch, ClosingOnAnotherProfileLoadsAndSendsItAfterAskingAboutChanges) {
    EXPECT_EQ(p.seedOnScreen(), 10);
    const int uploads = p.rig.virtualMouse->uploadsBegun();
    p.rig.state().record.dpiStage[0] = 77; // unsaved change of Game
    const std::string work = readBytes(p.rig.dir / "config1.bin");

    p.open();
    p.select(1);
    // Cancel: the manager stays open and nothing moves.
    p.rig.messages.answers = {UnsavedChoice::Cancel};
    EXPECT_FALSE(p.close());
    EXPECT_EQ(p.rig.messages.messages.size(), 1u);
    EXPECT_EQ(p.windowProfile(), 0);
    EXPECT_EQ(p.seedOnScreen(), 77);

    // Discard: Work is loaded as a start-up loads it and sent to the mouse,
    // its files untouched, Game's too.
    p.rig.messages.answers = {UnsavedChoice::Discard};
    EXPECT_TRUE(p.close());
    EXPECT_EQ(p.windowProfile(), 1);
    EXPECT_EQ(p.seedOnScreen(), 20);
    EXPECT_EQ(p.rig.state().appliedRecord, p.rig.state().record);
    EXPECT_EQ(p.rig.profile().labels()[0], "label20");
    ASSERT_TRUE(p.deviceSettled());
    EXPECT_EQ(p.rig.virtualMouse->uploadsBegun(), uploads + 1);
    EXPECT_EQ(readBytes(p.rig.dir / "config1.bin"), work);
    EXPECT_EQ(p.seedInFile(0), 10);
    EXPECT_FALSE(p.session().hasUnsavedChanges());
    EXPECT_EQ(readProfileList(p.rig.dir / "str.ini").currentName, "Work");

    // Save: the changes go into Work's files before Office is loaded.
    p.rig.state().record.dpiStage[0] = 88;
    p.open();
    p.select(2);
    p.rig.messages.answers = {UnsavedChoice::Save};
    EXPECT_TRUE(p.close());
    EXPECT_EQ(p.seedInFile(1), 88);
    EXPECT_EQ(p.seedInFile(2), 30);
    EXPECT_EQ(p.seedOnScreen(), 30);

    // Without changes nothing is asked.
    p.rig.messages.messages.clear();
    p.open();
    p.select(0);
    EXPECT_TRUE(p.close());
    EXPECT_TRUE(p.rig.messages.messages.empty());
    EXPECT_EQ(p.seedOnScreen(), 10);
}

TEST_F(ProfileSwitch, ASaveThatCannotWriteNamesTheFileKeepsTheChangesAndDoesNotSwitch) {
    p.open();
    p.select(1);
    ASSERT_TRUE(p.close()); // Work on screen
    ASSERT_TRUE(p.deviceSettled());
    const auto work = p.rig.dir / "config1.bin";
    const std::string saved = readBytes(work);
    std::filesystem::permissions(work, std::filesystem::perms::owner_read);
    p.rig.state().record.dpiStage[0] = 77;
    const int uploads = p.rig.virtualMouse->uploadsBegun();
    const RecordingMessageSink::Message failed{writeErrorMessage(fileWriteFailure(work, EACCES)),
                                               std::string(kWriteErrorCaption)};

    // Save before going to Game: Work's file refuses it, so Game is neither
    // loaded nor sent, and the manager stays open.
    p.open();
    p.select(0);
    p.rig.messages.answers = {UnsavedChoice::Save};
    EXPECT_FALSE(p.close());
    ASSERT_EQ(p.rig.messages.messages.size(), 2u); // the question, then the failure
    EXPECT_EQ(p.rig.messages.messages[1], failed);
    EXPECT_EQ(p.windowProfile(), 1);
    EXPECT_EQ(p.seedOnScreen(), 77);
    EXPECT_TRUE(p.session().hasUnsavedChanges());
    EXPECT_EQ(readBytes(work), saved);
    ASSERT_TRUE(p.deviceSettled());
    EXPECT_EQ(p.rig.virtualMouse->uploadsBegun(), uploads);

    // The Save button's write fails the same way: the next switch still asks.
    p.rig.messages.messages.clear();
    EXPECT_EQ(p.session().writeProfile(), std::optional<bool>(false));
    EXPECT_EQ(p.rig.messages.messages, std::vector<RecordingMessageSink::Message>{failed});
    EXPECT_TRUE(p.session().hasUnsavedChanges());
    p.rig.messages.answers = {UnsavedChoice::Cancel};
    EXPECT_FALSE(p.close());
    EXPECT_EQ(p.rig.messages.messages.size(), 2u);
    EXPECT_EQ(p.seedOnScreen(), 77);

    // Once the file can be written, Save keeps the changes and Game follows.
    std::filesystem::permissions(work, std::filesystem::perms::owner_read |
                                           std::filesystem::perms::owner_write);
    p.rig.messages.answers = {UnsavedChoice::Save};
    EXPECT_TRUE(p.close());
    EXPECT_EQ(p.seedInFile(1), 77);
    EXPECT_EQ(p.windowProfile(), 0);
    EXPECT_EQ(p.seedOnScreen(), 10);
}

TEST_F(ProfileSwitch, AnImportBelongsToTheSelectedProfileAndClosingKeepsIt) {
    // A profile exported elsewhere, with settings 55.
    QTemporaryDir elsewhere;
    const auto file = std::filesystem::path(elsewhere.path().toStdString()) / "mine.bin";
    const auto image = recordFileImage(profileSettings(55), 1);
    test::WindowRig::writeFile(file, std::string(image.begin(), image.end()));
    p.files->openChoice = file;

    p.open();
    p.select(1);
    p.manager()->loadProfileFromFile();
    p.runPosted();
    EXPECT_EQ(p.windowProfile(), 1);
    EXPECT_EQ(p.seedOnScreen(), 55);
    EXPECT_TRUE(p.session().hasUnsavedChanges());
    EXPECT_TRUE(p.close());
    EXPECT_EQ(p.seedOnScreen(), 55) << "closing must not reload Work over the import";
    EXPECT_TRUE(p.session().hasUnsavedChanges());
    EXPECT_EQ(p.seedInFile(1), 20);
    // Nor does the mouse coming back.
    ASSERT_TRUE(replug(p.rig));
    EXPECT_EQ(p.seedOnScreen(), 55);
    EXPECT_TRUE(p.session().hasUnsavedChanges());
    ASSERT_TRUE(p.session().saveProfile());
    EXPECT_EQ(p.seedInFile(1), 55);
    EXPECT_EQ(p.seedInFile(0), 10);
    EXPECT_FALSE(p.session().hasUnsavedChanges());
}

TEST_F(ProfileSwitch, AnImportWhoseLabelsWereNeverMadeReachesNoFileBeforeSave) {
    QTemporaryDir elsewhere;
    const auto file = std::filesystem::path(elsewhere.path().toStdString()) / "new.bin";
    const auto image = recordFileImage(profileSettings(55), 0); // first-run flag 0
    test::WindowRig::writeFile(file, std::string(image.begin(), image.end()));
    p.files->openChoice = file;
    const auto settings = p.rig.dir / "str0.ini";
    const std::string gameSettings = readBytes(settings);
    const std::string firstRunLabel(defaultButtonLabels(Language::English)[0]);
    const auto importAndReopen = [&] {
        p.open();
        p.select(0);
        p.manager()->loadProfileFromFile();
        p.runPosted();
        ASSERT_TRUE(p.close());
        ASSERT_EQ(p.seedOnScreen(), 55);
        p.rig.window->hideToTray();
        p.rig.window->trayLeftClick();
    };

    // Reopened from the tray: the first-run labels are on screen only.
    importAndReopen();
    EXPECT_EQ(p.rig.profile().labels()[0], firstRunLabel);
    EXPECT_EQ(readBytes(settings), gameSettings);
    // Discarding the import brings Game back whole.
    p.session().loadProfile();
    EXPECT_EQ(p.seedOnScreen(), 10);
    EXPECT_EQ(p.rig.profile().labels()[0], "label10");

    // Saved, the import is Game's, labels and all.
    importAndReopen();
    ASSERT_TRUE(p.session().saveProfile());
    EXPECT_EQ(p.seedInFile(0), 55);
    EXPECT_EQ(readProfileString(settings, "Setting-EN", "Item1"), firstRunLabel);
}

TEST_F(ProfileSwitch, DeleteTakesTheFilesAlongAndLoadsWhenTheWindowsOwnGoes) {
    p.open();
    p.select(1);
    ASSERT_TRUE(p.close()); // Work on screen
    ASSERT_EQ(p.seedOnScreen(), 20);

    // Asked first, by name; Cancel keeps the profile and its files.
    p.open();
    p.select(0);
    p.manager()->deleteProfile();
    ASSERT_EQ(p.rig.messages.messages.size(), 1u);
    EXPECT_EQ(p.rig.messages.messages[0].text, "Delete the profile \"Game\" and its settings?");
    EXPECT_EQ(p.names(), (Names{"Game", "Work", "Office"}));
    EXPECT_EQ(p.seedInFile(0), 10);
    p.rig.messages.confirmations = {true};
    p.manager()->deleteProfile();
    EXPECT_EQ(p.names(), (Names{"Work", "Office"}));
    EXPECT_EQ(p.seedInFile(0), 20);
    EXPECT_EQ(p.seedInFile(1), 30);
    EXPECT_FALSE(std::filesystem::exists(p.rig.dir / "config2.bin"));
    EXPECT_EQ(p.windowProfile(), 0);
    EXPECT_EQ(p.seedOnScreen(), 20);
    EXPECT_EQ(p.manager()->list().currentRow(), 0);

    // The window's own profile: the one taking its place is loaded.
    p.rig.state().record.dpiStage[0] = 99; // changes of the deleted profile
    p.select(0);
    p.rig.messages.confirmations = {true};
    p.manager()->deleteProfile();
    EXPECT_EQ(p.names(), Names{"Office"});
    EXPECT_EQ(p.seedOnScreen(), 30);
    EXPECT_EQ(p.seedInFile(0), 30);
    // The last profile stays: the window always holds one.
    p.select(0);
    p.manager()->deleteProfile();
    EXPECT_EQ(p.names(), Names{"Office"});
    EXPECT_TRUE(p.close());
    EXPECT_EQ(p.rig.messages.messages.size(), 3u); // the three questions, nothing else
}

TEST_F(ProfileSwitch, ChangesKeptAtTheSessionEndReturnToTheirProfileWhereverItMoved) {
    p.open();
    p.select(2);
    ASSERT_TRUE(p.close()); // Office on screen
    p.rig.state().record.dpiStage[0] = 77;
    p.rig.window->endSession();
    EXPECT_EQ(p.rig.exitCode, 0);
    EXPECT_EQ(p.seedInFile(2), 30);

    // Before the next start Game goes, and Office moves up to position 1.
    ASSERT_TRUE(ProfileSlots(p.rig.dir).deleteProfile(p.names(), 0, "Work").ok());
    p.rig.window.reset();
    p.rig.state() = RecordState{};
    p.start();
    ASSERT_EQ(p.windowProfile(), 0);
    p.rig.window->offerUnsavedEdits();
    EXPECT_EQ(p.windowProfile(), 1);
    EXPECT_EQ(p.seedOnScreen(), 77);
    EXPECT_TRUE(p.session().hasUnsavedChanges());
    EXPECT_EQ(p.seedInFile(1), 30);
    EXPECT_EQ(p.seedInFile(0), 20);
    // Saved where they belong.
    ASSERT_TRUE(p.session().saveProfile());
    EXPECT_EQ(p.seedInFile(1), 77);
    EXPECT_EQ(p.seedInFile(0), 20);
}

TEST_F(ProfileSwitch, CopyTakesTheSavedFilesAndNewTheFactoryProfile) {
    // Stale files of a profile deleted long ago.
    p.putProfile(3, 44);
    p.putProfile(4, 45);
    p.open();
    p.select(0);
    p.manager()->copyProfile();
    p.manager()->addProfile();
    EXPECT_EQ(p.names(), (Names{"Game", "Work", "Office", "Copy Game", "Copy Game_4"}));
    EXPECT_EQ(readBytes(p.rig.dir / "config3.bin"), readBytes(p.rig.dir / "config0.bin"));
    EXPECT_EQ(readBytes(p.rig.dir / "str3.ini"), readBytes(p.rig.dir / "str0.ini"));
    const auto factory = recordFileImage(factoryRecord(), 0);
    EXPECT_EQ(readBytes(p.rig.dir / "config4.bin"), std::string(factory.begin(), factory.end()));
    EXPECT_EQ(readProfileString(p.rig.dir / "str4.ini", "Skins", "Path"), "Test");
    EXPECT_NE(readProfileString(p.rig.dir / "str4.ini", "Setting-EN", "Item1"), "label45");

    // Choosing the new profile shows the factory settings.
    p.select(4);
    EXPECT_TRUE(p.close());
    EXPECT_EQ(p.rig.state().record, factoryRecord());
}

TEST_F(ProfileSwitch, AListSpoiledByHandIsRebuiltAndNewTakesNoProfilesFiles) {
    const auto file = [&](const char* name) { return p.rig.dir / name; };
    const std::string game = readBytes(file("config0.bin"));
    const std::string gameSettings = readBytes(file("str0.ini"));
    // An unusable count, written by hand while the program runs.
    const std::string spoiled = "[Profile]\r\nCurProfileName=Game\r\nItemCount=x\r\n";
    test::WindowRig::writeFile(file("str.ini"), spoiled);
    ProfileManagerDialog& dialog = p.open();
    EXPECT_EQ(dialog.list().count(), 3);
    EXPECT_EQ(p.names(), (Names{"PROFILE_0", "PROFILE_1", "PROFILE_2"}));
    ASSERT_EQ(p.rig.messages.messages.size(), 1u);
    EXPECT_EQ(p.rig.messages.messages[0].text,
              "The profile list " + file("str.ini").string() +
                  " could not be read. It was rebuilt from your profile files; the old file was "
                  "kept as " +
                  file("str.ini.damaged").string() + ".");
    EXPECT_EQ(readBytes(file("str.ini.damaged")), spoiled);
    dialog.addProfile();
    EXPECT_EQ(p.names(), (Names{"PROFILE_0", "PROFILE_1", "PROFILE_2", "PROFILE_3"}));
    EXPECT_EQ(readBytes(file("config0.bin")), game);
    EXPECT_EQ(readBytes(file("str0.ini")), gameSettings);
    p.select(1);
    ASSERT_TRUE(p.close());

    // A usable list that lost names while Work is on screen: New and Copy
    // would land on Work's files, so they refuse.
    const std::string work = readBytes(file("config1.bin"));
    const std::string workSettings = readBytes(file("str1.ini"));
    ASSERT_TRUE(ProfileSlots(p.rig.dir).writeList({"Game"}, "Game").ok());
    p.rig.messages.messages.clear();
    p.open();
    p.select(0);
    p.manager()->addProfile();
    p.manager()->copyProfile();
    EXPECT_EQ(p.manager()->list().count(), 1);
    const std::string refused = "These files cannot be used; nothing was overwritten:\n" +
                                file("config1.bin").string() + ": File exists";
    EXPECT_EQ(p.rig.messages.messages,
              (std::vector<RecordingMessageSink::Message>{{refused, kApplicationTitle},
                                                          {refused, kApplicationTitle}}));
    EXPECT_EQ(readBytes(file("config1.bin")), work);
    EXPECT_EQ(readBytes(file("str1.ini")), workSettings);
}

TEST_F(ProfileSwitch, ABlankClickKeepsTheCurrentProfile) {
    p.open();
    p.select(1);
    ASSERT_TRUE(p.close());
    ProfileManagerDialog& dialog = p.open();
    EXPECT_EQ(dialog.list().currentRow(), 1);
    QWidget* viewport = dialog.list().viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(20, viewport->height() - 10));
    EXPECT_TRUE(dialog.list().selectedItems().isEmpty());
    EXPECT_TRUE(p.close());
    EXPECT_EQ(p.windowProfile(), 1);
    EXPECT_EQ(p.seedOnScreen(), 20);
    EXPECT_EQ(readProfileList(p.rig.dir / "str.ini").currentName, "Work");
}

TEST_F(ProfileSwitch, ExportRefusesTheProgramsOwnFilesAndExportsTheSelectedProfile) {
    const std::string before = readBytes(p.rig.dir / "config2.bin");
    const std::string macros = "[Macro_0]\r\n";
    test::WindowRig::writeFile(p.rig.dir / "record.ini", macros);
    p.open();
    p.select(2);
    for (const char* name : {"config2", "record"}) {
        p.files->saveChoice = p.rig.dir / name;
        p.manager()->saveProfileToFile();
        p.runPosted();
    }
    EXPECT_EQ(readBytes(p.rig.dir / "config2.bin"), before);
    EXPECT_EQ(readBytes(p.rig.dir / "record.ini"), macros);
    EXPECT_FALSE(std::filesystem::exists(p.rig.dir / "record.bin"));
    ASSERT_EQ(p.rig.messages.messages.size(), 2u);

    // A selected profile that is not on screen is exported as saved.
    QTemporaryDir elsewhere;
    const auto target = std::filesystem::path(elsewhere.path().toStdString()) / "office";
    p.files->saveChoice = target;
    p.manager()->saveProfileToFile();
    p.runPosted();
    EXPECT_EQ(readBytes(target.string() + ".bin"), before);
    EXPECT_EQ(p.windowProfile(), 0);
    EXPECT_TRUE(p.close());
}

// Automatic switching in the window, fed by a focus source and a clock of the
// test's own: the source's reports travel to the window's thread, a focus
// that stayed switches as the tray's Profiles menu does.
struct FakeFocusSource final : FocusSource {
    bool start(Sink given) override {
        *sink = std::move(given);
        return true;
    }
    const std::string& problem() const override { return none; }
    std::shared_ptr<Sink> sink = std::make_shared<Sink>();
    std::string none;
};

class AutoSwitchInWindow : public ProfileSwitch {
  protected:
    void SetUp() override {
        ProfileSwitch::SetUp();
        auto source = std::make_unique<FakeFocusSource>();
        sink = source->sink;
        autoSwitch =
            new AutoProfileSwitch(*p.rig.window, *p.rig.window, *p.rig.session,
                                  {std::move(source), FocusDesktop::X11, [this] { return now; }});
        AutoSwitchRules rules;
        rules.setRule("xterm", "Work");
        rules.setRule("firefox", "Office");
        ASSERT_TRUE(autoSwitch->changeRules(rules));
        ASSERT_TRUE(p.deviceSettled());
    }
    // The source reports from its thread; the window takes it from its queue.
    void focus(const std::string& name, bool own = false) {
        std::thread([this, name, own] { (*sink)(FocusedWindow{{name}, own}); }).join();
        QCoreApplication::processEvents();
    }
    void later(int ms) {
        now += std::chrono::milliseconds(ms);
        autoSwitch->checkSettled();
    }
    int uploads() { return p.deviceSettled() ? p.rig.virtualMouse->uploadsBegun() : -1; }

    std::shared_ptr<FocusSource::Sink> sink;
    AutoProfileSwitch* autoSwitch = nullptr;
    AutoSwitcher::Clock::time_point now{std::chrono::seconds(100)};
};

TEST_F(AutoSwitchInWindow, ASettledFocusSwitchesThroughTheDeviceQueueOnceAndNotDuringABurst) {
    const int before = uploads();
    focus("XTerm");
    later(499);
    EXPECT_EQ(p.windowProfile(), 0);
    later(1);
    EXPECT_EQ(p.windowProfile(), 1);
    EXPECT_EQ(p.seedOnScreen(), 20);
    EXPECT_EQ(readProfileList(p.rig.dir / "str.ini").currentName, "Work");
    EXPECT_EQ(uploads(), before + 1);

    // Through Office's window to a window without a rule: nothing moves.
    focus("firefox");
    later(200);
    focus("mpv");
    later(600);
    EXPECT_EQ(p.windowProfile(), 1);
    EXPECT_EQ(uploads(), before + 1);
    // Another terminal: the profile the mouse holds already sends nothing.
    focus("xterm");
    later(600);
    EXPECT_EQ(uploads(), before + 1);
    // The window's own focus cancels what was pending.
    focus("firefox");
    later(100);
    focus("VL384-netGMClass");
    later(600);
    EXPECT_EQ(p.windowProfile(), 1);
    EXPECT_TRUE(p.rig.balloons.shown.empty());
}

TEST_F(AutoSwitchInWindow, UnsavedChangesPauseItWithOneNoticeAndAMouseAwayGetsItLater) {
    p.rig.state().record.dpiStage[0] = 77;
    const int before = uploads();
    focus("xterm");
    later(500);
    focus("firefox");
    later(500);
    EXPECT_EQ(p.windowProfile(), 0);
    EXPECT_EQ(p.seedOnScreen(), 77) << "the changes stay on screen";
    EXPECT_TRUE(p.rig.messages.messages.empty()) << "no question is asked";
    ASSERT_EQ(p.rig.balloons.shown.size(), 1u);
    EXPECT_EQ(p.rig.balloons.shown[0].text, qstr(autoSwitchTexts(Language::English).paused));
    EXPECT_EQ(uploads(), before);

    // Changes gone, mouse away: the files switch, the mouse gets it on return.
    p.session().loadProfile();
    p.rig.backend.unplug(p.rig.virtualMouse);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !p.rig.link.devicePresent; }));
    focus("xterm");
    later(500);
    EXPECT_EQ(p.windowProfile(), 1);
    EXPECT_TRUE(p.session().mouseOutOfDate());
    p.rig.backend.plug(p.rig.virtualMouse);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !p.session().mouseOutOfDate(); }));
    EXPECT_EQ(p.rig.virtualMouse->uploadsBegun(), before + 1);
}

TEST_F(AutoSwitchInWindow, TheTrayTheRulesWindowAndQvrctlEditOneFile) {
    // The tray's on/off stands right before the separator and "Exit".
    QMenu* menu = p.rig.window->trayMenu();
    const QList<QAction*> actions = menu->actions();
    ASSERT_GE(actions.size(), 3);
    EXPECT_EQ(actions[actions.size() - 3], autoSwitch->trayAction());
    EXPECT_TRUE(actions[actions.size() - 2]->isSeparator());
    EXPECT_TRUE(autoSwitch->trayAction()->isChecked());
    autoSwitch->trayAction()->trigger();
    EXPECT_FALSE(readAutoSwitchRules(p.rig.dir).rules.enabled);
    focus("xterm");
    later(500);
    EXPECT_EQ(p.windowProfile(), 0) << "switched off";

    // A change written by another program is followed at once.
    AutoSwitchRules written = autoSwitch->switcher().rules();
    written.enabled = true;
    written.defaultProfile = "Office";
    ASSERT_TRUE(writeAutoSwitchRules(p.rig.dir, written).ok());
    ASSERT_TRUE(QTest::qWaitFor([&] { return autoSwitch->switcher().rules() == written; }));
    emit p.rig.window->trayMenu()->aboutToShow();
    EXPECT_TRUE(autoSwitch->trayAction()->isChecked());

    // The manager's menu opens the rules, offering what had the focus.
    focus("Steam");
    p.open();
    const auto managerMenu = p.manager()->contextMenu();
    managerMenu->actions().back()->trigger();
    auto* rules = qobject_cast<AutoSwitchRulesDialog*>(autoSwitch->rulesWindow());
    ASSERT_NE(rules, nullptr);
    EXPECT_EQ(rules->ruleList().topLevelItemCount(), 2);
    EXPECT_EQ(rules->defaultBox().currentText(), "Office");
    ASSERT_GE(rules->applicationBox().count(), 1);
    EXPECT_EQ(rules->applicationBox().itemText(0), "Steam");
    for (QWidget* control : std::initializer_list<QWidget*>{
             &rules->enabledBox(), &rules->ruleList(), &rules->applicationBox(),
             &rules->profileBox(), &rules->defaultBox(), &rules->addButton(),
             &rules->removeButton()}) {
        EXPECT_FALSE(control->accessibleName().isEmpty());
        EXPECT_NE(control->focusPolicy() & Qt::TabFocus, 0);
    }
    rules->applicationBox().setCurrentIndex(0);
    rules->profileBox().setCurrentIndex(1);
    rules->addButton().click();
    const AutoSwitchRules edited = readAutoSwitchRules(p.rig.dir).rules;
    ASSERT_NE(edited.ruleFor("steam"), nullptr);
    EXPECT_EQ(edited.ruleFor("steam")->profile, "Work");
    rules->ruleList().setCurrentItem(rules->ruleList().topLevelItem(0));
    rules->removeButton().click();
    EXPECT_EQ(readAutoSwitchRules(p.rig.dir).rules.ruleFor("xterm"), nullptr);
    rules->defaultBox().setCurrentIndex(0);
    emit rules->defaultBox().activated(0);
    EXPECT_EQ(readAutoSwitchRules(p.rig.dir).rules.defaultProfile, "");
    rules->close();
}

// The session says which desktop tells the focus; on KDE and GNOME Wayland
// a source over the session bus tries, and what it found missing at start
// is what the rules window shows, in the window's words.
TEST(FocusDesktops, TheSessionChoosesTheSourceAndOnlyNoDisplayIsRuledOutBeforehand) {
    const struct {
        SessionEnvironment session;
        FocusDesktop desktop;
    } cases[] = {
        {{"wayland", "wayland-0", "KDE", ""}, FocusDesktop::KdeWayland},
        {{"wayland", "wayland-0", "ubuntu:GNOME", ":0"}, FocusDesktop::GnomeWayland},
        {{"", "wayland-0", "sway", ""}, FocusDesktop::Wlroots},
        // A stray WAYLAND_DISPLAY in an X11 session of Plasma.
        {{"x11", "wayland-0", "KDE", ":0"}, FocusDesktop::X11},
        {{"tty", "", "", ""}, FocusDesktop::None},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.session.currentDesktop);
        EXPECT_EQ(chooseFocusDesktop(c.session), c.desktop);
        EXPECT_EQ(focusUnavailableReason(c.desktop).empty(), c.desktop != FocusDesktop::None);
        EXPECT_EQ(makeFocusSource(c.desktop, c.session) != nullptr,
                  c.desktop != FocusDesktop::None);
    }
}

struct RefusingFocusSource final : FocusSource {
    explicit RefusingFocusSource(std::string why) : why(std::move(why)) {}
    bool start(Sink) override { return false; }
    const std::string& problem() const override { return why; }
    std::string why;
};

TEST_F(ProfileSwitch, WhatTheBusSourcesMissAtStartIsWhatTheRulesWindowSays) {
    const struct {
        FocusDesktop desktop;
        std::string problem;
        std::string_view AutoSwitchTexts::*reason;
    } cases[] = {
        {FocusDesktop::KdeWayland, std::string(kKwinSilent) + " KWin said: no such method",
         &AutoSwitchTexts::kdeWayland},
        {FocusDesktop::GnomeWayland, kGnomeExtensionMissing, &AutoSwitchTexts::gnomeWayland},
        {FocusDesktop::GnomeWayland, std::string(kSessionBusUnreachable) + ": refused",
         &AutoSwitchTexts::noSessionBus},
    };
    const AutoSwitchTexts& english = autoSwitchTexts(Language::English);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.problem);
        auto* autoSwitch =
            new AutoProfileSwitch(*p.rig.window, *p.rig.window, *p.rig.session,
                                  {std::make_unique<RefusingFocusSource>(c.problem), c.desktop});
        EXPECT_FALSE(autoSwitch->available());
        EXPECT_FALSE(autoSwitch->trayAction()->isEnabled());
        const QString expected =
            qstr(english.unavailable).arg(qstr(english.*c.reason).arg(kGnomeExtensionUuid));
        EXPECT_EQ(autoSwitch->sourceText(), expected);
        delete autoSwitch;
    }
    // Every language tells how to enable the extension.
    for (const Language language :
         {Language::English, Language::SimplifiedChinese, Language::TraditionalChinese})
        EXPECT_TRUE(qstr(autoSwitchTexts(language).gnomeWayland)
                        .arg(kGnomeExtensionUuid)
                        .contains(QString("gnome-extensions enable ") + kGnomeExtensionUuid));
}

TEST(ProfileNames, NamesThatAreNotUtf8AndAnEmptyCurrentNameRoundTrip) {
    ProfileRig p;
    p.putProfile(0, 10);
    p.putProfile(1, 20);
    p.putProfile(2, 30);
    // Latin-1 "Café", an empty name (current), GBK "游戏".
    const std::string list = "[Profile]\r\nCurProfileName=\r\nItemCount=3\r\nItem0=Caf\xE9\r\n"
                             "Item1=\r\nItem2=\xD3\xCE\xCF\xB7\r\n";
    test::WindowRig::writeFile(p.rig.dir / "str.ini", list);
    p.start();
    EXPECT_EQ(p.seedOnScreen(), 20);
    ProfileManagerDialog& dialog = p.open();
    EXPECT_EQ(dialog.list().currentRow(), 1);
    EXPECT_TRUE(p.close());
    EXPECT_EQ(readBytes(p.rig.dir / "str.ini"), list);
}

TEST(StartUp, ADamagedProfileStartsFromTheFactoryAndNothingUnloadedIsSaved) {
    ProfileRig p;
    p.putProfiles({"Game"}, "Game");
    test::WindowRig::writeFile(p.rig.dir / "config0.bin", std::string(100, '\x33'));
    p.start();
    EXPECT_EQ(p.rig.state().record, factoryRecord());
    ASSERT_EQ(p.rig.messages.messages.size(), 1u);
    EXPECT_NE(p.rig.messages.messages[0].text.find("config0.bin.damaged"), std::string::npos);
    EXPECT_EQ(readBytes(p.rig.dir / "config0.bin.damaged"), std::string(100, '\x33'));
    ASSERT_TRUE(p.session().saveProfile());
    EXPECT_EQ(p.rig.state().record, factoryRecord());
    EXPECT_EQ(p.seedInFile(0), factoryRecord().dpiStage[0]);

    // With no usable list nothing is loaded, and then nothing is saved or sent.
    ProfileRig q;
    q.putProfile(0, 10);
    test::WindowRig::writeFile(q.rig.dir / "str.ini", "[Profile]\r\nItemCount=0\r\n");
    q.start();
    const int uploads = q.rig.virtualMouse->uploadsBegun();
    const std::string file = readBytes(q.rig.dir / "config0.bin");
    EXPECT_FALSE(q.session().saveProfile());
    EXPECT_EQ(q.rig.messages.messages.back().text,
              "No profile is loaded, so nothing was saved or sent to the mouse.");
    EXPECT_EQ(readBytes(q.rig.dir / "config0.bin"), file);
    EXPECT_EQ(q.rig.virtualMouse->uploadsBegun(), uploads);
}

TEST(StartUp, ResetThenReopeningFromTheTrayKeepsTheUsersLabels) {
    ProfileRig p;
    p.putProfiles({"Game"}, "Game");
    const auto defaults = recordFileImage(factoryRecord(), 0); // first-run flag 0
    test::WindowRig::writeFile(p.rig.dir / "config.bin",
                               std::string(defaults.begin(), defaults.end()));
    p.start();
    p.rig.window->trayLeftClick();
    const std::string settings = readBytes(p.rig.dir / "str0.ini");
    p.rig.profile().resetToDefaults(p.rig.state());
    p.rig.window->hideToTray();
    p.rig.window->trayLeftClick();
    EXPECT_EQ(readBytes(p.rig.dir / "str0.ini"), settings);
    EXPECT_EQ(p.rig.state().firstRunFlag, 1);
}

TEST(WriteAccess, AFileIsWritableOnlyAsItsModeBitsAndOwnerSay) {
    QTemporaryDir dir;
    const auto file = std::filesystem::path(dir.path().toStdString()) / "config0.bin";
    test::WindowRig::writeFile(file, "x");
    ::chmod(file.c_str(), 0644);
    EXPECT_TRUE(userMayWriteFile(file));
    ::chmod(file.c_str(), 0444);
    EXPECT_FALSE(userMayWriteFile(file));
    EXPECT_TRUE(userMayWriteFile(file.parent_path() / "none"));
    if (geteuid() == 0) {
        // Another user's file is not root's to replace either.
        ::chmod(file.c_str(), 0644);
        ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
        EXPECT_FALSE(userMayWriteFile(file));
        ::chmod(file.c_str(), 0666);
        EXPECT_TRUE(userMayWriteFile(file));
    }
}

} // namespace
} // namespace qvr
