// SPDX-License-Identifier: MIT
#include "kalendo_p.h"

#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>

// Warnings by default; the failed user actions on request.
Q_LOGGING_CATEGORY(lcKalendo, "kalendo.control", QtInfoMsg)

using kalendo::OleColour;
using namespace kalendo::detail;
namespace system_colour = kalendo::system_colour;

namespace kalendo::detail {

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
    , todayProvider(std::move(provider))
    , view(engine, [this] { return today(); }) {}

kalendo::Date Kalendo::Private::today() const {
    QDate t;
    try {
        if (todayProvider)
            t = todayProvider();
    } catch (const std::exception& e) {
        // A host's clock that fails is no reason to fail; the system clock stands in.
        qCWarning(lcKalendo) << "the host's clock failed:" << e.what();
    } catch (...) {
        qCWarning(lcKalendo) << "the host's clock failed";
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
        l->setAlignment(Qt::AlignHCenter);
    }

    titleStrip = label(QStringLiteral("bTl"), twips(0, 0, 9615, 375));
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
        titleLabels[std::size_t(i)] = l;
    }

    auto makeList = [this](const QString& name, const QRect& geometry, List l) {
        auto* c = new ListBox(q);
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
        for (const std::string& entry : kalendo::MonthView::entries(l))
            c->addItem(qs(entry));
        c->setOpeningEntry([this, l] { return view.entryIndex(l); });
        lists[std::size_t(l)] = c;
    };
    makeList(QStringLiteral("阳历年份"), twips(720, 40, 795, 300), List::SolarYear);
    makeList(QStringLiteral("阳历月份"), twips(1800, 40, 555, 300), List::SolarMonth);
    makeList(QStringLiteral("农历年份"), twips(3480, 40, 870, 300), List::LunarYear);
    makeList(QStringLiteral("农历月份"), twips(4680, 40, 555, 300), List::LunarMonth);

    const QFont title = songFont(16, true); // 12 pt
    starSign = label(QStringLiteral("星座C"), twips(5640, 85, 855, 255));
    yearName = label(QStringLiteral("生肖"), twips(6600, 75, 1095, 255));
    leapYear = label(QStringLiteral("平润年"), twips(7920, 75, 615, 375));
    for (Label* l : {starSign, yearName, leapYear})
        l->setFont(title);
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
        l->setOpaque(true);
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
        // Weekend cells take their colours from the appearance defaults below.
        day->setForeColour(system_colour::kWindowText);
        days[std::size_t(i)] = day;

        Label* caption =
            label(QStringLiteral("Label2"), twips(120 + 1080 * c, 1260 + 720 * r, 975, 195));
        indexed(caption, i);
        caption->setAlignment(Qt::AlignHCenter);
        caption->setForeColour(kalendo::colour::kBlack);
        captions[std::size_t(i)] = caption;

        // Beside the number, in the cell's free room: a host's mark on the day.
        auto* mark = new kalendo::detail::Dot(q);
        mark->setObjectName(QStringLiteral("标记"));
        mark->setGeometry(twips(360 + 1080 * c + 525, 840 + 720 * r + 60, 90, 90));
        indexed(mark, i);
        mark->hide();
        marks[std::size_t(i)] = mark;
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
        QObject::connect(button, &QAbstractButton::clicked, q, [this, button, b] {
            act(button->objectName() + QStringLiteral("_Click"),
                [&](kalendo::Result&) { view.press(kalendo::MonthView::Button(b)); });
        });
        buttons[std::size_t(b)] = button;
    }

    for (std::size_t l = 0; l < lists.size(); ++l) {
        QComboBox* c = lists[l];
        const List which = List(l);
        const QString source = c->objectName() + QStringLiteral("_Click");
        // Whatever the box holds, typed or set by a host, is the list's text.
        QObject::connect(c, &QComboBox::editTextChanged, q, [this, which, c](const QString& t) {
            guard(c->objectName() + QStringLiteral("_Change"),
                  [&](kalendo::Result&) { view.type(which, utf8(t)); });
        });
        QObject::connect(c, &QComboBox::activated, q, [this, c, which, l, source](int i) {
            typed[l] = false;
            act(source, [&](kalendo::Result&) { view.choose(which, utf8(c->itemText(i))); });
        });
        // Enter, or leaving the box after typing, applies the typed text as a choice.
        QObject::connect(c->lineEdit(), &QLineEdit::textEdited, q, [this, l] { typed[l] = true; });
        QObject::connect(
            c->lineEdit(), &QLineEdit::editingFinished, q, [this, c, which, l, source] {
                if (!typed[l])
                    return;
                typed[l] = false;
                act(source, [&](kalendo::Result&) { view.choose(which, utf8(c->currentText())); });
            });
    }

    applyDefaults();
    recordLayout();
    // The control takes the focus when it opens (see showEvent), not its year box, so that
    // a first arrow key or wheel turn moves nothing by surprise.
    q->setFocusPolicy(Qt::ClickFocus);
}

