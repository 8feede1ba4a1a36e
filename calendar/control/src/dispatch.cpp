// SPDX-License-Identifier: MIT
// The dispatch interface _Kalendo: members and properties by their names.
#include "kalendo_p.h"

#include <QDateTime>
#include <QImage>
#include <cmath>
#include <kalendo/text.h>
#include <limits>

using kalendo::Int16;
using kalendo::OleColour;
using kalendo::Result;
using kalendo::Value;
using namespace kalendo::detail;

namespace kalendo::detail {

Value toValue(const QVariant& v) {
    switch (v.metaType().id()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        return std::monostate{};
    case QMetaType::Bool:
        return static_cast<long long>(v.toBool() ? -1 : 0); // True is -1 to classic hosts
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Char:
        return static_cast<long long>(v.toLongLong());
    case QMetaType::ULongLong:
        return static_cast<double>(v.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return v.toDouble();
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::QChar:
        return utf8(v.toString());
    case QMetaType::QDate: {
        const QDate d = v.toDate();
        if (!d.isValid() || d.year() < Date::kFirstYear || d.year() > Date::kLastYear)
            throw TypeMismatchError();
        return DateTime(toDate(d));
    }
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        const QDate d = dt.date();
        if (!dt.isValid() || d.year() < Date::kFirstYear || d.year() > Date::kLastYear)
            throw TypeMismatchError();
        return DateTime(toDate(d), dt.time().msecsSinceStartOfDay() / 1000);
    }
    default:
        throw TypeMismatchError();
    }
}

QVariant toVariant(const Value& v) {
    if (const auto* i = std::get_if<long long>(&v)) {
        if (*i >= std::numeric_limits<int>::min() && *i <= std::numeric_limits<int>::max())
            return int(*i);
        return qlonglong(*i);
    }
    if (const auto* d = std::get_if<double>(&v))
        return *d;
    if (const auto* s = std::get_if<std::string>(&v))
        return qs(*s);
    if (const auto* dt = std::get_if<DateTime>(&v)) {
        if (dt->seconds == 0)
            return toQDate(dt->date);
        return QDateTime(toQDate(dt->date), QTime::fromMSecsSinceStartOfDay(dt->seconds * 1000));
    }
    return {};
}

OleColour colourFromVariant(const QVariant& v) {
    long long n = 0;
    switch (v.metaType().id()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::UChar:
    case QMetaType::SChar:
        n = v.toLongLong();
        if (v.metaType().id() == QMetaType::ULongLong && v.toULongLong() > 0xFFFFFFFFull)
            throw OverflowError();
        break;
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = v.toDouble();
        if (!(d >= -2147483648.0 && d <= 4294967295.0))
            throw OverflowError();
        n = std::llround(d);
        break;
    }
    case QMetaType::QString:
    case QMetaType::QByteArray:
        // Text stores (settings files) give numbers back as text.
        n = text::parseInteger(utf8(v.toString()), -2147483648LL, 0xFFFFFFFFLL);
        break;
    case QMetaType::QColor:
        return fromQColor(v.value<QColor>());
    default:
        throw TypeMismatchError();
    }
    if (n < -2147483648LL || n > 0xFFFFFFFFLL)
        throw OverflowError();
    // Signed 32-bit values are the same colours as their unsigned bit patterns.
    return OleColour(static_cast<std::uint32_t>(n));
}

QPixmap pictureFromVariant(const QVariant& v) {
    switch (v.metaType().id()) {
    case QMetaType::UnknownType:
    case QMetaType::Nullptr:
        return {};
    case QMetaType::QPixmap:
        return v.value<QPixmap>();
    case QMetaType::QImage:
        return QPixmap::fromImage(v.value<QImage>());
    case QMetaType::QByteArray: {
        const QByteArray data = v.toByteArray();
        if (data.isEmpty())
            return {};
        QPixmap p;
        if (!p.loadFromData(data))
            throw EngineError(Error::InvalidPicture);
        return p;
    }
    case QMetaType::QString:
        if (v.toString().isEmpty())
            return {};
        throw TypeMismatchError();
    default:
        throw TypeMismatchError();
    }
}

QString lunarDateText(const LunarDate& date) {
    return QStringLiteral("%1%2%3%4")
        .arg(date.leap ? 1 : 0)
        .arg(date.year, 4, 10, QLatin1Char('0'))
        .arg(date.month, 2, 10, QLatin1Char('0'))
        .arg(date.day, 2, 10, QLatin1Char('0'));
}

std::optional<LunarDate> lunarDateFromText(const QString& text) {
    const QString t = text.trimmed();
    if (t.size() != 9 || (t[0] != QLatin1Char('0') && t[0] != QLatin1Char('1')))
        return std::nullopt;
    for (const QChar c : t)
        if (!c.isDigit() || c.unicode() > '9')
            return std::nullopt;
    return LunarDate{t.mid(1, 4).toInt(), t.mid(5, 2).toInt(), t.mid(7, 2).toInt(),
                     t[0] == QLatin1Char('1')};
}

