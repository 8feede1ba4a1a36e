// SPDX-License-Identifier: MIT
#include "tikko/notification_window.h"

#include "tikko/guarded.h"
#include "ui_frmAlarm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QCursor>
#include <QKeyEvent>
#include <QLoggingCategory>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOption>
#include <QTextBoundaryFinder>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace tikko {

namespace {

Q_LOGGING_CATEGORY(lcNotification, "tikko.notification")

constexpr QChar ZeroWidthSpace(0x200B);
// Words up to this many characters wrap whole; longer runs may break anywhere.
constexpr int LongestUnbrokenRun = 10;

QString breakLongRuns(const QString& text) {
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    QString result;
    result.reserve(text.size());
    qsizetype start = 0;
    while (start < text.size()) {
        breaks.setPosition(start);
        qsizetype end = breaks.toNextBoundary();
        if (end < 0)
            end = text.size();
        const QString run = text.mid(start, end - start);
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, run);
        QList<qsizetype> cuts;
        for (qsizetype at = graphemes.toNextBoundary(); at > 0 && at < run.size();
             at = graphemes.toNextBoundary())
            cuts.append(at);
        if (cuts.size() < LongestUnbrokenRun) {
            result += run;
        } else {
            qsizetype from = 0;
            for (const qsizetype cut : cuts) {
                result += run.mid(from, cut - from) + ZeroWidthSpace;
                from = cut;
            }
            result += run.mid(from);
        }
        start = end;
    }
    return result;
}

QScreen* currentScreen() {
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    return screen ? screen : QGuiApplication::primaryScreen();
}

} // namespace

QString reminderTimeText(const QDateTime& when, const QDate& today) {
    if (!when.isValid())
        return {};
    const QDate day = when.date();
    const QString time = when.toString(QStringLiteral("HH:mm"));
    if (day == today)
        return time;
    const QString dayText = QStringLiteral("%1月%2日 %3").arg(day.month()).arg(day.day()).arg(time);
    if (day.year() == today.year())
        return dayText;
    return QStringLiteral("%1年").arg(day.year()) + dayText;
}

QString reminderListText(const QList<Reminder>& reminders, qsizetype omitted, const QDate& today) {
    QStringList lines;
    if (omitted > 0)
        lines.append(QStringLiteral("（前面还有 %1 条提醒未列出）").arg(omitted));
    for (const Reminder& reminder : reminders) {
        const QString time = reminderTimeText(reminder.when, today);
        const QString text = breakLongRuns(reminder.text);
        lines.append(time.isEmpty() ? text : time + QLatin1Char(' ') + text);
    }
    return lines.join(QLatin1Char('\n'));
}

QPoint cornerPlacement(const QRect& available, const QSize& frameSize) {
    const int x = available.x() + available.width() - frameSize.width() - FrmAlarm::RightMargin;
    const int y = available.y() + available.height() - frameSize.height() - FrmAlarm::BottomMargin;
    return {std::max(available.x(), x), std::max(available.y(), y)};
}

int textAreaHeight(int needed, int designed, int restHeight, int maxWindowHeight) {
    const int most = std::max(designed, maxWindowHeight - restHeight);
    return std::clamp(needed, designed, most);
}

QColor flashColour(const QColor& steady, const QColor& bright, int tick) {
    constexpr int period = FrmAlarm::FlashPeriodTicks;
    const int phase = ((tick % period) + period) % period;                           // [0, period)
    const double weight = (1 + std::cos(2 * std::numbers::pi * phase / period)) / 2; // [0, 1]
    const auto mix = [weight](int from, int to) {
        return static_cast<int>(std::lround(from + (to - from) * weight));
    };
    return QColor(mix(steady.red(), bright.red()), mix(steady.green(), bright.green()),
                  mix(steady.blue(), bright.blue()));
}