void Kalendo::Private::recordLayout() {
    layout.clear();
    for (QWidget* w : q->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        layout.push_back({w, w->geometry(), w->font().pixelSize()});
}

QRect Kalendo::Private::scaled(const QRect& r) const {
    auto at = [this](int v) {
        return int(std::lround(v * scale));
    };
    return QRect(QPoint(at(r.left()), at(r.top())), QPoint(at(r.right() + 1), at(r.bottom() + 1)))
        .adjusted(0, 0, -1, -1);
}

void Kalendo::Private::relayout() {
    const double s =
        scalable
            ? std::max(1.0, std::min(q->width() / double(kWidth), q->height() / double(kHeight)))
            : 1.0;
    if (s == scale)
        return;
    scale = s;
    for (const Placed& p : layout) {
        p.widget->setGeometry(scaled(p.geometry));
        if (p.pixelSize > 0) {
            QFont f = p.widget->font();
            f.setPixelSize(std::max(1, int(std::lround(p.pixelSize * s))));
            p.widget->setFont(f);
        }
    }
}

int Kalendo::Private::cellAt(const QPoint& pos) const {
    // A cell is its column's width and its row's height: the number and the lunar line and
    // the room around them.
    for (int i = 0; i < kCells; ++i)
        if (scaled(twips(120 + 1080 * (i % 7), 840 + 720 * (i / 7), 1080, 720)).contains(pos))
            return i;
    return -1;
}

void Kalendo::Private::announce() {
    const int year = view.hasMonth() ? view.year() : 0;
    const int month = view.hasMonth() ? view.month() : 0;
    const std::optional<kalendo::Date> selection = view.cellDate(view.selectedCell());
    if (year != announcedYear || month != announcedMonth) {
        announcedYear = year;
        announcedMonth = month;
        emit q->currentPageChanged(year, month);
    }
    if (selection != announcedSelection) {
        announcedSelection = selection;
        emit q->selectionChanged();
    }
}

void Kalendo::Private::create() {
    act(QStringLiteral("UserControl_Initialize"), [&](kalendo::Result&) { view.create(); });
}

namespace {

// Sets a label's text when the model's text differs from what the label was last given:
// comparing the UTF-8 texts is far cheaper than converting each for every repaint.
void showText(Label* label, const std::string& text, std::string& shown) {
    if (text == shown)
        return;
    label->setText(qs(text));
    shown = text;
}

} // namespace

void Kalendo::Private::render() {
    const kalendo::MonthGrid& grid = view.grid();
    const int selected = view.selectedCell();
    for (int i = 0; i < kCells; ++i) {
        const kalendo::GridCell& cell = grid.cells[std::size_t(i)];
        kalendo::GridCell& was = rendered.cells[std::size_t(i)];
        Label* day = days[std::size_t(i)];
        showText(day, cell.day, was.day);
        day->setBorder(i == selected);
        marks[std::size_t(i)]->setVisible(view.isMarked(i));
        marks[std::size_t(i)]->setColour(day->foreColour());
        day->setOpaque(cell.today);
        // 显视记录's colour shows only where the background is opaque: on today's number.
        day->setBackColour(cell.today && !view.isRecorded(i) ? kalendo::colour::kToday
                                                             : system_colour::kButtonFace);
        Label* caption = captions[std::size_t(i)];
        showText(caption, cell.caption, was.caption);
        caption->setForeColour(cell.colour);
    }
    showText(leapYear, grid.leapYearText, rendered.leapYearText);
    showText(yearName, grid.yearName, rendered.yearName);
    showText(starSign, grid.starSign, rendered.starSign);
    showText(yearWatermark, grid.yearWatermark, rendered.yearWatermark);
    showText(monthWatermark, grid.monthWatermark, rendered.monthWatermark);

    for (std::size_t l = 0; l < lists.size(); ++l) {
        QComboBox* c = lists[l];
        const QString text = qs(view.text(List(l)));
        // The current entry follows the text, so that a Down key or a wheel step moves on
        // from the shown year or month and not from the list's first entry.
        const int entry = view.entryIndex(List(l));
        if (c->currentText() != text || c->currentIndex() != entry) {
            const QSignalBlocker blocker(c);
            c->setCurrentIndex(entry);
            c->setEditText(text);
        }
    }
    for (std::size_t b = 0; b < buttons.size(); ++b)
        buttons[b]->setEnabled(view.isEnabled(kalendo::MonthView::Button(b)));
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
    // Unless scalable, the control keeps its size whatever its host asks for.
    if (!d->scalable && event->size() != QSize(kWidth, kHeight))
        setFixedSize(kWidth, kHeight);
    d->relayout();
}

void Kalendo::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!d->shownBefore && !window()->focusWidget())
        setFocus(Qt::OtherFocusReason);
    d->shownBefore = true;
}

