#include "gui/widgets/face_accessible.h"

#include "gui/widgets/application_accessible.h"
#include "gui/widgets/skinned_window.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>
#include <algorithm>
#include <map>
#include <vector>

namespace qvr {
namespace {

// The face texts of one window, kept as a child of it so they go with it.
class FaceTextList final : public QObject {
  public:
    explicit FaceTextList(QWidget& window) : QObject(&window) {
        setObjectName(QStringLiteral("qvrFaceTexts"));
    }
    std::vector<FaceText> texts;
};

FaceTextList* listOf(const QWidget* window) {
    return window ? window->findChild<FaceTextList*>(QStringLiteral("qvrFaceTexts"),
                                                     Qt::FindDirectChildrenOnly)
                  : nullptr;
}

// Something drawn on a window's face: no object and no children of its own.
template <typename Window> class FacePartAccessible : public QAccessibleInterface {
  public:
    explicit FacePartAccessible(Window* window) : window_(window) {}

    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return window_ ? window_->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return window_ ? QAccessible::queryAccessibleInterface(window_.data()) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    void setText(QAccessible::Text, const QString&) override {}

    const QWidget* owner() const { return window_; }

  protected:
    QPointer<Window> window_;
};

class FaceTextAccessible final : public FacePartAccessible<QWidget> {
  public:
    FaceTextAccessible(QWidget* window, std::size_t index)
        : FacePartAccessible(window), index_(index) {}

    bool isValid() const override {
        const FaceTextList* list = listOf(window_);
        return list && index_ < list->texts.size();
    }
    QString text(QAccessible::Text t) const override {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value))
            return {};
        return listOf(window_)->texts[index_].text();
    }
    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect local = listOf(window_)->texts[index_].rect();
        return QRect(window_->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override { return QAccessible::StaticText; }
    QAccessible::State state() const override {
        QAccessible::State state;
        state.readOnly = true;
        // A text with nothing to say is not on the face.
        state.invisible = !window_ || !window_->isVisible() || text(QAccessible::Name).isEmpty();
        return state;
    }

    std::size_t index() const { return index_; }

  private:
    std::size_t index_;
};

// One element of a skinned window's rectangle table, pressed as a click
// on its centre would press it.
class ElementAccessible final : public FacePartAccessible<SkinnedWindow>,
                                public QAccessibleActionInterface,
                                public QAccessibleValueInterface {
  public:
    ElementAccessible(SkinnedWindow* window, ElementTable::Id id)
        : FacePartAccessible(window), id_(id) {}

    bool isValid() const override {
        return window_ && static_cast<std::size_t>(id_) < window_->elements().size();
    }
    QString text(QAccessible::Text t) const override {
        if (!isValid())
            return {};
        if (t == QAccessible::Name)
            return window_->elements().nameOf(id_);
        const WindowElement& element = window_->elements()[id_];
        if (t == QAccessible::Value && element.valueText)
            return element.valueText();
        if (t == QAccessible::Value && element.value)
            return QString::number(element.value());
        return {};
    }
    QRect rect() const override {
        if (!isValid())
            return {};
        const QRect local = window_->toWidget(window_->elements().rectOf(id_));
        return QRect(window_->mapToGlobal(local.topLeft()), local.size());
    }
    QAccessible::Role role() const override {
        if (!isValid())
            return QAccessible::NoRole;
        switch (window_->elements()[id_].role) {
        case ElementRole::PageTab:
            return QAccessible::PageTab;
        case ElementRole::CheckBox:
            return QAccessible::CheckBox;
        case ElementRole::RadioButton:
            return QAccessible::RadioButton;
        case ElementRole::Slider:
            return QAccessible::Slider;
        case ElementRole::DropDown:
            return QAccessible::ComboBox;
        case ElementRole::SectionHeader:
        case ElementRole::Button:
            break;
        }
        return QAccessible::Button;
    }
    QAccessible::State state() const override {
        QAccessible::State state;
        const bool shown = isValid() && window_->isVisible() && window_->elements().isActive(id_) &&
                           !text(QAccessible::Name).isEmpty();
        state.invisible = !shown;
        state.disabled = isValid() && !window_->elements().hasAction(id_);
        state.focusable = shown && !state.disabled;
        state.focused = shown && window_->focusedElement() == id_;
        if (!isValid())
            return state;
        const WindowElement& element = window_->elements()[id_];
        if (element.checked) {
            state.checkable = true;
            state.checked = element.checked();
        }
        if (element.expanded) {
            state.expandable = true;
            state.expanded = element.expanded();
            state.collapsed = !state.expanded;
        }
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        if (type == QAccessible::ValueInterface && isValid() && window_->elements()[id_].value)
            return static_cast<QAccessibleValueInterface*>(this);
        return nullptr;
    }

    QVariant currentValue() const override {
        return isValid() && window_->elements()[id_].value
                   ? QVariant(window_->elements()[id_].value())
                   : QVariant();
    }
    void setCurrentValue(const QVariant& value) override {
        if (!isValid() || !window_->elements().isActive(id_))
            return;
        const WindowElement& element = window_->elements()[id_];
        if (!element.setValue || element.maximum <= element.minimum)
            return;
        const auto set = element.setValue;
        set(std::clamp(value.toInt(), element.minimum, element.maximum));
        window_->update();
        announceValue(*window_, id_);
    }
    QVariant maximumValue() const override {
        return isValid() ? QVariant(window_->elements()[id_].maximum) : QVariant();
    }
    QVariant minimumValue() const override {
        return isValid() ? QVariant(window_->elements()[id_].minimum) : QVariant();
    }
    QVariant minimumStepSize() const override { return 1; }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (action != pressAction() || !isValid())
            return;
        // After the screen reader has its answer: a press may run a modal
        // dialog, which would keep the reader waiting until it closes.
        QMetaObject::invokeMethod(
            window_.data(),
            [window = window_, id = id_] {
                if (window && static_cast<std::size_t>(id) < window->elements().size() &&
                    window->elements().isActive(id))
                    window->clickAt(window->elements().rectOf(id).center());
            },
            Qt::QueuedConnection);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    ElementTable::Id id() const { return id_; }

  private:
    ElementTable::Id id_;
};

// A skinned window: its widgets, its named elements, then its face texts.
class SkinnedWindowAccessible final : public QAccessibleWidget {
  public:
    explicit SkinnedWindowAccessible(QWidget* window) : QAccessibleWidget(window) {}

