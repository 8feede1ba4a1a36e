// SPDX-License-Identifier: MIT
#pragma once

#include "kalendo/kalendo_export.h"
#include "kalendo/ole_colour.h"

#include <QDate>
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
// fixed at 568 x 344 pixels. Hosts drive it through the dispatch interface (call,
// propertyGet, propertyPut by the members' Chinese names) or through the typed methods.
// Nothing a host or the user does makes the control throw; failures come back as a Result
// and stay readable through lastError().
class KALENDO_EXPORT Kalendo : public QWidget {
    Q_OBJECT
    // The 22 appearance properties, for Qt Designer and the meta-object system. Each is also
    // reachable by its dispatch name (propertyNames()), under which it is persisted. Colours
    // are stored values: 0x00BBGGRR, or 0x800000nn for system colour nn.
    Q_PROPERTY(quint32 titleBackColour READ titleBackColour WRITE setTitleBackColour NOTIFY
                   titleBackColourChanged)
    Q_PROPERTY(quint32 titleSolarColour READ titleSolarColour WRITE setTitleSolarColour NOTIFY
                   titleSolarColourChanged)
    Q_PROPERTY(quint32 titleLunarColour READ titleLunarColour WRITE setTitleLunarColour NOTIFY
                   titleLunarColourChanged)
    Q_PROPERTY(quint32 titleOtherColour READ titleOtherColour WRITE setTitleOtherColour NOTIFY
                   titleOtherColourChanged)
    Q_PROPERTY(quint32 controlBackColour READ controlBackColour WRITE setControlBackColour NOTIFY
                   controlBackColourChanged)
    Q_PROPERTY(QPixmap backgroundPicture READ backgroundPicture WRITE setBackgroundPicture NOTIFY
                   backgroundPictureChanged)
    Q_PROPERTY(quint32 watermarkColour READ watermarkColour WRITE setWatermarkColour NOTIFY
                   watermarkColourChanged)
    Q_PROPERTY(quint32 weekdayBarBackColour READ weekdayBarBackColour WRITE setWeekdayBarBackColour
                   NOTIFY weekdayBarBackColourChanged)
    Q_PROPERTY(quint32 weekdayTextColour READ weekdayTextColour WRITE setWeekdayTextColour NOTIFY
                   weekdayTextColourChanged)
    Q_PROPERTY(quint32 sundayTextColour READ sundayTextColour WRITE setSundayTextColour NOTIFY
                   sundayTextColourChanged)
    Q_PROPERTY(quint32 saturdayTextColour READ saturdayTextColour WRITE setSaturdayTextColour NOTIFY
                   saturdayTextColourChanged)
    Q_PROPERTY(quint32 buttonBackColour READ buttonBackColour WRITE setButtonBackColour NOTIFY
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

    // --- Typed methods for C++ hosts (failures: nullopt or false, and lastError()) ---
    bool fillMonth(int year, int month);            // 返回阳历控件
    bool showRecord(int cellIndex);                 // 显视记录
    std::optional<QDate> selectedSolarDate() const; // 中阳历
    bool setSelectedSolarDate(const QDate& date);
    std::optional<QDate> selectedLunarDate() const; // 中阴历
    bool setSelectedLunarDate(const QDate& date);

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
    // name. The control raises no other event to its host.
    void propertyChanged(const QString& name);

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

private:
    struct Private;
    const std::unique_ptr<Private> d;
};

// The factory that hosts loading the library by file name look up.
extern "C" KALENDO_EXPORT QWidget* kalendo_create(QWidget* parent);
