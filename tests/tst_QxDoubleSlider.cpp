// Mouse events go through the platform layer, as a real pointer's do, so that
// presses, moves and releases carry the button state of a real drag.
#define QTEST_QPA_MOUSE_HANDLING

#include <lumo/QxDoubleSlider.h>

#include "slidertest.h"

#include <QtTest>

#include <QProxyStyle>
#include <QRandomGenerator>
#include <QAccessible>
#include <QDoubleSpinBox>
#include <QSpinBox>
#include <QStyleFactory>
#include <QStyleOptionSlider>

#include <cmath>
#include <limits>
#include <memory>

namespace {

constexpr int intMin = std::numeric_limits<int>::min();
constexpr int intMax = std::numeric_limits<int>::max();
constexpr double epsilon = std::numeric_limits<double>::epsilon();
constexpr double largest = std::numeric_limits<double>::max();

// Where a plain QSlider of the same shape, style and style sheet draws its
// handle when it stands \a fraction of the way from its minimum to its maximum.
QRect plainHandle(const QSlider &like, double fraction)
{
    constexpr int referenceSpan = 1 << 20;
    ReferenceSlider plain;
    plain.setOrientation(like.orientation());
    plain.setLayoutDirection(like.layoutDirection());
    plain.setInvertedAppearance(like.invertedAppearance());
    if (like.testAttribute(Qt::WA_SetStyle))
        plain.setStyle(like.style());
    plain.setStyleSheet(like.styleSheet());
    plain.setRange(0, referenceSpan);
    plain.setValue(int(std::lround(fraction * referenceSpan)));
    plain.resize(like.size());
    plain.ensurePolished();
    return plain.handle();
}

// Gives the tests what the slider's protected interface offers subclasses.
class Slider : public QxDoubleSlider
{
public:
    using QxDoubleSlider::QxDoubleSlider;

    int position() const { return QAbstractSlider::value(); }
    void setPosition(int position) { QAbstractSlider::setValue(position); }
    // Where a plain QSlider would draw the handle for the integer position.
    QRect handle() const
    {
        return plainHandle(*this, (double(position()) - intMin) / (double(intMax) - intMin));
    }
};

// A shown slider over 0 to 99 of a useful size.
struct ShownSlider
{
    explicit ShownSlider(Qt::Orientation orientation, QSize size = QSize(400, 40))
    {
        slider.setOrientation(orientation);
        slider.resize(orientation == Qt::Horizontal ? size : size.transposed());
        slider.show();
        exposed = QTest::qWaitForWindowExposed(&slider);
    }
    Slider slider;
    bool exposed = false;
};

// A wheel event turning by angle (eighths of a degree on each axis).
void sendWheel(QWidget *widget, const QPoint &angle, Qt::KeyboardModifiers modifiers,
               bool *accepted)
{
    const QPointF centre = QRectF(widget->rect()).center();
    QWheelEvent event(centre, widget->mapToGlobal(centre.toPoint()), QPoint(), angle, Qt::NoButton,
                      modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
    *accepted = event.isAccepted();
}

void sendWheel(QWidget *widget, int delta, Qt::KeyboardModifiers modifiers, bool *accepted)
{
    sendWheel(widget, QPoint(0, delta), modifiers, accepted);
}

bool sameDouble(double a, double b)
{
    return a == b || (std::isnan(a) && std::isnan(b));
}

// How the application or the widget is styled, and when.
enum class Styling {
    Default,
    LongHandleStyleFirst,
    LongHandleStyleLater,
    AppSheetLater,
    WidgetSheetLater
};

} // namespace

Q_DECLARE_METATYPE(Styling)

class tst_QxDoubleSlider : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void metaObject();
    void doubleProperties_data();
    void doubleProperties();
    void pointerToMemberConnect();
    void toPosition_data();
    void toPosition();
    void toValue_data();
    void toValue();
    void setValueStoresAndAlwaysEmits_data();
    void setValueStoresAndAlwaysEmits();
    void knobPlacementDoesNotComeBack();
    void integerSteps_data();
    void integerSteps();
    void rangeEndsPullValue_data();
    void rangeEndsPullValue();
    void precision_data();
    void precision();
    void precisionThreshold_data();
    void precisionThreshold();
    void arrowKeyMovesBySingleStep();
    void keysMoveByExactSteps_data();
    void keysMoveByExactSteps();
    void wheelPieces_data();
    void wheelPieces();
    void nanIsRefused();
    void nearbyValuesStored_data();
    void nearbyValuesStored();
    void rangeEndsFollow_data();
    void rangeEndsFollow();
    void integerRangeStaysWhole_data();
    void integerRangeStaysWhole();
    void designerConnection_data();
    void designerConnection();
    void hoverLightsDrawnHandle_data();
    void hoverLightsDrawnHandle();
    void accessibleValue_data();
    void accessibleValue();
    void accessibleActions_data();
    void accessibleActions();
    void hugeRange_data();
    void hugeRange();
    void wheel_data();
    void wheel();
    void wheelAxes_data();
    void wheelAxes();
    void looksLikePlainSlider_data();
    void looksLikePlainSlider();
    void dragHandle();
    void clickJump_data();
    void clickJump();
    void pressWithoutJump_data();
    void pressWithoutJump();
    void randomUse_data();
    void randomUse();
};

void tst_QxDoubleSlider::defaults()
{
    Slider slider;
    QCOMPARE(slider.value(), 0.0);
    QCOMPARE(slider.minimum(), 0.0);
    QCOMPARE(slider.maximum(), 99.0);
    QCOMPARE(slider.singleStep(), 1.0);
    QCOMPARE(slider.pageStep(), 5.0);
    QCOMPARE(slider.getPrecision(), 1.0);
    QCOMPARE(QxDoubleSlider::getWheelDetent(), 120);
    QCOMPARE(slider.orientation(), Qt::Vertical);
    QCOMPARE(slider.QAbstractSlider::minimum(), intMin);
    QCOMPARE(slider.QAbstractSlider::maximum(), intMax);
    QCOMPARE(slider.position(), 0);
    // It draws with the application's style, as any widget.
    QCOMPARE(slider.style(), QApplication::style());
    QVERIFY(!slider.testAttribute(Qt::WA_SetStyle));
    // The integer steps stay QAbstractSlider's until a step or range is set.
    QCOMPARE(slider.QAbstractSlider::singleStep(), 1);
    QCOMPARE(slider.QAbstractSlider::pageStep(), 10);

    // Integer variants first; the setters store doubles.
    const QList<QPair<const char *, int>> initial
            = { { "valueDbl", 0 },    { "minDbl", 0 },        { "maxDbl", 99 },
                { "numDecimals", 0 }, { "singleStepDbl", 1 }, { "pageStepDbl", 5 } };
    for (const auto &property : initial) {
        const QVariant variant = slider.property(property.first);
        QCOMPARE(int(variant.type()), int(QVariant::Int));
        QCOMPARE(variant.toInt(), property.second);
    }
    slider.setValue(3);
    slider.setMinimum(-1);
    slider.setMaximum(10);
    slider.setSingleStep(0.5);
    slider.setPageStep(2);
    slider.setPrecision(2);
    for (const char *name : { "valueDbl", "minDbl", "maxDbl", "singleStepDbl", "pageStepDbl" })
        QCOMPARE(int(slider.property(name).type()), int(QVariant::Double));
    QCOMPARE(int(slider.property("numDecimals").type()), int(QVariant::Int));
    QCOMPARE(slider.property("valueDbl").toDouble(), 3.0);
    QCOMPARE(slider.property("numDecimals").toInt(), 2);
}

