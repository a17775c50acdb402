#pragma once

#include "core/record/config_record.h"

namespace qvr {

// A button assigned to a macro stores the macro's position in the store's
// list, and the store reorders that list: saving a macro moves its section
// to the end. These helpers keep the assignments of a record (buttons whose
// buttonFunction is the macro key) naming the same macros. Numbers outside
// 0..macroCount-1 and other buttons are left alone, as are calls with a
// position outside the list.

// After a save moved the macro at fromPosition to the end of a list of
// macroCount macros: its buttons follow it to macroCount - 1, and the
// buttons of the macros behind it move one place forward.
void renumberAfterMove(ConfigRecord& record, int fromPosition, int macroCount);

// After the macro at deletedPosition was removed from a list of
// macroCountBefore macros: the buttons of the macros behind it move one
// place forward. The buttons of the deleted macro stay macro keys, but are
// pointed at the first position left without a macro (macroCountBefore - 1),
// whose image is empty once the table is rebuilt, so they play nothing until
// reassigned instead of playing a neighbour. When that position lies beyond
// the twelve images (a hand-made store with more macros) they are left as
// they were.
void renumberAfterDelete(ConfigRecord& record, int deletedPosition, int macroCountBefore);

} // namespace qvr
