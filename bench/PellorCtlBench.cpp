// pellorctl as a script sees it, each run a fresh process with a private settings folder and
// simulated Mac:
//   List       `pellorctl list`, from start to exit (the benchmark's time; quote the median of
//              the repetitions, target 30 ms)
//   StatusRuns `pellorctl status`: the pmset and osascript runs it causes (counter processRuns)
//              beside those of SystemSettings::read() in this process (counter readRuns); the
//              two are equal when the status adds nothing of its own
#include "SimulatorState.h"
#include "Status/SystemSettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Sandbox {
    QTemporaryDir root;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();

    Sandbox() {
        for (const char *variable : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME",
                                     "XDG_RUNTIME_DIR", "NORVANE_SIM_HOME"}) {
            const QString folder = root.filePath(QString::fromLatin1(variable));
            QDir().mkpath(folder);
            environment.insert(QString::fromLatin1(variable), folder);
        }
    }
    [[nodiscard]] QString simHome() const {
        return environment.value(QStringLiteral("NORVANE_SIM_HOME"));
    }

    [[nodiscard]] bool run(const QStringList &arguments) const {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setStandardOutputFile(QProcess::nullDevice());
        process.start(QStringLiteral(NORVANE_BIN_DIR "/pellorctl"), arguments);
        return process.waitForFinished(30'000) && process.exitCode() == 0;
    }
};

void List(benchmark::State &state) {
    const Sandbox sandbox;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        if (!sandbox.run({QStringLiteral("list")})) {
            state.SkipWithError("pellorctl list failed");
            return;
        }
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
    }
}
BENCHMARK(List)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10)->Repetitions(5);

void StatusRuns(benchmark::State &state) {
    const Sandbox sandbox;
    qputenv("NORVANE_SIM_HOME", sandbox.simHome().toUtf8());
    qsizetype processRuns = 0;
    qsizetype readRuns = 0;
    for (auto _ : state) {
        const qsizetype before = norvane::sim::invocations(sandbox.simHome()).size();
        if (!sandbox.run({QStringLiteral("status")})) {
            state.SkipWithError("pellorctl status failed");
            return;
        }
        const qsizetype afterStatus = norvane::sim::invocations(sandbox.simHome()).size();
        (void)norvane::SystemSettings::read();
        processRuns = afterStatus - before;
        readRuns = norvane::sim::invocations(sandbox.simHome()).size() - afterStatus;
    }
    state.counters["processRuns"] = double(processRuns);
    state.counters["readRuns"] = double(readRuns);
}
BENCHMARK(StatusRuns)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char **argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
