// The macro manager, the profile manager and profile import and export, run
// from the main window on a virtual mouse in a temporary program folder.
#include "core/buttons/button_catalogue.h"
#include "core/macros/macro_encoder.h"
#include "core/profiles/factory_files.h"
#include "core/profiles/profile_record_file.h"
#include "core/text/language_tables.h"
#include "gui/macros/macro_key_dialog.h"
#include "gui/profiles/macro_profile_dialogs.h"
#include "gui/session/profile_session.h"
#include "gui/widgets/skin_list_box.h"
#include "support/dialog_skin.h"
#include "support/list_clicks.h"
#include "support/macro_dialog_fixture.h"
#include "support/window_rig.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <iterator>

namespace qvr {
namespace {

using test::kX11KeyA;
using test::kX11KeyB;
using test::textsOf;
using test::WindowRig;
using Names = std::vector<std::string>;
using Items = std::vector<std::string>;

std::string readAll(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class DialogsTest : public test::MacroDialogFixture {
  protected:
    // Runs the macro manager with the script; returns whether it ended with OK.
    bool runMacroManager(std::function<void(MacroManagerDialog&)> script) {
        bool ran = false;
        DialogResult result = DialogResult::Cancel;
        dialogs().setRunner(std::make_unique<ScriptedRunner>([&](ModalSkinnedWindow& window) {
            ran = true;
            auto& dialog = static_cast<MacroManagerDialog&>(window);
            script(dialog);
            result = dialog.finished() ? dialog.result() : DialogResult::Cancel;
        }));
        dialogs().openMacroManager();
        EXPECT_TRUE(ran);
        return result == DialogResult::Ok;
    }
    bool confirmMacroManager() {
        return runMacroManager([](MacroManagerDialog& dialog) {
            dialog.clickAt(MacroManagerDialog::kOkRect.center());
        });
    }
    // The program ends and starts again on the same folder.
    void restart() {
        rig.window.reset();
        startWindow();
    }
    // The macro key dialog as a button opens it: the list as offered, and
    // what choosing row gives the button (position, name).
    std::pair<Names, std::pair<int, std::string>> chooseMacroKey(int row) {
        MacroKeyDialog dialog(rig.window->sharedSkin(), rig.window->messages(), Language::English,
                              Qt::green, dialogs().macroKeyChoices());
        dialog.show();
        dialog.toggleList();
        SkinListBox* list = dialog.macroList();
        EXPECT_NE(list, nullptr);
        if (!list)
            return {};
        Names shown;
        for (int i = 0; i < list->count(); ++i)
            shown.push_back(list->item(i)->text().toStdString());
        if (row < list->count())
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->entryRect(row).center());
        return {shown, {dialog.macroPosition(), dialog.macroName()}};
    }
    std::optional<Names> storedTableNames(int profile) {
        return readMacroTableNames(
            loadIniFile(rig.dir / ("str" + std::to_string(profile) + ".ini")).file);
    }
};

// ----------------------------------------------------------- macro manager

// Two macros: "First" presses A, "Second" presses B.
constexpr const char* kFirstAndSecond = "[First]\r\nDelayTimeSelStatus=1\r\nMacroLoopTimes=1\r\n"
                                        "ItemCount=2\r\nItem0=A   Dn\r\nItem1=A   Up\r\n\r\n"
                                        "[Second]\r\nDelayTimeSelStatus=1\r\nMacroLoopTimes=1\r\n"
                                        "ItemCount=2\r\nItem0=B   Dn\r\nItem1=B   Up\r\n";

TEST_F(DialogsTest, RecordingWithDelaysGivesThreeItemsAndWithoutTwoAndIsSaved) {
    runMacroManager([&](MacroManagerDialog& dialog) {
        dialog.newMacro();
        dialog.toggleRecording();
        ASSERT_TRUE(dialog.recording());
        EXPECT_EQ(dialog.windowTitle(), "Press Ctrl+Break key to stop recording");
        key(dialog, QEvent::KeyPress, Qt::Key_A, kX11KeyA);
        tick += 120;
        key(dialog, QEvent::KeyRelease, Qt::Key_A, kX11KeyA);
        dialog.toggleRecording();
        EXPECT_EQ(textsOf(dialog.eventList()), (Items{"A   Dn", "120 ms", "A   Up"}));

        dialog.newMacro();
        dialog.toggleRecordDelays();
        dialog.toggleRecording();
        key(dialog, QEvent::KeyPress, Qt::Key_B, kX11KeyB);
        tick += 120;
        key(dialog, QEvent::KeyRelease, Qt::Key_B, kX11KeyB);
        dialog.toggleRecording();
        EXPECT_EQ(textsOf(dialog.eventList()), (Items{"B   Dn", "B   Up"}));

        // While recording, Tab and Space are keys of the macro: they neither
        // walk to a control nor press one (the record button would stop).
        dialog.newMacro();
        dialog.toggleRecording();
        for (int pressed : {Qt::Key_Tab, Qt::Key_Space}) {
            key(dialog, QEvent::KeyPress, pressed, 0);
            key(dialog, QEvent::KeyRelease, pressed, 0);
        }
        EXPECT_TRUE(dialog.recording());
        EXPECT_EQ(dialog.focusedElement(), std::nullopt);
        dialog.toggleRecording();
        EXPECT_EQ(textsOf(dialog.eventList()),
                  (Items{"Tab   Dn", "Tab   Up", "Space   Dn", "Space   Up"}));
        dialog.cancel();
    });
    const MacroStore macros(store());
    EXPECT_EQ(macros.names(), (Names{"Macro_0", "Macro_1", "Macro_2"}));
    EXPECT_EQ(macros.load("Macro_0").items, (Items{"A   Dn", "120 ms", "A   Up"}));
    EXPECT_TRUE(macros.load("Macro_0").recordDelays);
    EXPECT_EQ(macros.load("Macro_1").items, (Items{"B   Dn", "B   Up"}));
    EXPECT_FALSE(macros.load("Macro_1").recordDelays);
}

// The title's promise: Ctrl+Break ends the recording and is not recorded.
TEST_F(DialogsTest, CtrlBreakStopsTheRecordingAndIsLeftOutOfTheMacro) {
    constexpr int kX11Ctrl = 29 + 8, kX11Pause = 119 + 8;
    runMacroManager([&](MacroManagerDialog& dialog) {
        dialog.newMacro();
        dialog.toggleRecording();
        key(dialog, QEvent::KeyPress, Qt::Key_A, kX11KeyA);
        tick += 60;
        key(dialog, QEvent::KeyRelease, Qt::Key_A, kX11KeyA);
        tick += 500;
        key(dialog, QEvent::KeyPress, Qt::Key_Control, kX11Ctrl);
        EXPECT_EQ(textsOf(dialog.eventList()).back(), "Ctrl   Dn");
        tick += 80;
        key(dialog, QEvent::KeyPress, Qt::Key_Pause, kX11Pause);
        EXPECT_FALSE(dialog.recording());
        EXPECT_EQ(dialog.windowTitle(), "Macro Manager");
        // The chord's own releases come after the stop and go nowhere.
        key(dialog, QEvent::KeyRelease, Qt::Key_Pause, kX11Pause);
        key(dialog, QEvent::KeyRelease, Qt::Key_Control, kX11Ctrl);
        EXPECT_EQ(textsOf(dialog.eventList()), (Items{"A   Dn", "60 ms", "A   Up"}));

        // Pause alone is recorded like any key.
        dialog.newMacro();
        dialog.toggleRecording();
        key(dialog, QEvent::KeyPress, Qt::Key_Pause, kX11Pause);
        tick += 30;
        key(dialog, QEvent::KeyRelease, Qt::Key_Pause, kX11Pause);
        EXPECT_TRUE(dialog.recording());
        dialog.toggleRecording();
        EXPECT_EQ(textsOf(dialog.eventList()), (Items{"Pause   Dn", "30 ms", "Pause   Up"}));
        dialog.cancel();
    });
    const MacroStore macros(store());
    EXPECT_EQ(macros.load("Macro_0").items, (Items{"A   Dn", "60 ms", "A   Up"}));
    EXPECT_EQ(macros.load("Macro_1").items, (Items{"Pause   Dn", "30 ms", "Pause   Up"}));
}

// From the keyboard: Tab to the record button, Space starts, Ctrl+Break
// stops; the Space that started is no key of the macro.
TEST_F(DialogsTest, SpaceOnTheRecordButtonStartsARecordingThatLeavesItsOwnKeyOut) {
    constexpr int kX11Ctrl = 29 + 8, kX11Pause = 119 + 8, kX11Space = 57 + 8;
    runMacroManager([&](MacroManagerDialog& dialog) {
        dialog.newMacro();
        QStringList names;
        for (int i = 0; i < 12 && names.size() < 8; ++i) {
            key(dialog, QEvent::KeyPress, Qt::Key_Tab, 0);
            key(dialog, QEvent::KeyRelease, Qt::Key_Tab, 0);
            if (const auto focused = dialog.focusedElement();
                focused && !names.contains(dialog.elements().nameOf(*focused)))
                names << dialog.elements().nameOf(*focused);
        }
        for (const char* name : {"Close", "Start Recording", "Record delays between key commands",
                                 "Loop Times", "New", "Delete", "OK", "Cancel"})
            EXPECT_TRUE(names.contains(name)) << name;
        while (dialog.elements().nameOf(dialog.focusedElement().value_or(0)) != "Start Recording")
            QTest::keyClick(&dialog, Qt::Key_Tab);
        key(dialog, QEvent::KeyPress, Qt::Key_Space, kX11Space);
        ASSERT_TRUE(dialog.recording());
        // Held a moment: its repeats and release belong to no macro.
        key(dialog, QEvent::KeyRelease, Qt::Key_Space, kX11Space, true, 50);
        key(dialog, QEvent::KeyPress, Qt::Key_Space, kX11Space, true, 50);
        key(dialog, QEvent::KeyRelease, Qt::Key_Space, kX11Space);
        key(dialog, QEvent::KeyPress, Qt::Key_Escape, 9);
        key(dialog, QEvent::KeyRelease, Qt::Key_Escape, 9);
        key(dialog, QEvent::KeyPress, Qt::Key_Space, kX11Space);
        key(dialog, QEvent::KeyRelease, Qt::Key_Space, kX11Space);
        key(dialog, QEvent::KeyPress, Qt::Key_Control, kX11Ctrl);
        key(dialog, QEvent::KeyPress, Qt::Key_Pause, kX11Pause);
        EXPECT_FALSE(dialog.recording());
        EXPECT_FALSE(dialog.finished());
        EXPECT_EQ(textsOf(dialog.eventList()), (Items{"Esc   Dn", "0 ms", "Esc   Up", "0 ms",
                                                      "Space   Dn", "0 ms", "Space   Up"}));
        dialog.cancel();
    });
}

// What the keyboard is on in the macro manager: a face control by its name,
// or a native child by what it is.
QString tabStopOf(MacroManagerDialog& dialog) {
    const QWidget* focus = dialog.focusWidget();
    if (focus == &dialog.nameList())
        return "macro list";
    if (focus == &dialog.eventList())
        return "event list";
    if (focus == &dialog.loopTimesField())
        return "loop times field";
    const auto element = dialog.focusedElement();
    return element ? dialog.elements().nameOf(*element) : QString("nothing");
}

// Tab reads the face column by column, the native lists and the field in
// their places among the skinned controls, and goes round; Shift+Tab is the
// same round backwards. The mark rings a list the keyboard is in.
TEST_F(DialogsTest, TabFollowsReadingOrderOverSkinnedAndNativeControls) {
    constexpr int kX11Tab = 15 + 8;
    WindowRig::writeFile(store(), kFirstAndSecond);
    runMacroManager([&](MacroManagerDialog& dialog) {
        const auto press = [&](Qt::KeyboardModifiers modifiers) {
            const int qtKey = modifiers ? Qt::Key_Backtab : Qt::Key_Tab;
            QKeyEvent down(QEvent::KeyPress, qtKey, modifiers, kX11Tab, 0, 0);
            QCoreApplication::sendEvent(dialog.windowHandle(), &down);
            QKeyEvent up(QEvent::KeyRelease, qtKey, modifiers, kX11Tab, 0, 0);
            QCoreApplication::sendEvent(dialog.windowHandle(), &up);
            return tabStopOf(dialog);
        };
        const QStringList withoutField = {"Close",
                                          "macro list",
                                          "New",
                                          "Delete",
                                          "event list",
                                          "Start Recording",
                                          "Record delays between key commands",
                                          "Loop Times",
                                          "OK",
                                          "Cancel"};
        QStringList forward;
        for (qsizetype i = 0; i < withoutField.size(); ++i)
            forward << press(Qt::NoModifier);
        EXPECT_EQ(forward, withoutField);
        EXPECT_EQ(press(Qt::NoModifier), "Close");

        QStringList backward;
        for (qsizetype i = 0; i < withoutField.size(); ++i)
            backward.prepend(press(Qt::ShiftModifier));
        EXPECT_EQ(backward, withoutField);

        // Space on Loop Times enables the field, which comes right after it.
        while (tabStopOf(dialog) != "Loop Times")
            press(Qt::NoModifier);
        QTest::keyClick(&dialog, Qt::Key_Space);
        ASSERT_TRUE(dialog.loopOption());
        EXPECT_EQ(press(Qt::NoModifier), "loop times field");
        EXPECT_EQ(press(Qt::NoModifier), "OK");
        EXPECT_EQ(press(Qt::ShiftModifier), "loop times field");

        while (tabStopOf(dialog) != "macro list")
            press(Qt::NoModifier);
        // Arrows in the list still choose the macro.
        QTest::keyClick(&dialog.nameList(), Qt::Key_Down);
        EXPECT_EQ(dialog.nameList().currentRow(), 1);
        EXPECT_EQ(textsOf(dialog.eventList()), (Items{"B   Dn", "B   Up"}));
        const QImage face = dialog.grab().toImage();
        const QRect list = MacroManagerDialog::kNameList;
        EXPECT_EQ(face.pixelColor(list.left() - 2, list.center().y()), focusMarkColour());
        EXPECT_NE(face.pixelColor(MacroManagerDialog::kEventList.left() - 2, list.center().y()),
                  focusMarkColour());
        dialog.cancel();
    });
}

TEST_F(DialogsTest, HeldKeyRecordsOnePressAndAFullRecordingStopsPairedAndSaysSo) {
    runMacroManager([&](MacroManagerDialog& dialog) {
        dialog.newMacro();
        dialog.toggleRecordDelays();
        dialog.toggleRecording();
        key(dialog, QEvent::KeyPress, Qt::Key_A, kX11KeyA);
        // A held key as Qt's xcb plugin delivers it: release and press pairs
        // sharing a timestamp, only some marked as repeats.
        for (int i = 0; i < 6; ++i) {
            const quint64 at = 1000 + static_cast<quint64>(i) * 33;
            key(dialog, QEvent::KeyRelease, Qt::Key_A, kX11KeyA, i % 3 == 0, at);
            key(dialog, QEvent::KeyPress, Qt::Key_A, kX11KeyA, i % 3 == 0, at);
        }
        key(dialog, QEvent::KeyRelease, Qt::Key_A, kX11KeyA);
        key(dialog, QEvent::KeyPress, Qt::Key_Shift, 42 + 8);
        EXPECT_EQ(textsOf(dialog.eventList()), (Items{"A   Dn", "A   Up", "Shift   Dn"}));

        for (int i = 0; i < 40 && dialog.recording(); ++i) {
            key(dialog, QEvent::KeyPress, Qt::Key_B, kX11KeyB);
            key(dialog, QEvent::KeyRelease, Qt::Key_B, kX11KeyB);
        }
        EXPECT_FALSE(dialog.recording());
        EXPECT_EQ(dialog.windowTitle(), "Macro Manager");
        dialog.cancel();
    });
    const Macro saved = MacroStore(store()).load("Macro_0");
    const MacroEncoding encoded = encodeMacroReport(saved);
    EXPECT_EQ(encoded.eventsDropped, 0);
    EXPECT_EQ(encoded.eventsWritten, static_cast<int>(saved.items.size()));
    EXPECT_EQ(saved.items.size(), 62u); // 126 bytes hold 63 events; pairs make it 62
    EXPECT_EQ(saved.items.back(), "Shift   Up");
    ASSERT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.messages.messages[0].text,
              std::string(macroManagerTexts(Language::English).macroFull));
}

TEST_F(DialogsTest, EventMenuOpensFromThePointerOnlyAndNeverWhileRecording) {
    runMacroManager([&](MacroManagerDialog& dialog) {
        dialog.newMacro();
        QWidget* viewport = dialog.eventList().viewport();
        const auto request = [&](QContextMenuEvent::Reason reason) {
            QContextMenuEvent event(reason, {5, 5}, viewport->mapToGlobal(QPoint(5, 5)));
            QCoreApplication::sendEvent(reason == QContextMenuEvent::Keyboard
                                            ? static_cast<QWidget*>(&dialog.eventList())
                                            : viewport,
                                        &event);
        };
        request(QContextMenuEvent::Keyboard);
        EXPECT_EQ(dialog.openMenu(), nullptr);
        request(QContextMenuEvent::Mouse);
        ASSERT_NE(dialog.openMenu(), nullptr);
        EXPECT_EQ(dialog.openMenu()->actions().size(), 5);

        dialog.toggleRecording();
        EXPECT_EQ(dialog.openMenu(), nullptr); // recording closes it
        request(QContextMenuEvent::Mouse);
        request(QContextMenuEvent::Keyboard);
        EXPECT_EQ(dialog.openMenu(), nullptr);
        key(dialog, QEvent::KeyPress, Qt::Key_A, kX11KeyA);
        key(dialog, QEvent::KeyRelease, Qt::Key_A, kX11KeyA);
        dialog.toggleRecording();
        EXPECT_EQ(textsOf(dialog.eventList()).size(), 3u);
        dialog.cancel();
    });
}

TEST_F(DialogsTest, EmptiedMacroIsSavedEmpty) {
    WindowRig::writeFile(store(), "[M]\r\nDelayTimeSelStatus=1\r\nMacroLoopTimes=1\r\n"
                                  "ItemCount=2\r\nItem0=A   Dn\r\nItem1=A   Up\r\n");
    EXPECT_TRUE(runMacroManager([&](MacroManagerDialog& dialog) {
        for (int i = 0; i < 2; ++i) {
            dialog.eventList().setCurrentRow(0);
            dialog.runEventCommand(MacroManagerDialog::EventCommand::Delete);
        }
        dialog.clickAt(MacroManagerDialog::kOkRect.center());
    }));
    EXPECT_EQ(MacroStore(store()).load("M").items, Items{});
    EXPECT_EQ(rig.state().record.macroData, MacroTable{});

    // A recording of nothing empties a macro too.
    WindowRig::writeFile(store(), "[M]\r\nDelayTimeSelStatus=1\r\nMacroLoopTimes=1\r\n"
                                  "ItemCount=2\r\nItem0=A   Dn\r\nItem1=A   Up\r\n");
    runMacroManager([&](MacroManagerDialog& dialog) {
        dialog.toggleRecording();
        dialog.toggleRecording();
        dialog.cancel();
    });
    EXPECT_EQ(MacroStore(store()).load("M").items, Items{});
}

TEST_F(DialogsTest, DialogEndingWhileRecordingStopsWithoutSavingOrListening) {
    QPointer<MacroManagerDialog> seen;
    runMacroManager([&](MacroManagerDialog& dialog) {
        seen = &dialog;
        dialog.newMacro();
        dialog.toggleRecording();
        key(dialog, QEvent::KeyPress, Qt::Key_A, kX11KeyA);
        dialog.clickAt(MacroManagerDialog::kCloseRect.center());
        EXPECT_TRUE(dialog.finished());
        EXPECT_FALSE(dialog.recording());
        // The recorder no longer listens: a key now changes nothing.
        key(dialog, QEvent::KeyPress, Qt::Key_B, kX11KeyB);
        EXPECT_EQ(textsOf(dialog.eventList()), (Items{"A   Dn"}));
    });
    EXPECT_TRUE(seen.isNull());
    EXPECT_EQ(MacroStore(store()).load("Macro_0").items, Items{});
}

TEST_F(DialogsTest, OkWhileRecordingStopsItReleasingTheKeysStillDownThenSaves) {
    constexpr int kX11KeyShift = 42 + 8;
    EXPECT_TRUE(runMacroManager([&](MacroManagerDialog& dialog) {
        dialog.newMacro();
        dialog.toggleRecordDelays();
        dialog.toggleRecording();
        key(dialog, QEvent::KeyPress, Qt::Key_Shift, kX11KeyShift);
        key(dialog, QEvent::KeyPress, Qt::Key_A, kX11KeyA);
        dialog.clickAt(MacroManagerDialog::kOkRect.center());
        EXPECT_FALSE(dialog.recording());
    }));
    const Items released{"Shift   Dn", "A   Dn", "A   Up", "Shift   Up"};
    EXPECT_EQ(MacroStore(store()).load("Macro_0").items, released);
    EXPECT_EQ(rig.state().record.macroData, buildMacroTable(store()));

    // The record button ends a recording the same way.
    runMacroManager([&](MacroManagerDialog& dialog) {
        dialog.newMacro();
        dialog.toggleRecording();
        key(dialog, QEvent::KeyPress, Qt::Key_B, kX11KeyB);
        dialog.toggleRecording();
        EXPECT_EQ(textsOf(dialog.eventList()), (Items{"B   Dn", "B   Up"}));
        dialog.cancel();
    });
    EXPECT_EQ(MacroStore(store()).load("Macro_1").items, (Items{"B   Dn", "B   Up"}));
}

TEST_F(DialogsTest, NewNamesMacrosAndRefusesAThirteenth) {
    runMacroManager([&](MacroManagerDialog& dialog) {
        dialog.newMacro();
        EXPECT_EQ(textsOf(dialog.nameList()), (Names{"Macro_0"}));
        dialog.cancel();
    });
    EXPECT_EQ(readAll(store()), "[Macro_0]\r\nMacroLoopTimes=1\r\n");

    std::string text;
    for (int i = 0; i < 7; ++i)
        text += "[Mine" + std::to_string(i) + "]\r\nMacroLoopTimes=1\r\n";
    text += "[Macro_7]\r\nMacroLoopTimes=1\r\n";
    WindowRig::writeFile(store(), text);
    runMacroManager([&](MacroManagerDialog& dialog) {
        dialog.newMacro();
        EXPECT_EQ(dialog.nameList().item(8)->text(), "Macro_8");
        for (int i = 0; i < 3; ++i)
            dialog.newMacro();
        EXPECT_EQ(dialog.nameList().count(), 12);
        EXPECT_TRUE(rig.messages.messages.empty());
        dialog.newMacro();
        EXPECT_EQ(dialog.nameList().count(), 12);
        dialog.cancel();
    });
    ASSERT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.messages.messages[0].text, "Macro numbers up to 12.");
    EXPECT_EQ(rig.messages.messages[0].caption, "Warning");
    EXPECT_EQ(MacroStore(store()).names().size(), 12u);
}

