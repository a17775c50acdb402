#include "gui/settings/report_rate_section.h"

#include "core/layout/control_arithmetic.h"
#include "gui/session/user_session.h"
#include "gui/settings/section_painting.h"
#include "gui/widgets/label_text.h"
#include "gui/widgets/page_host.h"
#include "gui/widgets/skin_image_cache.h"
#include "gui/widgets/skinned_window.h"

#include <QPainter>
#include <algorithm>
#include <array>

namespace qvr {
namespace {

constexpr int kDialCentre = 64;
// The dial's four rates, slowest first, as the arrows step them.
constexpr std::array<std::uint8_t, 4> kRateCodes{8, 4, 2, 1};

} // namespace

ReportRateSection::ReportRateSection(const SectionContext& context) : PanelSection(context) {
    RecordState& state = session_.state();
    const ElementTable::Id dial =
        addControl(rectAt(skin::kDialAt, skin::kDial), ClickStage::Sections,
                   redrawAfter([&state](QPoint at, QRect rect) {
                       const auto code = reportRateForDialClick(at.x() - rect.left() - kDialCentre,
                                                                at.y() - rect.top() - kDialCentre);
                       if (code)
                           state.record.reportRateCode = *code;
                   }));
    makeSlider(
        dial, text(&MainWindowTexts::reportRate), 0, 0, 3,
        [&state] {
            const auto at = std::ranges::find(kRateCodes, state.record.reportRateCode);
            return at == kRateCodes.end() ? 0 : static_cast<int>(at - kRateCodes.begin());
        },
        redrawn([&state](int rate) {
            state.record.reportRateCode = kRateCodes[static_cast<std::size_t>(rate)];
        }));
    table()[dial].valueText = [&state] {
        const auto hz = reportRateHz(state.record.reportRateCode);
        return hz ? QString("%1 Hz").arg(*hz) : QString();
    };
}

void ReportRateSection::paint(QPainter& painter, QPoint origin) {
    SkinnedWindow& face = host_.face();
    SkinImageCache& skin = face.skin();
    skin.draw(painter, "/USBReportRate/BK_USBReportRate.png", origin);
    const QRect dial = rectAt(skin::kDialAt, skin::kDial).translated(origin);
    const auto hz = reportRateHz(session_.state().record.reportRateCode);
    if (!hz) {
        // A code the mouse does not know: the dial without a chosen rate.
        painter.setOpacity(0.35);
        skin.draw(painter, "/USBReportRate/1000HZ.png", dial.topLeft());
        painter.setOpacity(1.0);
        return;
    }
    skin.draw(painter, QString::asprintf("/USBReportRate/%dHZ.png", *hz), dial.topLeft());
    painter.setPen(face.textColor());
    painter.setFont(host_.headingFont());
    const QRect disc(dial.center() - QPoint(28, 20), QSize(57, 26));
    drawLabel(painter, disc, Qt::AlignHCenter | Qt::AlignBottom | Qt::TextSingleLine,
              QString::number(*hz));
    painter.setFont(host_.smallFont());
    drawLabel(painter, QRect(disc.left(), disc.bottom() + 1, disc.width(), 16),
              Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, "Hz");
}

} // namespace qvr
