#pragma once

#include "config/profile_files.h"
#include "ui/language_tables.h"
#include "ui/list_box_editor.h"
#include "ui/skinned_window.h"

#include <QPointer>
#include <functional>
#include <memory>

class QListWidget;
#include <QMenu>

namespace qvr {

// What the profile manager asks of the main window (its message 0x0B03).
enum class ProfileCommand { Import = 0, Export = 1, Redraw = 2 };

struct ProfileManagerSetup {
    std::shared_ptr<SkinImageCache> skin;
    MessageSink* messages = nullptr;
    Language language = Language::English;
    QColor textColor{0, 255, 0};
    ProfileFiles* profile = nullptr; // global settings path and current index
    // Posted to the main window: the command and the list position.
    std::function<void(ProfileCommand, int position)> post;
};

// The profile manager: a small see-through window listing the profile names
// of "str.ini". It edits names only; a name's position picks the profile's
// files. The list is read when it opens and written when its close button
// is pressed.
class CConfigDialog : public SkinnedWindow {
    Q_OBJECT

  public:
    static constexpr QRect kCloseRect = edges(240, 8, 255, 23);
    static constexpr QRect kListRect = edges(0, 31, 263, 575);
    static constexpr QRect kNewRect = edges(0, 575, 263, 598);
    static constexpr QRect kTitleRect = edges(30, 0, 230, 31);
    static constexpr double kOpacity = 178 / 255.0;

    explicit CConfigDialog(ProfileManagerSetup setup);

    // False when the background is missing: the window must not be shown.
    bool created() const { return hasBackground(); }
    QListWidget& list() const { return *list_; }
    CLBEditorWnd* editor() const { return editor_; }
    const ProfileManagerTexts& texts() const { return texts_; }

    void NewProfileName();
    void DeleteProfileName();
    void RenameProfileName();
    void CopyProfileName();
    void LoadProfileCommand();
    void SaveProfileCommand();
    // The close button: writes the list, makes the selection current, asks
    // the main window to redraw, and closes.
    void closeDialog();

    // The context menu with the language's texts; each action runs its command.
    std::unique_ptr<QMenu> contextMenu();

  signals:
    void closed();

  protected:
    void paintFace(QPainter& painter) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void readList();
    std::optional<int> selectedRow() const;
    std::vector<std::string> names() const;
    void finishRename(int row, std::optional<QString> typed);
    void post(ProfileCommand command, int position);

    ProfileManagerSetup setup_;
    const ProfileManagerTexts& texts_;
    QListWidget* list_ = nullptr;
    QPointer<CLBEditorWnd> editor_;
    int lastSelected_ = -1;
    bool selecting_ = false;
};

} // namespace qvr
