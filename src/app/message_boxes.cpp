#include "app/message_boxes.h"

#include "ui/qt_fonts.h"

#include <QMessageBox>
#include <QPushButton>

namespace qvr {

void MessageBoxes::showMessage(std::string text, std::string caption) {
    QMessageBox::warning(owner_, QString::fromStdString(caption), QString::fromStdString(text));
}

UnsavedChoice MessageBoxes::askUnsavedChanges(std::string text, std::string caption,
                                              const std::array<std::string, 3>& buttons) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::NoButton, owner_);
    QPushButton* save = box.addButton(QString::fromStdString(buttons[0]), QMessageBox::AcceptRole);
    QPushButton* discard =
        box.addButton(QString::fromStdString(buttons[1]), QMessageBox::DestructiveRole);
    QPushButton* cancel =
        box.addButton(QString::fromStdString(buttons[2]), QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == save)
        return UnsavedChoice::Save;
    if (box.clickedButton() == discard)
        return UnsavedChoice::Discard;
    return UnsavedChoice::Cancel;
}

bool MessageBoxes::confirm(std::string text, std::string caption,
                           const std::array<std::string, 2>& buttons, bool escapeAnswer) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::NoButton, owner_);
    QPushButton* yes = box.addButton(QString::fromStdString(buttons[0]), QMessageBox::AcceptRole);
    QPushButton* no = box.addButton(QString::fromStdString(buttons[1]), QMessageBox::RejectRole);
    // Enter and Escape both give the answer that loses nothing.
    QPushButton* safe = escapeAnswer ? yes : no;
    box.setDefaultButton(safe);
    box.setEscapeButton(safe);
    box.exec();
    if (box.clickedButton() == yes)
        return true;
    if (box.clickedButton() == no)
        return false;
    return escapeAnswer;
}

} // namespace qvr
