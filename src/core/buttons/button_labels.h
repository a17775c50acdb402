#pragma once

#include "core/record/config_record.h"

#include <array>
#include <string>
#include <string_view>

namespace qvr {

// The label of a button is the text its drop-down box shows. It is kept
// beside the record, not derived from it; these helpers build it the way the
// assignment page does. The prefix is the function entry's text in the
// interface language (English by default).
inline constexpr std::string_view kLabelSeparator = "-";
inline constexpr std::string_view kComboJoiner = "+";

// "Single Key-Num 1". The name is kept even when the key table lacks it.
std::string singleKeyLabel(std::string_view keyName, std::string_view prefix = "Single Key");

// "Combo Key-Left Shift+A": only the parts whose code is non-zero (modifier,
// key 1, key 2 in that order), joined by "+".
std::string comboKeyLabel(std::string_view modifierName, std::string_view key1Name,
                          std::string_view key2Name, std::string_view prefix = "Combo Key");

// "Macro Key-Macro_0".
std::string macroKeyLabel(std::string_view macroName, std::string_view prefix = "Macro Key");

// The English label that the assignment page would show for what the record
// holds for button buttonIndex: an option text ("Volume Up"), an entry text
// ("Click"), or a key/macro label with names from the reverse look-ups. The
// macro's name lives in the macro store, so the caller passes it. Empty for
// a button index or type the catalogue does not know.
std::string englishLabelFor(const ConfigRecord& record, int buttonIndex,
                            std::string_view macroName = {});

// First-run assignment: Click, Menu, Mouse M Button, Mouse Scroll Up, Mouse
// Scroll Down, DPI loop, IE Forward, IE Backward. Clears the other per-button
// fields so that no stale values linger behind the defaults.
void applyDefaultButtons(ConfigRecord& record);

// The English first-run labels of buttons 1..8. Button 6 reads "DPI loop",
// unlike the option entry "DPI Loop".
extern const std::array<std::string_view, kButtonCount> kDefaultButtonLabelsEnglish;

} // namespace qvr
