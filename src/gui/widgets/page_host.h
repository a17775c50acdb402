#pragma once

#include "core/device/device_event_type.h"
#include "core/text/language_tables.h"
#include "gui/widgets/left_panel.h"
#include "gui/widgets/window_page.h"

#include <QFont>
#include <QSize>

class QMenu;
class QString;

namespace qvr {

class ScrollThumb;
class SkinnedWindow;

// The picture of the mouse the window shows, and whose buttons it labels.
enum class MouseView { Front, Side };

// The main window's face, in face pixels.
inline constexpr QSize kMainFaceSize{1000, 640};

// What a page or dialog built into the main window needs of the window: its
// face (the element table, the skin, the text colour and font, the place of
// child widgets), its other fonts and texts, the panels' state, and the
// window's own doings. The user's data and the mouse's state come from the
// session instead.
class PageHost {
  public:
    virtual ~PageHost() = default;

    virtual SkinnedWindow& face() = 0;
    virtual Language language() const = 0;
    virtual const MainWindowTexts& texts() const = 0;
    virtual const QFont& headingFont() const = 0;
    virtual const QFont& smallFont() const = 0;
    virtual void redraw() = 0;

    // Which left-panel sections are open; the assignment section moves the
    // macro manager bar and the X/Y section.
    virtual LeftPanel& leftPanel() = 0;
    // Which picture of the mouse the window shows.
    virtual MouseView mouseView() const = 0;
    virtual ScrollThumb* scrollThumb() const = 0;
    // Whether the page is drawn (the mouse has been there since start-up or
    // the window came back from the tray).
    virtual bool pageDrawn() const = 0;

    // Later pages paint over earlier ones; each must last as long as the
    // window.
    virtual void addPage(WindowPage& page) = 0;
    // The page is no longer called, and its elements no longer answer.
    virtual void removePage(WindowPage& page) = 0;
    virtual void closePagePopups() = 0;
    // The balloon of a device event (DPI stage, macro key, found, lost).
    virtual void showDeviceNotification(DeviceEventType type, int value) = 0;
    // Cancel: the window goes into the tray (or the taskbar), and the
    // profile is read again when it comes back.
    virtual void hideAndReloadOnReopen() = 0;
};

// The tray's menu and notices, for what adds to them (automatic switching).
class TrayHost {
  public:
    virtual ~TrayHost() = default;

    virtual QMenu* trayMenu() const = 0;
    // The tooltip, the menu's profiles and checks, as they are now.
    virtual void refreshTray() = 0;
    // A balloon of the program's own, under the window's title.
    virtual void showNotice(const QString& text) = 0;
};

} // namespace qvr
