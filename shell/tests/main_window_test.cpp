// SPDX-License-Identifier: MIT
#include "main_window_fixture.h"
#include "tikko/shell/advertisement.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace tikko {
namespace {

// The program's own look, as the program sets it before its first window.
class ProgramLook : public ::testing::Environment {
public:
    void SetUp() override { applyProgramLook(); }
};
const auto* const programLook = ::testing::AddGlobalTestEnvironment(new ProgramLook);

TEST_F(MainWindowTest, StartUpRunsItsStepsInOrder) {
    start();
    EXPECT_EQ(window->startupSteps().ran(),
              (QStringList{"skin", "trayIcon", "windowHook", "centre", "comboHeights", "clock",
                           "settings", "startTick", "loadStore", "minimise", "spanLists",
                           "editorLists", "advertisement", "firstCheck"}));
    EXPECT_TRUE(window->startupSteps().failed().isEmpty());
    window->formUnload();
    EXPECT_EQ(window->exitSteps().ran(),
              (QStringList{"saveStore", "saveSettings", "removeTrayIcon", "restoreHook"}));
}

TEST_F(MainWindowTest, FirstStartShowsTheDefaultsAndWritesTheAutoStartEntry) {
    // Before: the ticked box had no entry behind it until it was unticked and ticked again,
    // and after a reboot no alarm rang.
    actions.setAutoStartEntry(false);
    start();
    EXPECT_EQ(child<QLineEdit>("tSJ")->text(), "2");
    EXPECT_EQ(child<QLineEdit>("txtInter")->text(), "30");
    EXPECT_FALSE(child<QCheckBox>("chkBeep")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("ckClr")->isChecked());
    EXPECT_TRUE(child<QCheckBox>("ckAuto")->isChecked());
    EXPECT_EQ(window->soundFilePath(), QDir::toNativeSeparators(program.filePath("alarm.wav")));
    EXPECT_EQ(child<QLineEdit>("txtWav")->text(), window->soundFilePath());
    EXPECT_EQ(actions.calls(), (std::vector<ActionCall>{{ActionKind::EnableAutoStart, ""}}));
    EXPECT_EQ(child<QLabel>("lTime")->text(), "2026-12-08 10:05:20");
    EXPECT_EQ(child<QComboBox>("cJS")->currentText(), "2026-12-08 10:05:20");

    window->showAtStart();
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(child<QWidget>("pBox")->isVisible());
}

TEST_F(MainWindowTest, StoredAutoZeroRemovesTheEntryAndTheBoxSwitchesIt) {
    settings.setValue("option/Auto", "0");
    start();
    EXPECT_FALSE(child<QCheckBox>("ckAuto")->isChecked());
    EXPECT_EQ(actions.calls(), (std::vector<ActionCall>{{ActionKind::DisableAutoStart, ""}}));
    actions.clearCalls();
    child<QCheckBox>("ckAuto")->click();
    child<QCheckBox>("ckAuto")->click();
    const std::vector<ActionCall> expected{{ActionKind::EnableAutoStart, ""},
                                           {ActionKind::DisableAutoStart, ""}};
    EXPECT_EQ(actions.calls(), expected);
}

TEST_F(MainWindowTest, LoadedAlarmsStartHiddenButNeverOutOfReach) {
    writeStore({"2026-12-08 11:00:00|声音提醒||"});
    start();
    EXPECT_TRUE(window->loadedAlarms());
    EXPECT_FALSE(child<QWidget>("pBox")->isVisibleTo(window.get()));
    window->showAtStart();
    // No notification area offscreen: the window is minimised, not hidden.
    ASSERT_FALSE(window->trayIcon().isShown());
    EXPECT_TRUE(window->isMinimized());
    // Unseen, the clock label does not tick, and nor does the run-time count without a
    // rest reminder: it costs nothing while it waits.
    EXPECT_FALSE(child<QTimer>("Timer2")->isActive());
    EXPECT_GE(child<QTimer>("Timer3")->interval(), 3600 * 1000);
    EXPECT_TRUE(child<QTimer>("Timer1")->isActive());
    // What the minimise started has run: the window is still there.
    QCoreApplication::processEvents();
    EXPECT_TRUE(window->isVisible());
    // The icon's left click brings it back.
    emit window->trayIcon().leftClicked();
    EXPECT_FALSE(window->isMinimized());
    EXPECT_TRUE(child<QTimer>("Timer2")->isActive());
    EXPECT_EQ(child<QTimer>("Timer3")->interval(), 1000);
}

TEST_F(MainWindowTest, TheAdvertisementPageIsFetchedOnlyOnceThePanelShows) {
    settings.setValue("option/AdPage", "http://127.0.0.1:9/ad4.asp");
    writeStore({"2026-12-09 09:00:00|声音提醒||"});
    start();
    auto* web = child<AdvertisementBrowser>("Web");
    EXPECT_FALSE(web->loader().started());
    window->listMenu()->findChild<QAction*>("mDelAC")->trigger(); // the panel shows again
    EXPECT_TRUE(web->loader().started());
}

TEST_F(MainWindowTest, ExpiredAlarmsFollowTheAutoClearSetting) {
    const QStringList lines{"2026-12-08 09:00:00|附加动作||关闭QQ",
                            "2026-12-08 09:00:00|附加动作||电脑关机",
                            "2026-12-09 09:00:00|声音提醒||"};
    writeStore(lines);
    settings.setValue("option/Clear", "0");
    start();
    // The overdue close line fired in the first pass and ended it; the shutdown line had
    // been dropped at load.
    EXPECT_EQ(listLines(), QStringList{lines[2]});
    EXPECT_EQ(actions.callsOf(ActionKind::TerminateProcessByName).size(), 1u);
    EXPECT_TRUE(actions.callsOf(ActionKind::ShutDownComputer).empty());
}

TEST_F(MainWindowTest, ADueAlarmFiresAtStartAndTheStoreIsRewrittenAtOnce) {
    writeStore({"2026-12-08 10:05:59|声音及文本提醒|该开会了|", "2026-12-09 09:00:00|声音提醒||"});
    start();
    ASSERT_TRUE(window->notification().isLoaded());
    EXPECT_EQ(window->notification().window()->reminderTexts(), QStringList{"该开会了"});
    const std::vector<ActionCall> expected{
        {ActionKind::PlayAlarmSound, window->soundFilePath().toStdString()}};
    EXPECT_EQ(actions.calls(), expected);
    EXPECT_EQ(readAll(storePath), QByteArray("2026-12-09 09:00:00|声音提醒||\r\n"));
}

TEST_F(MainWindowTest, TheTimerPassFiresAnAlarmAtItsMinute) {
    writeStore({"2026-12-08 10:06:30|文本框提醒||"});
    start();
    EXPECT_FALSE(window->notification().isLoaded());
    clock.set(at("2026-12-08 10:06:00"));
    tick("Timer1");
    ASSERT_TRUE(window->notification().isLoaded());
    EXPECT_EQ(window->notification().window()->reminderTexts(), QStringList{"重要提醒哦！*^_^*"});
    EXPECT_EQ(window->alarms().count(), 0);
    EXPECT_EQ(readAll(storePath), QByteArray("\r\n"));
}

TEST_F(MainWindowTest, ExitWritesTheStoreAndFiveSettingsOnce) {
    writeStore({"2026-12-09 09:00:00|声音提醒||"});
    start();
    child<QLineEdit>("tSJ")->setText("7");
    child<QCheckBox>("chkBeep")->setChecked(true);
    window->alarms().removeAt(0);
    window->formUnload();
    EXPECT_EQ(readAll(storePath), QByteArray("\r\n"));
    EXPECT_EQ(settings.value("option/Time").toString(), "7");
    EXPECT_EQ(settings.value("option/Beep").toString(), "1");
    EXPECT_EQ(settings.value("option/Clear").toString(), "1");
    EXPECT_EQ(settings.value("option/Auto").toString(), "1");
    EXPECT_EQ(settings.value("option/Inter").toString(), "30");
    EXPECT_FALSE(settings.contains("option/sWavFN"));
    // The exit runs once, whichever way the program ends.
    saveStore(storePath, {"2026-12-10 09:00:00|声音提醒||"});
    window->close();
    EXPECT_EQ(window->exitSteps().ran().size(), 4);
    EXPECT_EQ(readAll(storePath), QByteArray("2026-12-10 09:00:00|声音提醒||\r\n"));
}

TEST_F(MainWindowTest, AShutdownAlarmEndsTheProgramWithoutTheExitWork) {
    writeStore({"2026-12-08 10:05:00|附加动作||电脑关机", "2026-12-09 09:00:00|声音提醒||"});
    const QByteArray before = readAll(storePath);
    bool ended = false;
    window = std::make_unique<FrmMain>(context());
    QObject::connect(window.get(), &FrmMain::exitFinished, [&] { ended = true; });
    window->formLoad();
    EXPECT_TRUE(ended);
    EXPECT_TRUE(window->endedAtOnce());
    EXPECT_EQ(actions.callsOf(ActionKind::ShutDownComputer).size(), 1u);
    window->close();
    EXPECT_TRUE(window->exitSteps().ran().isEmpty());
    EXPECT_EQ(readAll(storePath), before);
    EXPECT_FALSE(settings.contains("option/Time"));
}

TEST_F(MainWindowTest, LayoutCarriesTheDesignedNamesCaptionsAndGeometry) {
    start();
    EXPECT_EQ(window->objectName(), "frmMain");
    EXPECT_EQ(window->windowTitle(), "TikkoClock2.9版");
    // The repeat frame below the editor made the window taller; the editor is as designed.
    EXPECT_EQ(window->size(), QSize(560, 476));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(child<QGroupBox>("Frame1")->geometry(), QRect(7, 5, 191, 262));
    EXPECT_EQ(child<QGroupBox>("fMain")->geometry(), child<QGroupBox>("fOpt")->geometry());
    EXPECT_FALSE(child<QGroupBox>("fOpt")->isVisibleTo(window.get()));
    EXPECT_EQ(child<QListView>("lstA")->geometry(), QRect(7, 23, 337, 407));
    EXPECT_EQ(child<QPushButton>("cmdAdd")->geometry(), QRect(8, 208, 175, 46));
    EXPECT_EQ(child<QPushButton>("cmdAdd")->text(), "添加闹钟");
    EXPECT_EQ(child<QPushButton>("cmdOption")->text(), "选项开>");
    EXPECT_EQ(child<QCheckBox>("ckClr")->text(), "自动清除过期的闹钟(推荐)。");
    EXPECT_EQ(child<QLabel>("Label3")->text(), "提前提醒         分钟（推荐）");
    EXPECT_EQ(child<QComboBox>("cZQH")->count(), 24);
    EXPECT_EQ(child<QComboBox>("cZQM")->itemText(59), "59");
    EXPECT_EQ(child<QComboBox>("cTX")->currentText(), reminder::SoundAndAction);
    EXPECT_EQ(child<QComboBox>("cDZ")->count(), 10);
    EXPECT_FALSE(child<QComboBox>("cTxt")->isEnabled());
    EXPECT_TRUE(child<QComboBox>("cDZ")->isEnabled());
    child<QComboBox>("cTX")->setCurrentIndex(1);
    EXPECT_TRUE(child<QComboBox>("cTxt")->isEnabled());
    EXPECT_FALSE(child<QComboBox>("cDZ")->isEnabled());
    EXPECT_EQ(child<QTimer>("Timer1")->interval(), 3000);
    EXPECT_EQ(child<QTimer>("Timer2")->interval(), 1000);
}

TEST_F(MainWindowTest, TheAlarmMomentFitsItsBox) {
    start();
    window->show();
    QComboBox* moment = child<QComboBox>("cJS");
    ASSERT_TRUE(moment->lineEdit());
    const int needed = moment->lineEdit()->fontMetrics().horizontalAdvance(moment->currentText());
    EXPECT_GE(moment->lineEdit()->width(), needed + 4)
        << moment->lineEdit()->width() << " " << needed;
}

} // namespace
} // namespace tikko
