// SPDX-License-Identifier: MIT
// The pass over a list of 100,000 lines none of which is due, loading a large store into the
// window, start-up to a shown main window with an empty store (offscreen), and the costliest
// advertisement pages that are still shown.
#include "recording_system_actions.h"
#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/alarm_store.h"
#include "tikko/alarm/clock.h"
#include "tikko/shell/advertisement.h"
#include "tikko/shell/frm_main.h"
#include "tikko/shell/secondary_windows.h"
#include "tikko/shell/single_instance.h"

#include <QApplication>
#include <QElapsedTimer>
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
    tikko::DesktopInterface ui{settings};
    QString store = dir.filePath("alarm.ini");

    std::unique_ptr<tikko::FrmMain> window() {
        return std::make_unique<tikko::FrmMain>(tikko::MainWindowContext{
            actions, clock, monotonic, settings, ui, tikko::ProgramFiles(dir.path()), store, {}});
    }

    // A store of that many alarms, none of them due.
    void writeStore(qint64 count) {
        const QDateTime base = QDateTime::currentDateTime().addDays(1);
        QStringList lines;
        lines.reserve(count);
        for (qint64 i = 0; i < count; ++i)
            lines.append(
                tikko::buildAlarmLine(base.addSecs(61 * i), tikko::reminder::Sound, {}, {}));
        tikko::saveStore(store, lines);
    }

    // A window loaded with that many alarms, none of them due.
    std::unique_ptr<tikko::FrmMain> windowWithAlarms(qint64 count) {
        writeStore(count);
        auto loaded = window();
        loaded->formLoad();
        return loaded;
    }
};

void BM_PassOverLinesNotDue(benchmark::State& state) {
    Fixture fixture;
    auto window = fixture.windowWithAlarms(state.range(0));
    if (window->alarms().count() != state.range(0))
        state.SkipWithError("store not loaded");
    for (auto _ : state)
        window->alarmCheck().run();
    if (!fixture.actions.calls().empty())
        state.SkipWithError("a line fired");
}
BENCHMARK(BM_PassOverLinesNotDue)->Arg(100000)->Unit(benchmark::kMillisecond);

// The pass that finds the earliest alarm due and fires it, among many that are not: the one
// pass that has to look at every alarm.
void BM_PassFiringOneAmongMany(benchmark::State& state) {
    Fixture fixture;
    auto window = fixture.windowWithAlarms(state.range(0));
    const tikko::StoreLine due{QStringLiteral("2000-01-01 10:00:00|文本框提醒|x|"), {}};
    for (auto _ : state) {
        state.PauseTiming();
        window->alarms().append(tikko::Alarm(due));
        state.ResumeTiming();
        window->alarmCheck().run();
    }
    if (window->alarms().count() != state.range(0))
        state.SkipWithError("the due alarm did not fire");
}
BENCHMARK(BM_PassFiringOneAmongMany)->Arg(100000)->Unit(benchmark::kMillisecond);

