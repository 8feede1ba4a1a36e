// SPDX-License-Identifier: MIT
#pragma once

// The engine's fixed data: every member reads these tables, nothing copies them.

#include "kalendo/text.h"

#include <array>
#include <cstdint>
#include <string_view>

namespace kalendo::tables {

// One packed entry per lunar year, index 0 = lunar year 1900.
//   bits 0-3   leap month (1-12), 0 = no leap month
//   bits 4-15  month m (1-12) has 30 days if bit (16 - m) is set, else 29
//   bit 16     the leap month has 30 days
// Eight entries differ from the table this control first shipped with, whose months
// started a day early or late against the new moons in Beijing time, or put 2033's leap
// month in the wrong place: 1933, 1954, 1956, 1978, 1996, 2033, 2083, 2085. Every year
// keeps its length, so the anchors below still hold.
constexpr int kFirstLunarYear = 1900;
constexpr int kLastLunarYear = 2090;
constexpr std::array<std::uint32_t, 191> kLunarYears = {
    // 1900-1909
    0x04BD8,
    0x04AE0,
    0x0A570,
    0x054D5,
    0x0D260,
    0x0D950,
    0x16554,
    0x056A0,
    0x09AD0,
    0x055D2,
    // 1910-1919
    0x04AE0,
    0x0A5B6,
    0x0A4D0,
    0x0D250,
    0x1D255,
    0x0B540,
    0x0D6A0,
    0x0ADA2,
    0x095B0,
    0x14977,
    // 1920-1929
    0x04970,
    0x0A4B0,
    0x0B4B5,
    0x06A50,
    0x06D40,
    0x1AB54,
    0x02B60,
    0x09570,
    0x052F2,
    0x04970,
    // 1930-1939
    0x06566,
    0x0D4A0,
    0x0EA50,
    0x16A95,
    0x05AD0,
    0x02B60,
    0x186E3,
    0x092E0,
    0x1C8D7,
    0x0C950,
    // 1940-1949
    0x0D4A0,
    0x1D8A6,
    0x0B550,
    0x056A0,
    0x1A5B4,
    0x025D0,
    0x092D0,
    0x0D2B2,
    0x0A950,
    0x0B557,
    // 1950-1959
    0x06CA0,
    0x0B550,
    0x15355,
    0x04DA0,
    0x0A5B0,
    0x14573,
    0x052B0,
    0x0A9A8,
    0x0E950,
    0x06AA0,
    // 1960-1969
    0x0AEA6,
    0x0AB50,
    0x04B60,
    0x0AAE4,
    0x0A570,
    0x05260,
    0x0F263,
    0x0D950,
    0x05B57,
    0x056A0,
    // 1970-1979
    0x096D0,
    0x04DD5,
    0x04AD0,
    0x0A4D0,
    0x0D4D4,
    0x0D250,
    0x0D558,
    0x0B540,
    0x0B6A0,
    0x195A6,
    // 1980-1989
    0x095B0,
    0x049B0,
    0x0A974,
    0x0A4B0,
    0x0B27A,
    0x06A50,
    0x06D40,
    0x0AF46,
    0x0AB60,
    0x09570,
    // 1990-1999
    0x04AF5,
    0x04970,
    0x064B0,
    0x074A3,
    0x0EA50,
    0x06B58,
    0x05AC0,
    0x0AB60,
    0x096D5,
    0x092E0,
    // 2000-2009
    0x0C960,
    0x0D954,
    0x0D4A0,
    0x0DA50,
    0x07552,
    0x056A0,
    0x0ABB7,
    0x025D0,
    0x092D0,
    0x0CAB5,
    // 2010-2019
    0x0A950,
    0x0B4A0,
    0x0BAA4,
    0x0AD50,
    0x055D9,
    0x04BA0,
    0x0A5B0,
    0x15176,
    0x052B0,
    0x0A930,
    // 2020-2029
    0x07954,
    0x06AA0,
    0x0AD50,
    0x05B52,
    0x04B60,
    0x0A6E6,
    0x0A4E0,
    0x0D260,
    0x0EA65,
    0x0D530,
    // 2030-2039
    0x05AA0,
    0x076A3,
    0x096D0,
    0x04AFB,
    0x04AD0,
    0x0A4D0,
    0x1D0B6,
    0x0D250,
    0x0D520,
    0x0DD45,
    // 2040-2049
    0x0B5A0,
    0x056D0,
    0x055B2,
    0x049B0,
    0x0A577,
    0x0A4B0,
    0x0AA50,
    0x1B255,
    0x06D20,
    0x0ADA0,
    // 2050-2059
    0x14B63,
    0x09370,
    0x049F8,
    0x04970,
    0x064B0,
    0x168A6,
    0x0EA50,
    0x06B20,
    0x1A6C4,
    0x0AAE0,
    // 2060-2069
    0x092E0,
    0x0D2E3,
    0x0C960,
    0x0D557,
    0x0D4A0,
    0x0DA50,
    0x05D55,
    0x056A0,
    0x0A6D0,
    0x055D4,
    // 2070-2079
    0x052D0,
    0x0A9B8,
    0x0A950,
    0x0B4A0,
    0x0B6A6,
    0x0AD50,
    0x055A0,
    0x0ABA4,
    0x0A5B0,
    0x052B0,
    // 2080-2089
    0x0B273,
    0x06930,
    0x07337,
    0x06AA0,
    0x0AD50,
    0x14B55,
    0x04B60,
    0x0A570,
    0x054E4,
    0x0D160,
    // 2090
    0x0E968,
};

// Name tables, each written as one string and split into its characters (or pairs).
constexpr auto kStems = text::splitCharacters<10>("甲乙丙丁戊己庚辛壬癸");
constexpr auto kBranches = text::splitCharacters<12>("子丑寅卯辰巳午未申酉戌亥");
constexpr auto kAnimals = text::splitCharacters<12>("鼠牛虎兔龙蛇马羊猴鸡狗猪");
constexpr auto kNumerals = text::splitCharacters<11>("一二三四五六七八九十日");
constexpr auto kTermNames =
    text::splitCharacters<24>("小寒大寒立春雨水惊蛰春分清明谷雨立夏小满芒种夏至"
                              "小暑大暑立秋处暑白露秋分寒露霜降立冬小雪大雪冬至",
                              2);
static_assert(kNumerals.back() == "日" && kTermNames.front() == "小寒" &&
                  kTermNames.back() == "冬至",
              "every name table is split whole");

// Minutes from the start of the term year to each term (小寒 ... 冬至), in the mean-year
// reckoning that years outside the astronomical table use.
constexpr std::array<std::int32_t, 24> kTermMinutes = {
    0,      21208,  42467,  63836,  85337,  107014, 128867, 150921, 173149, 195551, 218072, 240693,
    263343, 285989, 308563, 331033, 353350, 375494, 397447, 419210, 440795, 462224, 483532, 504758,
};

// Festival entries: a four-character key, then the names (several separated by a blank).
// Gregorian festivals, key MMDD.
constexpr std::array<std::string_view, 101> kSolarFestivals = {
    "0101元旦节",
    "0202世界湿地日",
    "0210国际气象节",
    "0214情人节",
    "0301国际海豹日",
    "0303全国爱耳日",
    "0305学雷锋纪念日",
    "0308妇女节",
    "0312植树节 孙中山逝世纪念日",
    "0314国际警察日",
    "0315消费者权益日",
    "0317中国国医节 国际航海日",
    "0321世界森林日 消除种族歧视国际日 世界儿歌日",
    "0322世界水日",
    "0323世界气象日",
    "0324世界防治结核病日",
    "0325全国中小学生安全教育日",
    "0330巴勒斯坦国土日",
    "0401愚人节 全国爱国卫生运动月(四月) 税收宣传月(四月)",
    "0407世界卫生日",
    "0422世界地球日",
    "0423世界图书和版权日",
    "0424亚非新闻工作者日",
    "0501劳动节",
    "0502劳动节假日",
    "0503劳动节假日",
    "0504青年节",
    "0505碘缺乏病防治日",
    "0508世界红十字日",
    "0512国际护士节",
    "0515国际家庭日",
    "0517国际电信日",
    "0518国际博物馆日",
    "0520全国学生营养日",
    "0523国际牛奶日",
    "0531世界无烟日",
    "0601国际儿童节",
    "0605世界环境保护日",
    "0606全国爱眼日",
    "0617防治荒漠化和干旱日",
    "0623国际奥林匹克日",
    "0625全国土地日",
    "0626国际禁毒日",
    "0701香港回归纪念日 中共诞辰 世界建筑日",
    "0702国际体育记者日",
    "0707抗日战争纪念日",
    "0711世界人口日",
    "0730非洲妇女日",
    "0801建军节",
    "0808中国男子节(爸爸节)",
    "0815抗日战争胜利纪念",
    "0908国际扫盲日 国际新闻工作者日",
    "0909毛泽东逝世纪念",
    "0910中国教师节",
    "0914世界清洁地球日",
    "0916国际臭氧层保护日",
    "0918九·一八事变纪念日",
    "0920国际爱牙日",
    "0927世界旅游日",
    "0928孔子诞辰",
    "1001国庆节 世界音乐日 国际老人节",
    "1002国庆节假日 国际和平与民主自由斗争日",
    "1003国庆节假日",
    "1004世界动物日",
    "1006老人节",
    "1008全国高血压日 世界视觉日",
    "1009世界邮政日 万国邮联日",
    "1010辛亥革命纪念日 世界精神卫生日",
    "1013世界保健日 国际教师节,",
    "1014世界标准日",
    "1015国际盲人节(白手杖节)",
    "1016世界粮食日",
    "1017世界消除贫困日",
    "1022世界传统医药日",
    "1024联合国日",
    "1031世界勤俭日",
    "1107十月社会主义革命纪念日",
    "1108中国记者日",
    "1109全国消防安全宣传教育日",
    "1110世界青年节",
    "1111国际科学与和平周(本日所属的一周)",
    "1112孙中山诞辰纪念日",
    "1114世界糖尿病日",
    "1117国际大学生节 世界学生节",
    "1120彝族年",
    "1121彝族年 世界问候日 世界电视日",
    "1122彝族年",
    "1129国际声援巴勒斯坦人民国际日",
    "1201世界艾滋病日",
    "1203世界残疾人日",
    "1205国际经济和社会发展志愿人员日",
    "1208国际儿童电视日",
    "1209世界足球日",
    "1210世界人权日",
    "1212西安事变纪念日",
    "1213南京大屠杀(1937年)纪念日！紧记血泪史！",
    "1220澳门回归纪念",
    "1221国际篮球日",
    "1224平安夜",
    "1225圣诞节",
    "1226毛泽东诞辰纪念",
};

// Lunar festivals, key lunar MMDD. 除夕's key "0100" names the day before 01-01.
constexpr std::array<std::string_view, 10> kLunarFestivals = {
    "0101春节",   "0115元宵节", "0505端午节", "0707七夕情人节", "0715中元节",
    "0815中秋节", "0909重阳节", "1208腊八节", "1223小年",       "0100除夕",
};

// Weekday festivals, key MM + n + w: the n-th weekday w (0 = Sunday) of month MM, n = 5
// meaning the last one. 减灾日 was kept on the second Wednesday of October.
constexpr std::array<std::string_view, 16> kWeekdayFestivals = {
    "0150世界麻风日",
    "0520国际母亲节",
    "0530全国助残日",
    "0630父亲节",
    "0730被奴役国家周",
    "0932国际和平日",
    "0940国际聋人节 世界儿童日",
    "0950世界海事日",
    "1011国际住房日",
    "1023国际减轻自然灾害日(减灾日)",
    "1144感恩节",
    "0231总统日",
    "0531胜利日",
    "0716合作节",
    "0730被奴周",
    "1021哥伦布日",
};

// Calls f with the names of every entry of a festival table whose key is `key` (blanks
// around it ignored), one call per entry, in table order, the names' blanks trimmed.
template <std::size_t N, class F>
constexpr void forEachEntry(const std::array<std::string_view, N>& table, std::string_view key,
                            F&& f) {
    key = text::trimBlanks(key);
    if (key.size() != 4) // every key is four characters
        return;
    for (std::string_view const entry : table)
        if (entry.size() >= 4 && entry.substr(0, 4) == key)
            f(text::trimBlanks(entry.substr(4)));
}

} // namespace kalendo::tables
