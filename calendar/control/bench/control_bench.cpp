// SPDX-License-Identifier: MIT
// One navigation action as the user sees it: the month button, the fill of all cells and
// the repaint of the whole control, offscreen.
#include <QAbstractButton>
#include <QPixmap>
#include <benchmark/benchmark.h>
#include <kalendo/control.h>

namespace {

void BM_NextMonthAndRepaint(benchmark::State& state) {
    Kalendo control([] { return QDate(2008, 4, 23); });
    control.show();
    auto* next = control.findChild<QAbstractButton*>(QStringLiteral("下月"));
    auto* previous = control.findChild<QAbstractButton*>(QStringLiteral("上月"));
    bool forward = true;
    for (auto _ : state) {
        (forward ? next : previous)->click();
        forward = !forward;
        QPixmap shot = control.grab();
        benchmark::DoNotOptimize(shot);
    }
}
BENCHMARK(BM_NextMonthAndRepaint)->Unit(benchmark::kMicrosecond);

void BM_FillOnly(benchmark::State& state) {
    Kalendo control([] { return QDate(2008, 4, 23); });
    int month = 0;
    for (auto _ : state) {
        control.fillMonth(2008, month % 12 + 1);
        ++month;
    }
}
BENCHMARK(BM_FillOnly)->Unit(benchmark::kMicrosecond);

} // namespace
