// SPDX-License-Identifier: MIT
// The appearance properties in the Qt control: the reads, writes, notifications, load and
// save that the appearance table drives.
#include "kalendo/property_store.h"
#include "kalendo_p.h"

using kalendo::OleColour;
using namespace kalendo::detail;

namespace kalendo::detail {

QString qName(const AppearanceProperty& p) {
    return QString::fromUtf8(p.name.data(), qsizetype(p.name.size()));
}

} // namespace kalendo::detail

namespace {

using Notification = void (Kalendo::*)();

// The Qt property's notification of each appearance property.
Notification notificationOf(Appearance id) {
    using A = Appearance;
    using K = Kalendo;
    // clang-format off
    switch (id) {
    case A::TitleBackColour: return &K::titleBackColourChanged;
    case A::TitleSolarColour: return &K::titleSolarColourChanged;
    case A::TitleLunarColour: return &K::titleLunarColourChanged;
    case A::TitleOtherColour: return &K::titleOtherColourChanged;
    case A::ControlBackColour: return &K::controlBackColourChanged;
    case A::BackgroundPicture: return &K::backgroundPictureChanged;
    case A::WatermarkColour: return &K::watermarkColourChanged;
    case A::WeekdayBarBackColour: return &K::weekdayBarBackColourChanged;
    case A::WeekdayTextColour: return &K::weekdayTextColourChanged;
    case A::SundayTextColour: return &K::sundayTextColourChanged;
    case A::SaturdayTextColour: return &K::saturdayTextColourChanged;
    case A::ButtonBackColour: return &K::buttonBackColourChanged;
    case A::PreviousYearPicture: return &K::previousYearPictureChanged;
    case A::NextYearPicture: return &K::nextYearPictureChanged;
    case A::PreviousMonthPicture: return &K::previousMonthPictureChanged;
    case A::NextMonthPicture: return &K::nextMonthPictureChanged;
    case A::TodayPicture: return &K::todayPictureChanged;
    case A::PreviousYearPressedPicture: return &K::previousYearPressedPictureChanged;
    case A::NextYearPressedPicture: return &K::nextYearPressedPictureChanged;
    case A::PreviousMonthPressedPicture: return &K::previousMonthPressedPictureChanged;
    case A::NextMonthPressedPicture: return &K::nextMonthPressedPictureChanged;
    case A::TodayPressedPicture: return &K::todayPressedPictureChanged;
    }
    // clang-format on
    return nullptr; // not reached: every property has a case
}

[[noreturn]] void invalidValue() {
    throw kalendo::EngineError(kalendo::Error::InvalidPropertyValue);
}

OleColour checkedColour(OleColour c) {
    if (!isValidColour(c))
        invalidValue();
    return c;
}

QVariant storedColour(OleColour c, bool asShort) {
    return asShort ? QVariant::fromValue<qint16>(qint16(c)) : QVariant::fromValue<quint32>(c);
}

} // namespace

Kalendo::Private::Label* Kalendo::Private::labelAt(Slot s) const {
    const std::size_t i = std::size_t(s.index);
    switch (s.element) {
    case Element::TitleStrip:
        return titleStrip;
    case Element::TitleLabel:
        return titleLabels[i];
    case Element::YearName:
        return yearName;
    case Element::LeapYear:
        return leapYear;
    case Element::StarSign:
        return starSign;
    case Element::YearWatermark:
        return yearWatermark;
    case Element::MonthWatermark:
        return monthWatermark;
    case Element::Weekday:
        return weekdays[i];
    case Element::Day:
        return days[i];
    case Element::Surface:
    case Element::BackgroundPicture:
    case Element::Button:
        break;
    }
    return nullptr;
}

OleColour Kalendo::Private::colourAt(Slot s, Attribute a) const {
    if (s.element == Element::Surface)
        return controlBack;
    if (s.element == Element::Button)
        return buttons[std::size_t(s.index)]->backColour();
    const Label* l = labelAt(s);
    return a == Attribute::ForeColour ? l->foreColour() : l->backColour();
}

void Kalendo::Private::setColourAt(Slot s, Attribute a, OleColour c) {
    if (s.element == Element::Surface) {
        if (controlBack != c) {
            controlBack = c;
            q->update();
        }
    } else if (s.element == Element::Button) {
        buttons[std::size_t(s.index)]->setBackColour(c);
    } else if (a == Attribute::ForeColour) {
        labelAt(s)->setForeColour(c);
    } else {
        labelAt(s)->setBackColour(c);
    }
}

QPixmap Kalendo::Private::pictureAt(Slot s, Attribute a) const {
    if (s.element == Element::BackgroundPicture)
        return backgroundPicture->picture();
    const PictureButton* b = buttons[std::size_t(s.index)];
    return a == Attribute::PressedPicture ? b->pressedPicture() : b->picture();
}

