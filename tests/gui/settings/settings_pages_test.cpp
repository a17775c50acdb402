#include "core/device/mouse_protocol.h"
#include "core/layout/skin_layout.h"
#include "gui/session/profile_session.h"
#include "gui/widgets/scroll_thumb.h"
#include "support/process.h"
#include "support/settings_rig.h"

#include <QAccessible>
#include <QTest>
#include <QWheelEvent>
#include <gtest/gtest.h>

namespace qvr::test {
namespace {

using enum RightSection;

// Save and Reset end on the device thread; their files, balloons and pointer
// settings follow once the window hears back.
// Presses the thumb, moves it down by dy and lets go, as a hand would.
void dragThumbAndLetGo(ScrollThumb& thumb, int dy) {
    QTest::mousePress(&thumb, Qt::LeftButton, {}, QPoint(4, 10));
    QMouseEvent move(QEvent::MouseMove, QPointF(4, 10 + dy), thumb.mapToGlobal(QPointF(4, 10 + dy)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&thumb, &move);
    QTest::mouseRelease(&thumb, Qt::LeftButton, {}, QPoint(4, 10));
    QCoreApplication::processEvents();
}

bool settled(SettingsRig& rig) {
    return QTest::qWaitFor([&] {
        return !rig.rig.session->uploadPending() && !rig.rig.session->deviceQueue().busy();
    });
}

// ------------------------------------------------------------ DPI Setting

TEST(SettingsDpiSection, TheLowestTwoRowsOfASliderGiveOneHundredDpi) {
    SettingsRig rig;
    rig.start();
    rig.clickHeader("DPI Setting");
    ASSERT_TRUE(rig.sections().isOpen(DpiSetting));
    EXPECT_EQ(rig.dpiText(0), "800"); // drawn from the record: 16 x 50

    rig.clickSliderStop("DPI Setting 1", 0); // the lowest row
    EXPECT_EQ(rig.dpiText(0), "100");
    EXPECT_EQ(rig.record().dpiStage[0], 2);
    rig.clickSliderStop("DPI Setting 2", 1); // the row above it
    EXPECT_EQ(rig.dpiText(1), "100");
    EXPECT_EQ(rig.record().dpiStage[1], 2);
    rig.clickSliderStop("DPI Setting 4", 52);
    EXPECT_EQ(rig.dpiText(3), "2600");
    EXPECT_EQ(rig.record().dpiStage[3], 52);
    const QRect stage3 = rig.rectNamed("DPI Setting 3");
    rig.click(stage3.center().x(), stage3.top()); // the top row
    EXPECT_EQ(rig.dpiText(2), "5000");
    EXPECT_EQ(rig.record().dpiStage[2], 100);
}

TEST(SettingsDpiSection, TypedValuesAreHeldToTheLimitsAndStoredInFiftySteps) {
    SettingsRig rig;
    rig.start();
    rig.clickHeader("DPI Setting");
    QLineEdit* edit = rig.sections().dpiEdit(1);
    edit->setText("99");
    EXPECT_EQ(edit->text(), "100");
    EXPECT_EQ(rig.record().dpiStage[1], 2);
    edit->setText("5001");
    EXPECT_EQ(edit->text(), "5000");
    EXPECT_EQ(rig.record().dpiStage[1], 100);
    edit->setText("175");
    EXPECT_EQ(edit->text(), "175");
    EXPECT_EQ(rig.record().dpiStage[1], 3);
    // The next draw keeps what was typed: it is the stored value.
    rig.paint();
    EXPECT_EQ(edit->text(), "175");
    // Typed digit by digit, a value passes through numbers below the limit:
    // they store the limit at once, but the text waits for the end of typing.
    edit->selectAll();
    QTest::keyClicks(edit, "2");
    EXPECT_EQ(edit->text(), "2");
    EXPECT_EQ(rig.record().dpiStage[1], 2);
    QTest::keyClicks(edit, "600");
    EXPECT_EQ(edit->text(), "2600");
    EXPECT_EQ(rig.record().dpiStage[1], 52);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->text(), "2600");
    // A fifth digit and letters are refused.
    QTest::keyClicks(edit, "0x");
    EXPECT_EQ(edit->text(), "2600");
    EXPECT_EQ(rig.record().dpiStage[1], 52);
    // Above the limit while typing: the limit is stored, the digits wait.
    edit->selectAll();
    QTest::keyClicks(edit, "9000");
    EXPECT_EQ(edit->text(), "9000");
    EXPECT_EQ(rig.record().dpiStage[1], 100);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->text(), "5000");
    // Once typing ends the box shows what is stored, never a value between
    // two steps.
    edit->selectAll();
    QTest::keyClicks(edit, "175");
    EXPECT_EQ(rig.record().dpiStage[1], 3);
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->text(), "150");
    // Left below the limit, the box shows the limit when typing ends.
    edit->selectAll();
    QTest::keyClicks(edit, "7");
    EXPECT_EQ(edit->text(), "7");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->text(), "100");
    EXPECT_EQ(rig.record().dpiStage[1], 2);
    // A later slider write is no keystroke: it takes the whole rule again.
    edit->setText("50");
    EXPECT_EQ(edit->text(), "100");
}

