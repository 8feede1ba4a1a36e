#include "kalendo_p.h"

#include <QPainter>
#include <QResizeEvent>

using kalendo::OleColour;
using namespace kalendo::detail;

namespace {

// The faces the control was drawn with, then faces that carry the same Chinese glyphs on
// machines without them; fontconfig and the platform substitute further when none is there.
QFont chineseFont(std::initializer_list<QString> faces, int pixelSize, bool bold) {
    QStringList families(faces);
    families << QStringLiteral("Noto Sans CJK SC") << QStringLiteral("Source Han Sans SC")
             << QStringLiteral("WenQuanYi Micro Hei") << QStringLiteral("Microsoft YaHei")
             << QStringLiteral("SimSun");
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize); // the geometry is in pixels, so the text is too
    font.setBold(bold);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

const QString kSong = QStringLiteral("宋体");

QFont songFont(int pixelSize, bool bold) {
    return chineseFont({kSong, QStringLiteral("SimSun"), QStringLiteral("Noto Serif CJK SC")},
                       pixelSize, bold);
}

QRect twips(int left, int top, int width, int height) {
    return QRect(px(left), px(top), px(width), px(height));
}

} // namespace

Kalendo::Private::Private(Kalendo* control, kalendo::TodayProvider provider)
    : q(control)
    , todayProvider(std::move(provider)) {}

kalendo::Date Kalendo::Private::today() const {
    QDate t;
    try {
        if (todayProvider)
            t = todayProvider();
    } catch (...) {
        // A host's clock that fails is no reason to fail; the system clock stands in.
    }
    if (!t.isValid() || t.year() < 1)
        t = QDate::currentDate();
    return toDate(t);
}

