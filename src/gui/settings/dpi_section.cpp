#include "gui/settings/dpi_section.h"

#include "core/layout/control_arithmetic.h"
#include "gui/session/user_session.h"
#include "gui/settings/colour_dialog.h"
#include "gui/settings/section_edit_box.h"
#include "gui/settings/section_painting.h"
#include "gui/widgets/page_host.h"
#include "gui/widgets/qt_fonts.h"
#include "gui/widgets/skin_image_cache.h"
#include "gui/widgets/skinned_window.h"

#include <QLineEdit>
#include <QPainter>

namespace qvr {
namespace {

constexpr QPoint kBodyOrigin{skin::kRightHeaderLeft, skin::kRightHeaderTop + skin::kHeaderHeight};
constexpr int kSliderWidth = 10;
constexpr int kEditTop = 220, kEditBottom = 236, kEditWidth = 40;
constexpr int kSwatchTop = 255, kSwatchSize = 10;
constexpr int kValueFrameInset = 2;
constexpr int kFrameOffsetX = 5;
constexpr QRect kDialDownCaption = edges(765, 65, 850, 84);
constexpr QRect kDialUpCaption = edges(875, 65, 960, 84);
// The skin's lane behind each stage, relative to the body.
constexpr int kLaneHalfWidth = 24, kLaneTop = 36, kLaneHeight = 184;
const QColor kActiveStage(0x19, 0xc3, 0xff);

QColor withAlpha(QColor colour, int alpha) {
    colour.setAlpha(alpha);
    return colour;
}

// The controls are kept relative to the body like every section's.
QRect sliderRect(int stage) {
    const int left = skin::kDpiSliderLeft[stage];
    return edges(left, skin::kDpiSliderTop, left + kSliderWidth, skin::kDpiSliderBottom)
        .translated(-kBodyOrigin);
}

QRect editRect(int stage) {
    const int left = skin::kDpiEditLeft[stage];
    return edges(left, kEditTop, left + kEditWidth, kEditBottom);
}

QRect swatchRect(int stage) {
    return QRect(skin::kDpiSliderLeft[stage], kSwatchTop, kSwatchSize, kSwatchSize);
}

} // namespace

DpiSection::DpiSection(const SectionContext& context, ColourDialog& colours)
    : PanelSection(context), colours_(colours) {
    for (int stage = 0; stage < 4; ++stage) {
        boxes_[static_cast<std::size_t>(stage)] = std::make_unique<SectionEditBox>(
            host_.face(), QString("dpiEdit%1").arg(124 + stage), 4,
            [this, stage](bool typed) { textChanged(stage, typed); },
            [this, stage] { editingFinished(stage); });
        host_.face().placeChild(edit(stage), editRect(stage));
    }

    RecordState& state = session_.state();
    const int swatches = table().newGroup();
    for (int stage = 0; stage < 4; ++stage) {
        const ElementTable::Id swatch =
            addControl(swatchRect(stage).translated(-kBodyOrigin), ClickStage::Sections,
                       [this, stage](QPoint, QRect) { pickStageColour(stage); });
        table()[swatch].name = [this, stage] {
            return qstr(keyboardTexts(host_.language()).stageColour).arg(stage + 1);
        };
        table()[swatch].group = swatches;
    }

    // The stages stand side by side: Left and Right go from one to the next.
    const int sliders = table().newGroup();
    for (int stage = 0; stage < 4; ++stage) {
        std::uint8_t& stored = state.record.dpiStage[static_cast<std::size_t>(stage)];
        const ElementTable::Id id = addControl(
            sliderRect(stage), ClickStage::Sliders, [this, &stored, stage](QPoint at, QRect) {
                const int value = dpiSliderValue(skin::kDpiSliderBottom, at.y());
                stored = static_cast<std::uint8_t>(value);
                // The box's rule turns a value of 1 into 2 at once.
                box(stage).write(value * kDpiUnit);
                redraw();
            });
        makeSlider(
            id,
            [this, stage] {
                return QString("%1 %2").arg(qstr(host_.texts().dpiSetting)).arg(stage + 1);
            },
            sliders, 2, 100, [&stored] { return int(stored); },
            [this, &stored, stage](int value) {
                stored = static_cast<std::uint8_t>(value);
                box(stage).write(value * kDpiUnit);
                redraw();
            });
        table()[id].orientation = Qt::Vertical;
        table()[id].valueText = [&stored] { return QString::number(int(stored) * kDpiUnit); };
    }
}

DpiSection::~DpiSection() = default;

QLineEdit* DpiSection::edit(int stage) const {
    return box(stage).edit();
}

void DpiSection::place(QPoint origin, bool shown) {
    PanelSection::place(origin, shown);
    // The boxes exist only while the section is shown; a box that comes
    // back takes its text from the record.
    for (const auto& each : boxes_) {
        each->edit()->setVisible(shown);
        if (!shown)
            each->dropTyping();
    }
}

void DpiSection::languageChanged() {
    for (const auto& each : boxes_)
        each->languageChanged();
    updateEdits();
}

void DpiSection::dropTyping() {
    for (const auto& each : boxes_)
        each->dropTyping();
}

void DpiSection::updateEdits() {
    const ConfigRecord& record = session_.state().record;
    for (int stage = 0; stage < 4; ++stage) {
        SectionEditBox& each = box(stage);
        each.style(QString("%1 %2").arg(qstr(host_.texts().dpiSetting)).arg(stage + 1),
                   QString::number(kMaxDpi), kEditWidth);
        const QString text = each.edit()->text();
        const int stored = record.dpiStage[static_cast<std::size_t>(stage)];
        if (!each.typedIn() && each.edit()->isVisibleTo(&host_.face()) &&
            (text.isEmpty() || dpiEditRule(text.toStdString()).value != stored))
            each.write(stored * kDpiUnit);
    }
}

void DpiSection::textChanged(int stage, bool typed) {
    SectionEditBox& each = box(stage);
    auto& stored = session_.state().record.dpiStage[static_cast<std::size_t>(stage)];
    const std::string text = each.edit()->text().toStdString();
    // While the user types, the record follows within the limits but the
    // digits stay as typed: checking each keystroke against the limits
    // would turn the first digit of "2600" into "100". The box shows what
    // is stored when typing ends.
    if (typed) {
        if (!text.empty())
            stored = static_cast<std::uint8_t>(dpiEditRule(text).value);
        redraw();
        return;
    }
    const EditRuleResult result = dpiEditRule(text);
    if (result.replacement)
        each.showText(QString::fromStdString(*result.replacement));
    stored = static_cast<std::uint8_t>(result.value);
    if (!each.writing())
        redraw();
}

void DpiSection::editingFinished(int stage) {
    const int stored = session_.state().record.dpiStage[static_cast<std::size_t>(stage)];
    box(stage).showText(
        QString::number(dpiEditRule(std::to_string(stored * kDpiUnit)).value * kDpiUnit));
}

void DpiSection::pickStageColour(int stage) {
    const Rgb current = stageColor(session_.state().record, stage);
    const auto colour = colours_.pickColour(QColor(current.red, current.green, current.blue));
    if (!colour)
        return;
    setStageColor(session_.state().record, stage,
                  Rgb{static_cast<std::uint8_t>(colour->red()),
                      static_cast<std::uint8_t>(colour->green()),
                      static_cast<std::uint8_t>(colour->blue())});
    redraw();
}

void DpiSection::paint(QPainter& painter, QPoint /*origin*/) {
    SkinnedWindow& face = host_.face();
    SkinImageCache& skin = face.skin();
    skin.draw(painter, "/DPISetting/BK_DPISetting.png", kBodyOrigin);
    const MainWindowTexts& texts = host_.texts();
    painter.setPen(face.textColor());
    // Each caption may use the room up to the next one.
    const int captionFlags = Qt::AlignLeft | Qt::AlignVCenter;
    drawFitted(
        painter,
        kDialDownCaption.adjusted(0, 0, kDialUpCaption.left() - kDialDownCaption.right() - 2, 0),
        captionFlags, qstr(texts.dpiDialDown), host_.smallFont());
    drawFitted(painter, kDialUpCaption.adjusted(0, 0, 14, 0), captionFlags, qstr(texts.dpiDialUp),
               host_.smallFont());
    const ConfigRecord& record = session_.state().record;
    for (int stage = 0; stage < 4; ++stage) {
        const int value = record.dpiStage[static_cast<std::size_t>(stage)];
        skin.draw(painter,
                  QString::asprintf("/DPISetting/DPIStage/%d.png", frameFor(value, 1, 100)),
                  QPoint(skin::kDpiSliderLeft[stage] - kFrameOffsetX, skin::kDpiFrameTop));
        skin.draw(painter, "/DPISetting/BK-DPIValue.png",
                  editRect(stage).topLeft() - QPoint(kValueFrameInset, kValueFrameInset));
        const Rgb colour = stageColor(record, stage);
        painter.fillRect(swatchRect(stage), QColor(colour.red, colour.green, colour.blue));
    }
    // The stage the mouse's own buttons are at gets its lane ringed.
    if (const auto active = session_.activeDpiStage(); active && *active >= 1 && *active <= 4) {
        const int centre = skin::kDpiSliderLeft[*active - 1] + kSliderWidth / 2;
        const QRectF lane(centre - kLaneHalfWidth, kBodyOrigin.y() + kLaneTop, 2 * kLaneHalfWidth,
                          kLaneHeight);
        painter.save();
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(withAlpha(kActiveStage, 70), 3));
        painter.drawRoundedRect(lane.adjusted(-1, -1, 1, 1), 6, 6);
        painter.setPen(QPen(kActiveStage, 1.5));
        painter.drawRoundedRect(lane.adjusted(0.5, 0.5, -0.5, -0.5), 5, 5);
        painter.restore();
    }
}

} // namespace qvr
