#include "core/text/language_tables.h"

#include <bit>
#include <gtest/gtest.h>
#include <set>
#include <typeinfo>

namespace qvr {
namespace {

constexpr std::array kLanguages{Language::English, Language::SimplifiedChinese,
                                Language::TraditionalChinese};

TEST(LanguageChoice, OnlyExactChsAndChtSelectChinese) {
    EXPECT_EQ(languageFromCode("CHS"), Language::SimplifiedChinese);
    EXPECT_EQ(languageFromCode("CHT"), Language::TraditionalChinese);
    EXPECT_EQ(languageFromCode("chs"), Language::English);
    EXPECT_EQ(languageFromCode("CHS "), Language::English);
    EXPECT_EQ(languageFromCode(" CHT"), Language::English);
    EXPECT_EQ(languageFromCode(""), Language::English);
    EXPECT_EQ(languageFromCode("EN"), Language::English);
    for (Language language : kLanguages) {
        EXPECT_EQ(languageFromCode(languageCode(language)), language);
    }
}

TEST(LanguageChoice, TheLocaleNamesTheFirstStartsLanguage) {
    const struct {
        LocaleVariables locale;
        std::string_view code;
    } cases[] = {
        {{.lang = "zh_CN.UTF-8"}, "CHS"},
        {{.lang = "zh_SG.GB2312"}, "CHS"},
        {{.lang = "zh_TW.UTF-8"}, "CHT"},
        {{.lang = "zh_HK.UTF-8"}, "CHT"},
        {{.lang = "zh_MO"}, "CHT"},
        {{.lang = "zh-Hant-TW"}, "CHT"},
        {{.lang = "zh_Hans_CN"}, "CHS"},
        {{.lang = "en_US.UTF-8"}, ""},
        {{.lang = "zh"}, ""},
        {{.lang = "C"}, ""},
        {{}, ""},
        // Precedence: LC_ALL, then LC_MESSAGES, then LANG.
        {{.lcAll = "en_GB.UTF-8", .lcMessages = "zh_CN.UTF-8", .lang = "zh_TW.UTF-8"}, ""},
        {{.lcMessages = "zh_TW.UTF-8", .lang = "zh_CN.UTF-8"}, "CHT"},
        // LANGUAGE's first entry wins, but not under the C locale.
        {{.language = "zh_TW:zh_CN:en", .lang = "en_US.UTF-8"}, "CHT"},
        {{.language = "en:zh_CN", .lang = "zh_CN.UTF-8"}, ""},
        {{.language = "zh_CN", .lcAll = "C"}, ""},
        {{.language = "zh_CN"}, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(languageCodeForLocale(c.locale), c.code)
            << c.locale.language << "|" << c.locale.lcAll << "|" << c.locale.lcMessages << "|"
            << c.locale.lang;
    }
}

TEST(LanguageChoice, EachLanguageHasItsLabelSection) {
    EXPECT_EQ(labelSectionName(Language::English), "Setting-EN");
    EXPECT_EQ(labelSectionName(Language::SimplifiedChinese), "Setting-CHS");
    EXPECT_EQ(labelSectionName(Language::TraditionalChinese), "Setting-CHT");
}

template <typename Texts> void expectNoEmptyField(const Texts& texts, Language language) {
    static_assert(sizeof(Texts) % sizeof(std::string_view) == 0);
    const auto fields =
        std::bit_cast<std::array<std::string_view, sizeof(Texts) / sizeof(std::string_view)>>(
            texts);
    for (std::size_t i = 0; i < fields.size(); ++i) {
        EXPECT_FALSE(fields[i].empty())
            << typeid(Texts).name() << " field " << i << " language " << static_cast<int>(language);
    }
}

TEST(LanguageTexts, EveryTextIsSetInEveryLanguage) {
    for (Language language : kLanguages) {
        expectNoEmptyField(mainWindowTexts(language), language);
        expectNoEmptyField(keyCombinationDialogTexts(language), language);
        expectNoEmptyField(singleKeyDialogTexts(language), language);
        expectNoEmptyField(profileManagerTexts(language), language);
        expectNoEmptyField(macroManagerTexts(language), language);
        expectNoEmptyField(macroKeyDialogTexts(language), language);
        expectNoEmptyField(helpPanelTexts(language), language);
        expectNoEmptyField(keysPanelTexts(language), language);
        expectNoEmptyField(optionListTexts(language), language);
        expectNoEmptyField(userFolderTexts(language), language);
        expectNoEmptyField(profileFileTexts(language), language);
        expectNoEmptyField(saveProgressTexts(language), language);
        expectNoEmptyField(trayMenuTexts(language), language);
        expectNoEmptyField(keyboardTexts(language), language);
    }
}

TEST(LanguageTexts, MainWindowHasSixtyNineTextsAndChineseDiffersWhereTranslated) {
    const auto english = mainWindowTexts(Language::English).allTexts();
    const auto simplified = mainWindowTexts(Language::SimplifiedChinese).allTexts();
    const auto traditional = mainWindowTexts(Language::TraditionalChinese).allTexts();
    ASSERT_EQ(english.size(), 69u);
    // Texts kept in English in every language.
    const std::set<std::string_view> shared{"QVR 2.7", "LOAD",     "SAVE",
                                            "RESET",   "DPI loop", "Windows"};
    for (std::size_t i = 0; i < english.size(); ++i) {
        if (shared.count(english[i]) != 0) {
            EXPECT_EQ(simplified[i], english[i]);
            EXPECT_EQ(traditional[i], english[i]);
        } else {
            EXPECT_NE(simplified[i], english[i]) << english[i];
            EXPECT_NE(traditional[i], english[i]) << english[i];
        }
    }
}

TEST(LanguageTexts, TellingRowsReadAsPublished) {
    const auto& en = mainWindowTexts(Language::English);
    const auto& chs = mainWindowTexts(Language::SimplifiedChinese);
    const auto& cht = mainWindowTexts(Language::TraditionalChinese);
    EXPECT_EQ(en.macroKey, "Macro Key");
    EXPECT_EQ(chs.macroKey, "宏");
    EXPECT_EQ(cht.macroKey, "巨集");
    EXPECT_EQ(chs.doubleClick, "双击");
    EXPECT_EQ(cht.doubleClick, "双击");
    EXPECT_EQ(cht.mouseSpeed, "滑鼠移動速度");
    EXPECT_EQ(chs.dpiSetting, "DPI 设置");
    EXPECT_EQ(cht.comboKey, "複合鍵");
    EXPECT_EQ(cht.hotKey, "快速鍵");
    EXPECT_EQ(chs.leftKeyRequired, "左键功能必须选择！");
    EXPECT_EQ(cht.mouseNotDetected, "系統沒有檢測到遊戲滑鼠！");
    EXPECT_EQ(chs.mouseDetected, "系统检测到游戏鼠标。");
    EXPECT_EQ(chs.buttonTitles[0], "按钮1");
    EXPECT_EQ(cht.buttonTitles[7], "按鈕8");
    EXPECT_EQ(chs.save, "保存");
    EXPECT_EQ(cht.save, "保存");
}

TEST(LanguageTexts, BalloonTextsEndWithTheSpaceBeforeTheDpiValue) {
    const auto& en = mainWindowTexts(Language::English);
    EXPECT_EQ(en.dpiStageSwitched[0], "Switch DPI into the first stage ");
    EXPECT_EQ(en.dpiStageSwitched[5], "Switch DPI into the sixth stage ");
    EXPECT_EQ(mainWindowTexts(Language::SimplifiedChinese).dpiStageSwitched[1], "DPI切换到第二段 ");
    EXPECT_EQ(mainWindowTexts(Language::TraditionalChinese).dpiStageSwitched[5],
              "DPI切換到第六段 ");
    for (Language language : kLanguages) {
        for (std::string_view stage : mainWindowTexts(language).dpiStageSwitched) {
            EXPECT_EQ(stage.back(), ' ');
        }
    }
    EXPECT_EQ(mainWindowTexts(Language::TraditionalChinese).macroKeySwitched, "切換到巨集");
}

TEST(LanguageTexts, MacroKeyLabelUsesTheLanguagesWord) {
    const auto label = [](Language language, std::string_view name) {
        return assignmentLabel(mainWindowTexts(language).macroKey, name);
    };
    EXPECT_EQ(label(Language::English, "Macro_0"), "Macro Key-Macro_0");
    EXPECT_EQ(label(Language::SimplifiedChinese, "宏_1"), "宏-宏_1");
    EXPECT_EQ(label(Language::TraditionalChinese, "巨集_0"), "巨集-巨集_0");
    EXPECT_EQ(label(Language::English, ""), "Macro Key-");
}

TEST(LanguageTexts, DefaultLabelsFollowTheFirstRunTable) {
    EXPECT_EQ(defaultButtonLabels(Language::English),
              (std::array<std::string_view, 8>{"Click", "Menu", "Mouse M Button", "Mouse Scroll Up",
                                               "Mouse Scroll Down", "DPI loop", "IE Forward",
                                               "IE Backward"}));
    const auto chs = defaultButtonLabels(Language::SimplifiedChinese);
    EXPECT_EQ(chs[0], "左键");
    EXPECT_EQ(chs[2], "滚轮");
    EXPECT_EQ(defaultButtonLabels(Language::TraditionalChinese)[1], "右鍵");
}

TEST(LanguageTexts, OptionListsFollowTheFunctionOrderOfEachLanguage) {
    const auto& en = optionListTexts(Language::English);
    EXPECT_EQ(en.functions[0], "Click");
    EXPECT_EQ(en.functions[6], "CPI Cycle");
    EXPECT_EQ(en.functions[12], "Macro Key");
    EXPECT_EQ(en.functions[13], "Button Off");
    EXPECT_EQ(en.scroll[2], "Mouse Scroll Down");
    EXPECT_EQ(en.media[6], "Volume Up");
    EXPECT_EQ(en.hotKey[9], "Select All");
    EXPECT_EQ(en.windowsCommand[6], "Run");
    const auto& cht = optionListTexts(Language::TraditionalChinese);
    EXPECT_EQ(cht.functions[12], "巨集");
    EXPECT_EQ(cht.media[4], "播放/暫停");
    EXPECT_EQ(cht.hotKey[5], "列印");
    EXPECT_EQ(optionListTexts(Language::SimplifiedChinese).windowsCommand[1], "浏览器-主页");
    for (Language language : kLanguages) {
        EXPECT_EQ(optionListTexts(language).dpi,
                  (std::array<std::string_view, 3>{"DPI +", "DPI -", "DPI Loop"}));
    }
}

TEST(LanguageTexts, DialogTextsKeepTheirQuirks) {
    EXPECT_EQ(singleKeyDialogTexts(Language::English).ok, "Ok");
    EXPECT_EQ(keyCombinationDialogTexts(Language::English).ok, "OK");
    EXPECT_EQ(macroManagerTexts(Language::SimplifiedChinese).eventListCaption, "按鍵序列");
    EXPECT_EQ(macroManagerTexts(Language::SimplifiedChinese).deleteButton, "刪除");
    EXPECT_EQ(profileManagerTexts(Language::SimplifiedChinese).deleteItem, "删除");
    EXPECT_EQ(macroManagerTexts(Language::TraditionalChinese).recordingWindowText,
              "按Ctrl+Break 停止錄製");
    EXPECT_EQ(macroKeyDialogTexts(Language::TraditionalChinese).repeatModes[2],
              "重複直到該按鍵鬆開結束");
    for (Language language : kLanguages) {
        EXPECT_EQ(profileManagerTexts(language).profileBaseName, "PROFILE");
        EXPECT_EQ(helpPanelTexts(language).version, "Version\xEF\xBC\x9A"
                                                    "1.0");
    }
}

TEST(LanguageFonts, FacesHeightsAndWeightsPerWindowAndLanguage) {
    EXPECT_EQ(fontFor(WindowFont::MainText, Language::English), (FontSpec{"Segoe UI", 15, 300}));
    EXPECT_EQ(fontFor(WindowFont::MainHeading, Language::English), (FontSpec{"Tahoma", 18, 700}));
    EXPECT_EQ(fontFor(WindowFont::SmallDialog, Language::English), (FontSpec{"Arial", 14, 400}));
    EXPECT_EQ(fontFor(WindowFont::MacroManager, Language::English),
              (FontSpec{"Segoe UI", 15, 700}));
    EXPECT_EQ(fontFor(WindowFont::SingleKey, Language::TraditionalChinese),
              (FontSpec{"黑体", 14, 400}));
    for (Language language : kLanguages) {
        EXPECT_EQ(fontFor(WindowFont::MainSmall, language), (FontSpec{"Arial", 13, 0}));
    }
}

TEST(LanguageFonts, SimplifiedChineseFaceDependsOnTheWindowsVersion) {
    for (WindowFont font : {WindowFont::MainText, WindowFont::SmallDialog, WindowFont::SingleKey,
                            WindowFont::MacroManager}) {
        EXPECT_EQ(fontFor(font, Language::SimplifiedChinese, WindowsVersion::Version6_2),
                  (FontSpec{"黑体", 13, 400}));
        EXPECT_EQ(fontFor(font, Language::SimplifiedChinese, WindowsVersion::Other),
                  (FontSpec{"宋体", 13, 400}));
    }
    EXPECT_EQ(fontFor(WindowFont::MainHeading, Language::SimplifiedChinese).height, 18);
    // Traditional Chinese always uses 黑体.
    EXPECT_EQ(fontFor(WindowFont::MainText, Language::TraditionalChinese, WindowsVersion::Other)
                  .windowsFace,
              "黑体");
}

TEST(LanguageFonts, WindowsFacesMapToInstalledLinuxFamilies) {
    EXPECT_EQ(linuxFontFamily("Segoe UI"), "DejaVu Sans");
    EXPECT_EQ(linuxFontFamily("Tahoma"), "DejaVu Sans");
    EXPECT_EQ(linuxFontFamily("Arial"), "Liberation Sans");
    EXPECT_EQ(linuxFontFamily("黑体"), "WenQuanYi Micro Hei");
    EXPECT_EQ(linuxFontFamily("宋体"), "WenQuanYi Micro Hei");
    EXPECT_EQ(linuxFontFamily("Comic Sans MS"), "sans-serif");
    for (Language language : kLanguages) {
        for (WindowFont font :
             {WindowFont::MainText, WindowFont::MainHeading, WindowFont::MainSmall,
              WindowFont::SmallDialog, WindowFont::SingleKey, WindowFont::MacroManager}) {
            EXPECT_NE(linuxFontFamily(fontFor(font, language).windowsFace), "sans-serif");
        }
    }
}

} // namespace
} // namespace qvr