void Kalendo::Private::build() {
    q->setObjectName(QStringLiteral("Kalendo"));
    q->setFixedSize(kWidth, kHeight);
    // The control's default font, which the texts without a font of their own use.
    q->setFont(songFont(12, false));

    auto label = [this](const QString& name, const QRect& geometry) {
        auto* l = new Label(q);
        l->setObjectName(name);
        l->setGeometry(geometry);
        return l;
    };
    auto indexed = [](QWidget* w, int index) {
        w->setProperty("index", index);
    };

    // Stacking follows creation: the background picture at the back, the watermarks above
    // it, everything else in front.
    backgroundPicture = new PictureBox(q);
    backgroundPicture->setObjectName(QStringLiteral("背景图片1"));
    backgroundPicture->setGeometry(twips(0, 360, 8775, 5055));

    const QFont watermark =
        chineseFont({QStringLiteral("黑体"), QStringLiteral("SimHei")}, 133, true); // 99.75 pt
    yearWatermark = label(QStringLiteral("背景年分"), twips(240, 720, 7335, 1695));
    monthWatermark = label(QStringLiteral("背景月份"), twips(120, 2400, 7455, 1935));
    for (Label* l : {yearWatermark, monthWatermark}) {
        l->setFont(watermark);
        l->setForeColour(0xE0E0E0);
        l->setAlignment(Qt::AlignHCenter);
    }

    titleStrip = label(QStringLiteral("bTl"), twips(0, 0, 9615, 375));
    titleStrip->setBackColour(0x808080);
    titleStrip->setOpaque(true);

    const int titleLefts[] = {240, 1560, 2400, 3000, 4440, 5280};
    const int titleWidths[] = {495, 375, 375, 495, 375, 375};
    const QString titleTexts[] = {QStringLiteral("公历"), QStringLiteral("年"),
                                  QStringLiteral("月"),   QStringLiteral("农历"),
                                  QStringLiteral("年"),   QStringLiteral("月")};
    for (int i = 0; i < 6; ++i) {
        Label* l = label(QStringLiteral("Label1"), twips(titleLefts[i], 120, titleWidths[i], 255));
        indexed(l, i);
        l->setText(titleTexts[i]);
        l->setForeColour(i < 3 ? 0x80000012 : 0x00FFFF);
        titleLabels[std::size_t(i)] = l;
    }

    auto list = [this](const QString& name, const QRect& geometry) {
        auto* c = new QComboBox(q);
        c->setObjectName(name);
        c->setEditable(true);
        // A typed text is used as it stands: no completion, nothing added to the list.
        c->setInsertPolicy(QComboBox::NoInsert);
        c->setCompleter(nullptr);
        c->setGeometry(geometry);
        c->setMaxVisibleItems(12);
        // The boxes are narrow: a slim arrow leaves room for four digits.
        c->setStyleSheet(QStringLiteral("QComboBox { padding: 0px 0px 0px 2px; }"
                                        "QComboBox::drop-down { width: 12px; }"));
        return c;
    };
    solarYear = list(QStringLiteral("阳历年份"), twips(720, 40, 795, 300));
    solarMonth = list(QStringLiteral("阳历月份"), twips(1800, 40, 555, 300));
    lunarYear = list(QStringLiteral("农历年份"), twips(3480, 40, 870, 300));
    lunarMonth = list(QStringLiteral("农历月份"), twips(4680, 40, 555, 300));

    const QFont title = songFont(16, true); // 12 pt
    starSign = label(QStringLiteral("星座C"), twips(5640, 85, 855, 255));
    yearName = label(QStringLiteral("生肖"), twips(6600, 75, 1095, 255));
    leapYear = label(QStringLiteral("平润年"), twips(7920, 75, 615, 375));
    for (Label* l : {starSign, yearName, leapYear}) {
        l->setFont(title);
        l->setForeColour(0xFF0000);
    }
    starSign->setAlignment(Qt::AlignHCenter);
    yearName->setAlignment(Qt::AlignHCenter);

    const QString weekdayTexts[] = {
        QStringLiteral("日"), QStringLiteral("一"), QStringLiteral("二"), QStringLiteral("三"),
        QStringLiteral("四"), QStringLiteral("五"), QStringLiteral("六")};
    for (int c = 0; c < 7; ++c) {
        Label* l = label(QStringLiteral("星期"), twips(120 + 1080 * c, 480, 975, 195));
        indexed(l, c);
        l->setText(weekdayTexts[c]);
        l->setAlignment(Qt::AlignHCenter);
        l->setBackColour(0xC0C0C0);
        l->setOpaque(true);
        l->setForeColour(c == 0 ? 0x0000FF : c == 6 ? 0xFF0000 : 0);
        weekdays[std::size_t(c)] = l;
    }

    const QFont dayFont =
        chineseFont({QStringLiteral("幼圆"), QStringLiteral("YouYuan")}, 24, true); // 18 pt
    for (int i = 0; i < kCells; ++i) {
        const int r = i / 7, c = i % 7;
        Label* day =
            label(QStringLiteral("阳历日"), twips(360 + 1080 * c, 840 + 720 * r, 495, 375));
        indexed(day, i);
        day->setFont(dayFont);
        day->setAlignment(Qt::AlignHCenter);
        day->setForeColour(c == 0 ? 0x0000FF : c == 6 ? 0xFF0000 : 0x80000008);
        QObject::connect(day, &Label::pressed, q, [this, i](Qt::MouseButton b) {
            guard(QStringLiteral("阳历日_MouseDown"), [&](kalendo::Result&) { dayPressed(i, b); });
        });
        days[std::size_t(i)] = day;

        Label* caption =
            label(QStringLiteral("Label2"), twips(120 + 1080 * c, 1260 + 720 * r, 975, 195));
        indexed(caption, i);
        caption->setAlignment(Qt::AlignHCenter);
        caption->setForeColour(0);
        captions[std::size_t(i)] = caption;
    }

    const char* buttonNames[] = {"上年", "下年", "上月", "下月", "今天"};
    const char* buttonTexts[] = {"年↑", "年↓", "月↑", "月↓", "今天"};
    const int buttonTops[] = {960, 1440, 2280, 2760, 3600};
    const QFont buttonFont = songFont(14, false); // 10.5 pt
    for (int b = 0; b < 5; ++b) {
        auto* button = new PictureButton(q);
        button->setObjectName(QString::fromUtf8(buttonNames[b]));
        button->setText(QString::fromUtf8(buttonTexts[b]));
        button->setGeometry(twips(7800, buttonTops[b], 615, 375));
        button->setFont(buttonFont);
        button->setFocusPolicy(Qt::TabFocus);
        buttons[std::size_t(b)] = button;
    }

    auto action = [this](QAbstractButton* b, const char* source, void (Private::*handler)()) {
        QObject::connect(b, &QAbstractButton::clicked, q, [this, source, handler] {
            guard(QString::fromUtf8(source), [&](kalendo::Result&) { (this->*handler)(); });
        });
    };
    action(button(Button::PreviousYear), "上年_Click", &Private::previousYear);
    action(button(Button::NextYear), "下年_Click", &Private::nextYear);
    action(button(Button::PreviousMonth), "上月_Click", &Private::previousMonth);
    action(button(Button::NextMonth), "下月_Click", &Private::nextMonth);
    action(button(Button::Today), "今天_Click", &Private::todayAction);

    auto chosen = [this](QComboBox* c, const char* source, void (Private::*handler)()) {
        QObject::connect(c, &QComboBox::activated, q, [this, c, source, handler](int i) {
            // The chosen entry becomes the text, even when it was the current item already.
            c->setEditText(c->itemText(i));
            guard(QString::fromUtf8(source), [&](kalendo::Result&) { (this->*handler)(); });
        });
    };
    chosen(solarYear, "阳历年份_Click", &Private::refreshMonth);
    chosen(solarMonth, "阳历月份_Click", &Private::solarMonthChosen);
    chosen(lunarYear, "农历年份_Click", &Private::lunarYearChosen);
    chosen(lunarMonth, "农历月份_Click", &Private::lunarMonthChosen);
}