void tst_QxDoubleSlider::metaObject()
{
    QCOMPARE(QxDoubleSlider::staticMetaObject.superClass(), &QSlider::staticMetaObject);
    const QMetaObject &own = QxDoubleSlider::staticMetaObject;
    QCOMPARE(own.className(), "QxDoubleSlider");

    // A public signal, so that pointer-to-member connects compile.
    const int signal = own.indexOfSignal("doubleValueChanged(double)");
    QVERIFY(signal >= own.methodOffset());
    QCOMPARE(own.method(signal).access(), QMetaMethod::Public);
    const int slot = own.indexOfSlot("notifyValueChanged(int)");
    QVERIFY(slot >= own.methodOffset());
    QCOMPARE(own.method(slot).methodType(), QMetaMethod::Slot);
    QCOMPARE(own.method(slot).access(), QMetaMethod::Protected);
    // SLOT(setValue(int)), as a Designer form connects it, sets the value.
    const int designerSlot = own.indexOfSlot("setValue(int)");
    QVERIFY(designerSlot >= own.methodOffset());
    QCOMPARE(own.method(designerSlot).access(), QMetaMethod::Public);
    QCOMPARE(own.methodCount() - own.methodOffset(), 3);
}

// The double properties shadow QAbstractSlider's integer ones: setting one by
// name, as Designer, uic and QUiLoader do, runs the double setter, keeps the
// fraction and leaves the integer range whole. The dynamic copy follows.
void tst_QxDoubleSlider::doubleProperties_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("dynamicName");
    QTest::addColumn<double>("given");

    // clang-format off
    QTest::newRow("value") << QByteArray("value") << QByteArray("valueDbl") << 2.5;
    QTest::newRow("minimum") << QByteArray("minimum") << QByteArray("minDbl") << -1.5;
    QTest::newRow("maximum") << QByteArray("maximum") << QByteArray("maxDbl") << 2.5;
    QTest::newRow("single step") << QByteArray("singleStep") << QByteArray("singleStepDbl") << 0.25;
    QTest::newRow("page step") << QByteArray("pageStep") << QByteArray("pageStepDbl") << 7.5;
    // clang-format on
}

void tst_QxDoubleSlider::doubleProperties()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, dynamicName);
    QFETCH(double, given);

    const QMetaObject &own = QxDoubleSlider::staticMetaObject;
    const QMetaProperty property = own.property(own.indexOfProperty(name));
    QCOMPARE(property.enclosingMetaObject(), &own);
    QCOMPARE(property.userType(), int(QMetaType::Double));
    QVERIFY(property.isDesignable());

    Slider slider;
    QVERIFY(slider.setProperty(name, given));
    QCOMPARE(slider.property(name).toDouble(), given);
    QCOMPARE(slider.property(dynamicName).toDouble(), given);
    QCOMPARE(slider.QAbstractSlider::minimum(), intMin);
    QCOMPARE(slider.QAbstractSlider::maximum(), intMax);

    // Written through the dynamic copy, the state reads the same.
    slider.setProperty(dynamicName, given + 1.0);
    QCOMPARE(slider.property(name).toDouble(), given + 1.0);
}

// The value is the slider's user property, with its change signal, so item
// delegates and property bindings handle the double value.
void tst_QxDoubleSlider::pointerToMemberConnect()
{
    Slider slider;
    double received = 0.0;
    connect(&slider, &QxDoubleSlider::doubleValueChanged, &slider,
            [&received](double value) { received = value; });
    slider.setValue(4.75);
    QCOMPARE(received, 4.75);

    const QMetaProperty user = QxDoubleSlider::staticMetaObject.userProperty();
    QCOMPARE(user.name(), "value");
    QCOMPARE(user.userType(), int(QMetaType::Double));
    QCOMPARE(user.notifySignal().name(), QByteArray("doubleValueChanged"));
    slider.setMaximum(10.0);
    QVERIFY(user.write(&slider, 7.5));
    QCOMPARE(slider.value(), 7.5);
    QCOMPARE(slider.position(), slider.qxDoubleSliderToQSlider(7.5));
}

void tst_QxDoubleSlider::toPosition_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");

    QTest::newRow("minimum") << 0.0 << 99.0 << 0.0 << intMin;
    QTest::newRow("maximum") << 0.0 << 99.0 << 99.0 << intMax;
    QTest::newRow("middle") << 0.0 << 99.0 << 49.5 << 0;
    QTest::newRow("negative range middle") << -7.0 << -3.0 << -5.0 << 0;
    // 4294967295 / 10 - 2147483648 = -1717986918.5 rounds up.
    QTest::newRow("negative half rounds up") << 0.0 << 10.0 << 1.0 << -1717986918;
    QTest::newRow("positive half rounds up") << 0.0 << 10.0 << 9.0 << 1717986918;
    QTest::newRow("below the range") << 0.0 << 99.0 << -1.0 << intMin;
    QTest::newRow("far below the range") << 0.0 << 99.0 << -1e300 << intMin;
    QTest::newRow("above the range") << 0.0 << 99.0 << 100.0 << intMax;
    QTest::newRow("largest double") << 0.0 << 99.0 << std::numeric_limits<double>::max() << intMax;
    QTest::newRow("nan") << 0.0 << 99.0 << notANumber << intMin;
    QTest::newRow("+inf") << 0.0 << 99.0 << inf << intMax;
    QTest::newRow("-inf") << 0.0 << 99.0 << -inf << intMin;
    QTest::newRow("empty range at its value") << 5.0 << 5.0 << 5.0 << intMin;
    QTest::newRow("empty range above") << 5.0 << 5.0 << 6.0 << intMax;
    QTest::newRow("empty range below") << 5.0 << 5.0 << 4.0 << intMin;
    QTest::newRow("inverted range") << 10.0 << 0.0 << 2.5 << 1073741823;
    QTest::newRow("infinite range") << -inf << inf << 0.0 << intMin;
    QTest::newRow("nan minimum") << notANumber << 99.0 << 0.0 << intMin;
    QTest::newRow("huge range maximum") << -1e290 << 1e290 << 1e290 << intMax;
    // Every finite range maps without overflow.
    // clang-format off
    QTest::newRow("span beyond about 4e298, middle") << -1e300 << 1e300 << 0.0 << 0;
    QTest::newRow("span beyond about 4e298, maximum") << -1e300 << 1e300 << 1e300 << intMax;
    QTest::newRow("range wider than a double, middle") << -1e308 << 1e308 << 0.0 << 0;
    QTest::newRow("whole double range, middle") << -largest << largest << 0.0 << 0;
    QTest::newRow("whole double range, minimum") << -largest << largest << -largest << intMin;
    // clang-format on
    QTest::newRow("tiny range") << 0.0 << 1e-300 << 1e-300 << intMax;
}

void tst_QxDoubleSlider::toPosition()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, value);
    QFETCH(int, expected);
    Slider slider;
    slider.setProperty("minDbl", min);
    slider.setProperty("maxDbl", max);
    QCOMPARE(slider.qxDoubleSliderToQSlider(value), expected);
}

void tst_QxDoubleSlider::toValue_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<int>("position");
    QTest::addColumn<double>("expected");

    QTest::newRow("lowest position") << 0.0 << 99.0 << intMin << 0.0;
    QTest::newRow("highest position") << 0.0 << 99.0 << intMax << 99.0;
    QTest::newRow("zero, unrounded") << 0.0 << 99.0 << 0 << 2147483648.0 * 99 / 4294967295.0;
    QTest::newRow("offset range") << 10.0 << 20.0 << intMax << 20.0;
    QTest::newRow("empty range") << 5.0 << 5.0 << 12345 << 5.0;
    // clang-format off
    QTest::newRow("span beyond about 4e298, highest") << -1e300 << 1e300 << intMax << 1e300;
    QTest::newRow("span beyond about 4e298, lowest") << -1e300 << 1e300 << intMin << -1e300;
    QTest::newRow("whole double range, highest") << -largest << largest << intMax << largest;
    // clang-format on
}

