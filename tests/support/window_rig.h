#pragma once

#include "core/device/virtual_hid_backend.h"
#include "gui/window/main_window.h"
#include "support/gated_clock.h"
#include "support/qt_test_app.h"
#include "support/skin_folder.h"
#include "support/thread_checking_backend.h"

#include <QTemporaryDir>
#include <QTest>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace qvr::test {

struct RecordedBalloon {
    QString title, text;
    int timeoutMs = 0;
};

// A page that notes what the window asks of it, and paints what it is given.
// Declared before the rig, so it outlives the window.
struct RecordingPage final : WindowPage {
    void paintFace(QPainter& painter) override {
        if (paint)
            paint(painter);
    }
    void closePopups() override {
        if (onClosePopups)
            onClosePopups();
        ++popupsClosed;
    }
    void scrollPanel(int thumbTop) override { scrolls.push_back(thumbTop); }
    void panelScrollReleased() override { scrolls.push_back(kReleased); }
    void profileDrawn() override { ++drawn; }
    void press(ElementTable::Id id, QPoint at) override { presses.emplace_back(id, at); }

    static constexpr int kReleased = -1;
    std::function<void(QPainter&)> paint;
    std::function<void()> onClosePopups;
    int popupsClosed = 0;
    std::vector<int> scrolls; // thumb tops, kReleased where it was let go
    int drawn = 0;
    std::vector<std::pair<ElementTable::Id, QPoint>> presses;
};

class RecordingBalloons final : public BalloonSink {
  public:
    void showBalloon(const QString& title, const QString& text, int timeoutMs) override {
        shown.push_back({title, text, timeoutMs});
    }
    std::vector<RecordedBalloon> shown;
};

// Which elements a lookup by name searches: those answering now, or also
// those of closed or hidden sections (their rectangles are where they would
// be shown).
enum class Among { Active, All };

inline std::string roleText(ElementRole role) {
    switch (role) {
    case ElementRole::Button:
        return "button";
    case ElementRole::PageTab:
        return "page tab";
    case ElementRole::SectionHeader:
        return "section header";
    case ElementRole::CheckBox:
        return "check box";
    case ElementRole::RadioButton:
        return "radio button";
    case ElementRole::Slider:
        return "slider";
    case ElementRole::DropDown:
        return "drop-down";
    }
    return "role " + std::to_string(static_cast<int>(role));
}

// The element a screen reader calls name, of that role when one is given.
// Anything but exactly one match stops the test, naming what was looked for.
inline ElementTable::Id elementNamed(const ElementTable& table, const QString& name,
                                     std::optional<ElementRole> role = std::nullopt,
                                     Among among = Among::Active) {
    std::vector<ElementTable::Id> found;
    for (ElementTable::Id id = 0; id < static_cast<ElementTable::Id>(table.size()); ++id) {
        if (table.isNamed(id) && table.nameOf(id) == name && (!role || table[id].role == *role) &&
            (among == Among::All || table.isActive(id)))
            found.push_back(id);
    }
    if (found.size() != 1)
        throw std::runtime_error((found.empty() ? "no " : std::to_string(found.size()) + " ") +
                                 (among == Among::Active ? "active " : "") + "elements named \"" +
                                 name.toStdString() + "\"" +
                                 (role ? " (" + roleText(*role) + ")" : ""));
    return found.front();
}

inline QRect rectNamed(SkinnedWindow& window, const QString& name,
                       std::optional<ElementRole> role = std::nullopt,
                       Among among = Among::Active) {
    ElementTable& table = window.elements();
    return table.rectOf(elementNamed(table, name, role, among));
}

// Clicks the middle of the named element; whether anything took the click.
inline bool clickNamed(SkinnedWindow& window, const QString& name,
                       std::optional<ElementRole> role = std::nullopt) {
    return window.clickAt(rectNamed(window, name, role).center());
}

// A program directory with one profile and a minimal skin, a virtual mouse
// (or none), and a main window built on them but not started.
struct WindowRig {
    enum class Mouse { Present, Absent };

    explicit WindowRig(Mouse mouse = Mouse::Present,
                       std::optional<std::string> lanLine = std::nullopt) {
        qtApp();
        writeFile(dir / "str.ini", "[Profile]\r\nCurProfileName=P1\r\nItemCount=1\r\nItem0=P1\r\n");
        std::string settings = "[Skins]\r\nPath=Test\r\nRColor=0\r\nGColor=255\r\nBColor=0\r\n";
        if (lanLine)
            settings += *lanLine + "\r\n";
        writeFile(dir / "str0.ini", settings);
        writeFile(dir / "config0.bin", std::string(kProfileFileSize, '\0'));
        writeMinimalSkin(dir / "Skins" / "Test");
        if (mouse == Mouse::Present)
            virtualMouse = backend.addMouse();
        session = makeSession();
    }

