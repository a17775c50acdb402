#include "gui/widgets/qt_fonts.h"

namespace qvr {

QFont qtFontFor(WindowFont font, Language language) {
    const FontSpec spec = fontFor(font, language);
    QFont result(qstr(linuxFontFamily(spec.windowsFace)));
    result.setPixelSize(spec.height);
    // Windows weights use the same 100..900 scale as Qt 6; 0 is the default.
    result.setWeight(spec.weight == 0 ? QFont::Normal : static_cast<QFont::Weight>(spec.weight));
    result.setStyleHint(QFont::SansSerif);
    return result;
}

} // namespace qvr
