#pragma once

#include "core/text/language_tables.h"
#include "gui/buttons/capture_keys.h"
#include "gui/widgets/skinned_dialog.h"

#include <memory>
#include <string>

namespace qvr {

// The single-key capture dialog: the user presses a key and the dialog shows
// its name; OK hands the last name to the assignment page.
class SingleKeyDialog : public SkinnedDialog {
    Q_OBJECT

  public:
    static constexpr QRect kPromptRect = edges(34, 103, 180, 123);
    static constexpr QRect kKeyDisplayRect = edges(47, 129, 177, 143);
    // Above OK and Cancel: how the keyboard captures, when it opened the dialog.
    static constexpr QRect kHintRect = edges(16, 190, 362, 246);

    SingleKeyDialog(std::shared_ptr<SkinImageCache> skin, MessageSink& messages, Language language,
                    QColor textColor);
    ~SingleKeyDialog() override;

    // The last key name captured; empty until a key is pressed.
    const std::string& keyName() const { return keyName_; }
    bool capturing() const { return capture_ != nullptr; }
    // Opened by the keyboard: whether a capture asked for is running, from
    // the first press after it to the release of every key pressed in it.
    bool keyboardCaptureRunning() const { return boundedCapture_; }

  protected:
    void paintFace(QPainter& painter) override;
    void openedByChanged() override;

  private:
    bool onKey(const std::string& name, const QKeyEvent& event);
    bool onKeyboardOpenedKey(const std::string& name, const QKeyEvent& event);
    void startKeyboardCapture();

    const SingleKeyDialogTexts& texts_;
    QString title_;
    std::string keyName_;
    std::unique_ptr<KeyCapture> capture_;
    QString hint_;
    std::optional<ElementTable::Id> keyBoxId_;
    bool boundedCapture_ = false;
    CaptureKeys captureKeys_;
};

} // namespace qvr
