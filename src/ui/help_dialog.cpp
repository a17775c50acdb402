#include "ui/help_dialog.h"

#include "ui/label_text.h"
#include "ui/qt_fonts.h"
#include "ui/skin_image_cache.h"

#include <QPainter>

namespace qvr {

namespace {

constexpr std::array<Language, 3> kLanguages = {Language::English, Language::SimplifiedChinese,
                                                Language::TraditionalChinese};
constexpr int kRadioLeft = 14;
constexpr int kNameLeft = 34;

} // namespace

CHelpDialog::CHelpDialog(std::shared_ptr<SkinImageCache> skin, MessageSink& messages,
                         Language language, std::function<void()> updateFirmware,
                         std::function<void(Language)> chooseLanguage, QWidget* parent)
    : SkinnedWindow(std::move(skin), messages, parent), language_(language),
      texts_(&helpPanelTexts(language)) {
    loadBackground("/Help/HelpWindow.png", "Help Dialog Load background image failed!!!");
    placeOnFace(this, QRect(kPosition, naturalSize()));
    setTextFont(qtFontFor(WindowFont::SmallDialog, language));
    setTextColor(Qt::black);
    // The first line starts the updater, which the panel otherwise offers
    // no way to reach; without one it takes no clicks.
    updateAvailable_ = static_cast<bool>(updateFirmware);
    if (updateAvailable_)
        elements().add(
            {.rect = kUpdateLine, .onClick = [run = std::move(updateFirmware)](QPoint) { run(); }});
    if (chooseLanguage) {
        for (std::size_t row = 0; row < kLanguages.size(); ++row)
            elements().add(
                {.rect = languageLine(static_cast<int>(row)),
                 .onClick = [choose = chooseLanguage, row](QPoint) { choose(kLanguages[row]); }});
    }
}

void CHelpDialog::setLanguage(Language language) {
    language_ = language;
    texts_ = &helpPanelTexts(language);
    setTextFont(qtFontFor(WindowFont::SmallDialog, language));
    update();
}

void CHelpDialog::paintFace(QPainter& painter) {
    painter.setFont(textFont());
    const auto flags = Qt::AlignCenter | Qt::TextSingleLine;
    painter.setPen(updateAvailable_ ? textColor() : QColor(Qt::gray));
    drawLabel(painter, kUpdateLine, flags, qstr(texts_->updateFirmware));
    painter.setPen(textColor());
    drawLabel(painter, kVersionLine, flags, qstr(texts_->version));
    for (std::size_t row = 0; row < kLanguages.size(); ++row) {
        const QRect line = languageLine(static_cast<int>(row));
        const bool chosen = kLanguages[row] == language_;
        const int radioTop = line.top() + (line.height() - skin::kRadio.height) / 2;
        skin().draw(painter, chosen ? "/Enable.png" : "/Disable.png", QPoint(kRadioLeft, radioTop));
        // Each name in its own script, whatever the interface language.
        const QString name = qstr(texts_->languageNames[row]);
        const QFont font = qtFontFor(WindowFont::SmallDialog, kLanguages[row]);
        const QRect room = line.adjusted(kNameLeft, 0, -6, 0);
        painter.setFont(fittedFont(font, name, room.width()));
        drawLabel(painter, room, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, name);
    }
}

} // namespace qvr
