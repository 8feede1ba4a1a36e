// SPDX-License-Identifier: MIT
// The editor, the list commands and the windows opened from the main window, through the
// real window with fake clocks and recording hooks.
#include "main_window_fixture.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace tikko {
namespace {

class EditorWindowTest : public MainWindowTest {
protected:
    QComboBox* box(const char* name) const { return child<QComboBox>(name); }
    QString moment() const { return box("cJS")->currentText(); }
    void pick(const char* name, int index) const {
        QComboBox* combo = box(name);
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    void type(const char* name, const QString& text) const {
        QComboBox* combo = box(name);
        combo->lineEdit()->clear();
        // Key clicks know only Latin keys; other texts arrive as an input method would.
        if (text.toLatin1() == text.toUtf8())
            QTest::keyClicks(combo->lineEdit(), text);
        else
            combo->lineEdit()->insert(text);
    }
    void add() const { QTest::mouseClick(child<QPushButton>("cmdAdd"), Qt::LeftButton); }
    void rightPress(int row = -1) const {
        QListView* list = window->alarmList();
        const QPoint at = row < 0 ? QPoint(5, list->viewport()->height() - 3)
                                  : list->visualRect(list->model()->index(row, 0)).center();
        QTest::mousePress(list->viewport(), Qt::RightButton, {}, at);
    }
    void leftPress(int row) const {
        QListView* list = window->alarmList();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(row, 0)).center());
    }
};

TEST_F(EditorWindowTest, TheSpanSetsTheMomentAndAddingSubtractsTheAdvance) {
    clock.set(at("2026-12-08 10:00:20"));
    start();
    pick("cZQH", 1);
    pick("cZQM", 30);
    EXPECT_EQ(moment(), "2026-12-08 11:30:20");
    pick("cTX", 2); // 声音提醒: two empty fields whatever the boxes show
    add();
    EXPECT_EQ(listLines(), QStringList{"2026-12-08 11:28:20|声音提醒||"});
    // Added means stored: the file holds it now.
    EXPECT_EQ(readAll(storePath), QByteArray("2026-12-08 11:28:20|声音提醒||\r\n"));
    EXPECT_FALSE(child<QWidget>("pBox")->isVisibleTo(window.get()));

    // Minutes picked after hours still count the hours, from the present moment.
    clock.advanceSeconds(40);
    pick("cZQH", 2);
    pick("cZQM", 0);
    EXPECT_EQ(moment(), "2026-12-08 12:01:00");
    // The editor keeps its values: the same alarm can be added again at once.
    add();
    EXPECT_EQ(window->alarms().count(), 2);
}

TEST_F(EditorWindowTest, ASpanThatIsNoNumberLeavesTheMomentAndSaysSo) {
    start();
    pick("cZQM", 30);
    const QString before = moment();
    type("cZQH", "abc");
    EXPECT_EQ(moment(), before);
    EXPECT_TRUE(box("cZQH")->property("unreadable").toBool());
    // Each keystroke again: no drift.
    QTest::keyClicks(box("cZQH")->lineEdit(), "d");
    EXPECT_EQ(moment(), before);
    type("cZQH", "1");
    EXPECT_FALSE(box("cZQH")->property("unreadable").toBool());
    EXPECT_EQ(moment(), "2026-12-08 11:35:20");
    type("cZQM", "");
    EXPECT_EQ(moment(), "2026-12-08 11:35:20");
    EXPECT_TRUE(box("cZQM")->property("unreadable").toBool());
}

TEST_F(EditorWindowTest, ATypedMomentAndAFreePromptAreStoredAsTheyStand) {
    start();
    pick("cTX", 3); // 文本框提醒
    type("cJS", "2026-12-24 20:00:00");
    box("cTxt")->setEditText(QStringLiteral("平安夜 | 给家里打电话"));
    child<QLineEdit>("tSJ")->setText("0");
    add();
    EXPECT_EQ(listLines(), QStringList{"2026-12-24 20:00:00|文本框提醒|平安夜 ｜ 给家里打电话|"});
}

