#include "MainMenu.h"

#include "Localization/L10n.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

namespace norvane {

namespace {

QAction *addItem(QMenu *menu, const QString &title, const QKeySequence &key,
                 std::function<void()> handler, QAction::MenuRole role = QAction::NoRole) {
    QAction *action = menu->addAction(title);
    action->setShortcut(key);
    action->setMenuRole(role);
    if (handler)
        QObject::connect(action, &QAction::triggered, action,
                         [handler = std::move(handler)] { handler(); });
    return action;
}

// A key with the command modifier: Command on macOS, Ctrl elsewhere.
QKeySequence command(int key) {
    return QKeySequence(QKeyCombination(Qt::ControlModifier, Qt::Key(key)));
}

void buildApplicationMenu(QMenuBar *bar, const MainMenu::State &state, MainMenuTarget &target) {
    // macOS titles this menu with the application's name itself.
    QMenu *menu = bar->addMenu(QStringLiteral("Pellor"));
    addItem(
        menu, L10n::text("About Pellor"), {}, [&target] { target.about(); }, QAction::AboutRole);
    addItem(
        menu, L10n::text("Current Settings…"), command(Qt::Key_Comma),
        [&target] { target.showSettings(); }, QAction::PreferencesRole);
    if (const std::optional<bool> opens = target.opensAtLogin()) {
        QAction *openAtLogin = addItem(menu, L10n::text("Open at Login"), {}, {});
        openAtLogin->setCheckable(true);
        openAtLogin->setChecked(*opens);
        // The check mark shows the system's state, also after a failed change or one made
        // elsewhere.
        const auto follow = [&target, openAtLogin] {
            openAtLogin->setChecked(target.opensAtLogin().value_or(false));
        };
        QObject::connect(openAtLogin, &QAction::triggered, openAtLogin,
                         [&target, follow](bool checked) {
                             target.setOpensAtLogin(checked);
                             follow();
                         });
        QObject::connect(menu, &QMenu::aboutToShow, openAtLogin, follow);
    }
    if (const std::optional<bool> notify = target.notifiesWhenRulesSwitch()) {
        QAction *item = addItem(menu, L10n::text("Notify When Rules Switch"), {}, {});
        item->setCheckable(true);
        item->setChecked(*notify);
        QObject::connect(item, &QAction::triggered, item, [&target, item](bool checked) {
            target.setNotifiesWhenRulesSwitch(checked);
            item->setChecked(target.notifiesWhenRulesSwitch().value_or(false));
        });
        // Also changed by the rules' view while the menu stands.
        QObject::connect(menu, &QMenu::aboutToShow, item, [&target, item] {
            item->setChecked(target.notifiesWhenRulesSwitch().value_or(false));
        });
    }
    menu->addSeparator();
    if (state.includeHideItems) {
        addItem(menu, L10n::text("Hide Pellor"), command(Qt::Key_H),
                [&target] { target.hideApplication(); });
#ifdef Q_OS_MACOS
        // Only a Mac lets one application hide the others and show them all again.
        addItem(menu, L10n::text("Hide Others"),
                QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::AltModifier, Qt::Key_H)),
                [&target] { target.hideOtherApplications(); });
        addItem(menu, L10n::text("Show All"), {}, [&target] { target.unhideAllApplications(); });
#else
        addItem(menu, L10n::text("Show Pellor"), {}, [&target] { target.unhideAllApplications(); });
#endif
    }
    addItem(
        menu, L10n::text("Quit Pellor"), command(Qt::Key_Q), [&target] { target.quit(); },
        QAction::QuitRole);
}

// Whether the menu's items lie in one column: a menu taller than its screen wraps into more.
bool inOneColumn(QMenu *menu) {
    const QList<QAction *> actions = menu->actions();
    return actions.isEmpty() || menu->actionGeometry(actions.first()).left() ==
                                    menu->actionGeometry(actions.last()).left();
}

