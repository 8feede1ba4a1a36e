#include "tikko/notification_window.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

namespace tikko {
namespace {

class NotificationTest : public ::testing::Test {
protected:
    NotificationWindow notification;

    QLabel* label() const { return notification.window()->findChild<QLabel*>("Label1"); }
    QPushButton* button() const {
        return notification.window()->findChild<QPushButton*>("Command2");
    }
};

TEST_F(NotificationTest, DesignedLayoutAndTexts) {
    notification.show({});
    FrmAlarm* window = notification.window();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->size(), QSize(260, 79));
    EXPECT_EQ(window->objectName(), QStringLiteral("frmAlarm"));
    EXPECT_TRUE(window->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(label()->geometry(), QRect(11, 11, 239, 27));
    EXPECT_EQ(button()->text(), QStringLiteral("我知道了"));
    EXPECT_EQ(button()->geometry(), QRect(89, 42, 88, 30));
}

TEST_F(NotificationTest, SitsInTheLowerRightCorner) {
    EXPECT_EQ(FrmAlarm::placement(QRect(0, 0, 1024, 768), QSize(260, 79)), QPoint(760, 656));
    notification.show(QStringLiteral("x"));
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect frame = notification.window()->frameGeometry();
    EXPECT_EQ(frame.right() + 1, screen.right() + 1 - 4);
    EXPECT_EQ(frame.bottom() + 1, screen.bottom() + 1 - 33);
}

TEST_F(NotificationTest, EmptyPromptKeepsTheDesignTextOtherwiseThePromptShows) {
    notification.show({});
    EXPECT_EQ(label()->text(), FrmAlarm::DesignText);
    QTest::mouseClick(button(), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(notification.isLoaded());
    notification.show(QStringLiteral("生日提醒"));
    EXPECT_EQ(label()->text(), QStringLiteral("生日提醒"));
}

TEST_F(NotificationTest, FlashesUntilTheLabelOrTheBackgroundIsClicked) {
    for (bool onLabel : {true, false}) {
        notification.show(QStringLiteral("a"));
        FrmAlarm* window = notification.window();
        EXPECT_TRUE(window->isFlashing());
        QTest::qWait(120);
        EXPECT_TRUE(window->isFlashing());
        if (onLabel)
            QTest::mouseClick(label(), Qt::LeftButton);
        else
            QTest::mouseClick(window, Qt::LeftButton, {}, QPoint(3, 75));
        EXPECT_FALSE(window->isFlashing());
        const QString steady = window->windowTitle();
        QTest::qWait(120);
        EXPECT_EQ(window->windowTitle(), steady);
        EXPECT_TRUE(steady.contains(FrmAlarm::Caption));
        QTest::mouseClick(button(), Qt::LeftButton);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}

TEST_F(NotificationTest, AWindowStillOpenIsReusedWithItsTextAndFlashState) {
    notification.show(QStringLiteral("first"));
    FrmAlarm* window = notification.window();
    QTest::mouseClick(label(), Qt::LeftButton);
    window->hide();
    notification.show(QStringLiteral("second"));
    EXPECT_EQ(notification.window(), window);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(label()->text(), QStringLiteral("first"));
    EXPECT_FALSE(window->isFlashing());

    // The rest reminder writes its own text into the open window.
    notification.showWithText(QStringLiteral("third"), QStringLiteral("时间到了，休息一下吧！"));
    EXPECT_EQ(label()->text(), QStringLiteral("时间到了，休息一下吧！"));

    // After "我知道了" the next alarm gets a fresh, flashing window.
    QTest::mouseClick(button(), Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    notification.show(QStringLiteral("fourth"));
    EXPECT_TRUE(notification.window()->isFlashing());
    EXPECT_EQ(label()->text(), QStringLiteral("fourth"));
}

} // namespace
} // namespace tikko
