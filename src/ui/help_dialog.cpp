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
    // no way to reach.
    elements().add({.rect = kUpdateLine, .onClick = [run = std::move(updateFirmware)](QPoint) {
                        if (run)
                            run();
                    }});
}

void CHelpDialog::paintFace(QPainter& painter) {
    painter.setFont(textFont());
    painter.setPen(textColor());
    const auto flags = Qt::AlignCenter | Qt::TextSingleLine;
    drawLabel(painter, kUpdateLine, flags, qstr(texts_.updateFirmware));
    drawLabel(painter, kVersionLine, flags, qstr(texts_.version));
}

} // namespace qvr
