#pragma once

#include "core/layout/skin_layout.h"
#include "gui/widgets/window_elements.h"

#include <QRect>

namespace qvr {

// The left panel stacks three things: the button assignment section, the
// macro manager bar 5 pixels below it, and the X/Y sensitivity section 5
// pixels below the bar. An open assignment section pushes the other two
// down by its body's height.
struct LeftPanel {
    bool assignmentOpen = false;
    bool xyOpen = false;

    static constexpr QRect kAssignmentHeader = edges(20, 107, 262, 127);
    static constexpr int kAssignmentBodyTop = 127;

    int shift() const { return assignmentOpen ? skin::kAssignmentBody.height : 0; }
    QRect macroBar() const { return edges(20, 132 + shift(), 262, 170 + shift()); }
    QRect xyHeader() const { return edges(20, 175 + shift(), 262, 195 + shift()); }
    int xyBodyTop() const { return 195 + shift(); }
};

} // namespace qvr
