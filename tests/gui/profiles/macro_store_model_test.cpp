// Random edits in the macro manager checked against a model of the macro
// store and of the record's macro table: what the mouse gets is exactly what
// the user confirmed with OK, and buttons keep playing the macro they were
// given, also after a Save that failed or was cut short and a new start.
#include "core/buttons/button_catalogue.h"
#include "core/device/mouse_protocol.h"
#include "core/macros/macro_encoder.h"
#include "core/profiles/factory_files.h"
#include "core/profiles/profile_record_file.h"
#include "core/profiles/user_folder.h"
#include "gui/profiles/macro_profile_dialogs.h"
#include "gui/session/profile_session.h"
#include "support/dialog_skin.h"
#include "support/faulting_file_system.h"
#include "support/list_clicks.h"
#include "support/macro_dialog_fixture.h"
#include "support/settings_rig.h"
#include "support/stress_count.h"
#include "support/window_rig.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QWindow>
#include <algorithm>
#include <cerrno>
#include <gtest/gtest.h>
#include <map>
#include <random>

namespace qvr {
namespace {

using test::kX11KeyA;
using test::kX11KeyB;
using test::kX11KeyC;
using test::textsOf;
using test::WindowRig;
using Items = std::vector<std::string>;
using Names = std::vector<std::string>;

struct ModelMacro {
    std::string name;
    Items items;
    bool delays = false;
    bool loop = false;
    std::string loopTimes = "1";
};

MacroImage imageOf(const ModelMacro& macro) {
    return encodeMacro(Macro{macro.name, macro.items, macro.delays, macro.loop, macro.loopTimes});
}

// What the profile's files hold, as of the last Save known to have taken.
struct SavedProfile {
    ConfigRecord record{};
    std::vector<ModelMacro> confirmed;
    std::map<int, std::string> buttons;
};

struct Model {
    std::vector<ModelMacro> store;     // "record.ini", in file order
    std::vector<ModelMacro> confirmed; // the record's table as of the last OK
    std::map<int, std::string> buttons;
    std::optional<SavedProfile> saved;

    static Names namesOf(const std::vector<ModelMacro>& macros) {
        Names names;
        for (const auto& macro : macros)
            names.push_back(macro.name);
        return names;
    }
    Names tableNames() const { return tableNamesOf(confirmed); }
    static Names tableNamesOf(const std::vector<ModelMacro>& confirmed) {
        Names names = namesOf(confirmed);
        names.resize(std::min<std::size_t>(names.size(), kMacroCount));
        return names;
    }
    MacroTable table() const {
        MacroTable table{};
        for (std::size_t k = 0; k < confirmed.size() && k < kMacroCount; ++k) {
            const MacroImage image = imageOf(confirmed[k]);
            std::copy(image.begin(), image.end(), table.begin() + k * kMacroImageSize);
        }
        return table;
    }
    std::vector<ModelMacro>::iterator find(const std::string& name) {
        return std::find_if(store.begin(), store.end(),
                            [&](const ModelMacro& m) { return m.name == name; });
    }
    void save(ModelMacro macro) {
        store.erase(find(macro.name));
        store.push_back(std::move(macro));
    }
    void rename(const std::string& from, const std::string& to) {
        auto it = find(from);
        ModelMacro moved = *it;
        store.erase(it);
        moved.name = to;
        store.push_back(moved);
        // Names are what a table position and a button refer to, in every
        // profile's files too.
        const auto renameIn = [&](std::vector<ModelMacro>& table,
                                  std::map<int, std::string>& assigned) {
            for (auto& macro : table)
                if (macro.name == from)
                    macro.name = to;
            for (auto& [button, name] : assigned)
                if (name == from)
                    name = to;
        };
        renameIn(confirmed, buttons);
        if (saved)
            renameIn(saved->confirmed, saved->buttons);
    }
};

enum class Step {
    Record,
    InsertClick,
    InsertDelay,
    DeleteEvent,
    EditDelay,
    ToggleOption,
    Rename,
    DeleteMacro,
    NewMacro,
    Ok,
    Cancel,
    Assign,
    Save,
    Close,  // the window's close button, answering its question
    Plug,   // the mouse goes and comes back
    Reset,  // the Reset button, answering its question
    Restart // a Save the disk fails or a crash cuts short, then a new start
};
constexpr int kStepKinds = 17;

bool inDialog(Step step) {
    return step < Step::Assign;
}

std::optional<std::string> selectedName(const MacroManagerDialog& dialog) {
    const QListWidgetItem* item = dialog.nameList().currentItem();
    if (!item || !item->isSelected())
        return std::nullopt;
    return item->text().toStdString();
}

class MacroStoreModel : public test::MacroDialogFixture {
  protected:
    MacroStoreModel() {
        // Reset reads the factory record, here from the rig's folder.
        const auto image = recordFileImage(factoryRecord(), 0);
        WindowRig::writeFile(rig.dir / "config.bin", std::string(image.begin(), image.end()));
        beforeStartUp = [this](MainWindow& window) {
            pages = &installSettingsPages(
                window, *rig.session,
                {.colours = &colours, .pointerDesktop = &desktop, .notes = &notes});
        };
    }

