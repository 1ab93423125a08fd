// Mouse events go through the platform layer, as a real pointer's do, so that
// presses, moves and releases carry the button state of a real drag.
#define QTEST_QPA_MOUSE_HANDLING

#include <lumo/QxSliderSpinBox.h>
#include <lumo/Ui_QxSliderSpinBox.h>

#include "slidertest.h"

#include <QtTest>

#include <QAccessible>
#include <QHeaderView>
#include <QItemDelegate>
#include <QLabel>
#include <QLineEdit>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>
#include <QRandomGenerator>
#include <QStyleOptionSlider>
#include <QTranslator>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace {

// The form's children, found by their object names.
struct Children
{
    explicit Children(QWidget *widget)
        : slider(widget->findChild<QSlider *>(QStringLiteral("slider")))
        , spinBox(widget->findChild<QDoubleSpinBox *>(QStringLiteral("doubleSpinBox")))
    {
    }
    QSlider *slider;
    QDoubleSpinBox *spinBox;
};

// A widget shown wide enough for the slider to have a pixel per few steps.
struct ShownWidget
{
    ShownWidget()
        : children(&widget)
    {
        widget.resize(600, 30);
        widget.show();
        exposed = QTest::qWaitForWindowExposed(&widget);
    }
    QxSliderSpinBox widget;
    Children children;
    bool exposed = false;
};

QRect handleOf(QSlider *slider)
{
    QStyleOptionSlider option;
    option.initFrom(slider);
    option.subControls = QStyle::SC_All;
    option.orientation = slider->orientation();
    option.minimum = slider->minimum();
    option.maximum = slider->maximum();
    option.sliderPosition = slider->sliderPosition();
    option.sliderValue = slider->value();
    option.singleStep = slider->singleStep();
    option.pageStep = slider->pageStep();
    option.upsideDown
            = slider->invertedAppearance() != (slider->layoutDirection() == Qt::RightToLeft);
    return slider->style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle,
                                           slider);
}

// Answers every lookup in the form's context with a French title.
class FormTranslator : public QTranslator
{
public:
    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        Q_UNUSED(n)
        lookups.append(QStringList { QString::fromUtf8(context), QString::fromUtf8(sourceText),
                                     QString::fromUtf8(disambiguation) });
        if (qstrcmp(context, "QxSliderSpinBox") == 0 && qstrcmp(sourceText, "Form") == 0)
            return QStringLiteral("Formulaire");
        return QString();
    }
    bool isEmpty() const override { return false; }
    mutable QList<QStringList> lookups;
};

// Receives the form's signals through QMetaObject::connectSlotsByName().
class AutoConnected : public QWidget
{
    Q_OBJECT
public:
    int received = -1;
public slots:
    void on_slider_valueChanged(int value) { received = value; }
};

QList<double> doublesOf(const QSignalSpy &spy)
{
    QList<double> values;
    for (const QList<QVariant> &arguments : spy)
        values.append(arguments.at(0).toDouble());
    return values;
}

// The widget as a caller and a person see it: its getters, and the children
// that they describe.
QStringList stateOf(QxSliderSpinBox &widget)
{
    const Children children(&widget);
    const auto number = [](double value) { return QString::number(value, 'g', 17); };
    return { "minimum " + number(widget.minimum()),
             "maximum " + number(widget.maximum()),
             "decimals " + QString::number(widget.decimals()),
             "singleStep " + number(widget.singleStep()),
             "pageStep " + number(widget.pageStep()),
             "value " + number(widget.value()),
             "spin box range " + number(children.spinBox->minimum()) + " "
                     + number(children.spinBox->maximum()),
             "spin box decimals " + QString::number(children.spinBox->decimals()),
             "spin box step " + number(children.spinBox->singleStep()),
             "spin box text " + children.spinBox->text(),
             "slider steps " + QString::number(children.slider->singleStep()) + " "
                     + QString::number(children.slider->pageStep()),
             "slider at " + QString::number(children.slider->value()) };
}

using Setup = std::function<void(QxSliderSpinBox &)>;

// A window holding the widget and, as the oracle, the plain pair it stands
// for, each followed by a line edit that Tab reaches.
struct Window
{
    Window()
    {
        auto *layout = new QVBoxLayout(&window);
        widget = new QxSliderSpinBox(&window);
        afterWidget = new QLineEdit(&window);
        plainSlider = new QSlider(Qt::Horizontal, &window);
        plainSpinBox = new QDoubleSpinBox(&window);
        afterPlain = new QLineEdit(&window);
        plainSlider->setRange(0, 1000);
        plainSlider->setPageStep(10);
        plainSpinBox->setRange(0.0, 100.0);
        for (QWidget *child : std::initializer_list<QWidget *> { widget, afterWidget, plainSlider,
                                                                 plainSpinBox, afterPlain })
            layout->addWidget(child);
        window.resize(600, 200);
        window.show();
        window.activateWindow();
        active = QTest::qWaitForWindowActive(&window);
    }
    QWidget window;
    QxSliderSpinBox *widget;
    QLineEdit *afterWidget;
    QSlider *plainSlider;
    QDoubleSpinBox *plainSpinBox;
    QLineEdit *afterPlain;
    bool active = false;
};

// Drags the handle of slider (a child of top) by dx and back by back, as a
// person does; inspect runs while the button is still down.
void drag(QWidget *top, QSlider *slider, int dx, int back, const std::function<void()> &inspect)
{
    const QPoint from = slider->mapTo(top, handleOf(slider).center());
    QTest::mousePress(top, Qt::LeftButton, Qt::NoModifier, from);
    for (int x = 20; x <= dx; x += 20)
        QTest::mouseMove(top, from + QPoint(x, 0));
    QTest::mouseMove(top, from + QPoint(dx, 0));
    for (int x = dx - 20; x >= dx - back; x -= 20)
        QTest::mouseMove(top, from + QPoint(x, 0));
    QTest::mouseMove(top, from + QPoint(dx - back, 0));
    inspect();
    QTest::mouseRelease(top, Qt::LeftButton, Qt::NoModifier, from + QPoint(dx - back, 0));
}

// Edits the model's values with the widget, as a view's delegate does.
template<class Delegate> class SliderSpinBoxDelegate : public Delegate
{
public:
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &,
                          const QModelIndex &) const override
    {
        auto *editor = new QxSliderSpinBox(parent);
        editor->setRange(0.0, 10.0);
        return editor;
    }
};

} // namespace

Q_DECLARE_METATYPE(Setup)