TEST_F(DialogsTest, EventEditingFollowsTheInsertionRulesAndSavesAtOnce) {
    WindowRig::writeFile(store(), "[M]\r\nDelayTimeSelStatus=1\r\nLoopTimeSelStatus=0\r\n"
                                  "MacroLoopTimes=1\r\nItemCount=3\r\nItem0=A   Dn\r\n"
                                  "Item1=120 ms\r\nItem2=A   Up\r\n");
    runMacroManager([&](MacroManagerDialog& dialog) {
        QListWidget& events = dialog.eventList();
        ASSERT_EQ(events.count(), 3);
        using Command = MacroManagerDialog::EventCommand;
        events.setCurrentRow(0);
        dialog.runEventCommand(Command::InsertDelay);
        events.setCurrentRow(1);
        dialog.runEventCommand(Command::InsertDelay);
        events.setCurrentRow(2);
        dialog.runEventCommand(Command::InsertDelay);
        EXPECT_EQ(textsOf(events), (Items{"A   Dn", "120 ms", "A   Up"}));

        events.setCurrentRow(0);
        dialog.runEventCommand(Command::InsertRight);
        EXPECT_EQ(events.currentRow(), 1);
        events.setCurrentRow(3);
        dialog.runEventCommand(Command::Delete);
        EXPECT_EQ(textsOf(events), (Items{"A   Dn", "R-Button   Dn", "R-Button   Up", "A   Up"}));
        events.setCurrentRow(3);
        dialog.runEventCommand(Command::InsertDelay);
        EXPECT_EQ(events.item(3)->text(), "50 ms");
        dialog.cancel();
    });
    EXPECT_EQ(MacroStore(store()).load("M").items,
              (Items{"A   Dn", "R-Button   Dn", "R-Button   Up", "50 ms", "A   Up"}));
}

