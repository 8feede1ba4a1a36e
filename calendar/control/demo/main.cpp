// SPDX-License-Identifier: MIT
// kalendo-demo: shows the control in a window and keeps its appearance in a settings file.
//
//   kalendo-demo [SETTINGS.ini] [--today YYYY-MM-DD] [--pictures] [--save]
//                [--mark YYYY-MM-DD]... [--size WIDTHxHEIGHT] [--screenshot FILE.png]
#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QCommandLineParser>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSettings>
#include <QVBoxLayout>
#include <QWidget>
#include <kalendo/control.h>
#include <kalendo/property_store.h>

namespace {

// Simple drawn arrows for the buttons: a light face, and a darker one while pressed.
QPixmap arrow(const QString& mark, bool pressed) {
    QPixmap pm(37, 21);
    pm.fill(pressed ? QColor(150, 170, 210) : QColor(215, 225, 245));
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 60, 120), 1));
    p.drawRoundedRect(QRectF(0.5, 0.5, 36, 20), 4, 4);
    QFont f = p.font();
    f.setPixelSize(13);
    f.setBold(true);
    p.setFont(f);
    p.drawText(pm.rect(), Qt::AlignCenter, mark);
    return pm;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription("Shows the Kalendo control.");
    parser.addHelpOption();
    parser.addPositionalArgument("settings", "The settings file that keeps the appearance.");
    QCommandLineOption todayOption("today", "Take this day as today.", "YYYY-MM-DD");
    QCommandLineOption shotOption("screenshot", "Write a PNG of the control and quit.", "file");
    QCommandLineOption picturesOption("pictures", "Give the buttons drawn pictures.");
    QCommandLineOption saveOption("save", "Save the appearance to the settings file and quit.");
    parser.addOption(todayOption);
    parser.addOption(picturesOption);
    parser.addOption(saveOption);
    parser.addOption(shotOption);
    QCommandLineOption markOption("mark", "Mark this day with a dot (again for more).",
                                  "YYYY-MM-DD");
    QCommandLineOption sizeOption("size", "Make the control scalable and this large.",
                                  "WIDTHxHEIGHT");
    parser.addOption(markOption);
    parser.addOption(sizeOption);
    parser.process(app);

    kalendo::TodayProvider today;
    if (parser.isSet(todayOption)) {
        const QDate pinned = QDate::fromString(parser.value(todayOption), Qt::ISODate);
        today = [pinned] {
            return pinned;
        };
    }
    const QString settingsPath = parser.positionalArguments().value(0);

    QWidget window;
    window.setWindowTitle(QStringLiteral("Kalendo 万年历"));
    auto* layout = new QVBoxLayout(&window);
    auto* control = new Kalendo(today, &window);
    layout->addWidget(control);
    auto* status = new QLabel(&window);
    auto* buttons = new QHBoxLayout;
    auto* save = new QPushButton(QStringLiteral("保存外观"), &window);
    auto* reload = new QPushButton(QStringLiteral("重新载入"), &window);
    // Every colour property by its name, as a host that knows only the names would do it.
    auto* colourName = new QComboBox(&window);
    for (const QString& name : Kalendo::propertyNames())
        if (control->propertyGet(name).value.metaType().id() == QMetaType::UInt)
            colourName->addItem(name);
    auto* colour = new QPushButton(QStringLiteral("颜色…"), &window);
    auto* pictures = new QPushButton(QStringLiteral("按钮图片"), &window);
    buttons->addWidget(save);
    buttons->addWidget(reload);
    buttons->addWidget(colourName);
    buttons->addWidget(colour);
    buttons->addWidget(pictures);
    layout->addLayout(buttons);
    layout->addWidget(status);
    save->setEnabled(!settingsPath.isEmpty());
    reload->setEnabled(!settingsPath.isEmpty());

    auto report = [status](const QString& what, const kalendo::Result& r) {
        status->setText(r.ok() ? what
                               : QStringLiteral("%1: error %2: %3")
                                     .arg(what)
                                     .arg(r.errorNumber)
                                     .arg(r.errorMessage));
    };
    auto load = [&] {
        QSettings settings(settingsPath, QSettings::IniFormat);
        kalendo::SettingsPropertyStore store(settings, QStringLiteral("Kalendo"));
        report(QStringLiteral("loaded ") + settingsPath, control->load(store));
    };
    auto saveAppearance = [&] {
        QSettings settings(settingsPath, QSettings::IniFormat);
        kalendo::SettingsPropertyStore store(settings, QStringLiteral("Kalendo"));
        const kalendo::Result r = control->save(store);
        settings.sync();
        if (r.ok() && settings.status() != QSettings::NoError) {
            status->setText(QStringLiteral("could not write ") + settingsPath);
            return false;
        }
        report(QStringLiteral("saved ") + settingsPath, r);
        return r.ok();
    };
    QObject::connect(save, &QPushButton::clicked, saveAppearance);
    QObject::connect(reload, &QPushButton::clicked, load);
    QObject::connect(colour, &QPushButton::clicked, [&] {
        const QString name = colourName->currentText();
        const QColor now =
            kalendo::toQColor(control->propertyGet(name).value.toUInt(), control->palette());
        const QColor c = QColorDialog::getColor(now, &window);
        if (c.isValid())
            report(name, control->propertyPut(name, c));
    });
    auto givePictures = [&] {
        const char* marks[] = {"年↑", "年↓", "月↑", "月↓", "今"};
        for (int b = 0; b < 5; ++b) {
            const auto button = static_cast<Kalendo::Button>(b);
            control->setButtonPicture(button, arrow(QString::fromUtf8(marks[b]), false));
            control->setButtonPressedPicture(button, arrow(QString::fromUtf8(marks[b]), true));
        }
    };
    QObject::connect(pictures, &QPushButton::clicked, givePictures);
    QObject::connect(control, &Kalendo::propertyChanged, status,
                     [status](const QString& name) { status->setText(name + " changed"); });
    // What a host hears of the user.
    QObject::connect(control, &Kalendo::clicked, status, [status](QDate day) {
        status->setText(QStringLiteral("clicked ") + day.toString(Qt::ISODate));
    });
    QObject::connect(control, &Kalendo::currentPageChanged, status, [status](int y, int m) {
        status->setText(QStringLiteral("showing %1-%2").arg(y).arg(m));
    });

    QList<QDate> marked;
    for (const QString& day : parser.values(markOption))
        marked << QDate::fromString(day, Qt::ISODate);
    control->setMarkedDays(marked);
    if (parser.isSet(sizeOption)) {
        const QStringList size = parser.value(sizeOption).split(QLatin1Char('x'));
        control->setScalable(true);
        control->setMinimumSize(size.value(0).toInt(), size.value(1).toInt());
    }

    if (!settingsPath.isEmpty())
        load();
    if (parser.isSet(picturesOption))
        givePictures();
    if (parser.isSet(saveOption)) {
        if (settingsPath.isEmpty())
            parser.showHelp(1);
        return saveAppearance() ? 0 : 1;
    }

    if (parser.isSet(shotOption)) {
        window.show(); // so that a scalable control is laid out at its size
        QApplication::processEvents();
        return control->grab().save(parser.value(shotOption)) ? 0 : 1;
    }
    window.show();
    return app.exec();
}
