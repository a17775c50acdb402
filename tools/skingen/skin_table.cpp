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

QImage renderImage(const SkinImage& image) {
    QImage canvas(image.size, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter p(&canvas);
    image.draw(p, image.size);
    return canvas;
}

} // namespace qvr::skingen
