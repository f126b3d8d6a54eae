// The real main window with the real QML, against the simulated Mac: choosing a profile,
// changing its settings through the pickers, applying it, and what the window shows meanwhile.
#include "App/MainWindow.h"
#include "App/SceneRenderer.h"
#include "AppTestSupport.h"
#include "Components/Theme.h"
#include "Hero/HomeHeroModel.h"
#include "Localization/L10n.h"
#include "Platform/WriterLock.h"
#include "Profiles/ProfileLibrary.h"
#include "UiTestSupport.h"
#include "Workspace/WorkspaceModel.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>
#include <QQmlContext>
#include <QQmlProperty>
#include <QSGRendererInterface>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <gtest/gtest.h>

using namespace norvane;
using namespace norvane::test;

namespace {

QQuickItem *focusRing(QQuickItem *control) {
    for (QQuickItem *child : control ? control->childItems() : QList<QQuickItem *>())
        if (child->objectName() == "focusRing")
            return child;
    return nullptr;
}

// How many pixels of `target` differ clearly from `background`: something is drawn there.
int inkedPixels(QQuickWidget *view, QQuickItem *target, const QColor &background) {
    settle(view);
    const QImage frame = view->grabFramebuffer();
    const qreal ratio = frame.devicePixelRatio();
    const QRect area =
        QRectF(target->mapToScene(QPointF(0, 0)) * ratio, target->size() * ratio).toRect();
    int inked = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor pixel = frame.pixelColor(x, y);
            if (std::abs(pixel.red() - background.red()) +
                    std::abs(pixel.green() - background.green()) +
                    std::abs(pixel.blue() - background.blue()) >
                60)
                ++inked;
        }
    return inked;
}

int visibleBadges(AppDelegate &delegate) {
    const QList<Profile> profiles = delegate.library().profiles();
    return int(std::count_if(profiles.begin(), profiles.end(), [&](const Profile &profile) {
        return shown(item(delegate.dashboard(), "activeBadge." + profile.id));
    }));
}

} // namespace

// On a first start the window asks whether Normal takes the computer's own times; the answer
// shows in Normal's pickers at once, and Undo takes it back.
TEST_F(WindowTest, TheFirstStartAsksWhetherNormalTakesTheComputersTimes) {
    SystemSettings own = snapshot(7, 61, L10n::text("Power adapter"));
    own.screenSaverSeconds = 600;
    QSettings().remove(NormalOffer::answeredKey);
    startControlled(own);
    ASSERT_TRUE(waitUntil([&] { return shown(item(view, "normalOffer")); }));
    shootLightAndDark("normal-offer");
    const auto pickers = [&] {
        QList<int> values;
        for (const char *picker : {"displayPicker", "sleepPicker", "screenSaverPicker"})
            values << item(view, picker)->property("value").toInt();
        return values;
    };
    click(view, "useCurrentTimesButton");
    EXPECT_TRUE(waitUntil([&] { return pickers() == QList<int>{7, 61, 10}; }));
    click(view, "undoNormalButton");
    EXPECT_TRUE(waitUntil([&] { return pickers() == QList<int>{5, 15, 5}; }));
    EXPECT_FALSE(shown(item(view, "normalOffer")));
}

