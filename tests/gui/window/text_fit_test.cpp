// Every text the windows draw, in every language, must fit the rectangle it
// is drawn into: no ellipsis, no line wider than its room. The windows are
// painted in each state that shows texts; each drawn label is measured with
// the font it was drawn in. With QVR_SCREENSHOT_DIR set, every state is also
// written there as a PNG for a person to look at.

#include "core/buttons/key_tables.h"
#include "core/files/ini_file.h"
#include "gui/buttons/assignment_section.h"
#include "gui/buttons/key_combination_dialog.h"
#include "gui/buttons/single_key_dialog.h"
#include "gui/macros/macro_key_dialog.h"
#include "gui/macros/macro_manager_dialog.h"
#include "gui/profiles/macro_profile_dialogs.h"
#include "gui/profiles/profile_manager_dialog.h"
#include "gui/widgets/label_text.h"
#include "gui/widgets/qt_fonts.h"
#include "gui/widgets/skin_list_box.h"
#include "gui/window/help_panel.h"
#include "support/settings_rig.h"

#include <QAccessible>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>
#include <QToolTip>
#include <gtest/gtest.h>

namespace qvr::test {
namespace {

using enum RightSection;

constexpr std::array kLanguages = {Language::English, Language::SimplifiedChinese,
                                   Language::TraditionalChinese};

constexpr QChar kEllipsis(0x2026);

// The width an entry of any list needs, by the list's own style.
int entryWidth(const QListWidget& list, int row) {
    if (const auto* skinList = qobject_cast<const SkinListBox*>(&list))
        return skinList->entryWidth(row);
    QStyleOptionViewItem option;
    option.initFrom(&list);
    option.font = list.font();
    option.widget = &list;
    option.features |= QStyleOptionViewItem::HasDisplay;
    option.text = list.item(row)->text();
    return list.style()->sizeFromContents(QStyle::CT_ItemViewItem, &option, QSize(), &list).width();
}

// Measures what was drawn and the native lists and fields of the window,
// and saves the window's picture when asked to.
void expectEverythingFits(QWidget& window, const QString& state) {
    DrawnTextLog log;
    const QImage picture = window.grab().toImage();
    ASSERT_FALSE(log.texts.empty()) << state.toStdString();
    for (const DrawnText& drawn : log.texts) {
        const std::string where = state.toStdString() + ": \"" + drawn.text.toStdString() +
                                  "\" in " + std::to_string(drawn.rect.width()) + "x" +
                                  std::to_string(drawn.rect.height());
        // Only a text of the user's own may be shortened, and only where
        // the whole of it is offered too (checked by its state's test).
        EXPECT_TRUE(!drawn.text.contains(kEllipsis) || !drawn.elidedFrom.isEmpty()) << where;
        const QFontMetrics metrics(drawn.font);
        if (drawn.flags & Qt::TextWordWrap) {
            const QRect needed = metrics.boundingRect(drawn.rect, drawn.flags, drawn.text);
            EXPECT_LE(needed.height(), drawn.rect.height()) << where;
            EXPECT_LE(needed.width(), drawn.rect.width()) << where;
        } else {
            EXPECT_LE(metrics.horizontalAdvance(drawn.text), drawn.rect.width()) << where;
        }
    }
    for (const QListWidget* list : window.findChildren<QListWidget*>()) {
        if (!list->isVisible())
            continue;
        for (int row = 0; row < list->count(); ++row)
            EXPECT_LE(entryWidth(*list, row), list->viewport()->width())
                << state.toStdString() << ": list entry \"" << list->item(row)->text().toStdString()
                << "\"";
    }
    for (const QLineEdit* field : window.findChildren<QLineEdit*>()) {
        if (!field->isVisible() || field->text().isEmpty())
            continue;
        // QLineEdit keeps a margin of 2 pixels inside its contents.
        const int room = field->contentsRect().width() - 4;
        EXPECT_LE(field->fontMetrics().horizontalAdvance(field->text()), room)
            << state.toStdString() << ": field \"" << field->text().toStdString() << "\"";
    }
    if (const char* folder = std::getenv("QVR_SCREENSHOT_DIR"))
        picture.save(QString("%1/%2.png").arg(folder, state));
}

QString languageTag(Language language) {
    return QString::fromUtf8(languageCode(language).data());
}

struct LanguageRig {
    explicit LanguageRig(Language language) {
        WindowRig::writeFile(rig.rig.dir / "str0.ini",
                             "[Skins]\r\nPath=Carbon\r\nRColor=0\r\nGColor=255\r\nBColor=0\r\n"
                             "Lan=" +
                                 std::string(languageCode(language)) + "\r\n");
    }
    // The longest name the profile list holds (a value of at most 1023
    // UTF-16 units), in wide letters.
    void nameTheProfileAtLength() {
        longName = QString(kIniValueBufferSize - 1, QChar(u'W'));
        longName.replace(0, 2, QStringLiteral("龍W"));
        WindowRig::writeFile(rig.rig.dir / "str.ini",
                             "[Profile]\r\nCurProfileName=P1\r\nItemCount=1\r\nItem0=" +
                                 longName.toStdString() + "\r\n");
    }
    SettingsRig rig;
    QString longName;
};

// The status card's profile line: shortened in the middle on the face, whole
// in its tooltip and to screen readers.
void expectProfileLineOffered(MainWindow& window, const QString& name, const std::string& state) {
    const QString mark = qstr(profileFileTexts(window.language()).changedMark);
    QAccessibleInterface* face = QAccessible::queryAccessibleInterface(&window);
    ASSERT_NE(face, nullptr);
    QString spoken;
    for (int i = 0; i < face->childCount(); ++i)
        if (QAccessibleInterface* child = face->child(i);
            child && child->role() == QAccessible::StaticText &&
            child->text(QAccessible::Name).contains(name))
            spoken = child->text(QAccessible::Name);
    EXPECT_TRUE(spoken.endsWith(name + " (" + mark + ")")) << state;

    DrawnTextLog log;
    (void)window.grab();
    const auto shown = std::ranges::find_if(
        log.texts, [&](const DrawnText& drawn) { return drawn.elidedFrom == spoken; });
    ASSERT_NE(shown, log.texts.end()) << state;
    EXPECT_TRUE(shown->text.contains(kEllipsis)) << state;
    // Both ends of the name stay in sight, and so does the mark.
    EXPECT_TRUE(shown->text.contains(QStringLiteral("龍"))) << state;
    EXPECT_TRUE(shown->text.endsWith("W (" + mark + ")")) << state;

    QHelpEvent help(QEvent::ToolTip, shown->rect.center(),
                    window.mapToGlobal(shown->rect.center()));
    QCoreApplication::sendEvent(&window, &help);
    EXPECT_EQ(QToolTip::text(), spoken) << state;
    QToolTip::hideText();
}

// The longest names of the key table, the texts key displays must hold.
std::vector<QString> keyNames() {
    std::vector<QString> names;
    for (const KeyRow& row : kKeyNameTable)
        names.push_back(
            QString::fromUtf8(row.name.data(), static_cast<qsizetype>(row.name.size())));
    return names;
}

TEST(TextFit, TheMainWindowsTextsFitInEveryLanguage) {
    for (Language language : kLanguages) {
        LanguageRig lrig(language);
        lrig.nameTheProfileAtLength();
        SettingsRig& rig = lrig.rig;
        MainWindow& window = rig.start();
        window.resize(MainWindow::kDefaultSize);
        const QString tag = languageTag(language);
        ASSERT_EQ(window.language(), language);
        expectEverythingFits(window, "main-closed-" + tag);
        // Each line a Save puts on the status card, beside a profile changed
        // since.
        rig.record().angleSnapLevel = 4;
        for (SaveProgress::Phase phase :
             {SaveProgress::Phase::Idle, SaveProgress::Phase::Uploading, SaveProgress::Phase::Saved,
              SaveProgress::Phase::NotReceived, SaveProgress::Phase::NotWritten}) {
            rig.rig.session->setSaveProgress({phase, 5, 16});
            const QString state = QString("main-save%1-").arg(static_cast<int>(phase)) + tag;
            expectEverythingFits(window, state);
            expectProfileLineOffered(window, lrig.longName, state.toStdString());
        }
        rig.rig.session->setSaveProgress({});

        // Every section open: the upper ones at the top, the lower ones below.
        const MainWindowTexts& texts = mainWindowTexts(language);
        rig.clickHeader(qstr(texts.buttonAssignment));
        rig.clickHeader(qstr(texts.sensitivitySetting));
        for (RightSection section : {DpiSetting, Lighting, ReportRate}) {
            rig.sections().toggle(section);
        }
        expectEverythingFits(window, "main-upper-" + tag);
        for (RightSection section : {DpiSetting, Lighting, ReportRate})
            rig.sections().toggle(section);
        for (RightSection section : {MouseSpeed, DoubleClickSpeed, ScrollSpeed, AngleSnap})
            rig.sections().toggle(section);
        rig.sections().scrollToPosition(PanelPosition::Bottom);
        ASSERT_TRUE(rig.sections().isVisible(AngleSnap));
        expectEverythingFits(window, "main-lower-" + tag);

        // The function list and each option list of button 3.
        auto* section = window.findChild<AssignmentSection*>();
        ASSERT_NE(section, nullptr);
        section->clickBox(2);
        ASSERT_NE(section->functionList(2), nullptr);
        expectEverythingFits(window, "main-functions-" + tag);
        for (ButtonFunctionType type :
             {ButtonFunctionType::ScrollSelect, ButtonFunctionType::CpiCycle,
              ButtonFunctionType::Multimedia, ButtonFunctionType::HotKey,
              ButtonFunctionType::Windows}) {
            section->hoverFunctionEntry(2, static_cast<int>(type));
            QCoreApplication::processEvents();
            expectEverythingFits(window,
                                 QString("main-options%1-").arg(static_cast<int>(type)) + tag);
        }
        section->closeAllLists();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

        // The help panel over the window.
        window.toggleHelpPanel();
        expectEverythingFits(window, "main-help-" + tag);
        // The keys panel beside it, every line inside its picture.
        window.helpPanel()->toggleKeysPanel();
        const KeysPanel* keys = window.helpPanel()->keysPanel();
        ASSERT_NE(keys, nullptr);
        EXPECT_LE(keys->contentBottom(), keys->naturalSize().height() - 8) << tag.toStdString();
        expectEverythingFits(window, "main-keys-" + tag);
        window.closeHelpPanel();
    }
}

TEST(TextFit, KeyDialogsHoldTheLongestKeyNames) {
    for (Language language : kLanguages) {
        LanguageRig lrig(language);
        MainWindow& window = lrig.rig.start();
        const QString tag = languageTag(language);

        SingleKeyDialog single(window.sharedSkin(), window.messages(), language, Qt::green);
        single.show();
        expectEverythingFits(single, "single-key-" + tag);
        // Opened by the keyboard, with the hint on how it captures.
        single.setOpenedBy(SkinnedDialog::OpenedBy::Keyboard);
        expectEverythingFits(single, "single-key-keyboard-" + tag);
        const QFontMetrics singleMetrics(single.textFont());
        for (const QString& name : keyNames())
            EXPECT_LE(singleMetrics.horizontalAdvance(name),
                      SingleKeyDialog::kKeyDisplayRect.width())
                << name.toStdString();

        KeyCombinationDialog combo(window.sharedSkin(), window.messages(), language, Qt::green);
        combo.show();
        for (const QString& name : keyNames()) {
            combo.keyField1()->setText(name);
            EXPECT_LE(combo.keyField1()->fontMetrics().horizontalAdvance(name),
                      combo.keyField1()->contentsRect().width() - 4)
                << name.toStdString();
        }
        combo.keyField1()->setText("Right Windows");
        combo.keyField2()->setText("Scroll Lock");
        combo.setOpenedBy(SkinnedDialog::OpenedBy::Keyboard);
        expectEverythingFits(combo, "combo-key-keyboard-" + tag);
        combo.toggleModifierList();
        expectEverythingFits(combo, "combo-key-" + tag);

        MacroKeyDialog macro(window.sharedSkin(), window.messages(), language, Qt::green,
                             std::vector<MacroKeyChoice>{{"Macro 1", 0}, {"Macro 2", 1}},
                             std::nullopt);
        macro.show();
        macro.clickAt(MacroKeyDialog::kFieldRect.center());
        expectEverythingFits(macro, "macro-key-" + tag);
    }
}

// The longest key names in the event list still show "Dn" or "Up".
void expectEventKindsInSight(QWidget& manager) {
    QListWidget* events = nullptr;
    for (QListWidget* list : manager.findChildren<QListWidget*>())
        if (list->geometry() == MacroManagerDialog::kEventList)
            events = list;
    ASSERT_NE(events, nullptr);
    for (const char* text : {"Right Windows   Dn", "Scroll Lock   Up", "Application   Dn"})
        events->addItem(text);
    const QFontMetrics metrics(events->font());
    for (int row = 0; row < events->count(); ++row) {
        const QListWidgetItem* item = events->item(row);
        const QString shown = metrics.elidedText(item->text(), events->textElideMode(),
                                                 events->visualItemRect(item).width() - 4);
        EXPECT_TRUE(shown.endsWith("Dn") || shown.endsWith("Up")) << shown.toStdString();
    }
}

TEST(TextFit, TheManagersTextsFitInEveryLanguage) {
    for (Language language : kLanguages) {
        LanguageRig lrig(language);
        MainWindow& window = lrig.rig.start();
        const QString tag = languageTag(language);
        int runs = 0;
        window.macroProfileDialogs().setRunner(
            std::make_unique<ScriptedRunner>([&](ModalSkinnedWindow& dialog) {
                ++runs;
                expectEverythingFits(dialog, "macro-manager-" + tag);
                expectEventKindsInSight(dialog);
                // The title band says how the keyboard ends a recording.
                auto& manager = static_cast<MacroManagerDialog&>(dialog);
                manager.newMacro();
                manager.toggleRecording();
                expectEverythingFits(dialog, "macro-recording-" + tag);
                manager.toggleRecording();
            }));
        window.macroProfileDialogs().openMacroManager();
        EXPECT_EQ(runs, 1);
        // The profile manager stays open beside the window.
        window.macroProfileDialogs().openProfileManager();
        ProfileManagerDialog* profiles = window.macroProfileDialogs().profileManager();
        ASSERT_NE(profiles, nullptr);
        expectEverythingFits(*profiles, "profiles-" + tag);
        delete profiles;
    }
}

} // namespace
} // namespace qvr::test
