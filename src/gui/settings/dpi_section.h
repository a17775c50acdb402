#pragma once

#include "gui/settings/panel_section.h"

#include <array>
#include <memory>

class QLineEdit;

namespace qvr {

class ColourDialog;
class SectionEditBox;

// DPI Setting: a slider, a value box (controls 124..127) and a colour
// swatch for each of the four stages, and the ring round the stage the
// mouse's own buttons are at. Always the first section the panel shows, so
// its body sits at one place of the window.
class DpiSection final : public PanelSection {
  public:
    DpiSection(const SectionContext& context, ColourDialog& colours);
    ~DpiSection() override;

    QLineEdit* edit(int stage) const;

    void place(QPoint origin, bool shown) override;
    void paint(QPainter& painter, QPoint origin) override;
    void updateEdits() override;
    void languageChanged() override;
    void dropTyping() override;

  private:
    SectionEditBox& box(int stage) const { return *boxes_.at(static_cast<std::size_t>(stage)); }
    void textChanged(int stage, bool typed);
    void editingFinished(int stage);
    void pickStageColour(int stage);

    ColourDialog& colours_;
    std::array<std::unique_ptr<SectionEditBox>, 4> boxes_;
};

} // namespace qvr
