// SPDX-License-Identifier: MIT
// The command line of the built program, against a stopped program and a running one that keep
// the same store under the same lock.
#include "kalendo/lunar.h"
#include "program_fixture.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QStandardPaths>

namespace tikko::testing {
namespace {

class ProgramCommandLine : public ProgramFixture {};

TEST_F(ProgramCommandLine, StoppedAndRunningProgramsAnswerAlike) {
    // Stopped: the store itself.
    Outcome added = run({"add", "+2h", "--text", "stopped", "--advance", "0"});
    ASSERT_EQ(added.status, 0) << added.err.toStdString();
    EXPECT_TRUE(added.out.startsWith("1. ")) << added.out.toStdString();
    EXPECT_EQ(storeLines().size(), 1);
    Outcome quit = run({"quit"});
    EXPECT_EQ(quit.status, 0);
    EXPECT_FALSE(quit.err.isEmpty()); // says that nothing runs

    // Running: the program's list, saved at once; the store stays as the program writes it.
    auto running = startProgram();
    added = run({"add", "2030-01-05 07:30", "--type", "sound", "--repeat", "lunar-yearly:08-15"});
    ASSERT_EQ(added.status, 0) << added.err.toStdString();
    EXPECT_EQ(storeLines().size(), 2);
    EXPECT_TRUE(storeLines()[1].contains("重复:农历每年八月十五")) << storeLines()[1].toStdString();
    const Outcome listed = run({"list", "--json"});
    ASSERT_EQ(listed.status, 0);
    const QJsonArray alarms = QJsonDocument::fromJson(listed.out.toUtf8()).array();
    ASSERT_EQ(alarms.size(), 2);
    EXPECT_EQ(alarms[0].toObject()["prompt"].toString(), "stopped");
    EXPECT_EQ(alarms[1].toObject()["repeat"].toString(), "lunar-yearly:08-15");
    EXPECT_EQ(alarms[1].toObject()["line"].toString(), storeLines()[1]);
    EXPECT_TRUE(QRegularExpression(R"(^\d{4}-\d\d-\d\d \d\d:\d\d:\d\d$)")
                    .match(alarms[1].toObject()["time"].toString())
                    .hasMatch());

    // Bad input against the running program: one line, status 2, the store byte-identical.
    const QByteArray before = storeBytes();
    for (const QStringList& bad :
         {QStringList{"remove", "3"}, QStringList{"add", "2001-01-01 08:00"},
          QStringList{"add", "+1h", "--repeat", "yearly:02-30"}}) {
        const Outcome refused = run(bad);
        EXPECT_EQ(refused.status, 2) << bad.join(' ').toStdString();
        EXPECT_EQ(refused.err.count('\n'), 1) << refused.err.toStdString();
        EXPECT_EQ(storeBytes(), before);
    }

    EXPECT_EQ(run({"remove", "1"}).status, 0);
    EXPECT_EQ(storeLines().size(), 1);
    EXPECT_EQ(run({"show"}).status, 0);
    EXPECT_EQ(run({"quit"}).status, 0);
    ASSERT_TRUE(running->waitForFinished(10000));
    EXPECT_EQ(running->exitCode(), 0);

    // Stopped again: what the program saved is what the store holds.
    EXPECT_EQ(run({"list"}).out.count('\n'), 1);
    EXPECT_EQ(run({"remove", "--all"}).status, 0);
    EXPECT_EQ(storeBytes(), encodeStore(QStringList{}));
}

TEST_F(ProgramCommandLine, AStoreThatCannotBeWrittenIsStatusOneWithTheReason) {
    // A folder where the file belongs: no write can replace it, whoever runs the test.
    ASSERT_TRUE(QDir().mkdir(store));
    const Outcome refused = run({"add", "+3h"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_TRUE(refused.err.contains("alarm.ini")) << refused.err.toStdString();
    EXPECT_EQ(refused.err.count('\n'), 1);
    EXPECT_TRUE(QFileInfo(store).isDir());
}

// Commands that race each other, a program that starts among them and its own saves when
// alarms ring: every alarm is saved exactly once.
TEST_F(ProgramCommandLine, RacingCommandsLoseNothingAndDoubleNothing) {
    std::unique_ptr<QProcess> program;
    QElapsedTimer running;
    int rounds = 0;
    // Rounds against the stopped program, then a start among them, then rounds for long enough
    // that the program's checks fire the due alarms and save between the commands.
    for (; rounds < 6 || !running.isValid() || running.elapsed() < 8000; ++rounds) {
        if (rounds == 6) {
            program = start({});
            running.start();
        }
        auto due = start({"add", "+0m", "--type", "text", "--text", "due", "--advance", "0"});
        auto first = start({"add", "+3h", "--text", QString("a%1").arg(rounds)});
        auto second = start({"add", "+3h", "--text", QString("b%1").arg(rounds)});
        for (QProcess* process : {due.get(), first.get(), second.get()}) {
            const Outcome outcome = finish(*process);
            EXPECT_EQ(outcome.status, 0) << outcome.err.toStdString();
        }
    }
    ASSERT_EQ(run({"quit"}).status, 0);
    ASSERT_TRUE(program->waitForFinished(10000));
    const QStringList lines = storeLines();
    for (int round = 0; round < rounds; ++round) {
        for (const char* side : {"a", "b"}) {
            const QString prompt = QStringLiteral("|%1%2|").arg(QLatin1String(side)).arg(round);
            EXPECT_EQ(lines.filter(prompt).size(), 1) << prompt.toStdString();
        }
    }
    EXPECT_LT(lines.filter("|due|").size(), rounds) << "no alarm rang meanwhile";
}

} // namespace
} // namespace tikko::testing

namespace tikko::testing {
namespace {

// The export read back by a calendar program that runs without a screen: calcurse.
TEST_F(ProgramCommandLine, ExportReadsBackInACalendarProgramOnTheEnginesDates) {
    const QString calcurse = QStandardPaths::findExecutable("calcurse");
    if (calcurse.isEmpty())
        GTEST_SKIP() << "calcurse is not installed (scripts/install-deps.sh installs it)";
    ASSERT_EQ(run({"add", "2027-01-01 20:00", "--text", "赏月", "--repeat", "lunar-yearly:08-15",
                   "--advance", "0"})
                  .status,
              0);
    ASSERT_EQ(
        run({"add", "2027-01-04 07:30", "--text", "晨会", "--repeat", "weekly:mon,thu"}).status, 0);
    const QString file = folder.filePath("alarms.ics");
    const Outcome exported = run({"export", "--ics", file});
    ASSERT_EQ(exported.status, 0) << exported.err.toStdString();

    const QString data = folder.filePath("calcurse");
    QDir().mkpath(data);
    QProcess import;
    import.setProcessEnvironment(environment);
    import.start(calcurse, {"-D", data, "-i", file});
    ASSERT_TRUE(import.waitForFinished(30000));
    EXPECT_EQ(import.exitCode(), 0) << import.readAll().data();

    const QDate today = QDate::currentDate();
    const kalendo::Date horizon = kalendo::Date::fromYmd(today.year() + 10, today.month(), 1);
    QProcess query;
    query.setProcessEnvironment(environment);
    query.start(calcurse, {"-D", data, "-Q", "--from", "01/01/2027", "--days", "4000",
                           "--format-apt", "%(start:%Y-%m-%d %H:%M) %m\\n", "--format-recur-apt",
                           "%(start:%Y-%m-%d %H:%M) %m\\n"});
    ASSERT_TRUE(query.waitForFinished(30000));
    const QStringList lines = QString::fromUtf8(query.readAllStandardOutput()).split('\n');

    QStringList expected;
    for (int year = 2027;; ++year) {
        const kalendo::Date day = kalendo::LunarDate{year, 8, 15}.toSolar();
        if (day >= horizon)
            break;
        expected << QDate(day.year(), int(day.month()), int(day.day())).toString(Qt::ISODate) +
                        QStringLiteral(" 20:00 赏月");
    }
    EXPECT_EQ(lines.filter("赏月"), expected);
    // The weekly rule reaches the calendar as a rule: Mondays and Thursdays, at 07:30.
    const QStringList meetings = lines.filter("晨会");
    ASSERT_GT(meetings.size(), 500);
    for (const QString& meeting : meetings) {
        const QDate day = QDate::fromString(meeting.left(10), Qt::ISODate);
        EXPECT_TRUE(day.dayOfWeek() == 1 || day.dayOfWeek() == 4) << meeting.toStdString();
        EXPECT_EQ(meeting.mid(11, 5), "07:30");
    }
}

} // namespace
} // namespace tikko::testing
