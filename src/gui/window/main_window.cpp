#include "gui/window/main_window.h"

#include "core/profiles/unsaved_edits.h"
#include "core/text/notification_text.h"
#include "gui/buttons/assignment_section.h"
#include "gui/profiles/macro_profile_dialogs.h"
#include "gui/session/profile_session.h"
#include "gui/widgets/qt_fonts.h"
#include "gui/widgets/scroll_thumb.h"
#include "gui/widgets/window_placement.h"
#include "gui/window/firmware_updater.h"
#include "gui/window/first_paint_exit.h"
#include "gui/window/status_card.h"
#include "gui/window/window_activation.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWindow>
#include <array>
#include <cstdio>
#include <utility>

namespace qvr {

namespace {

constexpr QPoint kFrontPicture{skin::kFrontPicture.x, skin::kFrontPicture.y};
constexpr QPoint kSidePicture{skin::kSidePicture.x, skin::kSidePicture.y};

// Names screen readers give the title strip's picture buttons. English,
// Simplified Chinese, Traditional Chinese.
struct TitleButtonNames {
    std::string_view help, minimise, close;
};
constexpr std::array<TitleButtonNames, 3> kTitleButtonNames{{
    {"Help", "Minimise", "Close"},
    {"帮助", "最小化", "关闭"},
    {"說明", "最小化", "關閉"},
}};

// The tray's part of the window's setup, taken out of it.
TraySetup takeTraySetup(MainWindowSetup& setup) {
    return TraySetup{.trayActions = std::move(setup.trayActions),
                     .trayAvailable = std::move(setup.trayAvailable),
                     .trayRecheck = setup.trayRecheck,
                     .autostartEntry = std::move(setup.autostartEntry),
                     .program = std::move(setup.program)};
}

} // namespace

MainWindow::MainWindow(UserSession& session, MainWindowSetup setup)
    : SkinnedWindow(nullptr, session.messages(), nullptr, Dragging::Allowed), session_(session),
      setup_(std::move(setup)), texts_(&mainWindowTexts(Language::English)),
      tray_(*this, *this, session_, takeTraySetup(setup_)),
      events_(session_, *this, tray_, setup_.balloons) {
    // No frame; whether it gets a taskbar button depends on the tray, which
    // the start-up looks for.
    setWindowFlags(Qt::FramelessWindowHint | Qt::Tool);
    setWindowIcon(applicationIcon());
    setFocusPolicy(Qt::StrongFocus);
    resize(kDefaultSize);
    addWindowElements();
    connect(&session_, &UserSession::saveProgressChanged, this, [this] { update(); });
    connect(&session_, &UserSession::startUpSearchChanged, this, &MainWindow::searchChanged);
    connect(&session_, &UserSession::mouseChanged, this, [this] {
        refreshTray();
        update();
    });
    connect(&session_, &UserSession::deviceNotification, this, &MainWindow::showDeviceNotification);
    connect(&session_, &UserSession::mouseLost, this, &MainWindow::hideToTray);
}

MainWindow::~MainWindow() {
    // An edit box losing the focus as the window goes reports its value to
    // the settings pages: let it do so while the window is still whole.
    if (QWidget* focused = focusWidget())
        focused->clearFocus();
    // The session ends before its windows go; a window that goes first (a
    // test's restart) ends it, since what is queued still answers here.
    session_.shutDown();
}

void MainWindow::addWindowElements() {
    // Tab reads the title strip, each panel in turn, then the bottom row.
    setReadingRegions({QRect(0, 0, kDefaultSize.width(), skin::kLeftPanel.top),
                       toQRect(skin::kLeftPanel), toQRect(skin::kMidPanel),
                       toQRect(skin::kRightPanel)});
    ElementTable& table = elements();
    const auto button = [](QRect rect, const char* stem, std::function<void(QPoint)> click) {
        return WindowElement{.rect = rect, .image = stem, .hover = true, .onClick = click};
    };
    ids_.track = table.add({.rect = kTrackRect,
                            .image = "/Bar1.png",
                            .stage = ClickStage::Sliders,
                            .clickable = false});
    ids_.reset =
        table.add(button(kResetRect, "/button-cancel", [this](QPoint) { session_.reset(); }));
    ids_.cancel =
        table.add(button(kCancelRect, "/button-cancel", [this](QPoint) { session_.cancel(); }));
    ids_.save = table.add(button(kSaveRect, "/button-save", [this](QPoint) { session_.save(); }));
    ids_.help = table.add(button(kHelpRect, "/button-help", [this](QPoint) { toggleHelpPanel(); }));
    ids_.minimise =
        table.add(button(kMinimiseRect, "/button-min", [this](QPoint) { hideToTray(); }));
    ids_.close = table.add(button(kCloseRect, "/button-close", [this](QPoint) { exitProgram(); }));
    ids_.config = table.add(button(kConfigRect, "/button-config", [this](QPoint) {
        if (macroProfileDialogs_)
            macroProfileDialogs_->openProfileManager();
    }));
    const auto titleName = [this](std::string_view TitleButtonNames::*which) {
        return [this, which] {
            return qstr(kTitleButtonNames[static_cast<std::size_t>(language_)].*which);
        };
    };
    table[ids_.help].name = titleName(&TitleButtonNames::help);
    table[ids_.minimise].name = titleName(&TitleButtonNames::minimise);
    table[ids_.close].name = titleName(&TitleButtonNames::close);
    table[ids_.config].align = LabelAlign::LeftIndented;
    table[ids_.config].labelIndent = skin::kConfigLabelIndent;
    ids_.frontTab = table.add({.rect = kFrontTabRect,
                               .onClick = [this](QPoint) { setMouseView(MouseView::Front); },
                               .stage = ClickStage::PanelButtons,
                               .role = ElementRole::PageTab});
    ids_.sideTab = table.add({.rect = kSideTabRect,
                              .onClick = [this](QPoint) { setMouseView(MouseView::Side); },
                              .stage = ClickStage::PanelButtons,
                              .role = ElementRole::PageTab});
    setMouseView(MouseView::Front);
}

void MainWindow::startUp() {
    RecordState& state = session_.state();
    // The window comes up while the device thread looks for the mouse.
    session_.searchForMouse(setup_.mouse);
    events_.startListener();
    session_.watchHotplug(std::move(setup_.mouse));

    ProfileFiles& profile = session_.profile();
    profile.loadProfileFiles(state);
    state.takeSnapshot();
    // Read when first needed (the first-run labels drawn meanwhile set the
    // flag this looks at).
    desktopPointerPending_ = state.firstRunFlag == 0;
    markStartUpPhase("profile");

    language_ = languageFromCode(profile.readLanguageCode());
    profile.setLanguage(language_);
    applyLanguage(language_);
    profile.readProfileSettings();
    session_.openProfiles(*this);

    loadSkin();
    markStartUpPhase("skin");

    // Each component is kept as one byte, as the settings file format says.
    const SkinStrings& skinStrings = profile.skinStrings();
    const auto component = [](const std::string& text) {
        return static_cast<std::uint8_t>(parseProfileInt(text));
    };
    setTextColor(QColor(component(skinStrings.red), component(skinStrings.green),
                        component(skinStrings.blue)));

    installAssignmentSection(*this, session_);
    installStatusCard(*this, session_);
    tray_.createTrayIcon();
    macroProfileDialogs_ = new MacroProfileDialogs(*this, session_);
    addPage(*macroProfileDialogs_);
}

void MainWindow::searchChanged() {
    if (session_.startUpSearch() == StartUpSearch::Answered) {
        markStartUpPhase("mouse search answered");
        if (session_.mousePresent()) {
            pageDrawn_ = true;
            notifyProfileDrawn();
        }
    }
    update();
}

bool MainWindow::startUpSettled() const {
    return session_.startUpSearch() == StartUpSearch::Answered && painted_;
}

void MainWindow::paintEvent(QPaintEvent* event) {
    SkinnedWindow::paintEvent(event);
    painted_ = true;
}

void MainWindow::takeStartUpDesktopPointerSettings() {
    // A profile never saved shows the desktop's pointer values, which are
    // where it starts from rather than an edit of the user's. Nothing shows
    // or keeps them before the user's first click, so they are read then.
    if (!desktopPointerPending_)
        return;
    desktopPointerPending_ = false;
    RecordState& state = session_.state();
    if (state.pointerChanges.any())
        return;
    const bool unedited = state.record == state.appliedRecord;
    for (WindowPage* page : pages_)
        page->takeDesktopPointerSettings(state.record);
    if (unedited)
        state.appliedRecord = state.record;
    else
        for (WindowPage* page : pages_)
            page->takeDesktopPointerSettings(state.appliedRecord);
    markStartUpPhase("desktop pointer settings");
}

void MainWindow::loadSkin() {
    // A skin of the user's own comes before the installed one of that name.
    const std::filesystem::path name = session_.profile().skinStrings().path;
    auto folder = session_.profile().userFolder() / "Skins" / name;
    std::error_code missing;
    if (name.empty() || !std::filesystem::is_directory(folder, missing))
        folder = session_.profile().factoryFolder() / "Skins" / name;
    setSkin(std::make_shared<SkinImageCache>(QString::fromStdString(folder.string()), messages()));
    if (!loadBackground("/main.png", {}))
        messages().showMessage(std::string(kLoadImageFailed), std::string(kApplicationTitle));
    // Centred on the screen at the skin's size, or drawn smaller where the
    // screen has less room than that.
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        fitToScreen(screen);
        QRect placed(QPoint(), size());
        placed.moveCenter(screen->availableGeometry().center());
        move(keptOnScreen(placed, screen->availableGeometry()));
    }

