#include "ViewLifetime.h"

#include "Platform/Linux/ViewWorkingSet.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <utility>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace norvane {

ViewLifetime::ViewLifetime(std::chrono::milliseconds gracePeriod, Views views, QObject *parent)
    : QObject(parent), m_views(std::move(views)), m_timer(new QTimer(this)) {
    m_timer->setSingleShot(true);
    m_timer->setInterval(gracePeriod);
    connect(m_timer, &QTimer::timeout, this, &ViewLifetime::releaseIfClosed);
}

void ViewLifetime::track(QWidget *window) {
    m_tracked.removeAll(nullptr);
    if (m_tracked.contains(window))
        return;
    m_tracked << window;
    window->installEventFilter(this);
}

void ViewLifetime::viewClosed() {
    m_timer->start();
}

bool ViewLifetime::isOwnWindow(const QWidget *widget) const {
    for (const QWidget *window = widget; window; window = window->parentWidget())
        if (std::ranges::find(m_tracked, window, &QPointer<QWidget>::data) != m_tracked.cend())
            return true;
    return false;
}

bool ViewLifetime::viewsClosed() const {
    if (m_views.otherOpen && m_views.otherOpen())
        return false;
    if (std::ranges::any_of(m_hidden, [](const QPointer<QWidget> &widget) { return widget; }))
        return false;
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::ranges::none_of(windows, [this](const QWidget *widget) {
        return widget->isVisible() && isOwnWindow(widget);
    });
}

void ViewLifetime::hideWindows() {
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->isVisible() && isOwnWindow(widget)) {
            m_hidden << widget;
            widget->hide();
        }
    }
}

void ViewLifetime::unhideWindows() {
    // In the order they were hidden: the main window before its sheets.
    const QList<QPointer<QWidget>> hidden = std::exchange(m_hidden, {});
    for (const QPointer<QWidget> &widget : hidden)
        if (widget)
            widget->show();
}

void ViewLifetime::shown(QWidget *window) {
    m_hidden.removeAll(QPointer<QWidget>(window));
}

bool ViewLifetime::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Close && watched->isWidgetType())
        m_timer->start();
    return QObject::eventFilter(watched, event);
}

void ViewLifetime::releaseIfClosed() {
    if (!viewsClosed() || !m_views.release())
        return;
    // What the scenes deleted later is gone by then; glibc keeps freed memory unless asked. The
    // libraries only views use stay loaded: their pages go back until a view is made again.
    QTimer::singleShot(250, this, [this] {
#if defined(__GLIBC__)
        malloc_trim(0);
#endif
        if (viewsClosed())
            ViewWorkingSet::trim();
    });
}

} // namespace norvane
