#include "core/macros/macro_numbering.h"

#include "core/buttons/button_catalogue.h"

namespace qvr {
namespace {

template <typename Renumber> void forEachMacroButton(ConfigRecord& record, Renumber renumber) {
    for (int button = 0; button < kButtonCount; ++button) {
        if (record.buttonFunction[button] ==
            static_cast<std::uint8_t>(ButtonFunctionType::MacroKey)) {
            renumber(record.buttonMacroNumber[button]);
        }
    }
}

} // namespace

void renumberAfterMove(ConfigRecord& record, int fromPosition, int macroCount) {
    if (fromPosition < 0 || fromPosition >= macroCount) {
        return;
    }
    forEachMacroButton(record, [&](std::uint8_t& number) {
        if (number == fromPosition) {
            number = static_cast<std::uint8_t>(macroCount - 1);
        } else if (number > fromPosition && number < macroCount) {
            --number;
        }
    });
}

void renumberAfterDelete(ConfigRecord& record, int deletedPosition, int macroCountBefore) {
    if (deletedPosition < 0 || deletedPosition >= macroCountBefore) {
        return;
    }
    const int firstFree = macroCountBefore - 1;
    forEachMacroButton(record, [&](std::uint8_t& number) {
        if (number == deletedPosition) {
            if (firstFree < kMacroCount) {
                number = static_cast<std::uint8_t>(firstFree);
            }
        } else if (number > deletedPosition && number < macroCountBefore) {
            --number;
        }
    });
}

} // namespace qvr
