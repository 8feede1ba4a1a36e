// SPDX-License-Identifier: MIT
#pragma once

#include "kalendo/kalendo_export.h"
#ifndef Q_MOC_RUN // moc need not read the engine's C++20 headers
#include "kalendo/lunar.h"
#endif
#include "kalendo/ole_colour.h"

#include <QColor>
#include <QDate>
#include <QList>
#include <QPixmap>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

namespace kalendo {

class PropertyStore;

// The outcome of a call through the dispatch interface: the result value, or the classic
// error number and message of the failure.
struct KALENDO_EXPORT Result {
    QVariant value;
    int errorNumber = 0;
    QString errorMessage;
    QString source; // the member or user action that failed
    bool ok() const { return errorNumber == 0; }
};

// Gives the control its idea of today; the system clock by default.
using TodayProvider = std::function<QDate()>;

} // namespace kalendo

// The Kalendo month calendar control: one Gregorian month with the Chinese lunar calendar,
// 568 x 344 pixels (or larger when scalable). Hosts drive it through the dispatch interface
// (call, propertyGet, propertyPut by the members' Chinese names) or through the typed
// methods, and hear of the user's clicks and moves through its signals. Nothing a host or
// the user does makes the control throw; failures come back as a Result and stay readable
// through lastError().
class KALENDO_EXPORT Kalendo : public QWidget {
    Q_OBJECT
    // The 22 appearance properties, for Qt Designer and the meta-object system. Each is also
    // reachable by its dispatch name (propertyNames()), under which it is persisted. As Qt
    // properties the colours are QColor, for Designer's colour editor; the control stores
    // them as 0x00BBGGRR, or 0x800000nn for system colour nn, which the dispatch and the
    // OleColour methods below read and write.
    Q_PROPERTY(QColor titleBackColour READ titleBackQColor WRITE setTitleBackColour NOTIFY
                   titleBackColourChanged)
    Q_PROPERTY(QColor titleSolarColour READ titleSolarQColor WRITE setTitleSolarColour NOTIFY
                   titleSolarColourChanged)
    Q_PROPERTY(QColor titleLunarColour READ titleLunarQColor WRITE setTitleLunarColour NOTIFY
                   titleLunarColourChanged)
    Q_PROPERTY(QColor titleOtherColour READ titleOtherQColor WRITE setTitleOtherColour NOTIFY
                   titleOtherColourChanged)
    Q_PROPERTY(QColor controlBackColour READ controlBackQColor WRITE setControlBackColour NOTIFY
                   controlBackColourChanged)
    Q_PROPERTY(QPixmap backgroundPicture READ backgroundPicture WRITE setBackgroundPicture NOTIFY
                   backgroundPictureChanged)
    Q_PROPERTY(QColor watermarkColour READ watermarkQColor WRITE setWatermarkColour NOTIFY
                   watermarkColourChanged)
    Q_PROPERTY(QColor weekdayBarBackColour READ weekdayBarBackQColor WRITE setWeekdayBarBackColour
                   NOTIFY weekdayBarBackColourChanged)
    Q_PROPERTY(QColor weekdayTextColour READ weekdayTextQColor WRITE setWeekdayTextColour NOTIFY
                   weekdayTextColourChanged)
    Q_PROPERTY(QColor sundayTextColour READ sundayTextQColor WRITE setSundayTextColour NOTIFY
                   sundayTextColourChanged)
    Q_PROPERTY(QColor saturdayTextColour READ saturdayTextQColor WRITE setSaturdayTextColour NOTIFY
                   saturdayTextColourChanged)
    Q_PROPERTY(QColor buttonBackColour READ buttonBackQColor WRITE setButtonBackColour NOTIFY
                   buttonBackColourChanged)
    Q_PROPERTY(QPixmap previousYearPicture READ previousYearPicture WRITE setPreviousYearPicture
                   NOTIFY previousYearPictureChanged)
    Q_PROPERTY(QPixmap nextYearPicture READ nextYearPicture WRITE setNextYearPicture NOTIFY
                   nextYearPictureChanged)
    Q_PROPERTY(QPixmap previousMonthPicture READ previousMonthPicture WRITE setPreviousMonthPicture
                   NOTIFY previousMonthPictureChanged)
    Q_PROPERTY(QPixmap nextMonthPicture READ nextMonthPicture WRITE setNextMonthPicture NOTIFY
                   nextMonthPictureChanged)
    Q_PROPERTY(
        QPixmap todayPicture READ todayPicture WRITE setTodayPicture NOTIFY todayPictureChanged)
    Q_PROPERTY(QPixmap previousYearPressedPicture READ previousYearPressedPicture WRITE
                   setPreviousYearPressedPicture NOTIFY previousYearPressedPictureChanged)
    Q_PROPERTY(QPixmap nextYearPressedPicture READ nextYearPressedPicture WRITE
                   setNextYearPressedPicture NOTIFY nextYearPressedPictureChanged)
    Q_PROPERTY(QPixmap previousMonthPressedPicture READ previousMonthPressedPicture WRITE
                   setPreviousMonthPressedPicture NOTIFY previousMonthPressedPictureChanged)
    Q_PROPERTY(QPixmap nextMonthPressedPicture READ nextMonthPressedPicture WRITE
                   setNextMonthPressedPicture NOTIFY nextMonthPressedPictureChanged)
    Q_PROPERTY(QPixmap todayPressedPicture READ todayPressedPicture WRITE setTodayPressedPicture
                   NOTIFY todayPressedPictureChanged)

