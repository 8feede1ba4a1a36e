// SPDX-License-Identifier: MIT
#include "tikko/shell/frm_main.h"

#include "kalendo/lunar.h"
#include "tikko/alarm/alarm_calendar.h"
#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/alarm_store.h"
#include "tikko/alarm/clock.h"
#include "tikko/alarm/settings.h"
#include "tikko/guarded.h"
#include "tikko/shell/secondary_windows.h"
#include "tikko/shell/skin.h"
#include "tikko/stopwatch/stopwatch_window.h"
#include "tikko/system_actions.h"
#include "ui_frmMain.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QMenu>
#include <QScreen>
#include <QSettings>
#include <QStandardPaths>
#include <QStyleFactory>
#include <QTranslator>
#include <cmath>

Q_LOGGING_CATEGORY(lcShell, "tikko.shell")

namespace tikko {

namespace {

const char* const UnreadableSpan = "unreadable";

// A span box whose text is no number says so with a red frame until it holds one again.
void markSpanBox(QComboBox* box, bool readable) {
    if (box->property(UnreadableSpan).toBool() == !readable)
        return;
    box->setProperty(UnreadableSpan, !readable);
    box->setStyleSheet(readable ? QString()
                                : QStringLiteral("QComboBox { border: 1px solid #d00000; }"));
    box->setToolTip(readable ? QString() : QStringLiteral("请填写数字"));
}

} // namespace

void applyProgramLook() {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QStringLiteral("Noto Sans Mono CJK SC"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(12);
    QApplication::setFont(font);
}

bool installChineseTranslations() {
    auto* translator = new QTranslator(qApp);
    if (!translator->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"),
                          QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        qCWarning(lcShell) << "Qt's Chinese translations are missing";
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    return true;
}

void setComboDropHeight(QComboBox* combo, int heightPx) {
    const int row = combo->view()->sizeHintForRow(0) > 0 ? combo->view()->sizeHintForRow(0)
                                                         : combo->fontMetrics().height() + 4;
    // The height counts the closed box too, as the old window size did.
    combo->setMaxVisibleItems(std::max(1, (heightPx - combo->height()) / row));
}

FrmMain::FrmMain(MainWindowContext context, QWidget* parent)
    : QWidget(parent)
    , m_context(std::move(context))
    , m_ui(std::make_unique<Ui::frmMain>())
    , m_store(std::make_unique<AlarmStore>(AlarmStore::Paths{m_context.storeReadPath.isEmpty()
                                                                 ? m_context.storePath
                                                                 : m_context.storeReadPath,
                                                             m_context.storePath},
                                           &m_context.settings))
    , m_check(m_alarms, m_context.actions, m_context.clock, *this)
    , m_editor(m_context.clock)
    , m_tray(this)
    , m_rest(m_context.monotonic)
    , m_calendar(std::make_unique<KalendoLibrary>(KalendoLibrary::standardFolders())) {
    buildListMenu();
    m_ui->setupUi(this);
    m_alarms.setToday([this] { return m_context.clock.now().date(); });
    m_ui->lstA->setModel(&m_alarms);
    setFixedSize(size());
    m_notification.setClock([this] { return m_context.clock.now(); });
    m_notification.setDismissHandler([this] { stopRing(); });
    m_notification.setSnoozeHandler(
        [this](int minutes, const QStringList& lines) { snooze(minutes, lines); });
    m_ringEnd.setSingleShot(true);
    connect(&m_ringEnd, &QTimer::timeout, this,
            [this] { guarded(lcShell, "ringEnd", [this] { stopRing(); }); });
    buildTrayMenu();
    setWindowIcon(QIcon(QStringLiteral(":/tikko/tikko.svg")));
    m_ui->tSJ->installEventFilter(this);

    // The timers run from the moment the window exists.
    runEvery(m_checkTimer, "Timer1", 3000, [this] { checkAlarms(); });
    runEvery(m_clockTimer, "Timer2", 1000, [this] { showClock(); });
    runEvery(m_restTimer, "Timer3", 1000, [this] { restTick(); });
}

void FrmMain::runEvery(QTimer& timer, const char* name, int intervalMs,
                       std::function<void()> work) {
    timer.setParent(this);
    timer.setObjectName(QLatin1String(name));
    timer.setInterval(intervalMs);
    connect(&timer, &QTimer::timeout, this,
            [name, work = std::move(work)] { guarded(lcShell, name, work); });
    timer.start();
}

FrmMain::~FrmMain() = default;

QListView* FrmMain::alarmList() const {
    return m_ui->lstA;
}

void FrmMain::setCalendarFolders(QStringList folders) {
    m_calendar = std::make_unique<KalendoLibrary>(std::move(folders));
}

void FrmMain::buildListMenu() {
    // Made before the form, so that the form's auto-connection finds its items too.
    m_listMenu = new QMenu(this);
    m_listMenu->setObjectName(QStringLiteral("mM"));
    QAction* one = m_listMenu->addAction(QStringLiteral("删除这个闹钟"));
    one->setObjectName(QStringLiteral("mDelC"));
    one->setEnabled(false); // nothing is selected at start
    QAction* all = m_listMenu->addAction(QStringLiteral("删除全部闹钟"));
    all->setObjectName(QStringLiteral("mDelAC"));
    // After the two it always had, so that the keys people know still delete.
    m_listMenu->addSeparator();
    QAction* edit = m_listMenu->addAction(QStringLiteral("修改这个闹钟"));
    edit->setObjectName(QStringLiteral("mEditC"));
    edit->setEnabled(false);
    m_listMenu->addAction(QStringLiteral("导出到日历…"))->setObjectName(QStringLiteral("mExport"));
}

void FrmMain::buildTrayMenu() {
    m_trayMenu = new QMenu(this);
    m_trayMenu->setObjectName(QStringLiteral("mTray"));
    const auto add = [this](const char* name, const QString& text, auto work) {
        QAction* item = m_trayMenu->addAction(text);
        item->setObjectName(QLatin1String(name));
        connect(item, &QAction::triggered, this,
                [this, name, work] { guarded(lcShell, name, [&] { work(); }); });
        return item;
    };
    add("mTrayShow", QStringLiteral("显示主窗口"), [this] { restoreFromTray(); });
    add("mTrayAdd", QStringLiteral("添加闹钟…"), [this] {
        restoreFromTray();
        m_ui->cJS->setFocus();
    });
    add("mTrayStop", QStringLiteral("停止响铃"), [this] { stopRing(); })->setVisible(false);
    add("mTraySnooze", QStringLiteral("稍后提醒"), [this] {
        snooze(m_notification.snoozeMinutes(), {m_ringingAlarm});
    })->setVisible(false);
    m_trayMenu->addSeparator();
    add("mTrayQuit", QStringLiteral("退出"), [this] { quitProgram(); });
    m_tray.setMenu(m_trayMenu);
}

void FrmMain::trayClicked() {
    if (m_ringing) {
        stopRing();
        return;
    }
    restoreFromTray();
}

Playback FrmMain::soundPlayback() const {
    return m_settings.ringUntilAnswered ? Playback::UntilStopped : Playback::Once;
}

void FrmMain::ringStarted(const Alarm& alarm, bool inWindow) {
    m_ringing = true;
    m_ringEnd.start(ringMinutes(m_settings) * 60 * 1000);
    // Without a window, the icon shows it rings; a click on it or its menu answers it.
    m_ringingAlarm = inWindow ? QString() : alarm.text();
    m_tray.setFlashing(!inWindow);
    m_trayMenu->findChild<QAction*>(QStringLiteral("mTrayStop"))->setVisible(true);
    m_trayMenu->findChild<QAction*>(QStringLiteral("mTraySnooze"))
        ->setVisible(!m_ringingAlarm.isEmpty());
}

void FrmMain::stopRing() {
    if (!m_ringing)
        return; // a preview of the sound, or nothing, plays: not this program's ring
    m_context.actions.stopAlarmSound();
    m_ringing = false;
    m_ringEnd.stop();
    m_tray.setFlashing(false);
    m_trayMenu->findChild<QAction*>(QStringLiteral("mTrayStop"))->setVisible(false);
    // Putting off stays on offer until another alarm rings.
    m_trayMenu->findChild<QAction*>(QStringLiteral("mTraySnooze"))
        ->setVisible(!m_ringingAlarm.isEmpty());
}

void FrmMain::snooze(int minutes, const QStringList& lines) {
    stopRing(); // from the tray; the window stops it as it closes
    m_settings.snoozeMinutes = QString::number(minutes);
    m_notification.setSnoozeMinutes(minutes);
    const QDateTime later = m_context.clock.now().addSecs(qint64{minutes} * 60);
    bool added = false;
    for (const QString& line : lines) {
        const Alarm alarm(StoreLine{line, {}});
        if (alarm.type().isEmpty())
            continue;
        // Once, whatever the alarm's rule: the same type, prompt and action.
        addAlarm(buildAlarmLine(later, alarm.type(), alarm.prompt().toString(),
                                alarm.action().toString()));
        added = true;
    }
    m_ringingAlarm.clear();
    m_trayMenu->findChild<QAction*>(QStringLiteral("mTraySnooze"))->setVisible(false);
    if (added)
        saveAlarmStore();
}

void FrmMain::formLoad() {
    m_startup.run({
        {"skin",
         [&] {
             applySkinFile(m_context.files.skinFile());
         }},
        {"trayIcon",
         [&] {
             m_tray.add(windowIcon());
         }},
        {"windowHook",
         [&] {
             m_trayConnection =
                 connect(&m_tray, &TrayIcon::leftClicked, this, &FrmMain::trayClicked);
         }},
        {"centre",
         [&] {
             centreOnScreen();
         }},
        {"comboHeights",
         [&] {
             setComboDropHeight(m_ui->cDZ, 200);
             setComboDropHeight(m_ui->cZQH, 320);
             setComboDropHeight(m_ui->cZQM, 320);
         }},
        {"clock",
         [&] {
             showClock();
         }},
        {"settings",
         [&] {
             m_settings = readSettings(m_context.settings, m_context.files.defaultSound());
             // A change of the box state is a click: "Auto" = 0 removes the entry now.
             showSettings();
             // A ticked box means an entry: a first start (or a moved program) writes it.
             if (m_settings.autoStart && !m_context.actions.autoStartEntryExists())
                 on_ckAuto_toggled(true);
         }},
        {"startTick",
         [&] {
             m_rest.start();
         }},
        {"loadStore",
         [&] {
             const LoadedStore loaded =
                 m_store->load(m_alarms, m_settings.autoClear, m_context.clock.now());
             if (m_store->leftAlone()) {
                 m_startNotices << unreadableStoreNotice(
                     m_store->path(),
                     loaded.whole ? loaded.error : QStringLiteral("有无法识别的字符"),
                     m_store->addedPath());
             } else if (!loaded.error.isEmpty()) {
                 qCWarning(lcShell)
                     << "the store cannot be read:" << m_store->path() << loaded.error;
             }
             if (m_store->mergedAddedCount() > 0 && !m_store->leftAlone())
                 m_startNotices << addedMergedNotice(m_store->mergedAddedCount(), m_store->path());
             m_startNotices << missedAlarmsNotice(loaded.missed)
                            << unreadableAlarmsNotice(m_alarms.unreadableCount());
             m_startNotices.removeAll(QString());
             if (loaded.saveNeeded)
                 saveAlarmStore();
         }},
        {"minimise",
         [&] {
             m_loadedAlarms = !m_alarms.isEmpty();
             if (m_loadedAlarms)
                 setAdvertisementShown(false);
         }},
        {"spanLists",
         [&] {
             fillSpanLists();
         }},
        {"editorLists",
         [&] {
             fillEditorLists();
         }},
        {"advertisement",
         [&] {
             m_ui->Web->setSystemActions(&m_context.actions);
             // A panel under a list of alarms shows nothing: its page comes when it first does.
             if (m_ui->pBox->isVisibleTo(this))
                 m_ui->Web->load(m_settings.advertisementPage);
         }},
        {"firstCheck",
         [&] {
             m_check.run();
         }},
    });
    // Once the program is up: what expired while it was not running, what cannot be read.
    if (!m_startNotices.isEmpty() && !m_endedAtOnce)
        QTimer::singleShot(0, this, [this] {
            guarded(lcShell, "startNotices", [this] {
                for (const QString& notice : std::as_const(m_startNotices))
                    tell(notice);
            });
        });
}

void FrmMain::formUnload() {
    if (m_unloaded || m_endedAtOnce)
        return;
    m_unloaded = true;
    m_exit.run({
        {"saveStore",
         [&] {
             // Every change was saved when it was made; a large store is not written again.
             if (!m_store->upToDate(m_alarms))
                 saveAlarmStore();
         }},
        {"saveSettings",
         [&] {
             saveSettings();
         }},
        {"removeTrayIcon",
         [&] {
             m_tray.remove();
         }},
        {"restoreHook",
         [&] {
             disconnect(m_trayConnection);
         }},
    });
}

void FrmMain::showAtStart() {
    if (!m_loadedAlarms) {
        show();
        return;
    }
    if (!m_tray.isShown())
        showMinimized(); // without a notification area a hidden window could not come back
    paceTimers();
}

void FrmMain::restoreFromTray() {
    guarded(lcShell, "restoreFromTray", [this] {
        setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        show();
        raise();
        activateWindow();
    });
}

void FrmMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    paceTimers();
}

void FrmMain::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    paceTimers();
}

void FrmMain::paceTimers() {
    if (isVisible() && !isMinimized()) {
        if (!m_clockTimer.isActive()) {
            showClock();
            m_clockTimer.start();
        }
        if (m_restTimer.interval() != 1000 || !m_restTimer.isActive())
            m_restTimer.start(1000);
        return;
    }
    m_clockTimer.stop();
    constexpr qint64 Day = 24 * 3600 * 1000;
    const auto next = m_rest.msToNextReminder(m_settings.restReminder, m_settings.restInterval);
    // A day at most: the next tick looks again, whatever the settings became.
    m_restTimer.start(static_cast<int>(std::clamp<qint64>(next.value_or(Day), 1000, Day)));
}

void FrmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        paceTimers();
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_tray.isShown())
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                hide();
        });
}

