#include "gui/settings/colour_dialog.h"

#include <QColorDialog>

namespace qvr {

std::optional<QColor> QtColourDialog::pickColour(QColor initial) {
    const QColor chosen = QColorDialog::getColor(initial, owner_);
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

} // namespace qvr
