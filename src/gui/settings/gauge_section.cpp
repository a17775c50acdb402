#include "gui/settings/gauge_section.h"

#include "core/layout/control_arithmetic.h"
#include "gui/session/user_session.h"
#include "gui/settings/section_painting.h"
#include "gui/widgets/label_text.h"
#include "gui/widgets/page_host.h"
#include "gui/widgets/qt_fonts.h"
#include "gui/widgets/skin_image_cache.h"
#include "gui/widgets/skinned_window.h"

#include <QPainter>

namespace qvr {
namespace {

constexpr int kGaugeCentre = 71;

} // namespace

GaugeSection::GaugeSection(const SectionContext& context, std::uint8_t ConfigRecord::*value,
                           bool PointerChanges::*changed, std::string_view MainWindowTexts::*name)
    : PanelSection(context), value_(value), changed_(changed) {
    const ElementTable::Id id =
        addControl(rectAt(skin::kGaugeAt, skin::kGauge), ClickStage::Sections,
                   redrawAfter([this](QPoint at, QRect rect) {
                       const auto chosen = gaugeValueForClick(at.x() - rect.left() - kGaugeCentre,
                                                              at.y() - rect.top() - kGaugeCentre);
                       if (chosen)
                           set(*chosen);
                   }));
    RecordState& state = session_.state();
    makeSlider(
        id, text(name), 0, 2, 12, [&state, value] { return int(state.record.*value); },
        redrawn([this](int chosen) { set(chosen); }));
}

void GaugeSection::set(int value) {
    RecordState& state = session_.state();
    state.record.*value_ = static_cast<std::uint8_t>(value);
    state.pointerChanges.*changed_ = true;
}

void GaugeSection::paint(QPainter& painter, QPoint origin) {
    SkinnedWindow& face = host_.face();
    SkinImageCache& skin = face.skin();
    const int value = session_.state().record.*value_;
    skin.draw(painter, "/MouseAttribute/BK_MouseAttribute.png", origin);
    skin.draw(painter, QString::asprintf("/MouseAttribute/Speed/%d.png", frameFor(value, 2, 12)),
              QPoint(skin::kGaugeAt.x, skin::kGaugeAt.y) + origin);
    const MainWindowTexts& texts = host_.texts();
    painter.setFont(host_.smallFont());
    painter.setPen(face.textColor());
    drawLabel(painter, toQRect(skin::kGaugeSlowLabel).translated(origin),
              Qt::AlignCenter | Qt::TextSingleLine, qstr(texts.slow));
    drawLabel(painter, toQRect(skin::kGaugeFastLabel).translated(origin),
              Qt::AlignCenter | Qt::TextSingleLine, qstr(texts.fast));
}

} // namespace qvr