// The whole way through the simulated Mac: a profile changed through its pickers and applied,
// then changed outside Pellor and reapplied.
TEST_F(WindowTest, ChangingApplyingAndReapplyingAProfileThroughTheSimulatedMac) {
    start();
    click(view, "profileRow.download");
    ASSERT_TRUE(waitUntil([&] { return view->model()->selectedID() == "download"; }));
    const auto download = [&] { return *delegate->library().profile("download"); };

    pick(view, "displayPicker", 10);
    ASSERT_TRUE(waitUntil([&] { return download().displayMinutes == 10; }));

    // A custom value: rejected input shows the red message and keeps the entry open.
    click(view, "sleepPicker.button");
    click(view, "sleepPicker.custom");
    const auto entryOpen = [&] { return opened(popup(view, "sleepPicker.customEntry")); };
    ASSERT_TRUE(waitUntil(entryOpen));
    typeCustom(view, "sleepPicker", "4.5");
    click(view, "sleepPicker.customOK");
    ASSERT_TRUE(waitUntil([&] { return shown(item(view, "sleepPicker.invalidMessage")); }));
    EXPECT_EQ(item(view, "sleepPicker.invalidMessage")->property("color").value<QColor>(),
              Theme::colours(false).failure);
    EXPECT_TRUE(entryOpen());
    EXPECT_EQ(download().sleepMinutes, 0);
    shoot(view, "custom-entry-invalid");

    typeCustom(view, "sleepPicker", "45");
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return download().sleepMinutes == 45; }));
    EXPECT_TRUE(waitUntil([&] { return !entryOpen(); }));
    // The keyboard is back on the picker once the entry closes, with OK or with Escape.
    const auto pickerFocused = [&] { return item(view, "sleepPicker.button")->hasActiveFocus(); };
    EXPECT_TRUE(waitUntil(pickerFocused));
    click(view, "sleepPicker.button");
    click(view, "sleepPicker.custom");
    ASSERT_TRUE(waitUntil([&] { return entryOpen() && !pickerFocused(); }));
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_TRUE(waitUntil([&] { return !entryOpen() && pickerFocused(); }));

    // Apply, through the real configuration engine and the stand-in tools.
    click(view, "applyButton");
    const QString title = Profile::download().localizedTitle();
    const QString applied = L10n::text({"{0} applied", {title}});
    ASSERT_TRUE(waitUntil([&] { return textIn(view, "statusLine") == applied; }, 30'000))
        << textIn(view, "statusLine").toStdString();
    sim::SimulatorState mac = sim::SimulatorState::load(simulatorHome());
    for (const auto &source : {mac.battery, mac.adapter}) {
        ASSERT_TRUE(source.has_value());
        EXPECT_EQ(source->number("displaysleep"), 10);
        EXPECT_EQ(source->number("sleep"), 45);
    }
    EXPECT_EQ(visibleBadges(*delegate), 1);
    EXPECT_TRUE(shown(item(view, "activeBadge.download")));

    // Someone changes the setting outside Pellor: the footer and the quick panel say so, and the
    // panel's Reapply sets it again.
    mac.adapter->set(QStringLiteral("displaysleep"), 30);
    mac.save(simulatorHome());
    const QString drifted = L10n::text({"{0} applied · changed outside Pellor", {title}});
    ASSERT_TRUE(waitUntil([&] { return textIn(view, "statusLine") == drifted; }, 15'000))
        << textIn(view, "statusLine").toStdString();
    EXPECT_EQ(textIn(view, "applyButton"), L10n::text("Reapply"));
    delegate->changeAppearance(Appearance::dark);
    shoot(view, "workspace-drift-dark");
    openPanel();
    ASSERT_TRUE(waitUntil([&] { return shown(item(panel(), "reapplyButton")); }));
    shoot(panel(), "quick-panel-drift-dark");
    click(panel(), "reapplyButton");
    // The footer turns back once the reapplied settings are read.
    EXPECT_TRUE(waitUntil([&] { return textIn(view, "statusLine") == applied; }, 15'000));
    EXPECT_EQ(sim::SimulatorState::load(simulatorHome()).adapter->number("displaysleep"), 10);
}

// While an authorization is pending the window keeps drawing, its progress shown in the footer;
// then the badge shows. Screenshots in light and dark, in the language of the run (ctest runs
// this again in Japanese).
TEST_F(WindowTest, TheWindowKeepsDrawingWhileAuthorizationIsPending) {
    startControlled(snapshot(5, 15, L10n::text("Power adapter")));
    // Another change (a pellorctl) under way first: the apply waits its turn and says so.
    std::unique_ptr<WriterLock::Hold> other = WriterLock().tryTake();
    ASSERT_TRUE(other);
    click(view, "profileRow.focus");
    QTest::keyClick(view, Qt::Key_Return, Qt::ControlModifier); // the Apply shortcut
    ASSERT_TRUE(waitUntil([&] {
        return textIn(view, "explanationLine") ==
               L10n::text("Waiting for another change to finish…");
    }));
    EXPECT_FALSE(service->pending());
    shoot(view, "workspace-waiting");
    other.reset();
    ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
    ASSERT_TRUE(waitUntil([&] { return shown(item(view, "applyingIndicator")); }));
    EXPECT_FALSE(item(view, "applyButton")->isEnabled());
    EXPECT_EQ(textIn(view, "statusLine"), L10n::text("Applying profile…"));
    EXPECT_EQ(visibleBadges(*delegate), 0) << "not before the apply succeeded";

    QSignalSpy frames(view->quickWindow(), &QQuickWindow::afterRendering);
    EXPECT_TRUE(waitUntil([&] { return frames.size() >= 10; }))
        << "only " << frames.size() << " frames while the apply was pending";
    EXPECT_TRUE(delegate->store().isApplying());
    // The indicator is really drawn, in the footer's own opaque colour around it.
    for (const int choice : {int(Appearance::light), int(Appearance::dark)}) {
        delegate->changeAppearance(choice);
        const auto footer = item(view, "applyFooter")->property("color").value<QColor>();
        EXPECT_EQ(footer.alpha(), 255);
        EXPECT_GT(inkedPixels(view, item(view, "applyingIndicator"), footer), 20)
            << "appearance " << choice;
    }
    shoot(view, "workspace-applying-dark");

    service->succeed();
    ASSERT_TRUE(waitUntil([&] { return shown(item(view, "activeBadge.focus")); }));
    EXPECT_EQ(visibleBadges(*delegate), 1);
    EXPECT_EQ(service->applied, QList<Profile>{Profile::focus()});
    EXPECT_TRUE(waitUntil([&] { return item(view, "applyButton")->isEnabled(); }));
    shootLightAndDark("workspace");
}

// Regression (a crash): the edit keys and the Edit menu with no text field focused, and while an
// authorization is pending, do nothing and the process lives on. In a text field they edit it.
TEST_F(WindowTest, EditKeysGoToTheFocusedTextFieldOrDoNothing) {
    startControlled();
    const auto trigger = [&](const char *title) {
        MainMenu::findAction(delegate->mainMenu(), L10n::text(title))->trigger();
    };
    const auto pressEverything = [&] {
        for (const Qt::Key key : {Qt::Key_C, Qt::Key_Z, Qt::Key_X, Qt::Key_V, Qt::Key_A})
            QTest::keyClick(view, key, Qt::ControlModifier);
        for (const char *title : {"Undo", "Cut", "Copy", "Paste", "Select All"})
            trigger(title);
    };
    click(view, "profileRow.vibe");
    ASSERT_TRUE(waitUntil([&] { return view->model()->selectedID() == "vibe"; }));
    pressEverything();
    click(view, "applyButton");
    ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
    pressEverything();
    service->succeed();
    ASSERT_TRUE(waitUntil([&] { return delegate->store().hasAppliedProfile(); }));
    EXPECT_EQ(delegate->store().profile().id, "vibe");

    click(view, "searchField");
    QTest::keyClicks(view, "Focus");
    trigger("Select All");
    trigger("Cut");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "Focus");
    EXPECT_EQ(view->model()->search(), "");
    trigger("Paste");
    EXPECT_EQ(view->model()->search(), "Focus");
}

// Every tab stop shows a clear focus ring in light and dark, and the keys act on what has the
// focus. The profile list is one stop, on its selection (the arrows through it are the model's
// and the bus test's), and Return applies it. Space and Return press a button; Escape empties
// the search.
TEST_F(WindowTest, EveryTabStopShowsItsFocusAndTheKeysActOnIt) {
    startControlled();
    view->model()->select("presentation"); // a profile with an automatic return
    view->setFocus(Qt::OtherFocusReason);
    const auto focused = [&] {
        QQuickItem *focus = view->quickWindow()->activeFocusItem();
        return focus ? focus->objectName() : QStringLiteral("<none>");
    };
    for (const int choice : {int(Appearance::light), int(Appearance::dark)}) {
        delegate->changeAppearance(choice);
        QList<QQuickItem *> stops;
        for (int i = 0; i < 40; ++i) {
            QTest::keyClick(view, Qt::Key_Tab);
            QQuickItem *focus = view->quickWindow()->activeFocusItem();
            if (stops.contains(focus))
                break;
            stops << focus;
            const std::string name = focused().toStdString();
            ASSERT_TRUE(shown(focusRing(focus))) << name;
            EXPECT_GT(inkedPixels(view, focusRing(focus), Theme().workspaceBackground()), 40)
                << name << " in appearance " << choice;
        }
        EXPECT_EQ(stops.size(), 14) << "search, the list, three sidebar buttons, the actions, four "
                                       "pickers, three tiles and Apply";
    }
    shoot(view, "workspace-focus-dark");

    const auto tabTo = [&](const QString &name) {
        for (int i = 0; i < 40 && focused() != name; ++i)
            QTest::keyClick(view, Qt::Key_Tab);
        return focused() == name;
    };
    ASSERT_TRUE(tabTo("profileRow.presentation"));
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
    EXPECT_EQ(service->applied, QList<Profile>{Profile::presentation()});
    service->succeed();

    ASSERT_TRUE(waitUntil([&] { return item(view, "profileActions")->isEnabled(); }));
    ASSERT_TRUE(tabTo("profileActions"));
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_TRUE(waitUntil([&] { return opened(popup(view, "profileActionsMenu")); }));
    QTest::keyClick(view, Qt::Key_Escape);
    ASSERT_TRUE(tabTo("settingsButton"));
    QTest::keyClick(view, Qt::Key_Space);
    EXPECT_TRUE(waitUntil([&] { return delegate->settingsWindow(); }));
    delegate->settingsWindow()->close();

    click(view, "searchField");
    QTest::keyClicks(view, "Fo");
    EXPECT_EQ(view->model()->search(), "Fo");
    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_EQ(view->model()->search(), "");
}

// At the minimum size a long title drops to a smaller font over at most two lines and then
// elides, beside the badge and inside the hero.
TEST_F(WindowTest, LongTitlesStayInsideTheHero) {
    startControlled();
    delegate->window()->resize(MainWindow::minimumFrameSize);
    for (const QString &title : {QString(32, 'W'), QString(32, QChar(0x7720))}) { // 眠
        const Profile profile(title.left(4) + "-id", title, ProfileIcon::download, 10, 0, 600, 0);
        delegate->library().save(profile);
        applyAndSucceed(profile.id);
        ASSERT_TRUE(waitUntil([&] { return textIn(view, "heroTitle") == title; }));
        settle(view);
        const QRectF hero = item(view, "hero")->mapRectToScene(item(view, "hero")->boundingRect());
        QQuickItem *heading = item(view, "heroTitle");
        const QRectF box = heading->mapRectToScene(heading->boundingRect());
        EXPECT_TRUE(hero.contains(box)) << title.toStdString();
        EXPECT_LE(heading->property("lineCount").toInt(), 2);
        EXPECT_LE(box.right(), item(view, "heroActiveBadge")->mapToScene(QPointF()).x());
        shoot(view, "workspace-long-title-" + QString::number(title.at(0).unicode()));
    }
}

// Two long titles that differ at their end read the same in their rows: on hover the row shows
// its whole title.
TEST_F(WindowTest, ARowCutsALongTitleShortAndShowsItWholeOnHover) {
    start();
    for (const char *end : {"A", "B"})
        delegate->library().save(Profile(QStringLiteral("long-") + end,
                                         QStringLiteral("Overnight downloads and backup ") + end,
                                         ProfileIcon::download, 10, 0, 600, 0));
    ASSERT_TRUE(waitUntil([&] { return item(view, "profileRow.long-B"); }));
    QQuickItem *row = item(view, "profileRow.long-B");
    const auto toolTip = [&](const char *property) {
        return QQmlProperty(row, QStringLiteral("ToolTip.") + property, qmlContext(row)).read();
    };
    QTest::mouseMove(view, row->mapToScene(row->boundingRect().center()).toPoint());
    EXPECT_TRUE(waitUntil([&] { return toolTip("visible").toBool(); }));
    EXPECT_EQ(toolTip("text"), "Overnight downloads and backup B");
}

// The hero on the renderer this machine gets: on a GPU the aurora, compiled from the bundle's
// shader and animated, and the still gradient once the shader fails; with Qt Quick's software
// renderer the still gradient from the start, and no frames at the animation's rate. ctest runs
// it again on OpenGL (WorkspaceWindowTest.opengl), so both ways run on every machine.
TEST_F(WindowTest, TheHeroDrawsTheAuroraOnAGpuAndTheStillGradientWithout) {
    start();
    auto *hero = qobject_cast<HomeHeroModel *>(popup(view, "heroModel"));
    QObject *frames = popup(view, "auroraFrames");
    ASSERT_TRUE(hero && frames);
    const auto api = view->quickWindow()->rendererInterface()->graphicsApi();
    if (qgetenv("QSG_RHI_BACKEND") == "opengl")
        ASSERT_EQ(api, QSGRendererInterface::OpenGL);
    else if (SceneRenderer::choose(SceneRenderer::thisMachine()) == SceneRenderer::Choice::software)
        ASSERT_EQ(api, QSGRendererInterface::Software);
    const auto aurora = [&] { return item(view, "aurora"); };
    QQuickItem *gradient = item(view, "gradientBackdrop");
    const bool software = api == QSGRendererInterface::Software;
    if (software) {
        EXPECT_FALSE(hero->usesShader());
        EXPECT_FALSE(aurora());
    } else {
        ASSERT_TRUE(waitUntil([&] { return aurora() && frames->property("running").toBool(); }));
        EXPECT_NE(aurora()->property("status").toInt(), 2); // ShaderEffect.Error
        EXPECT_FALSE(shown(gradient));
        // The aurora moves: the hero's pixels change from frame to frame.
        const auto drawn = [&] {
            settle(view);
            return view->grabFramebuffer().copy(
                item(view, "hero")->mapRectToScene(item(view, "hero")->boundingRect()).toRect());
        };
        const QImage before = drawn();
        EXPECT_TRUE(waitUntil([&] { return drawn() != before; }));
    }
    shootLightAndDark(QStringLiteral("hero-") + (software ? "software" : "gpu"));
    if (!software) {
        QTemporaryFile broken;
        ASSERT_TRUE(broken.open() && broken.write("not a shader") > 0 && broken.flush());
        hero->setShaderFile(broken.fileName());
        EXPECT_TRUE(waitUntil([&] { return !hero->usesShader(); }));
    }
    EXPECT_TRUE(shown(gradient));
    EXPECT_FALSE(frames->property("running").toBool());
}

// The organisation's folder while the window is open: a refused file is told once in an alert
// naming it; a profile past a limit is marked in the list with Apply off and the limit named;
// the editor shows each limit beside its field and saves only times within it; and a changed
// policy takes effect without a restart. Screenshots in light and dark.
TEST_F(WindowTest, TheOrganisationsPolicyMarksAProfileAndLimitsTheEditor) {
    const QTemporaryDir system;
    const QByteArray before = qgetenv("XDG_CONFIG_DIRS");
    qputenv("XDG_CONFIG_DIRS", system.path().toLocal8Bit());
    const auto restore = qScopeGuard([&] { qputenv("XDG_CONFIG_DIRS", before); });
    const QString policy = system.filePath("pellor/policy.json");
    writeBytes(policy, R"({"limits": {"displayMinutes": 15, "battery": {"sleepMinutes": 20}}})");
    writeBytes(system.filePath("pellor/rules.json"), "{ damaged");
    start();

    ASSERT_TRUE(waitUntil([] { return shownNamed("administratorFilesAlert").size() == 1; }));
    QMessageBox *alert = shownNamed("administratorFilesAlert").first();
    EXPECT_TRUE(alert->informativeText().contains(system.filePath("pellor/rules.json")));
    alert->grab().save(screenshotPath("policy-alert-" + L10n::currentLanguage()));
    alert->accept();

    view->model()->select("vibe");
    ASSERT_TRUE(waitUntil([&] { return !item(view, "applyButton")->isEnabled(); }));
    EXPECT_EQ(textIn(view, "rowSummary.vibe"), L10n::text("Not allowed"));
    EXPECT_EQ(textIn(view, "statusLine"), L10n::text("Not allowed by your organisation"));
    const QString limit = L10n::text({"{0} min", {"15"}});
    EXPECT_TRUE(textIn(view, "explanationLine").contains(limit));
    shootLightAndDark("policy-forbidden");
    delegate->changeAppearance(Appearance::light);

    openEditor(delegate->library().profile("vibe"));
    QQuickWidget *editor = editorView();
    EXPECT_EQ(textIn(editor, "displayLimit"),
              L10n::text({"Longer than your organisation allows: at most {0}", {limit}}));
    EXPECT_FALSE(item(editor, "saveButton")->isEnabled());
    for (const auto &[choice, suffix] :
         {std::pair{Appearance::light, "-light"}, std::pair{Appearance::dark, "-dark"}}) {
        delegate->changeAppearance(choice);
        shoot(editor, "policy-editor" + QString::fromLatin1(suffix));
    }
    pick(editor, "displayPicker", 10);
    pick(editor, "sleepPicker", 15);
    EXPECT_TRUE(waitUntil([&] {
        return textIn(editor, "displayLimit") ==
               L10n::text({"Your organisation allows at most {0}", {limit}});
    }));
    click(editor, "saveButton");
    ASSERT_TRUE(waitUntil([&] { return !editorView(); }));
    EXPECT_TRUE(item(view, "applyButton")->isEnabled());

    // Without limits the other presets are allowed again, without a restart.
    writeBytes(policy, R"({"version": 1})");
    EXPECT_TRUE(
        waitUntil([&] { return textIn(view, "rowSummary.focus") != L10n::text("Not allowed"); }));
}