void tst_QxDoubleSlider::toValue()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(int, position);
    QFETCH(double, expected);
    Slider slider;
    slider.setProperty("minDbl", min);
    slider.setProperty("maxDbl", max);
    QCOMPARE(slider.qSliderToQxDoubleSlider(position), expected);
    // And back: the position of a mapped value is the position itself.
    if (max > min)
        QCOMPARE(slider.qxDoubleSliderToQSlider(slider.qSliderToQxDoubleSlider(position)),
                 position);
}

void tst_QxDoubleSlider::setValueStoresAndAlwaysEmits_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("stored");
    QTest::addColumn<int>("position");

    QTest::newRow("inside") << 24.75 << 24.75 << -1073741824;
    QTest::newRow("the stored value again") << 0.0 << 0.0 << intMin;
    QTest::newRow("above the range is kept") << 150.0 << 150.0 << intMax;
    QTest::newRow("below the range is kept") << -3.5 << -3.5 << intMin;
    QTest::newRow("-inf is the minimum") << -inf << 0.0 << intMin;
    QTest::newRow("inf is the maximum") << inf << 99.0 << intMax;
}

void tst_QxDoubleSlider::setValueStoresAndAlwaysEmits()
{
    QFETCH(double, value);
    QFETCH(double, stored);
    QFETCH(int, position);
    Slider slider;
    slider.setValue(0.0);
    QSignalSpy spy(&slider, SIGNAL(doubleValueChanged(double)));
    slider.setValue(value);
    slider.setValue(value);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0).at(0).toDouble(), stored);
    QCOMPARE(spy.at(1).at(0).toDouble(), stored);
    QCOMPARE(slider.value(), stored);
    QCOMPARE(slider.position(), position);
}

void tst_QxDoubleSlider::knobPlacementDoesNotComeBack()
{
    Slider slider;
    slider.setPrecision(9);
    QSignalSpy positions(&slider, SIGNAL(valueChanged(int)));
    QSignalSpy values(&slider, SIGNAL(doubleValueChanged(double)));
    // 1/3 lands between integer positions: were the knob placement fed back,
    // the mapped position would differ by more than 1e-9 and be stored.
    slider.setValue(1.0 / 3.0);
    QCOMPARE(positions.count(), 1);
    QCOMPARE(values.count(), 1);
    QCOMPARE(slider.value(), 1.0 / 3.0);
    QVERIFY(slider.qSliderToQxDoubleSlider(slider.position()) != 1.0 / 3.0);

    // The connection is back: an integer change reaches the value again.
    slider.setPosition(0);
    QCOMPARE(values.count(), 2);
    QCOMPARE(slider.value(), slider.qSliderToQxDoubleSlider(0));

    // Many placements leave exactly one connection behind.
    for (int i = 0; i < 5; ++i)
        slider.updateValueQSlider();
    values.clear();
    slider.setPosition(intMax);
    QCOMPARE(values.count(), 1);
}

void tst_QxDoubleSlider::integerSteps_data()
{
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("step");
    QTest::addColumn<int>("expected");

    QTest::newRow("tenth of 0..10") << 0.0 << 10.0 << 1.0 << 429496730;
    QTest::newRow("tenth of 10..20") << 10.0 << 20.0 << 1.0 << 429496730;
    QTest::newRow("half of the range") << 0.0 << 99.0 << 49.5 << intMax;
    QTest::newRow("the whole range") << 0.0 << 99.0 << 99.0 << intMax;
    QTest::newRow("longer than the range") << 0.0 << 10.0 << 1e9 << intMax;
    QTest::newRow("zero") << 0.0 << 10.0 << 0.0 << 0;
    QTest::newRow("negative counts by its magnitude") << 0.0 << 10.0 << -1.0 << 429496730;
    QTest::newRow("nan") << 0.0 << 10.0 << notANumber << 0;
    QTest::newRow("inf") << 0.0 << 10.0 << inf << intMax;
    QTest::newRow("empty range") << 3.0 << 3.0 << 1.0 << intMax;
}

void tst_QxDoubleSlider::integerSteps()
{
    QFETCH(double, min);
    QFETCH(double, max);
    QFETCH(double, step);
    QFETCH(int, expected);

    Slider slider;
    slider.setSingleStep(step);
    slider.setPageStep(step);
    // The range setters derive the integer steps again from the stored ones.
    slider.setMaximum(max);
    slider.setMinimum(min);
    QCOMPARE(slider.QAbstractSlider::singleStep(), expected);
    QCOMPARE(slider.QAbstractSlider::pageStep(), expected);
    QVERIFY(sameDouble(slider.singleStep(), std::abs(step)));
    QVERIFY(sameDouble(slider.pageStep(), std::abs(step)));
}

void tst_QxDoubleSlider::rangeEndsPullValue_data()
{
    QTest::addColumn<bool>("setsMaximum");
    QTest::addColumn<double>("end");
    QTest::addColumn<double>("expectedValue");
    QTest::addColumn<int>("expectedEmits");
    QTest::addColumn<int>("expectedPosition");

    // The value is 50 in 0..99 before each row.
    QTest::newRow("maximum below the value") << true << 40.0 << 40.0 << 1 << intMax;
    QTest::newRow("maximum equal to the value") << true << 50.0 << 50.0 << 0 << intMax;
    QTest::newRow("maximum below by epsilon")
            << true << 50.0 - 2 * epsilon * 50 << 50.0 - 2 * epsilon * 50 << 1 << intMax;
    QTest::newRow("maximum above the value") << true << 100.0 << 50.0 << 0 << 0;
    QTest::newRow("minimum above the value") << false << 60.0 << 60.0 << 1 << intMin;
    QTest::newRow("minimum equal to the value") << false << 50.0 << 50.0 << 0 << intMin;
    QTest::newRow("minimum below the value") << false << 1.0 << 50.0 << 0 << 0;
    QTest::newRow("nan minimum") << false << notANumber << 50.0 << 0 << intMin;
    QTest::newRow("-inf minimum") << false << -inf << 50.0 << 0 << intMin;
    QTest::newRow("+inf maximum") << true << inf << 50.0 << 0 << intMin;
}

void tst_QxDoubleSlider::rangeEndsPullValue()
{
    QFETCH(bool, setsMaximum);
    QFETCH(double, end);
    QFETCH(double, expectedValue);
    QFETCH(int, expectedEmits);
    QFETCH(int, expectedPosition);

    Slider slider;
    slider.setValue(50.0);
    QSignalSpy spy(&slider, SIGNAL(doubleValueChanged(double)));
    if (setsMaximum)
        slider.setMaximum(end);
    else
        slider.setMinimum(end);
    QCOMPARE(spy.count(), expectedEmits);
    if (expectedEmits)
        QCOMPARE(spy.at(0).at(0).toDouble(), expectedValue);
    QCOMPARE(slider.value(), expectedValue);
    QCOMPARE(slider.position(), expectedPosition);
}

void tst_QxDoubleSlider::precision_data()
{
    QTest::addColumn<int>("decimals");
    QTest::addColumn<double>("expected");

    QTest::newRow("none") << 0 << 1.0;
    QTest::newRow("two") << 2 << 0.01;
    QTest::newRow("negative") << -2 << 100.0;
    QTest::newRow("int max") << intMax << 0.0;
    QTest::newRow("int min") << intMin << inf;
}

void tst_QxDoubleSlider::precision()
{
    QFETCH(int, decimals);
    QFETCH(double, expected);
    Slider slider;
    slider.setValue(1.23456);
    QSignalSpy spy(&slider, SIGNAL(doubleValueChanged(double)));
    slider.setPrecision(decimals);
    QCOMPARE(slider.getPrecision(), expected);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(slider.value(), 1.23456);
}

void tst_QxDoubleSlider::precisionThreshold_data()
{
    QTest::addColumn<double>("move");
    QTest::addColumn<bool>("counts");

    QTest::newRow("well below 0.01") << 0.004 << false;
    QTest::newRow("just below 0.01") << 0.0099 << false;
    QTest::newRow("0.01") << 0.01 << true;
    QTest::newRow("above 0.01") << 0.0137 << true;
    QTest::newRow("backwards above 0.01") << -0.25 << true;
    QTest::newRow("backwards below 0.01") << -0.005 << false;
}

