// The main menu: its items, key equivalents, check marks and enabled states, and which action
// each item sends.
#include "App/MainMenu.h"

#include "Configuration/ConfigurationError.h"
#include "Localization/L10n.h"
#include "Platform/LoginItem.h"
#include "TestSupport.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace norvane;

namespace {

class RecordingTarget final : public MainMenuTarget {
public:
    QStringList calls;
    QVariant represented;
    QKeySequence::StandardKey edit = QKeySequence::UnknownKey;
    int appearance = -1;
    std::unique_ptr<LoginItem> loginItem; // none: the system offers no login item

    void about() override { calls << "about"; }
    void showSettings() override { calls << "showSettings"; }
    std::optional<bool> opensAtLogin() const override {
        return loginItem ? std::optional(loginItem->isEnabled()) : std::nullopt;
    }
    void setOpensAtLogin(bool open) override {
        try {
            loginItem->setEnabled(open);
        } catch (const PlatformError &) {
            calls << "loginItemFailed";
        }
    }
    void hideApplication() override { calls << "hide"; }
    void hideOtherApplications() override { calls << "hideOthers"; }
    void unhideAllApplications() override { calls << "showAll"; }
    void quit() override { calls << "quit"; }
    void switchProfile(const QVariant &object) override {
        calls << "switchProfile";
        represented = object;
    }
    void newProfile() override { calls << "newProfile"; }
    void undoProfileDeletion() override { calls << "undo"; }
    void sendStandardEdit(QKeySequence::StandardKey key) override {
        calls << "edit";
        edit = key;
    }
    void showMenuBar() override { calls << "showMenuBar"; }
    void changeAppearance(int choice) override {
        calls << "appearance";
        appearance = choice;
    }
    void showWindow() override { calls << "showWindow"; }
    void minimizeWindow() override { calls << "minimize"; }
    void closeWindow() override { calls << "close"; }
};

QKeySequence command(Qt::Key key, Qt::KeyboardModifiers extra = {}) {
    return QKeySequence(QKeyCombination(Qt::ControlModifier | extra, key));
}

struct MainMenuTest : ::testing::Test {
    QMenuBar &build(const MainMenu::State &state) {
        bar.reset(MainMenu::build(state, target));
        return *bar;
    }
    QAction *item(const QString &title) const {
        QAction *action = MainMenu::findAction(bar.get(), title);
        EXPECT_NE(action, nullptr) << title.toStdString();
        return action;
    }
    QMenu *menu(const QString &title) const {
        for (QAction *top : bar->actions())
            if (top->text() == title)
                return top->menu();
        ADD_FAILURE() << "no menu " << title.toStdString();
        return nullptr;
    }
    static QStringList titles(const QMenu *menu) {
        QStringList list;
        for (const QAction *action : menu->actions())
            list << (action->isSeparator() ? QStringLiteral("---") : action->text());
        return list;
    }
    static MainMenu::State profiles(int count) {
        MainMenu::State state;
        for (int i = 1; i <= count; ++i)
            state.profiles << MainMenu::ProfileItem{QStringLiteral("id-%1").arg(i),
                                                    QStringLiteral("Profile %1").arg(i)};
        return state;
    }

    RecordingTarget target;
    std::unique_ptr<QMenuBar> bar;
};

} // namespace

TEST_F(MainMenuTest, HasTheFiveMenusWithTheirItemsInOrder) {
    build(profiles(2));
    QStringList top;
    for (const QAction *action : bar->actions())
        top << action->text();
    EXPECT_EQ(top, (QStringList{"Pellor", L10n::text("Profiles"), L10n::text("Edit"),
                                L10n::text("View"), L10n::text("Window")}));
    EXPECT_EQ(titles(menu("Pellor")),
              (QStringList{L10n::text("About Pellor"), L10n::text("Current Settings…"), "---",
                           L10n::text("Hide Pellor"), L10n::text("Hide Others"),
                           L10n::text("Show All"), L10n::text("Quit Pellor")}));
    EXPECT_EQ(titles(menu(L10n::text("Profiles"))),
              (QStringList{"Profile 1", "Profile 2", "---", L10n::text("New Profile…"),
                           L10n::text("Undo Profile Deletion")}));
    EXPECT_EQ(titles(menu(L10n::text("Edit"))),
              (QStringList{L10n::text("Undo"), "---", L10n::text("Cut"), L10n::text("Copy"),
                           L10n::text("Paste"), L10n::text("Select All")}));
    EXPECT_EQ(titles(menu(L10n::text("View"))),
              (QStringList{L10n::text("Show Menu Bar Panel"), "---", L10n::text("Appearance")}));
    EXPECT_EQ(titles(menu(L10n::text("Window"))),
              (QStringList{L10n::text("Open Main Window"), L10n::text("Minimize"),
                           L10n::text("Close Window")}));
}

