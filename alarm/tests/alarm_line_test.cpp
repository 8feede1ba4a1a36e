#include "support/fake_clock.h"
#include "tikko/alarm/alarm_line.h"

#include <gtest/gtest.h>

namespace tikko {
namespace {

using testing::at;

TEST(AlarmLine, SoundOnlyLineEndsWithTwoEmptyFields) {
    EXPECT_EQ(buildAlarmLine(at("2026-12-08 10:05:40"), reminder::Sound, {}, {}),
              QStringLiteral("2026-12-08 10:05:40|声音提醒||"));
}

TEST(AlarmLine, ProgramPathIsStoredRightAfterThePrefixWithBlanksKept) {
    const QString line = buildAlarmLine(at("2026-12-08 10:05:00"), reminder::Action, {},
                                        action::RunProgramPrefix + "/opt/my tools/run me");
    EXPECT_EQ(line, QStringLiteral("2026-12-08 10:05:00|附加动作||运行软件:/opt/my tools/run me"));
    EXPECT_EQ(splitAlarmLine(line).action, QStringLiteral("运行软件:/opt/my tools/run me"));
}

TEST(AlarmLine, BarInPromptBecomesFullWidthSoFieldsStayInPlace) {
    const QString line = buildAlarmLine(at("2026-12-08 10:05:00"), reminder::SoundAndText,
                                        QStringLiteral("a|b|c"), {});
    const AlarmFields fields = splitAlarmLine(line);
    EXPECT_EQ(fields.type, reminder::SoundAndText);
    EXPECT_EQ(fields.prompt, QStringLiteral("a｜b｜c"));
    EXPECT_TRUE(fields.action.isEmpty());
}

TEST(AlarmLine, SplitReadsMissingTrailingFieldsAsEmptyAndKeepsBarsInTheAction) {
    AlarmFields fields = splitAlarmLine(QStringLiteral("2026-12-08 10:05:00|声音提醒"));
    EXPECT_EQ(fields.time, QStringLiteral("2026-12-08 10:05:00"));
    EXPECT_EQ(fields.type, reminder::Sound);
    EXPECT_TRUE(fields.prompt.isEmpty());
    EXPECT_TRUE(fields.action.isEmpty());

    fields = splitAlarmLine(QStringLiteral("t|附加动作||运行软件:/a|b"));
    EXPECT_EQ(fields.action, QStringLiteral("运行软件:/a|b"));

    fields = splitAlarmLine(QString());
    EXPECT_TRUE(fields.time.isEmpty() && fields.type.isEmpty());
}

TEST(AlarmTime, WritesFourDigitYearsAndTheDateAloneAtMidnight) {
    EXPECT_EQ(formatAlarmTime(at("2026-01-02 03:04:05")), QStringLiteral("2026-01-02 03:04:05"));
    EXPECT_EQ(formatAlarmTime(at("2026-01-02 00:00:00")), QStringLiteral("2026-01-02"));
    EXPECT_EQ(formatAlarmTime(at("0999-01-02 00:00:01")), QStringLiteral("0999-01-02 00:00:01"));
    EXPECT_EQ(formatClockTime(at("2026-01-02 00:00:00")), QStringLiteral("2026-01-02 00:00:00"));
}

TEST(AlarmTime, ReadsTheFormsOfThisProgramAndOfChineseWindows) {
    const QDateTime expected = at("2026-03-04 05:06:07");
    for (const char* text : {"2026-03-04 05:06:07", "2026/3/4 5:06:07", "2026-3-4 5:06:07",
                             "2026/03/04 05:06:07", " 2026-3-4 5:06:07 "}) {
        const auto parsed = parseAlarmTime(QString::fromLatin1(text));
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(*parsed, expected) << text;
    }
    for (const char* text : {"2026-03-04", "2026/3/4", "2026-3-4"}) {
        const auto parsed = parseAlarmTime(QString::fromLatin1(text));
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(*parsed, at("2026-03-04 00:00:00")) << text;
    }
}

TEST(AlarmTime, RejectsTwoDigitYearsImpossibleDatesAndZoneNames) {
    for (const char* text :
         {"12/8/26", "26-12-8 10:00:00", "2026-02-30", "2026-13-01", "2026-01-01 24:00:00",
          "2026-01-01 10:60:00", "2026-1/1", "2026-01-01 10:00:00 CET", "2026-01-01T10:00:00", "",
          "abc", "2026-01-01 10:00"}) {
        EXPECT_FALSE(parseAlarmTime(QString::fromLatin1(text))) << text;
        EXPECT_FALSE(parseAlarmMinute(QString::fromLatin1(text))) << text;
    }
    EXPECT_TRUE(parseAlarmTime(QStringLiteral("2024-02-29")));
}

TEST(AlarmTime, WrittenTimeReadsBackToTheSameMinute) {
    for (const char* text : {"2026-12-31 23:59:59", "2026-01-01 00:00:00", "2000-02-29 12:00:30"}) {
        const QDateTime time = at(text);
        const auto minute = parseAlarmMinute(formatAlarmTime(time));
        ASSERT_TRUE(minute) << text;
        EXPECT_EQ(*minute, minuteOf(time)) << text;
    }
}

TEST(MinuteDifference, CountsMinuteBoundariesNotElapsedSeconds) {
    const qint64 alarm = minuteOf(at("2026-12-08 10:05:59"));
    EXPECT_EQ(minuteDifference(alarm, minuteOf(at("2026-12-08 10:04:59"))), -1);
    EXPECT_EQ(minuteDifference(alarm, minuteOf(at("2026-12-08 10:05:00"))), 0);
    EXPECT_EQ(minuteDifference(alarm, minuteOf(at("2026-12-08 10:06:00"))), 1);
    // Across midnight and a year's end.
    EXPECT_EQ(
        minuteDifference(minuteOf(at("2026-12-31 23:59:30")), minuteOf(at("2027-01-01 00:00:01"))),
        1);
}

} // namespace
} // namespace tikko