void tst_QxDoubleSlider::precisionThreshold()
{
    QFETCH(double, move);
    QFETCH(bool, counts);

    ShownSlider shown(Qt::Horizontal);
    QVERIFY(shown.exposed);
    Slider &slider = shown.slider;
    slider.setMaximum(1.0);
    slider.setPrecision(2);
    slider.setValue(0.5);
    QSignalSpy spy(&slider, SIGNAL(doubleValueChanged(double)));

    // The knob moves by the integer length of the wanted change; what the
    // slider stores is the unrounded value of the position it lands on.
    const int target = slider.position() + int(std::lround(move * 4294967295.0));
    slider.setPosition(target);
    const double landed = slider.qSliderToQxDoubleSlider(target);
    QCOMPARE(std::abs(landed - 0.5) >= 0.01, counts);
    if (counts) {
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toDouble(), landed);
        QCOMPARE(slider.value(), landed);
    } else {
        QCOMPARE(spy.count(), 0);
        QCOMPARE(slider.value(), 0.5);
    }
}

void tst_QxDoubleSlider::arrowKeyMovesBySingleStep()
{
    ShownSlider shown(Qt::Horizontal);
    QVERIFY(shown.exposed);
    Slider &slider = shown.slider;
    slider.setMaximum(10.0);
    slider.setSingleStep(1.0);
    slider.setValue(5.0);
    QSignalSpy spy(&slider, SIGNAL(doubleValueChanged(double)));

    QTest::keyClick(&slider, Qt::Key_Right);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(slider.value(), 6.0);
    QTest::keyClick(&slider, Qt::Key_End);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(slider.value(), 10.0);
    QTest::keyClick(&slider, Qt::Key_Right);
    QCOMPARE(spy.count(), 2);
    QTest::keyClick(&slider, Qt::Key_Home);
    QCOMPARE(slider.value(), 0.0);
}

// clang-format off
void tst_QxDoubleSlider::keysMoveByExactSteps_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("step");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("presses");
    QTest::addColumn<double>("expected");
    QTest::addColumn<int>("emits");

    // From 0; the page step is 0.25 throughout.
    QTest::newRow("one step at 0 decimals") << 0.0 << 10.0 << 1.0 << 0 << Qt::Key_Right << 1 << 1.0 << 1;
    QTest::newRow("three steps of 1") << 0.0 << 10.0 << 1.0 << 0 << Qt::Key_Right << 3 << 3.0 << 3;
    QTest::newRow("three steps of 0.1") << 0.0 << 1.0 << 0.1 << 1 << Qt::Key_Up << 3 << 0.1 + 0.1 + 0.1 << 3;
    QTest::newRow("page up") << 0.0 << 1.0 << 0.1 << 2 << Qt::Key_PageUp << 1 << 0.25 << 1;
    QTest::newRow("page down at the minimum") << 0.0 << 1.0 << 0.1 << 2 << Qt::Key_PageDown << 1 << 0.0 << 0;
    QTest::newRow("steps stop at the maximum") << 0.0 << 1.0 << 0.4 << 1 << Qt::Key_Right << 4 << 1.0 << 3;
    QTest::newRow("end") << -1.0 << 1.0 << 0.3 << 0 << Qt::Key_End << 1 << 1.0 << 1;
    QTest::newRow("step on a negative range") << -5.0 << -1.0 << 0.5 << 0 << Qt::Key_Left << 2 << -2.0 << 2;
}
// clang-format on

// Keys move the value by exactly the double step, with one emission per press
// that moves it, as QSlider moves its integer value.
void tst_QxDoubleSlider::keysMoveByExactSteps()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, step);
    QFETCH(int, decimals);
    QFETCH(Qt::Key, key);
    QFETCH(int, presses);
    QFETCH(double, expected);
    QFETCH(int, emits);

    ShownSlider shown(Qt::Horizontal);
    QVERIFY(shown.exposed);
    Slider &slider = shown.slider;
    slider.setRange(minimum, maximum);
    slider.setPrecision(decimals);
    slider.setSingleStep(step);
    slider.setPageStep(0.25);
    slider.setValue(qBound(minimum, 0.0, maximum));
    QSignalSpy spy(&slider, SIGNAL(doubleValueChanged(double)));
    for (int press = 0; press < presses; ++press)
        QTest::keyClick(&slider, key);
    QCOMPARE(slider.value(), expected);
    QCOMPARE(spy.count(), emits);
    if (emits)
        QCOMPARE(spy.last().at(0).toDouble(), expected);
    QCOMPARE(slider.position(), slider.qxDoubleSliderToQSlider(expected));
}

// clang-format off
void tst_QxDoubleSlider::wheelPieces_data()
{
    QTest::addColumn<QList<int>>("pieces");
    QTest::addColumn<double>("expected");
    QTest::addColumn<int>("emits");

    // From 40, single step 1.5.
    QTest::newRow("eight pieces of 15") << QList<int>{ 15, 15, 15, 15, 15, 15, 15, 15 } << 41.5 << 1;
    QTest::newRow("four pieces of 30, back") << QList<int>{ -30, -30, -30, -30 } << 38.5 << 1;
    QTest::newRow("seven pieces of 15") << QList<int>{ 15, 15, 15, 15, 15, 15, 15 } << 40.0 << 0;
    QTest::newRow("two and a half notches in pieces") << QList<int>{ 100, 100, 100 } << 43.0 << 2;
    QTest::newRow("a turn back starts afresh") << QList<int>{ 90, -30, 90 } << 40.0 << 0;
}
// clang-format on

// A touchpad sends a notch in pieces, with scroll phases: they add up to
// whole steps.
void tst_QxDoubleSlider::wheelPieces()
{
    QFETCH(QList<int>, pieces);
    QFETCH(double, expected);
    QFETCH(int, emits);

    ShownSlider shown(Qt::Vertical);
    QVERIFY(shown.exposed);
    Slider &slider = shown.slider;
    slider.setSingleStep(1.5);
    slider.setValue(40.0);
    QSignalSpy spy(&slider, SIGNAL(doubleValueChanged(double)));
    const QPointF centre = QRectF(slider.rect()).center();
    for (int i = 0; i < pieces.size(); ++i) {
        const Qt::ScrollPhase phase = i == 0 ? Qt::ScrollBegin : Qt::ScrollUpdate;
        QWheelEvent event(centre, slider.mapToGlobal(centre.toPoint()), QPoint(0, pieces.at(i) / 8),
                          QPoint(0, pieces.at(i)), Qt::NoButton, Qt::NoModifier, phase, false);
        QApplication::sendEvent(&slider, &event);
    }
    QCOMPARE(slider.value(), expected);
    QCOMPARE(spy.count(), emits);
}

void tst_QxDoubleSlider::nearbyValuesStored_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<double>("first");

    QTest::newRow("value") << QByteArray("value") << 41.198320682372682;
    QTest::newRow("minimum") << QByteArray("minimum") << -3.3;
    QTest::newRow("maximum") << QByteArray("maximum") << 123.456;
    QTest::newRow("single step") << QByteArray("singleStep") << 0.7;
    QTest::newRow("page step") << QByteArray("pageStep") << 2.2;
}

// A double next to the stored one is stored too: the dynamic properties
// compare as QVariants, which take such doubles for equal on Qt 5.
void tst_QxDoubleSlider::nearbyValuesStored()
{
    QFETCH(QByteArray, name);
    QFETCH(double, first);

    Slider slider;
    QVERIFY(slider.setProperty(name, first));
    const double next = std::nextafter(first, 1000.0);
    QVERIFY(slider.setProperty(name, next));
    QVERIFY(slider.property(name).toDouble() == next);
}

