// SPDX-License-Identifier: MIT
// What the stopwatch window costs: one display tick while running, and a second of the
// event loop with the window stopped (its timer off) and running, counting the ticks and
// the processor time they take (offscreen).
#include "tikko/alarm/clock.h"
#include "tikko/stopwatch/stopwatch_window.h"

#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

struct Fixture {
    tikko::SystemClock wall;
    tikko::SystemMonotonicClock clock;
    tikko::FrmMB window{wall, clock};

    QTimer* timer() const { return window.findChild<QTimer*>(QStringLiteral("Timer1")); }
    void start() { window.findChild<QPushButton*>(QStringLiteral("cmdStart"))->click(); }
};

void BM_RefreshTickWhileRunning(benchmark::State& state) {
    Fixture fixture;
    fixture.start();
    for (auto _ : state)
        QMetaObject::invokeMethod(&fixture.window, "on_Timer1_timeout", Qt::DirectConnection);
}
BENCHMARK(BM_RefreshTickWhileRunning);

// range(0): 0 stopped, 1 running.
void BM_OneSecondOfEventLoop(benchmark::State& state) {
    Fixture fixture;
    if (state.range(0) == 1)
        fixture.start();
    long ticks = 0;
    QObject::connect(fixture.timer(), &QTimer::timeout, [&ticks] { ++ticks; });
    for (auto _ : state) {
        QEventLoop loop;
        QTimer::singleShot(1000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    state.counters["timer_active"] = fixture.timer()->isActive() ? 1 : 0;
    state.counters["ticks_per_s"] =
        benchmark::Counter(static_cast<double>(ticks) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_OneSecondOfEventLoop)
    ->ArgName("running")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

} // namespace
