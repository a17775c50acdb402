#pragma once

#include <QLineEdit>
#include <functional>
#include <optional>

class QListWidget;

namespace qvr {

// The in-place editor of a list line: a bordered edit box over the line (one
// pixel larger on each side) with the list's font and the line's text. Enter,
// Tab, a click outside it or the loss of focus commit; Esc cancels. It calls
// its handler once, with the typed text or nullopt when cancelled, and then
// deletes itself.
class ListItemEditor : public QLineEdit {
    Q_OBJECT

  public:
    using Finished = std::function<void(std::optional<QString> typed)>;

    // Opens the editor over the list's row; nullptr when the row does not
    // exist. While an edit of the list is open, that editor is returned.
    static ListItemEditor* open(QListWidget& list, int row, Finished finished);

    ~ListItemEditor() override;

    int row() const { return row_; }
    void commit();
    void cancel();

  protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    ListItemEditor(QListWidget& list, int row, Finished finished);
    void finish(std::optional<QString> typed);

    int row_;
    Finished finished_;
    bool closed_ = false;
};

} // namespace qvr
