// Every window fits its texts, in the language of the run (ctest runs this once per language):
// the main window, the editor sheet, the settings window and the quick panel at their default
// sizes and the resizable ones at their minimum sizes. No visible text may be elided, overflow
// its box, run out of its window or a clipping parent, or hide under the main window's footer;
// at the default size nothing needs scrolling, and where content does scroll, the scroll bar
// shows it.
#include "App/AppDelegate.h"
#include "App/Appearance.h"
#include "App/MainWindow.h"
#include "AppTestSupport.h"
#include "Localization/L10n.h"
#include "Platform/Simulated/SimulatedMac.h"
#include "Profiles/FileProfileStorage.h"
#include "Profiles/ProfileLibrary.h"
#include "SimulatorState.h"
#include "TestSupport.h"
#include "UiTestSupport.h"
#include "Workspace/WorkspaceModel.h"

#include <QFile>
#include <QFont>
#include <QSettings>
#include <QSignalSpy>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace norvane;
using namespace norvane::test;

namespace {

bool isText(const QQuickItem *item) {
    return item->metaObject()->indexOfProperty("truncated") >= 0 &&
           item->metaObject()->indexOfProperty("wrapMode") >= 0;
}

bool isFlickable(const QQuickItem *item) {
    return item->metaObject()->indexOfProperty("contentY") >= 0;
}

// The visible part of `flickable`: its own box, less what lies under `cover` (the footer).
QRectF viewport(QQuickItem *flickable, QQuickItem *cover) {
    QRectF area = flickable->mapRectToScene(flickable->boundingRect());
    if (cover && cover->isVisible())
        area.setBottom(std::min(area.bottom(), cover->mapRectToScene(cover->boundingRect()).top()));
    return area;
}

// Where wrapping `content` in `font` at `width` ends a line inside a word with Hangul in it (Korean
// puts spaces between words); -1 when it does not.
qsizetype brokenWord(const QString &content, const QFont &font, qreal width) {
    const auto hangul = [](QChar c) { return c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3; };
    QTextLayout layout(content, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    qsizetype broken = -1;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        const qsizetype end = line.textStart() + line.textLength();
        if (broken < 0 && end > 0 && end < content.size() && !content[end - 1].isSpace() &&
            !content[end].isSpace() && (hangul(content[end - 1]) || hangul(content[end])))
            broken = end;
    }
    layout.endLayout();
    return broken;
}

// Whether wrapping the text of `text` at its width breaks a Korean word (a run of Hangul) across
// two lines, the way the label lays it out.
bool breaksInsideAWord(QQuickItem *text) {
    return brokenWord(text->property("text").toString(), text->property("font").value<QFont>(),
                      text->width()) >= 0;
}

struct Checker {
    QQuickWidget *view;
    bool requireNoScrolling; // the default size: everything is visible as it opens
    QQuickItem *cover = nullptr;
    QStringList problems;
    int texts = 0; // how many texts were checked

    void check(QQuickItem *item) {
        if (!item->isVisible() || item->opacity() == 0)
            return;
        if (isText(item) && !item->property("text").toString().isEmpty())
            checkText(item);
        if (isFlickable(item))
            checkScrolling(item);
        for (QQuickItem *child : item->childItems())
            check(child);
    }

    void checkText(QQuickItem *text) {
        ++texts;
        const QString what =
            QStringLiteral("\"%1\" (%2)")
                .arg(text->property("text").toString().left(40), text->objectName());
        if (text->property("truncated").toBool())
            problems << what + " is elided";
        const bool wraps = text->property("wrapMode").toInt() != 0;
        if (!wraps && text->implicitWidth() > text->width() + 1)
            problems << what + " is wider than its box";
        if (wraps && breaksInsideAWord(text))
            problems << what + " breaks a line inside a word";
        const QRectF box = text->mapRectToScene(QRectF(0, 0, text->width(), text->height()));
        if (box.left() < -1 || box.right() > view->width() + 1)
            problems << what + " runs out of the window";
        for (QQuickItem *parent = text->parentItem(); parent; parent = parent->parentItem()) {
            if (!parent->clip())
                continue;
            const QRectF clip = isFlickable(parent)
                                    ? viewport(parent, cover)
                                    : parent->mapRectToScene(parent->boundingRect());
            if (box.left() < clip.left() - 1 || box.right() > clip.right() + 1)
                problems << what + " is cut at the side";
            if (isFlickable(parent) && requireNoScrolling && box.bottom() > clip.bottom() + 1)
                problems << what + " is out of sight without scrolling";
            if (!isFlickable(parent) &&
                (box.top() < clip.top() - 1 || box.bottom() > clip.bottom() + 1))
                problems << what + " is cut at the top or bottom";
        }
    }

