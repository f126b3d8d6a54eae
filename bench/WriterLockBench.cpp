// What taking the writer's turn costs a change when nobody else writes (target: under 1 ms an
// apply): opening the lock file in the runtime folder, flock(), and closing it again.
#include "Platform/WriterLock.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void UncontendedTurn(benchmark::State &state) {
    const QTemporaryDir folder;
    const norvane::WriterLock lock(folder.filePath(QStringLiteral("writer.lock")));
    for (auto _ : state) {
        const std::unique_ptr<norvane::WriterLock::Hold> turn = lock.tryTake();
        if (!turn) {
            state.SkipWithError("the turn was taken");
            return;
        }
    }
}
BENCHMARK(UncontendedTurn)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