// Start-up's load of a large store: read, decoded, parsed once into the model, shown by the
// list. Linear in the store's size.
void BM_LoadStoreIntoWindow(benchmark::State& state) {
    Fixture fixture;
    fixture.writeStore(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto window = fixture.window();
        state.ResumeTiming();
        window->formLoad();
        state.PauseTiming();
        if (window->alarms().count() != state.range(0))
            state.SkipWithError("lines lost");
        window.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadStoreIntoWindow)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

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
    if (window->alarms().count() <= state.range(0))
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

// Pages of 256 KB, the most the loader takes, each as costly to lay out as the bounds let
// one shape be; the rest of the bytes a comment, which is dropped before the layout.
struct CostlyPage {
    const char* shape;
    QString html;
};

QString repeated(const QString& unit, qsizetype times) {
    QString text;
    text.reserve(unit.size() * times);
    for (qsizetype i = 0; i < times; ++i)
        text += unit;
    return text;
}

std::vector<CostlyPage> costlyPages() {
    const tikko::AdvertisementLimits l;
    const QString word = repeated(QStringLiteral("x"), l.maxWordChars);
    const auto words = [&](qsizetype chars) {
        return repeated(QStringLiteral("abcdefg "), chars / 8);
    };
    const auto nested = [](const QString& open, const QString& close, int depth,
                           const QString& inner) {
        return repeated(open, depth) + inner + repeated(close, depth);
    };
    QString style;
    for (int i = 0; style.size() < l.maxStyleChars - 60; ++i)
        style += QStringLiteral("div div div p b.c%1, td i.x%1 { color: red }\n").arg(i);
    const int perCell = l.maxTextChars / l.maxElements;
    std::vector<CostlyPage> pages = {
        {"text", words(l.maxTextChars)},
        {"chinese text", repeated(QStringLiteral("闹钟好帮手"), l.maxTextChars / 5)},
        {"longest words", repeated(word + " ", l.maxTextChars / (l.maxWordChars + 1))},
        {"inline formats", "<p>" + repeated("<b>" + words(perCell) + "</b>", l.maxElements - 1)},
        {"paragraphs", repeated("<p>" + words(perCell) + "</p>", l.maxElements)},
        {"list items", "<ul>" + repeated("<li>" + words(perCell), l.maxElements - 1) + "</ul>"},
        {"pictures", repeated(QStringLiteral("<img src=p.png width=20 height=20>"), l.maxElements)},
        {"huge pictures", repeated(QStringLiteral("<img src=p.png width=30000 height=30000>"), 20)},
        {"nested tables, long words",
         repeated(nested("<table border=1><tr><td>", "</td><td>" + word + "</td></tr></table>",
                         l.maxTableDepth, word),
                  l.maxTextChars / (word.size() * (l.maxTableDepth + 1)))},
        {"nested tables, many", repeated(nested("<table border=1><tr><td>", "</td></tr></table>",
                                                l.maxTableDepth, words(perCell)),
                                         l.maxElements / (3 * l.maxTableDepth))},
        {"table grid", "<table border=1><tr><td colspan=" + QString::number(l.maxTableCells / 20) +
                           ">x" + repeated("<tr><td>" + words(perCell), 19) + "</table>"},
        {"table of long words", "<table border=1><tr>" +
                                    repeated("<td>" + word, l.maxTextChars / l.maxWordChars) +
                                    "</table>"},
        {"deep nesting", repeated(nested("<div><blockquote><b>", "</b></blockquote></div>",
                                         l.maxDepth / 3, words(perCell * l.maxDepth)),
                                  l.maxElements / l.maxDepth)},
        {"style sheet", "<style>" + style + "</style>" +
                            repeated(nested("<div>", "</div>", l.maxDepth - 2,
                                            "<p><b class=c1>" + words(perCell) + "</b></p>"),
                                     l.maxElements / l.maxDepth)},
        {"style attributes",
         [&] {
             const QString element = "<b style='color:red;" +
                                     repeated(QStringLiteral("margin:1px;"), 10) + "'>" +
                                     words(perCell) + "</b>";
             return repeated(element, std::min<qsizetype>(l.maxElements - 1,
                                                          l.maxMarkupChars / element.size()));
         }()},
        {"huge font", "<p style='font-size:5000px'>" + words(l.maxTextChars / 10) + "</p>"},
    };
    for (CostlyPage& page : pages) {
        const qsizetype padding = l.maxPageBytes - page.html.toUtf8().size() - 7;
        if (padding > 0)
            page.html += "<!--" + QString(padding, QLatin1Char('-')) + "-->";
    }
    return pages;
}

// From the page's arrival to its first layout: measuring, setHtml, asking for its pictures,
// and the layout that showing it needs.
void BM_ShowCostliestAdvertisementPage(benchmark::State& state) {
    const CostlyPage page = costlyPages().at(state.range(0));
    state.SetLabel(page.shape);
    const tikko::AdvertisementLimits limits;
    if (page.html.toUtf8().size() > limits.maxPageBytes ||
        !tikko::measureAdvertisementPage(page.html, limits).fits(limits)) {
        state.SkipWithError("the page is beyond the bounds");
        return;
    }
    QWidget panel;
    panel.resize(335, 288);
    for (auto _ : state) {
        tikko::AdvertisementBrowser web(&panel);
        web.resize(panel.size());
        web.loader().setLimits(limits);
        // As the loader hands it over: measured and stripped first.
        const tikko::AdvertisementPage measured =
            tikko::measureAdvertisementPage(page.html, limits);
        emit web.loader().pageArrived(QUrl("http://127.0.0.1/ad4.asp"), measured.html);
        benchmark::DoNotOptimize(web.document()->size());
        state.PauseTiming();
        QCoreApplication::processEvents(); // drops the picture requests
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ShowCostliestAdvertisementPage)
    ->DenseRange(0, 15)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// Pages that are refused still pass through the measuring, on the same thread: 256 KB of
// open tags, of end tags that close nothing, and the 25,000 nested lists.
void BM_MeasureRefusedAdvertisementPage(benchmark::State& state) {
    const tikko::AdvertisementLimits limits;
    const qsizetype bytes = limits.maxPageBytes;
    const QString pages[] = {
        repeated(QStringLiteral("<b>"), bytes / 3),
        QStringLiteral("<b><b><b>") + repeated(QStringLiteral("</i>"), bytes / 4),
        repeated(QStringLiteral("<ul><li>"), 25000),
    };
    const QString& page = pages[state.range(0)];
    for (auto _ : state) {
        if (tikko::measureAdvertisementPage(page, limits).fits(limits))
            state.SkipWithError("the page fits");
    }
}
BENCHMARK(BM_MeasureRefusedAdvertisementPage)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);

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
