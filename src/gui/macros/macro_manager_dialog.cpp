#include "gui/macros/macro_manager_dialog.h"

#include "core/macros/macro_editing.h"
#include "gui/macros/key_recording_filter.h"
#include "gui/widgets/key_event_names.h"
#include "gui/widgets/label_text.h"
#include "gui/widgets/list_item_editor.h"
#include "gui/widgets/qt_fonts.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWindow>
#include <chrono>

namespace qvr {

namespace {

constexpr const char* kBackground = "/MacroManagement/MacroManagement.png";
constexpr const char* kBackgroundFailed = "Macro Manager Dialog Load background image failed!!!";
constexpr const char* kTickOff = "/MacroManagement/Pane.png";
constexpr const char* kTickOn = "/MacroManagement/PaneMakingTick.png";
constexpr int kWheelLinesPerNotch = 3;
constexpr int kWheelNotch = 120;
// A repeat's release and press arrive together; a release that waited this
// long is a real one.
constexpr int kReleaseWaitMs = 30;

const QColor kFieldColour(34, 24, 21);
// The lists take the dark list colour of the rest of the skin: a mid grey
// (109, 109, 109) under light text read poorly on this dark skin.
const QColor kListColour(0x1b, 0x1e, 0x25);

// Draws text in the rectangle, making the font smaller until it fits: the
// skin's rectangles are small and the interface fonts differ by language.
void drawFitted(QPainter& painter, const QRect& rect, int flags, const QString& text) {
    QFont font = painter.font();
    for (int size = font.pixelSize(); size > 7; --size) {
        font.setPixelSize(size);
        const QRect needed = QFontMetrics(font).boundingRect(rect, flags, text);
        if (needed.width() <= rect.width() && needed.height() <= rect.height())
            break;
    }
    painter.save();
    painter.setFont(font);
    if (flags & Qt::TextWordWrap)
        drawWrappedText(painter, rect, flags, text);
    else
        drawLabel(painter, rect, flags, text);
    painter.restore();
}

constexpr QRect kTitleBand = edges(0, 0, 490, 50);
constexpr QRect kMacroColumn = edges(0, 50, 141, 434);
constexpr QRect kEventColumn = edges(141, 50, 272, 434);

QString styleFor(const QColor& background, const QColor& text) {
    return QString("background-color: %1; color: %2; border: none;")
        .arg(background.name(), text.name());
}

} // namespace

MacroManagerDialog::MacroManagerDialog(MacroManagerSetup setup, QWidget* parent)
    : ModalSkinnedWindow(setup.skin, *setup.messages, parent, Dragging::Allowed),
      setup_(std::move(setup)), texts_(macroManagerTexts(setup_.language)),
      store_(setup_.storePath), memory_(setup_.memory ? *setup_.memory : ownMemory_) {
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowTitle(qstr(texts_.title));
    setTextColor(setup_.textColor);
    setTextFont(qtFontFor(WindowFont::MacroManager, setup_.language));
    if (!loadBackground(kBackground, kBackgroundFailed)) {
        // A borderless modal window without its buttons could not be closed.
        done(DialogResult::Cancel);
        return;
    }
    addElements();
    createControls();
    // Read as the face is laid out: the title strip, then each column top
    // to bottom (the macros with New and Delete, the events, the options
    // with OK and Cancel), the lists and the field in their places.
    setReadingRegions({kTitleBand, kMacroColumn, kEventColumn});
    setNativeTabOrder(NativeTabOrder::ReadingOrder);
    loadStore();
    releaseTimer_.setSingleShot(true);
    releaseTimer_.setInterval(kReleaseWaitMs);
    connect(&releaseTimer_, &QTimer::timeout, this, [this] { flushRecorder(); });
}

MacroManagerDialog::~MacroManagerDialog() {
    stopRecording(false);
}

void MacroManagerDialog::addElements() {
    ElementTable& table = elements();
    const auto button = [](QRect rect, const char* stem, std::function<void(QPoint)> click) {
        return WindowElement{.rect = rect, .image = stem, .hover = true, .onClick = click};
    };
    // Screen readers call each control by the text drawn on it.
    const auto named = [&table](ElementTable::Id id, std::string_view text) {
        table[id].name = [name = qstr(text)] { return name; };
    };
    named(table.add(button(kCloseRect, "/macro-button-close", [this](QPoint) { cancel(); })),
          keyboardTexts(setup_.language).close);
    table.add(
        {.rect = kRecordRect,
         .image = "/MacroManagement/Record-normal.png",
         .onClick = [this](QPoint) { toggleRecording(); },
         .name =
             [this] { return qstr(recording() ? texts_.stopRecording : texts_.startRecording); }});
    table.add({.rect = kRecordDelaysTick,
               .onClick = [this](QPoint) { toggleRecordDelays(); },
               .name = [this] { return qstr(texts_.recordDelays); },
               .role = ElementRole::CheckBox,
               .checked = [this] { return recordDelays_; }});
    table.add({.rect = kLoopTick,
               .onClick = [this](QPoint) { toggleLoop(); },
               .name = [this] { return qstr(texts_.loopTimes); },
               .role = ElementRole::CheckBox,
               .checked = [this] { return loop_; }});
    named(
        table.add(button(kNewRect, "/MacroManagement/button-new", [this](QPoint) { newMacro(); })),
        texts_.newButton);
    named(table.add(button(kDeleteRect, "/MacroManagement/button-new",
                           [this](QPoint) { deleteMacro(); })),
          texts_.deleteButton);
    named(table.add(button(kOkRect, "/MacroManagement/button-cancel", [this](QPoint) { ok(); })),
          texts_.ok);
    named(table.add(
              button(kCancelRect, "/MacroManagement/button-cancel", [this](QPoint) { cancel(); })),
          texts_.cancel);
}

void MacroManagerDialog::createControls() {
    const QString listStyle = styleFor(kListColour, textColor());
    names_ = new QListWidget(this);
    placeChild(names_, kNameList, textFont());
    events_ = new QListWidget(this);
    placeChild(events_, kEventList, textFont());
    events_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    names_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    events_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A long key name gives way in its middle, so whether the event is a
    // press or a release ("Dn", "Up") stays in sight.
    events_->setTextElideMode(Qt::ElideMiddle);
    for (QListWidget* list : {names_, events_}) {
        list->setStyleSheet(
            QString("QListWidget { %1 } QListWidget::item:selected { background-color: %2; "
                    "color: %3; }"
                    // A native light scroll bar would stand out on the dark skin.
                    "QScrollBar:vertical { background: %4; width: 10px; margin: 0; }"
                    "QScrollBar::handle:vertical { background: %5; min-height: 20px; }"
                    "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical "
                    "{ height: 0; }")
                .arg(listStyle, QColor(0, 120, 215).name(), QColor(Qt::white).name(),
                     QColor(0x2a, 0x2e, 0x38).name(), QColor(0, 150, 255).name()));
        list->setSelectionMode(QAbstractItemView::SingleSelection);
    }
    loopTimes_ = new QLineEdit(this);
    placeChild(loopTimes_, kLoopTimesField, textFont());
    loopTimes_->setAlignment(Qt::AlignCenter);
    loopTimes_->setFrame(false);
    loopTimes_->setStyleSheet(
        QString("QLineEdit { %1 padding: 0px; }").arg(styleFor(kFieldColour, textColor())));
    loopTimes_->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]*"), loopTimes_));
    loopTimes_->setText("1");

