// SPDX-License-Identifier: MIT
#include "appearance_table.h"

#include <cassert>

namespace kalendo::detail {

namespace {

std::vector<Slot> one(Element e, int index = 0) {
    return {Slot{e, index}};
}

// Elements first ... last of an array, every step-th; a negative step counts down.
std::vector<Slot> range(Element e, int first, int last, int step = 1) {
    std::vector<Slot> elements;
    for (int i = first; step > 0 ? i <= last : i >= last; i += step)
        elements.push_back({e, i});
    return elements;
}

std::vector<Slot> operator+(std::vector<Slot> a, const std::vector<Slot>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<AppearanceProperty> buildTable() {
    using A = Appearance;
    using E = Element;
    const auto fore = Attribute::ForeColour;
    const auto back = Attribute::BackColour;
    const auto always = SaveWhen::Always;
    const std::vector<Slot> sameAsWrites; // a load applies the key where a write does
    // clang-format off
    // id, name, attribute, default,
    //     writes (a read reads the first), loads, saved from, when, short default
    std::vector<AppearanceProperty> t = {
        {A::TitleBackColour, "标题背景颜色", back, 0x808080,
         one(E::TitleStrip), sameAsWrites, {E::TitleStrip}, always, false},
        {A::TitleSolarColour, "标题阳历颜色", fore, system_colour::kButtonText,
         range(E::TitleLabel, 0, 2), range(E::TitleLabel, 2, 0, -1), {E::TitleLabel, 0}, always,
         false},
        {A::TitleLunarColour, "标题农历颜色", fore, 0x00FFFF,
         range(E::TitleLabel, 3, 5), sameAsWrites, {E::TitleLabel, 3}, always, false},
        // A load leaves the star sign's colour alone.
        {A::TitleOtherColour, "标题其它颜色", fore, 0xFF0000,
         one(E::YearName) + one(E::LeapYear) + one(E::StarSign),
         one(E::YearName) + one(E::LeapYear), {E::YearName}, always, false},
        {A::ControlBackColour, "控件背景颜色", back, system_colour::kButtonFace,
         one(E::Surface), sameAsWrites, {E::Surface}, always, false},
        {A::BackgroundPicture, "背景图片", Attribute::Picture, 0,
         one(E::BackgroundPicture), sameAsWrites, {E::BackgroundPicture},
         SaveWhen::WithNormalPicture, false},
        {A::WatermarkColour, "背景字体颜色", fore, 0xE0E0E0,
         one(E::YearWatermark) + one(E::MonthWatermark), sameAsWrites, {E::YearWatermark},
         always, false},
        // Read from Sunday's header, saved from Monday's.
        {A::WeekdayBarBackColour, "星期栏背景色", back, 0xC0C0C0,
         range(E::Weekday, 0, 6), sameAsWrites, {E::Weekday, 1}, always, false},
        // The day numbers keep their colours.
        {A::WeekdayTextColour, "星期1到5字体色", fore, 0,
         range(E::Weekday, 1, 5), sameAsWrites, {E::Weekday, 1}, always, true},
        {A::SundayTextColour, "星期天字体色", fore, 0x0000FF,
         one(E::Weekday, 0) + range(E::Day, 0, kCells - 1, 7), sameAsWrites, {E::Weekday, 0},
         always, false},
        {A::SaturdayTextColour, "星期六字体色", fore, 0xFF0000,
         one(E::Weekday, 6) + range(E::Day, 6, kCells - 1, 7), sameAsWrites, {E::Weekday, 6},
         always, false},
        {A::ButtonBackColour, "按钮背景颜色", back, system_colour::kButtonFace,
         range(E::Button, 0, kButtons - 1), sameAsWrites, {E::Button, 0}, always, false},
    };
    // clang-format on
    struct ButtonPicture {
        std::string_view normal, pressed;
    };
    const ButtonPicture pictures[kButtons] = {
        {"按钮上年图片", "按钮按下上年图片"}, {"按钮下年图片", "按钮按下下年图片"},
        {"按钮上月图片", "按钮按下上月图片"}, {"按钮下月图片", "按钮按下下月图片"},
        {"按钮今天图片", "按钮按下今天图片"},
    };
    // clang-format off
    for (int b = 0; b < kButtons; ++b)
        t.push_back({buttonPictureOf(b, false), pictures[b].normal, Attribute::Picture, 0,
                     one(E::Button, b), sameAsWrites, {E::Button, b}, SaveWhen::WithNormalPicture,
                     false});
    // A pressed picture belongs to a button with a normal one; alone it is not saved.
    for (int b = 0; b < kButtons; ++b)
        t.push_back({buttonPictureOf(b, true), pictures[b].pressed, Attribute::PressedPicture, 0,
                     one(E::Button, b), sameAsWrites, {E::Button, b}, SaveWhen::WithNormalPicture,
                     false});
    // clang-format on
    assert(t.size() == kAppearanceCount);
    for (std::size_t i = 0; i < t.size(); ++i) {
        assert(t[i].id == Appearance(i) && "rows follow Appearance");
        if (t[i].loads.empty())
            t[i].loads = t[i].writes;
    }
    return t;
}

} // namespace

const std::vector<AppearanceProperty>& appearanceProperties() {
    static const std::vector<AppearanceProperty> table = buildTable();
    return table;
}

const AppearanceProperty& appearanceProperty(Appearance id) {
    return appearanceProperties()[std::size_t(id)];
}

const AppearanceProperty* findAppearanceProperty(std::string_view name) {
    for (const AppearanceProperty& p : appearanceProperties())
        if (p.name == name)
            return &p;
    return nullptr;
}

} // namespace kalendo::detail
