// SPDX-License-Identifier: MIT
#include "tikko/shell/main_window.h"

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
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QStyleFactory>
#include <QTranslator>

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

class FrmMain::ListAlarms final : public AlarmList {
public:
    explicit ListAlarms(FrmMain& window)
        : m_window(window) {}
    int count() const override { return m_window.alarmList()->count(); }
    QString line(int index) const override { return m_window.alarmList()->item(index)->text(); }
    void removeAt(int index) override { delete m_window.alarmList()->takeItem(index); }

private:
    FrmMain& m_window;
};

FrmMain::FrmMain(MainWindowContext context, QWidget* parent)
    : QWidget(parent)
    , m_context(std::move(context))
    , m_ui(std::make_unique<Ui::frmMain>())
    , m_list(std::make_unique<ListAlarms>(*this))
    , m_check(*m_list, m_context.actions, m_context.clock, *this)
    , m_editor(m_context.clock)
    , m_tray(this)
    , m_rest(m_context.monotonic)
    , m_calendar(std::make_unique<KalendoLibrary>(KalendoLibrary::standardFolders())) {
    buildListMenu();
    m_ui->setupUi(this);
    setFixedSize(size());
    m_notification.setClock([this] { return m_context.clock.now(); });
    m_notification.setDismissHandler([this] { m_context.actions.stopAlarmSound(); });
    setWindowIcon(QIcon(QStringLiteral(":/tikko/tikko.svg")));
    m_ui->tSJ->installEventFilter(this);

    // The timers run from the moment the window exists.
    runEvery(m_timer1, "Timer1", 3000, [this] { m_check.run(); });
    runEvery(m_timer2, "Timer2", 1000, [this] { showClock(); });
    runEvery(m_timer3, "Timer3", 1000, [this] { restTick(); });
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

QListWidget* FrmMain::alarmList() const {
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
                 connect(&m_tray, &TrayIcon::leftClicked, this, &FrmMain::restoreFromTray);
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
             m_settingsRead = readSettings(m_context.settings, m_context.files.defaultSound());
             const SettingsValues& values = m_settingsRead;
             m_ui->tSJ->setText(values.advanceMinutes);
             m_ui->txtInter->setText(values.restInterval);
             m_ui->chkBeep->setChecked(values.restReminder);
             m_ui->ckClr->setChecked(values.autoClear);
             // A change of the box state is a click: "Auto" = 0 removes the entry now.
             m_ui->ckAuto->setChecked(values.autoStart);
             setSoundFilePath(values.soundFilePath);
         }},
        {"startTick",
         [&] {
             m_rest.start();
         }},
        {"loadStore",
         [&] {
             const QString path =
                 m_context.storeReadPath.isEmpty() ? m_context.storePath : m_context.storeReadPath;
             const LoadedStore loaded =
                 loadStore(path, m_ui->ckClr->isChecked(), m_context.clock.now());
             for (const StoreLine& line : loaded.lines)
                 addAlarmItem(line.text, line.raw);
             for (const qsizetype row : loaded.unreadableTimes)
                 markUnreadable(m_ui->lstA->item(static_cast<int>(row)));
             m_missedNotice = missedAlarmsNotice(loaded.missed);
             // A file that is there but cannot be read may hold alarms: saving the empty
             // list over it would lose them.
             if (!loaded.error.isEmpty() && QFileInfo(path).isFile() &&
                 path == m_context.storePath) {
                 m_storeLeftAlone = true;
                 notify(unreadableStoreNotice(path, loaded.error));
             }
         }},
        {"minimise",
         [&] {
             m_loadedAlarms = m_ui->lstA->count() > 0;
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
             m_ui->Web->load(m_settingsRead.advertisementPage);
         }},
        {"firstCheck",
         [&] {
             m_check.run();
         }},
    });
    // Once the program is up: what expired while it was not running.
    if (!m_missedNotice.isEmpty() && !m_endedAtOnce)
        QTimer::singleShot(
            0, this, [this] { guarded(lcShell, "missed", [this] { tell(m_missedNotice); }); });
}

