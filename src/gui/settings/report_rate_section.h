#pragma once

#include "gui/settings/panel_section.h"

namespace qvr {

// USB Report Rate: a dial of four quadrants, one rate each.
class ReportRateSection final : public PanelSection {
  public:
    explicit ReportRateSection(const SectionContext& context);

    void paint(QPainter& painter, QPoint origin) override;
};

} // namespace qvr