void buildProfilesMenu(QMenuBar *bar, const MainMenu::State &state, MainMenuTarget &target) {
    QMenu *menu = bar->addMenu(L10n::text("Profiles"));
    QList<QAction *> profileItems;
    for (qsizetype i = 0; i < state.profiles.size(); ++i) {
        const MainMenu::ProfileItem &item = state.profiles[i];
        const QKeySequence key = i < 9 ? command(Qt::Key_1 + int(i)) : QKeySequence();
        QAction *action = addItem(menu, item.title, key, {});
        action->setData(item.id);
        action->setEnabled(item.allowed);
        QObject::connect(action, &QAction::triggered, action,
                         [&target, action] { target.switchProfile(action->data()); });
        profileItems << action;
    }
    QAction *separator = menu->addSeparator();
    addItem(menu, L10n::text("New Profile…"), command(Qt::Key_N),
            [&target] { target.newProfile(); });
    QAction *undo = addItem(menu, L10n::text("Undo Profile Deletion"), {},
                            [&target] { target.undoProfileDeletion(); });
    undo->setEnabled(state.canUndoDeletion);

    // Too many profiles for the screen's height: the menu would wrap into columns that run off
    // the screen with New Profile… and Undo at their end. The profiles that do not fit go into
    // a submenu of their own, which scrolls, and the menu stays one column.
    if (profileItems.isEmpty() || inOneColumn(menu) || !menu->screen())
        return;
    // Room for the profiles beside "More Profiles", the separator, New Profile…, Undo and the
    // menu's margins, kept at five items' height.
    const int itemHeight = std::max(1, menu->actionGeometry(profileItems.first()).height());
    const int screenHeight = menu->screen()->availableGeometry().height();
    const qsizetype room =
        std::clamp<qsizetype>(screenHeight / itemHeight - 5, 1, profileItems.size() - 1);
    auto *more = new QMenu(L10n::text("More Profiles"), menu);
    more->setObjectName(QStringLiteral("moreProfiles"));
    more->setStyleSheet(QStringLiteral("QMenu { menu-scrollable: 1; }"));
    for (qsizetype i = room; i < profileItems.size(); ++i) {
        menu->removeAction(profileItems[i]);
        more->addAction(profileItems[i]);
    }
    menu->insertMenu(separator, more);
}

void buildEditMenu(QMenuBar *bar, MainMenuTarget &target) {
    QMenu *menu = bar->addMenu(L10n::text("Edit"));
    QList<std::pair<QAction *, QKeySequence::StandardKey>> items;
    const auto add = [&](const QString &title, Qt::Key key, QKeySequence::StandardKey edit) {
        items.append(
            {addItem(menu, title, command(key), [&target, edit] { target.sendStandardEdit(edit); }),
             edit});
    };
    add(L10n::text("Undo"), Qt::Key_Z, QKeySequence::Undo);
    menu->addSeparator();
    add(L10n::text("Cut"), Qt::Key_X, QKeySequence::Cut);
    add(L10n::text("Copy"), Qt::Key_C, QKeySequence::Copy);
    add(L10n::text("Paste"), Qt::Key_V, QKeySequence::Paste);
    add(L10n::text("Select All"), Qt::Key_A, QKeySequence::SelectAll);
    // Opened with the mouse, the menu shows which edits the focused control can take.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [&target, items] {
        for (const auto &[action, edit] : items)
            action->setEnabled(target.canSendStandardEdit(edit));
    });
}

void buildViewMenu(QMenuBar *bar, const MainMenu::State &state, MainMenuTarget &target) {
    QMenu *menu = bar->addMenu(L10n::text("View"));
#ifdef Q_OS_MACOS
    addItem(menu, L10n::text("Show Menu Bar Panel"), {}, [&target] { target.showMenuBar(); });
#else
    addItem(menu, L10n::text("Show Tray Panel"), {}, [&target] { target.showMenuBar(); });
#endif
    menu->addSeparator();
    QMenu *appearance = menu->addMenu(L10n::text("Appearance"));
    auto *group = new QActionGroup(appearance);
    group->setExclusionPolicy(QActionGroup::ExclusionPolicy::Exclusive);
    const std::pair<int, QString> choices[] = {
        {0, L10n::text("System")}, {1, L10n::text("Light")}, {2, L10n::text("Dark")}};
    for (const auto &[tag, title] : choices) {
        QAction *action =
            addItem(appearance, title, {}, [&target, tag = tag] { target.changeAppearance(tag); });
        action->setData(tag);
        action->setCheckable(true);
        action->setChecked(tag == state.appearanceChoice);
        group->addAction(action);
    }
}

void buildWindowMenu(QMenuBar *bar, MainMenuTarget &target) {
    QMenu *menu = bar->addMenu(L10n::text("Window"));
    addItem(menu, L10n::text("Open Main Window"), command(Qt::Key_0),
            [&target] { target.showWindow(); });
    addItem(menu, L10n::text("Minimize"), command(Qt::Key_M),
            [&target] { target.minimizeWindow(); });
    addItem(menu, L10n::text("Close Window"), command(Qt::Key_W),
            [&target] { target.closeWindow(); });
}

} // namespace

QMenuBar *MainMenu::build(const State &state, MainMenuTarget &target, QWidget *parent) {
    auto *bar = new QMenuBar(parent);
    buildApplicationMenu(bar, state, target);
    buildProfilesMenu(bar, state, target);
    buildEditMenu(bar, target);
    buildViewMenu(bar, state, target);
    buildWindowMenu(bar, target);
    return bar;
}

QList<QAction *> MainMenu::keyedActions(const QMenuBar *bar) {
    QList<QAction *> keyed;
    for (QAction *action : bar->findChildren<QAction *>())
        if (!action->shortcut().isEmpty())
            keyed << action;
    return keyed;
}

QAction *MainMenu::findAction(const QMenuBar *bar, const QString &title) {
    for (QAction *action : bar->findChildren<QAction *>())
        if (action->text() == title)
            return action;
    return nullptr;
}

} // namespace norvane
