// What one look at the running applications costs on Linux, which the rules make every few
// seconds while a rule names an application: a walk over /proc that reads the executable, comm
// and argv[0] of each of this user's processes, after finding the desktop entries asked for.
#include "Platform/Linux/ProcessApplications.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <unistd.h>

namespace {

// Desktop entries in a data folder of their own: a program and a Flatpak app.
const QTemporaryDir &dataHome() {
    static const QTemporaryDir folder = [] {
        QTemporaryDir created;
        const QString entries = created.filePath(QStringLiteral("applications/"));
        QDir().mkpath(entries);
        const auto write = [&entries](const QString &id, const QByteArray &exec) {
            QFile file(entries + id);
            if (file.open(QIODevice::WriteOnly))
                file.write("[Desktop Entry]\nType=Application\nExec=" + exec + '\n');
        };
        write(QStringLiteral("pellor-bench-editor.desktop"), "/usr/bin/pellor-bench-editor %F");
        write(QStringLiteral("org.example.Bench.desktop"),
              "/usr/bin/flatpak run --branch=stable org.example.Bench @@u %U @@");
        qputenv("XDG_DATA_HOME", created.path().toUtf8());
        return created;
    }();
    return folder;
}

int processesOfThisUser() {
    int count = 0;
    for (const QFileInfo &entry : QDir(QStringLiteral("/proc")).entryInfoList(QDir::Dirs))
        if (entry.fileName().front().isDigit() && entry.ownerId() == getuid())
            ++count;
    return count;
}

void Look(benchmark::State &state, const QStringList &names) {
    (void)dataHome();
    for (auto _ : state)
        benchmark::DoNotOptimize(norvane::runningLinuxApplications(names));
    state.counters["processes"] = processesOfThisUser();
}

BENCHMARK_CAPTURE(Look, ExecutableNames, {"firefox", "vlc", "libreoffice"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Look, DesktopFileId, {"pellor-bench-editor.desktop"})
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Look, FlatpakApp, {"org.example.Bench.desktop"})->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
