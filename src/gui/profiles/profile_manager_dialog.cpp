#include "gui/profiles/profile_manager_dialog.h"

#include "core/profiles/profile_list.h"
#include "core/profiles/user_folder.h"
#include "core/profiles/user_folder_notes.h"
#include "gui/session/auto_profile_switch.h"
#include "gui/widgets/label_text.h"
#include "gui/widgets/list_item_editor.h"
#include "gui/widgets/qt_fonts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QStyle>

namespace qvr {

namespace {

constexpr const char* kBackgroundFailed = "Config Dialog Load background image failed!!!";
const QColor kListColour(0x16, 0x18, 0x1d);
const QColor kSelectionColour(0, 150, 255);
// The name as stored, byte for byte: the shown text may have lost bytes that
// are not UTF-8.
constexpr int kStoredNameRole = Qt::UserRole;

} // namespace

ProfileManagerDialog::ProfileManagerDialog(ProfileManagerSetup setup)
    : SkinnedWindow(setup.skin, *setup.messages, nullptr, Dragging::NotAllowed),
      setup_(std::move(setup)), texts_(&profileManagerTexts(setup_.language)),
      slots_(setup_.profile->userFolder(), setup_.slotFault) {
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);
    // A layered window: the desktop shows through it (with a compositor).
    setWindowOpacity(kOpacity);
    setWindowTitle(qstr(texts_->title));
    setTextColor(setup_.textColor);
    setTextFont(qtFontFor(WindowFont::SmallDialog, setup_.language));
    if (!loadBackground("/Config/Config.png", kBackgroundFailed))
        return;

    ElementTable& table = elements();
    table.add(
        {.rect = kCloseRect, .image = "/button-close", .hover = true, .onClick = [this](QPoint) {
             closeDialog();
         }});
    table[0].name = [this] { return qstr(keyboardTexts(setup_.language).close); };
    newId_ = table.add({.rect = kNewRect,
                        .image = "/Config/New-Config.png",
                        .label = qstr(texts_->newButton),
                        .onClick = [this](QPoint) { addProfile(); }});

    list_ = new QListWidget(this);
    placeChild(list_, kListRect, textFont());
    list_->setFrameShape(QFrame::NoFrame);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The list fills the panel's width, so no ring around it would show:
    // the keyboard's mark is the list's own border.
    list_->setStyleSheet(
        QString("QListWidget { background-color: %1; color: %2; border: none; }"
                "QListWidget[keyboardMark=\"true\"] { border: 2px solid %4; }"
                "QListWidget::item { padding: 3px 6px; }"
                "QListWidget::item:selected { background-color: %3; color: white; }")
            .arg(kListColour.name(), textColor().name(), kSelectionColour.name(),
                 focusMarkColour().name()));
    listFocusWatch_ = connect(qApp, &QApplication::focusChanged, list_, [this] {
        const bool marked = focusMarkShown() && list_->hasFocus();
        if (list_->property("keyboardMark").toBool() == marked)
            return;
        list_->setProperty("keyboardMark", marked);
        list_->style()->unpolish(list_);
        list_->style()->polish(list_);
    });
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!selecting_)
            lastSelected_ = row;
    });
    connect(list_, &QListWidget::itemPressed, this,
            [this](QListWidgetItem* item) { lastSelected_ = list_->row(item); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { renameProfile(); });
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const auto menu = contextMenu();
        menu->exec(list_->viewport()->mapToGlobal(at));
    });
    // Close, the list, then New, as they stand on the face.
    setNativeTabOrder(NativeTabOrder::ReadingOrder);
    readList();
}

ProfileManagerDialog::~ProfileManagerDialog() {
    // The window gives up the keyboard as it goes, when only a QWidget is
    // left of it.
    disconnect(listFocusWatch_);
}

void ProfileManagerDialog::setLanguage(Language language) {
    setup_.language = language;
    texts_ = &profileManagerTexts(language);
    setWindowTitle(qstr(texts_->title));
    setTextFont(qtFontFor(WindowFont::SmallDialog, language));
    elements()[newId_].label = qstr(texts_->newButton);
    setChildFont(list_, textFont());
    update();
}

