#pragma once

#include "core/text/language_tables.h"
#include "gui/window/balloons.h"

#include <QIcon>
#include <QObject>
#include <QString>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QSystemTrayIcon;
class QTimer;
class QWidget;

namespace qvr {

class UserSession;

// An extra item of the tray menu (the virtual mouse's own actions).
struct TrayAction {
    QString text;
    std::function<void()> run;
};

// What the tray presence is built from: the part of the main window's setup
// about the tray.
struct TraySetup {
    std::vector<TrayAction> trayActions;
    // Whether the desktop shows a tray; none: ask Qt. Asked again every
    // trayRecheck, since a tray may come and go while the program runs.
    std::function<bool()> trayAvailable;
    std::chrono::milliseconds trayRecheck = std::chrono::seconds(2);
    // The desktop's autostart entry the menu's "Start at login" writes, and
    // the program it starts. No entry: the menu has no such item.
    std::filesystem::path autostartEntry;
    std::filesystem::path program;
};

// What the tray presence needs of the window it stands for: the window's
// own doings, which the tray icon and its menu start.
class TrayOwner {
  public:
    virtual ~TrayOwner() = default;

    virtual Language language() const = 0;
    // The tray icon's left click and the menu's "Open": the window comes
    // out (or the missing mouse is said).
    virtual void trayLeftClick() = 0;
    // The menu's "Exit".
    virtual void exitProgram() = 0;
    // Back from the tray or the taskbar: the reload Cancel asked for, and
    // the page once the mouse is there.
    virtual void comeBack() = 0;
    // The profile manager writes the profile list itself when it closes.
    virtual bool profileManagerOpen() const = 0;
};

// The main window's presence in the tray: the icon with its tooltip and
// balloons, and its menu (Open, Profiles, Start at login, the virtual
// mouse's actions, Exit). It looks for the tray again every so often and
// moves the window to it or away from it: with a tray the window is a tool
// window without a taskbar entry, without one an ordinary window. Nothing
// exists until createTrayIcon(); until then the window counts as using a
// tray.
class TrayPresence : public QObject {
    Q_OBJECT

  public:
    // window is the widget whose flags follow the tray; owner is the same
    // window's doings. Both, and the session, must outlive the presence.
    TrayPresence(QWidget& window, TrayOwner& owner, UserSession& session, TraySetup setup);
    ~TrayPresence() override;

    // The icon, its menu and balloons, and the periodic look for the tray.
    void createTrayIcon();
    // The menu's texts in the owner's language, then refreshTray().
    void applyTrayTexts();
    // The tooltip, the menu's profiles and checks, as they are now.
    void refreshTray();
    // Looks for the tray again and moves to it or away from it.
    void checkTray();
    // At the end: the icon leaves the tray and goes.
    void removeTrayIcon();

    QSystemTrayIcon* trayIcon() const { return tray_.get(); }
    // Open, Profiles, Start at login, the virtual mouse's actions, Exit;
    // also the title strip's menu where there is no tray.
    QMenu* trayMenu() const { return trayMenu_.get(); }
    QMenu* profilesMenu() const { return profilesMenu_; }
    QAction* startAtLoginAction() const { return startAtLoginAction_; }
    bool usesTray() const { return usesTray_; }
    // The tray icon's balloons; none before the icon is made.
    BalloonSink* trayBalloons() const { return trayBalloons_.get(); }

  private:
    void fillProfilesMenu();
    void setStartAtLogin(bool on);
    bool trayAvailableNow() const;
    void useTray(bool available);
    void setTrayMode(bool available);

    QWidget& window_;
    TrayOwner& owner_;
    UserSession& session_;
    TraySetup setup_;
    std::unique_ptr<QSystemTrayIcon> tray_;
    std::unique_ptr<QMenu> trayMenu_;
    QAction* exitAction_ = nullptr;
    QAction* openAction_ = nullptr;
    QMenu* profilesMenu_ = nullptr; // children of trayMenu_
    QMenu* virtualMenu_ = nullptr;
    QAction* startAtLoginAction_ = nullptr;
    std::unique_ptr<BalloonSink> trayBalloons_;
    QTimer* trayCheck_ = nullptr;
    bool usesTray_ = true;
};

// The program's icon, drawn rather than shipped: a mouse outline in the
// accent colour. The window's and the tray's.
QIcon applicationIcon();

} // namespace qvr
