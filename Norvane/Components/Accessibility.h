#pragma once

#include <QAccessible>

class QQuickWidget;
class QWidget;

// What a screen reader meets of the application through the platform's accessibility bridge
// (AT-SPI on Linux, NSAccessibility on a Mac), mended where Qt 6.4 leaves gaps around the
// QQuickWidgets that host the views:
// - a view's QML content is a child of its widget, and leads up to the window it is in (Qt gives
//   it no parent, so a screen reader could not tell which window a control is in);
// - the off-screen windows the widgets render through are not listed as windows of their own;
// - a widget can report the role of what it is to a person (a window, a dialog), and a popup that
//   reports a dialog's role (the quick panel) is listed among the windows while it is open.
namespace norvane::Accessibility {

// Installs the adjustments: at start, and again once a view's QQuickWidget exists (before it is
// shown), as Qt installs its own adjustments for QQuickWidgets then.
void install();
// The role `widget` reports; what it holds keeps its own roles. Best set before anything else a
// screen reader could see (its name, its title), as the widget's interface is made then; an
// interface made earlier is made again.
void setRole(QWidget &widget, QAccessible::Role role);
// When `view` takes the keyboard focus, tells the control that holds it inside the view after
// the widget's own focus, so that a screen reader lands on the control rather than on the view.
void followFocus(QQuickWidget &view);

} // namespace norvane::Accessibility