TEST_F(DialogsTest, DelayEditorClampsLargeValuesAndIgnoresOtherText) {
    WindowRig::writeFile(store(),
                         "[M]\r\nDelayTimeSelStatus=1\r\nMacroLoopTimes=1\r\n"
                         "ItemCount=3\r\nItem0=A   Dn\r\nItem1=120 ms\r\nItem2=A   Up\r\n");
    runMacroManager([&](MacroManagerDialog& dialog) {
        QListWidget& events = dialog.eventList();
        test::doubleClickRow(events, 1);
        ASSERT_NE(dialog.editor(), nullptr);
        dialog.editor()->setText("12a ms");
        QTest::keyClick(dialog.editor(), Qt::Key_Return);
        EXPECT_EQ(events.item(1)->text(), "120 ms");

        QTest::mouseDClick(events.viewport(), Qt::LeftButton, {},
                           events.visualItemRect(events.item(1)).center());
        ASSERT_NE(dialog.editor(), nullptr);
        dialog.editor()->setText("9999999 ms");
        QTest::keyClick(dialog.editor(), Qt::Key_Return);
        EXPECT_EQ(events.item(1)->text(), "6553500 ms");
        QCoreApplication::processEvents(); // the posted save
        dialog.cancel();
    });
    EXPECT_EQ(MacroStore(store()).load("M").items, (Items{"A   Dn", "6553500 ms", "A   Up"}));
}

