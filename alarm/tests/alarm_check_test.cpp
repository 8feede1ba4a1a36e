// SPDX-License-Identifier: MIT
#include "recording_system_actions.h"
#include "support/fake_clock.h"
#include "tikko/alarm/alarm_check.h"
#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/alarm_model.h"

#include <ctime>
#include <functional>
#include <gtest/gtest.h>

namespace tikko {
namespace {

using testing::at;
using testing::FakeClock;

// The model as a list of texts, for tests that read like the list they check.
class TextList {
public:
    AlarmModel model;
    void set(const QStringList& lines) {
        QList<Alarm> alarms;
        for (const QString& line : lines)
            alarms.append(Alarm(StoreLine{line, {}}));
        model.replaceAll(alarms);
    }
    QStringList lines() const { return textsOf(model.storeLines()); }
    int count() const { return model.count(); }
    void removeAt(int row) { model.removeAt(row); }
    void clear() { model.clear(); }
};

QString stored(int action) {
    return AdditionalActions[action].stored.toString();
}
const QString OpenQQFarm = stored(1), OpenOtherFarm = stored(2), CloseQQ = stored(4),
              CloseTM = stored(5), ShutDown = stored(9), RunProgram = stored(3);

class RecordingHost final : public AlarmHost {
public:
    QStringList events;
    QList<QDateTime> times;
    std::function<void()> onPendingEvents;

    QString soundFilePath() const override { return QStringLiteral("/snd/alarm.wav"); }
    void showNotification(const QString& prompt, const QDateTime& when, const QString&) override {
        events << "show:" + prompt;
        times << when;
    }
    Playback soundPlayback() const override { return Playback::Once; }
    void ringStarted(const Alarm&, bool) override {}
    void processPendingEvents() override {
        events << "events";
        if (onPendingEvents)
            onPendingEvents();
    }
    void alarmFired(const Alarm&) override { events << "saved"; }
    void tellFailure(const QString& text, bool inWindow, const QDateTime&) override {
        events << (inWindow ? "window:" : "failure:") + text;
    }
    void showMessage(const QString& text) override { events << "message:" + text; }
    void endProgramAtOnce() override { events << "end"; }
};

class CheckTest : public ::testing::Test {
protected:
    FakeClock clock{at("2026-12-08 10:05:00")};
    TextList list;
    RecordingSystemActions actions;
    RecordingHost host;
    AlarmCheck check{list.model, actions, clock, host};

