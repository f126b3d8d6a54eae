#include "Accessibility.h"

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QQuickItem>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QWindow>

namespace norvane::Accessibility {

namespace {

constexpr char roleProperty[] = "_norvane_accessibleRole";

bool isOffscreen(const QObject *window) {
    return window && window->inherits("QQuickWidgetOffscreenWindow");
}

// Whether QML marked `item` as ignored (Accessible.ignored), which an interface made earlier
// does not tell.
bool ignored(const QQuickItem *item) {
    for (const QObject *child : item->children())
        if (child->inherits("QQuickAccessibleAttached"))
            return child->property("ignored").toBool();
    return false;
}

// The accessible items a view shows at its top: under its content item, the first accessible
// item down each branch, as Qt lists an item's children, leaving out what is hidden.
void collect(QQuickItem *item, QList<QQuickItem *> &found) {
    for (QQuickItem *child : item->childItems()) {
        if (!child->isVisible())
            continue;
        if (!ignored(child) && QAccessible::queryAccessibleInterface(child))
            found << child;
        else
            collect(child, found);
    }
}

// A QQuickWidget with its QML content as its children.
class ViewAccessible : public QAccessibleWidget {
public:
    ViewAccessible(QQuickWidget *view, QAccessible::Role role) : QAccessibleWidget(view, role) {}

    [[nodiscard]] QList<QQuickItem *> items() const {
        QList<QQuickItem *> found;
        if (auto *view = qobject_cast<QQuickWidget *>(widget()))
            collect(view->quickWindow()->contentItem(), found);
        return found;
    }
    [[nodiscard]] int childCount() const override { return int(items().size()); }
    [[nodiscard]] QAccessibleInterface *child(int index) const override {
        const QList<QQuickItem *> found = items();
        return index >= 0 && index < found.size()
                   ? QAccessible::queryAccessibleInterface(found.at(index))
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override {
        const auto *item = child ? qobject_cast<const QQuickItem *>(child->object()) : nullptr;
        return item ? int(items().indexOf(item)) : -1;
    }
    [[nodiscard]] QAccessibleInterface *childAt(int x, int y) const override {
        for (int i = 0; i < childCount(); ++i)
            if (QAccessibleInterface *found = child(i); found && found->rect().contains(x, y))
                return found;
        return nullptr;
    }
    [[nodiscard]] QAccessibleInterface *focusChild() const override {
        auto *view = qobject_cast<QQuickWidget *>(widget());
        QQuickItem *focus = view ? view->quickWindow()->activeFocusItem() : nullptr;
        for (; focus; focus = focus->parentItem())
            if (QAccessibleInterface *found = QAccessible::queryAccessibleInterface(focus))
                return found;
        return nullptr;
    }
};

// The window of a widget, which Qt names as the parent of a view's top items: it answers as the
// window's view does (each window of the application holds one), so that the items lead up to
// their view and the window a person sees.
class WidgetWindowAccessible : public QAccessibleObject {
public:
    explicit WidgetWindowAccessible(QWindow *window)
        : QAccessibleObject(window), m_widget(viewIn(widgetOf(window))) {}

    [[nodiscard]] static QWidget *widgetOf(const QWindow *window) {
        for (QWidget *widget : QApplication::topLevelWidgets())
            if (widget->windowHandle() == window)
                return widget;
        return nullptr;
    }
    // The one view in `window`; the window itself when it holds none or several.
    [[nodiscard]] static QWidget *viewIn(QWidget *window) {
        if (!window || qobject_cast<QQuickWidget *>(window))
            return window;
        const QList<QQuickWidget *> views = window->findChildren<QQuickWidget *>();
        return views.size() == 1 ? views.first() : window;
    }
    [[nodiscard]] QAccessibleInterface *widget() const {
        return m_widget ? QAccessible::queryAccessibleInterface(m_widget.data()) : nullptr;
    }
    [[nodiscard]] bool isValid() const override { return QAccessibleObject::isValid() && widget(); }
    [[nodiscard]] QWindow *window() const override { return static_cast<QWindow *>(object()); }
    [[nodiscard]] QAccessibleInterface *parent() const override {
        return widget() ? widget()->parent() : nullptr;
    }
    [[nodiscard]] int childCount() const override { return widget() ? widget()->childCount() : 0; }
    [[nodiscard]] QAccessibleInterface *child(int index) const override {
        return widget() ? widget()->child(index) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override {
        return widget() ? widget()->indexOfChild(child) : -1;
    }
    [[nodiscard]] QAccessibleInterface *focusChild() const override {
        return widget() ? widget()->focusChild() : nullptr;
    }
    [[nodiscard]] QString text(QAccessible::Text t) const override {
        return widget() ? widget()->text(t) : QString();
    }
    [[nodiscard]] QRect rect() const override { return widget() ? widget()->rect() : QRect(); }
    [[nodiscard]] QAccessible::Role role() const override {
        return widget() ? widget()->role() : QAccessible::NoRole;
    }
    [[nodiscard]] QAccessible::State state() const override {
        return widget() ? widget()->state() : QAccessible::State();
    }

private:
    QPointer<QWidget> m_widget;
};

// A window of the application: its view, met from below through the widget's window, is still
// its child.
class WindowAccessible : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;