FrmAlarm::FrmAlarm(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_ui(std::make_unique<Ui::frmAlarm>()) {
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    // A reminder must not take the keyboard: someone typing elsewhere would press
    // "我知道了" with the space bar before reading it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_designSize = size();
    m_designText = m_ui->Label1->geometry();
    m_designButton = m_ui->Command2->pos();
    m_designSnooze = m_ui->cmdSnooze->pos();
    auto* choices = new QMenu(m_ui->cmdSnooze);
    for (const int minutes : SnoozeChoices) {
        QAction* choice = choices->addAction(QStringLiteral("%1 分钟后").arg(minutes));
        choice->setObjectName(QStringLiteral("snooze%1").arg(minutes));
        connect(choice, &QAction::triggered, this, [this, minutes] {
            guarded(lcNotification, "snoozing", [&] { snoozeFor(minutes); });
        });
    }
    m_ui->cmdSnooze->setMenu(choices);
    m_ui->cmdSnooze->setEnabled(false); // until a reminder that can be put off comes
    setSnoozeMinutes(SnoozeChoices[0]);

    // The form holds whole points and one family only.
    QFont font = m_ui->Label1->font();
    font.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSizeF(14.25);
    m_ui->Label1->setFont(font);

    // The label scrolls once the window has grown as far as it may.
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("Label1Area"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setGeometry(m_designText);
    m_scroll->setWidget(m_ui->Label1);
    m_scroll->viewport()->setAutoFillBackground(false);
    m_ui->Label1->setAutoFillBackground(false);
    m_ui->Command2->raise();
    m_ui->cmdSnooze->raise();
    for (QObject* clickable :
         {static_cast<QObject*>(m_ui->Label1), static_cast<QObject*>(m_scroll->viewport()),
          static_cast<QObject*>(m_scroll->verticalScrollBar())})
        clickable->installEventFilter(this);

    // The flash paints its own background: a new palette at every step would restyle every
    // child and fill the style's pixmap cache with one button per colour.
    setAutoFillBackground(false);
    m_steady = palette().color(QPalette::Window);
    m_background = m_steady;

    m_flash.setParent(this);
    m_flash.setObjectName(QStringLiteral("Timer1"));
    m_flash.setInterval(FlashIntervalMs);
    connect(&m_flash, &QTimer::timeout, this, &FrmAlarm::flashStep);
}

FrmAlarm::~FrmAlarm() = default;

void FrmAlarm::addReminder(const QString& text, const QDateTime& when, const QDate& today,
                           const QString& source) {
    m_today = today;
    m_reminders.append({when, text.isEmpty() ? DesignText : text, source});
    if (!source.isEmpty())
        m_ui->cmdSnooze->setEnabled(true);
    if (m_reminders.size() > MaxListed) {
        m_reminders.removeFirst();
        ++m_omitted;
    }
    showList();
    m_tick = 0;
    setBackground(flashColour(m_steady, FlashBright, m_tick));
    m_flash.start();
}

void FrmAlarm::bringToFront() {
    if (const QScreen* screen = currentScreen())
        m_area = screen->availableGeometry();
    fitToText();
    if (isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
    placeInCorner(); // a new window appears where it belongs
    show();
    raise();
    placeInCorner(); // by its frame, where that is known by now
    m_placeWhenFramed = frameGeometry().size() == geometry().size();
    showNewest();
    if (isFlashing())
        QApplication::alert(this);
}

QStringList FrmAlarm::reminderTexts() const {
    QStringList texts;
    for (const Reminder& reminder : m_reminders)
        texts.append(reminder.text);
    return texts;
}

QString FrmAlarm::labelText() const {
    return m_ui->Label1->text();
}

QColor FrmAlarm::background() const {
    return m_background;
}

void FrmAlarm::flashStep() {
    guarded(lcNotification, "flash step", [this] {
        ++m_tick;
        setBackground(flashColour(m_steady, FlashBright, m_tick));
    });
}

void FrmAlarm::showList() {
    m_ui->Label1->setText(reminderListText(m_reminders, m_omitted, m_today));
}

void FrmAlarm::fitToText() {
    QLabel* label = m_ui->Label1;
    const int width = m_designText.width();
    const int frameHeight = frameGeometry().height() - geometry().height(); // 0 until framed
    const int rest = m_designSize.height() - m_designText.height() + frameHeight;
    const int maxWindow = m_area.isValid() ? m_area.height() / 2 : QWIDGETSIZE_MAX;
    const int needed = label->heightForWidth(width);
    const int area = textAreaHeight(needed, m_designText.height(), rest, maxWindow);
    const bool scrolls = needed > area;
    constexpr int gapBeforeBar = 3;
    const int labelWidth =
        scrolls ? width - m_scroll->verticalScrollBar()->sizeHint().width() - gapBeforeBar : width;
    // Set, not left to the scroll area: it would show the bar only at the next event loop.
    m_scroll->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    m_scroll->resize(width, area);
    label->resize(labelWidth, std::max(area, label->heightForWidth(labelWidth)));
    const QPoint down(0, area - m_designText.height());
    m_ui->Command2->move(m_designButton + down);
    m_ui->cmdSnooze->move(m_designSnooze + down);
    setFixedSize(m_designSize.width(), m_designSize.height() + area - m_designText.height());
}

void FrmAlarm::showNewest() {
    QScrollBar* bar = m_scroll->verticalScrollBar();
    bar->setValue(bar->maximum());
}

void FrmAlarm::placeInCorner() {
    if (!m_area.isValid())
        return;
    const QSize frame = size() + (frameGeometry().size() - geometry().size());
    move(cornerPlacement(m_area, frame));
}

void FrmAlarm::stopFlashing() {
    m_flash.stop();
    setBackground(m_steady);
}

void FrmAlarm::setBackground(const QColor& colour) {
    if (colour == m_background)
        return;
    m_background = colour;
    update();
}

void FrmAlarm::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    if (m_background != m_steady) {
        painter.fillRect(event->rect(), m_background);
        return;
    }
    // Steady, the window shows the background its style or a skin gives it.
    QStyleOption option;
    option.initFrom(this);
    style()->drawPrimitive(QStyle::PE_Widget, &option, &painter, this);
}

bool FrmAlarm::event(QEvent* event) {
    // The window manager adds its frame after the window is shown: place it once more by
    // the frame's real size, so that the frame, not only the client area, fits the corner.
    if (m_placeWhenFramed && (event->type() == QEvent::Move || event->type() == QEvent::Paint) &&
        frameGeometry().size() != geometry().size()) {
        m_placeWhenFramed = false;
        QTimer::singleShot(0, this, [this] {
            guarded(lcNotification, "placement by the frame", [this] {
                fitToText();
                placeInCorner();
                showNewest();
            });
        });
    }
    return QWidget::event(event);
}

void FrmAlarm::mousePressEvent(QMouseEvent* event) {
    guarded(lcNotification, "background click", [this] { stopFlashing(); });
    QWidget::mousePressEvent(event);
}

bool FrmAlarm::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && watched != this)
        guarded(lcNotification, "text click", [this] { stopFlashing(); });
    return QWidget::eventFilter(watched, event);
}

