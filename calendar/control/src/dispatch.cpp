// The dispatch interface _Kalendo: members and properties by their names.
#include "kalendo_p.h"

#include <QDateTime>
#include <QImage>
#include <QRegularExpression>
#include <cmath>
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
        n = toInteger(v.toString());
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

long long toInteger(const QString& text) {
    const QString t = text.trimmed();
    bool ok = false;
    const long long n = t.toLongLong(&ok);
    if (!ok) {
        if (!t.isEmpty() && t.contains(QRegularExpression(QStringLiteral("^[+-]?[0-9]+$"))))
            throw OverflowError();
        throw TypeMismatchError();
    }
    return n;
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
            invalidPicture();
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

} // namespace kalendo::detail

namespace {

const QString kFill = QStringLiteral("返回阳历控件");
const QString kShowRecord = QStringLiteral("显视记录");

QVariant colourValue(OleColour c) {
    return QVariant::fromValue<quint32>(c);
}

} // namespace

void Kalendo::Private::setColours(std::initializer_list<Label*> labels, const QVariant& value,
                                  bool fore) {
    const OleColour c = colourFromVariant(value);
    if (!kalendo::isValidOleColour(c))
        invalidPropertyValue();
    for (Label* l : labels) {
        if (fore)
            l->setForeColour(c);
        else
            l->setBackColour(c);
    }
}

const std::vector<Kalendo::Private::Property>& Kalendo::Private::properties() {
    using P = Private;
    auto colour = [](auto get) {
        return [get](const P& p) {
            return colourValue(get(p));
        };
    };
    auto picture = [](auto get) {
        return [get](const P& p) {
            return QVariant::fromValue<QPixmap>(get(p));
        };
    };
    static const std::vector<Property> table = [&] {
        std::vector<Property> t = {
            {QStringLiteral("标题背景颜色"),
             colour([](const P& p) { return p.titleStrip->backColour(); }),
             [](P& p, const QVariant& v) {
                 p.setColours({p.titleStrip}, v, false);
             }},
            {QStringLiteral("标题阳历颜色"),
             colour([](const P& p) { return p.titleLabels[0]->foreColour(); }),
             [](P& p, const QVariant& v) {
                 p.setColours({p.titleLabels[0], p.titleLabels[1], p.titleLabels[2]}, v, true);
             }},
            {QStringLiteral("标题农历颜色"),
             colour([](const P& p) { return p.titleLabels[3]->foreColour(); }),
             [](P& p, const QVariant& v) {
                 p.setColours({p.titleLabels[3], p.titleLabels[4], p.titleLabels[5]}, v, true);
             }},
            {QStringLiteral("标题其它颜色"),
             colour([](const P& p) { return p.yearName->foreColour(); }),
             [](P& p, const QVariant& v) {
                 p.setColours({p.yearName, p.leapYear, p.starSign}, v, true);
             }},
            {QStringLiteral("控件背景颜色"), colour([](const P& p) { return p.controlBack; }),
             [](P& p, const QVariant& v) {
                 const OleColour c = colourFromVariant(v);
                 if (!kalendo::isValidOleColour(c))
                     invalidPropertyValue();
                 p.controlBack = c;
                 p.q->update();
             }},
            {QStringLiteral("背景图片"),
             picture([](const P& p) { return p.backgroundPicture->picture(); }),
             [](P& p, const QVariant& v) {
                 p.backgroundPicture->setPicture(pictureFromVariant(v));
             }},
            {QStringLiteral("背景字体颜色"),
             colour([](const P& p) { return p.yearWatermark->foreColour(); }),
             [](P& p, const QVariant& v) {
                 p.setColours({p.yearWatermark, p.monthWatermark}, v, true);
             }},
            {QStringLiteral("星期栏背景色"),
             colour([](const P& p) { return p.weekdays[0]->backColour(); }),
             [](P& p, const QVariant& v) {
                 const auto& w = p.weekdays;
                 p.setColours({w[0], w[1], w[2], w[3], w[4], w[5], w[6]}, v, false);
             }},
            {QStringLiteral("星期1到5字体色"),
             colour([](const P& p) { return p.weekdays[1]->foreColour(); }),
             [](P& p, const QVariant& v) {
                 const auto& w = p.weekdays;
                 p.setColours({w[1], w[2], w[3], w[4], w[5]}, v, true);
             }},
            {QStringLiteral("星期天字体色"),
             colour([](const P& p) { return p.weekdays[0]->foreColour(); }),
             [](P& p, const QVariant& v) {
                 const auto& d = p.days;
                 p.setColours({p.weekdays[0], d[0], d[7], d[14], d[21], d[28], d[35]}, v, true);
             }},
            {QStringLiteral("星期六字体色"),
             colour([](const P& p) { return p.weekdays[6]->foreColour(); }),
             [](P& p, const QVariant& v) {
                 const auto& d = p.days;
                 p.setColours({p.weekdays[6], d[6], d[13], d[20], d[27], d[34]}, v, true);
             }},
            {QStringLiteral("按钮背景颜色"),
             colour([](const P& p) { return p.buttons[0]->backColour(); }),
             [](P& p, const QVariant& v) {
                 const OleColour c = colourFromVariant(v);
                 if (!kalendo::isValidOleColour(c))
                     invalidPropertyValue();
                 for (PictureButton* b : p.buttons)
                     b->setBackColour(c);
             }},
        };
        const char* normal[] = {"按钮上年图片", "按钮下年图片", "按钮上月图片", "按钮下月图片",
                                "按钮今天图片"};
        const char* pressed[] = {"按钮按下上年图片", "按钮按下下年图片", "按钮按下上月图片",
                                 "按钮按下下月图片", "按钮按下今天图片"};
        for (std::size_t b = 0; b < 5; ++b)
            t.push_back({QString::fromUtf8(normal[b]),
                         picture([b](const P& p) { return p.buttons[b]->picture(); }),
                         [b](P& p, const QVariant& v) {
                             p.buttons[b]->setPicture(pictureFromVariant(v));
                         }});
        for (std::size_t b = 0; b < 5; ++b)
            t.push_back({QString::fromUtf8(pressed[b]),
                         picture([b](const P& p) { return p.buttons[b]->pressedPicture(); }),
                         [b](P& p, const QVariant& v) {
                             p.buttons[b]->setPressedPicture(pictureFromVariant(v));
                         }});
        // Both date properties name the selected day, or the shown month's first day.
        for (const char* name : {"中阳历", "中阴历"})
            t.push_back({QString::fromUtf8(name),
                         [](const P& p) { return QVariant(toQDate(p.selectedDate())); },
                         [](P& p, const QVariant& v) {
                             p.setSelectedDate(v);
                         }});
        return t;
    }();
    return table;
}