    thumb_ = new ScrollThumb(scrollThumbImage(), kThumbRect, {31, 596}, this);
    thumb_->setMovedHandler([this](int top) {
        // Posted, as the thumb's message is: the panel scrolls after the move.
        QMetaObject::invokeMethod(
            this,
            [this, top] {
                for (WindowPage* page : pages_)
                    page->scrollPanel(top);
            },
            Qt::QueuedConnection);
    });
    // Queued behind the moves the thumb posted.
    thumb_->setReleasedHandler([this] {
        QMetaObject::invokeMethod(
            this,
            [this] {
                for (WindowPage* page : pages_)
                    page->panelScrollReleased();
            },
            Qt::QueuedConnection);
    });
}

void MainWindow::takeDesktopPointerSettingsIfNew() {
    // A profile never saved still holds the factory file's pointer values,
    // which are nobody's choice; the desktop's own are what the user has.
    RecordState& state = session_.state();
    desktopPointerPending_ = false; // this load answers for the start-up's
    if (state.firstRunFlag != 0 || state.pointerChanges.any())
        return;
    for (WindowPage* page : pages_)
        page->takeDesktopPointerSettings(state.record);
}

void MainWindow::reloadProfile() {
    if (session_.profiles())
        session_.profiles()->loadProfile();
}

