#pragma once

#include "gui/settings/panel_section.h"

namespace qvr {

// Angle Snap: a slider of eleven levels over a preview of the snapped line.
class AngleSnapSection final : public PanelSection {
  public:
    explicit AngleSnapSection(const SectionContext& context);

    void paint(QPainter& painter, QPoint origin) override;
};

} // namespace qvr