class tst_QxSliderSpinBox : public QObject
{
    Q_OBJECT

private slots:
    void form();
    void formKeepsObjectName();
    void formTitleIsTranslated();
    void formConnectsSlotsByName();
    void newWidget();
    void metaObject();
    void dragSlider();
    void sliderKeysAndPageClicks();
    void spinBoxMovesSlider_data();
    void spinBoxMovesSlider();
    void rangeEnds_data();
    void rangeEnds();
    void spinBoxFollowsRange();
    void degenerateRanges_data();
    void degenerateRanges();
    void randomUse_data();
    void randomUse();
    void emitsWhatItShows_data();
    void emitsWhatItShows();
    void callerDecimalsKept();
    void typedValuePlacesNearest_data();
    void typedValuePlacesNearest();
    void buddyMnemonicFocusesSpinBox();
    void accessibleSliderSpeaksForTheValue();
    void properties_data();
    void properties();
    void settersInAnyOrder_data();
    void settersInAnyOrder();
    void setValue_data();
    void setValue();
    void rangeHoldsEnds_data();
    void rangeHoldsEnds();
    void sliderKeysStepExactly_data();
    void sliderKeysStepExactly();
    void trackingDrag_data();
    void trackingDrag();
    void trackingSpinBox_data();
    void trackingSpinBox();
    void prefixAndSuffixShown_data();
    void prefixAndSuffixShown();
    void delegateEditsUserProperty_data();
    void delegateEditsUserProperty();
    void accessibleValueWithUnit();
};

// What callers rely on: the names they find the children by, the children in
// the form's layout, and the ranges, in step with each other. The rest of the
// .ui (sizes, margins, policies, steps) is the form's own business.
void tst_QxSliderSpinBox::form()
{
    QWidget widget;
    Ui_QxSliderSpinBox form;
    form.setupUi(&widget);

    QCOMPARE(widget.objectName(), QStringLiteral("QxSliderSpinBox"));
    QVERIFY(form.horizontalLayout);
    QCOMPARE(widget.layout(), form.horizontalLayout);
    QCOMPARE(form.horizontalLayout->objectName(), QStringLiteral("horizontalLayout"));
    QCOMPARE(form.horizontalLayout->count(), 2);
    QCOMPARE(form.horizontalLayout->itemAt(0)->widget(), form.slider);
    QCOMPARE(form.horizontalLayout->itemAt(1)->widget(), form.doubleSpinBox);

    QCOMPARE(form.slider->parent(), &widget);
    QCOMPARE(form.slider->objectName(), QStringLiteral("slider"));
    QCOMPARE(form.slider->minimum(), 0);
    QCOMPARE(form.slider->maximum(), 1000);
    QCOMPARE(form.slider->value(), 10);

    QCOMPARE(form.doubleSpinBox->parent(), &widget);
    QCOMPARE(form.doubleSpinBox->objectName(), QStringLiteral("doubleSpinBox"));
    QCOMPARE(form.doubleSpinBox->minimum(), 0.0);
    QCOMPARE(form.doubleSpinBox->maximum(), 100.0);
    QCOMPARE(form.doubleSpinBox->value(), 1.0);
}

void tst_QxSliderSpinBox::formKeepsObjectName()
{
    QWidget widget;
    widget.setObjectName(QStringLiteral("volume"));
    Ui_QxSliderSpinBox form;
    form.setupUi(&widget);
    QCOMPARE(widget.objectName(), QStringLiteral("volume"));

    QxSliderSpinBox named;
    QCOMPARE(named.objectName(), QStringLiteral("QxSliderSpinBox"));
}

void tst_QxSliderSpinBox::formTitleIsTranslated()
{
    FormTranslator translator;
    QVERIFY(QCoreApplication::installTranslator(&translator));
    QxSliderSpinBox widget;
    QCoreApplication::removeTranslator(&translator);

    QCOMPARE(widget.windowTitle(), QStringLiteral("Formulaire"));
    const QStringList lookup { QStringLiteral("QxSliderSpinBox"), QStringLiteral("Form"),
                               QString() };
    QVERIFY(translator.lookups.contains(lookup));

    Ui_QxSliderSpinBox form;
    form.retranslateUi(&widget);
    QCOMPARE(widget.windowTitle(), QStringLiteral("Form"));
}

void tst_QxSliderSpinBox::formConnectsSlotsByName()
{
    AutoConnected widget;
    Ui_QxSliderSpinBox form;
    form.setupUi(&widget);
    form.slider->setValue(321);
    QCOMPARE(widget.received, 321);
}

void tst_QxSliderSpinBox::newWidget()
{
    QWidget parent;
    auto *widget = new QxSliderSpinBox(&parent);
    QCOMPARE(widget->parent(), &parent);
    QCOMPARE(widget->windowFlags(), QWidget(&parent).windowFlags());
    const Children children(widget);
    QVERIFY(children.slider && children.spinBox);
    QCOMPARE(children.slider->parent(), widget);
    QCOMPARE(children.slider->value(), 10);
    QCOMPARE(children.slider->maximum(), 1000);
    QCOMPARE(children.spinBox->value(), 1.0);
    QCOMPARE(children.spinBox->minimum(), 0.0);
    QCOMPARE(children.spinBox->maximum(), 100.0);

    // The children go with the widget.
    QPointer<QSlider> slider = children.slider;
    delete widget;
    QVERIFY(slider.isNull());
}

void tst_QxSliderSpinBox::metaObject()
{
    const QMetaObject &meta = QxSliderSpinBox::staticMetaObject;
    QCOMPARE(meta.className(), "QxSliderSpinBox");
    QCOMPARE(meta.superClass(), &QWidget::staticMetaObject);
    QCOMPARE(meta.methodCount() - meta.methodOffset(), 5);
    const QMetaMethod signal = meta.method(meta.indexOfSignal("valueChanged(double)"));
    QCOMPARE(signal.methodType(), QMetaMethod::Signal);
    QCOMPARE(signal.parameterNames(), QList<QByteArray> { "value" });
    QVERIFY(meta.indexOfSignal("editingFinished()") >= meta.methodOffset());
    for (const char *slot :
         { "onSliderMoved(int)", "onValueChanged(double)", "setValue(double)" }) {
        const int index = meta.indexOfSlot(slot);
        QVERIFY2(index >= meta.methodOffset(), slot);
        QCOMPARE(meta.method(index).access(), QMetaMethod::Public);
    }
}

