#include "core/layout/skin_layout.h"
#include "gui/buttons/assignment_section.h"
#include "gui/widgets/label_text.h"
#include "gui/window/status_card.h"
#include "support/window_rig.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QImage>
#include <QTest>
#include <QToolTip>
#include <array>
#include <gtest/gtest.h>
#include <tuple>

namespace qvr {
namespace {

using test::WindowRig;

QImage statusArea(MainWindow& window) {
    const skin::Rect area = skin::kStatusText;
    return window.grab(QRect(area.left, area.top, area.right - area.left, area.bottom - area.top))
        .toImage();
}

// Pixels of the accent cyan the "Connected" line is written in (antialiased
// text is darker than the colour itself, so only the hue is asked for).
int accentPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += pixel.blue() > 90 && pixel.blue() > pixel.red() + 50 &&
                     pixel.blue() > pixel.green() + 10;
        }
    return count;
}

TEST(StatusCard, SaysWhetherTheMouseIsConnectedAndFollowsUnplugging) {
    WindowRig rig(WindowRig::Mouse::Present);
    MainWindow& window = rig.start();
    const QImage present = statusArea(window);
    EXPECT_GT(accentPixels(present), 10);

    rig.link.setPresent(false);
    const QImage absent = statusArea(window);
    EXPECT_EQ(accentPixels(absent), 0);
    EXPECT_NE(present, absent);
}

// Pixels of the warm red "Not connected" is written in.
int absentPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            count += pixel.red() > 120 && pixel.red() > pixel.green() + 40 &&
                     pixel.red() > pixel.blue() + 40;
        }
    return count;
}

TEST(StatusCard, TheStartUpSearchIsNeitherConnectedNorAbsentUntilItAnswers) {
    for (const auto& [lan, searching, noAnswer, connected] :
         {std::tuple{"Lan=EN", "Looking for the mouse…", "The mouse does not answer", "Connected"},
          std::tuple{"Lan=CHS", "正在查找鼠标…", "鼠标没有响应", "已连接"},
          std::tuple{"Lan=CHT", "正在尋找滑鼠…", "滑鼠沒有回應", "已連接"}}) {
        WindowRig rig(WindowRig::Mouse::Present, std::string(lan));
        rig.waitForStartUp = false;
        rig.searchPatience = std::chrono::milliseconds(30);
        rig.checkedBackend.holdSearches();
        MainWindow& window = rig.start();
        StatusCard* card = window.findChild<StatusCard*>();
        ASSERT_NE(card, nullptr);
        EXPECT_EQ(card->lineText(1), QString::fromUtf8(searching));
        // Looking: no "Not connected" on the way to "Connected".
        const QImage looking = statusArea(window);
        EXPECT_EQ(absentPixels(looking), 0) << lan;
        EXPECT_EQ(accentPixels(looking), 0) << lan;
        for (int i = 0; i < 200 && rig.session->startUpSearch() != StartUpSearch::NoAnswer; ++i)
            QTest::qWait(10);
        EXPECT_EQ(card->lineText(1), QString::fromUtf8(noAnswer));
        const QImage silent = statusArea(window);
        EXPECT_GT(absentPixels(silent), 10) << lan;
        EXPECT_NE(silent, looking) << lan;

        rig.checkedBackend.releaseSearches();
        WindowRig::waitUntilSettled(window);
        // With the stage the mouse is at, once it has been read.
        EXPECT_TRUE(card->lineText(1).startsWith(QString::fromUtf8(connected))) << lan;
        const QImage answered = statusArea(window);
        EXPECT_GT(accentPixels(answered), 10) << lan;
        EXPECT_EQ(absentPixels(answered), 0) << lan;
    }
}

// Screen readers get the card's lines as texts of the window.
QStringList spokenLines(MainWindow& window) {
    QStringList lines;
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&window);
    for (int i = 0; face && i < face->childCount(); ++i)
        if (QAccessibleInterface* child = face->child(i);
            child && child->role() == QAccessible::StaticText && !child->state().invisible)
            lines << child->text(QAccessible::Name);
    return lines;
}