const QString kFillMethod = QStringLiteral("返回阳历控件");
const QString kRecordMethod = QStringLiteral("显视记录");
// Both date properties name the selected day, or the shown month's first day: 中阳历 as a
// date, 中阴历 as the lunar date text.
const QString kSolarDateProperty = QStringLiteral("中阳历");
const QString kLunarDateProperty = QStringLiteral("中阴历");

} // namespace kalendo::detail

namespace {

bool isDateProperty(const QString& name) {
    return name == kSolarDateProperty || name == kLunarDateProperty;
}

} // namespace

QStringList Kalendo::methodNames() {
    QStringList names;
    for (const kalendo::MemberInfo& m : kalendo::engineMembers())
        names << QString::fromUtf8(m.name.data(), qsizetype(m.name.size()));
    names << kFillMethod << kRecordMethod;
    return names;
}

QStringList Kalendo::propertyNames() {
    QStringList names;
    for (const AppearanceProperty& p : appearanceProperties())
        names << qName(p);
    return names << kSolarDateProperty << kLunarDateProperty;
}

Result Kalendo::call(const QString& member, const QVariantList& args) {
    QVariantList copy = args;
    return call(member, copy);
}

Result Kalendo::call(const QString& member, QVariantList& args) {
    if (member == kFillMethod || member == kRecordMethod) {
        return d->act(member, [&](Result&) {
            const qsizetype wanted = member == kFillMethod ? 2 : 1;
            if (args.size() != wanted)
                throw kalendo::EngineError(kalendo::Error::WrongArgumentCount);
            if (member == kFillMethod)
                d->view.showMonth(kalendo::toInt16(toValue(args[0])),
                                  kalendo::toInt16(toValue(args[1])));
            else
                d->view.showRecord(kalendo::toInt16(toValue(args[0])));
        });
    }
    return d->guard(member, [&](Result& result) {
        std::vector<Value> values;
        values.reserve(std::size_t(args.size()));
        for (const QVariant& a : args)
            values.push_back(toValue(a));
        const std::vector<Value> before = values;
        // Changed by-reference arguments go back to the caller even when the member fails.
        struct WriteBack {
            QVariantList& args;
            const std::vector<Value>& before;
            std::vector<Value>& after;
            ~WriteBack() {
                for (std::size_t i = 0; i < after.size() && i < std::size_t(args.size()); ++i)
                    if (!(after[i] == before[i]))
                        args[qsizetype(i)] = toVariant(after[i]);
            }
        } writeBack{args, before, values};
        result.value = toVariant(kalendo::callEngineMember(d->engine, utf8(member), values));
    });
}

Result Kalendo::propertyGet(const QString& name) const {
    return d->guard(name, [&](Result& result) {
        if (const AppearanceProperty* p = findAppearanceProperty(utf8(name)))
            result.value = d->get(*p);
        else if (name == kLunarDateProperty)
            result.value = lunarDateText(kalendo::LunarDate::fromSolar(d->view.selectedDate()));
        else if (name == kSolarDateProperty)
            result.value = toQDate(d->view.selectedDate());
        else
            throw kalendo::EngineError(kalendo::Error::NoSuchMember);
    });
}

Result Kalendo::propertyPut(const QString& name, const QVariant& value) {
    if (const AppearanceProperty* p = findAppearanceProperty(utf8(name)))
        return d->guard(name, [&](Result&) { d->put(*p, value); });
    if (isDateProperty(name)) {
        const Result r = d->act(name, [&](Result&) {
            // 中阴历 takes a lunar date text; a Gregorian date selects that day, as it
            // always has.
            const std::optional<kalendo::LunarDate> lunar =
                name == kLunarDateProperty ? lunarDateFromText(value.toString()) : std::nullopt;
            if (lunar && !lunar->exists())
                throw kalendo::EngineError(kalendo::Error::InvalidPropertyValue);
            d->view.selectDate(lunar ? lunar->toSolar() : kalendo::toDateTime(toValue(value)).date);
        });
        // The date properties keep nothing beyond the selection, and notify as the others.
        if (r.ok())
            emit propertyChanged(name);
        return r;
    }
    return d->guard(name,
                    [&](Result&) { throw kalendo::EngineError(kalendo::Error::NoSuchMember); });
}

QVariant Kalendo::dynamicCall(const QString& member, const QVariantList& args) {
    const Result r = call(member, args);
    return r.ok() ? r.value : QVariant();
}

QVariant Kalendo::getProperty(const QString& name) const {
    const Result r = propertyGet(name);
    return r.ok() ? r.value : QVariant();
}

bool Kalendo::putProperty(const QString& name, const QVariant& value) {
    return propertyPut(name, value).ok();
}

int Kalendo::lastErrorNumber() const {
    return d->lastError.errorNumber;
}

QString Kalendo::lastErrorMessage() const {
    return d->lastError.errorMessage;
}
