#include "gui/macros/macro_key_dialog.h"

#include "gui/widgets/label_text.h"
#include "gui/widgets/qt_fonts.h"
#include "gui/widgets/skin_list_box.h"

#include <QPainter>
#include <QWheelEvent>
#include <algorithm>

namespace qvr {

namespace {

constexpr std::string_view kBackgroundFailed = "Macro Key Dialog Load background image failed!!!";

} // namespace

MacroKeyDialog::MacroKeyDialog(std::shared_ptr<SkinImageCache> skin, MessageSink& messages,
                               Language language, QColor textColor,
                               std::vector<MacroKeyChoice> choices,
                               std::optional<MacroKeyPreset> preset)
    : SkinnedDialog(std::move(skin), messages, Dragging::NotAllowed),
      texts_(macroKeyDialogTexts(language)), title_(qstr(mainWindowTexts(language).macroKey)),
      choices_(std::move(choices)) {
    resize(skin::kMacroKeyDialog.width, skin::kMacroKeyDialog.height);
    setWindowTitle(title_);
    addFrameButtons(qstr(texts_.ok), qstr(texts_.cancel), qstr(keyboardTexts(language).close));
    if (!loadBackground("/macro-key.png", kBackgroundFailed))
        return;
    setTextFont(qtFontFor(WindowFont::SmallDialog, language));
    setTextColor(textColor);
    // Enter and Esc are OK and Cancel here: nothing in this dialog takes keys.
    setEndingKeys(EndingKeys::OkAndCancel);
    // Read by columns: the macro, then its repeat mode.
    setReadingRegions({edges(0, 30, 200, 246), edges(200, 30, 396, 246)});
    elements().add({.rect = kFieldRect,
                    .onClick = [this](QPoint) { toggleList(); },
                    .name = [caption = qstr(texts_.selectMacroCaption)] { return caption; },
                    .role = ElementRole::DropDown,
                    .valueText = [this] { return QString::fromStdString(name_); },
                    .expanded = [this] { return !list_.isNull(); }});
    const int modes = elements().newGroup();
    for (int mode = 0; mode < kRepeatModeCount; ++mode) {
        const auto i = static_cast<std::size_t>(mode);
        elements().add({.rect = kTickRects[i],
                        .onClick = [this, mode](QPoint) { chooseRepeatMode(mode); },
                        .name = [text = qstr(texts_.repeatModes[i])] { return text; },
                        .role = ElementRole::RadioButton,
                        .group = modes,
                        .checked = [this, mode] { return repeatMode_ == mode; }});
    }
    if (preset) {
        const auto held = std::ranges::find(choices_, preset->position, &MacroKeyChoice::position);
        if (held != choices_.end()) {
            position_ = held->position;
            name_ = held->name;
        }
        if (preset->repeatMode < kRepeatModeCount)
            repeatMode_ = preset->repeatMode;
    }
}

MacroKeyDialog::~MacroKeyDialog() = default;

void MacroKeyDialog::toggleList() {
    if (list_) {
        closeList();
        return;
    }
    QStringList entries;
    for (const MacroKeyChoice& choice : choices_)
        entries << QString::fromStdString(choice.name);
    list_ = new SkinListBox(this, kListRect, entries,
                            {Qt::white, QColor(40, 40, 40), QColor(0x19, 0x6f, 0x9e)}, textFont());
    connect(list_, &SkinListBox::chosen, this, [this](int row) { chooseMacro(row); });
}

void MacroKeyDialog::closeList() {
    if (list_)
        list_->discard();
    list_ = nullptr;
}

void MacroKeyDialog::chooseMacro(int row) {
    if (row < 0 || row >= static_cast<int>(choices_.size()))
        return;
    const MacroKeyChoice& choice = choices_[static_cast<std::size_t>(row)];
    position_ = choice.position;
    name_ = choice.name;
    closeList();
    update();
}

void MacroKeyDialog::chooseRepeatMode(int mode) {
    if (mode < 0 || mode >= kRepeatModeCount)
        return;
    repeatMode_ = static_cast<std::uint8_t>(mode);
    update();
}

bool MacroKeyDialog::beforeClick(QPoint position) {
    if (list_ && !kFieldRect.contains(position))
        closeList();
    return false;
}

void MacroKeyDialog::wheelEvent(QWheelEvent* event) {
    if (list_)
        list_->scrollByNotches(event->angleDelta().y() / kWheelNotch);
    event->accept();
}

void MacroKeyDialog::paintFace(QPainter& painter) {
    paintTitle(painter, title_);
    paintCloseButton(painter);
    painter.setFont(textFont());
    painter.setPen(Qt::white);
    drawLabel(painter, kCaptionRect, Qt::AlignCenter | Qt::TextSingleLine,
              qstr(texts_.selectMacroCaption));
    drawLabel(painter, kNameRect, Qt::AlignCenter | Qt::TextSingleLine,
              QString::fromStdString(name_));
    for (int mode = 0; mode < kRepeatModeCount; ++mode) {
        const auto i = static_cast<std::size_t>(mode);
        skin().draw(painter, mode == repeatMode_ ? "/PaneMakingTick.png" : "/Pane.png",
                    kTickRects[i].topLeft());
        // Long in some languages: up to three lines, a step smaller if need be.
        const QRect room = kOptionTextRects[i].adjusted(4, 0, 0, 0);
        const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
        const QString text = qstr(texts_.repeatModes[i]);
        painter.save();
        painter.setFont(fittedWrappedFont(textFont(), text, room, flags));
        drawWrappedText(painter, room, flags, text);
        painter.restore();
    }
}

} // namespace qvr