TEST(StatusCard, WithoutTheMouseTheButtonPagesPlaceSaysWhenItCanBeUsed) {
    for (const auto& [lan, said] : {std::pair{"Lan=EN", "Connect the mouse to assign buttons"},
                                    std::pair{"Lan=CHS", "连接鼠标后即可设置按键"},
                                    std::pair{"Lan=CHT", "連接滑鼠後即可設定按鍵"}}) {
        WindowRig rig(WindowRig::Mouse::Absent, std::string(lan));
        rig.waitForStartUp = false;
        rig.checkedBackend.holdSearches();
        MainWindow& window = rig.start();
        const QRect place(20, 107, 242, 20);
        const QImage searching = window.grab(place).toImage();
        EXPECT_FALSE(spokenLines(window).contains(QString::fromUtf8(said))) << lan;

        rig.checkedBackend.releaseSearches();
        WindowRig::waitUntilSettled(window);
        EXPECT_TRUE(spokenLines(window).contains(QString::fromUtf8(said))) << lan;
        EXPECT_NE(window.grab(place).toImage(), searching) << lan;
        DrawnTextLog log;
        (void)window.grab(place);
        const auto drawn = std::ranges::find(log.texts, QString::fromUtf8(said), &DrawnText::text);
        ASSERT_NE(drawn, log.texts.end()) << lan;
        EXPECT_TRUE(place.contains(drawn->rect)) << lan;
        const QRect needed =
            QFontMetrics(drawn->font).boundingRect(drawn->rect, drawn->flags, drawn->text);
        EXPECT_TRUE(drawn->rect.contains(needed)) << lan;
    }
}

// A control of the window as a screen reader finds it: by its name.
QAccessibleInterface* controlNamed(MainWindow& window, const QString& name) {
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&window);
    for (int i = 0; face && i < face->childCount(); ++i)
        if (QAccessibleInterface* child = face->child(i);
            child && child->role() != QAccessible::StaticText &&
            child->text(QAccessible::Name) == name && !child->state().invisible)
            return child;
    return nullptr;
}

TEST(WindowAccessibility, TheControlsAreNamedInEachLanguageAndPressedThroughTheirAction) {
    for (const auto& [lan, language, titleButtons] :
         {std::tuple{"Lan=EN", Language::English, std::array{"Help", "Minimise", "Close"}},
          std::tuple{"Lan=CHS", Language::SimplifiedChinese, std::array{"帮助", "最小化", "关闭"}},
          std::tuple{"Lan=CHT", Language::TraditionalChinese,
                     std::array{"說明", "最小化", "關閉"}}}) {
        WindowRig rig(WindowRig::Mouse::Present, std::string(lan));
        MainWindow& window = rig.start();
        const MainWindowTexts& texts = mainWindowTexts(language);
        QStringList names;
        for (const char* name : titleButtons)
            names << QString::fromUtf8(name);
        for (const std::string_view text : {texts.save, texts.cancel, texts.reset, texts.config,
                                            texts.front, texts.side, texts.buttonAssignment})
            names << QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
        for (const QString& name : names) {
            QAccessibleInterface* control = controlNamed(window, name);
            ASSERT_NE(control, nullptr) << lan << " " << name.toStdString();
            EXPECT_TRUE(control->actionInterface()) << name.toStdString();
            EXPECT_TRUE(window.rect().contains(window.mapFromGlobal(control->rect().center())))
                << name.toStdString();
        }
        const QString side = QString::fromUtf8(texts.side.data(), texts.side.size());
        EXPECT_EQ(controlNamed(window, side)->role(), QAccessible::PageTab);
        controlNamed(window, side)
            ->actionInterface()
            ->doAction(QAccessibleActionInterface::pressAction());
        // The press comes once the reader has its answer.
        EXPECT_EQ(window.mouseView(), MouseView::Front) << lan;
        QCoreApplication::processEvents();
        EXPECT_EQ(window.mouseView(), MouseView::Side) << lan;
    }
    // The program is listed by its title; its windows are its children.
    QAccessibleInterface* application = QAccessible::queryAccessibleInterface(qApp);
    ASSERT_NE(application, nullptr);
    EXPECT_EQ(application->text(QAccessible::Name), "QVR 2.7");
    EXPECT_EQ(application->role(), QAccessible::Application);
    // Without the mouse the button page's header is not there to press.
    WindowRig absent(WindowRig::Mouse::Absent);
    MainWindow& window = absent.start();
    EXPECT_EQ(controlNamed(window, "Button Assignment"), nullptr);
    EXPECT_NE(controlNamed(window, "Save"), nullptr);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&window);
    EXPECT_GE(application->indexOfChild(face), 0);
}

