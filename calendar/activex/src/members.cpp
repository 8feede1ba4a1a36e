// SPDX-License-Identifier: MIT
#include "members.h"

#include "com_ptr.h"

#include <appearance_table.h>
#include <kalendo/dispatch.h>

namespace kalendo::activex {

namespace {

VARTYPE typeOf(ParamKind kind) {
    switch (kind) {
    case ParamKind::Integer16:
        return VT_I2;
    case ParamKind::Integer32:
        return VT_VARIANT; // sTerm's year: any number a host holds
    case ParamKind::Date:
        return VT_DATE;
    case ParamKind::Text:
        return VT_BSTR;
    }
    return VT_VARIANT;
}

std::vector<DispMember> build() {
    std::vector<DispMember> list;
    const auto& appearance = detail::appearanceProperties();
    for (std::size_t i = 0; i < appearance.size(); ++i) {
        const detail::AppearanceProperty& p = appearance[i];
        list.push_back({kFirstAppearanceId + DISPID(i),
                        p.name,
                        wide(p.name),
                        MemberKind::Appearance,
                        int(i),
                        true,
                        VARTYPE(p.isColour() ? VT_UI4 : VT_DISPATCH),
                        {}});
    }
    list.push_back(
        {kSolarDateId, "中阳历", wide("中阳历"), MemberKind::DateProperty, 0, true, VT_DATE, {}});
    list.push_back(
        {kLunarDateId, "中阴历", wide("中阴历"), MemberKind::DateProperty, 1, true, VT_DATE, {}});
    list.push_back({kFillMonthId,
                    "返回阳历控件",
                    wide("返回阳历控件"),
                    MemberKind::FillMonth,
                    0,
                    false,
                    VT_VARIANT,
                    {{"lian", VT_I2, true}, {"Yue", VT_I2, true}}});
    list.push_back({kShowRecordId,
                    "显视记录",
                    wide("显视记录"),
                    MemberKind::ShowRecord,
                    0,
                    false,
                    VT_EMPTY,
                    {{"Dykrs", VT_I2, true}}});
    const auto& engine = engineMembers();
    for (std::size_t i = 0; i < engine.size(); ++i) {
        const MemberInfo& m = engine[i];
        DispMember d{kFirstEngineId + DISPID(i),
                     m.name,
                     wide(m.name),
                     MemberKind::Engine,
                     int(i),
                     false,
                     VT_VARIANT,
                     {}};
        for (const ParamInfo& p : m.params)
            d.params.push_back({p.name, typeOf(p.kind), p.byRef});
        list.push_back(std::move(d));
    }
    return list;
}

} // namespace

const std::vector<DispMember>& dispatchMembers() {
    static const std::vector<DispMember> members = build();
    return members;
}

const DispMember* memberById(DISPID id) {
    for (const DispMember& m : dispatchMembers())
        if (m.id == id)
            return &m;
    return nullptr;
}

const DispMember* memberByName(std::wstring_view name) {
    for (const DispMember& m : dispatchMembers())
        if (CompareStringOrdinal(m.wideName.data(), int(m.wideName.size()), name.data(),
                                 int(name.size()), TRUE) == CSTR_EQUAL)
            return &m;
    return nullptr;
}

std::wstring wide(std::string_view s) {
    if (s.empty())
        return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring w(std::size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), w.data(), n);
    return w;
}

std::string utf8(const wchar_t* w, std::size_t length) {
    if (length == 0)
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, w, int(length), nullptr, 0, nullptr, nullptr);
    std::string s(std::size_t(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, int(length), s.data(), n, nullptr, nullptr);
    return s;
}

std::string utf8(std::wstring_view w) {
    return utf8(w.data(), w.size());
}

} // namespace kalendo::activex
