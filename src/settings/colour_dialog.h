#pragma once

#include <QColor>
#include <optional>

namespace qvr {

// The system colour dialog, behind an interface so that widget tests answer
// it without a modal loop.
class ColourDialog {
  public:
    virtual ~ColourDialog() = default;
    // The colour the user chose, nullopt when the dialog was cancelled.
    virtual std::optional<QColor> pickColour() = 0;
};

// Qt's colour dialog: no initial colour and no owner, as the swatches have
// always opened it.
class QtColourDialog final : public ColourDialog {
  public:
    std::optional<QColor> pickColour() override;
};

} // namespace qvr