    static QString line(const char* time, QStringView type, const QString& prompt = {},
                        const QString& act = {}) {
        return QString::fromLatin1(time) + "|" + type.toString() + "|" + prompt + "|" + act;
    }
    std::vector<ActionCall> calls() const { return actions.calls(); }
};

ActionCall sound() {
    return {ActionKind::PlayAlarmSound, "/snd/alarm.wav"};
}

TEST_F(CheckTest, EmptyListDoesNothing) {
    check.run();
    EXPECT_TRUE(calls().empty());
    EXPECT_TRUE(host.events.isEmpty());
}

TEST_F(CheckTest, AlarmLaterInTheMinuteFiresAtTheMinutesStartNotBefore) {
    list.set({line("2026-12-08 10:06:59", reminder::Sound)});
    clock.set(at("2026-12-08 10:05:59"));
    check.run();
    EXPECT_TRUE(calls().empty());
    EXPECT_EQ(list.count(), 1);
    clock.advanceSeconds(1);
    check.run();
    EXPECT_EQ(calls(), std::vector<ActionCall>{sound()});
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(host.events, QStringList{"saved"});
}

TEST_F(CheckTest, EachReminderTypeRunsItsStepsInOrder) {
    struct Case {
        QStringView type;
        QString action;
        std::vector<ActionCall> calls;
        QStringList events;
    };
    const std::vector<Case> cases{
        {reminder::Sound, {}, {sound()}, {"saved"}},
        {reminder::Text, {}, {}, {"show:p", "saved"}},
        {reminder::SoundAndText, {}, {sound()}, {"show:p", "saved"}},
        {reminder::Action, CloseQQ, {{ActionKind::TerminateProcessByName, "qq.exe"}}, {"saved"}},
        {reminder::SoundAndAction,
         CloseQQ,
         {sound(), {ActionKind::TerminateProcessByName, "qq.exe"}},
         {"events", "saved"}},
        {reminder::SoundAndAction,
         OpenOtherFarm,
         {sound(),
          {ActionKind::OpenInBrowser, AdditionalActions[2].target.toString().toStdString()}},
         {"events", "saved"}},
        {u"不认识的类型", CloseQQ, {}, {"saved"}},
        {reminder::Action, "打开未知", {}, {"saved"}},
        {reminder::Action, "关闭微信", {}, {"saved"}},
    };
    for (const Case& c : cases) {
        actions.clearCalls();
        host.events.clear();
        list.set({line("2026-12-08 10:05:00", c.type, "p", c.action)});
        check.run();
        EXPECT_EQ(calls(), c.calls)
            << c.type.toString().toStdString() << " " << c.action.toStdString();
        EXPECT_EQ(host.events, c.events)
            << c.type.toString().toStdString() << " " << c.action.toStdString();
        EXPECT_TRUE(list.lines().isEmpty());
    }
}

TEST_F(CheckTest, TwoDueLinesFireInOneLinePassInListOrder) {
    list.set({line("2026-12-08 10:05:00", reminder::Text, "first"),
              line("2026-12-08 10:07:00", reminder::Sound),
              line("2026-12-08 09:00:00", reminder::Text, "second")});
    check.run();
    EXPECT_EQ(host.events, (QStringList{"show:first", "saved", "show:second", "saved"}));
    EXPECT_EQ(list.lines(), QStringList{line("2026-12-08 10:07:00", reminder::Sound)});
}

TEST_F(CheckTest, ProgramAndCloseActionsEndThePass) {
    for (const QString& act : {RunProgram + "/bin/true", CloseTM}) {
        list.set({line("2026-12-08 10:05:00", reminder::Action, {}, act),
                  line("2026-12-08 10:05:00", reminder::Sound)});
        actions.clearCalls();
        check.run();
        ASSERT_EQ(calls().size(), 1u) << act.toStdString();
        EXPECT_EQ(list.count(), 1);
        clock.advanceSeconds(3);
        check.run();
        EXPECT_EQ(calls().back(), sound());
        EXPECT_EQ(list.count(), 0);
    }
}

TEST_F(CheckTest, ProgramLineStartsItsOwnPathAndIsRemovedEvenWhenTheStartFails) {
    actions.setResult(ActionKind::StartProgram, false);
    list.set(
        {line("2026-12-08 10:05:00", reminder::SoundAndAction, {}, RunProgram + "/opt/my tools/x"),
         line("2026-12-08 10:05:00", reminder::Sound)});
    check.run();
    const std::vector<ActionCall> expected{sound(), {ActionKind::StartProgram, "/opt/my tools/x"}};
    EXPECT_EQ(calls(), expected);
    EXPECT_EQ(list.count(), 1);
    // Before: it vanished without a word.
    EXPECT_EQ(host.events.filter("failure:"), QStringList{"failure:无法运行：/opt/my tools/x"});
    // The next pass does not try it again: only the second line fires.
    actions.clearCalls();
    check.run();
    EXPECT_EQ(calls(), std::vector<ActionCall>{sound()});
}

TEST_F(CheckTest, ASoundThatCannotPlayIsToldInTheWindowOrApartAndTheAlarmStillGoes) {
    actions.setResult(ActionKind::PlayAlarmSound, false);
    list.set({line("2026-12-08 10:05:00", reminder::SoundAndText, "起床"),
              line("2026-12-08 10:05:00", reminder::Sound)});
    check.run();
    EXPECT_EQ(
        host.events,
        (QStringList{"show:起床", "window:无法播放声音：/snd/alarm.wav（文件不存在或无法播放）",
                     "saved", "failure:无法播放声音：/snd/alarm.wav（文件不存在或无法播放）",
                     "saved"}));
    EXPECT_EQ(list.count(), 0);
}

TEST_F(CheckTest, AProgramThatCouldNotBeEndedIsToldOneThatIsNotRunningIsNot) {
    actions.setTermination(Termination::NotRunning);
    list.set({line("2026-12-08 10:05:00", reminder::Action, {}, CloseQQ)});
    check.run();
    EXPECT_TRUE(host.events.filter("failure:").isEmpty());
    actions.setTermination(Termination::NotEnded);
    list.set({line("2026-12-08 10:05:00", reminder::Action, {}, CloseQQ)});
    check.run();
    EXPECT_EQ(host.events.filter("failure:"), QStringList{"failure:无法结束：qq.exe"});
}

TEST_F(CheckTest, ShutdownRemovesTheLineUnsavedAndEndsTheProgramAtOnce) {
    actions.setShutdownMessages({"AdjustTokenPrivileges error==1300"});
    list.set({line("2026-12-08 10:05:00", reminder::Action, {}, ShutDown),
              line("2026-12-08 10:05:00", reminder::Sound)});
    check.run();
    EXPECT_EQ(calls().size(), 1u);
    EXPECT_EQ(calls().front().kind, ActionKind::ShutDownComputer);
    EXPECT_EQ(host.events, (QStringList{"message:AdjustTokenPrivileges error==1300", "end"}));
    EXPECT_EQ(list.count(), 1);
}

TEST_F(CheckTest, AnOverdueReminderShowsItsOwnAlarmTime) {
    list.set({line("2026-12-08 09:40:10", reminder::Text, "开会"),
              line("2026-12-08 10:05:30", reminder::SoundAndText, "喝水")});
    check.run();
    EXPECT_EQ(host.events, (QStringList{"show:开会", "saved", "show:喝水", "saved"}));
    EXPECT_EQ(host.times, (QList<QDateTime>{at("2026-12-08 09:40:10"), at("2026-12-08 10:05:30")}));
}

TEST_F(CheckTest, ARefusedShutdownKeepsTheProgramAndTheLaterAlarms) {
    actions.setResult(ActionKind::ShutDownComputer, false);
    list.set({line("2026-12-08 10:05:00", reminder::Action, {}, ShutDown),
              line("2026-12-08 10:05:00", reminder::Sound),
              line("2026-12-08 11:00:00", reminder::Sound)});
    check.run();
    EXPECT_EQ(calls(), (std::vector<ActionCall>{{ActionKind::ShutDownComputer, ""}, sound()}));
    // The shutdown line is gone and saved; the message says so; the pass went on.
    EXPECT_EQ(host.events,
              (QStringList{"saved", "message:" + AlarmCheck::ShutdownRefusedMessage, "saved"}));
    EXPECT_EQ(list.lines(), QStringList{line("2026-12-08 11:00:00", reminder::Sound)});
}

TEST_F(CheckTest, UnreadableLinesAreSkippedAndLaterLinesStillFire) {
    list.set({"8 Dec 2026 10:05:00|声音提醒||", "short",
              line("2026-12-08 10:05:00", reminder::Sound), "2026-12-08 10:05:00"});
    check.run();
    // The last line has no type: due, removed, nothing else.
    EXPECT_EQ(calls(), std::vector<ActionCall>{sound()});
    EXPECT_EQ(list.lines(), (QStringList{"8 Dec 2026 10:05:00|声音提醒||", "short"}));
    check.run();
    EXPECT_EQ(list.count(), 2);
}

TEST_F(CheckTest, PromptTextIsThatOfTheLineThatFired) {
    list.set({line("2026-12-08 10:05:00", reminder::Text, "mine"),
              line("2026-12-09 10:05:00", reminder::Text, "later")});
    check.run();
    EXPECT_EQ(host.events.first(), QStringLiteral("show:mine"));
    EXPECT_EQ(check.alarmPromptText(), QStringLiteral("mine"));
}

TEST_F(CheckTest, ATickDuringThePendingEventsStepStartsNoSecondPass) {
    list.set({line("2026-12-08 10:05:00", reminder::SoundAndAction, {}, OpenQQFarm)});
    host.onPendingEvents = [&] {
        EXPECT_TRUE(check.isRunning());
        check.run();
    };
    check.run();
    EXPECT_EQ(actions.callsOf(ActionKind::PlayAlarmSound).size(), 1u);
    EXPECT_EQ(actions.callsOf(ActionKind::OpenInBrowser).size(), 1u);
    EXPECT_TRUE(list.lines().isEmpty());
    EXPECT_FALSE(check.isRunning());
}

TEST_F(CheckTest, ListChangedDuringThePendingEventsStepActsOnTheRightLine) {
    const QString before = line("2026-12-09 10:00:00", reminder::Sound);
    const QString firing = line("2026-12-08 10:05:00", reminder::SoundAndAction, {}, OpenQQFarm);
    const QString after = line("2026-12-09 11:00:00", reminder::Sound);

    const QString dueToo = line("2026-12-08 10:00:00", reminder::Text, "too");

    // A line before it deleted: the fired line is the one removed, and the walk goes on
    // with the line right after it.
    list.set({before, firing, dueToo, after});
    host.onPendingEvents = [&] {
        list.removeAt(0);
    };
    check.run();
    EXPECT_EQ(list.lines(), QStringList{after});
    EXPECT_EQ(actions.callsOf(ActionKind::OpenInBrowser).size(), 1u);
    EXPECT_EQ(host.events.filter("show:"), QStringList{"show:too"});

    // The fired line itself deleted, and with it the list's end: nothing more happens.
    actions.clearCalls();
    list.set({before, firing});
    host.onPendingEvents = [&] {
        list.clear();
    };
    check.run();
    EXPECT_TRUE(actions.callsOf(ActionKind::OpenInBrowser).empty());
    EXPECT_TRUE(list.lines().isEmpty());
}

TEST_F(CheckTest, ALineReplacedInPlaceIsReadAfresh) {
    list.set({line("2026-12-09 10:05:00", reminder::Sound),
              line("2026-12-09 10:05:00", reminder::Text)});
    check.run();
    EXPECT_TRUE(calls().empty());
    list.set({line("2026-12-08 10:05:00", reminder::Sound), "2026-12-08 10:04:00|声音提醒||"});
    check.run();
    EXPECT_EQ(calls().size(), 2u);
    EXPECT_TRUE(list.lines().isEmpty());
}

TEST_F(CheckTest, ARepeatingAlarmMovesOnInsteadOfLeavingAndIsSavedAtOnce) {
    list.set({"2026-12-08 10:05:00|文本框提醒|起床||重复:工作日 10:05"});
    check.run();
    EXPECT_EQ(host.events, (QStringList{"show:起床", "saved"}));
    EXPECT_EQ(list.lines(), QStringList{"2026-12-09 10:05:00|文本框提醒|起床||重复:工作日 10:05"});
    // Friday: on to Monday.
    clock.set(at("2026-12-11 10:05:30"));
    list.set({"2026-12-11 10:05:00|声音提醒|||重复:工作日 10:05"});
    check.run();
    EXPECT_EQ(list.lines(), QStringList{"2026-12-14 10:05:00|声音提醒|||重复:工作日 10:05"});
}

TEST_F(CheckTest, ADailyAlarmRingsOnceADayAcrossBothChangesOfSummerTime) {
    // In the test's own environment: Berlin moves from 02:00 to 03:00 on 29 March and from
    // 03:00 back to 02:00 on 25 October 2026.
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Europe/Berlin");
    tzset();
    list.set({"2026-03-28 02:30:00|声音提醒|||重复:每天 02:30"});
    int rings = 0;
    const auto passEveryThreeSecondsUntil = [&](const QDateTime& end) {
        for (; clock.now() < end; clock.advanceSeconds(3)) {
            check.run();
            rings = static_cast<int>(actions.callsOf(ActionKind::PlayAlarmSound).size());
        }
    };
    clock.set(QDateTime(QDate(2026, 3, 28), QTime(2, 0)));
    // 02:30 did not exist on the 29th: it rang at 03:00, the first minute after the gap.
    passEveryThreeSecondsUntil(QDateTime(QDate(2026, 3, 29), QTime(3, 0, 3)));
    EXPECT_EQ(rings, 2);
    passEveryThreeSecondsUntil(QDateTime(QDate(2026, 3, 30), QTime(4, 0)));
    EXPECT_EQ(rings, 3);
    EXPECT_EQ(list.lines(), QStringList{"2026-03-31 02:30:00|声音提醒|||重复:每天 02:30"});
    list.set({"2026-10-25 02:30:00|声音提醒|||重复:每天 02:30"});
    actions.clearCalls();
    clock.set(QDateTime(QDate(2026, 10, 25), QTime(1, 0)));
    // Through both 02:30s of the 25th: one ring.
    passEveryThreeSecondsUntil(QDateTime(QDate(2026, 10, 25), QTime(1, 0)).addSecs(4 * 3600));
    EXPECT_EQ(rings, 1);
    EXPECT_EQ(list.lines(), QStringList{"2026-10-26 02:30:00|声音提醒|||重复:每天 02:30"});
    if (zone.isNull())
        qunsetenv("TZ");
    else
        qputenv("TZ", zone);
    tzset();
}

TEST_F(CheckTest, ACachedLineStillFiresOnceItsMinuteComes) {
    list.set({line("2026-12-08 10:10:00", reminder::Sound)});
    for (int i = 0; i < 120; ++i) {
        check.run();
        clock.advanceSeconds(3);
    }
    EXPECT_EQ(actions.calls().size(), 1u);
    EXPECT_TRUE(list.lines().isEmpty());
}

} // namespace
} // namespace tikko
