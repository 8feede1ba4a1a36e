// SPDX-License-Identifier: MIT
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

} // namespace

bool Kalendo::fillMonth(int year, int month) {
    return call(kFillMethod, QVariantList{year, month}).ok();
}

bool Kalendo::showRecord(int cellIndex) {
    return call(kRecordMethod, QVariantList{cellIndex}).ok();
}

// The two date properties are the same selection, as a Gregorian and as a lunar date.
std::optional<QDate> Kalendo::selectedSolarDate() const {
    return as<QDate>(propertyGet(kSolarDateProperty));
}

bool Kalendo::setSelectedSolarDate(const QDate& date) {
    return propertyPut(kSolarDateProperty, date).ok();
}

std::optional<kalendo::LunarDate> Kalendo::selectedLunarDate() const {
    std::optional<kalendo::LunarDate> lunar;
    d->guard(kLunarDateProperty, [&](kalendo::Result&) {
        lunar = kalendo::LunarDate::fromSolar(d->view.selectedDate());
    });
    return lunar;
}

bool Kalendo::setSelectedLunarDate(const kalendo::LunarDate& date) {
    return propertyPut(kLunarDateProperty, lunarDateText(date)).ok();
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

// The appearance properties, each by its row of the property table.
using A = Appearance;

OleColour Kalendo::titleBackColour() const {
    return d->colour(A::TitleBackColour);
}
bool Kalendo::setTitleBackColour(OleColour c) {
    return d->putColour(A::TitleBackColour, c);
}
OleColour Kalendo::titleSolarColour() const {
    return d->colour(A::TitleSolarColour);
}
bool Kalendo::setTitleSolarColour(OleColour c) {
    return d->putColour(A::TitleSolarColour, c);
}
OleColour Kalendo::titleLunarColour() const {
    return d->colour(A::TitleLunarColour);
}
bool Kalendo::setTitleLunarColour(OleColour c) {
    return d->putColour(A::TitleLunarColour, c);
}
OleColour Kalendo::titleOtherColour() const {
    return d->colour(A::TitleOtherColour);
}
bool Kalendo::setTitleOtherColour(OleColour c) {
    return d->putColour(A::TitleOtherColour, c);
}
OleColour Kalendo::controlBackColour() const {
    return d->colour(A::ControlBackColour);
}
bool Kalendo::setControlBackColour(OleColour c) {
    return d->putColour(A::ControlBackColour, c);
}
QPixmap Kalendo::backgroundPicture() const {
    return d->picture(A::BackgroundPicture);
}
void Kalendo::setBackgroundPicture(const QPixmap& picture) {
    d->putPicture(A::BackgroundPicture, picture);
}
OleColour Kalendo::watermarkColour() const {
    return d->colour(A::WatermarkColour);
}
bool Kalendo::setWatermarkColour(OleColour c) {
    return d->putColour(A::WatermarkColour, c);
}
OleColour Kalendo::weekdayBarBackColour() const {
    return d->colour(A::WeekdayBarBackColour);
}
bool Kalendo::setWeekdayBarBackColour(OleColour c) {
    return d->putColour(A::WeekdayBarBackColour, c);
}
OleColour Kalendo::weekdayTextColour() const {
    return d->colour(A::WeekdayTextColour);
}
bool Kalendo::setWeekdayTextColour(OleColour c) {
    return d->putColour(A::WeekdayTextColour, c);
}
OleColour Kalendo::sundayTextColour() const {
    return d->colour(A::SundayTextColour);
}
bool Kalendo::setSundayTextColour(OleColour c) {
    return d->putColour(A::SundayTextColour, c);
}
OleColour Kalendo::saturdayTextColour() const {
    return d->colour(A::SaturdayTextColour);
}
bool Kalendo::setSaturdayTextColour(OleColour c) {
    return d->putColour(A::SaturdayTextColour, c);
}
OleColour Kalendo::buttonBackColour() const {
    return d->colour(A::ButtonBackColour);
}
bool Kalendo::setButtonBackColour(OleColour c) {
    return d->putColour(A::ButtonBackColour, c);
}

// The colours as Qt properties.
QColor Kalendo::titleBackQColor() const {
    return kalendo::toQColor(d->colour(A::TitleBackColour), palette());
}
void Kalendo::setTitleBackColour(const QColor& c) {
    if (c.isValid())
        d->putColour(A::TitleBackColour, kalendo::fromQColor(c));
}
QColor Kalendo::titleSolarQColor() const {
    return kalendo::toQColor(d->colour(A::TitleSolarColour), palette());
}
void Kalendo::setTitleSolarColour(const QColor& c) {
    if (c.isValid())
        d->putColour(A::TitleSolarColour, kalendo::fromQColor(c));
}
QColor Kalendo::titleLunarQColor() const {
    return kalendo::toQColor(d->colour(A::TitleLunarColour), palette());
}
void Kalendo::setTitleLunarColour(const QColor& c) {
    if (c.isValid())
        d->putColour(A::TitleLunarColour, kalendo::fromQColor(c));
}
QColor Kalendo::titleOtherQColor() const {
    return kalendo::toQColor(d->colour(A::TitleOtherColour), palette());
}
void Kalendo::setTitleOtherColour(const QColor& c) {
    if (c.isValid())
        d->putColour(A::TitleOtherColour, kalendo::fromQColor(c));
}
QColor Kalendo::controlBackQColor() const {
    return kalendo::toQColor(d->colour(A::ControlBackColour), palette());
}
void Kalendo::setControlBackColour(const QColor& c) {
    if (c.isValid())
        d->putColour(A::ControlBackColour, kalendo::fromQColor(c));
}
QColor Kalendo::watermarkQColor() const {
    return kalendo::toQColor(d->colour(A::WatermarkColour), palette());
}
void Kalendo::setWatermarkColour(const QColor& c) {
    if (c.isValid())
        d->putColour(A::WatermarkColour, kalendo::fromQColor(c));
}
QColor Kalendo::weekdayBarBackQColor() const {
    return kalendo::toQColor(d->colour(A::WeekdayBarBackColour), palette());
}
void Kalendo::setWeekdayBarBackColour(const QColor& c) {
    if (c.isValid())
        d->putColour(A::WeekdayBarBackColour, kalendo::fromQColor(c));
}
QColor Kalendo::weekdayTextQColor() const {
    return kalendo::toQColor(d->colour(A::WeekdayTextColour), palette());
}
void Kalendo::setWeekdayTextColour(const QColor& c) {
    if (c.isValid())
        d->putColour(A::WeekdayTextColour, kalendo::fromQColor(c));
}
QColor Kalendo::sundayTextQColor() const {
    return kalendo::toQColor(d->colour(A::SundayTextColour), palette());
}
void Kalendo::setSundayTextColour(const QColor& c) {
    if (c.isValid())
        d->putColour(A::SundayTextColour, kalendo::fromQColor(c));
}
QColor Kalendo::saturdayTextQColor() const {
    return kalendo::toQColor(d->colour(A::SaturdayTextColour), palette());
}
void Kalendo::setSaturdayTextColour(const QColor& c) {
    if (c.isValid())
        d->putColour(A::SaturdayTextColour, kalendo::fromQColor(c));
}
QColor Kalendo::buttonBackQColor() const {
    return kalendo::toQColor(d->colour(A::ButtonBackColour), palette());
}
void Kalendo::setButtonBackColour(const QColor& c) {
    if (c.isValid())
        d->putColour(A::ButtonBackColour, kalendo::fromQColor(c));
}

// The table numbers the buttons as Kalendo::Button does.
static_assert(int(Kalendo::Button::Today) == kButtons - 1);

QPixmap Kalendo::buttonPicture(Button button) const {
    return d->picture(buttonPictureOf(int(button), false));
}
void Kalendo::setButtonPicture(Button button, const QPixmap& picture) {
    d->putPicture(buttonPictureOf(int(button), false), picture);
}
QPixmap Kalendo::buttonPressedPicture(Button button) const {
    return d->picture(buttonPictureOf(int(button), true));
}
void Kalendo::setButtonPressedPicture(Button button, const QPixmap& picture) {
    d->putPicture(buttonPictureOf(int(button), true), picture);
}

QPixmap Kalendo::previousYearPicture() const {
    return buttonPicture(Button::PreviousYear);
}
void Kalendo::setPreviousYearPicture(const QPixmap& picture) {
    setButtonPicture(Button::PreviousYear, picture);
}
QPixmap Kalendo::nextYearPicture() const {
    return buttonPicture(Button::NextYear);
}
void Kalendo::setNextYearPicture(const QPixmap& picture) {
    setButtonPicture(Button::NextYear, picture);
}
QPixmap Kalendo::previousMonthPicture() const {
    return buttonPicture(Button::PreviousMonth);
}
void Kalendo::setPreviousMonthPicture(const QPixmap& picture) {
    setButtonPicture(Button::PreviousMonth, picture);
}
QPixmap Kalendo::nextMonthPicture() const {
    return buttonPicture(Button::NextMonth);
}
void Kalendo::setNextMonthPicture(const QPixmap& picture) {
    setButtonPicture(Button::NextMonth, picture);
}
QPixmap Kalendo::todayPicture() const {
    return buttonPicture(Button::Today);
}
void Kalendo::setTodayPicture(const QPixmap& picture) {
    setButtonPicture(Button::Today, picture);
}
QPixmap Kalendo::previousYearPressedPicture() const {
    return buttonPressedPicture(Button::PreviousYear);
}
void Kalendo::setPreviousYearPressedPicture(const QPixmap& picture) {
    setButtonPressedPicture(Button::PreviousYear, picture);
}
QPixmap Kalendo::nextYearPressedPicture() const {
    return buttonPressedPicture(Button::NextYear);
}
void Kalendo::setNextYearPressedPicture(const QPixmap& picture) {
    setButtonPressedPicture(Button::NextYear, picture);
}
QPixmap Kalendo::previousMonthPressedPicture() const {
    return buttonPressedPicture(Button::PreviousMonth);
}
void Kalendo::setPreviousMonthPressedPicture(const QPixmap& picture) {
    setButtonPressedPicture(Button::PreviousMonth, picture);
}
QPixmap Kalendo::nextMonthPressedPicture() const {
    return buttonPressedPicture(Button::NextMonth);
}
void Kalendo::setNextMonthPressedPicture(const QPixmap& picture) {
    setButtonPressedPicture(Button::NextMonth, picture);
}
QPixmap Kalendo::todayPressedPicture() const {
    return buttonPressedPicture(Button::Today);
}
void Kalendo::setTodayPressedPicture(const QPixmap& picture) {
    setButtonPressedPicture(Button::Today, picture);
}
