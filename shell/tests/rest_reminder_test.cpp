// SPDX-License-Identifier: MIT
#include "support/fake_clock.h"
#include "tikko/shell/rest_reminder.h"

#include <gtest/gtest.h>
#include <vector>

namespace tikko {
namespace {

using testing::FakeMonotonicClock;

constexpr qint64 Second = 1000;
constexpr qint64 Day = 24 * 3600 * Second;

class RestReminderTest : public ::testing::Test {
protected:
    FakeMonotonicClock clock;
    RestReminder reminder{clock};

    // Ticks once a second up to the given run second; the seconds that reminded.
    std::vector<qint64> runUntil(qint64 lastSecond, const QString& interval, bool on = true) {
        std::vector<qint64> reminded;
        for (qint64 s = clock.elapsedMs() / Second + 1; s <= lastSecond; ++s) {
            clock.setMs(s * Second);
            if (reminder.tick(on, interval).remind)
                reminded.push_back(s);
        }
        return reminded;
    }
    bool tickAt(qint64 ms, const QString& interval) {
        clock.setMs(ms);
        return reminder.tick(true, interval).remind;
    }
};

TEST_F(RestReminderTest, ThirtyMinutesRemindsAt1800And3600Seconds) {
    EXPECT_EQ(runUntil(3600, "30"), (std::vector<qint64>{1800, 3600}));
}

TEST_F(RestReminderTest, AHiddenWindowIsToldWhenTheNextReminderIsDue) {
    clock.setMs(10 * Second + 250);
    EXPECT_EQ(reminder.msToNextReminder(true, "0.5"), 20 * Second - 250);
    EXPECT_FALSE(reminder.msToNextReminder(false, "0.5"));
    EXPECT_FALSE(reminder.msToNextReminder(true, "abc"));
    // A tick at that moment reminds, and the run time shows although few ticks came.
    clock.setMs(30 * Second);
    const RestTick tick = reminder.tick(true, "0.5");
    EXPECT_TRUE(tick.remind);
    EXPECT_TRUE(tick.showRunTime);
}

TEST_F(RestReminderTest, HalfAMinuteRemindsEveryThirtySeconds) {
    EXPECT_EQ(runUntil(120, "0.5"), (std::vector<qint64>{30, 60, 90, 120}));
}

TEST_F(RestReminderTest, NoIntervalNeverReminds) {
    for (const char* text :
         {"0.001", "", "0", "00", "abc", "30abc", "0.008", "inf", "nan", "1e300"}) {
        EXPECT_FALSE(RestReminder::intervalSeconds(text)) << text;
    }
    for (const char* text : {"0.001", "", "0", "abc"})
        EXPECT_TRUE(runUntil(clock.elapsedMs() / Second + 120, text).empty()) << text;
}

TEST_F(RestReminderTest, IntervalIsMinutesTimesSixtyRoundedHalvesToEven) {
    EXPECT_EQ(RestReminder::intervalSeconds("30"), 1800);
    EXPECT_EQ(RestReminder::intervalSeconds("-30"), 1800); // the sign does not count
    EXPECT_EQ(RestReminder::intervalSeconds("0.125"), 8);  // 7.5
    EXPECT_EQ(RestReminder::intervalSeconds("0.375"), 22); // 22.5
    EXPECT_EQ(RestReminder::intervalSeconds("0.625"), 38); // 37.5
    EXPECT_EQ(RestReminder::intervalSeconds("0.01"), 1);   // 0.6
}

TEST_F(RestReminderTest, CommaAndPointBothWorkWhereTheLocaleWritesAComma) {
    const QLocale german(QLocale::German, QLocale::Germany);
    EXPECT_EQ(RestReminder::intervalSeconds("0,5", german), 30);
    EXPECT_EQ(RestReminder::intervalSeconds("0.5", german), 30);
    EXPECT_EQ(RestReminder::intervalSeconds("0.5", QLocale::c()), 30);

    // The tick reads the user's locale.
    const QLocale before;
    QLocale::setDefault(german);
    const std::vector<qint64> reminded = runUntil(60, "0,5");
    QLocale::setDefault(before);
    EXPECT_EQ(reminded, (std::vector<qint64>{30, 60}));
}

TEST_F(RestReminderTest, ALateTickStillRemindsOnce) {
    EXPECT_FALSE(tickAt(1799 * Second + 900, "30"));
    EXPECT_TRUE(tickAt(1801 * Second + 200, "30"));
    EXPECT_FALSE(tickAt(1802 * Second + 200, "30"));
    // Two ticks in the same second: the multiple reminds once.
    EXPECT_TRUE(tickAt(3600 * Second, "30"));
    EXPECT_FALSE(tickAt(3600 * Second + 600, "30"));
}

TEST_F(RestReminderTest, AStallOfAnHourRemindsOnceAndStaysAlignedToStartUp) {
    EXPECT_FALSE(tickAt(10 * Second, "1"));
    EXPECT_TRUE(tickAt(3610 * Second, "1")); // sixty multiples passed: one reminder
    EXPECT_FALSE(tickAt(3611 * Second, "1"));
    EXPECT_EQ(runUntil(3720, "1"), (std::vector<qint64>{3660, 3720}));
}

TEST_F(RestReminderTest, UntickingStopsAtTheNextTickAndTickingBringsNoMissedReminder) {
    EXPECT_EQ(runUntil(30, "0.5"), (std::vector<qint64>{30}));
    EXPECT_TRUE(runUntil(60, "0.5", false).empty());
    EXPECT_EQ(runUntil(90, "0.5"), (std::vector<qint64>{90})); // not at 61 for the missed 60
}

TEST_F(RestReminderTest, TheEleventhTickShowsTheRunTime) {
    for (int i = 1; i <= 10; ++i) {
        clock.setMs(i * Second);
        const RestTick tick = reminder.tick(false, "30");
        EXPECT_FALSE(tick.showRunTime) << i;
        EXPECT_TRUE(tick.infoLine.isEmpty()) << i;
    }
    clock.setMs(11 * Second + 999);
    const RestTick eleventh = reminder.tick(false, "30");
    EXPECT_TRUE(eleventh.showRunTime);
    EXPECT_EQ(eleventh.runSeconds, 11);
    EXPECT_EQ(
        eleventh.infoLine,
        QStringLiteral("【提醒】软件已运行:11秒。Tikko闹钟提醒您,多看美女,少看屏幕,远离近视！"));
    EXPECT_EQ(reminder.ticks(), 11);
}

TEST_F(RestReminderTest, SixtyDaysOfRunTimeDoNotWrap) {
    // A start tick just below 2^32 ms: a 32-bit count would have wrapped long before.
    clock.setMs(4294960000LL);
    reminder.start();
    const qint64 start = clock.elapsedMs();
    for (int i = 0; i < 10; ++i)
        reminder.tick(true, "30");
    tickAt(start + 60 * Day - 2 * Second, "30"); // the jump itself reminds once
    EXPECT_FALSE(tickAt(start + 60 * Day - Second, "30"));
    clock.setMs(start + 60 * Day);
    const RestTick tick = reminder.tick(true, "30");
    EXPECT_EQ(tick.runSeconds, 60LL * 24 * 3600);
    EXPECT_TRUE(tick.infoLine.contains(QStringLiteral(":5184000秒")));
    EXPECT_TRUE(tick.remind);
}

} // namespace
} // namespace tikko