    void checkScrolling(QQuickItem *flickable) {
        const qreal content = flickable->property("contentHeight").toReal();
        if (content <= flickable->height() + 1)
            return;
        // Content that scrolls shows a scroll bar.
        bool indicated = false;
        for (QQuickItem *child : flickable->childItems())
            if (child->metaObject()->indexOfProperty("policy") >= 0 && child->isVisible() &&
                child->property("size").toReal() < 1.0) {
                QQuickItem *handle = child->property("contentItem").value<QQuickItem *>();
                indicated = handle && handle->isVisible() && handle->opacity() > 0;
            }
        if (!indicated)
            problems << flickable->objectName() + " scrolls without showing it";
    }
};

QStringList clippedTexts(QQuickWidget *view, bool atDefaultSize, QQuickItem *cover = nullptr) {
    Checker checker{view, atDefaultSize, cover, {}};
    checker.check(view->quickWindow()->contentItem());
    if (checker.texts < 8)
        checker.problems << QStringLiteral("only %1 texts seen").arg(checker.texts);
    checker.problems.removeDuplicates();
    return checker.problems;
}

void settle(QQuickWidget *view) {
    QSignalSpy frames(view->quickWindow(), &QQuickWindow::afterRendering);
    view->quickWindow()->update();
    frames.wait(1000);
    QTest::qWait(100); // a relayout after a resize lands within the next frames
}

struct LayoutTest : ::testing::Test {
    void SetUp() override {
        QSettings().clear();
        QFile::remove(FileProfileStorage::defaultLocation());
        sim::SimulatorState::reset(simulatorHome());
        Appearance::apply(Appearance::light);
    }
    void TearDown() override {
        delegate.reset();
        QCoreApplication::processEvents();
    }
    QString shot(const QString &name) const {
        return screenshotPath(QStringLiteral("layout-%1-%2").arg(name, L10n::currentLanguage()));
    }

    std::unique_ptr<AppDelegate> delegate;
};

} // namespace

TEST_F(LayoutTest, EveryWindowFitsItsTexts) {
    auto service = std::make_shared<ControlledConfiguring>();
    ControlledSystemReader reader;
    delegate = std::make_unique<AppDelegate>(AppDelegate::Options{
        .configuration = service, .readSystem = [&reader] { return reader.read(); }});
    delegate->applicationDidFinishLaunching();
    MainWindow *window = delegate->window();
    DashboardController *view = delegate->dashboard();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    ASSERT_TRUE(waitUntil([&] { return settled(view); }));

    // The busiest state: an applied profile with its badges, and a failing live read.
    ASSERT_TRUE(waitUntil([&] { return reader.pending() == 1; }));
    SystemSettings failed = snapshot(std::nullopt, 10, L10n::text("Power adapter"));
    failed.error = L10n::text("Unavailable") + ": pmset -g live";
    reader.deliver(failed);
    view->model()->select("download");
    view->model()->apply();
    ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
    service->succeed();
    ASSERT_TRUE(waitUntil([&] { return shown(item(view, "heroActiveBadge")); }));

    QQuickItem *footer = item(view, "applyFooter");
    for (const auto &[size, name] :
         {std::pair{MainWindow::defaultSize, "workspace-default"},
          std::pair{MainWindow::minimumFrameSize, "workspace-minimum"}}) {
        window->resize(size);
        settle(view);
        EXPECT_EQ(clippedTexts(view, size == MainWindow::defaultSize, footer), QStringList())
            << name;
        window->grab().save(shot(name));
    }
    window->resize(MainWindow::defaultSize);

    // The editor sheet, for a new profile and for a profile of the user's own.
    for (const auto &[profile, name] :
         {std::pair{std::optional<Profile>(), "editor-new"},
          std::pair{std::optional(Profile::download()), "editor-edit"}}) {
        delegate->editProfile(profile);
        ProfileEditor *editor = nullptr;
        ASSERT_TRUE(
            waitUntil([&] { return (editor = delegate->profileEditor()) && editor->isVisible(); }));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(editor));
        settle(editor->view());
        EXPECT_EQ(clippedTexts(editor->view(), true), QStringList()) << name;
        editor->grab().save(shot(name));
        editor->model()->cancel();
        ASSERT_TRUE(waitUntil(
            [&] { return !delegate->profileEditor() || !delegate->profileEditor()->isVisible(); }));
    }

    // The settings window, at its default and minimum sizes.
    delegate->showSettings();
    SettingsWindow *settings = delegate->settingsWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(settings));
    while (reader.pending() > 0)
        reader.deliver(snapshot(10, 0, L10n::text("Power adapter")));
    ASSERT_TRUE(waitUntil([&] { return settings->model()->hasSnapshot(); }));
    for (const auto &[size, name] :
         {std::pair{SettingsWindow::contentSize, "settings-default"},
          std::pair{SettingsWindow::minimumContentSize, "settings-minimum"}}) {
        settings->resize(size);
        settle(settings->view());
        EXPECT_EQ(clippedTexts(settings->view(), size == SettingsWindow::contentSize),
                  QStringList())
            << name;
        settings->grab().save(shot(name));
    }
    settings->close();

    // The quick panel.
    delegate->showMenuBar();
    QQuickWidget *panel = delegate->menuBar()->popover();
    ASSERT_TRUE(waitUntil([&] { return panel && panel->isVisible(); }));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(panel));
    settle(panel);
    EXPECT_EQ(clippedTexts(panel, true), QStringList()) << "quick panel";
    panel->grab().save(shot("quick-panel"));
    delegate->menuBar()->closePopover();
}
