#pragma once

#include "ui/skinned_window.h"

#include <QObject>
#include <functional>
#include <optional>
#include <string>

class QEventLoop;
class QKeyEvent;

namespace qvr {

// A skinned window that is run as a modal dialog: it ends with a result,
// OK (1) or Cancel (0), like a dialog of the desktop's own kind.
class SkinnedDialog : public SkinnedWindow {
    Q_OBJECT

  public:
    enum Result { Cancel = 0, OK = 1 };

    SkinnedDialog(std::shared_ptr<SkinImageCache> skin, MessageSink& messages,
                  Dragging dragging = Dragging::NotAllowed);
    ~SkinnedDialog() override;

    // Shows the dialog application-modal and returns when it ends.
    int exec();
    // Ends the dialog with the result (also when it is not run by exec).
    void done(int result);
    int result() const { return result_; }
    bool finished() const { return finished_; }

    // Centres the dialog over another window.
    void centreOver(const QWidget* window);

    // The frame the small dialogs share: close button, OK and Cancel.
    static constexpr QRect kCloseRect = edges(352, 6, 370, 24);
    static constexpr QRect kOkRect = edges(250, 250, 308, 275);
    static constexpr QRect kCancelRect = edges(314, 250, 372, 275);

  signals:
    void ended(int result);

  protected:
    // Adds the close, OK and Cancel elements; OK ends with OK, the other two
    // with Cancel.
    void addFrameButtons(const QString& okText, const QString& cancelText);
    // The close image is smaller than its hit area and sits in its middle.
    void paintCloseButton(QPainter& painter);
    // The dialog's name in its title band.
    void paintTitle(QPainter& painter, const QString& title);

    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    std::optional<ElementTable::Id> closeId_;
    int result_ = Cancel;
    bool finished_ = false;
    QEventLoop* loop_ = nullptr;
};

// Runs a dialog modally. The program runs it with exec(); widget tests drive
// the open dialog themselves and return its result, without a modal loop.
class SkinnedDialogRunner {
  public:
    virtual ~SkinnedDialogRunner() = default;
    virtual int run(SkinnedDialog& dialog) = 0;
};

class ModalDialogRunner final : public SkinnedDialogRunner {
  public:
    int run(SkinnedDialog& dialog) override { return dialog.exec(); }
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
