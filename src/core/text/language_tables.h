#pragma once

#include <array>
#include <string>
#include <string_view>

namespace qvr {

// The interface language, fixed at start-up from the "Lan" setting.
enum class Language { English, SimplifiedChinese, TraditionalChinese };

// "CHS" and "CHT" compared exactly; anything else, empty included, is English.
Language languageFromCode(std::string_view lanSetting);
// The settings code of a language; English has no code of its own and is
// written "EN", which reads back as English like any other text.
std::string_view languageCode(Language language);

// The language a desktop's locale asks for, from the variables that name
// it in their order of precedence: LANGUAGE (a list; its first entry),
// LC_ALL, LC_MESSAGES, LANG. Chinese in the Simplified script (zh_CN, zh_SG,
// zh_Hans) or the Traditional one (zh_TW, zh_HK, zh_MO, zh_Hant) gives its
// code; any other locale gives an empty code, which is English.
struct LocaleVariables {
    std::string_view language = {};
    std::string_view lcAll = {};
    std::string_view lcMessages = {};
    std::string_view lang = {};
};
std::string_view languageCodeForLocale(const LocaleVariables& locale);

// Where the Lan setting lives.
inline constexpr std::string_view kLanguageSection = "Skins";
inline constexpr std::string_view kLanguageKey = "Lan";

// The settings section that holds the button labels of a language.
std::string_view labelSectionName(Language language);

// The main window's 69 texts. The fields are all std::string_view, in this
// order, so that allTexts() can list every one of them.
struct MainWindowTexts {
    std::string_view windowTitle, loadButton, saveButton, resetButton;

    // Section titles.
    std::string_view buttonAssignment, macroManager, sensitivitySetting, dpiSetting, lighting,
        reportRate, mouseSpeed, doubleClickSpeed, scrollSpeed, angleSnap;

    // Buttons and other labels.
    std::string_view config, front, side, reset, cancel, save, exit;

    // Axis and speed captions.
    std::string_view xAxis, yAxis, slow, fast, numberOfRows, scrollOneScreen;

    std::array<std::string_view, 8> buttonTitles;
    std::string_view dpiLoopLabel; // first-run label of button 6

    std::string_view dpiDialUp, dpiDialDown;

    // The function list of the assignment page, in list order.
    std::string_view click, menu, scrollSelect, ieForward, ieBackward, doubleClick, cpiCycle,
        multimedia, hotKey, windows, singleKey, comboKey, macroKey, buttonOff;
    // The Scroll Select options.
    std::string_view mouseMButton, mouseScrollUp, mouseScrollDown;

    std::string_view lightingStandard, lightingRespiration, lightingNeon;

    std::string_view leftKeyRequired, mouseNotDetected, mouseDetected;

    // Tray balloons: each stage text is followed directly by the DPI value,
    // the macro text by the macro number.
    std::array<std::string_view, 6> dpiStageSwitched;
    std::string_view macroKeySwitched;

    std::string_view labelSection;