void Kalendo::mousePressEvent(QMouseEvent* event) {
    const int cell = d->cellAt(event->position().toPoint());
    if (cell < 0)
        return QWidget::mousePressEvent(event);
    const Qt::MouseButton b = event->button();
    const auto mouse = b == Qt::LeftButton    ? kalendo::MonthView::Mouse::Left
                       : b == Qt::RightButton ? kalendo::MonthView::Mouse::Right
                                              : kalendo::MonthView::Mouse::Other;
    d->pressedCell = b == Qt::LeftButton ? cell : -1;
    d->act(QStringLiteral("阳历日_MouseDown"),
           [&](kalendo::Result&) { d->view.pressDay(cell, mouse); });
    event->accept();
}

void Kalendo::mouseReleaseEvent(QMouseEvent* event) {
    const int cell = std::exchange(d->pressedCell, -1);
    if (event->button() != Qt::LeftButton || cell < 0 ||
        d->cellAt(event->position().toPoint()) != cell)
        return QWidget::mouseReleaseEvent(event);
    if (const std::optional<kalendo::Date> date = d->view.cellDate(cell))
        emit clicked(toQDate(*date));
}

void Kalendo::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    if (const std::optional<kalendo::Date> date =
            d->view.cellDate(d->cellAt(event->position().toPoint())))
        emit activated(toQDate(*date));
}

int Kalendo::shownYear() const {
    return d->view.hasMonth() ? d->view.year() : 0;
}

int Kalendo::shownMonth() const {
    return d->view.hasMonth() ? d->view.month() : 0;
}

QDate Kalendo::selectedDay() const {
    const std::optional<kalendo::Date> date = d->view.cellDate(d->view.selectedCell());
    return date ? toQDate(*date) : QDate();
}

void Kalendo::setMarkedDays(const QList<QDate>& days) {
    std::vector<kalendo::Date> marked;
    for (const QDate& day : days)
        if (day.isValid() && day.year() >= 1 && day.year() <= 9999)
            marked.push_back(toDate(day));
    d->view.setMarkedDays(std::move(marked));
    d->guard(QStringLiteral("setMarkedDays"), [&](kalendo::Result&) { d->render(); });
}

QList<QDate> Kalendo::markedDays() const {
    QList<QDate> days;
    for (const kalendo::Date day : d->view.markedDays())
        days << toQDate(day);
    return days;
}

bool Kalendo::isScalable() const {
    return d->scalable;
}

void Kalendo::setScalable(bool scalable) {
    if (scalable == d->scalable)
        return;
    d->scalable = scalable;
    if (scalable) {
        setMinimumSize(kWidth, kHeight);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    } else {
        setFixedSize(kWidth, kHeight);
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    d->relayout();
    emit scalableChanged(scalable);
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
    // Nothing may cross the C boundary.
    try {
        return new Kalendo(parent);
    } catch (const std::exception& e) {
        qCWarning(lcKalendo) << "kalendo_create failed:" << e.what();
    } catch (...) {
        qCWarning(lcKalendo) << "kalendo_create failed with an unknown exception";
    }
    return nullptr;
}
