#include "core/buttons/key_tables.h"
#include "gui/buttons/key_combination_dialog.h"
#include "gui/buttons/single_key_dialog.h"
#include "gui/widgets/key_event_names.h"
#include "gui/widgets/label_text.h"
#include "support/button_page_support.h"
#include "support/qt_test_app.h"
#include "support/skin_folder.h"

#include <QAccessible>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace qvr::test {
namespace {

struct DialogRig {
    DialogRig() {
        qtApp();
        writeMinimalSkin(folder());
    }
    std::filesystem::path folder() const { return pathOf(temp) / "Skin"; }
    std::shared_ptr<SkinImageCache> skin() {
        return std::make_shared<SkinImageCache>(QString::fromStdString(folder().string()),
                                                messages);
    }
    QTemporaryDir temp;
    RecordingMessageSink messages;
};

// Counts the keystrokes that get past the capture to the dialog's widgets.
class KeyCounter : public QObject {
  public:
    int presses = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::KeyPress)
            ++presses;
        return false;
    }
};

TEST(KeyNaming, KeysWithoutScanCodeAreNamedFromTheQtKeyAndKeypadFlag) {
    EXPECT_EQ(keyNameFromQtKey(Qt::Key_A, Qt::NoModifier), "A");
    EXPECT_EQ(keyNameFromQtKey(Qt::Key_A, Qt::ShiftModifier), "A");
    EXPECT_EQ(keyNameFromQtKey(Qt::Key_Exclam, Qt::ShiftModifier), "1"); // Shift+1
    EXPECT_EQ(keyNameFromQtKey(Qt::Key_1, Qt::KeypadModifier), "Num 1");
    EXPECT_EQ(keyNameFromQtKey(Qt::Key_End, Qt::KeypadModifier), "Num 1"); // Num Lock off
    EXPECT_EQ(keyNameFromQtKey(Qt::Key_End, Qt::NoModifier), "End");
    EXPECT_EQ(keyNameFromQtKey(Qt::Key_Delete, Qt::KeypadModifier), "Num Del");
    EXPECT_EQ(keyNameFromQtKey(Qt::Key_Period, Qt::KeypadModifier), "Num Del");
    EXPECT_EQ(keyNameFromQtKey(Qt::Key_Enter, Qt::KeypadModifier), "Num Enter");
    EXPECT_EQ(keyNameFromQtKey(Qt::Key_Return, Qt::NoModifier), "Enter");
    EXPECT_EQ(keyNameFromQtKey(Qt::Key_Control, Qt::ControlModifier), "Ctrl");
    EXPECT_EQ(keyNameFromQtKey(Qt::Key_Super_R, Qt::NoModifier), "Right Windows");
    EXPECT_EQ(keyNameFromQtKey(Qt::Key_F12, Qt::NoModifier), "F12");
    EXPECT_EQ(keyNameFromQtKey(Qt::Key_Print, Qt::NoModifier), "Prnt Scrn");
    // Every name above is a row of the key table.
    for (const char* name : {"A", "1", "Num 1", "Num Del", "Num Enter", "Right Windows"})
        EXPECT_NE(keyNameToCode(name), 0) << name;
}

TEST(KeyNaming, UnknownKeysKeepAReadableNameThatMapsToNoCode) {
    for (int key : {int(Qt::Key_F24), int(Qt::Key_VolumeUp), int(Qt::Key_unknown), 0}) {
        const std::string name = keyNameFromQtKey(key, Qt::NoModifier);
        EXPECT_FALSE(name.empty()) << key;
        EXPECT_EQ(keyNameToCode(name), 0) << name;
    }
    // A scan code the key table does not know.
    QKeyEvent event(QEvent::KeyPress, 0, Qt::NoModifier, 8 + 200, 0, 0);
    EXPECT_EQ(keyNameToCode(keyNameFromKeyEvent(event)), 0);
    EXPECT_FALSE(keyNameFromKeyEvent(event).empty());
}

