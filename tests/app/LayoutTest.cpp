// Every window fits its texts in the language of the run (ctest runs this once per language, for
// the simulated Mac and for each desktop), at its default size and, if resizable, at its minimum:
// no visible text is elided, overflows its box, runs out of its window or a clipping parent, or
// hides under the main window's footer; at the default size nothing needs scrolling, and content
// that scrolls shows its scroll bar. On a desktop no text speaks of the Mac.
#include "App/MainWindow.h"
#include "AppTestSupport.h"
#include "Localization/L10n.h"
#include "Platform/SystemIdentity.h"
#include "Rules/RuleBook.h"
#include "Rules/RuleEditor.h"
#include "Rules/RuleSwitcher.h"
#include "UiTestSupport.h"
#include "Workspace/WorkspaceModel.h"

#include <QApplication>
#include <QFont>
#include <QMessageBox>
#include <QRegularExpression>
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

// Whether wrapping the text of `text` at its width, the way the label lays it out, ends a line
// inside a word with Hangul in it (Korean puts spaces between words).
bool breaksInsideAWord(QQuickItem *text) {
    const QString content = text->property("text").toString();
    const auto hangul = [](QChar c) { return c.unicode() >= 0xAC00 && c.unicode() <= 0xD7A3; };
    QTextLayout layout(content, text->property("font").value<QFont>());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    layout.beginLayout();
    bool broken = false;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(text->width());
        const qsizetype end = line.textStart() + line.textLength();
        broken = broken ||
                 (end > 0 && end < content.size() && !content[end - 1].isSpace() &&
                  !content[end].isSpace() && (hangul(content[end - 1]) || hangul(content[end])));
    }
    layout.endLayout();
    return broken;
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
        const QString content = text->property("text").toString();
        const QString what =
            QStringLiteral("\"%1\" (%2)").arg(content.left(40), text->objectName());
        static const QRegularExpression mac(QStringLiteral("\\bMac\\b|macOS"));
        if (!currentSystem().isMac && mac.match(content).hasMatch())
            problems << what + " speaks of the Mac";
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
                child->property("size").toReal() < 1.0)
                indicated = shown(child->property("contentItem").value<QQuickItem *>());
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

// Checks the view at its current size and saves it. A relayout after a resize may take more than
// one frame: the problems are those left once the view has drawn and kept them for two seconds.
void expectFits(QQuickWidget *view, bool atDefaultSize, const QString &name,
                QQuickItem *cover = nullptr) {
    settle(view);
    QStringList problems;
    waitUntil([&] { return (problems = clippedTexts(view, atDefaultSize, cover)).isEmpty(); },
              2000);
    EXPECT_EQ(problems, QStringList()) << name.toStdString();
    shoot(view, "layout-" + name);
}

using LayoutTest = WindowTest;

} // namespace

