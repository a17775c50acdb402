#include "gui/settings/scroll_speed_section.h"

#include "core/layout/control_arithmetic.h"
#include "core/profiles/profile_files.h"
#include "gui/session/user_session.h"
#include "gui/settings/section_edit_box.h"
#include "gui/settings/section_painting.h"
#include "gui/widgets/label_text.h"
#include "gui/widgets/page_host.h"
#include "gui/widgets/qt_fonts.h"
#include "gui/widgets/skin_image_cache.h"
#include "gui/widgets/skinned_window.h"

#include <QLineEdit>
#include <QPainter>
#include <algorithm>
#include <array>

namespace qvr {
namespace {

constexpr int kMaxRows = 100;

} // namespace

ScrollSpeedSection::ScrollSpeedSection(const SectionContext& context)
    : PanelSection(context),
      box_(std::make_unique<SectionEditBox>(
          host_.face(), "rowsEdit121", 3, [this](bool typed) { textChanged(typed); },
          [this] { editingFinished(); })) {
    RecordState& state = session_.state();
    const int radios = table().newGroup();
    for (int row = 0; row < 2; ++row) {
        const ElementTable::Id radio =
            addControl(radioRow(skin::kScrollRadio[row], skin::kScrollText[row]),
                       ClickStage::Sections, redrawAfter([this, &state, row](QPoint, QRect) {
                           state.record.scrollOneScreen = static_cast<std::uint8_t>(row);
                           state.pointerChanges.scrollLines = true;
                           edit()->setEnabled(row == 0);
                       }));
        WindowElement& element = table()[radio];
        element.name =
            text(row == 0 ? &MainWindowTexts::numberOfRows : &MainWindowTexts::scrollOneScreen);
        element.role = ElementRole::RadioButton;
        element.group = radios;
        element.checked = [&state, row] { return state.record.scrollOneScreen == row; };
    }
    const int arrows = table().newGroup();
    for (const int delta : {+1, -1}) {
        const ElementTable::Id step =
            addControl(toQRect(delta > 0 ? skin::kScrollUp : skin::kScrollDown),
                       ClickStage::Sections, [this, delta](QPoint, QRect) { stepRows(delta); });
        table()[step].name = [this, delta] {
            const KeyboardTexts& texts = keyboardTexts(host_.language());
            return qstr(delta > 0 ? texts.moreRows : texts.fewerRows);
        };
        table()[step].group = arrows;
    }
}

ScrollSpeedSection::~ScrollSpeedSection() = default;

QLineEdit* ScrollSpeedSection::edit() const {
    return box_->edit();
}

void ScrollSpeedSection::place(QPoint origin, bool shown) {
    PanelSection::place(origin, shown);
    // The box exists only while the section is shown; when it comes back it
    // takes its text from the record.
    if (shown)
        host_.face().placeChild(edit(), toQRect(skin::kScrollEdit).translated(origin));
    edit()->setVisible(shown);
    if (!shown)
        box_->dropTyping();
}

void ScrollSpeedSection::languageChanged() {
    box_->languageChanged();
    updateEdits();
}

void ScrollSpeedSection::dropTyping() {
    box_->dropTyping();
}

void ScrollSpeedSection::updateEdits() {
    box_->style(qstr(host_.texts().numberOfRows), QString::number(kMaxRows),
                skin::kScrollEdit.right - skin::kScrollEdit.left);
    if (!edit()->isVisibleTo(&host_.face()))
        return;
    const ConfigRecord& record = session_.state().record;
    const QString text = edit()->text();
    if (!box_->typedIn() &&
        (text.isEmpty() || scrollRowsEditRule(text.toStdString()).value != record.wheelScrollLines))
        box_->write(record.wheelScrollLines);
    edit()->setEnabled(record.scrollOneScreen == 0);
}

void ScrollSpeedSection::textChanged(bool typed) {
    RecordState& state = session_.state();
    auto& stored = state.record.wheelScrollLines;
    const std::string text = edit()->text().toStdString();
    if (typed) {
        // Typing "15" passes through "1", and a cleared box is no value
        // yet: only values inside the limits are taken while typing.
        if (!scrollRowsEditRule(text).replacement) {
            stored = static_cast<std::uint8_t>(parseProfileInt(text));
            state.pointerChanges.scrollLines = true;
        }
        return;
    }
    const EditRuleResult result = scrollRowsEditRule(text);
    if (result.replacement)
        box_->showText(QString::fromStdString(*result.replacement));
    stored = static_cast<std::uint8_t>(result.value);
    if (!box_->writing())
        state.pointerChanges.scrollLines = true;
}

void ScrollSpeedSection::editingFinished() {
    auto& stored = session_.state().record.wheelScrollLines;
    // A box left empty keeps the stored value; anything else takes the rule.
    if (!edit()->text().isEmpty())
        stored = static_cast<std::uint8_t>(scrollRowsEditRule(edit()->text().toStdString()).value);
    box_->showText(QString::number(stored));
}

void ScrollSpeedSection::stepRows(int delta) {
    if (!edit()->isVisibleTo(&host_.face()))
        return;
    RecordState& state = session_.state();
    std::uint8_t& lines = state.record.wheelScrollLines;
    lines = static_cast<std::uint8_t>(std::clamp(lines + delta, 1, kMaxRows));
    state.pointerChanges.scrollLines = true;
    box_->write(lines);
}

void ScrollSpeedSection::paint(QPainter& painter, QPoint origin) {
    SkinnedWindow& face = host_.face();
    SkinImageCache& skin = face.skin();
    skin.draw(painter, "/MouseAttribute/BK_ScrollSpeed.png", origin);
    const MainWindowTexts& texts = host_.texts();
    const bool oneScreen = session_.state().record.scrollOneScreen != 0;
    const std::array<QString, 2> captions = {qstr(texts.numberOfRows), qstr(texts.scrollOneScreen)};
    // The first caption has only the room left of the rows box; both rows
    // take the size it needs.
    painter.setFont(
        fittedFont(face.textFont(), captions[0], toQRect(skin::kScrollText[0]).width()));
    painter.setPen(face.textColor());
    for (std::size_t row = 0; row < 2; ++row) {
        const bool chosen = (row == 1) == oneScreen;
        skin.draw(painter,
                  chosen ? "/MouseAttribute/ScrollSpeed/Enable.png"
                         : "/MouseAttribute/ScrollSpeed/Disable.png",
                  topLeftOf(skin::kScrollRadio[row]) + origin);
        drawLabel(painter, toQRect(skin::kScrollText[row]).translated(origin),
                  Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, captions[row]);
    }
    skin.draw(painter, "/MouseAttribute/ScrollSpeed/ScrollLines.png",
              QPoint(skin::kScrollLinesAt.x, skin::kScrollLinesAt.y) + origin);
}

} // namespace qvr