void FrmMain::closeEvent(QCloseEvent* event) {
    // The user's × with alarms pending: they would not ring.
    int pending = 0;
    for (int row = 0; row < m_alarms.count(); ++row)
        pending += m_alarms.at(row).minute() != Alarm::Never ? 1 : 0;
    if (!m_closingAsTold && !m_unloaded && m_settings.askOnClose && pending > 0) {
        bool dontAskAgain = false;
        const auto answer = m_context.ui.askBeforeClosing(
            QStringLiteral("还有 %1 个闹钟未响，退出后它们不会响铃。").arg(pending), dontAskAgain,
            this);
        if (dontAskAgain)
            m_settings.askOnClose = false;
        if (answer == UserInterface::CloseAnswer::Minimise) {
            event->ignore();
            showMinimized(); // into the notification area where there is one
            return;
        }
    }
    guarded(lcShell, "formUnload", [this] { formUnload(); });
    event->accept();
    emit exitFinished();
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
    // A click into the advance box selects its whole text, so that the next key replaces it.
    if (watched == m_ui->tSJ && event->type() == QEvent::MouseButtonRelease)
        m_ui->tSJ->selectAll();
    return QWidget::eventFilter(watched, event);
}

void FrmMain::keyPressEvent(QKeyEvent* event) {
    // "添加闹钟" is the window's default button: Enter that no box wanted presses it, unless
    // another button has the focus.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        auto* button = qobject_cast<QPushButton*>(focusWidget());
        if (!button)
            button = m_ui->cmdAdd;
        if (button->isEnabled() && button->isVisible()) {
            button->click();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void FrmMain::on_ckAuto_toggled(bool checked) {
    guarded(lcShell, "ckAuto", [&] {
        m_settings.autoStart = checked;
        const bool done =
            checked ? m_context.actions.enableAutoStart() : m_context.actions.disableAutoStart();
        if (!done)
            notify(checked ? QStringLiteral("无法设置开机自动启动：系统拒绝写入自动启动项。")
                           : QStringLiteral("无法取消开机自动启动：系统拒绝删除自动启动项。"));
    });
}

void FrmMain::on_ckRing_toggled(bool checked) {
    m_settings.ringUntilAnswered = checked;
}

void FrmMain::on_txtRing_textChanged(const QString& text) {
    m_settings.ringMinutes = text;
}

void FrmMain::on_mExport_triggered() {
    guarded(lcShell, "mExport", [this] {
        const QString path = m_context.ui.chooseSaveFile(
            QStringLiteral("导出到日历"),
            QDir(QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation))
                .filePath(QStringLiteral("TikkoClock.ics")),
            QStringLiteral("日历文件 (*.ics)"), this);
        if (path.isEmpty())
            return;
        const SaveResult result = exportAlarmCalendar(m_alarms, path, m_context.clock.now());
        tell(result ? QStringLiteral("已把 %1 个闹钟导出到 %2。")
                          .arg(m_alarms.count())
                          .arg(QDir::toNativeSeparators(path))
                    : QStringLiteral("无法导出到 %1：%2。")
                          .arg(QDir::toNativeSeparators(path), result.reason));
    });
}

void FrmMain::on_ckClr_toggled(bool checked) {
    m_settings.autoClear = checked;
}

void FrmMain::on_chkBeep_toggled(bool checked) {
    m_settings.restReminder = checked;
    paceTimers();
}

void FrmMain::on_tSJ_textChanged(const QString& text) {
    m_settings.advanceMinutes = text;
}

void FrmMain::on_txtInter_textChanged(const QString& text) {
    m_settings.restInterval = text;
    paceTimers();
}

void FrmMain::on_cZQH_editTextChanged(const QString&) {
    guarded(lcShell, "cZQH", [this] { recomputeAlarmMoment(); });
}

void FrmMain::on_cZQM_editTextChanged(const QString&) {
    guarded(lcShell, "cZQM", [this] { recomputeAlarmMoment(); });
}

void FrmMain::on_cZQH_activated(int) {
    guarded(lcShell, "cZQH", [this] { recomputeAlarmMoment(); });
}

void FrmMain::on_cZQM_activated(int) {
    guarded(lcShell, "cZQM", [this] { recomputeAlarmMoment(); });
}

void FrmMain::on_cTX_currentIndexChanged(int) {
    guarded(lcShell, "cTX", [this] { applyReminderType(); });
}

void FrmMain::on_cDZ_activated(int) {
    guarded(lcShell, "cDZ", [this] {
        if (m_ui->cDZ->currentText() == action::RunProgramItem)
            pickFile(PickerLogic::ProgramCaption, PickerLogic::ProgramPattern);
    });
}

void FrmMain::on_cmdAdd_clicked() {
    guarded(lcShell, "cmdAdd", [this] {
        EditorInput input;
        input.hoursText = m_ui->cZQH->currentText();
        input.minutesText = m_ui->cZQM->currentText();
        input.momentText = m_ui->cJS->currentText();
        input.advanceText = m_ui->tSJ->text();
        input.type = m_ui->cTX->currentText();
        input.promptEnabled = m_ui->cTxt->isEnabled();
        input.prompt = m_ui->cTxt->currentText();
        input.actionEnabled = m_ui->cDZ->isEnabled();
        input.action = m_ui->cDZ->currentText();
        input.runProgramPath = m_runProgramPath;
        input.rule = repeatRuleInEditor();
        AddOutcome outcome = m_editor.add(input);
        if (outcome.failed == EditorBox::Program) {
            // No program was ever chosen: choose one now, or add nothing.
            if (!pickFile(PickerLogic::ProgramCaption, PickerLogic::ProgramPattern))
                return;
            input.runProgramPath = m_runProgramPath;
            outcome = m_editor.add(input);
        }
        const std::pair<EditorBox, QWidget*> boxes[] = {{EditorBox::Hours, m_ui->cZQH},
                                                        {EditorBox::Minutes, m_ui->cZQM},
                                                        {EditorBox::Moment, m_ui->cJS},
                                                        {EditorBox::Advance, m_ui->tSJ},
                                                        {EditorBox::Repeat, m_ui->cRepeat}};
        for (const auto& [failed, box] : boxes) {
            if (outcome.failed == failed) {
                box->setFocus();
                tell(outcome.message);
                return;
            }
        }
        if (outcome.line.isEmpty())
            return;
        if (outcome.inThePast &&
            !m_context.ui.ask(QStringLiteral("这个时间已经过去，仍要添加吗？"), this))
            return;
        const int editedRow = m_editing ? m_alarms.rowOf(*m_editing) : -1;
        if (editedRow >= 0)
            m_alarms.replaceAt(editedRow, Alarm(StoreLine{outcome.line, {}}));
        else
            addAlarm(outcome.line);
        m_editing.reset();
        m_ui->Frame1->setTitle(QStringLiteral("添加闹钟"));
        saveAlarmStore();
    });
}

void FrmMain::on_cmdSelWav_clicked() {
    guarded(lcShell, "cmdSelWav",
            [this] { pickFile(PickerLogic::SoundCaption, PickerLogic::SoundPattern); });
}

void FrmMain::on_cmdPrePlay_clicked() {
    guarded(lcShell, "cmdPrePlay", [this] {
        const QString path = m_settings.soundFilePath;
        const auto failed = [this, path](const QString& why) {
            tell(
                QStringLiteral("无法播放报警声音 %1：%2").arg(QDir::toNativeSeparators(path), why));
        };
        if (!QFileInfo(path).isFile()) {
            failed(QStringLiteral("文件不存在"));
            return;
        }
        const bool started =
            m_context.actions.playAlarmSound(path.toStdString(), [failed](const std::string& why) {
                failed(QString::fromStdString(why));
            });
        if (!started)
            failed(QStringLiteral("没有能播放它的程序"));
    });
}

void FrmMain::on_cmdOption_clicked() {
    guarded(lcShell, "cmdOption", [this] {
        m_optionsShown = !m_optionsShown;
        m_ui->fOpt->setVisible(m_optionsShown);
        m_ui->fMain->setVisible(!m_optionsShown);
        m_ui->cmdOption->setText(m_optionsShown ? QStringLiteral("<选项关")
                                                : QStringLiteral("选项开>"));
    });
}

void FrmMain::on_cmdMB_clicked() {
    guarded(lcShell, "cmdMB", [this] {
        FrmMB stopwatch(m_context.clock, m_context.monotonic, this);
        runModal(stopwatch, {twips(3750), twips(950)});
    });
}

void FrmMain::on_cmdRL_clicked() {
    guarded(lcShell, "cmdRL", [this] {
        QWidget* control = m_calendar->createControl(nullptr);
        if (!control) {
            qCWarning(lcShell) << m_calendar->error();
            tell(m_calendar->error());
            return;
        }
        CalendarHooks hooks;
        hooks.alarmDays = [this](int year, int month) {
            return alarmDays(m_alarms, year, month);
        };
        // The editor takes the day, at the time of day it holds.
        hooks.dayChosen = [this](const QDate& day) {
            const auto held = parseAlarmTime(m_ui->cJS->currentText());
            const QTime time = held ? held->time() : m_context.clock.now().time();
            m_ui->cJS->setEditText(formatAlarmTime(QDateTime(day, time)));
            m_ui->cJS->setFocus();
        };
        FrmRL calendar(control, this, std::move(hooks));
        runModal(calendar, {twips(-100), twips(450)});
    });
}

void FrmMain::on_Label8_linkActivated(const QString&) {
    guarded(lcShell, "Label8", [this] {
        // A browser that cannot be started is passed over.
        m_context.actions.openInBrowser(m_settings.forumPage.toStdString());
    });
}

void FrmMain::runModal(QDialog& window, QPoint offset) {
    // Modal to the main window only: a reminder that fires meanwhile stays answerable.
    window.setWindowModality(Qt::WindowModal);
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect available = screen ? screen->availableGeometry() : QRect();
    window.adjustSize();
    const QSize frame = window.frameGeometry().size().expandedTo(window.size());
    window.move(available.isValid() ? placeBeside(frameGeometry(), offset, frame, available)
                                    : frameGeometry().topLeft() + offset);
    m_context.ui.runModal(window);
}

void FrmMain::on_lstA_mousePressed(Qt::MouseButton button, const QPoint& globalPosition) {
    guarded(lcShell, "lstA", [&] {
        if (button == Qt::RightButton && !m_alarms.isEmpty()) {
            m_context.ui.popUp(*m_listMenu, globalPosition);
        }
        refreshDeleteItem();
    });
}

void FrmMain::on_lstA_deleteRequested() {
    guarded(lcShell, "lstA", [this] {
        if (m_ui->lstA->selectedRow() >= 0)
            on_mDelC_triggered();
    });
}

void FrmMain::on_mEditC_triggered() {
    guarded(lcShell, "mEditC", [this] {
        const int row = m_ui->lstA->selectedRow();
        if (row < 0)
            return;
        m_editing = m_alarms.idAt(row);
        putIntoEditor(m_alarms.at(row));
        m_ui->Frame1->setTitle(QStringLiteral("修改闹钟"));
        m_ui->cJS->setFocus();
    });
}

void FrmMain::on_mDelC_triggered() {
    guarded(lcShell, "mDelC", [this] {
        const int row = m_ui->lstA->selectedRow();
        if (row >= 0)
            removeAlarm(row);
        else if (m_alarms.isEmpty())
            setAdvertisementShown(true);
    });
}

void FrmMain::on_mDelAC_triggered() {
    guarded(lcShell, "mDelAC", [this] {
        if (!m_alarms.isEmpty() &&
            !m_context.ui.ask(QStringLiteral("删除全部 %1 个闹钟？").arg(m_alarms.count()), this))
            return;
        removeAlarm(-1);
    });
}

void FrmMain::refreshDeleteItem() {
    for (const char* name : {"mDelC", "mEditC"}) {
        if (QAction* item = m_listMenu->findChild<QAction*>(QLatin1String(name)))
            item->setEnabled(m_ui->lstA->selectedRow() >= 0);
    }
}

void FrmMain::setAdvertisementShown(bool shown) {
    m_ui->pBox->setVisible(shown);
    if (shown && m_startup.ran().contains(QLatin1String("advertisement")))
        m_ui->Web->load(m_settings.advertisementPage); // once a run: later calls do nothing
}

void FrmMain::setSoundFilePath(const QString& path) {
    m_settings.soundFilePath = path;
    m_ui->txtWav->setText(path);
}

bool FrmMain::pickFile(const QString& caption, const QString& pattern) {
    return m_context.ui.pickFile(caption, pattern, *this, this);
}

void FrmMain::tell(const QString& text) {
    m_context.ui.tell(text, this);
}

void FrmMain::notify(const QString& text) {
    if (!m_context.ui.showBalloon(m_tray, text))
        tell(text);
}

void FrmMain::showNotification(const QString& text, const QDateTime& alarmTime,
                               const QString& source) {
    m_notification.show(text, alarmTime, source);
}

void FrmMain::processPendingEvents() {
    QCoreApplication::processEvents();
}

void FrmMain::alarmFired(const Alarm& alarm) {
    m_store->recordFired(alarm.storeLine());
    saveAlarmStore();
    const auto time = alarm.alarmTime();
    emit alarmRang(time ? formatClockTime(*time) : alarm.time().toString(), alarm.type().toString(),
                   alarm.prompt().toString());
}

SaveResult FrmMain::addAlarmLine(const QString& line, int& row) {
    const AlarmModel::Id id = addAlarm(line);
    const SaveResult result = saveAlarmStore();
    row = m_alarms.rowOf(id); // a merge with the file may have moved it
    return result;
}

SaveResult FrmMain::removeAlarm(int row) {
    if (row < 0)
        m_alarms.clear();
    else
        m_alarms.removeAt(row);
    // The user picks the next one to delete, not the list.
    m_ui->lstA->clearChoice();
    if (m_alarms.isEmpty())
        setAdvertisementShown(true);
    return saveAlarmStore();
}

void FrmMain::closeAsTold() {
    m_closingAsTold = true;
    close();
}

void FrmMain::quitProgram() {
    guarded(lcShell, "formUnload", [this] { formUnload(); });
    emit exitFinished();
}

void FrmMain::tellFailure(const QString& text, bool inWindow, const QDateTime& alarmTime) {
    qCWarning(lcShell).noquote() << text;
    if (inWindow)
        m_notification.show(text, alarmTime);
    else
        notify(text);
}

void FrmMain::showMessage(const QString& text) {
    tell(text);
}

void FrmMain::endProgramAtOnce() {
    // No exit work: neither the store nor the settings are written.
    m_endedAtOnce = true;
    emit exitFinished();
}

void FrmMain::checkAlarms() {
    mergeOutsideChange();
    m_check.run();
}

void FrmMain::mergeOutsideChange() {
    if (m_check.isRunning() || !m_store->mergeOutsideChange(m_alarms))
        return;
    qCInfo(lcShell) << "the store changed on disk; merged";
    if (!m_alarms.isEmpty())
        setAdvertisementShown(false);
    if (!m_mergeTold) {
        m_mergeTold = true;
        notify(mergedStoreNotice(m_store->path()));
    }
    // Alarms added here since are in the model, not yet in the file.
    saveAlarmStore();
}

SaveResult FrmMain::saveAlarmStore() {
    const AlarmStore::Saved saved = m_store->save(m_alarms);
    if (saved.merged && !m_mergeTold) {
        m_mergeTold = true;
        notify(mergedStoreNotice(m_store->path()));
    }
    if (saved.leftAloneNow)
        notify(unreadableStoreNotice(m_store->path(),
                                     QStringLiteral("已被其他程序改为无法识别的内容"),
                                     m_store->addedPath()));
    const QString written = m_store->leftAlone() ? m_store->addedPath() : m_store->path();
    if (!saved.result.ok)
        qCWarning(lcShell) << "the store could not be saved:" << written << saved.result.reason;
    if (const auto notice = m_saveReport.after(saved.result, written))
        notify(*notice);
    return saved.result;
}

AlarmModel::Id FrmMain::addAlarm(const QString& line) {
    const int row = m_alarms.append(Alarm(StoreLine{line, {}}));
    setAdvertisementShown(false); // the list shows what was added
    return m_alarms.idAt(row);
}

void FrmMain::showSettings() {
    m_ui->tSJ->setText(m_settings.advanceMinutes);
    m_ui->txtInter->setText(m_settings.restInterval);
    m_ui->chkBeep->setChecked(m_settings.restReminder);
    m_ui->ckClr->setChecked(m_settings.autoClear);
    m_ui->ckAuto->setChecked(m_settings.autoStart);
    m_ui->ckRing->setChecked(m_settings.ringUntilAnswered);
    m_ui->txtRing->setText(m_settings.ringMinutes);
    m_notification.setSnoozeMinutes(m_settings.snoozeMinutes.toInt());
    setSoundFilePath(m_settings.soundFilePath);
}

void FrmMain::saveSettings() {
    if (!writeExitSettings(m_context.settings, m_settings))
        qCWarning(lcShell) << "the settings could not be saved:" << m_context.settings.fileName()
                           << settingsProblem(m_context.settings);
}

void FrmMain::centreOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    move(area.x() + area.width() / 2 - width() / 2, area.y() + area.height() / 2 - height() / 2);
}

