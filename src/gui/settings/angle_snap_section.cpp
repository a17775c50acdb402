#include "gui/settings/angle_snap_section.h"

#include "core/layout/control_arithmetic.h"
#include "gui/session/user_session.h"
#include "gui/settings/section_painting.h"
#include "gui/widgets/page_host.h"
#include "gui/widgets/skin_image_cache.h"
#include "gui/widgets/skinned_window.h"

namespace qvr {

AngleSnapSection::AngleSnapSection(const SectionContext& context) : PanelSection(context) {
    RecordState& state = session_.state();
    const ElementTable::Id angle =
        addControl(toQRect(skin::kAngleSliderHit), ClickStage::Sliders,
                   redrawAfter([&state](QPoint at, QRect rect) {
                       state.record.angleSnapLevel =
                           static_cast<std::uint8_t>(stepSliderValue(at.x() - rect.left()));
                   }));
    const auto [get, set] = byte(state.record.angleSnapLevel);
    makeSlider(angle, text(&MainWindowTexts::angleSnap), 0, 1, 11, get, redrawn(set));
}

void AngleSnapSection::paint(QPainter& painter, QPoint origin) {
    SkinImageCache& skin = host_.face().skin();
    skin.draw(painter, "/AngleSnap/BK_AngleSnap.png", origin);
    const int level = session_.state().record.angleSnapLevel;
    skin.draw(painter, QString::asprintf("/AngleSnap/%d.png", frameFor(level, 1, 11)),
              QPoint(skin::kAnglePreviewAt.x, skin::kAnglePreviewAt.y) + origin);
    paintStepSlider(painter, host_.face(), host_.smallFont(),
                    toQRect(skin::kAngleSliderHit).translated(origin),
                    toQRect(skin::kAngleStopLabels).translated(origin), level);
}

} // namespace qvr
