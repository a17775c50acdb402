#include "settings/colour_dialog.h"

#include <QColorDialog>

namespace qvr {

std::optional<QColor> QtColourDialog::pickColour() {
    const QColor chosen = QColorDialog::getColor(Qt::black, owner_);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

} // namespace qvr
