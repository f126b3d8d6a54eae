#pragma once

// Helpers for tests of the real windows: a fixture that launches the application, finding and
// clicking QML items by objectName, waiting for conditions and frames, and screenshots.
#include "App/AppDelegate.h"
#include "App/Appearance.h"
#include "AppTestSupport.h"
#include "Localization/L10n.h"
#include "MenuBar/QuickPanel.h"
#include "Platform/SystemIdentity.h"
#include "Profiles/FileProfileStorage.h"
#include "Rules/RuleBook.h"
#include "Sessions/SessionRecord.h"
#include "SimulatorState.h"
#include "Workspace/DashboardController.h"
#include "Workspace/WorkspaceModel.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QQuickItem>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace norvane::test {

// The item with `name` anywhere under `root`, popups and menus included; null when there is none.
inline QQuickItem *findItem(QQuickItem *root, const QString &name) {
    if (!root)
        return nullptr;
    if (root->objectName() == name)
        return root;
    for (QQuickItem *child : root->childItems())
        if (QQuickItem *found = findItem(child, name))
            return found;
    return nullptr;
}

inline QQuickItem *item(QQuickWidget *view, const QString &name) {
    return view ? findItem(view->quickWindow()->contentItem(), name) : nullptr;
}

// A popup or menu (not an item itself) by its objectName.
inline QObject *popup(QQuickWidget *view, const QString &name) {
    return view->rootObject() ? view->rootObject()->findChild<QObject *>(name) : nullptr;
}

inline bool opened(QObject *popup) {
    return popup && popup->property("opened").toBool();
}

inline bool shown(QQuickItem *item) {
    return item && item->isVisible() && item->opacity() > 0;
}

// Waits (processing events) until `condition` holds; false after `timeoutMs`.
template <typename Condition> bool waitUntil(Condition condition, int timeoutMs = 10'000) {
    return QTest::qWaitFor(condition, timeoutMs);
}

inline QString screenshotPath(const QString &name) {
    QDir().mkpath(QStringLiteral(NORVANE_SCREENSHOT_DIR));
    return QStringLiteral(NORVANE_SCREENSHOT_DIR "/%1.png").arg(name);
}

// The visible top-level message boxes (alerts, the about panel) with `name`.
inline QList<QMessageBox *> shownNamed(const QString &name) {
    QList<QMessageBox *> open;
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name && widget->isVisible())
            open << qobject_cast<QMessageBox *>(widget);
    return open;
}

inline QString textOf(QQuickItem *item) {
    return item ? item->property("text").toString() : QStringLiteral("<no item>");
}

inline QString textIn(QQuickWidget *view, const QString &name) {
    return textOf(item(view, name));
}

inline void click(QQuickWidget *view, const QString &name) {
    QQuickItem *target = nullptr;
    ASSERT_TRUE(waitUntil([&] { return shown(target = item(view, name)) && target->isEnabled(); }))
        << name.toStdString() << " is not shown and enabled";
    const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
    QTest::mouseClick(view, Qt::LeftButton, {}, centre.toPoint());
}

// Chooses a value from a picker's menu once the menu has settled in its place.
inline void pick(QQuickWidget *view, const QString &picker, int minutes) {
    click(view, picker + ".button");
    ASSERT_TRUE(waitUntil([&] { return opened(popup(view, picker + ".menu")); }));
    click(view, QStringLiteral("%1.option.%2").arg(picker).arg(minutes));
}

// Types into a picker's open custom entry, replacing what it holds.
inline void typeCustom(QQuickWidget *view, const QString &picker, const QString &text) {
    click(view, picker + ".customField");
    ASSERT_TRUE(waitUntil([&] { return item(view, picker + ".customField")->hasActiveFocus(); }));
    QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(view, Qt::Key_Backspace);
    QTest::keyClicks(view, text);
}

// Whether the parts of the view that are made after its first frame are all there.
inline bool settled(DashboardController *view) {
    const QQuickItem *detail = item(view, QStringLiteral("detailLoader"));
    return detail && detail->property("status").toInt() == 1; // Loader.Ready
}

// Whether no image or loader under `root` is still loading off the main thread.
inline bool loaded(QQuickItem *root) {
    if (root->metaObject()->indexOfProperty("asynchronous") >= 0 &&
        root->property("status").toInt() == 2) // Image.Loading, Loader.Loading
        return false;
    const QList<QQuickItem *> children = root->childItems();
    return std::all_of(children.begin(), children.end(), loaded);
}

