#pragma once

#include "core/profiles/profile_files.h"
#include "core/profiles/profile_slots.h"
#include "core/profiles/user_folder.h"
#include "core/text/language_tables.h"
#include "gui/session/profile_host.h"
#include "gui/widgets/list_item_editor.h"
#include "gui/widgets/skinned_window.h"

#include <QPointer>
#include <functional>
#include <memory>

class QListWidget;
#include <QMenu>

namespace qvr {

// What the profile manager asks of the main window.
enum class ProfileCommand { Import, Export, Redraw };

struct ProfileManagerSetup {
    std::shared_ptr<SkinImageCache> skin;
    MessageSink* messages = nullptr;
    Language language = Language::English;
    QColor textColor{0, 255, 0};
    ProfileFiles* profile = nullptr; // the profile folder
    ProfileHost* host = nullptr;
    SlotFault slotFault; // tests interrupt file changes with it
    // Posted to the main window: the command and the list position.
    std::function<void(ProfileCommand, int position)> post;
    // Opens the rules of automatic switching over the manager; none: the
    // menu has no such command.
    std::function<void(QWidget* owner)> openAutoSwitch;
};

// The profile manager: a small see-through window listing the profile names
// of "str.ini". A name's position picks the profile's files, so every change
// of the list moves, copies or creates those files with it and then writes
// the list.
class ProfileManagerDialog : public SkinnedWindow {
    Q_OBJECT

  public:
    static constexpr QRect kCloseRect = edges(240, 8, 255, 23);
    static constexpr QRect kListRect = edges(0, 31, 263, 575);
    static constexpr QRect kNewRect = edges(0, 575, 263, 598);
    static constexpr QRect kTitleRect = edges(30, 0, 230, 31);
    static constexpr double kOpacity = 178 / 255.0;

    explicit ProfileManagerDialog(ProfileManagerSetup setup);
    ~ProfileManagerDialog() override;

    // False when the background is missing: the window must not be shown.
    bool created() const { return hasBackground(); }
    QListWidget& list() const { return *list_; }
    ListItemEditor* editor() const { return editor_; }
    const ProfileManagerTexts& texts() const { return *texts_; }
    // Redraws the open dialog in another language.
    void setLanguage(Language language);

    void addProfile();
    void deleteProfile();
    void renameProfile();
    void copyProfile();
    void loadProfileFromFile();
    void saveProfileToFile();
    // The close button: makes the selected profile the window's (the window
    // may ask about unsaved changes; Cancel keeps the manager open), writes
    // the list, asks the main window to redraw, and closes.
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
    void addName(const std::string& stored);
    void selectRow(int row);
    bool writeList();
    // Tells the user and returns true when position holds a profile's files.
    bool refusesTakenPosition(int position);
    void showNotes(const UserFolderReport& report);
    void reportFailure(const FileWriteResult& result);
    void finishRename(int row, std::optional<QString> typed);
    void post(ProfileCommand command, int position);

    ProfileManagerSetup setup_;
    const ProfileManagerTexts* texts_;
    ElementTable::Id newId_ = 0;
    QListWidget* list_ = nullptr;
    QMetaObject::Connection listFocusWatch_;
    QPointer<ListItemEditor> editor_;
    ProfileSlots slots_;
    int lastSelected_ = -1;
    bool selecting_ = false;
};

} // namespace qvr
