#include "gui/widgets/window_elements.h"

#include "gui/widgets/label_text.h"
#include "gui/widgets/skin_image_cache.h"

#include <QPainter>
#include <algorithm>
#include <numeric>

namespace qvr {

ElementTable::Id ElementTable::add(WindowElement element) {
    elements_.push_back(std::move(element));
    return static_cast<Id>(elements_.size() - 1);
}

bool ElementTable::isActive(Id id) const {
    const WindowElement& element = (*this)[id];
    return !element.active || element.active();
}

bool ElementTable::hasAction(Id id) const {
    const WindowElement& element = (*this)[id];
    return element.owner || element.onClick;
}

void ElementTable::release(const ElementOwner& owner) {
    for (WindowElement& element : elements_)
        if (element.owner == &owner)
            element = {.rect = element.rect, .clickable = false, .active = [] { return false; }};
}

void ElementTable::press(Id id, QPoint point) const {
    // Both copied: a handler may add elements and so move the table's storage.
    const WindowElement& element = (*this)[id];
    if (ElementOwner* const owner = element.owner)
        owner->press(id, point);
    else if (const auto handler = element.onClick)
        handler(point);
}

QRect ElementTable::rectOf(Id id) const {
    const WindowElement& element = (*this)[id];
    return element.follow ? element.follow() : element.rect;
}

std::vector<ElementTable::Id> ElementTable::clickOrder() const {
    std::vector<Id> order(elements_.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [this](Id a, Id b) {
        return static_cast<int>((*this)[a].stage) < static_cast<int>((*this)[b].stage);
    });
    return order;
}

std::optional<ElementTable::Id> ElementTable::elementAt(QPoint point) const {
    for (Id id : clickOrder()) {
        if ((*this)[id].clickable && rectOf(id).contains(point) && isActive(id))
            return id;
    }
    return std::nullopt;
}

std::optional<ElementTable::Id> ElementTable::dragElementAt(QPoint point) const {
    for (Id id : clickOrder()) {
        if ((*this)[id].drag && rectOf(id).contains(point) && isActive(id))
            return id;
    }
    return std::nullopt;
}

void ElementTable::dragTo(Id id, QPoint point) const {
    if (!isActive(id))
        return;
    const QRect rect = rectOf(id);
    const QPoint held(std::clamp(point.x(), rect.left(), rect.right()),
                      std::clamp(point.y(), rect.top(), rect.bottom()));
    press(id, held);
}

std::optional<ElementTable::Id> ElementTable::hoverElementAt(QPoint point) const {
    for (Id id : clickOrder()) {
        if ((*this)[id].hover && rectOf(id).contains(point) && isActive(id))
            return id;
    }
    return std::nullopt;
}

bool ElementTable::dispatch(QPoint point) const {
    bool taken = false;
    for (Id id : clickOrder()) {
        const WindowElement& element = (*this)[id];
        if (!element.clickable || !rectOf(id).contains(point) || !isActive(id))
            continue;
        taken = true;
        const OnHit onHit = element.onHit;
        press(id, point);
        if (onHit == OnHit::Stop)
            break;
    }
    return taken;
}

void ElementTable::paint(QPainter& painter, SkinImageCache& skin, std::optional<Id> hovered,
                         const QFont& labelFont, QColor labelColor) const {
    for (Id id = 0; id < static_cast<Id>(elements_.size()); ++id) {
        const WindowElement& element = (*this)[id];
        if (!isActive(id))
            continue;
        const QRect rect = rectOf(id);
        if (!element.image.isEmpty()) {
            const QString name = element.hover
                                     ? element.image + (hovered == id ? "-over.png" : "-normal.png")
                                     : element.image;
            skin.draw(painter, name, rect.topLeft());
        }
        if (element.label.isEmpty())
            continue;
        painter.save();
        painter.setPen(labelColor);
        // A left-aligned label keeps a few pixels off the element's right edge.
        constexpr int kRightMargin = 4;
        const QRect room = element.align == LabelAlign::Centre
                               ? rect
                               : rect.adjusted(element.labelIndent, 0, -kRightMargin, 0);
        painter.setFont(fittedFont(labelFont, element.label, room.width()));
        const int align = element.align == LabelAlign::Centre ? Qt::AlignCenter
                                                              : Qt::AlignLeft | Qt::AlignVCenter;
        drawLabel(painter, room, align | Qt::TextSingleLine, element.label);
        painter.restore();
    }
}

QString ElementTable::nameOf(Id id) const {
    const WindowElement& element = (*this)[id];
    return element.name ? element.name() : element.label;
}

bool ElementTable::isNamed(Id id) const {
    const WindowElement& element = (*this)[id];
    return element.clickable && (element.name || !element.label.isEmpty());
}

} // namespace qvr