TEST_F(DialogsTest, ADoubleClickOnAChosenDelayOpensOneEditorAndKeepsWhatWasTyped) {
    WindowRig::writeFile(store(),
                         "[M]\r\nDelayTimeSelStatus=1\r\nMacroLoopTimes=1\r\n"
                         "ItemCount=3\r\nItem0=A   Dn\r\nItem1=120 ms\r\nItem2=A   Up\r\n");
    runMacroManager([&](MacroManagerDialog& dialog) {
        QListWidget& events = dialog.eventList();
        events.setCurrentRow(1); // chosen: its next activation edits it
        // An inserted click moves the choice on without the user.
        dialog.runEventCommand(MacroManagerDialog::EventCommand::InsertMiddle);
        ASSERT_NE(events.currentRow(), 1);
        ASSERT_EQ(events.item(1)->text(), "120 ms");
        // The press opens the editor, the double click must not open another.
        test::doubleClickRow(events, 1);
        ASSERT_NE(dialog.editor(), nullptr);
        EXPECT_EQ(events.viewport()->findChildren<ListItemEditor*>().size(), 1);
        dialog.editor()->setText("700 ms");
        QTest::keyClick(dialog.editor(), Qt::Key_Return);
        QCoreApplication::processEvents(); // the posted save
        // A later click elsewhere commits nothing left behind.
        QTest::mouseClick(dialog.nameList().viewport(), Qt::LeftButton, {},
                          dialog.nameList().visualItemRect(dialog.nameList().item(0)).center());
        QCoreApplication::processEvents();
        EXPECT_EQ(events.item(1)->text(), "700 ms");
        dialog.cancel();
    });
    EXPECT_EQ(MacroStore(store()).load("M").items,
              (Items{"A   Dn", "700 ms", "M-Button   Dn", "M-Button   Up", "A   Up"}));
}