// NaN is refused; keys and Home go on working from the value kept.
void tst_QxDoubleSlider::nanIsRefused()
{
    ShownSlider shown(Qt::Horizontal);
    QVERIFY(shown.exposed);
    Slider &slider = shown.slider;
    slider.setRange(0.0, 10.0);
    slider.setValue(4.0);
    QSignalSpy spy(&slider, SIGNAL(doubleValueChanged(double)));
    slider.setValue(notANumber);
    QCOMPARE(slider.value(), 4.0);
    QCOMPARE(slider.position(), slider.qxDoubleSliderToQSlider(4.0));
    QCOMPARE(spy.count(), 0);
    QTest::keyClick(&slider, Qt::Key_Right);
    QCOMPARE(slider.value(), 5.0);
    QTest::keyClick(&slider, Qt::Key_Home);
    QCOMPARE(slider.value(), 0.0);
}

// clang-format off
void tst_QxDoubleSlider::rangeEndsFollow_data()
{
    QTest::addColumn<bool>("setMinimumFirst");
    QTest::addColumn<double>("end");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");

    // From 0..10; QSlider's rule: the other end follows.
    QTest::newRow("minimum above the maximum") << true << 20.0 << 20.0 << 20.0;
    QTest::newRow("maximum below the minimum") << false << -5.0 << -5.0 << -5.0;
}
// clang-format on

// Arrow keys, the wheel and the range agree after an end crossed the other.
void tst_QxDoubleSlider::rangeEndsFollow()
{
    QFETCH(bool, setMinimumFirst);
    QFETCH(double, end);
    QFETCH(double, minimum);
    QFETCH(double, maximum);

    ShownSlider shown(Qt::Horizontal);
    QVERIFY(shown.exposed);
    Slider &slider = shown.slider;
    slider.setRange(0.0, 10.0);
    if (setMinimumFirst)
        slider.setMinimum(end);
    else
        slider.setMaximum(end);
    QCOMPARE(slider.minimum(), minimum);
    QCOMPARE(slider.maximum(), maximum);
    QCOMPARE(slider.value(), minimum);

    QSlider oracle(Qt::Horizontal);
    oracle.setRange(0, 10);
    if (setMinimumFirst)
        oracle.setMinimum(int(end));
    else
        oracle.setMaximum(int(end));
    QCOMPARE(double(oracle.minimum()), minimum);
    QCOMPARE(double(oracle.maximum()), maximum);

    QTest::keyClick(&slider, Qt::Key_Right);
    QCOMPARE(slider.value(), minimum);
    bool accepted = false;
    sendWheel(&slider, 120, Qt::NoModifier, &accepted);
    QCOMPARE(slider.value(), minimum);
}

// clang-format off
void tst_QxDoubleSlider::integerRangeStaysWhole_data()
{
    QTest::addColumn<int>("route");

    QTest::newRow("setRange(0, 10) on the slider") << 0;
    QTest::newRow("setRange(int, int) through QAbstractSlider") << 1;
    QTest::newRow("setMaximum(int) through QAbstractSlider") << 2;
    QTest::newRow("setRange by a meta-call") << 3;
}
// clang-format on

// The integer range spans all of int whatever route sets another; the double
// range follows only the slider's own setRange().
void tst_QxDoubleSlider::integerRangeStaysWhole()
{
    QFETCH(int, route);
    ShownSlider shown(Qt::Horizontal);
    QVERIFY(shown.exposed);
    Slider &slider = shown.slider;
    slider.setValue(5.0);
    QAbstractSlider &base = slider;
    switch (route) {
    case 0:
        slider.setRange(0, 10);
        QCOMPARE(slider.minimum(), 0.0);
        QCOMPARE(slider.maximum(), 10.0);
        break;
    case 1:
        base.setRange(0, 10);
        break;
    case 2:
        base.setMaximum(10);
        break;
    case 3:
        QVERIFY(QMetaObject::invokeMethod(&slider, "setRange", Q_ARG(int, 0), Q_ARG(int, 10)));
        break;
    }
    QCOMPARE(slider.QAbstractSlider::minimum(), intMin);
    QCOMPARE(slider.QAbstractSlider::maximum(), intMax);
    QCOMPARE(slider.value(), 5.0);
    QCOMPARE(slider.position(), slider.qxDoubleSliderToQSlider(5.0));
    const double before = slider.value();
    QTest::keyClick(&slider, Qt::Key_Right);
    QCOMPARE(slider.value(), before + 1.0);
}

void tst_QxDoubleSlider::designerConnection_data()
{
    QTest::addColumn<int>("route");

    QTest::newRow("SIGNAL/SLOT connection from a QSpinBox") << 0;
    QTest::newRow("invokeMethod by name") << 1;
    QTest::newRow("C++ call with an int") << 2;
}

// A form's string-based connection to setValue(int) sets the double value 42,
// as a C++ call with an int does.
void tst_QxDoubleSlider::designerConnection()
{
    QFETCH(int, route);
    Slider slider;
    slider.setRange(0.0, 100.0);
    QSpinBox spin;
    spin.setRange(0, 100);
    QSignalSpy spy(&slider, SIGNAL(doubleValueChanged(double)));
    switch (route) {
    case 0:
        QVERIFY(connect(&spin, SIGNAL(valueChanged(int)), &slider, SLOT(setValue(int))));
        spin.setValue(42);
        break;
    case 1:
        QVERIFY(QMetaObject::invokeMethod(&slider, "setValue", Q_ARG(int, 42)));
        break;
    case 2:
        slider.setValue(42);
        break;
    }
    QCOMPARE(slider.value(), 42.0);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(slider.position(), slider.qxDoubleSliderToQSlider(42.0));
}

void tst_QxDoubleSlider::hoverLightsDrawnHandle_data()
{
    QTest::addColumn<bool>("onHandle");

    QTest::newRow("pointer on the handle") << true;
    QTest::newRow("pointer at the start of the groove") << false;
}

// With a style sheet that lights the hovered handle, the slider lights it
// where it is drawn, exactly as a plain QSlider at the same place does.
void tst_QxDoubleSlider::hoverLightsDrawnHandle()
{
    QFETCH(bool, onHandle);
    const QString sheet = QStringLiteral(
            "QSlider::groove:horizontal { background: #8080c0; height: 8px; }"
            "QSlider::handle:horizontal { background: #c04040; width: 24px; margin: -6px 0; }"
            "QSlider::handle:horizontal:hover { background: #f0f040; }");

    Slider slider;
    slider.setStyleSheet(sheet);
    slider.setOrientation(Qt::Horizontal);
    slider.resize(400, 40);
    slider.setValue(70.0);
    ReferenceSlider plain;
    plain.setStyleSheet(sheet);
    plain.setOrientation(Qt::Horizontal);
    plain.resize(slider.size());
    plain.setRange(0, 99000);
    plain.setValue(70000);

    const QPoint point = onHandle ? plain.handle().center() : QPoint(3, slider.height() / 2);
    slider.show();
    plain.show();
    QVERIFY(QTest::qWaitForWindowExposed(&slider));
    QVERIFY(QTest::qWaitForWindowExposed(&plain));
    const QImage unlit = plain.grab().toImage();
    // The pointer as Qt reports it to a widget: under the mouse, hovering there.
    const auto hover = [&point](QWidget *widget) {
        widget->setAttribute(Qt::WA_UnderMouse, true);
        QHoverEvent enter(QEvent::HoverEnter, point, QPoint(-1, -1));
        QApplication::sendEvent(widget, &enter);
        QHoverEvent move(QEvent::HoverMove, point, point);
        QApplication::sendEvent(widget, &move);
    };
    hover(&plain);
    const QImage expected = plain.grab().toImage();
    // The style does light the handle, and only the handle.
    QCOMPARE(expected == unlit, !onHandle);

    hover(&slider);
    QCOMPARE(slider.grab().toImage(), expected);
}

