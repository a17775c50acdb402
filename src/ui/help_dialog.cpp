#include "ui/help_dialog.h"

#include "ui/label_text.h"
#include "ui/qt_fonts.h"

#include <QPainter>

namespace qvr {

CHelpDialog::CHelpDialog(std::shared_ptr<SkinImageCache> skin, MessageSink& messages,
                         Language language, std::function<void()> updateFirmware, QWidget* parent)
    : SkinnedWindow(std::move(skin), messages, parent), texts_(helpPanelTexts(language)) {
    loadBackground("/Help/HelpWindow.png", "Help Dialog Load background image failed!!!");
    move(kPosition);
    setTextFont(qtFontFor(WindowFont::SmallDialog, language));
    setTextColor(Qt::black);
    // The first line starts the updater, which the panel otherwise offers
    // no way to reach; without one it takes no clicks.
    updateAvailable_ = static_cast<bool>(updateFirmware);
    if (updateAvailable_)
        elements().add(
            {.rect = kUpdateLine, .onClick = [run = std::move(updateFirmware)](QPoint) { run(); }});
}

void CHelpDialog::paintFace(QPainter& painter) {
    painter.setFont(textFont());
    painter.setPen(textColor());
    const auto flags = Qt::AlignCenter | Qt::TextSingleLine;
    painter.setPen(updateAvailable_ ? textColor() : QColor(Qt::gray));
    drawLabel(painter, kUpdateLine, flags, qstr(texts_.updateFirmware));
    painter.setPen(textColor());
    drawLabel(painter, kVersionLine, flags, qstr(texts_.version));
}

} // namespace qvr