TEST_F(DialogsTest, RenameSurvivesCancelAndReselection) {
    WindowRig::writeFile(store(), "[Macro_0]\r\nDelayTimeSelStatus=1\r\nMacroLoopTimes=1\r\n"
                                  "ItemCount=2\r\nItem0=A   Dn\r\nItem1=A   Up\r\n\r\n"
                                  "[Macro_1]\r\nMacroLoopTimes=1\r\n");
    runMacroManager([&](MacroManagerDialog& dialog) {
        QListWidget& names = dialog.nameList();
        test::doubleClickRow(names, 0);
        EXPECT_EQ(dialog.editor(), nullptr); // the first double click only remembers
        test::doubleClickRow(names, 0);
        ASSERT_NE(dialog.editor(), nullptr);
        QTest::keyClick(dialog.editor(), Qt::Key_Escape);
        EXPECT_EQ(MacroStore(store()).names(), (Names{"Macro_0", "Macro_1"}));

        QTest::mouseDClick(names.viewport(), Qt::LeftButton, {},
                           names.visualItemRect(names.item(0)).center());
        ASSERT_NE(dialog.editor(), nullptr);
        dialog.editor()->setText("Jump");
        // Choosing the other macro ends the edit and keeps the typed name.
        QTest::mouseClick(names.viewport(), Qt::LeftButton, {},
                          names.visualItemRect(names.item(1)).center());
        EXPECT_EQ(textsOf(names), (Names{"Jump", "Macro_1"}));
        EXPECT_EQ(names.currentRow(), 1);
        dialog.cancel();
    });
    const MacroStore macros(store());
    EXPECT_EQ(macros.names(), (Names{"Macro_1", "Jump"}));
    EXPECT_EQ(macros.load("Jump").items, (Items{"A   Dn", "A   Up"}));
}

TEST_F(DialogsTest, OkPutsTableAndKeptInStepMacroNumbersIntoTheRecordAndCancelDoesNot) {
    WindowRig::writeFile(store(), kFirstAndSecond);
    ConfigRecord& record = rig.state().record;
    record.buttonFunction[2] = static_cast<std::uint8_t>(ButtonFunctionType::MacroKey);
    record.buttonMacroNumber[2] = 0; // "First"
    record.buttonFunction[3] = static_cast<std::uint8_t>(ButtonFunctionType::MacroKey);
    record.buttonMacroNumber[3] = 1; // "Second"
    const ConfigRecord before = record;

    // Saving "First" moves it to the end of the store; Cancel keeps the old
    // table, so the numbers must stay as they were too.
    EXPECT_FALSE(runMacroManager([&](MacroManagerDialog& dialog) {
        dialog.saveSelectedMacro();
        dialog.cancel();
    }));
    EXPECT_EQ(MacroStore(store()).names(), (Names{"Second", "First"}));
    EXPECT_EQ(record, before);

    EXPECT_TRUE(runMacroManager([&](MacroManagerDialog& dialog) {
        dialog.nameList().setCurrentRow(0); // "Second"
        dialog.eventList().setCurrentRow(1);
        dialog.runEventCommand(MacroManagerDialog::EventCommand::Delete);
        dialog.nameList().setCurrentRow(1); // "First"
        dialog.saveSelectedMacro();
        dialog.clickAt(MacroManagerDialog::kOkRect.center());
    }));
    EXPECT_EQ(MacroStore(store()).names(), (Names{"Second", "First"}));
    const auto table = buildMacroTable(store());
    ASSERT_TRUE(table);
    EXPECT_EQ(record.macroData, *table);
    EXPECT_EQ(record.macroData[3], 0x05);       // image 0 is "Second": B pressed
    EXPECT_EQ(record.macroData[128 + 3], 0x04); // image 1 is "First": A pressed
    // Each button still plays its macro, across the cancelled run's move too.
    EXPECT_EQ(record.buttonMacroNumber[2], 1);
    EXPECT_EQ(record.buttonMacroNumber[3], 0);
}

TEST_F(DialogsTest, ADeletedMacrosButtonGoesBackToItsFactoryFunctionAndLabel) {
    WindowRig::writeFile(store(), kFirstAndSecond);
    ConfigRecord& record = rig.state().record;
    record.buttonFunction[0] = static_cast<std::uint8_t>(ButtonFunctionType::MacroKey);
    record.buttonMacroNumber[0] = 0; // "First", on the left button
    record.buttonFunction[3] = static_cast<std::uint8_t>(ButtonFunctionType::MacroKey);
    record.buttonMacroNumber[3] = 1; // "Second"
    rig.profile().labels()[0] = "Macro Key-First";
    rig.profile().labels()[3] = "Macro Key-Second";

    EXPECT_TRUE(runMacroManager([&](MacroManagerDialog& dialog) {
        dialog.nameList().setCurrentRow(0);
        dialog.deleteMacro();
        // A new macro takes the freed position: the left button must not
        // start playing it.
        dialog.newMacro();
        dialog.clickAt(MacroManagerDialog::kOkRect.center());
    }));
    const ConfigRecord factory = factoryRecord();
    EXPECT_EQ(record.buttonFunction[0], factory.buttonFunction[0]);
    EXPECT_EQ(record.buttonMacroNumber[0], factory.buttonMacroNumber[0]);
    EXPECT_EQ(rig.profile().labels()[0], defaultButtonLabels(Language::English)[0]);
    EXPECT_EQ(record.buttonMacroNumber[3], 0); // "Second" is first now
    EXPECT_EQ(rig.profile().labels()[3], "Macro Key-Second");
}

