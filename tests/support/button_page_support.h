#pragma once

#include "gui/widgets/skin_list_box.h"
#include "gui/widgets/skinned_dialog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWindow>
#include <functional>

namespace qvr::test {

// Runs a dialog by a test's script instead of a modal loop: the dialog is
// shown, the script presses its keys and buttons and returns its result.
class ScriptedDialogRunner final : public ModalRunner {
  public:
    std::function<DialogResult(SkinnedDialog&)> script;
    int runs = 0;

    DialogResult run(ModalSkinnedWindow& dialog) override {
        ++runs;
        dialog.show();
        return script ? script(static_cast<SkinnedDialog&>(dialog)) : DialogResult::Cancel;
    }
};

// X11 keycodes (evdev + 8) of a few keys, as the X server reports them.
inline constexpr quint32 kX11A = 38;
inline constexpr quint32 kX11LeftCtrl = 37;
inline constexpr quint32 kX11RightCtrl = 105;
inline constexpr quint32 kX11Keypad1 = 87;
inline constexpr quint32 kX11LeftWindows = 133;

// A keystroke as the window system delivers it: to the dialog's window.
inline void sendKey(QWidget& dialog, QEvent::Type type, int key, quint32 scanCode = 0,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent event(type, key, modifiers, scanCode, 0, 0);
    QApplication::sendEvent(dialog.windowHandle(), &event);
}

inline void tapKey(QWidget& dialog, int key, quint32 scanCode = 0,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    sendKey(dialog, QEvent::KeyPress, key, scanCode, modifiers);
    sendKey(dialog, QEvent::KeyRelease, key, scanCode, modifiers);
}

inline void hoverEntry(SkinListBox& list, int row) {
    const QPoint at = list.entryRect(row).center();
    QMouseEvent move(QEvent::MouseMove, at, list.viewport()->mapToGlobal(at), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(list.viewport(), &move);
}

inline void clickEntry(SkinListBox& list, int row) {
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier,
                      list.entryRect(row).center());
}

inline void moveMouse(QWidget& widget, QPoint position) {
    QMouseEvent move(QEvent::MouseMove, position, widget.mapToGlobal(position), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&widget, &move);
}

} // namespace qvr::test
