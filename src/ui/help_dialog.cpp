#include "ui/help_dialog.h"

#include "ui/face_accessible.h"
#include "ui/label_text.h"
#include "ui/qt_fonts.h"
#include "ui/skin_image_cache.h"

#include <QKeyEvent>
#include <QPainter>

namespace qvr {

namespace {

constexpr std::array<Language, 3> kLanguages = {Language::English, Language::SimplifiedChinese,
                                                Language::TraditionalChinese};
constexpr int kRadioLeft = 14;
constexpr int kNameLeft = 34;

bool isEndingKey(const QKeyEvent& event) {
    const int key = event.key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
}

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
        elements().add({.rect = kUpdateLine,
                        .onClick = [run = std::move(updateFirmware)](QPoint) { run(); },
                        .name = [this] { return qstr(texts_->updateFirmware); }});
    if (chooseLanguage) {
        const int languages = elements().newGroup();
        for (std::size_t row = 0; row < kLanguages.size(); ++row)
            elements().add(
                {.rect = languageLine(static_cast<int>(row)),
                 .onClick = [choose = chooseLanguage, row](QPoint) { choose(kLanguages[row]); },
                 .name = [this, row] { return qstr(texts_->languageNames[row]); },
                 .role = ElementRole::RadioButton,
                 .group = languages,
                 .checked = [this, row] { return kLanguages[row] == language_; }});
    }
    addAccessibleFaceText(*this,
                          {[] { return kVersionLine; }, [this] { return qstr(texts_->version); }});
}

void CHelpDialog::showEvent(QShowEvent* event) {
    SkinnedWindow::showEvent(event);
    // Opened from the keyboard, the keyboard goes into the panel.
    const SkinnedWindow* host = skinnedWindowOf(parentWidget());
    if (const std::vector<ElementTable::Id> order = focusOrder();
        host && host->focusMarkShown() && !order.empty())
        focusElement(order.front());
}

void CHelpDialog::keyPressEvent(QKeyEvent* event) {
    if (isEndingKey(*event)) {
        event->accept();
        emit closeRequested();
        return;
    }
    SkinnedWindow::keyPressEvent(event);
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
