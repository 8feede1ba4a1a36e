// SPDX-License-Identifier: MIT
// The month grid as the control draws it.
#include "support.h"

#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>

namespace {

constexpr quint32 kRed = 0x0000FF, kBlue = 0xFF0000, kGreen = 0x00C000, kBlack = 0;

TEST(Grid, April2008AsTheControlShowsIt) {
    auto k = makeControl(QDate(2008, 4, 23));
    k->show();
    // 1 April 2008 is a Tuesday: cells 2 ... 31, nothing of March or May.
    const QStringList days = dayTexts(*k);
    EXPECT_EQ(days[0], "");
    EXPECT_EQ(days[1], "");
    EXPECT_EQ(days[2], "1");
    EXPECT_EQ(days[31], "30");
    for (int i = 32; i < 39; ++i)
        EXPECT_EQ(days[i], "") << i;

    struct Caption {
        int cell;
        const char* text;
        quint32 colour;
    };
    for (const Caption& c :
         {Caption{3, "二十六", kBlack}, Caption{5, "清明", kGreen}, Caption{7, "三月小", kRed},
          Caption{21, "谷雨", kGreen}, Caption{24, "世界图书…", kBlue}}) {
        EXPECT_EQ(text(*k, "Label2", c.cell), QString::fromUtf8(c.text)) << c.cell;
        EXPECT_EQ(fore(*k, "Label2", c.cell), c.colour) << c.cell;
    }

    // Only today's number is highlighted.
    for (int i = 0; i < 39; ++i) {
        EXPECT_EQ(flag(*k, "阳历日", i, "opaque"), i == 24) << i;
        EXPECT_FALSE(flag(*k, "阳历日", i, "border")) << i;
    }
    EXPECT_EQ(back(*k, "阳历日", 24), 0xFFFF00u);
    // Day numbers keep their design colours: Sunday red, Saturday blue, else window text.
    EXPECT_EQ(fore(*k, "阳历日", 7), kRed);
    EXPECT_EQ(fore(*k, "阳历日", 13), kBlue);
    EXPECT_EQ(fore(*k, "阳历日", 10), 0x80000008u);

    EXPECT_EQ(text(*k, "平润年"), "闰年");
    EXPECT_EQ(text(*k, "生肖"), "戊子鼠年");
    EXPECT_EQ(text(*k, "星座C"), "金牛座");
    EXPECT_EQ(text(*k, "背景年分"), "2008");
    EXPECT_EQ(text(*k, "背景月份"), "4");
    EXPECT_EQ(text(*k, "阳历年份"), "2008");
    EXPECT_EQ(text(*k, "阳历月份"), "4");
    EXPECT_EQ(text(*k, "农历年份"), "2008");
    EXPECT_EQ(text(*k, "农历月份"), "03");

    const QImage shot = k->grab().toImage();
    EXPECT_EQ(shot.size(), QSize(568, 344));
    ASSERT_TRUE(shot.save(QStringLiteral(KALENDO_SCREENSHOT)));
    // Today's highlight is painted where cell 24 lies (column 3, row 3).
    EXPECT_EQ(shot.pixelColor(24 + 72 * 3 + 2, 56 + 48 * 3 + 1), QColor(0, 255, 255));
}

TEST(Grid, MonthLayouts) {
    auto k = makeControl();
    // June 2008 starts on a Sunday.
    ASSERT_TRUE(k->fillMonth(2008, 6));
    EXPECT_EQ(dayTexts(*k)[0], "1");
    EXPECT_EQ(dayTexts(*k)[29], "30");
    EXPECT_EQ(dayTexts(*k)[30], "");
    // March 2008: 31 days from a Saturday fill cells 6 ... 36.
    ASSERT_TRUE(k->fillMonth(2008, 3));
    QStringList days = dayTexts(*k);
    EXPECT_EQ(days[5], "");
    EXPECT_EQ(days[6], "1");
    EXPECT_EQ(days[36], "31");
    EXPECT_EQ(days[37], "");
    EXPECT_EQ(days[38], "");
    // February 2009: a common year's February from a Sunday fills exactly cells 0 ... 27.
    ASSERT_TRUE(k->fillMonth(2009, 2));
    days = dayTexts(*k);
    for (int i = 0; i < 39; ++i)
        EXPECT_EQ(days[i].isEmpty(), i > 27) << i;
    EXPECT_EQ(text(*k, "Label2", 30), "");
}

TEST(Grid, CaptionPrecedence) {
    auto k = makeControl(QDate(2017, 7, 1));
    // 23 July 2017 begins the leap sixth month; 24 June 2017 the ordinary one.
    ASSERT_TRUE(k->fillMonth(2017, 7));
    EXPECT_EQ(text(*k, "Label2", 28), "闰六月大");
    EXPECT_EQ(fore(*k, "Label2", 28), kRed);
    ASSERT_TRUE(k->fillMonth(2017, 6));
    EXPECT_TRUE(text(*k, "Label2", 4 + 23).startsWith("六月"))
        << qPrintable(text(*k, "Label2", 27));

    // Friday 13 June 2008.
    ASSERT_TRUE(k->fillMonth(2008, 6));
    EXPECT_EQ(text(*k, "Label2", 12), "黑色星期五 ");
    // A lunar festival on a Friday the 13th wins.
    bool found = false;
    for (int y = 1950; y <= 2050 && !found; ++y) {
        for (int m = 1; m <= 12 && !found; ++m) {
            const QDate day(y, m, 13);
            if (day.dayOfWeek() != 5)
                continue;
            const QString lunar = k->solarToLunar(day).value();
            const QString festival = k->lunarFestival(lunar.mid(5, 4)).value().trimmed();
            if (festival.isEmpty())
                continue;
            found = true;
            ASSERT_TRUE(k->fillMonth(y, m));
            const int cell = QDate(y, m, 1).dayOfWeek() % 7 + 12;
            EXPECT_NE(text(*k, "Label2", cell), "黑色星期五 ") << y << "-" << m;
            EXPECT_EQ(fore(*k, "Label2", cell), 0x0000C0u);
        }
    }
    EXPECT_TRUE(found);
    // 12 March: the long festival text is cut to four characters and "…".
    ASSERT_TRUE(k->fillMonth(2008, 3));
    EXPECT_EQ(text(*k, "Label2", 6 + 11), "植树节 …");
    EXPECT_EQ(fore(*k, "Label2", 6 + 11), kBlue);
}

TEST(Grid, SolarTermOnAFestivalShowsTheFestival) {
    auto k = makeControl();
    // 22 December 2008 is 冬至 and 0422 世界地球日 is no term; find a day carrying both
    // through the engine members, as the fill does.
    bool found = false;
    for (int y = 2000; y <= 2030 && !found; ++y) {
        for (int m = 1; m <= 12 && !found; ++m) {
            for (int d = 1; d <= QDate(y, m, 1).daysInMonth() && !found; ++d) {
                const QString term = k->solarTermOn(QDate(y, m, d)).value().trimmed();
                const QString key = QStringLiteral("%1%2")
                                        .arg(m, 2, 10, QLatin1Char('0'))
                                        .arg(d, 2, 10, QLatin1Char('0'));
                if (term.isEmpty() || k->solarFestival(key).value().trimmed().isEmpty())
                    continue;
                found = true;
                ASSERT_TRUE(k->fillMonth(y, m));
                const int cell = QDate(y, m, 1).dayOfWeek() % 7 + d - 1;
                EXPECT_NE(text(*k, "Label2", cell), term);
                EXPECT_EQ(fore(*k, "Label2", cell), kBlue);
            }
        }
    }
    EXPECT_TRUE(found);
}

TEST(Grid, WatermarkAndHighlightFollowTodayNotTheShownMonth) {
    auto k = makeControl(QDate(2008, 4, 23));
    ASSERT_TRUE(k->fillMonth(2009, 4));
    EXPECT_EQ(text(*k, "背景年分"), "2008");
    EXPECT_EQ(text(*k, "背景月份"), "4");
    for (int i = 0; i < 39; ++i)
        EXPECT_FALSE(flag(*k, "阳历日", i, "opaque")) << i;
}

TEST(Grid, YearNameFollowsTheLunarYearList) {
    auto k = makeControl(QDate(2008, 1, 15));
    EXPECT_EQ(text(*k, "农历年份"), "2007");
    EXPECT_EQ(text(*k, "生肖"), "丁亥猪年");
    auto after = makeControl(QDate(2008, 2, 15));
    EXPECT_EQ(text(*after, "生肖"), "戊子鼠年");
}

// A fill that fails shows nothing of the month it was filling: the old one stays whole.
TEST(Grid, AFailedFillLeavesTheShownMonthWhole) {
    auto k = makeControl();
    QTest::mouseClick(element(*k, "阳历日", 11), Qt::LeftButton); // 10 April: 牡羊座
    const QStringList days = dayTexts(*k);
    QStringList captions;
    for (int i = 0; i < 39; ++i)
        captions << text(*k, "Label2", i);
    // The lunar table ends on 17 February 2091: March 2091 fails at its first day; no
    // year 0 fails before it has one.
    for (const QVariantList& month : {QVariantList{2091, 3}, QVariantList{0, 4}}) {
        const kalendo::Result r = k->call(QStringLiteral("返回阳历控件"), month);
        EXPECT_FALSE(r.ok());
        EXPECT_EQ(k->lastError().errorNumber, r.errorNumber);
        EXPECT_EQ(k->lastError().source, "返回阳历控件");
        EXPECT_EQ(dayTexts(*k), days);
        for (int i = 0; i < 39; ++i)
            EXPECT_EQ(text(*k, "Label2", i), captions[i]) << i;
        EXPECT_TRUE(flag(*k, "阳历日", 11, "border"));
        EXPECT_EQ(text(*k, "星座C"), "牡羊座");
        EXPECT_EQ(text(*k, "生肖"), "戊子鼠年");
        EXPECT_EQ(text(*k, "阳历年份"), "2008");
        EXPECT_EQ(text(*k, "阳历月份"), "4");
    }
    EXPECT_EQ(k->call(QStringLiteral("返回阳历控件"), QVariantList{2091, 3}).errorNumber, 9);

    // The control stays usable, and a host's fill moves the lists to its month.
    EXPECT_TRUE(k->fillMonth(2008, 6));
    EXPECT_EQ(dayTexts(*k)[0], "1");
    EXPECT_EQ(text(*k, "阳历月份"), "6");
}

} // namespace

