#include "core/text/language_tables.h"

#include <bit>
#include <cctype>
#include <string>

namespace qvr {
namespace {

// Index of a language in the per-language tables below.
constexpr std::size_t index(Language language) {
    return static_cast<std::size_t>(language);
}

constexpr MainWindowTexts kMainEnglish{
    "QVR 2.7",
    "LOAD",
    "SAVE",
    "RESET",
    // Section titles.
    "Button Assignment",
    "Macro Manager",
    "X/Y Sensitivity Setting",
    "DPI Setting",
    "Lighting",
    "USB Report Rate",
    "Mouse Speed",
    "Double Click Speed",
    "Scroll Speed",
    "Angle Snap",
    // Buttons and labels.
    "Config",
    "Front",
    "Side",
    "Reset",
    "Cancel",
    "Save",
    "Exit",
    // Axis and speed captions.
    "X axis",
    "Y axis",
    "Slow",
    "Fast",
    "The number of rows",
    "Scroll one screen",
    {"Button 1", "Button 2", "Button 3", "Button 4", "Button 5", "Button 6", "Button 7",
     "Button 8"},
    "DPI loop",
    "DPI Dial Up",
    "DPI Dial Down",
    // Functions.
    "Click",
    "Menu",
    "Scroll Select",
    "IE Forward",
    "IE Backward",
    "Double Click",
    "CPI Cycle",
    "Multimedia",
    "HotKey",
    "Windows",
    "Single Key",
    "Combo Key",
    "Macro Key",
    "Button Off",
    "Mouse M Button",
    "Mouse Scroll Up",
    "Mouse Scroll Down",
    // Lighting modes.
    "Standard",
    "Respiration",
    "Neon",
    // Messages.
    "Left key must be selected!",
    "The system did not detect the gaming mouse!",
    "The system detect the gaming mouse.",
    // Notifications.
    {"Switch DPI into the first stage ", "Switch DPI into the second stage ",
     "Switch DPI into the third stage ", "Switch DPI into the fourth stage ",
     "Switch DPI into the fifth stage ", "Switch DPI into the sixth stage "},
    "Switch to macro key",
    "Setting-EN",
};

constexpr MainWindowTexts kMainSimplified{
    "QVR 2.7",
    "LOAD",
    "SAVE",
    "RESET",
    "按键设置",
    "宏管理器",
    "X/Y 灵敏度设置",
    "DPI 设置",
    "灯光",
    "USB 回报率",
    "鼠标速度",
    "双击速度",
    "滚轮速度",
    "直线修正",
    "配置",
    "正面",
    "侧面",
    "重置",
    "取消",
    "保存",
    "退出",
    "X 轴",
    "Y 轴",
    "慢",
    "快",
    "滚动行数",
    "一次滚动一个屏幕",
    {"按钮1", "按钮2", "按钮3", "按钮4", "按钮5", "按钮6", "按钮7", "按钮8"},
    "DPI loop",
    "DPI 增加",
    "DPI 减少",
    "左键",
    "右键",
    "滚轮功能",
    "前进",
    "后退",
    "双击",
    "DPI切换",
    "多媒体",
    "快捷键",
    "Windows",
    "单键",
    "组合键",
    "宏",
    "关闭按键",
    "滚轮",
    "滚轮向上",
    "滚轮向下",
    "常亮",
    "呼吸",
    "霓虹",
    "左键功能必须选择！",
    "系统没有检测到游戏鼠标！",
    "系统检测到游戏鼠标。",
    {"DPI切换到第一段 ", "DPI切换到第二段 ", "DPI切换到第三段 ", "DPI切换到第四段 ",
     "DPI切换到第五段 ", "DPI切换到第六段 "},
    "切换到宏",
    "Setting-CHS",
};

constexpr MainWindowTexts kMainTraditional{
    "QVR 2.7",
    "LOAD",
    "SAVE",
    "RESET",
    "按鍵設置",
    "巨集管理器",
    "X/Y 靈敏度設置",
    "DPI 設置",
    "燈光",
    "USB 回報率",
    "滑鼠移動速度",
    "雙擊速度",
    "滾輪速度",
    "直線修正",
    "配置",
    "正面",
    "側面",
    "重置",
    "取消",
    "保存",
    "結束",
    "X 軸",
    "Y 軸",
    "慢",
    "快",
    "捲動行數",
    "一次捲動一個畫面",
    {"按鈕1", "按鈕2", "按鈕3", "按鈕4", "按鈕5", "按鈕6", "按鈕7", "按鈕8"},
    "DPI loop",
    "DPI 增加",
    "DPI 減少",
    // "双击" is written with these characters in the Traditional table too.
    "左鍵",
    "右鍵",
    "滾輪功能",
    "前進",
    "後退",
    "双击",
    "DPI切換",
    "多媒體",
    "快速鍵",
    "Windows",
    "單鍵",
    "複合鍵",
    "巨集",
    "關閉按鍵",
    "滾輪",
    "滾輪向上",
    "滾輪向下",
    "恆亮",
    "呼吸",
    "霓虹",
    "左鍵功能必須選擇！",
    "系統沒有檢測到遊戲滑鼠！",
    "系統檢測到遊戲滑鼠。",
    {"DPI切換到第一段 ", "DPI切換到第二段 ", "DPI切換到第三段 ", "DPI切換到第四段 ",
     "DPI切換到第五段 ", "DPI切換到第六段 "},
    "切換到巨集",
    "Setting-CHT",
};

constexpr std::array<const MainWindowTexts*, 3> kMain{&kMainEnglish, &kMainSimplified,
                                                      &kMainTraditional};

constexpr std::array<KeyCombinationDialogTexts, 3> kComboKey{{
    {"OK", "Cancel",
     "Press the key combination: choose a modifier, click a key box, then press the key."},
    {"确定", "取消", "请按下组合键：选择修饰键，点击按键框，再按下按键。"},
    {"確定", "取消", "請按下組合鍵：選擇修飾鍵，點擊按鍵框，再按下按鍵。"},
}};

constexpr std::array<SingleKeyDialogTexts, 3> kSingleKey{{
    {"Ok", "Cancel", "Please enter a key"},
    {"确定", "取消", "请输入一个按键"},
    {"確定", "取消", "請輸入一個按鍵"},
}};

constexpr std::string_view kProfileBaseName = "PROFILE";

constexpr std::array<ProfileFileTexts, 3> kProfileFiles{{
    {"The settings of the profile you are leaving have changed. Save them first?", "Save",
     "Discard", "Cancel",
     "%1 could not be used. The profile starts from the factory settings; the damaged file is "
     "kept as %2.",
     "%1 is missing. The profile starts from the factory settings.",
     "No profile is loaded, so nothing was saved or sent to the mouse.",
     "%1 is one of the program's own files. Choose another name.", "changed",
     "Your changes have not been saved. Save them before closing?",
     "Restore the changes you had not saved?", "Restore",
     "Reset the profile \"%1\" to the factory settings?",
     "Delete the profile \"%1\" and its settings?",
     "%1 is a link in a folder other users can change; nothing was written."},
    {"要离开的配置的设置已更改。是否先保存？", "保存", "放弃", "取消",
     "无法使用 %1。该配置从出厂设置开始；损坏的文件保存为 %2。",
     "找不到 %1。该配置从出厂设置开始。", "未加载任何配置，因此没有保存，也没有发送到鼠标。",
     "%1 是本程序自己的文件。请换一个名称。", "已更改", "更改尚未保存。是否在关闭前保存？",
     "是否恢复上次未保存的更改？", "恢复", "是否将配置“%1”恢复为出厂设置？",
     "是否删除配置“%1”及其设置？", "%1 是其他用户可以更改的文件夹中的链接；未写入任何内容。"},
    {"要離開的配置的設定已變更。是否先儲存？", "儲存", "放棄", "取消",
     "無法使用 %1。該配置從出廠設定開始；損壞的檔案保存為 %2。",
     "找不到 %1。該配置從出廠設定開始。", "未載入任何配置，因此沒有儲存，也沒有傳送到滑鼠。",
     "%1 是本程式自己的檔案。請換一個名稱。", "已變更", "變更尚未儲存。是否在關閉前儲存？",
     "是否還原上次未儲存的變更？", "還原", "是否將配置「%1」還原為出廠設定？",
     "是否刪除配置「%1」及其設定？", "%1 是其他使用者可以變更的資料夾中的連結；未寫入任何內容。"},
}};

constexpr std::array<ProfileManagerTexts, 3> kProfileManager{{
    {"Configuration", "New", "Delete", "Edit", "Copy", "Load", "Save", "Warning",
     "Profile numbers up to 6.", kProfileBaseName},
    {"配置", "新建", "删除", "编辑", "复制", "加载", "保存", "警告", "最多可以存储6个配置。",
     kProfileBaseName},
    {"配置", "新建", "刪除", "編輯", "複製", "載入", "保存", "警告", "最多可以存儲6個配置。",
     kProfileBaseName},
}};

constexpr std::array<MacroManagerTexts, 3> kMacroManager{{
    {"OK",
     "Cancel",
     "Macro Manager",
     "Select Macro",
     "Key Press Sequence",
     "Record Option",
     "Record delays between key commands",
     "Loop Times",
     "New",
     "Delete",
     "Macro",
     "Start Recording",
     "Stop Recording",
     "Press Ctrl+Break key to stop recording",
     "Insert the left Button",
     "Insert the middle Button",
     "Insert the right button",
     "Insert Delay",
     "Warning",
     "Macro numbers up to 12.",
     "The macro is full: the mouse has no room for more key events. Recording stopped.",
     "A macro name must have 1 to 31 characters and no line breaks or \"]\".",
     "A macro named %1 already exists.",
     "The macro store %1 cannot be read; the macros on the mouse stay as they are."},
    // "按鍵序列" and "刪除" are written with these characters here too.
    {"确定",
     "取消",
     "宏管理器",
     "选择宏",
     "按鍵序列",
     "录制选项",
     "记录按键动作间的延迟",
     "循环次数",
     "新建",
     "刪除",
     "宏",
     "开始录制",
     "停止录制",
     "按 Ctrl+Break 停止录制",
     "插入鼠标左键",
     "插入鼠标中键",
     "插入鼠标右键",
     "插入延时",
     "警告",
     "最多可以新建12个宏。",
     "宏已满：鼠标无法再存储更多按键动作，录制已停止。",
     "宏名称须为 1 到 31 个字符，且不含换行或“]”。",
     "已有名为 %1 的宏。",
     "无法读取宏文件 %1；鼠标上的宏保持不变。"},
    {"確定",
     "取消",
     "巨集管理器",
     "選擇巨集",
     "按鍵序列",
     "錄製選項",
     "記錄按鍵動作間的延遲",
     "迴圈次數",
     "新建",
     "刪除",
     "巨集",
     "開始錄製",
     "停止錄製",
     "按Ctrl+Break 停止錄製",
     "插入滑鼠左鍵",
     "插入滑鼠中鍵",
     "插入滑鼠右鍵",
     "插入延時",
     "警告",
     "最多可以新建12個巨集。",
     "巨集已滿：滑鼠無法再儲存更多按鍵動作，錄製已停止。",
     "巨集名稱須為 1 到 31 個字元，且不含換行或「]」。",
     "已有名為 %1 的巨集。",
     "無法讀取巨集檔案 %1；滑鼠上的巨集保持不變。"},
}};

constexpr std::array<MacroKeyDialogTexts, 3> kMacroKey{{
    {"Ok",
     "Cancel",
     {"Repeat a specified number of times or press any key to end",
      "Repeat until press any key to end", "Repeat until the key is released"},
     "Please select a macro"},
    {"确定",
     "取消",
     {"重复指定次数或按任意键结束", "重复直到按任意键结束", "重复直到该按键松开结束"},
     "请从列表框选择一个宏"},
    {"確定",
     "取消",
     {"重複指定次數或按任意鍵結束", "重複直到按任意鍵結束", "重複直到該按鍵鬆開結束"},
     "請從清單方塊選擇一個巨集"},
}};

// The same in every language; the colon is the full-width U+FF1A.
constexpr std::array<std::string_view, 3> kLanguageNames{"English", "简体中文", "繁體中文"};
constexpr std::array<HelpPanelTexts, 3> kHelp{{
    {"Update Firmware", "Version：1.0", kLanguageNames,
     "The language was not changed; no file was altered.\n%1"},
    {"Update Firmware", "Version：1.0", kLanguageNames, "语言未更改，文件均未改动。\n%1"},
    {"Update Firmware", "Version：1.0", kLanguageNames, "語言未更改，檔案均未改動。\n%1"},
}};

constexpr std::array<KeysPanelTexts, 3> kKeysPanel{{
    {"Keyboard keys",
     "Keyboard keys",
     "Close",
     "In every window",
     {{{"Tab, Shift+Tab", "Next or previous control; a ring marks it"},
       {"Space", "Press the marked control"},
       {"Arrow keys", "Move within a group or an open list; step a slider"},
       {"Home, End", "First or last entry or value"},
       {"Enter, Esc", "Choose in an open list, or close it"},
       {"Page Up, Page Down", "Scroll the right panel to its top or its end"}}},
     "Enter and Esc",
     {{{"Main window, Configuration", "Do nothing"},
       {"Help panel, this panel", "Close the panel"},
       {"Macro key dialog", "OK and Cancel"},
       {"Message boxes", "Enter presses the marked button; Esc cancels"},
       {"Macro manager", "Enter is OK once a recording has stopped; Esc does nothing"}}},
     "Capturing keys",
     {{{"Key capture dialogs", "Every key is captured, Enter, Esc, Tab and Space too"},
       {"Single key", "Opened from the keyboard, it takes the next key, then moves to OK; Space "
                      "on the key box takes another"},
       {"Combination", "Space on a key box, then the key; Space on the modifier opens its list"},
       {"Macro manager", "Space on Start Recording starts a recording; Ctrl+Break ends it"}}}},
    {"键盘按键",
     "键盘按键",
     "关闭",
     "所有窗口",
     {{{"Tab、Shift+Tab", "下一个或上一个控件；以光圈标出"},
       {"空格键", "按下标出的控件"},
       {"方向键", "在组内或打开的列表中移动；调节滑块"},
       {"Home、End", "第一项或最后一项，最小值或最大值"},
       {"Enter、Esc", "在打开的列表中选择，或关闭列表"},
       {"Page Up、Page Down", "将右侧面板滚动到顶部或底部"}}},
     "Enter 与 Esc",
     {{{"主窗口、配置窗口", "无作用"},
       {"帮助面板、本面板", "关闭面板"},
       {"宏按键对话框", "确定与取消"},
       {"消息框", "Enter 按下标出的按钮；Esc 取消"},
       {"宏管理器", "录制停止后 Enter 即确定；Esc 无作用"}}},
     "捕获按键",
     {{{"按键捕获对话框", "所有键都会被捕获，包括 Enter、Esc、Tab 和空格键"},
       {"单键", "用键盘打开时直接捕获下一个键，然后移到确定；在按键框上按空格键可重新捕获"},
       {"组合键", "在按键框上按空格键，再按要设置的键；在修饰键上按空格键打开其列表"},
       {"宏管理器", "在“开始录制”上按空格键开始录制；Ctrl+Break 结束录制"}}}},
    {"鍵盤按鍵",
     "鍵盤按鍵",
     "關閉",
     "所有視窗",
     {{{"Tab、Shift+Tab", "下一個或上一個控制項；以光圈標出"},
       {"空白鍵", "按下標出的控制項"},
       {"方向鍵", "在群組內或開啟的清單中移動；調整滑桿"},
       {"Home、End", "第一項或最後一項，最小值或最大值"},
       {"Enter、Esc", "在開啟的清單中選擇，或關閉清單"},
       {"Page Up、Page Down", "將右側面板捲動到頂端或底端"}}},
     "Enter 與 Esc",
     {{{"主視窗、配置視窗", "無作用"},
       {"說明面板、本面板", "關閉面板"},
       {"巨集按鍵對話方塊", "確定與取消"},
       {"訊息方塊", "Enter 按下標出的按鈕；Esc 取消"},
       {"巨集管理器", "錄製停止後 Enter 即確定；Esc 無作用"}}},
     "擷取按鍵",
     {{{"按鍵擷取對話方塊", "所有按鍵都會被擷取，包括 Enter、Esc、Tab 和空白鍵"},
       {"單鍵", "用鍵盤開啟時直接擷取下一個鍵，然後移到確定；在按鍵框上按空白鍵可重新擷取"},
       {"組合鍵", "在按鍵框上按空白鍵，再按要設定的鍵；在修飾鍵上按空白鍵開啟其清單"},
       {"巨集管理器", "在「開始錄製」上按空白鍵開始錄製；Ctrl+Break 結束錄製"}}}},
}};

constexpr std::array<UserFolderTexts, 3> kUserFolder{{
    {"The profile list %1 could not be read. It was rebuilt from your profile files; the old "
     "file was kept as %2.",
     "The profile list %1 was missing. It was rebuilt from your profile files.",
     "Your profiles were copied from %1 to %2.",
     "These files cannot be used; nothing was overwritten:\n%1",
     "%1\nThe program runs without checking for a second copy of itself."},
    {"无法读取配置文件列表 %1。已根据您的配置文件重建该列表，原文件已保存为 %2。",
     "配置文件列表 %1 缺失。已根据您的配置文件重建该列表。", "您的配置文件已从 %1 复制到 %2。",
     "以下文件无法使用，未覆盖任何内容：\n%1", "%1\n程序将在不检查是否已有副本运行的情况下运行。"},
    {"無法讀取設定檔清單 %1。已根據您的設定檔重建該清單，原檔案已保存為 %2。",
     "設定檔清單 %1 遺失。已根據您的設定檔重建該清單。", "您的設定檔已從 %1 複製到 %2。",
     "以下檔案無法使用，未覆寫任何內容：\n%1", "%1\n程式將在不檢查是否已有副本執行的情況下執行。"},
}};

constexpr std::array<SaveProgressTexts, 3> kSaveProgress{{
    {"Saving", "Saved", "Saved to files only", "Could not save files"},
    {"正在保存", "已保存", "已保存，但鼠标未收到", "无法保存配置"},
    {"正在儲存", "已儲存", "已儲存，但滑鼠未收到", "無法儲存設定"},
}};

constexpr std::array<KeyboardTexts, 3> kKeyboard{{
    {"Close", "Colour of DPI stage %1", "More rows", "Fewer rows", "Modifier", "Key 1", "Key 2",
     "Key",
     "Keys only: press the key, then Space for OK. To take another key, Space on the key box.",
     "Keys only: Space on a key box, then the key. Space on the modifier opens its list "
     "(arrows, Space)."},
    {"关闭", "DPI 第%1段颜色", "增加行数", "减少行数", "修饰键", "按键 1", "按键 2", "按键",
     "仅用键盘：按下要设置的键，再按空格键确定。要重新设置，在按键框上按空格键。",
     "仅用键盘：在按键框上按空格键，再按要设置的键。在修饰键上按空格键打开列表（方向键、空格键）"
     "。"},
    {"關閉", "DPI 第%1段顏色", "增加行數", "減少行數", "修飾鍵", "按鍵 1", "按鍵 2", "按鍵",
     "僅用鍵盤：按下要設定的鍵，再按空白鍵確定。要重新設定，在按鍵框上按空白鍵。",
     "僅用鍵盤：在按鍵框上按空白鍵，再按要設定的鍵。在修飾鍵上按空白鍵開啟清單（方向鍵、空白鍵）"
     "。"},
}};

constexpr std::array<TrayMenuTexts, 3> kTrayMenu{{
    {"Open", "Profiles", "Start at login", "Virtual mouse", "Profile: %1", "DPI stage %1"},
    {"打开", "切换配置", "登录时启动", "虚拟鼠标", "配置：%1", "DPI 第%1段"},
    {"開啟", "切換配置", "登入時啟動", "虛擬滑鼠", "配置：%1", "DPI 第%1段"},
}};

constexpr std::array<std::string_view, 3> kDpiOptions{"DPI +", "DPI -", "DPI Loop"};

constexpr OptionListTexts makeOptionLists(const MainWindowTexts& t,
                                          std::array<std::string_view, 8> media,
                                          std::array<std::string_view, 10> hotKey,
                                          std::array<std::string_view, 7> windowsCommand) {
    return {{t.click, t.menu, t.scrollSelect, t.ieForward, t.ieBackward, t.doubleClick, t.cpiCycle,
             t.multimedia, t.hotKey, t.windows, t.singleKey, t.comboKey, t.macroKey, t.buttonOff},
            {t.mouseMButton, t.mouseScrollUp, t.mouseScrollDown},
            kDpiOptions,
            media,
            hotKey,
            windowsCommand};
}

constexpr std::array<OptionListTexts, 3> kOptionLists{{
    makeOptionLists(
        kMainEnglish,
        {"Media player", "Next Track", "Pre Track", "Stop", "Play/Pause", "Mute", "Volume Up",
         "Volume Down"},
        {"New", "Cut", "Copy", "Paste", "Save", "Print", "Find", "Redo", "Undo", "Select All"},
        {"My computer", "Browser-Home", "Search", "Maximum", "Minimum", "Show desktop", "Run"}),
    makeOptionLists(
        kMainSimplified,
        {"多媒体播放器", "下一首", "上一首", "停止", "播放/暂停", "静音", "音量+", "音量-"},
        {"新建", "剪切", "复制", "粘贴", "保存", "打印", "查找", "重复", "撤销", "全选"},
        {"我的电脑", "浏览器-主页", "搜索", "最大化", "最小化", "显示桌面", "运行"}),
    makeOptionLists(
        kMainTraditional,
        {"多媒體播放器", "下一首", "上一首", "停止", "播放/暫停", "靜音", "音量+", "音量-"},
        {"新建", "剪切", "複製", "粘貼", "保存", "列印", "查找", "重複", "撤銷", "全選"},
        {"我的電腦", "瀏覽器-主頁", "搜索", "最大化", "最小化", "顯示桌面", "運行"}),
}};

// Font rows: English, Simplified Chinese, Traditional Chinese. The Simplified
// face is chosen by the Windows version afterwards.
struct FontRow {
    WindowFont font;
    std::array<FontSpec, 3> specs;
};

constexpr std::string_view kHei = "黑体";
constexpr std::string_view kSong = "宋体";

constexpr std::array<FontRow, 6> kFonts{{
    {WindowFont::MainText, {{{"Segoe UI", 15, 300}, {kHei, 13, 400}, {kHei, 14, 400}}}},
    {WindowFont::MainHeading, {{{"Tahoma", 18, 700}, {kHei, 18, 700}, {kHei, 18, 700}}}},
    {WindowFont::MainSmall, {{{"Arial", 13, 0}, {"Arial", 13, 0}, {"Arial", 13, 0}}}},
    {WindowFont::SmallDialog, {{{"Arial", 14, 400}, {kHei, 13, 400}, {kHei, 14, 400}}}},
    {WindowFont::SingleKey, {{{"Segoe UI", 15, 400}, {kHei, 13, 400}, {kHei, 14, 400}}}},
    {WindowFont::MacroManager, {{{"Segoe UI", 15, 700}, {kHei, 13, 400}, {kHei, 14, 400}}}},
}};

struct FaceMapping {
    std::string_view windowsFace;
    std::string_view linuxFamily;
};

// DejaVu Sans is what fontconfig gives for Segoe UI and Tahoma anyway;
// Liberation Sans has Arial's metrics, so texts keep their widths.
constexpr std::array<FaceMapping, 5> kFaceMappings{{
    {"Segoe UI", "DejaVu Sans"},
    {"Tahoma", "DejaVu Sans"},
    {"Arial", "Liberation Sans"},
    {kHei, "WenQuanYi Micro Hei"},
    {kSong, "WenQuanYi Micro Hei"},
}};

} // namespace

std::array<std::string_view, MainWindowTexts::kTextCount> MainWindowTexts::allTexts() const {
    return std::bit_cast<std::array<std::string_view, kTextCount>>(*this);
}

Language languageFromCode(std::string_view lanSetting) {
    if (lanSetting == "CHS") {
        return Language::SimplifiedChinese;
    }
    if (lanSetting == "CHT") {
        return Language::TraditionalChinese;
    }
    return Language::English;
}

std::string_view languageCodeForLocale(const LocaleVariables& locale) {
    // gettext's rule: LANGUAGE counts only when a locale other than C is set.
    const std::string_view effective = !locale.lcAll.empty()        ? locale.lcAll
                                       : !locale.lcMessages.empty() ? locale.lcMessages
                                                                    : locale.lang;
    std::string_view chosen = effective;
    if (!locale.language.empty() && !effective.empty() && effective != "C" &&
        effective != "POSIX") {
        chosen = locale.language.substr(0, locale.language.find(':'));
    }
    // "zh_TW.UTF-8@euro", "zh-Hant-TW": language, then script or region.
    std::string name(chosen.substr(0, chosen.find_first_of(".@")));
    for (char& c : name) {
        c = c == '-' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (name.rfind("zh_", 0) != 0) {
        return {};
    }
    const std::string_view rest = std::string_view(name).substr(3);
    const std::string_view part = rest.substr(0, rest.find('_'));
    if (part == "hans" || part == "cn" || part == "sg") {
        return "CHS";
    }
    if (part == "hant" || part == "tw" || part == "hk" || part == "mo") {
        return "CHT";
    }
    return {};
}

std::string_view languageCode(Language language) {
    constexpr std::array<std::string_view, 3> kCodes{"EN", "CHS", "CHT"};
    return kCodes[index(language)];
}

std::string_view labelSectionName(Language language) {
    return mainWindowTexts(language).labelSection;
}

const MainWindowTexts& mainWindowTexts(Language language) {
    return *kMain[index(language)];
}

const TrayMenuTexts& trayMenuTexts(Language language) {
    return kTrayMenu[index(language)];
}

const KeyCombinationDialogTexts& keyCombinationDialogTexts(Language language) {
    return kComboKey[index(language)];
}

const SingleKeyDialogTexts& singleKeyDialogTexts(Language language) {
    return kSingleKey[index(language)];
}

const ProfileFileTexts& profileFileTexts(Language language) {
    return kProfileFiles[index(language)];
}

const ProfileManagerTexts& profileManagerTexts(Language language) {
    return kProfileManager[index(language)];
}

const MacroManagerTexts& macroManagerTexts(Language language) {
    return kMacroManager[index(language)];
}

const MacroKeyDialogTexts& macroKeyDialogTexts(Language language) {
    return kMacroKey[index(language)];
}

constexpr std::array<PointerSettingTexts, 3> kPointerSettings{{
    {"This desktop has no pointer acceleration setting, so it was not changed.",
     "This desktop has no pointer speed setting, so it was not changed.",
     "This desktop has no wheel scroll lines setting, so it was not changed.",
     "This desktop has no double-click time setting, so it was not changed.", "Pointer Settings"},
    {"此桌面没有指针加速设置，因此未作更改。", "此桌面没有指针速度设置，因此未作更改。",
     "此桌面没有滚轮滚动行数设置，因此未作更改。", "此桌面没有双击速度设置，因此未作更改。",
     "指针设置"},
    {"此桌面沒有指標加速設定，因此未作變更。", "此桌面沒有指標速度設定，因此未作變更。",
     "此桌面沒有滾輪捲動行數設定，因此未作變更。", "此桌面沒有按兩下速度設定，因此未作變更。",
     "指標設定"},
}};

const PointerSettingTexts& pointerSettingTexts(Language language) {
    return kPointerSettings[index(language)];
}

const HelpPanelTexts& helpPanelTexts(Language language) {
    return kHelp[index(language)];
}

const KeysPanelTexts& keysPanelTexts(Language language) {
    return kKeysPanel[index(language)];
}

const OptionListTexts& optionListTexts(Language language) {
    return kOptionLists[index(language)];
}

const UserFolderTexts& userFolderTexts(Language language) {
    return kUserFolder[index(language)];
}

const KeyboardTexts& keyboardTexts(Language language) {
    return kKeyboard[index(language)];
}

const SaveProgressTexts& saveProgressTexts(Language language) {
    return kSaveProgress[index(language)];
}

std::array<std::string_view, 8> defaultButtonLabels(Language language) {
    const MainWindowTexts& t = mainWindowTexts(language);
    return {t.click,           t.menu,         t.mouseMButton, t.mouseScrollUp,
            t.mouseScrollDown, t.dpiLoopLabel, t.ieForward,    t.ieBackward};
}

std::string assignmentLabel(std::string_view functionText, std::string_view name) {
    std::string label(functionText);
    label += '-';
    label += name;
    return label;
}

FontSpec fontFor(WindowFont font, Language language, WindowsVersion version) {
    for (const FontRow& row : kFonts) {
        if (row.font != font) {
            continue;
        }
        FontSpec spec = row.specs[index(language)];
        if (language == Language::SimplifiedChinese && spec.windowsFace == kHei &&
            version != WindowsVersion::Version6_2) {
            spec.windowsFace = kSong;
        }
        return spec;
    }
    return kFonts.front().specs[index(language)];
}

std::string_view linuxFontFamily(std::string_view windowsFace) {
    for (const FaceMapping& mapping : kFaceMappings) {
        if (mapping.windowsFace == windowsFace) {
            return mapping.linuxFamily;
        }
    }
    return "sans-serif";
}

} // namespace qvr
