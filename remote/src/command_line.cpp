// SPDX-License-Identifier: MIT
#include "tikko/remote/command_line.h"

#include "tikko/alarm/alarm_editor.h"
#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/repeat_rule.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace tikko {

namespace {

using Command = Request::Command;

constexpr std::pair<const char*, Command> Commands[] = {
    {"add", Command::Add},           {"list", Command::List},   {"remove", Command::Remove},
    {"show", Command::Show},         {"quit", Command::Quit},   {"export", Command::Export},
    {"help", Command::Help},         {"--help", Command::Help}, {"-h", Command::Help},
    {"--version", Command::Version},
};

// Options of Qt's own that a desktop may hand the program (a session restored with -session).
const QStringList QtOptions{
    QStringLiteral("platform"),
    QStringLiteral("platformpluginpath"),
    QStringLiteral("platformtheme"),
    QStringLiteral("plugin"),
    QStringLiteral("qwindowgeometry"),
    QStringLiteral("qwindowicon"),
    QStringLiteral("qwindowtitle"),
    QStringLiteral("reverse"),
    QStringLiteral("session"),
    QStringLiteral("display"),
    QStringLiteral("geometry"),
    QStringLiteral("style"),
    QStringLiteral("stylesheet"),
    QStringLiteral("widgetcount"),
    QStringLiteral("nograb"),
    QStringLiteral("dograb"),
    QStringLiteral("sync"),
};

bool isQtOption(const QString& argument) {
    QString name = argument;
    while (name.startsWith(QLatin1Char('-')))
        name.remove(0, 1);
    return argument.startsWith(QLatin1Char('-')) && QtOptions.contains(name.section(u'=', 0, 0));
}

// Reads the options of one command: `--name VALUE` or `--name=VALUE` for those with a value.
class Options {
public:
    Options(QStringList arguments, QStringList withValue, QStringList flags)
        : m_arguments(std::move(arguments))
        , m_withValue(std::move(withValue))
        , m_flags(std::move(flags)) {}

    // False with error set when an option is unknown, repeated or lacks its value.
    bool read(QString& error) {
        for (qsizetype i = 0; i < m_arguments.size(); ++i) {
            const QString& argument = m_arguments[i];
            if (argument == QLatin1String("--")) {
                m_positional += m_arguments.mid(i + 1);
                break;
            }
            if (!argument.startsWith(QLatin1String("--")) || argument.size() == 2) {
                m_positional << argument;
                continue;
            }
            const QString name = argument.section(u'=', 0, 0);
            const bool inline_ = argument.contains(u'=');
            if (m_values.contains(name) || m_set.contains(name)) {
                error = QStringLiteral("%1 只能给一次").arg(name);
                return false;
            }
            if (m_flags.contains(name) && !inline_) {
                m_set << name;
            } else if (m_withValue.contains(name)) {
                if (!inline_ && i + 1 >= m_arguments.size()) {
                    error = QStringLiteral("%1 后面缺少值").arg(name);
                    return false;
                }
                m_values.insert(name, inline_ ? argument.section(u'=', 1) : m_arguments[++i]);
            } else {
                error = QStringLiteral("不认识的选项 %1（见 TikkoClock --help）").arg(argument);
                return false;
            }
        }
        return true;
    }

