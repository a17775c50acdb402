#include "gui/window/help_panel.h"

#include "gui/widgets/face_accessible.h"
#include "gui/widgets/label_text.h"
#include "gui/widgets/qt_fonts.h"
#include "gui/widgets/skin_image_cache.h"

#include <QFontMetrics>
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

HelpPanel::HelpPanel(std::shared_ptr<SkinImageCache> skin, MessageSink& messages, Language language,
                     std::function<void()> updateFirmware,
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
    // A skin of the user's own may have the shorter panel of old, without
    // room for this line.
    keysLine_ = elements().add(
        {.rect = kKeysLine,
         .onClick = [this](QPoint) { toggleKeysPanel(); },
         .active = [this] { return naturalSize().height() >= kKeysLine.bottom() + 1; },
         .name = [this] { return qstr(keysPanelTexts(language_).entry); }});
}

void HelpPanel::toggleKeysPanel() {
    if (keys_) {
        closeKeysPanel();
        return;
    }
    keys_ = new KeysPanel(sharedSkin(), messages(), language_, parentWidget());
    connect(keys_, &KeysPanel::closeRequested, this, [this] {
        closeKeysPanel();
        focusElement(keysLine_);
    });
    keys_->show();
    keys_->raise();
    // Opened from the keyboard, the keyboard goes into the keys panel.
    if (const std::vector<ElementTable::Id> order = keys_->focusOrder();
        focusMarkShown() && !order.empty())
        keys_->focusElement(order.front());
    update();
}

void HelpPanel::closeKeysPanel() {
    if (!keys_)
        return;
    // The panel may be the sender of the key that closes it.
    keys_->hide();
    keys_->deleteLater();
    keys_ = nullptr;
    update();
}

void HelpPanel::hideEvent(QHideEvent* event) {
    closeKeysPanel();
    SkinnedWindow::hideEvent(event);
}

void HelpPanel::showEvent(QShowEvent* event) {
    SkinnedWindow::showEvent(event);
    // Opened from the keyboard, the keyboard goes into the panel.
    const SkinnedWindow* host = skinnedWindowOf(parentWidget());
    if (const std::vector<ElementTable::Id> order = focusOrder();
        host && host->focusMarkShown() && !order.empty())
        focusElement(order.front());
}

void HelpPanel::keyPressEvent(QKeyEvent* event) {
    if (isEndingKey(*event)) {
        event->accept();
        emit closeRequested();
        return;
    }
    SkinnedWindow::keyPressEvent(event);
}

void HelpPanel::setLanguage(Language language) {
    language_ = language;
    texts_ = &helpPanelTexts(language);
    setTextFont(qtFontFor(WindowFont::SmallDialog, language));
    if (keys_)
        keys_->setLanguage(language);
    update();
}

void HelpPanel::paintFace(QPainter& painter) {
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
    if (elements().isActive(keysLine_)) {
        const QString keys = qstr(keysPanelTexts(language_).entry);
        const QRect room = kKeysLine.adjusted(6, 0, -6, 0);
        painter.setPen(textColor());
        painter.setFont(fittedFont(textFont(), keys, room.width()));
        drawLabel(painter, room, flags, keys);
    }
}

// ------------------------------------------------------------------ keys panel

namespace {

constexpr int kMargin = 14;
constexpr int kColumnGap = 12;
constexpr int kLineGap = 5;
constexpr int kHeadingGap = 10;
const QColor kKeysText(0xdd, 0xe3, 0xea);
const QColor kKeysHeading(0x19, 0xc3, 0xff);
constexpr int kWrap = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

QFont headingFont(QFont font) {
    font.setBold(true);
    return font;
}

} // namespace

