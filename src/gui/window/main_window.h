#pragma once

#include "core/device/device_events.h"
#include "core/device/device_link.h"
#include "core/files/message_sink.h"
#include "core/profiles/profile_files.h"
#include "core/record/config_record.h"
#include "core/text/language_tables.h"
#include "gui/session/device_thread.h"
#include "gui/session/profile_session.h"
#include "gui/session/user_session.h"
#include "gui/widgets/left_panel.h"
#include "gui/widgets/page_host.h"
#include "gui/widgets/skinned_window.h"
#include "gui/widgets/window_page.h"
#include "gui/window/balloons.h"
#include "gui/window/device_event_relay.h"
#include "gui/window/help_panel.h"
#include "gui/window/instance_channel.h"
#include "gui/window/tray_presence.h"

#include <QPointer>
#include <QTimer>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QMenu;

namespace qvr {

class ScrollThumb;
class MacroProfileDialogs;

// What the main window is built from. The application fills it from the
// command line; tests fill it with a virtual mouse and a temporary folder.
// The tray's fields (trayActions, trayAvailable, trayRecheck, autostartEntry,
// program) are handed on to the window's TrayPresence as its TraySetup.
struct MainWindowSetup {
    // Handed to the session at start-up, which searches and watches with it.
    MouseWatchSetup mouse;
    BalloonSink* balloons = nullptr; // none: the tray icon's balloons
    std::vector<TrayAction> trayActions;
    std::function<void(int exitCode)> endProcess; // none: leave the event loop
    // Whether the desktop shows a tray; none: ask Qt. Asked again every
    // trayRecheck, since a tray may come and go while the program runs.
    std::function<bool()> trayAvailable;
    std::chrono::milliseconds trayRecheck = std::chrono::seconds(2);
    // The desktop's autostart entry the menu's "Start at login" writes, and
    // the program it starts. No entry: the menu has no such item.
    std::filesystem::path autostartEntry;
    std::filesystem::path program;
};

// How the window comes up at start: shown, or (--minimized) only in the tray,
// iconified where there is no tray.
enum class StartShown { Normal, Minimized };

// The main window: a borderless skinned window that lives for the whole run.
// With a tray it has no taskbar entry and hides to the tray; without one it
// is an ordinary window that minimises to the taskbar. It draws the session
// it is built on and lasts no longer than it: the settings pages, the button
// page and the dialogs are built into it as pages, through the page host.
// Its tray icon and menu are its TrayPresence's; the mouse's events reach
// the balloons through its DeviceEventRelay.
class MainWindow : public SkinnedWindow,
                   public ProfileView,
                   public PageHost,
                   public TrayHost,
                   public TrayOwner {
    Q_OBJECT

  public:
    // The window's own buttons, in the order the clicks test them.
    struct Ids {
        ElementTable::Id track, reset, cancel, save, help, minimise, close, config, frontTab,
            sideTab;
    };
    static constexpr QRect kResetRect = toQRect(skin::kResetButton);
    static constexpr QRect kCancelRect = toQRect(skin::kCancelButton);
    static constexpr QRect kSaveRect = toQRect(skin::kSaveButton);
    static constexpr QRect kHelpRect = toQRect(skin::kHelpButton);
    static constexpr QRect kMinimiseRect = toQRect(skin::kMinimiseButton);
    static constexpr QRect kCloseRect = toQRect(skin::kCloseButton);
    static constexpr QRect kConfigRect = toQRect(skin::kConfigButton);
    static constexpr QRect kFrontTabRect = toQRect(skin::kFrontTab);
    static constexpr QRect kSideTabRect = toQRect(skin::kSideTab);
    static constexpr QRect kTrackRect = toQRect(skin::kScrollTrack);
    // The thumb starts at the top of the track, 114 pixels high.
    static constexpr QRect kThumbRect = edges(984, 32, 992, 146);
    static constexpr QSize kDefaultSize = kMainFaceSize;

    MainWindow(UserSession& session, MainWindowSetup setup);
    ~MainWindow() override;

    // The start-up sequence: the session's device search (answered on the
    // device thread while the window comes up), listener and hotplug watch,
    // then profile, language, texts, skin, colours, fonts, tray icon. The
    // button page follows the search's answer; a never-saved profile's
    // desktop pointer values are read at the first click, the first time
    // anything can show or keep them.
    void startUp();
    // The search has answered and the window has been painted: where a
    // start-up without the user's hand comes to rest.
    bool startUpSettled() const;

    const Ids& ids() const { return ids_; }
    Language language() const override { return language_; }
    const MainWindowTexts& texts() const override { return *texts_; }
    const QFont& headingFont() const override { return headingFont_; }
    const QFont& smallFont() const override { return smallFont_; }
    SkinnedWindow& face() override { return *this; }
    // The tray icon, its menu and the look for the tray.
    TrayPresence& tray() { return tray_; }
    const TrayPresence& tray() const { return tray_; }
    // Open, Profiles, Start at login, the virtual mouse's actions, Exit;
    // also the title strip's menu where there is no tray.
    QMenu* trayMenu() const override { return tray_.trayMenu(); }
    // The tooltip, the menu's profiles and checks, as they are now.
    void refreshTray() override { tray_.refreshTray(); }
    void showAtStart(StartShown how);
    // Brings the window out for a question about it.
    void showForQuestion() override;
    bool profileManagerOpen() const override;
    ScrollThumb* scrollThumb() const override { return thumb_; }

    // Tray icon: a left click or double click shows the window (or says the
    // mouse is missing); the menu's "Exit" ends the program.
    void trayLeftClick() override;
    // The balloon of a device event (DPI stage, macro key, found, lost).
    void showDeviceNotification(DeviceEventType type, int value) override;
    // A balloon of the program's own, under the window's title.
    void showNotice(const QString& text) override;
    // The close button and "Exit": with unsaved changes the window shows
    // and asks Save, Discard or Cancel first; then handles closed, tray icon
    // removed, end.
    void exitProgram() override;
    // The desktop session ends and cannot wait for an answer: the unsaved
    // changes go to the recovery file, then the program ends.
    void endSession();
    // The session manager asks for the user's data: the unsaved changes go
    // to the recovery file (none: the file goes), and the program goes on.
    void keepUnsavedEdits();
    // At start: changes kept by an ended session are offered back.
    void offerUnsavedEdits();
    std::filesystem::path unsavedEditsPath() const;
    // The program has ended (its handles are closed); only destruction is left.
    bool ended() const { return session_.ending(); }
    // Minimise, close and Cancel: into the tray, or to the taskbar when the
    // desktop has no tray.
    void hideToTray();
    void hideAndReloadOnReopen() override;
    // A later start of the program asked for the window.
    void bringForward(const ActivationRequest& request);
    // The strip along the top whose right click opens the tray menu.
    static constexpr QRect kTitleBand = edges(0, 0, 930, 26);

    bool helpPanelOpen() const { return help_ != nullptr; }
    void toggleHelpPanel();
    void closeHelpPanel();
    HelpPanel* helpPanel() const { return help_; }
    // The help panel's language choice: writes it into every profile's
    // settings file, all or none, and redraws every open window in it.
    // Returns whether the language is now the chosen one.
    bool chooseLanguage(Language language);
    // The help panel's update line: runs the installed updater.
    void launchUpdater();

    MouseView mouseView() const override { return mouseView_; }
    void setMouseView(MouseView view);

    // Set by Cancel; the next tray click reloads the profile first.
    bool reloadOnReopen = false;

    LeftPanel& leftPanel() override { return leftPanel_; }

    // The pages built into the window, called in the order they were added:
    // later ones paint over earlier ones. Each page must last as long as the
    // window; the pages built in are its children.
    void addPage(WindowPage& page) override;
    void removePage(WindowPage& page) override;
    // Closes every page's lists and edit boxes.
    void closePagePopups() override;
    // Whether the page has been drawn (the mouse was there at start-up or
    // the window came back from the tray); while it is, tells the pages a
    // loaded profile is drawn in full.
    bool pageDrawn() const override { return pageDrawn_; }
    void notifyProfileDrawn() override;
    void redraw() override { update(); }

    // The macro manager bar, the Config button and profile import/export.
    MacroProfileDialogs& macroProfileDialogs() { return *macroProfileDialogs_; }

    // Loads the current profile and its settings again (device arrival,
    // reopening after Cancel) and takes it as the applied record.
    void reloadProfile();
    // A profile that was never saved takes the desktop's pointer values.
    void takeDesktopPointerSettingsIfNew() override;

  protected:
    void paintFace(QPainter& painter) override;
    bool beforeClick(QPoint position) override;
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void addWindowElements();
    // The session's search answered or gave up waiting.
    void searchChanged();
    void takeStartUpDesktopPointerSettings();
    // The end without a question.
    void endProgram();
    void loadSkin();
    // Back from the tray or the taskbar: the reload Cancel asked for, and
    // the page once the mouse is there.
    void comeBack() override;
    void applyLanguage(Language language);

    UserSession& session_;
    MainWindowSetup setup_;
    Ids ids_{};
    Language language_ = Language::English;
    const MainWindowTexts* texts_ = nullptr;
    QFont headingFont_;
    QFont smallFont_;
    bool pageDrawn_ = false;
    bool painted_ = false;
    bool desktopPointerPending_ = false;
    MouseView mouseView_ = MouseView::Front;
    std::vector<WindowPage*> pages_;
    LeftPanel leftPanel_;
    // The recovery file is being offered (it must outlive a session that
    // ends meanwhile), or was written by this run.
    bool offeringEdits_ = false;
    bool wroteUnsavedEdits_ = false;
    TrayPresence tray_;
    DeviceEventRelay events_;
    QPointer<HelpPanel> help_;
    ScrollThumb* thumb_ = nullptr;
    MacroProfileDialogs* macroProfileDialogs_ = nullptr; // a child of the window
};

} // namespace qvr