// Every keystroke repaints the window: the box being typed in must come out
// of each paint as the user left it, empty or below the limit.
TEST(SettingsDpiSection, RepaintsWhileTypingLeaveTheBoxAsTyped) {
    SettingsRig rig;
    rig.start();
    rig.clickHeader("DPI Setting");
    QLineEdit* edit = rig.sections().dpiEdit(2);
    edit->setFocus();
    edit->end(false);
    for (int i = 0; i < 4; ++i) {
        QTest::keyClick(edit, Qt::Key_Backspace);
        rig.paint();
    }
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(rig.dpiText(0), "800"); // the other boxes still follow the record
    for (const char digit : std::string("3000")) {
        QTest::keyClicks(edit, QString(QChar(digit)));
        rig.paint();
    }
    EXPECT_EQ(edit->text(), "3000");
    EXPECT_EQ(rig.record().dpiStage[2], 60);
    QTest::keyClick(edit, Qt::Key_Tab);
    rig.paint();
    EXPECT_EQ(edit->text(), "3000");

    // Emptied and left: the box shows the value stored last.
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    rig.paint();
    EXPECT_EQ(edit->text(), "");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->text(), "3000");
    // Below the limit the digits wait through repaints, then take the limit.
    edit->selectAll();
    QTest::keyClicks(edit, "4");
    rig.paint();
    EXPECT_EQ(edit->text(), "4");
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(edit->text(), "100");
    EXPECT_EQ(rig.record().dpiStage[2], 2);
    // A slider moved meanwhile writes the box it belongs to.
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    const QRect stage3 = rig.rectNamed("DPI Setting 3");
    rig.click(stage3.center().x(), stage3.top()); // the top row
    rig.paint();
    EXPECT_EQ(edit->text(), "5000");

    // The rows box waits the same way.
    rig.clickHeader("DPI Setting");
    rig.clickHeader("Scroll Speed");
    QLineEdit* rows = rig.sections().rowsEdit();
    rows->selectAll();
    QTest::keyClick(rows, Qt::Key_Backspace);
    rig.paint();
    EXPECT_EQ(rows->text(), "");
    QTest::keyClicks(rows, "12");
    rig.paint();
    EXPECT_EQ(rows->text(), "12");
    EXPECT_EQ(rig.record().wheelScrollLines, 12);
}

TEST(SettingsDpiSection, TheStageTheMouseIsAtHasItsLaneRinged) {
    SettingsRig rig;
    rig.rig.virtualMouse->setDpiStage(2);
    rig.start();
    rig.clickHeader("DPI Setting");
    // The middle of a lane's left edge, in the accent colour where ringed.
    const auto ringed = [&] {
        const QImage face = rig.window().grab().toImage();
        std::vector<int> stages;
        for (int stage = 0; stage < 4; ++stage) {
            const QColor edge = face.pixelColor(skin::kDpiSliderLeft[stage] + 5 - 24,
                                                skin::kRightHeaderTop + skin::kHeaderHeight + 128);
            if (edge.blue() > 150 && edge.blue() > edge.red() + 80)
                stages.push_back(stage + 1);
        }
        return stages;
    };
    EXPECT_EQ(ringed(), std::vector<int>{2});
    rig.rig.virtualMouse->emitEvent(1, 4);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ringed() == std::vector<int>{4}; }));
    // Stages this mouse does not use, and a mouse that went away: no ring.
    rig.rig.virtualMouse->emitEvent(1, 5);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ringed().empty(); }));
    rig.rig.virtualMouse->emitEvent(1, 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ringed() == std::vector<int>{1}; }));
    rig.rig.backend.unplug(rig.rig.virtualMouse);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ringed().empty(); }));
}

TEST(SettingsDpiSection, SlidersAndBoxesAnswerOnlyWhileTheSectionIsOpen) {
    SettingsRig rig;
    rig.start();
    EXPECT_FALSE(rig.sections().dpiEdit(0)->isVisibleTo(&rig.window()));
    // Where stage 1's slider is while the section is open.
    rig.click(rig.sliderStop("DPI Setting 1", 52, Among::All));
    EXPECT_EQ(rig.record().dpiStage[0], 16);
    rig.clickHeader("DPI Setting");
    EXPECT_TRUE(rig.sections().dpiEdit(0)->isVisibleTo(&rig.window()));
    rig.clickHeader("DPI Setting");
    EXPECT_FALSE(rig.sections().dpiEdit(0)->isVisibleTo(&rig.window()));
}

// Whatever is open and wherever the panel is, the page's elements that
// answer are its visible headers and the controls of the sections shown,
// each inside its own section's body; the boxes likewise.
TEST(SettingsPanel, EachSectionsControlsAnswerOnlyWhileItIsOpenAndOnThePanel) {
    SettingsRig rig;
    MainWindow& window = rig.start();
    SettingsSections& sections = rig.sections();
    const ElementTable& table = window.elements();
    const auto check = [&](int mask) {
        std::vector<QRect> places{sections.xyHeaderRect()};
        if (window.leftPanel().xyOpen)
            places.push_back(
                QRect(sections.xyBodyOrigin(), QSize(skin::kXYBody.width, skin::kXYBody.height)));
        std::vector<QRect> bodies;
        for (int s = 0; s < kRightSectionCount; ++s) {
            const auto section = static_cast<RightSection>(s);
            if (!sections.isVisible(section))
                continue;
            places.push_back(sections.headerRect(section));
            if (sections.isOpen(section))
                bodies.push_back(QRect(sections.bodyOrigin(section),
                                       QSize(skin::kPanelWidth, rightBodyHeight(section))));
        }
        places.insert(places.end(), bodies.begin(), bodies.end());
        std::vector<int> answering(bodies.size());
        for (ElementTable::Id id = 0; id < static_cast<int>(table.size()); ++id) {
            if (table[id].owner != rig.pages || !table.isActive(id))
                continue;
            const QRect rect = table.rectOf(id);
            EXPECT_TRUE(
                std::ranges::any_of(places, [&](QRect place) { return place.contains(rect); }))
                << "mask " << mask << " element " << id;
            for (std::size_t b = 0; b < bodies.size(); ++b)
                answering[b] += bodies[b].contains(rect);
        }
        EXPECT_TRUE(std::ranges::none_of(answering, [](int count) { return count == 0; }))
            << "mask " << mask;
        const auto shown = [&](RightSection section) {
            return sections.isOpen(section) && sections.isVisible(section);
        };
        EXPECT_EQ(sections.dpiEdit(0)->isVisibleTo(&window), shown(DpiSetting)) << mask;
        EXPECT_EQ(sections.rowsEdit()->isVisibleTo(&window), shown(ScrollSpeed)) << mask;
    };
    for (int mask = 0; mask < (1 << kRightSectionCount); ++mask) {
        sections.closeAll();
        if (mask % 3 == 0)
            sections.toggleXY();
        for (int s = kRightSectionCount - 1; s >= 0; --s) {
            const auto section = static_cast<RightSection>(s);
            if (!(mask & (1 << s)))
                continue;
            if (!sections.isVisible(section))
                sections.scrollToPosition(sections.position() == PanelPosition::Top
                                              ? PanelPosition::Bottom
                                              : PanelPosition::Top);
            sections.toggle(section);
            ASSERT_TRUE(sections.isOpen(section)) << "mask " << mask << " section " << s;
        }
        for (const PanelPosition position : {PanelPosition::Top, PanelPosition::Bottom}) {
            sections.scrollToPosition(position);
            check(mask);
        }
    }
}

