#pragma once

#include "tikko/alarm/alarm_check.h"
#include "tikko/alarm/steps.h"
#include "tikko/notification_window.h"
#include "tikko/shell/tray_icon.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>
#include <memory>

class QComboBox;
class QListWidget;
class QSettings;

namespace Ui {
class frmMain;
}

namespace tikko {

class Clock;
class SystemActions;

// What the main window works with; injected so that tests run it with a recording backend,
// a fake clock and throw-away folders.
struct MainWindowContext {
    SystemActions& actions;
    const Clock& clock;
    QSettings& settings;
    QString programFolder; // skin.she and the default alarm.wav
    QString storePath;     // alarm.ini
};

// The main window frmMain. Start-up (formLoad) and exit (formUnload) run their steps in a
// fixed order, each failing on its own; the list lstA is the alarm model.
class FrmMain final : public QWidget, private AlarmHost {
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

    bool loadedAlarms() const { return m_loadedAlarms; }
    bool endedAtOnce() const { return m_endedAtOnce; }
    const StepRunner& startupSteps() const { return m_startup; }
    const StepRunner& exitSteps() const { return m_exit; }
    QListWidget* alarmList() const;
    AlarmCheck& alarmCheck() { return m_check; }
    NotificationWindow& notification() { return m_notification; }
    TrayIcon& trayIcon() { return m_tray; }
    QString soundFilePath() const override { return m_soundFilePath; }
    // Milliseconds since start-up read the start tick.
    qint64 runTimeMs() const { return m_startTick.isValid() ? m_startTick.elapsed() : 0; }

signals:
    // The exit work is done (or skipped after a shutdown); the program may end.
    void exitFinished();

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private slots:
    void on_ckAuto_toggled(bool checked);

private:
    // AlarmHost
    void showNotification(const QString& promptText) override;
    void processPendingEvents() override;
    void listChanged() override;
    void showMessage(const QString& text) override;
    void endProgramAtOnce() override;

    void saveAlarmStore();
    void saveSettings();
    void centreOnScreen();
    void fillSpanLists();
    void fillEditorLists();
    void recomputeAlarmMoment();
    void applyReminderType();
    void showClock();

    class ListAlarms;

    MainWindowContext m_context;
    std::unique_ptr<Ui::frmMain> m_ui;
    std::unique_ptr<ListAlarms> m_list;
    AlarmCheck m_check;
    NotificationWindow m_notification;
    TrayIcon m_tray;
    QTimer m_timer1;
    QTimer m_timer2;
    QElapsedTimer m_startTick;
    StepRunner m_startup;
    StepRunner m_exit;
    QString m_soundFilePath;
    QMetaObject::Connection m_trayConnection;
    bool m_loadedAlarms = false;
    bool m_unloaded = false;
    bool m_endedAtOnce = false;
};

// The style and the 12-pixel font of the old design: its boxes are sized for a font whose
// Latin letters are half as wide as its Chinese ones.
void applyProgramLook();

// Sets how tall the drop-down list of a combo box may grow, in pixels.
void setComboDropHeight(QComboBox* combo, int heightPx);

} // namespace tikko
