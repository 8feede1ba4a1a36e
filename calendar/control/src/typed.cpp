// The typed face of the dispatch interface for C++ hosts.
#include "kalendo_p.h"

using kalendo::OleColour;
using namespace kalendo::detail;

namespace {

template <class T> std::optional<T> as(const kalendo::Result& r) {
    if (!r.ok())
        return std::nullopt;
    if constexpr (std::is_same_v<T, int>)
        return r.value.toInt();
    else if constexpr (std::is_same_v<T, QDate>)
        return r.value.toDate();
    else
        return r.value.toString();
}

const char* const kButtonPictures[] = {"按钮上年图片", "按钮下年图片", "按钮上月图片",
                                       "按钮下月图片", "按钮今天图片"};
const char* const kPressedPictures[] = {"按钮按下上年图片", "按钮按下下年图片", "按钮按下上月图片",
                                        "按钮按下下月图片", "按钮按下今天图片"};

} // namespace

bool Kalendo::fillMonth(int year, int month) {
    return call(QStringLiteral("返回阳历控件"), QVariantList{year, month}).ok();
}

bool Kalendo::showRecord(int cellIndex) {
    return call(QStringLiteral("显视记录"), QVariantList{cellIndex}).ok();
}

std::optional<QDate> Kalendo::selectedSolarDate() const {
    return as<QDate>(propertyGet(QStringLiteral("中阳历")));
}

bool Kalendo::setSelectedSolarDate(const QDate& date) {
    return propertyPut(QStringLiteral("中阳历"), date).ok();
}

std::optional<QDate> Kalendo::selectedLunarDate() const {
    return as<QDate>(propertyGet(QStringLiteral("中阴历")));
}

bool Kalendo::setSelectedLunarDate(const QDate& date) {
    return propertyPut(QStringLiteral("中阴历"), date).ok();
}

void Kalendo::setValue() {
    d->engine.setValue();
}

std::optional<int> Kalendo::lunarMonthDays(int year, int month) {
    return as<int>(call(QStringLiteral("lMonthDays"), QVariantList{year, month}));
}

std::optional<int> Kalendo::leapMonth(int year) {
    return as<int>(call(QStringLiteral("闰哪月"), QVariantList{year}));
}

std::optional<int> Kalendo::leapMonthDays(int year) {
    return as<int>(call(QStringLiteral("农历y年闰月的天数"), QVariantList{year}));
}

std::optional<int> Kalendo::lunarYearDays(int year) {
    return as<int>(call(QStringLiteral("农历y年的总天数"), QVariantList{year}));
}

std::optional<QString> Kalendo::solarToLunar(const QDate& date) {
    return as<QString>(call(QStringLiteral("阳历返回农"), QVariantList{date}));
}

std::optional<QString> Kalendo::lunarToSolar(int& year, int& month, int& day) {
    QVariantList args{year, month, day};
    const kalendo::Result r = call(QStringLiteral("阴历转阳历"), args);
    year = args[0].toInt();
    month = args[1].toInt();
    day = args[2].toInt();
    return as<QString>(r);
}

std::optional<QString> Kalendo::yearStemBranch(int year) {
    return as<QString>(call(QStringLiteral("天干地"), QVariantList{year}));
}

std::optional<QString> Kalendo::zodiacAnimal(int year) {
    return as<QString>(call(QStringLiteral("返回属象"), QVariantList{year}));
}

std::optional<QString> Kalendo::lunarMonthName(int month) {
    return as<QString>(call(QStringLiteral("月份用农历表示"), QVariantList{month}));
}

std::optional<QString> Kalendo::lunarDayName(int day) {
    return as<QString>(call(QStringLiteral("日用农历表示"), QVariantList{day}));
}

std::optional<QDate> Kalendo::solarTerm(int year, int n) {
    return as<QDate>(call(QStringLiteral("sTerm"), QVariantList{year, n}));
}