TEST(SettingsDpiSection, ASwatchStoresTheChosenColourRedBlueGreenAndCancelKeepsIt) {
    SettingsRig rig;
    rig.start();
    rig.clickHeader("DPI Setting");
    rig.colours.answers.push_back(QColor(10, 20, 30));
    rig.clickNamed("Colour of DPI stage 2");
    EXPECT_EQ(rig.colours.opened, 1);
    EXPECT_EQ(rig.record().stageColor[3], 10); // red
    EXPECT_EQ(rig.record().stageColor[4], 30); // blue
    EXPECT_EQ(rig.record().stageColor[5], 20); // green
    const QImage face = rig.window().grab().toImage();
    EXPECT_EQ(face.pixelColor(rig.rectNamed("Colour of DPI stage 2").center()), QColor(10, 20, 30));

    rig.clickNamed("Colour of DPI stage 2"); // cancelled
    EXPECT_EQ(rig.colours.opened, 2);
    // Each opening starts at the stage's colour of the moment.
    ASSERT_EQ(rig.colours.initials.size(), 2u);
    EXPECT_EQ(rig.colours.initials[1], QColor(10, 20, 30));
    EXPECT_EQ(rig.record().stageColor[3], 10);
}

TEST(SettingsDpiSection, ALoadedRecordShowsInTheBoxesAtTheNextDraw) {
    SettingsRig rig;
    rig.start();
    rig.clickHeader("DPI Setting");
    rig.record().dpiStage[0] = 40;
    rig.record().dpiStage[3] = 0; // a hand-made file: the box's rule makes it 100 DPI
    rig.paint();
    EXPECT_EQ(rig.dpiText(0), "2000");
    EXPECT_EQ(rig.dpiText(3), "100");
    EXPECT_EQ(rig.record().dpiStage[3], 2);
    // Screen readers tell the boxes apart by what they set.
    EXPECT_EQ(rig.sections().dpiEdit(3)->accessibleName(), "DPI Setting 4");
}

// A control of the window as a screen reader finds it: by role and name.
QAccessibleInterface* controlNamed(MainWindow& window, QAccessible::Role role,
                                   const QString& name) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&window);
    for (int i = 0; face && i < face->childCount(); ++i)
        if (QAccessibleInterface* child = face->child(i); child && child->role() == role &&
                                                          child->text(QAccessible::Name) == name &&
                                                          !child->state().invisible)
            return child;
    return nullptr;
}

// Tabs until the keyboard is on the named control; false after a round.
bool tabTo(MainWindow& window, const QString& name) {
    for (int i = 0; i < 200; ++i) {
        if (const auto focused = window.focusedElement();
            focused && window.elements().nameOf(*focused) == name)
            return true;
        QTest::keyClick(&window, Qt::Key_Tab);
    }
    return false;
}

TEST(SettingsKeys, ArrowsStepTheSlidersMoveAlongTheStagesAndChooseTheRadios) {
    SettingsRig rig;
    MainWindow& window = rig.start();
    rig.clickHeader("DPI Setting");
    rig.sections().toggle(Lighting);

    // The four stages are one stop of Tab; Up and Down step the value the
    // box shows, Left and Right go from stage to stage.
    ASSERT_TRUE(tabTo(window, "DPI Setting 1"));
    QTest::keyClick(&window, Qt::Key_Up);
    EXPECT_EQ(rig.record().dpiStage[0], 17);
    EXPECT_EQ(rig.dpiText(0), "850");
    QTest::keyClick(&window, Qt::Key_Right);
    QTest::keyClick(&window, Qt::Key_Down);
    EXPECT_EQ(rig.record().dpiStage[1], 31);
    QTest::keyClick(&window, Qt::Key_Home);
    EXPECT_EQ(rig.record().dpiStage[1], 2); // 100 DPI, the lowest
    QTest::keyClick(&window, Qt::Key_Down);
    EXPECT_EQ(rig.record().dpiStage[1], 2);
    QAccessibleInterface* stage2 = controlNamed(window, QAccessible::Slider, "DPI Setting 2");
    ASSERT_NE(stage2, nullptr);
    EXPECT_TRUE(stage2->state().focused);
    EXPECT_EQ(stage2->text(QAccessible::Value), "100");
    ASSERT_NE(stage2->valueInterface(), nullptr);
    EXPECT_EQ(stage2->valueInterface()->maximumValue().toInt(), 100);
    stage2->valueInterface()->setCurrentValue(60);
    EXPECT_EQ(rig.record().dpiStage[1], 60);
    EXPECT_EQ(rig.dpiText(1), "3000");
    // Tab leaves the stages at once.
    QTest::keyClick(&window, Qt::Key_Tab);
    ASSERT_TRUE(window.focusedElement());
    EXPECT_FALSE(window.elements().nameOf(*window.focusedElement()).startsWith("DPI Setting"));

    // The lighting modes are radio buttons: the arrows choose as they move.
    ASSERT_TRUE(tabTo(window, "Standard"));
    QAccessibleInterface* respiration =
        controlNamed(window, QAccessible::RadioButton, "Respiration");
    ASSERT_NE(respiration, nullptr);
    EXPECT_FALSE(respiration->state().checked);
    QTest::keyClick(&window, Qt::Key_Down);
    EXPECT_EQ(rig.record().lightingMode, 2);
    EXPECT_TRUE(respiration->state().checked);
    EXPECT_TRUE(respiration->state().focused);
    QTest::keyClick(&window, Qt::Key_Up);
    QTest::keyClick(&window, Qt::Key_Up); // round to the last
    EXPECT_EQ(rig.record().lightingMode, 3);
    // Coming back by Tab lands on the chosen one.
    QTest::keyClick(&window, Qt::Key_Tab);
    QTest::keyClick(&window, Qt::Key_Backtab);
    ASSERT_TRUE(window.focusedElement());
    EXPECT_EQ(window.elements().nameOf(*window.focusedElement()), "Neon");
}

