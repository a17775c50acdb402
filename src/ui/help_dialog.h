#pragma once

#include "ui/language_tables.h"
#include "ui/skinned_window.h"

#include <functional>

namespace qvr {

// The help panel: a small skinned child of the main window with the
// "Update Firmware" line and the version. It exists only while shown.
class CHelpDialog : public SkinnedWindow {
    Q_OBJECT

  public:
    static constexpr QPoint kPosition{786, 25};
    static constexpr QRect kUpdateLine = edges(0, 26, 166, 49);
    static constexpr QRect kVersionLine = edges(0, 50, 166, 77);

    // updateFirmware: none when no updater is installed; the line is then
    // drawn disabled.
    CHelpDialog(std::shared_ptr<SkinImageCache> skin, MessageSink& messages, Language language,
                std::function<void()> updateFirmware, QWidget* parent);

  protected:
    void paintFace(QPainter& painter) override;

  private:
    const HelpPanelTexts& texts_;
    bool updateAvailable_ = false;
};

} // namespace qvr