    bool has(const char* name) const {
        return m_values.contains(QLatin1String(name)) || m_set.contains(QLatin1String(name));
    }
    QString value(const char* name) const { return m_values.value(QLatin1String(name)); }
    const QStringList& positional() const { return m_positional; }

private:
    QStringList m_arguments;
    QStringList m_withValue;
    QStringList m_flags;
    QHash<QString, QString> m_values;
    QStringList m_set;
    QStringList m_positional;
};

QString names(const auto& table, auto member) {
    QStringList list;
    for (const auto& row : table) {
        if (!(row.*member).isEmpty())
            list << (row.*member).toString();
    }
    return list.join(QStringLiteral(", "));
}

bool looksLikeDate(const QString& text) {
    return text.size() >= 8 && text.front().isDigit() &&
           (text.contains(u'-') || text.contains(u'/') || text.contains(u'.'));
}

bool looksLikeTimeOfDay(const QString& text) {
    return nextTimeOfDay(text, QDateTime::currentDateTime()).has_value();
}

// The program to run: a path from the caller's folder, or a name found on PATH.
QString resolveProgram(const QString& program, QString& error) {
    QString path;
    if (program.contains(QLatin1Char('/')))
        path = QFileInfo(program).absoluteFilePath();
    else
        path = QStandardPaths::findExecutable(program);
    const QFileInfo info(path);
    if (path.isEmpty() || !info.isFile() || !info.isExecutable()) {
        error = QStringLiteral("找不到可运行的程序 %1").arg(program);
        return {};
    }
    return QDir::cleanPath(path);
}

QString parseAdd(const QStringList& arguments, Request& request) {
    Options options(arguments,
                    {QStringLiteral("--type"), QStringLiteral("--text"), QStringLiteral("--action"),
                     QStringLiteral("--run"), QStringLiteral("--advance"),
                     QStringLiteral("--repeat")},
                    {});
    QString error;
    if (!options.read(error))
        return error;
    QStringList positional = options.positional();
    // "add 2026-12-09 07:30" without quotes is one moment.
    if (positional.size() == 2 && looksLikeDate(positional[0]) && looksLikeTimeOfDay(positional[1]))
        positional = {positional.join(QLatin1Char(' '))};
    if (positional.isEmpty())
        return QStringLiteral(
            "add 需要一个时间，例如 TikkoClock add \"2026-12-09 07:30\" 或 add +25m");
    if (positional.size() > 1)
        return QStringLiteral("add 只要一个时间，多出了 %1（含空格的时间请加引号）")
            .arg(positional[1]);
    request.time = positional[0].trimmed();
    if (request.time.startsWith(QLatin1Char('+')) && !spanSeconds(request.time))
        return QStringLiteral("时间 %1 无法识别：时长写作 +25m、+1h30m、+2d 这样")
            .arg(request.time);
    if (!request.time.startsWith(QLatin1Char('+')) && !looksLikeTimeOfDay(request.time) &&
        !parseAlarmTime(request.time))
        return QStringLiteral("时间 %1 无法识别：请写作 2026-12-09 07:30、07:30 或 +25m")
            .arg(request.time);

    const ReminderType* type = nullptr;
    if (options.has("--type")) {
        type = findReminderTypeName(options.value("--type"));
        if (!type)
            return QStringLiteral("不认识的提醒方式 %1；可用：%2")
                .arg(options.value("--type"), names(ReminderTypes, &ReminderType::ascii));
        request.type = type->text.toString();
    }
    if (options.has("--text")) {
        request.prompt = options.value("--text");
        // A text alone asks for the first type that shows one.
        if (!type) {
            type = &ReminderTypes[1];
            request.type = type->text.toString();
        }
        if (!type->window)
            return QStringLiteral(
                       "提醒方式 %1 不显示文字，--text 用不上；请用 --type sound-text 或 text")
                .arg(type->ascii.toString());
    }
    if (options.has("--action") && options.has("--run"))
        return QStringLiteral("--action 和 --run 只能选一个");
    if (options.has("--action") || options.has("--run")) {
        const bool acts = type ? type->action : ReminderTypes[0].action;
        if (!acts)
            return QStringLiteral("提醒方式 %1 没有附加动作；请用 --type sound-action 或 action")
                .arg(type->ascii.toString());
    }
    if (options.has("--action")) {
        const AdditionalAction* action = findActionName(options.value("--action"));
        if (!action)
            return QStringLiteral("不认识的附加动作 %1；可用：%2")
                .arg(options.value("--action"), names(AdditionalActions, &AdditionalAction::ascii));
        if (action->kind == AdditionalAction::RunProgram)
            return QStringLiteral("要运行程序，请用 --run 程序");
        request.action = action->item.toString();
    }
    if (options.has("--run")) {
        request.program = resolveProgram(options.value("--run"), error);
        if (!error.isEmpty())
            return error;
        request.action = action::RunProgramItem.toString();
    }
    if (options.has("--advance")) {
        request.advance = options.value("--advance");
        if (!readUserNumber(request.advance, QLocale::c()))
            return QStringLiteral("提前的分钟数 %1 不是数字").arg(request.advance);
    }
    if (options.has("--repeat")) {
        request.repeat = options.value("--repeat");
        const auto rule = parseRuleName(request.repeat.toStdString());
        if (!rule || !rule->valid())
            return QStringLiteral("不认识的重复规则 %1；可用：once, daily, workdays, "
                                  "weekly:mon,wed,fri, monthly:31, yearly:02-29, "
                                  "lunar-monthly:30, lunar-yearly:08-15, "
                                  "lunar-yearly:leap04-08, solar-terms")
                .arg(request.repeat);
    }
    return {};
}

} // namespace

