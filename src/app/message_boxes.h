#pragma once

#include "app/user_messages.h"

#include <QPointer>
#include <QWidget>

namespace qvr {

// The program's messages as modal message boxes owned by a window.
class MessageBoxes final : public UserMessages {
  public:
    void setOwner(QWidget* owner) { owner_ = owner; }
    void show(std::string_view text, std::string_view caption) override;

  private:
    QPointer<QWidget> owner_;
};

} // namespace qvr