void FrmMain::fillSpanLists() {
    QStringList hours, minutes;
    for (int i = 0; i < 60; ++i) {
        const QString text = QStringLiteral("%1").arg(i, 2, 10, QLatin1Char('0'));
        if (i < 24)
            hours.append(text);
        minutes.append(text);
    }
    m_ui->cZQH->addItems(hours);
    m_ui->cZQM->addItems(minutes);
    m_ui->cZQH->setCurrentIndex(0);
    m_ui->cZQM->setCurrentIndex(0);
    recomputeAlarmMoment();
}

void FrmMain::fillEditorLists() {
    m_ui->cTX->addItems(reminderTypes());
    m_ui->cTxt->addItems(presetPromptTexts());
    m_ui->cDZ->addItems(additionalActions());
    m_ui->cTX->setCurrentIndex(0);
    m_ui->cTxt->setCurrentIndex(0);
    m_ui->cDZ->setCurrentIndex(0);
    applyReminderType();
    for (const RepeatKind& kind : RepeatKinds)
        m_ui->cRepeat->addItem(QString::fromUtf8(kind.name.data(), qsizetype(kind.name.size())),
                               int(kind.kind));
    m_ui->cRepeat->setCurrentIndex(0);
    showRepeatFields(false);
}

void FrmMain::on_cRepeat_activated(int) {
    guarded(lcShell, "cRepeat", [this] { showRepeatFields(true); });
}

