#pragma once

#include "gui/widgets/window_elements.h"

class QPainter;

namespace qvr {

struct ConfigRecord;

// What the main window asks of each page built into it. Each call does
// nothing unless the page needs it; the window calls its pages in the order
// they were added.
class WindowPage : public ElementOwner {
  public:
    virtual ~WindowPage() = default;

    // A click or a key press on an element the page added as its own.
    void press(ElementTable::Id /*id*/, QPoint /*at*/) override {}

    // Draws over the window's face, and so over the pages added before.
    virtual void paintFace(QPainter&) {}
    // Closes lists and edit boxes before the record under them changes.
    virtual void closePopups() {}
    // The right panel's scroll thumb moved to thumbTop, and was let go.
    virtual void scrollPanel(int /*thumbTop*/) {}
    virtual void panelScrollReleased() {}
    // A loaded profile is drawn in full: at start-up with the mouse there,
    // back from the tray, or another profile loaded while drawn.
    virtual void profileDrawn() {}
    // The interface language changed: texts and fonts are the window's new
    // ones from now on.
    virtual void languageChanged() {}
    // Fills a record's pointer fields from the desktop's current settings.
    virtual void takeDesktopPointerSettings(ConfigRecord&) {}
};

} // namespace qvr