TEST_F(EditorWindowTest, EachReminderTypeEnablesItsBoxes) {
    start();
    const bool expected[][2] = {
        {false, true}, {true, false}, {false, false}, {true, false}, {false, true}};
    for (int type = 0; type < 5; ++type) {
        pick("cTX", type);
        EXPECT_EQ(box("cTxt")->isEnabled(), expected[type][0]) << type;
        EXPECT_EQ(box("cDZ")->isEnabled(), expected[type][1]) << type;
    }
}

TEST_F(EditorWindowTest, AProgramAlarmNeedsAProgram) {
    start();
    pick("cTX", 4); // 附加动作
    // Choosing the action opens the picker; cancelled, nothing is chosen.
    pick("cDZ", 3);
    EXPECT_EQ(pickers, QStringList{PickerLogic::ProgramCaption});
    add();
    // Adding without a program asks again; cancelled, nothing is added.
    EXPECT_EQ(pickers.size(), 2);
    EXPECT_EQ(window->alarms().count(), 0);
    EXPECT_FALSE(QFile::exists(storePath));

    onPick = [this](const QString&) {
        window->setRunProgramPath(QStringLiteral("/opt/备份 工具/run"));
        return true;
    };
    add();
    EXPECT_EQ(listLines(),
              QStringList{"2026-12-08 10:03:20|附加动作||运行软件:/opt/备份 工具/run"});
    // A later cancelled pick keeps the program chosen before.
    onPick = [](const QString&) {
        return false;
    };
    pick("cDZ", 3);
    add();
    EXPECT_EQ(window->alarms().at(1).text(), listLines().front());
}

TEST_F(EditorWindowTest, AnUnreadableBoxAddsNothingKeepsTheTextAndTakesTheFocus) {
    start();
    window->show();
    type("cJS", "明天早上八点");
    add();
    EXPECT_EQ(window->alarms().count(), 0);
    ASSERT_EQ(messages.size(), 1);
    EXPECT_EQ(messages.front(), "报警时间无法识别，请按 2026-12-08 10:05:20 的格式填写");
    EXPECT_EQ(moment(), "明天早上八点");
    EXPECT_TRUE(window->focusWidget() == box("cJS") ||
                window->focusWidget() == box("cJS")->lineEdit());

    type("cJS", "2026-12-08 12:00:00");
    child<QLineEdit>("tSJ")->setText(QStringLiteral("两分钟"));
    add();
    EXPECT_EQ(window->alarms().count(), 0);
    EXPECT_EQ(messages.size(), 2);
    EXPECT_EQ(child<QLineEdit>("tSJ")->text(), "两分钟");
    EXPECT_EQ(window->focusWidget(), child<QLineEdit>("tSJ"));
}

