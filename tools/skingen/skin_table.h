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
// Renders one row on a transparent canvas of its size.
QImage renderImage(const SkinImage& image);
// The full main window background, also the source of the panel crops.
QImage renderMainBackground();

} // namespace qvr::skingen