TEST_F(DialogsTest, MacroKeyChoicesAreTheTablesMacrosNotCancelledEdits) {
    WindowRig::writeFile(store(), kFirstAndSecond);
    ConfigRecord& record = rig.state().record;
    EXPECT_TRUE(runMacroManager(
        [&](MacroManagerDialog& dialog) { dialog.clickAt(MacroManagerDialog::kOkRect.center()); }));
    const MacroTable confirmed = record.macroData;
    MainWindow& window = *rig.window;
    // OK saved the selected "First", which moved it last.
    EXPECT_EQ(window.macroProfileDialogs().tableMacroNames(), (Names{"Second", "First"}));

    // Edits cancelled in the manager (a save that moves "First", a new
    // macro) stay out of the choices and out of the table.
    EXPECT_FALSE(runMacroManager([&](MacroManagerDialog& dialog) {
        dialog.eventList().setCurrentRow(0);
        dialog.runEventCommand(MacroManagerDialog::EventCommand::Delete);
        dialog.newMacro();
        dialog.cancel();
    }));
    ASSERT_EQ(MacroStore(store()).names(), (Names{"First", "Second", "Macro_2"}));
    EXPECT_EQ(window.macroProfileDialogs().tableMacroNames(), (Names{"Second", "First"}));
    EXPECT_EQ(record.macroData, confirmed);

    // Only the twelve macros the mouse holds are offered.
    std::string text;
    for (int i = 0; i < 14; ++i)
        text += "[M" + std::to_string(i) + "]\r\nMacroLoopTimes=1\r\n";
    WindowRig::writeFile(store(), text);
    EXPECT_TRUE(runMacroManager(
        [&](MacroManagerDialog& dialog) { dialog.clickAt(MacroManagerDialog::kOkRect.center()); }));
    const Names offered = window.macroProfileDialogs().tableMacroNames();
    ASSERT_EQ(offered.size(), 12u);
    EXPECT_EQ(offered.front(), "M1"); // OK saved "M0", which moved it last
    EXPECT_EQ(offered.back(), "M12");
}

// Game's OK reorders the store that Work's table was built from: Work's
// buttons and list must still follow Work's own table.
TEST_F(DialogsTest, EachProfileKeepsTheNamesBehindItsTableAcrossSwitches) {
    WindowRig::writeFile(store(), kFirstAndSecond);
    ConfigRecord work{};
    work.macroData = *buildMacroTable(store());
    const auto image = recordFileImage(work, 1);
    WindowRig::writeFile(rig.dir / "config1.bin", std::string(image.begin(), image.end()));
    WindowRig::writeFile(rig.dir / "str1.ini",
                         "[Skins]\r\nPath=Test\r\n[MacroTable]\r\nItemCount=2\r\n"
                         "Item0=First\r\nItem1=Second\r\n");
    WindowRig::writeFile(rig.dir / "str.ini", "[Profile]\r\nCurProfileName=Game\r\nItemCount=2\r\n"
                                              "Item0=Game\r\nItem1=Work\r\n");
    restart();
    ASSERT_TRUE(confirmMacroManager()); // saves the selected First, which moves it last
    ASSERT_EQ(MacroStore(store()).names(), (Names{"Second", "First"}));
    EXPECT_EQ(dialogs().tableMacroNames(), (Names{"Second", "First"}));

    rig.messages.answers = {UnsavedChoice::Save};
    ASSERT_TRUE(rig.profiles().switchProfile(1));
    EXPECT_EQ(storedTableNames(0), (Names{"Second", "First"})); // kept with Game's Save
    EXPECT_EQ(dialogs().tableMacroNames(), (Names{"First", "Second"}));
    // Listed as the manager lists them; each row plays the macro it names.
    const auto [shown, chosen] = chooseMacroKey(0);
    EXPECT_EQ(shown, (Names{"Second", "First"}));
    EXPECT_EQ(chosen, (std::pair<int, std::string>{1, "Second"}));
    EXPECT_EQ(rig.state().record.macroData[128 + 3], 0x05); // image 1 presses B
    EXPECT_EQ(chooseMacroKey(1).second, (std::pair<int, std::string>{0, "First"}));

    // Back at Game, its own table again.
    ASSERT_TRUE(rig.profiles().switchProfile(0));
    EXPECT_EQ(chooseMacroKey(0).second, (std::pair<int, std::string>{0, "Second"}));
}

// A cancelled run of the manager reorders the store and adds a macro; after a
// restart the table's names come from the profile, not from the store.
TEST_F(DialogsTest, AfterARestartTheKeyListIsTheSavedTablesNotCancelledEdits) {
    WindowRig::writeFile(store(), kFirstAndSecond);
    ASSERT_TRUE(confirmMacroManager());
    ASSERT_EQ(rig.profiles().writeProfile(), true);
    EXPECT_EQ(storedTableNames(0), (Names{"Second", "First"}));

    EXPECT_FALSE(runMacroManager([&](MacroManagerDialog& dialog) {
        dialog.nameList().setCurrentRow(0); // "Second"
        dialog.saveSelectedMacro();
        dialog.newMacro();
        dialog.cancel();
    }));
    ASSERT_EQ(MacroStore(store()).names(), (Names{"First", "Second", "Macro_2"}));
    restart();
    EXPECT_EQ(dialogs().tableMacroNames(), (Names{"Second", "First"}));
    const auto [shown, chosen] = chooseMacroKey(0);
    EXPECT_EQ(shown, (Names{"First", "Second"})); // Macro_2 has no image on the mouse
    EXPECT_EQ(chosen, (std::pair<int, std::string>{1, "First"}));
    EXPECT_EQ(rig.state().record.macroData[128 + 3], 0x04); // image 1 presses A

    // A rename reaches the stored names at once, so it survives a restart.
    EXPECT_FALSE(runMacroManager([&](MacroManagerDialog& dialog) {
        QListWidget& names = dialog.nameList();
        test::doubleClickRow(names, 0);
        test::doubleClickRow(names, 0);
        ASSERT_NE(dialog.editor(), nullptr);
        dialog.editor()->setText("Jump");
        QTest::keyClick(dialog.editor(), Qt::Key_Return);
        dialog.cancel();
    }));
    EXPECT_EQ(storedTableNames(0), (Names{"Second", "Jump"}));
    restart();
    EXPECT_EQ(chooseMacroKey(1).second, (std::pair<int, std::string>{1, "Jump"}));
}

// A profile saved before the names were kept: the store's order is taken
// once, and the next Save keeps it.
TEST_F(DialogsTest, AProfileWithoutStoredNamesTakesTheStoresOrderOnceAndSavesIt) {
    WindowRig::writeFile(store(), kFirstAndSecond);
    restart();
    EXPECT_EQ(rig.state().macroTableNames, std::nullopt);
    EXPECT_EQ(dialogs().tableMacroNames(), (Names{"First", "Second"}));
    // Edits cancelled after the guess do not change it.
    EXPECT_FALSE(runMacroManager([&](MacroManagerDialog& dialog) {
        dialog.saveSelectedMacro(); // "First" moves last
        dialog.cancel();
    }));
    EXPECT_EQ(chooseMacroKey(0).second, (std::pair<int, std::string>{1, "Second"}));
    EXPECT_EQ(storedTableNames(0), std::nullopt);
    const std::string before = readAll(rig.dir / "str0.ini");
    ASSERT_EQ(rig.profiles().writeProfile(), true);
    EXPECT_EQ(storedTableNames(0), (Names{"First", "Second"}));
    // The file's other keys stay as they were.
    EXPECT_EQ(readAll(rig.dir / "str0.ini").rfind("[Skins]\r\nPath=Test\r\n", 0), 0u);
    EXPECT_NE(before.find("[Skins]"), std::string::npos);
}

