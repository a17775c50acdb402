#pragma once

#include "support/skin_folder.h"

#include <QString>

namespace qvr::test {

// Colours of the button page's test images, so that tests can tell which
// image is drawn where.
inline const QColor kBoxNormal(60, 60, 60);
inline const QColor kBoxOver(0, 120, 200);
inline const QColor kBoxLeave(200, 120, 0);
inline const QColor kViewButtonNormal(70, 70, 80);
inline const QColor kViewButtonOver(250, 40, 40);

// The images of the assignment section, the mouse view's buttons and the
// key and macro dialogs, in flat colours.
inline void writeButtonPageImages(const std::filesystem::path& folder) {
    writePng(folder / "ButtonAssignment/BK_ButtonAssignment.png", {242, 198}, QColor(20, 22, 28));
    writePng(folder / "ButtonAssignment/DropdownBox-normal.png", {130, 16}, kBoxNormal);
    writePng(folder / "ButtonAssignment/DropdownBox-over.png", {130, 16}, kBoxOver);
    writePng(folder / "ButtonAssignment/DropdownBox-leave.png", {130, 16}, kBoxLeave);
    for (int b = 1; b <= 8; ++b) {
        for (const char* view : {"Front/F", "Side/S"}) {
            const std::string stem = std::string("Mouse/") + view + "-" + std::to_string(b);
            writePng(folder / (stem + "-normal.png"), {20, 20}, kViewButtonNormal);
            writePng(folder / (stem + "-over.png"), {20, 20}, kViewButtonOver);
        }
    }
    writePng(folder / "single-key.png", {378, 284}, QColor(30, 32, 40));
    writePng(folder / "combo-key.png", {378, 284}, QColor(30, 32, 40));
    writePng(folder / "macro-key.png", {396, 296}, QColor(30, 32, 40));
    writePng(folder / "MacroManagement/button-new-normal.png", {58, 25}, QColor(50, 50, 50));
    writePng(folder / "MacroManagement/button-new-over.png", {58, 25}, QColor(0, 150, 255));
    writePng(folder / "Pane.png", {16, 16}, QColor(90, 90, 90));
    writePng(folder / "PaneMakingTick.png", {16, 16}, QColor(0, 200, 0));
}

} // namespace qvr::test
