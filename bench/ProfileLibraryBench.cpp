// Loading a library of 1,000 custom profiles (decode and validate the whole document), and saving
// one change to it through the profiles file, durable write included.
#include "Profiles/FileProfileStorage.h"
#include "Profiles/ProfileLibrary.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

using namespace norvane;

namespace {

constexpr int kCustomProfiles = 1000;

class MemoryStorage final : public ProfileStorage {
public:
    explicit MemoryStorage(QByteArray data) : m_data(std::move(data)) {}
    std::optional<QByteArray> read() override { return m_data; }
    void write(const QByteArray &data) override { m_data = data; }
    [[nodiscard]] QString location() const override { return {}; }
    QString setAside(const QDate &) override { return {}; }

private:
    QByteArray m_data;
};

Profile customProfile(int i) {
    return {QStringLiteral("8D1C6A52-0000-4000-8000-%1").arg(i, 12, 10, QLatin1Char('0')),
            QStringLiteral("Custom profile %1").arg(i),
            ProfileIcon::sliders,
            i % 1441,
            (i * 7) % 1441,
            qint64(i % 1441) * 60,
            i % 120};
}

QByteArray largeDocument() {
    QJsonArray profiles;
    for (const Profile &preset : Profile::presets())
        profiles.append(preset.toJson());
    for (int i = 0; i < kCustomProfiles; ++i)
        profiles.append(customProfile(i).toJson());
    return QJsonDocument(QJsonObject{{QStringLiteral("deleted"), QJsonArray()},
                                     {QStringLiteral("profiles"), profiles},
                                     {QStringLiteral("version"), 1}})
        .toJson();
}

void loadLibrary(benchmark::State &state) {
    const auto storage = std::make_shared<MemoryStorage>(largeDocument());
    for (auto _ : state) {
        ProfileLibrary library(storage);
        if (library.loadError())
            state.SkipWithError(library.loadError()->toUtf8().constData());
        benchmark::DoNotOptimize(library.profiles().size());
    }
}

void saveOneChange(benchmark::State &state) {
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("Norvane/profiles.json"));
    FileProfileStorage(path).write(largeDocument());
    ProfileLibrary library(std::make_shared<FileProfileStorage>(path));
    if (library.loadError())
        state.SkipWithError(library.loadError()->toUtf8().constData());
    Profile profile = customProfile(kCustomProfiles / 2);
    for (auto _ : state) {
        profile.displayMinutes = (profile.displayMinutes + 1) % 1441;
        library.save(profile);
    }
}

} // namespace

BENCHMARK(loadLibrary)->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);
BENCHMARK(saveOneChange)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(10)
    ->ReportAggregatesOnly(true);

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
