#include "app/message_boxes.h"

#include "ui/qt_fonts.h"

#include <QMessageBox>

namespace qvr {

void MessageBoxes::show(std::string_view text, std::string_view caption) {
    QMessageBox::warning(owner_, qstr(caption), qstr(text));
}

} // namespace qvr
