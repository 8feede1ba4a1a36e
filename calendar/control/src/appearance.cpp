// SPDX-License-Identifier: MIT
// The appearance properties: their table, and the reads, writes, notifications, load and
// save that it drives.
#include "kalendo/property_store.h"
#include "kalendo_p.h"

using kalendo::OleColour;
using namespace kalendo::detail;
namespace system_colour = kalendo::system_colour;

namespace kalendo::detail {

namespace {

std::vector<Slot> one(Element e, int index = 0) {
    return {Slot{e, index}};
}

// Elements first ... last of an array, every step-th; a negative step counts down.
std::vector<Slot> range(Element e, int first, int last, int step = 1) {
    std::vector<Slot> elements;
    for (int i = first; step > 0 ? i <= last : i >= last; i += step)
        elements.push_back({e, i});
    return elements;
}

std::vector<Slot> operator+(std::vector<Slot> a, const std::vector<Slot>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

std::vector<AppearanceProperty> buildTable() {
    using A = Appearance;
    using E = Element;
    using K = Kalendo;
    const auto fore = Attribute::ForeColour;
    const auto back = Attribute::BackColour;
    const auto always = SaveWhen::Always;
    const std::vector<Slot> sameAsWrites; // a load applies the key where a write does
    // clang-format off
    // id, name, attribute, default,
    //     writes (a read reads the first), loads, saved from, when, short default, notification
    std::vector<AppearanceProperty> t = {
        {A::TitleBackColour, "标题背景颜色", back, 0x808080,
         one(E::TitleStrip), sameAsWrites, {E::TitleStrip}, always, false,
         &K::titleBackColourChanged},
        {A::TitleSolarColour, "标题阳历颜色", fore, system_colour::kButtonText,
         range(E::TitleLabel, 0, 2), range(E::TitleLabel, 2, 0, -1), {E::TitleLabel, 0}, always,
         false, &K::titleSolarColourChanged},
        {A::TitleLunarColour, "标题农历颜色", fore, 0x00FFFF,
         range(E::TitleLabel, 3, 5), sameAsWrites, {E::TitleLabel, 3}, always, false,
         &K::titleLunarColourChanged},
        // A load leaves the star sign's colour alone.
        {A::TitleOtherColour, "标题其它颜色", fore, 0xFF0000,
         one(E::YearName) + one(E::LeapYear) + one(E::StarSign),
         one(E::YearName) + one(E::LeapYear), {E::YearName}, always, false,
         &K::titleOtherColourChanged},
        {A::ControlBackColour, "控件背景颜色", back, system_colour::kButtonFace,
         one(E::Surface), sameAsWrites, {E::Surface}, always, false,
         &K::controlBackColourChanged},
        {A::BackgroundPicture, "背景图片", Attribute::Picture, 0,
         one(E::BackgroundPicture), sameAsWrites, {E::BackgroundPicture},
         SaveWhen::WithNormalPicture, false, &K::backgroundPictureChanged},
        {A::WatermarkColour, "背景字体颜色", fore, 0xE0E0E0,
         one(E::YearWatermark) + one(E::MonthWatermark), sameAsWrites, {E::YearWatermark},
         always, false, &K::watermarkColourChanged},
        // Read from Sunday's header, saved from Monday's.
        {A::WeekdayBarBackColour, "星期栏背景色", back, 0xC0C0C0,
         range(E::Weekday, 0, 6), sameAsWrites, {E::Weekday, 1}, always, false,
         &K::weekdayBarBackColourChanged},
        // The day numbers keep their colours.
        {A::WeekdayTextColour, "星期1到5字体色", fore, 0,
         range(E::Weekday, 1, 5), sameAsWrites, {E::Weekday, 1}, always, true,
         &K::weekdayTextColourChanged},
        {A::SundayTextColour, "星期天字体色", fore, 0x0000FF,
         one(E::Weekday, 0) + range(E::Day, 0, kCells - 1, 7), sameAsWrites, {E::Weekday, 0},
         always, false, &K::sundayTextColourChanged},
        {A::SaturdayTextColour, "星期六字体色", fore, 0xFF0000,
         one(E::Weekday, 6) + range(E::Day, 6, kCells - 1, 7), sameAsWrites, {E::Weekday, 6},
         always, false, &K::saturdayTextColourChanged},
        {A::ButtonBackColour, "按钮背景颜色", back, system_colour::kButtonFace,
         range(E::Button, 0, 4), sameAsWrites, {E::Button, 0}, always, false,
         &K::buttonBackColourChanged},
    };
    // clang-format on
    struct ButtonPicture {
        std::string_view normal, pressed;
        void (Kalendo::*normalChanged)();
        void (Kalendo::*pressedChanged)();
    };
    // In the order of Kalendo::Button.
    const ButtonPicture pictures[] = {
        {"按钮上年图片", "按钮按下上年图片", &K::previousYearPictureChanged,
         &K::previousYearPressedPictureChanged},
        {"按钮下年图片", "按钮按下下年图片", &K::nextYearPictureChanged,
         &K::nextYearPressedPictureChanged},
        {"按钮上月图片", "按钮按下上月图片", &K::previousMonthPictureChanged,
         &K::previousMonthPressedPictureChanged},
        {"按钮下月图片", "按钮按下下月图片", &K::nextMonthPictureChanged,
         &K::nextMonthPressedPictureChanged},
        {"按钮今天图片", "按钮按下今天图片", &K::todayPictureChanged,
         &K::todayPressedPictureChanged},
    };
    // clang-format off
    for (int b = 0; b < 5; ++b)
        t.push_back({buttonPictureOf(Kalendo::Button(b), false), pictures[b].normal,
                     Attribute::Picture, 0,
                     one(E::Button, b), sameAsWrites, {E::Button, b}, SaveWhen::WithNormalPicture,
                     false, pictures[b].normalChanged});
    // A pressed picture belongs to a button with a normal one; alone it is not saved.
    for (int b = 0; b < 5; ++b)
        t.push_back({buttonPictureOf(Kalendo::Button(b), true), pictures[b].pressed,
                     Attribute::PressedPicture, 0,
                     one(E::Button, b), sameAsWrites, {E::Button, b}, SaveWhen::WithNormalPicture,
                     false, pictures[b].pressedChanged});
    // clang-format on
    for (std::size_t i = 0; i < t.size(); ++i) {
        Q_ASSERT_X(t[i].id == Appearance(i), "appearance table", "rows follow Appearance");
        if (t[i].loads.empty())
            t[i].loads = t[i].writes;
    }
    return t;
}

} // namespace

const std::vector<AppearanceProperty>& appearanceProperties() {
    static const std::vector<AppearanceProperty> table = buildTable();
    return table;
}

const AppearanceProperty& appearanceProperty(Appearance id) {
    return appearanceProperties()[std::size_t(id)];
}

const AppearanceProperty* findAppearanceProperty(const QString& name) {
    const std::string key = utf8(name);
    for (const AppearanceProperty& p : appearanceProperties())
        if (p.name == key)
            return &p;
    return nullptr;
}

} // namespace kalendo::detail

namespace {

[[noreturn]] void invalidValue() {
    throw kalendo::EngineError(kalendo::Error::InvalidPropertyValue);
}

OleColour checkedColour(OleColour c) {
    if (!kalendo::isValidOleColour(c))
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
    emit q->propertyChanged(p.qName());
    emit(q->*p.changed)();
}

OleColour Kalendo::Private::colour(Appearance id) const {
    const AppearanceProperty& p = appearanceProperty(id);
    return colourAt(p.writes.front(), p.attribute);
}

bool Kalendo::Private::putColour(Appearance id, OleColour c) {
    const AppearanceProperty& p = appearanceProperty(id);
    return guard(p.qName(), [&](kalendo::Result&) { put(p, QVariant::fromValue<quint32>(c)); })
        .ok();
}

QPixmap Kalendo::Private::picture(Appearance id) const {
    const AppearanceProperty& p = appearanceProperty(id);
    return pictureAt(p.writes.front(), p.attribute);
}

void Kalendo::Private::putPicture(Appearance id, const QPixmap& picture) {
    const AppearanceProperty& p = appearanceProperty(id);
    guard(p.qName(), [&](kalendo::Result&) { put(p, QVariant::fromValue(picture)); });
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
            const QString key = p.qName();
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
                emit(q->*p.changed)();
        }
    });
}

void Kalendo::Private::save(kalendo::PropertyStore& store) const {
    for (const AppearanceProperty& p : appearanceProperties()) {
        const QString key = p.qName();
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
