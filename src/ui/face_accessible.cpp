#include "ui/face_accessible.h"

#include "ui/skinned_window.h"

#include <QAccessibleWidget>
#include <QPointer>
#include <QWidget>
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

class FaceTextAccessible final : public QAccessibleInterface {
  public:
    FaceTextAccessible(QWidget* window, std::size_t index) : window_(window), index_(index) {}

    bool isValid() const override {
        const FaceTextList* list = listOf(window_);
        return list && index_ < list->texts.size();
    }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override { return window_ ? window_->windowHandle() : nullptr; }
    QAccessibleInterface* parent() const override {
        return window_ ? QAccessible::queryAccessibleInterface(window_) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* focusChild() const override { return nullptr; }
    QString text(QAccessible::Text t) const override {
        if (!isValid() || (t != QAccessible::Name && t != QAccessible::Value))
            return {};
        return listOf(window_)->texts[index_].text();
    }
    void setText(QAccessible::Text, const QString&) override {}
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
    const QWidget* owner() const { return window_; }

  private:
    QPointer<QWidget> window_;
    std::size_t index_;
};

// A skinned window: its widgets, then its face texts.
class SkinnedWindowAccessible final : public QAccessibleWidget {
  public:
    explicit SkinnedWindowAccessible(QWidget* window) : QAccessibleWidget(window) {}

    int childCount() const override {
        return QAccessibleWidget::childCount() + static_cast<int>(faceCount());
    }
    QAccessibleInterface* child(int index) const override {
        const int widgets = QAccessibleWidget::childCount();
        if (index < widgets)
            return QAccessibleWidget::child(index);
        const auto face = static_cast<std::size_t>(index - widgets);
        if (face >= faceCount())
            return nullptr;
        // One interface per text for the window's life, as screen readers
        // keep them by identity.
        while (ids_.size() <= face)
            ids_.push_back(QAccessible::registerAccessibleInterface(
                new FaceTextAccessible(widget(), ids_.size())));
        return QAccessible::accessibleInterface(ids_[face]);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (const auto* face = dynamic_cast<const FaceTextAccessible*>(child))
            return face->owner() == widget() && face->index() < faceCount()
                       ? QAccessibleWidget::childCount() + static_cast<int>(face->index())
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
    }

  private:
    std::size_t faceCount() const {
        const FaceTextList* list = listOf(widget());
        return list ? list->texts.size() : 0;
    }

    mutable std::vector<QAccessible::Id> ids_;
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

void installFaceAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&skinnedWindowFactory);
        return true;
    }();
    (void)installed;
}

} // namespace qvr
