// SPDX-License-Identifier: MIT
#include "kalendo/dispatch.h"
#include "kalendo/errors.h"

#include <gtest/gtest.h>

namespace kalendo {
namespace {

Value call(std::string_view name, std::vector<Value>& args) {
    Engine engine;
    return callEngineMember(engine, name, args);
}

int errorOf(std::string_view name, std::vector<Value> args) {
    try {
        call(name, args);
    } catch (const EngineError& e) {
        return e.number();
    }
    return 0;
}

TEST(DispatchTest, EveryEngineMemberIsReachableByItsName) {
    std::vector<std::string_view> names;
    for (const MemberInfo& m : engineMembers())
        names.push_back(m.name);
    for (std::string_view expected :
         {"SetValue", "lMonthDays", "闰哪月", "农历y年闰月的天数", "农历y年的总天数", "阳历返回农",
          "阴历转阳历", "天干地", "返回属象", "月份用农历表示", "日用农历表示", "sTerm",
          "阳历返回节气", "阳历节日", "阴历节日", "星期节日", "第几个星期几", "复活节", "星座"})
        EXPECT_NE(std::find(names.begin(), names.end(), expected), names.end()) << expected;
    EXPECT_EQ(names.size(), 19u);
}

TEST(DispatchTest, ArgumentsAreConvertedLikeVariants) {
    std::vector<Value> args{std::string("2009-6-23")};
    EXPECT_EQ(std::get<std::string>(call("阳历返回农", args)), "120090501");
    args = {DateTime(Date::fromYmd(2008, 4, 23))};
    EXPECT_EQ(std::get<std::string>(call("阳历返回农", args)), "020080318");
    args = {2008.4};
    EXPECT_EQ(std::get<std::string>(call("天干地", args)), "戊子");
    args = {std::string(" 2009 ")};
    EXPECT_EQ(std::get<std::string>(call("返回属象", args)), "牛");
    args = {101LL};
    EXPECT_EQ(std::get<std::string>(call("阳历节日", args)), ""); // the key is the text "101"
    args = {std::string("2008"), 1LL};
    EXPECT_EQ(std::get<DateTime>(call("sTerm", args)).date, Date::fromYmd(2008, 1, 6));
}

TEST(DispatchTest, ByReferenceArgumentsAreWrittenBack) {
    std::vector<Value> args{2009LL, 13LL, 1LL};
    EXPECT_EQ(std::get<std::string>(call("阴历转阳历", args)), "2009-1-26");
    EXPECT_EQ(std::get<long long>(args[1]), 1);
    // Normalised values stay even when the search fails.
    args = {2091LL, 0LL, 1LL};
    EXPECT_EQ(errorOf("阴历转阳历", {}), 450);
    EXPECT_THROW(call("阴历转阳历", args), SubscriptError);
    EXPECT_EQ(std::get<long long>(args[1]), 12);
}

TEST(DispatchTest, BadCallsGiveClassicErrorNumbers) {
    EXPECT_EQ(errorOf("NoSuchMember", {}), 438);
    EXPECT_EQ(errorOf("", {}), 438);
    EXPECT_EQ(errorOf("闰哪月", {}), 450);
    EXPECT_EQ(errorOf("闰哪月", {1LL, 2LL}), 450);
    EXPECT_EQ(errorOf("闰哪月", {std::string("abc")}), 13);
    EXPECT_EQ(errorOf("闰哪月", {40000LL}), 6);
    EXPECT_EQ(errorOf("闰哪月", {std::string("-32769")}), 6);
    EXPECT_EQ(errorOf("闰哪月", {1e300}), 6);
    EXPECT_EQ(errorOf("闰哪月", {std::numeric_limits<double>::quiet_NaN()}), 6);
    EXPECT_EQ(errorOf("闰哪月", {std::string(5000, '9')}), 6);
    EXPECT_EQ(errorOf("阳历返回农", {std::string("2008-2-30")}), 13);
    EXPECT_EQ(errorOf("阳历返回农", {2008LL}), 13);
    EXPECT_EQ(errorOf("闰哪月", {2091LL}), 9);
    EXPECT_EQ(errorOf("sTerm", {std::string("99999999999"), 1LL}), 6);
}

// Every member, with every combination of extreme arguments, gives a result or one of the
// named errors: nothing else escapes and nothing hangs. Each member answers some of them.
TEST(DispatchTest, EveryMemberSurvivesExtremeArguments) {
    auto samples = [](ParamKind kind) -> std::vector<Value> {
        switch (kind) {
        case ParamKind::Integer16:
            return {-32768LL, -1LL, 0LL, 1LL, 13LL, 2090LL, 32767LL};
        case ParamKind::Integer32:
            return {-2147483648LL, 0LL, 1900LL, 2101LL, 2147483647LL};
        case ParamKind::Date:
            return {std::string("1-1-1"), std::string("1900-1-30"), std::string("2091-2-18"),
                    std::string("2008-4-23 12:00"), std::string("9999-12-31 23:59:59")};
        case ParamKind::Text:
            return {std::string(), std::string(100000, '1'), std::string("0101"),
                    std::string("\xff\xfe")};
        }
        return {};
    };
    auto named = [](int number) {
        for (const ErrorInfo& info : kErrors)
            if (static_cast<int>(info.error) == number)
                return true;
        return false;
    };
    Engine engine;
    for (const MemberInfo& m : engineMembers()) {
        std::vector<std::vector<Value>> combos{{}};
        for (const ParamInfo& p : m.params) {
            std::vector<std::vector<Value>> next;
            for (const auto& combo : combos)
                for (const Value& v : samples(p.kind)) {
                    next.push_back(combo);
                    next.back().push_back(v);
                }
            combos = std::move(next);
        }
        int answered = 0;
        for (auto& args : combos) {
            try {
                callEngineMember(engine, m.name, args);
                ++answered;
            } catch (const EngineError& e) {
                EXPECT_TRUE(named(e.number())) << m.name << ": error " << e.number();
                EXPECT_FALSE(std::string_view(e.what()).empty()) << m.name;
            }
        }
        EXPECT_GT(answered, 0) << m.name;
    }
}

} // namespace
} // namespace kalendo