// ------------------------------------------------- Lighting, report rate

TEST(SettingsLightingSection, RadiosPickTheModeAndSlidersTheirParameter) {
    SettingsRig rig;
    rig.start();
    rig.clickHeader("Lighting");
    rig.clickNamed("Respiration", ElementRole::RadioButton); // the second row
    EXPECT_EQ(rig.record().lightingMode, 2);
    const QRect standard = rig.rectNamed("Standard", ElementRole::Slider);
    rig.click(standard.right() - 3, standard.center().y()); // the first row's last pixels
    EXPECT_EQ(rig.record().lightingParam1, 6);
    // The second row's slider, nearest the third stop.
    rig.click(rig.sliderStop("Respiration", 3) - QPoint(4, 0));
    EXPECT_EQ(rig.record().lightingParam2, 3);
    EXPECT_EQ(rig.record().lightingMode, 2);
}

TEST(SettingsReportRateSection, OnlyTheRingCountsAndEachQuadrantHasItsRate) {
    SettingsRig rig;
    rig.start();
    rig.clickHeader("USB Report Rate");
    const QPoint centre =
        rig.rectNamed("USB Report Rate", ElementRole::Slider).topLeft() + QPoint(64, 64);
    const auto clickAt = [&](int dx, int dy) {
        rig.click(centre.x() + dx, centre.y() + dy);
        return rig.record().reportRateCode;
    };
    rig.record().reportRateCode = 2;
    EXPECT_EQ(clickAt(18, -24), 2); // 30 pixels from the centre
    EXPECT_EQ(clickAt(39, -52), 2); // 65 pixels
    EXPECT_EQ(clickAt(50, 0), 2);   // on the axis
    EXPECT_EQ(clickAt(30, -30), 1);
    EXPECT_EQ(clickAt(-30, -30), 8);
    EXPECT_EQ(clickAt(30, 30), 2);
    EXPECT_EQ(clickAt(-30, 30), 4);
}

// ------------------------------------------------------------- gauges

TEST(SettingsSpeedGauges, BelowTheCentreLineNothingChangesTheRightEndIsFast) {
    SettingsRig rig;
    rig.start();
    rig.clickHeader("Mouse Speed");
    // The gauge's pivot.
    const QPoint centre =
        rig.rectNamed("Mouse Speed", ElementRole::Slider).topLeft() + QPoint(71, 71);
    rig.click(centre.x() + 50, centre.y() + 1);
    EXPECT_EQ(rig.record().pointerSpeed, 6);
    rig.click(centre.x() + 70, centre.y());
    EXPECT_EQ(rig.record().pointerSpeed, 12);
    rig.click(centre.x() - 70, centre.y());
    EXPECT_EQ(rig.record().pointerSpeed, 2);
    EXPECT_EQ(rig.record().doubleClickSpeed, 7); // the other gauge is closed
}

TEST(SettingsSpeedGauges, TheDoubleClickGaugeSetsItsOwnField) {
    SettingsRig rig;
    rig.start();
    rig.clickHeader("Double Click Speed");
    const QPoint centre =
        rig.rectNamed("Double Click Speed", ElementRole::Slider).topLeft() + QPoint(71, 71);
    rig.click(centre - QPoint(0, 60)); // straight up
    EXPECT_EQ(rig.record().doubleClickSpeed, 7);
    rig.click(centre + QPoint(60, 0));
    EXPECT_EQ(rig.record().doubleClickSpeed, 12);
    EXPECT_EQ(rig.record().pointerSpeed, 6);
}

// ------------------------------------------------------------ scrolling

TEST(SettingsScrollSection, ArrowsKeepTheirLimitsAndTypedValuesOutsideBecomeOne) {
    SettingsRig rig;
    rig.start();
    rig.record().wheelScrollLines = 1;
    rig.clickHeader("Scroll Speed");
    QLineEdit* rows = rig.sections().rowsEdit();
    ASSERT_TRUE(rows->isVisibleTo(&rig.window()));
    EXPECT_EQ(rows->text(), "1");
    rig.clickNamed("Fewer rows"); // at 1
    EXPECT_EQ(rig.record().wheelScrollLines, 1);
    EXPECT_EQ(rows->text(), "1");
    rig.clickNamed("More rows");
    EXPECT_EQ(rows->text(), "2");
    EXPECT_EQ(rig.record().wheelScrollLines, 2);
    rows->setText("100");
    rig.clickNamed("More rows"); // at 100
    EXPECT_EQ(rig.record().wheelScrollLines, 100);
    EXPECT_EQ(rows->text(), "100");
    rows->setText("0");
    EXPECT_EQ(rows->text(), "1");
    rows->setText("101");
    EXPECT_EQ(rows->text(), "1");
    EXPECT_EQ(rig.record().wheelScrollLines, 1);
}

