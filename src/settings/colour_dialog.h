#pragma once

#include <QColor>
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

// Qt's colour dialog, without an owner.
class QtColourDialog final : public ColourDialog {
  public:
    std::optional<QColor> pickColour(QColor initial) override;
};

} // namespace qvr
