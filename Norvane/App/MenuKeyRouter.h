#pragma once

#include <QList>
#include <QPointer>

class QMainWindow;
class QMenuBar;
class QWidget;

namespace norvane {

// Puts the main menu where its keys work: in the main window (the global menu bar on a Mac), or
// standing alone while there is no main window, and its key equivalents in every other window of
// Pellor, so that the shortcuts work wherever the keyboard is.
class MenuKeyRouter {
public:
    // Makes `menu` the main menu, in `window` when there is one; the keyed windows trade the
    // previous menu's keys for its keys.
    void install(QMenuBar *menu, QMainWindow *window);
    // `window` answers the main menu's keys from now on, until it is destroyed.
    void answerKeys(QWidget *window);
    [[nodiscard]] QMenuBar *menu() const { return m_menu; }

private:
    [[nodiscard]] QList<QWidget *> keyedWindows();

    QPointer<QMenuBar> m_menu;
    QPointer<QMainWindow> m_window;
    QList<QPointer<QWidget>> m_keyed;
};

} // namespace norvane
