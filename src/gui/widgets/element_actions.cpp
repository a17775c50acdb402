#include "gui/widgets/element_actions.h"

#include <algorithm>

namespace qvr {

ElementTable::Id ElementActions::add(ElementTable& table, ElementOwner& owner,
                                     WindowElement element, Action action) {
    element.owner = &owner;
    const ElementTable::Id id = table.add(std::move(element));
    actions_.emplace_back(id, std::move(action));
    return id;
}

bool ElementActions::press(ElementTable::Id id, QPoint at) const {
    const auto found = std::ranges::find(actions_, id, &std::pair<ElementTable::Id, Action>::first);
    if (found == actions_.end())
        return false;
    // Copied: the action may add elements, and with them actions.
    const Action action = found->second;
    action(at);
    return true;
}

} // namespace qvr