namespace {

TEST(Layout, ElementsSitWhereTheyBelongInTheirOrder) {
    auto k = makeControl();
    EXPECT_EQ(element(*k, "阳历日", 38)->geometry(), QRect(240, 296, 33, 25));
    EXPECT_EQ(element(*k, "Label2", 0)->geometry(), QRect(8, 84, 65, 13));
    EXPECT_EQ(element(*k, "星期", 6)->geometry(), QRect(440, 32, 65, 13));
    EXPECT_EQ(element(*k, "今天")->geometry(), QRect(520, 240, 41, 25));
    EXPECT_EQ(element(*k, "阳历年份")->geometry(), QRect(48, 3, 53, 20));
    EXPECT_EQ(text(*k, "上年"), "年↑");
    EXPECT_EQ(text(*k, "Label1", 3), "农历");
    EXPECT_EQ(element(*k, "阳历日", 0)->font().pixelSize(), 24);
    EXPECT_TRUE(element(*k, "阳历日", 0)->font().bold());
    // The background picture at the back, then the watermarks, then everything else.
    const QObjectList children = k->children();
    const auto at = [&](const char* name) {
        return children.indexOf(element(*k, name));
    };
    EXPECT_LT(at("背景图片1"), at("背景年分"));
    EXPECT_LT(at("背景月份"), at("bTl"));
    EXPECT_LT(at("背景月份"), at("阳历年份"));
    EXPECT_LT(at("bTl"), at("Label1"));
    // Every list holds its entries, the shown month as its plain number.
    EXPECT_EQ(list(*k, "阳历月份")->count(), 12);
    EXPECT_EQ(list(*k, "阳历月份")->itemText(0), "01");
    EXPECT_EQ(list(*k, "农历年份")->count(), 190);
    EXPECT_EQ(list(*k, "农历年份")->itemText(189), "2090");
}

} // namespace