bool MainWindow::profileManagerOpen() const {
    return macroProfileDialogs_ && macroProfileDialogs_->profileManager();
}

void MainWindow::showAtStart(StartShown how) {
    if (how == StartShown::Normal) {
        show();
        return;
    }
    // Nothing to look at until asked: the tray icon, or the taskbar entry.
    if (!tray_.usesTray())
        showMinimized();
}

void MainWindow::showForQuestion() {
    // Coming back also drops what Cancel threw away.
    if (!isVisible() || isMinimized()) {
        comeBack();
        showNormal();
        raise();
        activateWindow();
    }
}

void MainWindow::trayLeftClick() {
    // While the start-up search runs the mouse is not known to be missing.
    if (!session_.mousePresent() && session_.startUpSearch() != StartUpSearch::Searching) {
        showDeviceNotification(DeviceEventType::MouseNotDetected, 0);
        return;
    }
    comeBack();
    showNormal();
    raise();
    activateWindow();
}

void MainWindow::comeBack() {
    if (reloadOnReopen) {
        reloadOnReopen = false;
        closePagePopups();
        reloadProfile();
    }
    if (session_.mousePresent()) {
        pageDrawn_ = true;
        notifyProfileDrawn();
    }
    update();
}

void MainWindow::bringForward(const ActivationRequest& request) {
    // Shown even without the mouse, which the notification then explains:
    // a start that did nothing visible would look like a failure.
    if (!session_.mousePresent() && session_.startUpSearch() != StartUpSearch::Searching)
        showDeviceNotification(DeviceEventType::MouseNotDetected, 0);
    comeBack();
    showNormal();
    activateForRequest(*this, request);
}

void MainWindow::showDeviceNotification(DeviceEventType type, int value) {
    events_.showDeviceNotification(type, value);
}

void MainWindow::showNotice(const QString& text) {
    events_.showNotice(text);
}