    int childCount() const override {
        return QAccessibleWidget::childCount() + static_cast<int>(namedElements().size()) +
               static_cast<int>(faceCount());
    }
    QAccessibleInterface* child(int index) const override {
        const int widgets = QAccessibleWidget::childCount();
        if (index < widgets)
            return QAccessibleWidget::child(index);
        const std::vector<ElementTable::Id> named = namedElements();
        if (const auto element = static_cast<std::size_t>(index - widgets); element < named.size())
            return elementInterface(named[element]);
        const auto face = static_cast<std::size_t>(index - widgets) - named.size();
        if (face >= faceCount())
            return nullptr;
        // One interface per text for the window's life, as screen readers
        // keep them by identity.
        while (ids_.size() <= face)
            ids_.push_back(QAccessible::registerAccessibleInterface(
                new FaceTextAccessible(widget(), ids_.size())));
        return QAccessible::accessibleInterface(ids_[face]);
    }
    QAccessibleInterface* focusChild() const override {
        auto* window = static_cast<SkinnedWindow*>(widget());
        if (const auto focused = window->focusedElement(); focused && window->hasFocus())
            return elementInterface(*focused);
        return QAccessibleWidget::focusChild();
    }
    // The interface of a named element, none for another.
    QAccessibleInterface* namedElement(ElementTable::Id element) const {
        auto* window = static_cast<SkinnedWindow*>(widget());
        return window->elements().isNamed(element) ? elementInterface(element) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        const std::vector<ElementTable::Id> named = namedElements();
        const int widgets = QAccessibleWidget::childCount();
        if (const auto* element = dynamic_cast<const ElementAccessible*>(child)) {
            const auto found = std::ranges::find(named, element->id());
            return element->owner() == widget() && found != named.end()
                       ? widgets + static_cast<int>(found - named.begin())
                       : -1;
        }
        if (const auto* face = dynamic_cast<const FaceTextAccessible*>(child))
            return face->owner() == widget() && face->index() < faceCount()
                       ? widgets + static_cast<int>(named.size() + face->index())
                       : -1;
        return QAccessibleWidget::indexOfChild(child);
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int i = childCount() - 1; i >= 0; --i) {
            QAccessibleInterface* each = child(i);
            if (each && each->rect().contains(x, y))
                return each;
        }
        return nullptr;
    }

