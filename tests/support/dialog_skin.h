#pragma once

#include "support/skin_folder.h"

#include <QColor>
#include <filesystem>

namespace qvr::test {

// The images of the macro manager and the profile manager, beside a minimal
// main window skin.
inline void writeDialogSkin(const std::filesystem::path& folder) {
    const QColor face(30, 32, 40);
    writePng(folder / "macro-button-close-normal.png", {51, 24}, face);
    writePng(folder / "macro-button-close-over.png", {51, 24}, face);
    writePng(folder / "MacroManagement/MacroManagement.png", {490, 434}, face);
    for (const char* name : {"Pane.png", "PaneMakingTick.png"})
        writePng(folder / "MacroManagement" / name, {14, 14}, face);
    writePng(folder / "MacroManagement/Record-normal.png", {89, 24}, face);
    for (const char* name : {"button-cancel-normal.png", "button-cancel-over.png"})
        writePng(folder / "MacroManagement" / name, {54, 28}, face);
    for (const char* name : {"button-new-normal.png", "button-new-over.png"})
        writePng(folder / "MacroManagement" / name, {58, 25}, face);
    writePng(folder / "Config/Config.png", {263, 598}, face);
    writePng(folder / "Config/New-Config.png", {263, 23}, face);
}

} // namespace qvr::test