    // Whether the control grows with the room its host gives it: cells, texts and pictures
    // scale together, keeping the layout's proportions. Off by default: the classic size.
    Q_PROPERTY(bool scalable READ isScalable WRITE setScalable NOTIFY scalableChanged)

public:
    enum class Button { PreviousYear, NextYear, PreviousMonth, NextMonth, Today };

    static constexpr int kWidth = 568;  // 8520 twips
    static constexpr int kHeight = 344; // 5160 twips

    explicit Kalendo(QWidget* parent = nullptr);
    explicit Kalendo(kalendo::TodayProvider today, QWidget* parent = nullptr);
    ~Kalendo() override;

    // --- The dispatch interface _Kalendo ---
    // Calls a method by name: every engine member and 返回阳历控件, 显视记录. By-reference
    // arguments that the member changes are written back into `args`.
    kalendo::Result call(const QString& member, QVariantList& args);
    kalendo::Result call(const QString& member, const QVariantList& args = {});
    // Reads or writes a property by name: the 22 appearance properties, 中阳历 and 中阴历.
    // Colours are integers (0x00BBGGRR or 0x800000nn; a QColor is accepted when writing),
    // pictures QPixmap (a null one for none), the two dates QDate (text "2008-4-23" is
    // accepted when writing).
    kalendo::Result propertyGet(const QString& name) const;
    kalendo::Result propertyPut(const QString& name, const QVariant& value);
    static QStringList methodNames();
    static QStringList propertyNames();
    // The most recent failure of a call, property access, load, save or user action.
    kalendo::Result lastError() const;
    void clearLastError();

    // The same interface through Qt's meta-object system, for hosts that hold only the
    // QWidget of kalendo_create(). A failure gives an invalid QVariant (or false); its
    // number and message are then lastErrorNumber() and lastErrorMessage().
    Q_INVOKABLE QVariant dynamicCall(const QString& member, const QVariantList& args = {});
    Q_INVOKABLE QVariant getProperty(const QString& name) const;
    Q_INVOKABLE bool putProperty(const QString& name, const QVariant& value);
    Q_INVOKABLE int lastErrorNumber() const;
    Q_INVOKABLE QString lastErrorMessage() const;

    // --- Persistence through the host's property store ---
    kalendo::Result load(kalendo::PropertyStore& store);
    kalendo::Result save(kalendo::PropertyStore& store) const;

    // --- What the user sees ---
    Q_INVOKABLE int shownYear() const;  // the Gregorian month on show, 0 before the first fill
    Q_INVOKABLE int shownMonth() const; // 1-12
    QDate selectedDay() const;          // the day with the selection frame; invalid without one
    // Days to mark with a dot, such as the days of a host's own events; kept across months.
    Q_INVOKABLE void setMarkedDays(const QList<QDate>& days);
    Q_INVOKABLE QList<QDate> markedDays() const;
    bool isScalable() const;
    void setScalable(bool scalable);

