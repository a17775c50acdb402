// Random sequences of what a user does with profiles, run against a model of
// "name -> settings": after every step each name's files hold that name's
// settings and the window shows the window's profile; Saves meet a failing
// disk or a crash. A short run in the normal suite; QVR_LONG_TESTS=1 runs
// 10,000 sequences.
#include "core/device/clock.h"
#include "core/device/virtual_hid_backend.h"
#include "core/files/private_profile.h"
#include "core/profiles/user_folder.h"
#include "core/text/notification_text.h"
#include "support/faulting_file_system.h"
#include "support/profile_rig.h"
#include "support/qt_test_app.h"
#include "support/settings_rig.h"
#include "support/stress_count.h"

#include <QTest>
#include <cerrno>
#include <random>
#include <sstream>

namespace qvr {
namespace {

using test::profileSettings;
using test::writeDialogSkin;

// The program as a user runs it, restartable on the same folder.
struct Program {
    Program() {
        test::qtApp();
        mouse = backend.addMouse();
        const auto image = recordFileImage(factoryRecord(), 0);
        test::WindowRig::writeFile(dir / "config.bin", std::string(image.begin(), image.end()));
        test::writeMinimalSkin(dir / "Skins" / "Test");
        writeDialogSkin(dir / "Skins" / "Test");
    }

    void start() {
        window.reset();
        session.reset();
        // As the program's start-up does first: a change cut short is finished.
        prepareUserFolder(dir, dir);
        link = std::make_unique<DeviceLink>(backend, clock);
        session = std::make_unique<UserSession>(UserSessionSetup{.link = link.get(),
                                                                 .messages = &messages,
                                                                 .userFolder = dir,
                                                                 .factoryFolder = {},
                                                                 .instanceLock = {}});
        MainWindowSetup setup;
        setup.balloons = &balloons;
        setup.endProcess = [this](int) { ended = true; };
        setup.mouse.hotplug = std::make_unique<VirtualHotplugSource>(backend);
        setup.mouse.hotplugSettle = std::chrono::milliseconds(20);
        window = std::make_unique<MainWindow>(*session, std::move(setup));
        ended = false;
        // Reset and its question come with the settings pages.
        installSettingsPages(*window, *session,
                             {.colours = &colours, .pointerDesktop = &desktop, .notes = &notes});
        window->startUp();
        window->show();
        test::WindowRig::waitUntilSettled(*window);
        window->macroProfileDialogs().setFileDialogs(
            std::unique_ptr<FileDialogs>(files = new test::FixedFileDialogs));
    }

    ProfileManagerDialog* manager() { return window->macroProfileDialogs().profileManager(); }
    void settle() {
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Empty once the window has handled the mouse's going and return;
    // otherwise what it missed.
    std::string replug() {
        // Generous: a long run shares the machine with builds.
        constexpr int kPatience = 60'000;
        const std::size_t shown = balloons.shown.size();
        const auto missed = [&](const char* what) {
            std::string seen = std::string(what) + "; balloons:";
            for (std::size_t i = shown; i < balloons.shown.size(); ++i)
                seen += " [" + balloons.shown[i].title.toStdString() + ": " +
                        balloons.shown[i].text.toStdString() + "]";
            return seen + (session->mousePresent() ? "; mouse present" : "; mouse absent");
        };
        backend.unplug(mouse);
        // A Save's upload under way may be the first to miss the mouse, and
        // the hotplug watch's own word follows: count no balloons, wait for
        // the window to hold the mouse absent.
        if (!QTest::qWaitFor(
                [&] { return balloons.shown.size() > shown && !session->mousePresent(); },
                kPatience))
            return missed("its going was not noticed");
        backend.plug(mouse);
        const QString found = QString::fromStdString(
            balloonForEvent(DeviceEventType::MouseDetected, 0, Language::English, {})->text);
        if (!QTest::qWaitFor(
                [&] {
                    return session->mousePresent() && !session->deviceQueue().busy() &&
                           balloons.shown.back().text == found;
                },
                kPatience))
            return missed("its return was not noticed");
        return {};
    }

    // Outlive the window, whose last Save may still apply pointer settings.
    test::ScriptedColourDialog colours;
    test::RecordingDesktop desktop;
    std::ostringstream notes;
    QTemporaryDir temp;
    std::filesystem::path dir = test::pathOf(temp);
    ManualClock clock;
    VirtualHidBackend backend;
    std::shared_ptr<VirtualMouse> mouse;
    std::unique_ptr<DeviceLink> link;
    RecordingMessageSink messages;
    test::RecordingBalloons balloons;
    std::unique_ptr<UserSession> session;
    std::unique_ptr<MainWindow> window;
    test::FixedFileDialogs* files = nullptr;
    bool ended = false; // the close button or Exit ended the program
};

// What the user should see and find on disk.
struct Model {
    std::vector<std::string> names;
    std::vector<ConfigRecord> saved; // by position
    std::string storedCurrent;       // CurProfileName as last written
    int window = 0;
    ConfigRecord screen{}, snapshot{};
    bool imported = false;
    bool managerOpen = false;
    std::optional<int> selected;
    std::vector<ConfigRecord> exported;

