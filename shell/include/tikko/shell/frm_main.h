// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/alarm/alarm_check.h"
#include "tikko/alarm/alarm_editor.h"
#include "tikko/alarm/alarm_model.h"
#include "tikko/alarm/alarm_store.h"
#include "tikko/alarm/program_files.h"
#include "tikko/alarm/settings.h"
#include "tikko/alarm/steps.h"
#include "tikko/alarm/store_notices.h"
#include "tikko/notification_window.h"
#include "tikko/picker/frm_dlg.h"
#include "tikko/shell/rest_reminder.h"
#include "tikko/shell/tray_icon.h"
#include "tikko/shell/user_interface.h"

#include <QLoggingCategory>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QComboBox;
class QListView;
class QMenu;
class QSettings;

namespace Ui {
class frmMain;
}

Q_DECLARE_LOGGING_CATEGORY(lcShell)

namespace tikko {

class Clock;
class KalendoLibrary;
class MonotonicClock;
class SystemActions;

// What the main window works with; injected so that tests run it with a recording backend,
// fake clocks and throw-away folders.
struct MainWindowContext {
    SystemActions& actions;
    const Clock& clock;
    const MonotonicClock& monotonic;
    QSettings& settings;
    UserInterface& ui;
    ProgramFiles files;    // skin.she and the default alarm.wav
    QString storePath;     // alarm.ini, where it is written
    QString storeReadPath; // where it is read at start-up, when that is another file
};

// The main window frmMain. Start-up (formLoad) and exit (formUnload) run their steps in a
// fixed order, each failing on its own; the list lstA shows the alarm model.
class FrmMain final : public QWidget, private AlarmHost, public PickerHost {
    Q_OBJECT

public:
    static inline const QString Caption = QStringLiteral("TikkoClock2.9版");

    explicit FrmMain(MainWindowContext context, QWidget* parent = nullptr);
    ~FrmMain() override;

    void formLoad();
    // Runs once; later calls do nothing.
    void formUnload();

    // Shows the window after start-up: normal with an empty list; otherwise hidden in the
    // notification area, or only minimised where there is none.
    void showAtStart();
    // The left click on the icon, and a second start of the program.
    void restoreFromTray();
    // Tells the user one thing without waiting: where there is a notification area, a
    // balloon there; a message box otherwise.
    void notify(const QString& text);

    // Where the calendar control is looked for (the program's and the installed folder).
    void setCalendarFolders(QStringList folders);

    // PickerHost: the paths the picker sets.
    void setSoundFilePath(const QString& path) override;
    void setRunProgramPath(const QString& path) override { m_runProgramPath = path; }
    const QString& runProgramPath() const { return m_runProgramPath; }

    bool loadedAlarms() const { return m_loadedAlarms; }
    bool endedAtOnce() const { return m_endedAtOnce; }
    bool optionsShown() const { return m_optionsShown; }
    const StepRunner& startupSteps() const { return m_startup; }
    const StepRunner& exitSteps() const { return m_exit; }
    QListView* alarmList() const;
    AlarmModel& alarms() { return m_alarms; }
    AlarmStore& store() { return *m_store; }
    QMenu* listMenu() const { return m_listMenu; }
    AlarmCheck& alarmCheck() { return m_check; }
    NotificationWindow& notification() { return m_notification; }
    TrayIcon& trayIcon() { return m_tray; }
    QString soundFilePath() const override { return m_settings.soundFilePath; }
    // The settings as the window holds them; exit writes them.
    const SettingsValues& settings() const { return m_settings; }

    // Requests of scripts (the command line, D-Bus): they change the list as the editor and
    // the list's menu do, and save at once. Row -1 removes every alarm.
    SaveResult addAlarmLine(const QString& line, int& row);
    SaveResult removeAlarm(int row);
    // Ends the program through the normal exit work, without asking anything.
    void quitProgram();
    // Closes the window without the question a user's × gets (a request to end, the end of
    // the session).
    void closeAsTold();

