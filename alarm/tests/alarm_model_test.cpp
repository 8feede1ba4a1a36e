// SPDX-License-Identifier: MIT
#include "tikko/alarm/alarm_model.h"

#include <gtest/gtest.h>

namespace tikko {
namespace {

Alarm alarm(const char* line) {
    return Alarm(StoreLine{QString::fromUtf8(line), {}});
}

TEST(AlarmModel, TheListReadsAsWordsAndTheUnreadableAsTheyAre) {
    const QDate today(2026, 12, 8);
    EXPECT_EQ(
        displayText(alarm("2026-12-09 07:30:00|声音及文本提醒|起床||重复:工作日 07:30"), today),
        "12-09 周三 07:30 · 声音及文本提醒 · 起床 · 工作日");
    EXPECT_EQ(displayText(alarm("2027-01-01|附加动作||关闭QQ"), today),
              "2027-01-01 周五 00:00 · 附加动作 · 关闭QQ");
    EXPECT_EQ(displayText(alarm("某天|声音提醒||"), today), "某天|声音提醒||");
}

TEST(AlarmModel, TheEarliestMinuteFollowsRemovalsAndRowsFollowTheirIds) {
    AlarmModel model;
    model.append({alarm("2026-12-08 09:00:00|声音提醒||"), alarm("2026-12-08 08:00:00|声音提醒||"),
                  alarm("2026-12-08 10:00:00|声音提醒||")});
    const qint64 at830 = minuteOf(QDateTime(QDate(2026, 12, 8), QTime(8, 30)));
    EXPECT_EQ(model.firstDue(at830), 1);
    const AlarmModel::Id last = model.idAt(2);
    model.removeAt(1); // the earliest goes: nothing is due at 08:30 any more
    EXPECT_EQ(model.firstDue(at830), -1);
    EXPECT_EQ(model.firstDue(at830 + 30), 0);
    EXPECT_EQ(model.rowOf(last), 1);
    model.replaceAt(0, alarm("2026-12-08 11:00:00|声音提醒||"));
    EXPECT_EQ(model.firstDue(at830 + 30), -1);
}

TEST(AlarmModel, TheDaysOfAMonthOnWhichAlarmsFireFromNowOn) {
    AlarmModel model;
    model.append({alarm("2026-12-30 09:00:00|声音提醒|||重复:每周三 09:00"),
                  alarm("2027-01-02 08:00:00|声音提醒||"), alarm("某天|声音提醒||")});
    EXPECT_EQ(alarmDays(model, 2026, 12), QList<QDate>{QDate(2026, 12, 30)});
    EXPECT_EQ(alarmDays(model, 2027, 1),
              (QList<QDate>{QDate(2027, 1, 2), QDate(2027, 1, 6), QDate(2027, 1, 13),
                            QDate(2027, 1, 20), QDate(2027, 1, 27)}));
}

} // namespace
} // namespace tikko
