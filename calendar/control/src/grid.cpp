// The month grid as the control shows it, and the navigation around it.
#include "kalendo_p.h"

#include <utility>

using kalendo::Int16;
using namespace kalendo::detail;

namespace kalendo::detail {

void invalidPropertyValue() {
    throw EngineError(Error::InvalidPropertyValue);
}

void noSuchElement(int index) {
    throw EngineError(Error::NoSuchElement, std::to_string(index));
}

void invalidPicture() {
    throw EngineError(Error::InvalidPicture);
}

long long leadingNumber(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'-' || text[i] == u'+'))
        negative = text[i++] == u'-';
    long long n = 0;
    for (; i < text.size() && text[i] >= u'0' && text[i] <= u'9'; ++i) {
        n = n * 10 + (text[i].unicode() - u'0');
        if (n > 1'000'000'000)
            break; // far beyond any year; the 16-bit check fails it later
    }
    return negative ? -n : n;
}

std::string utf8(const QString& s) {
    return s.toStdString();
}

QString qs(const std::string& s) {
    return QString::fromStdString(s);
}

Date toDate(const QDate& d) {
    return Date::fromYmd(d.year(), unsigned(d.month()), unsigned(d.day()));
}

QDate toQDate(Date d) {
    return QDate(d.year(), int(d.month()), int(d.day()));
}

} // namespace kalendo::detail

long long Kalendo::Private::shownYear() const {
    return leadingNumber(solarYear->currentText());
}

long long Kalendo::Private::shownMonth() const {
    return leadingNumber(solarMonth->currentText());
}

void Kalendo::Private::setLunarTexts(const QString& year, const QString& month) {
    lunarYear->setEditText(year);
    lunarMonth->setEditText(month);
    lunarYearShown = year;
    lunarMonthShown = month;
}

void Kalendo::Private::fillMonth(Int16 year, Int16 month) {
    engine.setValue(); // the tables are refilled on every fill
    kalendo::MonthGridInput in;
    in.year = year;
    in.month = month;
    in.today = today();
    in.lunarYearText = utf8(lunarYear->currentText());
    in.lunarMonthText = utf8(lunarMonth->currentText());

    // The fill clears the cells once it knows the month's first and last day; an error
    // before that leaves the grid, its selection and highlight untouched.
    bool clears = true;
    try {
        (void)kalendo::Date::rolled(year, month, 1);
        (void)kalendo::Date::rolled(year, month + 1, 0);
    } catch (const kalendo::EngineError&) {
        clears = false;
    }
    // The title texts come last in a fill; those it does not reach keep what they show.
    for (std::string* title : {&grid.leapYearText, &grid.yearName, &grid.starSign,
                               &grid.yearWatermark, &grid.monthWatermark})
        title->clear();
    try {
        kalendo::fillMonthGrid(engine, in, grid);
    } catch (...) {
        applyGrid(clears); // what was filled stays on screen
        throw;
    }
    applyGrid(clears);
}

void Kalendo::Private::applyGrid(bool cleared) {
    for (int i = 0; i < kCells; ++i) {
        const kalendo::GridCell& cell = grid.cells[std::size_t(i)];
        Label* day = days[std::size_t(i)];
        day->setText(qs(cell.day));
        if (cleared) {
            day->setBorder(false);
            day->setOpaque(cell.today);
            day->setBackColour(cell.today ? kalendo::colour::kToday : 0x8000000F);
        }
        Label* caption = captions[std::size_t(i)];
        caption->setText(qs(cell.caption));
        caption->setForeColour(cell.colour);
    }
    const std::pair<Label*, const std::string*> titles[] = {{leapYear, &grid.leapYearText},
                                                            {yearName, &grid.yearName},
                                                            {starSign, &grid.starSign},
                                                            {yearWatermark, &grid.yearWatermark},
                                                            {monthWatermark, &grid.monthWatermark}};
    for (const auto& [label, title] : titles)
        if (!title->empty())
            label->setText(qs(*title));
    setLunarTexts(qs(grid.lunarYearText), qs(grid.lunarMonthText));
}

void Kalendo::Private::refreshMonth() {
    if (solarYear->currentText().trimmed().isEmpty() ||
        solarMonth->currentText().trimmed().isEmpty())
        return;
    const long long y = shownYear();
    fillMonth(kalendo::checkedInt16(y), kalendo::checkedInt16(shownMonth()));
    button(Button::PreviousYear)->setEnabled(y > 1901);
    button(Button::NextYear)->setEnabled(y < 2090);
}

void Kalendo::Private::previousYear() {
    solarYear->setEditText(QString::number(shownYear() - 1));
    refreshMonth();
    // The button stops at 1902; 1901 stays reachable through the list and the month button.
    if (shownYear() <= 1902)
        button(Button::PreviousYear)->setEnabled(false);
    button(Button::NextYear)->setEnabled(true);
    button(Button::NextMonth)->setEnabled(true);
}

void Kalendo::Private::nextYear() {
    solarYear->setEditText(QString::number(shownYear() + 1));
    refreshMonth();
    if (shownYear() >= 2090)
        button(Button::NextYear)->setEnabled(false);
    button(Button::PreviousYear)->setEnabled(true);
    button(Button::PreviousMonth)->setEnabled(true);
}