TEST(SingleKeyDialog, PressingAThenOkReturnsA) {
    DialogRig rig;
    SingleKeyDialog dialog(rig.skin(), rig.messages, Language::English, Qt::green);
    dialog.show();
    EXPECT_TRUE(dialog.capturing());
    EXPECT_EQ(dialog.size(), QSize(378, 284));
    tapKey(dialog, Qt::Key_A, kX11A);
    EXPECT_EQ(dialog.keyName(), "A");
    dialog.clickAt(SkinnedDialog::kOkRect.center());
    EXPECT_TRUE(dialog.finished());
    EXPECT_EQ(dialog.result(), DialogResult::Ok);
    EXPECT_EQ(dialog.keyName(), "A");
    // The capture ends with the dialog.
    EXPECT_FALSE(dialog.capturing());
    tapKey(dialog, Qt::Key_B);
    EXPECT_EQ(dialog.keyName(), "A");
    EXPECT_TRUE(rig.messages.messages.empty());
}

TEST(SingleKeyDialog, EnterAndEscAreCapturedButNeverEndTheDialog) {
    DialogRig rig;
    SingleKeyDialog dialog(rig.skin(), rig.messages, Language::English, Qt::green);
    dialog.show();
    tapKey(dialog, Qt::Key_A);
    tapKey(dialog, Qt::Key_Return);
    EXPECT_FALSE(dialog.finished());
    EXPECT_EQ(dialog.keyName(), "Enter");
    tapKey(dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.finished());
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.keyName(), "Esc");
    // Tab and Space are keys here too, never a walk to OK and a press of it.
    tapKey(dialog, Qt::Key_Tab);
    EXPECT_EQ(dialog.keyName(), "Tab");
    tapKey(dialog, Qt::Key_Space);
    EXPECT_EQ(dialog.keyName(), "Space");
    EXPECT_FALSE(dialog.finished());
    EXPECT_EQ(dialog.focusedElement(), std::nullopt);
}

TEST(SingleKeyDialog, LeftAndRightModifiersAreNamedApartByScanCode) {
    DialogRig rig;
    SingleKeyDialog dialog(rig.skin(), rig.messages, Language::English, Qt::green);
    dialog.show();
    sendKey(dialog, QEvent::KeyPress, Qt::Key_Control, kX11RightCtrl, Qt::ControlModifier);
    EXPECT_EQ(dialog.keyName(), "Right Ctrl");
    sendKey(dialog, QEvent::KeyPress, Qt::Key_Control, kX11LeftCtrl, Qt::ControlModifier);
    EXPECT_EQ(dialog.keyName(), "Ctrl");
    // A release names its key again.
    sendKey(dialog, QEvent::KeyRelease, Qt::Key_Control, kX11RightCtrl);
    EXPECT_EQ(dialog.keyName(), "Right Ctrl");
    tapKey(dialog, Qt::Key_End, kX11Keypad1, Qt::KeypadModifier);
    EXPECT_EQ(dialog.keyName(), "Num 1");
}

TEST(SingleKeyDialog, WindowsKeysAreCapturedButKeptFromTheWidgets) {
    DialogRig rig;
    SingleKeyDialog dialog(rig.skin(), rig.messages, Language::English, Qt::green);
    dialog.show();
    KeyCounter counter;
    dialog.installEventFilter(&counter);
    tapKey(dialog, Qt::Key_A, kX11A);
    EXPECT_EQ(counter.presses, 1);
    tapKey(dialog, Qt::Key_Super_L, kX11LeftWindows);
    EXPECT_EQ(dialog.keyName(), "Left Windows");
    EXPECT_EQ(counter.presses, 1);
}

TEST(SingleKeyDialog, CancelAndCloseEndWithCancel) {
    DialogRig rig;
    for (QPoint at : {SkinnedDialog::kCancelRect.center(), SkinnedDialog::kCloseRect.center()}) {
        SingleKeyDialog dialog(rig.skin(), rig.messages, Language::English, Qt::green);
        dialog.show();
        tapKey(dialog, Qt::Key_A);
        QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, at);
        EXPECT_TRUE(dialog.finished());
        EXPECT_EQ(dialog.result(), DialogResult::Cancel);
    }
}

