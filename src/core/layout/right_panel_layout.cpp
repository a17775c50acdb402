#include "core/layout/right_panel_layout.h"

#include "core/layout/skin_layout.h"

#include <algorithm>

namespace qvr {
namespace {

using enum RightSection;

constexpr int kTrackTop = 32;
constexpr int kHalfTrack = 563 / 2;

struct Stacker {
    const SectionFlags& open;
    PanelLayout layout{};
    int y = skin::kRightHeaderTop;

    void place(RightSection section) {
        layout[index(section)] = {true, y};
        y += open[index(section)]
                 ? skin::kHeaderHeight + rightBodyHeight(section) + skin::kSectionGap
                 : skin::kHeaderHeight + skin::kSectionGap;
    }
    bool isOpen(RightSection section) const { return open[index(section)]; }
};

} // namespace

int rightBodyHeight(RightSection section) {
    switch (section) {
    case DpiSetting:
        return skin::kDpiBody.height;
    case Lighting:
        return skin::kLightingBody.height;
    case ReportRate:
        return skin::kReportRateBody.height;
    case MouseSpeed:
    case DoubleClickSpeed:
        return skin::kSpeedBody.height;
    case ScrollSpeed:
        return skin::kScrollBody.height;
    case AngleSnap:
        return skin::kAngleSnapBody.height;
    }
    return 0;
}

PanelLayout layOutRightPanel(const SectionFlags& open, PanelPosition position) {
    Stacker s{open};
    if (position == PanelPosition::Bottom) {
        for (RightSection section : {MouseSpeed, DoubleClickSpeed, ScrollSpeed, AngleSnap})
            s.place(section);
        return s.layout;
    }

    for (RightSection section : {DpiSetting, Lighting, ReportRate})
        s.place(section);
    int count = s.isOpen(DpiSetting) + s.isOpen(Lighting) + s.isOpen(ReportRate);
    if (count == 3 || (count == 2 && s.isOpen(DpiSetting) && s.isOpen(ReportRate)))
        return s.layout;

    for (RightSection section : {MouseSpeed, DoubleClickSpeed}) {
        s.place(section);
        count += s.isOpen(section);
        if (count > 2 ||
            (count == 2 && s.isOpen(DpiSetting) && (s.isOpen(Lighting) || s.isOpen(section))))
            return s.layout;
    }

    s.place(ScrollSpeed);
    count += s.isOpen(ScrollSpeed);
    if (count > 2 || (count == 2 && (s.isOpen(DpiSetting) || s.isOpen(ReportRate))))
        return s.layout;
    s.place(AngleSnap);
    return s.layout;
}

bool panelOverflows(const SectionFlags& open) {
    const PanelLayout top = layOutRightPanel(open, PanelPosition::Top);
    return std::ranges::any_of(top, [](const SectionPlacement& p) { return !p.visible; });
}

std::optional<PanelPosition> panelPositionForThumb(int thumbTop, const SectionFlags& open,
                                                   PanelPosition current) {
    const bool lowerHalf = thumbTop - kTrackTop >= kHalfTrack;
    const PanelPosition wanted =
        lowerHalf && panelOverflows(open) ? PanelPosition::Bottom : PanelPosition::Top;
    if (wanted == current)
        return std::nullopt;
    return wanted;
}

} // namespace qvr
