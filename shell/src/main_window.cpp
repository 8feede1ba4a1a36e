#include "tikko/shell/main_window.h"

#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/alarm_store.h"
#include "tikko/alarm/clock.h"
#include "tikko/alarm/settings.h"
#include "tikko/shell/skin.h"
#include "tikko/system_actions.h"
#include "ui_frmMain.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QStyleFactory>

namespace tikko {

namespace {

// No exception may leave a Qt event handler.
template <typename F> void guarded(F&& work) {
    try {
        work();
    } catch (...) {
    }
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
    , m_tray(this) {
    m_ui->setupUi(this);
    setFixedSize(size());
    setWindowIcon(QIcon(QStringLiteral(":/tikko/tikko.svg")));

    // The timers run from the moment the window exists.
    m_timer1.setParent(this);
    m_timer2.setParent(this);
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setInterval(3000);
    connect(&m_timer1, &QTimer::timeout, this, [this] { guarded([this] { m_check.run(); }); });
    m_timer1.start();
    m_timer2.setObjectName(QStringLiteral("Timer2"));
    m_timer2.setInterval(1000);
    connect(&m_timer2, &QTimer::timeout, this, [this] { guarded([this] { showClock(); }); });
    m_timer2.start();

    connect(m_ui->cZQH, &QComboBox::currentTextChanged, this,
            [this] { guarded([this] { recomputeAlarmMoment(); }); });
    connect(m_ui->cZQM, &QComboBox::currentTextChanged, this,
            [this] { guarded([this] { recomputeAlarmMoment(); }); });
    connect(m_ui->cTX, &QComboBox::currentIndexChanged, this,
            [this] { guarded([this] { applyReminderType(); }); });
}

FrmMain::~FrmMain() = default;

QListWidget* FrmMain::alarmList() const {
    return m_ui->lstA;
}

void FrmMain::formLoad() {
    const QString folder = m_context.programFolder;
    m_startup.run({
        {"skin",
         [&] {
             applySkinFile(QDir(folder).filePath(QStringLiteral("skin.she")));
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
             const SettingsValues values = readSettings(m_context.settings, folder);
             m_ui->tSJ->setText(values.advanceMinutes);
             m_ui->txtInter->setText(values.restInterval);
             m_ui->chkBeep->setChecked(values.restReminder);
             m_ui->ckClr->setChecked(values.autoClear);
             // A change of the box state is a click: "Auto" = 0 removes the entry now.
             m_ui->ckAuto->setChecked(values.autoStart);
             m_soundFilePath = values.soundFilePath;
             m_ui->txtWav->setText(m_soundFilePath);
         }},
        {"startTick",
         [&] {
             m_startTick.start();
         }},
        {"loadStore",
         [&] {
             const LoadedStore loaded =
                 loadStore(m_context.storePath, m_ui->ckClr->isChecked(), m_context.clock.now());
             // A line kept as bytes carries them beside its text, to be written back as is.
             for (const StoreLine& line : loaded.lines)
                 (new QListWidgetItem(line.text, m_ui->lstA))->setData(Qt::UserRole, line.raw);
         }},
        {"minimise",
         [&] {
             m_loadedAlarms = m_ui->lstA->count() > 0;
             if (m_loadedAlarms)
                 m_ui->pBox->hide();
         }},
        {"spanLists",
         [&] {
             fillSpanLists();
         }},
        {"editorLists",
         [&] {
             fillEditorLists();
         }},
        // The advertisement page comes with the advertisement panel's own work.
        {"advertisement",
         [] {
         }},
        {"firstCheck",
         [&] {
             m_check.run();
         }},
    });
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
    guarded([this] {
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
    guarded([this] { formUnload(); });
    event->accept();
    emit exitFinished();
}

void FrmMain::on_ckAuto_toggled(bool checked) {
    guarded([&] {
        if (checked)
            m_context.actions.enableAutoStart();
        else
            m_context.actions.disableAutoStart();
    });
}

void FrmMain::showNotification(const QString& promptText) {
    m_notification.show(promptText);
}

void FrmMain::processPendingEvents() {
    QCoreApplication::processEvents();
}

void FrmMain::listChanged() {
    saveAlarmStore();
}

void FrmMain::showMessage(const QString& text) {
    QMessageBox::information(nullptr, QCoreApplication::applicationName(), text);
}

void FrmMain::endProgramAtOnce() {
    // No exit work: neither the store nor the settings are written.
    m_endedAtOnce = true;
    emit exitFinished();
}

void FrmMain::saveAlarmStore() {
    StoreLines lines;
    lines.reserve(m_ui->lstA->count());
    for (int i = 0; i < m_ui->lstA->count(); ++i) {
        const QListWidgetItem* item = m_ui->lstA->item(i);
        lines.append({item->text(), item->data(Qt::UserRole).toByteArray()});
    }
    saveStore(m_context.storePath, lines);
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
    // Each step on its own: a text that is no number leaves the moment as it was.
    bool ok = false;
    const int hours = m_ui->cZQH->currentText().trimmed().toInt(&ok);
    if (ok)
        m_ui->cJS->setEditText(formatAlarmTime(m_context.clock.now().addSecs(3600LL * hours)));
    const int minutes = m_ui->cZQM->currentText().trimmed().toInt(&ok);
    const auto moment = parseAlarmTime(m_ui->cJS->currentText());
    if (ok && moment)
        m_ui->cJS->setEditText(formatAlarmTime(moment->addSecs(60LL * minutes)));
}

void FrmMain::applyReminderType() {
    const QString type = m_ui->cTX->currentText();
    const bool prompt = type == reminder::SoundAndText || type == reminder::Text;
    const bool action = type == reminder::SoundAndAction || type == reminder::Action;
    m_ui->cTxt->setEnabled(prompt);
    m_ui->cDZ->setEnabled(action);
}

void FrmMain::showClock() {
    m_ui->lTime->setText(formatClockTime(m_context.clock.now()));
}

} // namespace tikko