void tst_QxSliderSpinBox::dragSlider()
{
    ShownWidget shown;
    QVERIFY(shown.exposed);
    QSlider *slider = shown.children.slider;
    QDoubleSpinBox *spinBox = shown.children.spinBox;
    QSignalSpy values(&shown.widget, SIGNAL(valueChanged(double)));
    QSignalSpy spinBoxValues(spinBox, SIGNAL(valueChanged(double)));

    const QRect handle = handleOf(slider);
    const QPoint from = slider->mapTo(&shown.widget, handle.center());
    QTest::mousePress(&shown.widget, Qt::LeftButton, Qt::NoModifier, from);
    QVERIFY(slider->isSliderDown());
    QCOMPARE(values.count(), 0);

    // Each drag step reaches the widget twice, through sliderMoved(int) and
    // valueChanged(int), with the same value both times.
    int steps = 0;
    for (int dx = 40; dx <= 200; dx += 40) {
        const int before = slider->value();
        QTest::mouseMove(&shown.widget, from + QPoint(dx, 0));
        QVERIFY(slider->value() > before);
        steps += 1;
        QCOMPARE(values.count(), 2 * steps);
        const double expected = 0.1 * slider->value();
        QCOMPARE(values.at(values.count() - 2).at(0).toDouble(), expected);
        QCOMPARE(values.last().at(0).toDouble(), expected);
        QCOMPARE(spinBox->value(), std::round(expected * 100) / 100);
    }
    QTest::mouseRelease(&shown.widget, Qt::LeftButton, Qt::NoModifier, from + QPoint(200, 0));
    QCOMPARE(values.count(), 2 * steps);
    // The spin box changed silently: nothing came back to the slider.
    QCOMPARE(spinBoxValues.count(), 0);
}

void tst_QxSliderSpinBox::sliderKeysAndPageClicks()
{
    ShownWidget shown;
    QVERIFY(shown.exposed);
    QSlider *slider = shown.children.slider;
    QDoubleSpinBox *spinBox = shown.children.spinBox;
    slider->setValue(500);
    QCOMPARE(spinBox->value(), 50.0);
    QSignalSpy values(&shown.widget, SIGNAL(valueChanged(double)));

    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Right);
    QCOMPARE(slider->value(), 501);
    QCOMPARE(values.count(), 1);
    QCOMPARE(values.at(0).at(0).toDouble(), 50.1);
    QCOMPARE(spinBox->value(), 50.1);

    QTest::keyClick(slider, Qt::Key_PageDown);
    QCOMPARE(slider->value(), 491);
    QCOMPARE(values.count(), 2);
    QCOMPARE(values.at(1).at(0).toDouble(), 49.1);

    // A press on the groove beyond the handle pages towards it.
    const QRect handle = handleOf(slider);
    const QPoint groove
            = slider->mapTo(&shown.widget, QPoint(slider->width() - 3, handle.center().y()));
    QTest::mouseClick(&shown.widget, Qt::LeftButton, Qt::NoModifier, groove);
    QCOMPARE(slider->value(), 501);
    QCOMPARE(values.count(), 3);
    QCOMPARE(values.at(2).at(0).toDouble(), 50.1);
}

void tst_QxSliderSpinBox::spinBoxMovesSlider_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<double>("expected");
    QTest::addColumn<QList<double>>("expectedEmits");

    QTest::newRow("setValue") << "set" << 25.0 << QList<double> { 25.0 };
    QTest::newRow("arrow key") << "step" << 2.0 << QList<double> { 2.0 };
    // Every keystroke is a change, and QAbstractSpinBox reports the value
    // once more on Enter.
    QTest::newRow("typed") << "type" << 25.0 << QList<double> { 2.0, 25.0, 25.0 };
}

void tst_QxSliderSpinBox::spinBoxMovesSlider()
{
    QFETCH(QString, how);
    QFETCH(double, expected);
    QFETCH(QList<double>, expectedEmits);

    ShownWidget shown;
    QVERIFY(shown.exposed);
    QSlider *slider = shown.children.slider;
    QDoubleSpinBox *spinBox = shown.children.spinBox;
    QSignalSpy values(&shown.widget, SIGNAL(valueChanged(double)));
    QSignalSpy sliderValues(slider, SIGNAL(valueChanged(int)));

    if (how == QLatin1String("set")) {
        spinBox->setValue(25.0);
    } else if (how == QLatin1String("step")) {
        spinBox->setFocus();
        QTest::keyClick(spinBox, Qt::Key_Up);
    } else {
        spinBox->setFocus();
        spinBox->selectAll();
        QTest::keyClicks(spinBox, QStringLiteral("25"));
        QTest::keyClick(spinBox, Qt::Key_Enter);
    }
    QCOMPARE(spinBox->value(), expected);
    QCOMPARE(slider->value(), int(expected * 10));
    QList<double> emitted;
    for (const QList<QVariant> &arguments : values)
        emitted.append(arguments.at(0).toDouble());
    QCOMPARE(emitted, expectedEmits);
    // The slider moved silently.
    QCOMPARE(sliderValues.count(), 0);
}

void tst_QxSliderSpinBox::rangeEnds_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<bool>("setsMax");
    QTest::addColumn<double>("end");
    QTest::addColumn<double>("expectedValue");
    QTest::addColumn<int>("expectedSlider");
    QTest::addColumn<QList<double>>("expectedEmits");

    QTest::newRow("max below the value")
            << 75.0 << true << 50.0 << 50.0 << 1000 << QList<double> { 50.0 };
    QTest::newRow("max above the value") << 25.0 << true << 50.0 << 25.0 << 500 << QList<double> {};
    QTest::newRow("max equal to the value")
            << 50.0 << true << 50.0 << 50.0 << 1000 << QList<double> {};
    QTest::newRow("min below the value")
            << 60.0 << false << 20.0 << 60.0 << 500 << QList<double> {};
    QTest::newRow("min above the value")
            << 10.0 << false << 20.0 << 20.0 << 0 << QList<double> { 20.0 };
    // The spin box keeps two decimals, so its value does not change here; the
    // slider moves with the range all the same.
    QTest::newRow("min above by less than a decimal")
            << 20.0 << false << 20.004 << 20.0 << 0 << QList<double> {};
}

void tst_QxSliderSpinBox::rangeEnds()
{
    QFETCH(double, start);
    QFETCH(bool, setsMax);
    QFETCH(double, end);
    QFETCH(double, expectedValue);
    QFETCH(int, expectedSlider);
    QFETCH(QList<double>, expectedEmits);

    ShownWidget shown;
    QVERIFY(shown.exposed);
    QSlider *slider = shown.children.slider;
    QDoubleSpinBox *spinBox = shown.children.spinBox;
    spinBox->setValue(start);
    QSignalSpy values(&shown.widget, SIGNAL(valueChanged(double)));

    if (setsMax)
        shown.widget.setMax(end);
    else
        shown.widget.setMin(end);
    QCOMPARE(spinBox->value(), expectedValue);
    QCOMPARE(slider->value(), expectedSlider);
    QList<double> emitted;
    for (const QList<QVariant> &arguments : values)
        emitted.append(arguments.at(0).toDouble());
    QCOMPARE(emitted, expectedEmits);
}