TEST_F(DialogsTest, LoopTimesFieldWritesAtOnceAndFallsBackToOne) {
    WindowRig::writeFile(store(), "[M]\r\nLoopTimeSelStatus=1\r\nMacroLoopTimes=5\r\n");
    runMacroManager([&](MacroManagerDialog& dialog) {
        QLineEdit& field = dialog.loopTimesField();
        EXPECT_EQ(field.text(), "5");
        EXPECT_TRUE(field.isEnabled());
        field.setText("300");
        EXPECT_EQ(MacroStore(store()).load("M").loopTimes, "300");
        field.setText("70000");
        EXPECT_EQ(field.text(), "1");
        EXPECT_EQ(MacroStore(store()).load("M").loopTimes, "1");
        dialog.toggleLoop();
        EXPECT_FALSE(field.isEnabled());
        dialog.cancel();
    });
}

TEST_F(DialogsTest, MacroBarOpensTheManagerAndFollowsTheAssignmentSection) {
    int runs = 0;
    dialogs().setRunner(std::make_unique<ScriptedRunner>([&](ModalSkinnedWindow&) { ++runs; }));
    MainWindow& window = *rig.window;
    const auto press = [&](QPoint at) { QTest::mouseClick(&window, Qt::LeftButton, {}, at); };
    const QPoint bar = test::rectNamed(window, "Macro Manager").center();
    press(bar);
    EXPECT_EQ(runs, 1);

    window.leftPanel().assignmentOpen = true;
    press(bar); // now inside the open assignment section
    EXPECT_EQ(runs, 1);
    press(bar + QPoint(0, skin::kAssignmentBody.height));
    EXPECT_EQ(runs, 2);
}

// ---------------------------------------------------------- profile manager

class ProfileManagerTest : public DialogsTest {
  protected:
    void writeProfiles(const std::string& section) {
        WindowRig::writeFile(rig.dir / "str.ini", "[Setting-EN]\r\nItem1=Click\r\n\r\n" + section);
    }
    ProfileManagerDialog& open() {
        rig.window->clickAt(MainWindow::kConfigRect.center());
        ProfileManagerDialog* dialog = dialogs().profileManager();
        EXPECT_NE(dialog, nullptr);
        return *dialog;
    }
    void close(ProfileManagerDialog& dialog) {
        dialog.clickAt(ProfileManagerDialog::kCloseRect.center());
        QCoreApplication::processEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(dialogs().profileManager(), nullptr);
    }
    std::string profileSection() {
        const std::string text = readAll(rig.dir / "str.ini");
        const auto at = text.find("[Profile]");
        return at == std::string::npos ? std::string() : text.substr(at);
    }
};

// Opened by pointer or key, it takes the keyboard: Tab goes Close, the list,
// New and round.
TEST_F(ProfileManagerTest, ItTakesTheKeyboardAndTabReadsItTopToBottom) {
    constexpr int kX11Tab = 15 + 8;
    ProfileManagerDialog& dialog = open();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    const auto tab = [&] {
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, kX11Tab, 0, 0);
        QCoreApplication::sendEvent(dialog.windowHandle(), &down);
        QKeyEvent up(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier, kX11Tab, 0, 0);
        QCoreApplication::sendEvent(dialog.windowHandle(), &up);
        if (dialog.focusWidget() == &dialog.list())
            return QString("list");
        const auto element = dialog.focusedElement();
        return element ? dialog.elements().nameOf(*element) : QString("nothing");
    };
    const QStringList order{tab(), tab(), tab(), tab()};
    EXPECT_EQ(order, (QStringList{"Close", "list", "New", "Close"}));
    close(dialog);
}

TEST_F(ProfileManagerTest, NewFollowsTheNamingRuleUpToSixNames) {
    writeProfiles("[Profile]\r\nCurProfileName=PROFILE_1\r\nItemCount=2\r\n"
                  "Item0=PROFILE_0\r\nItem1=PROFILE_1\r\n");
    ProfileManagerDialog& dialog = open();
    EXPECT_EQ(dialog.windowOpacity(), ProfileManagerDialog::kOpacity);
    // The window's profile is selected, whatever the file says meanwhile.
    EXPECT_EQ(dialog.list().currentRow(), 0);
    EXPECT_EQ(rig.profile().currentProfileIndex(), 0);
    // A second Config click while it is open does nothing.
    rig.window->clickAt(MainWindow::kConfigRect.center());
    EXPECT_EQ(dialogs().profileManager(), &dialog);

    dialog.clickAt(ProfileManagerDialog::kNewRect.center());
    EXPECT_EQ(textsOf(dialog.list()), (Names{"PROFILE_0", "PROFILE_1", "PROFILE_2"}));
    for (int i = 0; i < 4; ++i)
        dialog.addProfile();
    EXPECT_EQ(dialog.list().count(), 6);
    ASSERT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.messages.messages[0].text, "Profile numbers up to 6.");
    EXPECT_EQ(rig.messages.messages[0].caption, "Warning");
    dialog.list().setCurrentRow(0);
    close(dialog);
}

TEST_F(ProfileManagerTest, DeletingTheFirstMovesTheFilesWithTheNames) {
    writeProfiles("[Profile]\r\nCurProfileName=A\r\nItemCount=3\r\nItem0=A\r\nItem1=B\r\n"
                  "Item2=C\r\n");
    WindowRig::writeFile(rig.dir / "config1.bin", std::string(kProfileFileSize, '\x01'));
    ProfileManagerDialog& dialog = open();
    dialog.list().setCurrentRow(0);
    rig.messages.confirmations = {true};
    dialog.deleteProfile();
    EXPECT_EQ(textsOf(dialog.list()), (Names{"B", "C"}));
    close(dialog);
    EXPECT_EQ(profileSection(),
              "[Profile]\r\nCurProfileName=B\r\nItemCount=2\r\nItem0=B\r\nItem1=C\r\n");
    EXPECT_EQ(rig.profile().currentProfileIndex(), 0);
    // B's files now sit at position 0, and B is on screen.
    EXPECT_EQ(readAll(rig.dir / "config0.bin"), std::string(kProfileFileSize, '\x01'));
    EXPECT_EQ(rig.state().record.dpiStage[0], 1);
    EXPECT_FALSE(std::filesystem::exists(rig.dir / "config2.bin"));
    EXPECT_EQ(readAll(rig.dir / "str.ini").rfind("[Setting-EN]\r\nItem1=Click", 0), 0u);
}

