#include "gui/settings/panel_section.h"

#include "core/text/language_tables.h"
#include "gui/widgets/page_host.h"
#include "gui/widgets/qt_fonts.h"
#include "gui/widgets/skinned_window.h"

#include <algorithm>

namespace qvr {

PanelSection::PanelSection(const SectionContext& context)
    : host_(context.host), session_(context.session), page_(context.page) {}

ElementTable& PanelSection::table() const {
    return host_.face().elements();
}

void PanelSection::redraw() const {
    host_.redraw();
}

ElementTable::Id PanelSection::addControl(QRect inBody, ClickStage stage, Action action) {
    const ElementTable::Id id = table().add({.owner = &page_,
                                             .stage = stage,
                                             .onHit = OnHit::Continue,
                                             .drag = stage == ClickStage::Sliders,
                                             .active = [this] { return answers(); }});
    controls_.push_back({id, inBody, std::move(action)});
    return id;
}

void PanelSection::place(QPoint origin, bool shown) {
    shown_ = shown;
    for (const Control& control : controls_)
        table().setRect(control.id, control.inBody.translated(origin));
}

bool PanelSection::press(ElementTable::Id id, QPoint at) const {
    const auto found = std::ranges::find(controls_, id, &Control::id);
    if (found == controls_.end())
        return false;
    // Copied: the action may add elements to the table.
    const Action action = found->action;
    action(at, table().rectOf(id));
    return true;
}

void PanelSection::makeSlider(ElementTable::Id id, std::function<QString()> name, int group,
                              int minimum, int maximum, std::function<int()> value,
                              std::function<void(int)> setValue) {
    WindowElement& element = table()[id];
    element.name = std::move(name);
    element.role = ElementRole::Slider;
    element.group = group;
    element.minimum = minimum;
    element.maximum = maximum;
    element.value = std::move(value);
    element.setValue = std::move(setValue);
}

std::function<QString()> PanelSection::text(std::string_view MainWindowTexts::*which) const {
    return [this, which] { return qstr(host_.texts().*which); };
}

PanelSection::Action PanelSection::redrawAfter(Action change) const {
    return [this, change = std::move(change)](QPoint at, QRect rect) {
        change(at, rect);
        redraw();
    };
}

std::function<void(int)> PanelSection::redrawn(std::function<void(int)> set) const {
    return [this, set = std::move(set)](int value) {
        set(value);
        redraw();
    };
}

std::pair<std::function<int()>, std::function<void(int)>> PanelSection::byte(std::uint8_t& field) {
    return {[&field] { return int(field); },
            [&field](int value) { field = static_cast<std::uint8_t>(value); }};
}

} // namespace qvr
