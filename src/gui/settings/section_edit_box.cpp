#include "gui/settings/section_edit_box.h"

#include "gui/widgets/label_text.h"
#include "gui/widgets/skinned_window.h"

#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <utility>

namespace qvr {

SectionEditBox::SectionEditBox(SkinnedWindow& face, const QString& objectName, int digits,
                               std::function<void(bool typed)> changed,
                               std::function<void()> finished)
    : face_(face), edit_(new QLineEdit(&face)) {
    edit_->setObjectName(objectName);
    edit_->hide();
    connect(edit_, &QLineEdit::textEdited, this, [this] {
        typing_ = true;
        typedIn_ = true;
    });
    connect(edit_, &QLineEdit::textChanged, this,
            [this, changed = std::move(changed)] { changed(std::exchange(typing_, false)); });
    connect(edit_, &QLineEdit::editingFinished, this, [this, finished = std::move(finished)] {
        typedIn_ = false;
        finished();
    });
    edit_->setFrame(false);
    edit_->setAlignment(Qt::AlignCenter);
    // Digits only, no more than the largest value has.
    edit_->setValidator(new QRegularExpressionValidator(
        QRegularExpression(QString("[0-9]{0,%1}").arg(digits)), edit_));
}

void SectionEditBox::write(int value) {
    typedIn_ = false;
    writing_ = true;
    edit_->setText(QString::number(value));
    writing_ = false;
}

void SectionEditBox::showText(const QString& text) {
    if (edit_->text() == text)
        return;
    const QSignalBlocker block(edit_);
    edit_->setText(text);
}

void SectionEditBox::style(const QString& accessibleName, const QString& widest, int width) {
    if (edit_->accessibleName() != accessibleName)
        edit_->setAccessibleName(accessibleName);
    // A dark box that lets the skin's value frame show through, with the
    // text in the skin's colour; a disabled box greys its text.
    const QString style = QString("QLineEdit { background: transparent; color: %1; border: none; "
                                  "selection-background-color: rgb(0, 110, 190); }"
                                  "QLineEdit:disabled { color: rgb(96, 100, 110); }")
                              .arg(face_.textColor().name());
    if (style == style_)
        return;
    style_ = style;
    // The boxes are narrow: the line edit's own margins and a pixel each side.
    constexpr int kEditMargins = 6;
    edit_->setStyleSheet(style);
    face_.setChildFont(edit_, fittedFont(face_.textFont(), widest, width - kEditMargins));
}

} // namespace qvr