void FrmMain::formUnload() {
    if (m_unloaded || m_endedAtOnce)
        return;
    m_unloaded = true;
    m_exit.run({
        {"saveStore",
         [&] {
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
}

void FrmMain::restoreFromTray() {
    guarded(lcShell, "restoreFromTray", [this] {
        setWindowState(windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        show();
        raise();
        activateWindow();
    });
}

void FrmMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && isMinimized() && m_tray.isShown())
        QTimer::singleShot(0, this, [this] {
            if (isMinimized())
                hide();
        });
}

void FrmMain::closeEvent(QCloseEvent* event) {
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
        if (checked)
            m_context.actions.enableAutoStart();
        else
            m_context.actions.disableAutoStart();
    });
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
        input.momentText = m_ui->cJS->currentText();
        input.advanceText = m_ui->tSJ->text();
        input.type = m_ui->cTX->currentText();
        input.promptEnabled = m_ui->cTxt->isEnabled();
        input.prompt = m_ui->cTxt->currentText();
        input.actionEnabled = m_ui->cDZ->isEnabled();
        input.action = m_ui->cDZ->currentText();
        input.runProgramPath = m_runProgramPath;
        AddOutcome outcome = m_editor.add(input);
        if (outcome.failed == EditorBox::Program) {
            // No program was ever chosen: choose one now, or add nothing.
            if (!pickFile(PickerLogic::ProgramCaption, PickerLogic::ProgramPattern))
                return;
            input.runProgramPath = m_runProgramPath;
            outcome = m_editor.add(input);
        }
        if (outcome.failed == EditorBox::Moment || outcome.failed == EditorBox::Advance) {
            QWidget* box =
                outcome.failed == EditorBox::Moment ? static_cast<QWidget*>(m_ui->cJS) : m_ui->tSJ;
            box->setFocus();
            tell(outcome.message);
            return;
        }
        if (outcome.line.isEmpty())
            return;
        addAlarmItem(outcome.line);
        setAdvertisementShown(false);
        saveAlarmStore();
    });
}

void FrmMain::on_cmdSelWav_clicked() {
    guarded(lcShell, "cmdSelWav",
            [this] { pickFile(PickerLogic::SoundCaption, PickerLogic::SoundPattern); });
}

void FrmMain::on_cmdPrePlay_clicked() {
    guarded(lcShell, "cmdPrePlay", [this] {
        const QString path = m_soundFilePath;
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
        FrmRL calendar(control, this);
        runModal(calendar, {twips(-100), twips(450)});
    });
}