void Kalendo::Private::previousMonth() {
    long long m = shownMonth() - 1;
    const bool yearBack = button(Button::PreviousYear)->isEnabled();
    if (!yearBack && m <= 0) {
        button(Button::PreviousMonth)->setEnabled(false);
        return;
    }
    if (m == 0) {
        m = 12;
        if (yearBack)
            previousYear();
    }
    solarMonth->setEditText(QString::number(m));
    fillMonth(kalendo::checkedInt16(shownYear()), kalendo::checkedInt16(m));
    button(Button::NextMonth)->setEnabled(true);
}

void Kalendo::Private::nextMonth() {
    long long m = shownMonth() + 1;
    if (!button(Button::NextYear)->isEnabled() && m > 12) {
        button(Button::NextMonth)->setEnabled(false);
        return;
    }
    if (m == 13) {
        m = 1;
        nextYear();
    }
    solarMonth->setEditText(QString::number(m));
    fillMonth(kalendo::checkedInt16(shownYear()), kalendo::checkedInt16(m));
    button(Button::PreviousMonth)->setEnabled(true);
}

void Kalendo::Private::todayAction() {
    const kalendo::Date t = today();
    if (t.year() <= 1901 || t.year() >= 2090)
        return;
    solarYear->setEditText(QString::number(t.year()));
    solarMonth->setEditText(QString::number(t.month()));
    fillMonth(Int16(t.year()), Int16(t.month()));
}

void Kalendo::Private::solarMonthChosen() {
    if (solarYear->currentText().trimmed().isEmpty() ||
        solarMonth->currentText().trimmed().isEmpty())
        return;
    fillMonth(kalendo::checkedInt16(shownYear()), kalendo::checkedInt16(shownMonth()));
}

bool Kalendo::Private::lunarChoiceToSolar() {
    // The lunar day is today's day of the month; the conversion works on copies.
    auto convert = [this] {
        Int16 ly = kalendo::checkedInt16(leadingNumber(lunarYear->currentText()));
        Int16 lm = kalendo::checkedInt16(leadingNumber(lunarMonth->currentText()));
        Int16 ld = Int16(today().day());
        return engine.lunarToSolar(ly, lm, ld);
    };
    std::string g = convert();
    if (g.empty()) {
        // No Gregorian day matches: nothing changes, and the lunar lists show again what
        // belongs to the grid.
        setLunarTexts(lunarYearShown, lunarMonthShown);
        return false;
    }
    solarMonth->setEditText(QString::number(kalendo::parseDate(g).month()));
    g = convert();
    solarYear->setEditText(QString::number(kalendo::parseDate(g).year()));
    return true;
}

void Kalendo::Private::lunarYearChosen() {
    if (lunarChoiceToSolar())
        refreshMonth();
}

void Kalendo::Private::lunarMonthChosen() {
    if (lunarChoiceToSolar())
        fillMonth(kalendo::checkedInt16(shownYear()), kalendo::checkedInt16(shownMonth()));
}

void Kalendo::Private::dayPressed(int index, Qt::MouseButton button) {
    if (days[std::size_t(index)]->text().trimmed().isEmpty())
        return;
    if (button != Qt::LeftButton && button != Qt::RightButton)
        return;
    selectDay(index);
}

void Kalendo::Private::selectDay(int index) {
    for (Label* day : days)
        day->setBorder(false);
    days[std::size_t(index)]->setBorder(true);
    const QString text = solarYear->currentText() + u'-' + solarMonth->currentText() + u'-' +
                         days[std::size_t(index)]->text().trimmed();
    const kalendo::Date date = kalendo::parseDate(utf8(text));
    starSign->setText(qs(engine.starSign(date)));
    const std::string t = engine.solarToLunar(date);
    setLunarTexts(qs(t.substr(1, 4)), qs(t.substr(5, 2)));
}

int Kalendo::Private::selectedCell() const {
    for (int i = 0; i < kCells; ++i)
        if (days[std::size_t(i)]->hasBorder())
            return i;
    return -1;
}

kalendo::Date Kalendo::Private::selectedDate() const {
    const int i = selectedCell();
    const QString day = i < 0 ? QStringLiteral("1") : days[std::size_t(i)]->text().trimmed();
    return kalendo::parseDate(
        utf8(solarYear->currentText() + u'-' + solarMonth->currentText() + u'-' + day));
}

void Kalendo::Private::setSelectedDate(const QVariant& value) {
    const kalendo::Date date = kalendo::toDateTime(toValue(value)).date;
    // Only a day the grid can show is taken; anything else changes nothing.
    if (date.year() < 1901 || date.year() > 2090)
        invalidPropertyValue();
    solarYear->setEditText(QString::number(date.year()));
    solarMonth->setEditText(QString::number(date.month()));
    refreshMonth();
    const QString day = QString::number(date.day());
    for (int i = 0; i < kCells; ++i) {
        if (days[std::size_t(i)]->text() == day) {
            selectDay(i);
            break;
        }
    }
}

void Kalendo::Private::showRecord(int index) {
    if (index < 0 || index >= kCells)
        noSuchElement(index);
    // Visible only where the background is opaque, that is on today's highlight.
    days[std::size_t(index)]->setBackColour(0x8000000F);
}
