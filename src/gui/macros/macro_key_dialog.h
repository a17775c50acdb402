#pragma once

#include "core/macros/macro_editing.h"
#include "core/text/language_tables.h"
#include "gui/widgets/skinned_dialog.h"

#include <QPointer>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qvr {

class SkinListBox;

// What a button holds when the dialog opens, shown as the first choice.
struct MacroKeyPreset {
    std::uint8_t position = 0;
    std::uint8_t repeatMode = 0;
};

// The macro key dialog: one macro of the store and one of three repeat modes
// for a button.
class MacroKeyDialog : public SkinnedDialog {
    Q_OBJECT

  public:
    static constexpr QRect kFieldRect = edges(42, 128, 151, 144);
    static constexpr QRect kNameRect = edges(42, 128, 136, 144);
    static constexpr QRect kListRect = edges(42, 146, 151, 286);
    static constexpr QRect kCaptionRect = edges(12, 112, 181, 128);
    static constexpr std::array<QRect, 3> kTickRects = {
        edges(220, 78, 236, 94), edges(220, 128, 236, 144), edges(220, 178, 236, 194)};
    static constexpr std::array<QRect, 3> kOptionTextRects = {
        edges(237, 63, 390, 109), edges(237, 113, 390, 159), edges(237, 163, 390, 209)};
    static constexpr int kRepeatModeCount = 3;

    // choices: the macros in list order. A preset that names no listed
    // position or mode is left out.
    MacroKeyDialog(std::shared_ptr<SkinImageCache> skin, MessageSink& messages, Language language,
                   QColor textColor, std::vector<MacroKeyChoice> choices,
                   std::optional<MacroKeyPreset> preset = std::nullopt);
    ~MacroKeyDialog() override;

    std::uint8_t macroPosition() const { return position_; }
    std::uint8_t repeatMode() const { return repeatMode_; }
    const std::string& macroName() const { return name_; }

    SkinListBox* macroList() const { return list_; }
    void toggleList();
    void closeList();
    void chooseRepeatMode(int mode);

  protected:
    void paintFace(QPainter& painter) override;
    bool beforeClick(QPoint position) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    void chooseMacro(int row);

    const MacroKeyDialogTexts& texts_;
    QString title_;
    std::vector<MacroKeyChoice> choices_;
    std::uint8_t position_ = 0;
    std::uint8_t repeatMode_ = 0;
    std::string name_;
    QPointer<SkinListBox> list_;
};

} // namespace qvr
