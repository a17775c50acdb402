#include "gui/widgets/skin_list_box.h"

#include "gui/widgets/skinned_window.h"

#include <QAccessible>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

namespace qvr {

SkinListBox::SkinListBox(QWidget* parent, QRect geometry, const QStringList& entries,
                         ListColours colours, const QFont& font)
    : QListWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
    setFrameShape(QFrame::Box);
    setLineWidth(1);
    const qreal scale = faceScale();
    const SkinnedWindow* window = skinnedWindowOf(parent);
    setFont(window ? window->scaledFont(font) : font);
    setStyleSheet(QStringLiteral("QListWidget { color: %1; background: %2; border: 1px solid %3; "
                                 "outline: 0; }"
                                 "QListWidget::item { padding-left: 3px; border: 0; }"
                                 "QListWidget::item:selected { color: %1; background: %4; }")
                      .arg(colours.text.name(), colours.background.name(), colours.selection.name(),
                           colours.selection.name()));
    for (const QString& entry : entries) {
        auto* item = new QListWidgetItem(entry, this);
        item->setSizeHint(QSize(0, qRound(kRowHeight * scale)));
    }
    // Sized after the style sheet, whose padding the entries' width counts.
    ensurePolished();
    int widest = 0;
    for (int row = 0; row < count(); ++row)
        widest = std::max(widest, entryWidth(row));
    const int frame = 2 * frameWidth();
    geometry.setWidth(
        std::max(geometry.width(), static_cast<int>(std::ceil((widest + frame) / scale))));
    face_ = geometry;
    placeOnFace(this, face_, font);
    show();
}

qreal SkinListBox::faceScale() const {
    const SkinnedWindow* window = skinnedWindowOf(parentWidget());
    return window ? window->faceScale() : 1.0;
}

QRect SkinListBox::faceEntryRect(int row) const {
    const QRect shown = entryRect(row);
    const qreal scale = faceScale();
    const auto at = [scale](int pixel) { return static_cast<int>(std::lround(pixel / scale)); };
    return QRect(
        QPoint(at(shown.left()), at(shown.top())),
        QPoint(at(shown.left() + shown.width()) - 1, at(shown.top() + shown.height()) - 1));
}

int SkinListBox::entryWidth(int row) const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.text = item(row)->text();
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.rect = QRect(0, 0, QWIDGETSIZE_MAX, qRound(kRowHeight * faceScale()));
    const QModelIndex index = indexFromItem(item(row));
    option.index = index;
    return style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), this).width();
}

QRect SkinListBox::entryRect(int row) const {
    return visualItemRect(item(row));
}

void SkinListBox::scrollByNotches(int notches) {
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() - notches * kRowsPerNotch);
}

void SkinListBox::moveCurrent(int rows) {
    if (count() == 0)
        return;
    const int from = currentRow() < 0 ? (rows > 0 ? -1 : count()) : currentRow();
    const int row = std::clamp(from + rows, 0, count() - 1);
    if (row != currentRow())
        setCurrentRow(row);
    scrollToItem(item(row));
    // The list never has the focus; a screen reader is told where the
    // keyboard is in it all the same.
    if (QAccessible::isActive()) {
        QAccessibleEvent moved(this, QAccessible::Focus);
        moved.setChild(row);
        QAccessible::updateAccessibility(&moved);
    }
    emit hovered(row);
}

void SkinListBox::chooseCurrent() {
    if (currentRow() >= 0)
        emit chosen(currentRow());
}

void SkinListBox::discard() {
    hide();
    deleteLater();
}

void SkinListBox::mouseMoveEvent(QMouseEvent* event) {
    const int row = indexAt(event->position().toPoint()).row();
    if (row < 0)
        return;
    if (row != currentRow())
        setCurrentRow(row);
    emit hovered(row);
}

void SkinListBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return;
    // A choice by the pointer: what it opens is the pointer's.
    if (SkinnedWindow* window = skinnedWindowOf(parentWidget()))
        window->pointerPressed();
    const int row = indexAt(event->position().toPoint()).row();
    if (row < 0)
        return;
    setCurrentRow(row);
    emit chosen(row);
}

void SkinListBox::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void SkinListBox::mouseReleaseEvent(QMouseEvent*) {
    // The press chose already; the release has nothing left to do.
}

void SkinListBox::wheelEvent(QWheelEvent* event) {
    scrollByNotches(event->angleDelta().y() / kWheelNotch);
    event->accept();
}

} // namespace qvr
