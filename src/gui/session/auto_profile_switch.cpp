#include "gui/session/auto_profile_switch.h"

#include "core/profiles/profile_files.h"
#include "core/text/program_names.h"
#include "gui/session/profile_session.h"
#include "gui/session/user_session.h"
#include "gui/widgets/page_host.h"
#include "gui/widgets/qt_fonts.h"
#include "gui/widgets/skinned_window.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <array>
#include <cstdio>

namespace qvr {

namespace {

constexpr std::array<AutoSwitchTexts, 3> kTexts{{
    {"Automatic switching",
     "Switch profiles automatically",
     "Switch profiles by the focused application",
     "Automatic profile switching waits: the window has unsaved changes.",
     "Watching the focus: %1",
     "Automatic switching is not available on this desktop: %1",
     "Application",
     "Profile",
     "Every other application",
     "Stay on the current profile",
     "Add",
     "Remove",
     "Close",
     "%1 (no such profile)",
     "KWin did not answer on the session bus, or did not run qvr's focus script.",
     "GNOME Shell tells the focus only to its extensions. Enable qvr's with "
     "\"gnome-extensions enable %1\", then log out and in again.",
     "no X11 display or Wayland compositor was found.",
     "the Wayland compositor does not list its windows (zwlr_foreign_toplevel_manager_v1).",
     "the display did not answer.",
     "the D-Bus session bus cannot be reached."},
    {"自动切换",
     "自动切换配置",
     "按焦点应用程序切换配置",
     "自动切换配置已暂停：窗口中有未保存的更改。",
     "正在跟踪焦点：%1",
     "此桌面不支持自动切换：%1",
     "应用程序",
     "配置",
     "其他应用程序",
     "保持当前配置",
     "添加",
     "删除",
     "关闭",
     "%1（无此配置）",
     "KWin 没有在会话总线上应答，或没有运行 qvr 的焦点脚本。",
     "GNOME Shell 只把焦点窗口告诉它的扩展。请用“gnome-extensions enable %1”启用 qvr "
     "的扩展，然后注销并重新登录。",
     "未找到 X11 显示或 Wayland 合成器。",
     "Wayland 合成器不提供窗口列表（zwlr_foreign_toplevel_manager_v1）。",
     "显示服务器没有应答。",
     "无法连接 D-Bus 会话总线。"},
    {"自動切換",
     "自動切換配置",
     "依焦點應用程式切換配置",
     "自動切換配置已暫停：視窗中有未儲存的變更。",
     "正在追蹤焦點：%1",
     "此桌面不支援自動切換：%1",
     "應用程式",
     "配置",
     "其他應用程式",
     "保持目前配置",
     "新增",
     "刪除",
     "關閉",
     "%1（無此配置）",
     "KWin 沒有在工作階段匯流排上回應，或沒有執行 qvr 的焦點指令稿。",
     "GNOME Shell 只把焦點視窗告訴它的擴充功能。請用「gnome-extensions enable %1」啟用 qvr "
     "的擴充功能，然後登出再登入。",
     "未找到 X11 顯示或 Wayland 合成器。",
     "Wayland 合成器不提供視窗清單（zwlr_foreign_toplevel_manager_v1）。",
     "顯示伺服器沒有回應。",
     "無法連線到 D-Bus 工作階段匯流排。"},
}};

bool ownWindow(const FocusedWindow& window) {
    if (window.own)
        return true;
    for (const std::string& name : window.names)
        if (sameApplication(name, kWindowClassName) || sameApplication(name, kDesktopFileName))
            return true;
    return false;
}

} // namespace

const AutoSwitchTexts& autoSwitchTexts(Language language) {
    switch (language) {
    case Language::SimplifiedChinese:
        return kTexts[1];
    case Language::TraditionalChinese:
        return kTexts[2];
    default:
        break;
    }
    return kTexts[0];
}

AutoProfileSwitch::AutoProfileSwitch(PageHost& host, TrayHost& tray, UserSession& session,
                                     Setup setup)
    : QObject(&host.face()), host_(host), tray_(tray), session_(session), setup_(std::move(setup)) {
    settle_.setSingleShot(true);
    connect(&settle_, &QTimer::timeout, this, &AutoProfileSwitch::checkSettled);
    reloadRules();
    watchRulesFile();
    // The folder too: a rename over the file (every write of it) ends the
    // watch on the old one.
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this,
            &AutoProfileSwitch::reloadRules);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &AutoProfileSwitch::reloadRules);

    if (QMenu* menu = tray_.trayMenu()) {
        trayAction_ = new QAction(menu);
        trayAction_->setCheckable(true);
        connect(trayAction_, &QAction::triggered, this, [this](bool on) {
            AutoSwitchRules rules = switcher_.rules();
            rules.enabled = on;
            changeRules(rules);
            refreshTrayAction();
        });
        // Before "Exit" and the separator that leads to it.
        const QList<QAction*> actions = menu->actions();
        menu->insertAction(actions.size() >= 2 ? actions[actions.size() - 2] : nullptr,
                           trayAction_);
        connect(menu, &QMenu::aboutToShow, this, &AutoProfileSwitch::refreshTrayAction);
    }

    if (setup_.source) {
        // The source reports on its own thread; the decisions are made here.
        QPointer<AutoProfileSwitch> self(this);
        available_ = setup_.source->start([self](const FocusedWindow& focused) {
            QMetaObject::invokeMethod(
                self.data(),
                [self, focused] {
                    if (self)
                        self->focusChanged(focused);
                },
                Qt::QueuedConnection);
        });
        if (!available_)
            std::fprintf(stderr, "qvr: automatic profile switching is not available: %s\n",
                         setup_.source->problem().c_str());
    }
    refreshTrayAction();
}