TEST_F(LayoutTest, EveryWindowFitsItsTexts) {
    // The busiest states: a failing live read, and an applied profile with its badges; another
    // application holding the computer awake.
    // First, a first start's question about Normal, at the smallest size.
    SystemSettings own = snapshot(7, 61, L10n::text("Power adapter"));
    own.screenSaverSeconds = 600;
    QSettings().remove(NormalOffer::answeredKey);
    startControlled(own);
    MainWindow *window = delegate->window();
    ASSERT_TRUE(waitUntil([&] { return shown(item(view, "normalOffer")); }));
    window->resize(MainWindow::minimumFrameSize);
    expectFits(view, false, "workspace-first-start", item(view, "applyFooter"));

    SystemSettings failed = snapshot(std::nullopt, 10, L10n::text("Power adapter"));
    failed.error = L10n::text("Unavailable") + ": pmset -g live";
    delegate->workspace()->markStale();
    view->model()->readNow();
    ASSERT_TRUE(waitUntil([&] { return reader.pending() == 1; }));
    reader.deliver(failed);
    ASSERT_TRUE(waitUntil([&] { return shown(item(view, "liveStatusError")); }));
    applyAndSucceed("download");
    ASSERT_TRUE(waitUntil([&] { return shown(item(view, "heroActiveBadge")); }));

    window->resize(MainWindow::defaultSize);
    expectFits(view, true, "workspace-default", item(view, "applyFooter"));
    window->resize(MainWindow::minimumFrameSize);
    expectFits(view, false, "workspace-minimum", item(view, "applyFooter"));
    window->resize(MainWindow::defaultSize);

    // The editor sheet, for a new profile and for a preset.
    for (const auto &[profile, name] :
         {std::pair{std::optional<Profile>(), "editor-new"},
          std::pair{std::optional(Profile::download()), "editor-edit"}}) {
        openEditor(profile);
        expectFits(editorView(), true, name);
        closeEditor();
    }

    // The rules page with every kind of rule, one of them broken, and the rule editor on a
    // schedule.
    RuleBook &rules = *delegate->ruleBook();
    using Kind = Condition::Kind;
    rules.add({"low", {Kind::batteryBelow, 15}, "download", true});
    rules.add(
        {"work", {Kind::schedule, 0, {1, 2, 3, 4, 5}, QTime(9, 0), QTime(17, 30)}, "focus", true});
    rules.add({"slides",
               {.kind = Kind::application, .application = "libreoffice-impress.desktop"},
               "presentation",
               false});
    rules.add({"gone", {Kind::battery}, "deleted-profile", true});
    delegate->rules()->rulesEdited();
    delegate->workspace()->showRules();
    ASSERT_TRUE(waitUntil([&] { return shown(item(view, "rulesView")); }));
    window->resize(MainWindow::defaultSize);
    expectFits(view, true, "rules-default");
    window->resize(MainWindow::minimumFrameSize);
    expectFits(view, false, "rules-minimum");
    window->resize(MainWindow::defaultSize);
    delegate->workspace()->select("normal");
    delegate->openRuleEditor(1);
    ASSERT_TRUE(
        waitUntil([&] { return delegate->ruleEditor() && delegate->ruleEditor()->isVisible(); }));
    expectFits(delegate->ruleEditor()->view(), true, "rule-editor");
    delegate->ruleEditor()->reject();
    ASSERT_TRUE(waitUntil([&] { return !delegate->ruleEditor(); }));

    // The settings window with another application keeping the computer awake.
    showSettings();
    SettingsWindow *settings = delegate->settingsWindow();
    SystemSettings held = snapshot(10, 0, L10n::text("Power adapter"));
    held.systemAssertion = held.displayAssertion = true;
    held.sleepPreventers = held.displaySleepPreventers = "caffeinate";
    while (reader.pending() > 0)
        reader.deliver(held);
    ASSERT_TRUE(waitUntil([&] { return settings->model()->hasSnapshot(); }));
    settings->resize(SettingsWindow::contentSize);
    expectFits(settings->view(), true, "settings-default");
    settings->resize(SettingsWindow::minimumContentSize);
    expectFits(settings->view(), false, "settings-minimum");
    EXPECT_EQ(settings->windowTitle() == "Current System Configuration",
              L10n::currentLanguage() == "en")
        << "the windows speak the language of the run";
    EXPECT_EQ(textOf(item(settings->view(), "systemSettingsButton")),
              systemText("System Settings ↗", "Power Settings ↗"));
    settings->close();

    openPanel();
    expectFits(panel(), true, "quick-panel");
    closePanel();

    // The about panel is a widget of its own; on a desktop it names the desktop, not the Mac.
    delegate->about();
    ASSERT_TRUE(waitUntil([] { return shownNamed("aboutPanel").size() == 1; }));
    EXPECT_EQ(shownNamed("aboutPanel")[0]->informativeText().contains("Mac"),
              currentSystem().isMac);
}

// On a screen smaller than the windows' sizes (ctest runs this at QT_SCALE_FACTOR=2 on the
// 1600×1000 screen: 800×500), every window opens wholly on the screen, the Apply button within
// reach, and what does not fit scrolls.
TEST_F(LayoutTest, WindowsStayWithinAScreenTooSmallForThem) {
    start({});
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    MainWindow *window = delegate->window();
    settle(view);
    EXPECT_TRUE(screen.contains(window->frameGeometry())) << "main window off the screen";
    EXPECT_LE(window->minimumWidth(), screen.width());
    EXPECT_LE(window->minimumHeight(), screen.height());
    QQuickItem *apply = item(view, "applyButton");
    const QRect applyButton = apply->mapRectToScene(apply->boundingRect())
                                  .toAlignedRect()
                                  .translated(view->mapToGlobal(QPoint()));
    EXPECT_TRUE(screen.contains(applyButton)) << "Apply out of reach";
    QQuickItem *scroller = item(view, "detailScroller");
    const bool cramped = window->width() < MainWindow::minimumFrameSize.width();
    EXPECT_EQ(scroller->property("contentWidth").toReal() > scroller->width(), cramped);
    shoot(view,
          QStringLiteral("layout-small-screen-%1x%2").arg(screen.width()).arg(screen.height()));

    // The editor sheet lies in the window's content, below its menu bar, and scrolls above its
    // buttons when it is taller.
    openEditor(std::nullopt);
    QWidget *content = window->centralWidget();
    const QRect contentArea(content->mapToGlobal(QPoint(0, 0)), content->size());
    EXPECT_TRUE(contentArea.contains(delegate->profileEditor()->geometry()))
        << "the sheet covers the menu bar or leaves the window";
    QQuickItem *save = item(editorView(), "saveButton");
    EXPECT_TRUE(screen.contains(save->mapRectToScene(save->boundingRect())
                                    .toAlignedRect()
                                    .translated(editorView()->mapToGlobal(QPoint()))))
        << "Save out of reach";
    closeEditor();

    showSettings();
    EXPECT_TRUE(screen.contains(delegate->settingsWindow()->frameGeometry()))
        << "settings window off the screen";
}