    static constexpr std::size_t kTextCount = 69;
    std::array<std::string_view, kTextCount> allTexts() const;
};
static_assert(sizeof(MainWindowTexts) == MainWindowTexts::kTextCount * sizeof(std::string_view),
              "every main window text is one std::string_view field");

struct KeyCombinationDialogTexts {
    std::string_view ok, cancel;
    std::string_view prompt; // how a combination is captured
};

struct SingleKeyDialogTexts {
    std::string_view ok, cancel, prompt;
};

struct ProfileManagerTexts {
    std::string_view title, newButton, deleteItem, editItem, copyItem, loadItem, saveItem,
        warningCaption, limitMessage;
    std::string_view profileBaseName; // the same in every language
};

// Messages about the profile files and the switch between profiles. "%1" and
// "%2" stand for file names, or in the reset and delete questions for the
// profile's name.
struct ProfileFileTexts {
    std::string_view unsavedQuestion, saveChoice, discardChoice, cancelChoice, damagedFile,
        missingFile, notLoaded, exportRefused, changedMark;
    // Unsaved edits at the end of the program, and kept from an ended session.
    std::string_view closeQuestion, restoreQuestion, restoreChoice;
    // Their buttons are the Reset button's and the profile manager's Delete.
    std::string_view resetQuestion, deleteQuestion;
    std::string_view linkRefused; // %1 a link an export would write through
};

struct MacroManagerTexts {
    std::string_view ok, cancel, title, macroListCaption, eventListCaption, optionsCaption,
        recordDelays, loopTimes, newButton, deleteButton, macroBaseName, startRecording,
        stopRecording, recordingWindowText, insertLeftButton, insertMiddleButton, insertRightButton,
        insertDelay, warningCaption, limitMessage;
    std::string_view macroFull;       // a recording stopped because the mouse has no more room
    std::string_view invalidName;     // a rename to an unusable name
    std::string_view duplicateName;   // %1 the name taken already
    std::string_view storeUnreadable; // %1 the macro store
};

struct MacroKeyDialogTexts {
    std::string_view ok, cancel;
    std::array<std::string_view, 3> repeatModes;
    std::string_view selectMacroCaption;
};

// Said once when the user changed a pointer setting the desktop does not have.
struct PointerSettingTexts {
    std::string_view noAcceleration, noSpeed, noScrollLines, noDoubleClick, caption;
};

struct HelpPanelTexts {
    std::string_view updateFirmware, version;
    // Each language by its own name, the same in every language.
    std::array<std::string_view, 3> languageNames;
    std::string_view languageNotSaved; // %1 the file and the system's reason
};

// The keys panel, opened from the help panel: what each key does, in three
// blocks under their headings.
struct KeyHelpLine {
    std::string_view keys, action;
};
struct KeysPanelTexts {
    std::string_view entry; // the help panel's line that opens it
    std::string_view title, close;
    std::string_view everywhere;
    std::array<KeyHelpLine, 6> moving;
    std::string_view enterAndEscape;
    std::array<KeyHelpLine, 5> windows;
    std::string_view capturing;
    std::array<KeyHelpLine, 4> capture;
};

// Option lists of the assignment page; the position selects the stored value.
struct OptionListTexts {
    std::array<std::string_view, 14> functions;
    std::array<std::string_view, 3> scroll;
    std::array<std::string_view, 3> dpi;
    std::array<std::string_view, 8> media;
    std::array<std::string_view, 10> hotKey;
    std::array<std::string_view, 7> windowsCommand;
};

// Start-up messages about the user's files. "%1" and "%2" stand for paths.
struct UserFolderTexts {
    std::string_view listRebuilt;   // %1 the list, %2 where the old one was kept
    std::string_view listRecreated; // %1 the list
    std::string_view profilesMoved; // %1 from, %2 to
    std::string_view filesUnusable; // %1 one line per path
    std::string_view lockRefused;   // %1 why
};

// The status card's line about the last Save or Reset.
struct SaveProgressTexts {
    std::string_view saving;      // while the upload runs, beside its bar
    std::string_view saved;       // the mouse and the profile files have it
    std::string_view notReceived; // the files have it, the mouse did not take all of it
    std::string_view notWritten;  // the profile files could not be written
};

// The tray menu (also the title strip's menu) and the tray icon's tooltip.
struct TrayMenuTexts {
    std::string_view open, profiles, startAtLogin, virtualMouse;
    std::string_view profileLine;  // %1 the profile's name
    std::string_view dpiStageLine; // %1 the stage the mouse is at, 1..6
};

// What keyboard and screen-reader users are told: the names of controls
// that show no text of their own, and the hint lines of the capture dialogs
// opened from the keyboard.
struct KeyboardTexts {
    std::string_view close;
    std::string_view stageColour; // %1 the DPI stage, 1..4
    std::string_view moreRows, fewerRows;
    std::string_view modifier, key1, key2, key; // the capture dialogs' boxes
    std::string_view singleKeyHint, comboKeyHint;
};

const MainWindowTexts& mainWindowTexts(Language language);
const KeyboardTexts& keyboardTexts(Language language);
const TrayMenuTexts& trayMenuTexts(Language language);
const KeyCombinationDialogTexts& keyCombinationDialogTexts(Language language);
const SingleKeyDialogTexts& singleKeyDialogTexts(Language language);
const ProfileManagerTexts& profileManagerTexts(Language language);
const ProfileFileTexts& profileFileTexts(Language language);
const MacroManagerTexts& macroManagerTexts(Language language);
const MacroKeyDialogTexts& macroKeyDialogTexts(Language language);
const HelpPanelTexts& helpPanelTexts(Language language);
const KeysPanelTexts& keysPanelTexts(Language language);
const PointerSettingTexts& pointerSettingTexts(Language language);
const OptionListTexts& optionListTexts(Language language);
const UserFolderTexts& userFolderTexts(Language language);
const SaveProgressTexts& saveProgressTexts(Language language);

// The first-run labels of buttons 1..8.
std::array<std::string_view, 8> defaultButtonLabels(Language language);

// A button's label for an assignment that carries a name, such as "Macro
// Key-Macro_0": the function text, "-", then the name.
std::string assignmentLabel(std::string_view functionText, std::string_view name);

// Fonts.
enum class WindowFont {
    MainText,
    MainHeading,
    MainSmall,   // the main window's third font, the same in every language
    SmallDialog, // combination-key capture, profile manager, macro key dialog, help panel
    SingleKey,
    MacroManager,
};

// The Simplified Chinese face depends on the Windows version (6.2 or not).
enum class WindowsVersion { Version6_2, Other };

struct FontSpec {
    std::string_view windowsFace;
    int height = 0; // logical units (pixels)
    int weight = 0; // 0 = the face's default

    bool operator==(const FontSpec&) const = default;
};

FontSpec fontFor(WindowFont font, Language language,
                 WindowsVersion version = WindowsVersion::Other);

// The installed family that stands in for a Windows face on Linux.
std::string_view linuxFontFamily(std::string_view windowsFace);

} // namespace qvr