namespace {

// A combo's items as (text, number) pairs, the number kept as the item's data.
void fillNumbered(QComboBox* combo, const QList<std::pair<QString, int>>& items) {
    combo->clear();
    for (const auto& [text, value] : items)
        combo->addItem(text, value);
}

// Lunar months are kept as month * 2 + 1 for a leap month, so that one number says both.
int lunarMonthKey(int month, bool leap) {
    return month * 2 + (leap ? 1 : 0);
}

} // namespace

void FrmMain::showRepeatFields(bool fromMoment) {
    const auto kind = static_cast<RepeatRule::Kind>(m_ui->cRepeat->currentData().toInt());
    const bool weekly = kind == RepeatRule::Weekly;
    const bool month = kind == RepeatRule::Yearly || kind == RepeatRule::LunarYearly;
    const bool day = month || kind == RepeatRule::Monthly || kind == RepeatRule::LunarMonthly;
    for (int i = 1; i <= 7; ++i)
        findChild<QCheckBox*>(QStringLiteral("ckWeek%1").arg(i))->setVisible(weekly);
    m_ui->cRepeatMonth->setVisible(month);
    m_ui->cRepeatDay->setVisible(day);
    const auto moment = parseWallTime(m_ui->cJS->currentText());
    const kalendo::Date date = moment ? moment->date : wallTimeOf(m_context.clock.now()).date;
    const bool lunar = kind == RepeatRule::LunarMonthly || kind == RepeatRule::LunarYearly;
    QList<std::pair<QString, int>> months, days;
    if (lunar) {
        std::optional<kalendo::LunarDate> today;
        try {
            today = kalendo::LunarDate::fromSolar(date);
        } catch (const kalendo::DateError&) {
        }
        const int year = today ? today->year : 2026;
        for (int m = 1; m <= 12; ++m) {
            months << std::pair{QString::fromStdString(lunarMonthName(m, false)),
                                lunarMonthKey(m, false)};
            if (kalendo::LunarDate{year, m, 1, true}.exists())
                months << std::pair{QString::fromStdString(lunarMonthName(m, true)),
                                    lunarMonthKey(m, true)};
        }
        for (int d = 1; d <= 30; ++d)
            days << std::pair{QString::fromStdString(lunarDayName(d)), d};
        fillNumbered(m_ui->cRepeatMonth, months);
        fillNumbered(m_ui->cRepeatDay, days);
        if (fromMoment && today) {
            m_ui->cRepeatMonth->setCurrentIndex(
                m_ui->cRepeatMonth->findData(lunarMonthKey(today->month, today->leap)));
            m_ui->cRepeatDay->setCurrentIndex(today->day - 1);
        }
    } else {
        for (int m = 1; m <= 12; ++m)
            months << std::pair{QStringLiteral("%1月").arg(m), m};
        for (int d = 1; d <= 31; ++d)
            days << std::pair{QStringLiteral("%1日").arg(d), d};
        fillNumbered(m_ui->cRepeatMonth, months);
        fillNumbered(m_ui->cRepeatDay, days);
        if (fromMoment) {
            m_ui->cRepeatMonth->setCurrentIndex(int(date.month()) - 1);
            m_ui->cRepeatDay->setCurrentIndex(int(date.day()) - 1);
        }
    }
    if (weekly && fromMoment) {
        // Monday is ckWeek1; the engine counts from Sunday.
        const int box = date.weekday() == 0 ? 7 : int(date.weekday());
        for (int i = 1; i <= 7; ++i)
            findChild<QCheckBox*>(QStringLiteral("ckWeek%1").arg(i))->setChecked(i == box);
    }
}