    // The window goes before what its settings pages were given.
    ~MacroStoreModel() override {
        rig.clock.release();
        rig.window.reset();
    }

    ConfigRecord& record() { return rig.state().record; }
    // The record the profile's file holds.
    ConfigRecord saved() const {
        const RecordFileRead read = readRecordFile(rig.dir / "config0.bin");
        ConfigRecord record{};
        std::copy(read.recordBytes.begin(), read.recordBytes.end(), recordBytes(record).begin());
        return record;
    }
    bool deviceSettled() {
        return QTest::qWaitFor(
            [&] { return !rig.session->uploadPending() && !rig.session->deviceQueue().busy(); });
    }

    // Closing asks only about what the file does not hold; true when the
    // program ended, which ends the sequence.
    bool close() {
        const ConfigRecord before = record();
        // The table's names may change with the same bytes (empty macros).
        const bool bytesUnsaved = before != saved();
        const bool unsaved =
            bytesUnsaved || rig.state().macroTableNames != rig.state().appliedMacroTableNames;
        const auto answer = static_cast<UnsavedChoice>(pick(3));
        rig.messages.answers = {answer};
        rig.window->clickAt(MainWindow::kCloseRect.center());
        rig.messages.answers.clear();
        if (unsaved && answer == UnsavedChoice::Cancel) {
            EXPECT_FALSE(rig.exitCode.has_value());
            EXPECT_EQ(record(), before);
            return false;
        }
        EXPECT_EQ(rig.exitCode, 0);
        if (!unsaved || answer == UnsavedChoice::Save)
            EXPECT_EQ(saved(), before);
        else
            EXPECT_EQ(saved() != before, bytesUnsaved);
        return true;
    }

    void plug() {
        const ConfigRecord before = record();
        const std::size_t shown = rig.balloons.shown.size();
        rig.backend.unplug(rig.virtualMouse);
        ASSERT_TRUE(QTest::qWaitFor([&] { return rig.balloons.shown.size() == shown + 1; }));
        rig.backend.plug(rig.virtualMouse);
        ASSERT_TRUE(QTest::qWaitFor([&] { return rig.balloons.shown.size() == shown + 2; }));
        ASSERT_TRUE(deviceSettled());
        // Kept when unsaved, read again otherwise: the same record either way.
        EXPECT_EQ(record(), before);
        checkButtons();
        upload();
    }

    void reset() {
        const ConfigRecord before = record();
        const bool yes = chance(50);
        rig.messages.confirmations = {yes};
        rig.window->clickAt(MainWindow::kResetRect.center());
        rig.messages.confirmations.clear();
        ASSERT_TRUE(deviceSettled());
        if (!yes) {
            EXPECT_EQ(record(), before);
        } else {
            // The macros stay; the buttons play their factory functions again.
            EXPECT_EQ(record().buttonFunction, factoryRecord().buttonFunction);
            EXPECT_EQ(saved(), record());
            model.buttons.clear();
            model.saved = SavedProfile{record(), model.confirmed, model.buttons};
        }
        EXPECT_EQ(record().macroData, model.table());
        checkButtons();
        upload();
    }

