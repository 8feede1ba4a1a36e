// SPDX-License-Identifier: MIT
#pragma once

// The members of the dispatch interface _Kalendo with their dispatch identifiers: the
// engine's members as its dispatch table lists them, the control's two methods, the 22
// appearance properties and the two date properties. The type library generator and the
// control's IDispatch both read this list.

#include <oaidl.h>
#include <string>
#include <string_view>
#include <vector>
#include <windows.h>

namespace kalendo::activex {

enum class MemberKind {
    Engine,       // a member of the engine's dispatch table
    FillMonth,    // 返回阳历控件
    ShowRecord,   // 显视记录
    Appearance,   // one of the appearance properties
    DateProperty, // 中阳历, 中阴历
};

struct DispParam {
    std::string_view name;
    VARTYPE type; // VT_I2, VT_VARIANT, VT_DATE or VT_BSTR
    bool byRef;
};

struct DispMember {
    DISPID id;
    std::string_view name;
    std::wstring wideName;
    MemberKind kind;
    int index; // in the engine's table, the appearance table, or 0/1 for the date properties
    bool isProperty;
    VARTYPE type; // a method's result or a property's value: VT_VARIANT, VT_EMPTY (none),
                  // VT_DATE, VT_UI4 (colour) or VT_DISPATCH (picture)
    std::vector<DispParam> params;
};

// Stable ranges of identifiers, so that a member added to one list moves no other.
constexpr DISPID kFirstAppearanceId = 1;
constexpr DISPID kSolarDateId = 41;
constexpr DISPID kLunarDateId = 42;
constexpr DISPID kFillMonthId = 51;
constexpr DISPID kShowRecordId = 52;
constexpr DISPID kFirstEngineId = 101;

const std::vector<DispMember>& dispatchMembers();
const DispMember* memberById(DISPID id);
// Names compare as Automation compares them: ignoring the case of Latin letters.
const DispMember* memberByName(std::wstring_view name);

} // namespace kalendo::activex