void tst_QxSliderSpinBox::spinBoxFollowsRange()
{
    ShownWidget shown;
    QVERIFY(shown.exposed);
    QSlider *slider = shown.children.slider;
    QDoubleSpinBox *spinBox = shown.children.spinBox;
    shown.widget.setMax(300.0);
    shown.widget.setMin(-100.0);
    QCOMPARE(spinBox->minimum(), -100.0);
    QCOMPARE(spinBox->maximum(), 300.0);

    QSignalSpy values(&shown.widget, SIGNAL(valueChanged(double)));
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_End);
    QCOMPARE(values.count(), 1);
    QCOMPARE(values.at(0).at(0).toDouble(), 300.0);
    QCOMPARE(spinBox->value(), 300.0);
    QTest::keyClick(slider, Qt::Key_Home);
    QCOMPARE(values.at(1).at(0).toDouble(), -100.0);
    QCOMPARE(spinBox->value(), -100.0);

    spinBox->setValue(250.0);
    QCOMPARE(slider->value(), 875);
}

void tst_QxSliderSpinBox::degenerateRanges_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<int>("expectedSlider");

    // The spin box stays at 1.0 unless its range moves it.
    QTest::newRow("empty range at the value") << 1.0 << 1.0 << 0;
    QTest::newRow("nan minimum") << notANumber << 100.0 << 0;
    QTest::newRow("nan maximum") << 0.0 << notANumber << 0;
    QTest::newRow("infinite maximum") << 0.0 << inf << 0;
    QTest::newRow("infinite range") << -inf << inf << 0;
    QTest::newRow("largest range")
            << std::numeric_limits<double>::lowest() << std::numeric_limits<double>::max() << 0;
}

void tst_QxSliderSpinBox::degenerateRanges()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(int, expectedSlider);

    ShownWidget shown;
    QVERIFY(shown.exposed);
    shown.widget.setMax(max);
    shown.widget.setMin(min);
    QCOMPARE(shown.children.slider->value(), expectedSlider);
    QSignalSpy values(&shown.widget, SIGNAL(valueChanged(double)));
    shown.children.slider->setValue(1000);
    QCOMPARE(values.count(), 1);
    shown.widget.adjustSlider();
    QVERIFY(shown.children.slider->value() >= 0 && shown.children.slider->value() <= 1000);
}

void tst_QxSliderSpinBox::randomUse_data()
{
    QTest::addColumn<quint32>("seed");
    for (const quint32 seed : { 7u, 99991u, 3141592653u })
        QTest::addRow("seed %u", seed) << seed;
}

// Random sequences of range changes, slider and spin-box input with extreme
// values. Under the sanitizer build any undefined behaviour aborts the test.
void tst_QxSliderSpinBox::randomUse()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    const Qt::Key keys[] = { Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp, Qt::Key_PageDown,
                             Qt::Key_Home, Qt::Key_End,   Qt::Key_Up,     Qt::Key_Down };

    ShownWidget shown;
    QVERIFY(shown.exposed);
    QSlider *slider = shown.children.slider;
    QDoubleSpinBox *spinBox = shown.children.spinBox;
    for (int round = 0; round < 400; ++round) {
        switch (random.bounded(7)) {
        case 0:
            shown.widget.setMin(anyDouble(random, 400));
            break;
        case 1:
            shown.widget.setMax(anyDouble(random, 400));
            break;
        case 2:
            slider->setValue(int(random.bounded(1200)) - 100);
            break;
        case 3:
            spinBox->setValue(anyDouble(random, 400));
            break;
        case 4:
            QTest::keyClick(random.bounded(2) ? static_cast<QWidget *>(slider) : spinBox,
                            keys[random.bounded(int(sizeof keys / sizeof *keys))]);
            break;
        case 5:
            QTest::mouseClick(&shown.widget, Qt::LeftButton, Qt::NoModifier,
                              QPoint(random.bounded(shown.widget.width()),
                                     random.bounded(shown.widget.height())));
            break;
        default:
            shown.widget.adjustSlider();
            break;
        }
        QVERIFY(slider->value() >= 0 && slider->value() <= 1000);
    }
}

// clang-format off
void tst_QxSliderSpinBox::emitsWhatItShows_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("position");
    QTest::addColumn<double>("expected");
    QTest::addColumn<QString>("shown");

    QTest::newRow("0..100, the default") << 0.0 << 100.0 << 501 << 50.1 << "50.10";
    QTest::newRow("0..1") << 0.0 << 1.0 << 555 << 0.555 << "0.555";
    QTest::newRow("0..1e-6") << 0.0 << 1e-6 << 500 << 5e-7 << "0.000000500";
    QTest::newRow("-1..1") << -1.0 << 1.0 << 999 << 0.998 << "0.998";
    QTest::newRow("0..10000") << 0.0 << 10000.0 << 333 << 3330.0 << "3330.00";
}
// clang-format on

// A slider move emits the value the spin box shows, and the spin box has the
// decimals to show every position of the range apart.
void tst_QxSliderSpinBox::emitsWhatItShows()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(int, position);
    QFETCH(double, expected);
    QFETCH(QString, shown);

    ShownWidget shownWidget;
    QVERIFY(shownWidget.exposed);
    QxSliderSpinBox &widget = shownWidget.widget;
    const Children &children = shownWidget.children;
    widget.setMin(minimum);
    widget.setMax(maximum);
    QCOMPARE(children.spinBox->maximum(), maximum);
    QSignalSpy spy(&widget, &QxSliderSpinBox::valueChanged);
    children.slider->setFocus();
    children.slider->setValue(position - 1);
    spy.clear();
    QTest::keyClick(children.slider, Qt::Key_Right);
    QCOMPARE(children.slider->value(), position);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toDouble(), children.spinBox->value());
    QCOMPARE(children.spinBox->value(), expected);
    QCOMPARE(children.spinBox->text(), shown);
}

// Decimals that a caller gave the spin box stay when the range changes.
void tst_QxSliderSpinBox::callerDecimalsKept()
{
    QxSliderSpinBox widget;
    const Children children(&widget);
    children.spinBox->setDecimals(4);
    widget.setMax(1e-6);
    QCOMPARE(children.spinBox->decimals(), 4);
    widget.setMax(1.0);
    QCOMPARE(children.spinBox->decimals(), 4);
}

// clang-format off
void tst_QxSliderSpinBox::typedValuePlacesNearest_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("position");

    QTest::newRow("32.3 stands at 323") << "32.3" << 323;
    QTest::newRow("99.99 rounds to the end") << "99.99" << 1000;
    QTest::newRow("0.04 rounds to the start") << "0.04" << 0;
    QTest::newRow("0.06 rounds up") << "0.06" << 1;
}
// clang-format on

