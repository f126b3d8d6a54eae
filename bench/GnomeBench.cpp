// GNOME's live read and a verified apply, on private buses with the real dconf and
// python-dbusmock's UPower, power-profiles-daemon and logind: what the workspace pays every five
// seconds, and what an apply costs from the first read to the read back. The read runs no
// process: its counter `processes` counts the children the process made while it ran.
#include "Configuration/ConfigurationTransaction.h"
#include "DBusMock.h"
#include "DesktopWorlds.h"
#include "PrivateBuses.h"
#include "Worlds/WorldChoice.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <benchmark/benchmark.h>
#include <memory>

using namespace norvane;
using namespace norvane::test;

namespace {

// The processes whose parent is this one (the fourth field of /proc/<pid>/stat): the D-Bus
// daemons and mocks, and any child a read would start.
int childProcesses() {
    int children = 0;
    const QString self = QString::number(QCoreApplication::applicationPid());
    for (const QString &pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> fields = stat.readAll().split(' ');
        if (fields.size() > 3 && fields[3] == self.toLatin1())
            ++children;
    }
    return children;
}

struct Services {
    DBusMock upower{QDBusConnection::SystemBus, "upower", R"({"OnBattery": true})"};
    DBusMock profiles{QDBusConnection::SystemBus, "power_profiles_daemon"};
    DBusMock logind{QDBusConnection::SystemBus, "logind"};
    Services() {
        upower.mock("AddDischargingBattery", {"mock_BAT", "Mock Battery", 42.0, qint64(3600)});
    }
};

void liveRead(benchmark::State &state) {
    Services services;
    const auto world = currentWorld();
    if (world->readSettings().error)
        state.SkipWithError("GNOME's settings did not answer");
    const int before = childProcesses();
    for (auto _ : state)
        benchmark::DoNotOptimize(world->readSettings());
    state.counters["processes"] = childProcesses() - before;
}

void verifiedApply(benchmark::State &state) {
    const auto world = currentWorld();
    bool focus = false;
    for (auto _ : state) {
        ConfigurationTransaction transaction(world->configurationBackend());
        (void)transaction.apply(focus ? Profile::focus() : Profile::normal());
        focus = !focus;
    }
}

} // namespace

BENCHMARK(liveRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(verifiedApply)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

int main(int argc, char **argv) {
    PrivateBuses buses;
    qputenv("PELLOR_PLATFORM", "gnome");
    QCoreApplication app(argc, argv);
    offerDesktopWorlds();
    useSystemWorld();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