AutoProfileSwitch::~AutoProfileSwitch() {
    // The source's thread ends before anything it reports to goes.
    setup_.source.reset();
}

void AutoProfileSwitch::watchRulesFile() {
    const QString folder = QString::fromStdString(session_.profile().userFolder().string());
    const QString file =
        QString::fromStdString((session_.profile().userFolder() / kAutoSwitchFileName).string());
    if (!watcher_.directories().contains(folder))
        watcher_.addPath(folder);
    if (!watcher_.files().contains(file) && QFileInfo::exists(file))
        watcher_.addPath(file);
}

void AutoProfileSwitch::reloadRules() {
    const AutoSwitchRead read = readAutoSwitchRules(session_.profile().userFolder());
    watchRulesFile();
    // A file being replaced or spoiled keeps the rules followed so far.
    if (read.status == AutoSwitchFileStatus::Unreadable)
        return;
    if (read.rules == switcher_.rules())
        return;
    switcher_.setRules(read.rules);
    refreshTrayAction();
    emit rulesChanged();
}

bool AutoProfileSwitch::changeRules(const AutoSwitchRules& rules) {
    const FileWriteResult written = writeAutoSwitchRules(session_.profile().userFolder(), rules);
    if (!written.ok()) {
        session_.messages().showMessage(writeErrorMessage(written),
                                        std::string(kWriteErrorCaption));
        return false;
    }
    switcher_.setRules(rules);
    refreshTrayAction();
    emit rulesChanged();
    return true;
}

void AutoProfileSwitch::focusChanged(const FocusedWindow& focused) {
    FocusedWindow window = focused;
    window.own = ownWindow(focused);
    switcher_.focusChanged(window, setup_.now());
    if (!window.own)
        emit focusSeen();
    if (const auto deadline = switcher_.deadline()) {
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*deadline - setup_.now());
        settle_.start(std::max(wait, std::chrono::milliseconds(0)));
    } else {
        settle_.stop();
    }
}

