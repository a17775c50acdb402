#pragma once

#include "gui/widgets/skinned_window.h"

#include <functional>

namespace qvr {

enum class DialogResult { Cancel, Ok };

// A skinned window that is run modally and ends with a result.
class ModalSkinnedWindow : public SkinnedWindow {
    Q_OBJECT

  public:
    using SkinnedWindow::SkinnedWindow;

    // Ends the run with the result; the window hides. Later calls do nothing.
    void done(DialogResult result);
    bool finished() const { return finished_; }
    DialogResult result() const { return result_; }

  signals:
    void ended(qvr::DialogResult result);

  protected:
    // Runs once when the window ends, before it hides.
    virtual void aboutToEnd(DialogResult) {}
    void closeEvent(QCloseEvent* event) override;

  private:
    bool finished_ = false;
    DialogResult result_ = DialogResult::Cancel;
};

// Runs a dialog until it ends. Production runs a modal event loop; tests
// drive the dialog directly, without one.
class ModalRunner {
  public:
    virtual ~ModalRunner() = default;
    virtual DialogResult run(ModalSkinnedWindow& dialog) = 0;
};

class EventLoopRunner final : public ModalRunner {
  public:
    DialogResult run(ModalSkinnedWindow& dialog) override;
};

// Shows the dialog, hands it to a script (a test's clicks and keys), and ends
// it with Cancel when the script left it running.
class ScriptedRunner final : public ModalRunner {
  public:
    explicit ScriptedRunner(std::function<void(ModalSkinnedWindow&)> script)
        : script_(std::move(script)) {}
    DialogResult run(ModalSkinnedWindow& dialog) override;

  private:
    std::function<void(ModalSkinnedWindow&)> script_;
};

} // namespace qvr
