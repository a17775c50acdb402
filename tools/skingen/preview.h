#pragma once

#include <QString>

namespace qvr::skingen {

// Composes skin images at their window positions, with sample texts, into
// contact sheets: base + "-main.png", "-alt.png" and "-dialogs.png".
// Returns false when a sheet cannot be written.
bool writePreview(const QString& base);

} // namespace qvr::skingen
