#pragma once

#include "gui/settings/panel_section.h"

namespace qvr {

// Lighting: the three modes as radios, each with a slider for its parameter.
class LightingSection final : public PanelSection {
  public:
    explicit LightingSection(const SectionContext& context);

    void paint(QPainter& painter, QPoint origin) override;
};

} // namespace qvr