TEST(SingleKeyDialog, AMissingBackgroundIsReportedAndNothingIsCaptured) {
    DialogRig rig;
    std::filesystem::remove(rig.folder() / "single-key.png");
    SingleKeyDialog dialog(rig.skin(), rig.messages, Language::English, Qt::green);
    dialog.show();
    ASSERT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.messages.messages[0].text, "error");
    EXPECT_EQ(rig.messages.messages[0].caption,
              "Single Key Dialog Load background image failed!!!");
    EXPECT_FALSE(dialog.capturing());
    tapKey(dialog, Qt::Key_A);
    dialog.clickAt(SkinnedDialog::kOkRect.center());
    EXPECT_EQ(dialog.result(), DialogResult::Ok);
    EXPECT_EQ(dialog.keyName(), "");
}

QStringList textsDrawnIn(QWidget& dialog, QRect room);

// The name the screen reader gives the control the keyboard is on.
QString focusedName(SkinnedWindow& dialog) {
    const auto focused = dialog.focusedElement();
    return focused ? dialog.elements().nameOf(*focused) : QString();
}

TEST(SingleKeyDialog, OpenedByTheKeyboardTheNextKeyIsTakenAndTheKeyboardGoesOnToOk) {
    DialogRig rig;
    SingleKeyDialog dialog(rig.skin(), rig.messages, Language::English, Qt::green);
    dialog.setOpenedBy(SkinnedDialog::OpenedBy::Keyboard);
    dialog.show();
    EXPECT_TRUE(dialog.keyboardCaptureRunning());
    EXPECT_EQ(focusedName(dialog), "Key");
    // The Space that opened the dialog comes up here: no key of the capture.
    sendKey(dialog, QEvent::KeyRelease, Qt::Key_Space);
    EXPECT_EQ(dialog.keyName(), "");
    // Enter is taken like any key, and ends nothing.
    tapKey(dialog, Qt::Key_Return);
    EXPECT_EQ(dialog.keyName(), "Enter");
    EXPECT_FALSE(dialog.finished());
    EXPECT_FALSE(dialog.keyboardCaptureRunning());
    EXPECT_EQ(focusedName(dialog), "Ok");
    EXPECT_TRUE(dialog.focusMarkShown());
    // Outside a capture Enter and Esc still end nothing, and are not taken.
    tapKey(dialog, Qt::Key_Escape);
    EXPECT_FALSE(dialog.finished());
    EXPECT_EQ(dialog.keyName(), "Enter");

    // Back to the key box, Space takes another key: here a held chord,
    // taken until every key of it is up (repeats end nothing).
    tapKey(dialog, Qt::Key_Backtab);
    ASSERT_EQ(focusedName(dialog), "Key");
    tapKey(dialog, Qt::Key_Space);
    EXPECT_TRUE(dialog.keyboardCaptureRunning());
    sendKey(dialog, QEvent::KeyPress, Qt::Key_Control, kX11RightCtrl, Qt::ControlModifier);
    sendKey(dialog, QEvent::KeyPress, Qt::Key_A, kX11A, Qt::ControlModifier);
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_A, Qt::ControlModifier, kX11A, 0, 0, QString(),
                     true);
    QApplication::sendEvent(dialog.windowHandle(), &repeat);
    EXPECT_TRUE(dialog.keyboardCaptureRunning());
    sendKey(dialog, QEvent::KeyRelease, Qt::Key_Control, kX11RightCtrl);
    EXPECT_TRUE(dialog.keyboardCaptureRunning());
    sendKey(dialog, QEvent::KeyRelease, Qt::Key_A, kX11A);
    EXPECT_FALSE(dialog.keyboardCaptureRunning());
    EXPECT_EQ(dialog.keyName(), "A");
    EXPECT_EQ(focusedName(dialog), "Ok");
    tapKey(dialog, Qt::Key_Space);
    EXPECT_TRUE(dialog.finished());
    EXPECT_EQ(dialog.result(), DialogResult::Ok);
    EXPECT_EQ(dialog.keyName(), "A");
}

