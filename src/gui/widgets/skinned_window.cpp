#include "gui/widgets/skinned_window.h"

#include "gui/widgets/face_accessible.h"
#include "gui/widgets/skin_list_box.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

namespace qvr {
namespace {

// The accent of the skin, as the status card's "Connected".
const QColor kFocusMark(0x19, 0xc3, 0xff);

} // namespace

SkinnedWindow::SkinnedWindow(std::shared_ptr<SkinImageCache> skin, MessageSink& messages,
                             QWidget* parent, Dragging dragging)
    : QWidget(parent), skin_(std::move(skin)), messages_(messages), dragging_(dragging) {
    setMouseTracking(true);
    // The face's controls are reached by Tab through the window itself.
    setFocusPolicy(Qt::StrongFocus);
    installFaceAccessibility();
    // The face covers every pixel; nothing needs erasing first.
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The mark follows the keyboard into and out of the native children.
    focusWatch_ =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
            if (focusMarkShown_ && ((old && isAncestorOf(old)) || (now && isAncestorOf(now))))
                update();
        });
}

SkinnedWindow::~SkinnedWindow() {
    disconnect(focusWatch_);
}

QColor focusMarkColour() {
    return kFocusMark;
}

bool SkinnedWindow::loadBackground(const QString& name, std::string_view failureCaption) {
    backgroundName_ = name;
    // A panel inside another skinned window shares its scale.
    if (!isWindow())
        if (SkinnedWindow* host = skinnedWindowOf(parentWidget()))
            faceScale_ = host->faceScale();
    if (skin_)
        skin_->setPaintScale(devicePixelRatioF() * faceScale_);
    // A window of its own is sized from the picture's header and shown while
    // its pixels are decoded elsewhere; its first paint takes them. A panel
    // needs them now, to know whether its parent shows through.
    QSize size;
    const QImage* background = nullptr;
    if (skin_ && isWindow())
        size = skin_->prefetch(name);
    else if (skin_ && (background = skin_->image(name, SkinImageCache::OnMissing::Silent)))
        size = background->deviceIndependentSize().toSize();
    hasBackground_ = size.isValid();
    if (!hasBackground_) {
        if (!failureCaption.empty())
            messages_.showMessage(std::string("error"), std::string(failureCaption));
        return false;
    }
    naturalSize_ = size;
    setFixedSize(toWidget(QRect(QPoint(), naturalSize_)).size());
    // A panel inside another window lets that window show through the
    // transparent parts of its picture.
    if (background && background->hasAlphaChannel())
        setAttribute(Qt::WA_OpaquePaintEvent, false);
    return true;
}

void SkinnedWindow::setFaceScale(qreal scale) {
    scale = std::clamp(scale, 0.25, 1.0);
    if (std::abs(scale - faceScale_) < 1e-6)
        return;
    faceScale_ = scale;
    if (naturalSize_.isValid())
        setFixedSize(toWidget(QRect(QPoint(), naturalSize_)).size());
    std::erase_if(placements_, [](const Placement& placed) { return placed.child.isNull(); });
    for (const Placement& placed : placements_)
        applyPlacement(placed.child, placed.faceRect, placed.font);
    faceScaleChanged();
    update();
}

qreal SkinnedWindow::fittingScale(const QScreen* screen, qreal ceiling) const {
    qreal scale = std::min(ceiling, 1.0);
    if (!screen || !naturalSize_.isValid() || naturalSize_.isEmpty())
        return scale;
    const QRect room = screen->availableGeometry();
    scale = std::min({scale, qreal(room.width()) / naturalSize_.width(),
                      qreal(room.height()) / naturalSize_.height()});
    return scale;
}

void SkinnedWindow::fitToScreen(const QScreen* screen, qreal ceiling) {
    setFaceScale(fittingScale(screen, ceiling));
}

QPoint SkinnedWindow::toFace(QPointF widgetPoint) const {
    return QPoint(static_cast<int>(std::floor(widgetPoint.x() / faceScale_)),
                  static_cast<int>(std::floor(widgetPoint.y() / faceScale_)));
}

