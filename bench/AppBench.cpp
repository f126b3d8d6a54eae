// The application against a bare QQuickWidget window, each launched fresh in its own process
// (AppBenchHost) with a private settings folder and simulated Mac:
//   Startup                     the app and the bare window launched in turn: time to the
//                               first frame (the app's is the benchmark's time) and resident
//                               memory after start (counters appFirstFrameMs, bareResidentMiB…);
//                               the summary adds the CPU time used until the first frame, which
//                               the load of the machine changes less
//   Closed/app                  the main window closed after start-up: time from "Open Main
//                               Window" to the reopened window's first frame (the benchmark's
//                               time), resident memory while closed (closedResidentMiB), and
//                               of it the private (anonymous) pages and the proportional share
//                               of pages shared with other processes (in the summary)
//   Closed/statusItem           the same memory figures of StatusItemBenchHost, a Qt Widgets
//                               program that shows only a status item
//   IdleCpu/app                 CPU used over 60 s with the main window closed (counter
//                               cpuPercentOfOneCore), once
// At the end the ratios the targets are set in are printed, from the medians of this run.
// Needs a display: run it under xvfb-run when there is none.
#include <QCoreApplication>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <map>
#include <string>

namespace {

// Medians of this run, by name, for the closing summary.
std::map<std::string, double> &figures() {
    static std::map<std::string, double> all;
    return all;
}

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
    if (qstrcmp(mode, "statusItem") == 0)
        host.start(QStringLiteral(NORVANE_BIN_DIR "/StatusItemBenchHost"));
    else
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

// The bare window and the application launched in turn, so that both meet the same load of the
// machine; the benchmark's time is the application's.
void Startup(benchmark::State &state) {
    std::map<std::string, std::vector<double>> resident;
    std::map<std::string, std::vector<double>> firstFrame;
    std::map<std::string, std::vector<double>> firstFrameCpu;
    for (auto _ : state) {
        for (const char *mode : {"bare", "app"}) {
            const QJsonObject result = launch(mode, "startup");
            if (result.isEmpty()) {
                state.SkipWithError("the launch failed");
                return;
            }
            resident[mode].push_back(result["residentKiB"].toDouble() / 1024.0);
            firstFrame[mode].push_back(result["firstFrameMs"].toDouble());
            firstFrameCpu[mode].push_back(result["firstFrameCpuMs"].toDouble());
        }
        state.SetIterationTime(firstFrame["app"].back() / 1000.0);
    }
    for (const char *mode : {"bare", "app"}) {
        state.counters[std::string(mode) + "FirstFrameMs"] = median(firstFrame[mode]);
        state.counters[std::string(mode) + "ResidentMiB"] = median(resident[mode]);
        figures()[std::string(mode) + ".firstFrameMs"] = median(firstFrame[mode]);
        figures()[std::string(mode) + ".firstFrameCpuMs"] = median(firstFrameCpu[mode]);
        figures()[std::string(mode) + ".residentMiB"] = median(resident[mode]);
    }
}

void Closed(benchmark::State &state, const char *mode) {
    const bool app = qstrcmp(mode, "app") == 0;
    std::vector<double> closedResident;
    std::vector<double> closedPrivate;
    std::vector<double> closedProportional;
    std::vector<double> reopen;
    std::vector<double> startup;
    for (auto _ : state) {
        const QJsonObject result = launch(mode, "closed");
        if (result.isEmpty()) {
            state.SkipWithError("the launch failed");
            return;
        }
        closedResident.push_back(result[app ? "closedResidentKiB" : "residentKiB"].toDouble() /
                                 1024.0);
        closedPrivate.push_back(result[app ? "closedAnonKiB" : "anonKiB"].toDouble() / 1024.0);
        closedProportional.push_back(
            result[app ? "closedProportionalKiB" : "proportionalKiB"].toDouble() / 1024.0);
        if (app) {
            reopen.push_back(result["reopenFirstFrameMs"].toDouble());
            startup.push_back(result["firstFrameMs"].toDouble());
        }
        state.SetIterationTime(app ? reopen.back() / 1000.0 : 0.0);
    }
    state.counters["closedResidentMiB"] = median(closedResident);
    state.counters["closedPrivateMiB"] = median(closedPrivate);
    figures()[std::string(mode) + ".closedResidentMiB"] = median(closedResident);
    figures()[std::string(mode) + ".closedPrivateMiB"] = median(closedPrivate);
    figures()[std::string(mode) + ".closedProportionalMiB"] = median(closedProportional);
    if (app) {
        state.counters["startupFirstFrameMs"] = median(startup);
        figures()["app.reopenFirstFrameMs"] = median(reopen);
        figures()["app.startupFirstFrameMsSameLaunch"] = median(startup);
    }
}

void printSummary() {
    std::map<std::string, double> &f = figures();
    const auto ratio = [&f](const char *what, const std::string &a, const std::string &b,
                            double target) {
        if (!f.count(a) || !f.count(b) || f[b] == 0)
            return;
        std::printf("%-46s %8.1f / %8.1f = %5.2fx (target <= %.1fx)\n", what, f[a], f[b],
                    f[a] / f[b], target);
    };
    std::printf("\nRatios (medians of this run)\n");
    ratio("start-up first frame, app / bare (ms)", "app.firstFrameMs", "bare.firstFrameMs", 1.3);
    ratio("  CPU time until then, app / bare (ms)", "app.firstFrameCpuMs", "bare.firstFrameCpuMs",
          1.3);
    ratio("memory after start, app / bare (MiB)", "app.residentMiB", "bare.residentMiB", 1.3);
    ratio("memory closed, app / status item (MiB)", "app.closedResidentMiB",
          "statusItem.closedResidentMiB", 3.0);
    ratio("  of it private (heap), app / status item (MiB)", "app.closedPrivateMiB",
          "statusItem.closedPrivateMiB", 3.0);
    ratio("  proportional (PSS), app / status item (MiB)", "app.closedProportionalMiB",
          "statusItem.closedProportionalMiB", 3.0);
    ratio("reopen first frame / start-up first frame (ms)", "app.reopenFirstFrameMs",
          "app.startupFirstFrameMsSameLaunch", 1.0);
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

// Launches vary by tens of milliseconds on a shared machine; the median of many holds still.
BENCHMARK(Startup)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Closed, statusItem, "statusItem")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Closed, app, "app")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(IdleCpu, app, "app")->UseManualTime()->Iterations(1)->Unit(benchmark::kSecond);

int main(int argc, char **argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary();
    return 0;
}
