// Runs on the wayland platform under a headless compositor (on_weston.sh):
// there a client cannot place its own top-levels, so every window the
// program opens must belong to the main window, as its transient or child.
#include "gui/buttons/assignment_section.h"
#include "gui/profiles/macro_profile_dialogs.h"
#include "gui/profiles/profile_manager_dialog.h"
#include "gui/session/profile_transfer.h"
#include "gui/settings/colour_dialog.h"
#include "gui/window/message_boxes.h"
#include "support/button_page_support.h"
#include "support/window_rig.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <gtest/gtest.h>

namespace qvr::test {
namespace {

bool belongsTo(const QWidget& widget, const QWidget& main) {
    if (!widget.isWindow())
        return widget.window() == &main;
    const QWindow* handle = widget.windowHandle();
    return handle && handle->transientParent() == main.windowHandle();
}

// Answers the next modal dialog (message box, colour or file dialog) by
// closing it, after noting whether it belonged to the main window.
class ModalCloser {
  public:
    explicit ModalCloser(const QWidget& main) : main_(main) {
        timer_.setInterval(20);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible())
                return;
            seen = modal->metaObject()->className();
            belonged = belongsTo(*modal, main_);
            modal->close();
        });
        timer_.start();
    }
    QString seen;
    bool belonged = false;

  private:
    const QWidget& main_;
    QTimer timer_;
};

void writeMacroManagerSkin(const std::filesystem::path& folder) {
    const QColor face(30, 32, 40);
    writePng(folder / "MacroManagement/MacroManagement.png", {490, 434}, face);
    writePng(folder / "Config/Config.png", {263, 598}, face);
}

struct WaylandRig {
    WaylandRig() {
        writeMacroManagerSkin(rig.dir / "Skins" / "Test");
        window = &rig.start();
        EXPECT_EQ(QGuiApplication::platformName(), "wayland");
    }
    WindowRig rig;
    MainWindow* window = nullptr;
};

TEST(WaylandDialogs, TheCaptureAndMacroKeyDialogsAreTransientsOfTheMainWindow) {
    WaylandRig wayland;
    MainWindow& window = *wayland.window;
    auto* section = window.findChild<AssignmentSection*>();
    ASSERT_NE(section, nullptr);
    ScriptedDialogRunner runner;
    std::vector<bool> belonged;
    runner.script = [&](SkinnedDialog& dialog) {
        belonged.push_back(belongsTo(dialog, window));
        return DialogResult::Cancel;
    };
    section->setDialogRunner(&runner);
    window.clickAt(LeftPanel::kAssignmentHeader.center());
    // Single key, key combination, macro key.
    for (const auto& [button, entry] : {std::pair{4, 10}, {4, 11}, {8, 12}}) {
        window.clickAt(AssignmentSection::boxRect(button - 1).center());
        ASSERT_NE(section->functionList(button - 1), nullptr);
        clickEntry(*section->functionList(button - 1), entry);
    }
    EXPECT_EQ(belonged, (std::vector<bool>{true, true, true}));
}

TEST(WaylandDialogs, TheMacroAndProfileManagersAndTheHelpPanelBelongToTheMainWindow) {
    WaylandRig wayland;
    MainWindow& window = *wayland.window;
    bool managerBelonged = false;
    window.macroProfileDialogs().setRunner(std::make_unique<ScriptedRunner>(
        [&](ModalSkinnedWindow& dialog) { managerBelonged = belongsTo(dialog, window); }));
    window.macroProfileDialogs().openMacroManager();
    EXPECT_TRUE(managerBelonged);

    window.macroProfileDialogs().openProfileManager();
    auto* profiles = window.findChild<ProfileManagerDialog*>();
    ASSERT_NE(profiles, nullptr);
    EXPECT_TRUE(profiles->isVisible());
    EXPECT_TRUE(belongsTo(*profiles, window));

    window.toggleHelpPanel();
    auto* help = window.findChild<HelpPanel*>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(belongsTo(*help, window));
}

TEST(WaylandDialogs, MessageColourAndFileDialogsAreOwnedByTheMainWindow) {
    WaylandRig wayland;
    MainWindow& window = *wayland.window;
    {
        ModalCloser closer(window);
        MessageBoxes boxes;
        boxes.setOwner(&window);
        boxes.showMessage("text", "caption");
        EXPECT_EQ(closer.seen, "QMessageBox");
        EXPECT_TRUE(closer.belonged);
    }
    {
        ModalCloser closer(window);
        QtColourDialog colours;
        colours.setOwner(&window);
        EXPECT_FALSE(colours.pickColour(Qt::black).has_value());
        EXPECT_EQ(closer.seen, "QColorDialog");
        EXPECT_TRUE(closer.belonged);
    }
    {
        ModalCloser closer(window);
        QtFileDialogs files;
        EXPECT_FALSE(files.open(&window, wayland.rig.dir / "config0.bin").has_value());
        EXPECT_EQ(closer.seen, "QFileDialog");
        EXPECT_TRUE(closer.belonged);
    }
}

TEST(WaylandDialogs, TheTitleMenuIsATransientOfTheMainWindow) {
    WaylandRig wayland;
    MainWindow& window = *wayland.window;
    QContextMenuEvent onTitle(QContextMenuEvent::Mouse, {300, 10},
                              window.mapToGlobal(QPoint(300, 10)));
    QApplication::sendEvent(&window, &onTitle);
    ASSERT_TRUE(window.trayMenu()->isVisible());
    EXPECT_EQ(window.trayMenu()->windowHandle()->transientParent(), window.windowHandle());
    window.trayMenu()->hide();
}

} // namespace
} // namespace qvr::test