// A value typed into the spin box places the slider at the nearest position.
void tst_QxSliderSpinBox::typedValuePlacesNearest()
{
    QFETCH(QString, typed);
    QFETCH(int, position);

    ShownWidget shownWidget;
    QVERIFY(shownWidget.exposed);
    const Children &children = shownWidget.children;
    children.spinBox->setFocus();
    children.spinBox->selectAll();
    QTest::keyClicks(children.spinBox, typed);
    QTest::keyClick(children.spinBox, Qt::Key_Return);
    QCOMPARE(children.spinBox->value(), typed.toDouble());
    QCOMPARE(children.slider->value(), position);
}

// As with a plain QDoubleSpinBox, a label's buddy mnemonic (Alt+A on "&Amount")
// and a focus request reach the spin box; both children have accessible names.
void tst_QxSliderSpinBox::buddyMnemonicFocusesSpinBox()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *label = new QLabel(QStringLiteral("&Amount"), &window);
    auto *widget = new QxSliderSpinBox(&window);
    auto *other = new QLineEdit(&window);
    // The plain widget a form would otherwise hold, as the oracle.
    auto *plainLabel = new QLabel(QStringLiteral("&Plain"), &window);
    auto *plain = new QDoubleSpinBox(&window);
    layout->addWidget(label);
    layout->addWidget(widget);
    layout->addWidget(plainLabel);
    layout->addWidget(plain);
    layout->addWidget(other);
    label->setBuddy(widget);
    plainLabel->setBuddy(plain);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QTRY_VERIFY(other->hasFocus());

    QTest::keyClick(window.windowHandle(), Qt::Key_P, Qt::AltModifier);
    QTRY_VERIFY(plain->hasFocus());
    const Children children(widget);
    QTest::keyClick(window.windowHandle(), Qt::Key_A, Qt::AltModifier);
    QTRY_VERIFY(children.spinBox->hasFocus());
    other->setFocus();
    QTRY_VERIFY(other->hasFocus());
    widget->setFocus();
    QTRY_VERIFY(children.spinBox->hasFocus());

    QVERIFY(!children.slider->accessibleName().isEmpty());
    QVERIFY(!children.spinBox->accessibleName().isEmpty());
    QVERIFY(children.slider->accessibleName() != children.spinBox->accessibleName());
}

// The slider's position runs 0..1000; a screen reader hears and sets the
// widget's value through it, as through the spin box.
void tst_QxSliderSpinBox::accessibleSliderSpeaksForTheValue()
{
    QxSliderSpinBox widget;
    const Children children(&widget);
    widget.setMin(-1.0);
    widget.setMax(1.0);
    children.spinBox->setValue(0.25);
    QAccessibleInterface *slider = QAccessible::queryAccessibleInterface(children.slider);
    QVERIFY(slider && slider->valueInterface());
    QCOMPARE(slider->valueInterface()->currentValue().toDouble(), 0.25);
    QCOMPARE(slider->valueInterface()->minimumValue().toDouble(), -1.0);
    QCOMPARE(slider->valueInterface()->maximumValue().toDouble(), 1.0);
    QCOMPARE(slider->text(QAccessible::Value), children.spinBox->text());
    QCOMPARE(slider->text(QAccessible::Name), children.slider->accessibleName());

    QSignalSpy spy(&widget, &QxSliderSpinBox::valueChanged);
    slider->valueInterface()->setCurrentValue(-0.5);
    QCOMPARE(children.spinBox->value(), -0.5);
    QCOMPARE(children.slider->value(), 250);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toDouble(), -0.5);
}

// clang-format off
void tst_QxSliderSpinBox::properties_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QVariant>("written");
    QTest::addColumn<QString>("shown");

    QTest::newRow("minimum") << QByteArray("minimum") << QVariant(-2.5) << "1.00";
    // The range 0..7.25 takes a third decimal to tell the positions apart.
    QTest::newRow("maximum") << QByteArray("maximum") << QVariant(7.25) << "1.000";
    QTest::newRow("decimals") << QByteArray("decimals") << QVariant(3) << "1.000";
    QTest::newRow("singleStep") << QByteArray("singleStep") << QVariant(0.25) << "1.00";
    QTest::newRow("pageStep") << QByteArray("pageStep") << QVariant(0.5) << "1.00";
    QTest::newRow("prefix") << QByteArray("prefix") << QVariant(QStringLiteral("≈ ")) << "≈ 1.00";
    QTest::newRow("suffix") << QByteArray("suffix") << QVariant(QStringLiteral(" mm")) << "1.00 mm";
    QTest::newRow("tracking") << QByteArray("tracking") << QVariant(false) << "1.00";
    QTest::newRow("value") << QByteArray("value") << QVariant(42.5) << "42.50";
}
// clang-format on

// Every property reads back what QObject::setProperty() (QUiLoader's way, and
// an item delegate's) wrote, through the widget's own setter; value is the
// user property.
void tst_QxSliderSpinBox::properties()
{
    QFETCH(QByteArray, name);
    QFETCH(QVariant, written);
    QFETCH(QString, shown);

    QxSliderSpinBox widget;
    const QMetaObject *meta = widget.metaObject();
    const QMetaProperty property = meta->property(meta->indexOfProperty(name));
    QVERIFY(property.isValid());
    QVERIFY(property.isWritable());
    QVERIFY(property.isDesignable());
    QCOMPARE(property.isUser(), name == "value");
    QCOMPARE(property.userType(), written.userType());

    QVERIFY(widget.setProperty(name, written));
    QCOMPARE(widget.property(name), written);
    QCOMPARE(Children(&widget).spinBox->text(), shown);
    QCOMPARE(meta->userProperty().name(), "value");
    QCOMPARE(meta->userProperty().notifySignal().methodSignature(),
             QByteArray("valueChanged(double)"));
}

void tst_QxSliderSpinBox::settersInAnyOrder_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("singleStep");
    QTest::addColumn<double>("pageStep");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QList<int>>("order");
    QTest::addColumn<int>("sliderSingleStep");
    QTest::addColumn<int>("sliderPageStep");

    struct Case
    {
        const char *name;
        double minimum, maximum, singleStep, pageStep;
        int decimals, sliderSingleStep, sliderPageStep;
    };
    // The range alone would give 6 decimals to the second case and 2 to the
    // third; the steps are whole positions of the range.
    const Case cases[] = { { "-2.5..7.25", -2.5, 7.25, 0.25, 1.0, 3, 26, 103 },
                           { "0..1e-3", 0.0, 1e-3, 1e-4, 5e-4, 4, 100, 500 },
                           { "10..20", 10.0, 20.0, 2.0, 5.0, 0, 200, 500 } };
    const char *calls[] = { "range", "single step", "page step", "decimals" };
    for (const Case &c : cases) {
        QList<int> order { 0, 1, 2, 3 };
        do {
            QStringList names;
            for (int call : order)
                names << QLatin1String(calls[call]);
            QTest::addRow("%s: %s", c.name, qPrintable(names.join(QLatin1String(", "))))
                    << c.minimum << c.maximum << c.singleStep << c.pageStep << c.decimals << order
                    << c.sliderSingleStep << c.sliderPageStep;
        } while (std::next_permutation(order.begin(), order.end()));
    }
}

