#pragma once

#include "core/layout/skin_layout.h"
#include "gui/settings/colour_dialog.h"
#include "gui/settings/settings_pages.h"
#include "platform/pointer_desktop.h"
#include "support/window_rig.h"

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

// A GNOME desktop that records what the program asks of it.
class RecordingDesktop final : public PointerDesktop {
  public:
    bool hasMouseSchema() override {
        calls.push_back("schema");
        return true;
    }
    std::optional<double> readDouble(std::string_view key) override {
        const auto text = read(key);
        return text ? std::optional(std::stod(*text)) : std::nullopt;
    }
    std::optional<int> readInt(std::string_view key) override {
        const auto text = read(key);
        return text ? std::optional(std::stoi(*text)) : std::nullopt;
    }
    std::optional<std::string> readString(std::string_view key) override { return read(key); }
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
        return write("x11", std::to_string(numerator) + "/" + std::to_string(denominator) + "/" +
                                std::to_string(threshold));
    }

    // The writes, as "key=value".
    std::vector<std::string> setKeys() const {
        std::vector<std::string> keys;
        for (const auto& call : calls)
            if (call.starts_with("set "))
                keys.push_back(call.substr(4));
        return keys;
    }
    std::string refuseKey;
    std::map<std::string, std::string> values; // the desktop's own, as text
    std::vector<std::string> calls;            // "schema", "get KEY", "set KEY=VALUE"

  private:
    std::optional<std::string> read(std::string_view key) {
        calls.push_back("get " + std::string(key));
        const auto found = values.find(std::string(key));
        return found == values.end() ? std::nullopt : std::optional(found->second);
    }
    bool write(std::string_view key, const std::string& value) {
        calls.push_back("set " + std::string(key) + "=" + value);
        return key != refuseKey;
    }
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

    MainWindow& start() {
        const auto install = [this](MainWindow& window) {
            SettingsPagesSetup setup;
            setup.colours = &colours;
            setup.pointerDesktop = pointerDesktop;
            setup.notes = &notes;
            setup.timings = {.applyBusy = std::chrono::milliseconds(60),
                             .waitCursor = std::chrono::milliseconds(80)};
            pages = &installSettingsPages(window, *rig.session, setup);
        };
        if (installBeforeStartUp)
            return rig.start(install);
        MainWindow& window = rig.start();
        install(window);
        return window;
    }

    MainWindow& window() { return *rig.window; }
    SettingsSections& sections() { return pages->sections(); }
    ConfigRecord& record() { return rig.state().record; }
    bool click(int x, int y) { return rig.window->clickAt(QPoint(x, y)); }
    bool click(QPoint at) { return rig.window->clickAt(at); }
    // The controls by the names screen readers know them by (English).
    QRect rectNamed(const QString& name, std::optional<ElementRole> role = std::nullopt,
                    Among among = Among::Active) {
        return test::rectNamed(*rig.window, name, role, among);
    }
    bool clickNamed(const QString& name, std::optional<ElementRole> role = std::nullopt) {
        return test::clickNamed(*rig.window, name, role);
    }
    bool clickHeader(const QString& title) { return clickNamed(title, ElementRole::SectionHeader); }
    // Where a click on the named slider chooses value, on its middle line: a
    // DPI stage's value v lies v rows above its lowest row, the lighting
    // sliders' six values and the step sliders' eleven at their stops.
    QPoint sliderStop(const QString& name, int value, Among among = Among::Active) {
        ElementTable& table = rig.window->elements();
        const ElementTable::Id id = elementNamed(table, name, ElementRole::Slider, among);
        const QRect rect = table.rectOf(id);
        if (table[id].orientation == Qt::Vertical)
            return {rect.center().x(), rect.bottom() - value};
        const int x =
            table[id].maximum == 6 ? skin::lightingSliderStop(value) : skin::stepSliderStop(value);
        return {rect.left() + x, rect.center().y()};
    }
    bool clickSliderStop(const QString& name, int value) { return click(sliderStop(name, value)); }
    // Paints once, as the screen would, so the pages draw from the record.
    void paint() { (void)rig.window->grab(); }
    std::vector<RecordingMessageSink::Message>& messages() { return rig.messages.messages; }
    QString dpiText(int stage) { return sections().dpiEdit(stage)->text(); }

    // Declared before the window, so they outlive it: its destructor drains
    // the device thread, and a waiting Save's pointer apply still calls them.
    ScriptedColourDialog colours;
    RecordingDesktop desktop;
    PointerDesktop* pointerDesktop = &desktop; // set before start() to use another
    std::ostringstream notes;
    WindowRig rig;
    SettingsPages* pages = nullptr;
    // As the program does: the pages see the profile load at start-up.
    bool installBeforeStartUp = false;
};

} // namespace qvr::test