void AutoProfileSwitch::checkSettled() {
    ProfileSession* profiles = session_.profiles();
    if (session_.ending() || !profiles)
        return;
    ProfileSession& session = *profiles;
    const SwitchView view{session.profileNames(), session.windowProfile(),
                          session.hasUnsavedChanges()};
    const AutoSwitchStep step = switcher_.step(setup_.now(), view);
    switch (step.kind) {
    case AutoSwitchStep::Kind::None:
        break;
    case AutoSwitchStep::Kind::Paused:
        tray_.showNotice(qstr(autoSwitchTexts(host_.language()).paused));
        break;
    case AutoSwitchStep::Kind::Switch:
        // The tray's own way: the list, the files, then the device queue; a
        // mouse that is away gets it when it comes back.
        session.switchOnRequest(step.position, {});
        tray_.refreshTray();
        break;
    }
    if (const auto deadline = switcher_.deadline())
        settle_.start(
            std::max(std::chrono::ceil<std::chrono::milliseconds>(*deadline - setup_.now()),
                     std::chrono::milliseconds(0)));
}

QString AutoProfileSwitch::unavailableText() const {
    if (available_)
        return {};
    const AutoSwitchTexts& texts = autoSwitchTexts(host_.language());
    const std::string problem = setup_.source ? setup_.source->problem() : std::string();
    std::string_view reason = texts.noAnswer;
    switch (setup_.desktop) {
    case FocusDesktop::KdeWayland:
    case FocusDesktop::GnomeWayland:
        if (problem.starts_with(kSessionBusUnreachable))
            reason = texts.noSessionBus;
        else if (setup_.desktop == FocusDesktop::KdeWayland)
            reason = texts.kdeWayland;
        else
            return qstr(texts.unavailable).arg(qstr(texts.gnomeWayland).arg(kGnomeExtensionUuid));
        break;
    case FocusDesktop::None:
        reason = texts.noDisplay;
        break;
    case FocusDesktop::Wlroots:
        if (problem.find("zwlr_") != std::string::npos)
            reason = texts.noToplevelList;
        break;
    case FocusDesktop::X11:
        break;
    }
    return qstr(texts.unavailable).arg(qstr(reason));
}

QString AutoProfileSwitch::sourceText() const {
    if (!available_)
        return unavailableText();
    const char* where = "X11";
    switch (setup_.desktop) {
    case FocusDesktop::Wlroots:
        where = "Wayland (wlroots)";
        break;
    case FocusDesktop::KdeWayland:
        where = "KWin (Wayland)";
        break;
    case FocusDesktop::GnomeWayland:
        where = "GNOME Shell (Wayland)";
        break;
    case FocusDesktop::X11:
    case FocusDesktop::None:
        break;
    }
    return qstr(autoSwitchTexts(host_.language()).watching).arg(where);
}

void AutoProfileSwitch::refreshTrayAction() {
    if (!trayAction_)
        return;
    trayAction_->setText(qstr(autoSwitchTexts(host_.language()).trayItem));
    trayAction_->setChecked(available_ && switcher_.rules().enabled);
    trayAction_->setEnabled(available_);
}

void AutoProfileSwitch::openRules(QWidget* owner) {
    if (rules_) {
        rules_->raise();
        rules_->activateWindow();
        return;
    }
    ProfileSession* profiles = session_.profiles();
    if (!profiles)
        return;
    auto* dialog =
        new AutoSwitchRulesDialog(*this, host_.language(), profiles->profileNames(), owner);
    rules_ = dialog;
    dialog->show();
}

AutoProfileSwitch* installAutoProfileSwitch(PageHost& host, TrayHost& tray, UserSession& session) {
    const SessionEnvironment desktop = SessionEnvironment::fromProcess();
    AutoProfileSwitch::Setup setup;
    setup.desktop = chooseFocusDesktop(desktop);
    setup.source = makeFocusSource(setup.desktop, desktop);
    return new AutoProfileSwitch(host, tray, session, std::move(setup));
}