    // The record and the names behind its table go into the files together:
    // after any fault and a new start the button plays the macro it shows.
    void restart() {
        if (!model.saved) {
            ASSERT_TRUE(rig.profiles().saveProfile());
            model.saved = SavedProfile{record(), model.confirmed, model.buttons};
        }
        ASSERT_TRUE(deviceSettled());
        const ConfigRecord current = record();
        bool written = false;
        {
            test::FaultingFileSystem faulting;
            const int step = pick(5);
            chance(50) ? faulting.cutAt(step) : faulting.failAt(step, EIO);
            try {
                written = rig.profiles().saveProfile();
            } catch (const test::CutShort&) {
            }
        }
        // The process ends here, and the next one starts on the same folder.
        // The window ends its session; the next start gets a fresh one.
        rig.window.reset();
        prepareUserFolder(rig.dir, rig.dir);
        startWindow();
        ASSERT_TRUE(deviceSettled());
        const auto withoutSlot = [](ConfigRecord record) {
            record.activeProfile = 0; // the mouse's, not the file's
            return record;
        };
        const Names names = rig.window->macroProfileDialogs().tableMacroNames();
        if (written ||
            (withoutSlot(record()) == withoutSlot(current) && names == model.tableNames())) {
            model.saved = SavedProfile{current, model.confirmed, model.buttons};
        } else {
            EXPECT_EQ(withoutSlot(record()), withoutSlot(model.saved->record));
            EXPECT_EQ(names, Model::tableNamesOf(model.saved->confirmed));
            model.confirmed = model.saved->confirmed;
            model.buttons = model.saved->buttons;
        }
        EXPECT_EQ(record().macroData, model.table());
        checkButtons();
        upload();
    }

    int pick(int count) { return std::uniform_int_distribution<int>(0, count - 1)(random); }
    bool chance(int percent) { return pick(100) < percent; }

    ModelMacro shown(const MacroManagerDialog& dialog, const std::string& name) {
        return {name, textsOf(dialog.eventList()), dialog.recordDelays(), dialog.loopOption(),
                dialog.loopTimesField().text().toStdString()};
    }
    // The dialog saved its selected macro as it stands.
    void saved(const MacroManagerDialog& dialog) {
        if (const auto name = selectedName(dialog))
            model.save(shown(dialog, *name));
    }

    void startSequence() {
        if (rig.exitCode) {
            rig.window.reset();
            rig.exitCode.reset();
            startWindow();
        }
        model = Model{};
        record() = ConfigRecord{};
        std::string text;
        const int macros = pick(4);
        for (int m = 0; m < macros; ++m) {
            ModelMacro macro{"Start_" + std::to_string(m),
                             {},
                             chance(50),
                             chance(30),
                             std::to_string(1 + pick(5))};
            for (int pair = pick(4); pair > 0; --pair) {
                const std::string keyName(1, static_cast<char>('A' + pick(3)));
                macro.items.push_back(pressItem(keyName));
                if (chance(50))
                    macro.items.push_back(delayItem(static_cast<std::uint32_t>(pick(3000))));
                macro.items.push_back(releaseItem(keyName));
            }
            text += "[" + macro.name + "]\r\nDelayTimeSelStatus=" + (macro.delays ? "1" : "0") +
                    "\r\nLoopTimeSelStatus=" + (macro.loop ? "1" : "0") +
                    "\r\nMacroLoopTimes=" + macro.loopTimes +
                    "\r\nItemCount=" + std::to_string(macro.items.size()) + "\r\n";
            for (std::size_t i = 0; i < macro.items.size(); ++i)
                text += "Item" + std::to_string(i) + "=" + macro.items[i] + "\r\n";
            model.store.push_back(macro);
        }
        WindowRig::writeFile(store(), text);
        // The sequence starts from a table the user confirmed.
        std::vector<Step> ok{Step::Ok};
        std::size_t at = 0;
        runDialog(ok, at);
    }

    // Runs dialog steps from steps[at] until one ends the dialog or leaves it.
    void runDialog(const std::vector<Step>& steps, std::size_t& at) {
        const ConfigRecord before = record();
        bool confirmed = false;
        dialogs().setRunner(std::make_unique<ScriptedRunner>([&](ModalSkinnedWindow& window) {
            auto& dialog = static_cast<MacroManagerDialog&>(window);
            ASSERT_EQ(textsOf(dialog.nameList()), Model::namesOf(model.store));
            for (; at < steps.size() && inDialog(steps[at]) && !dialog.finished(); ++at)
                dialogStep(dialog, steps[at]);
            if (!dialog.finished())
                dialog.cancel();
            confirmed = dialog.result() == DialogResult::Ok;
        }));
        const std::size_t first = at;
        dialogs().openMacroManager();
        if (at == first)
            ++at; // the dialog could not open: the step is spent
        if (!confirmed) {
            // Nothing of a cancelled run reaches the record.
            EXPECT_EQ(record(), before);
            EXPECT_EQ(record().macroData, model.table());
            return;
        }
        EXPECT_EQ(record().macroData, model.table());
        checkButtons();
        upload();
    }

