// SPDX-License-Identifier: MIT
#pragma once

// A private interface of the control, outside its type library: what it shows, read back
// by hosts and tests, and the control's idea of today, which a host may pin.

#include <oaidl.h>
#include <unknwn.h>
#include <windows.h>

// clang-format off
MIDL_INTERFACE("4D7A0151-6CE6-4282-96A1-B47E1E98C942")
IKalendoReadback : public IUnknown {
    // Pins today's date (DATE); 0 gives the system clock back. Does not refill the grid.
    virtual HRESULT STDMETHODCALLTYPE SetToday(DATE today) = 0;
    // The day number, calendar line and its colour of cell 0 ... 38, and whether the number
    // carries the today highlight.
    virtual HRESULT STDMETHODCALLTYPE Cell(LONG cell, BSTR* day, BSTR* caption, DWORD* colour,
                                           BOOL* today) = 0;
    // A text the control shows, by element (kalendo::activex::Shown).
    virtual HRESULT STDMETHODCALLTYPE Text(LONG element, BSTR* text) = 0;
    // The selected cell (-1: none), the enabled buttons (bit b for button b), the shown month.
    virtual HRESULT STDMETHODCALLTYPE State(LONG* selected, LONG* enabledButtons, LONG* year,
                                            LONG* month) = 0;
    // Where cell 0 ... 38 or button 100 ... 104 lies, in pixels of the control's window.
    virtual HRESULT STDMETHODCALLTYPE Place(LONG element, RECT* rect) = 0;
};
// clang-format on
__CRT_UUID_DECL(IKalendoReadback, 0x4D7A0151, 0x6CE6, 0x4282, 0x96, 0xA1, 0xB4, 0x7E, 0x1E, 0x98,
                0xC9, 0x42)

namespace kalendo::activex {

// The texts IKalendoReadback::Text reads.
enum class Shown : LONG {
    SolarYearList,
    SolarMonthList,
    LunarYearList,
    LunarMonthList,
    LeapYear,
    YearName,
    StarSign,
    YearWatermark,
    MonthWatermark,
};

constexpr LONG kFirstButtonPlace = 100;

} // namespace kalendo::activex
