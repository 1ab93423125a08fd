#include <lumo/QxCollapsibleGroupBox.h>
#include <lumo/QxComboBoxEditor.h>
#include <lumo/QxDoubleRangeSlider.h>
#include <lumo/QxDoubleSlider.h>
#include <lumo/QxSliderSpinBox.h>
#include <lumo/QxTextEditWithAutocompletion.h>
#ifdef LUMO_WITH_WEBVIEW
#include <lumo/QxWebView.h>
#endif

#include <QPluginLoader>
#include <QTest>
#include <QXmlStreamReader>
#include <QTreeWidget>
#include <QtDesigner/QDesignerPropertyEditorInterface>
#include <QtDesigner/QDesignerComponents>
#include <QtDesigner/QDesignerContainerExtension>
#include <QtDesigner/QDesignerFormEditorInterface>
#include <QtDesigner/QDesignerFormWindowInterface>
#include <QtDesigner/QDesignerIntegration>
#include <QtDesigner/QDesignerFormWindowManagerInterface>
#include <QtDesigner/QDesignerPropertySheetExtension>
#include <QtDesigner/QExtensionManager>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>

#include <functional>
#include <limits>

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
    void doubleSliderProperties();
    void sliderSpinBoxProperties();
    void collapsibleGroupBoxProperties();

private:
    QDesignerCustomWidgetInterface *widget(const QString &className) const;
    QDesignerFormWindowInterface *formWith(const QString &className) const;
    QMultiHash<QString, QString> shownProperties(QObject *object) const;

    QPluginLoader m_loader;
    QList<QDesignerCustomWidgetInterface *> m_widgets;
    QDesignerFormEditorInterface *m_core = nullptr;
};

void tst_DesignerPlugin::initTestCase()
{
    m_loader.setFileName(LUMO_DESIGNER_PLUGIN);
    QVERIFY2(m_loader.load(), qPrintable(m_loader.errorString()));
    auto *collection
            = qobject_cast<QDesignerCustomWidgetCollectionInterface *>(m_loader.instance());
    QVERIFY(collection);
    m_widgets = collection->customWidgets();

    // Designer's own core, set up as Designer sets it up: it finds the
    // plugin through QT_PLUGIN_PATH and initializes it.
    m_core = QDesignerComponents::createFormEditor(this);
    m_core->setPropertyEditor(QDesignerComponents::createPropertyEditor(m_core, nullptr));
    new QDesignerIntegration(m_core, this);
    QDesignerComponents::initializePlugins(m_core);
    for (QDesignerCustomWidgetInterface *widget : m_widgets)
        QVERIFY(widget->isInitialized());
}

QDesignerCustomWidgetInterface *tst_DesignerPlugin::widget(const QString &className) const
{
    for (QDesignerCustomWidgetInterface *widget : m_widgets) {
        if (widget->name() == className)
            return widget;
    }
    return nullptr;
}

// A form window holding one widget of \a className, for the caller to delete.
QDesignerFormWindowInterface *tst_DesignerPlugin::formWith(const QString &className) const
{
    QDesignerFormWindowInterface *form = m_core->formWindowManager()->createFormWindow();
    form->setContents(QStringLiteral("<ui version=\"4.0\"><class>Form</class>"
                                     "<widget class=\"QWidget\" name=\"Form\">"
                                     "<widget class=\"%1\" name=\"widget\"/>"
                                     "</widget></ui>")
                              .arg(className));
    return form;
}

