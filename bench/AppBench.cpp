// The application against a bare QQuickWidget window, each launched fresh in its own process
// (AppBenchHost) with a private settings folder and simulated Mac:
//   Startup/app, Startup/bare   time to the first frame (the benchmark's time) and resident
//                               memory after start (counter residentMiB)
//   IdleCpu/app                 CPU used over 60 s with the main window hidden (counter
//                               cpuPercentOfOneCore), once
// Needs a display: run it under xvfb-run when there is none.
#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>

namespace {

QJsonObject launch(const char *mode, const char *measure) {
    QTemporaryDir sandbox;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *variable :
         {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "NORVANE_SIM_HOME"}) {
        const QString folder = sandbox.filePath(QString::fromLatin1(variable));
        QDir().mkpath(folder);
        environment.insert(QString::fromLatin1(variable), folder);
    }
    QProcess host;
    host.setProcessEnvironment(environment);
    host.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    host.start(QStringLiteral(NORVANE_BIN_DIR "/AppBenchHost"),
               {QString::fromLatin1(mode), QString::fromLatin1(measure)});
    if (!host.waitForFinished(120'000) || host.exitCode() != 0)
        return {};
    const QList<QByteArray> lines = host.readAllStandardOutput().trimmed().split('\n');
    return QJsonDocument::fromJson(lines.last()).object();
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

void Startup(benchmark::State &state, const char *mode) {
    std::vector<double> resident;
    for (auto _ : state) {
        const QJsonObject result = launch(mode, "startup");
        if (result.isEmpty()) {
            state.SkipWithError("the launch failed");
            return;
        }
        state.SetIterationTime(result["firstFrameMs"].toDouble() / 1000.0);
        resident.push_back(result["residentKiB"].toDouble() / 1024.0);
    }
    state.counters["residentMiB"] = median(resident);
}

void IdleCpu(benchmark::State &state, const char *mode) {
    for (auto _ : state) {
        const QJsonObject result = launch(mode, "idle");
        if (result.isEmpty()) {
            state.SkipWithError("the launch failed");
            return;
        }
        state.SetIterationTime(result["wallSeconds"].toDouble());
        state.counters["cpuPercentOfOneCore"] = result["cpuPercentOfOneCore"].toDouble();
    }
}

} // namespace

BENCHMARK_CAPTURE(Startup, bare, "bare")
    ->UseManualTime()
    ->Iterations(7)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Startup, app, "app")
    ->UseManualTime()
    ->Iterations(7)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(IdleCpu, app, "app")->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char **argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