TEST_F(EditorWindowTest, EnterAddsAndAClickSelectsTheAdvanceText) {
    start();
    window->show();
    QLineEdit* advance = child<QLineEdit>("tSJ");
    QTest::mouseClick(advance, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(advance->selectedText(), "2");
    QTest::keyClicks(advance, "5");
    EXPECT_EQ(advance->text(), "5");
    QTest::keyClick(advance, Qt::Key_Return);
    EXPECT_EQ(window->alarms().count(), 1);
    QTest::keyClick(box("cTX"), Qt::Key_Enter);
    EXPECT_EQ(window->alarms().count(), 2);
    // The editable boxes keep their lists as they were.
    EXPECT_EQ(box("cZQH")->count(), 24);
}

TEST_F(EditorWindowTest, TheTabOrderFollowsTheBoxesTopToBottom) {
    start();
    QWidget* widget = child<QWidget>("cZQH");
    QStringList seen;
    for (int i = 0; i < 9; ++i) {
        seen << widget->objectName();
        do
            widget = widget->nextInFocusChain();
        while (widget->objectName().isEmpty() || widget->focusPolicy() == Qt::NoFocus ||
               !widget->isVisibleTo(window.get()));
    }
    // The repeat rule is chosen before the alarm is added.
    EXPECT_EQ(seen, (QStringList{"cZQH", "cZQM", "tSJ", "cJS", "cTX", "cTxt", "cDZ", "cRepeat",
                                 "cmdAdd"}));
}

TEST_F(EditorWindowTest, TheListMenuOpensOnlyOverAlarmsAndFollowsTheSelection) {
    writeStore({"2026-12-09 09:00:00|声音提醒||", "2026-12-09 10:00:00|声音提醒||",
                "2026-12-09 11:00:00|声音提醒||"});
    start();
    window->show();
    QListView* list = window->alarmList();
    AlarmModel& alarms = window->alarms();
    EXPECT_TRUE(menuItem("mDelAC")->isEnabled());
    rightPress();
    EXPECT_EQ(menus, QStringList{"mDelC off"});

    // A left press selects, and the next right press finds the item enabled and keeps the
    // selection where it was.
    leftPress(1);
    rightPress(2);
    EXPECT_EQ(menus.last(), "mDelC on");
    EXPECT_EQ(list->currentIndex().row(), 1);

    // Deleting one of several leaves the panel hidden and no alarm selected.
    onMenu = [this](QMenu&) {
        menuItem("mDelC")->trigger();
    };
    rightPress(1);
    EXPECT_EQ(alarms.count(), 2);
    EXPECT_TRUE(list->selectionModel()->selectedRows().isEmpty());
    EXPECT_FALSE(menuItem("mDelC")->isEnabled());
    EXPECT_FALSE(child<QWidget>("pBox")->isVisibleTo(window.get()));
    EXPECT_EQ(readAll(storePath),
              QByteArray("2026-12-09 09:00:00|声音提醒||\r\n2026-12-09 11:00:00|声音提醒||\r\n"));

    // With nothing selected the item does nothing; the Delete key does what it does.
    rightPress(0);
    EXPECT_EQ(alarms.count(), 2);
    leftPress(0);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(listLines(), QStringList{"2026-12-09 11:00:00|声音提醒||"});
    // The last one going shows the panel.
    leftPress(0);
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(alarms.count(), 0);
    EXPECT_TRUE(child<QWidget>("pBox")->isVisibleTo(window.get()));
    EXPECT_EQ(readAll(storePath), QByteArray("\r\n"));
    const int opened = static_cast<int>(menus.size());
    rightPress();
    EXPECT_EQ(menus.size(), opened);
}

TEST_F(EditorWindowTest, DeletingAllShowsThePanelAndStoresAnEmptyList) {
    writeStore({"2026-12-09 09:00:00|声音提醒||", "2026-12-09 10:00:00|声音提醒||"});
    start();
    onMenu = [this](QMenu&) {
        menuItem("mDelAC")->trigger();
    };
    rightPress(0);
    EXPECT_EQ(window->alarms().count(), 0);
    EXPECT_TRUE(child<QWidget>("pBox")->isVisibleTo(window.get()));
    EXPECT_EQ(readAll(storePath), QByteArray("\r\n"));
}

TEST_F(EditorWindowTest, ARuleTakesItsFieldsFromTheMomentAndTheLineCarriesIt) {
    start();
    const auto ruleNamed = [this](const char* name) {
        pick("cRepeat", box("cRepeat")->findText(QString::fromUtf8(name)));
    };
    // Two clicks: a workdays alarm at the typed time.
    type("cJS", "2026-12-09 07:30:00");
    ruleNamed("工作日");
    add();
    EXPECT_EQ(listLines().last(),
              "2026-12-09 07:28:00|声音及附加动作||打开开心农场|重复:工作日 07:30 提前2分钟");
    // A lunar birthday in a leap month: the list offers the leap month of that year.
    type("cJS", "2028-06-30 08:00:00");
    ruleNamed("农历每年");
    EXPECT_EQ(box("cRepeatMonth")->currentText(), "闰五月");
    EXPECT_EQ(box("cRepeatDay")->currentText(), "初八");
    EXPECT_FALSE(child<QCheckBox>("ckWeek1")->isVisible());
    add();
    EXPECT_TRUE(listLines().last().startsWith("2028-06-30 07:58:00|"));
    EXPECT_TRUE(listLines().last().endsWith("|重复:农历每年闰五月初八 08:00 提前2分钟"));
    // Weekly: the moment's weekday is ticked.
    type("cJS", "2026-12-12 07:30:00");
    ruleNamed("每周");
    EXPECT_TRUE(child<QCheckBox>("ckWeek6")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("ckWeek1")->isChecked());
    EXPECT_EQ(window->alarmList()->model()->index(0, 0).data().toString(),
              "12-09 周三 07:28 · 声音及附加动作 · 打开开心农场 · 工作日");
}

TEST_F(EditorWindowTest, AnAlarmCanBeChangedInTheEditorAndAPastMomentIsAskedAbout) {
    writeStore({"2026-12-09 09:00:00|文本框提醒|开会|", "2026-12-09 10:00:00|声音提醒||"});
    start();
    window->show();
    leftPress(0);
    onMenu = [this](QMenu&) {
        menuItem("mEditC")->trigger();
    };
    rightPress(0);
    EXPECT_EQ(box("cTX")->currentText(), "文本框提醒");
    EXPECT_EQ(box("cTxt")->currentText(), "开会");
    EXPECT_EQ(moment(), "2026-12-09 09:02:00"); // the advance box takes its 2 minutes off again
    type("cTxt", "改了");
    add();
    EXPECT_EQ(listLines(), (QStringList{"2026-12-09 09:00:00|文本框提醒|改了|",
                                        "2026-12-09 10:00:00|声音提醒||"}));
    // A moment already gone rings at once: the user is asked, and "no" adds nothing.
    ui.onAsk = [](const QString&) {
        return false;
    };
    type("cJS", "2026-12-08 09:00:00");
    add();
    EXPECT_EQ(ui.questions.last(), "这个时间已经过去，仍要添加吗？");
    EXPECT_EQ(listLines().size(), 2);
    // Deleting all asks first, with the count.
    onMenu = [this](QMenu&) {
        menuItem("mDelAC")->trigger();
    };
    rightPress(0);
    EXPECT_EQ(ui.questions.last(), "删除全部 2 个闹钟？");
    EXPECT_EQ(listLines().size(), 2);
}

TEST_F(EditorWindowTest, TheOptionsButtonSwapsTheFramesAndAlarmsStillFire) {
    writeStore({"2026-12-08 10:06:00|声音提醒||"});
    start();
    QPushButton* button = child<QPushButton>("cmdOption");
    const QRect place = window->geometry();
    button->click();
    EXPECT_TRUE(child<QGroupBox>("fOpt")->isVisibleTo(window.get()));
    EXPECT_FALSE(child<QGroupBox>("fMain")->isVisibleTo(window.get()));
    EXPECT_EQ(button->text(), "<选项关");
    child<QCheckBox>("ckClr")->setChecked(false);
    clock.set(at("2026-12-08 10:06:00"));
    window->alarmCheck().run();
    EXPECT_EQ(window->alarms().count(), 0);
    button->click();
    EXPECT_TRUE(child<QGroupBox>("fMain")->isVisibleTo(window.get()));
    EXPECT_FALSE(child<QGroupBox>("fOpt")->isVisibleTo(window.get()));
    EXPECT_EQ(button->text(), "选项开>");
    EXPECT_FALSE(child<QCheckBox>("ckClr")->isChecked());
    EXPECT_EQ(window->geometry(), place);
}

TEST_F(EditorWindowTest, TheWelcomeTextKeepsItsLinesAndGivesATrueSoundHint) {
    start();
    const QStringList lines = child<QWidget>("Text1")->property("plainText").toString().split('\n');
    ASSERT_GE(lines.size(), 23);
    EXPECT_EQ(lines[1], QString(12, ' ') + "欢迎您使用TikkoClock");
    EXPECT_TRUE(lines[10].startsWith("    【提醒1】"));
    EXPECT_TRUE(lines[10].contains("试听"));
    EXPECT_FALSE(lines[10].contains("program files"));
    EXPECT_EQ(lines[19], QString(26, ' ') + "Tikko工作室");
    EXPECT_EQ(lines[21], QString(27, ' ') + "2010年8月25日");
}

TEST_F(EditorWindowTest, TheTrialButtonPlaysTheSoundOnceOrSaysWhyNot) {
    start();
    child<QPushButton>("cmdPrePlay")->click();
    // No file at the default place yet.
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages.front().contains("alarm.wav"));
    EXPECT_TRUE(actions.callsOf(ActionKind::PlayAlarmSound).empty());

    QFile sound(program.filePath("alarm.wav"));
    ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
    sound.write("RIFF");
    sound.close();
    child<QPushButton>("cmdPrePlay")->click();
    EXPECT_EQ(actions.callsOf(ActionKind::PlayAlarmSound).size(), 1u);
    EXPECT_EQ(messages.size(), 1);
    actions.setSoundError("cannot decode");
    child<QPushButton>("cmdPrePlay")->click();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_TRUE(messages.last().contains("cannot decode"));
    actions.setResult(ActionKind::PlayAlarmSound, false);
    actions.setSoundError({});
    child<QPushButton>("cmdPrePlay")->click();
    EXPECT_EQ(messages.size(), 3);
}

