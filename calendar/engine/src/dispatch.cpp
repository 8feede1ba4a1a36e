// SPDX-License-Identifier: MIT
#include "kalendo/dispatch.h"

#include "kalendo/errors.h"
#include "kalendo/month_grid.h"
#include "kalendo/text.h"

#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>

namespace kalendo {

namespace {

[[noreturn]] void mismatch() {
    throw TypeMismatchError();
}

long long toInteger(const Value& v, long long lo, long long hi) {
    long long n = 0;
    if (const auto* i = std::get_if<long long>(&v)) {
        n = *i;
    } else if (const auto* d = std::get_if<double>(&v)) {
        if (!std::isfinite(*d))
            throw OverflowError();
        const double r = std::nearbyint(*d); // halves to even, as hosts round
        if (r < static_cast<double>(lo) || r > static_cast<double>(hi))
            throw OverflowError();
        n = static_cast<long long>(r);
    } else if (const auto* s = std::get_if<std::string>(&v)) {
        n = text::parseInteger(*s, lo, hi);
    } else if (std::holds_alternative<std::monostate>(v)) {
        n = 0; // an empty argument reads as 0
    } else {
        mismatch();
    }
    if (n < lo || n > hi)
        throw OverflowError();
    return n;
}

struct Member {
    MemberInfo info;
    std::function<Value(Engine&, std::span<Value>)> call;
};

Value fromDate(Date d) {
    return DateTime{d, 0};
}

const std::vector<Member>& members() {
    using P = ParamInfo;
    using K = ParamKind;
    static const std::vector<Member> table = {
        {{"SetValue", {}},
         [](Engine& e, std::span<Value>) {
             e.setValue();
             return Value{};
         }},
        {{"lMonthDays", {P{"Y", K::Integer16, false}, P{"m", K::Integer16, false}}},
         [](Engine& e, std::span<Value> a) {
             return Value{static_cast<long long>(e.lunarMonthDays(toInt16(a[0]), toInt16(a[1])))};
         }},
        {{"闰哪月", {P{"Y", K::Integer16, false}}},
         [](Engine& e, std::span<Value> a) {
             return Value{static_cast<long long>(e.leapMonth(toInt16(a[0])))};
         }},
        {{"农历y年闰月的天数", {P{"Y", K::Integer16, false}}},
         [](Engine& e, std::span<Value> a) {
             return Value{static_cast<long long>(e.leapMonthDays(toInt16(a[0])))};
         }},
        {{"农历y年的总天数", {P{"Y", K::Integer16, false}}},
         [](Engine& e, std::span<Value> a) {
             return Value{static_cast<long long>(e.lunarYearDays(toInt16(a[0])))};
         }},
        {{"阳历返回农", {P{"SolarDate", K::Date, false}}},
         [](Engine& e, std::span<Value> a) {
             return Value{e.solarToLunar(toDateTime(a[0]))};
         }},
        {{"阴历转阳历",
          {P{"lian", K::Integer16, true}, P{"Yue", K::Integer16, true},
           P{"Tian", K::Integer16, true}}},
         [](Engine& e, std::span<Value> a) {
             Int16 lian = toInt16(a[0]);
             Int16 yue = toInt16(a[1]);
             Int16 tian = toInt16(a[2]);
             // Normalised arguments go back to the caller even when the search then fails.
             struct WriteBack {
                 std::span<Value> args;
                 Int16 &l, &y, &t;
                 ~WriteBack() {
                     args[0] = static_cast<long long>(l);
                     args[1] = static_cast<long long>(y);
                     args[2] = static_cast<long long>(t);
                 }
             } writeBack{a, lian, yue, tian};
             return Value{e.lunarToSolar(lian, yue, tian)};
         }},
        {{"天干地", {P{"syear", K::Integer16, false}}},
         [](Engine& e, std::span<Value> a) {
             return Value{e.yearStemBranch(toInt16(a[0]))};
         }},
        {{"返回属象", {P{"syear", K::Integer16, false}}},
         [](Engine& e, std::span<Value> a) {
             return Value{e.zodiacAnimal(toInt16(a[0]))};
         }},
        {{"月份用农历表示", {P{"smonth", K::Integer16, false}}},
         [](Engine& e, std::span<Value> a) {
             return Value{e.lunarMonthName(toInt16(a[0]))};
         }},
        {{"日用农历表示", {P{"sday", K::Integer16, false}}},
         [](Engine& e, std::span<Value> a) {
             return Value{e.lunarDayName(toInt16(a[0]))};
         }},
        {{"sTerm", {P{"Y", K::Integer32, false}, P{"n", K::Integer16, true}}},
         [](Engine& e, std::span<Value> a) {
             return fromDate(e.solarTerm(toInt32(a[0]), toInt16(a[1])));
         }},
        {{"阳历返回节气", {P{"sDate", K::Date, false}}},
         [](Engine& e, std::span<Value> a) {
             return Value{e.solarTermOn(toDateTime(a[0]))};
         }},
        {{"阳历节日", {P{"Riqi", K::Text, true}}},
         [](Engine& e, std::span<Value> a) {
             return Value{e.solarFestival(toText(a[0]))};
         }},
        {{"阴历节日", {P{"Riqi", K::Text, true}}},
         [](Engine& e, std::span<Value> a) {
             return Value{e.lunarFestival(toText(a[0]))};
         }},
        {{"星期节日", {P{"Riqi", K::Text, true}}},
         [](Engine& e, std::span<Value> a) {
             return Value{e.weekdayFestival(toText(a[0]))};
         }},
        {{"第几个星期几", {P{"sDate", K::Date, false}}},
         [](Engine& e, std::span<Value> a) {
             return Value{e.weekdayKey(toDateTime(a[0]))};
         }},
        {{"复活节", {P{"lian", K::Integer16, true}}},
         [](Engine& e, std::span<Value> a) {
             return Value{e.easter(toInt16(a[0]))};
         }},
        {{"星座", {P{"theDate", K::Date, false}}},
         [](Engine& e, std::span<Value> a) {
             return Value{e.starSign(toDateTime(a[0]))};
         }},
    };
    return table;
}

} // namespace

Int16 toInt16(const Value& v) {
    return static_cast<Int16>(
        toInteger(v, std::numeric_limits<Int16>::min(), std::numeric_limits<Int16>::max()));
}

std::int32_t toInt32(const Value& v) {
    return static_cast<std::int32_t>(toInteger(v, std::numeric_limits<std::int32_t>::min(),
                                               std::numeric_limits<std::int32_t>::max()));
}

DateTime toDateTime(const Value& v) {
    if (const auto* d = std::get_if<DateTime>(&v))
        return *d;
    if (const auto* s = std::get_if<std::string>(&v))
        return parseDateTime(*s);
    mismatch();
}

std::string toText(const Value& v) {
    if (const auto* s = std::get_if<std::string>(&v))
        return *s;
    if (const auto* i = std::get_if<long long>(&v))
        return std::to_string(*i);
    if (const auto* d = std::get_if<double>(&v)) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.15g", *d);
        return buf;
    }
    if (const auto* dt = std::get_if<DateTime>(&v)) {
        std::string text = toText(dt->date);
        if (dt->seconds != 0) {
            char buf[32];
            std::snprintf(buf, sizeof buf, " %d:%02d:%02d", dt->seconds / 3600,
                          dt->seconds / 60 % 60, dt->seconds % 60);
            text += buf;
        }
        return text;
    }
    return {};
}

const std::vector<MemberInfo>& engineMembers() {
    static const std::vector<MemberInfo> infos = [] {
        std::vector<MemberInfo> v;
        for (const Member& m : members())
            v.push_back(m.info);
        return v;
    }();
    return infos;
}

const MemberInfo* findEngineMember(std::string_view name) {
    for (const MemberInfo& m : engineMembers())
        if (m.name == name)
            return &m;
    return nullptr;
}

Value callEngineMember(Engine& engine, std::string_view name, std::span<Value> args) {
    for (const Member& m : members()) {
        if (m.info.name != name)
            continue;
        if (args.size() != m.info.params.size())
            throw EngineError(Error::WrongArgumentCount);
        return m.call(engine, args);
    }
    throw EngineError(Error::NoSuchMember);
}

} // namespace kalendo
