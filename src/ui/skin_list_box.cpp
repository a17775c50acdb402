#include "ui/skin_list_box.h"

#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QWheelEvent>
#include <algorithm>

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
    setFont(font);
    setStyleSheet(QStringLiteral("QListWidget { color: %1; background: %2; border: 1px solid %3; "
                                 "outline: 0; }"
                                 "QListWidget::item { padding-left: 3px; border: 0; }"
                                 "QListWidget::item:selected { color: %1; background: %4; }")
                      .arg(colours.text.name(), colours.background.name(), colours.selection.name(),
                           colours.selection.name()));
    for (const QString& entry : entries) {
        auto* item = new QListWidgetItem(entry, this);
        item->setSizeHint(QSize(0, kRowHeight));
    }
    // Sized after the style sheet, whose padding the entries' width counts.
    ensurePolished();
    int widest = 0;
    for (int row = 0; row < count(); ++row)
        widest = std::max(widest, entryWidth(row));
    const int frame = 2 * frameWidth();
    geometry.setWidth(std::max(geometry.width(), widest + frame));
    setGeometry(geometry);
    show();
}

int SkinListBox::entryWidth(int row) const {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.text = item(row)->text();
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.rect = QRect(0, 0, QWIDGETSIZE_MAX, kRowHeight);
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
