#include "core/buttons/button_catalogue.h"
#include "core/macros/macro_numbering.h"

#include <array>
#include <gtest/gtest.h>

namespace qvr {
namespace {

constexpr auto kMacro = static_cast<std::uint8_t>(ButtonFunctionType::MacroKey);
constexpr auto kKey = static_cast<std::uint8_t>(ButtonFunctionType::SingleKey);

// Buttons 0..4 are macro keys on macros 0..4, button 5 on macro 1, button 6
// is a single key whose stale macro number must not change, button 7 names
// a position beyond the list.
ConfigRecord recordWithAssignments() {
    ConfigRecord record{};
    record.buttonFunction = {kMacro, kMacro, kMacro, kMacro, kMacro, kMacro, kKey, kMacro};
    record.buttonMacroNumber = {0, 1, 2, 3, 4, 1, 2, 9};
    return record;
}

using Numbers = std::array<std::uint8_t, 8>;

TEST(MacroNumberingTest, SavedMacroKeepsItsButtonsAtTheEndAndLaterOnesMoveForward) {
    ConfigRecord record = recordWithAssignments();
    renumberAfterMove(record, 1, 5);
    EXPECT_EQ(record.buttonMacroNumber, (Numbers{0, 4, 1, 2, 3, 4, 2, 9}));

    ConfigRecord last = recordWithAssignments();
    renumberAfterMove(last, 4, 5); // already last: nothing moves
    EXPECT_EQ(last.buttonMacroNumber, recordWithAssignments().buttonMacroNumber);
}

TEST(MacroNumberingTest, DeletedMacroButtonsPointAtTheEmptyPositionAndLaterOnesMoveForward) {
    ConfigRecord record = recordWithAssignments();
    renumberAfterDelete(record, 1, 5);
    EXPECT_EQ(record.buttonMacroNumber, (Numbers{0, 4, 1, 2, 3, 4, 2, 9}));
    EXPECT_EQ(record.buttonFunction, recordWithAssignments().buttonFunction);

    // With more than twelve macros there is no empty image to point at.
    ConfigRecord crowded = recordWithAssignments();
    renumberAfterDelete(crowded, 1, 14);
    EXPECT_EQ(crowded.buttonMacroNumber, (Numbers{0, 1, 1, 2, 3, 1, 2, 8}));
}

TEST(MacroNumberingTest, PositionsOutsideTheListChangeNothing) {
    ConfigRecord record = recordWithAssignments();
    renumberAfterMove(record, -1, 5);
    renumberAfterMove(record, 5, 5);
    renumberAfterDelete(record, 7, 5);
    EXPECT_EQ(record, recordWithAssignments());
}

} // namespace
} // namespace qvr
