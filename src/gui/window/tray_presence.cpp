#include "gui/window/tray_presence.h"

#include "core/profiles/profile_files.h"
#include "gui/session/profile_session.h"
#include "gui/session/user_session.h"
#include "gui/widgets/app_icon.h"
#include "gui/widgets/qt_fonts.h"
#include "platform/autostart.h"

#include <QActionGroup>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <utility>

namespace qvr {

QIcon applicationIcon() {
    return QIcon(QPixmap::fromImage(appIconImage(64)));
}

TrayPresence::TrayPresence(QWidget& window, TrayOwner& owner, UserSession& session, TraySetup setup)
    : window_(window), owner_(owner), session_(session), setup_(std::move(setup)) {}

TrayPresence::~TrayPresence() = default;

void TrayPresence::createTrayIcon() {
    trayMenu_ = std::make_unique<QMenu>();
    openAction_ = trayMenu_->addAction(QString(), this, [this] { owner_.trayLeftClick(); });
    profilesMenu_ = trayMenu_->addMenu(QString());
    // Built as it opens: the profile manager may have renamed, added or
    // deleted profiles since.
    connect(profilesMenu_, &QMenu::aboutToShow, this, &TrayPresence::fillProfilesMenu);
    fillProfilesMenu();
    if (!setup_.autostartEntry.empty()) {
        startAtLoginAction_ = trayMenu_->addAction(QString());
        startAtLoginAction_->setCheckable(true);
        connect(startAtLoginAction_, &QAction::triggered, this, &TrayPresence::setStartAtLogin);
    }
    if (!setup_.trayActions.empty()) {
        virtualMenu_ = trayMenu_->addMenu(QString());
        for (const TrayAction& action : setup_.trayActions)
            virtualMenu_->addAction(action.text, this, action.run);
    }
    trayMenu_->addSeparator();
    exitAction_ = trayMenu_->addAction(QString(), this, [this] { owner_.exitProgram(); });
    connect(trayMenu_.get(), &QMenu::aboutToShow, this, &TrayPresence::refreshTray);

    tray_ = std::make_unique<QSystemTrayIcon>(applicationIcon());
    tray_->setContextMenu(trayMenu_.get());
    applyTrayTexts();
    connect(tray_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
                    owner_.trayLeftClick();
            });
    trayBalloons_ = std::make_unique<TrayBalloons>(*tray_);

    setTrayMode(trayAvailableNow());
    // Qt tells nobody when a tray comes or goes.
    trayCheck_ = new QTimer(this);
    connect(trayCheck_, &QTimer::timeout, this, &TrayPresence::checkTray);
    trayCheck_->start(setup_.trayRecheck);
}

void TrayPresence::applyTrayTexts() {
    if (!trayMenu_)
        return;
    const Language language = owner_.language();
    const TrayMenuTexts& texts = trayMenuTexts(language);
    openAction_->setText(qstr(texts.open));
    profilesMenu_->setTitle(qstr(texts.profiles));
    if (startAtLoginAction_)
        startAtLoginAction_->setText(qstr(texts.startAtLogin));
    if (virtualMenu_)
        virtualMenu_->setTitle(qstr(texts.virtualMouse));
    exitAction_->setText(qstr(mainWindowTexts(language).exit));
    refreshTray();
}

void TrayPresence::fillProfilesMenu() {
    profilesMenu_->clear();
    if (!session_.profiles())
        return;
    auto* group = new QActionGroup(profilesMenu_);
    group->setExclusive(true);
    const std::vector<std::string> names = session_.profiles()->profileNames();
    const int current = session_.profiles()->windowProfile();
    for (std::size_t i = 0; i < names.size(); ++i) {
        const int position = static_cast<int>(i);
        QAction* action = profilesMenu_->addAction(QString::fromStdString(names[i]));
        action->setCheckable(true);
        action->setChecked(position == current);
        action->setActionGroup(group);
        // Queued: the question the switch may ask must not run inside the
        // menu's own event handling.
        connect(action, &QAction::triggered, this, [this, position] {
            QMetaObject::invokeMethod(
                this,
                [this, position] {
                    if (session_.profiles() && !session_.ending())
                        session_.profiles()->switchOnRequest(position, {});
                    refreshTray();
                },
                Qt::QueuedConnection);
        });
    }
    // The profile manager writes the list itself when it closes.
    profilesMenu_->setEnabled(!names.empty() && !owner_.profileManagerOpen());
}

void TrayPresence::refreshTray() {
    if (!tray_)
        return;
    const Language language = owner_.language();
    const TrayMenuTexts& texts = trayMenuTexts(language);
    QStringList lines{qstr(mainWindowTexts(language).windowTitle)};
    if (session_.profiles()) {
        const std::vector<std::string> names = session_.profiles()->profileNames();
        const int current = session_.profiles()->windowProfile();
        if (current >= 0 && current < static_cast<int>(names.size()))
            lines << qstr(texts.profileLine)
                         .arg(QString::fromStdString(names[static_cast<std::size_t>(current)]));
    }
    if (const auto stage = session_.activeDpiStage())
        lines << qstr(texts.dpiStageLine).arg(*stage);
    tray_->setToolTip(lines.join('\n'));
    if (profilesMenu_)
        fillProfilesMenu();
    if (startAtLoginAction_)
        startAtLoginAction_->setChecked(startsAtLogin(setup_.autostartEntry));
}

void TrayPresence::setStartAtLogin(bool on) {
    const FileWriteResult written = qvr::setStartAtLogin(setup_.autostartEntry, on, setup_.program);
    if (!written.ok())
        session_.messages().showMessage(writeErrorMessage(written),
                                        std::string(kWriteErrorCaption));
    startAtLoginAction_->setChecked(startsAtLogin(setup_.autostartEntry));
}

bool TrayPresence::trayAvailableNow() const {
    return setup_.trayAvailable ? setup_.trayAvailable() : QSystemTrayIcon::isSystemTrayAvailable();
}

void TrayPresence::checkTray() {
    if (tray_)
        useTray(trayAvailableNow());
}

void TrayPresence::useTray(bool available) {
    if (available == usesTray_)
        return;
    const bool wasOut = window_.isVisible() && !window_.isMinimized();
    setTrayMode(available);
    if (wasOut) {
        window_.show();
    } else if (!available) {
        // Hidden in a tray that went away: nothing would lead back to it.
        owner_.comeBack();
        window_.showNormal();
        window_.raise();
    }
}

void TrayPresence::setTrayMode(bool available) {
    usesTray_ = available;
    // A tool window has no taskbar button; without a tray the taskbar is
    // the only way back, so the window becomes an ordinary one.
    window_.setWindowFlags(Qt::FramelessWindowHint | (available ? Qt::Tool : Qt::Window));
    // Posted, so that at start-up the window is on the screen before its
    // icon: tools that look for the program's first window find the window.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (tray_)
                tray_->setVisible(usesTray_);
        },
        Qt::QueuedConnection);
}

void TrayPresence::removeTrayIcon() {
    // Balloons after the end go to the standard error stream, not to a
    // deleted icon.
    trayBalloons_.reset();
    if (tray_)
        tray_->hide();
    tray_.reset();
}

} // namespace qvr
