#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>
#include <QVariant>
#include <optional>

class QAction;
class QMenuBar;
class QWidget;

namespace norvane {

// The receiver of the main menu's actions (the application delegate).
class MainMenuTarget {
public:
    virtual ~MainMenuTarget() = default;

    virtual void about() = 0;
    virtual void showSettings() = 0;
    // Whether the application opens at login, read from the system; none where it cannot.
    [[nodiscard]] virtual std::optional<bool> opensAtLogin() const = 0;
    virtual void setOpensAtLogin(bool open) = 0;
    // Whether a switch of the rules is told in a notice; none: no such item.
    [[nodiscard]] virtual std::optional<bool> notifiesWhenRulesSwitch() const {
        return std::nullopt;
    }
    virtual void setNotifiesWhenRulesSwitch(bool /*notify*/) {}
    virtual void hideApplication() = 0;
    virtual void hideOtherApplications() = 0;
    virtual void unhideAllApplications() = 0;
    virtual void quit() = 0;
    // `represented` is the item's represented object: the profile's identifier.
    virtual void switchProfile(const QVariant &represented) = 0;
    virtual void newProfile() = 0;
    virtual void undoProfileDeletion() = 0;
    // Undo, cut, copy, paste, select all: performed by the control that has the keyboard focus
    // when it can take them, else nothing happens.
    virtual void sendStandardEdit(QKeySequence::StandardKey key) = 0;
    // Whether the focused control can take the edit now; the Edit menu enables its items by it.
    [[nodiscard]] virtual bool canSendStandardEdit(QKeySequence::StandardKey) const { return true; }
    virtual void showMenuBar() = 0;
    virtual void changeAppearance(int choice) = 0;
    virtual void showWindow() = 0;
    virtual void minimizeWindow() = 0;
    virtual void closeWindow() = 0;
};

// The main menu, built from scratch from what it shows.
class MainMenu {
public:
    struct ProfileItem {
        QString id;
        QString title;       // the localized title
        bool allowed = true; // false: the administrator's policy forbids it, and it is disabled
    };

    struct State {
        QList<ProfileItem> profiles; // in library order
        bool canUndoDeletion = false;
        int appearanceChoice = 0;
        // macOS supplies the hide items in its own application menu.
        bool includeHideItems = true;
    };

    // A new menu bar whose actions call `target`. Profiles 1 to 9 get Ctrl+1 … Ctrl+9 (Command
    // on macOS); the appearance item whose tag is the stored choice is checked; "Open at Login"
    // is checked while the target opens at login, read again whenever its menu opens.
    [[nodiscard]] static QMenuBar *build(const State &state, MainMenuTarget &target,
                                         QWidget *parent = nullptr);

    // The items of the menu bar that have a key equivalent.
    [[nodiscard]] static QList<QAction *> keyedActions(const QMenuBar *bar);

    // Finds an item by its (translated) title anywhere in the menu bar.
    [[nodiscard]] static QAction *findAction(const QMenuBar *bar, const QString &title);
};

} // namespace norvane
