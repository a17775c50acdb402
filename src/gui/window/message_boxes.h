#pragma once

#include "core/files/message_sink.h"

#include <QPointer>
#include <QWidget>

namespace qvr {

// The program's messages as modal message boxes owned by a window.
class MessageBoxes final : public MessageSink {
  public:
    void setOwner(QWidget* owner) { owner_ = owner; }
    void showMessage(std::string text, std::string caption) override;
    UnsavedChoice askUnsavedChanges(std::string text, std::string caption,
                                    const std::array<std::string, 3>& buttons) override;
    bool confirm(std::string text, std::string caption, const std::array<std::string, 2>& buttons,
                 bool escapeAnswer = false) override;

  private:
    QPointer<QWidget> owner_;
};

} // namespace qvr