    connect(names_, &QListWidget::currentRowChanged, this, [this](int row) { selectMacro(row); });
    connect(names_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { nameDoubleClicked(names_->row(item)); });
    connect(events_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!selectingEvent_)
            eventActivated(row);
    });
    connect(events_, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { eventActivated(events_->row(item)); });
    connect(loopTimes_, &QLineEdit::textChanged, this, [this] {
        if (!settingLoopTimes_)
            loopTimesChanged();
    });
    // The menu is the pointer's: the Menu key is a key like any other here,
    // and may be part of a recording.
    events_->installEventFilter(this);
    events_->viewport()->installEventFilter(this);
}

bool MacroManagerDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::ContextMenu ||
        (watched != events_ && watched != events_->viewport()))
        return ModalSkinnedWindow::eventFilter(watched, event);
    const auto* request = static_cast<QContextMenuEvent*>(event);
    if (request->reason() == QContextMenuEvent::Mouse && !recording() && !openMenu_) {
        QMenu* menu = eventMenu().release();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        openMenu_ = menu;
        menu->popup(request->globalPos());
    }
    event->accept();
    return true;
}

void MacroManagerDialog::loadStore() {
    if (!store_.exists())
        return;
    const std::vector<std::string> names = store_.names();
    for (const std::string& name : names)
        names_->addItem(QString::fromStdString(name));
    if (!names.empty())
        names_->setCurrentRow(0);
}