KeysPanel::KeysPanel(std::shared_ptr<SkinImageCache> skin, MessageSink& messages, Language language,
                     QWidget* parent)
    : SkinnedWindow(std::move(skin), messages, parent), texts_(&keysPanelTexts(language)),
      language_(language) {
    loadBackground("/Help/KeysWindow.png", "Keys Panel Load background image failed!!!");
    placeOnFace(this, QRect(kPosition, naturalSize()));
    setTextFont(qtFontFor(WindowFont::SmallDialog, language));
    setTextColor(kKeysText);
    elements().add({.rect = kCloseRect,
                    .image = "/button-close",
                    .hover = true,
                    .onClick = [this](QPoint) { emit closeRequested(); },
                    .name = [this] { return qstr(texts_->close); }});
    addAccessibleFaceText(*this,
                          {[] { return kTitleRect; }, [this] { return qstr(texts_->title); }});
    // Each line is read as one text: the keys, then what they do.
    constexpr std::size_t kLines = 3 + std::tuple_size_v<decltype(KeysPanelTexts::moving)> +
                                   std::tuple_size_v<decltype(KeysPanelTexts::windows)> +
                                   std::tuple_size_v<decltype(KeysPanelTexts::capture)>;
    for (std::size_t i = 0; i < kLines; ++i)
        addAccessibleFaceText(
            *this, {[this, i] {
                        return i < lines_.size() ? lines_[i].keysRect.united(lines_[i].actionRect)
                                                 : QRect();
                    },
                    [this, i] {
                        if (i >= lines_.size())
                            return QString();
                        const Line& line = lines_[i];
                        return line.keys.isEmpty() ? line.action : line.keys + ": " + line.action;
                    }});
    layOut();
}

void KeysPanel::setLanguage(Language language) {
    language_ = language;
    texts_ = &keysPanelTexts(language);
    setTextFont(qtFontFor(WindowFont::SmallDialog, language));
    layOut();
    update();
}

void KeysPanel::layOut() {
    lines_.clear();
    const QFontMetrics body(textFont());
    const QFontMetrics heading(headingFont(textFont()));
    const int width = skin::kKeysPanel.width;
    const QRect keysColumn = edges(kMargin, 0, skin::kKeysColumnSplit - kColumnGap / 2, 1 << 16);
    const QRect actionColumn =
        edges(skin::kKeysColumnSplit + kColumnGap / 2, 0, width - kMargin, 1 << 16);
    int top = skin::kKeysTitleHeight + 4;
    const auto addHeading = [&](std::string_view text) {
        top += lines_.empty() ? 0 : kHeadingGap;
        const QString shown = qstr(text);
        const int height =
            heading.boundingRect(edges(kMargin, top, width - kMargin, 1 << 16), kWrap, shown)
                .height();
        lines_.push_back({QRect(), edges(kMargin, top, width - kMargin, top + height), {}, shown});
        top += height + kLineGap;
    };
    const auto addLines = [&](const auto& block) {
        for (const KeyHelpLine& line : block) {
            const QString keys = qstr(line.keys);
            const QString action = qstr(line.action);
            const int height = std::max(
                heading.boundingRect(keysColumn.translated(0, top), kWrap, keys).height(),
                body.boundingRect(actionColumn.translated(0, top), kWrap, action).height());
            lines_.push_back(
                {edges(keysColumn.left(), top, keysColumn.right() + 1, top + height),
                 edges(actionColumn.left(), top, actionColumn.right() + 1, top + height), keys,
                 action});
            top += height + kLineGap;
        }
    };
    addHeading(texts_->everywhere);
    addLines(texts_->moving);
    addHeading(texts_->enterAndEscape);
    addLines(texts_->windows);
    addHeading(texts_->capturing);
    addLines(texts_->capture);
}

int KeysPanel::contentBottom() const {
    return lines_.empty() ? 0 : lines_.back().actionRect.bottom() + 1;
}

void KeysPanel::keyPressEvent(QKeyEvent* event) {
    if (isEndingKey(*event)) {
        event->accept();
        emit closeRequested();
        return;
    }
    SkinnedWindow::keyPressEvent(event);
}

bool KeysPanel::focusNextPrevChild(bool) {
    if (const std::vector<ElementTable::Id> order = focusOrder(); !order.empty())
        focusElement(order.front());
    return true;
}

void KeysPanel::paintFace(QPainter& painter) {
    painter.setPen(textColor());
    painter.setFont(headingFont(textFont()));
    drawLabel(painter, kTitleRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
              qstr(texts_->title));
    for (const Line& line : lines_) {
        if (line.keys.isEmpty()) {
            painter.setPen(kKeysHeading);
            painter.setFont(headingFont(textFont()));
            drawWrappedText(painter, line.actionRect, kWrap, line.action);
            continue;
        }
        painter.setPen(textColor());
        painter.setFont(headingFont(textFont()));
        drawWrappedText(painter, line.keysRect, kWrap, line.keys);
        painter.setFont(textFont());
        drawWrappedText(painter, line.actionRect, kWrap, line.action);
    }
}

} // namespace qvr
