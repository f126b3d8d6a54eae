// The application against bare QQuickWidget windows, each launched fresh in its own process
// (AppBenchHost) with a private settings folder and simulated Mac. "app" is Pellor as a user gets
// it, with the renderer it chooses for this machine; "appOpenGL" is Pellor made to draw with
// OpenGL (QSG_RHI_BACKEND=opengl), as it did on every machine before it chose: the figures
// before and after, side by side in one run.
//   Startup                     the bare OpenGL window, the bare software-rendered window, the
//                               floor (a main window with Pellor's menu bar over one Controls
//                               Label, in software) and both Pellors launched in turn: time to the
//                               first frame (the app's is the benchmark's time) and resident memory
//                               after start (counters appFirstFrameMs, bareOpenGLResidentMiB…); the
//                               summary adds the CPU time used until the first frame, which the
//                               load of the machine changes less
//   Closed/app, Closed/appOpenGL
//                               the main window closed after start-up: time from "Open Main
//                               Window" to the reopened window's first frame (the benchmark's
//                               time), resident memory while closed (closedResidentMiB), and
//                               of it the private (anonymous) pages and the proportional share
//                               of pages shared with other processes (in the summary)
//   Closed/statusItem           the same memory figures of StatusItemBenchHost, a Qt Widgets
//                               program that shows only a status item
//   IdleCpu/…Open, IdleCpu/…Closed
//                               CPU used over 60 s with the main window open (and active), or
//                               closed, once each (counter cpuPercentOfOneCore; the stand-in
//                               tools of the live reads in withToolsPercentOfOneCore);
//                               …ClosedTwentyRules with 20 rules of every kind in the rules file
// Each program's renderer is printed, and at the end the targets with the figures before and
// after, from the medians of this run. Needs a display: run it under xvfb-run when there is none.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
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

// The renderer each program drew with, by program.
std::map<std::string, std::string> &renderers() {
    static std::map<std::string, std::string> all;
    return all;
}

// Twenty rules of every kind, none of which holds on the simulated laptop on its adapter.
QByteArray twentyRules() {
    QByteArray rules;
    for (int each = 0; each < 20; ++each) {
        const QByteArray conditions[] = {
            R"({"kind": "battery"})",
            R"({"kind": "batteryBelow", "percent": 15})",
            R"({"kind": "schedule", "days": [6, 7], "start": "03:00", "end": "04:00"})",
            R"({"kind": "application", "application": "no-such-program-)" +
                QByteArray::number(each) + R"("})",
        };
        rules += (each ? ",\n" : "") + QByteArray(R"({"id": "rule-)") + QByteArray::number(each) +
                 R"(", "use": "vibe", "enabled": true, "when": )" + conditions[each % 4] + "}";
    }
    return R"({"version": 1, "paused": false, "applyAtStart": true, "rules": [)" + rules + "]}";
}