// clang-format off
void tst_QxDoubleSlider::accessibleValue_data()
{
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("decimals");
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("wanted");
    QTest::addColumn<double>("taken");

    QTest::newRow("0..1 at 0.25") << 0.0 << 1.0 << 0.25 << 2 << "0.25" << 0.75 << 0.75;
    QTest::newRow("no decimals set") << 0.0 << 1.0 << 0.125 << 0 << "0.125" << 0.5 << 0.5;
    QTest::newRow("negative range") << -10.0 << -2.0 << -7.5 << 1 << "-7.5" << -3.25 << -3.25;
    QTest::newRow("a wanted value beyond the range is held to it") << 0.0 << 1.0 << 0.5 << 1 << "0.5" << 7.0 << 1.0;
}
// clang-format on

// A screen reader reads and sets the double value, range and step, as it does
// on a QDoubleSpinBox, never the integer knob position.
void tst_QxDoubleSlider::accessibleValue()
{
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(double, value);
    QFETCH(int, decimals);
    QFETCH(QString, text);
    QFETCH(double, wanted);
    QFETCH(double, taken);

    Slider slider;
    slider.setRange(minimum, maximum);
    slider.setSingleStep(0.125);
    slider.setPrecision(decimals);
    slider.setValue(value);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&slider);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::Slider);
    QAccessibleValueInterface *values = accessible->valueInterface();
    QVERIFY(values);
    QCOMPARE(values->currentValue().toDouble(), value);
    QCOMPARE(values->minimumValue().toDouble(), minimum);
    QCOMPARE(values->maximumValue().toDouble(), maximum);
    QCOMPARE(values->minimumStepSize().toDouble(), 0.125);
    QCOMPARE(accessible->text(QAccessible::Value), text);

    // The oracle: a QDoubleSpinBox reports its value as a double too.
    QDoubleSpinBox plain;
    plain.setDecimals(6);
    plain.setRange(minimum, maximum);
    plain.setValue(value);
    QAccessibleInterface *plainAccessible = QAccessible::queryAccessibleInterface(&plain);
    QVERIFY(plainAccessible && plainAccessible->valueInterface());
    QCOMPARE(plainAccessible->valueInterface()->currentValue().toDouble(),
             values->currentValue().toDouble());

    QSignalSpy spy(&slider, SIGNAL(doubleValueChanged(double)));
    values->setCurrentValue(wanted);
    QCOMPARE(slider.value(), taken);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(slider.position(), slider.qxDoubleSliderToQSlider(taken));
}

// clang-format off
void tst_QxDoubleSlider::accessibleActions_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<double>("expected");

    // From 0.5 on 0..1, single step 0.1, page step 0.25.
    QTest::newRow("increase") << QAccessibleActionInterface::increaseAction() << 0.5 + 0.1;
    QTest::newRow("decrease") << QAccessibleActionInterface::decreaseAction() << 0.5 - 0.1;
    QTest::newRow("page increase") << QString("Page Increase") << 0.75;
    QTest::newRow("page decrease") << QString("Page Decrease") << 0.25;
}
// clang-format on

// The actions a slider offers move by the exact double steps.
void tst_QxDoubleSlider::accessibleActions()
{
    QFETCH(QString, action);
    QFETCH(double, expected);

    Slider slider;
    slider.setRange(0.0, 1.0);
    slider.setSingleStep(0.1);
    slider.setPageStep(0.25);
    slider.setValue(0.5);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&slider);
    QVERIFY(accessible);
    QAccessibleActionInterface *actions = accessible->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(action));
    QSignalSpy spy(&slider, SIGNAL(doubleValueChanged(double)));
    actions->doAction(action);
    QCOMPARE(slider.value(), expected);
    QCOMPARE(spy.count(), 1);
}

void tst_QxDoubleSlider::hugeRange_data()
{
    QTest::addColumn<double>("end");

    QTest::newRow("1e300") << 1e300;
    QTest::newRow("largest double") << largest;
}

// Keys and setValue() over a range symmetric about 0 whose span overflows a
// product of it with the int range.
void tst_QxDoubleSlider::hugeRange()
{
    QFETCH(double, end);

    ShownSlider shown(Qt::Horizontal);
    QVERIFY(shown.exposed);
    Slider &slider = shown.slider;
    slider.setMinimum(-end);
    slider.setMaximum(end);
    slider.setSingleStep(end / 10);
    slider.setValue(0.0);
    QCOMPARE(slider.position(), 0);
    QCOMPARE(slider.handle(), plainHandle(slider, 0.5));

    QTest::keyClick(&slider, Qt::Key_Right);
    QVERIFY2(std::isfinite(slider.value()), qPrintable(QString::number(slider.value())));
    QVERIFY(qAbs(slider.value() - end / 10) < end * 1e-8);
    QTest::keyClick(&slider, Qt::Key_End);
    QCOMPARE(slider.value(), end);
    QTest::keyClick(&slider, Qt::Key_Home);
    QCOMPARE(slider.value(), -end);
}

void tst_QxDoubleSlider::wheel_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<int>("delta");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<bool>("tracking");
    QTest::addColumn<double>("expected");
    QTest::addColumn<int>("expectedEmits");

    // Range 0..99, single step 1.5, page step 10.
    QTest::newRow("one notch with shift adds a page") << 40.0 << 120 << true << true << 50.0 << 1;
    QTest::newRow("two notches back subtract two steps")
            << 40.0 << -240 << false << true << 37.0 << 1;
    QTest::newRow("half a notch moves nothing, emits nothing")
            << 40.0 << 60 << false << true << 40.0 << 0;
    QTest::newRow("almost two notches are one") << 40.0 << -239 << false << true << 38.5 << 1;
    QTest::newRow("tracking off ignores the wheel") << 40.0 << 120 << false << false << 40.0 << 0;
    QTest::newRow("stops at the maximum") << 98.0 << 240 << false << true << 99.0 << 1;
    QTest::newRow("stops at the minimum") << 5.0 << -120 << true << true << 0.0 << 1;
    QTest::newRow("huge delta") << 40.0 << intMax << true << true << 99.0 << 1;
    QTest::newRow("most negative delta") << 40.0 << intMin + 1 << false << true << 0.0 << 1;
    QTest::newRow("from beyond the maximum") << 150.0 << -120 << false << true << 99.0 << 1;
}

void tst_QxDoubleSlider::wheel()
{
    QFETCH(double, start);
    QFETCH(int, delta);
    QFETCH(bool, shift);
    QFETCH(bool, tracking);
    QFETCH(double, expected);
    QFETCH(int, expectedEmits);

    ShownSlider shown(Qt::Vertical);
    QVERIFY(shown.exposed);
    Slider &slider = shown.slider;
    slider.setSingleStep(1.5);
    slider.setPageStep(10.0);
    slider.setValue(start);
    slider.setTracking(tracking);
    QSignalSpy spy(&slider, SIGNAL(doubleValueChanged(double)));
    bool accepted = false;
    sendWheel(&slider, delta, shift ? Qt::ShiftModifier : Qt::NoModifier, &accepted);
    QCOMPARE(accepted, tracking);
    QCOMPARE(spy.count(), expectedEmits);
    if (expectedEmits)
        QCOMPARE(spy.at(0).at(0).toDouble(), expected);
    QCOMPARE(slider.value(), expected);
    QCOMPARE(slider.position(), slider.qxDoubleSliderToQSlider(expected));
}

// clang-format off
void tst_QxDoubleSlider::wheelAxes_data()
{
    QTest::addColumn<QPoint>("angle");
    QTest::addColumn<double>("expected");

    // From 40, single step 1.5. The turn is counted along the axis that turned
    // more, the vertical one when both turned alike, as Qt 5's
    // QWheelEvent::delta() counts it; Qt 6 has only angleDelta().
    QTest::newRow("horizontal wheel") << QPoint(120, 0) << 41.5;
    QTest::newRow("horizontal wheel back, two notches") << QPoint(-240, 0) << 37.0;
    QTest::newRow("diagonal, mostly vertical") << QPoint(120, -240) << 37.0;
    QTest::newRow("diagonal, mostly horizontal") << QPoint(-240, 120) << 37.0;
    QTest::newRow("diagonal, both alike: vertical") << QPoint(-120, 120) << 41.5;
    QTest::newRow("horizontal notch, vertical half notch") << QPoint(120, 60) << 41.5;
}
// clang-format on

