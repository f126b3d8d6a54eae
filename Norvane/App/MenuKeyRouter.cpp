#include "MenuKeyRouter.h"

#include "MainMenu.h"

#include <QMainWindow>
#include <QMenuBar>

namespace norvane {

void MenuKeyRouter::install(QMenuBar *menu, QMainWindow *window) {
    menu->setObjectName(QStringLiteral("mainMenu"));
    const QList<QWidget *> keyed = keyedWindows();
    if (m_menu)
        for (QWidget *keyedWindow : keyed)
            for (QAction *action : MainMenu::keyedActions(m_menu))
                keyedWindow->removeAction(action);
    // A window disposes of the menu bar it replaces; a menu that stood alone has no window to.
    if (m_menu && m_menu != menu && !m_menu->parent())
        m_menu->deleteLater();
    if (window)
        window->setMenuBar(menu);
    m_menu = menu;
    m_window = window;
    for (QWidget *keyedWindow : keyed)
        keyedWindow->addActions(MainMenu::keyedActions(m_menu));
}

void MenuKeyRouter::answerKeys(QWidget *window) {
    if (window == m_window || keyedWindows().contains(window))
        return;
    m_keyed << window;
    if (m_menu)
        window->addActions(MainMenu::keyedActions(m_menu));
}

QList<QWidget *> MenuKeyRouter::keyedWindows() {
    m_keyed.removeAll(nullptr);
    QList<QWidget *> windows;
    for (const QPointer<QWidget> &window : m_keyed)
        windows << window;
    return windows;
}

} // namespace norvane
