#include "core/buttons/button_encoding.h"
#include "gui/buttons/assignment_section.h"
#include "gui/buttons/key_combination_dialog.h"
#include "gui/buttons/single_key_dialog.h"
#include "gui/macros/macro_key_dialog.h"
#include "support/button_page_skin.h"
#include "support/button_page_support.h"
#include "support/window_rig.h"

#include <QHelpEvent>
#include <QLineEdit>
#include <QToolTip>
#include <gtest/gtest.h>

namespace qvr::test {
namespace {

constexpr std::array<std::uint8_t, 8> kOnlyButtonOneClicks = {0, 1, 2, 2, 2, 6, 3, 4};

QPoint boxCentre(int button) {
    return AssignmentSection::boxRect(button - 1).center();
}

std::vector<std::string> sectionsOf(const std::filesystem::path& ini) {
    std::ifstream in(ini);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

// A started window with the section open and dialogs run by the test.
struct PageRig {
    PageRig() {
        window = &rig.start();
        section = window->findChild<AssignmentSection*>();
        section->setDialogRunner(&runner);
        window->clickAt(LeftPanel::kAssignmentHeader.center());
    }
    std::string label(int button) const { return rig.profile().labels()[button - 1]; }
    ConfigRecord& record() { return rig.state().record; }

    WindowRig rig;
    MainWindow* window = nullptr;
    AssignmentSection* section = nullptr;
    ScriptedDialogRunner runner;
};

TEST(AssignmentSection, TheLastClickButtonRefusesItsListUntilAnotherButtonClicks) {
    PageRig page;
    page.record().buttonFunction = kOnlyButtonOneClicks;
    page.window->clickAt(boxCentre(1));
    ASSERT_EQ(page.rig.messages.messages.size(), 1u);
    EXPECT_EQ(page.rig.messages.messages[0].text, "Left key must be selected!");
    EXPECT_EQ(page.rig.messages.messages[0].caption, "Warning");
    EXPECT_EQ(page.section->functionList(0), nullptr);

    page.window->clickAt(boxCentre(2));
    SkinListBox* list = page.section->functionList(1);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->geometry(), AssignmentSection::functionListRect(1));
    ASSERT_EQ(list->count(), 14);
    EXPECT_EQ(list->item(0)->text(), "Click");
    EXPECT_EQ(list->item(13)->text(), "Button Off");
    EXPECT_EQ(page.section->mouseViewHighlight(), 1);

    clickEntry(*list, 0); // button 2 becomes "Click"
    EXPECT_EQ(page.record().buttonFunction[1], 0);
    EXPECT_EQ(page.label(2), "Click");
    EXPECT_EQ(page.section->functionList(1), nullptr);
    EXPECT_EQ(page.section->boxLook(1), AssignmentSection::BoxLook::Leave);

    page.window->clickAt(boxCentre(1));
    ASSERT_NE(page.section->functionList(0), nullptr);
    clickEntry(*page.section->functionList(0), 13);
    EXPECT_EQ(page.record().buttonFunction[0], 13);
    EXPECT_EQ(page.label(1), "Button Off");
    EXPECT_EQ(page.rig.messages.messages.size(), 1u);
}

TEST(AssignmentSection, OptionChoicesWriteTypeValueAndLabelAndCloseBothLists) {
    PageRig page;
    page.window->clickAt(boxCentre(3));
    SkinListBox* list = page.section->functionList(2);
    ASSERT_NE(list, nullptr);
    clickEntry(*list, 7); // "Multimedia" only opens its list
    EXPECT_NE(page.section->functionList(2), nullptr);
    EXPECT_FALSE(page.section->listOpen(2));
    EXPECT_EQ(page.record().buttonFunction[2], 0);

    hoverEntry(*list, 7);
    SkinListBox* media = page.section->optionList(OptionList::Media);
    ASSERT_NE(media, nullptr);
    EXPECT_EQ(media->item(6)->text(), "Volume Up");
    hoverEntry(*media, 3);
    EXPECT_EQ(page.record().buttonFunction[2], 0); // hovering chooses nothing
    clickEntry(*media, 6);
    EXPECT_EQ(page.record().buttonFunction[2], 7);
    EXPECT_EQ(page.record().buttonMediaCode[2], 0xE9);
    EXPECT_EQ(page.label(3), "Volume Up");
    EXPECT_EQ(page.section->functionList(2), nullptr);
    EXPECT_EQ(page.section->optionList(OptionList::Media), nullptr);
    EXPECT_EQ(page.section->boxLook(2), AssignmentSection::BoxLook::Normal);

    page.window->clickAt(boxCentre(6));
    hoverEntry(*page.section->functionList(5), 6);
    clickEntry(*page.section->optionList(OptionList::Dpi), 2);
    EXPECT_EQ(page.record().buttonFunction[5], 6);
    EXPECT_EQ(page.record().buttonDpiAction[5], 3);
    EXPECT_EQ(page.label(6), "DPI Loop");
}

TEST(AssignmentSection, OptionListsOpenBesideTheHoveredEntryOneAtATime) {
    PageRig page;
    page.window->clickAt(boxCentre(2));
    SkinListBox* list = page.section->functionList(1);
    ASSERT_NE(list, nullptr);
    const QRect l = list->geometry();
    const QRect r = list->entryRect(2);
    EXPECT_EQ(r.height(), SkinListBox::kRowHeight);

    // The five placements, worked out from the list and entry rectangles.
    const std::array<std::pair<int, QRect>, 5> expected = {{
        {2, QRect(l.left() + r.right() + 1, l.top() + r.top(), 110, 60)},
        {6, QRect(l.left() + r.right() + 1, l.top() + r.top() + 4 * 16, 60, 60)},
        {7, QRect(l.right() + 1, l.top() + r.bottom() + 1 + 5 * 16 - 130, 90, 130)},
        {8, QRect(l.right() + 1, l.top() + r.bottom() + 1 + 6 * 16 - 162, 60, 162)},
        {9, QRect(l.right() + 1, l.top() + r.bottom() + 1 + 7 * 16 - 114, 90, 114)},
    }};
    const std::array<OptionList, 5> options = {OptionList::Scroll, OptionList::Dpi,
                                               OptionList::Media, OptionList::HotKey,
                                               OptionList::Windows};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        hoverEntry(*list, expected[i].first);
        SkinListBox* option = page.section->optionList(options[i]);
        ASSERT_NE(option, nullptr) << i;
        // Placed by the rule; wider only where its entries need it.
        const QRect placed = option->geometry();
        EXPECT_EQ(placed.topLeft(), expected[i].second.topLeft()) << i;
        EXPECT_EQ(placed.height(), expected[i].second.height()) << i;
        EXPECT_GE(placed.width(), expected[i].second.width()) << i;
        for (int row = 0; row < option->count(); ++row)
            EXPECT_LE(option->entryWidth(row), option->viewport()->width()) << i << row;
        for (std::size_t j = 0; j < options.size(); ++j) {
            if (j != i) {
                EXPECT_EQ(page.section->optionList(options[j]), nullptr) << i << j;
            }
        }
    }
    // Scroll Select beside row 2 of button 2's list: x 262 + client width.
    EXPECT_EQ(AssignmentSection::optionListRect(OptionList::Scroll, QRect(262, 174, 103, 230),
                                                QRect(0, 32, 101, 16)),
              QRect(363, 206, 110, 60));
    EXPECT_EQ(AssignmentSection::optionListRect(OptionList::HotKey, QRect(262, 174, 103, 230),
                                                QRect(0, 128, 101, 16)),
              QRect(365, 156, 60, 162));
    hoverEntry(*list, 0);
    for (OptionList option : options)
        EXPECT_EQ(page.section->optionList(option), nullptr);
}

TEST(AssignmentSection, KeyDialogsGiveTheLabelsAndCodes) {
    PageRig page;
    page.runner.script = [](SkinnedDialog& dialog) {
        tapKey(dialog, Qt::Key_1, 0, Qt::KeypadModifier);
        dialog.clickAt(SkinnedDialog::kOkRect.center());
        return dialog.result();
    };
    page.window->clickAt(boxCentre(4));
    clickEntry(*page.section->functionList(3), 10);
    EXPECT_EQ(page.runner.runs, 1);
    EXPECT_EQ(page.label(4), "Single Key-Num 1");
    EXPECT_EQ(page.record().buttonFunction[3], 10);
    EXPECT_EQ(page.record().buttonSingleKey[3], 0x59);
    EXPECT_EQ(page.section->functionList(3), nullptr);

    struct Combo {
        int modifierRow; // -1: none
        std::vector<int> keys1, keys2;
        std::string label;
        std::array<std::uint8_t, 3> bytes;
    };
    const std::vector<Combo> combos = {
        {1, {Qt::Key_A}, {}, "Combo Key-Left Shift+A", {0x02, 0x04, 0x00}},
        {-1, {Qt::Key_A}, {Qt::Key_B}, "Combo Key-A+B", {0x00, 0x04, 0x05}},
    };
    for (const Combo& combo : combos) {
        page.runner.script = [&](SkinnedDialog& dialog) {
            auto& combo_dialog = dynamic_cast<KeyCombinationDialog&>(dialog);
            if (combo.modifierRow >= 0) {
                combo_dialog.toggleModifierList();
                clickEntry(*combo_dialog.modifierList(), combo.modifierRow);
            }
            QTest::mouseClick(combo_dialog.keyField1(), Qt::LeftButton);
            for (int key : combo.keys1)
                tapKey(dialog, key);
            QTest::mouseClick(combo_dialog.keyField2(), Qt::LeftButton);
            for (int key : combo.keys2)
                tapKey(dialog, key);
            dialog.clickAt(SkinnedDialog::kOkRect.center());
            return dialog.result();
        };
        page.window->clickAt(boxCentre(5));
        clickEntry(*page.section->functionList(4), 11);
        EXPECT_EQ(page.label(5), combo.label);
        EXPECT_EQ(page.record().buttonFunction[4], 11);
        EXPECT_EQ(page.record().buttonComboModifiers[4], combo.bytes[0]);
        EXPECT_EQ(page.record().buttonComboKey1[4], combo.bytes[1]);
        EXPECT_EQ(page.record().buttonComboKey2[4], combo.bytes[2]);
    }
}

TEST(AssignmentSection, FromTheKeyboardAListIsChosenAndTheDialogsCaptureIsAskedFor) {
    PageRig page;
    const auto focusedName = [&] {
        const auto focused = page.window->focusedElement();
        return focused ? page.window->elements().nameOf(*focused) : QString();
    };
    for (int i = 0; i < 60 && focusedName() != "Button 1"; ++i)
        QTest::keyClick(page.window, Qt::Key_Tab);
    ASSERT_EQ(focusedName(), "Button 1");
    // The eight boxes are one stop of Tab; the arrows go from box to box.
    for (int i = 0; i < 4; ++i)
        QTest::keyClick(page.window, Qt::Key_Down);
    ASSERT_EQ(focusedName(), "Button 5");
    QTest::keyClick(page.window, Qt::Key_Space);
    ASSERT_NE(page.section->functionList(4), nullptr);
    QTest::keyClick(page.window, Qt::Key_Escape);
    EXPECT_EQ(page.section->functionList(4), nullptr);
    EXPECT_EQ(focusedName(), "Button 5");

    page.runner.script = [](SkinnedDialog& dialog) {
        EXPECT_EQ(dialog.openedBy(), SkinnedDialog::OpenedBy::Keyboard);
        tapKey(dialog, Qt::Key_Space); // the modifier list
        tapKey(dialog, Qt::Key_Down);
        tapKey(dialog, Qt::Key_Space); // Left Ctrl
        tapKey(dialog, Qt::Key_Tab);
        tapKey(dialog, Qt::Key_Space); // key 1 takes the next key
        tapKey(dialog, Qt::Key_A, kX11A);
        tapKey(dialog, Qt::Key_Space); // OK
        return dialog.result();
    };
    QTest::keyClick(page.window, Qt::Key_Space);
    QTest::keyClick(page.window, Qt::Key_End);
    QTest::keyClick(page.window, Qt::Key_Up);
    QTest::keyClick(page.window, Qt::Key_Up);
    QTest::keyClick(page.window, Qt::Key_Return); // Combo Key
    EXPECT_EQ(page.runner.runs, 1);
    EXPECT_EQ(page.label(5), "Combo Key-Left Ctrl+A");
    EXPECT_EQ(page.record().buttonComboKey1[4], 0x04);
    // The keyboard is back where it was.
    EXPECT_EQ(page.section->functionList(4), nullptr);
    EXPECT_EQ(focusedName(), "Button 5");
    EXPECT_TRUE(page.window->focusMarkShown());
}

TEST(AssignmentSection, ACancelledDialogChangesNothingButClosesTheList) {
    PageRig page;
    page.record().buttonFunction[6] = 3;
    const ConfigRecord before = page.record();
    const std::string label = page.label(7);
    page.runner.script = [](SkinnedDialog& dialog) {
        tapKey(dialog, Qt::Key_A);
        dialog.clickAt(SkinnedDialog::kCancelRect.center());
        return dialog.result();
    };
    for (int entry : {10, 11, 12}) {
        page.window->clickAt(boxCentre(7));
        clickEntry(*page.section->functionList(6), entry);
        EXPECT_EQ(page.section->functionList(6), nullptr);
    }
    EXPECT_EQ(page.runner.runs, 3);
    EXPECT_TRUE(page.record() == before);
    EXPECT_EQ(page.label(7), label);
}

TEST(AssignmentSection, MacroKeyStoresPositionAndModeFromTheStore) {
    PageRig page;
    WindowRig::writeFile(page.rig.dir / "record.ini",
                         "[Jump]\r\nItemCount=0\r\n[Reload]\r\nItemCount=0\r\n"
                         "[Dash]\r\nItemCount=0\r\n");
    page.runner.script = [](SkinnedDialog& dialog) {
        dialog.clickAt(SkinnedDialog::kOkRect.center()); // without opening the list
        return dialog.result();
    };
    page.window->clickAt(boxCentre(8));
    clickEntry(*page.section->functionList(7), 12);
    EXPECT_EQ(page.label(8), "Macro Key-");
    EXPECT_EQ(page.record().buttonMacroNumber[7], 0);

    int presetPosition = -1;
    page.runner.script = [&](SkinnedDialog& dialog) {
        auto& macro = dynamic_cast<MacroKeyDialog&>(dialog);
        presetPosition = macro.macroPosition();
        macro.toggleList();
        EXPECT_EQ(macro.macroList()->count(), 3);
        clickEntry(*macro.macroList(), 1);
        dialog.clickAt(MacroKeyDialog::kTickRects[1].center());
        dialog.clickAt(SkinnedDialog::kOkRect.center());
        return dialog.result();
    };
    page.window->clickAt(boxCentre(8));
    clickEntry(*page.section->functionList(7), 12);
    EXPECT_EQ(page.label(8), "Macro Key-Reload");
    EXPECT_EQ(page.record().buttonFunction[7], 12);
    EXPECT_EQ(page.record().buttonMacroNumber[7], 1);
    EXPECT_EQ(page.record().buttonMacroRepeat[7], 1);
    EXPECT_EQ(encodeButtonEntry(page.record(), 7), (ButtonEntry{0x09, 0x01, 0x02, 0x00}));

    // Opening again shows the button's macro and mode.
    page.runner.script = [&](SkinnedDialog& dialog) {
        auto& macro = dynamic_cast<MacroKeyDialog&>(dialog);
        presetPosition = macro.macroPosition();
        EXPECT_EQ(macro.repeatMode(), 1);
        EXPECT_EQ(macro.macroName(), "Reload");
        return DialogResult::Cancel;
    };
    page.window->clickAt(boxCentre(8));
    clickEntry(*page.section->functionList(7), 12);
    EXPECT_EQ(presetPosition, 1);
}

TEST(AssignmentSection, ListsCloseBySecondClickOtherBoxOutsideClickAndCollapsing) {
    PageRig page;
    const ConfigRecord before = page.record();
    page.window->clickAt(boxCentre(3));
    ASSERT_NE(page.section->functionList(2), nullptr);
    page.window->clickAt(boxCentre(3));
    EXPECT_EQ(page.section->functionList(2), nullptr);
    EXPECT_FALSE(page.section->listOpen(2));
    EXPECT_TRUE(page.record() == before);

    page.window->clickAt(boxCentre(3));
    page.window->clickAt(boxCentre(5));
    EXPECT_EQ(page.section->functionList(2), nullptr);
    ASSERT_NE(page.section->functionList(4), nullptr);
    EXPECT_TRUE(page.section->listOpen(4));

    hoverEntry(*page.section->functionList(4), 8);
    ASSERT_NE(page.section->optionList(OptionList::HotKey), nullptr);
    page.window->clickAt(page.window->rect().center()); // the mouse picture, off its buttons
    EXPECT_EQ(page.section->functionList(4), nullptr);
    EXPECT_EQ(page.section->optionList(OptionList::HotKey), nullptr);

    page.window->clickAt(boxCentre(2));
    hoverEntry(*page.section->functionList(1), 2);
    ASSERT_NE(page.section->optionList(OptionList::Scroll), nullptr);
    EXPECT_TRUE(page.window->leftPanel().assignmentOpen);
    EXPECT_EQ(page.window->leftPanel().macroBar().top(), 132 + 198);
    page.window->clickAt(LeftPanel::kAssignmentHeader.center());
    EXPECT_FALSE(page.window->leftPanel().assignmentOpen);
    EXPECT_EQ(page.window->leftPanel().macroBar().top(), 132);
    EXPECT_EQ(page.section->functionList(1), nullptr);
    EXPECT_EQ(page.section->optionList(OptionList::Scroll), nullptr);
    // A closed section's boxes do not react.
    page.window->clickAt(boxCentre(2));
    EXPECT_EQ(page.section->functionList(1), nullptr);
    EXPECT_TRUE(page.record() == before);
}

TEST(AssignmentSection, BoxesAndTheMouseViewShowHoverOpenAndChoice) {
    PageRig page;
    MainWindow& window = *page.window;
    const auto pixel = [&](QPoint at) { return window.grab().toImage().pixelColor(at); };
    const QPoint box3 = AssignmentSection::boxRect(2).topLeft() + QPoint(2, 2);
    const QPoint front3(skin::kFrontButtonAt[2].x + 2, skin::kFrontButtonAt[2].y + 2);
    const QPoint side3(skin::kSideButtonAt[2].x + 2, skin::kSideButtonAt[2].y + 2);

    EXPECT_EQ(pixel(box3), kBoxNormal);
    moveMouse(window, boxCentre(3));
    EXPECT_EQ(page.section->boxLook(2), AssignmentSection::BoxLook::Over);
    EXPECT_EQ(pixel(box3), kBoxOver);
    moveMouse(window, boxCentre(4));
    EXPECT_EQ(page.section->boxLook(2), AssignmentSection::BoxLook::Normal);

    EXPECT_EQ(pixel(front3), kViewButtonNormal);
    window.clickAt(boxCentre(3));
    EXPECT_EQ(pixel(front3), kViewButtonOver);
    window.clickAt(MainWindow::kSideTabRect.center());
    EXPECT_EQ(window.mouseView(), MouseView::Side);
    EXPECT_EQ(pixel(side3), kViewButtonOver);
    window.clickAt(MainWindow::kFrontTabRect.center());

    clickEntry(*page.section->functionList(2), 1);
    EXPECT_EQ(page.section->boxLook(2), AssignmentSection::BoxLook::Leave);
    EXPECT_EQ(pixel(box3), kBoxLeave);
    moveMouse(window, window.rect().center()); // the mouse picture, off its buttons
    EXPECT_EQ(page.section->boxLook(2), AssignmentSection::BoxLook::Normal);
    EXPECT_EQ(pixel(front3), kViewButtonNormal);
    EXPECT_FALSE(page.section->mouseViewHighlight().has_value());
}

TEST(AssignmentSection, OneActionClosesAListAndTakesBackItsLight) {
    PageRig page;
    MainWindow& window = *page.window;
    // A list left open by an entry with options is still the open list.
    window.clickAt(boxCentre(3));
    clickEntry(*page.section->functionList(2), 2);
    ASSERT_NE(page.section->functionList(2), nullptr);
    window.clickAt(boxCentre(3));
    EXPECT_EQ(page.section->functionList(2), nullptr);

    // Collapsing the section with a list open puts the mouse view out.
    const QPoint front4(skin::kFrontButtonAt[3].x + 2, skin::kFrontButtonAt[3].y + 2);
    window.clickAt(boxCentre(4));
    EXPECT_EQ(page.section->mouseViewHighlight(), 3);
    EXPECT_EQ(window.grab().toImage().pixelColor(front4), kViewButtonOver);
    window.clickAt(LeftPanel::kAssignmentHeader.center());
    EXPECT_FALSE(page.section->mouseViewHighlight().has_value());
    EXPECT_EQ(window.grab().toImage().pixelColor(front4), kViewButtonNormal);

    // A hovered box lights its button as an open list does.
    window.clickAt(LeftPanel::kAssignmentHeader.center());
    moveMouse(window, boxCentre(6));
    EXPECT_EQ(page.section->mouseViewHighlight(), 5);
    moveMouse(window, window.rect().center()); // the mouse picture, off its buttons
    EXPECT_FALSE(page.section->mouseViewHighlight().has_value());
}

TEST(AssignmentSection, ALabelTooLongForItsBoxShowsInFullAsTooltip) {
    PageRig page;
    MainWindow& window = *page.window;
    const std::string full = "Combo Key-Right Shift+Right Windows+Scroll Lock";
    page.rig.profile().labels()[0] = full;
    page.rig.profile().labels()[1] = "Click";
    EXPECT_FALSE(page.section->labelFits(0));
    EXPECT_TRUE(page.section->labelFits(1));
    const auto tipAt = [&](QPoint at) {
        QHelpEvent tip(QEvent::ToolTip, at, window.mapToGlobal(at));
        QCoreApplication::sendEvent(&window, &tip);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    EXPECT_EQ(tipAt(boxCentre(1)).toStdString(), full);
}

TEST(AssignmentSection, FirstRunLabelsAreWrittenOnceForAProfileWithoutThem) {
    PageRig page;
    const std::array<std::string, 8> defaults = {
        "Click",    "Menu",       "Mouse M Button", "Mouse Scroll Up", "Mouse Scroll Down",
        "DPI loop", "IE Forward", "IE Backward"};
    EXPECT_EQ(page.rig.profile().labels(), defaults);
    const auto lines = sectionsOf(page.rig.dir / "str0.ini");
    EXPECT_NE(std::ranges::find(lines, "Item6=DPI loop\r"), lines.end());

    // A choice made before Save survives hiding to the tray and coming back.
    page.window->clickAt(boxCentre(2));
    clickEntry(*page.section->functionList(1), 5);
    EXPECT_EQ(page.label(2), "Double Click");
    page.window->hideToTray();
    page.window->trayLeftClick();
    EXPECT_EQ(page.label(2), "Double Click");
}

TEST(AssignmentSection, AProfileWithLabelsKeepsThem) {
    WindowRig rig;
    std::string profile(kProfileFileSize, '\0');
    profile[0] = 1;
    WindowRig::writeFile(rig.dir / "config0.bin", profile);
    WindowRig::writeFile(rig.dir / "str0.ini",
                         "[Skins]\r\nPath=Test\r\n[Setting-EN]\r\nItem1=Mine\r\n");
    rig.start();
    EXPECT_EQ(rig.profile().labels()[0], "Mine");
    EXPECT_EQ(rig.profile().labels()[1], "");
}

} // namespace
} // namespace qvr::test
