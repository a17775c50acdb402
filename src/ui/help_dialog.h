#pragma once

#include "ui/language_tables.h"
#include "ui/skinned_window.h"

#include <functional>

namespace qvr {

// The help panel: a small skinned child of the main window with the
// "Update Firmware" line, the version and the choice of the interface
// language. It exists only while shown.
class CHelpDialog : public SkinnedWindow {
    Q_OBJECT

  public:
    static constexpr QPoint kPosition{786, 25};
    static constexpr QRect kUpdateLine = edges(0, 26, 166, 49);
    static constexpr QRect kVersionLine = edges(0, 50, 166, 77);
    // English, Simplified and Traditional Chinese, one line each.
    static constexpr QRect languageLine(int row) {
        return edges(0, 82 + 22 * row, 166, 104 + 22 * row);
    }

    // updateFirmware: none when no updater is installed; the line is then
    // drawn disabled. chooseLanguage: a click on a language line.
    CHelpDialog(std::shared_ptr<SkinImageCache> skin, MessageSink& messages, Language language,
                std::function<void()> updateFirmware, std::function<void(Language)> chooseLanguage,
                QWidget* parent);

    // Redraws the panel in another language.
    void setLanguage(Language language);

  signals:
    // Esc or Enter on the panel: the keyboard's way to close it.
    void closeRequested();

  protected:
    void paintFace(QPainter& painter) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    Language language_;
    const HelpPanelTexts* texts_;
    bool updateAvailable_ = false;
};

} // namespace qvr
