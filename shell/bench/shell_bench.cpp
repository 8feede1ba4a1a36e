// SPDX-License-Identifier: MIT
// The pass over a list of 100,000 lines none of which is due, and start-up to a shown main
// window with an empty store (offscreen).
#include "recording_system_actions.h"
#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/alarm_store.h"
#include "tikko/alarm/clock.h"
#include "tikko/shell/main_window.h"
#include "tikko/shell/secondary_windows.h"
#include "tikko/shell/single_instance.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

struct Fixture {
    QTemporaryDir dir;
    QSettings settings{dir.filePath("TikkoClock.ini"), QSettings::IniFormat};
    tikko::RecordingSystemActions actions;
    tikko::SystemClock clock;
    tikko::SystemMonotonicClock monotonic;
    QString store = dir.filePath("alarm.ini");

    std::unique_ptr<tikko::FrmMain> window() {
        return std::make_unique<tikko::FrmMain>(tikko::MainWindowContext{
            actions, clock, monotonic, settings, tikko::ProgramFiles(dir.path()), store, {}});
    }

    // A window loaded with that many alarms, none of them due.
    std::unique_ptr<tikko::FrmMain> windowWithAlarms(qint64 count) {
        const QDateTime base = QDateTime::currentDateTime().addDays(1);
        QStringList lines;
        for (qint64 i = 0; i < count; ++i)
            lines.append(
                tikko::buildAlarmLine(base.addSecs(61 * i), tikko::reminder::Sound, {}, {}));
        tikko::saveStore(store, lines);
        auto loaded = window();
        loaded->formLoad();
        return loaded;
    }
};

void BM_PassOverLinesNotDue(benchmark::State& state) {
    Fixture fixture;
    auto window = fixture.windowWithAlarms(state.range(0));
    if (window->alarmList()->count() != state.range(0))
        state.SkipWithError("store not loaded");
    for (auto _ : state)
        window->alarmCheck().run();
    if (!fixture.actions.calls().empty())
        state.SkipWithError("a line fired");
}
BENCHMARK(BM_PassOverLinesNotDue)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_StartUpToShownWindow(benchmark::State& state) {
    Fixture fixture;
    for (auto _ : state) {
        auto window = fixture.window();
        window->formLoad();
        window->showAtStart();
        if (!QTest::qWaitForWindowExposed(window.get()))
            state.SkipWithError("window not shown");
        state.PauseTiming();
        window->formUnload();
        window.reset();
        QCoreApplication::processEvents();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpToShownWindow)->Unit(benchmark::kMillisecond);

void BM_AddAlarmToALongList(benchmark::State& state) {
    Fixture fixture;
    auto window = fixture.windowWithAlarms(state.range(0));
    auto* add = window->findChild<QPushButton*>(QStringLiteral("cmdAdd"));
    // Each press appends the line and saves the whole store atomically.
    for (auto _ : state)
        add->click();
    if (window->alarmList()->count() <= state.range(0))
        state.SkipWithError("nothing added");
}
BENCHMARK(BM_AddAlarmToALongList)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_OpenCalendarWindow(benchmark::State& state) {
    tikko::KalendoLibrary library({QStringLiteral(KALENDO_LIBRARY_DIR)});
    for (auto _ : state) {
        QWidget* control = library.createControl(nullptr);
        if (!control) {
            state.SkipWithError(library.error().toStdString().c_str());
            break;
        }
        tikko::FrmRL window(control, nullptr);
        window.show();
        if (!QTest::qWaitForWindowExposed(&window))
            state.SkipWithError("window not shown");
        // The first paint of every cell.
        benchmark::DoNotOptimize(window.grab());
    }
}
BENCHMARK(BM_OpenCalendarWindow)->Unit(benchmark::kMillisecond);

void BM_ClaimTheStoreLock(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir folder;
        state.ResumeTiming();
        tikko::SingleInstance instance(folder.path(), folder.path());
        if (instance.claim() != tikko::SingleInstance::Claim::Holder)
            state.SkipWithError("lock not taken");
    }
}
BENCHMARK(BM_ClaimTheStoreLock)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer cold;
    cold.start();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tikko::applyProgramLook();
    {
        // The first start of the process: application object, window, load, shown.
        Fixture fixture;
        auto window = fixture.window();
        window->formLoad();
        window->showAtStart();
        if (!QTest::qWaitForWindowExposed(window.get()))
            std::printf("main window not shown\n");
        std::printf("cold start-up to shown main window: %lld ms\n",
                    static_cast<long long>(cold.elapsed()));
        window->formUnload();
    }
    {
        // The first opening of the calendar, after the first window: the library is loaded then.
        QElapsedTimer first;
        first.start();
        tikko::KalendoLibrary library({QStringLiteral(KALENDO_LIBRARY_DIR)});
        if (QWidget* control = library.createControl(nullptr)) {
            tikko::FrmRL window(control, nullptr);
            window.show();
            if (QTest::qWaitForWindowExposed(&window))
                window.grab();
            std::printf("first calendar window, library loaded: %lld ms\n",
                        static_cast<long long>(first.elapsed()));
        }
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