    bool dirty() const { return imported || screen != snapshot; }
    void load(int position) {
        window = position;
        screen = snapshot = saved[static_cast<std::size_t>(position)];
        imported = false;
    }
    void save() {
        saved[static_cast<std::size_t>(window)] = snapshot = screen;
        imported = false;
    }
    // A question about changes, answered; false when the user cancelled.
    bool leave(UnsavedChoice answer) {
        if (!dirty())
            return true;
        if (answer == UnsavedChoice::Cancel)
            return false;
        if (answer == UnsavedChoice::Save)
            save();
        return true;
    }
    void restart() {
        managerOpen = false;
        selected.reset();
        int position = 0;
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i] == storedCurrent)
                position = static_cast<int>(i);
        }
        load(position);
    }
};

class Sequence {
  public:
    Sequence(unsigned seed, int steps) : random_(seed), steps_(steps) {}

    void run() {
        for (int i = 0; i < 3; ++i) {
            const auto image =
                recordFileImage(profileSettings(static_cast<std::uint8_t>(i + 1)), 1);
            test::WindowRig::writeFile(program_.dir / profileRecordFileName(i),
                                       std::string(image.begin(), image.end()));
            test::WindowRig::writeFile(program_.dir / profileSettingsFileName(i),
                                       "[Skins]\r\nPath=Test\r\n");
            model_.names.push_back("P" + std::to_string(i));
            model_.saved.push_back(profileSettings(static_cast<std::uint8_t>(i + 1)));
        }
        model_.storedCurrent = "P0";
        ASSERT_TRUE(ProfileSlots(program_.dir).writeList(model_.names, "P0").ok());
        program_.start();
        model_.load(0);
        check("start");
        for (int step = 0; step < steps_ && !::testing::Test::HasFailure(); ++step)
            check(act());
    }

