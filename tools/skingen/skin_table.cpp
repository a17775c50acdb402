#include "skin_table.h"

namespace qvr::skingen {

SkinTable buildSkinTable() {
    SkinTable table;
    addMainWindowImages(table);
    addSettingsImages(table);
    addDialogImages(table);
    addMouseImages(table);
    return table;
}

QImage renderImage(const SkinImage& image, int scale) {
    QImage canvas(image.size * scale, QImage::Format_ARGB32_Premultiplied);
    // Drawn as vectors at the finer scale, not enlarged afterwards: lines,
    // curves and gradients get the extra device pixels.
    canvas.setDevicePixelRatio(scale);
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    image.draw(p, image.size);
    return canvas;
}

QString scaledPath(const QString& path, int scale) {
    if (scale == 1 || !path.endsWith(QLatin1String(".png")))
        return path;
    return path.left(path.size() - 4) + QStringLiteral("@%1x.png").arg(scale);
}

} // namespace qvr::skingen