void MainWindow::exitProgram() {
    if (session_.ending())
        return;
    if (session_.profiles() && session_.profiles()->hasUnsavedChanges()) {
        // From the tray: the question needs a window to belong to.
        showForQuestion();
        const std::string_view question = profileFileTexts(language_).closeQuestion;
        if (!session_.profiles()->mayLeaveProfile(question) || session_.ending())
            return;
    }
    // Saved or discarded: whatever this run kept for recovery is stale.
    if (wroteUnsavedEdits_)
        removeUnsavedEdits(unsavedEditsPath());
    endProgram();
}

std::filesystem::path MainWindow::unsavedEditsPath() const {
    return session_.profile().userFolder() / kUnsavedEditsFileName;
}

void MainWindow::keepUnsavedEdits() {
    // An offer still open holds edits of an earlier session.
    if (offeringEdits_ || !session_.profiles())
        return;
    // Cancel has thrown the changes away; the reload waits for the tray.
    const auto edits = reloadOnReopen ? std::nullopt : session_.profiles()->unsavedEdits();
    const std::filesystem::path path = unsavedEditsPath();
    if (!edits) {
        if (wroteUnsavedEdits_)
            removeUnsavedEdits(path);
        return;
    }
    const FileWriteResult written = writeUnsavedEdits(path, *edits);
    wroteUnsavedEdits_ = true;
    if (!written.ok())
        std::fprintf(stderr, "qvr: the unsaved changes could not be kept in %s: %s\n", path.c_str(),
                     written.message.c_str());
}

void MainWindow::endSession() {
    if (session_.ending())
        return;
    keepUnsavedEdits();
    endProgram();
}

void MainWindow::offerUnsavedEdits() {
    const std::filesystem::path path = unsavedEditsPath();
    const auto edits = readUnsavedEdits(path);
    if (!edits || !session_.profiles())
        return;
    const ProfileFileTexts& texts = profileFileTexts(language_);
    offeringEdits_ = true;
    const bool restore = messages().confirm(
        std::string(texts.restoreQuestion), kApplicationTitle,
        {std::string(texts.restoreChoice), std::string(texts.discardChoice)}, true);
    offeringEdits_ = false;
    // A session that ended during the question left the file for next time.
    if (session_.ending())
        return;
    if (restore && !session_.profiles()->restoreEdits(*edits))
        return; // no profile to take them: kept for a later start
    removeUnsavedEdits(path);
}

void MainWindow::endProgram() {
    session_.shutDown();
    tray_.removeTrayIcon();
    hide();
    if (setup_.endProcess)
        setup_.endProcess(0);
    else
        QCoreApplication::exit(0);
}

void MainWindow::hideAndReloadOnReopen() {
    reloadOnReopen = true;
    hideToTray();
}

void MainWindow::hideToTray() {
    if (tray_.usesTray())
        hide();
    else
        showMinimized();
}

void MainWindow::toggleHelpPanel() {
    if (help_) {
        closeHelpPanel();
        return;
    }
    // Without an installed updater the line is drawn disabled.
    std::function<void()> update;
    if (firmwareUpdaterPath(session_.profile().factoryFolder()))
        update = [this] { launchUpdater(); };
    help_ = new HelpPanel(
        sharedSkin(), messages(), language_, std::move(update),
        [this](Language language) { chooseLanguage(language); }, this);
    connect(help_, &HelpPanel::closeRequested, this, [this] {
        closeHelpPanel();
        focusElement(ids_.help);
    });
    help_->show();
}

bool MainWindow::chooseLanguage(Language language) {
    if (language == language_)
        return true;
    ProfileFiles& profile = session_.profile();
    const FileWriteResult written =
        writeLanguageToProfiles(profile.userFolder(), languageCode(language));
    if (!written.ok()) {
        QString text = qstr(helpPanelTexts(language_).languageNotSaved);
        messages().showMessage(
            text.replace("%1", QString::fromStdString(written.message)).toStdString(),
            std::string(kApplicationTitle));
        return false;
    }
    // Labels on screen as the old language's section holds them give way
    // to the new section's, as the next start would show them; labels
    // edited and not saved yet stay.
    const bool labelsAsSaved = profile.labelsMatchFile();
    profile.setLanguage(language);
    if (labelsAsSaved) {
        profile.readButtonLabels();
        if (session_.profiles())
            session_.profiles()->labelsReread();
    }
    closePagePopups();
    applyLanguage(language);
    for (WindowPage* page : pages_)
        page->languageChanged();
    if (help_)
        help_->setLanguage(language);
    tray_.applyTrayTexts();
    update();
    return true;
}

