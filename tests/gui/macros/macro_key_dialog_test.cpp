#include "gui/macros/macro_key_dialog.h"
#include "support/button_page_support.h"
#include "support/qt_test_app.h"
#include "support/skin_folder.h"

#include <QWheelEvent>
#include <gtest/gtest.h>

namespace qvr::test {
namespace {

struct MacroDialogRig {
    MacroDialogRig() {
        qtApp();
        writeMinimalSkin(folder());
    }
    std::filesystem::path folder() const { return pathOf(temp) / "Skin"; }
    std::unique_ptr<MacroKeyDialog> open(std::vector<std::string> names,
                                         std::optional<MacroKeyPreset> preset = std::nullopt) {
        auto skin =
            std::make_shared<SkinImageCache>(QString::fromStdString(folder().string()), messages);
        std::vector<MacroKeyChoice> choices;
        for (std::size_t i = 0; i < names.size(); ++i)
            choices.push_back({names[i], static_cast<std::uint8_t>(i)});
        auto dialog = std::make_unique<MacroKeyDialog>(skin, messages, Language::English, Qt::green,
                                                       std::move(choices), preset);
        dialog->show();
        return dialog;
    }
    QTemporaryDir temp;
    RecordingMessageSink messages;
};

void wheel(QWidget& widget, QPoint at, int delta) {
    QWheelEvent event(at, widget.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

TEST(MacroKeyDialog, TheSecondMacroAndTheMiddleModeAreReturnedOnOk) {
    MacroDialogRig rig;
    auto dialog = rig.open({"One", "Two", "Three"});
    EXPECT_EQ(dialog->size(), QSize(396, 296));
    EXPECT_EQ(dialog->macroList(), nullptr);
    dialog->clickAt(MacroKeyDialog::kFieldRect.center());
    SkinListBox* list = dialog->macroList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->geometry(), MacroKeyDialog::kListRect);
    ASSERT_EQ(list->count(), 3);
    hoverEntry(*list, 2);
    EXPECT_EQ(list->currentRow(), 2);
    EXPECT_EQ(dialog->macroName(), "");
    clickEntry(*list, 1);
    EXPECT_EQ(dialog->macroList(), nullptr);
    dialog->clickAt(MacroKeyDialog::kTickRects[1].center());
    dialog->clickAt(SkinnedDialog::kOkRect.center());
    EXPECT_EQ(dialog->result(), DialogResult::Ok);
    EXPECT_EQ(dialog->macroPosition(), 1);
    EXPECT_EQ(dialog->repeatMode(), 1);
    EXPECT_EQ(dialog->macroName(), "Two");
}

TEST(MacroKeyDialog, OkWithoutAChoiceGivesTheDefaultsAndCancelEndsWithCancel) {
    MacroDialogRig rig;
    auto dialog = rig.open({"One", "Two"});
    dialog->clickAt(SkinnedDialog::kOkRect.center());
    EXPECT_EQ(dialog->result(), DialogResult::Ok);
    EXPECT_EQ(dialog->macroPosition(), 0);
    EXPECT_EQ(dialog->repeatMode(), 0);
    EXPECT_EQ(dialog->macroName(), "");

    auto cancelled = rig.open({});
    cancelled->clickAt(MacroKeyDialog::kFieldRect.center());
    ASSERT_NE(cancelled->macroList(), nullptr);
    EXPECT_EQ(cancelled->macroList()->count(), 0); // no store: an empty list
    cancelled->clickAt(SkinnedDialog::kCloseRect.center());
    EXPECT_EQ(cancelled->result(), DialogResult::Cancel);
    EXPECT_EQ(cancelled->macroList(), nullptr);
}

TEST(MacroKeyDialog, TheListTogglesClosesOnOutsideClicksAndScrollsThreeLinesANotch) {
    MacroDialogRig rig;
    std::vector<std::string> names;
    for (int i = 0; i < 12; ++i)
        names.push_back("M" + std::to_string(i));
    auto dialog = rig.open(names);
    dialog->clickAt(MacroKeyDialog::kFieldRect.center());
    dialog->clickAt(MacroKeyDialog::kFieldRect.center());
    EXPECT_EQ(dialog->macroList(), nullptr);
    dialog->clickAt(MacroKeyDialog::kFieldRect.center());
    SkinListBox* list = dialog->macroList();
    ASSERT_NE(list, nullptr);
    wheel(*dialog, {300, 150}, -120);
    EXPECT_EQ(list->indexAt(QPoint(5, 2)).row(), 3);
    wheel(*list->viewport(), {5, 5}, -240);
    EXPECT_EQ(list->indexAt(QPoint(5, 2)).row(), 4); // as far as the list goes
    wheel(*dialog, {300, 150}, 120);
    EXPECT_EQ(list->indexAt(QPoint(5, 2)).row(), 1);
    dialog->clickAt({300, 100});
    EXPECT_EQ(dialog->macroList(), nullptr);
    EXPECT_FALSE(dialog->finished());
}

TEST(MacroKeyDialog, APresetShowsTheButtonsMacroAndModeUnlessTheyAreGone) {
    MacroDialogRig rig;
    auto dialog = rig.open({"One", "Two", "Three"}, MacroKeyPreset{2, 2});
    EXPECT_EQ(dialog->macroPosition(), 2);
    EXPECT_EQ(dialog->macroName(), "Three");
    EXPECT_EQ(dialog->repeatMode(), 2);

    auto stale = rig.open({"One"}, MacroKeyPreset{5, 7});
    EXPECT_EQ(stale->macroPosition(), 0);
    EXPECT_EQ(stale->macroName(), "");
    EXPECT_EQ(stale->repeatMode(), 0);
}

TEST(MacroKeyDialog, EnterIsOkAndEscCancelUnlessTheKeyboardIsInTheList) {
    MacroDialogRig rig;
    auto dialog = rig.open({"One", "Two", "Three"});
    dialog->setOpenedBy(SkinnedDialog::OpenedBy::Keyboard);
    // The keyboard starts on the macro box; Space opens its list, where the
    // arrows move and Enter chooses, without ending the dialog.
    tapKey(*dialog, Qt::Key_Space);
    ASSERT_NE(dialog->macroList(), nullptr);
    tapKey(*dialog, Qt::Key_Down);
    tapKey(*dialog, Qt::Key_Down);
    tapKey(*dialog, Qt::Key_Return);
    EXPECT_EQ(dialog->macroName(), "Two");
    EXPECT_EQ(dialog->macroList(), nullptr);
    EXPECT_FALSE(dialog->finished());
    // The repeat modes are radio buttons: the arrows choose.
    tapKey(*dialog, Qt::Key_Tab);
    tapKey(*dialog, Qt::Key_Down);
    EXPECT_EQ(dialog->repeatMode(), 1);
    tapKey(*dialog, Qt::Key_Return);
    EXPECT_TRUE(dialog->finished());
    EXPECT_EQ(dialog->result(), DialogResult::Ok);
    EXPECT_EQ(dialog->macroPosition(), 1);

    auto other = rig.open({"One"});
    tapKey(*other, Qt::Key_Escape);
    EXPECT_TRUE(other->finished());
    EXPECT_EQ(other->result(), DialogResult::Cancel);
}

TEST(MacroKeyDialog, AMissingBackgroundIsReported) {
    MacroDialogRig rig;
    std::filesystem::remove(rig.folder() / "macro-key.png");
    auto dialog = rig.open({"One"});
    ASSERT_EQ(rig.messages.messages.size(), 1u);
    EXPECT_EQ(rig.messages.messages[0].text, "error");
    EXPECT_EQ(rig.messages.messages[0].caption, "Macro Key Dialog Load background image failed!!!");
    dialog->clickAt(SkinnedDialog::kCancelRect.center());
    EXPECT_EQ(dialog->result(), DialogResult::Cancel);
}

} // namespace
} // namespace qvr::test