TEST(WindowAccessibility, TheControlTheKeyboardIsOnIsTheFocusedChild) {
    WindowRig rig(WindowRig::Mouse::Present);
    MainWindow& window = rig.start();
    while (window.focusedElement() != window.ids().sideTab &&
           window.focusedElement() != window.ids().save)
        QTest::keyClick(&window, Qt::Key_Tab);

    ASSERT_EQ(window.focusedElement(), window.ids().sideTab);
    EXPECT_TRUE(controlNamed(window, "Side")->state().focused);
    EXPECT_TRUE(controlNamed(window, "Side")->state().focusable);
    EXPECT_FALSE(controlNamed(window, "Front")->state().focused);
    EXPECT_FALSE(controlNamed(window, "Save")->state().focused);
    QAccessibleInterface* focus = QAccessible::queryAccessibleInterface(&window)->focusChild();
    ASSERT_NE(focus, nullptr);
    EXPECT_EQ(focus->text(QAccessible::Name), "Side");
    // A press elsewhere leaves the keyboard where it was.
    window.clickAt(MainWindow::kFrontTabRect.center());
    EXPECT_TRUE(controlNamed(window, "Side")->state().focused);

    // A page's control is pressed through its page: available while the
    // page is there, gone with it.
    QAccessibleInterface* header = controlNamed(window, "Button Assignment");
    ASSERT_NE(header, nullptr);
    EXPECT_FALSE(header->state().disabled);
    EXPECT_TRUE(header->state().focusable);
    auto* assignment = window.findChild<AssignmentSection*>();
    ASSERT_NE(assignment, nullptr);
    const bool open = window.leftPanel().assignmentOpen;
    window.removePage(*assignment);
    EXPECT_EQ(controlNamed(window, "Button Assignment"), nullptr);
    window.clickAt(LeftPanel::kAssignmentHeader.center());
    EXPECT_EQ(window.leftPanel().assignmentOpen, open);
}

TEST(StatusCard, ItsLinesAreReadOutAndAShortNameIsDrawnWholeWithoutATooltip) {
    WindowRig rig(WindowRig::Mouse::Present);
    MainWindow& window = rig.start();
    rig.state().record.dpiStage[0] = 77; // an edit not saved yet
    const QStringList lines = spokenLines(window);
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0], "Gaming mouse");
    EXPECT_EQ(lines[1], "Connected · DPI stage 1");
    EXPECT_EQ(lines[2], "Profile: P1 (changed)");
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&window);
    const int last = face->childCount() - 1;
    EXPECT_EQ(face->indexOfChild(face->child(last)), last);
    EXPECT_EQ(face->child(last)->rect().topLeft(),
              window.mapToGlobal(QPoint(skin::kStatusText.left, 76)));

    DrawnTextLog log;
    (void)statusArea(window);
    EXPECT_TRUE(std::ranges::none_of(
        log.texts, [](const DrawnText& drawn) { return !drawn.elidedFrom.isEmpty(); }));
    const QPoint onName(skin::kStatusText.left + 10, 85);
    QHelpEvent help(QEvent::ToolTip, onName, window.mapToGlobal(onName));
    QCoreApplication::sendEvent(&window, &help);
    EXPECT_TRUE(QToolTip::text().isEmpty());

    rig.session->setSaveProgress({SaveProgress::Phase::Saved, 16, 16});
    EXPECT_EQ(spokenLines(window)[1], "Saved");
}

TEST(StatusCard, SaysWhichDpiStageTheMouseIsAtInEachLanguage) {
    for (const auto& [code, connected] : std::vector<std::pair<std::string, QString>>{
             {"CHS", "已连接 · DPI 第3段"}, {"CHT", "已連接 · DPI 第3段"}}) {
        WindowRig rig(WindowRig::Mouse::Present, "Lan=" + code);
        rig.virtualMouse->setDpiStage(3);
        MainWindow& window = rig.start();
        EXPECT_EQ(spokenLines(window).value(1), connected);
    }
    WindowRig rig(WindowRig::Mouse::Present);
    MainWindow& window = rig.start();
    const QImage atOne = statusArea(window);
    rig.virtualMouse->emitEvent(2, 4);
    for (int i = 0; i < 200 && spokenLines(window).value(1) != "Connected · DPI stage 4"; ++i)
        QTest::qWait(10);
    EXPECT_EQ(spokenLines(window).value(1), "Connected · DPI stage 4");
    EXPECT_NE(statusArea(window), atOne);
    rig.backend.unplug(rig.virtualMouse);
    for (int i = 0; i < 200 && spokenLines(window).value(1) != "Not connected"; ++i)
        QTest::qWait(10);
    EXPECT_EQ(spokenLines(window).value(1), "Not connected");
}

TEST(StatusCard, ShowsNothingConnectedWithoutAMouse) {
    WindowRig rig(WindowRig::Mouse::Absent);
    MainWindow& window = rig.start();
    EXPECT_EQ(accentPixels(statusArea(window)), 0);
}

} // namespace
} // namespace qvr
