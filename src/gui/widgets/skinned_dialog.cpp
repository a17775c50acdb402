#include "gui/widgets/skinned_dialog.h"

#include "gui/widgets/key_event_names.h"
#include "gui/widgets/label_text.h"
#include "gui/widgets/window_placement.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QWindow>

namespace qvr {

SkinnedDialog::SkinnedDialog(std::shared_ptr<SkinImageCache> skin, MessageSink& messages,
                             Dragging dragging)
    : ModalSkinnedWindow(std::move(skin), messages, nullptr, dragging) {
    // A top-level of its own, made a transient of the window it opens over;
    // modality keeps the main window out of reach while it is open.
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    setWindowModality(Qt::ApplicationModal);
    setFocusPolicy(Qt::StrongFocus);
}

void SkinnedDialog::centreOver(QWidget* window) {
    centreOverOwner(*this, window);
    if (const auto* owner = qobject_cast<SkinnedWindow*>(window); owner && owner->focusMarkShown())
        setOpenedBy(OpenedBy::Keyboard);
}

void SkinnedDialog::setOpenedBy(OpenedBy by) {
    if (by == openedBy_)
        return;
    openedBy_ = by;
    openedByChanged();
    update();
}

void SkinnedDialog::openedByChanged() {
    if (openedBy_ != OpenedBy::Keyboard)
        return;
    const std::vector<ElementTable::Id> order = focusOrder();
    // The close button comes first in reading order; the first control
    // that does something else is where the keyboard starts.
    const auto start = std::ranges::find_if(order, [this](ElementTable::Id id) {
        return id != closeId_ && elements().rectOf(id) != kCloseRect;
    });
    if (start != order.end())
        focusElement(*start);
}

void SkinnedDialog::watchPointer(QWidget* child) {
    child->installEventFilter(this);
}

bool SkinnedDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
        setOpenedBy(OpenedBy::Pointer);
    return ModalSkinnedWindow::eventFilter(watched, event);
}

void SkinnedDialog::mousePressEvent(QMouseEvent* event) {
    setOpenedBy(OpenedBy::Pointer);
    ModalSkinnedWindow::mousePressEvent(event);
}

void SkinnedDialog::paintHint(QPainter& painter, QRect room, const QString& hint) {
    if (openedBy_ != OpenedBy::Keyboard)
        return;
    painter.save();
    const int flags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
    painter.setFont(fittedWrappedFont(textFont(), hint, room, flags));
    painter.setPen(QColor(0x19, 0xc3, 0xff));
    drawWrappedText(painter, room, flags, hint);
    painter.restore();
}

void SkinnedDialog::addFrameButtons(const QString& okText, const QString& cancelText,
                                    const QString& closeName) {
    closeName_ = closeName;
    const QString stem = QStringLiteral("/MacroManagement/button-new");
    okId_ = elements().add(
        {.rect = kOkRect, .image = stem, .hover = true, .label = okText, .onClick = [this](QPoint) {
             done(DialogResult::Ok);
         }});
    elements().add({.rect = kCancelRect,
                    .image = stem,
                    .hover = true,
                    .label = cancelText,
                    .onClick = [this](QPoint) { done(DialogResult::Cancel); }});
    closeId_ = elements().add({.rect = kCloseRect, .hover = true, .onClick = [this](QPoint) {
                                   done(DialogResult::Cancel);
                               }});
    elements()[*closeId_].name = [this] { return closeName_; };
}

void SkinnedDialog::paintCloseButton(QPainter& painter) {
    if (!closeId_)
        return;
    const QSize image(skin::kCloseImage.width, skin::kCloseImage.height);
    QRect placed(QPoint(), image);
    placed.moveCenter(kCloseRect.center());
    skin().draw(painter,
                hoveredElement() == closeId_ ? "/button-close-over.png"
                                             : "/button-close-normal.png",
                placed.topLeft());
}

void SkinnedDialog::paintTitle(QPainter& painter, const QString& title) {
    painter.save();
    QFont font = textFont();
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(textColor());
    drawLabel(painter, edges(12, 0, 340, 30), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
              title);
    painter.restore();
}

void SkinnedDialog::keyPressEvent(QKeyEvent* event) {
    if (endingKeys_ == EndingKeys::OkAndCancel && isDialogEndingKey(*event) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        done(event->key() == Qt::Key_Escape ? DialogResult::Cancel : DialogResult::Ok);
        event->accept();
        return;
    }
    // Otherwise keys are the dialog's input, never its commands; only Space
    // presses the control the keyboard is on, where Tab moves among them,
    // and the arrows move within a group.
    faceKey(*event);
    event->accept();
}

bool isDialogEndingKey(const QKeyEvent& event) {
    const int key = event.key();
    return event.type() == QEvent::KeyPress &&
           (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape);
}

KeyCapture::KeyCapture(Handler handler) : handler_(std::move(handler)) {
    QCoreApplication::instance()->installEventFilter(this);
}

KeyCapture::~KeyCapture() {
    if (QCoreApplication* app = QCoreApplication::instance())
        app->removeEventFilter(this);
}

bool KeyCapture::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease)
        return false;
    // A keystroke reaches its window first and then travels on through the
    // widgets; naming it at the window names it exactly once.
    if (!qobject_cast<QWindow*>(watched))
        return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    return handler_(keyNameFromKeyEvent(key), key);
}

} // namespace qvr