QRect SkinnedWindow::toWidget(QRect faceRect) const {
    // Edges are scaled rather than sizes, so rectangles that touch on the
    // face still touch, and none grows past the window.
    const auto at = [this](int face) { return static_cast<int>(std::floor(face * faceScale_)); };
    return QRect(QPoint(at(faceRect.left()), at(faceRect.top())),
                 QPoint(at(faceRect.left() + faceRect.width()) - 1,
                        at(faceRect.top() + faceRect.height()) - 1));
}

QRect SkinnedWindow::toFace(QRect widgetRect) const {
    const auto at = [this](int pixel) { return static_cast<int>(std::lround(pixel / faceScale_)); };
    return QRect(QPoint(at(widgetRect.left()), at(widgetRect.top())),
                 QPoint(at(widgetRect.left() + widgetRect.width()) - 1,
                        at(widgetRect.top() + widgetRect.height()) - 1));
}

QFont SkinnedWindow::scaledFont(const QFont& faceFont) const {
    QFont font = faceFont;
    if (faceScale_ == 1.0)
        return font;
    if (faceFont.pixelSize() > 0)
        font.setPixelSize(
            std::max(1, static_cast<int>(std::lround(faceFont.pixelSize() * faceScale_))));
    else if (faceFont.pointSizeF() > 0)
        font.setPointSizeF(faceFont.pointSizeF() * faceScale_);
    return font;
}

void SkinnedWindow::placeChild(QWidget* child, QRect faceRect) {
    for (Placement& placed : placements_) {
        if (placed.child == child) {
            placed.faceRect = faceRect;
            applyPlacement(child, faceRect, placed.font);
            return;
        }
    }
    placements_.push_back({child, faceRect, std::nullopt});
    applyPlacement(child, faceRect, std::nullopt);
}

void SkinnedWindow::placeChild(QWidget* child, QRect faceRect, const QFont& faceFont) {
    for (Placement& placed : placements_) {
        if (placed.child == child) {
            placed.faceRect = faceRect;
            placed.font = faceFont;
            applyPlacement(child, faceRect, faceFont);
            return;
        }
    }
    placements_.push_back({child, faceRect, faceFont});
    applyPlacement(child, faceRect, faceFont);
}

void SkinnedWindow::setChildFont(QWidget* child, const QFont& faceFont) {
    for (Placement& placed : placements_) {
        if (placed.child == child) {
            placed.font = faceFont;
            break;
        }
    }
    child->setFont(scaledFont(faceFont));
}

void SkinnedWindow::applyPlacement(QWidget* child, QRect faceRect,
                                   const std::optional<QFont>& font) {
    if (!child)
        return;
    if (auto* panel = qobject_cast<SkinnedWindow*>(child))
        panel->setFaceScale(faceScale_);
    if (font)
        child->setFont(scaledFont(*font));
    const QRect placed = toWidget(faceRect);
    // A child's position is relative to its own parent, which may itself be
    // a placed child of this window.
    const QPoint origin = child->parentWidget() && child->parentWidget() != this
                              ? child->parentWidget()->mapTo(this, QPoint(0, 0))
                              : QPoint(0, 0);
    child->setGeometry(placed.translated(-origin));
}

SkinnedWindow* skinnedWindowOf(QWidget* widget) {
    for (; widget; widget = widget->parentWidget()) {
        if (auto* skinned = qobject_cast<SkinnedWindow*>(widget))
            return skinned;
        if (widget->isWindow())
            return nullptr;
    }
    return nullptr;
}

void placeOnFace(QWidget* child, QRect faceRect, const std::optional<QFont>& faceFont) {
    SkinnedWindow* window = child ? skinnedWindowOf(child->parentWidget()) : nullptr;
    if (!window) {
        if (faceFont)
            child->setFont(*faceFont);
        child->setGeometry(faceRect);
        return;
    }
    if (faceFont)
        window->placeChild(child, faceRect, *faceFont);
    else
        window->placeChild(child, faceRect);
}

void SkinnedWindow::paintFace(QPainter&) {}

bool SkinnedWindow::beforeClick(QPoint) {
    return false;
}

void SkinnedWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The device pixels the face lands on: those of the engine's own device,
    // which is the backing store or, for render(), the target image.
    const QPaintDevice* target = painter.paintEngine() && painter.paintEngine()->paintDevice()
                                     ? painter.paintEngine()->paintDevice()
                                     : painter.device();
    if (skin_)
        skin_->setPaintScale(target->devicePixelRatioF() * faceScale_);
    const QImage* background =
        hasBackground_ && skin_ ? skin_->image(backgroundName_, SkinImageCache::OnMissing::Silent)
                                : nullptr;
    // An opaque background covers every pixel; black shows only through a
    // transparent one, and only on a window of its own.
    const bool seeThrough = !isWindow() && background && background->hasAlphaChannel();
    if (!seeThrough &&
        (!background || background->hasAlphaChannel() ||
         toWidget(QRect(QPoint(), background->deviceIndependentSize().toSize())).size() != size()))
        painter.fillRect(rect(), Qt::black);
    if (!background) {
        if (hasBackground_) {
            // Its header read well, its pixels did not: said once, after
            // this paint rather than inside it.
            hasBackground_ = false;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    messages_.showMessage(std::string(kLoadImageFailed),
                                          std::string(kApplicationTitle));
                },
                Qt::QueuedConnection);
        }
        return;
    }
    // Images whose set does not match the device pixels they land on are
    // resampled smoothly rather than picked pixel by pixel.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    if (faceScale_ != 1.0)
        painter.scale(faceScale_, faceScale_);
    painter.drawImage(QPoint(0, 0), *background);
    elements_.paint(painter, *skin_, hovered_, textFont_, textColor_);
    painter.save();
    paintFace(painter);
    painter.restore();
    if (focusMarkShown_)
        paintFocusMark(painter);
}

void SkinnedWindow::paintFocusMark(QPainter& painter) {
    settleFocus();
    // A native child in reading order is ringed on the face around it, as
    // the face's own controls are.
    const Placement* child =
        nativeTabOrder_ == NativeTabOrder::ReadingOrder && !focused_ ? focusedPlacement() : nullptr;
    if (!focused_ && !child)
        return;
    painter.save();
    // Widget pixels, so the ring keeps its width at any face scale.
    painter.resetTransform();
    painter.setRenderHint(QPainter::Antialiasing, false);
    // Held inside the window, so a control at its edge (a panel's full-width
    // line) keeps a whole ring.
    const QRectF outer = QRectF(toWidget(child ? child->faceRect : elements_.rectOf(*focused_)))
                             .adjusted(-3, -3, 3, 3)
                             .intersected(QRectF(rect()));
    QPainterPath ring;
    ring.setFillRule(Qt::OddEvenFill);
    ring.addRoundedRect(outer, 4, 4);
    ring.addRoundedRect(outer.adjusted(2, 2, -2, -2), 2, 2);
    painter.fillPath(ring, kFocusMark);
    painter.restore();
}

bool SkinnedWindow::faceHasFocus() const {
    const QWidget* focus = window()->focusWidget();
    return focus == this || (!focus && isWindow());
}

bool SkinnedWindow::isFocusable(ElementTable::Id id) const {
    if (id < 0 || static_cast<std::size_t>(id) >= elements_.size())
        return false;
    const WindowElement& element = elements_[id];
    return elements_.hasAction(id) && element.clickable && elements_.isActive(id) &&
           elements_.isNamed(id);
}

bool SkinnedWindow::readsBefore(QRect a, QRect b) const {
    const auto region = [this](QRect rect) {
        const auto found = std::ranges::find_if(
            readingRegions_, [&rect](QRect area) { return area.contains(rect.center()); });
        return found - readingRegions_.begin();
    };
    return std::tuple(region(a), a.top(), a.left()) < std::tuple(region(b), b.top(), b.left());
}

std::vector<ElementTable::Id> SkinnedWindow::readingOrder() const {
    std::vector<ElementTable::Id> order;
    for (ElementTable::Id id = 0; static_cast<std::size_t>(id) < elements_.size(); ++id)
        if (isFocusable(id))
            order.push_back(id);
    std::ranges::stable_sort(order, [this](ElementTable::Id a, ElementTable::Id b) {
        return readsBefore(elements_.rectOf(a), elements_.rectOf(b));
    });
    return order;
}

