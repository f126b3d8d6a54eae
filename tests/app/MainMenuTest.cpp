// The main menu: item actions, number keys, check marks, enabled states, Open at Login, and
// its keys in every window.
#include "App/MainMenu.h"

#include "App/MenuKeyRouter.h"
#include "Localization/L10n.h"
#include "TestSupport.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <gtest/gtest.h>

using namespace norvane;

namespace {

class RecordingTarget final : public MainMenuTarget {
public:
    QStringList calls;
    std::optional<bool> login; // none: the system offers no login item
    bool refusesLogin = false;

    void about() override { calls << "about"; }
    void showSettings() override { calls << "showSettings"; }
    [[nodiscard]] std::optional<bool> opensAtLogin() const override { return login; }
    void setOpensAtLogin(bool open) override { login = refusesLogin ? login : open; }
    void hideApplication() override { calls << "hide"; }
    void hideOtherApplications() override { calls << "hideOthers"; }
    void unhideAllApplications() override { calls << "showAll"; }
    void quit() override { calls << "quit"; }
    void switchProfile(const QVariant &id) override { calls << "switch to " + id.toString(); }
    void newProfile() override { calls << "newProfile"; }
    void undoProfileDeletion() override { calls << "undo"; }
    void sendStandardEdit(QKeySequence::StandardKey key) override { calls << edit(key); }
    void showMenuBar() override { calls << "showMenuBar"; }
    void changeAppearance(int choice) override { calls << QString::number(choice); }
    void showWindow() override { calls << "showWindow"; }
    void minimizeWindow() override { calls << "minimize"; }
    void closeWindow() override { calls << "close"; }