RepeatRule FrmMain::repeatRuleInEditor() const {
    RepeatRule rule;
    rule.kind = static_cast<RepeatRule::Kind>(m_ui->cRepeat->currentData().toInt());
    for (int i = 1; i <= 7; ++i) {
        if (findChild<QCheckBox*>(QStringLiteral("ckWeek%1").arg(i))->isChecked())
            rule.weekdays |= static_cast<std::uint8_t>(1u << (i % 7));
    }
    const int month = m_ui->cRepeatMonth->currentData().toInt();
    const bool lunar = rule.kind == RepeatRule::LunarYearly;
    rule.month = static_cast<std::uint8_t>(lunar ? month / 2 : month);
    rule.leapMonth = lunar && month % 2;
    rule.day = static_cast<std::uint8_t>(m_ui->cRepeatDay->currentData().toInt());
    return rule;
}

void FrmMain::putIntoEditor(const Alarm& alarm) {
    // The moment as the advance box will take it off again.
    const auto advance = readUserNumber(m_ui->tSJ->text()).value_or(0);
    if (const auto time = alarm.alarmTime())
        m_ui->cJS->setEditText(
            formatAlarmTime(time->addSecs(static_cast<qint64>(std::floor(advance)) * 60)));
    m_ui->cTX->setCurrentIndex(std::max(0, m_ui->cTX->findText(alarm.type().toString())));
    applyReminderType();
    if (!alarm.prompt().isEmpty())
        m_ui->cTxt->setEditText(alarm.prompt().toString());
    const AdditionalAction* action = findStoredAction(alarm.action());
    if (action) {
        m_ui->cDZ->setCurrentIndex(m_ui->cDZ->findText(action->item.toString()));
        if (action->kind == AdditionalAction::RunProgram)
            m_runProgramPath = alarm.action().sliced(action->stored.size()).toString();
    }
    const RepeatRule rule = alarm.rule().value_or(RepeatRule{});
    m_ui->cRepeat->setCurrentIndex(m_ui->cRepeat->findData(int(rule.kind)));
    showRepeatFields(false);
    for (int i = 1; i <= 7; ++i)
        findChild<QCheckBox*>(QStringLiteral("ckWeek%1").arg(i))
            ->setChecked(rule.weekdays & (1u << (i % 7)));
    const int month = rule.kind == RepeatRule::LunarYearly
                          ? lunarMonthKey(rule.month, rule.leapMonth)
                          : int(rule.month);
    if (const int at = m_ui->cRepeatMonth->findData(month); at >= 0)
        m_ui->cRepeatMonth->setCurrentIndex(at);
    if (const int at = m_ui->cRepeatDay->findData(int(rule.day)); at >= 0)
        m_ui->cRepeatDay->setCurrentIndex(at);
}

