#pragma once

#include <QColor>
#include <QDir>
#include <QImage>
#include <QSize>
#include <QString>
#include <filesystem>
#include <utility>
#include <vector>

namespace qvr::test {

inline void writeButtonPageImages(const std::filesystem::path& folder);

// Writes one PNG of a flat colour, creating its folders.
inline void writePng(const std::filesystem::path& file, QSize size, QColor color) {
    QDir().mkpath(QString::fromStdString(file.parent_path().string()));
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    image.save(QString::fromStdString(file.string()), "PNG");
}

// A minimal skin: the images the main window and the help panel draw, in
// plain colours, so tests do not depend on the skin generator.
inline void writeMinimalSkin(const std::filesystem::path& folder) {
    const std::vector<std::pair<const char*, QSize>> images = {
        {"main.png", {1000, 640}},
        {"Bar1.png", {8, 564}},
        {"ItemBK.png", {242, 20}},
        {"MacroManagementBK.png", {242, 38}},
        {"button-help-normal.png", {15, 15}},
        {"button-help-over.png", {15, 15}},
        {"button-min-normal.png", {15, 15}},
        {"button-min-over.png", {15, 15}},
        {"button-close-normal.png", {15, 15}},
        {"button-close-over.png", {15, 15}},
        {"button-cancel-normal.png", {57, 30}},
        {"button-cancel-over.png", {57, 30}},
        {"button-save-normal.png", {57, 30}},
        {"button-save-over.png", {57, 30}},
        {"button-config-normal.png", {72, 30}},
        {"button-config-over.png", {72, 30}},
        {"button-mouse-normal.png", {62, 29}},
        {"button-mouse-leave.png", {62, 29}},
        {"Mouse/Front/MouseFront.png", {300, 460}},
        {"Mouse/Side/MouseSide.png", {300, 460}},
        {"Help/HelpWindow.png", {166, 182}},
        {"Help/KeysWindow.png", {540, 560}},
        {"Enable.png", {14, 14}},
        {"Disable.png", {14, 14}},
    };
    for (const auto& [name, size] : images)
        writePng(folder / name, size, QColor(30, 32, 40));
    // The over images differ, so a test can tell them apart.
    writePng(folder / "button-help-over.png", {15, 15}, QColor(0, 150, 255));
    writeButtonPageImages(folder);
}

} // namespace qvr::test

#include "support/button_page_skin.h"
