#include "gui/widgets/list_item_editor.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QMouseEvent>

namespace qvr {

ListItemEditor* ListItemEditor::open(QListWidget& list, int row, Finished finished) {
    if (row < 0 || row >= list.count())
        return nullptr;
    // One edit per list at a time: another opened over it (the second press
    // of a double click) would leave the first one's text to be committed by
    // the next click anywhere, undoing what the user typed.
    for (ListItemEditor* open : list.viewport()->findChildren<ListItemEditor*>())
        if (!open->closed_)
            return open;
    auto* editor = new ListItemEditor(list, row, std::move(finished));
    editor->show();
    editor->setFocus(Qt::OtherFocusReason);
    editor->selectAll();
    return editor;
}

ListItemEditor::ListItemEditor(QListWidget& list, int row, Finished finished)
    : QLineEdit(list.viewport()), row_(row), finished_(std::move(finished)) {
    QListWidgetItem* item = list.item(row);
    setFont(list.font());
    setText(item->text());
    setFrame(true);
    setGeometry(list.visualItemRect(item).adjusted(-1, -1, 1, 1));
    // Clicks anywhere else in the program end the edit, as the mouse capture
    // of a native editor would.
    qApp->installEventFilter(this);
}

ListItemEditor::~ListItemEditor() {
    closed_ = true;
    qApp->removeEventFilter(this);
}

void ListItemEditor::commit() {
    finish(text());
}

void ListItemEditor::cancel() {
    finish(std::nullopt);
}

void ListItemEditor::finish(std::optional<QString> typed) {
    if (closed_)
        return;
    closed_ = true;
    qApp->removeEventFilter(this);
    hide();
    deleteLater();
    if (finished_)
        finished_(std::move(typed));
}

bool ListItemEditor::event(QEvent* event) {
    // Tab must commit instead of moving the focus on.
    if (event->type() == QEvent::KeyPress) {
        const auto key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
            commit();
            return true;
        }
    }
    return QLineEdit::event(event);
}

void ListItemEditor::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        commit();
        return;
    case Qt::Key_Escape:
        cancel();
        return;
    default:
        QLineEdit::keyPressEvent(event);
    }
}

void ListItemEditor::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    // A context menu of the editor itself takes the focus only for a moment.
    if (event->reason() != Qt::PopupFocusReason)
        commit();
}

bool ListItemEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && watched != this && watched->isWidgetType()) {
        const auto* press = static_cast<QMouseEvent*>(event);
        const QRect own(mapToGlobal(QPoint(0, 0)), size());
        if (!own.contains(press->globalPosition().toPoint()))
            commit();
    }
    return false;
}

} // namespace qvr
