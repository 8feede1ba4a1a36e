#pragma once

#include "elements_p.h"
#include "kalendo/control.h"

#include <QComboBox>
#include <QString>
#include <array>
#include <kalendo/dispatch.h>
#include <kalendo/engine.h>
#include <kalendo/errors.h>
#include <kalendo/month_grid.h>
#include <string>

namespace kalendo::detail {

constexpr int kCells = MonthGrid::kCells;

// Errors of the control itself, with the numbers hosts know.
[[noreturn]] void invalidPropertyValue();   // 380
[[noreturn]] void noSuchElement(int index); // 340
[[noreturn]] void invalidPicture();         // 481

// "The number in a text": its leading decimal number, 0 when it has none.
long long leadingNumber(const QString& text);
// A decimal integer text, as a stored number may come back from a text store.
long long toInteger(const QString& text);

std::string utf8(const QString& s);
QString qs(const std::string& s);

Value toValue(const QVariant& v);
QVariant toVariant(const Value& v);
Date toDate(const QDate& d);
QDate toQDate(Date d);

// A stored colour read from a variant: integers and decimal texts; anything else is the
// wrong kind of value.
OleColour colourFromVariant(const QVariant& v);
// A picture read from a variant: a pixmap, an image, image data, or nothing.
QPixmap pictureFromVariant(const QVariant& v);

} // namespace kalendo::detail

struct KALENDO_NO_EXPORT Kalendo::Private {
    using Label = kalendo::detail::Label;
    using PictureButton = kalendo::detail::PictureButton;

    explicit Private(Kalendo* control, kalendo::TodayProvider todayProvider);
    void build();
    void create();

    kalendo::Date today() const;

    // Runs one member, property access or user action; an error ends it and becomes the
    // result, which is also kept as the last error.
    template <class F> kalendo::Result guard(const QString& source, F&& body) const;
    void setError(const QString& source, int number, const QString& message) const;

    // The month grid and navigation; these throw kalendo::EngineError.
    void fillMonth(kalendo::Int16 year, kalendo::Int16 month);
    void applyGrid(bool cleared);
    void refreshMonth();
    void previousYear();
    void nextYear();
    void previousMonth();
    void nextMonth();
    void todayAction();
    void solarMonthChosen();
    bool lunarChoiceToSolar(); // steps shared by both lunar choices; false: no such day
    void lunarYearChosen();
    void lunarMonthChosen();
    void dayPressed(int index, Qt::MouseButton button);
    void selectDay(int index);
    int selectedCell() const;
    kalendo::Date selectedDate() const;
    void setSelectedDate(const QVariant& value);
    void showRecord(int index);

    long long shownYear() const;
    long long shownMonth() const;
    void setLunarTexts(const QString& year, const QString& month);

    // Appearance: the property table.
    struct Property {
        QString name;
        std::function<QVariant(const Private&)> get;
        std::function<void(Private&, const QVariant&)> set;
    };
    static const std::vector<Property>& properties();
    static const Property* findProperty(const QString& name);
    void setColours(std::initializer_list<Label*> labels, const QVariant& value, bool fore);

    kalendo::Result load(kalendo::PropertyStore& store);
    void save(kalendo::PropertyStore& store) const;

    Kalendo* q;
    kalendo::TodayProvider todayProvider;
    kalendo::Engine engine;
    kalendo::MonthGrid grid;
    mutable kalendo::Result lastError;
    kalendo::OleColour controlBack = 0x8000000F;
    // The lunar texts the control last set, restored when a lunar choice finds no day.
    QString lunarYearShown;
    QString lunarMonthShown;

    kalendo::detail::PictureBox* backgroundPicture = nullptr;
    Label* yearWatermark = nullptr;
    Label* monthWatermark = nullptr;
    Label* titleStrip = nullptr;
    std::array<Label*, 6> titleLabels{};
    QComboBox* solarYear = nullptr;
    QComboBox* solarMonth = nullptr;
    QComboBox* lunarYear = nullptr;
    QComboBox* lunarMonth = nullptr;
    Label* starSign = nullptr;
    Label* yearName = nullptr;
    Label* leapYear = nullptr;
    std::array<Label*, 7> weekdays{};
    std::array<Label*, kalendo::detail::kCells> days{};
    std::array<Label*, kalendo::detail::kCells> captions{};
    std::array<PictureButton*, 5> buttons{};

    PictureButton* button(Kalendo::Button b) const { return buttons[std::size_t(b)]; }
};

template <class F> kalendo::Result Kalendo::Private::guard(const QString& source, F&& body) const {
    kalendo::Result result;
    try {
        body(result);
        return result;
    } catch (const kalendo::EngineError& e) {
        setError(source, e.number(), QString::fromUtf8(e.what()));
    } catch (const std::bad_alloc&) {
        setError(source, 7, QStringLiteral("Out of memory"));
    } catch (const std::exception& e) {
        setError(source, 51, QString::fromUtf8(e.what()));
    }
    return lastError;
}
