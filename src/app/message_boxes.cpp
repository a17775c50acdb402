#include "app/message_boxes.h"

#include "ui/qt_fonts.h"

#include <QMessageBox>

namespace qvr {

void MessageBoxes::showMessage(std::string text, std::string caption) {
    QMessageBox::warning(owner_, QString::fromStdString(caption), QString::fromStdString(text));
}

} // namespace qvr
