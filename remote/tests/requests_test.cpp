// SPDX-License-Identifier: MIT
// The command line read into requests, and requests carried out on a store, without a window.
#include "kalendo/date.h"
#include "support/fake_clock.h"
#include "tikko/alarm/alarm_calendar.h"
#include "tikko/alarm/alarm_editor.h"
#include "tikko/remote/alarm_requests.h"
#include "tikko/remote/command_line.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tikko {
namespace {

using testing::at;
using testing::FakeClock;

ParsedCommandLine parse(std::initializer_list<const char*> words) {
    QStringList arguments;
    for (const char* word : words)
        arguments << QString::fromUtf8(word);
    return parseCommandLine(arguments);
}

TEST(CommandLine, BadInputIsOneLineAndNoRequest) {
    const std::initializer_list<const char*> bad[] = {
        {"ad", "+5m"},
        {"--lsit"},
        {"add"},
        {"add", "+5x"},
        {"add", "tomorrow"},
        {"add", "+5m", "+6m"},
        {"add", "+5m", "--type", "loud"},
        {"add", "+5m", "--type"},
        {"add", "+5m", "--type", "sound", "--type", "text"},
        {"add", "+5m", "--type", "sound", "--text", "tea"}, // a sound shows no text
        {"add", "+5m", "--type", "text", "--action", "shutdown"},
        {"add", "+5m", "--action", "close-qq", "--run", "/bin/true"},
        {"add", "+5m", "--action", "run"},
        {"add", "+5m", "--run", "no-such-program-anywhere"},
        {"add", "+5m", "--advance", "two"},
        {"add", "+5m", "--repeat", "fortnightly"},
        {"add", "+5m", "--repeat", "monthly:32"},
        {"add", "+5m", "--repeat", "weekly:"},
        {"list", "--xml"},
        {"remove"},
        {"remove", "0"},
        {"remove", "two"},
        {"remove", "3", "--all"},
        {"show", "now"},
        {"export", "--ics", "a.ics", "b.ics"},
    };
    for (const auto& words : bad) {
        const ParsedCommandLine parsed = parse(words);
        EXPECT_FALSE(parsed.error.isEmpty()) << words.begin()[0];
        EXPECT_FALSE(parsed.error.contains(QLatin1Char('\n'))) << parsed.error.toStdString();
    }
}

TEST(CommandLine, ReadsNamesInEitherLanguageAndLeavesDefaultsToTheTarget) {
    auto parsed = parse({"add", "2026-12-09", "07:30", "--type=sound-text", "--text", "起床",
                         "--repeat", "lunar-yearly:leap04-08", "--advance", "0"});
    ASSERT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    EXPECT_EQ(parsed.request.time, "2026-12-09 07:30");
    EXPECT_EQ(parsed.request.type, "声音及文本提醒");
    EXPECT_EQ(parsed.request.prompt, "起床");

    parsed = parse({"add", "+1h30m", "--action", "关闭QQ"});
    ASSERT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    EXPECT_EQ(parsed.request.action, "关闭QQ");
    EXPECT_TRUE(parsed.request.type.isEmpty());
    EXPECT_FALSE(parsed.request.prompt.has_value());
    EXPECT_TRUE(parsed.request.advance.isEmpty());

    // A text alone asks for a type that shows it; a program is found on PATH.
    parsed = parse({"add", "+5m", "--text", "tea"});
    EXPECT_EQ(parsed.request.type, "声音及文本提醒");
    parsed = parse({"add", "+5m", "--run", "sh"});
    ASSERT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
    EXPECT_TRUE(parsed.request.program.endsWith("/sh"));

    // What a desktop session hands the program still starts it.
    EXPECT_EQ(parse({"-session", "abc"}).request.command, Request::Command::Start);
    EXPECT_EQ(parse({"remove", "--all"}).request.all, true);
}

TEST(CommandLine, RequestsCrossTheChannelWhole) {
    Request request = parse({"add", "+5m", "--text", "a|b\n\"c\""}).request;
    const auto back = Request::fromLine(request.toLine());
    ASSERT_TRUE(back);
    EXPECT_FALSE(request.toLine().contains('\n'));
    EXPECT_EQ(back->prompt, request.prompt);
    EXPECT_EQ(back->type, request.type);
    const Answer answer{1, QStringLiteral("多行\n输出\n"), QStringLiteral("为什么"), 3};
    const auto read = Answer::fromLine(answer.toLine());
    ASSERT_TRUE(read);
    EXPECT_EQ(read->out, answer.out);
    EXPECT_EQ(read->status, 1);
    EXPECT_FALSE(Request::fromLine("show"));
    EXPECT_FALSE(Request::fromLine(R"({"command":"format-disk"})"));
}

class StoreRequests : public ::testing::Test {
public:
    QTemporaryDir folder;
    QSettings settings{QSettings::IniFormat, QSettings::UserScope, "TikkoTest", "remote"};
    FakeClock clock{at("2026-12-09 07:00:00")};
    QString store;