    void dialogStep(MacroManagerDialog& dialog, Step step) {
        // A committed in-place editor hides at once and is deleted later.
        const auto editing = [&] { return dialog.editor() && dialog.editor()->isVisible(); };
        ASSERT_FALSE(editing()) << "left open by step " << static_cast<int>(lastStep);
        lastStep = step;
        QListWidget& names = dialog.nameList();
        QListWidget& events = dialog.eventList();
        if (names.count() > 0 && chance(60)) {
            const int row = pick(names.count());
            names.setCurrentRow(row);
            names.item(row)->setSelected(true);
            ASSERT_EQ(textsOf(events), model.find(names.item(row)->text().toStdString())->items);
        }
        const auto chooseEvent = [&] {
            if (events.count() > 0)
                events.setCurrentRow(pick(events.count()));
            // Choosing the delay chosen last opens its editor; leave it.
            if (editing())
                QTest::keyClick(dialog.editor(), Qt::Key_Escape);
        };
        switch (step) {
        case Step::Record: {
            dialog.toggleRecording();
            const std::pair<int, int> keys[] = {
                {Qt::Key_A, kX11KeyA}, {Qt::Key_B, kX11KeyB}, {Qt::Key_C, kX11KeyC}};
            for (int n = pick(4); n > 0; --n) {
                const auto [qtKey, code] = keys[pick(3)];
                key(dialog, QEvent::KeyPress, qtKey, code);
                tick += static_cast<std::uint32_t>(10 + pick(2000));
                key(dialog, QEvent::KeyRelease, qtKey, code);
                tick += static_cast<std::uint32_t>(10 + pick(200));
            }
            dialog.toggleRecording();
            saved(dialog);
            break;
        }
        case Step::InsertClick: {
            chooseEvent();
            using Command = MacroManagerDialog::EventCommand;
            const Command commands[] = {Command::InsertLeft, Command::InsertMiddle,
                                        Command::InsertRight};
            dialog.runEventCommand(commands[pick(3)]);
            saved(dialog); // saved even when nothing fitted in
            break;
        }
        case Step::InsertDelay: {
            chooseEvent();
            const Items before = textsOf(events);
            dialog.runEventCommand(MacroManagerDialog::EventCommand::InsertDelay);
            if (textsOf(events) != before)
                saved(dialog);
            break;
        }
        case Step::DeleteEvent:
            chooseEvent();
            if (events.count() > 0) {
                dialog.runEventCommand(MacroManagerDialog::EventCommand::Delete);
                saved(dialog);
            }
            break;
        case Step::EditDelay: {
            std::vector<int> delays;
            for (int row = 0; row < events.count(); ++row)
                if (events.item(row)->text().contains(" ms"))
                    delays.push_back(row);
            if (delays.empty() || !selectedName(dialog))
                break;
            const int row = delays[static_cast<std::size_t>(pick(static_cast<int>(delays.size())))];
            for (int tries = 0; tries < 2 && !editing(); ++tries)
                test::doubleClickRow(events, row);
            ASSERT_TRUE(editing());
            dialog.editor()->setText(QString::number(pick(40000)) + "ms");
            QTest::keyClick(dialog.editor(), Qt::Key_Return);
            QCoreApplication::processEvents(); // the posted save
            saved(dialog);
            break;
        }
        case Step::ToggleOption:
            if (chance(50))
                dialog.toggleRecordDelays();
            else
                dialog.toggleLoop();
            break;
        case Step::Rename: {
            const auto name = selectedName(dialog);
            if (!name)
                break;
            const int row = names.currentRow();
            for (int tries = 0; tries < 3 && !editing(); ++tries)
                test::doubleClickRow(names, row);
            ASSERT_TRUE(editing());
            const std::string newName = "Ren_" + std::to_string(++renames);
            dialog.editor()->setText(QString::fromStdString(newName));
            QTest::keyClick(dialog.editor(), Qt::Key_Return);
            model.rename(*name, newName);
            break;
        }
        case Step::DeleteMacro:
            if (const auto name = selectedName(dialog)) {
                dialog.deleteMacro();
                model.store.erase(model.find(*name));
            }
            break;
        case Step::NewMacro: {
            const int before = names.count();
            dialog.newMacro();
            if (names.count() > before)
                model.store.push_back(
                    ModelMacro{names.item(names.count() - 1)->text().toStdString(), {}});
            break;
        }
        case Step::Ok:
            saved(dialog);
            model.confirmed = model.store;
            dialog.clickAt(MacroManagerDialog::kOkRect.center());
            break;
        case Step::Cancel:
            dialog.cancel();
            break;
        default:
            break;
        }
    }

