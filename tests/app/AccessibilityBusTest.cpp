// The windows as a screen reader meets them: Qt exports the real application's accessibility
// tree over AT-SPI on a private session bus, and atspi_probe.py reads it and the events with
// pyatspi, the library Orca uses. Roles, names, values, the selected row, headings, focus
// following the keyboard, and what is announced.
#include "AppTestSupport.h"
#include "Localization/L10n.h"
#include "Platform/ConfigurationError.h"
#include "Profiles/ProfileLibrary.h"
#include "UiTestSupport.h"
#include "Workspace/WorkspaceModel.h"

#include <QAccessible>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTimer>
#include <gtest/gtest.h>

using namespace norvane;
using namespace norvane::test;

namespace {

// The probe, one request and one answer at a time; the event loop runs while it reads this
// process's tree.
class Probe {
public:
    Probe() {
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start(QStringLiteral("/usr/bin/python3"),
                        {QStringLiteral(NORVANE_ATSPI_PROBE),
                         QString::number(QCoreApplication::applicationPid())});
    }
    ~Probe() {
        m_process.closeWriteChannel();
        if (!waitUntil([&] { return m_process.state() == QProcess::NotRunning; }, 5000)) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    [[nodiscard]] bool ready() { return read().toObject().value("ready").toBool(); }
    QJsonValue ask(const char *request, const QJsonValue &argument = true) {
        m_process.write(
            QJsonDocument(QJsonObject{{request, argument}}).toJson(QJsonDocument::Compact) + '\n');
        return read();
    }
    QJsonObject tree(const QJsonValue &window) { return ask("tree", window).toObject(); }
    // The events since the last call, as "type role name" lines.
    QStringList events() {
        QStringList lines;
        for (const QJsonValue event : ask("events").toArray())
            lines << event["type"].toString() + " " + event["role"].toString() + " " +
                         event["name"].toString();
        return lines;
    }

private:
    QJsonValue read() {
        // A real event loop rather than polling: the probe's every call into the tree waits for
        // it.
        QEventLoop loop;
        QObject::connect(&m_process, &QProcess::readyReadStandardOutput, &loop, [&] {
            if (m_process.canReadLine())
                loop.quit();
        });
        QObject::connect(&m_process, &QProcess::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(30'000, &loop, &QEventLoop::quit);
        if (!m_process.canReadLine())
            loop.exec();
        if (!m_process.canReadLine())
            return {};
        QJsonValue answer = QJsonDocument::fromJson("[" + m_process.readLine() + "]")[0];
        EXPECT_FALSE(answer.toObject().contains("error"))
            << answer["error"].toString().toStdString();
        return answer;
    }

    QProcess m_process;
};

// Every node under `node`, itself first, of those a person can meet (showing).
QList<QJsonObject> showingNodes(const QJsonObject &node) {
    QList<QJsonObject> found;
    if (!node["states"].toArray().contains(QStringLiteral("showing")))
        return found;
    found << node;
    for (const auto &child : node["children"].toArray())
        found << showingNodes(child.toObject());
    return found;
}

// The names of the nodes of `role` under `tree`, of those in `state` when one is named.
QStringList namesOf(const QJsonObject &tree, const QString &role, const QString &state = {}) {
    QStringList names;
    for (const QJsonObject &node : showingNodes(tree))
        if (node["role"] == role && (state.isEmpty() || node["states"].toArray().contains(state)))
            names << node["name"].toString();
    return names;
}

QJsonObject firstOf(const QJsonObject &tree, const QString &role, const QString &name = {}) {
    for (const QJsonObject &node : showingNodes(tree))
        if (node["role"] == role && (name.isEmpty() || node["name"] == name))
            return node;
    return {};
}

// What a person can press, choose or type into; each needs a name.
void expectEveryControlNamed(const QJsonObject &tree) {
    static const QStringList controls = {"push button",  "combo box", "text",          "list item",
                                         "radio button", "check box", "toggle button", "menu item"};
    for (const QJsonObject &node : showingNodes(tree))
        if (controls.contains(node["role"].toString()))
            EXPECT_FALSE(node["name"].toString().trimmed().isEmpty())
                << "a " << node["role"].toString().toStdString() << " without a name";
}

QString pickerName(const char *title, qint64 minutes, const char *zero = "Never") {
    const QString value = minutes == 0   ? L10n::text(zero)
                          : minutes == 1 ? L10n::text("1 minute")
                                         : L10n::text({"{0} minutes", {QString::number(minutes)}});
    return L10n::text({"{0}, {1}", {L10n::text(title), value}});
}

struct AccessibilityBusTest : WindowTest {
    void SetUp() override {
        WindowTest::SetUp();
        (void)QAccessible::isActive(); // makes Qt's bridge, which joins the accessibility bus
        ASSERT_TRUE(probe.ready()) << "the application never appeared on the accessibility bus";
    }
    Probe probe;
};

} // namespace

TEST_F(AccessibilityBusTest, TheMainWindowIsAListWithItsSelectionHeadingsValuesAndNamedControls) {
    startControlled();
    applyAndSucceed("focus");
    view->model()->select("vibe");

    const QJsonArray windows = probe.ask("windows").toArray();
    const QJsonArray onlyTheMainWindow{QJsonObject{{"role", "frame"}, {"name", "Pellor"}}};
    EXPECT_EQ(windows, onlyTheMainWindow)
        << "one window, and no off-screen one: " << QJsonDocument(windows).toJson().toStdString();
    const QJsonObject window = probe.tree("Pellor");
    expectEveryControlNamed(window);

    const QJsonObject list = firstOf(window, "list", L10n::text("My Profiles"));
    QStringList rows;
    for (const Profile &profile : Profile::presets())
        rows << (profile.id == "focus"
                     ? L10n::text({"{0}, applied, {1} left",
                                   {profile.localizedTitle(), L10n::text({"{0} minutes", {"25"}})}})
                     : profile.localizedTitle());
    EXPECT_EQ(namesOf(list, "list item"), rows);
    EXPECT_EQ(namesOf(list, "list item", "selected"),
              QStringList{Profile::vibe().localizedTitle()});

    const QStringList headings = namesOf(window, "heading");
    for (const QString &heading : {L10n::text("My Profiles"), Profile::vibe().localizedTitle(),
                                   L10n::text("Power & Display"), L10n::text("Live macOS Status")})
        EXPECT_TRUE(headings.contains(heading)) << heading.toStdString();
    const Profile vibe = Profile::vibe();
    EXPECT_EQ(namesOf(window, "combo box"),
              (QStringList{pickerName("Turn Display Off", vibe.displayMinutes),
                           pickerName("System Sleep", vibe.sleepMinutes),
                           pickerName("Screen Saver", vibe.screenSaverSeconds / 60),
                           pickerName("Automatic Return", vibe.defaultMinutes, "No limit")}));
    EXPECT_EQ(namesOf(window, "text"), QStringList{L10n::text("Search profiles")});
}

// One tab stop for the list: the focus lands on the selected row, follows Up, Down, Home and End,
// and Tab leaves the list for the next control.
TEST_F(AccessibilityBusTest, FocusFollowsTabAndTheArrowsThroughTheList) {
    start();
    item(view, "searchField")->forceActiveFocus();
    ASSERT_TRUE(waitUntil([&] { return !probe.events().filter("focused text").isEmpty(); }));
    for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Down, Qt::Key_Down, Qt::Key_End, Qt::Key_Home,
                              Qt::Key_Up, Qt::Key_Tab})
        QTest::keyClick(view, key);
    const auto title = [](const Profile &profile) { return profile.localizedTitle(); };
    const QString focused = "object:state-changed:focused list item ";
    QStringList seen;
    EXPECT_TRUE(waitUntil([&] {
        seen << probe.events().filter("state-changed:focused");
        return seen == QStringList{focused + title(Profile::normal()),
                                   focused + title(Profile::vibe()),
                                   focused + title(Profile::focus()),
                                   focused + title(Profile::download()),
                                   focused + title(Profile::normal()),
                                   "object:state-changed:focused push button " +
                                       L10n::text("Automatic Switching")};
    })) << seen.join('\n').toStdString();
    EXPECT_EQ(view->model()->selectedID(), "normal");
}

// An apply that succeeds is announced through an object of the notification role that appears;
// one that fails has its alert; a refused custom value and an outside change are announced too.
TEST_F(AccessibilityBusTest, OutcomesAreAnnounced) {
    startControlled(snapshot(5, 15, L10n::text("Power adapter")));
    QStringList seen;
    const auto announced = [&](const QString &text) {
        return waitUntil([&] {
            seen << probe.events();
            return seen.contains("object:state-changed:showing notification " + text);
        });
    };

    click(view, "applyButton");
    ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
    service->succeed();
    ASSERT_TRUE(waitUntil([&] { return delegate->store().hasAppliedProfile(); }));
    EXPECT_TRUE(announced(*delegate->store().notice())) << seen.join('\n').toStdString();

    // The live read finds the display changed outside Pellor.
    delegate->workspace()->markStale();
    ASSERT_TRUE(waitUntil([&] { return reader.pending() == 1; }));
    reader.deliver(snapshot(30, 15, L10n::text("Power adapter")));
    EXPECT_TRUE(waitUntil([&] { return delegate->workspace()->drifted(); }));
    EXPECT_TRUE(announced(
        L10n::text({"{0} applied · changed outside Pellor", {Profile::normal().localizedTitle()}})))
        << seen.join('\n').toStdString();

    click(view, "sleepPicker.button");
    click(view, "sleepPicker.custom");
    typeCustom(view, "sleepPicker", "0");
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_TRUE(announced(L10n::text("Enter a whole number from 1 to 1440 minutes")))
        << seen.join('\n').toStdString();
    QTest::keyClick(view, Qt::Key_Escape);

    const QString refused = QStringLiteral("The settings could not be written.");
    click(view, "applyButton");
    ASSERT_TRUE(waitUntil([&] { return service->pending(); }));
    service->fail(ConfigurationError::message(refused));
    QJsonObject alert;
    EXPECT_TRUE(waitUntil([&] {
        const QJsonArray windows = probe.ask("windows").toArray();
        for (qsizetype i = 0; i < windows.size(); ++i)
            if (windows[i]["role"] == "alert")
                alert = probe.tree(int(i));
        return !alert.isEmpty();
    })) << QJsonDocument(probe.ask("windows").toArray()).toJson().toStdString();
    EXPECT_TRUE(namesOf(alert, "label").join(' ').contains(refused))
        << QJsonDocument(alert).toJson().toStdString();
}

// The editor is a dialog with a named field and its icon as one choice of radio buttons; the
// settings window a window with its headings and the wake requests' text; the quick panel, once
// open, a dialog whose list takes the keyboard.
TEST_F(AccessibilityBusTest, TheEditorTheSettingsWindowAndTheQuickPanel) {
    start();
    openEditor(std::nullopt);
    const QJsonObject editor = probe.tree(L10n::text("New Profile"));
    EXPECT_EQ(editor["role"], "dialog");
    expectEveryControlNamed(editor);
    EXPECT_TRUE(namesOf(editor, "heading").contains(L10n::text("Create Your Profile")));
    EXPECT_EQ(namesOf(editor, "text"), QStringList{L10n::text("Name")});
    const QJsonObject icons = firstOf(editor, "panel", L10n::text("Icon"));
    EXPECT_EQ(namesOf(icons, "radio button").size(), 6);
    EXPECT_EQ(namesOf(icons, "radio button", "checked"),
              QStringList{ProfileIcon(ProfileIcon::sliders).title()});
    closeEditor();

    showSettings();
    SettingsWindow *settings = delegate->settingsWindow();
    ASSERT_TRUE(waitUntil([&] { return settings->model()->snapshot().has_value(); }));
    const QJsonObject window = probe.tree(settings->windowTitle());
    EXPECT_EQ(window["role"], "frame");
    expectEveryControlNamed(window);
    EXPECT_TRUE(namesOf(window, "heading").contains(L10n::text("Wake Requests from Other Apps")));
    EXPECT_TRUE(namesOf(window, "label").contains(settings->model()->assertionText()));
    settings->close();

    probe.events();
    openPanel();
    const QJsonObject quickPanel = probe.tree(L10n::text("Pellor Quick Panel"));
    EXPECT_EQ(quickPanel["role"], "dialog");
    expectEveryControlNamed(quickPanel);
    QStringList titles;
    for (const Profile &profile : delegate->library().profiles())
        titles << profile.localizedTitle();
    EXPECT_EQ(namesOf(firstOf(quickPanel, "list", L10n::text("Profiles")), "list item"), titles);
    QTest::keyClick(panel(), Qt::Key_Down);
    QStringList seen;
    EXPECT_TRUE(waitUntil([&] {
        seen << probe.events().filter("state-changed:focused");
        // The dialog, then the list in it, then its first row.
        return seen.size() >= 3 &&
               seen.indexOf("object:state-changed:focused dialog " +
                            L10n::text("Pellor Quick Panel")) >= 0 &&
               seen.mid(seen.size() - 2) ==
                   QStringList{"object:state-changed:focused list " + L10n::text("Profiles"),
                               "object:state-changed:focused list item " + titles.first()};
    })) << seen.join('\n').toStdString();
    closePanel();
}

// The rules page as a screen reader meets it: a list named Rules whose items say each rule and
// its state, in the order that decides, and named switches and buttons.
TEST_F(AccessibilityBusTest, TheRulesAreAListOfSentencesWithTheirState) {
    RuleBook book;
    book.add(
        {"work", {Condition::Kind::schedule, 0, {6, 7}, QTime(8, 0), QTime(12, 0)}, "focus", true});
    book.add({"low", {Condition::Kind::batteryBelow, 10}, "normal", false});
    startControlled();
    delegate->workspace()->showRules();
    ASSERT_TRUE(waitUntil([&] { return shown(item(view, "rulesView")); }));

    const QJsonObject window = probe.tree("Pellor");
    expectEveryControlNamed(window);
    const QStringList rows = namesOf(firstOf(window, "list", L10n::text("Rules")), "list item");
    ASSERT_EQ(rows.size(), 2);
    EXPECT_TRUE(rows[0].startsWith(L10n::text({"Battery at or below {0} %", {"10"}})))
        << rows[0].toStdString();
    EXPECT_TRUE(rows[0].endsWith(L10n::text("Off"))) << rows[0].toStdString();
    EXPECT_TRUE(rows[1].startsWith(L10n::text("Weekends"))) << rows[1].toStdString();
}