AutoSwitchRulesDialog::AutoSwitchRulesDialog(AutoProfileSwitch& owner, Language language,
                                             std::vector<std::string> profiles, QWidget* parent)
    : QDialog(parent), owner_(owner), texts_(autoSwitchTexts(language)),
      profiles_(std::move(profiles)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(qstr(texts_.title));
    setObjectName("autoSwitchRules");
    setStyleSheet(
        "QDialog#autoSwitchRules, QDialog#autoSwitchRules QWidget {"
        " background-color: #16181d; color: #e6e6e6; }"
        "QTreeWidget, QComboBox, QPushButton { border: 1px solid #3a3f4a; padding: 3px; }"
        "QPushButton:focus, QComboBox:focus, QTreeWidget:focus, QCheckBox:focus"
        " { border: 1px solid #0096ff; }"
        "QTreeWidget::item:selected { background-color: #0096ff; color: white; }"
        "QHeaderView::section { background-color: #22252c; border: none; padding: 3px; }");
    setFont(qtFontFor(WindowFont::SmallDialog, language));

    auto* grid = new QGridLayout(this);
    status_ = new QLabel(this);
    status_->setWordWrap(true);
    status_->setText(owner_.sourceText());
    grid->addWidget(status_, 0, 0, 1, 4);

    enabled_ = new QCheckBox(qstr(texts_.enabled), this);
    enabled_->setAccessibleName(qstr(texts_.enabled));
    grid->addWidget(enabled_, 1, 0, 1, 4);

    list_ = new QTreeWidget(this);
    list_->setColumnCount(2);
    list_->setHeaderLabels({qstr(texts_.application), qstr(texts_.profile)});
    list_->setRootIsDecorated(false);
    list_->setAccessibleName(qstr(texts_.title));
    list_->header()->setSectionResizeMode(QHeaderView::Stretch);
    list_->setMinimumSize(420, 180);
    grid->addWidget(list_, 2, 0, 1, 4);

    auto* applicationLabel = new QLabel(qstr(texts_.application), this);
    application_ = new QComboBox(this);
    application_->setEditable(true);
    application_->setInsertPolicy(QComboBox::NoInsert);
    application_->setAccessibleName(qstr(texts_.application));
    applicationLabel->setBuddy(application_);
    auto* profileLabel = new QLabel(qstr(texts_.profile), this);
    profile_ = new QComboBox(this);
    profile_->setAccessibleName(qstr(texts_.profile));
    profileLabel->setBuddy(profile_);
    for (const std::string& name : profiles_)
        profile_->addItem(QString::fromStdString(name));
    application_->setMinimumContentsLength(16);
    application_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
    grid->addWidget(applicationLabel, 3, 0);
    grid->addWidget(application_, 3, 1);
    grid->addWidget(profileLabel, 3, 2);
    grid->addWidget(profile_, 3, 3);

    add_ = new QPushButton(qstr(texts_.add), this);
    add_->setAccessibleName(qstr(texts_.add));
    remove_ = new QPushButton(qstr(texts_.remove), this);
    remove_->setAccessibleName(qstr(texts_.remove));
    auto* ruleButtons = new QHBoxLayout;
    ruleButtons->addStretch(1);
    ruleButtons->addWidget(add_);
    ruleButtons->addWidget(remove_);
    grid->addLayout(ruleButtons, 4, 0, 1, 4);

    auto* defaultLabel = new QLabel(qstr(texts_.otherApplications), this);
    default_ = new QComboBox(this);
    default_->setAccessibleName(qstr(texts_.otherApplications));
    defaultLabel->setBuddy(default_);
    grid->addWidget(defaultLabel, 5, 0, 1, 2);
    grid->addWidget(default_, 5, 2, 1, 2);

    auto* close = new QPushButton(qstr(texts_.close), this);
    close->setAccessibleName(qstr(texts_.close));
    auto* closeRow = new QHBoxLayout;
    closeRow->addStretch(1);
    closeRow->addWidget(close);
    grid->addLayout(closeRow, 6, 0, 1, 4);

    connect(enabled_, &QCheckBox::toggled, this, [this](bool on) {
        if (filling_)
            return;
        AutoSwitchRules rules = owner_.switcher().rules();
        rules.enabled = on;
        apply(rules);
    });
    connect(list_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        remove_->setEnabled(item != nullptr);
        if (!item || filling_)
            return;
        application_->setEditText(item->data(0, Qt::UserRole).toString());
        const int profile = profile_->findText(item->data(1, Qt::UserRole).toString());
        if (profile >= 0)
            profile_->setCurrentIndex(profile);
    });
    connect(add_, &QPushButton::clicked, this, [this] {
        const auto application = storableApplicationName(application_->currentText().toStdString());
        if (!application || profile_->currentIndex() < 0)
            return;
        AutoSwitchRules rules = owner_.switcher().rules();
        rules.setRule(*application, profile_->currentText().toStdString());
        apply(rules);
    });
    connect(remove_, &QPushButton::clicked, this, [this] {
        const QTreeWidgetItem* item = list_->currentItem();
        if (!item)
            return;
        AutoSwitchRules rules = owner_.switcher().rules();
        rules.removeRule(item->data(0, Qt::UserRole).toString().toStdString());
        apply(rules);
    });
    connect(default_, &QComboBox::activated, this, [this](int index) {
        AutoSwitchRules rules = owner_.switcher().rules();
        rules.defaultProfile = index <= 0 ? "" : default_->itemData(index).toString().toStdString();
        apply(rules);
    });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    // qvrctl, or the tray, may change the rules while this is open.
    connect(&owner_, &AutoProfileSwitch::rulesChanged, this, &AutoSwitchRulesDialog::fill);
    connect(&owner_, &AutoProfileSwitch::focusSeen, this, &AutoSwitchRulesDialog::fillRecent);

    fill();
    fillRecent();
    application_->setEditText({});
    enabled_->setEnabled(owner_.available());
    // Reading order, the window's keyboard path.
    const std::array<QWidget*, 8> order{enabled_, list_,   application_, profile_,
                                        add_,     remove_, default_,     close};
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void AutoSwitchRulesDialog::fill() {
    filling_ = true;
    const AutoSwitchRules& rules = owner_.switcher().rules();
    enabled_->setChecked(rules.enabled);
    const auto shown = [this](const std::string& profile) {
        const QString name = QString::fromStdString(profile);
        return std::ranges::count(profiles_, profile) == 1 ? name
                                                           : qstr(texts_.noSuchProfile).arg(name);
    };
    const QString selected =
        list_->currentItem() ? list_->currentItem()->data(0, Qt::UserRole).toString() : QString();
    list_->clear();
    for (const AutoSwitchRule& rule : rules.rules) {
        auto* item = new QTreeWidgetItem(
            list_, {QString::fromStdString(rule.application), shown(rule.profile)});
        item->setData(0, Qt::UserRole, QString::fromStdString(rule.application));
        item->setData(1, Qt::UserRole, QString::fromStdString(rule.profile));
        if (item->text(0) == selected)
            list_->setCurrentItem(item);
    }
    remove_->setEnabled(list_->currentItem() != nullptr);
    default_->clear();
    default_->addItem(qstr(texts_.stay));
    for (const std::string& name : profiles_)
        default_->addItem(QString::fromStdString(name), QString::fromStdString(name));
    if (!rules.defaultProfile.empty()) {
        const int index = default_->findData(QString::fromStdString(rules.defaultProfile));
        if (index >= 0) {
            default_->setCurrentIndex(index);
        } else {
            default_->addItem(shown(rules.defaultProfile),
                              QString::fromStdString(rules.defaultProfile));
            default_->setCurrentIndex(default_->count() - 1);
        }
    }
    filling_ = false;
}

void AutoSwitchRulesDialog::fillRecent() {
    const QString typed = application_->currentText();
    application_->clear();
    for (const std::string& name : owner_.switcher().recentApplications())
        application_->addItem(QString::fromStdString(name));
    application_->setEditText(typed);
}

void AutoSwitchRulesDialog::apply(AutoSwitchRules rules) {
    if (!owner_.changeRules(rules))
        fill();
}

} // namespace qvr
