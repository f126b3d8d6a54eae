// Catalogue lookups of a two-argument message, as the views make them on every refresh.
#include "Localization/L10n.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

using namespace norvane;

namespace {

void textInLanguage(benchmark::State &state, const char *language) {
    const L10n::Message message("About {0} hr {1} min remaining", QStringList{"2", "5"});
    const QString code = QString::fromLatin1(language);
    (void)L10n::text(message, code); // loads the tables once, outside the timing
    for (auto _ : state)
        benchmark::DoNotOptimize(L10n::text(message, code));
}

} // namespace

BENCHMARK_CAPTURE(textInLanguage, japanese, "ja");
BENCHMARK_CAPTURE(textInLanguage, english, "en");

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