TEST_F(MainMenuTest, KeyEquivalentsUseTheCommandModifier) {
    build(profiles(1));
    EXPECT_TRUE(item(L10n::text("About Pellor"))->shortcut().isEmpty());
    EXPECT_EQ(item(L10n::text("Current Settings…"))->shortcut(), command(Qt::Key_Comma));
    EXPECT_EQ(item(L10n::text("Hide Pellor"))->shortcut(), command(Qt::Key_H));
    EXPECT_EQ(item(L10n::text("Hide Others"))->shortcut(), command(Qt::Key_H, Qt::AltModifier));
    EXPECT_TRUE(item(L10n::text("Show All"))->shortcut().isEmpty());
    EXPECT_EQ(item(L10n::text("Quit Pellor"))->shortcut(), command(Qt::Key_Q));
    EXPECT_EQ(item(L10n::text("New Profile…"))->shortcut(), command(Qt::Key_N));
    EXPECT_TRUE(item(L10n::text("Undo Profile Deletion"))->shortcut().isEmpty());
    EXPECT_EQ(item(L10n::text("Undo"))->shortcut(), command(Qt::Key_Z));
    EXPECT_EQ(item(L10n::text("Cut"))->shortcut(), command(Qt::Key_X));
    EXPECT_EQ(item(L10n::text("Copy"))->shortcut(), command(Qt::Key_C));
    EXPECT_EQ(item(L10n::text("Paste"))->shortcut(), command(Qt::Key_V));
    EXPECT_EQ(item(L10n::text("Select All"))->shortcut(), command(Qt::Key_A));
    EXPECT_TRUE(item(L10n::text("Show Menu Bar Panel"))->shortcut().isEmpty());
    EXPECT_EQ(item(L10n::text("Open Main Window"))->shortcut(), command(Qt::Key_0));
    EXPECT_EQ(item(L10n::text("Minimize"))->shortcut(), command(Qt::Key_M));
    EXPECT_EQ(item(L10n::text("Close Window"))->shortcut(), command(Qt::Key_W));

    EXPECT_EQ(item(L10n::text("About Pellor"))->menuRole(), QAction::AboutRole);
    EXPECT_EQ(item(L10n::text("Current Settings…"))->menuRole(), QAction::PreferencesRole);
    EXPECT_EQ(item(L10n::text("Quit Pellor"))->menuRole(), QAction::QuitRole);
    EXPECT_EQ(item("Profile 1")->menuRole(), QAction::NoRole) << "a profile named About stays put";
}

TEST_F(MainMenuTest, OnlyTheFirstNineProfilesGetNumberKeys) {
    build(profiles(11));
    for (int i = 1; i <= 11; ++i) {
        QAction *action = item(QStringLiteral("Profile %1").arg(i));
        EXPECT_EQ(action->data(), QStringLiteral("id-%1").arg(i));
        if (i <= 9)
            EXPECT_EQ(action->shortcut(), command(Qt::Key(Qt::Key_0 + i))) << i;
        else
            EXPECT_TRUE(action->shortcut().isEmpty()) << i;
    }
    item("Profile 10")->trigger();
    EXPECT_EQ(target.calls, QStringList{"switchProfile"});
    EXPECT_EQ(target.represented, "id-10");
}

TEST_F(MainMenuTest, UndoProfileDeletionIsEnabledExactlyWhenTheLibraryCanUndo) {
    MainMenu::State state = profiles(1);
    build(state);
    EXPECT_FALSE(item(L10n::text("Undo Profile Deletion"))->isEnabled());
    state.canUndoDeletion = true;
    build(state);
    EXPECT_TRUE(item(L10n::text("Undo Profile Deletion"))->isEnabled());
    item(L10n::text("Undo Profile Deletion"))->trigger();
    EXPECT_EQ(target.calls, QStringList{"undo"});
}