TEST_F(ProfileManagerTest, TheLastProfileIsNotDeleted) {
    writeProfiles("[Profile]\r\nCurProfileName=A\r\nItemCount=1\r\nItem0=A\r\n");
    ProfileManagerDialog& dialog = open();
    dialog.list().setCurrentRow(0);
    dialog.deleteProfile();
    close(dialog);
    EXPECT_EQ(profileSection(), "[Profile]\r\nCurProfileName=A\r\nItemCount=1\r\nItem0=A\r\n");
    EXPECT_TRUE(std::filesystem::exists(rig.dir / "config0.bin"));
}

TEST_F(ProfileManagerTest, RenameCopyAndMenuTexts) {
    writeProfiles("[Profile]\r\nCurProfileName=A\r\nItemCount=1\r\nItem0=A\r\n");
    ProfileManagerDialog& dialog = open();
    QListWidget& list = dialog.list();
    test::doubleClickRow(list, 0);
    ASSERT_NE(dialog.editor(), nullptr);
    dialog.editor()->setText("Work");
    QTest::keyClick(dialog.editor(), Qt::Key_Return);
    dialog.copyProfile();
    EXPECT_EQ(textsOf(list), (Names{"Work", "Copy Work"}));
    const auto menu = dialog.contextMenu();
    QStringList texts;
    for (QAction* action : menu->actions())
        texts << action->text();
    // The five commands, then the rules of automatic switching after a line.
    EXPECT_EQ(texts,
              QStringList({"Delete", "Edit", "Copy", "Load", "Save", "", "Automatic switching"}));
    close(dialog);
    EXPECT_EQ(
        profileSection(),
        "[Profile]\r\nCurProfileName=Work\r\nItemCount=2\r\nItem0=Work\r\nItem1=Copy Work\r\n");
}

// File dialogs that answer with fixed choices.
struct FixedFileDialogs final : FileDialogs {
    std::optional<std::filesystem::path> open(QWidget*,
                                              const std::filesystem::path& initial) override {
        offered = initial;
        return openChoice;
    }
    std::optional<std::filesystem::path> save(QWidget*,
                                              const std::filesystem::path& initial) override {
        offered = initial;
        return saveChoice;
    }
    bool confirmReplace(QWidget*, const std::filesystem::path& path) override {
        asked.push_back(path);
        return replaceAnswer;
    }
    std::optional<std::filesystem::path> openChoice, saveChoice;
    std::filesystem::path offered;
    std::vector<std::filesystem::path> asked;
    bool replaceAnswer = false;
};

TEST_F(ProfileManagerTest, ExportThenImportRoundTripsTheRecordAndLabels) {
    writeProfiles("[Profile]\r\nCurProfileName=A\r\nItemCount=2\r\nItem0=A\r\nItem1=B\r\n");
    WindowRig::writeFile(rig.dir / "config1.bin", std::string(kProfileFileSize, '\0'));
    auto files = std::make_unique<FixedFileDialogs>();
    FixedFileDialogs& answers = *files;
    dialogs().setFileDialogs(std::move(files));
    QTemporaryDir elsewhere;
    const auto chosen = std::filesystem::path(elsewhere.path().toStdString()) / "mine";
    answers.saveChoice = chosen;
    answers.openChoice = chosen.string() + ".bin";

    ConfigRecord& record = rig.state().record;
    record.dpiStage = {1, 2, 3, 4, 5, 6};
    record.macroData[10] = 0x42;
    rig.profile().labels()[0] = "Fire";
    const ConfigRecord exported = record;

    ProfileManagerDialog& dialog = open();
    dialog.list().setCurrentRow(0);
    dialog.saveProfileToFile();
    QCoreApplication::processEvents(); // the posted export
    EXPECT_TRUE(std::filesystem::exists(chosen.string() + ".bin"));
    EXPECT_TRUE(std::filesystem::exists(rig.dir / "mine.bin"));
    EXPECT_NE(readAll(chosen.string() + ".ini").find("Item1=Fire"), std::string::npos);
    // The names behind the table go with it.
    EXPECT_EQ(readMacroTableNames(loadIniFile(chosen.string() + ".ini").file), Names{});

    record = ConfigRecord{};
    rig.profile().labels()[0] = "Other";
    dialog.loadProfileFromFile();
    QCoreApplication::processEvents(); // the posted import
    EXPECT_EQ(record, exported);
    EXPECT_EQ(rig.profile().labels()[0], "Fire");
    // Later writes go to the profile's own files again.
    EXPECT_EQ(rig.profile().recordFilePath(), rig.dir / "config0.bin");
    EXPECT_TRUE(rig.messages.messages.empty());
    close(dialog);
}

TEST_F(ProfileManagerTest, ExportAsksBeforeReplacingTheLabelsBesideTheChosenFile) {
    writeProfiles("[Profile]\r\nCurProfileName=A\r\nItemCount=1\r\nItem0=A\r\n");
    auto files = std::make_unique<FixedFileDialogs>();
    FixedFileDialogs& answers = *files;
    dialogs().setFileDialogs(std::move(files));
    QTemporaryDir elsewhere;
    const auto folder = std::filesystem::path(elsewhere.path().toStdString());
    WindowRig::writeFile(folder / "mine.ini", "[Setting-EN]\r\nItem1=Keep\r\n");
    answers.saveChoice = folder / "mine.bin";

    dialogs().runProfileCommand(ProfileCommand::Export, 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(answers.asked, std::vector<std::filesystem::path>{folder / "mine.ini"});
    EXPECT_NE(readAll(folder / "mine.ini").find("Item1=Keep"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder / "mine.bin"));
    // The dialog never opens inside the profile folder.
    EXPECT_NE(answers.offered, rig.dir);
    EXPECT_NE(answers.offered.parent_path(), rig.dir);

    answers.replaceAnswer = true;
    dialogs().runProfileCommand(ProfileCommand::Export, 0);
    QCoreApplication::processEvents();
    EXPECT_TRUE(std::filesystem::exists(folder / "mine.bin"));
    EXPECT_EQ(readAll(folder / "mine.ini").find("Item1=Keep"), std::string::npos);
    EXPECT_EQ(answers.offered, folder); // the folder used last
}

TEST_F(ProfileManagerTest, CancelledFileDialogsChangeNothing) {
    writeProfiles("[Profile]\r\nCurProfileName=A\r\nItemCount=1\r\nItem0=A\r\n");
    dialogs().setFileDialogs(std::make_unique<FixedFileDialogs>());
    rig.state().record.dpiStage[0] = 9;
    const ConfigRecord before = rig.state().record;
    dialogs().runProfileCommand(ProfileCommand::Import, 0);
    dialogs().runProfileCommand(ProfileCommand::Export, 0);
    EXPECT_EQ(rig.state().record, before);
    EXPECT_FALSE(std::filesystem::exists(rig.dir / ".bin"));
}

} // namespace
} // namespace qvr
