// SPDX-License-Identifier: MIT
#include "tikko/remote/request.h"

#include "tikko/alarm/alarm_line.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

namespace tikko {

namespace {

constexpr std::pair<Request::Command, const char*> CommandNames[] = {
    {Request::Command::Start, "start"},     {Request::Command::Add, "add"},
    {Request::Command::List, "list"},       {Request::Command::Remove, "remove"},
    {Request::Command::Show, "show"},       {Request::Command::Quit, "quit"},
    {Request::Command::Export, "export"},   {Request::Command::Help, "help"},
    {Request::Command::Version, "version"},
};

std::optional<QJsonObject> objectOf(const QByteArray& line) {
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return std::nullopt;
    return document.object();
}

QByteArray lineOf(const QJsonObject& object) {
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

QByteArray Request::toLine() const {
    QJsonObject object;
    for (const auto& [value, name] : CommandNames) {
        if (value == command)
            object.insert(QStringLiteral("command"), QLatin1String(name));
    }
    const std::pair<const char*, const QString*> texts[] = {
        {"time", &time},       {"type", &type},     {"action", &action}, {"program", &program},
        {"advance", &advance}, {"repeat", &repeat}, {"file", &file}};
    for (const auto& [name, text] : texts) {
        if (!text->isEmpty())
            object.insert(QLatin1String(name), *text);
    }
    if (prompt)
        object.insert(QStringLiteral("prompt"), *prompt);
    object.insert(QStringLiteral("json"), json);
    object.insert(QStringLiteral("position"), position);
    object.insert(QStringLiteral("all"), all);
    return lineOf(object);
}

std::optional<Request> Request::fromLine(const QByteArray& line) {
    const auto object = objectOf(line);
    if (!object)
        return std::nullopt;
    Request request;
    const QString name = object->value(QStringLiteral("command")).toString();
    const auto known = std::find_if(std::begin(CommandNames), std::end(CommandNames),
                                    [&](const auto& entry) { return name == entry.second; });
    if (known == std::end(CommandNames))
        return std::nullopt;
    request.command = known->first;
    const auto text = [&](const char* key) {
        return object->value(QLatin1String(key)).toString();
    };
    request.time = text("time");
    request.type = text("type");
    request.action = text("action");
    request.program = text("program");
    request.advance = text("advance");
    request.repeat = text("repeat");
    request.file = text("file");
    if (object->contains(QStringLiteral("prompt")))
        request.prompt = text("prompt");
    request.json = object->value(QStringLiteral("json")).toBool();
    request.position = object->value(QStringLiteral("position")).toInt();
    request.all = object->value(QStringLiteral("all")).toBool();
    return request;
}

QByteArray Answer::toLine() const {
    return lineOf({{QStringLiteral("status"), status},
                   {QStringLiteral("out"), out},
                   {QStringLiteral("err"), err},
                   {QStringLiteral("position"), position}});
}

std::optional<Answer> Answer::fromLine(const QByteArray& line) {
    const auto object = objectOf(line);
    if (!object || !object->value(QStringLiteral("status")).isDouble())
        return std::nullopt;
    return Answer{object->value(QStringLiteral("status")).toInt(),
                  object->value(QStringLiteral("out")).toString(),
                  object->value(QStringLiteral("err")).toString(),
                  object->value(QStringLiteral("position")).toInt()};
}

std::optional<qint64> spanSeconds(QStringView text) {
    static const QRegularExpression form(
        QStringLiteral(R"(^\+(?:(\d{1,5})d)?(?:(\d{1,6})h)?(?:(\d{1,8})m)?(?:(\d{1,9})s)?$)"));
    const QRegularExpressionMatch match = form.match(text.toString());
    if (!match.hasMatch() || text.size() < 3)
        return std::nullopt;
    constexpr qint64 Units[] = {86400, 3600, 60, 1};
    qint64 seconds = 0;
    for (int i = 0; i < 4; ++i)
        seconds += match.capturedView(i + 1).toLongLong() * Units[i];
    return seconds;
}

std::optional<QDateTime> nextTimeOfDay(QStringView text, const QDateTime& now) {
    static const QRegularExpression form(QStringLiteral(R"(^(\d{1,2}):(\d{2})(?::(\d{2}))?$)"));
    const QRegularExpressionMatch match = form.match(text.toString());
    if (!match.hasMatch())
        return std::nullopt;
    const QTime time(match.capturedView(1).toInt(), match.capturedView(2).toInt(),
                     match.capturedView(3).toInt());
    if (!time.isValid())
        return std::nullopt;
    const QDateTime today(now.date(), time);
    // The present minute is still today; a minute that has passed is tomorrow's.
    return minuteOf(today) < minuteOf(now) ? QDateTime(now.date().addDays(1), time) : today;
}

} // namespace tikko