void ProfileManagerDialog::readList() {
    const ProfileFiles& files = *setup_.profile;
    if (const FileWriteResult resumed = slots_.resumePendingDelete(); !resumed.ok())
        reportFailure(resumed);
    // A list changed by hand since the start is rebuilt from the profile
    // files as the start does, so that none of them looks free to New.
    UserFolderReport repaired;
    repairProfileList(files.userFolder(), files.factoryFolder(), repaired);
    showNotes(repaired);
    const ProfileList stored = readProfileList(files.globalSettingsPath());
    for (const std::string& name : stored.names)
        addName(name);
    const int current = setup_.host->windowProfile();
    if (current >= 0 && current < list_->count())
        selectRow(current);
}

void ProfileManagerDialog::addName(const std::string& stored) {
    auto* item = new QListWidgetItem(QString::fromStdString(stored));
    item->setData(kStoredNameRole, QByteArray::fromStdString(stored));
    list_->addItem(item);
}

void ProfileManagerDialog::selectRow(int row) {
    selecting_ = true;
    list_->setCurrentRow(row);
    selecting_ = false;
}

void ProfileManagerDialog::reportFailure(const FileWriteResult& result) {
    messages().showMessage(writeErrorMessage(result), std::string(kWriteErrorCaption));
}

// New and Copy write the position after the list, whose files are left
// from earlier profiles. When that is the window's profile or one before it,
// the list does not tell the folder's profiles (it lost names since it was
// written), and files there belong to a profile the user did not choose.
bool ProfileManagerDialog::refusesTakenPosition(int position) {
    if (position > setup_.host->windowProfile())
        return false;
    for (const auto& file : {slots_.recordPath(position), slots_.settingsPath(position)}) {
        std::error_code error;
        if (std::filesystem::exists(std::filesystem::symlink_status(file, error))) {
            UserFolderReport taken;
            taken.problems.push_back(fileWriteFailure(file, EEXIST).message);
            showNotes(taken);
            return true;
        }
    }
    return false;
}

void ProfileManagerDialog::showNotes(const UserFolderReport& report) {
    for (const std::string& note :
         userFolderNotes(report, setup_.profile->userFolder(), setup_.language))
        messages().showMessage(note, kApplicationTitle);
}

bool ProfileManagerDialog::writeList() {
    const std::vector<std::string> stored = names();
    const int current = setup_.host->windowProfile();
    const std::string currentName = current >= 0 && current < static_cast<int>(stored.size())
                                        ? stored[static_cast<std::size_t>(current)]
                                        : std::string();
    const FileWriteResult written = slots_.writeList(stored, currentName);
    if (!written.ok())
        reportFailure(written);
    return written.ok();
}

std::optional<int> ProfileManagerDialog::selectedRow() const {
    const QListWidgetItem* item = list_ ? list_->currentItem() : nullptr;
    if (!item || !item->isSelected())
        return std::nullopt;
    return list_->currentRow();
}

std::vector<std::string> ProfileManagerDialog::names() const {
    std::vector<std::string> result;
    for (int i = 0; list_ && i < list_->count(); ++i)
        result.push_back(list_->item(i)->data(kStoredNameRole).toByteArray().toStdString());
    return result;
}

void ProfileManagerDialog::post(ProfileCommand command, int position) {
    if (setup_.post)
        setup_.post(command, position);
}

void ProfileManagerDialog::addProfile() {
    if (!list_)
        return;
    if (list_->count() >= kMaxProfiles) {
        messages().showMessage(std::string(texts_->limitMessage),
                               std::string(texts_->warningCaption));
        return;
    }
    const int position = list_->count();
    if (refusesTakenPosition(position))
        return;
    // The one place a profile is born: its files first, then its name.
    const FileWriteResult created = slots_.createProfile(position, setup_.host->windowProfile());
    if (!created.ok()) {
        reportFailure(created);
        return;
    }
    addName(nextProfileName(names()));
    list_->setCurrentRow(position);
    writeList();
}

