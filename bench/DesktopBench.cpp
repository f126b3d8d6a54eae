// Each desktop's live read and verified apply, on private buses with python-dbusmock's UPower,
// power-profiles-daemon and logind: GNOME on the real dconf, KDE Plasma 5 on its files (with
// PowerDevil's mock answering the reload), Xfce on the real xfconfd, Cinnamon and MATE on the real
// dconf. What the workspace pays every
// five seconds, and what an apply costs from the first read to the read back. The read runs no
// process: its counter `processes` counts the children the process made while it ran.
#include "Cinnamon/CinnamonSettingsAdapter.h"
#include "Configuration/ConfigurationTransaction.h"
#include "DBusMock.h"
#include "Gnome/GnomeSettingsAdapter.h"
#include "Kde/KdeSettingsAdapter.h"
#include "Mate/MateSettingsAdapter.h"
#include "PrivateBuses.h"
#include "Services/DesktopWorld.h"
#include "TestSupport.h"
#include "Xfce/XfceSettingsAdapter.h"

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
    DBusMock powerDevil{QDBusConnection::SessionBus, DBusMock::kPowerDevil};
    Services() {
        upower.mock("AddDischargingBattery", {"mock_BAT", "Mock Battery", 42.0, qint64(3600)});
    }
};

// PowerDevil's profiles as Plasma 5.27 writes them on a laptop.
const QByteArray kPlasma5 = "[AC]\nicon=battery-charging\n\n"
                            "[AC][DPMSControl]\nidleTime=600\n\n"
                            "[AC][DimDisplay]\nidleTime=300000\n\n"
                            "[AC][HandleButtonEvents]\nlidAction=1\npowerButtonAction=16\n\n"
                            "[Battery]\nicon=battery-060\n\n"
                            "[Battery][DPMSControl]\nidleTime=300\n\n"
                            "[Battery][DimDisplay]\nidleTime=120000\n\n"
                            "[Battery][SuspendSession]\nidleTime=600000\nsuspendType=1\n\n"
                            "[LowBattery]\nicon=battery-low\n";

std::shared_ptr<const World> world(int index) {
    switch (index) {
    case 0:
        return std::make_shared<DesktopWorld>(std::make_shared<GnomeSettingsAdapter>());
    case 1:
        return std::make_shared<DesktopWorld>(std::make_shared<KdeSettingsAdapter>());
    case 2:
        return std::make_shared<DesktopWorld>(std::make_shared<XfceSettingsAdapter>());
    case 3:
        return std::make_shared<DesktopWorld>(std::make_shared<CinnamonSettingsAdapter>());
    default:
        return std::make_shared<DesktopWorld>(std::make_shared<MateSettingsAdapter>());
    }
}

void liveRead(benchmark::State &state) {
    const auto desktop = world(int(state.range(0)));
    if (desktop->readSettings().error)
        state.SkipWithError("the desktop's settings did not answer");
    const int before = childProcesses();
    for (auto _ : state)
        benchmark::DoNotOptimize(desktop->readSettings());
    state.counters["processes"] = childProcesses() - before;
    state.SetLabel(desktop->identity().name.toStdString());
}

void verifiedApply(benchmark::State &state) {
    const auto desktop = world(int(state.range(0)));
    bool focus = false;
    for (auto _ : state) {
        ConfigurationTransaction transaction(desktop->configurationBackend());
        (void)transaction.apply(focus ? Profile::focus() : Profile::normal());
        focus = !focus;
    }
    state.SetLabel(desktop->identity().name.toStdString());
}

} // namespace

// 0 GNOME, 1 KDE Plasma, 2 Xfce, 3 Cinnamon, 4 MATE.
BENCHMARK(liveRead)->DenseRange(0, 4)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(verifiedApply)
    ->DenseRange(0, 4)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5);

int main(int argc, char **argv) {
    qunsetenv("KDE_SESSION_VERSION");
    qunsetenv("XDG_CONFIG_DIRS");
    PrivateBuses buses;
    QCoreApplication app(argc, argv);
    writeBytes(QDir(qEnvironmentVariable("XDG_CONFIG_HOME")).filePath("powermanagementprofilesrc"),
               kPlasma5);
    // Started once and warm for every run: a mock that is still starting up slows what it serves.
    const Services services;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