std::optional<QString> Kalendo::solarTermOn(const QDate& date) {
    return as<QString>(call(QStringLiteral("阳历返回节气"), QVariantList{date}));
}

std::optional<QString> Kalendo::solarFestival(const QString& key) {
    return as<QString>(call(QStringLiteral("阳历节日"), QVariantList{key}));
}

std::optional<QString> Kalendo::lunarFestival(const QString& key) {
    return as<QString>(call(QStringLiteral("阴历节日"), QVariantList{key}));
}

std::optional<QString> Kalendo::weekdayFestival(const QString& key) {
    return as<QString>(call(QStringLiteral("星期节日"), QVariantList{key}));
}

std::optional<QString> Kalendo::weekdayKey(const QDate& date) {
    return as<QString>(call(QStringLiteral("第几个星期几"), QVariantList{date}));
}

std::optional<QString> Kalendo::easter(int year) {
    return as<QString>(call(QStringLiteral("复活节"), QVariantList{year}));
}

std::optional<QString> Kalendo::starSign(const QDate& date) {
    return as<QString>(call(QStringLiteral("星座"), QVariantList{date}));
}

#define KALENDO_COLOUR(getter, setter, name, expr)                                                 \
    OleColour Kalendo::getter() const {                                                            \
        return expr;                                                                               \
    }                                                                                              \
    bool Kalendo::setter(OleColour c) {                                                            \
        return propertyPut(QStringLiteral(name), QVariant::fromValue<quint32>(c)).ok();            \
    }

KALENDO_COLOUR(titleBackColour, setTitleBackColour, "标题背景颜色", d->titleStrip->backColour())
KALENDO_COLOUR(titleSolarColour, setTitleSolarColour, "标题阳历颜色",
               d->titleLabels[0]->foreColour())
KALENDO_COLOUR(titleLunarColour, setTitleLunarColour, "标题农历颜色",
               d->titleLabels[3]->foreColour())
KALENDO_COLOUR(titleOtherColour, setTitleOtherColour, "标题其它颜色", d->yearName->foreColour())
KALENDO_COLOUR(controlBackColour, setControlBackColour, "控件背景颜色", d->controlBack)
KALENDO_COLOUR(watermarkColour, setWatermarkColour, "背景字体颜色", d->yearWatermark->foreColour())
KALENDO_COLOUR(weekdayBarBackColour, setWeekdayBarBackColour, "星期栏背景色",
               d->weekdays[0]->backColour())
KALENDO_COLOUR(weekdayTextColour, setWeekdayTextColour, "星期1到5字体色",
               d->weekdays[1]->foreColour())
KALENDO_COLOUR(sundayTextColour, setSundayTextColour, "星期天字体色", d->weekdays[0]->foreColour())
KALENDO_COLOUR(saturdayTextColour, setSaturdayTextColour, "星期六字体色",
               d->weekdays[6]->foreColour())
KALENDO_COLOUR(buttonBackColour, setButtonBackColour, "按钮背景颜色", d->buttons[0]->backColour())
#undef KALENDO_COLOUR

QPixmap Kalendo::backgroundPicture() const {
    return d->backgroundPicture->picture();
}

void Kalendo::setBackgroundPicture(const QPixmap& picture) {
    propertyPut(QStringLiteral("背景图片"), QVariant::fromValue(picture));
}

QPixmap Kalendo::buttonPicture(Button button) const {
    return d->button(button)->picture();
}

void Kalendo::setButtonPicture(Button button, const QPixmap& picture) {
    propertyPut(QString::fromUtf8(kButtonPictures[std::size_t(button)]),
                QVariant::fromValue(picture));
}

QPixmap Kalendo::buttonPressedPicture(Button button) const {
    return d->button(button)->pressedPicture();
}

void Kalendo::setButtonPressedPicture(Button button, const QPixmap& picture) {
    propertyPut(QString::fromUtf8(kPressedPictures[std::size_t(button)]),
                QVariant::fromValue(picture));
}
