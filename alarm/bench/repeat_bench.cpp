// SPDX-License-Identifier: MIT
// The next occurrence of a repeat rule, for the rules at both ends of the cost: a weekly rule
// (a few weekdays to look at) and a lunar yearly one (lunar conversions), over many moments;
// and a pass over 100,000 alarms, half of them repeating, with one due.
#include "kalendo/date.h"
#include "tikko/alarm/alarm_check.h"
#include "tikko/alarm/clock.h"
#include "tikko/alarm/repeat_rule.h"

#include <benchmark/benchmark.h>

namespace {

using kalendo::Date;
using kalendo::DateTime;

void nextFirings(benchmark::State& state, const tikko::RepeatRule& rule) {
    // A moment a little over a day later each time, across years.
    DateTime at{Date::fromYmd(2026, 1, 1), 7 * 3600};
    for (auto _ : state) {
        benchmark::DoNotOptimize(tikko::nextFiring(rule, at));
        at = tikko::addSeconds(at, 86400 + 3607);
        if (at.date.year() > 2080)
            at = {Date::fromYmd(2026, 1, 1), 7 * 3600};
    }
}

void BM_NextWeekly(benchmark::State& state) {
    tikko::RepeatRule rule;
    rule.kind = tikko::RepeatRule::Weekly;
    rule.weekdays = 0b0101010;
    rule.timeOfDay = 7 * 3600 + 30 * 60;
    nextFirings(state, rule);
}
BENCHMARK(BM_NextWeekly);

void BM_NextLunarYearly(benchmark::State& state) {
    tikko::RepeatRule rule;
    rule.kind = tikko::RepeatRule::LunarYearly;
    rule.month = 4;
    rule.leapMonth = true;
    rule.day = 30;
    rule.timeOfDay = 9 * 3600;
    nextFirings(state, rule);
}
BENCHMARK(BM_NextLunarYearly);

class NoHost final : public tikko::AlarmHost {
public:
    QString soundFilePath() const override { return {}; }
    tikko::Playback soundPlayback() const override { return tikko::Playback::Once; }
    void ringStarted(const tikko::Alarm&, bool) override {}
    void showNotification(const QString&, const QDateTime&, const QString&) override {}
    void processPendingEvents() override {}
    void alarmFired(const tikko::Alarm&) override {}
    void tellFailure(const QString&, bool, const QDateTime&) override {}
    void showMessage(const QString&) override {}
    void endProgramAtOnce() override {}
};

class NoActions final : public tikko::SystemActions {
public:
    bool playAlarmSound(const std::string&, const tikko::MessageSink&, tikko::Playback) override {
        return true;
    }
    void stopAlarmSound() override {}
    bool startProgram(const std::string&) override { return true; }
    bool openInBrowser(const std::string&) override { return true; }
    std::string getSystemFolder(const std::string&) override { return {}; }
    tikko::Termination terminateProcessByName(const std::string&) override {
        return tikko::Termination::NotRunning;
    }
    bool shutDownComputer(const tikko::MessageSink&) override { return false; }
    bool enableAutoStart() override { return true; }
    bool disableAutoStart() override { return true; }
    bool autoStartEntryExists() override { return true; }
};

class FixedClock final : public tikko::Clock {
public:
    QDateTime now() const override { return QDateTime(QDate(2026, 12, 9), QTime(7, 30)); }
};

// Each pass finds one repeating alarm due, fires it and moves it on a day: the pass then looks
// at every alarm once.
void BM_PassOverHalfRepeating(benchmark::State& state) {
    tikko::AlarmModel alarms;
    QList<tikko::Alarm> list;
    for (qint64 i = 0; i < state.range(0); ++i) {
        const QString time = QDateTime(QDate(2026, 12, 10), QTime(8, 0))
                                 .addSecs(60 * i)
                                 .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
        list.append(tikko::Alarm(
            tikko::StoreLine{time + (i % 2 ? QStringLiteral("|声音提醒||")
                                           : QStringLiteral("|声音提醒|||重复:每天 08:00")),
                             {}}));
    }
    alarms.append(list);
    NoHost host;
    NoActions actions;
    FixedClock clock;
    tikko::AlarmCheck check(alarms, actions, clock, host);
    const tikko::Alarm due(
        tikko::StoreLine{QStringLiteral("2026-12-09 07:30:00|声音提醒|||重复:每天 07:30"), {}});
    for (auto _ : state) {
        state.PauseTiming();
        alarms.replaceAt(0, due);
        state.ResumeTiming();
        check.run();
    }
}
BENCHMARK(BM_PassOverHalfRepeating)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
