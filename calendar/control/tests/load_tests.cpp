// SPDX-License-Identifier: MIT
// A host that finds the control the way TikkoClock does: the library by file name, the
// control through its exported factory. And Qt Designer's view of the control's plugin.
#include <QCoreApplication>
#include <QLibrary>
#include <QMetaProperty>
#include <QPluginLoader>
#include <QWidget>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <gtest/gtest.h>
#include <memory>

#ifdef KALENDO_DESIGNER_CORE
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QtDesigner/QDesignerComponents>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerFormWindowManagerInterface>
#include <QtDesigner/QDesignerIntegration>
#include <QtDesigner/QDesignerPropertyEditorInterface>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/QDesignerWidgetDataBaseInterface>
#include <QtDesigner/QDesignerWidgetFactoryInterface>
#include <QtDesigner/QExtensionManager>
#endif

namespace {

TEST(Load, CreatesTheControlThroughTheFactory) {
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
}

// The properties the control declares itself, beyond QWidget's.
QStringList ownProperties(const QWidget& w) {
    QStringList names;
    const QMetaObject* meta = w.metaObject();
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i)
        names << QString::fromLatin1(meta->property(i).name());
    return names;
}

TEST(Designer, ThePluginHandsOutTheControlWithItsProperties) {
    QPluginLoader plugin(QStringLiteral(KALENDO_DESIGNER_PLUGIN));
    auto* widgets = qobject_cast<QDesignerCustomWidgetInterface*>(plugin.instance());
    ASSERT_NE(widgets, nullptr) << plugin.errorString().toStdString();
    EXPECT_EQ(widgets->name(), "Kalendo");
    EXPECT_TRUE(widgets->domXml().contains("Kalendo"));
    QWidget host;
    QWidget* placed = widgets->createWidget(&host);
    ASSERT_NE(placed, nullptr);
    EXPECT_EQ(placed->size(), QSize(568, 344));
    const QMetaObject* meta = placed->metaObject();
    EXPECT_EQ(ownProperties(*placed).size(), 22 + 1); // and scalable
    for (int i = meta->propertyOffset(); i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        EXPECT_TRUE(p.isDesignable() && p.isWritable() && p.hasNotifySignal()) << p.name();
    }
}

#ifdef KALENDO_DESIGNER_CORE
// Qt Designer's own form editor, with the plugin found on its plugin path: the widget box
// offers the control, and the property sheet the property editor shows lists all 22.
TEST(Designer, TheFormEditorListsEveryAppearanceProperty) {
    QCoreApplication::addLibraryPath(QStringLiteral(KALENDO_PLUGIN_PATH));
    std::unique_ptr<QDesignerFormEditorInterface> core(
        QDesignerComponents::createFormEditor(nullptr));
    ASSERT_NE(core, nullptr);
    QDesignerComponents::initializePlugins(core.get());
    EXPECT_GE(core->widgetDataBase()->indexOfClassName(QStringLiteral("Kalendo")), 0);

    QWidget host;
    QWidget* placed = core->widgetFactory()->createWidget(QStringLiteral("Kalendo"), &host);
    ASSERT_NE(placed, nullptr);
    ASSERT_EQ(QString::fromLatin1(placed->metaObject()->className()), "Kalendo");
    auto* sheet = qt_extension<QDesignerPropertySheetExtension*>(core->extensionManager(), placed);
    ASSERT_NE(sheet, nullptr);
    const QStringList names = ownProperties(*placed);
    EXPECT_EQ(names.size(), 22 + 1); // and scalable
    for (const QString& name : names) {
        const int index = sheet->indexOf(name);
        ASSERT_GE(index, 0) << name.toStdString();
        EXPECT_TRUE(sheet->isVisible(index)) << name.toStdString();
        EXPECT_FALSE(sheet->isAttribute(index)) << name.toStdString();
        EXPECT_EQ(sheet->propertyGroup(index), "Kalendo") << name.toStdString();
    }

    // And the property editor shows every one of them for a control placed on a form.
    QDesignerPropertyEditorInterface* editor =
        QDesignerComponents::createPropertyEditor(core.get(), &host);
    ASSERT_NE(editor, nullptr);
    core->setPropertyEditor(editor);
    core->setIntegration(new QDesignerIntegration(core.get(), &host));
    QDesignerFormWindowInterface* form = core->formWindowManager()->createFormWindow(&host);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(form->setContents(QStringLiteral(
        "<ui version=\"4.0\"><class>Form</class><widget class=\"QWidget\" name=\"Form\">"
        "<widget class=\"Kalendo\" name=\"kalendo\"/></widget></ui>")));
    QWidget* onForm = form->mainContainer()->findChild<QWidget*>(QStringLiteral("kalendo"));
    ASSERT_NE(onForm, nullptr);
    editor->setObject(onForm);
    QStringList shown;
    for (const QTreeWidget* tree : editor->findChildren<QTreeWidget*>())
        for (QTreeWidgetItemIterator it(const_cast<QTreeWidget*>(tree)); *it; ++it)
            shown << (*it)->text(0);
    for (const QString& name : names)
        EXPECT_TRUE(shown.contains(name)) << name.toStdString();
    delete placed;
}
#endif

} // namespace
