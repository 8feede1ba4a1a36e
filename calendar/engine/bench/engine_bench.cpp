// SPDX-License-Identifier: MIT
// Speed of the engine's conversion and the month-grid fill, with ICU's Chinese calendar
// converting the same days for comparison.
//   build/calendar/engine/kalendo_engine_bench
#include "kalendo/engine.h"
#include "kalendo/lunar.h"
#include "kalendo/month_grid.h"
#include "kalendo_cli.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <sstream>
#include <string_view>
#include <vector>

#ifdef KALENDO_BENCH_ICU
#include <unicode/calendar.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#endif

namespace {

using namespace kalendo;

// Every day of 1901-2090, the range the control shows.
const std::vector<Date>& allDays() {
    static const std::vector<Date> days = [] {
        std::vector<Date> v;
        for (Date d = Date::fromYmd(1901, 1, 1); d <= Date::fromYmd(2090, 12, 31);
             d = d.plusDays(1))
            v.push_back(d);
        return v;
    }();
    return days;
}

void BM_SolarToLunarText(benchmark::State& state) {
    const Engine engine;
    const auto& days = allDays();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.solarToLunar(days[i]));
        if (++i == days.size())
            i = 0;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_SolarToLunarText);

// The typed conversion, Gregorian to lunar, over every day of 1901-2090.
void BM_TypedFromSolar(benchmark::State& state) {
    const auto& days = allDays();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(LunarDate::fromSolar(days[i]));
        if (++i == days.size())
            i = 0;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_TypedFromSolar);

// And back, leap months included, over the lunar dates of the same days.
void BM_TypedToSolar(benchmark::State& state) {
    static const std::vector<LunarDate> lunar = [] {
        std::vector<LunarDate> v;
        for (Date d : allDays())
            v.push_back(LunarDate::fromSolar(d));
        return v;
    }();
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(lunar[i].toSolar());
        if (++i == lunar.size())
            i = 0;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_TypedToSolar);

// `kalendo 2026`: the year page, twelve compact months with their lunar lines, 80 columns.
void BM_YearPage(benchmark::State& state) {
    CliOptions options;
    options.today = Date::fromYmd(2026, 12, 9);
    options.columns = 80;
    const std::vector<std::string> args{"2026"};
    for (auto _ : state) {
        std::ostringstream out, err;
        benchmark::DoNotOptimize(runKalendo(args, out, err, options));
    }
}
BENCHMARK(BM_YearPage)->Unit(benchmark::kMillisecond);

// 阴历转阳历 on every ordinary lunar month of 1901-2090, day 15.
void BM_LunarToSolar(benchmark::State& state) {
    const Engine engine;
    std::size_t i = 0;
    for (auto _ : state) {
        Int16 y = static_cast<Int16>(1901 + i / 12), m = static_cast<Int16>(i % 12 + 1), d = 15;
        benchmark::DoNotOptimize(engine.lunarToSolar(y, m, d));
        if (++i == 190 * 12)
            i = 0;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_LunarToSolar);

#ifdef KALENDO_BENCH_ICU
void BM_IcuChineseCalendar(benchmark::State& state) {
    UErrorCode status = U_ZERO_ERROR;
    // The locale's calendar keyword makes this an icu::ChineseCalendar.
    std::unique_ptr<icu::Calendar> owned(icu::Calendar::createInstance(
        icu::TimeZone::createTimeZone("GMT"), icu::Locale("zh_CN@calendar=chinese"), status));
    if (U_FAILURE(status) || std::string_view(owned->getType()) != "chinese") {
        state.SkipWithError("ICU's Chinese calendar is not available");
        return;
    }
    icu::Calendar& calendar = *owned;
    const auto& days = allDays();
    std::size_t i = 0;
    for (auto _ : state) {
        calendar.setTime(static_cast<UDate>(days[i].serial()) * 86400000.0, status);
        benchmark::DoNotOptimize(calendar.get(UCAL_EXTENDED_YEAR, status));
        benchmark::DoNotOptimize(calendar.get(UCAL_MONTH, status));
        benchmark::DoNotOptimize(calendar.get(UCAL_IS_LEAP_MONTH, status));
        benchmark::DoNotOptimize(calendar.get(UCAL_DATE, status));
        if (++i == days.size())
            i = 0;
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_IcuChineseCalendar);
#endif

MonthGridInput input(int year, int month) {
    MonthGridInput in;
    in.year = static_cast<Int16>(year);
    in.month = static_cast<Int16>(month);
    in.today = Date::fromYmd(2008, 4, 23);
    in.lunarYearText = "2008";
    in.lunarMonthText = "03";
    return in;
}

void BM_FillOneMonth(benchmark::State& state) {
    const Engine engine;
    const MonthGridInput in = input(2008, 4);
    MonthGrid grid;
    for (auto _ : state) {
        fillMonthGrid(engine, in, grid);
        benchmark::DoNotOptimize(grid);
    }
}
BENCHMARK(BM_FillOneMonth)->Unit(benchmark::kMicrosecond);

void BM_FillAllMonths1901To2090(benchmark::State& state) {
    const Engine engine;
    std::vector<MonthGridInput> inputs;
    for (int y = 1901; y <= 2090; ++y)
        for (int m = 1; m <= 12; ++m)
            inputs.push_back(input(y, m));
    MonthGrid grid;
    for (auto _ : state) {
        for (const MonthGridInput& in : inputs) {
            fillMonthGrid(engine, in, grid);
            benchmark::DoNotOptimize(grid);
        }
    }
    state.counters["months"] = static_cast<double>(inputs.size());
}
BENCHMARK(BM_FillAllMonths1901To2090)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
