// pellorctl while Pellor runs: the application's session store carries out its requests.
#include "App/AppDelegate.h"
#include "App/RemoteControl.h"
#include "App/ReopenChannel.h"
#include "MenuBar/MenuBarController.h"
#include "SimulatorState.h"
#include "UiTestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSettings>
#include <functional>
#include <gtest/gtest.h>

using namespace norvane;
using namespace norvane::test;

namespace {

// Runs pellorctl in this test's folders (inherited), keeping the event loop turning so the
// application can answer.
Outcome pellorctl(const QStringList &arguments) {
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LANGUAGE", "en");
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(NORVANE_BIN_DIR "/pellorctl"), arguments);
    if (!waitUntil([&] { return process.state() == QProcess::NotRunning; }, 60'000))
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

TEST(PellorCtlWithApplication, TheRunningApplicationOwnsTheSession) {
    QSettings().clear();
    QFile::remove(SessionRecord::defaultPath());
    sim::SimulatorState::reset(qEnvironmentVariable("NORVANE_SIM_HOME"));
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();
    ReopenChannel channel(
        [&delegate](const control::Request &request, const ReopenChannel::Reply &reply) {
            RemoteControl::handle(delegate, request, reply);
        });
    DashboardController *view = delegate.dashboard();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(delegate.window()));

    const Outcome applied = pellorctl({"apply", "Focus", "--for", "5"});
    EXPECT_EQ(applied.exitCode, 0) << applied.err.toStdString();
    EXPECT_EQ(applied.out, "Saved and verified macOS settings for Focus.\n"
                           "Pellor returns to Normal in 05:00.\n");
    const SessionStore &store = delegate.store();
    ASSERT_TRUE(store.session().deadline);
    EXPECT_EQ(store.session().startedAt.secsTo(*store.session().deadline), 300);
    EXPECT_TRUE(MenuBarController::toolTip(store).startsWith("Pellor · Focus · 0"));
    EXPECT_TRUE(waitUntil([&] { return shown(item(view, "activeBadge.focus")); }));
    view->window()->grab().save(screenshotPath("pellorctl-applied-focus"));

    const QJsonObject application =
        QJsonDocument::fromJson(pellorctl({"status", "--json"}).out.toUtf8())["application"]
            .toObject();
    EXPECT_EQ(application["profile"], "focus");
    EXPECT_GT(application["secondsLeft"].toInteger(), 0);
    EXPECT_TRUE(pellorctl({"list"}).out.contains("\n* focus "));

    const Outcome restored = pellorctl({"restore"});
    EXPECT_EQ(restored.exitCode, 0) << restored.err.toStdString();
    EXPECT_FALSE(store.hasAppliedProfile());
    EXPECT_TRUE(waitUntil([&] { return !shown(item(view, "activeBadge.focus")); }));

    // A refusal of the Mac travels back with its code (3 for a cancel, 1 for any other), and the
    // timed Focus stays applied, its time still counting, in the window and for pellorctl.
    ASSERT_EQ(pellorctl({"apply", "focus", "--for", "5"}).exitCode, 0);
    const Session running = store.session();
    const QString simHome = qEnvironmentVariable("NORVANE_SIM_HOME");
    const std::pair<std::function<void(sim::SimulatorState &)>, int> refusals[] = {
        {[](sim::SimulatorState &state) { state.authorization = sim::Authorization::cancel; }, 3},
        {[](sim::SimulatorState &state) { state.privilegedFailure = sim::PrivilegedFailure{}; }, 1},
    };
    for (const auto &[refuse, exitCode] : refusals) {
        sim::SimulatorState state = sim::SimulatorState::load(simHome);
        const sim::SimulatorState before = state;
        refuse(state);
        state.save(simHome);
        EXPECT_EQ(pellorctl({"apply", "download"}).exitCode, exitCode);
        EXPECT_EQ(sim::SimulatorState::load(simHome).adapter, before.adapter)
            << "the Mac as it was";
        EXPECT_EQ(store.session(), running);
        EXPECT_TRUE(store.hasAppliedProfile());
        EXPECT_TRUE(shown(item(view, "activeBadge.focus")));
        EXPECT_EQ(pellorctl({"status", "--json"}).out.contains("\"profile\": \"focus\""), true);
        before.save(simHome);
    }
}
