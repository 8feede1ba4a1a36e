// SPDX-License-Identifier: MIT
#pragma once

// The table of the control's appearance properties: for each its dispatch name (also its
// persisted key), kind, default, the elements it writes and reads, those a load applies
// it to, and how a save keeps it. Everything about these properties reads this table.

#include "kalendo/control.h"

#include <string_view>
#include <vector>

namespace kalendo::detail {

// The elements an appearance property touches.
enum class Element {
    Surface,           // the control itself
    TitleStrip,        // bTl
    TitleLabel,        // Label1(0 ... 5)
    YearName,          // 生肖
    LeapYear,          // 平润年
    StarSign,          // 星座C
    YearWatermark,     // 背景年分
    MonthWatermark,    // 背景月份
    Weekday,           // 星期(0 ... 6)
    Day,               // 阳历日(0 ... 38)
    BackgroundPicture, // 背景图片1
    Button,            // 上年, 下年, 上月, 下月, 今天
};

// One element, or one of an array.
struct Slot {
    Element element;
    int index = 0;
};

// The value of an element that a property is.
enum class Attribute { ForeColour, BackColour, Picture, PressedPicture };

// When a save writes a property's key.
enum class SaveWhen {
    Always,
    WithNormalPicture, // only while the element it is saved from holds a normal picture
};

// The properties in the order of the table, which is the order of load and save.
enum class Appearance {
    TitleBackColour,
    TitleSolarColour,
    TitleLunarColour,
    TitleOtherColour,
    ControlBackColour,
    BackgroundPicture,
    WatermarkColour,
    WeekdayBarBackColour,
    WeekdayTextColour,
    SundayTextColour,
    SaturdayTextColour,
    ButtonBackColour,
    PreviousYearPicture, // the five normal pictures, in the order of Kalendo::Button
    PreviousYearPressedPicture = PreviousYearPicture + 5, // the five pressed ones
};

struct AppearanceProperty {
    Appearance id;
    std::string_view name; // the dispatch name and the persisted key
    Attribute attribute;
    OleColour defaultColour;  // colours only; a picture's default is none
    std::vector<Slot> writes; // a write sets these in order; a read reads the first
    std::vector<Slot> loads;  // a load applies the key to these, reading it for each
    Slot savedFrom;           // a save takes the value from here
    SaveWhen saveWhen;
    bool shortDefault;          // the stored default is a 16-bit integer
    void (Kalendo::*changed)(); // the Qt property's notification

    bool isColour() const {
        return attribute == Attribute::ForeColour || attribute == Attribute::BackColour;
    }
    QString qName() const { return QString::fromUtf8(name.data(), qsizetype(name.size())); }
};

const std::vector<AppearanceProperty>& appearanceProperties();
const AppearanceProperty& appearanceProperty(Appearance id);
const AppearanceProperty* findAppearanceProperty(const QString& name); // nullptr: none

constexpr Appearance buttonPictureOf(Kalendo::Button b, bool pressed) {
    return static_cast<Appearance>(static_cast<int>(pressed ? Appearance::PreviousYearPressedPicture
                                                            : Appearance::PreviousYearPicture) +
                                   static_cast<int>(b));
}

} // namespace kalendo::detail
