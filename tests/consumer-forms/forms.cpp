// Builds against an installed lumo and loads one form with every lumo widget
// the way applications do: compiled by uic, and at run time through QUiLoader
// with the installed Designer plugin, found through QT_PLUGIN_PATH or
// QUiLoader::addPluginPath(). The web view, which a library built without a
// web engine lacks, has a form of its own.

#include "ui_allwidgets.h"
#ifdef WEB_VIEW_FORM_FILE
#include "ui_webview.h"
#include <lumo/QxWebView.h>
#endif

#include <lumo/QxCollapsibleGroupBox.h>
#include <lumo/QxComboBoxEditor.h>
#include <lumo/QxDoubleRangeSlider.h>
#include <lumo/QxDoubleSlider.h>
#include <lumo/QxMailAddressEdit.h>
#include <lumo/QxSliderSpinBox.h>
#include <lumo/QxTextEditWithAutocompletion.h>

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFile>
#include <QLabel>
#include <QtTest>
#include <QtUiTools/QUiLoader>

#include <limits>
#include <memory>

namespace {

enum class Loading { Uic, PluginPathVariable, AddPluginPath };

// QUiLoader cannot create a promoted class by itself; an application that
// uses QxMailAddressEdit in run-time forms creates it here.
class Loader : public QUiLoader
{
public:
    QWidget *createWidget(const QString &className, QWidget *parent, const QString &name) override
    {
        if (className != QLatin1String("QxMailAddressEdit"))
            return QUiLoader::createWidget(className, parent, name);
        auto *edit = new QxMailAddressEdit(parent);
        edit->setObjectName(name);
        return edit;
    }
};

// The form in \a formFile, through its uic class Form or through QUiLoader.
template<class Form> std::unique_ptr<QWidget> load(Loading loading, const QString &formFile)
{
    if (loading == Loading::Uic) {
        auto form = std::make_unique<QWidget>();
        Form ui;
        ui.setupUi(form.get());
        return form;
    }
    Loader loader;
    if (loading == Loading::AddPluginPath) {
        loader.clearPluginPaths();
        loader.addPluginPath(QStringLiteral(DESIGNER_PLUGINS));
    }
    QFile file(formFile);
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    return std::unique_ptr<QWidget>(loader.load(&file));
}

std::unique_ptr<QWidget> loadAllWidgets(Loading loading)
{
    return load<Ui::AllWidgets>(loading, QStringLiteral(FORM_FILE));
}

template<class Widget> Widget *child(QWidget *form, const char *name)
{
    return form->findChild<Widget *>(QLatin1String(name));
}

} // namespace

Q_DECLARE_METATYPE(Loading)

class tst_Forms : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyWidget_data();
    void everyWidget();
    void webView_data();
    void webView();
    void pointerToMemberConnect();
};

void tst_Forms::everyWidget_data()
{
    QTest::addColumn<Loading>("loading");

    // clang-format off
    QTest::newRow("uic") << Loading::Uic;
    QTest::newRow("QUiLoader, QT_PLUGIN_PATH") << Loading::PluginPathVariable;
    QTest::newRow("QUiLoader, addPluginPath") << Loading::AddPluginPath;
    // clang-format on
}

void tst_Forms::webView_data()
{
    everyWidget_data();
}

