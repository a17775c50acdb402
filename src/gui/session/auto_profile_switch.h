#pragma once

#include "core/profiles/auto_switch.h"
#include "core/text/language_tables.h"
#include "platform/display/focus_source.h"

#include <QDialog>
#include <QFileSystemWatcher>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <functional>
#include <memory>
#include <string_view>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace qvr {

class PageHost;
class TrayHost;
class UserSession;

struct AutoSwitchTexts {
    std::string_view title;       // the rules window, the manager's menu command
    std::string_view trayItem;    // the tray menu's on/off
    std::string_view enabled;     // the rules window's on/off
    std::string_view paused;      // the notice while unsaved changes hold switching
    std::string_view watching;    // %1 where the focus comes from
    std::string_view unavailable; // %1 why not
    std::string_view application, profile, otherApplications, stay, add, remove, close;
    std::string_view noSuchProfile;
    // Why this desktop cannot tell the focus. gnomeWayland: %1 the
    // extension's uuid.
    std::string_view kdeWayland, gnomeWayland, noDisplay, noToplevelList, noAnswer, noSessionBus;
};
const AutoSwitchTexts& autoSwitchTexts(Language language);

// The one object of automatic switching in a running window: it takes the
// focus source's reports on the window's thread, keeps the rules file in
// view, and switches through the session's own profile switch, as the tray's
// Profiles menu does. It lives as a child of the window.
class AutoProfileSwitch final : public QObject {
    Q_OBJECT

  public:
    using Clock = AutoSwitcher::Clock;
    struct Setup {
        std::unique_ptr<FocusSource> source; // none: unavailable here
        FocusDesktop desktop = FocusDesktop::None;
        // Tests run the settling on a clock of their own.
        std::function<Clock::time_point()> now = [] { return Clock::now(); };
    };

    AutoProfileSwitch(PageHost& host, TrayHost& tray, UserSession& session, Setup setup);
    ~AutoProfileSwitch() override;

    // A newly focused window (on the window's thread).
    void focusChanged(const FocusedWindow& window);
    // The pending focus is looked at again; the settle timer calls it.
    void checkSettled();
    // The rules file again, after someone (qvrctl) changed it.
    void reloadRules();
    // Writes the rules and follows them; false (the user has been told)
    // when the file cannot be written.
    bool changeRules(const AutoSwitchRules& rules);

    const AutoSwitcher& switcher() const { return switcher_; }
    bool available() const { return available_; }
    // Why not, in the window's language; empty when available.
    QString unavailableText() const;
    QString sourceText() const;
    QAction* trayAction() const { return trayAction_; }
    void refreshTrayAction();
    // The rules window, over owner.
    void openRules(QWidget* owner);
    QDialog* rulesWindow() const { return rules_; }

  signals:
    void rulesChanged();
    void focusSeen();

  private:
    void watchRulesFile();

    PageHost& host_;
    TrayHost& tray_;
    UserSession& session_;
    Setup setup_;
    AutoSwitcher switcher_;
    bool available_ = false;
    QTimer settle_;
    QFileSystemWatcher watcher_;
    QAction* trayAction_ = nullptr;
    QPointer<QDialog> rules_;
};

// Starts automatic switching for the window on the desktop the session
// says it is; the object is the window's child.
AutoProfileSwitch* installAutoProfileSwitch(PageHost& host, TrayHost& tray, UserSession& session);

// The rules: an on/off, the rules as a list, a place to add one with the
// applications that had the focus lately, and the profile of every other
// application. Every change is written at once.
class AutoSwitchRulesDialog final : public QDialog {
    Q_OBJECT

  public:
    AutoSwitchRulesDialog(AutoProfileSwitch& owner, Language language,
                          std::vector<std::string> profiles, QWidget* parent);

    QCheckBox& enabledBox() const { return *enabled_; }
    QTreeWidget& ruleList() const { return *list_; }
    QComboBox& applicationBox() const { return *application_; }
    QComboBox& profileBox() const { return *profile_; }
    QComboBox& defaultBox() const { return *default_; }
    QPushButton& addButton() const { return *add_; }
    QPushButton& removeButton() const { return *remove_; }

  private:
    void fill();
    void fillRecent();
    void apply(AutoSwitchRules rules);

    AutoProfileSwitch& owner_;
    const AutoSwitchTexts& texts_;
    std::vector<std::string> profiles_;
    QLabel* status_ = nullptr;
    QCheckBox* enabled_ = nullptr;
    QTreeWidget* list_ = nullptr;
    QComboBox* application_ = nullptr;
    QComboBox* profile_ = nullptr;
    QComboBox* default_ = nullptr;
    QPushButton* add_ = nullptr;
    QPushButton* remove_ = nullptr;
    bool filling_ = false;
};

} // namespace qvr
