#pragma once

#include "gui/settings/panel_section.h"

#include <memory>

class QLineEdit;

namespace qvr {

class SectionEditBox;

// Scroll Speed: a number of rows, in a box (control 121) with arrows, or
// one screen per notch; the box is disabled while one screen is chosen.
class ScrollSpeedSection final : public PanelSection {
  public:
    explicit ScrollSpeedSection(const SectionContext& context);
    ~ScrollSpeedSection() override;

    QLineEdit* edit() const;

    void place(QPoint origin, bool shown) override;
    void paint(QPainter& painter, QPoint origin) override;
    void updateEdits() override;
    void languageChanged() override;
    void dropTyping() override;

  private:
    void textChanged(bool typed);
    void editingFinished();
    void stepRows(int delta);

    std::unique_ptr<SectionEditBox> box_;
};

} // namespace qvr