void MainWindow::applyLanguage(Language language) {
    language_ = language;
    texts_ = &mainWindowTexts(language_);
    setWindowTitle(qstr(texts_->windowTitle));
    ElementTable& table = elements();
    table[ids_.reset].label = qstr(texts_->reset);
    table[ids_.cancel].label = qstr(texts_->cancel);
    table[ids_.save].label = qstr(texts_->save);
    table[ids_.config].label = qstr(texts_->config);
    table[ids_.frontTab].label = qstr(texts_->front);
    table[ids_.sideTab].label = qstr(texts_->side);
    setTextFont(qtFontFor(WindowFont::MainText, language_));
    headingFont_ = qtFontFor(WindowFont::MainHeading, language_);
    smallFont_ = qtFontFor(WindowFont::MainSmall, language_);
}

void MainWindow::closeHelpPanel() {
    if (!help_)
        return;
    // The panel may be the sender of the click that closes it.
    help_->hide();
    help_->deleteLater();
    help_ = nullptr;
}

void MainWindow::launchUpdater() {
    launchFirmwareUpdater(session_.profile().factoryFolder());
}

void MainWindow::setMouseView(MouseView view) {
    mouseView_ = view;
    elements()[ids_.frontTab].image =
        view == MouseView::Front ? "/button-mouse-leave.png" : "/button-mouse-normal.png";
    elements()[ids_.sideTab].image =
        view == MouseView::Side ? "/button-mouse-leave.png" : "/button-mouse-normal.png";
    update();
}

void MainWindow::addPage(WindowPage& page) {
    pages_.push_back(&page);
    update();
}

void MainWindow::removePage(WindowPage& page) {
    std::erase(pages_, &page);
    elements().release(page);
    update();
}

void MainWindow::closePagePopups() {
    for (WindowPage* page : pages_)
        page->closePopups();
}

void MainWindow::notifyProfileDrawn() {
    if (!pageDrawn_)
        return;
    const bool firstRun = session_.state().firstRunFlag == 0;
    for (WindowPage* page : pages_)
        page->profileDrawn();
    // The first-run labels go to the files as they are made (an import's
    // wait for its Save): not the user's changes, so closing does not ask.
    if (firstRun && session_.state().firstRunFlag != 0 && session_.profiles() &&
        !session_.profiles()->holdsImport())
        session_.profiles()->labelsWritten();
}

void MainWindow::paintFace(QPainter& painter) {
    if (mouseView_ == MouseView::Front)
        skin().draw(painter, "/Mouse/Front/MouseFront.png", kFrontPicture);
    else
        skin().draw(painter, "/Mouse/Side/MouseSide.png", kSidePicture);
    for (WindowPage* page : pages_)
        page->paintFace(painter);
}

bool MainWindow::beforeClick(QPoint position) {
    takeStartUpDesktopPointerSettings();
    // A click elsewhere closes the help panel first; the help button toggles
    // it itself and the three bottom-right buttons leave it open.
    if (help_ && !kHelpRect.contains(position) && !kResetRect.contains(position) &&
        !kCancelRect.contains(position) && !kSaveRect.contains(position))
        closeHelpPanel();
    return false;
}

void MainWindow::closeEvent(QCloseEvent* event) {
    // Closing only hides: the program lives on in the tray.
    event->ignore();
    hideToTray();
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        SkinnedWindow::keyPressEvent(event);
    }
}

void MainWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::WindowStateChange) {
        const auto old = static_cast<QWindowStateChangeEvent*>(event)->oldState();
        const bool minimised = windowState() & Qt::WindowMinimized;
        if (minimised && tray_.usesTray()) {
            setWindowState(windowState() & ~Qt::WindowMinimized);
            QMetaObject::invokeMethod(
                this, [this] { hideToTray(); }, Qt::QueuedConnection);
        } else if (!minimised && (old & Qt::WindowMinimized)) {
            // Restored from the taskbar, where Cancel may have sent it.
            comeBack();
        }
    }
    SkinnedWindow::changeEvent(event);
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
    // The tray menu's items, for desktops without a tray.
    QMenu* popupMenu = tray_.trayMenu();
    if (!popupMenu || !kTitleBand.contains(toFace(QPointF(event->pos()))))
        return SkinnedWindow::contextMenuEvent(event);
    popupMenu->winId();
    if (QWindow* menu = popupMenu->windowHandle())
        menu->setTransientParent(windowHandle());
    popupMenu->popup(event->globalPos());
    event->accept();
}

} // namespace qvr
