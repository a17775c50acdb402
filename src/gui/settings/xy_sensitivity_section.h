#pragma once

#include "gui/settings/panel_section.h"

namespace qvr {

// The left panel's X/Y Sensitivity Setting: a step slider for each axis.
// Its body moves with the assignment section above it, which another page
// opens and closes, so its controls follow the left panel's layout.
class XYSensitivitySection final : public PanelSection {
  public:
    explicit XYSensitivitySection(const SectionContext& context);

    // Where the body is now.
    QPoint origin() const;
    void paint(QPainter& painter, QPoint origin) override;

  protected:
    bool answers() const override;
};

} // namespace qvr
