#pragma once

#include "gui/widgets/modal_runner.h"

#include <QObject>
#include <functional>
#include <optional>
#include <string>

class QKeyEvent;

namespace qvr {

// The small capture and macro-key dialogs: a modal skinned window with the
// shared frame of a close button, OK and Cancel, whose keys are its input.
class SkinnedDialog : public ModalSkinnedWindow {
    Q_OBJECT

  public:
    SkinnedDialog(std::shared_ptr<SkinImageCache> skin, MessageSink& messages,
                  Dragging dragging = Dragging::NotAllowed);

    // Centres the dialog over another window, as its transient. A window
    // that shows its focus mark was being used from the keyboard: the
    // dialog is then opened as by the keyboard.
    void centreOver(QWidget* window);

    // How the dialog was opened. Opened by the keyboard, Tab and Space work
    // among its controls even where keys are its input: the capture dialogs
    // then take keys only when asked to (see their hint lines). The first
    // pointer press in the dialog makes it a pointer's dialog for good.
    enum class OpenedBy { Pointer, Keyboard };
    OpenedBy openedBy() const { return openedBy_; }
    void setOpenedBy(OpenedBy by);

    // The frame the small dialogs share: close button, OK and Cancel.
    static constexpr QRect kCloseRect = edges(352, 6, 370, 24);
    static constexpr QRect kOkRect = edges(250, 250, 308, 275);
    static constexpr QRect kCancelRect = edges(314, 250, 372, 275);

  protected:
    // Adds the close, OK and Cancel elements; OK ends with OK, the other two
    // with Cancel. The close button shows no text: closeName is what screen
    // readers call it.
    void addFrameButtons(const QString& okText, const QString& cancelText,
                         const QString& closeName);
    std::optional<ElementTable::Id> okId() const { return okId_; }
    // Called when openedBy changes; by default the keyboard starts on the
    // first control.
    virtual void openedByChanged();
    // A pointer press on this child ends the keyboard's way too.
    void watchPointer(QWidget* child);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

    // Enter and Esc are the dialog's input (never its commands), or mean OK
    // and Cancel.
    enum class EndingKeys { AreInput, OkAndCancel };
    void setEndingKeys(EndingKeys keys) { endingKeys_ = keys; }
    // A hint line for the keyboard, drawn and read out while the dialog is
    // the keyboard's.
    void paintHint(QPainter& painter, QRect room, const QString& hint);
    // The close image is smaller than its hit area and sits in its middle.
    void paintCloseButton(QPainter& painter);
    // The dialog's name in its title band.
    void paintTitle(QPainter& painter, const QString& title);

    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::optional<ElementTable::Id> closeId_;
    std::optional<ElementTable::Id> okId_;
    QString closeName_;
    OpenedBy openedBy_ = OpenedBy::Pointer;
    EndingKeys endingKeys_ = EndingKeys::AreInput;
};

// Enter and Esc presses, which the capture dialogs name like any key but
// which must never end them.
bool isDialogEndingKey(const QKeyEvent& event);

// While it exists, names every keystroke that reaches the program, presses
// and releases alike, and hands the name to the dialog that made it. It is an
// application-wide event filter: the keyboard hook of the dialog's thread.
// The handler may return true to keep the keystroke from its widget.
class KeyCapture final : public QObject {
  public:
    using Handler = std::function<bool(const std::string& keyName, const QKeyEvent& event)>;

    explicit KeyCapture(Handler handler);
    ~KeyCapture() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    Handler handler_;
};

} // namespace qvr