// What the property editor shows for \a object: its tree of class groups
// and their properties, as group name and property name.
QMultiHash<QString, QString> tst_DesignerPlugin::shownProperties(QObject *object) const
{
    m_core->propertyEditor()->setObject(object);
    QMultiHash<QString, QString> shown;
    for (const QTreeWidget *tree : m_core->propertyEditor()->findChildren<QTreeWidget *>()) {
        for (int i = 0; i < tree->topLevelItemCount(); ++i) {
            const QTreeWidgetItem *group = tree->topLevelItem(i);
            for (int j = 0; j < group->childCount(); ++j)
                shown.insert(group->text(0), group->child(j)->text(0));
        }
    }
    return shown;
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
    row("QxDoubleRangeSlider", false,
        [](QWidget *w) { return dynamic_cast<QxDoubleRangeSlider *>(w); });
    row("QxSliderSpinBox", false, [](QWidget *w) { return dynamic_cast<QxSliderSpinBox *>(w); });
    row("QxTextEditWithAutocompletion", false,
        [](QWidget *w) { return dynamic_cast<QxTextEditWithAutocompletion *>(w); });
    row("QxCollapsibleGroupBox", true,
        [](QWidget *w) { return dynamic_cast<QxCollapsibleGroupBox *>(w); });
    row("QxComboBoxEditor", false, [](QWidget *w) { return dynamic_cast<QxComboBoxEditor *>(w); });
#ifdef LUMO_WITH_WEBVIEW
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

// QxMailAddressEdit reports QLineEdit's meta-object: offered in the widget
// box, Designer would save every drop as a plain QLineEdit.
void tst_DesignerPlugin::onlyTheLibrarysWidgets()
{
    QStringList names;
    for (QDesignerCustomWidgetInterface *widget : m_widgets)
        names << widget->name();
    names.sort();
    QStringList expected
            = { "QxCollapsibleGroupBox", "QxComboBoxEditor", "QxDoubleRangeSlider",
                "QxDoubleSlider",        "QxSliderSpinBox",  "QxTextEditWithAutocompletion" };
#ifdef LUMO_WITH_WEBVIEW
    expected << "QxWebView";
#endif
    QCOMPARE(names, expected);
}

// Designer fills the group box through the container extension, and the
// pages land in the inner frame, folding away with it.
void tst_DesignerPlugin::collapsibleGroupBoxPages()
{
    QDesignerCustomWidgetInterface *entry = widget("QxCollapsibleGroupBox");
    QVERIFY(entry);

    QWidget window;
    auto *box = static_cast<QxCollapsibleGroupBox *>(entry->createWidget(&window));
    auto *container = qt_extension<QDesignerContainerExtension *>(m_core->extensionManager(), box);
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

// Designer's property editor offers the slider's state once each, as doubles
// (not the integer ones of QAbstractSlider, nor the dynamic copies), and
// writing one goes through the slider's setter: the integer range stays whole.
void tst_DesignerPlugin::doubleSliderProperties()
{
    QDesignerFormWindowInterface *form = formWith(QStringLiteral("QxDoubleSlider"));
    QScopedPointer<QWidget> owner(form);
    QVERIFY(form->mainContainer());
    auto *slider = form->mainContainer()->findChild<QxDoubleSlider *>();
    QVERIFY(slider);

    const QMultiHash<QString, QString> shown = shownProperties(slider);
    QVERIFY(shown.contains("QAbstractSlider", "orientation"));
    for (const char *name : { "value", "minimum", "maximum", "singleStep", "pageStep" }) {
        QVERIFY2(shown.contains("QxDoubleSlider", name), name);
        QVERIFY2(!shown.contains("QAbstractSlider", name), name);
    }
    QCOMPARE(shown.values("Dynamic Properties"), QStringList("numDecimals"));

    auto *sheet
            = qt_extension<QDesignerPropertySheetExtension *>(m_core->extensionManager(), slider);
    QVERIFY(sheet);
    sheet->setProperty(sheet->indexOf("maximum"), 2.5);
    sheet->setProperty(sheet->indexOf("value"), 1.25);
    QCOMPARE(slider->maximum(), 2.5);
    QCOMPARE(slider->value(), 1.25);
    QCOMPARE(slider->QAbstractSlider::maximum(), std::numeric_limits<int>::max());
    QCOMPARE(slider->QAbstractSlider::minimum(), std::numeric_limits<int>::min());
}

// The slider-spin-box's value, range, decimals, steps, texts and tracking are
// edited in the property editor, reach the widget through its setters and are
// saved with the value after the range and the decimals it is held to.
void tst_DesignerPlugin::sliderSpinBoxProperties()
{
    QDesignerFormWindowInterface *form = formWith(QStringLiteral("QxSliderSpinBox"));
    QScopedPointer<QWidget> owner(form);
    QVERIFY(form->mainContainer());
    auto *widget = form->mainContainer()->findChild<QxSliderSpinBox *>();
    QVERIFY(widget);

    const QStringList shown = shownProperties(widget).values(QStringLiteral("QxSliderSpinBox"));
    const QStringList names = { "minimum", "maximum", "decimals", "singleStep", "pageStep",
                                "prefix",  "suffix",  "tracking", "value" };
    for (const QString &name : names)
        QVERIFY2(shown.contains(name), qPrintable(name));

    auto *sheet
            = qt_extension<QDesignerPropertySheetExtension *>(m_core->extensionManager(), widget);
    QVERIFY(sheet);
    const auto set = [sheet](const char *name, const QVariant &value) {
        const int index = sheet->indexOf(QLatin1String(name));
        sheet->setProperty(index, value);
        sheet->setChanged(index, true);
    };
    set("minimum", -2.5);
    set("maximum", 7.25);
    set("decimals", 3);
    set("value", 1.125);
    set("suffix", QStringLiteral(" mm"));
    set("tracking", false);
    QCOMPARE(widget->minimum(), -2.5);
    QCOMPARE(widget->maximum(), 7.25);
    QCOMPARE(widget->decimals(), 3);
    QCOMPARE(widget->value(), 1.125);
    QCOMPARE(widget->suffix(), QStringLiteral(" mm"));
    QVERIFY(!widget->hasTracking());

    const QString saved = form->contents();
    const int value = saved.indexOf(QLatin1String("<property name=\"value\""));
    QVERIFY2(value > 0, qPrintable(saved));
    for (const char *earlier : { "minimum", "maximum", "decimals" }) {
        const int index = saved.indexOf(QStringLiteral("<property name=\"%1\"").arg(earlier));
        QVERIFY2(index > 0 && index < value, earlier);
    }
}

// Designer's property editor offers whether the box is expanded and whether
// it animates; writing `expanded` folds the box and its title check box.
void tst_DesignerPlugin::collapsibleGroupBoxProperties()
{
    QDesignerFormWindowInterface *form = formWith(QStringLiteral("QxCollapsibleGroupBox"));
    QScopedPointer<QWidget> owner(form);
    QVERIFY(form->mainContainer());
    auto *box = form->mainContainer()->findChild<QxCollapsibleGroupBox *>();
    QVERIFY(box);

    const QMultiHash<QString, QString> shown = shownProperties(box);
    QVERIFY(shown.contains("QGroupBox", "checked"));
    QVERIFY(shown.contains("QxCollapsibleGroupBox", "expanded"));
    QVERIFY(shown.contains("QxCollapsibleGroupBox", "animated"));

    auto *sheet = qt_extension<QDesignerPropertySheetExtension *>(m_core->extensionManager(), box);
    QVERIFY(sheet);
    QCOMPARE(sheet->property(sheet->indexOf("expanded")).toBool(), true);
    sheet->setProperty(sheet->indexOf("expanded"), false);
    QVERIFY(!box->isExpanded());
    QVERIFY(!box->isChecked());
    QVERIFY(box->getInsideWidget()->isHidden());
    sheet->setProperty(sheet->indexOf("animated"), true);
    QVERIFY(box->isAnimated());
}

QTEST_MAIN(tst_DesignerPlugin)
#include "tst_designerplugin.moc"
