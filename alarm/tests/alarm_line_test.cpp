// SPDX-License-Identifier: MIT
#include "support/fake_clock.h"
#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/alarm_model.h"

#include <QFile>
#include <gtest/gtest.h>

namespace tikko {
namespace {

using testing::at;

TEST(AlarmLine, SoundOnlyLineEndsWithTwoEmptyFields) {
    EXPECT_EQ(buildAlarmLine(at("2026-12-08 10:05:40"), reminder::Sound, {}, {}),
              QStringLiteral("2026-12-08 10:05:40|声音提醒||"));
}

TEST(AlarmLine, ProgramPathIsStoredRightAfterThePrefixWithBlanksKept) {
    const QString line =
        buildAlarmLine(at("2026-12-08 10:05:00"), reminder::Action, {},
                       action::RunProgramPrefix.toString() + "/opt/my tools/run me");
    EXPECT_EQ(line, QStringLiteral("2026-12-08 10:05:00|附加动作||运行软件:/opt/my tools/run me"));
    EXPECT_EQ(Alarm(StoreLine{line, {}}).action(), QStringLiteral("运行软件:/opt/my tools/run me"));
}

TEST(AlarmLine, BarInPromptBecomesFullWidthSoFieldsStayInPlace) {
    const QString line = buildAlarmLine(at("2026-12-08 10:05:00"), reminder::SoundAndText,
                                        QStringLiteral("a|b|c"), {});
    const Alarm fields(StoreLine{line, {}});
    EXPECT_EQ(fields.type(), reminder::SoundAndText);
    EXPECT_EQ(fields.prompt(), QStringLiteral("a｜b｜c"));
    EXPECT_TRUE(fields.action().isEmpty());
}

TEST(AlarmLine, SplitReadsMissingTrailingFieldsAsEmptyAndKeepsBarsInTheAction) {
    const Alarm two(StoreLine{QStringLiteral("2026-12-08 10:05:00|声音提醒"), {}});
    EXPECT_EQ(two.time(), QStringLiteral("2026-12-08 10:05:00"));
    EXPECT_EQ(two.type(), reminder::Sound);
    EXPECT_TRUE(two.prompt().isEmpty());
    EXPECT_TRUE(two.action().isEmpty());

    const Alarm program(StoreLine{QStringLiteral("t|附加动作||运行软件:/a|b"), {}});
    EXPECT_EQ(program.action(), QStringLiteral("运行软件:/a|b"));

    const Alarm none(StoreLine{QString(), {}});
    EXPECT_TRUE(none.time().isEmpty() && none.type().isEmpty());
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

TEST(AlarmTime, RejectsImpossibleDatesZoneNamesAndOtherForms) {
    for (const char* text :
         {"2026-02-30", "2026-13-01", "2026-01-01 24:00:00", "2026-01-01 10:60:00", "2026-1/1",
          "2026-01-01 10:00:00 CET", "2026-01-01T10:00:00", "", "abc", "2026-01-01 10:0",
          "2026-01-01 10:00:0", "026-01-01", "20260-01-01", "2026-01-01 AM", "2026-01-01 0:05 AM",
          "2026-01-01 10:05 AM PM", "8 Dec 2026", "2026-01-01 10:05:00:00"}) {
        EXPECT_FALSE(parseAlarmTime(QString::fromLatin1(text))) << text;
        EXPECT_FALSE(parseAlarmMinute(QString::fromLatin1(text))) << text;
    }
    EXPECT_TRUE(parseAlarmTime(QStringLiteral("2024-02-29")));
}

TEST(AlarmTime, ReadsTimesWithoutSecondsTwoDigitYearsAndAmPm) {
    // Before: these lines stayed in the list and never fired.
    const AlarmTimeForms us(QLocale(QStringLiteral("en_US")));
    const QDateTime expected = at("2026-12-08 10:05:00");
    for (const char* text : {"12/8/26 10:05:00", "12/8/2026 10:05:00 AM", "2026-12-08 10:05",
                             "12/8/26 10:05am", "12/8/26 AM 10:05"}) {
        const auto parsed = parseAlarmTime(QString::fromLatin1(text), us);
        ASSERT_TRUE(parsed) << text;
        EXPECT_EQ(*parsed, expected) << text;
    }
    EXPECT_EQ(parseAlarmTime(QStringLiteral("12/8/26 12:00:00 AM"), us), at("2026-12-08 00:00:00"));
    EXPECT_EQ(parseAlarmTime(QStringLiteral("12/8/26 12:59 PM"), us), at("2026-12-08 12:59:00"));
    EXPECT_EQ(parseAlarmTime(QStringLiteral("1/1/99 11:00 PM"), us), at("2099-01-01 23:00:00"));
    EXPECT_EQ(parseAlarmTime(QStringLiteral("1/1/00"), us), at("2000-01-01 00:00:00"));
}

// What each locale writes for 2026-12-09 10:30 (and the date alone at midnight), the way the
// old program did on Windows with that locale's regional settings.
struct WrittenForm {
    const char* locale;
    const char* text;
};
constexpr WrittenForm WrittenForms[] = {
    {"en_US", "12/9/2026 10:30:00 AM"},
    {"en_US", "12/9/26 10:30:00 AM"},
    {"en_US", "12/9/2026"},
    {"en_US", "12/9/26"},
    {"en_GB", "09/12/2026 10:30:00"},
    {"en_GB", "09/12/2026"},
    {"de_DE", "09.12.2026 10:30:00"},
    {"de_DE", "09.12.26 10:30:00"},
    {"de_DE", "09.12.2026"},
    {"zh_CN", "2026/12/9 10:30:00"},
    {"zh_CN", "2026-12-9 10:30:00"},
    {"zh_CN", "2026/12/9 上午10:30:00"},
    {"zh_CN", "2026/12/9"},
};

TEST(AlarmTime, EveryLocalesFormsAreReadRightUnderItselfAndNeverWrongUnderAnother) {
    // Before: "12/9/2026 10:30:00 AM" read as 12 September under C and de_DE, "09/12/2026" as
    // 12 September under en_US, "12/9/26" as 2012-09-26 under zh_CN: alarms fired early.
    for (const char* reader : {"en_US", "en_GB", "de_DE", "zh_CN", "C"}) {
        const AlarmTimeForms forms{QLocale(QLatin1String(reader))};
        for (const WrittenForm& form : WrittenForms) {
            const QString text = QString::fromUtf8(form.text);
            const bool dateOnly = !text.contains(QLatin1Char(':'));
            const QDateTime expected = at(dateOnly ? "2026-12-09 00:00:00" : "2026-12-09 10:30:00");
            const auto read = parseAlarmTime(text, forms);
            const bool ownForm = std::string_view(reader) == form.locale;
            // "2026/…" and "2026-…": a year in front cannot be mistaken.
            const bool yearFirst =
                text.indexOf(QLatin1Char('/')) == 4 || text.indexOf(QLatin1Char('-')) == 4;
            if (ownForm || yearFirst) {
                EXPECT_EQ(read, expected) << form.text << " under " << reader;
            } else {
                // Not this locale's own form: not guessed.
                EXPECT_FALSE(read) << form.text << " under " << reader << " read as "
                                   << read->toString(Qt::ISODate).toStdString();
            }
        }
    }
}

TEST(AlarmTime, AnAmbiguousDateIsReadOnlyInTheLocalesOrderSeparatorAndDigits) {
    const auto read = [](const char* locale, const char* text) {
        const auto parsed =
            parseAlarmTime(QString::fromUtf8(text), AlarmTimeForms(QLocale(QLatin1String(locale))));
        return parsed ? parsed->toString(QStringLiteral("yyyy-MM-dd HH:mm")).toStdString()
                      : std::string("-");
    };
    EXPECT_EQ(read("en_US", "12/8/26 10:05"), "2026-12-08 10:05");
    EXPECT_EQ(read("en_GB", "12/08/26 10:05"), "2026-08-12 10:05");
    EXPECT_EQ(read("nl_NL", "08-12-26 10:05"), "2026-12-08 10:05");
    // Another locale's digits, separator or year: en_GB writes no "8", en_US no "08", zh_CN
    // no two-digit year in front; a Chinese "yy-M-d" under en_US.
    EXPECT_EQ(read("en_GB", "12/8/26 10:05"), "-");
    EXPECT_EQ(read("en_US", "08/12/2026 10:05"), "-");
    EXPECT_EQ(read("zh_CN", "12/8/26 10:05"), "-");
    EXPECT_EQ(read("en_US", "26-12-8 10:05"), "-");
    EXPECT_EQ(read("en_US", "8.12.26 10:05"), "-");
    // Separators and markers of the locale itself.
    EXPECT_EQ(read("fi_FI", "8.12.2026 22.05.00"), "2026-12-08 22:05");
    EXPECT_EQ(read("ko_KR", "26. 12. 8. 오후 10:05:00"), "2026-12-08 22:05");
    EXPECT_EQ(read("zh_CN", "2026/12/8 下午10:05:00"), "2026-12-08 22:05");
    EXPECT_EQ(read("en_GB", "08/12/2026 10:05 pm"), "2026-12-08 22:05");
}

TEST(AlarmTime, OldStoresOfEachLocaleReadAsTheirLinesSay) {
    // Each store line's prompt holds the minute it must read as, "-" when unreadable.
    for (const char* locale : {"en_US", "en_GB", "de_DE", "zh_CN", "C"}) {
        const AlarmTimeForms forms{QLocale(QLatin1String(locale))};
        QFile file(
            QStringLiteral(TIKKO_STORE_DATA_DIR "/alarm-dates-%1.ini").arg(QLatin1String(locale)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << locale;
        for (const QString& line :
             QString::fromUtf8(file.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
            const Alarm fields(StoreLine{line, {}}, forms);
            const auto parsed = parseAlarmTime(fields.time(), forms);
            const QString read =
                parsed ? parsed->toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QStringLiteral("-");
            EXPECT_EQ(read, fields.prompt()) << locale << ": " << line.toStdString();
            EXPECT_EQ(fields.readable(), parsed.has_value());
        }
    }
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