    static QString edit(QKeySequence::StandardKey key) {
        return QStringLiteral("edit %1").arg(key);
    }
};

QKeySequence command(Qt::Key key) {
    return QKeySequence(QKeyCombination(Qt::ControlModifier, key));
}

struct MainMenuTest : ::testing::Test {
    void build(const MainMenu::State &state) { bar.reset(MainMenu::build(state, target)); }
    [[nodiscard]] QAction *item(const QString &title) const {
        QAction *action = MainMenu::findAction(bar.get(), title);
        EXPECT_NE(action, nullptr) << title.toStdString();
        return action;
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

TEST_F(MainMenuTest, EveryItemSendsOneActionOfItsOwnAndEveryKeyUsesTheCommandModifier) {
    build(profiles(10));
    QStringList sent;
    for (QAction *action : bar->findChildren<QAction *>()) {
        if (action->isSeparator() || action->menu() || !action->isEnabled())
            continue;
        target.calls.clear();
        action->trigger();
        EXPECT_EQ(target.calls.size(), 1) << action->text().toStdString();
        sent << target.calls;
    }
    EXPECT_EQ(QSet<QString>(sent.cbegin(), sent.cend()).size(), sent.size())
        << sent.join(", ").toStdString();
    EXPECT_TRUE(sent.contains("switch to id-10"));
    for (const QAction *action : MainMenu::keyedActions(bar.get()))
        EXPECT_TRUE(action->shortcut()[0].keyboardModifiers() & Qt::ControlModifier)
            << action->text().toStdString();
    // Only the first nine profiles get number keys.
    EXPECT_EQ(item("Profile 9")->shortcut(), command(Qt::Key_9));
    EXPECT_TRUE(item("Profile 10")->shortcut().isEmpty());
    EXPECT_EQ(item("Profile 1")->menuRole(), QAction::NoRole) << "a profile named About stays put";
}

TEST_F(MainMenuTest, CheckMarksAndEnabledStatesFollowTheState) {
    MainMenu::State state = profiles(2);
    state.profiles[1].allowed = false; // the policy forbids it
    state.appearanceChoice = 5;        // none of the three
    build(state);
    EXPECT_FALSE(item(L10n::text("System"))->isChecked());
    EXPECT_TRUE(item("Profile 1")->isEnabled());
    EXPECT_FALSE(item("Profile 2")->isEnabled());
    EXPECT_FALSE(item(L10n::text("Undo Profile Deletion"))->isEnabled());
    state.appearanceChoice = 2;
    state.canUndoDeletion = true;
    state.includeHideItems = false; // macOS provides them itself
    build(state);
    EXPECT_TRUE(item(L10n::text("Dark"))->isChecked());
    EXPECT_FALSE(MainMenu::findAction(bar.get(), L10n::text("Hide Pellor")));
    item(L10n::text("Light"))->trigger();
    item(L10n::text("Undo Profile Deletion"))->trigger();
    EXPECT_EQ(target.calls, (QStringList{"1", "undo"}));
    EXPECT_FALSE(item(L10n::text("Dark"))->isChecked());
}

TEST_F(MainMenuTest, OpenAtLoginIsCheckedAsTheSystemHasIt) {
    build(profiles(1));
    EXPECT_FALSE(MainMenu::findAction(bar.get(), L10n::text("Open at Login")))
        << "not offered without a login item";
    target.login = false;
    build(profiles(1));
    QAction *openAtLogin = item(L10n::text("Open at Login"));
    openAtLogin->trigger();
    EXPECT_EQ(target.login, true);
    EXPECT_TRUE(openAtLogin->isChecked());
    target.login = false; // changed elsewhere: followed when the menu opens
    emit bar->actions().first()->menu()->aboutToShow();
    EXPECT_FALSE(openAtLogin->isChecked());
    target.refusesLogin = true; // a change the system refuses leaves the check mark as it is
    openAtLogin->trigger();
    EXPECT_FALSE(openAtLogin->isChecked());
}

// With more profiles than the screen has room for, the Profiles menu stays one column, New
// Profile… and Undo Profile Deletion in it; the other profiles are in "More Profiles", in order.
TEST_F(MainMenuTest, ProfilesBeyondTheScreenGoIntoASubmenu) {
    for (const int count : {10, 200}) {
        const MainMenu::State state = profiles(count);
        build(state);
        QMenu *menu = bar->actions()[1]->menu();
        auto *more = menu->findChild<QMenu *>("moreProfiles");
        EXPECT_EQ(more != nullptr, count == 200);
        const QList<QAction *> items = menu->actions();
        EXPECT_EQ(menu->actionGeometry(items.first()).left(),
                  menu->actionGeometry(items.last()).left())
            << count << " profiles wrap into columns";
        EXPECT_LE(menu->sizeHint().height(), menu->screen()->availableGeometry().height());
        EXPECT_EQ(items.last()->text(), L10n::text("Undo Profile Deletion"));
        QStringList shown;
        QStringList expected;
        for (const QAction *action : items + (more ? more->actions() : QList<QAction *>()))
            if (action->data().isValid())
                shown << action->text();
        for (const MainMenu::ProfileItem &profile : state.profiles)
            expected << profile.title;
        EXPECT_EQ(shown, expected);
    }
}

// The menu's keys work in every window of Pellor: in the main window through its menu bar,
// elsewhere as the window's own actions, traded for the new ones whenever the menu is rebuilt,
// also while there is no main window to hold it.
TEST_F(MainMenuTest, EveryWindowAnswersTheKeysOfTheCurrentMenu) {
    MenuKeyRouter router;
    QWidget settings;
    router.answerKeys(&settings);
    EXPECT_TRUE(settings.actions().isEmpty()) << "no menu yet";
    const QPointer<QMenuBar> standalone = MainMenu::build({}, target);
    router.install(standalone, nullptr);
    EXPECT_EQ(settings.actions(), MainMenu::keyedActions(standalone));

    QMenuBar *rebuilt = MainMenu::build({}, target);
    router.install(rebuilt, nullptr);
    EXPECT_EQ(settings.actions(), MainMenu::keyedActions(rebuilt));
    QMainWindow window;
    router.install(rebuilt, &window);
    router.answerKeys(&window);
    EXPECT_EQ(window.menuBar(), rebuilt);
    EXPECT_TRUE(window.actions().isEmpty()) << "its menu bar answers";
    EXPECT_EQ(settings.actions(), MainMenu::keyedActions(rebuilt)) << "once each";
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(standalone.isNull()) << "the menu that stood alone is gone";
}
