#pragma once

#include <array>
#include <optional>

namespace qvr {

// The right panel's seven sections, top to bottom.
enum class RightSection {
    DpiSetting,
    Lighting,
    ReportRate,
    MouseSpeed,
    DoubleClickSpeed,
    ScrollSpeed,
    AngleSnap,
};
inline constexpr int kRightSectionCount = 7;
inline constexpr int index(RightSection section) {
    return static_cast<int>(section);
}

// The panel shows either everything from DPI Setting down (as far as there
// is room) or, scrolled, only the four lower sections.
enum class PanelPosition { Top, Bottom };

struct SectionPlacement {
    bool visible = false; // drawn, and its header and controls answer clicks
    int headerTop = 0;    // window y of its header
};

using SectionFlags = std::array<bool, kRightSectionCount>;
using PanelLayout = std::array<SectionPlacement, kRightSectionCount>;

// Stacks the sections from the top header position: an open section takes
// its header, its body and a gap, a closed one its header and a gap. In the
// top position the sections past the last that fits are left out: the panel
// has room for only a few open bodies.
PanelLayout layOutRightPanel(const SectionFlags& open, PanelPosition position);

// The body height of each section as the skin draws it.
int rightBodyHeight(RightSection section);

// Whether the top position leaves sections out. Only then has the bottom
// position anything to show; otherwise the panel stays at the top, so that
// no section is ever out of reach.
bool panelOverflows(const SectionFlags& open);

// Where the panel goes when the scroll thumb's top moves to thumbTop;
// nullopt when it stays. The thumb's half of the track picks the position,
// and the top is the only one while nothing overflows.
std::optional<PanelPosition> panelPositionForThumb(int thumbTop, const SectionFlags& open,
                                                   PanelPosition current);

} // namespace qvr
