// A host that finds the control the way TikkoClock does: the library by file name, the
// control through its exported factory.
#include <QApplication>
#include <QLibrary>
#include <QPluginLoader>
#include <QWidget>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <gtest/gtest.h>

namespace {

TEST(Load, CreatesTheControlThroughTheFactory) {
    int argc = 1;
    char name[] = "kalendo_load_tests";
    char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QLibrary library(QStringLiteral(KALENDO_LIBRARY));
    ASSERT_TRUE(library.load()) << library.errorString().toStdString();
    using Factory = QWidget* (*)(QWidget*);
    auto create = reinterpret_cast<Factory>(library.resolve("kalendo_create"));
    ASSERT_NE(create, nullptr);

    QWidget host;
    QWidget* control = create(&host);
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(control->parent(), &host);
    EXPECT_EQ(control->objectName(), "Kalendo");
    EXPECT_EQ(control->size(), QSize(568, 344));
    EXPECT_EQ(control->findChildren<QWidget*>(QStringLiteral("阳历日")).size(), 39);
    EXPECT_EQ(control->findChildren<QWidget*>(QStringLiteral("Label2")).size(), 39);
    EXPECT_EQ(control->findChildren<QWidget*>(QStringLiteral("星期")).size(), 7);
    // Without the header, the members are reached through the meta-object system.
    QVariant lunar;
    ASSERT_TRUE(QMetaObject::invokeMethod(control, "dynamicCall", Q_RETURN_ARG(QVariant, lunar),
                                          Q_ARG(QString, QStringLiteral("阳历返回农")),
                                          Q_ARG(QVariantList, QVariantList{"2009-6-23"})));
    EXPECT_EQ(lunar, "120090501");
    bool put = true;
    QMetaObject::invokeMethod(control, "putProperty", Q_RETURN_ARG(bool, put),
                              Q_ARG(QString, QStringLiteral("标题背景颜色")),
                              Q_ARG(QVariant, QVariant("grey")));
    EXPECT_FALSE(put);
    int number = 0;
    QMetaObject::invokeMethod(control, "lastErrorNumber", Q_RETURN_ARG(int, number));
    EXPECT_EQ(number, 13);
    delete control;

    // Designer's plugin hands out the same control.
    QPluginLoader plugin(QStringLiteral(KALENDO_DESIGNER_PLUGIN));
    auto* widgets = qobject_cast<QDesignerCustomWidgetInterface*>(plugin.instance());
    ASSERT_NE(widgets, nullptr) << plugin.errorString().toStdString();
    EXPECT_EQ(widgets->name(), "Kalendo");
    QWidget* placed = widgets->createWidget(&host);
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->size(), QSize(568, 344));
    EXPECT_TRUE(widgets->domXml().contains("Kalendo"));
}

} // namespace