void tst_Forms::everyWidget()
{
    QFETCH(Loading, loading);

    const std::unique_ptr<QWidget> form = loadAllWidgets(loading);
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("Every lumo widget"));

    // The classes, each from its own meta-object, so that a base class
    // created in place of a lumo class shows.
    const QList<QPair<const char *, const char *>> classes = {
        { "doubleSlider", "QxDoubleSlider" },
        { "rangeSlider", "QxDoubleRangeSlider" },
        { "sliderSpinBox", "QxSliderSpinBox" },
        { "textEdit", "QxTextEditWithAutocompletion" },
        { "collapsibleGroupBox", "QxCollapsibleGroupBox" },
        { "comboBoxEditor", "QxComboBoxEditor" },
    };
    for (const auto &entry : classes) {
        QWidget *widget = child<QWidget>(form.get(), entry.first);
        QVERIFY2(widget, entry.first);
        QCOMPARE(widget->metaObject()->className(), entry.second);
    }

    // Double values, and the integer range beneath left whole.
    auto *slider = child<QxDoubleSlider>(form.get(), "doubleSlider");
    QCOMPARE(slider->minimum(), -1.5);
    QCOMPARE(slider->maximum(), 2.5);
    QCOMPARE(slider->value(), 1.25);
    QCOMPARE(slider->singleStep(), 0.25);
    QCOMPARE(slider->pageStep(), 0.5);
    QCOMPARE(slider->getPrecision(), 0.01);
    QCOMPARE(slider->orientation(), Qt::Horizontal);
    QCOMPARE(slider->QAbstractSlider::minimum(), std::numeric_limits<int>::min());
    QCOMPARE(slider->QAbstractSlider::maximum(), std::numeric_limits<int>::max());
    QCOMPARE(slider->QAbstractSlider::value(), slider->qxDoubleSliderToQSlider(1.25));

    // The range first, so that the values set after it are kept whole.
    auto *rangeSlider = child<QxDoubleRangeSlider>(form.get(), "rangeSlider");
    QCOMPARE(rangeSlider->minimum(), -2.5);
    QCOMPARE(rangeSlider->maximum(), 7.75);
    QCOMPARE(rangeSlider->lowerValue(), -0.125);
    QCOMPARE(rangeSlider->upperValue(), 3.375);
    QCOMPARE(rangeSlider->singleStep(), 0.125);
    QCOMPARE(rangeSlider->pageStep(), 1.5);
    QCOMPARE(rangeSlider->orientation(), Qt::Horizontal);

    auto *sliderSpinBox = child<QxSliderSpinBox>(form.get(), "sliderSpinBox");
    QCOMPARE(sliderSpinBox->toolTip(), QStringLiteral("Level"));
    QCOMPARE(sliderSpinBox->minimum(), -2.5);
    QCOMPARE(sliderSpinBox->maximum(), 7.25);
    QCOMPARE(sliderSpinBox->decimals(), 3);
    QCOMPARE(sliderSpinBox->value(), 1.125);
    QCOMPARE(sliderSpinBox->suffix(), QStringLiteral(" mm"));
    auto *spinBox = sliderSpinBox->findChild<QDoubleSpinBox *>();
    QVERIFY(spinBox);
    QCOMPARE(spinBox->text(), QStringLiteral("1.125 mm"));

    QCOMPARE(child<QxTextEditWithAutocompletion>(form.get(), "textEdit")->toPlainText(),
             QStringLiteral("Hello"));

    auto *combo = child<QxComboBoxEditor>(form.get(), "comboBoxEditor");
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->currentText(), QStringLiteral("two"));

    // Promoted: no meta-object of its own, but the class with its validator.
    auto *mail = dynamic_cast<QxMailAddressEdit *>(child<QLineEdit>(form.get(), "mailAddressEdit"));
    QVERIFY(mail);
    QCOMPARE(mail->placeholderText(), QStringLiteral("name@example.org"));
    QVERIFY(mail->validator());
    mail->setText(QStringLiteral("someone@example.org"));
    QVERIFY(mail->isValid());
    // A plain line edit would take this; the field's validator refuses it.
    mail->insert(QStringLiteral(" "));
    QCOMPARE(mail->text(), QStringLiteral("someone@example.org"));

    // The group box's pages sit in the folding frame, in form order, and the
    // form's unchecked box starts folded.
    auto *box = child<QxCollapsibleGroupBox>(form.get(), "collapsibleGroupBox");
    QCOMPARE(box->title(), QStringLiteral("Section"));
    QVERIFY(!box->isChecked());
    QWidget *page = child<QWidget>(form.get(), "page");
    auto *checkBox = child<QCheckBox>(form.get(), "checkBox");
    auto *label = child<QLabel>(form.get(), "label");
    QVERIFY(page);
    QVERIFY(checkBox);
    QVERIFY(label);
    QCOMPARE(page->parentWidget(), box->getInsideWidget());
    QCOMPARE(checkBox->parentWidget(), box->getInsideWidget());
    QCOMPARE(label->parentWidget(), page);
    const QLayout *inside = box->getInsideWidget()->layout();
    QCOMPARE(inside->count(), 2);
    QCOMPARE(inside->itemAt(0)->widget(), page);
    QCOMPARE(inside->itemAt(1)->widget(), checkBox);

    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    QVERIFY(!label->isVisible());
    QVERIFY(!checkBox->isVisible());
    box->setChecked(true);
    QTRY_VERIFY(label->isVisible());
    QVERIFY(checkBox->isVisible());
    box->setChecked(false);
    QVERIFY(!label->isVisible());
}

// The web view comes from the plugin as the lumo class, with the form's zoom.
void tst_Forms::webView()
{
#ifdef WEB_VIEW_FORM_FILE
    QFETCH(Loading, loading);

    const std::unique_ptr<QWidget> form
            = load<Ui::WebViewForm>(loading, QStringLiteral(WEB_VIEW_FORM_FILE));
    QVERIFY(form);
    auto *view = child<QxWebView>(form.get(), "webView");
    QVERIFY(view);
    QCOMPARE(view->metaObject()->className(), "QxWebView");
    QCOMPARE(view->zoomFactor(), 1.5);
#else
    QSKIP("liblumo.so is built without a web view");
#endif
}

// The slider's change signal connects by pointer to member, and a form's
// slider emits it as the user moves it.
void tst_Forms::pointerToMemberConnect()
{
    const std::unique_ptr<QWidget> form = loadAllWidgets(Loading::Uic);
    auto *slider = child<QxDoubleSlider>(form.get(), "doubleSlider");
    QVERIFY(slider);
    QList<double> received;
    QObject::connect(slider, &QxDoubleSlider::doubleValueChanged, slider,
                     [&received](double value) { received << value; });
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_End);
    QCOMPARE(received, QList<double>({ 2.5 }));
    QCOMPARE(slider->value(), 2.5);
}

QTEST_MAIN(tst_Forms)
#include "forms.moc"
