#pragma once

#include "core/text/language_tables.h"
#include "gui/widgets/skinned_window.h"

#include <QPointer>
#include <functional>

namespace qvr {

// The keyboard's keys and what they do in each window, opened from the help
// panel: a skinned child of the main window beside it. Esc or Enter close it.
class KeysPanel : public SkinnedWindow {
    Q_OBJECT

  public:
    static constexpr QPoint kPosition{786 - 6 - skin::kKeysPanel.width, 31};
    static constexpr QRect kCloseRect =
        edges(skin::kKeysPanel.width - 25, 10, skin::kKeysPanel.width - 10, 25);
    static constexpr QRect kTitleRect = edges(14, 0, skin::kKeysPanel.width - 32, 34);

    // One line of the panel where it is drawn: a heading has no keys.
    struct Line {
        QRect keysRect, actionRect;
        QString keys, action;
    };

    KeysPanel(std::shared_ptr<SkinImageCache> skin, MessageSink& messages, Language language,
              QWidget* parent);

    void setLanguage(Language language);
    const std::vector<Line>& lines() const { return lines_; }
    // Where the last line ends: the panel must be taller.
    int contentBottom() const;

  signals:
    void closeRequested();

  protected:
    void paintFace(QPainter& painter) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Tab stays in the panel, on its one control, until Esc closes it.
    bool focusNextPrevChild(bool next) override;

  private:
    void layOut();

    const KeysPanelTexts* texts_;
    Language language_;
    std::vector<Line> lines_;
};

// The help panel: a small skinned child of the main window with the
// "Update Firmware" line, the version, the choice of the interface language
// and the line that opens the keys panel. It exists only while shown.
class HelpPanel : public SkinnedWindow {
    Q_OBJECT

  public:
    static constexpr QPoint kPosition{786, 25};
    static constexpr QRect kUpdateLine = edges(0, 26, 166, 49);
    static constexpr QRect kVersionLine = edges(0, 50, 166, 77);
    // English, Simplified and Traditional Chinese, one line each.
    static constexpr QRect languageLine(int row) {
        return edges(0, 82 + 22 * row, 166, 104 + 22 * row);
    }
    static constexpr QRect kKeysLine = edges(0, 154, 166, 177);

    // updateFirmware: none when no updater is installed; the line is then
    // drawn disabled. chooseLanguage: a click on a language line.
    HelpPanel(std::shared_ptr<SkinImageCache> skin, MessageSink& messages, Language language,
              std::function<void()> updateFirmware, std::function<void(Language)> chooseLanguage,
              QWidget* parent);

    // Redraws the panel in another language.
    void setLanguage(Language language);

    // Opens the keys panel, or closes it when it is open.
    void toggleKeysPanel();
    KeysPanel* keysPanel() const { return keys_; }

  signals:
    // Esc or Enter on the panel: the keyboard's way to close it.
    void closeRequested();

  protected:
    void paintFace(QPainter& painter) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    void closeKeysPanel();

    Language language_;
    const HelpPanelTexts* texts_;
    bool updateAvailable_ = false;
    ElementTable::Id keysLine_ = -1;
    QPointer<KeysPanel> keys_;
};

} // namespace qvr