// Launches `program` ("app", "appOpenGL", "bareOpenGL", "bareSoftware", "statusItem") to take
// the figures of `measure` ("idleRules": "idle" with twentyRules() in the rules file).
QJsonObject launch(const std::string &program, const char *measure) {
    QTemporaryDir sandbox;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *variable :
         {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME", "NORVANE_SIM_HOME"}) {
        const QString folder = sandbox.filePath(QString::fromLatin1(variable));
        QDir().mkpath(folder);
        environment.insert(QString::fromLatin1(variable), folder);
    }
    for (const char *variable : {"QT_QUICK_BACKEND", "QSG_RHI_BACKEND", "LIBGL_ALWAYS_SOFTWARE"})
        environment.remove(QString::fromLatin1(variable));
    if (program == "appOpenGL")
        environment.insert(QStringLiteral("QSG_RHI_BACKEND"), QStringLiteral("opengl"));
    if (std::string(measure) == "idleRules") {
        QDir().mkpath(sandbox.filePath("XDG_DATA_HOME/Norvane"));
        QFile rules(sandbox.filePath("XDG_DATA_HOME/Norvane/rules.json"));
        if (!rules.open(QIODevice::WriteOnly) || rules.write(twentyRules()) < 0)
            return {};
        rules.close();
        measure = "idle";
    }
    QProcess host;
    host.setProcessEnvironment(environment);
    host.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    if (program == "statusItem")
        host.start(QStringLiteral(NORVANE_BIN_DIR "/StatusItemBenchHost"));
    else
        host.start(
            QStringLiteral(NORVANE_BIN_DIR "/AppBenchHost"),
            {program == "appOpenGL" ? QStringLiteral("app") : QString::fromStdString(program),
             QString::fromLatin1(measure)});
    if (!host.waitForFinished(120'000) || host.exitCode() != 0)
        return {};
    const QList<QByteArray> lines = host.readAllStandardOutput().trimmed().split('\n');
    QJsonObject result = QJsonDocument::fromJson(lines.last()).object();
    if (result.contains("renderer"))
        renderers()[program] = result["renderer"].toString().toStdString();
    return result;
}

double median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The programs launched in turn, so that all meet the same load of the machine; the benchmark's
// time is the application's.
void Startup(benchmark::State &state) {
    const std::vector<std::string> programs{"bareOpenGL", "bareSoftware", "floor", "app",
                                            "appOpenGL"};
    std::map<std::string, std::vector<double>> resident;
    std::map<std::string, std::vector<double>> firstFrame;
    std::map<std::string, std::vector<double>> firstFrameCpu;
    for (auto _ : state) {
        for (const std::string &program : programs) {
            const QJsonObject result = launch(program, "startup");
            if (result.isEmpty()) {
                state.SkipWithError("the launch failed");
                return;
            }
            resident[program].push_back(result["residentKiB"].toDouble() / 1024.0);
            firstFrame[program].push_back(result["firstFrameMs"].toDouble());
            firstFrameCpu[program].push_back(result["firstFrameCpuMs"].toDouble());
        }
        state.SetIterationTime(firstFrame["app"].back() / 1000.0);
    }
    for (const std::string &program : programs) {
        state.counters[program + "FirstFrameMs"] = median(firstFrame[program]);
        state.counters[program + "ResidentMiB"] = median(resident[program]);
        figures()[program + ".firstFrameMs"] = median(firstFrame[program]);
        figures()[program + ".firstFrameCpuMs"] = median(firstFrameCpu[program]);
        figures()[program + ".residentMiB"] = median(resident[program]);
    }
}

void Closed(benchmark::State &state, const std::string &program) {
    const bool app = program != "statusItem";
    std::vector<double> closedResident;
    std::vector<double> closedPrivate;
    std::vector<double> closedProportional;
    std::vector<double> reopen;
    std::vector<double> startup;
    for (auto _ : state) {
        const QJsonObject result = launch(program, "closed");
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
    figures()[program + ".closedResidentMiB"] = median(closedResident);
    figures()[program + ".closedPrivateMiB"] = median(closedPrivate);
    figures()[program + ".closedProportionalMiB"] = median(closedProportional);
    if (app) {
        state.counters["startupFirstFrameMs"] = median(startup);
        figures()[program + ".reopenFirstFrameMs"] = median(reopen);
        figures()[program + ".startupFirstFrameMsSameLaunch"] = median(startup);
    }
}

void IdleCpu(benchmark::State &state, const std::string &program, const char *measure) {
    for (auto _ : state) {
        const QJsonObject result = launch(program, measure);
        if (result.isEmpty()) {
            state.SkipWithError("the launch failed");
            return;
        }
        state.SetIterationTime(result["wallSeconds"].toDouble());
        state.counters["cpuPercentOfOneCore"] = result["cpuPercentOfOneCore"].toDouble();
        state.counters["withToolsPercentOfOneCore"] =
            result["withToolsPercentOfOneCore"].toDouble();
        figures()[program + "." + measure] = result["cpuPercentOfOneCore"].toDouble();
        figures()[program + "." + measure + "WithTools"] =
            result["withToolsPercentOfOneCore"].toDouble();
    }
}

void printSummary() {
    std::map<std::string, double> &f = figures();
    std::printf("\nRenderers:");
    for (const auto &[program, renderer] : renderers())
        std::printf(" %s %s;", program.c_str(), renderer.c_str());
    std::printf("\n\n%-46s %-8s %-26s %s\n", "Targets (medians of this run)", "target",
                "before: OpenGL", "after: chosen renderer");
    // A row holds one figure of Pellor before (appOpenGL) and after (app): its `figure` against
    // `reference` (a figure of another program, or of the same one when it starts with "."), or
    // the figure alone without a reference; "-" where this run did not measure it.
    const auto row = [&f](const char *what, const char *target, const std::string &figure,
                          const std::string &reference = {}) {
        const auto cell = [&](const std::string &program) {
            const std::string a = program + figure;
            const std::string b = reference.starts_with('.') ? program + reference : reference;
            char text[64] = "-";
            if (f.contains(a) && reference.empty())
                std::snprintf(text, sizeof text, "%.2f", f[a]);
            else if (f.contains(a) && f.contains(b) && f[b] != 0)
                std::snprintf(text, sizeof text, "%.1f / %.1f = %.2fx", f[a], f[b], f[a] / f[b]);
            return std::string(text);
        };
        std::printf("%-46s %-8s %-26s %s\n", what, target, cell("appOpenGL").c_str(),
                    cell("app").c_str());
    };
    row("start-up first frame / bare OpenGL (ms)", "<= 0.6x", ".firstFrameMs",
        "bareOpenGL.firstFrameMs");
    row("start-up first frame / bare software (ms)", "<= 2x", ".firstFrameMs",
        "bareSoftware.firstFrameMs");
    row("start-up first frame / floor (ms)", "<= 1.3x", ".firstFrameMs", "floor.firstFrameMs");
    row("  CPU time until then / floor (ms)", "", ".firstFrameCpuMs", "floor.firstFrameCpuMs");
    row("  CPU time until then / bare OpenGL (ms)", "", ".firstFrameCpuMs",
        "bareOpenGL.firstFrameCpuMs");
    row("memory after start / bare OpenGL (MiB)", "<= 0.6x", ".residentMiB",
        "bareOpenGL.residentMiB");
    row("memory closed / status item (MiB)", "<= 2x", ".closedResidentMiB",
        "statusItem.closedResidentMiB");
    row("  proportional (PSS) / status item (MiB)", "<= 2.5x", ".closedProportionalMiB",
        "statusItem.closedProportionalMiB");
    row("  private (heap) / status item (MiB)", "", ".closedPrivateMiB",
        "statusItem.closedPrivateMiB");
    row("reopen / start-up first frame (ms)", "<= 0.5x", ".reopenFirstFrameMs",
        ".startupFirstFrameMsSameLaunch");
    row("idle CPU, window open (% of one core)", "<= 1", ".idleOpen");
    row("  with the stand-in tools of the live reads", "", ".idleOpenWithTools");
    row("idle CPU, window closed (% of one core)", "<= 0.2", ".idle");
    row("  with 20 rules", "<= 0.2", ".idleRules");
    row("  with the stand-in tools", "", ".idleWithTools");
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
BENCHMARK_CAPTURE(Closed, appOpenGL, "appOpenGL")
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(IdleCpu, appOpen, "app", "idleOpen")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(IdleCpu, appClosed, "app", "idle")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(IdleCpu, appClosedTwentyRules, "app", "idleRules")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(IdleCpu, appOpenGLOpen, "appOpenGL", "idleOpen")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);
BENCHMARK_CAPTURE(IdleCpu, appOpenGLClosed, "appOpenGL", "idle")
    ->UseManualTime()
    ->Iterations(1)
    ->Unit(benchmark::kSecond);

int main(int argc, char **argv) {
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    printSummary();
    return 0;
}
