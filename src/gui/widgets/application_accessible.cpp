#include "gui/widgets/application_accessible.h"

#include "core/files/message_sink.h"

#include <QAccessibleObject>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QWindow>

namespace qvr {
namespace {

// The application's node of the accessibility tree: Qt's own, but named by
// the program's title rather than its application (class) name.
class ApplicationAccessible final : public QAccessibleObject {
  public:
    explicit ApplicationAccessible(QObject* application) : QAccessibleObject(application) {}

    QWindow* window() const override { return nullptr; }
    QAccessibleInterface* parent() const override { return nullptr; }
    int childCount() const override { return static_cast<int>(topLevels().size()); }
    QAccessibleInterface* child(int index) const override {
        const QObjectList windows = topLevels();
        return index >= 0 && index < windows.size()
                   ? QAccessible::queryAccessibleInterface(windows.at(index))
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? static_cast<int>(topLevels().indexOf(child->object())) : -1;
    }
    QAccessibleInterface* focusChild() const override {
        QWindow* focused = QGuiApplication::focusWindow();
        return focused ? focused->accessibleRoot() : nullptr;
    }
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name)
            return {};
        return QString::fromUtf8(kApplicationTitle);
    }
    QAccessible::Role role() const override { return QAccessible::Application; }
    QAccessible::State state() const override { return {}; }

  private:
    // The shown windows that are no pop-up, as Qt lists them.
    static QObjectList topLevels() {
        QObjectList list;
        for (QWindow* window : QGuiApplication::topLevelWindows())
            if (window->type() != Qt::Popup && window->type() != Qt::Desktop)
                if (QAccessibleInterface* root = window->accessibleRoot(); root && root->object())
                    list.append(root->object());
        return list;
    }
};

QAccessibleInterface* applicationFactory(const QString& className, QObject* object) {
    if (!object || object != QCoreApplication::instance() ||
        className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    return new ApplicationAccessible(object);
}

} // namespace

void installApplicationAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&applicationFactory);
        return true;
    }();
    (void)installed;
}

} // namespace qvr
