// SPDX-License-Identifier: MIT
#include "support/fake_clock.h"
#include "tikko/alarm/alarm_editor.h"
#include "tikko/alarm/alarm_line.h"

#include <gtest/gtest.h>

namespace tikko {
namespace {

using testing::at;
using testing::FakeClock;

class EditorTest : public ::testing::Test {
protected:
    FakeClock clock{at("2026-12-08 10:00:20")};
    AlarmEditor editor{clock};

    EditorInput input(const QString& moment, const QString& advance, QStringView type) const {
        EditorInput in;
        in.momentText = moment;
        in.advanceText = advance;
        in.type = type.toString();
        in.prompt = QStringLiteral("菜熟啦，赶紧偷啊");
        in.action = AdditionalActions[0].item.toString();
        return in;
    }
};

TEST_F(EditorTest, TheSpanCountsFromThePresentMomentEveryTime) {
    EXPECT_EQ(editor.momentFromSpan("01", "30"), at("2026-12-08 11:30:20"));
    // Picking minutes after hours still counts the hours.
    EXPECT_EQ(editor.momentFromSpan("02", "00"), at("2026-12-08 12:00:20"));
    EXPECT_EQ(editor.momentFromSpan(" 1.5 ", "0"), at("2026-12-08 11:30:20"));
    clock.advanceSeconds(10);
    EXPECT_EQ(editor.momentFromSpan("00", "01"), at("2026-12-08 10:01:30"));
    // A box that is no number gives nothing, so the moment never drifts.
    for (const char* bad : {"abc", "", "1e400", "99999999999"})
        EXPECT_FALSE(editor.momentFromSpan(QString::fromLatin1(bad), "30")) << bad;
    EXPECT_FALSE(editor.momentFromSpan("01", "x"));
}

TEST_F(EditorTest, AddingSubtractsTheWholeAdvanceMinutesRoundedDown) {
    const struct {
        const char* advance;
        const char* time;
    } cases[] = {{"2", "2026-12-08 11:28:20"},
                 {"2.9", "2026-12-08 11:28:20"},
                 {"-0.5", "2026-12-08 11:31:20"},
                 {"0", "2026-12-08 11:30:20"},
                 {" 3 ", "2026-12-08 11:27:20"}};
    for (const auto& c : cases) {
        const AddOutcome out = editor.add(input("2026-12-08 11:30:20", c.advance, reminder::Sound));
        EXPECT_EQ(out.failed, EditorBox::None) << c.advance;
        EXPECT_EQ(out.line, QString::fromLatin1(c.time) + "|声音提醒||") << c.advance;
    }
    // Midnight is written as the date alone, as every alarm time is.
    EXPECT_EQ(editor.add(input("2026-12-09 00:02:00", "2", reminder::Sound)).line,
              "2026-12-09|声音提醒||");
}

TEST_F(EditorTest, TheFieldsFollowTheEnabledBoxesNotTheType) {
    EditorInput in = input("2026-12-08 11:30:20", "0", reminder::Sound);
    EXPECT_EQ(editor.add(in).line, "2026-12-08 11:30:20|声音提醒||");
    in.type = reminder::Text.toString();
    in.promptEnabled = true;
    in.prompt = QStringLiteral("自己写的 提示");
    EXPECT_EQ(editor.add(in).line, "2026-12-08 11:30:20|文本框提醒|自己写的 提示|");
    in.type = reminder::SoundAndAction.toString();
    in.promptEnabled = false;
    in.actionEnabled = true;
    in.action = action::CloseQQ.toString();
    EXPECT_EQ(editor.add(in).line, "2026-12-08 11:30:20|声音及附加动作||关闭QQ");
    // A "|" typed into the prompt cannot shift the action.
    in.promptEnabled = true;
    in.prompt = "a|b";
    EXPECT_EQ(editor.add(in).line, "2026-12-08 11:30:20|声音及附加动作|a｜b|关闭QQ");
}

TEST_F(EditorTest, AProgramActionCarriesThePathOrAddsNothingWithoutOne) {
    EditorInput in = input("2026-12-08 11:30:20", "2", reminder::Action);
    in.actionEnabled = true;
    in.action = action::RunProgramItem.toString();
    const AddOutcome none = editor.add(in);
    EXPECT_TRUE(none.line.isEmpty());
    EXPECT_EQ(none.failed, EditorBox::Program);
    in.runProgramPath = "/opt/My Tools/备份";
    EXPECT_EQ(editor.add(in).line, "2026-12-08 11:28:20|附加动作||运行软件:/opt/My Tools/备份");
    // A disabled action box stores nothing, whatever it shows.
    in.actionEnabled = false;
    in.runProgramPath.clear();
    EXPECT_EQ(editor.add(in).line, "2026-12-08 11:28:20|附加动作||");
}

TEST_F(EditorTest, AnUnreadableBoxAddsNothingAndSaysWhichAndHow) {
    const AddOutcome moment = editor.add(input("明天早上", "2", reminder::Sound));
    EXPECT_TRUE(moment.line.isEmpty());
    EXPECT_EQ(moment.failed, EditorBox::Moment);
    EXPECT_EQ(moment.message, "报警时间无法识别，请按 2026-12-08 10:00:20 的格式填写");
    for (const char* bad : {"", "two", "1e300"}) {
        const AddOutcome advance =
            editor.add(input("2026-12-08 11:30:20", QString::fromLatin1(bad), reminder::Sound));
        EXPECT_TRUE(advance.line.isEmpty()) << bad;
        EXPECT_EQ(advance.failed, EditorBox::Advance) << bad;
        EXPECT_FALSE(advance.message.isEmpty());
    }
    // Before: letters in a span box left the moment at the present minute, and the alarm
    // rang at once.
    EditorInput letters = input("2026-12-08 10:00:20", "0", reminder::Sound);
    letters.hoursText = "一";
    EXPECT_EQ(editor.add(letters).failed, EditorBox::Hours);
    letters.hoursText = "01";
    letters.minutesText = "3o";
    const AddOutcome minutes = editor.add(letters);
    EXPECT_EQ(minutes.failed, EditorBox::Minutes);
    EXPECT_TRUE(minutes.line.isEmpty());
    EXPECT_EQ(minutes.message, "分钟数无法识别，请填写一个数字，例如 30");
}

} // namespace
} // namespace tikko
