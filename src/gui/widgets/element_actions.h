#pragma once

#include "gui/widgets/window_elements.h"

#include <functional>
#include <utility>
#include <vector>

namespace qvr {

// A page's own answers to clicks on the elements it added to a window: the
// window tells the page which element was hit, and the page looks it up here.
class ElementActions {
  public:
    using Action = std::function<void(QPoint)>;

    // Adds the element to the table as the owner's, with what a click does.
    ElementTable::Id add(ElementTable& table, ElementOwner& owner, WindowElement element,
                         Action action);
    // Runs the element's action; false when the element is not one of these.
    bool press(ElementTable::Id id, QPoint at) const;

  private:
    std::vector<std::pair<ElementTable::Id, Action>> actions_;
};

} // namespace qvr
