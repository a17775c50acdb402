#include "gui/window/message_boxes.h"

#include "gui/widgets/qt_fonts.h"
#include "gui/widgets/skinned_window.h"

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleOption>

namespace qvr {

namespace {

// The buttons of a message box show the keyboard's focus as the skinned
// windows do: a ring in the accent colour in place of the style's own
// focus frame.
class FocusRingStyle final : public QProxyStyle {
  public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override {
        if (element == PE_FrameFocusRect)
            return;
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        const auto* button = qstyleoption_cast<const QStyleOptionButton*>(option);
        if (element != CE_PushButton || !button || !(option->state & State_HasFocus)) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        QStyleOptionButton plain(*button);
        plain.state &= ~State_HasFocus;
        QProxyStyle::drawControl(element, &plain, painter, widget);
        if (!(option->state & State_KeyboardFocusChange))
            return;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        const QRectF outer = QRectF(option->rect);
        QPainterPath ring;
        ring.setFillRule(Qt::OddEvenFill);
        ring.addRoundedRect(outer, 4, 4);
        ring.addRoundedRect(outer.adjusted(2, 2, -2, -2), 2, 2);
        painter->fillPath(ring, focusMarkColour());
        painter->restore();
    }
};

// One style for every box; it lives as long as the program.
QStyle* focusRingStyle() {
    static QStyle* const style = [] {
        QStyle* made = new FocusRingStyle;
        made->setParent(qApp);
        return made;
    }();
    return style;
}

// The buttons ringed in the accent colour and named for screen readers; a
// box opened from the keyboard shows the ring at once.
void prepare(QMessageBox& box, QWidget* owner) {
    for (QAbstractButton* button : box.buttons()) {
        button->setStyle(focusRingStyle());
        if (button->accessibleName().isEmpty()) {
            QString name = button->text();
            name.replace("&&", QChar(1)).remove('&').replace(QChar(1), "&");
            button->setAccessibleName(name);
        }
    }
    box.setAccessibleName(box.windowTitle());
    const SkinnedWindow* skinned = owner ? skinnedWindowOf(owner->window()) : nullptr;
    if (skinned && skinned->focusMarkShown())
        box.setAttribute(Qt::WA_KeyboardFocusChange);
}

QPushButton* addButton(QMessageBox& box, const std::string& text, QMessageBox::ButtonRole role) {
    // Plain text: a "&" in a caption is shown, not taken as a shortcut.
    const QString name = QString::fromStdString(text);
    QPushButton* button = box.addButton(QString(name).replace("&", "&&"), role);
    button->setAccessibleName(name);
    return button;
}

} // namespace

void MessageBoxes::showMessage(std::string text, std::string caption) {
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::Ok, owner_);
    // Enter and Escape both close it: there is nothing to cancel.
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
    prepare(box, owner_);
    box.exec();
}

UnsavedChoice MessageBoxes::askUnsavedChanges(std::string text, std::string caption,
                                              const std::array<std::string, 3>& buttons) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::NoButton, owner_);
    QPushButton* save = addButton(box, buttons[0], QMessageBox::AcceptRole);
    QPushButton* discard = addButton(box, buttons[1], QMessageBox::DestructiveRole);
    QPushButton* cancel = addButton(box, buttons[2], QMessageBox::RejectRole);
    box.setDefaultButton(save);
    box.setEscapeButton(cancel);
    prepare(box, owner_);
    box.exec();
    if (box.clickedButton() == save)
        return UnsavedChoice::Save;
    if (box.clickedButton() == discard)
        return UnsavedChoice::Discard;
    return UnsavedChoice::Cancel;
}

bool MessageBoxes::confirm(std::string text, std::string caption,
                           const std::array<std::string, 2>& buttons, bool escapeAnswer) {
    QMessageBox box(QMessageBox::Question, QString::fromStdString(caption),
                    QString::fromStdString(text), QMessageBox::NoButton, owner_);
    QPushButton* yes = addButton(box, buttons[0], QMessageBox::AcceptRole);
    QPushButton* no = addButton(box, buttons[1], QMessageBox::RejectRole);
    // Enter and Escape both give the answer that loses nothing; the other
    // is a Tab away.
    QPushButton* safe = escapeAnswer ? yes : no;
    box.setDefaultButton(safe);
    box.setEscapeButton(safe);
    prepare(box, owner_);
    box.exec();
    if (box.clickedButton() == yes)
        return true;
    if (box.clickedButton() == no)
        return false;
    return escapeAnswer;
}

} // namespace qvr