void Kalendo::Private::create() {
    QStringList months, years;
    for (int m = 1; m <= 12; ++m)
        months << QStringLiteral("%1").arg(m, 2, 10, QLatin1Char('0'));
    for (int y = 1901; y <= 2090; ++y)
        years << QString::number(y);
    solarMonth->addItems(months);
    lunarMonth->addItems(months);
    solarYear->addItems(years);
    lunarYear->addItems(years);

    const kalendo::Date t = today();
    solarYear->setEditText(QString::number(t.year()));
    solarMonth->setEditText(QString::number(t.month()));
    guard(QStringLiteral("UserControl_Initialize"), [&](kalendo::Result&) {
        fillMonth(kalendo::checkedInt16(t.year()), kalendo::checkedInt16(t.month()));
    });
}

Kalendo::Kalendo(QWidget* parent)
    : Kalendo(kalendo::TodayProvider(), parent) {}

Kalendo::Kalendo(kalendo::TodayProvider today, QWidget* parent)
    : QWidget(parent)
    , d(std::make_unique<Private>(this, std::move(today))) {
    d->build();
    d->create();
}

Kalendo::~Kalendo() = default;

void Kalendo::setTodayProvider(kalendo::TodayProvider today) {
    d->todayProvider = std::move(today);
}

void Kalendo::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kalendo::toQColor(d->controlBack, palette()));
}

void Kalendo::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The control keeps its size whatever its host asks for: height first, then width.
    if (event->size() != QSize(kWidth, kHeight))
        setFixedSize(kWidth, kHeight);
}

kalendo::Result Kalendo::lastError() const {
    return d->lastError;
}

void Kalendo::clearLastError() {
    d->lastError = {};
}

void Kalendo::Private::setError(const QString& source, int number, const QString& message) const {
    lastError = {};
    lastError.errorNumber = number;
    lastError.errorMessage = message;
    lastError.source = source;
}

QWidget* kalendo_create(QWidget* parent) {
    try {
        return new Kalendo(parent);
    } catch (...) {
        return nullptr; // nothing may cross the C boundary
    }
}