// Waits until the view has loaded what it loads off the main thread and drawn a frame since,
// so that a grab shows the current state.
inline void settle(QQuickWidget *view) {
    ASSERT_TRUE(waitUntil([&] { return loaded(view->quickWindow()->contentItem()); }));
    QSignalSpy frames(view->quickWindow(), &QQuickWindow::afterRendering);
    view->quickWindow()->update();
    ASSERT_TRUE(frames.wait(10'000));
}

// Saves the view's window as drawn now; in another language than English, with its code.
// Saved as <name>[-<system>][-<language>].png: the simulated Mac and English go unnamed.
inline void shoot(QQuickWidget *view, const QString &name) {
    settle(view);
    const QString language = L10n::currentLanguage();
    const QString system = currentSystem().id;
    ASSERT_TRUE(view->window()->grab().save(
        screenshotPath(name + (system == "simulated" ? "" : "-" + system) +
                       (language == "en" ? "" : "-" + language))));
}

// The real application on settings, profiles and a simulated Mac of this test only, in the
// light appearance.
struct WindowTest : ::testing::Test {
    void SetUp() override {
        QSettings().clear();
        // A person who has answered the first start's question about Normal.
        QSettings().setValue(NormalOffer::answeredKey, true);
        QFile::remove(FileProfileStorage::defaultLocation());
        QFile::remove(SessionRecord::defaultPath());
        QFile::remove(RuleBook::defaultPath());
        sim::SimulatorState::reset(simulatorHome());
        Appearance::apply(Appearance::light);
    }
    void TearDown() override {
        delegate.reset();
        QCoreApplication::processEvents();
    }

    // Launches the application and waits until its main window is complete on the screen.
    // Closed views are released at once, so no test waits for the grace period to pass.
    void start(AppDelegate::Options options = {}) {
        options.releaseDelay = options.releaseDelay.value_or(std::chrono::milliseconds(0));
        delegate = std::make_unique<AppDelegate>(std::move(options));
        delegate->applicationDidFinishLaunching();
        view = delegate->dashboard();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->window()));
        ASSERT_TRUE(waitUntil([&] { return settled(view); }));
    }

    // Launches it with the configuration in the test's hands and, given a first snapshot, the
    // live reads too, the first of them delivering it.
    void startControlled(const std::optional<SystemSettings> &first = std::nullopt) {
        AppDelegate::Options options{.configuration = service};
        if (first)
            options.readSystem = [this] { return reader.read(); };
        start(std::move(options));
        if (first) {
            ASSERT_TRUE(waitUntil([&] { return reader.pending() == 1; }));
            reader.deliver(*first);
        }
    }
    // Selects and applies the profile through the controlled configuration, which succeeds.
    void applyAndSucceed(const QString &id) {
        view->model()->select(id);
        view->model()->apply();
        ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
        service->succeed();
        ASSERT_TRUE(waitUntil([&] { return delegate->store().hasAppliedProfile(); }));
    }

    // Screenshots of the main window in the light and the dark appearance: <name>-light, -dark.
    void shootLightAndDark(const QString &name) {
        for (const auto &[choice, suffix] :
             {std::pair{Appearance::light, "-light"}, std::pair{Appearance::dark, "-dark"}}) {
            delegate->changeAppearance(choice);
            shoot(view, name + suffix);
        }
    }
    [[nodiscard]] QQuickWidget *panel() const { return delegate->menuBar()->popover(); }
    void openPanel() {
        ASSERT_FALSE(delegate->menuBar()->isShown());
        delegate->showMenuBar();
        ASSERT_TRUE(waitUntil([&] { return panel()->isVisible(); }));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel()));
    }
    void closePanel() {
        QTest::keyClick(panel(), Qt::Key_Escape);
        ASSERT_TRUE(waitUntil([&] { return !panel() || !panel()->isVisible(); }));
    }
    [[nodiscard]] QQuickWidget *editorView() const {
        ProfileEditor *editor = delegate->profileEditor();
        return editor && editor->isVisible() ? editor->view() : nullptr;
    }
    void openEditor(const std::optional<Profile> &profile) {
        delegate->editProfile(profile);
        ASSERT_TRUE(waitUntil([&] { return editorView(); }));
        ASSERT_TRUE(QTest::qWaitForWindowActive(delegate->profileEditor()));
        // The keyboard reaches the sheet: the name field, or the sheet itself for a preset.
        ASSERT_TRUE(waitUntil([&] { return editorView()->quickWindow()->activeFocusItem(); }));
    }
    void closeEditor() {
        click(editorView(), "cancelButton");
        ASSERT_TRUE(waitUntil([&] { return !editorView(); }));
    }
    void showSettings() {
        delegate->showSettings();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate->settingsWindow()));
    }

    std::shared_ptr<ControlledConfiguring> service = std::make_shared<ControlledConfiguring>();
    ControlledSystemReader reader;
    std::unique_ptr<AppDelegate> delegate;
    DashboardController *view = nullptr;
};

} // namespace norvane::test
