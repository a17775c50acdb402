#pragma once

#include "gui/settings/panel_section.h"

#include <cstdint>
#include <string_view>

namespace qvr {

struct ConfigRecord;
struct PointerChanges;

// Mouse Speed and Double Click Speed: a gauge from slow to fast over one
// of the record's pointer values. Setting it marks the desktop's matching
// setting as changed, for Save to apply.
class GaugeSection final : public PanelSection {
  public:
    GaugeSection(const SectionContext& context, std::uint8_t ConfigRecord::*value,
                 bool PointerChanges::*changed, std::string_view MainWindowTexts::*name);

    void paint(QPainter& painter, QPoint origin) override;

  private:
    std::uint8_t ConfigRecord::*value_;
    bool PointerChanges::*changed_;
    void set(int value);
};

} // namespace qvr
