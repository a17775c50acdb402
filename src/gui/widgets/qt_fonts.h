#pragma once

#include "core/text/language_tables.h"

#include <QFont>
#include <QString>
#include <string_view>

namespace qvr {

// The installed face standing in for a window's Windows font, at the table's
// pixel height and weight.
QFont qtFontFor(WindowFont font, Language language);

inline QString qstr(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace qvr