TEST(SingleKeyDialog, APointerPressMakesAKeyboardsDialogCaptureEveryKeyAgain) {
    DialogRig rig;
    SingleKeyDialog dialog(rig.skin(), rig.messages, Language::English, Qt::green);
    dialog.setOpenedBy(SkinnedDialog::OpenedBy::Keyboard);
    dialog.show();
    tapKey(dialog, Qt::Key_A, kX11A);
    ASSERT_EQ(focusedName(dialog), "Ok");
    QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier, QPoint(300, 150));
    EXPECT_EQ(dialog.openedBy(), SkinnedDialog::OpenedBy::Pointer);
    tapKey(dialog, Qt::Key_Tab);
    tapKey(dialog, Qt::Key_Space);
    EXPECT_EQ(dialog.keyName(), "Space");
    EXPECT_FALSE(dialog.finished());
    // The key box is no control of the pointer's dialog: a click on it
    // is a click on the face.
    EXPECT_FALSE(dialog.elements().elementAt(SingleKeyDialog::kKeyDisplayRect.center()));
}

TEST(ComboKeyDialog, OpenedByTheKeyboardSpaceOpensTheModifiersAndFillsAFieldWithTheNextKey) {
    DialogRig rig;
    KeyCombinationDialog dialog(rig.skin(), rig.messages, Language::English, Qt::green);
    dialog.setOpenedBy(SkinnedDialog::OpenedBy::Keyboard);
    dialog.show();
    // Nothing is taken before a box asks for it.
    tapKey(dialog, Qt::Key_A, kX11A);
    EXPECT_EQ(dialog.key1Name(), "");
    ASSERT_EQ(focusedName(dialog), "Modifier");
    QAccessibleInterface* modifier = nullptr;
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&dialog);
    for (int i = 0; i < face->childCount(); ++i)
        if (face->child(i)->text(QAccessible::Name) == "Modifier")
            modifier = face->child(i);
    ASSERT_NE(modifier, nullptr);
    EXPECT_TRUE(modifier->state().focused);
    EXPECT_EQ(modifier->role(), QAccessible::ComboBox);
    EXPECT_FALSE(modifier->state().expanded);
    tapKey(dialog, Qt::Key_Space);
    ASSERT_NE(dialog.modifierList(), nullptr);
    EXPECT_TRUE(modifier->state().expanded);
    EXPECT_FALSE(dialog.keyField1()->isEnabled());
    // Esc closes the list as its opener does; Space opens it again.
    tapKey(dialog, Qt::Key_Escape);
    EXPECT_EQ(dialog.modifierList(), nullptr);
    tapKey(dialog, Qt::Key_Space);
    tapKey(dialog, Qt::Key_Down);
    tapKey(dialog, Qt::Key_Down);
    tapKey(dialog, Qt::Key_Return);
    EXPECT_EQ(dialog.modifierName(), "Left Shift");
    EXPECT_EQ(dialog.modifierList(), nullptr);
    EXPECT_EQ(modifier->text(QAccessible::Value), "Left Shift");
    EXPECT_EQ(focusedName(dialog), "Modifier");

    tapKey(dialog, Qt::Key_Tab);
    ASSERT_EQ(focusedName(dialog), "Key 1");
    tapKey(dialog, Qt::Key_Space);
    EXPECT_EQ(dialog.keyboardCaptureField(), dialog.keyField1());
    tapKey(dialog, Qt::Key_Tab); // a key like any other here
    EXPECT_EQ(dialog.key1Name(), "Tab");
    EXPECT_EQ(focusedName(dialog), "OK");
    tapKey(dialog, Qt::Key_Backtab);
    ASSERT_EQ(focusedName(dialog), "Key 2");
    tapKey(dialog, Qt::Key_Space);
    tapKey(dialog, Qt::Key_Escape);
    EXPECT_EQ(dialog.key2Name(), "Esc");
    EXPECT_FALSE(dialog.finished());
    tapKey(dialog, Qt::Key_Space);
    EXPECT_EQ(dialog.result(), DialogResult::Ok);
    EXPECT_EQ(dialog.key1Name(), "Tab");
    EXPECT_EQ(dialog.modifierName(), "Left Shift");
}

TEST(CaptureDialogs, TheKeyboardsHintShowsOnlyInADialogOpenedByTheKeyboard) {
    DialogRig rig;
    for (Language language : {Language::English, Language::TraditionalChinese}) {
        const QString hint = QString::fromUtf8(keyboardTexts(language).singleKeyHint.data());
        SingleKeyDialog pointer(rig.skin(), rig.messages, language, Qt::green);
        pointer.show();
        EXPECT_TRUE(textsDrawnIn(pointer, SingleKeyDialog::kHintRect).isEmpty());
        SingleKeyDialog keyboard(rig.skin(), rig.messages, language, Qt::green);
        keyboard.setOpenedBy(SkinnedDialog::OpenedBy::Keyboard);
        keyboard.show();
        EXPECT_EQ(textsDrawnIn(keyboard, SingleKeyDialog::kHintRect).join(""), hint);
    }
}