TEST(SettingsScrollSection, TypedRowsKeepTheirDigitsUntilTypingEnds) {
    SettingsRig rig;
    rig.start();
    rig.record().wheelScrollLines = 3;
    rig.clickHeader("Scroll Speed");
    QLineEdit* rows = rig.sections().rowsEdit();
    rows->selectAll();
    QTest::keyClick(rows, Qt::Key_Backspace);
    EXPECT_EQ(rows->text(), ""); // a cleared box is not turned into "1"
    QTest::keyClicks(rows, "5");
    EXPECT_EQ(rows->text(), "5");
    EXPECT_EQ(rig.record().wheelScrollLines, 5);
    QTest::keyClicks(rows, "a-");
    EXPECT_EQ(rows->text(), "5");
    QTest::keyClick(rows, Qt::Key_Return);
    EXPECT_EQ(rows->text(), "5");
    // Left empty, the box shows the stored value again.
    rows->selectAll();
    QTest::keyClick(rows, Qt::Key_Backspace);
    QTest::keyClick(rows, Qt::Key_Return);
    EXPECT_EQ(rows->text(), "5");
    // Beyond the limit at the end of typing: the rule's "1".
    rows->selectAll();
    QTest::keyClicks(rows, "250");
    EXPECT_EQ(rig.record().wheelScrollLines, 25); // the last value inside
    QTest::keyClick(rows, Qt::Key_Return);
    EXPECT_EQ(rows->text(), "1");
    EXPECT_EQ(rig.record().wheelScrollLines, 1);
}

TEST(SettingsScrollSection, OneScreenDisablesTheRowsBoxAndRowsEnablesIt) {
    SettingsRig rig;
    rig.start();
    rig.clickHeader("Scroll Speed");
    rig.clickNamed("Scroll one screen");
    EXPECT_EQ(rig.record().scrollOneScreen, 1);
    EXPECT_FALSE(rig.sections().rowsEdit()->isEnabled());
    rig.clickNamed("The number of rows");
    EXPECT_EQ(rig.record().scrollOneScreen, 0);
    EXPECT_TRUE(rig.sections().rowsEdit()->isEnabled());
}

// -------------------------------------------------------- step sliders

TEST(SettingsStepSliders, LeftOfTheFirstStopIsOneAndTheLastTenPixelsAreEleven) {
    SettingsRig rig;
    rig.start();
    rig.clickHeader("X/Y Sensitivity Setting");
    ASSERT_TRUE(rig.window().leftPanel().xyOpen);
    const QRect x = rig.rectNamed("X axis");
    rig.click(x.left(), x.center().y());
    EXPECT_EQ(rig.record().sensitivityX, 1);
    const QRect y = rig.rectNamed("Y axis");
    rig.click(y.right() - 8, y.center().y());
    EXPECT_EQ(rig.record().sensitivityY, 11);

    rig.clickHeader("Angle Snap");
    const QRect angle = rig.rectNamed("Angle Snap", ElementRole::Slider);
    rig.click(angle.right() - 2, angle.center().y());
    EXPECT_EQ(rig.record().angleSnapLevel, 11);
    rig.click(rig.sliderStop("Angle Snap", 3) + QPoint(5, 0)); // nearer stop 3 than stop 4
    EXPECT_EQ(rig.record().angleSnapLevel, 3);
}

TEST(SettingsStepSliders, TheXYSectionFollowsTheAssignmentSection) {
    SettingsRig rig;
    rig.start();
    // Where header and slider are before the assignment section opens above them.
    const QPoint header = rig.rectNamed("X/Y Sensitivity Setting").center();
    const QPoint stop = rig.sliderStop("X axis", 3, Among::All);
    rig.window().leftPanel().assignmentOpen = true; // pushes it down by its body
    rig.paint();
    const QPoint down(0, skin::kAssignmentBody.height);
    rig.click(header + down);
    ASSERT_TRUE(rig.window().leftPanel().xyOpen);
    rig.click(stop + down);
    EXPECT_EQ(rig.record().sensitivityX, 3);
}

// ------------------------------------------- panel overflow and scrolling

TEST(SettingsPanel, WithThreeUpperSectionsOpenTheLowerOnesAreNotShown) {
    SettingsRig rig;
    rig.start();
    rig.clickHeader("DPI Setting");
    rig.clickHeader("Lighting"); // below the DPI body
    rig.clickHeader("USB Report Rate");
    auto& sections = rig.sections();
    ASSERT_TRUE(sections.isOpen(DpiSetting) && sections.isOpen(Lighting) &&
                sections.isOpen(ReportRate));
    for (RightSection lower : {MouseSpeed, DoubleClickSpeed, ScrollSpeed, AngleSnap})
        EXPECT_FALSE(sections.isVisible(lower));
    // Where Mouse Speed's header would be, nothing answers.
    const QRect rate = rig.rectNamed("USB Report Rate", ElementRole::SectionHeader);
    EXPECT_FALSE(
        rig.click(rate.center() + QPoint(0, skin::kHeaderHeight + skin::kReportRateBody.height +
                                                skin::kSectionGap)));
    EXPECT_FALSE(sections.isOpen(MouseSpeed));
}