TEST_F(EditorWindowTest, TheSoundButtonOpensThePickerForSounds) {
    start();
    child<QPushButton>("cmdSelWav")->click();
    EXPECT_EQ(pickers, QStringList{PickerLogic::SoundCaption});
}

TEST_F(EditorWindowTest, TheForumLinkOpensTheForumInTheBrowser) {
    start();
    QLabel* link = child<QLabel>("Label8");
    EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
    emit link->linkActivated("#forum");
    const auto calls = actions.callsOf(ActionKind::OpenInBrowser);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls.front().argument, "http://www.tikko.example.com/bbs");
}

TEST_F(EditorWindowTest, TheRestReminderAndTheRunTimeLineFollowTheOneSecondTimer) {
    settings.setValue("option/Beep", "1");
    settings.setValue("option/Inter", "0.5");
    start();
    QLabel* info = child<QLabel>("lblInfo");
    const QString maker = info->text();
    for (int second = 1; second <= 10; ++second) {
        monotonic.setMs(second * 1000);
        tick("Timer3");
    }
    EXPECT_EQ(info->text(), maker);
    EXPECT_FALSE(window->notification().isLoaded());
    monotonic.setMs(11000);
    tick("Timer3");
    EXPECT_EQ(info->text(),
              "【提醒】软件已运行:11秒。Tikko闹钟提醒您,多看美女,少看屏幕,远离近视！");
    // A late tick past the half minute still reminds, once, with no sound.
    monotonic.setMs(30400);
    tick("Timer3");
    ASSERT_TRUE(window->notification().isLoaded());
    EXPECT_EQ(window->notification().window()->reminderTexts(),
              QStringList{"时间到了，休息一下吧！"});
    monotonic.setMs(31400);
    tick("Timer3");
    EXPECT_EQ(window->notification().window()->reminderTexts().size(), 1);
    EXPECT_TRUE(actions.callsOf(ActionKind::PlayAlarmSound).empty());
    // Unticked, the next multiple passes quietly.
    child<QCheckBox>("chkBeep")->setChecked(false);
    monotonic.setMs(60000);
    tick("Timer3");
    EXPECT_EQ(window->notification().window()->reminderTexts().size(), 1);
}

} // namespace
} // namespace tikko
