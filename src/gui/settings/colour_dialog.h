#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>
#include <optional>

namespace qvr {

// The system colour dialog, behind an interface so that widget tests answer
// it without a modal loop.
class ColourDialog {
  public:
    virtual ~ColourDialog() = default;
    // The colour the user chose, nullopt when the dialog was cancelled. The
    // dialog opens at initial, the colour being changed.
    virtual std::optional<QColor> pickColour(QColor initial) = 0;
};

// Qt's colour dialog, owned by the main window so that every desktop keeps
// it there.
class QtColourDialog final : public ColourDialog {
  public:
    void setOwner(QWidget* owner) { owner_ = owner; }
    std::optional<QColor> pickColour(QColor initial) override;

  private:
    QPointer<QWidget> owner_;
};

} // namespace qvr
