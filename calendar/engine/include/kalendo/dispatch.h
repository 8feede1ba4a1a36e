// SPDX-License-Identifier: MIT
#pragma once

#include "kalendo/date.h"
#include "kalendo/engine.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kalendo {

// A loosely typed argument or result, as hosts pass them through the dispatch interface.
// Arguments are converted to what a member's parameter needs; a by-reference argument
// that the member changes is written back as an integer.
using Value = std::variant<std::monostate, long long, double, std::string, DateTime>;

enum class ParamKind { Integer16, Integer32, Date, Text };

struct ParamInfo {
    std::string_view name;
    ParamKind kind;
    bool byRef;
};

struct MemberInfo {
    std::string_view name;
    std::vector<ParamInfo> params;
};

// Every engine member by its dispatch name, in a stable order.
const std::vector<MemberInfo>& engineMembers();

// The member of that name, or nullptr.
const MemberInfo* findEngineMember(std::string_view name);

// Calls a member by name. Throws EngineError: 438 for an unknown member, 450 for a wrong
// number of arguments, and the member's own errors.
Value callEngineMember(Engine& engine, std::string_view name, std::span<Value> args);

// Conversions as the dispatch interface applies them (type mismatch 13, overflow 6).
Int16 toInt16(const Value& v);
std::int32_t toInt32(const Value& v);
DateTime toDateTime(const Value& v);
std::string toText(const Value& v);

} // namespace kalendo
