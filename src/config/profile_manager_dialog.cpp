#include "config/profile_manager_dialog.h"

#include "config/profile_list.h"
#include "ui/label_text.h"
#include "ui/list_box_editor.h"
#include "ui/qt_fonts.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QPainter>

namespace qvr {

namespace {

constexpr const char* kBackgroundFailed = "Config Dialog Load background image failed!!!";
const QColor kListColour(0x16, 0x18, 0x1d);
const QColor kSelectionColour(0, 150, 255);

} // namespace

CConfigDialog::CConfigDialog(ProfileManagerSetup setup)
    : SkinnedWindow(setup.skin, *setup.messages, nullptr, Dragging::NotAllowed),
      setup_(std::move(setup)), texts_(profileManagerTexts(setup_.language)) {
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_DeleteOnClose);
    // A layered window: the desktop shows through it (with a compositor).
    setWindowOpacity(kOpacity);
    setWindowTitle(qstr(texts_.title));
    setTextColor(setup_.textColor);
    setTextFont(qtFontFor(WindowFont::SmallDialog, setup_.language));
    if (!loadBackground("/Config/Config.png", kBackgroundFailed))
        return;

    ElementTable& table = elements();
    table.add(
        {.rect = kCloseRect, .image = "/button-close", .hover = true, .onClick = [this](QPoint) {
             closeDialog();
         }});
    table.add({.rect = kNewRect,
               .image = "/Config/New-Config.png",
               .label = qstr(texts_.newButton),
               .onClick = [this](QPoint) { NewProfileName(); }});

    list_ = new QListWidget(this);
    list_->setGeometry(kListRect);
    list_->setFont(textFont());
    list_->setFrameShape(QFrame::NoFrame);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setStyleSheet(
        QString("QListWidget { background-color: %1; color: %2; border: none; }"
                "QListWidget::item { padding: 3px 6px; }"
                "QListWidget::item:selected { background-color: %3; color: white; }")
            .arg(kListColour.name(), textColor().name(), kSelectionColour.name()));
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!selecting_)
            lastSelected_ = row;
    });
    connect(list_, &QListWidget::itemPressed, this,
            [this](QListWidgetItem* item) { lastSelected_ = list_->row(item); });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this] { RenameProfileName(); });
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        const auto menu = contextMenu();
        menu->exec(list_->viewport()->mapToGlobal(at));
    });
    readList();
}

void CConfigDialog::readList() {
    const auto& path = setup_.profile->globalSettingsPath();
    std::error_code error;
    if (!std::filesystem::exists(path, error))
        return;
    const ProfileList stored = readProfileList(path);
    for (const std::string& name : stored.names)
        list_->addItem(QString::fromStdString(name));
    if (const auto found = findCurrentProfile(stored.names, stored.currentName)) {
        selecting_ = true;
        list_->setCurrentRow(*found);
        selecting_ = false;
        setup_.profile->setCurrentProfileIndex(*found);
    }
}

std::optional<int> CConfigDialog::selectedRow() const {
    const QListWidgetItem* item = list_ ? list_->currentItem() : nullptr;
    if (!item || !item->isSelected())
        return std::nullopt;
    return list_->currentRow();
}

std::vector<std::string> CConfigDialog::names() const {
    std::vector<std::string> result;
    for (int i = 0; list_ && i < list_->count(); ++i)
        result.push_back(list_->item(i)->text().toStdString());
    return result;
}

void CConfigDialog::post(ProfileCommand command, int position) {
    if (setup_.post)
        setup_.post(command, position);
}

void CConfigDialog::NewProfileName() {
    if (!list_)
        return;
    if (list_->count() >= kMaxProfiles) {
        messages().showMessage(std::string(texts_.limitMessage),
                               std::string(texts_.warningCaption));
        return;
    }
    list_->addItem(QString::fromStdString(nextProfileName(names())));
    list_->setCurrentRow(list_->count() - 1);
}

void CConfigDialog::DeleteProfileName() {
    const auto row = selectedRow();
    if (!row)
        return;
    // The names below move up and so name the files of the position above;
    // the files stay where they are.
    selecting_ = true;
    delete list_->takeItem(*row);
    list_->setCurrentRow(-1);
    list_->clearSelection();
    selecting_ = false;
    lastSelected_ = -1;
}

void CConfigDialog::RenameProfileName() {
    const auto row = selectedRow();
    if (!row || *row != lastSelected_)
        return;
    editor_ = CLBEditorWnd::open(*list_, *row, [this, row = *row](std::optional<QString> typed) {
        finishRename(row, std::move(typed));
    });
}

void CConfigDialog::finishRename(int row, std::optional<QString> typed) {
    if (!typed || row >= list_->count())
        return;
    list_->item(row)->setText(*typed);
    list_->setCurrentRow(row);
}

void CConfigDialog::CopyProfileName() {
    const auto row = selectedRow();
    if (!row || list_->count() < 1 || list_->count() >= kMaxProfiles)
        return;
    list_->addItem(qstr(texts_.copyItem) + " " + list_->item(*row)->text());
}

void CConfigDialog::LoadProfileCommand() {
    if (const auto row = selectedRow()) {
        setup_.profile->setCurrentProfileIndex(*row);
        post(ProfileCommand::Import, *row);
    }
}

void CConfigDialog::SaveProfileCommand() {
    if (const auto row = selectedRow()) {
        setup_.profile->setCurrentProfileIndex(*row);
        post(ProfileCommand::Export, *row);
    }
}

void CConfigDialog::closeDialog() {
    if (editor_)
        editor_->commit();
    const auto& path = setup_.profile->globalSettingsPath();
    std::error_code error;
    if (list_ && std::filesystem::exists(path, error)) {
        std::optional<int> current;
        const FileWriteResult written = writeProfileList(path, names(), selectedRow(), &current);
        if (written.ok())
            setup_.profile->setCurrentProfileIndex(current.value_or(0));
        else
            messages().showMessage(written.message, std::string(kApplicationTitle));
    }
    post(ProfileCommand::Redraw, 0);
    emit closed();
    close();
}

std::unique_ptr<QMenu> CConfigDialog::contextMenu() {
    auto menu = std::make_unique<QMenu>();
    const std::pair<std::string_view, void (CConfigDialog::*)()> rows[] = {
        {texts_.deleteItem, &CConfigDialog::DeleteProfileName},
        {texts_.editItem, &CConfigDialog::RenameProfileName},
        {texts_.copyItem, &CConfigDialog::CopyProfileName},
        {texts_.loadItem, &CConfigDialog::LoadProfileCommand},
        {texts_.saveItem, &CConfigDialog::SaveProfileCommand},
    };
    for (const auto& [text, command] : rows)
        menu->addAction(qstr(text), this, [this, command = command] { (this->*command)(); });
    return menu;
}

void CConfigDialog::paintFace(QPainter& painter) {
    QFont title = textFont();
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(textColor());
    drawLabel(painter, kTitleRect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
              qstr(texts_.title));
}

void CConfigDialog::keyPressEvent(QKeyEvent* event) {
    // Enter never closes the window.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    SkinnedWindow::keyPressEvent(event);
}

} // namespace qvr