void FrmAlarm::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit dismissed();
}

void FrmAlarm::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        guarded(lcNotification, "Esc", [this] { close(); });
        return;
    }
    QWidget::keyPressEvent(event);
}

void FrmAlarm::on_Command2_clicked() {
    guarded(lcNotification, "closing", [this] { close(); });
}

int FrmAlarm::offeredSnooze(int minutes) {
    const bool offered = std::find(std::begin(SnoozeChoices), std::end(SnoozeChoices), minutes) !=
                         std::end(SnoozeChoices);
    return offered ? minutes : SnoozeChoices[0];
}

void FrmAlarm::setSnoozeMinutes(int minutes) {
    m_snoozeMinutes = offeredSnooze(minutes);
    m_ui->cmdSnooze->setToolTip(QStringLiteral("%1 分钟后再提醒").arg(m_snoozeMinutes));
}

void FrmAlarm::on_cmdSnooze_clicked() {
    guarded(lcNotification, "snoozing", [this] { snoozeFor(m_snoozeMinutes); });
}

void FrmAlarm::snoozeFor(int minutes) {
    QStringList sources;
    for (const Reminder& reminder : std::as_const(m_reminders)) {
        if (!reminder.source.isEmpty() && !sources.contains(reminder.source))
            sources << reminder.source;
    }
    setSnoozeMinutes(minutes);
    emit snoozed(minutes, sources);
    close();
}

void NotificationWindow::show(const QString& text, const QDateTime& when, const QString& source) {
    guarded(lcNotification, "showing a reminder", [&] {
        if (!m_window) {
            m_window = new FrmAlarm();
            m_window->setSnoozeMinutes(m_snoozeMinutes);
            QObject::connect(m_window, &FrmAlarm::snoozed, m_window,
                             [this](int minutes, const QStringList& sources) {
                                 m_snoozeMinutes = minutes;
                                 if (m_snoozed)
                                     guarded(lcNotification, "putting off",
                                             [&] { m_snoozed(minutes, sources); });
                             });
            QObject::connect(m_window, &FrmAlarm::dismissed, m_window, [this] {
                if (m_dismissed)
                    guarded(lcNotification, "dismissing", m_dismissed);
            });
        }
        const QDateTime now = m_now ? m_now() : QDateTime::currentDateTime();
        m_window->addReminder(text, when, now.date(), source);
        m_window->bringToFront();
    });
}

NotificationWindow::~NotificationWindow() {
    delete m_window.data();
}

} // namespace tikko