    // --- Typed methods for C++ hosts (failures: nullopt or false, and lastError()) ---
    bool fillMonth(int year, int month); // 返回阳历控件
    bool showRecord(int cellIndex);      // 显视记录
    // 中阳历: the selected day, or the shown month's first day; setting it shows and selects.
    std::optional<QDate> selectedSolarDate() const;
    bool setSelectedSolarDate(const QDate& date);
    // 中阴历: the same day as a lunar date (its dispatch value is the lunar date text of
    // 阳历返回农, e.g. "020080318"); setting it shows and selects that lunar day.
    std::optional<kalendo::LunarDate> selectedLunarDate() const;
    bool setSelectedLunarDate(const kalendo::LunarDate& date);

    void setValue();                                        // SetValue
    std::optional<int> lunarMonthDays(int year, int month); // lMonthDays
    std::optional<int> leapMonth(int year);                 // 闰哪月
    std::optional<int> leapMonthDays(int year);             // 农历y年闰月的天数
    std::optional<int> lunarYearDays(int year);             // 农历y年的总天数
    std::optional<QString> solarToLunar(const QDate& date); // 阳历返回农
    std::optional<QString> lunarToSolar(int& year, int& month, int& day); // 阴历转阳历
    std::optional<QString> yearStemBranch(int year);                      // 天干地
    std::optional<QString> zodiacAnimal(int year);                        // 返回属象
    std::optional<QString> lunarMonthName(int month);                     // 月份用农历表示
    std::optional<QString> lunarDayName(int day);                         // 日用农历表示
    std::optional<QDate> solarTerm(int year, int n);                      // sTerm
    std::optional<QString> solarTermOn(const QDate& date);                // 阳历返回节气
    std::optional<QString> solarFestival(const QString& key);             // 阳历节日
    std::optional<QString> lunarFestival(const QString& key);             // 阴历节日
    std::optional<QString> weekdayFestival(const QString& key);           // 星期节日
    std::optional<QString> weekdayKey(const QDate& date);                 // 第几个星期几
    std::optional<QString> easter(int year);                              // 复活节
    std::optional<QString> starSign(const QDate& date);                   // 星座