void FrmMain::on_Label8_linkActivated(const QString&) {
    guarded(lcShell, "Label8", [this] {
        // A browser that cannot be started is passed over.
        m_context.actions.openInBrowser(m_settingsRead.forumPage.toStdString());
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
    if (m_modalRunner)
        m_modalRunner(window);
    else
        window.exec();
}

void FrmMain::on_lstA_mousePressed(Qt::MouseButton button, const QPoint& globalPosition) {
    guarded(lcShell, "lstA", [&] {
        if (button == Qt::RightButton && m_ui->lstA->count() > 0) {
            if (m_menuPopUp)
                m_menuPopUp(*m_listMenu, globalPosition);
            else
                m_listMenu->exec(globalPosition);
        }
        refreshDeleteItem();
    });
}

void FrmMain::on_lstA_deleteRequested() {
    guarded(lcShell, "lstA", [this] {
        if (!m_ui->lstA->selectedItems().isEmpty())
            on_mDelC_triggered();
    });
}

void FrmMain::on_mDelC_triggered() {
    guarded(lcShell, "mDelC", [this] {
        const QList<QListWidgetItem*> selected = m_ui->lstA->selectedItems();
        if (!selected.isEmpty()) {
            delete m_ui->lstA->takeItem(m_ui->lstA->row(selected.front()));
            // The user picks the next one to delete, not the list.
            m_ui->lstA->clearSelection();
            m_ui->lstA->setCurrentItem(nullptr);
            saveAlarmStore();
        }
        if (m_ui->lstA->count() == 0)
            setAdvertisementShown(true);
    });
}

void FrmMain::on_mDelAC_triggered() {
    guarded(lcShell, "mDelAC", [this] {
        m_ui->lstA->clear();
        setAdvertisementShown(true);
        saveAlarmStore();
    });
}

void FrmMain::refreshDeleteItem() {
    if (QAction* one = m_listMenu->findChild<QAction*>(QStringLiteral("mDelC")))
        one->setEnabled(!m_ui->lstA->selectedItems().isEmpty());
}

void FrmMain::setAdvertisementShown(bool shown) {
    m_ui->pBox->setVisible(shown);
}

void FrmMain::setSoundFilePath(const QString& path) {
    m_soundFilePath = path;
    m_ui->txtWav->setText(path);
}

bool FrmMain::pickFile(const QString& caption, const QString& pattern) {
    if (m_filePicker)
        return m_filePicker(caption, pattern);
    return FrmDlg::pick(caption, pattern, m_context.settings, *this, this);
}

void FrmMain::tell(const QString& text) {
    if (m_messages) {
        m_messages(text);
        return;
    }
    // Never modal: alarms go on firing while the message waits to be read.
    auto* box = new QMessageBox(QMessageBox::Information, Caption, text, QMessageBox::Ok,
                                isVisible() ? this : nullptr);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    box->show();
}

void FrmMain::notify(const QString& text) {
    if (!m_messages && m_tray.isShown()) {
        m_tray.icon()->showMessage(TrayIcon::Tip, text, QSystemTrayIcon::Warning);
        return;
    }
    tell(text);
}

void FrmMain::showNotification(const QString& promptText, const QDateTime& alarmTime) {
    m_notification.show(promptText, alarmTime);
}

void FrmMain::processPendingEvents() {
    QCoreApplication::processEvents();
}

void FrmMain::listChanged() {
    saveAlarmStore();
}

void FrmMain::showMessage(const QString& text) {
    tell(text);
}

void FrmMain::endProgramAtOnce() {
    // No exit work: neither the store nor the settings are written.
    m_endedAtOnce = true;
    emit exitFinished();
}

void FrmMain::saveAlarmStore() {
    if (m_storeLeftAlone)
        return;
    StoreLines lines;
    lines.reserve(m_ui->lstA->count());
    for (int i = 0; i < m_ui->lstA->count(); ++i) {
        const QListWidgetItem* item = m_ui->lstA->item(i);
        lines.append({item->text(), item->data(Qt::UserRole).toByteArray()});
    }
    const SaveResult result = saveStore(m_context.storePath, lines);
    if (!result.ok)
        qCWarning(lcShell) << "the store could not be saved:" << result.reason;
    if (const auto notice = m_saveReport.after(result, m_context.storePath))
        notify(*notice);
}

void FrmMain::addAlarmItem(const QString& text, const QByteArray& raw) {
    auto* item = new QListWidgetItem(text, m_ui->lstA);
    // A line kept as bytes carries them, to be written back as they were.
    if (!raw.isEmpty())
        item->setData(Qt::UserRole, raw);
}

void FrmMain::markUnreadable(QListWidgetItem* item) {
    item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
    item->setToolTip(QStringLiteral("无法识别的闹钟时间，此闹钟不会响"));
}

void FrmMain::saveSettings() {
    SettingsValues values;
    values.advanceMinutes = m_ui->tSJ->text();
    values.restInterval = m_ui->txtInter->text();
    values.restReminder = m_ui->chkBeep->isChecked();
    values.autoClear = m_ui->ckClr->isChecked();
    values.autoStart = m_ui->ckAuto->isChecked();
    writeExitSettings(m_context.settings, values);
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
    const QString type = m_ui->cTX->currentText();
    const bool prompt = type == reminder::SoundAndText || type == reminder::Text;
    const bool action = type == reminder::SoundAndAction || type == reminder::Action;
    m_ui->cTxt->setEnabled(prompt);
    m_ui->cDZ->setEnabled(action);
}

void FrmMain::restTick() {
    const RestTick tick = m_rest.tick(m_ui->chkBeep->isChecked(), m_ui->txtInter->text());
    if (tick.showRunTime)
        m_ui->lblInfo->setText(tick.infoLine);
    if (tick.remind)
        m_notification.show(RestReminder::ReminderText, m_context.clock.now());
}

void FrmMain::showClock() {
    m_ui->lTime->setText(formatClockTime(m_context.clock.now()));
}

} // namespace tikko
