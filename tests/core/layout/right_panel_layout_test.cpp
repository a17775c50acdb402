#include "core/layout/right_panel_layout.h"
#include "core/layout/skin_layout.h"

#include <gtest/gtest.h>

namespace qvr {
namespace {

using enum RightSection;

SectionFlags opened(std::initializer_list<RightSection> sections) {
    SectionFlags open{};
    for (RightSection s : sections)
        open[index(s)] = true;
    return open;
}

std::vector<RightSection> visible(const PanelLayout& layout) {
    std::vector<RightSection> result;
    for (int s = 0; s < kRightSectionCount; ++s)
        if (layout[s].visible)
            result.push_back(static_cast<RightSection>(s));
    return result;
}

TEST(RightPanelLayout, ClosedHeadersStartAt32AndFollowEvery25Pixels) {
    const PanelLayout layout = layOutRightPanel({}, PanelPosition::Top);
    for (int s = 0; s < kRightSectionCount; ++s) {
        EXPECT_TRUE(layout[s].visible);
        EXPECT_EQ(layout[s].headerTop, 32 + 25 * s);
    }
}

TEST(RightPanelLayout, AnOpenBodyPushesTheFollowingHeadersDown) {
    const PanelLayout layout = layOutRightPanel(opened({DpiSetting}), PanelPosition::Top);
    EXPECT_EQ(layout[index(Lighting)].headerTop, 32 + 20 + skin::kDpiBody.height + 5);
    EXPECT_EQ(layout[index(ReportRate)].headerTop, layout[index(Lighting)].headerTop + 25);
}

TEST(RightPanelLayout, OverflowRulesLeaveOutWhatHasNoRoom) {
    const auto top = [](std::initializer_list<RightSection> open) {
        return visible(layOutRightPanel(opened(open), PanelPosition::Top));
    };
    using V = std::vector<RightSection>;
    EXPECT_EQ(top({DpiSetting, Lighting, ReportRate}), (V{DpiSetting, Lighting, ReportRate}));
    EXPECT_EQ(top({DpiSetting, ReportRate}), (V{DpiSetting, Lighting, ReportRate}));
    EXPECT_EQ(top({DpiSetting, Lighting}), (V{DpiSetting, Lighting, ReportRate, MouseSpeed}));
    EXPECT_EQ(top({DpiSetting, DoubleClickSpeed}),
              (V{DpiSetting, Lighting, ReportRate, MouseSpeed, DoubleClickSpeed}));
    EXPECT_EQ(top({Lighting, ReportRate}),
              (V{DpiSetting, Lighting, ReportRate, MouseSpeed, DoubleClickSpeed, ScrollSpeed}));
    EXPECT_EQ(top({DpiSetting, AngleSnap}).size(), 7u);
    EXPECT_EQ(top({MouseSpeed, DoubleClickSpeed, ScrollSpeed}).size(), 6u);
}

TEST(RightPanelLayout, EveryCombinationStaysInsideThePanel) {
    for (int bits = 0; bits < (1 << kRightSectionCount); ++bits) {
        SectionFlags open{};
        for (int s = 0; s < kRightSectionCount; ++s)
            open[s] = bits & (1 << s);
        for (PanelPosition position : {PanelPosition::Top, PanelPosition::Bottom}) {
            const PanelLayout layout = layOutRightPanel(open, position);
            for (int s = 0; s < kRightSectionCount; ++s) {
                if (!layout[s].visible)
                    continue;
                const int bottom = layout[s].headerTop + skin::kHeaderHeight +
                                   (open[s] ? rightBodyHeight(static_cast<RightSection>(s)) : 0);
                EXPECT_LE(bottom, skin::kRightPanel.bottom) << "sections " << bits;
            }
        }
    }
}

TEST(RightPanelLayout, TheBottomPositionShowsTheFourLowerSectionsFromTheTop) {
    const PanelLayout layout =
        layOutRightPanel(opened({DpiSetting, MouseSpeed}), PanelPosition::Bottom);
    EXPECT_EQ(visible(layout),
              (std::vector<RightSection>{MouseSpeed, DoubleClickSpeed, ScrollSpeed, AngleSnap}));
    EXPECT_EQ(layout[index(MouseSpeed)].headerTop, 32);
    EXPECT_EQ(layout[index(DoubleClickSpeed)].headerTop, 32 + 20 + skin::kSpeedBody.height + 5);
}

TEST(PanelScrolling, TheThumbsHalfOfTheTrackPicksThePosition) {
    const SectionFlags two = opened({DpiSetting, MouseSpeed});
    EXPECT_EQ(panelPositionForThumb(32 + 281, two, PanelPosition::Top), PanelPosition::Bottom);
    EXPECT_EQ(panelPositionForThumb(32 + 280, two, PanelPosition::Top), std::nullopt);
    EXPECT_EQ(panelPositionForThumb(32 + 280, two, PanelPosition::Bottom), PanelPosition::Top);
    EXPECT_EQ(panelPositionForThumb(480, two, PanelPosition::Bottom), std::nullopt);
    // While everything fits at the top the panel stays there, and a panel
    // left at the bottom comes back: nothing is ever out of reach.
    EXPECT_EQ(panelPositionForThumb(480, opened({DpiSetting}), PanelPosition::Top), std::nullopt);
    EXPECT_EQ(panelPositionForThumb(480, opened({DpiSetting}), PanelPosition::Bottom),
              PanelPosition::Top);
    EXPECT_FALSE(panelOverflows(opened({MouseSpeed, DoubleClickSpeed})));
    EXPECT_TRUE(panelOverflows(two));
}

} // namespace
} // namespace qvr