TEST(SettingsPanel, TheThumbBelowHalfWayShowsTheFourLowerSections) {
    SettingsRig rig;
    MainWindow& window = rig.start();
    auto& sections = rig.sections();
    rig.clickHeader("Mouse Speed");
    // Everything fits: the panel stays at the top and so does the thumb.
    window.scrollThumb()->dragBy(300);
    QCoreApplication::processEvents();
    EXPECT_EQ(sections.position(), PanelPosition::Top);
    EXPECT_EQ(window.scrollThumb()->y(), 32);

    rig.clickHeader("DPI Setting");
    ASSERT_TRUE(window.scrollThumb()->dragBy(300));
    QCoreApplication::processEvents();
    EXPECT_EQ(sections.position(), PanelPosition::Bottom);
    for (RightSection upper : {DpiSetting, Lighting, ReportRate})
        EXPECT_FALSE(sections.isVisible(upper));
    EXPECT_FALSE(sections.dpiEdit(0)->isVisibleTo(&window));
    EXPECT_EQ(sections.headerRect(MouseSpeed).top(), 32);
    EXPECT_EQ(sections.headerRect(AngleSnap).top(), 32 + 125 + 25 + 25);
    // The top header is Mouse Speed's now: a click there closes it. Then
    // everything fits at the top again, and panel and thumb go back up, so
    // that DPI Setting is not left out of reach.
    rig.clickHeader("Mouse Speed");
    EXPECT_FALSE(sections.isOpen(MouseSpeed));
    EXPECT_TRUE(sections.isOpen(DpiSetting));
    EXPECT_EQ(sections.position(), PanelPosition::Top);
    EXPECT_EQ(window.scrollThumb()->y(), 32);
    EXPECT_TRUE(sections.isVisible(DpiSetting));
    EXPECT_TRUE(sections.dpiEdit(0)->isVisibleTo(&window));
}