void Kalendo::Private::setPictureAt(Slot s, Attribute a, const QPixmap& p) {
    if (s.element == Element::BackgroundPicture)
        return backgroundPicture->setPicture(p);
    PictureButton* b = buttons[std::size_t(s.index)];
    if (a == Attribute::PressedPicture)
        b->setPressedPicture(p);
    else
        b->setPicture(p);
}

QVariant Kalendo::Private::get(const AppearanceProperty& p) const {
    if (p.isColour())
        return QVariant::fromValue<quint32>(colourAt(p.writes.front(), p.attribute));
    return QVariant::fromValue<QPixmap>(pictureAt(p.writes.front(), p.attribute));
}

void Kalendo::Private::put(const AppearanceProperty& p, const QVariant& value) {
    if (p.isColour()) {
        const OleColour c = checkedColour(colourFromVariant(value));
        for (const Slot& s : p.writes)
            setColourAt(s, p.attribute, c);
    } else {
        const QPixmap picture = pictureFromVariant(value);
        for (const Slot& s : p.writes)
            setPictureAt(s, p.attribute, picture);
    }
    notify(p);
}

void Kalendo::Private::notify(const AppearanceProperty& p) {
    emit q->propertyChanged(qName(p));
    emit(q->*notificationOf(p.id))();
}

OleColour Kalendo::Private::colour(Appearance id) const {
    const AppearanceProperty& p = appearanceProperty(id);
    return colourAt(p.writes.front(), p.attribute);
}

bool Kalendo::Private::putColour(Appearance id, OleColour c) {
    const AppearanceProperty& p = appearanceProperty(id);
    return guard(qName(p), [&](kalendo::Result&) { put(p, QVariant::fromValue<quint32>(c)); }).ok();
}

QPixmap Kalendo::Private::picture(Appearance id) const {
    const AppearanceProperty& p = appearanceProperty(id);
    return pictureAt(p.writes.front(), p.attribute);
}

void Kalendo::Private::putPicture(Appearance id, const QPixmap& picture) {
    const AppearanceProperty& p = appearanceProperty(id);
    guard(qName(p), [&](kalendo::Result&) { put(p, QVariant::fromValue(picture)); });
}

void Kalendo::Private::applyDefaults() {
    // The initial look is every colour property's default; pictures start empty.
    for (const AppearanceProperty& p : appearanceProperties())
        if (p.isColour())
            for (const Slot& s : p.writes)
                setColourAt(s, p.attribute, p.defaultColour);
}

kalendo::Result Kalendo::Private::load(kalendo::PropertyStore& store) {
    return guard(QStringLiteral("UserControl_ReadProperties"), [&](kalendo::Result&) {
        // Each element reads its key on its own; a value of the wrong kind stops the load.
        // The values go to the elements directly: a load writes no property.
        for (const AppearanceProperty& p : appearanceProperties()) {
            const QString key = qName(p);
            const QVariant before = get(p);
            for (const Slot& s : p.loads) {
                if (p.isColour()) {
                    const QVariant stored =
                        store.read(key, storedColour(p.defaultColour, p.shortDefault));
                    setColourAt(s, p.attribute, checkedColour(colourFromVariant(stored)));
                } else {
                    setPictureAt(s, p.attribute, pictureFromVariant(store.read(key, QVariant())));
                }
            }
            const QVariant after = get(p);
            const bool changed = p.isColour() ? before != after
                                              : qvariant_cast<QPixmap>(before).cacheKey() !=
                                                    qvariant_cast<QPixmap>(after).cacheKey();
            if (changed)
                emit(q->*notificationOf(p.id))();
        }
    });
}

void Kalendo::Private::save(kalendo::PropertyStore& store) const {
    for (const AppearanceProperty& p : appearanceProperties()) {
        const QString key = qName(p);
        if (p.isColour()) {
            store.write(key, storedColour(colourAt(p.savedFrom, p.attribute), false),
                        storedColour(p.defaultColour, p.shortDefault));
        } else if (p.saveWhen == SaveWhen::Always ||
                   !pictureAt(p.savedFrom, Attribute::Picture).isNull()) {
            store.write(key, QVariant::fromValue(pictureAt(p.savedFrom, p.attribute)), QVariant());
        }
    }
}

kalendo::Result Kalendo::load(kalendo::PropertyStore& store) {
    return d->load(store);
}

kalendo::Result Kalendo::save(kalendo::PropertyStore& store) const {
    return d->guard(QStringLiteral("UserControl_WriteProperties"),
                    [&](kalendo::Result&) { d->save(store); });
}