std::vector<ElementTable::Id> SkinnedWindow::groupMembers(int group) const {
    std::vector<ElementTable::Id> members = readingOrder();
    std::erase_if(members,
                  [this, group](ElementTable::Id id) { return elements_[id].group != group; });
    return members;
}

std::vector<ElementTable::Id> SkinnedWindow::focusOrder() const {
    const std::vector<ElementTable::Id> all = readingOrder();
    std::vector<ElementTable::Id> stops;
    std::vector<int> groups;
    for (ElementTable::Id id : all) {
        const int group = elements_[id].group;
        if (group == 0) {
            stops.push_back(id);
            continue;
        }
        if (std::ranges::find(groups, group) != groups.end())
            continue;
        groups.push_back(group);
        const auto inGroup = [this, group](ElementTable::Id each) {
            return elements_[each].group == group;
        };
        const auto isChecked = [this](ElementTable::Id each) {
            const auto& checked = elements_[each].checked;
            return checked && checked();
        };
        std::optional<ElementTable::Id> entry;
        if (focused_ && isFocusable(*focused_) && inGroup(*focused_))
            entry = focused_;
        for (ElementTable::Id each : all)
            if (!entry && inGroup(each) && isChecked(each))
                entry = each;
        stops.push_back(entry.value_or(id));
    }
    return stops;
}

void SkinnedWindow::focusElement(ElementTable::Id id) {
    if (!isFocusable(id))
        return;
    if (!hasFocus())
        setFocus(Qt::OtherFocusReason);
    showFocusMark();
    setFocusedElement(id);
}

void SkinnedWindow::showFocusMark() {
    if (focusMarkShown_)
        return;
    focusMarkShown_ = true;
    update();
}

std::optional<ElementTable::Id> SkinnedWindow::focusedElement() const {
    if (!focused_ || isFocusable(*focused_))
        return focused_;
    // Gone from the face: the focus passes to the element that follows the
    // place where it was.
    const std::vector<ElementTable::Id> order = focusOrder();
    if (order.empty())
        return std::nullopt;
    const auto next = std::ranges::find_if(order, [this](ElementTable::Id id) {
        return !readsBefore(elements_.rectOf(id), focusedRect_);
    });
    return next != order.end() ? *next : order.front();
}

void SkinnedWindow::settleFocus() {
    setFocusedElement(focusedElement());
}

void SkinnedWindow::setFocusedElement(std::optional<ElementTable::Id> id) {
    if (id)
        focusedRect_ = elements_.rectOf(*id);
    if (id == focused_)
        return;
    focused_ = id;
    update();
    if (id)
        announceFocus(*this, *id);
}