// The range, the steps and the decimals, set in any order, leave the widget
// in one state: none of them undoes or is computed from a stale other.
void tst_QxSliderSpinBox::settersInAnyOrder()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, singleStep);
    QFETCH(double, pageStep);
    QFETCH(int, decimals);
    QFETCH(QList<int>, order);
    QFETCH(int, sliderSingleStep);
    QFETCH(int, sliderPageStep);

    const auto apply = [&](QxSliderSpinBox &widget, const QList<int> &calls) {
        for (int call : calls) {
            switch (call) {
            case 0:
                widget.setRange(minimum, maximum);
                break;
            case 1:
                widget.setSingleStep(singleStep);
                break;
            case 2:
                widget.setPageStep(pageStep);
                break;
            default:
                widget.setDecimals(decimals);
                break;
            }
        }
    };
    QxSliderSpinBox reference;
    apply(reference, { 0, 1, 2, 3 });
    QxSliderSpinBox widget;
    apply(widget, order);

    QCOMPARE(stateOf(widget), stateOf(reference));
    QCOMPARE(widget.minimum(), minimum);
    QCOMPARE(widget.maximum(), maximum);
    QCOMPARE(widget.decimals(), decimals);
    QCOMPARE(widget.singleStep(), singleStep);
    QCOMPARE(widget.pageStep(), pageStep);
    const Children children(&widget);
    QCOMPARE(children.spinBox->decimals(), decimals);
    QCOMPARE(children.slider->singleStep(), sliderSingleStep);
    QCOMPARE(children.slider->pageStep(), sliderPageStep);
    // Later ranges keep the chosen decimals.
    widget.setRange(0.0, 1e-6);
    QCOMPARE(widget.decimals(), decimals);
}

// clang-format off
void tst_QxSliderSpinBox::setValue_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::addColumn<int>("position");

    QTest::newRow("inside") << 2 << 25.0 << 25.0 << 250;
    QTest::newRow("rounded to the decimals") << 2 << 25.004 << 25.0 << 250;
    QTest::newRow("three decimals") << 3 << 1.125 << 1.125 << 11;
    QTest::newRow("unchanged") << 2 << 1.0 << 1.0 << 10;
    QTest::newRow("below the range") << 2 << -5.0 << 0.0 << 0;
    QTest::newRow("above the range") << 2 << 1e9 << 100.0 << 1000;
    QTest::newRow("infinity") << 2 << inf << 100.0 << 1000;
    QTest::newRow("minus infinity") << 2 << -inf << 0.0 << 0;
}
// clang-format on

// setValue() and the value property behave as QDoubleSpinBox::setValue() on
// the same range and decimals, and the slider follows.
void tst_QxSliderSpinBox::setValue()
{
    QFETCH(int, decimals);
    QFETCH(double, value);
    QFETCH(double, expected);
    QFETCH(int, position);

    for (const bool throughProperty : { false, true }) {
        QxSliderSpinBox widget;
        widget.setDecimals(decimals);
        QDoubleSpinBox plain;
        plain.setRange(0.0, 100.0);
        plain.setDecimals(decimals);
        plain.setValue(1.0);
        QSignalSpy values(&widget, &QxSliderSpinBox::valueChanged);
        QSignalSpy plainValues(&plain, SIGNAL(valueChanged(double)));

        if (throughProperty)
            QVERIFY(widget.setProperty("value", value));
        else
            widget.setValue(value);
        plain.setValue(value);
        QCOMPARE(widget.value(), expected);
        QCOMPARE(widget.value(), plain.value());
        QCOMPARE(doublesOf(values), doublesOf(plainValues));
        QCOMPARE(Children(&widget).slider->value(), position);
    }
}

void tst_QxSliderSpinBox::rangeHoldsEnds_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<QList<double>>("emits");
    QTest::addColumn<int>("position");

    // The widget starts at 50 on 0..100.
    QTest::newRow("setMinimum above the maximum")
            << Setup([](QxSliderSpinBox &w) { w.setMinimum(150.0); }) << 150.0 << 150.0
            << QList<double> { 150.0 } << 0;
    QTest::newRow("setMaximum below the minimum")
            << Setup([](QxSliderSpinBox &w) { w.setMaximum(-10.0); }) << -10.0 << -10.0
            << QList<double> { -10.0 } << 0;
    QTest::newRow("setRange reversed") << Setup([](QxSliderSpinBox &w) { w.setRange(5.0, 3.0); })
                                       << 5.0 << 5.0 << QList<double> { 5.0 } << 0;
    QTest::newRow("setRange beyond the value")
            << Setup([](QxSliderSpinBox &w) { w.setRange(200.0, 300.0); }) << 200.0 << 300.0
            << QList<double> { 200.0 } << 0;
    QTest::newRow("setRange around the value")
            << Setup([](QxSliderSpinBox &w) { w.setRange(-50.0, 150.0); }) << -50.0 << 150.0
            << QList<double> {} << 500;
    QTest::newRow("setMinimum below the value")
            << Setup([](QxSliderSpinBox &w) { w.setMinimum(25.0); }) << 25.0 << 100.0
            << QList<double> {} << 333;
}

// The Qt-style range setters keep the minimum at or below the maximum, as
// QDoubleSpinBox does, and a new range pulls the value in with one signal.
void tst_QxSliderSpinBox::rangeHoldsEnds()
{
    QFETCH(Setup, setup);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(QList<double>, emits);
    QFETCH(int, position);

    QxSliderSpinBox widget;
    widget.setValue(50.0);
    QSignalSpy values(&widget, &QxSliderSpinBox::valueChanged);
    setup(widget);
    QCOMPARE(widget.minimum(), minimum);
    QCOMPARE(widget.maximum(), maximum);
    const Children children(&widget);
    QCOMPARE(children.spinBox->minimum(), minimum);
    QCOMPARE(children.spinBox->maximum(), maximum);
    QCOMPARE(doublesOf(values), emits);
    QCOMPARE(children.slider->value(), position);
}

