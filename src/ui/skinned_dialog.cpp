#include "ui/skinned_dialog.h"

#include "ui/key_event_names.h"
#include "ui/label_text.h"
#include "ui/window_placement.h"

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
}

void SkinnedDialog::addFrameButtons(const QString& okText, const QString& cancelText) {
    const QString stem = QStringLiteral("/MacroManagement/button-new");
    elements().add(
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
    // Keys are the dialog's input, never its commands; only Space presses
    // the control the keyboard is on, where Tab moves among them.
    pressFocusedElement(*event);
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
