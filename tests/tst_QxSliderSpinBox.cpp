// Mouse events go through the platform layer, as a real pointer's do, so that
// presses, moves and releases carry the button state of a real drag.
#define QTEST_QPA_MOUSE_HANDLING

#include <lumo/QxSliderSpinBox.h>
#include <lumo/Ui_QxSliderSpinBox.h>

#include <QtTest>

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QRandomGenerator>
#include <QStyleOptionSlider>
#include <QTranslator>

#include <cmath>
#include <limits>

namespace {

constexpr double notANumber = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

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

} // namespace

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
    QCOMPARE(meta.methodCount() - meta.methodOffset(), 3);
    const QMetaMethod signal = meta.method(meta.indexOfSignal("valueChanged(double)"));
    QCOMPARE(signal.methodType(), QMetaMethod::Signal);
    QCOMPARE(signal.parameterNames(), QList<QByteArray> { "value" });
    for (const char *slot : { "onSliderMoved(int)", "onValueChanged(double)" }) {
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
    const double extremes[] = { 0.0,
                                -0.0,
                                1.0,
                                100.0,
                                -1e-300,
                                1e300,
                                -1e300,
                                std::numeric_limits<double>::max(),
                                std::numeric_limits<double>::lowest(),
                                inf,
                                -inf,
                                notANumber,
                                2147483648.0 };
    const auto anyDouble = [&]() {
        if (random.bounded(3) == 0)
            return (random.generateDouble() - 0.5) * 400;
        return extremes[random.bounded(int(sizeof extremes / sizeof *extremes))];
    };
    const Qt::Key keys[] = { Qt::Key_Left, Qt::Key_Right, Qt::Key_PageUp, Qt::Key_PageDown,
                             Qt::Key_Home, Qt::Key_End,   Qt::Key_Up,     Qt::Key_Down };

    ShownWidget shown;
    QVERIFY(shown.exposed);
    QSlider *slider = shown.children.slider;
    QDoubleSpinBox *spinBox = shown.children.spinBox;
    for (int round = 0; round < 400; ++round) {
        switch (random.bounded(7)) {
        case 0:
            shown.widget.setMin(anyDouble());
            break;
        case 1:
            shown.widget.setMax(anyDouble());
            break;
        case 2:
            slider->setValue(int(random.bounded(1200)) - 100);
            break;
        case 3:
            spinBox->setValue(anyDouble());
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

QTEST_MAIN(tst_QxSliderSpinBox)
#include "tst_QxSliderSpinBox.moc"
