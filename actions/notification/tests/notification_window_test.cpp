// SPDX-License-Identifier: MIT
#include "tikko/notification_window.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <gtest/gtest.h>

namespace tikko {
namespace {

const QDateTime At1005 = QDateTime(QDate(2026, 12, 8), QTime(10, 5, 0));
const QDate Today = At1005.date();
const QChar ZeroWidthSpace(0x200B);

// Lines of the label's text, laid out in its font at its width, that are wider than it.
int overflowingLines(const QLabel* label) {
    QString text = label->text();
    text.replace(QLatin1Char('\n'), QChar::LineSeparator);
    QTextLayout layout(text, label->font());
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    const qreal width = label->contentsRect().width();
    int overflowing = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        if (line.naturalTextWidth() > width + 0.5)
            ++overflowing;
    }
    layout.endLayout();
    return overflowing;
}

class NotificationTest : public ::testing::Test {
protected:
    NotificationWindow notification;

    void SetUp() override {
        notification.setClock([] { return At1005; });
    }
    FrmAlarm* window() const { return notification.window(); }
    QLabel* label() const { return window()->findChild<QLabel*>("Label1"); }
    QScrollArea* textArea() const { return window()->findChild<QScrollArea*>("Label1Area"); }
    QPushButton* button() const { return window()->findChild<QPushButton*>("Command2"); }
    QRect available() const { return QGuiApplication::primaryScreen()->availableGeometry(); }
    void clickIKnow() {
        QTest::mouseClick(button(), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // Every character can be read: no line wider than the label, the label as tall as its
    // text, and the text area shows all of it or scrolls over all of it.
    void expectWholeTextReadable() const {
        EXPECT_EQ(overflowingLines(label()), 0);
        EXPECT_GE(label()->height(), label()->heightForWidth(label()->width()));
        const QScrollBar* bar = textArea()->verticalScrollBar();
        const int hidden = label()->height() - textArea()->viewport()->height();
        EXPECT_EQ(bar->isVisible() ? bar->maximum() : 0, std::max(0, hidden));
        EXPECT_LE(textArea()->geometry().bottom(), button()->geometry().top());
        EXPECT_LE(button()->geometry().bottom(), window()->height());
        EXPECT_TRUE(available().contains(window()->frameGeometry()));
    }
};

TEST_F(NotificationTest, TheDesignedFixedToolWindow) {
    notification.show({}, At1005);
    ASSERT_TRUE(window());
    EXPECT_EQ(window()->objectName(), QStringLiteral("frmAlarm"));
    EXPECT_EQ(window()->windowTitle(), QStringLiteral("重要提醒"));
    const Qt::WindowFlags flags = window()->windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    // The designed 260 x 79, taller only by what the font's line needs beyond 27 pixels.
    const int grown = std::max(0, label()->heightForWidth(239) - 27);
    EXPECT_LE(grown, 3);
    EXPECT_EQ(window()->size(), QSize(260, 79 + grown));
    EXPECT_EQ(window()->minimumSize(), window()->maximumSize());
    EXPECT_EQ(textArea()->geometry(), QRect(11, 11, 239, 27 + grown));
    EXPECT_EQ(button()->text(), QStringLiteral("我知道了"));
    EXPECT_EQ(button()->geometry(), QRect(89, 42 + grown, 88, 30));
    EXPECT_TRUE(label()->font().bold());
    EXPECT_DOUBLE_EQ(label()->font().pointSizeF(), 14.25);
    EXPECT_TRUE(label()->font().families().contains(QStringLiteral("Noto Serif CJK SC")));
    EXPECT_EQ(window()->findChild<QTimer*>("Timer1")->interval(), 250);
}

TEST_F(NotificationTest, AnEmptyPromptShowsTheDesignTextAndMarkupShowsAsWritten) {
    notification.show({}, At1005);
    EXPECT_EQ(window()->reminderTexts(), QStringList{FrmAlarm::DesignText});
    EXPECT_EQ(label()->text(), QStringLiteral("10:05 重要提醒哦！*^_^*"));
    notification.show(QStringLiteral("<b>a</b> & b"), At1005);
    EXPECT_EQ(label()->textFormat(), Qt::PlainText);
    EXPECT_TRUE(label()->text().remove(ZeroWidthSpace).endsWith("\n10:05 <b>a</b> & b"));
}

TEST_F(NotificationTest, AReminderShownWhileMinimisedOrHiddenComesBack) {
    notification.show(QStringLiteral("first"), At1005);
    FrmAlarm* first = window();
    first->showMinimized();
    ASSERT_TRUE(first->isMinimized());
    notification.show(QStringLiteral("second"), At1005.addSecs(60));
    EXPECT_EQ(window(), first);
    EXPECT_FALSE(first->isMinimized());
    EXPECT_TRUE(first->isVisible());
    first->hide();
    notification.show(QStringLiteral("third"), At1005.addSecs(120));
    EXPECT_TRUE(first->isVisible());
    EXPECT_EQ(first->reminderTexts(), (QStringList{"first", "second", "third"}));
}

TEST_F(NotificationTest, ThreeRemindersInOneMinuteAreAllVisibleNewestLast) {
    notification.show(QStringLiteral("开会"), At1005);
    notification.show({}, At1005.addSecs(20));
    notification.show(QStringLiteral("时间到了，休息一下吧！"), At1005.addSecs(40));
    EXPECT_EQ(
        label()->text().split(QLatin1Char('\n')),
        (QStringList{"10:05 开会", "10:05 重要提醒哦！*^_^*", "10:05 时间到了，休息一下吧！"}));
    EXPECT_GT(window()->height(), 79);
    EXPECT_FALSE(textArea()->verticalScrollBar()->isVisible());
    expectWholeTextReadable();
    // Still in the corner after growing: the frame's lower right corner stayed put.
    const QRect frame = window()->frameGeometry();
    EXPECT_EQ(frame.right(), available().right() - FrmAlarm::RightMargin);
    EXPECT_EQ(frame.bottom(), available().bottom() - FrmAlarm::BottomMargin);
}

TEST_F(NotificationTest, LongPromptsWrapAndTheWindowGrowsToHalfTheScreenThenScrolls) {
    const QString sentence = QStringLiteral("请记得把会议纪要发给所有参会的同事，");
    const QString chinese = sentence.repeated(12).left(200);
    const QString address =
        QStringLiteral("https://example.org/") + QString(180, QLatin1Char('a')); // no spaces
    for (const QString& prompt : {chinese, address}) {
        notification.show(prompt, At1005);
        SCOPED_TRACE(prompt.left(20).toStdString());
        EXPECT_EQ(window()->width(), 260);
        EXPECT_GT(window()->height(), 79);
        expectWholeTextReadable();
        clickIKnow();
    }
    // Far more than half a screen of text: the window stops growing and the newest line
    // is the one in view.
    for (int i = 0; i < 12; ++i)
        notification.show(chinese, At1005);
    EXPECT_LE(window()->frameGeometry().height(), available().height() / 2);
    ASSERT_TRUE(textArea()->verticalScrollBar()->isVisible());
    EXPECT_EQ(textArea()->verticalScrollBar()->value(), textArea()->verticalScrollBar()->maximum());
    expectWholeTextReadable();
}

TEST_F(NotificationTest, FlashingStopsOnAClickAndStartsAgainForANewReminder) {
    const QColor steady = QApplication::palette().color(QPalette::Window);
    notification.show(QStringLiteral("a"), At1005);
    EXPECT_TRUE(window()->isFlashing());
    EXPECT_EQ(window()->background(), FrmAlarm::FlashBright);
    // The timer drives the pulse by itself.
    EXPECT_TRUE(QTest::qWaitFor([&] { return window()->background() != FrmAlarm::FlashBright; }));

    QTest::mouseClick(label(), Qt::LeftButton);
    EXPECT_FALSE(window()->isFlashing());
    EXPECT_EQ(window()->background(), steady);

    notification.show(QStringLiteral("b"), At1005);
    EXPECT_TRUE(window()->isFlashing());
    EXPECT_EQ(window()->background(), FrmAlarm::FlashBright);
    QTest::mouseClick(window(), Qt::LeftButton, {}, QPoint(3, window()->height() - 3));
    EXPECT_FALSE(window()->isFlashing());

    // "我知道了" destroys the window; the next reminder starts a fresh, flashing list.
    clickIKnow();
    EXPECT_FALSE(notification.isLoaded());
    notification.show(QStringLiteral("c"), At1005);
    EXPECT_TRUE(window()->isFlashing());
    EXPECT_EQ(window()->reminderTexts(), QStringList{"c"});
}

TEST_F(NotificationTest, EveryWayOfDismissingItTellsSoThatTheRingStops) {
    int dismissed = 0;
    notification.setDismissHandler([&] { ++dismissed; });
    notification.show(QStringLiteral("a"), At1005);
    QTest::mouseClick(label(), Qt::LeftButton); // only stops the flash
    notification.show(QStringLiteral("b"), At1005);
    EXPECT_EQ(dismissed, 0);

    clickIKnow();
    EXPECT_EQ(dismissed, 1);
    notification.show(QStringLiteral("c"), At1005);
    QTest::keyClick(window(), Qt::Key_Escape);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(dismissed, 2);
    EXPECT_FALSE(notification.isLoaded());
    notification.show(QStringLiteral("d"), At1005);
    window()->close(); // the window's own close button
    EXPECT_EQ(dismissed, 3);
}

TEST(NotificationPlacement, InsideTheAvailableAreaOfAScreenWithPanels) {
    const QSize frame(262, 105);
    // A 1024 x 768 screen with a 30-pixel panel at the bottom: clear of the panel.
    const QRect bottomPanel(0, 0, 1024, 738);
    const QPoint corner = cornerPlacement(bottomPanel, frame);
    EXPECT_EQ(corner, QPoint(1024 - 262 - 4, 738 - 105 - 4));
    EXPECT_TRUE(bottomPanel.contains(QRect(corner, frame)));
    // Panels at the left and at the top, and a second screen to the right of the first.
    EXPECT_EQ(cornerPlacement(QRect(48, 0, 976, 768), frame), QPoint(758, 768 - 105 - 4));
    EXPECT_EQ(cornerPlacement(QRect(0, 28, 1024, 740), frame), QPoint(758, 28 + 740 - 109));
    EXPECT_EQ(cornerPlacement(QRect(1024, 0, 1280, 984), frame), QPoint(2304 - 266, 875));
    // A frame larger than the area keeps its top left inside it.
    EXPECT_EQ(cornerPlacement(QRect(10, 20, 200, 100), frame), QPoint(10, 20));
}

TEST(NotificationSizing, TheTextAreaGrowsFromItsDesignedHeightToItsLimit) {
    EXPECT_EQ(textAreaHeight(20, 27, 52, 369), 27);
    EXPECT_EQ(textAreaHeight(140, 27, 52, 369), 140);
    EXPECT_EQ(textAreaHeight(1000, 27, 52 + 25, 369), 369 - 77);
    EXPECT_EQ(textAreaHeight(1000, 27, 52, 40), 27); // a tiny screen: never below the design
}

TEST(NotificationTexts, TimesDaysAndLongRuns) {
    EXPECT_EQ(reminderTimeText(At1005, Today), QStringLiteral("10:05"));
    EXPECT_EQ(reminderTimeText(At1005.addDays(-1).addSecs(-60), Today),
              QStringLiteral("12月7日 10:04"));
    EXPECT_EQ(reminderTimeText(At1005.addYears(-1), Today), QStringLiteral("2025年12月8日 10:05"));
    EXPECT_EQ(reminderTimeText({}, Today), QString());

    // Words and Chinese text break where they may; only a run too long for that gets
    // zero-width spaces, and nothing else changes.
    const QString words = QStringLiteral("Call Anna about the offsite 请记得发会议纪要");
    EXPECT_EQ(reminderListText({{At1005, words, {}}}, 0, Today), "10:05 " + words);
    const QString run(30, QLatin1Char('x'));
    QString broken = reminderListText({{{}, run, {}}}, 0, Today);
    EXPECT_EQ(broken.count(ZeroWidthSpace), 29);
    EXPECT_EQ(broken.remove(ZeroWidthSpace), run);

    QList<Reminder> reminders;
    for (int i = 0; i < 3; ++i)
        reminders.append({At1005, QString::number(i), {}});
    EXPECT_EQ(reminderListText(reminders, 7, Today),
              QStringLiteral("（前面还有 7 条提醒未列出）\n10:05 0\n10:05 1\n10:05 2"));
}

TEST(NotificationFlash, APulseFromBrightToSteadyAndBack) {
    const QColor steady(240, 240, 240);
    const QColor bright = FrmAlarm::FlashBright;
    const int period = FrmAlarm::FlashPeriodTicks;
    EXPECT_EQ(flashColour(steady, bright, 0), bright);
    EXPECT_EQ(flashColour(steady, bright, period / 2), steady);
    EXPECT_EQ(flashColour(steady, bright, period), bright);
    EXPECT_EQ(flashColour(steady, bright, -period / 2), steady);
    const QColor between = flashColour(steady, bright, period / 4);
    EXPECT_LT(between.blue(), steady.blue());
    EXPECT_GT(between.blue(), bright.blue());
}

TEST_F(NotificationTest, TheListKeepsTheNewestReminders) {
    for (int i = 0; i < FrmAlarm::MaxListed + 5; ++i)
        notification.show(QString::number(i), At1005);
    EXPECT_EQ(window()->reminders().size(), FrmAlarm::MaxListed);
    EXPECT_EQ(window()->reminderTexts().last(), QString::number(FrmAlarm::MaxListed + 4));
    EXPECT_TRUE(
        label()->text().startsWith(QStringLiteral("（前面还有 5 条提醒未列出）\n10:05 5\n")));
}

} // namespace
} // namespace tikko
