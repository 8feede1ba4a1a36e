// SPDX-License-Identifier: MIT
#pragma once

// The table of the appearance properties, read by both controls (the Qt widget and the
// ActiveX control): for each its dispatch name (also its persisted key), kind, default, the
// elements it writes and reads, those a load applies it to, and how a save keeps it.
// Everything about these properties reads this table; each control brings its own elements,
// values and notifications. Plain C++, without Qt or Windows.

#include "kalendo/ole_colour_value.h"

#include <cstddef>
#include <kalendo/month_grid.h>
#include <string_view>
#include <vector>

namespace kalendo::detail {

constexpr OleColour kSystemColourFlag = 0x80000000u; // 0x800000nn is system colour nn
constexpr OleColour kLastSystemColour = 0x18;

// Whether a value is a colour the controls take: a plain colour or a known system colour.
constexpr bool isValidColour(OleColour c) {
    return (c & 0xFF000000u) == 0 ||
           ((c & 0xFFFFFF00u) == kSystemColourFlag && (c & 0xFFu) <= kLastSystemColour);
}

constexpr int kCells = MonthGrid::kCells;
constexpr int kButtons = 5; // 上年, 下年, 上月, 下月, 今天

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
    // The buttons' normal pictures, then their pressed ones, each in the order of kButtons.
    PreviousYearPicture,
    NextYearPicture,
    PreviousMonthPicture,
    NextMonthPicture,
    TodayPicture,
    PreviousYearPressedPicture,
    NextYearPressedPicture,
    PreviousMonthPressedPicture,
    NextMonthPressedPicture,
    TodayPressedPicture,
};
constexpr std::size_t kAppearanceCount = std::size_t(Appearance::TodayPressedPicture) + 1;

struct AppearanceProperty {
    Appearance id;
    std::string_view name; // the dispatch name and the persisted key
    Attribute attribute;
    OleColour defaultColour;  // colours only; a picture's default is none
    std::vector<Slot> writes; // a write sets these in order; a read reads the first
    std::vector<Slot> loads;  // a load applies the key to these, reading it for each
    Slot savedFrom;           // a save takes the value from here
    SaveWhen saveWhen;
    bool shortDefault; // the stored default is a 16-bit integer

    bool isColour() const {
        return attribute == Attribute::ForeColour || attribute == Attribute::BackColour;
    }
};

// In the order of Appearance.
const std::vector<AppearanceProperty>& appearanceProperties();
const AppearanceProperty& appearanceProperty(Appearance id);
const AppearanceProperty* findAppearanceProperty(std::string_view name); // nullptr: none

// The normal or pressed picture of button 0 ... kButtons - 1.
constexpr Appearance buttonPictureOf(int button, bool pressed) {
    return static_cast<Appearance>(static_cast<int>(pressed ? Appearance::PreviousYearPressedPicture
                                                            : Appearance::PreviousYearPicture) +
                                   button);
}
static_assert(buttonPictureOf(kButtons - 1, false) == Appearance::TodayPicture);
static_assert(buttonPictureOf(kButtons - 1, true) == Appearance::TodayPressedPicture);

} // namespace kalendo::detail
