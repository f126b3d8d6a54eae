// SystemSettings::read() against the simulated Mac: two stand-in pmset runs, the assertion status
// and the screen-saver preference, as a view model's refresh makes it.
#include "Platform/Simulated/SimulatedMac.h"
#include "Status/SystemSettings.h"

#include <QCoreApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace norvane;

namespace {

void readOnSimulatedMac(benchmark::State &state) {
    QTemporaryDir home;
    qputenv("NORVANE_SIM_HOME", home.path().toUtf8());
    SimulatedHostPreferences preferences(home.path());
    preferences.setValue(QStringLiteral("idleTime"), QVariant::fromValue(qint64(300)),
                         QStringLiteral("com.apple.screensaver"));
    if (!preferences.synchronize(QStringLiteral("com.apple.screensaver")))
        state.SkipWithError("could not prepare the simulator");
    if (SystemSettings::read().error)
        state.SkipWithError("the stand-in pmset did not answer");
    for (auto _ : state)
        benchmark::DoNotOptimize(SystemSettings::read());
}

} // namespace

// The time goes to child processes, so wall-clock time is what counts.
BENCHMARK(readOnSimulatedMac)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(10);

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
