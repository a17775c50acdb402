#pragma once

#include "gui/macros/macro_manager_dialog.h"
#include "gui/profiles/macro_profile_dialogs.h"
#include "support/dialog_skin.h"
#include "support/window_rig.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QWindow>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace qvr::test {

// evdev key codes plus the X11 offset, as the recorder reads them.
constexpr int kX11KeyA = 30 + 8;
constexpr int kX11KeyB = 48 + 8;
constexpr int kX11KeyC = 46 + 8;

inline std::vector<std::string> textsOf(const QListWidget& list) {
    std::vector<std::string> items;
    for (int i = 0; i < list.count(); ++i)
        items.push_back(list.item(i)->text().toStdString());
    return items;
}

// The main window on a virtual mouse with the dialogs' skin, and a clock the
// macro recorder reads from tick.
class MacroDialogFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        writeDialogSkin(rig.dir / "Skins" / "Test");
        startWindow();
    }
    // A test that needs more than the macro dialogs installs it here.
    void startWindow() {
        rig.start(beforeStartUp);
        dialogs().setTick([this] { return tick; });
    }

    MacroProfileDialogs& dialogs() { return rig.window->macroProfileDialogs(); }
    std::filesystem::path store() const { return rig.dir / "record.ini"; }

    // Each keystroke gets its own window-system time unless one is given.
    void key(MacroManagerDialog& dialog, QEvent::Type type, int qtKey, int x11Code,
             bool autoRepeat = false, std::optional<quint64> timestamp = std::nullopt) {
        QKeyEvent event(type, qtKey, Qt::NoModifier, static_cast<quint32>(x11Code), 0, 0, QString(),
                        autoRepeat);
        event.setTimestamp(timestamp.value_or(++keyTime));
        QCoreApplication::sendEvent(dialog.windowHandle(), &event);
    }

    std::function<void(MainWindow&)> beforeStartUp;
    WindowRig rig;
    std::uint32_t tick = 1000;
    quint64 keyTime = 1;
};

} // namespace qvr::test