TEST(SettingsPanel, TheWheelAndTheThumbsReleaseKeepPanelAndThumbTogether) {
    SettingsRig rig;
    MainWindow& window = rig.start();
    auto& sections = rig.sections();
    ScrollThumb* thumb = window.scrollThumb();
    const auto wheel = [&](int x, int notches) {
        QWheelEvent event(QPointF(x, 300), window.mapToGlobal(QPointF(x, 300)), QPoint(),
                          QPoint(0, notches * 120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                          false);
        QCoreApplication::sendEvent(&window, &event);
    };
    wheel(850, -1); // nothing to scroll to yet
    EXPECT_EQ(sections.position(), PanelPosition::Top);

    rig.clickHeader("DPI Setting");
    rig.clickHeader("Mouse Speed");
    wheel(500, -1); // over the mouse view: not the panel's wheel
    EXPECT_EQ(sections.position(), PanelPosition::Top);
    wheel(850, -1);
    EXPECT_EQ(sections.position(), PanelPosition::Bottom);
    EXPECT_EQ(thumb->y(), 595 - 114);
    wheel(850, 1);
    EXPECT_EQ(sections.position(), PanelPosition::Top);
    EXPECT_EQ(thumb->y(), 32);
    // Page Down and Page Up do the same from the keyboard, also when an edit
    // box of the panel has the keys.
    QTest::keyClick(&window, Qt::Key_PageDown);
    EXPECT_EQ(sections.position(), PanelPosition::Bottom);
    EXPECT_EQ(thumb->y(), 595 - 114);
    QTest::keyClick(&window, Qt::Key_PageUp);
    EXPECT_EQ(sections.position(), PanelPosition::Top);
    EXPECT_EQ(thumb->y(), 32);
    sections.dpiEdit(0)->setFocus();
    QTest::keyClick(sections.dpiEdit(0), Qt::Key_PageDown);
    EXPECT_EQ(sections.position(), PanelPosition::Bottom);
    QTest::keyClick(&window, Qt::Key_PageUp);
    EXPECT_EQ(sections.position(), PanelPosition::Top);

    // A drag just past half way and let go: the thumb rests at the bottom.
    dragThumbAndLetGo(*thumb, 290);
    EXPECT_EQ(sections.position(), PanelPosition::Bottom);
    EXPECT_EQ(thumb->y(), 595 - 114);
}

TEST(SettingsPanel, TheThumbsReleaseReachesPagesBuiltBeforeTheThumb) {
    // The program builds the pages before start-up makes the thumb.
    SettingsRig rig;
    rig.installBeforeStartUp = true;
    MainWindow& window = rig.start();
    auto& sections = rig.sections();
    ScrollThumb* thumb = window.scrollThumb();
    rig.clickHeader("DPI Setting");
    rig.clickHeader("Mouse Speed");

    // Just short of half way and let go: panel and thumb back at the top.
    dragThumbAndLetGo(*thumb, 100);
    EXPECT_EQ(sections.position(), PanelPosition::Top);
    EXPECT_EQ(thumb->y(), 32);
}

TEST(SettingsPanel, SlidersFollowADragAndHoldTheirEndValuesPastTheirEnds) {
    SettingsRig rig;
    MainWindow& window = rig.start();
    rig.clickHeader("DPI Setting");
    const QRect stage1 = rig.rectNamed("DPI Setting 1");
    QTest::mousePress(&window, Qt::LeftButton, {}, rig.sliderStop("DPI Setting 1", 52));
    const int pressed = rig.record().dpiStage[0];
    const auto dragTo = [&](QPoint at) {
        QMouseEvent move(QEvent::MouseMove, QPointF(at), window.mapToGlobal(QPointF(at)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&window, &move);
    };
    // Off the slider's side, higher up.
    dragTo(rig.sliderStop("DPI Setting 1", 82) + QPoint(stage1.width(), 0));
    EXPECT_GT(rig.record().dpiStage[0], pressed);
    const QPoint farAbove(stage1.center().x(), stage1.top() - 70);
    dragTo(farAbove); // the top value
    EXPECT_EQ(rig.record().dpiStage[0], 100);
    EXPECT_EQ(rig.dpiText(0), "5000");
    QTest::mouseRelease(&window, Qt::LeftButton, {}, farAbove);
    dragTo(rig.sliderStop("DPI Setting 1", 2)); // released: moves change nothing
    EXPECT_EQ(rig.record().dpiStage[0], 100);

    rig.clickHeader("X/Y Sensitivity Setting");
    const QRect x = rig.rectNamed("X axis");
    QTest::mousePress(&window, Qt::LeftButton, {}, rig.sliderStop("X axis", 1));
    EXPECT_EQ(rig.record().sensitivityX, 1);
    dragTo(rig.sliderStop("X axis", 4) + QPoint(0, x.height() * 2)); // below the slider
    EXPECT_EQ(rig.record().sensitivityX, 4);
    const QPoint farRight(x.right() + 150, x.center().y());
    dragTo(farRight);
    EXPECT_EQ(rig.record().sensitivityX, 11);
    QTest::mouseRelease(&window, Qt::LeftButton, {}, farRight);
}

TEST(SettingsPanel, ClicksReachTheSectionsThroughTheWindowAndEmptyAreasAreLeftToDragging) {
    SettingsRig rig;
    MainWindow& window = rig.start();
    QTest::mouseClick(&window, Qt::LeftButton, {},
                      rig.rectNamed("DPI Setting", ElementRole::SectionHeader).center());
    EXPECT_TRUE(rig.sections().isOpen(DpiSetting));
    const QRect last = rig.rectNamed("Angle Snap", ElementRole::SectionHeader);
    EXPECT_FALSE(rig.click(last.center() + QPoint(0, 4 * last.height()))); // below the last header
    // The DPI body between its header and the top of the sliders.
    EXPECT_FALSE(rig.click(rig.rectNamed("DPI Setting 1").topLeft() - QPoint(0, 30)));
}

// -------------------------------------------------- Save, Reset, Cancel

TEST(SettingsSave, TwoSavesWithinTheLockUploadOnce) {
    SettingsRig rig;
    rig.start();
    rig.clickNamed("Save");
    rig.clickNamed("Save");
    EXPECT_TRUE(rig.pages->actions().applyBusy());
    ASSERT_TRUE(settled(rig));
    EXPECT_EQ(rig.rig.virtualMouse->uploadsBegun(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.pages->actions().applyBusy(); }));
    rig.clickNamed("Save");
    ASSERT_TRUE(settled(rig));
    EXPECT_EQ(rig.rig.virtualMouse->uploadsBegun(), 2);
    EXPECT_TRUE(rig.rig.messages.messages.empty());
}

TEST(SettingsSave, SaveUploadsStoresAndShowsTheWaitCursor) {
    SettingsRig rig;
    rig.start();
    rig.clickHeader("X/Y Sensitivity Setting");
    rig.clickSliderStop("X axis", 3);
    rig.clickNamed("Save");
    EXPECT_TRUE(rig.pages->actions().waitCursorShown());
    ASSERT_TRUE(settled(rig));

    EXPECT_EQ(rig.rig.virtualMouse->configurationBlock()[0x4A], 3 * 20);
    EXPECT_EQ(rig.rig.state().appliedRecord, rig.record());
    const std::string file = readText(rig.rig.dir / "config0.bin");
    ASSERT_EQ(file.size(), kProfileFileSize);
    EXPECT_EQ(file[1 + 0x3A], 3);
    // No pointer control was touched: the desktop keeps its own settings.
    EXPECT_TRUE(rig.desktop.setKeys().empty());
    // The cursor has its own timer, however long the upload took.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !rig.pages->actions().waitCursorShown(); }));
}

TEST(SettingsSave, WithoutTheMouseTheFilesAreSavedAndTheMouseGetsThemWhenItComesBack) {
    SettingsRig rig;
    rig.start();
    rig.rig.backend.unplug(rig.rig.virtualMouse);
    ASSERT_TRUE(QTest::qWaitFor([&] { return rig.rig.balloons.shown.size() == 1; }));
    rig.rig.balloons.shown.clear();
    rig.clickHeader("X/Y Sensitivity Setting");
    rig.clickSliderStop("X axis", 3);
    rig.clickNamed("Save");
    ASSERT_TRUE(settled(rig));
    const std::string file = readText(rig.rig.dir / "config0.bin");
    ASSERT_EQ(file.size(), kProfileFileSize);
    EXPECT_EQ(file[1 + 0x3A], 3);
    EXPECT_EQ(rig.rig.state().appliedRecord, rig.record());
    EXPECT_EQ(rig.rig.session->saveProgress().phase, SaveProgress::Phase::NotReceived);
    EXPECT_EQ(saveProgressTexts(Language::English).notReceived, "Saved to files only");
    ASSERT_EQ(rig.rig.balloons.shown.size(), 1u);
    EXPECT_EQ(rig.rig.balloons.shown[0].text, "The system did not detect the gaming mouse!");
    EXPECT_TRUE(rig.rig.profiles().mouseOutOfDate());

    // Edited again but not saved: the mouse gets what the files hold, once.
    const int uploads = rig.rig.virtualMouse->uploadsBegun();
    rig.clickSliderStop("X axis", 5);
    rig.rig.backend.plug(rig.rig.virtualMouse);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return rig.rig.virtualMouse->uploadsBegun() == uploads + 1; }));
    ASSERT_TRUE(settled(rig));
    EXPECT_EQ(rig.rig.virtualMouse->configurationBlock()[0x4A], 3 * 20);
    EXPECT_EQ(rig.record().sensitivityX, 5);
    EXPECT_FALSE(rig.rig.profiles().mouseOutOfDate());
    EXPECT_TRUE(rig.rig.messages.messages.empty());
}