TEST_F(MainMenuTest, TheStoredAppearanceIsChecked) {
    const QString names[] = {L10n::text("System"), L10n::text("Light"), L10n::text("Dark")};
    for (const int choice : {0, 1, 2, 5}) {
        MainMenu::State state = profiles(1);
        state.appearanceChoice = choice;
        build(state);
        for (int tag = 0; tag < 3; ++tag) {
            QAction *action = item(names[tag]);
            EXPECT_TRUE(action->isCheckable());
            EXPECT_EQ(action->isChecked(), tag == choice)
                << "choice " << choice << ", item " << tag;
        }
    }
}

TEST_F(MainMenuTest, ChoosingAnAppearanceMovesTheCheckMarkAndReportsTheTag) {
    MainMenu::State state = profiles(1);
    state.appearanceChoice = 1;
    build(state);
    item(L10n::text("Dark"))->trigger();
    EXPECT_EQ(target.appearance, 2);
    EXPECT_TRUE(item(L10n::text("Dark"))->isChecked());
    EXPECT_FALSE(item(L10n::text("Light"))->isChecked());
    EXPECT_FALSE(item(L10n::text("System"))->isChecked());
}

TEST_F(MainMenuTest, EachItemSendsItsAction) {
    build(profiles(1));
    const std::pair<QString, QString> expected[] = {
        {L10n::text("About Pellor"), "about"},
        {L10n::text("Current Settings…"), "showSettings"},
        {L10n::text("Hide Pellor"), "hide"},
        {L10n::text("Hide Others"), "hideOthers"},
        {L10n::text("Show All"), "showAll"},
        {L10n::text("Quit Pellor"), "quit"},
        {L10n::text("New Profile…"), "newProfile"},
        {L10n::text("Show Menu Bar Panel"), "showMenuBar"},
        {L10n::text("Open Main Window"), "showWindow"},
        {L10n::text("Minimize"), "minimize"},
        {L10n::text("Close Window"), "close"}};
    for (const auto &[title, call] : expected) {
        target.calls.clear();
        item(title)->trigger();
        EXPECT_EQ(target.calls, QStringList{call}) << title.toStdString();
    }
    item(L10n::text("Paste"))->trigger();
    EXPECT_EQ(target.edit, QKeySequence::Paste);
    item(L10n::text("Select All"))->trigger();
    EXPECT_EQ(target.edit, QKeySequence::SelectAll);
}

TEST_F(MainMenuTest, MacOSProvidesTheHideItemsItself) {
    MainMenu::State state = profiles(1);
    state.includeHideItems = false;
    build(state);
    EXPECT_EQ(titles(menu("Pellor")),
              (QStringList{L10n::text("About Pellor"), L10n::text("Current Settings…"), "---",
                           L10n::text("Quit Pellor")}));
}

TEST_F(MainMenuTest, OpenAtLoginWritesAndRemovesTheAutostartEntryAndFollowsTheFile) {
    QTemporaryDir config;
    auto *entry = new AutostartEntry(config.filePath("autostart"), "/usr/bin/pellor");
    target.loginItem.reset(entry);
    build(profiles(1));
    EXPECT_EQ(titles(menu("Pellor")).mid(0, 4),
              (QStringList{L10n::text("About Pellor"), L10n::text("Current Settings…"),
                           L10n::text("Open at Login"), "---"}));
    QAction *openAtLogin = item(L10n::text("Open at Login"));
    ASSERT_TRUE(openAtLogin->isCheckable());
    EXPECT_FALSE(openAtLogin->isChecked());

    openAtLogin->trigger();
    EXPECT_TRUE(QFile::exists(entry->filePath()));
    EXPECT_TRUE(openAtLogin->isChecked());
    openAtLogin->trigger();
    EXPECT_FALSE(QFile::exists(entry->filePath()));
    EXPECT_FALSE(openAtLogin->isChecked());

    // Changed elsewhere: the check mark follows the file when the menu opens.
    entry->setEnabled(true);
    emit menu("Pellor")->aboutToShow();
    EXPECT_TRUE(openAtLogin->isChecked());
    QFile::remove(entry->filePath());
    emit menu("Pellor")->aboutToShow();
    EXPECT_FALSE(openAtLogin->isChecked());

    // A change the system refuses leaves the check mark as the file is.
    QFile blocker(config.filePath("autostart"));
    QDir(config.filePath("autostart")).removeRecursively();
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    openAtLogin->trigger();
    EXPECT_EQ(target.calls, QStringList{"loginItemFailed"});
    EXPECT_FALSE(openAtLogin->isChecked());
}