void ProfileManagerDialog::deleteProfile() {
    const auto row = selectedRow();
    // The window always holds one profile, so the last one stays.
    if (!row || list_->count() < 2)
        return;
    const ProfileFileTexts& asked = profileFileTexts(setup_.language);
    const QString question = qstr(asked.deleteQuestion).arg(list_->item(*row)->text());
    if (!messages().confirm(question.toStdString(), std::string(texts_->warningCaption),
                            {std::string(texts_->deleteItem), std::string(asked.cancelChoice)}))
        return;
    std::vector<std::string> remaining = names();
    remaining.erase(remaining.begin() + *row);
    int current = setup_.host->windowProfile();
    if (current > *row || current == static_cast<int>(remaining.size()))
        --current;
    const std::string currentName = remaining[static_cast<std::size_t>(std::max(current, 0))];
    FileWriteResult deleted = slots_.deleteProfile(names(), *row, currentName);
    if (!deleted.ok()) {
        // One more try finishes a delete a passing fault cut short; a lasting
        // fault leaves the note, and the next start finishes it.
        deleted = slots_.resumePendingDelete();
        if (!deleted.ok() || readProfileList(slots_.listPath()).names.size() != remaining.size()) {
            reportFailure(deleted.ok() ? fileWriteFailure(slots_.listPath(), EIO) : deleted);
            return;
        }
    }
    selecting_ = true;
    delete list_->takeItem(*row);
    list_->setCurrentRow(-1);
    list_->clearSelection();
    selecting_ = false;
    lastSelected_ = -1;
    setup_.host->profileDeleted(*row, list_->count());
    selectRow(setup_.host->windowProfile());
}

void ProfileManagerDialog::renameProfile() {
    const auto row = selectedRow();
    if (!row || *row != lastSelected_)
        return;
    editor_ = ListItemEditor::open(*list_, *row, [this, row = *row](std::optional<QString> typed) {
        finishRename(row, std::move(typed));
    });
}

void ProfileManagerDialog::finishRename(int row, std::optional<QString> typed) {
    if (!typed || row >= list_->count())
        return;
    QListWidgetItem* item = list_->item(row);
    // An unchanged text keeps the stored bytes, whatever their encoding.
    if (*typed != item->text()) {
        item->setText(*typed);
        item->setData(kStoredNameRole, typed->toUtf8());
    }
    list_->setCurrentRow(row);
    writeList();
}

void ProfileManagerDialog::copyProfile() {
    const auto row = selectedRow();
    if (!row || list_->count() < 1 || list_->count() >= kMaxProfiles)
        return;
    const int position = list_->count();
    if (refusesTakenPosition(position))
        return;
    const FileWriteResult copied = slots_.copyProfile(*row, position);
    if (!copied.ok()) {
        reportFailure(copied);
        return;
    }
    addName(std::string(texts_->copyItem) + " " + names()[static_cast<std::size_t>(*row)]);
    writeList();
}

void ProfileManagerDialog::loadProfileFromFile() {
    if (const auto row = selectedRow())
        post(ProfileCommand::Import, *row);
}

void ProfileManagerDialog::saveProfileToFile() {
    if (const auto row = selectedRow())
        post(ProfileCommand::Export, *row);
}

void ProfileManagerDialog::closeDialog() {
    if (editor_)
        editor_->commit();
    // Nothing selected (a click on the blank part of the list) keeps the
    // window's profile.
    const auto row = selectedRow();
    if (row && *row != setup_.host->windowProfile() && !setup_.host->switchProfile(*row))
        return;
    const auto& path = setup_.profile->globalSettingsPath();
    std::error_code error;
    if (list_ && std::filesystem::exists(path, error))
        writeList();
    post(ProfileCommand::Redraw, 0);
    emit closed();
    close();
}

std::unique_ptr<QMenu> ProfileManagerDialog::contextMenu() {
    auto menu = std::make_unique<QMenu>();
    const std::pair<std::string_view, void (ProfileManagerDialog::*)()> rows[] = {
        {texts_->deleteItem, &ProfileManagerDialog::deleteProfile},
        {texts_->editItem, &ProfileManagerDialog::renameProfile},
        {texts_->copyItem, &ProfileManagerDialog::copyProfile},
        {texts_->loadItem, &ProfileManagerDialog::loadProfileFromFile},
        {texts_->saveItem, &ProfileManagerDialog::saveProfileToFile},
    };
    for (const auto& [text, command] : rows)
        menu->addAction(qstr(text), this, [this, command = command] { (this->*command)(); });
    if (setup_.openAutoSwitch) {
        menu->addSeparator();
        menu->addAction(qstr(autoSwitchTexts(setup_.language).title), this,
                        [this] { setup_.openAutoSwitch(this); });
    }
    return menu;
}

void ProfileManagerDialog::paintFace(QPainter& painter) {
    QFont title = textFont();
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(textColor());
    drawLabel(painter, kTitleRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
              qstr(texts_->title));
}

void ProfileManagerDialog::keyPressEvent(QKeyEvent* event) {
    // Enter never closes the window.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    SkinnedWindow::keyPressEvent(event);
}

} // namespace qvr