std::uint32_t MacroManagerDialog::now() const {
    if (setup_.tick)
        return setup_.tick();
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

std::optional<std::string> MacroManagerDialog::selectedName() const {
    const QListWidgetItem* item = names_ ? names_->currentItem() : nullptr;
    if (!item || !item->isSelected())
        return std::nullopt;
    return item->text().toStdString();
}

void MacroManagerDialog::report(const FileWriteResult& result) {
    if (!result.ok())
        messages().showMessage(result.message, std::string(texts_.title));
}

// ------------------------------------------------------------------ macros

void MacroManagerDialog::selectMacro(int row) {
    if (row < 0 || row >= names_->count())
        return;
    const Macro macro = store_.load(names_->item(row)->text().toStdString());
    setLoopTimesText(QString::fromStdString(macro.loopTimes));
    setEventItems(macro.items, std::nullopt);
    recordDelays_ = macro.recordDelays;
    loop_ = macro.loop;
    loopTimes_->setEnabled(loop_);
    update();
}

void MacroManagerDialog::setLoopTimesText(const QString& text) {
    settingLoopTimes_ = true;
    loopTimes_->setText(text);
    settingLoopTimes_ = false;
    // A program change counts like a typed one, also when the text stays.
    loopTimesChanged();
}

void MacroManagerDialog::loopTimesChanged() {
    long value = static_cast<long>(leadingNumber(loopTimes_->text().toStdString()));
    if (value < 1 || value > static_cast<long>(kMaxLoopCount)) {
        value = 1;
        settingLoopTimes_ = true;
        loopTimes_->setText("1");
        settingLoopTimes_ = false;
    }
    acceptedLoopTimes_ = loopTimes_->text();
    if (const auto name = selectedName())
        report(store_.writeLoopCount(*name, value));
}

void MacroManagerDialog::newMacro() {
    if (recording())
        return;
    if (names_->count() >= kMaxMacros) {
        messages().showMessage(std::string(texts_.limitMessage),
                               std::string(texts_.warningCaption));
        return;
    }
    std::vector<std::string> names;
    for (int i = 0; i < names_->count(); ++i)
        names.push_back(names_->item(i)->text().toStdString());
    const QString name = QString::fromStdString(nextMacroName(names, texts_.macroBaseName));
    names_->addItem(name);
    // The new macro starts empty: its section is made by the loop count below.
    const QSignalBlocker blocker(names_);
    names_->setCurrentRow(names_->count() - 1);
    setEventItems({}, std::nullopt);
    setLoopTimesText("1");
    update();
}

void MacroManagerDialog::deleteMacro() {
    if (recording())
        return;
    const auto name = selectedName();
    if (!name)
        return;
    {
        const QSignalBlocker blocker(names_);
        delete names_->takeItem(names_->currentRow());
        names_->setCurrentRow(-1);
        names_->clearSelection();
    }
    lastNameActivated_ = -1;
    setEventItems({}, std::nullopt);
    report(store_.remove(*name));
}

void MacroManagerDialog::saveSelectedMacro() {
    const auto name = selectedName();
    if (!name)
        return;
    Macro macro;
    macro.name = *name;
    macro.items = eventItems();
    macro.recordDelays = recordDelays_;
    macro.loop = loop_;
    macro.loopTimes = acceptedLoopTimes_.toStdString();
    const MacroSaveResult saved = store_.save(macro);
    if (!saved.ok())
        report(saved.file);
}

void MacroManagerDialog::nameDoubleClicked(int row) {
    if (recording() || row < 0)
        return;
    if (row != lastNameActivated_) {
        lastNameActivated_ = row;
        return;
    }
    // The section stays until the new name is known, so that a cancelled
    // edit or a change of selection can never leave the macro without one.
    editor_ = ListItemEditor::open(*names_, row, [this, row](std::optional<QString> typed) {
        finishRename(row, std::move(typed));
    });
}

void MacroManagerDialog::finishRename(int row, std::optional<QString> typed) {
    if (!typed || row >= names_->count())
        return;
    QListWidgetItem* item = names_->item(row);
    const std::string oldName = item->text().toStdString();
    const std::string newName = typed->toStdString();
    const MacroRenameResult renamed =
        renameMacroSection(store_.path(), oldName, newName,
                           setup_.renameAlongside ? setup_.renameAlongside(oldName, newName)
                                                  : std::vector<FileChange>{});
    switch (renamed.status) {
    case MacroRenameStatus::Renamed:
        item->setText(*typed);
        renames_.emplace_back(oldName, newName);
        break;
    case MacroRenameStatus::Unchanged:
        break;
    case MacroRenameStatus::InvalidName:
        messages().showMessage(std::string(texts_.invalidName), std::string(texts_.warningCaption));
        break;
    case MacroRenameStatus::DuplicateName:
        messages().showMessage(
            QString(qstr(texts_.duplicateName)).arg(QString::fromStdString(newName)).toStdString(),
            std::string(texts_.warningCaption));
        break;
    case MacroRenameStatus::Failed:
        report(renamed.file);
        break;
    }
}

// ------------------------------------------------------------------ events

void MacroManagerDialog::addEventItem(const std::string& text) {
    auto* item = new QListWidgetItem(QString::fromStdString(text), events_);
    item->setToolTip(item->text());
}

std::vector<std::string> MacroManagerDialog::eventItems() const {
    std::vector<std::string> items;
    for (int i = 0; i < events_->count(); ++i)
        items.push_back(events_->item(i)->text().toStdString());
    return items;
}

std::optional<int> MacroManagerDialog::selectedEvent() const {
    const QListWidgetItem* item = events_->currentItem();
    if (!item || !item->isSelected())
        return std::nullopt;
    return events_->currentRow();
}

void MacroManagerDialog::setEventItems(const std::vector<std::string>& items,
                                       std::optional<int> select) {
    selectingEvent_ = true;
    events_->clear();
    for (const std::string& item : items)
        addEventItem(item);
    if (select)
        events_->setCurrentRow(*select);
    selectingEvent_ = false;
}

void MacroManagerDialog::runEventCommand(EventCommand command) {
    std::vector<std::string> items = eventItems();
    const std::optional<int> selected = selectedEvent();
    std::optional<int> select;
    switch (command) {
    case EventCommand::Delete:
        if (!selected)
            return;
        items.erase(items.begin() + *selected);
        break;
    case EventCommand::InsertLeft:
    case EventCommand::InsertMiddle:
    case EventCommand::InsertRight: {
        const MouseButtonItem button = command == EventCommand::InsertLeft ? MouseButtonItem::Left
                                       : command == EventCommand::InsertMiddle
                                           ? MouseButtonItem::Middle
                                           : MouseButtonItem::Right;
        select = insertMouseClick(items, selected, button);
        if (!select) {
            // Nothing fits in; the macro is still saved as it stands.
            saveSelectedMacro();
            return;
        }
        break;
    }
    case EventCommand::InsertDelay:
        select = insertDelayBefore(items, selected);
        if (!select)
            return;
        break;
    }
    setEventItems(items, select);
    saveSelectedMacro();
}

std::unique_ptr<QMenu> MacroManagerDialog::eventMenu() {
    auto menu = std::make_unique<QMenu>();
    const std::pair<std::string_view, EventCommand> rows[] = {
        {texts_.deleteButton, EventCommand::Delete},
        {texts_.insertLeftButton, EventCommand::InsertLeft},
        {texts_.insertMiddleButton, EventCommand::InsertMiddle},
        {texts_.insertRightButton, EventCommand::InsertRight},
        {texts_.insertDelay, EventCommand::InsertDelay},
    };
    for (const auto& [text, command] : rows)
        menu->addAction(qstr(text), this, [this, command = command] { runEventCommand(command); });
    return menu;
}

void MacroManagerDialog::eventActivated(int row) {
    if (row < 0 || row >= events_->count() || recording())
        return;
    if (!isDelayItemText(events_->item(row)->text().toStdString()) || row != lastDelayActivated_) {
        lastDelayActivated_ = row;
        return;
    }
    editor_ = ListItemEditor::open(*events_, row, [this, row](std::optional<QString> typed) {
        finishDelayEdit(row, std::move(typed));
    });
}

void MacroManagerDialog::finishDelayEdit(int row, std::optional<QString> typed) {
    if (!typed || row >= events_->count())
        return;
    const auto accepted = acceptDelayEdit(typed->toStdString());
    if (!accepted)
        return;
    events_->item(row)->setText(QString::fromStdString(*accepted));
    selectingEvent_ = true;
    events_->setCurrentRow(row);
    selectingEvent_ = false;
    // Posted, as the editor may still be on its way out.
    QMetaObject::invokeMethod(
        this, [this] { saveSelectedMacro(); }, Qt::QueuedConnection);
}

// --------------------------------------------------------------- recording

void MacroManagerDialog::toggleRecording() {
    if (recording())
        stopRecording(true, HeldKeys::Release);
    else
        startRecording();
}

void MacroManagerDialog::startRecording() {
    if (editor_)
        editor_->commit();
    if (openMenu_) {
        openMenu_->close(); // deletes itself
        openMenu_.clear();
    }
    recorder_.start();
    // Started by a key (Space on the record button), that key's release and
    // repeats belong to no macro.
    startKey_.reset();
    if (const QKeyEvent* key = pressingKey())
        startKey_ = keyNameFromKeyEvent(*key);
    setEventItems({}, std::nullopt);
    events_->setFocus(Qt::OtherFocusReason);
    loopTimes_->setEnabled(false);
    // The macro being recorded stays the selected one until the stop saves it.
    names_->setEnabled(false);
    // Every key is recorded, so none may press a control meanwhile.
    setTabKeys(TabKeys::AreInput);
    winId(); // the window the keystrokes arrive at must exist
    filter_ = new KeyRecordingFilter(
        windowHandle(),
        [this](KeyDirection direction, std::string name, bool autoRepeat, std::uint64_t timestamp) {
            recordKey(direction, std::move(name), autoRepeat, timestamp);
        },
        this);
    setWindowTitle(qstr(texts_.recordingWindowText));
    update();
}

void MacroManagerDialog::stopRecording(bool save, HeldKeys held) {
    setTabKeys(TabKeys::MoveFocus);
    if (filter_) {
        filter_->disarm();
        filter_->deleteLater();
        filter_ = nullptr;
    }
    releaseTimer_.stop();
    if (!recorder_.running())
        return;
    const auto last =
        recorder_.stop(recordDelays_ ? DelayRecording::On : DelayRecording::Off, held);
    if (!save)
        return;
    appendRecorded(last);
    memory_.recordingStopped = true;
    names_->setEnabled(true);
    loopTimes_->setEnabled(loop_);
    setWindowTitle(qstr(texts_.title));
    update();
    saveSelectedMacro();
}

void MacroManagerDialog::recordKey(KeyDirection direction, std::string keyName, bool autoRepeat,
                                   std::uint64_t timestamp) {
    if (startKey_ && keyName == *startKey_) {
        if (direction == KeyDirection::Release && !autoRepeat)
            startKey_.reset();
        return;
    }
    const RecorderStep step =
        recorder_.onKey({direction, std::move(keyName), autoRepeat, now(), timestamp},
                        recordDelays_ ? DelayRecording::On : DelayRecording::Off);
    // Ctrl+Break takes back the Ctrl press already in the list.
    for (int n = 0; n < step.removed && events_->count() > 0; ++n)
        delete events_->takeItem(events_->count() - 1);
    appendRecorded(step.items);
    if (step.stopKey) {
        stopRecording(true);
        return;
    }
    if (step.full) {
        stopRecording(true);
        messages().showMessage(std::string(texts_.macroFull), std::string(texts_.warningCaption));
        return;
    }
    if (step.limitReached) {
        stopRecording(true);
        return;
    }
    if (recorder_.holdsRelease())
        releaseTimer_.start();
}

void MacroManagerDialog::flushRecorder() {
    const RecorderStep step =
        recorder_.flush(recordDelays_ ? DelayRecording::On : DelayRecording::Off);
    appendRecorded(step.items);
    if (step.full) {
        stopRecording(true);
        messages().showMessage(std::string(texts_.macroFull), std::string(texts_.warningCaption));
    } else if (step.limitReached) {
        stopRecording(true);
    }
}

void MacroManagerDialog::appendRecorded(const std::vector<std::string>& items) {
    if (items.empty())
        return;
    for (const std::string& item : items)
        addEventItem(item);
    selectingEvent_ = true;
    events_->setCurrentRow(events_->count() - 1);
    selectingEvent_ = false;
}

// ------------------------------------------------------------------ options

void MacroManagerDialog::toggleRecordDelays() {
    recordDelays_ = !recordDelays_;
    update();
}

void MacroManagerDialog::toggleLoop() {
    loop_ = !loop_;
    if (!recording())
        loopTimes_->setEnabled(loop_);
    update();
}

void MacroManagerDialog::ok() {
    // A recording still running ends first, as its button ends it, so that
    // what is saved has every key it pressed released.
    if (recording())
        stopRecording(true, HeldKeys::Release);
    else
        saveSelectedMacro();
    if (names_->count() == 0) {
        table_ = MacroTable{};
    } else {
        table_ = buildMacroTable(store_.path());
        if (!table_)
            messages().showMessage(QString(qstr(texts_.storeUnreadable))
                                       .arg(QString::fromStdString(store_.path().string()))
                                       .toStdString(),
                                   std::string(texts_.title));
    }
    done(DialogResult::Ok);
}

void MacroManagerDialog::aboutToEnd(DialogResult) {
    // The recorder never outlives the dialog, and a recording cut short by
    // the dialog's end is not saved.
    stopRecording(false);
}

// -------------------------------------------------------------- drawing

void MacroManagerDialog::paintFace(QPainter& painter) {
    if (!hasBackground())
        return;
    const auto tick = [&](QRect rect, bool on) {
        skin().draw(painter, on ? kTickOn : kTickOff, rect.topLeft());
    };
    tick(kRecordDelaysTick, recordDelays_);
    tick(kLoopTick, loop_);

    painter.setPen(textColor());
    QFont font = textFont();
    painter.setFont(font);
    const int centred = Qt::AlignCenter | Qt::TextSingleLine;
    const int left = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine;
    // While a recording runs the title band says how the keyboard ends it.
    drawFitted(painter, kTitleRect, left,
               qstr(recording() ? texts_.recordingWindowText : texts_.title));
    drawFitted(painter, kMacroCaption, centred, qstr(texts_.macroListCaption));
    drawFitted(painter, kEventCaption, centred, qstr(texts_.eventListCaption));
    drawFitted(painter, kOptionCaption, centred, qstr(texts_.optionsCaption));
    drawFitted(painter, kRecordRect, centred,
               qstr(recording() ? texts_.stopRecording : texts_.startRecording));
    drawFitted(painter, kRecordDelaysText, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap,
               qstr(texts_.recordDelays));
    drawFitted(painter, kLoopTimesText, left, qstr(texts_.loopTimes));
    drawFitted(painter, kNewRect, centred, qstr(texts_.newButton));
    drawFitted(painter, kDeleteRect, centred, qstr(texts_.deleteButton));
    drawFitted(painter, kOkRect, centred, qstr(texts_.ok));
    drawFitted(painter, kCancelRect, centred, qstr(texts_.cancel));
}

// ------------------------------------------------------------ input

void MacroManagerDialog::mousePressEvent(QMouseEvent* event) {
    const QPoint position = toFace(event->position());
    if (event->button() == Qt::LeftButton && !kRecordRect.contains(position) &&
        elements().elementAt(position)) {
        // The buttons act and then move the window like its caption would,
        // once the pointer is dragged.
        clickAt(position);
        if (!finished())
            armWindowMove(event->globalPosition().toPoint());
        return;
    }
    ModalSkinnedWindow::mousePressEvent(event);
}

void MacroManagerDialog::wheelEvent(QWheelEvent* event) {
    if (!events_)
        return;
    const int notches = event->angleDelta().y() / kWheelNotch;
    QScrollBar* bar = events_->verticalScrollBar();
    bar->setValue(bar->value() - notches * kWheelLinesPerNotch);
    event->accept();
}

void MacroManagerDialog::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        // Enter confirms only once a recording of this run has been stopped,
        // so that recording it never ends the dialog.
        if (memory_.recordingStopped && !recording())
            ok();
        event->accept();
        return;
    case Qt::Key_Escape:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        event->accept();
        return;
    default:
        ModalSkinnedWindow::keyPressEvent(event);
    }
}

} // namespace qvr