TEST(ComboKeyDialog, KeysGoToTheClickedFieldAndNowhereWithoutOne) {
    DialogRig rig;
    KeyCombinationDialog dialog(rig.skin(), rig.messages, Language::English, Qt::green);
    dialog.show();
    tapKey(dialog, Qt::Key_A, kX11A);
    EXPECT_EQ(dialog.key1Name(), "");
    EXPECT_EQ(dialog.key2Name(), "");
    EXPECT_EQ(dialog.keyField1()->text(), "");

    QTest::mouseClick(dialog.keyField1(), Qt::LeftButton);
    tapKey(dialog, Qt::Key_A, kX11A);
    EXPECT_EQ(dialog.key1Name(), "A");
    EXPECT_EQ(dialog.keyField1()->text(), "A");
    QTest::mouseClick(dialog.keyField2(), Qt::LeftButton);
    tapKey(dialog, Qt::Key_Control, kX11RightCtrl);
    EXPECT_EQ(dialog.key1Name(), "A");
    EXPECT_EQ(dialog.key2Name(), "Right Ctrl");
    EXPECT_EQ(dialog.keyField2()->text(), "Right Ctrl");
    tapKey(dialog, Qt::Key_Return);
    EXPECT_FALSE(dialog.finished());
    EXPECT_EQ(dialog.key2Name(), "Enter");
    // Tab is captured and leaves the field where it was for the next key.
    tapKey(dialog, Qt::Key_Tab);
    EXPECT_EQ(dialog.key2Name(), "Tab");
    EXPECT_EQ(dialog.focusWidget(), dialog.keyField2());
    tapKey(dialog, Qt::Key_A, kX11A);
    EXPECT_EQ(dialog.key2Name(), "A");
    EXPECT_EQ(dialog.key1Name(), "A");
}

TEST(ComboKeyDialog, TheModifierListDisablesTheFieldsUntilAChoiceClosesIt) {
    DialogRig rig;
    KeyCombinationDialog dialog(rig.skin(), rig.messages, Language::English, Qt::green);
    dialog.show();
    QTest::mouseClick(dialog.keyField1(), Qt::LeftButton);
    QTest::mouseClick(&dialog, Qt::LeftButton, Qt::NoModifier,
                      KeyCombinationDialog::kModifierClickRect.center());
    SkinListBox* list = dialog.modifierList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->geometry(), KeyCombinationDialog::kModifierListRect);
    ASSERT_EQ(list->count(), 8);
    EXPECT_EQ(list->item(0)->text(), "Left Ctrl");
    EXPECT_EQ(list->item(7)->text(), "Right Win");
    EXPECT_FALSE(dialog.keyField1()->isEnabled());
    EXPECT_FALSE(dialog.keyField2()->isEnabled());
    tapKey(dialog, Qt::Key_B);
    EXPECT_EQ(dialog.key1Name(), ""); // a disabled field takes nothing

    hoverEntry(*list, 5);
    EXPECT_EQ(list->currentRow(), 5);
    EXPECT_EQ(dialog.modifierName(), ""); // hovering is no choice
    clickEntry(*list, 1);
    EXPECT_EQ(dialog.modifierName(), "Left Shift");
    EXPECT_EQ(dialog.modifierPosition(), 1);
    EXPECT_EQ(dialog.modifierList(), nullptr);
    EXPECT_TRUE(dialog.keyField1()->isEnabled());
    tapKey(dialog, Qt::Key_A, kX11A);
    EXPECT_EQ(dialog.key1Name(), "A"); // the field has its focus back

    // The opener toggles, and a click elsewhere closes without a choice.
    dialog.clickAt(KeyCombinationDialog::kModifierClickRect.center());
    dialog.clickAt(KeyCombinationDialog::kModifierClickRect.center());
    EXPECT_EQ(dialog.modifierList(), nullptr);
    dialog.clickAt(KeyCombinationDialog::kModifierClickRect.center());
    ASSERT_NE(dialog.modifierList(), nullptr);
    dialog.clickAt({300, 60});
    EXPECT_EQ(dialog.modifierList(), nullptr);
    EXPECT_TRUE(dialog.keyField2()->isEnabled());
    EXPECT_EQ(dialog.modifierName(), "Left Shift");
}

