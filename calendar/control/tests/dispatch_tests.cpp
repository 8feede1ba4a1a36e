// SPDX-License-Identifier: MIT
// Engine members by name through the control, with errors as results.
#include "support.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

TEST(Dispatch, CallsByNameWithVariants) {
    auto k = makeControl();
    EXPECT_EQ(k->call("阳历返回农", QVariantList{QDate(2009, 6, 23)}).value, "120090501");
    EXPECT_EQ(k->call("阳历返回农", QVariantList{"2009-6-23"}).value, "120090501");
    EXPECT_EQ(k->call("闰哪月", QVariantList{2009}).value.toInt(), 5);
    EXPECT_EQ(k->call("天干地", QVariantList{"2008"}).value, "戊子");
    EXPECT_EQ(k->call("复活节", QVariantList{2008.0}).value, "2008-3-23");
    EXPECT_TRUE(k->call("SetValue").ok());
    // By-reference arguments the member changes come back to the caller.
    QVariantList args{2009, 13, 1};
    const kalendo::Result r = k->call("阴历转阳历", args);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.value, "2009-1-26");
    EXPECT_EQ(args[1].toInt(), 1);
    EXPECT_EQ(args[0].metaType().id(), QMetaType::Int); // unchanged ones keep their type
    int y = 2008, m = 3, d = 30;
    EXPECT_EQ(k->lunarToSolar(y, m, d), "2008-5-4");
    EXPECT_EQ(d, 29);
}

TEST(Dispatch, FailuresAreResultsNeverExceptions) {
    auto k = makeControl();
    struct Case {
        const char* member;
        QVariantList args;
        int number;
    };
    for (const Case& c :
         {Case{"没有这个", {}, 438}, Case{"闰哪月", {}, 450}, Case{"闰哪月", {"abc"}, 13},
          Case{"闰哪月", {70000}, 6}, Case{"阳历返回农", {QVariant::fromValue(QSize(1, 1))}, 13},
          Case{"返回阳历控件", {2008}, 450}}) {
        const kalendo::Result r = k->call(QString::fromUtf8(c.member), c.args);
        EXPECT_EQ(r.errorNumber, c.number) << c.member;
        EXPECT_FALSE(r.errorMessage.isEmpty()) << c.member;
        EXPECT_EQ(k->lastError().errorNumber, c.number) << c.member;
    }
    EXPECT_EQ(k->leapMonth(99999), std::nullopt);
    EXPECT_EQ(k->leapMonth(2009), 5);
    k->clearLastError();
    EXPECT_TRUE(k->lastError().ok());
}

// What a boundary swallows is logged under the control's category.
TEST(Dispatch, AFailingHostClockIsLoggedAndTheSystemClockStandsIn) {
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (type == QtWarningMsg && QString::fromLatin1(context.category) == "kalendo.control")
                warnings << message;
        });
    Kalendo k([]() -> QDate { throw std::runtime_error("clock broken"); });
    qInstallMessageHandler(previous);
    ASSERT_FALSE(warnings.isEmpty());
    EXPECT_TRUE(warnings.front().contains("clock broken")) << warnings.front().toStdString();
    EXPECT_EQ(text(k, "阳历年份"), QString::number(QDate::currentDate().year()));
    EXPECT_TRUE(k.lastError().ok());
}

} // namespace
