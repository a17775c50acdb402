#pragma once

#include <QListWidget>
#include <QTest>

namespace qvr::test {

// A double click on a list row, as the mouse gives it.
inline void doubleClickRow(QListWidget& list, int row) {
    const QPoint at = list.visualItemRect(list.item(row)).center();
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, at);
}

} // namespace qvr::test
