// SPDX-License-Identifier: MIT
// What a reminder nobody answers costs: the processor time of the reminder window while it
// flashes on its own, and the memory, threads and open files of the program after the
// window was shown and the alarm sound started again and again, as a night of repeated
// alarms does (offscreen; the sound goes to the default sound server, if there is one).
#include "linux_system_actions.h"
#include "tikko/notification_window.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <sys/resource.h>

namespace {

double processorSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return t.tv_sec + t.tv_usec / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double residentMegabytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    }
    return 0;
}

qsizetype entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System).size();
}

void runEventLoop(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// Seconds of the event loop with one unanswered reminder on screen.
void BM_UnansweredReminder(benchmark::State& state) {
    tikko::NotificationWindow notification;
    notification.show(QStringLiteral("开会"), QDateTime::currentDateTime());
    double busy = 0;
    for (auto _ : state) {
        const double before = processorSeconds();
        runEventLoop(static_cast<int>(state.range(0)) * 1000);
        busy += processorSeconds() - before;
    }
    const double seconds = static_cast<double>(state.iterations() * state.range(0));
    state.counters["cpu_percent"] = 100 * busy / seconds;
    state.counters["flashing"] = notification.window()->isFlashing() ? 1 : 0;
}
BENCHMARK(BM_UnansweredReminder)
    ->ArgName("seconds")
    ->Arg(10)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

struct Footprint {
    double megabytes = residentMegabytes();
    qsizetype threads = entriesOf(QStringLiteral("/proc/self/task"));
    qsizetype files = entriesOf(QStringLiteral("/proc/self/fd"));
};

// range(0) rings, each showing the reminder (range(1) = 1) and starting the default ring
// anew, with a second of the event loop after each. Growth is counted from the end of the
// first ring, which loads the media libraries, and from the middle: flat is what counts.
void BM_Rings(benchmark::State& state) {
    const std::string sound = TIKKO_ALARM_SOUND;
    for (auto _ : state) {
        tikko::LinuxSystemActions actions;
        tikko::NotificationWindow notification;
        const int rings = static_cast<int>(state.range(0));
        Footprint first, middle;
        double busy = 0;
        for (int ring = 0; ring < rings; ++ring) {
            const double before = processorSeconds();
            if (state.range(1) == 1)
                notification.show(QStringLiteral("第 %1 次").arg(ring + 1),
                                  QDateTime::currentDateTime());
            if (!actions.playAlarmSound(sound)) {
                state.SkipWithError("the alarm sound could not be started");
                return;
            }
            runEventLoop(1000);
            if (ring > 0)
                busy += processorSeconds() - before;
            if (ring == 0)
                first = Footprint();
            if (ring == rings / 2)
                middle = Footprint();
        }
        const Footprint last;
        state.counters["rss_MB"] = last.megabytes;
        state.counters["rss_growth_MB"] = last.megabytes - first.megabytes;
        state.counters["rss_growth_2nd_half_MB"] = last.megabytes - middle.megabytes;
        state.counters["thread_growth"] = static_cast<double>(last.threads - first.threads);
        state.counters["thread_growth_2nd_half"] =
            static_cast<double>(last.threads - middle.threads);
        state.counters["fd_growth"] = static_cast<double>(last.files - first.files);
        state.counters["fd_growth_2nd_half"] = static_cast<double>(last.files - middle.files);
        state.counters["cpu_percent"] = rings > 1 ? 100 * busy / (rings - 1) : 0;
    }
}
BENCHMARK(BM_Rings)
    ->ArgNames({"rings", "window"})
    ->Args({50, 0})
    ->Args({50, 1})
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

} // namespace