    // Appearance, the properties above. A colour setter fails on a value that is no colour.
    kalendo::OleColour titleBackColour() const; // the title strip
    bool setTitleBackColour(kalendo::OleColour c);
    kalendo::OleColour titleSolarColour() const; // the Gregorian title captions
    bool setTitleSolarColour(kalendo::OleColour c);
    kalendo::OleColour titleLunarColour() const; // the lunar title captions
    bool setTitleLunarColour(kalendo::OleColour c);
    kalendo::OleColour titleOtherColour() const; // year name, leap year, star sign
    bool setTitleOtherColour(kalendo::OleColour c);
    kalendo::OleColour controlBackColour() const; // the control surface
    bool setControlBackColour(kalendo::OleColour c);
    QPixmap backgroundPicture() const; // behind the grid
    void setBackgroundPicture(const QPixmap& picture);
    kalendo::OleColour watermarkColour() const; // the year and month watermark
    bool setWatermarkColour(kalendo::OleColour c);
    kalendo::OleColour weekdayBarBackColour() const; // the weekday header
    bool setWeekdayBarBackColour(kalendo::OleColour c);
    kalendo::OleColour weekdayTextColour() const; // Monday to Friday in the header
    bool setWeekdayTextColour(kalendo::OleColour c);
    kalendo::OleColour sundayTextColour() const; // Sunday's header and day numbers
    bool setSundayTextColour(kalendo::OleColour c);
    kalendo::OleColour saturdayTextColour() const; // Saturday's header and day numbers
    bool setSaturdayTextColour(kalendo::OleColour c);
    kalendo::OleColour buttonBackColour() const; // the five buttons
    bool setButtonBackColour(kalendo::OleColour c);
    // The colours as Qt properties: a system colour reads as the palette's colour; a
    // written QColor is stored as 0x00BBGGRR.
    QColor titleBackQColor() const;
    void setTitleBackColour(const QColor& c);
    QColor titleSolarQColor() const;
    void setTitleSolarColour(const QColor& c);
    QColor titleLunarQColor() const;
    void setTitleLunarColour(const QColor& c);
    QColor titleOtherQColor() const;
    void setTitleOtherColour(const QColor& c);
    QColor controlBackQColor() const;
    void setControlBackColour(const QColor& c);
    QColor watermarkQColor() const;
    void setWatermarkColour(const QColor& c);
    QColor weekdayBarBackQColor() const;
    void setWeekdayBarBackColour(const QColor& c);
    QColor weekdayTextQColor() const;
    void setWeekdayTextColour(const QColor& c);
    QColor sundayTextQColor() const;
    void setSundayTextColour(const QColor& c);
    QColor saturdayTextQColor() const;
    void setSaturdayTextColour(const QColor& c);
    QColor buttonBackQColor() const;
    void setButtonBackColour(const QColor& c);
    // Each button's picture, and the one it shows while held down.
    QPixmap previousYearPicture() const;
    void setPreviousYearPicture(const QPixmap& picture);
    QPixmap nextYearPicture() const;
    void setNextYearPicture(const QPixmap& picture);
    QPixmap previousMonthPicture() const;
    void setPreviousMonthPicture(const QPixmap& picture);
    QPixmap nextMonthPicture() const;
    void setNextMonthPicture(const QPixmap& picture);
    QPixmap todayPicture() const;
    void setTodayPicture(const QPixmap& picture);
    QPixmap previousYearPressedPicture() const;
    void setPreviousYearPressedPicture(const QPixmap& picture);
    QPixmap nextYearPressedPicture() const;
    void setNextYearPressedPicture(const QPixmap& picture);
    QPixmap previousMonthPressedPicture() const;
    void setPreviousMonthPressedPicture(const QPixmap& picture);
    QPixmap nextMonthPressedPicture() const;
    void setNextMonthPressedPicture(const QPixmap& picture);
    QPixmap todayPressedPicture() const;
    void setTodayPressedPicture(const QPixmap& picture);
    // The same pictures by button.
    QPixmap buttonPicture(Button button) const;
    void setButtonPicture(Button button, const QPixmap& picture);
    QPixmap buttonPressedPicture(Button button) const;
    void setButtonPressedPicture(Button button, const QPixmap& picture);

    // The clock the fills read today from.
    void setTodayProvider(kalendo::TodayProvider today);

signals:
    // The host container's property-changed notification: once per property write, after
    // every element the property touches has its new value, with the property's dispatch
    // name.
    void propertyChanged(const QString& name);

    // A click with the left button anywhere on a day's cell (number or lunar line).
    void clicked(QDate date);
    // A double click on a day's cell.
    void activated(QDate date);
    // The selected day changed: selectedDay() tells which, or that there is none.
    void selectionChanged();
    // Another month is on show.
    void currentPageChanged(int year, int month);
    void scalableChanged(bool scalable);

    // The Qt notifications of the appearance properties: after each write, and after a
    // load that changed the value.
    void titleBackColourChanged();
    void titleSolarColourChanged();
    void titleLunarColourChanged();
    void titleOtherColourChanged();
    void controlBackColourChanged();
    void backgroundPictureChanged();
    void watermarkColourChanged();
    void weekdayBarBackColourChanged();
    void weekdayTextColourChanged();
    void sundayTextColourChanged();
    void saturdayTextColourChanged();
    void buttonBackColourChanged();
    void previousYearPictureChanged();
    void nextYearPictureChanged();
    void previousMonthPictureChanged();
    void nextMonthPictureChanged();
    void todayPictureChanged();
    void previousYearPressedPictureChanged();
    void nextYearPressedPictureChanged();
    void previousMonthPressedPictureChanged();
    void nextMonthPressedPictureChanged();
    void todayPressedPictureChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    struct Private;
    const std::unique_ptr<Private> d;
};

// The factory that hosts loading the library by file name look up.
extern "C" KALENDO_EXPORT QWidget* kalendo_create(QWidget* parent);
