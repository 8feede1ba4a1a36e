// SPDX-License-Identifier: MIT
// Loading and saving a store of 100,000 lines, each line decoded on its own: UTF-8 lines (the
// program's own store) and GB18030 lines (a store from Chinese Windows).
#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/alarm_store.h"

#include <QFile>
#include <QStringEncoder>
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
    const tikko::StoreLines lines =
        tikko::storeLinesFromTexts(storeLines(static_cast<int>(state.range(0))));
    for (auto _ : state)
        benchmark::DoNotOptimize(tikko::saveStore(path, lines));
}
BENCHMARK(BM_SaveStore)->Arg(100000)->Unit(benchmark::kMillisecond);

void load(benchmark::State& state, const QString& path) {
    const QDateTime now = QDateTime::currentDateTime();
    for (auto _ : state) {
        const tikko::LoadedStore loaded = tikko::loadStore(path, true, now);
        if (loaded.alarms.size() != state.range(0))
            state.SkipWithError("lines lost");
    }
}

void BM_LoadStore(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("alarm.ini");
    (void)tikko::saveStore(path, storeLines(static_cast<int>(state.range(0))));
    load(state, path);
}
BENCHMARK(BM_LoadStore)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_LoadGb18030Store(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath("alarm.ini");
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        state.SkipWithError("no file");
    QStringEncoder gb18030("GB18030");
    file.write(gb18030.encode(storeLines(static_cast<int>(state.range(0))).join("\r\n")));
    file.close();
    load(state, path);
}
BENCHMARK(BM_LoadGb18030Store)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
