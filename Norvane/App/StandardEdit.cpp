#include "StandardEdit.h"

#include <QApplication>
#include <QMetaObject>
#include <QQuickItem>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QWidget>

namespace norvane::StandardEdit {

namespace {

// The slot that text controls (QML text fields and editors, line edits, text edits) share.
const char *slotFor(QKeySequence::StandardKey key) {
    switch (key) {
    case QKeySequence::Undo:
        return "undo()";
    case QKeySequence::Cut:
        return "cut()";
    case QKeySequence::Copy:
        return "copy()";
    case QKeySequence::Paste:
        return "paste()";
    case QKeySequence::SelectAll:
        return "selectAll()";
    default:
        return nullptr;
    }
}

bool changesText(QKeySequence::StandardKey key) {
    return key == QKeySequence::Undo || key == QKeySequence::Cut || key == QKeySequence::Paste;
}

QObject *focusedControl() {
    QWidget *widget = QApplication::focusWidget();
    if (auto *view = qobject_cast<QQuickWidget *>(widget))
        return view->quickWindow() ? view->quickWindow()->activeFocusItem() : nullptr;
    return widget;
}

} // namespace

QObject *target(QKeySequence::StandardKey key) {
    const char *slot = slotFor(key);
    QObject *control = focusedControl();
    if (!slot || !control || control->metaObject()->indexOfMethod(slot) < 0)
        return nullptr;
    if (changesText(key) && control->property("readOnly").toBool())
        return nullptr;
    return control;
}

bool perform(QKeySequence::StandardKey key) {
    QObject *control = target(key);
    if (!control)
        return false;
    QByteArray name(slotFor(key));
    name.chop(2); // the slot's name without "()"
    return QMetaObject::invokeMethod(control, name.constData());
}

} // namespace norvane::StandardEdit