void tst_QxDoubleSlider::wheelAxes()
{
    QFETCH(QPoint, angle);
    QFETCH(double, expected);

    ShownSlider shown(Qt::Horizontal);
    QVERIFY(shown.exposed);
    Slider &slider = shown.slider;
    slider.setSingleStep(1.5);
    slider.setValue(40.0);
    QSignalSpy spy(&slider, SIGNAL(doubleValueChanged(double)));
    bool accepted = false;
    sendWheel(&slider, angle, Qt::NoModifier, &accepted);
    QVERIFY(accepted);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(slider.value(), expected);
}

void tst_QxDoubleSlider::looksLikePlainSlider_data()
{
    QTest::addColumn<Styling>("styling");
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::addColumn<double>("value");

    const QList<QPair<const char *, Styling>> stylings
            = { { "default style", Styling::Default },
                { "application style first", Styling::LongHandleStyleFirst },
                { "application style later", Styling::LongHandleStyleLater },
                { "application style sheet later", Styling::AppSheetLater },
                { "widget style sheet later", Styling::WidgetSheetLater } };
    for (const auto &styling : stylings) {
        for (const Qt::Orientation orientation : { Qt::Horizontal, Qt::Vertical }) {
            const char *name = orientation == Qt::Horizontal ? "horizontal" : "vertical";
            QTest::addRow("%s, %s, minimum", styling.first, name)
                    << styling.second << orientation << 0.0;
            QTest::addRow("%s, %s, middle", styling.first, name)
                    << styling.second << orientation << 49.5;
            QTest::addRow("%s, %s, maximum", styling.first, name)
                    << styling.second << orientation << 99.0;
        }
    }
}

// Pixel for pixel what a plain QSlider over 0 to 1000 draws with the same
// style and style sheet, and its handle is where the user finds it.
void tst_QxDoubleSlider::looksLikePlainSlider()
{
    QFETCH(Styling, styling);
    QFETCH(Qt::Orientation, orientation);
    QFETCH(double, value);

    constexpr char sheet[] = "QSlider::groove { background: #8080c0; border: 1px solid black; }"
                             "QSlider::groove:horizontal { height: 8px; }"
                             "QSlider::groove:vertical { width: 8px; }"
                             "QSlider::handle { background: #c04040; }"
                             "QSlider::handle:pressed { background: #40c040; }"
                             "QSlider::handle:horizontal { width: 24px; margin: -6px 0; }"
                             "QSlider::handle:vertical { height: 24px; margin: 0 -6px; }";
    const ApplicationStyleGuard guard;
    if (styling == Styling::LongHandleStyleFirst)
        QApplication::setStyle(new LongHandleStyle(60));
    ShownSlider shown(orientation);
    QVERIFY(shown.exposed);
    Slider &slider = shown.slider;
    slider.setValue(value);
    switch (styling) {
    case Styling::LongHandleStyleLater:
        QApplication::setStyle(new LongHandleStyle(60));
        break;
    case Styling::AppSheetLater:
        qApp->setStyleSheet(QString::fromLatin1(sheet));
        break;
    case Styling::WidgetSheetLater:
        slider.setStyleSheet(QString::fromLatin1(sheet));
        break;
    default:
        break;
    }

    ReferenceSlider plain;
    plain.setOrientation(orientation);
    plain.setStyleSheet(slider.styleSheet());
    plain.setRange(0, 1000);
    plain.setValue(int(std::lround(value / 99.0 * 1000)));
    plain.resize(slider.size());
    QCOMPARE(slider.grab().toImage(), plain.grab().toImage());
    if (styling == Styling::LongHandleStyleFirst || styling == Styling::LongHandleStyleLater)
        QCOMPARE(orientation == Qt::Horizontal ? plain.handle().width() : plain.handle().height(),
                 60);

    // A press on the handle that a plain slider shows there starts a drag.
    QSignalSpy values(&slider, SIGNAL(doubleValueChanged(double)));
    const QPoint onHandle = plain.handle().center();
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, onHandle);
    QVERIFY(slider.isSliderDown());
    QCOMPARE(values.count(), 0);
    // ... and shows the handle pressed, as the plain slider does.
    // (The reference is never shown, so it gets the press without a window.)
    QMouseEvent press(QEvent::MouseButtonPress, onHandle, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&plain, &press);
    QVERIFY(plain.isSliderDown());
    QCOMPARE(slider.grab().toImage(), plain.grab().toImage());
    plain.setSliderDown(false);
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, onHandle);
    QCOMPARE(slider.value(), value);
}

void tst_QxDoubleSlider::dragHandle()
{
    ShownSlider shown(Qt::Horizontal);
    QVERIFY(shown.exposed);
    Slider &slider = shown.slider;
    slider.setValue(49.5);

    // Where the handle's centre is for three quarters, read from the style.
    const QRect middle = slider.handle();
    slider.setValue(74.25);
    const QRect threeQuarters = slider.handle();
    slider.setValue(49.5);
    QCOMPARE(slider.handle(), middle);
    QVERIFY(threeQuarters.center().x() > middle.center().x() + 50);

    QSignalSpy values(&slider, SIGNAL(doubleValueChanged(double)));
    QSignalSpy pressed(&slider, SIGNAL(sliderPressed()));
    QSignalSpy released(&slider, SIGNAL(sliderReleased()));
    const QPoint from = middle.center();
    const QPoint to(threeQuarters.center().x(), from.y());
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, from);
    QCOMPARE(pressed.count(), 1);
    QVERIFY(slider.isSliderDown());
    QCOMPARE(values.count(), 0);
    for (int step = 1; step <= 4; ++step)
        QTest::mouseMove(&slider, from + (to - from) * step / 4);
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, to);
    QCOMPARE(released.count(), 1);

    // One pixel of travel is worth about 99 / 370 here.
    QVERIFY2(qAbs(slider.value() - 74.25) < 0.5, qPrintable(QString::number(slider.value())));
    QVERIFY(values.count() >= 1);
    QCOMPARE(values.last().at(0).toDouble(), slider.value());
    QVERIFY(slider.handle().contains(to));
}

void tst_QxDoubleSlider::clickJump_data()
{
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::addColumn<bool>("inverted");
    QTest::addColumn<double>("along");
    QTest::addColumn<double>("expected");

    // "along" is the fraction of the range where a plain QSlider of the same
    // shape draws its handle; values outside 0..1 press at the widget's edge
    // beyond the minimum or the maximum.
    for (const Qt::Orientation orientation : { Qt::Horizontal, Qt::Vertical }) {
        for (const Qt::LayoutDirection direction : { Qt::LeftToRight, Qt::RightToLeft }) {
            for (const bool inverted : { false, true }) {
                const QByteArray name = layoutName(orientation, direction, inverted);
                // clang-format off
                QTest::addRow("%s, quarter", name.constData()) << orientation << direction << inverted << 0.25 << 24.75;
                QTest::addRow("%s, three quarters", name.constData()) << orientation << direction << inverted << 0.75 << 74.25;
                QTest::addRow("%s, minimum edge", name.constData()) << orientation << direction << inverted << -1.0 << 0.0;
                QTest::addRow("%s, maximum edge", name.constData()) << orientation << direction << inverted << 2.0 << 99.0;
                // clang-format on
            }
        }
    }
}

