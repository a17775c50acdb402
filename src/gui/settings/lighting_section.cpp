#include "gui/settings/lighting_section.h"

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
namespace {

constexpr std::array<std::array<const char*, 5>, 3> kStops = {{
    {"0%", "25%", "50%", "75%", "100%"},
    {"4S", "5S", "6S", "7S", "8S"},
    {"3S", "6S", "9S", "12S", "15S"},
}};

constexpr std::array<std::string_view MainWindowTexts::*, 3> kNames = {
    &MainWindowTexts::lightingStandard, &MainWindowTexts::lightingRespiration,
    &MainWindowTexts::lightingNeon};

std::uint8_t& parameter(ConfigRecord& record, int row) {
    return row == 0   ? record.lightingParam1
           : row == 1 ? record.lightingParam2
                      : record.lightingParam3;
}

} // namespace

LightingSection::LightingSection(const SectionContext& context) : PanelSection(context) {
    RecordState& state = session_.state();
    const int radios = table().newGroup();
    for (int row = 0; row < 3; ++row) {
        const ElementTable::Id radio =
            addControl(radioRow(skin::lightingRadio(row), skin::lightingName(row)),
                       ClickStage::Sections, redrawAfter([&state, row](QPoint, QRect) {
                           state.record.lightingMode = static_cast<std::uint8_t>(row + 1);
                       }));
        WindowElement& element = table()[radio];
        element.name = text(kNames[static_cast<std::size_t>(row)]);
        element.role = ElementRole::RadioButton;
        element.group = radios;
        element.checked = [&state, row] { return state.record.lightingMode == row + 1; };
    }
    const int levels = table().newGroup();
    for (int row = 0; row < 3; ++row) {
        const ElementTable::Id id =
            addControl(toQRect(skin::lightingSliderHit(row)), ClickStage::Sliders,
                       redrawAfter([&state, row](QPoint at, QRect rect) {
                           parameter(state.record, row) =
                               static_cast<std::uint8_t>(lightingSliderValue(at.x() - rect.left()));
                       }));
        const auto [get, set] = byte(parameter(state.record, row));
        makeSlider(id, text(kNames[static_cast<std::size_t>(row)]), levels, 1, 6, get,
                   redrawn(set));
    }
}

void LightingSection::paint(QPainter& painter, QPoint origin) {
    SkinnedWindow& face = host_.face();
    SkinImageCache& skin = face.skin();
    skin.draw(painter, "/Lighting/BK_Lighting.png", origin);
    const MainWindowTexts& texts = host_.texts();
    ConfigRecord& record = session_.state().record;
    const std::array<QString, 3> names = {qstr(texts.*kNames[0]), qstr(texts.*kNames[1]),
                                          qstr(texts.*kNames[2])};
    // The three names share one size, and so do the stop labels of all rows:
    // a row drawn smaller than its neighbours looks like a fault.
    const QFont nameFont = fittedFont(face.textFont(), QStringList{names[0], names[1], names[2]},
                                      toQRect(skin::lightingName(0)).width());
    constexpr int kStopRoom = 30; // the stops' pitch: labels never touch
    QStringList stopTexts;
    for (const auto& row : kStops)
        for (const char* text : row)
            stopTexts << text;
    const QFont stopFont = fittedFont(host_.smallFont(), stopTexts, kStopRoom - 2);
    for (int row = 0; row < 3; ++row) {
        const bool chosen = record.lightingMode == row + 1;
        skin.draw(painter, chosen ? "/Enable.png" : "/Disable.png",
                  topLeftOf(skin::lightingRadio(row)) + origin);
        painter.setPen(face.textColor());
        painter.setFont(nameFont);
        drawLabel(painter, toQRect(skin::lightingName(row)).translated(origin),
                  Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                  names[static_cast<std::size_t>(row)]);
        const QRect hit = toQRect(skin::lightingSliderHit(row)).translated(origin);
        const int value = parameter(record, row);
        skin.draw(painter, QString::asprintf("/Lighting/%d.png", frameFor(value, 1, 6)),
                  hit.topLeft() - QPoint(skin::kLightingFrameInset, skin::kLightingFrameInset));
        const QRect labels = toQRect(skin::lightingLabels(row)).translated(origin);
        painter.setFont(stopFont);
        for (int stop = 1; stop <= 5; ++stop) {
            const int centre = hit.left() + skin::lightingSliderStop(stop);
            drawLabel(painter,
                      QRect(centre - kStopRoom / 2, labels.top(), kStopRoom, labels.height()),
                      Qt::AlignCenter | Qt::TextSingleLine,
                      kStops[static_cast<std::size_t>(row)][static_cast<std::size_t>(stop - 1)]);
        }
    }
}

} // namespace qvr