  private:
    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random_); }
    UnsavedChoice anyAnswer() { return static_cast<UnsavedChoice>(pick(3)); }
    std::vector<std::string> listed() const { return model_.names; }

    std::string act() {
        ProfileManagerDialog* dialog = program_.manager();
        std::ostringstream did;
        switch (pick(16)) {
        case 0: // open the manager
            if (dialog)
                return "open (already)";
            program_.window->clickAt(MainWindow::kConfigRect.center());
            model_.managerOpen = true;
            model_.selected = model_.window;
            return "open";
        case 1: { // New
            if (!dialog || model_.names.size() >= 6)
                return "new (no)";
            dialog->addProfile();
            model_.names.push_back(nextProfileName(listed()));
            model_.saved.push_back(factoryRecord());
            model_.selected = static_cast<int>(model_.names.size()) - 1;
            model_.storedCurrent = model_.names[static_cast<std::size_t>(model_.window)];
            return "new";
        }
        case 2: { // Copy
            if (!dialog || !model_.selected || model_.names.size() >= 6)
                return "copy (no)";
            dialog->copyProfile();
            const auto from = static_cast<std::size_t>(*model_.selected);
            model_.names.push_back("Copy " + model_.names[from]);
            model_.saved.push_back(model_.saved[from]);
            model_.storedCurrent = model_.names[static_cast<std::size_t>(model_.window)];
            return "copy " + std::to_string(from);
        }
        case 3: { // rename
            if (!dialog || !model_.selected)
                return "rename (no)";
            const int row = *model_.selected;
            dialog->list().setCurrentRow(row);
            // A committed editor lingers until deleted later: only a new one
            // means the rename was armed.
            const ListItemEditor* earlier = dialog->editor();
            dialog->renameProfile();
            if (!dialog->editor() || dialog->editor() == earlier)
                return "rename (not armed)";
            const std::string name = "R" + std::to_string(renames_++);
            dialog->editor()->setText(QString::fromStdString(name));
            dialog->editor()->commit();
            model_.names[static_cast<std::size_t>(row)] = name;
            model_.storedCurrent = model_.names[static_cast<std::size_t>(model_.window)];
            return "rename " + std::to_string(row);
        }
        case 4: { // Delete, answering its question
            if (!dialog || !model_.selected)
                return "delete (no)";
            const int row = *model_.selected;
            const bool yes = pick(3) != 0;
            program_.messages.confirmations = {yes};
            dialog->deleteProfile();
            program_.messages.confirmations.clear();
            if (model_.names.size() < 2)
                return "delete (last)";
            if (!yes)
                return "delete (cancelled)";
            model_.names.erase(model_.names.begin() + row);
            model_.saved.erase(model_.saved.begin() + row);
            const int count = static_cast<int>(model_.names.size());
            if (model_.window > row)
                model_.window -= 1;
            else if (model_.window == row)
                model_.load(std::min(row, count - 1));
            model_.selected = model_.window;
            model_.storedCurrent = model_.names[static_cast<std::size_t>(model_.window)];
            return "delete " + std::to_string(row);
        }
        case 5: { // select a row, or click the blank part of the list
            if (!dialog)
                return "select (no)";
            const int row = pick(static_cast<int>(model_.names.size()) + 1);
            if (row == static_cast<int>(model_.names.size())) {
                QWidget* viewport = dialog->list().viewport();
                QTest::mouseClick(viewport, Qt::LeftButton, {},
                                  QPoint(20, viewport->height() - 10));
                model_.selected.reset();
                return "blank click";
            }
            dialog->list().setCurrentRow(row);
            model_.selected = row;
            return "select " + std::to_string(row);
        }
        case 6: { // close the manager, answering a question if one comes
            if (!dialog)
                return "close (no)";
            const UnsavedChoice answer = anyAnswer();
            program_.messages.answers = {answer};
            dialog->clickAt(ProfileManagerDialog::kCloseRect.center());
            program_.settle();
            program_.messages.answers.clear();
            did << "close answering " << static_cast<int>(answer);
            if (model_.selected && *model_.selected != model_.window) {
                if (!model_.leave(answer))
                    return did.str() + " (stays open)";
                model_.load(*model_.selected);
            }
            model_.managerOpen = false;
            model_.selected.reset();
            model_.storedCurrent = model_.names[static_cast<std::size_t>(model_.window)];
            return did.str();
        }
        case 7: { // change the settings on screen
            ConfigRecord& record = program_.session->state().record;
            const auto value = static_cast<std::uint8_t>(100 + pick(100));
            if (pick(2) == 0)
                record.dpiStage[0] = value;
            else
                record.macroData[0] = value;
            model_.screen = record;
            return "change";
        }
        case 8: // Save
            program_.session->profiles()->saveProfile();
            model_.save();
            return "save";
        case 9: { // export the selected profile
            if (!dialog || !model_.selected)
                return "export (no)";
            const int row = *model_.selected;
            const std::string name = "e" + std::to_string(model_.exported.size());
            program_.files->saveChoice = program_.dir / "exports" / name;
            std::filesystem::create_directories(program_.dir / "exports");
            dialog->saveProfileToFile();
            program_.settle();
            model_.exported.push_back(
                row == model_.window ? model_.screen : model_.saved[static_cast<std::size_t>(row)]);
            return "export " + std::to_string(row);
        }
        case 10: { // import an exported file into the selected profile
            if (!dialog || !model_.selected || model_.exported.empty())
                return "import (no)";
            const int row = *model_.selected;
            const int file = pick(static_cast<int>(model_.exported.size()));
            program_.files->openChoice =
                program_.dir / "exports" / ("e" + std::to_string(file) + ".bin");
            const UnsavedChoice answer = anyAnswer();
            program_.messages.answers = {answer};
            dialog->loadProfileFromFile();
            program_.settle();
            program_.messages.answers.clear();
            did << "import " << file << " into " << row << " answering "
                << static_cast<int>(answer);
            if (row != model_.window) {
                if (!model_.leave(answer))
                    return did.str() + " (cancelled)";
                model_.load(row);
            }
            model_.screen = model_.exported[static_cast<std::size_t>(file)];
            model_.imported = true;
            return did.str();
        }
        case 11: { // Reset, answering its question: the factory settings part, saved
            const bool yes = pick(2) == 0;
            program_.messages.confirmations = {yes};
            program_.window->clickAt(MainWindow::kResetRect.center());
            program_.messages.confirmations.clear();
            if (!yes)
                return "reset (cancelled)";
            const ConfigRecord defaults = factoryRecord();
            std::copy_n(recordBytes(defaults).begin() + 1, kSettingsPartSize - 1,
                        recordBytes(model_.screen).begin() + 1);
            model_.save();
            return "reset";
        }
        case 12: { // the close button, answering a question if one comes
            const UnsavedChoice answer = anyAnswer();
            program_.messages.answers = {answer};
            program_.window->clickAt(MainWindow::kCloseRect.center());
            program_.messages.answers.clear();
            did << "close answering " << static_cast<int>(answer);
            if (!model_.leave(answer)) {
                EXPECT_FALSE(program_.ended) << "ended although the user cancelled";
                return did.str() + " (cancelled)";
            }
            EXPECT_TRUE(program_.ended) << "did not end";
            program_.start();
            model_.restart();
            return did.str() + ", start";
        }
        case 13: // the mouse goes and comes back: edits and an import stay
            EXPECT_EQ(program_.replug(), "") << "after: " << log_;
            if (!model_.dirty())
                model_.load(model_.window);
            return "plug";
        case 14: { // Save on a disk that fails one step, or cut short at one
            const int step = pick(5);
            const bool crash = pick(2) == 0;
            bool written = false;
            bool cut = false;
            {
                test::FaultingFileSystem faulting;
                crash ? faulting.cutAt(step) : faulting.failAt(step, EIO);
                try {
                    written = program_.session->profiles()->saveProfile();
                } catch (const test::CutShort&) {
                    cut = true;
                }
            }
            did << (crash ? "save cut at " : "save failing at ") << step;
            if (written) {
                model_.save();
                return did.str();
            }
            // The whole Save or nothing of it, which the start after a cut
            // makes sure of.
            if (cut) {
                program_.start();
                did << ", start";
            }
            const ConfigRecord onDisk = savedRecord(model_.window);
            const auto at = static_cast<std::size_t>(model_.window);
            EXPECT_TRUE(onDisk == model_.saved[at] || onDisk == model_.screen) << where(did);
            model_.saved[at] = onDisk;
            if (cut)
                model_.restart();
            return did.str();
        }
        default: // restart: the manager's unsaved selection and the changes go
            program_.start();
            model_.restart();
            return "restart";
        }
    }

    ConfigRecord savedRecord(int position) const {
        const RecordFileRead read = readRecordFile(program_.dir / profileRecordFileName(position));
        ConfigRecord record{};
        std::copy(read.recordBytes.begin(), read.recordBytes.end(), recordBytes(record).begin());
        return record;
    }
    std::string where(const std::ostringstream& step) const {
        return "at: " + step.str() + " after: " + log_;
    }

    void check(const std::string& step) {
        log_ += step + "; ";
        const auto where = [&] { return "after: " + log_; };
        const ProfileList list = readProfileList(program_.dir / "str.ini");
        ASSERT_EQ(list.names, model_.names) << where();
        for (std::size_t i = 0; i < model_.names.size(); ++i) {
            const RecordFileRead read =
                readRecordFile(program_.dir / profileRecordFileName(static_cast<int>(i)));
            ASSERT_EQ(read.status, RecordFileStatus::Loaded) << i << ' ' << where();
            ConfigRecord onDisk{};
            std::copy(read.recordBytes.begin(), read.recordBytes.end(),
                      recordBytes(onDisk).begin());
            ASSERT_EQ(onDisk, model_.saved[i]) << "profile " << i << ' ' << where();
        }
        ASSERT_EQ(program_.session->profile().currentProfileIndex(), model_.window) << where();
        ASSERT_EQ(program_.session->state().record, model_.screen) << where();
        ASSERT_EQ(program_.session->profiles()->hasUnsavedChanges(), model_.dirty()) << where();
        ASSERT_EQ(program_.manager() != nullptr, model_.managerOpen) << where();
    }

    std::mt19937 random_;
    int steps_;
    int renames_ = 0;
    Program program_;
    Model model_;
    std::string log_;
};

TEST(ProfileModel, RandomSequencesKeepEveryNameWithItsOwnSettings) {
    const auto sequences = static_cast<unsigned>(test::stressCount(12, 10000));
    for (auto seed = static_cast<unsigned>(test::firstSequence());
         seed < sequences && !::testing::Test::HasFailure(); ++seed) {
        test::reportProgress(seed);
        SCOPED_TRACE("sequence " + std::to_string(seed));
        Sequence(seed, 20).run();
    }
}

} // namespace
} // namespace qvr
