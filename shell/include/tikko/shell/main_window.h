// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/alarm/alarm_check.h"
#include "tikko/alarm/alarm_editor.h"
#include "tikko/alarm/program_files.h"
#include "tikko/alarm/settings.h"
#include "tikko/alarm/steps.h"
#include "tikko/alarm/store_notices.h"
#include "tikko/notification_window.h"
#include "tikko/picker/frm_dlg.h"
#include "tikko/shell/rest_reminder.h"
#include "tikko/shell/tray_icon.h"

#include <QLoggingCategory>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QComboBox;
class QListWidget;
class QListWidgetItem;
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
    ProgramFiles files;    // skin.she and the default alarm.wav
    QString storePath;     // alarm.ini, where it is written
    QString storeReadPath; // where it is read at start-up, when that is another file
};

// The main window frmMain. Start-up (formLoad) and exit (formUnload) run their steps in a
// fixed order, each failing on its own; the list lstA is the alarm model.
class FrmMain final : public QWidget, private AlarmHost, public PickerHost {
    Q_OBJECT

public:
    static inline const QString Caption = QStringLiteral("TikkoClock2.9版");

    // Pops a menu up at a screen position and returns when it has closed.
    using MenuPopUp = std::function<void(QMenu& menu, const QPoint& globalPosition)>;
    // Tells the user one thing without waiting for an answer.
    using MessageSink = std::function<void(const QString& text)>;
    // Opens the file picker modally with that caption and pattern; true when a file was
    // chosen (the picker has then set the path it was opened for).
    using FilePicker = std::function<bool(const QString& caption, const QString& pattern)>;
    // Shows a secondary window modally at its place and returns when it has closed.
    using ModalRunner = std::function<void(QDialog& window)>;

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

    void setMenuPopUp(MenuPopUp popUp) { m_menuPopUp = std::move(popUp); }
    void setMessageSink(MessageSink sink) { m_messages = std::move(sink); }
    void setFilePicker(FilePicker picker) { m_filePicker = std::move(picker); }
    void setModalRunner(ModalRunner runner) { m_modalRunner = std::move(runner); }
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
    QListWidget* alarmList() const;
    QMenu* listMenu() const { return m_listMenu; }
    AlarmCheck& alarmCheck() { return m_check; }
    NotificationWindow& notification() { return m_notification; }
    TrayIcon& trayIcon() { return m_tray; }
    QString soundFilePath() const override { return m_soundFilePath; }

signals:
    // The exit work is done (or skipped after a shutdown); the program may end.
    void exitFinished();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private slots:
    void on_ckAuto_toggled(bool checked);
    void on_cZQH_editTextChanged(const QString& text);
    void on_cZQM_editTextChanged(const QString& text);
    void on_cZQH_activated(int index);
    void on_cZQM_activated(int index);
    void on_cTX_currentIndexChanged(int index);
    void on_cDZ_activated(int index);
    void on_cmdAdd_clicked();
    void on_cmdSelWav_clicked();
    void on_cmdPrePlay_clicked();
    void on_cmdOption_clicked();
    void on_cmdMB_clicked();
    void on_cmdRL_clicked();
    void on_Label8_linkActivated(const QString& link);
    void on_lstA_mousePressed(Qt::MouseButton button, const QPoint& globalPosition);
    void on_lstA_deleteRequested();
    void on_mDelC_triggered();
    void on_mDelAC_triggered();

private:
    // AlarmHost
    void showNotification(const QString& promptText, const QDateTime& alarmTime) override;
    void processPendingEvents() override;
    void listChanged() override;
    void showMessage(const QString& text) override;
    void endProgramAtOnce() override;

    void buildListMenu();
    void runEvery(QTimer& timer, const char* name, int intervalMs, std::function<void()> work);
    void saveAlarmStore();
    void saveSettings();
    void centreOnScreen();
    void fillSpanLists();
    void fillEditorLists();
    void recomputeAlarmMoment();
    void applyReminderType();
    void showClock();
    void restTick();
    void refreshDeleteItem();
    // The advertisement panel lies over the list while it is empty.
    void setAdvertisementShown(bool shown);
    bool pickFile(const QString& caption, const QString& pattern);
    void tell(const QString& text);
    void addAlarmItem(const QString& text, const QByteArray& raw = {});
    // Shows a line whose time cannot be read apart: it never fires.
    void markUnreadable(QListWidgetItem* item);
    void runModal(QDialog& window, QPoint offsetTwips);

    class ListAlarms;

    MainWindowContext m_context;
    std::unique_ptr<Ui::frmMain> m_ui;
    std::unique_ptr<ListAlarms> m_list;
    AlarmCheck m_check;
    AlarmEditor m_editor;
    NotificationWindow m_notification;
    TrayIcon m_tray;
    QTimer m_timer1;
    QTimer m_timer2;
    QTimer m_timer3;
    RestReminder m_rest;
    SettingsValues m_settingsRead; // as start-up found them
    SaveReport m_saveReport;
    bool m_storeLeftAlone = false; // it exists but could not be read
    QString m_missedNotice;
    StepRunner m_startup;
    StepRunner m_exit;
    QString m_soundFilePath;
    QString m_runProgramPath;
    QMenu* m_listMenu = nullptr;
    MenuPopUp m_menuPopUp;
    MessageSink m_messages;
    FilePicker m_filePicker;
    ModalRunner m_modalRunner;
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