// clang-format off
void tst_QxSliderSpinBox::sliderKeysStepExactly_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<double>("expected");
    QTest::addColumn<int>("position");

    // Single step 0.25 and page step 1 over -2.5..7.25: a position is 0.00975.
    QTest::newRow("right") << -2.5 << 7.25 << 1.0 << int(Qt::Key_Right) << 1.25 << 385;
    QTest::newRow("left") << -2.5 << 7.25 << 1.0 << int(Qt::Key_Left) << 0.75 << 333;
    QTest::newRow("page up") << -2.5 << 7.25 << 1.0 << int(Qt::Key_PageUp) << 2.0 << 462;
    QTest::newRow("page down") << -2.5 << 7.25 << 1.0 << int(Qt::Key_PageDown) << 0.0 << 256;
    QTest::newRow("left stops at the minimum") << -2.5 << 7.25 << -2.4 << int(Qt::Key_Left) << -2.5 << 0;
    QTest::newRow("page up stops at the maximum") << -2.5 << 7.25 << 7.0 << int(Qt::Key_PageUp) << 7.25 << 1000;
    QTest::newRow("end") << -2.5 << 7.25 << 1.0 << int(Qt::Key_End) << 7.25 << 1000;
    // A position is 1.0 here: the step moves the value, not the knob.
    QTest::newRow("step within one position") << 0.0 << 1000.0 << 10.0 << int(Qt::Key_Right) << 10.25 << 10;
}
// clang-format on

// Once the steps are set, the slider's keys move the value by exactly them,
// as the spin box's arrows do, and the knob goes to the nearest position.
void tst_QxSliderSpinBox::sliderKeysStepExactly()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, start);
    QFETCH(int, key);
    QFETCH(double, expected);
    QFETCH(int, position);

    ShownWidget shown;
    QVERIFY(shown.exposed);
    QxSliderSpinBox &widget = shown.widget;
    widget.setRange(minimum, maximum);
    widget.setSingleStep(0.25);
    widget.setPageStep(1.0);
    widget.setValue(start);
    QSignalSpy values(&widget, &QxSliderSpinBox::valueChanged);
    QSlider *slider = shown.children.slider;
    slider->setFocus();
    QTest::keyClick(slider, Qt::Key(key));
    QCOMPARE(widget.value(), expected);
    QCOMPARE(doublesOf(values), QList<double> { expected });
    QCOMPARE(slider->value(), position);
}

void tst_QxSliderSpinBox::trackingDrag_data()
{
    QTest::addColumn<bool>("tracking");
    QTest::addColumn<bool>("backToStart");

    QTest::newRow("tracking, moved") << true << false;
    QTest::newRow("tracking, back to the start") << true << true;
    QTest::newRow("no tracking, moved") << false << false;
    QTest::newRow("no tracking, back to the start") << false << true;
}

// A drag of the widget's slider announces values as a drag of a plain QSlider
// with the same tracking does: while dragging with tracking, else on release
// only if it moved. editingFinished() follows the release's value.
void tst_QxSliderSpinBox::trackingDrag()
{
    QFETCH(bool, tracking);
    QFETCH(bool, backToStart);

    Window window;
    QVERIFY(window.active);
    QxSliderSpinBox *widget = window.widget;
    const Children children(widget);
    // 0.04 stands at position 0, where a drag can come back to exactly.
    widget->setValue(0.04);
    widget->setTracking(tracking);
    window.plainSlider->setValue(0);
    window.plainSlider->setTracking(tracking);
    QCOMPARE(widget->hasTracking(), tracking);
    QCOMPARE(widget->property("tracking").toBool(), tracking);

    // Away from the spin box, whose own end of editing is not the drag's.
    window.afterWidget->setFocus();
    QTRY_VERIFY(window.afterWidget->hasFocus());
    QStringList log;
    connect(widget, &QxSliderSpinBox::valueChanged, widget,
            [&log](double value) { log << QString::number(value); });
    connect(widget, &QxSliderSpinBox::editingFinished, widget,
            [&log] { log << QStringLiteral("finished"); });
    QSignalSpy plainValues(window.plainSlider, SIGNAL(valueChanged(int)));

    const int back = backToStart ? 100 : 0;
    int whileDragging = -1;
    drag(&window.window, children.slider, 100, back, [&] {
        whileDragging = log.count();
        // The spin box shows where the drag is, in either case.
        QCOMPARE(children.spinBox->value(), std::round(children.slider->sliderPosition()) / 10.0);
    });
    int plainWhileDragging = -1;
    drag(&window.window, window.plainSlider, 100, back,
         [&] { plainWhileDragging = plainValues.count(); });

    QCOMPARE(children.slider->value() > 0, window.plainSlider->value() > 0);
    QVERIFY2(log.count(QStringLiteral("finished")) == 1, qPrintable(log.join(QLatin1Char(' '))));
    QCOMPARE(whileDragging > 0, plainWhileDragging > 0);
    const int atRelease = log.count() - whileDragging - 1;
    QCOMPARE(atRelease, plainValues.count() - plainWhileDragging);
    QCOMPARE(log.last(), QStringLiteral("finished"));
    QCOMPARE(log.count(QStringLiteral("finished")), 1);
    if (!backToStart) {
        QVERIFY(children.slider->value() > 0);
        QCOMPARE(log.at(log.count() - 2), QString::number(children.slider->value() / 10.0));
    }
    // Without tracking a drag that changed nothing leaves the value as it was.
    const double expected = backToStart ? (tracking ? 0.0 : 0.04) : children.slider->value() / 10.0;
    QCOMPARE(widget->value(), expected);
}

void tst_QxSliderSpinBox::trackingSpinBox_data()
{
    QTest::addColumn<bool>("tracking");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("finish");

    QTest::newRow("tracking, Return") << true << "25" << int(Qt::Key_Return);
    QTest::newRow("tracking, Tab") << true << "25" << int(Qt::Key_Tab);
    QTest::newRow("no tracking, Return") << false << "25" << int(Qt::Key_Return);
    QTest::newRow("no tracking, Enter") << false << "37.5" << int(Qt::Key_Enter);
    QTest::newRow("no tracking, Tab") << false << "25" << int(Qt::Key_Tab);
    QTest::newRow("no tracking, arrow") << false << "" << int(Qt::Key_Up);
}

