// Loading and saving a store of 100,000 lines.
#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/alarm_store.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QStringList storeLines(int count) {
    QStringList lines;
    lines.reserve(count);
    const QDateTime base = QDateTime::currentDateTime().addDays(1);
    for (int i = 0; i < count; ++i)
        lines.append(tikko::buildAlarmLine(base.addSecs(61LL * i), tikko::reminder::SoundAndText,
                                           QStringLiteral("提醒 %1").arg(i), {}));
    return lines;
}

void BM_SaveStore(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("alarm.ini");
    const QStringList lines = storeLines(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(tikko::saveStore(path, lines));
}
BENCHMARK(BM_SaveStore)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LoadStore(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("alarm.ini");
    tikko::saveStore(path, storeLines(static_cast<int>(state.range(0))));
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : state) {
        const QStringList loaded = tikko::loadStore(path, true, now);
        if (loaded.size() != state.range(0))
            state.SkipWithError("lines lost");
    }
}
BENCHMARK(BM_LoadStore)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
