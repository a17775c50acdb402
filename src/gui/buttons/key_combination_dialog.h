#pragma once

#include "core/text/language_tables.h"
#include "gui/buttons/capture_keys.h"
#include "gui/widgets/skinned_dialog.h"

#include <QPointer>
#include <memory>
#include <string>

class QLineEdit;

namespace qvr {

class SkinListBox;

// The combination capture dialog: one modifier chosen from a list and up to
// two keys, each captured into the key field the user clicked into.
class KeyCombinationDialog : public SkinnedDialog {
    Q_OBJECT

  public:
    static constexpr QRect kModifierDisplayRect = edges(50, 70, 156, 84);
    static constexpr QRect kModifierClickRect = edges(50, 70, 172, 84);
    static constexpr QRect kModifierListRect = edges(50, 87, 172, 227);
    static constexpr QRect kKeyField1Rect = edges(50, 120, 172, 134);
    static constexpr QRect kKeyField2Rect = edges(50, 170, 172, 184);
    // Over the fields, how to use them; right of them, what was captured.
    static constexpr QRect kPromptRect = edges(20, 34, 358, 64);
    static constexpr QRect kCombinationRect = edges(196, 62, 362, 192);
    // Above OK and Cancel: how the keyboard captures, when it opened the dialog.
    static constexpr QRect kHintRect = edges(16, 194, 362, 246);

    KeyCombinationDialog(std::shared_ptr<SkinImageCache> skin, MessageSink& messages,
                         Language language, QColor textColor);
    ~KeyCombinationDialog() override;

    const std::string& modifierName() const { return modifierName_; }
    int modifierPosition() const { return modifierPosition_; }
    const std::string& key1Name() const { return key1Name_; }
    const std::string& key2Name() const { return key2Name_; }

    QLineEdit* keyField1() const { return field1_; }
    QLineEdit* keyField2() const { return field2_; }
    SkinListBox* modifierList() const { return list_; }
    bool capturing() const { return capture_ != nullptr; }

    void toggleModifierList();
    void closeModifierList();
    // Opened by the keyboard: the field a capture asked for is filling, from
    // the first press after it to the release of every key pressed in it.
    QLineEdit* keyboardCaptureField() const { return boundedCapture_; }

  protected:
    void paintFace(QPainter& painter) override;
    bool beforeClick(QPoint position) override;
    void openedByChanged() override;

  private:
    bool onKey(const std::string& name, const QKeyEvent& event);
    bool onKeyboardOpenedKey(const std::string& name, const QKeyEvent& event);
    void startKeyboardCapture(QLineEdit* field);
    void captureInto(QLineEdit* field, const std::string& name);
    void paintCombination(QPainter& painter);
    void chooseModifier(int row);
    void setFieldsEnabled(bool enabled);
    QLineEdit* focusedField() const;

    QString title_;
    QString prompt_;
    std::string modifierName_;
    int modifierPosition_ = -1;
    std::string key1Name_;
    std::string key2Name_;
    QLineEdit* field1_ = nullptr;
    QLineEdit* field2_ = nullptr;
    QLineEdit* fieldBeforeList_ = nullptr;
    QPointer<SkinListBox> list_;
    std::unique_ptr<KeyCapture> capture_;
    QString hint_;
    std::optional<ElementTable::Id> modifierId_;
    QLineEdit* boundedCapture_ = nullptr;
    CaptureKeys captureKeys_;
};

} // namespace qvr