// Typing in the widget's spin box announces values and the end of editing as
// a plain QDoubleSpinBox with the same keyboard tracking does.
void tst_QxSliderSpinBox::trackingSpinBox()
{
    QFETCH(bool, tracking);
    QFETCH(QString, typed);
    QFETCH(int, finish);

    Window window;
    QVERIFY(window.active);
    QxSliderSpinBox *widget = window.widget;
    widget->setTracking(tracking);
    window.plainSpinBox->setKeyboardTracking(tracking);
    window.plainSpinBox->setValue(1.0);
    QSignalSpy values(widget, &QxSliderSpinBox::valueChanged);
    QSignalSpy finished(widget, &QxSliderSpinBox::editingFinished);
    QSignalSpy plainValues(window.plainSpinBox, SIGNAL(valueChanged(double)));
    QSignalSpy plainFinished(window.plainSpinBox, &QAbstractSpinBox::editingFinished);

    // What came while typing, and everything up to the finishing key.
    struct Seen
    {
        QList<double> typed;
        QList<double> all;
        int finished = 0;
    };
    const auto edit = [&](QWidget *target, QAbstractSpinBox *spinBox, const QSignalSpy &values,
                          const QSignalSpy &finished) {
        Seen seen;
        target->setFocus();
        if (!QTest::qWaitFor([spinBox] { return spinBox->hasFocus(); }))
            return seen;
        spinBox->selectAll();
        QTest::keyClicks(spinBox, typed);
        seen.typed = doublesOf(values);
        QTest::keyClick(spinBox, Qt::Key(finish));
        seen.all = doublesOf(values);
        seen.finished = finished.count();
        return seen;
    };
    const Children children(widget);
    const Seen seen = edit(widget, children.spinBox, values, finished);
    const Seen plain = edit(window.plainSpinBox, window.plainSpinBox, plainValues, plainFinished);

    QCOMPARE(seen.typed, plain.typed);
    QCOMPARE(seen.all, plain.all);
    QCOMPARE(seen.finished, plain.finished);
    QCOMPARE(widget->value(), window.plainSpinBox->value());
    QCOMPARE(children.slider->value(), int(std::lround(widget->value() * 10)));
    QVERIFY(!seen.all.isEmpty());
    if (!tracking && !typed.isEmpty())
        QVERIFY(seen.typed.isEmpty());
}

// clang-format off
void tst_QxSliderSpinBox::prefixAndSuffixShown_data()
{
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<QString>("text");

    QTest::newRow("suffix") << "" << " mm" << "3.50 mm";
    QTest::newRow("prefix") << "≈ " << "" << "≈ 3.50";
    QTest::newRow("both") << "Δ " << " %" << "Δ 3.50 %";
}
// clang-format on

// The prefix and suffix frame the number that is shown, typed over and read
// out; the value stays the number.
void tst_QxSliderSpinBox::prefixAndSuffixShown()
{
    QFETCH(QString, prefix);
    QFETCH(QString, suffix);
    QFETCH(QString, text);

    Window window;
    QVERIFY(window.active);
    QxSliderSpinBox *widget = window.widget;
    widget->setPrefix(prefix);
    widget->setSuffix(suffix);
    QCOMPARE(widget->prefix(), prefix);
    QCOMPARE(widget->suffix(), suffix);
    const Children children(widget);
    QSignalSpy values(widget, &QxSliderSpinBox::valueChanged);
    widget->setFocus();
    QTRY_VERIFY(children.spinBox->hasFocus());
    children.spinBox->selectAll();
    QTest::keyClicks(children.spinBox, QStringLiteral("3.5"));
    QTest::keyClick(children.spinBox, Qt::Key_Return);
    QCOMPARE(widget->value(), 3.5);
    QCOMPARE(values.last().at(0).toDouble(), 3.5);
    QCOMPARE(children.spinBox->text(), text);
    QCOMPARE(children.slider->value(), 35);
    QAccessibleInterface *slider = QAccessible::queryAccessibleInterface(children.slider);
    QVERIFY(slider);
    QCOMPARE(slider->text(QAccessible::Value), text);
}

void tst_QxSliderSpinBox::delegateEditsUserProperty_data()
{
    QTest::addColumn<bool>("styled");
    QTest::newRow("QStyledItemDelegate") << true;
    QTest::newRow("QItemDelegate") << false;
}

// An item view's delegate fills the editor from the model and writes the
// typed value back through the user property, committed by Return.
void tst_QxSliderSpinBox::delegateEditsUserProperty()
{
    QFETCH(bool, styled);

    QStandardItemModel model(1, 1);
    const QModelIndex index = model.index(0, 0);
    model.setData(index, 2.5);
    QTableView view;
    QScopedPointer<QAbstractItemDelegate> delegate;
    if (styled)
        delegate.reset(new SliderSpinBoxDelegate<QStyledItemDelegate>);
    else
        delegate.reset(new SliderSpinBoxDelegate<QItemDelegate>);
    view.setItemDelegate(delegate.data());
    view.setModel(&model);
    view.horizontalHeader()->setDefaultSectionSize(300);
    view.resize(400, 200);
    view.show();
    view.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&view));

    view.setCurrentIndex(index);
    QTest::keyClick(&view, Qt::Key_F2);
    auto *editor = qobject_cast<QxSliderSpinBox *>(view.indexWidget(index));
    QVERIFY(editor);
    QCOMPARE(editor->value(), 2.5);
    const Children children(editor);
    QCOMPARE(children.slider->value(), 250);
    QTRY_VERIFY(children.spinBox->hasFocus());
    children.spinBox->selectAll();
    QTest::keyClicks(children.spinBox, QStringLiteral("7.25"));
    QTest::keyClick(children.spinBox, Qt::Key_Return);
    QTRY_VERIFY(!view.indexWidget(index));
    const QVariant data = model.data(index, Qt::EditRole);
    QCOMPARE(data.userType(), int(QMetaType::Double));
    QCOMPARE(data.toDouble(), 7.25);
}

// Screen readers read the value, range and text, unit included, that the
// new setters give, and set the value through the slider.
void tst_QxSliderSpinBox::accessibleValueWithUnit()
{
    QxSliderSpinBox widget;
    widget.setRange(-2.5, 7.25);
    widget.setDecimals(3);
    widget.setSuffix(QStringLiteral(" mm"));
    widget.setValue(1.125);
    const Children children(&widget);
    QAccessibleInterface *slider = QAccessible::queryAccessibleInterface(children.slider);
    QVERIFY(slider && slider->valueInterface());
    QCOMPARE(slider->valueInterface()->currentValue().toDouble(), 1.125);
    QCOMPARE(slider->valueInterface()->minimumValue().toDouble(), -2.5);
    QCOMPARE(slider->valueInterface()->maximumValue().toDouble(), 7.25);
    QCOMPARE(slider->text(QAccessible::Value), QStringLiteral("1.125 mm"));

    QSignalSpy values(&widget, &QxSliderSpinBox::valueChanged);
    slider->valueInterface()->setCurrentValue(-1.5);
    QCOMPARE(widget.value(), -1.5);
    QCOMPARE(doublesOf(values), QList<double> { -1.5 });
    QCOMPARE(slider->text(QAccessible::Value), QStringLiteral("-1.500 mm"));
}

QTEST_MAIN(tst_QxSliderSpinBox)
#include "tst_QxSliderSpinBox.moc"
