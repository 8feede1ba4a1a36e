// SPDX-License-Identifier: MIT
#include "print_qstring.h"
#include "support/fake_clock.h"
#include "tikko/stopwatch/stopwatch.h"

#include <gtest/gtest.h>

namespace tikko {
namespace {

using testing::at;
using testing::FakeClock;
using testing::FakeMonotonicClock;

TEST(StopwatchTimeText, RoundsDownToTheTenthAndWidensTheHours) {
    EXPECT_EQ(formatStopwatchTime(0), "00:00:00.0");
    EXPECT_EQ(formatStopwatchTime(99), "00:00:00.0");
    EXPECT_EQ(formatStopwatchTime(100), "00:00:00.1");
    EXPECT_EQ(formatStopwatchTime(61'999), "00:01:01.9");
    EXPECT_EQ(formatStopwatchTime(3'599'999), "00:59:59.9");
    EXPECT_EQ(formatStopwatchTime(3'600'000), "01:00:00.0");
    EXPECT_EQ(formatStopwatchTime(100LL * 3'600'000), "100:00:00.0");
    EXPECT_EQ(formatStopwatchTime(-500), "00:00:00.0");
}

TEST(StopwatchCopyAll, PrecedesEveryLineWithALineBreak) {
    EXPECT_EQ(copyAllText({}), "");
    EXPECT_EQ(copyAllText({"a"}), "\r\na");
    EXPECT_EQ(copyAllText({"a", "b"}), "\r\na\r\nb");
}

class StopwatchTest : public ::testing::Test {
protected:
    FakeClock wall{at("2026-12-08 10:05:20")};
    FakeMonotonicClock clock;
    Stopwatch stopwatch{wall, clock};

    void SetUp() override { clock.setMs(987'654); } // an arbitrary start
};

TEST_F(StopwatchTest, StartOneSecondStopRecordsAndReturnsToZero) {
    EXPECT_EQ(stopwatch.pressStart(), std::nullopt);
    EXPECT_EQ(stopwatch.state(), StopwatchState::Running);
    clock.advanceMs(1000);
    wall.advanceSeconds(1);
    EXPECT_EQ(stopwatch.pressStart(), "00:00:01.0  |  2026-12-08 10:05:21记录");
    EXPECT_EQ(stopwatch.state(), StopwatchState::Stopped);
    EXPECT_EQ(stopwatch.shownTime(), "00:00:00.0");
    clock.advanceMs(5000);
    EXPECT_EQ(stopwatch.shownTime(), "00:00:00.0") << "a stopped stopwatch does not count";
}

TEST_F(StopwatchTest, RecordLineUsesTheProgramsDateTimeForm) {
    wall.set(at("2026-12-09 00:00:00"));
    stopwatch.pressStart();
    EXPECT_EQ(stopwatch.pressRecord(), "00:00:00.0  |  2026-12-09记录");
}

TEST_F(StopwatchTest, PauseThenStopThenStartCountsFromZero) {
    stopwatch.pressStart();
    clock.advanceMs(2500);
    stopwatch.pressPause();
    EXPECT_EQ(stopwatch.state(), StopwatchState::Paused);
    EXPECT_EQ(stopwatch.look().pauseCaption, u"继续");
    ASSERT_TRUE(stopwatch.pressStart());
    EXPECT_EQ(stopwatch.look().pauseCaption, u"暂停");

    stopwatch.pressStart();
    EXPECT_EQ(stopwatch.shownTime(), "00:00:00.0");
    clock.advanceMs(300);
    EXPECT_EQ(stopwatch.shownTime(), "00:00:00.3");
}

TEST_F(StopwatchTest, RecordsWhilePausedRepeatTheFrozenTimeAndPausesDoNotCount) {
    stopwatch.pressStart();
    clock.advanceMs(1234);
    stopwatch.pressPause();
    clock.advanceMs(60'000);
    wall.advanceSeconds(60);
    EXPECT_EQ(stopwatch.pressRecord(), "00:00:01.2  |  2026-12-08 10:06:20记录");
    clock.advanceMs(7000);
    wall.advanceSeconds(7);
    EXPECT_EQ(stopwatch.pressRecord(), "00:00:01.2  |  2026-12-08 10:06:27记录");

    stopwatch.pressPause(); // continue
    EXPECT_EQ(stopwatch.state(), StopwatchState::Running);
    clock.advanceMs(466);
    EXPECT_EQ(stopwatch.shownTime(), "00:00:01.7");
    stopwatch.pressPause();
    clock.advanceMs(10'000);
    stopwatch.pressPause();
    clock.advanceMs(100);
    EXPECT_EQ(stopwatch.elapsedMs(), 1800);
}

TEST_F(StopwatchTest, PauseAndRecordAreIgnoredWhileStopped) {
    stopwatch.pressPause();
    EXPECT_EQ(stopwatch.state(), StopwatchState::Stopped);
    EXPECT_EQ(stopwatch.pressRecord(), std::nullopt);
    clock.advanceMs(1000);
    EXPECT_EQ(stopwatch.elapsedMs(), 0);
}

TEST_F(StopwatchTest, CountsAcrossTheHourAndPastNinetyNineHours) {
    stopwatch.pressStart();
    clock.advanceMs(59 * 60'000 + 59'900);
    EXPECT_EQ(stopwatch.shownTime(), "00:59:59.9");
    clock.advanceMs(100);
    EXPECT_EQ(stopwatch.shownTime(), "01:00:00.0");
    clock.advanceMs(99LL * 3'600'000);
    EXPECT_EQ(stopwatch.shownTime(), "100:00:00.0");
}

TEST_F(StopwatchTest, AClockSteppingBackTakesNothingOffTheCount) {
    stopwatch.pressStart();
    clock.advanceMs(1500);
    stopwatch.pressPause();
    stopwatch.pressPause();
    clock.advanceMs(-400);
    EXPECT_EQ(stopwatch.shownTime(), "00:00:01.5");
}

} // namespace
} // namespace tikko