    // Stops the alarm sound that plays, and everything that shows it rings.
    void stopRing();
    bool isRinging() const { return m_ringing; }
    // Brings the alarms of these lines back as one-shot alarms that many minutes from now.
    void snooze(int minutes, const QStringList& lines);
    QMenu* trayMenu() const { return m_trayMenu; }

signals:
    // The exit work is done (or skipped after a shutdown); the program may end.
    void exitFinished();
    // An alarm fired: its time ("yyyy-MM-dd HH:mm:ss"), its reminder type and its prompt.
    void alarmRang(const QString& time, const QString& type, const QString& prompt);

protected:
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void on_ckAuto_toggled(bool checked);
    void on_ckClr_toggled(bool checked);
    void on_chkBeep_toggled(bool checked);
    void on_tSJ_textChanged(const QString& text);
    void on_txtInter_textChanged(const QString& text);
    void on_cZQH_editTextChanged(const QString& text);
    void on_cZQM_editTextChanged(const QString& text);
    void on_cZQH_activated(int index);
    void on_cZQM_activated(int index);
    void on_cTX_currentIndexChanged(int index);
    void on_cDZ_activated(int index);
    void on_cRepeat_activated(int index);
    void on_cmdAdd_clicked();
    void on_cmdSelWav_clicked();
    void on_cmdPrePlay_clicked();
    void on_cmdOption_clicked();
    void on_cmdMB_clicked();
    void on_cmdRL_clicked();
    void on_Label8_linkActivated(const QString& link);
    void on_lstA_mousePressed(Qt::MouseButton button, const QPoint& globalPosition);
    void on_lstA_deleteRequested();
    void on_mEditC_triggered();
    void on_mDelC_triggered();
    void on_mDelAC_triggered();
    void on_mExport_triggered();
    void on_ckRing_toggled(bool checked);
    void on_txtRing_textChanged(const QString& text);

private:
    // AlarmHost
    Playback soundPlayback() const override;
    void ringStarted(const Alarm& alarm, bool inWindow) override;
    void showNotification(const QString& text, const QDateTime& alarmTime,
                          const QString& source) override;
    void processPendingEvents() override;
    void alarmFired(const Alarm& alarm) override;
    void tellFailure(const QString& text, bool inWindow, const QDateTime& alarmTime) override;
    void showMessage(const QString& text) override;
    void endProgramAtOnce() override;

    void buildListMenu();
    void buildTrayMenu();
    // The tray's left click: it stops a ring, else it brings the window back.
    void trayClicked();
    void runEvery(QTimer& timer, const char* name, int intervalMs, std::function<void()> work);
    SaveResult saveAlarmStore();
    // Takes in what another program changed in the store meanwhile.
    void mergeOutsideChange();
    void checkAlarms();
    void saveSettings();
    // Puts the settings into the boxes that show them.
    void showSettings();
    void centreOnScreen();
    void fillSpanLists();
    void fillEditorLists();
    // Shows the fields the chosen repeat rule needs; fills them from the date in cJS.
    void showRepeatFields(bool fromMoment);
    RepeatRule repeatRuleInEditor() const;
    void putIntoEditor(const Alarm& alarm);
    void recomputeAlarmMoment();
    void applyReminderType();
    void showClock();
    void restTick();
    // A window nobody sees needs no clock label and no run-time count: its timers then tick
    // only when a rest reminder is due.
    void paceTimers();
    void refreshDeleteItem();
    // The advertisement panel lies over the list while it is empty.
    void setAdvertisementShown(bool shown);
    bool pickFile(const QString& caption, const QString& pattern);
    void tell(const QString& text);
    // Appends an alarm (not saved yet) and uncovers the list.
    AlarmModel::Id addAlarm(const QString& line);
    void runModal(QDialog& window, QPoint offsetTwips);

    MainWindowContext m_context;
    std::unique_ptr<Ui::frmMain> m_ui;
    AlarmModel m_alarms;
    std::unique_ptr<AlarmStore> m_store;
    AlarmCheck m_check;
    AlarmEditor m_editor;
    NotificationWindow m_notification;
    TrayIcon m_tray;
    QTimer m_checkTimer; // "Timer1"
    QTimer m_clockTimer; // "Timer2"
    QTimer m_restTimer;  // "Timer3"
    RestReminder m_rest;
    SettingsValues m_settings;
    SaveReport m_saveReport;
    QStringList m_startNotices; // told once the program is up
    bool m_mergeTold = false;
    StepRunner m_startup;
    StepRunner m_exit;
    QString m_runProgramPath;
    // The alarm that "修改这个闹钟" put into the editor: adding replaces it.
    std::optional<AlarmModel::Id> m_editing;
    QMenu* m_listMenu = nullptr;
    QMenu* m_trayMenu = nullptr;
    // A ring: it stops when answered, or at the latest after the minutes of "RingMinutes".
    QTimer m_ringEnd;
    bool m_ringing = false;
    bool m_closingAsTold = false;
    QString m_ringingAlarm; // the line of an alarm that rings without a window, to put off
    std::unique_ptr<KalendoLibrary> m_calendar;
    QMetaObject::Connection m_trayConnection;
    bool m_loadedAlarms = false;
    bool m_unloaded = false;
    bool m_endedAtOnce = false;
    bool m_optionsShown = false;
};

// The style and the 12-pixel font of the old design: its boxes are sized for a font whose
// Latin letters are half as wide as its Chinese ones.
void applyProgramLook();

// Qt's own texts (standard buttons, the menus of text boxes) in Chinese, whatever the
// system's language: the whole interface is Chinese. False when the translations are not
// installed.
bool installChineseTranslations();

// Sets how tall the drop-down list of a combo box may grow, in pixels.
void setComboDropHeight(QComboBox* combo, int heightPx);

} // namespace tikko