const Kalendo::Private::Property* Kalendo::Private::findProperty(const QString& name) {
    for (const Property& p : properties())
        if (p.name == name)
            return &p;
    return nullptr;
}

QStringList Kalendo::methodNames() {
    QStringList names;
    for (const kalendo::MemberInfo& m : kalendo::engineMembers())
        names << QString::fromUtf8(m.name.data(), qsizetype(m.name.size()));
    names << kFill << kShowRecord;
    return names;
}

QStringList Kalendo::propertyNames() {
    QStringList names;
    for (const Private::Property& p : Private::properties())
        names << p.name;
    return names;
}

Result Kalendo::call(const QString& member, const QVariantList& args) {
    QVariantList copy = args;
    return call(member, copy);
}

Result Kalendo::call(const QString& member, QVariantList& args) {
    return d->guard(member, [&](Result& result) {
        if (member == kFill || member == kShowRecord) {
            const qsizetype wanted = member == kFill ? 2 : 1;
            if (args.size() != wanted)
                throw kalendo::EngineError(kalendo::Error::WrongArgumentCount);
            if (member == kFill) {
                const Int16 year = kalendo::toInt16(toValue(args[0]));
                const Int16 month = kalendo::toInt16(toValue(args[1]));
                d->fillMonth(year, month);
            } else {
                d->showRecord(kalendo::toInt16(toValue(args[0])));
            }
            return;
        }
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
        const std::string name = utf8(member);
        result.value = toVariant(kalendo::callEngineMember(d->engine, name, values));
    });
}

Result Kalendo::propertyGet(const QString& name) const {
    return d->guard(name, [&](Result& result) {
        const Private::Property* p = Private::findProperty(name);
        if (!p)
            throw kalendo::EngineError(kalendo::Error::NoSuchMember);
        result.value = p->get(*d);
    });
}

Result Kalendo::propertyPut(const QString& name, const QVariant& value) {
    const Private::Property* p = Private::findProperty(name);
    Result r = d->guard(name, [&](Result&) {
        if (!p)
            throw kalendo::EngineError(kalendo::Error::NoSuchMember);
        p->set(*d, value);
    });
    if (r.ok())
        emit propertyChanged(p->name);
    return r;
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