ParsedCommandLine parseCommandLine(const QStringList& arguments) {
    ParsedCommandLine parsed;
    Request& request = parsed.request;
    if (arguments.isEmpty() || isQtOption(arguments.front()))
        return parsed; // the program as it always started
    const QString& first = arguments.front();
    const auto command = std::find_if(std::begin(Commands), std::end(Commands),
                                      [&](const auto& entry) { return first == entry.first; });
    if (command == std::end(Commands)) {
        parsed.error = first.startsWith(QLatin1Char('-'))
                           ? QStringLiteral("不认识的选项 %1（见 TikkoClock --help）").arg(first)
                           : QStringLiteral("不认识的命令 %1（见 TikkoClock --help）").arg(first);
        return parsed;
    }
    request.command = command->second;
    const QStringList rest = arguments.mid(1);
    const auto nothingMore = [&](const char* name) {
        if (!rest.isEmpty())
            parsed.error =
                QStringLiteral("%1 不需要参数，多出了 %2").arg(QLatin1String(name), rest[0]);
    };
    switch (request.command) {
    case Command::Add:
        parsed.error = parseAdd(rest, request);
        break;
    case Command::List: {
        Options options(rest, {}, {QStringLiteral("--json")});
        if (options.read(parsed.error) && !options.positional().isEmpty())
            parsed.error =
                QStringLiteral("list 不需要参数，多出了 %1").arg(options.positional()[0]);
        request.json = options.has("--json");
        break;
    }
    case Command::Remove: {
        Options options(rest, {}, {QStringLiteral("--all")});
        if (!options.read(parsed.error))
            break;
        request.all = options.has("--all");
        const QStringList& positional = options.positional();
        bool number = positional.size() == 1;
        if (number)
            request.position = positional[0].toInt(&number);
        if (request.all ? !positional.isEmpty() : !number || request.position < 1)
            parsed.error = QStringLiteral("remove 要一个序号（list 列出的 1、2、3…）或 --all");
        break;
    }
    case Command::Export: {
        Options options(rest, {}, {QStringLiteral("--ics")});
        if (!options.read(parsed.error))
            break;
        if (options.positional().size() > 1)
            parsed.error =
                QStringLiteral("export 只写一个文件，多出了 %1").arg(options.positional()[1]);
        else if (!options.positional().isEmpty() && options.positional()[0] != QLatin1String("-"))
            request.file = QFileInfo(options.positional()[0]).absoluteFilePath();
        break;
    }
    case Command::Show:
        nothingMore("show");
        break;
    case Command::Quit:
        nothingMore("quit");
        break;
    case Command::Help:
    case Command::Version:
    case Command::Start:
        break;
    }
    return parsed;
}

QString commandLineHelp() {
    return QStringLiteral(
               "用法：TikkoClock [命令]\n"
               "不带命令时启动闹钟程序（已在运行时显示它的窗口）。\n"
               "\n"
               "命令：\n"
               "  add 时间 [--type 方式] [--text 提示] [--action 动作 | --run 程序]\n"
               "           [--advance 分钟] [--repeat 规则]   添加一个闹钟\n"
               "  list [--json]            按列表顺序列出闹钟\n"
               "  remove 序号|--all        删除第几个闹钟（序号见 list），或全部\n"
               "  show                     显示主窗口（没有运行时启动它）\n"
               "  quit                     退出正在运行的程序\n"
               "  export --ics [文件]      把闹钟导出为 iCalendar 文件（不给文件时写到标准输出）\n"
               "  --help, --version\n"
               "\n"
               "时间：2026-12-09 07:30（某一时刻）、07:30（下一个 07:30）或 +25m、+1h30m、+2d"
               "（从现在起）。\n"
               "  有重复规则时，时间给出一天中的时刻和最早考虑的日子。\n"
               "默认值同编辑器：第一种提醒方式和第一个附加动作，提前分钟数取选项里的设置；\n"
               "  只给 --text 时提醒方式为 sound-text。\n"
               "\n"
               "提醒方式：%1\n"
               "附加动作：%2\n"
               "  （也可以用中文名称；运行程序用 --run 程序）\n"
               "重复规则：once, daily, workdays, weekly:mon,wed,fri, monthly:31, yearly:02-29,\n"
               "  lunar-monthly:30, lunar-yearly:08-15, lunar-yearly:leap04-08（闰月）, "
               "solar-terms\n"
               "  （也可以用中文，例如 农历每年八月十五）\n"
               "\n"
               "退出状态：0 成功；1 无法写入闹钟文件或无法联系正在运行的程序；2 输入有误。\n")
        .arg(names(ReminderTypes, &ReminderType::ascii),
             names(AdditionalActions, &AdditionalAction::ascii).remove(QStringLiteral("run, ")));
}

} // namespace tikko