    int indexOfChild(const QAccessibleInterface *child) const override {
        if (auto *window = child ? qobject_cast<QWindow *>(child->object()) : nullptr) {
            QWidget *view =
                WidgetWindowAccessible::viewIn(WidgetWindowAccessible::widgetOf(window));
            return view ? QAccessibleWidget::indexOfChild(
                              QAccessible::queryAccessibleInterface(view))
                        : -1;
        }
        return QAccessibleWidget::indexOfChild(child);
    }
};

// The application's windows as a person sees them: no off-screen windows, and the popups that
// present themselves as dialogs while they are open.
class ApplicationAccessible : public QAccessibleApplication {
public:
    [[nodiscard]] static QObjectList windows() {
        QObjectList found;
        for (QWindow *window : QGuiApplication::topLevelWindows()) {
            if (window->type() == Qt::Desktop || isOffscreen(window))
                continue;
            QAccessibleInterface *root = window->accessibleRoot();
            if (!root || !root->object())
                continue;
            if (window->type() == Qt::Popup &&
                (!window->isVisible() || root->role() != QAccessible::Dialog))
                continue;
            found << root->object();
        }
        return found;
    }
    [[nodiscard]] int childCount() const override { return int(windows().size()); }
    [[nodiscard]] QAccessibleInterface *child(int index) const override {
        const QObjectList found = windows();
        return index >= 0 && index < found.size()
                   ? QAccessible::queryAccessibleInterface(found.at(index))
                   : nullptr;
    }
    int indexOfChild(const QAccessibleInterface *child) const override {
        QObject *object = child ? child->object() : nullptr;
        if (auto *window = qobject_cast<QWindow *>(object); window && window->accessibleRoot())
            object = window->accessibleRoot()->object();
        return int(windows().indexOf(object));
    }
};

QAccessibleInterface *factory(const QString &className, QObject *object) {
    if (object == qApp)
        return new ApplicationAccessible;
    // Only once per object: for the most derived class, which Qt asks about first.
    if (!object || object->metaObject()->className() != className)
        return nullptr;
    if (className == u"QWidgetWindow")
        return new WidgetWindowAccessible(static_cast<QWindow *>(object));
    if (!object->isWidgetType())
        return nullptr;
    const QVariant role = object->property(roleProperty);
    if (auto *view = qobject_cast<QQuickWidget *>(object))
        return new ViewAccessible(view, role.isValid() ? QAccessible::Role(role.toInt())
                                                       : QAccessible::Client);
    if (role.isValid())
        return new WindowAccessible(static_cast<QWidget *>(object),
                                    QAccessible::Role(role.toInt()));
    return nullptr;
}

} // namespace

void install() {
    // The factory installed last is asked first, and QQuickWidget installs its own when the first
    // view is made: ours goes to the end again after every view.
    QAccessible::removeFactory(factory);
    QAccessible::installFactory(factory);
    static const bool replaced = [] {
        // An application interface made before the factory came is made again through it.
        if (qApp)
            if (QAccessibleInterface *application = QAccessible::queryAccessibleInterface(qApp);
                application && !dynamic_cast<ApplicationAccessible *>(application))
                QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(application));
        return true;
    }();
    Q_UNUSED(replaced)
}

void setRole(QWidget &widget, QAccessible::Role role) {
    const QVariant before = widget.property(roleProperty);
    if (before.isValid() && before.toInt() == int(role))
        return;
    widget.setProperty(roleProperty, int(role));
    // An interface made before (by Qt, while making the widget) is made again with the role.
    if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(&widget);
        made && made->role() != role)
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
}

void followFocus(QQuickWidget &view) {
    class Follower : public QObject {
    public:
        using QObject::QObject;
        bool eventFilter(QObject *watched, QEvent *event) override {
            if (event->type() == QEvent::FocusIn)
                QMetaObject::invokeMethod(
                    this,
                    [view = static_cast<QQuickWidget *>(watched)] {
                        if (!QAccessible::isActive() || !view->hasFocus())
                            return;
                        QQuickItem *focus = view->quickWindow()->activeFocusItem();
                        for (; focus; focus = focus->parentItem())
                            if (!ignored(focus) && QAccessible::queryAccessibleInterface(focus)) {
                                QAccessibleEvent told(focus, QAccessible::Focus);
                                QAccessible::updateAccessibility(&told);
                                return;
                            }
                    },
                    Qt::QueuedConnection);
            return false;
        }
    };
    view.installEventFilter(new Follower(&view));
}

} // namespace norvane::Accessibility
