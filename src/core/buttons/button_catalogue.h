#pragma once

#include "core/record/config_record.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace qvr {

// The value of buttonFunction: the position of the entry in every button's
// function list. Values are stored in profile files; never renumber them.
enum class ButtonFunctionType : std::uint8_t {
    Click = 0,
    Menu = 1,
    ScrollSelect = 2,
    IeForward = 3,
    IeBackward = 4,
    DoubleClick = 5,
    CpiCycle = 6,
    Multimedia = 7,
    HotKey = 8,
    Windows = 9,
    SingleKey = 10,
    ComboKey = 11,
    MacroKey = 12,
    ButtonOff = 13,
};

inline constexpr int kButtonFunctionCount = 14;

// English entry texts of the function list, indexed by position (= type
// value). Other languages supply their own table of the same shape.
using FunctionTexts = std::array<std::string_view, kButtonFunctionCount>;
extern const FunctionTexts kFunctionTextsEnglish;

// What picking an entry of the function list does.
enum class FunctionChoice {
    StoredAtOnce,    // the type alone is the assignment
    OpensOptionList, // the value comes from a second list
    SingleKeyDialog,
    ComboKeyDialog,
    MacroKeyDialog,
};

// The five option lists and the function type each belongs to.
enum class OptionList { Scroll, Dpi, Media, HotKey, Windows };

struct OptionRow {
    std::string_view text; // English entry text
    std::uint8_t value;    // what the record stores for this entry
};

extern const std::array<OptionRow, 3> kScrollOptions;
extern const std::array<OptionRow, 3> kDpiOptions;
extern const std::array<OptionRow, 8> kMediaOptions;
extern const std::array<OptionRow, 10> kHotKeyOptions;
extern const std::array<OptionRow, 7> kWindowsCommands;

// A stored WindowsCommand outside 0..6 encodes to an empty entry; this is the
// value handed out for a position outside the list, so that a bad position
// can never turn into a real command.
inline constexpr std::uint8_t kNoWindowsCommand = 0xFF;

// Out-of-range type values (possible from a hand-made file) give
// StoredAtOnce and no option list.
FunctionChoice functionChoice(ButtonFunctionType type);
std::optional<OptionList> optionListOf(ButtonFunctionType type);
ButtonFunctionType functionTypeOf(OptionList list);

std::span<const OptionRow> optionRows(OptionList list);

// The value stored for the entry at position. Outside the list: 0 for the
// Scroll, DPI, Media and HotKey lists, kNoWindowsCommand for Windows.
std::uint8_t optionValue(OptionList list, int position);

// The English text of the entry at position, or empty outside the list.
std::string_view optionText(OptionList list, int position);

// The position of the first entry storing value, if any; used to show the
// label of a stored option.
std::optional<int> optionPosition(OptionList list, std::uint8_t value);

// Writes an option choice into the record the way the assignment page does:
// the list's function type and the option's value, and nothing else. A
// button index outside 0..7 changes nothing.
void assignOption(ConfigRecord& record, int buttonIndex, OptionList list, int position);

} // namespace qvr
