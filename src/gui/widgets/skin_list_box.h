#pragma once

#include <QColor>
#include <QListWidget>
#include <QStringList>

namespace qvr {

// The colours of a native list on a skinned window.
struct ListColours {
    QColor text;
    QColor background;
    QColor selection; // the entry under the pointer
};

// A drop-down list of a skinned window: a plain list box with rows of a
// fixed height, whose selection follows the pointer and where a press on an
// entry (or a double click) chooses it. It never takes the keyboard focus, so
// keystrokes stay with the window. Owners destroy it with discard().
class SkinListBox : public QListWidget {
    Q_OBJECT

  public:
    static constexpr int kRowHeight = 16;

    // The list keeps the geometry's position and grows wider where its
    // longest entry needs it.
    SkinListBox(QWidget* parent, QRect geometry, const QStringList& entries, ListColours colours,
                const QFont& font);

    // The width an entry takes in this list's font and style, margins
    // included; it fits when no wider than the list's client area.
    int entryWidth(int row) const;

    // The rectangle of an entry in the list's client area.
    QRect entryRect(int row) const;
    // Where the list and an entry lie in its window's face pixels (the
    // window may draw its face smaller than those).
    QRect faceGeometry() const { return face_; }
    QRect faceEntryRect(int row) const;
    // Scrolls by whole rows; positive notches go up, three rows each.
    void scrollByNotches(int notches);
    // The keyboard's way through the list: moves the current entry by rows
    // (held at the ends) as the pointer would, and chooses it.
    void moveCurrent(int rows);
    void chooseCurrent();
    // Hides at once and deletes once the event that caused it is handled.
    void discard();

  signals:
    void hovered(int row);
    void chosen(int row);

  protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    qreal faceScale() const;

    QRect face_;
};

inline constexpr int kWheelNotch = 120;
inline constexpr int kRowsPerNotch = 3;

} // namespace qvr