void tst_QxDoubleSlider::clickJump()
{
    QFETCH(Qt::Orientation, orientation);
    QFETCH(Qt::LayoutDirection, direction);
    QFETCH(bool, inverted);
    QFETCH(double, along);
    QFETCH(double, expected);

    ShownSlider shown(orientation);
    QVERIFY(shown.exposed);
    Slider &slider = shown.slider;
    slider.setLayoutDirection(direction);
    slider.setInvertedAppearance(inverted);
    // Start at the far end from the press, so that the handle is not hit.
    slider.setValue(along < 0.5 ? 99.0 : 0.0);

    const bool horizontal = orientation == Qt::Horizontal;
    QPoint press = plainHandle(slider, qBound(0.0, along, 1.0)).center();
    if (along < 0 || along > 1) {
        int &at = horizontal ? press.rx() : press.ry();
        const int length = horizontal ? slider.width() : slider.height();
        at = at < length / 2 ? 0 : length - 1;
    }
    const QRect handle = slider.handle();
    QVERIFY(!handle.contains(press));

    QSignalSpy values(&slider, SIGNAL(doubleValueChanged(double)));
    QTest::mouseClick(&slider, Qt::LeftButton, Qt::NoModifier, press);
    QCOMPARE(values.count(), 1);
    QCOMPARE(values.at(0).at(0).toDouble(), slider.value());
    // Within two pixels' worth of value: the knob's travel runs from half a
    // handle plus half a pixel to half a handle minus half a pixel of the ends.
    const int travel
            = horizontal ? slider.width() - handle.width() : slider.height() - handle.height();
    const double pixel = 99.0 / travel;
    QVERIFY2(qAbs(slider.value() - expected) <= 2 * pixel,
             qPrintable(QStringLiteral("value %1, expected %2").arg(slider.value()).arg(expected)));
    if (along < 0 || along > 1)
        QCOMPARE(slider.value(), expected);
    // The knob is under the pointer now.
    QVERIFY(slider.handle().contains(press));
    QVERIFY(!slider.isSliderDown());
}

void tst_QxDoubleSlider::pressWithoutJump_data()
{
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::addColumn<bool>("onHandle");

    QTest::newRow("horizontal press on the handle") << Qt::Horizontal << true;
    QTest::newRow("horizontal right button") << Qt::Horizontal << false;
    QTest::newRow("vertical press on the handle") << Qt::Vertical << true;
    QTest::newRow("vertical right button") << Qt::Vertical << false;
}

void tst_QxDoubleSlider::pressWithoutJump()
{
    QFETCH(Qt::Orientation, orientation);
    QFETCH(bool, onHandle);

    ShownSlider shown(orientation);
    QVERIFY(shown.exposed);
    Slider &slider = shown.slider;
    slider.setValue(30.0);
    const QRect handle = slider.handle();
    // Otherwise, with the handle at 30%, a place four fifths of the way to the maximum.
    const QPoint press = onHandle           ? handle.center()
            : orientation == Qt::Horizontal ? QPoint(slider.width() * 4 / 5, slider.height() / 2)
                                            : QPoint(slider.width() / 2, slider.height() / 5);
    QVERIFY(onHandle == handle.contains(press));

    QSignalSpy values(&slider, SIGNAL(doubleValueChanged(double)));
    QSignalSpy pressed(&slider, SIGNAL(sliderPressed()));
    QTest::mousePress(&slider, onHandle ? Qt::LeftButton : Qt::RightButton, Qt::NoModifier, press);
    // A press on the handle starts QSlider's drag; neither moves the value.
    QCOMPARE(pressed.count(), onHandle ? 1 : 0);
    QCOMPARE(values.count(), 0);
    QCOMPARE(slider.value(), 30.0);
    QTest::mouseRelease(&slider, onHandle ? Qt::LeftButton : Qt::RightButton, Qt::NoModifier,
                        press);
    QCOMPARE(values.count(), 0);
}

void tst_QxDoubleSlider::randomUse_data()
{
    QTest::addColumn<quint32>("seed");
    for (const quint32 seed : { 1u, 20240611u, 4242424242u })
        QTest::addRow("seed %u", seed) << seed;
}

// Random sequences of everything a host and a user can do, with extreme
// values. Under the sanitizer build any undefined behaviour aborts the test.
void tst_QxDoubleSlider::randomUse()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    const int ints[] = { 0, 1, -1, 120, -120, 60, intMax, intMin, intMax - 1, intMin + 1 };
    const auto anyInt = [&]() {
        return random.bounded(2) ? int(random.generate())
                                 : ints[random.bounded(int(sizeof ints / sizeof *ints))];
    };

    ShownSlider shown(Qt::Horizontal);
    QVERIFY(shown.exposed);
    Slider &slider = shown.slider;
    QSignalSpy values(&slider, SIGNAL(doubleValueChanged(double)));
    const Qt::Key keys[] = { Qt::Key_Left,   Qt::Key_Right,    Qt::Key_Up,   Qt::Key_Down,
                             Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End };

    for (int round = 0; round < 600; ++round) {
        const int emitsBefore = values.count();
        switch (random.bounded(13)) {
        case 0: {
            // NaN is refused and changes nothing.
            const double given = anyDouble(random, 200);
            slider.setValue(given);
            QCOMPARE(values.count(), emitsBefore + (std::isnan(given) ? 0 : 1));
            if (!std::isnan(given))
                QCOMPARE(slider.position(), slider.qxDoubleSliderToQSlider(slider.value()));
            break;
        }
        case 1:
            slider.setMinimum(anyDouble(random, 200));
            break;
        case 2:
            slider.setMaximum(anyDouble(random, 200));
            break;
        case 3:
            slider.setSingleStep(anyDouble(random, 200));
            QVERIFY(slider.QAbstractSlider::singleStep() >= 0);
            break;
        case 4:
            slider.setPageStep(anyDouble(random, 200));
            QVERIFY(slider.QAbstractSlider::pageStep() >= 0);
            break;
        case 5:
            slider.setPrecision(anyInt());
            QCOMPARE(values.count(), emitsBefore);
            break;
        case 6: {
            bool accepted = false;
            const double before = slider.value();
            sendWheel(&slider, anyInt(), random.bounded(2) ? Qt::ShiftModifier : Qt::NoModifier,
                      &accepted);
            // A wheel emits once when it moves the value, never otherwise.
            QVERIFY(values.count() <= emitsBefore + (slider.hasTracking() ? 1 : 0));
            QCOMPARE(values.count() > emitsBefore, !sameDouble(slider.value(), before));
            const double min = slider.minimum(), max = slider.maximum();
            if (values.count() > emitsBefore && min <= max && !std::isnan(slider.value()))
                QVERIFY(slider.value() >= min && slider.value() <= max);
            break;
        }
        case 7:
            QTest::mouseClick(
                    &slider, random.bounded(2) ? Qt::LeftButton : Qt::RightButton, Qt::NoModifier,
                    QPoint(random.bounded(slider.width()), random.bounded(slider.height())));
            break;
        case 8:
            QTest::keyClick(&slider, keys[random.bounded(int(sizeof keys / sizeof *keys))]);
            break;
        case 9:
            slider.setPosition(anyInt());
            break;
        case 10:
            slider.setOrientation(random.bounded(2) ? Qt::Horizontal : Qt::Vertical);
            slider.setInvertedAppearance(random.bounded(4) == 0);
            slider.resize(1 + random.bounded(300), 1 + random.bounded(300));
            break;
        case 11:
            slider.setTracking(random.bounded(4) != 0);
            break;
        default:
            slider.repaint();
            break;
        }
        if (values.count() > emitsBefore)
            QVERIFY(sameDouble(values.last().at(0).toDouble(), slider.value()));
        // The handle never leaves a widget that has room for it, whatever the value.
        if (slider.width() >= 60 && slider.height() >= 60)
            QVERIFY(slider.rect().contains(slider.handle()));
    }
}

QTEST_MAIN(tst_QxDoubleSlider)
#include "tst_QxDoubleSlider.moc"