TEST(SettingsSave, AMouseGoneDuringTheUploadKeepsTheEditsAndTellsTheUser) {
    SettingsRig rig;
    rig.start();
    rig.clickHeader("X/Y Sensitivity Setting");
    rig.clickSliderStop("X axis", 3);
    rig.rig.virtualMouse->resetCallCount();
    rig.rig.virtualMouse->armFault(VirtualMouse::FaultKind::VanishAt, 8); // in the button block
    rig.clickNamed("Save");
    ASSERT_TRUE(settled(rig));

    const std::string file = readText(rig.rig.dir / "config0.bin");
    ASSERT_EQ(file.size(), kProfileFileSize);
    EXPECT_EQ(file[1 + 0x3A], 3);
    EXPECT_EQ(rig.rig.state().appliedRecord, rig.record());
    ASSERT_EQ(rig.rig.balloons.shown.size(), 1u);
    EXPECT_EQ(rig.rig.balloons.shown[0].text, "The system did not detect the gaming mouse!");
}

TEST(SettingsCancel, ReopeningAfterCancelShowsTheValuesLastSaved) {
    SettingsRig rig;
    MainWindow& window = rig.start();
    rig.clickHeader("DPI Setting");
    rig.clickSliderStop("DPI Setting 1", 52); // 2600 DPI
    rig.clickNamed("Save");
    ASSERT_TRUE(settled(rig));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !rig.pages->actions().applyBusy(); }));
    rig.clickSliderStop("DPI Setting 1", 22); // 1100 DPI, not saved
    // Where the X axis slider is when its section is open; it is closed.
    rig.click(rig.sliderStop("X axis", 2, Among::All));
    EXPECT_EQ(rig.dpiText(0), "1100");

    rig.clickNamed("Cancel");
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.reloadOnReopen);
    window.trayLeftClick();
    EXPECT_TRUE(window.isVisible());
    rig.paint();
    EXPECT_EQ(rig.record().dpiStage[0], 52);
    EXPECT_EQ(rig.dpiText(0), "2600");
    EXPECT_EQ(rig.record(), rig.rig.state().appliedRecord);
    EXPECT_EQ(rig.rig.virtualMouse->uploadsBegun(), 1);
}

TEST(SettingsReset, WithoutTheMouseTheDefaultsComeFromConfigBinAndMacrosStay) {
    SettingsRig rig(WindowRig::Mouse::Absent);
    std::string defaults(kProfileFileSize, '\0');
    for (std::size_t i = 1; i < defaults.size(); ++i)
        defaults[i] = static_cast<char>(i % 97 + 1);
    WindowRig::writeFile(rig.rig.dir / "config.bin", defaults);
    WindowRig::writeFile(rig.rig.dir / "str.ini",
                         "[Profile]\r\nCurProfileName=P1\r\nItemCount=1\r\nItem0=P1\r\n");
    rig.start();
    rig.record().activeProfile = 4;
    rig.record().macroData.fill(0x5A);
    rig.clickHeader("DPI Setting");
    rig.clickHeader("X/Y Sensitivity Setting");

    // The question names the profile; Cancel changes nothing.
    const ConfigRecord before = rig.record();
    rig.clickNamed("Reset");
    ASSERT_EQ(rig.messages().size(), 1u);
    EXPECT_EQ(rig.messages()[0].text, "Reset the profile \"P1\" to the factory settings?");
    EXPECT_EQ(rig.record(), before);
    EXPECT_TRUE(rig.sections().isOpen(DpiSetting));
    EXPECT_FALSE(rig.pages->actions().waitCursorShown());

    rig.rig.messages.confirmations = {true};
    rig.clickNamed("Reset");
    const auto bytes = recordBytes(rig.record());
    EXPECT_EQ(bytes[0], 4);
    for (std::size_t i = 1; i < kSettingsPartSize; ++i)
        ASSERT_EQ(bytes[i], static_cast<std::uint8_t>(defaults[i + 1])) << i;
    for (std::size_t i = kSettingsPartSize; i < kRecordSize; ++i)
        ASSERT_EQ(bytes[i], 0x5A) << i;
    EXPECT_FALSE(rig.sections().isOpen(DpiSetting));
    EXPECT_FALSE(rig.window().leftPanel().xyOpen);
    EXPECT_TRUE(rig.pages->actions().waitCursorShown());
}

TEST(SettingsReset, WithTheMouseItUploadsAndClosesEverything) {
    SettingsRig rig;
    MainWindow& window = rig.start();
    WindowRig::writeFile(rig.rig.dir / "config.bin", readText(rig.rig.dir / "config0.bin"));
    rig.clickHeader("DPI Setting");
    rig.clickHeader("Mouse Speed"); // below the DPI body
    window.scrollThumb()->dragBy(300);
    QCoreApplication::processEvents();
    ASSERT_EQ(rig.sections().position(), PanelPosition::Bottom);

    const std::string saved = readText(rig.rig.dir / "config0.bin");
    rig.clickNamed("Reset"); // cancelled
    ASSERT_TRUE(settled(rig));
    EXPECT_EQ(rig.rig.virtualMouse->uploadsBegun(), 0);
    EXPECT_EQ(readText(rig.rig.dir / "config0.bin"), saved);
    EXPECT_EQ(rig.sections().position(), PanelPosition::Bottom);

    rig.rig.messages.confirmations = {true};
    rig.clickNamed("Reset");
    ASSERT_TRUE(settled(rig));
    EXPECT_EQ(rig.rig.virtualMouse->uploadsBegun(), 1);
    EXPECT_EQ(rig.sections().position(), PanelPosition::Top);
    EXPECT_EQ(window.scrollThumb()->geometry().top(), 32);
    for (int s = 0; s < kRightSectionCount; ++s) {
        EXPECT_FALSE(rig.sections().isOpen(static_cast<RightSection>(s)));
        EXPECT_TRUE(rig.sections().isVisible(static_cast<RightSection>(s)));
    }
    EXPECT_EQ(rig.rig.state().appliedRecord, rig.record());
}

} // namespace
} // namespace qvr::test
