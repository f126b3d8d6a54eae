#pragma once

#include <QKeySequence>

class QObject;

namespace norvane::StandardEdit {

// Undo, cut, copy, paste and select all go straight to the control that has the keyboard
// focus: the focused item of a QML view, or a focused widget. They never travel as synthetic
// key presses, which the main menu's own shortcuts would catch again.

// The control with the keyboard focus when it can take `key` now (a text control; not cut,
// paste or undo when it is read-only); null otherwise.
[[nodiscard]] QObject *target(QKeySequence::StandardKey key);

// Performs `key` on target(key); does nothing when there is none. Returns whether it acted.
bool perform(QKeySequence::StandardKey key);

} // namespace norvane::StandardEdit