  protected:
    ~SkinnedWindowAccessible() override {
        for (const QAccessible::Id id : ids_)
            QAccessible::deleteAccessibleInterface(id);
        for (const auto& [element, id] : elementIds_)
            QAccessible::deleteAccessibleInterface(id);
    }

  private:
    std::vector<ElementTable::Id> namedElements() const {
        std::vector<ElementTable::Id> named;
        auto* window = static_cast<SkinnedWindow*>(widget());
        const ElementTable& table = window->elements();
        for (ElementTable::Id id = 0; static_cast<std::size_t>(id) < table.size(); ++id)
            if (table.isNamed(id))
                named.push_back(id);
        return named;
    }
    QAccessibleInterface* elementInterface(ElementTable::Id element) const {
        auto found = elementIds_.find(element);
        if (found == elementIds_.end())
            found = elementIds_
                        .emplace(element,
                                 QAccessible::registerAccessibleInterface(new ElementAccessible(
                                     static_cast<SkinnedWindow*>(widget()), element)))
                        .first;
        return QAccessible::accessibleInterface(found->second);
    }

    std::size_t faceCount() const {
        const FaceTextList* list = listOf(widget());
        return list ? list->texts.size() : 0;
    }

    mutable std::vector<QAccessible::Id> ids_;
    mutable std::map<ElementTable::Id, QAccessible::Id> elementIds_;
};

QAccessibleInterface* skinnedWindowFactory(const QString& className, QObject* object) {
    auto* window = qobject_cast<SkinnedWindow*>(object);
    // Asked once for each class of the object's ancestry, most derived first.
    if (!window || className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    return new SkinnedWindowAccessible(window);
}

} // namespace

void addAccessibleFaceText(QWidget& window, FaceText text) {
    FaceTextList* list = listOf(&window);
    if (!list)
        list = new FaceTextList(window);
    list->texts.push_back(std::move(text));
}

void announceFocus(SkinnedWindow& window, int elementId) {
    auto* face =
        dynamic_cast<SkinnedWindowAccessible*>(QAccessible::queryAccessibleInterface(&window));
    QAccessibleInterface* element = face ? face->namedElement(elementId) : nullptr;
    if (!element)
        return;
    QAccessibleEvent event(element, QAccessible::Focus);
    QAccessible::updateAccessibility(&event);
}

void announceValue(SkinnedWindow& window, int elementId) {
    if (!QAccessible::isActive())
        return;
    auto* face =
        dynamic_cast<SkinnedWindowAccessible*>(QAccessible::queryAccessibleInterface(&window));
    QAccessibleInterface* element = face ? face->namedElement(elementId) : nullptr;
    if (!element || !window.elements()[elementId].value)
        return;
    QAccessibleValueChangeEvent event(element, window.elements()[elementId].value());
    QAccessible::updateAccessibility(&event);
}

void announceState(SkinnedWindow& window, int elementId) {
    if (!QAccessible::isActive())
        return;
    auto* face =
        dynamic_cast<SkinnedWindowAccessible*>(QAccessible::queryAccessibleInterface(&window));
    QAccessibleInterface* element = face ? face->namedElement(elementId) : nullptr;
    if (!element)
        return;
    QAccessible::State changed;
    changed.checked = true;
    QAccessibleStateChangeEvent event(element, changed);
    QAccessible::updateAccessibility(&event);
}

void installFaceAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&skinnedWindowFactory);
        installApplicationAccessibility();
        return true;
    }();
    (void)installed;
}

} // namespace qvr