bool SkinnedWindow::pressFocusedElement(const QKeyEvent& event) {
    if (tabKeys_ == TabKeys::AreInput || event.key() != Qt::Key_Space ||
        (event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    settleFocus();
    if (!focused_ || !faceHasFocus())
        return false;
    if (!focusMarkShown_) {
        focusMarkShown_ = true;
        update();
    }
    // The press may end the window.
    const QPointer<SkinnedWindow> alive(this);
    const ElementTable::Id pressed = *focused_;
    pressingKey_ = &event;
    clickAt(elements_.rectOf(pressed).center());
    if (alive) {
        pressingKey_ = nullptr;
        if (static_cast<std::size_t>(pressed) < elements_.size() && elements_[pressed].checked)
            announceState(*this, pressed);
        update();
    }
    return true;
}

bool SkinnedWindow::faceKey(const QKeyEvent& event) {
    return pressFocusedElement(event) || stepFocused(event);
}

bool SkinnedWindow::stepFocused(const QKeyEvent& event) {
    if (tabKeys_ == TabKeys::AreInput ||
        (event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    const int key = event.key();
    const bool arrow =
        key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
    if (!arrow && key != Qt::Key_Home && key != Qt::Key_End)
        return false;
    settleFocus();
    if (!focused_ || !faceHasFocus())
        return false;
    const ElementTable::Id id = *focused_;
    const WindowElement& element = elements_[id];
    if (element.value && element.setValue && element.maximum > element.minimum) {
        const bool along = element.orientation == Qt::Horizontal
                               ? key == Qt::Key_Left || key == Qt::Key_Right
                               : key == Qt::Key_Up || key == Qt::Key_Down;
        if (along || !arrow) {
            showFocusMark();
            const int now = element.value();
            const int step = key == Qt::Key_Right || key == Qt::Key_Up ? 1 : -1;
            const int next = key == Qt::Key_Home ? element.minimum
                             : key == Qt::Key_End
                                 ? element.maximum
                                 : std::clamp(now + step, element.minimum, element.maximum);
            if (next != now) {
                // Copied: the change may rebuild the page's elements.
                const auto set = element.setValue;
                set(next);
                announceValue(*this, id);
            }
            update();
            return true;
        }
    }
    if (element.group == 0 || !arrow)
        return false;
    showFocusMark();
    const std::vector<ElementTable::Id> members = groupMembers(element.group);
    const auto at = std::ranges::find(members, id);
    if (members.size() < 2 || at == members.end())
        return true;
    const bool back = key == Qt::Key_Left || key == Qt::Key_Up;
    const auto count = static_cast<std::ptrdiff_t>(members.size());
    const std::ptrdiff_t index = ((at - members.begin()) + (back ? -1 : 1) + count) % count;
    const ElementTable::Id next = members[static_cast<std::size_t>(index)];
    setFocusedElement(next);
    // A radio button is chosen as the keyboard comes to it.
    if (elements_[next].role == ElementRole::RadioButton) {
        const QPointer<SkinnedWindow> alive(this);
        clickAt(elements_.rectOf(next).center());
        if (!alive)
            return true;
        announceState(*this, next);
    }
    update();
    return true;
}

SkinListBox* SkinnedWindow::keyList() {
    std::vector<SkinListBox*> lists;
    for (SkinListBox* list : findChildren<SkinListBox*>(Qt::FindDirectChildrenOnly))
        if (!list->isHidden() && list->count() > 0)
            lists.push_back(list);
    if (lists.empty())
        return nullptr;
    if (!keyList_ || std::ranges::find(lists, keyList_.data()) == lists.end())
        keyList_ = lists.front();
    return keyList_;
}

bool SkinnedWindow::listKey(const QKeyEvent& event) {
    if (tabKeys_ == TabKeys::AreInput || !focusMarkShown_ || !faceHasFocus() ||
        (event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    SkinListBox* list = keyList();
    if (!list)
        return false;
    const QPointer<SkinListBox> alive(list);
    switch (event.key()) {
    case Qt::Key_Up:
        list->moveCurrent(-1);
        return true;
    case Qt::Key_Down:
        list->moveCurrent(+1);
        return true;
    case Qt::Key_Home:
        list->moveCurrent(-list->count());
        return true;
    case Qt::Key_End:
        list->moveCurrent(list->count());
        return true;
    case Qt::Key_Left:
    case Qt::Key_Right: {
        // From a list to the one it opened beside it, and back.
        const QList<SkinListBox*> all = findChildren<SkinListBox*>(Qt::FindDirectChildrenOnly);
        const qsizetype at = all.indexOf(list);
        const int step = event.key() == Qt::Key_Right ? 1 : -1;
        for (qsizetype i = at + step; i >= 0 && i < all.size(); i += step) {
            if (all[i]->isHidden() || all[i]->count() == 0)
                continue;
            keyList_ = all[i];
            if (all[i]->currentRow() < 0)
                all[i]->moveCurrent(+1);
            break;
        }
        return true;
    }
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        list->chooseCurrent();
        update();
        return true;
    case Qt::Key_Escape:
        // The opener closes its list as a second click on it does.
        if (focused_ && isFocusable(*focused_))
            clickAt(elements_.rectOf(*focused_).center());
        else
            list->discard();
        update();
        return true;
    default:
        return false;
    }
}

bool SkinnedWindow::event(QEvent* event) {
    // An open list is served before the window's own keys (a window that
    // takes Enter or Esc for itself still lets them choose or close it).
    if (event->type() == QEvent::KeyPress && listKey(static_cast<const QKeyEvent&>(*event))) {
        event->accept();
        return true;
    }
    return QWidget::event(event);
}

void SkinnedWindow::keyPressEvent(QKeyEvent* event) {
    if (faceKey(*event)) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool SkinnedWindow::isTabStop(const Placement& placed) const {
    const QWidget* child = placed.child;
    return child && child->isVisibleTo(this) && child->isEnabled() &&
           (child->focusPolicy() & Qt::TabFocus);
}

const SkinnedWindow::Placement* SkinnedWindow::focusedPlacement() const {
    const QWidget* focus = window()->focusWidget();
    if (!focus || focus == this)
        return nullptr;
    for (const Placement& placed : placements_)
        if (isTabStop(placed) && (placed.child == focus || placed.child->isAncestorOf(focus)))
            return &placed;
    return nullptr;
}

std::vector<SkinnedWindow::TabStop> SkinnedWindow::tabStops() const {
    std::vector<std::pair<TabStop, QRect>> stops;
    for (ElementTable::Id id : focusOrder())
        stops.push_back({{.element = id}, elements_.rectOf(id)});
    for (const Placement& placed : placements_)
        if (isTabStop(placed))
            stops.push_back({{.element = std::nullopt, .widget = placed.child}, placed.faceRect});
    std::ranges::stable_sort(
        stops, [this](const auto& a, const auto& b) { return readsBefore(a.second, b.second); });
    std::vector<TabStop> order;
    for (const auto& [stop, rect] : stops)
        order.push_back(stop);
    return order;
}

bool SkinnedWindow::moveAmongTabStops(bool next) {
    const std::vector<TabStop> stops = tabStops();
    if (stops.empty())
        return QWidget::focusNextPrevChild(next);
    std::optional<TabStop> now;
    if (faceHasFocus() && focused_)
        now = TabStop{.element = focused_};
    else if (const Placement* placed = focusedPlacement())
        now = TabStop{.element = std::nullopt, .widget = placed->child};
    const auto at = now ? std::ranges::find(stops, *now) : stops.end();
    const auto count = static_cast<std::ptrdiff_t>(stops.size());
    std::ptrdiff_t index = at == stops.end() ? (next ? -1 : count) : at - stops.begin();
    index += next ? 1 : -1;
    if (index < 0 || index >= count) {
        // A panel hands the keyboard on past its ends; a window goes round.
        if (!isWindow())
            return QWidget::focusNextPrevChild(next);
        index = (index + count) % count;
    }
    const TabStop& stop = stops[static_cast<std::size_t>(index)];
    if (stop.widget) {
        setFocusedElement(std::nullopt);
        stop.widget->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    } else {
        if (!hasFocus())
            setFocus(Qt::OtherFocusReason);
        setFocusedElement(stop.element);
    }
    update();
    return true;
}

void SkinnedWindow::showEvent(QShowEvent* event) {
    // The keyboard starts on the face, so the first Tab goes to the first
    // stop rather than to whichever native child was made first.
    if (nativeTabOrder_ == NativeTabOrder::ReadingOrder && isWindow() &&
        (!focusWidget() || focusWidget() != this))
        setFocus(Qt::OtherFocusReason);
    QWidget::showEvent(event);
}

bool SkinnedWindow::focusNextPrevChild(bool next) {
    if (tabKeys_ == TabKeys::AreInput)
        return false;
    settleFocus();
    if (!focusMarkShown_) {
        focusMarkShown_ = true;
        update();
    }
    if (nativeTabOrder_ == NativeTabOrder::ReadingOrder)
        return moveAmongTabStops(next);
    const std::vector<ElementTable::Id> order = focusOrder();
    const auto onFace = [this] { return faceHasFocus(); };
    if (onFace() && !order.empty()) {
        if (!focused_) {
            setFocusedElement(next ? order.front() : order.back());
            return true;
        }
        const auto at = std::ranges::find(order, *focused_);
        if (next && at + 1 < order.end()) {
            setFocusedElement(*(at + 1));
            return true;
        }
        if (!next && at != order.begin() && at != order.end()) {
            setFocusedElement(*(at - 1));
            return true;
        }
    }
    // Past the last element the native children take their turn; coming
    // round to the face again starts at its other end.
    const bool moved = QWidget::focusNextPrevChild(next);
    if (moved && !onFace()) {
        // An inactive window is told of no focus change.
        setFocusedElement(std::nullopt);
        return true;
    }
    if (!isWindow())
        return moved;
    if (!moved)
        setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    setFocusedElement(order.empty() ? std::nullopt
                                    : std::optional(next ? order.front() : order.back()));
    return true;
}

void SkinnedWindow::focusInEvent(QFocusEvent* event) {
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason) {
        const std::vector<ElementTable::Id> order = focusOrder();
        focusMarkShown_ = true;
        if (!order.empty())
            setFocusedElement(reason == Qt::TabFocusReason ? order.front() : order.back());
        else if (!isWindow())
            // A panel with nothing to press hands Tab on.
            QMetaObject::invokeMethod(
                this,
                [this, reason] {
                    if (hasFocus())
                        focusNextPrevChild(reason == Qt::TabFocusReason);
                },
                Qt::QueuedConnection);
    }
    QWidget::focusInEvent(event);
}

void SkinnedWindow::focusOutEvent(QFocusEvent* event) {
    // Another window or a menu borrows the keyboard; the face keeps its place.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        setFocusedElement(std::nullopt);
    QWidget::focusOutEvent(event);
}

bool SkinnedWindow::clickAt(QPoint position) {
    if (beforeClick(position))
        return true;
    return elements_.dispatch(position);
}

void SkinnedWindow::pointerPressed() {
    if (focusMarkShown_) {
        focusMarkShown_ = false;
        update();
    }
}

void SkinnedWindow::mousePressEvent(QMouseEvent* event) {
    pointerPressed();
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const QPoint position = toFace(event->position());
    const auto slider = elements_.dragElementAt(position);
    const bool taken = clickAt(position);
    sliderDrag_ = slider;
    if (taken || dragging_ != Dragging::Allowed || !isWindow())
        return;
    armWindowMove(event->globalPosition().toPoint());
}

void SkinnedWindow::armWindowMove(QPoint globalPress) {
    movePress_ = globalPress;
    dragOffset_.reset();
}

void SkinnedWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    // A double click is two presses, as far as the skin is concerned.
    mousePressEvent(event);
}

void SkinnedWindow::mouseMoveEvent(QMouseEvent* event) {
    if (sliderDrag_ && (event->buttons() & Qt::LeftButton)) {
        elements_.dragTo(*sliderDrag_, toFace(event->position()));
        return;
    }
    const bool held = event->buttons() & Qt::LeftButton;
    if (movePress_ && held) {
        const QPoint pointer = event->globalPosition().toPoint();
        if ((pointer - *movePress_).manhattanLength() < QApplication::startDragDistance())
            return;
        const QPoint press = *std::exchange(movePress_, std::nullopt);
        // The window manager moves the window where it can; otherwise we
        // follow the pointer ourselves.
        if (windowHandle() && windowHandle()->startSystemMove())
            return;
        dragOffset_ = press - frameGeometry().topLeft();
    }
    if (!held)
        movePress_.reset();
    if (dragOffset_ && held) {
        move(event->globalPosition().toPoint() - *dragOffset_);
        return;
    }
    updateHover(toFace(event->position()));
}

void SkinnedWindow::mouseReleaseEvent(QMouseEvent* event) {
    movePress_.reset();
    dragOffset_.reset();
    sliderDrag_.reset();
    QWidget::mouseReleaseEvent(event);
}

void SkinnedWindow::leaveEvent(QEvent* event) {
    if (hovered_) {
        hovered_.reset();
        update();
    }
    QWidget::leaveEvent(event);
}

void SkinnedWindow::updateHover(QPoint position) {
    const auto now = elements_.hoverElementAt(position);
    if (now == hovered_)
        return;
    hovered_ = now;
    update();
}

} // namespace qvr
