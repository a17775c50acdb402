#include "gui/settings/xy_sensitivity_section.h"

#include "core/layout/control_arithmetic.h"
#include "gui/session/user_session.h"
#include "gui/settings/section_painting.h"
#include "gui/widgets/label_text.h"
#include "gui/widgets/page_host.h"
#include "gui/widgets/qt_fonts.h"
#include "gui/widgets/skin_image_cache.h"
#include "gui/widgets/skinned_window.h"

#include <QPainter>
#include <array>

namespace qvr {

XYSensitivitySection::XYSensitivitySection(const SectionContext& context) : PanelSection(context) {
    RecordState& state = session_.state();
    const int axes = table().newGroup();
    for (int axis = 0; axis < 2; ++axis) {
        std::uint8_t& field = axis == 0 ? state.record.sensitivityX : state.record.sensitivityY;
        const QRect inBody = toQRect(skin::kXYSliderHit[axis]);
        const ElementTable::Id id =
            addControl(inBody, ClickStage::Sections, redrawAfter([&field](QPoint at, QRect rect) {
                           field = static_cast<std::uint8_t>(stepSliderValue(at.x() - rect.left()));
                       }));
        WindowElement& element = table()[id];
        element.drag = true;
        element.follow = [this, inBody] { return inBody.translated(origin()); };
        const auto [get, set] = byte(field);
        makeSlider(id, text(axis == 0 ? &MainWindowTexts::xAxis : &MainWindowTexts::yAxis), axes, 1,
                   11, get, redrawn(set));
    }
}

QPoint XYSensitivitySection::origin() const {
    return QPoint(host_.leftPanel().xyHeader().left(), host_.leftPanel().xyBodyTop());
}

bool XYSensitivitySection::answers() const {
    return host_.leftPanel().xyOpen;
}

void XYSensitivitySection::paint(QPainter& painter, QPoint origin) {
    SkinnedWindow& face = host_.face();
    face.skin().draw(painter, "/XYSensitivity/BK_XYSensSetting.png", origin);
    const MainWindowTexts& texts = host_.texts();
    const ConfigRecord& record = session_.state().record;
    const std::array<std::string_view, 2> captions = {texts.xAxis, texts.yAxis};
    const std::array<int, 2> values = {record.sensitivityX, record.sensitivityY};
    for (std::size_t axis = 0; axis < 2; ++axis) {
        painter.setFont(face.textFont());
        painter.setPen(face.textColor());
        drawLabel(painter, toQRect(skin::kXYCaption[axis]).translated(origin),
                  Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, qstr(captions[axis]));
        paintStepSlider(painter, face, host_.smallFont(),
                        toQRect(skin::kXYSliderHit[axis]).translated(origin),
                        toQRect(skin::kXYStopLabels[axis]).translated(origin), values[axis]);
    }
}

} // namespace qvr