// The texts drawn inside a rectangle of the dialog, in drawing order.
QStringList textsDrawnIn(QWidget& dialog, QRect room) {
    DrawnTextLog log;
    (void)dialog.grab();
    QStringList texts;
    for (const DrawnText& drawn : log.texts)
        if (room.contains(drawn.rect))
            texts << drawn.text;
    return texts;
}

TEST(ComboKeyDialog, SaysHowToUseItAndShowsTheCapturedKeysOnCapsThatTakeNoClicks) {
    constexpr quint32 kX11B = 48 + 8, kX11RightWindows = 126 + 8;
    DialogRig rig;
    KeyCombinationDialog dialog(rig.skin(), rig.messages, Language::English, Qt::green);
    dialog.show();
    EXPECT_EQ(textsDrawnIn(dialog, KeyCombinationDialog::kPromptRect),
              QStringList{QString::fromUtf8(keyCombinationDialogTexts(Language::English).prompt)});
    EXPECT_TRUE(QString::fromUtf8(keyCombinationDialogTexts(Language::English).prompt)
                    .startsWith("Press the key combination"));
    // Nothing captured: three empty places, no names.
    EXPECT_TRUE(textsDrawnIn(dialog, KeyCombinationDialog::kCombinationRect).isEmpty());

    QTest::mouseClick(dialog.keyField2(), Qt::LeftButton);
    tapKey(dialog, Qt::Key_A, kX11A);
    EXPECT_EQ(textsDrawnIn(dialog, KeyCombinationDialog::kCombinationRect), QStringList{"A"});
    dialog.clickAt(KeyCombinationDialog::kModifierClickRect.center());
    clickEntry(*dialog.modifierList(), 7);
    QTest::mouseClick(dialog.keyField1(), Qt::LeftButton);
    tapKey(dialog, Qt::Key_Super_R, kX11RightWindows);
    // In the order the mouse sends them, the longest names whole.
    EXPECT_EQ(textsDrawnIn(dialog, KeyCombinationDialog::kCombinationRect),
              (QStringList{"Right Win", "Right Windows", "A"}));

    // A click on the caps is a click on the dialog's face: it changes
    // nothing, not even which field takes the next key.
    for (int y = KeyCombinationDialog::kCombinationRect.top();
         y < KeyCombinationDialog::kCombinationRect.bottom(); y += 8) {
        const QPoint at(KeyCombinationDialog::kCombinationRect.center().x(), y);
        EXPECT_FALSE(dialog.elements().elementAt(at).has_value()) << y;
        EXPECT_EQ(dialog.childAt(at), nullptr) << y;
    }
    dialog.clickAt(KeyCombinationDialog::kCombinationRect.center());
    tapKey(dialog, Qt::Key_B, kX11B);
    EXPECT_EQ(dialog.key1Name(), "B");
    EXPECT_EQ(dialog.key2Name(), "A");
}

TEST(ComboKeyDialog, CancelEndsWithCancelAndChineseTextsAreUsed) {
    DialogRig rig;
    KeyCombinationDialog dialog(rig.skin(), rig.messages, Language::SimplifiedChinese, Qt::green);
    dialog.show();
    QTest::mouseClick(dialog.keyField1(), Qt::LeftButton);
    tapKey(dialog, Qt::Key_A);
    dialog.clickAt(SkinnedDialog::kCancelRect.center());
    EXPECT_EQ(dialog.result(), DialogResult::Cancel);
    EXPECT_FALSE(dialog.capturing());
    bool foundOk = false;
    for (ElementTable::Id id = 0; id < static_cast<int>(dialog.elements().size()); ++id)
        foundOk = foundOk || dialog.elements()[id].label == QString::fromUtf8("确定");
    EXPECT_TRUE(foundOk);
}

} // namespace
} // namespace qvr::test
