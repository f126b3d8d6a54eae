#pragma once

// Helpers for tests of the real window: finding QML items by objectName, clicking and typing
// into them, waiting for conditions, and saving screenshots.
#include "Workspace/DashboardController.h"

#include <QAccessible>
#include <QDir>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <gtest/gtest.h>

namespace norvane::test {

// The item with `name` anywhere in the view, popups and menus included; null when there is none.
inline QQuickItem *findItem(QQuickItem *root, const QString &name) {
    if (!root)
        return nullptr;
    if (root->objectName() == name)
        return root;
    for (QQuickItem *child : root->childItems())
        if (QQuickItem *found = findItem(child, name))
            return found;
    return nullptr;
}

inline QQuickItem *item(DashboardController *view, const QString &name) {
    return findItem(view->quickWindow()->contentItem(), name);
}

// A popup or menu (not an item itself) by its objectName.
inline QObject *popup(DashboardController *view, const QString &name) {
    return view->rootObject() ? view->rootObject()->findChild<QObject *>(name) : nullptr;
}

inline bool opened(QObject *popup) {
    return popup && popup->property("opened").toBool();
}

// Whether the item and all its ancestors are visible.
inline bool shown(QQuickItem *item) {
    return item && item->isVisible() && item->opacity() > 0;
}

// Waits (processing events) until `condition` holds; fails the test after `timeoutMs`.
template <typename Condition> bool waitUntil(Condition condition, int timeoutMs = 10'000) {
    return QTest::qWaitFor(condition, timeoutMs);
}

inline QString screenshotPath(const QString &name) {
    QDir().mkpath(QStringLiteral(NORVANE_SCREENSHOT_DIR));
    return QStringLiteral(NORVANE_SCREENSHOT_DIR "/%1.png").arg(name);
}

inline void click(DashboardController *view, QQuickItem *target) {
    ASSERT_NE(target, nullptr);
    if (!waitUntil([&] { return shown(target) && target->isEnabled(); })) {
        view->window()->grab().save(
            screenshotPath(QStringLiteral("failure-") + target->objectName()));
        FAIL() << target->objectName().toStdString() << " is not shown and enabled";
    }
    const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
    QTest::mouseClick(view, Qt::LeftButton, {}, centre.toPoint());
}

inline void click(DashboardController *view, const QString &name) {
    QQuickItem *target = nullptr;
    if (!waitUntil([&] { return shown(target = item(view, name)); })) {
        view->window()->grab().save(screenshotPath(QStringLiteral("failure-") + name));
        FAIL() << name.toStdString() << " is not shown";
    }
    click(view, target);
}

// Whether the parts of the view that are made after its first frame are all there.
inline bool settled(DashboardController *view) {
    const QQuickItem *detail = item(view, QStringLiteral("detailLoader"));
    return detail && detail->property("status").toInt() == 1; // Loader.Ready
}

inline QString textOf(QQuickItem *item) {
    return item ? item->property("text").toString() : QStringLiteral("<no item>");
}

// Every control in the accessibility tree of `node` that a person can press or choose, with
// its accessible name.
inline void pressables(QAccessibleInterface *node,
                       QList<std::pair<QAccessible::Role, QString>> &found) {
    if (!node)
        return;
    switch (node->role()) {
    case QAccessible::Button:
    case QAccessible::ButtonMenu:
    case QAccessible::ComboBox:
    case QAccessible::ListItem:
    case QAccessible::RadioButton:
        found.append({node->role(), node->text(QAccessible::Name)});
        break;
    default:
        break;
    }
    for (int i = 0; i < node->childCount(); ++i)
        pressables(node->child(i), found);
}

} // namespace norvane::test