    ~WindowRig() {
        // The window joins the device thread, which must not wait at a gate.
        clock.release();
        checkedBackend.releaseSearches();
        // The session ends first, as in the program: the queue drains while
        // the window that hears its answers is still there.
        session->shutDown();
        window.reset();
        session.reset();
    }

    std::unique_ptr<UserSession> makeSession() {
        return std::make_unique<UserSession>(UserSessionSetup{.link = &link,
                                                              .messages = &messages,
                                                              .userFolder = dir,
                                                              .factoryFolder = {},
                                                              .instanceLock = {}});
    }
    RecordState& state() { return session->state(); }
    ProfileFiles& profile() { return session->profile(); }
    ProfileSession& profiles() { return *session->profiles(); }
    const RecordState& state() const { return session->state(); }
    const ProfileFiles& profile() const { return session->profile(); }

    static void writeFile(const std::filesystem::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    // A list of these names, current the one at current, each position with
    // its files; a profile's macro byte 0 is its position + 1.
    void writeProfiles(const std::vector<std::string>& names, int current = 0) {
        std::string list =
            "[Profile]\r\nCurProfileName=" + names[static_cast<std::size_t>(current)] +
            "\r\nItemCount=" + std::to_string(names.size()) + "\r\n";
        for (std::size_t i = 0; i < names.size(); ++i) {
            list += "Item" + std::to_string(i) + "=" + names[i] + "\r\n";
            std::string file(kProfileFileSize, '\0');
            file[1 + offsetof(ConfigRecord, macroData)] = static_cast<char>(i + 1);
            writeFile(dir / profileRecordFileName(static_cast<int>(i)), file);
            if (i > 0)
                std::filesystem::copy_file(dir / "str0.ini",
                                           dir / profileSettingsFileName(static_cast<int>(i)),
                                           std::filesystem::copy_options::overwrite_existing);
        }
        writeFile(dir / "str.ini", list);
    }

    // beforeStartUp installs pages as the program does, before the profile
    // loads. Returns once the search has answered and the window has been
    // painted (unless waitForStartUp is false).
    MainWindow& start(const std::function<void(MainWindow&)>& beforeStartUp = {}) {
        MainWindowSetup setup;
        setup.mouse.hotplug = std::make_unique<VirtualHotplugSource>(backend);
        setup.balloons = deliverBalloons ? nullptr : &balloons;
        setup.mouse.permissionProblem = permissionProblem;
        setup.endProcess = [this](int code) { exitCode = code; };
        setup.mouse.hotplugSettle = std::chrono::milliseconds(20);
        setup.trayAvailable = [this] { return trayPresent; };
        setup.trayRecheck = std::chrono::milliseconds(20);
        setup.mouse.searchPatience = searchPatience;
        setup.trayActions = trayActions;
        setup.autostartEntry = dir / "autostart" / "qvr.desktop";
        setup.program = "/opt/qvr tools/bin/qvr";
        // A window that went ended its session: this start is the next run's.
        if (session->ending())
            session = makeSession();
        window = std::make_unique<MainWindow>(*session, std::move(setup));
        if (beforeStartUp)
            beforeStartUp(*window);
        window->startUp();
        window->showAtStart(shown);
        if (waitForStartUp)
            waitUntilSettled(*window);
        return *window;
    }

    static void waitUntilSettled(MainWindow& window) {
        for (int i = 0; i < 2000 && !window.startUpSettled(); ++i)
            QTest::qWait(5);
    }

    QTemporaryDir temp;
    std::filesystem::path dir = pathOf(temp);
    GatedClock clock;
    VirtualHidBackend backend;
    std::shared_ptr<VirtualMouse> virtualMouse;
    ThreadCheckingBackend checkedBackend{backend};
    DeviceLink link{checkedBackend, clock};
    RecordingMessageSink messages;
    RecordingBalloons balloons;
    std::unique_ptr<UserSession> session;
    std::function<std::optional<std::string>()> permissionProblem;
    std::optional<int> exitCode;
    bool trayPresent = true;      // what the window finds when it looks for a tray
    bool deliverBalloons = false; // true: the window's own balloons, not recorded
    bool waitForStartUp = true;
    StartShown shown = StartShown::Normal;
    std::vector<TrayAction> trayActions;
    std::chrono::milliseconds searchPatience{5000};
    std::unique_ptr<MainWindow> window;
};

} // namespace qvr::test