    void SetUp() override {
        store = folder.filePath("alarm.ini");
        settings.clear();
    }
    StoreLocation location() const { return {folder.path(), store, store}; }
    QByteArray bytes() const {
        QFile file(store);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    Answer run(std::initializer_list<const char*> words) {
        const ParsedCommandLine parsed = parse(words);
        EXPECT_TRUE(parsed.error.isEmpty()) << parsed.error.toStdString();
        StoreTarget target(location(), settings);
        return runRequest(parsed.request, target, clock);
    }
};

TEST_F(StoreRequests, AddMakesTheEditorsLineWithTheEditorsDefaults) {
    settings.setValue("option/Time", "5");
    const Answer added = run({"add", "2026-12-09 08:00"});
    ASSERT_EQ(added.status, 0) << added.err.toStdString();
    EXPECT_EQ(added.position, 1);

    EditorInput input;
    input.momentText = "2026-12-09 08:00";
    input.advanceText = "5";
    input.type = ReminderTypes[0].text.toString();
    input.actionEnabled = true;
    input.action = AdditionalActions[0].item.toString();
    const AddOutcome editor = AlarmEditor(clock).add(input);
    EXPECT_EQ(bytes(), encodeStore(QStringList{editor.line}));

    // A rule: the first occurrence not in the past, the rule kept in words.
    ASSERT_EQ(run({"add", "2026-12-09 06:00", "--repeat", "workdays", "--type", "sound",
                   "--advance", "0"})
                  .status,
              0);
    const QJsonArray list = QJsonDocument::fromJson(run({"list", "--json"}).out.toUtf8()).array();
    ASSERT_EQ(list.size(), 2);
    const QJsonObject second = list[1].toObject();
    EXPECT_EQ(second["time"].toString(), "2026-12-10 06:00:00"); // 06:00 today has passed
    EXPECT_EQ(second["repeat"].toString(), "workdays");
    EXPECT_EQ(second["type"].toString(), "声音提醒");
    EXPECT_EQ(second["position"].toInt(), 2);
}

TEST_F(StoreRequests, BadInputAndPastMomentsLeaveTheStoreByteIdentical) {
    ASSERT_EQ(run({"add", "+1h", "--text", "one"}).status, 0);
    const QByteArray before = bytes();
    EXPECT_EQ(run({"add", "2026-12-09 06:59"}).status, 2); // the minute has passed
    EXPECT_EQ(run({"add", "+1h", "--advance", "99999999999"}).status, 2);
    EXPECT_EQ(run({"remove", "2"}).status, 2);
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(run({"remove", "1"}).status, 0);
    EXPECT_EQ(bytes(), encodeStore(QStringList{}));
}

TEST_F(StoreRequests, AStoreThatCannotBeReadWholeIsNeverRewritten) {
    // A UTF-16 file with a lone surrogate: its text would come back with replacement characters.
    const QByteArray broken = QByteArray::fromHex("fffe") +
                              QByteArray("2\0000\0002\0007\000-\0000\0001\000", 14) +
                              QByteArray::fromHex("00d8") + QByteArray("\r\0\n\0", 4);
    QFile file(store);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(broken);
    file.close();
    const Answer answer = run({"add", "+1h"});
    EXPECT_EQ(answer.status, 1);
    EXPECT_TRUE(answer.err.contains(store)) << answer.err.toStdString();
    EXPECT_EQ(bytes(), broken);
}

TEST(AlarmCalendarExport, RulesBecomeWhatEveryCalendarReads) {
    const QDateTime now = at("2026-12-09 07:00:00");
    const auto alarm = [](const char* line) {
        return Alarm(StoreLine{QString::fromUtf8(line), {}});
    };
    const QList<Alarm> alarms{
        alarm("2026-12-31 07:28:00|声音提醒|||重复:每月31日 07:30 提前2分钟"),
        alarm("2028-02-29 08:00:00|声音提醒|||重复:每年2月29日 08:00"),
        alarm("2026-12-10 07:00:00|声音提醒|||重复:工作日 07:00"),
        alarm("2026-12-30 09:00:00|声音提醒|||重复:每月30日 09:00"),
        alarm("2026-12-10 09:00:00|文本框提醒|开会|"),
        alarm("2026-12-10 09:00:00|文本框提醒|开会|"),
        alarm("not a time|文本框提醒|x|"),
    };
    const AlarmCalendar calendar = alarmCalendar(alarms, now);
    const QString text = QString::fromUtf8(calendar.text);
    EXPECT_EQ(calendar.alarms, 6);
    EXPECT_EQ(calendar.skipped, 1);
    EXPECT_TRUE(text.contains("RRULE:FREQ=MONTHLY;BYMONTHDAY=-1\r\n"));
    EXPECT_TRUE(text.contains("RRULE:FREQ=YEARLY;BYMONTH=2;BYMONTHDAY=-1\r\n"));
    EXPECT_TRUE(text.contains("RRULE:FREQ=WEEKLY;BYDAY=MO,TU,WE,TH,FR\r\n"));
    EXPECT_TRUE(text.contains("DTSTART:20261231T073000\r\n")); // the occurrence, not the firing
    EXPECT_TRUE(text.contains("TRIGGER:-PT2M\r\n"));
    // Day 30 falls on 28 February: written out, not as a rule that skips February.
    EXPECT_TRUE(text.contains("DTSTART:20270228T090000\r\n"));
    EXPECT_FALSE(text.contains("BYSETPOS"));
    for (const QString& line : text.split(QStringLiteral("\r\n")))
        EXPECT_LE(line.toUtf8().size(), 75);

    // Two alike alarms are two events; an alarm that moved on keeps its UID.
    QStringList uids;
    for (const QString& line : text.split(QStringLiteral("\r\n"))) {
        if (line.startsWith("UID:"))
            uids << line;
    }
    EXPECT_EQ(uids.removeDuplicates(), 0);
    const Alarm moved =
        alarms[2].movedTo(kalendo::DateTime{kalendo::Date::fromYmd(2026, 12, 11), 7 * 3600});
    const QString again = QString::fromUtf8(alarmCalendar({moved}, now).text);
    EXPECT_TRUE(again.contains(uids[2])) << uids[2].toStdString();
}

} // namespace
} // namespace tikko
