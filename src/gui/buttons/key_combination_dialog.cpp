#include "gui/buttons/key_combination_dialog.h"

#include "core/buttons/key_tables.h"
#include "gui/widgets/face_accessible.h"
#include "gui/widgets/label_text.h"
#include "gui/widgets/qt_fonts.h"
#include "gui/widgets/skin_list_box.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <algorithm>

namespace qvr {

namespace {

constexpr std::string_view kBackgroundFailed = "Combo Dialog Load background image failed!!!";
const QColor kFieldBackground(40, 40, 40);
const QColor kAccent(0x19, 0xc3, 0xff);

// The captured combination as three caps, one under the other in the order
// the mouse sends them, joined by plus signs.
constexpr int kCapHeight = 26, kCapMinWidth = 48, kCapPadding = 10, kPlusHeight = 26;

// A cap with the key's name, or an empty dashed place for a part not
// captured yet. Flat, without hover or shadow: it shows, it does not act.
void paintCap(QPainter& painter, const QRect& cap, const QString& name) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF shape = QRectF(cap).adjusted(0.5, 0.5, -0.5, -0.5);
    if (name.isEmpty()) {
        painter.setPen(QPen(QColor(0x4a, 0x4f, 0x5a), 1, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(shape, 4, 4);
    } else {
        painter.setPen(QPen(kAccent, 1));
        painter.setBrush(QColor(0x24, 0x33, 0x3d));
        painter.drawRoundedRect(shape, 4, 4);
        painter.setPen(Qt::white);
        drawLabel(painter, cap, Qt::AlignCenter | Qt::TextSingleLine, name);
    }
    painter.restore();
}

void paintPlus(QPainter& painter, QPoint centre) {
    painter.fillRect(QRect(centre.x() - 4, centre.y() - 1, 9, 2), kAccent);
    painter.fillRect(QRect(centre.x() - 1, centre.y() - 4, 2, 9), kAccent);
}

} // namespace

KeyCombinationDialog::KeyCombinationDialog(std::shared_ptr<SkinImageCache> skin,
                                           MessageSink& messages, Language language,
                                           QColor textColor)
    : SkinnedDialog(std::move(skin), messages, Dragging::NotAllowed),
      title_(qstr(mainWindowTexts(language).comboKey)),
      prompt_(qstr(keyCombinationDialogTexts(language).prompt)),
      hint_(qstr(keyboardTexts(language).comboKeyHint)) {
    resize(skin::kKeyDialog.width, skin::kKeyDialog.height);
    setWindowTitle(title_);
    const KeyCombinationDialogTexts& texts = keyCombinationDialogTexts(language);
    addFrameButtons(qstr(texts.ok), qstr(texts.cancel), qstr(keyboardTexts(language).close));
    if (!loadBackground("/combo-key.png", kBackgroundFailed))
        return;
    setTextFont(qtFontFor(WindowFont::SmallDialog, language));
    setTextColor(textColor);
    const KeyboardTexts& named = keyboardTexts(language);
    modifierId_ =
        elements().add({.rect = kModifierClickRect,
                        .onClick = [this](QPoint) { toggleModifierList(); },
                        .name = [name = qstr(named.modifier)] { return name; },
                        .role = ElementRole::DropDown,
                        .valueText = [this] { return QString::fromStdString(modifierName_); },
                        .expanded = [this] { return !list_.isNull(); }});

    // The fields only show what was captured; typing into them would add
    // the key's character to its name.
    const QString fieldStyle =
        QStringLiteral("QLineEdit { color: white; background: %1; border: 0; }"
                       "QLineEdit:focus { background: %2; }"
                       "QLineEdit:disabled { color: #8a8f99; }")
            .arg(kFieldBackground.name(), QColor(58, 62, 70).name());
    for (QLineEdit** field : {&field1_, &field2_}) {
        *field = new QLineEdit(this);
        (*field)->setReadOnly(true);
        (*field)->setAlignment(Qt::AlignCenter);
        (*field)->setFocusPolicy(Qt::ClickFocus);
        (*field)->setFrame(false);
        (*field)->setStyleSheet(fieldStyle);
        (*field)->setContextMenuPolicy(Qt::NoContextMenu);
    }
    placeChild(field1_, kKeyField1Rect, textFont());
    placeChild(field2_, kKeyField2Rect, textFont());
    // For the keyboard the fields are controls of the face: Space on one
    // takes the next key into it. A click into one is the pointer's way.
    for (QLineEdit* field : {field1_, field2_}) {
        watchPointer(field);
        const bool first = field == field1_;
        elements().add(
            {.rect = first ? kKeyField1Rect : kKeyField2Rect,
             .onClick = [this, field](QPoint) { startKeyboardCapture(field); },
             .active = [this,
                        field] { return openedBy() == OpenedBy::Keyboard && field->isEnabled(); },
             .name = [name = qstr(first ? named.key1 : named.key2)] { return name; },
             .valueText = [field] { return field->text(); }});
    }
    addAccessibleFaceText(
        *this, {[] { return kHintRect; },
                [this] { return openedBy() == OpenedBy::Keyboard ? hint_ : QString(); }});
    // No field has the focus at first: keys go nowhere until one is clicked.
    // Clicks elsewhere on the dialog leave the focus where it is.
    setFocusPolicy(Qt::TabFocus);
    setFocus(Qt::OtherFocusReason);
    // Tab is a key to capture into the field, which keeps the focus.
    setTabKeys(TabKeys::AreInput);

    capture_ = std::make_unique<KeyCapture>(
        [this](const std::string& name, const QKeyEvent& event) { return onKey(name, event); });
    connect(this, &SkinnedDialog::ended, this, [this] { capture_.reset(); });
}

KeyCombinationDialog::~KeyCombinationDialog() = default;

QLineEdit* KeyCombinationDialog::focusedField() const {
    // The dialog's own focus, which a click into a field sets; keys reach
    // the program only while the dialog is the active window anyway.
    QWidget* focused = focusWidget();
    if (focused == field1_ || focused == field2_)
        return static_cast<QLineEdit*>(focused);
    return nullptr;
}

void KeyCombinationDialog::captureInto(QLineEdit* field, const std::string& name) {
    if (field == field1_ && field1_->isEnabled()) {
        key1Name_ = name;
        field1_->setText(QString::fromStdString(name));
    } else if (field && field == field2_ && field2_->isEnabled()) {
        key2Name_ = name;
        field2_->setText(QString::fromStdString(name));
    }
    updateFace(kCombinationRect);
}

bool KeyCombinationDialog::onKey(const std::string& name, const QKeyEvent& event) {
    if (openedBy() == OpenedBy::Keyboard)
        return onKeyboardOpenedKey(name, event);
    if (QLineEdit* focused = focusedField())
        captureInto(focused, name);
    return isDialogEndingKey(event);
}

void KeyCombinationDialog::openedByChanged() {
    if (!capture_)
        return SkinnedDialog::openedByChanged();
    if (openedBy() == OpenedBy::Keyboard) {
        setTabKeys(TabKeys::MoveFocus);
        focusElement(*modifierId_);
        return;
    }
    // The pointer's dialog: keys go to the field clicked into, Tab too.
    boundedCapture_ = nullptr;
    captureKeys_.clear();
    setTabKeys(TabKeys::AreInput);
}

void KeyCombinationDialog::startKeyboardCapture(QLineEdit* field) {
    if (!capture_ || openedBy() != OpenedBy::Keyboard || !field->isEnabled())
        return;
    boundedCapture_ = field;
    captureKeys_.clear();
    // The field with the focus is the one that takes the keys.
    setTabKeys(TabKeys::AreInput);
    field->setFocus(Qt::OtherFocusReason);
    update();
}

bool KeyCombinationDialog::onKeyboardOpenedKey(const std::string& name, const QKeyEvent& event) {
    if (!boundedCapture_)
        return false;
    const CaptureKeys::Step step = captureKeys_.take(event);
    if (step == CaptureKeys::Step::Outside)
        return true;
    captureInto(boundedCapture_, name);
    if (step == CaptureKeys::Step::Ended) {
        // Every key of the capture is up: the keyboard moves on to OK.
        boundedCapture_ = nullptr;
        setTabKeys(TabKeys::MoveFocus);
        setFocus(Qt::OtherFocusReason);
        if (okId())
            focusElement(*okId());
    }
    return true;
}

void KeyCombinationDialog::toggleModifierList() {
    if (list_) {
        closeModifierList();
        return;
    }
    QStringList names;
    for (const ModifierRow& row : kModifierNameTable)
        names << qstr(row.name);
    list_ = new SkinListBox(this, kModifierListRect, names,
                            {Qt::white, kFieldBackground, QColor(0x19, 0x6f, 0x9e)}, textFont());
    connect(list_, &SkinListBox::chosen, this, [this](int row) { chooseModifier(row); });
    setFieldsEnabled(false);
}

void KeyCombinationDialog::closeModifierList() {
    if (list_)
        list_->discard();
    list_ = nullptr;
    setFieldsEnabled(true);
}

void KeyCombinationDialog::chooseModifier(int row) {
    if (row < 0 || row >= static_cast<int>(kModifierNameTable.size()))
        return;
    modifierName_ = std::string(kModifierNameTable[static_cast<std::size_t>(row)].name);
    modifierPosition_ = row;
    closeModifierList();
    update();
}

void KeyCombinationDialog::setFieldsEnabled(bool enabled) {
    if (!field1_)
        return;
    // Disabling takes the focus away from a field; it gets it back with the
    // list closed, so the user need not click it again.
    QLineEdit* focused = enabled ? fieldBeforeList_ : focusedField();
    field1_->setEnabled(enabled);
    field2_->setEnabled(enabled);
    if (!enabled) {
        fieldBeforeList_ = focused;
    } else if (focused) {
        focused->setFocus(Qt::OtherFocusReason);
        fieldBeforeList_ = nullptr;
    }
}

bool KeyCombinationDialog::beforeClick(QPoint position) {
    // A click anywhere but the list and its opener closes the list; the click
    // itself still counts (OK, Cancel).
    if (list_ && !kModifierClickRect.contains(position))
        closeModifierList();
    return false;
}

void KeyCombinationDialog::paintFace(QPainter& painter) {
    paintTitle(painter, title_);
    paintCloseButton(painter);
    if (!field1_)
        return;
    const int promptFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
    painter.setFont(fittedWrappedFont(textFont(), prompt_, kPromptRect, promptFlags));
    painter.setPen(textColor());
    drawWrappedText(painter, kPromptRect, promptFlags, prompt_);
    painter.fillRect(kModifierDisplayRect, kFieldBackground);
    painter.setFont(textFont());
    painter.setPen(Qt::white);
    drawLabel(painter, kModifierDisplayRect, Qt::AlignCenter | Qt::TextSingleLine,
              QString::fromStdString(modifierName_));
    paintCombination(painter);
    painter.setFont(textFont());
    paintHint(painter, kHintRect, hint_);
}

void KeyCombinationDialog::paintCombination(QPainter& painter) {
    const QStringList names = {QString::fromStdString(modifierName_),
                               QString::fromStdString(key1Name_),
                               QString::fromStdString(key2Name_)};
    const QRect room = kCombinationRect;
    // One size for the three names: the one the widest needs.
    const QFont font = fittedFont(textFont(), names, room.width() - 2 * kCapPadding);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    int top = room.top() + (room.height() - 3 * kCapHeight - 2 * kPlusHeight) / 2;
    for (int part = 0; part < 3; ++part) {
        const QString& name = names[part];
        const int width = std::clamp(metrics.horizontalAdvance(name) + 2 * kCapPadding,
                                     kCapMinWidth, room.width());
        paintCap(painter, QRect(room.center().x() - width / 2, top, width, kCapHeight), name);
        top += kCapHeight;
        if (part < 2) {
            paintPlus(painter, QPoint(room.center().x(), top + kPlusHeight / 2));
            top += kPlusHeight;
        }
    }
}

} // namespace qvr
