// The rules page of the real main window, against the simulated Mac, used with the keyboard
// alone: adding each kind of rule in the editor, moving a rule, pausing and resuming, and a rule
// whose profile is deleted shown as broken.
#include "ProfileLibraryTestSupport.h"
#include "Profiles/ProfileLibrary.h"
#include "Rules/RuleBook.h"
#include "Rules/RuleEditor.h"
#include "Rules/RuleSwitcher.h"
#include "UiTestSupport.h"

#include <gtest/gtest.h>

using namespace norvane;
using namespace norvane::test;
using Kind = Condition::Kind;

namespace {

struct RulesWindowTest : WindowTest {
    [[nodiscard]] QQuickWidget *ruleEditorView() const {
        RuleEditor *editor = delegate->ruleEditor();
        return editor && editor->isVisible() ? editor->view() : nullptr;
    }
    // Presses Tab in `target` until the item named `name` has the keyboard.
    static void tabTo(QQuickWidget *target, const QString &name) {
        for (int presses = 0; presses < 20 && !item(target, name)->hasActiveFocus(); ++presses)
            QTest::keyClick(target, Qt::Key_Tab);
        ASSERT_TRUE(item(target, name)->hasActiveFocus()) << name.toStdString();
    }
    void openRules() {
        tabTo(view, "rulesButton");
        QTest::keyClick(view, Qt::Key_Space);
        ASSERT_TRUE(waitUntil([&] { return shown(item(view, "rulesView")); }));
    }
    [[nodiscard]] QList<Kind> kinds() const {
        QList<Kind> kinds;
        for (const Rule &rule : delegate->ruleBook()->rules())
            kinds << rule.when.kind;
        return kinds;
    }
};

} // namespace

TEST_F(RulesWindowTest, EveryKindOfRuleIsAddedWithTheKeyboardAlone) {
    start();
    openRules();
    struct Entry {
        Kind kind;
        int downs; // in the condition picker
        std::function<void(QQuickWidget *)> fill;
    };
    const auto type = [this](const QString &field, const QString &text) {
        return [=, this](QQuickWidget *editor) {
            tabTo(editor, field);
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClicks(editor, text);
        };
    };
    QList<Kind> added;
    for (const Entry &entry : {
             Entry{Kind::battery, 0, {}},
             Entry{Kind::adapter, 1, {}},
             Entry{Kind::ups, 2, {}},
             Entry{Kind::batteryBelow, 3, type("levelField", "12")},
             Entry{Kind::schedule, 4, type("startField", "22:00")},
             Entry{Kind::application, 5, type("applicationField", "firefox")},
             Entry{Kind::externalDisplay, 6, {}},
         }) {
        tabTo(view, "addRuleButton");
        QTest::keyClick(view, Qt::Key_Return);
        ASSERT_TRUE(waitUntil([&] { return ruleEditorView(); }));
        QQuickWidget *editor = ruleEditorView();
        ASSERT_TRUE(waitUntil([&] { return item(editor, "conditionPicker")->hasActiveFocus(); }));
        for (int down = 0; down < entry.downs; ++down)
            QTest::keyClick(editor, Qt::Key_Down);
        if (entry.fill)
            entry.fill(editor);
        tabTo(editor, "saveButton");
        QTest::keyClick(editor, Qt::Key_Return);
        ASSERT_TRUE(waitUntil([&] { return !ruleEditorView(); }))
            << textIn(editor, "ruleEditorError").toStdString();
        // Without a window manager here, nothing gives the window back its activation.
        delegate->window()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(delegate->window()));
        added << entry.kind;
        EXPECT_EQ(kinds(), added);
    }
    const QList<Rule> &rules = delegate->ruleBook()->rules();
    EXPECT_EQ(rules[3].when.percent, 12);
    EXPECT_EQ(rules[4].when.start, QTime(22, 0));
    EXPECT_EQ(rules[5].when.application, "firefox");
    EXPECT_EQ(delegate->workspace()->rules()->count(), 7) << "the page lists them at once";
    shootLightAndDark("rules-page");

    // The adapter rule holds here: its profile's footer says so.
    view->model()->select(rules[1].profileId);
    ASSERT_TRUE(waitUntil([&] { return shown(item(view, "switchingReasonLine")); }));
    EXPECT_EQ(textIn(view, "switchingReasonLine"),
              L10n::text({"Applied by rule: {0}", {rules[1].when.description()}}));
    shootLightAndDark("rules-footer");
}

TEST_F(RulesWindowTest, RulesMoveWithTheKeyboardPauseAndShowABrokenRule) {
    ProfileLibrary library(
        std::make_shared<FileProfileStorage>(FileProfileStorage::defaultLocation()));
    library.save(customProfile("night", "Overnight"));
    RuleBook book;
    book.add({"first", {Kind::battery}, "download", true});
    book.add({"second", {Kind::schedule, 0, {6, 7}, QTime(8, 0), QTime(12, 0)}, "night", true});
    start();
    openRules();
    tabTo(view, "rulesList");
    QTest::keyClick(view, Qt::Key_Down, Qt::AltModifier);
    ASSERT_TRUE(waitUntil([&] { return delegate->ruleBook()->rules()[0].id == "second"; }));

    // Paused with its switch, the rules say so and the reason offers Resume.
    tabTo(view, "automaticSwitchingSwitch");
    QTest::keyClick(view, Qt::Key_Space);
    ASSERT_TRUE(waitUntil([&] { return delegate->ruleBook()->isPaused(); }));
    ASSERT_TRUE(waitUntil([&] { return shown(item(view, "resumeSwitchingButton")); }))
        << textIn(view, "switchingReason").toStdString();
    EXPECT_EQ(delegate->workspace()->rules()->rows()[0].state, RulesModel::Paused);
    tabTo(view, "resumeSwitchingButton");
    QTest::keyClick(view, Qt::Key_Space);
    ASSERT_TRUE(waitUntil([&] { return !delegate->ruleBook()->isPaused(); }));

    delegate->workspace()->deleteProfile("night");
    ASSERT_TRUE(waitUntil(
        [&] { return delegate->workspace()->rules()->rows()[0].state == RulesModel::Broken; }));
    EXPECT_EQ(delegate->ruleBook()->rules().size(), 2) << "kept, not dropped";
    shootLightAndDark("rules-broken");
}