void FrmMain::recomputeAlarmMoment() {
    const QString hours = m_ui->cZQH->currentText();
    const QString minutes = m_ui->cZQM->currentText();
    markSpanBox(m_ui->cZQH, readUserNumber(hours).has_value());
    markSpanBox(m_ui->cZQM, readUserNumber(minutes).has_value());
    if (const auto moment = m_editor.momentFromSpan(hours, minutes))
        m_ui->cJS->setEditText(formatAlarmTime(*moment));
}

void FrmMain::applyReminderType() {
    // The prompt belongs to the types that show the window, the action to those that act.
    const ReminderType* type = findReminderType(m_ui->cTX->currentText());
    m_ui->cTxt->setEnabled(type && type->window);
    m_ui->cDZ->setEnabled(type && type->action);
}

void FrmMain::restTick() {
    const RestTick tick = m_rest.tick(m_settings.restReminder, m_settings.restInterval);
    if (m_restTimer.interval() != 1000)
        paceTimers();
    if (tick.showRunTime)
        m_ui->lblInfo->setText(tick.infoLine);
    if (tick.remind)
        m_notification.show(RestReminder::ReminderText, m_context.clock.now());
}

void FrmMain::showClock() {
    m_ui->lTime->setText(formatClockTime(m_context.clock.now()));
}

} // namespace tikko
