// SPDX-License-Identifier: MIT
#include "tikko/stopwatch/stopwatch_window.h"

#include "tikko/guarded.h"
#include "ui_frmMB.h"

#include <QClipboard>
#include <QCursor>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMenu>

namespace tikko {

namespace {

Q_LOGGING_CATEGORY(lcStopwatch, "tikko.stopwatch")

void putOnClipboard(const QString& text) {
    if (QClipboard* clipboard = QGuiApplication::clipboard())
        clipboard->setText(text);
}

} // namespace

FrmMB::FrmMB(const Clock& wallClock, const MonotonicClock& clock, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_stopwatch(wallClock, clock)
    , m_ui(std::make_unique<Ui::frmMB>())
    , m_menuPopUp([](QMenu& menu, const QPoint& position) { menu.exec(position); }) {
    // Named before setupUi so that its timeout finds on_Timer1_timeout.
    m_timer.setParent(this);
    m_timer.setObjectName(QStringLiteral("Timer1"));
    m_timer.setInterval(100);
    m_timer.setTimerType(Qt::PreciseTimer); // even tenths on the display
    m_ui->setupUi(this);
    setFixedSize(size());

    // 宋体 where it exists, a Song-style CJK face elsewhere.
    QFont font = m_ui->lblTime->font();
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    m_ui->lblTime->setFont(font);
    m_timeFont = font;

    m_ui->mLine1->setSeparator(true);
    // Ctrl+C works while the menu is closed, so the action lives on the window too.
    m_ui->mCopy->setShortcut(QKeySequence::Copy);
    m_ui->mCopy->setShortcutContext(Qt::WindowShortcut);
    addAction(m_ui->mCopy);

    showState();
}

FrmMB::~FrmMB() = default;

void FrmMB::setMenuPopUp(MenuPopUp popUp) {
    m_menuPopUp = std::move(popUp);
}

void FrmMB::showState() {
    const StopwatchLook look = m_stopwatch.look();
    m_ui->cmdStart->setText(look.startCaption.toString());
    m_ui->cmdPause->setText(look.pauseCaption.toString());
    m_ui->cmdPause->setEnabled(look.pauseEnabled);
    m_ui->cmdStop->setEnabled(look.recordEnabled);
    if (look.timerOn)
        m_timer.start();
    else
        m_timer.stop();
    showTime(m_stopwatch.shownTime());
}

void FrmMB::showTime(const QString& text) {
    QLabel* label = m_ui->lblTime;
    // Past 99 hours the text outgrows the label; it shrinks to fit rather than lose digits.
    // Only a change of length can change the fit.
    if (text.size() != label->text().size()) {
        QFont font = m_timeFont;
        const int width = QFontMetrics(font).horizontalAdvance(text);
        const int room = label->contentsRect().width();
        if (width > room)
            font.setPointSizeF(font.pointSizeF() * room / width);
        label->setFont(font);
    }
    label->setText(text);
}

void FrmMB::appendRecord(const std::optional<QString>& line) {
    if (line)
        m_ui->List1->addItem(*line);
}

void FrmMB::on_cmdStart_clicked() {
    guarded(lcStopwatch, "cmdStart", [this] {
        appendRecord(m_stopwatch.pressStart());
        showState();
    });
}

void FrmMB::on_cmdPause_clicked() {
    guarded(lcStopwatch, "cmdPause", [this] {
        m_stopwatch.pressPause();
        showState();
    });
}

void FrmMB::on_cmdStop_clicked() {
    guarded(lcStopwatch, "cmdStop", [this] {
        appendRecord(m_stopwatch.pressRecord());
        showState();
    });
}

void FrmMB::on_Timer1_timeout() {
    guarded(lcStopwatch, "Timer1", [this] { showTime(m_stopwatch.shownTime()); });
}

void FrmMB::on_mClear_triggered() {
    guarded(lcStopwatch, "mClear", [this] { m_ui->List1->clear(); });
}

void FrmMB::on_mCopy_triggered() {
    guarded(lcStopwatch, "mCopy", [this] {
        const QList<QListWidgetItem*> selected = m_ui->List1->selectedItems();
        if (selected.isEmpty() || selected.first()->text().isEmpty())
            return;
        putOnClipboard(selected.first()->text());
    });
}

void FrmMB::on_mCopyAll_triggered() {
    guarded(lcStopwatch, "mCopyAll", [this] {
        QStringList lines;
        for (int row = 0; row < m_ui->List1->count(); ++row)
            lines.append(m_ui->List1->item(row)->text());
        if (!lines.isEmpty())
            putOnClipboard(copyAllText(lines));
    });
}

void FrmMB::on_List1_itemSelectionChanged() {
    guarded(lcStopwatch, "List1", [this] {
        if (!m_ui->List1->selectedItems().isEmpty())
            requestMenu();
    });
}

void FrmMB::on_List1_customContextMenuRequested(const QPoint& position) {
    guarded(lcStopwatch, "List1", [this, position] {
        if (m_ui->List1->itemAt(position))
            requestMenu();
    });
}

void FrmMB::requestMenu() {
    // Popped up once the list has finished handling its click: a right click changes the
    // selection and asks for a context menu, and either may empty the list. One menu only.
    if (m_menuPending)
        return;
    m_menuPending = true;
    QMetaObject::invokeMethod(this, &FrmMB::popUpMenu, Qt::QueuedConnection);
}

void FrmMB::popUpMenu() {
    guarded(lcStopwatch, "mMenu", [this] {
        m_menuPending = false;
        if (m_menuPopUp && !m_ui->List1->selectedItems().isEmpty())
            m_menuPopUp(*m_ui->mMenu, QCursor::pos());
    });
}

} // namespace tikko
