// SPDX-License-Identifier: MIT
#pragma once

// The control's 22 appearance properties: for each its dispatch name (also its persisted
// key), kind, default, the elements it writes and reads, those a load applies it to and how
// a save keeps it. Reads, writes, notifications, load and save all follow this table.

#include <array>
#include <string_view>
#include <vector>
#include <windows.h>

namespace kalendo::activex {

// 0x00BBGGRR, or 0x800000nn for system colour nn.
using OleColour = DWORD;

namespace system_colour {
constexpr OleColour kWindowText = 0x80000008;
constexpr OleColour kButtonFace = 0x8000000F;
constexpr OleColour kButtonText = 0x80000012;
} // namespace system_colour

// Whether a value is a colour the control takes: a plain colour or system colours 0-0x18.
constexpr bool isValidOleColour(OleColour c) {
    return (c & 0xFF000000u) == 0 || ((c & 0xFFFFFF00u) == 0x80000000u && (c & 0xFFu) <= 0x18);
}

constexpr int kCells = 39;
constexpr int kButtons = 5; // 上年, 下年, 上月, 下月, 今天

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

struct Slot {
    Element element;
    int index = 0;
};

enum class Attribute { ForeColour, BackColour, Picture, PressedPicture };

enum class SaveWhen {
    Always,
    WithNormalPicture, // only while the element it is saved from holds a normal picture
};

struct AppearanceProperty {
    std::string_view name; // the dispatch name and the persisted key
    Attribute attribute;
    OleColour defaultColour;  // colours only; a picture's default is none
    std::vector<Slot> writes; // a write sets these in order; a read reads the first
    std::vector<Slot> loads;  // a load applies the key to these
    Slot savedFrom;
    SaveWhen saveWhen;
    bool shortDefault; // the stored default is a 16-bit integer

    bool isColour() const {
        return attribute == Attribute::ForeColour || attribute == Attribute::BackColour;
    }
};

// In the order of load and save.
const std::vector<AppearanceProperty>& appearanceProperties();

// The colours every element holds; pictures are kept by the control beside them.
struct ElementColours {
    OleColour surfaceBack = 0;
    OleColour titleStripBack = 0;
    std::array<OleColour, 6> titleFore{};
    OleColour yearNameFore = 0, leapYearFore = 0, starSignFore = 0;
    OleColour yearWatermarkFore = 0, monthWatermarkFore = 0;
    std::array<OleColour, 7> weekdayFore{}, weekdayBack{};
    std::array<OleColour, kCells> dayFore{};
    std::array<OleColour, kButtons> buttonBack{};

    // The colour of a slot; nullptr for a slot that holds none.
    OleColour* at(Slot s, Attribute a);
    // The initial look: every colour property's default, window text on the other days.
    static ElementColours initial();
};

} // namespace kalendo::activex
