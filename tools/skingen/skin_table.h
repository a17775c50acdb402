#pragma once

// The skin as data: one row per image file, with its path relative to the
// skin folder, its size and the function that paints it.

#include <QImage>
#include <QPainter>
#include <QSize>
#include <QString>
#include <functional>
#include <vector>

namespace qvr::skingen {

struct SkinImage {
    QString path;
    QSize size;
    std::function<void(QPainter&, QSize)> draw;
};

using SkinTable = std::vector<SkinImage>;

void addMainWindowImages(SkinTable& table);
void addSettingsImages(SkinTable& table);
void addDialogImages(SkinTable& table);
void addMouseImages(SkinTable& table);

SkinTable buildSkinTable();
// Renders one row on a transparent canvas of its size times scale device
// pixels a side: the same drawing, with scale device pixels per pixel.
QImage renderImage(const SkinImage& image, int scale = 1);
// The file name of the scale's copy: "name.png", "name@2x.png".
QString scaledPath(const QString& path, int scale);
// The device pixel scales the skin is written for.
inline constexpr int kSkinScales[] = {1, 2};
// The full main window background.
QImage renderMainBackground(int scale = 1);

} // namespace qvr::skingen
