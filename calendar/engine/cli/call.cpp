// SPDX-License-Identifier: MIT
#include "commands.h"
#include "kalendo/dispatch.h"
#include "kalendo/errors.h"

#include <algorithm>

namespace kalendo::cli {

namespace {

std::string argumentList(const MemberInfo& m) {
    std::string list;
    for (const ParamInfo& p : m.params)
        list += (list.empty() ? "" : ", ") + std::string(p.name);
    return list;
}

std::string_view kindName(ParamKind kind) {
    switch (kind) {
    case ParamKind::Integer16:
        return "int16";
    case ParamKind::Integer32:
        return "int32";
    case ParamKind::Date:
        return "date";
    case ParamKind::Text:
        return "text";
    }
    return "?";
}

} // namespace

int runCall(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
    if (args.empty())
        throw UsageError{"call needs a MEMBER"};
    const MemberInfo* member = findEngineMember(args[0]);
    if (member == nullptr) {
        err << "error 438: no member named " << args[0] << '\n';
        return 2;
    }
    const std::span<const std::string> given = args.subspan(1);
    if (given.size() != member->params.size()) {
        err << "error 450: " << member->name << " takes " << member->params.size()
            << " argument(s) (" << argumentList(*member) << "), " << given.size() << " given\n";
        return 2;
    }
    std::vector<Value> values;
    for (std::size_t i = 0; i < given.size(); ++i) {
        const ParamInfo& p = member->params[i];
        try {
            switch (p.kind) {
            case ParamKind::Integer16:
                values.emplace_back(static_cast<long long>(toInt16(given[i])));
                break;
            case ParamKind::Integer32:
                values.emplace_back(static_cast<long long>(toInt32(given[i])));
                break;
            case ParamKind::Date:
                values.emplace_back(parseDateTime(given[i]));
                break;
            case ParamKind::Text:
                values.emplace_back(given[i]);
                break;
            }
        } catch (const EngineError& e) {
            err << "error " << e.number() << ": " << e.what() << ": argument " << p.name << " ("
                << given[i] << ")"
                << (p.kind == ParamKind::Date ? " is not a date like 2008-4-23"
                                              : " is not a 16-bit number")
                << '\n';
            return 2;
        }
    }
    const std::vector<Value> before = values;
    Engine engine;
    Value result;
    try {
        result = callEngineMember(engine, member->name, values);
    } catch (const EngineError& e) {
        err << "error " << e.number() << ": " << e.what() << '\n';
        return 2;
    }
    out << toText(result) << '\n';
    for (std::size_t i = 0; i < values.size(); ++i)
        if (member->params[i].byRef && values[i] != before[i])
            out << member->params[i].name << '=' << toText(values[i]) << '\n';
    return 0;
}

int runMembers(std::span<const std::string> args, std::ostream& out) {
    const bool namesOnly = args.size() == 1 && args[0] == "--names"; // for the shell completion
    if (!args.empty() && !namesOnly)
        throw UsageError{"members takes no arguments but --names"};
    const std::vector<MemberInfo>& members = engineMembers();
    int width = 0;
    for (const MemberInfo& m : members)
        width = std::max(width, displayWidth(m.name));
    for (const MemberInfo& m : members) {
        out << m.name;
        if (!namesOnly && !m.params.empty()) {
            out << std::string(static_cast<std::size_t>(width - displayWidth(m.name) + 2), ' ');
            for (std::size_t i = 0; i < m.params.size(); ++i) {
                const ParamInfo& p = m.params[i];
                out << (i == 0 ? "" : ", ") << p.name << ' ' << kindName(p.kind)
                    << (p.byRef ? " (by reference)" : "");
            }
        }
        out << '\n';
    }
    return 0;
}

} // namespace kalendo::cli