    // The macro key dialog offers the table's macros; a button takes one.
    void assign() {
        const Names offered = rig.window->macroProfileDialogs().tableMacroNames();
        ASSERT_EQ(offered, model.tableNames());
        // The key dialog lists them in the manager's order, each row playing
        // the macro it names.
        Names listed, inStoreOrder;
        for (const MacroKeyChoice& choice : rig.window->macroProfileDialogs().macroKeyChoices()) {
            ASSERT_LT(choice.position, offered.size());
            EXPECT_EQ(offered[choice.position], choice.name);
            listed.push_back(choice.name);
        }
        for (const ModelMacro& macro : model.store)
            if (std::ranges::find(offered, macro.name) != offered.end())
                inStoreOrder.push_back(macro.name);
        EXPECT_EQ(listed, inStoreOrder);
        if (offered.empty())
            return;
        const int button = pick(kButtonCount);
        const int position = pick(static_cast<int>(offered.size()));
        record().buttonFunction[button] = static_cast<std::uint8_t>(ButtonFunctionType::MacroKey);
        record().buttonMacroNumber[button] = static_cast<std::uint8_t>(position);
        model.buttons[button] = offered[static_cast<std::size_t>(position)];
    }

    // Every macro button plays the macro it was given, or its factory
    // function once that macro is gone from the table.
    void checkButtons() {
        const Names table = model.tableNames();
        for (const auto& [button, name] : model.buttons) {
            const int number = record().buttonMacroNumber[button];
            const auto at = std::find(table.begin(), table.end(), name);
            if (at != table.end()) {
                EXPECT_EQ(number, at - table.begin()) << name;
                continue;
            }
            // Gone: the button is back to its factory function, for good.
            EXPECT_EQ(record().buttonFunction[button], factoryRecord().buttonFunction[button])
                << name << " is gone but button " << button << " plays macro " << number;
        }
    }

    void upload() {
        rig.link.protocol().uploadConfiguration(record());
        const MacroTable expected = model.table();
        for (int k = 0; k < kMacroCount; ++k) {
            const Block block = rig.virtualMouse->macroBlock(k + 1);
            ASSERT_TRUE(
                std::equal(block.begin(), block.end(), expected.begin() + k * kMacroImageSize))
                << "macro " << k + 1;
        }
    }

    test::ScriptedColourDialog colours;
    test::RecordingDesktop desktop;
    std::ostringstream notes;
    SettingsPages* pages = nullptr;
    Model model;
    std::mt19937 random;
    int renames = 0;
    Step lastStep = Step::Ok;
};

TEST_F(MacroStoreModel, OnlyConfirmedEditsReachTheRecordAndTheMouse) {
    const int sequences = test::stressCount(60, 10000);
    for (int sequence = test::firstSequence(); sequence < sequences && !HasFatalFailure();
         ++sequence) {
        test::reportProgress(static_cast<unsigned>(sequence));
        SCOPED_TRACE("sequence " + std::to_string(sequence));
        random.seed(static_cast<std::mt19937::result_type>(sequence));
        startSequence();
        std::vector<Step> steps;
        for (int n = 1 + pick(20); n > 0; --n)
            steps.push_back(static_cast<Step>(pick(kStepKinds)));
        std::size_t at = 0;
        while (at < steps.size() && !HasFatalFailure()) {
            switch (steps[at]) {
            case Step::Assign:
                assign();
                ++at;
                break;
            case Step::Save:
                upload();
                ++at;
                break;
            case Step::Close:
                at = close() ? steps.size() : at + 1;
                break;
            case Step::Plug:
                plug();
                ++at;
                break;
            case Step::Reset:
                reset();
                ++at;
                break;
            case Step::Restart:
                restart();
                ++at;
                break;
            default:
                runDialog(steps, at);
            }
        }
        if (HasFailure())
            break; // one failing sequence says enough
    }
}

} // namespace
} // namespace qvr
