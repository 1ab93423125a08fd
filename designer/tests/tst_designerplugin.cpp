#include <lumo/QxCollapsibleGroupBox.h>
#include <lumo/QxComboBoxEditor.h>
#include <lumo/QxDoubleSlider.h>
#include <lumo/QxMailAddressEdit.h>
#include <lumo/QxSliderSpinBox.h>
#include <lumo/QxTextEditWithAutocompletion.h>
#ifdef LUMO_WITH_WEBKIT
#include <lumo/QxWebView.h>
#endif

#include <QPluginLoader>
#include <QTest>
#include <QXmlStreamReader>
#include <QtDesigner/QDesignerComponents>
#include <QtDesigner/QDesignerContainerExtension>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QExtensionManager>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

#include <functional>

using Check = std::function<bool(QWidget *)>;
Q_DECLARE_METATYPE(Check)

class tst_DesignerPlugin : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void widgets_data();
    void widgets();
    void onlyTheLibrarysWidgets();
    void collapsibleGroupBoxPages();

private:
    QDesignerCustomWidgetInterface *widget(const QString &className) const;

    QPluginLoader m_loader;
    QList<QDesignerCustomWidgetInterface *> m_widgets;
};

void tst_DesignerPlugin::initTestCase()
{
    m_loader.setFileName(LUMO_DESIGNER_PLUGIN);
    QVERIFY2(m_loader.load(), qPrintable(m_loader.errorString()));
    auto *collection
            = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(m_loader.instance());
    QVERIFY(collection);
    m_widgets = collection->customWidgets();
}

QDesignerCustomWidgetInterface *tst_DesignerPlugin::widget(const QString &className) const
{
    for (QDesignerCustomWidgetInterface *widget : m_widgets) {
        if (widget->name() == className)
            return widget;
    }
    return nullptr;
}

void tst_DesignerPlugin::widgets_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<bool>("container");
    QTest::addColumn<Check>("isInstance");
    auto row = [](const char *name, bool container, Check check) {
        QTest::newRow(name) << QString(name) << container << check;
    };
    row("QxDoubleSlider", false, [](QWidget *w) { return dynamic_cast<QxDoubleSlider *>(w); });
    row("QxSliderSpinBox", false, [](QWidget *w) { return dynamic_cast<QxSliderSpinBox *>(w); });
    row("QxMailAddressEdit", false,
        [](QWidget *w) { return dynamic_cast<QxMailAddressEdit *>(w); });
    row("QxTextEditWithAutocompletion", false,
        [](QWidget *w) { return dynamic_cast<QxTextEditWithAutocompletion *>(w); });
    row("QxCollapsibleGroupBox", true,
        [](QWidget *w) { return dynamic_cast<QxCollapsibleGroupBox *>(w); });
    row("QxComboBoxEditor", false, [](QWidget *w) { return dynamic_cast<QxComboBoxEditor *>(w); });
#ifdef LUMO_WITH_WEBKIT
    row("QxWebView", false, [](QWidget *w) { return dynamic_cast<QxWebView *>(w); });
#endif
}

// Every widget class is offered and created through the plugin, with what
// Designer's widget box and uic need.
void tst_DesignerPlugin::widgets()
{
    QFETCH(QString, className);
    QFETCH(bool, container);
    QFETCH(Check, isInstance);

    QDesignerCustomWidgetInterface *entry = widget(className);
    QVERIFY(entry);
    QCOMPARE(entry->group(), QString("lumo"));
    QCOMPARE(entry->includeFile(), QString("lumo/%1.h").arg(className));
    QVERIFY(!entry->toolTip().isEmpty());
    QVERIFY(!entry->whatsThis().isEmpty());
    QVERIFY(!entry->icon().isNull());
    QCOMPARE(entry->isContainer(), container);

    // DOM XML: well-formed, and its widget element names the class.
    QXmlStreamReader xml(entry->domXml());
    QString widgetClass;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement
            && xml.name() == QLatin1String("widget") && widgetClass.isEmpty())
            widgetClass = xml.attributes().value("class").toString();
    }
    QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
    QCOMPARE(widgetClass, className);

    QWidget parent;
    QWidget *created = entry->createWidget(&parent);
    QVERIFY(created);
    QVERIFY(isInstance(created));
    QCOMPARE(created->parentWidget(), &parent);
}

void tst_DesignerPlugin::onlyTheLibrarysWidgets()
{
    QStringList names;
    for (QDesignerCustomWidgetInterface *widget : m_widgets)
        names << widget->name();
#ifdef LUMO_WITH_WEBKIT
    const int expected = 7;
#else
    const int expected = 6;
#endif
    QCOMPARE(names.size(), expected);
    names.removeDuplicates();
    QCOMPARE(names.size(), expected);
}

// Designer fills the group box through the container extension, and the
// pages land in the inner frame, folding away with it.
void tst_DesignerPlugin::collapsibleGroupBoxPages()
{
    QDesignerFormEditorInterface *core = QDesignerComponents::createFormEditor(this);
    QDesignerCustomWidgetInterface *entry = widget("QxCollapsibleGroupBox");
    QVERIFY(entry);
    entry->initialize(core);
    QVERIFY(entry->isInitialized());

    QWidget window;
    auto *box = static_cast<QxCollapsibleGroupBox *>(entry->createWidget(&window));
    auto *container = qt_extension<QDesignerContainerExtension *>(core->extensionManager(), box);
    QVERIFY(container);
    QCOMPARE(container->count(), 0);
    QCOMPARE(container->currentIndex(), -1);

    auto *first = new QWidget;
    auto *second = new QWidget;
    container->addWidget(second);
    container->insertWidget(0, first);
    QCOMPARE(container->count(), 2);
    QCOMPARE(container->widget(0), first);
    QCOMPARE(container->widget(1), second);
    QCOMPARE(container->widget(2), nullptr);
    QCOMPARE(first->parentWidget(), box->getInsideWidget());

    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(first->isVisible());
    box->setChecked(false);
    QVERIFY(!first->isVisible());
    box->setChecked(true);

    container->remove(0);
    QCOMPARE(container->count(), 1);
    QCOMPARE(container->widget(0), second);
    delete first;
}

QTEST_MAIN(tst_DesignerPlugin)
#include "tst_designerplugin.moc"
