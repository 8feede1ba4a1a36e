// SPDX-License-Identifier: MIT
#pragma once

#include "appearance_table.h"
#include "elements_p.h"
#include "kalendo/control.h"
#include "logging_p.h"
#include "month_view.h"

#include <QComboBox>
#include <QString>
#include <array>
#include <kalendo/dispatch.h>
#include <kalendo/engine.h>
#include <kalendo/errors.h>
#include <kalendo/month_grid.h>
#include <optional>
#include <string>
#include <vector>

namespace kalendo::detail {

std::string utf8(const QString& s);
QString qs(const std::string& s);
// A property's dispatch name and persisted key, as Qt hands it to hosts.
QString qName(const AppearanceProperty& p);

Value toValue(const QVariant& v);
QVariant toVariant(const Value& v);
Date toDate(const QDate& d);
QDate toQDate(Date d);

// A stored colour read from a variant: integers and decimal texts; anything else is the
// wrong kind of value.
OleColour colourFromVariant(const QVariant& v);
// A picture read from a variant: a pixmap, an image, image data, or nothing.
QPixmap pictureFromVariant(const QVariant& v);

// A lunar date as the nine-character text of 阳历返回农: leap flag, YYYY, MM, DD.
QString lunarDateText(const LunarDate& date);
// The lunar date such a text names, or nothing when the text is not one.
std::optional<LunarDate> lunarDateFromText(const QString& text);

// The names of the control's own methods and date properties on the dispatch interface.
extern const QString kFillMethod;
extern const QString kRecordMethod;
extern const QString kSolarDateProperty;
extern const QString kLunarDateProperty;

} // namespace kalendo::detail

struct KALENDO_NO_EXPORT Kalendo::Private {
    using Label = kalendo::detail::Label;
    using PictureButton = kalendo::detail::PictureButton;
    using List = kalendo::MonthView::List;

    explicit Private(Kalendo* control, kalendo::TodayProvider todayProvider);
    void build();
    void create();

    kalendo::Date today() const;

    // Runs one member, property access or user action; an error ends it and becomes the
    // result, which is also kept as the last error. Nothing it throws goes further.
    template <class F> kalendo::Result guard(const QString& source, F&& body) const;
    void setError(const QString& source, int number, const QString& message) const;
    // Runs a user action or host call on the month view, then shows the view and tells the
    // host what changed.
    template <class F> kalendo::Result act(const QString& source, F&& body);
    void render();
    void announce();

    // --- Size: every element's place at the classic size, scaled when scalable ---
    void recordLayout();
    void relayout();
    QRect scaled(const QRect& r) const;
    int cellAt(const QPoint& pos) const; // the day cell under a point, -1 for none

    // --- Appearance, driven by the property table ---
    Label* labelAt(kalendo::detail::Slot slot) const; // nullptr: the slot is no label
    kalendo::OleColour colourAt(kalendo::detail::Slot slot, kalendo::detail::Attribute a) const;
    void setColourAt(kalendo::detail::Slot slot, kalendo::detail::Attribute a,
                     kalendo::OleColour c);
    QPixmap pictureAt(kalendo::detail::Slot slot, kalendo::detail::Attribute a) const;
    void setPictureAt(kalendo::detail::Slot slot, kalendo::detail::Attribute a, const QPixmap& p);
    QVariant get(const kalendo::detail::AppearanceProperty& p) const;
    // Sets every element the property writes, then notifies; throws on a bad value.
    void put(const kalendo::detail::AppearanceProperty& p, const QVariant& value);
    void notify(const kalendo::detail::AppearanceProperty& p);
    kalendo::OleColour colour(kalendo::detail::Appearance id) const;
    bool putColour(kalendo::detail::Appearance id, kalendo::OleColour c);
    QPixmap picture(kalendo::detail::Appearance id) const;
    void putPicture(kalendo::detail::Appearance id, const QPixmap& p);
    void applyDefaults();

    kalendo::Result load(kalendo::PropertyStore& store);
    void save(kalendo::PropertyStore& store) const;

    Kalendo* q;
    kalendo::TodayProvider todayProvider;
    kalendo::Engine engine;
    kalendo::MonthView view;
    kalendo::MonthGrid rendered; // the texts the labels were last given
    int announcedYear = 0;       // the month and selection the host last heard of
    int announcedMonth = 0;
    std::optional<kalendo::Date> announcedSelection;
    int pressedCell = -1; // where the left button went down, for clicked()
    bool shownBefore = false;

    struct Placed {
        QWidget* widget;
        QRect geometry; // at the classic size
        int pixelSize;  // of its font, at the classic size
    };
    std::vector<Placed> layout;
    bool scalable = false;
    double scale = 1.0;
    mutable kalendo::Result lastError;
    kalendo::OleColour controlBack = kalendo::system_colour::kButtonFace;

    kalendo::detail::PictureBox* backgroundPicture = nullptr;
    Label* yearWatermark = nullptr;
    Label* monthWatermark = nullptr;
    Label* titleStrip = nullptr;
    std::array<Label*, 6> titleLabels{};
    std::array<QComboBox*, 4> lists{}; // in the order of MonthView::List
    std::array<bool, 4> typed{};       // typed into since the text was last applied
    Label* starSign = nullptr;
    Label* yearName = nullptr;
    Label* leapYear = nullptr;
    std::array<Label*, 7> weekdays{};
    std::array<Label*, kalendo::detail::kCells> days{};
    std::array<Label*, kalendo::detail::kCells> captions{};
    std::array<kalendo::detail::Dot*, kalendo::detail::kCells> marks{};
    std::array<PictureButton*, 5> buttons{};

    QComboBox* list(List l) const { return lists[std::size_t(l)]; }
    PictureButton* button(Kalendo::Button b) const { return buttons[std::size_t(b)]; }
};

template <class F> kalendo::Result Kalendo::Private::guard(const QString& source, F&& body) const {
    kalendo::Result result;
    try {
        body(result);
        return result;
    } catch (const kalendo::EngineError& e) {
        qCDebug(lcKalendo) << source << "failed with error" << e.number() << e.what();
        setError(source, e.number(), QString::fromUtf8(e.what()));
    } catch (const std::bad_alloc&) {
        qCWarning(lcKalendo) << source << "ran out of memory";
        setError(
            source, int(kalendo::Error::OutOfMemory),
            kalendo::detail::qs(std::string(kalendo::defaultMessage(kalendo::Error::OutOfMemory))));
    } catch (const std::exception& e) {
        qCWarning(lcKalendo) << source << "failed:" << e.what();
        setError(source, int(kalendo::Error::Internal), QString::fromUtf8(e.what()));
    } catch (...) {
        qCWarning(lcKalendo) << source << "failed with an unknown exception";
        setError(
            source, int(kalendo::Error::Internal),
            kalendo::detail::qs(std::string(kalendo::defaultMessage(kalendo::Error::Internal))));
    }
    return lastError;
}

template <class F> kalendo::Result Kalendo::Private::act(const QString& source, F&& body) {
    const kalendo::Result r = guard(source, [&](kalendo::Result& result) { body(result); });
    // The view is shown whatever became of the action: a failed one has put its lists back.
    const kalendo::Result shown = guard(source, [&](kalendo::Result&) { render(); });
    announce();
    return shown.ok() ? r : shown;
}
