#pragma once

#include "core/files/file_journal.h"
#include "core/macros/macro_encoder.h"
#include "core/macros/macro_recorder.h"
#include "core/macros/macro_store.h"
#include "core/record/config_record.h"
#include "core/text/language_tables.h"
#include "gui/widgets/list_item_editor.h"
#include "gui/widgets/modal_runner.h"

#include <QPointer>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <optional>

class QLineEdit;
class QListWidget;
#include <QMenu>

namespace qvr {

class KeyRecordingFilter;

// What the recorder remembers across openings of the macro manager: whether
// the most recent recording of this run has been stopped (Enter then acts
// as OK).
struct RecorderMemory {
    bool recordingStopped = false;
};

struct MacroManagerSetup {
    std::shared_ptr<SkinImageCache> skin;
    MessageSink* messages = nullptr;
    Language language = Language::English;
    QColor textColor{0, 255, 0};
    std::filesystem::path storePath; // "record.ini"
    RecorderMemory* memory = nullptr;
    // A millisecond counter that may wrap; the system's steady clock when empty.
    std::function<std::uint32_t()> tick;
    // The other files of the store's folder that name a macro being renamed,
    // with their new text: the rename writes them together with the store.
    std::function<std::vector<FileChange>(std::string_view oldName, std::string_view newName)>
        renameAlongside;
};

// The macro manager: the macro list, the event list of the selected macro,
// the recorder and the options. Every edit goes to "record.ini" at once; OK
// also builds the macro table.
class MacroManagerDialog : public ModalSkinnedWindow {
    Q_OBJECT

  public:
    static constexpr QRect kCloseRect = edges(427, 17, 478, 41);
    static constexpr QRect kRecordRect = edges(295, 87, 384, 111);
    static constexpr QRect kRecordDelaysTick = edges(370, 144, 384, 158);
    static constexpr QRect kLoopTick = edges(296, 314, 310, 328);
    static constexpr QRect kLoopTimesField = edges(298, 333, 379, 345);
    static constexpr QRect kNameList = edges(21, 82, 130, 353);
    static constexpr QRect kEventList = edges(153, 82, 262, 353);
    static constexpr QRect kNewRect = edges(17, 367, 75, 392);
    static constexpr QRect kDeleteRect = edges(77, 367, 135, 392);
    static constexpr QRect kOkRect = edges(298, 394, 352, 422);
    static constexpr QRect kCancelRect = edges(354, 394, 408, 422);
    static constexpr QRect kMacroCaption = edges(16, 60, 134, 78);
    static constexpr QRect kEventCaption = edges(148, 60, 266, 78);
    static constexpr QRect kOptionCaption = edges(279, 60, 397, 78);
    static constexpr QRect kTitleRect = edges(15, 0, 414, 31);
    static constexpr QRect kRecordDelaysText = edges(290, 136, 370, 166);
    static constexpr QRect kLoopTimesText = edges(315, 314, 390, 328);

    enum class EventCommand { Delete, InsertLeft, InsertMiddle, InsertRight, InsertDelay };

    explicit MacroManagerDialog(MacroManagerSetup setup, QWidget* parent = nullptr);
    ~MacroManagerDialog() override;

    // The table built by OK; nullopt otherwise, or when the store could not
    // be read (the record's table should then stay as it is).
    const std::optional<MacroTable>& table() const { return table_; }
    // The renames that reached the store, in order (old name, new name).
    const std::vector<std::pair<std::string, std::string>>& renames() const { return renames_; }
    const MacroManagerTexts& texts() const { return texts_; }

    QListWidget& nameList() const { return *names_; }
    QListWidget& eventList() const { return *events_; }
    QLineEdit& loopTimesField() const { return *loopTimes_; }
    bool recording() const { return recorder_.running(); }
    bool recordDelays() const { return recordDelays_; }
    bool loopOption() const { return loop_; }
    // The in-place editor now open, if any.
    ListItemEditor* editor() const { return editor_; }

    void newMacro();
    void deleteMacro();
    void toggleRecording();
    void toggleRecordDelays();
    void toggleLoop();
    void runEventCommand(EventCommand command);
    void ok();
    void cancel() { done(DialogResult::Cancel); }

    // The event-list context menu with the language's texts; each action runs
    // its command.
    std::unique_ptr<QMenu> eventMenu();
    // The event-list context menu now shown, if any.
    QMenu* openMenu() const { return openMenu_; }

    // Saves the selected macro with the event list and options as they stand.
    void saveSelectedMacro();

  protected:
    void paintFace(QPainter& painter) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void aboutToEnd(DialogResult result) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void addElements();
    void createControls();
    void loadStore();
    std::optional<std::string> selectedName() const;
    void selectMacro(int row);
    void setLoopTimesText(const QString& text);
    void loopTimesChanged();
    void setEventItems(const std::vector<std::string>& items, std::optional<int> select);
    std::vector<std::string> eventItems() const;
    void addEventItem(const std::string& text);
    std::optional<int> selectedEvent() const;
    void eventActivated(int row);
    void nameDoubleClicked(int row);
    void finishDelayEdit(int row, std::optional<QString> typed);
    void finishRename(int row, std::optional<QString> typed);
    void startRecording();
    void stopRecording(bool save, HeldKeys held = HeldKeys::Keep);
    void recordKey(KeyDirection direction, std::string keyName, bool autoRepeat,
                   std::uint64_t timestamp);
    void appendRecorded(const std::vector<std::string>& items);
    void flushRecorder();
    void report(const FileWriteResult& result);
    std::uint32_t now() const;

    MacroManagerSetup setup_;
    const MacroManagerTexts& texts_;
    MacroStore store_;
    std::vector<std::pair<std::string, std::string>> renames_;
    RecorderMemory ownMemory_;
    RecorderMemory& memory_;
    MacroRecorder recorder_;
    QPointer<KeyRecordingFilter> filter_;
    QTimer releaseTimer_;
    QPointer<QMenu> openMenu_;
    QListWidget* names_ = nullptr;
    QListWidget* events_ = nullptr;
    QLineEdit* loopTimes_ = nullptr;
    QPointer<ListItemEditor> editor_;
    bool recordDelays_ = true;
    bool loop_ = false;
    QString acceptedLoopTimes_ = "1";
    bool settingLoopTimes_ = false;
    bool selectingEvent_ = false;
    int lastDelayActivated_ = -1;
    int lastNameActivated_ = -1;
    std::optional<MacroTable> table_;
    std::optional<std::string> startKey_;
};

} // namespace qvr
