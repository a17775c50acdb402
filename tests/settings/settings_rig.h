#pragma once

#include "app/window_rig.h"
#include "settings/colour_dialog.h"
#include "settings/command_runner.h"
#include "settings/settings_pages.h"

#include <QLineEdit>
#include <deque>
#include <filesystem>
#include <map>
#include <sstream>

namespace qvr::test {

// Answers the colour dialog with the colours queued; an empty queue cancels.
class ScriptedColourDialog final : public ColourDialog {
  public:
    std::optional<QColor> pickColour(QColor initial) override {
        ++opened;
        initials.push_back(initial);
        if (answers.empty())
            return std::nullopt;
        const QColor colour = answers.front();
        answers.pop_front();
        return colour;
    }
    std::deque<QColor> answers;
    std::vector<QColor> initials; // the colour each opening started at
    int opened = 0;
};

// A GNOME desktop that records the settings programs run.
class RecordingRunner final : public CommandRunner {
  public:
    int run(const std::vector<std::string>& argv) override {
        calls.push_back(argv);
        if (argv.at(0) == "gsettings" && argv.size() > 3 && argv[3] == refuseKey)
            return 1;
        return 0;
    }
    // "gsettings list-recursively" answers from desktop.
    int capture(const std::vector<std::string>& argv, std::string& output) override {
        calls.push_back(argv);
        for (const auto& [key, value] : desktop)
            output += argv.at(2) + " " + key + " " + value + "\n";
        return 0;
    }
    std::vector<std::string> setKeys() const {
        std::vector<std::string> keys;
        for (const auto& call : calls)
            if (call.size() > 4 && call[1] == "set")
                keys.push_back(call[3] + "=" + call[4]);
        return keys;
    }
    std::string refuseKey;
    std::map<std::string, std::string> desktop;
    std::vector<std::vector<std::string>> calls;
};

// The main window on the generated skin, with the settings pages built in.
struct SettingsRig {
    explicit SettingsRig(WindowRig::Mouse mouse = WindowRig::Mouse::Present) : rig(mouse) {
        std::filesystem::create_directory_symlink(QVR_FACTORY_DIR "/Skins/Carbon",
                                                  rig.dir / "Skins" / "Carbon");
        WindowRig::writeFile(rig.dir / "str0.ini",
                             "[Skins]\r\nPath=Carbon\r\nRColor=0\r\nGColor=255\r\nBColor=0\r\n");
        // A sane profile: the pointer values a desktop accepts.
        ConfigRecord record{};
        record.reportRateCode = 1;
        record.dpiStage = {16, 32, 48, 64, 0, 0};
        record.lightingMode = 1;
        record.lightingParam1 = record.lightingParam2 = record.lightingParam3 = 3;
        record.pointerSpeed = 6;
        record.doubleClickSpeed = 7;
        record.wheelScrollLines = 3;
        record.angleSnapLevel = 1;
        record.sensitivityX = record.sensitivityY = 6;
        writeProfile(record);
    }

    void writeProfile(const ConfigRecord& record) {
        std::string bytes(1, '\1');
        const auto view = recordBytes(record);
        bytes.append(view.begin(), view.end());
        WindowRig::writeFile(rig.dir / "config0.bin", bytes);
    }

    CMavloDlg& start() {
        const auto install = [this](CMavloDlg& window) {
            SettingsPagesSetup setup;
            setup.colours = &colours;
            setup.pointerCommands = pointerCommands;
            setup.notes = &notes;
            setup.timings = {.applyBusy = std::chrono::milliseconds(60),
                             .waitCursor = std::chrono::milliseconds(80)};
            pages = &installSettingsPages(window, setup);
        };
        if (installBeforeStartUp)
            return rig.start(install);
        CMavloDlg& window = rig.start();
        install(window);
        return window;
    }

    CMavloDlg& window() { return *rig.window; }
    SettingsSections& sections() { return pages->sections(); }
    ConfigRecord& record() { return rig.state.record; }
    bool click(int x, int y) { return rig.window->clickAt(QPoint(x, y)); }
    // Paints once, as the screen would, so the pages draw from the record.
    void paint() { (void)rig.window->grab(); }
    std::vector<RecordingMessageSink::Message>& messages() { return rig.messages.messages; }
    QString dpiText(int stage) { return sections().dpiEdit(stage)->text(); }

    // Declared before the window, so they outlive it: its destructor drains
    // the device thread, and a waiting Save's pointer apply still calls them.
    ScriptedColourDialog colours;
    RecordingRunner runner;
    CommandRunner* pointerCommands = &runner; // set before start() to use another
    std::ostringstream notes;
    WindowRig rig;
    SettingsPages* pages = nullptr;
    // As the program does: the pages see the profile load at start-up.
    bool installBeforeStartUp = false;
};

} // namespace qvr::test
