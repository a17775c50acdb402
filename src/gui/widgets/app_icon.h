#pragma once

#include <QImage>
#include <QString>

namespace qvr {

// The program's icon: a mouse seen from above, its wheel in the skin's
// accent colour. The window, the tray and the installed icon files are all
// drawn from one description, so they cannot drift apart.
QImage appIconImage(int size);
QString appIconSvg();

} // namespace qvr
