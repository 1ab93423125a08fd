// Mouse events go through the platform layer, as a real pointer's do, so that
// presses, moves and releases carry the button state of a real drag.
#define QTEST_QPA_MOUSE_HANDLING

#include <lumo/QxDoubleRangeSlider.h>

#include "slidertest.h"

#include <QtTest>

#include <QAccessible>
#include <QLineEdit>
#include <QPainter>
#include <QProxyStyle>
#include <QScreen>
#include <QRandomGenerator>
#include <QSlider>
#include <QStyleFactory>
#include <QStyleOptionSlider>
#include <QVBoxLayout>

#include <cmath>
#include <limits>

namespace {

using Handle = QxDoubleRangeSlider::Handle;
constexpr Handle Lower = QxDoubleRangeSlider::LowerHandle;
constexpr Handle Upper = QxDoubleRangeSlider::UpperHandle;

// Whether \a drawn shows every pixel that a plain slider's handle paints in
// \a plain (those where it differs from \a groove, the same slider drawn
// without its handle) as it is there. Where the handle meets the groove
// (\a grooveBand) the pixels may differ: the range slider fills the groove
// between its handles rather than from the minimum.
bool sameHandle(const QImage &drawn, const QImage &plain, const QImage &groove, const QRect &handle,
                const QRect &grooveBand)
{
    int painted = 0;
    for (int y = handle.top(); y <= handle.bottom(); ++y) {
        for (int x = handle.left(); x <= handle.right(); ++x) {
            if (plain.pixel(x, y) == groove.pixel(x, y) || grooveBand.contains(x, y))
                continue;
            ++painted;
            if (drawn.pixel(x, y) != plain.pixel(x, y)) {
                qWarning("pixel %d,%d is %08x, not %08x", x, y, drawn.pixel(x, y),
                         plain.pixel(x, y));
                return false;
            }
        }
    }
    // A handle that paints nothing proves nothing.
    return painted > handle.width() * handle.height() / 8;
}

constexpr int referenceSpan = 1 << 20;

// A plain QSlider of the same shape, direction and style sheet as \a like,
// its handle \a fraction of the way from its minimum to its maximum.
void shapeLike(ReferenceSlider &plain, const QxDoubleRangeSlider &like, double fraction)
{
    plain.setOrientation(like.orientation());
    plain.setLayoutDirection(like.layoutDirection());
    plain.setInvertedAppearance(like.invertedAppearance());
    plain.setStyleSheet(like.styleSheet());
    plain.setRange(0, referenceSpan);
    plain.setValue(int(std::lround(fraction * referenceSpan)));
    plain.resize(like.size());
    plain.ensurePolished();
}

QRect plainHandle(const QxDoubleRangeSlider &like, double fraction)
{
    ReferenceSlider plain;
    shapeLike(plain, like, fraction);
    return plain.handle();
}

// A shown range slider over 0 to 100, in a window with a line edit after it
// for the focus to go to.
struct Shown
{
    explicit Shown(Qt::Orientation orientation = Qt::Horizontal)
        : slider(new QxDoubleRangeSlider(orientation))
        , after(new QLineEdit)
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(slider);
        layout->addWidget(after);
        slider->setRange(0.0, 100.0);
        slider->setValues(0.0, 100.0);
        if (orientation == Qt::Horizontal)
            slider->setFixedSize(420, 40);
        else
            slider->setFixedSize(40, 420);
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
        window.activateWindow();
        slider->setFocus(Qt::OtherFocusReason);
    }
    QWidget window;
    QxDoubleRangeSlider *slider;
    QLineEdit *after;
    bool exposed = false;
};

void sendWheel(QWidget *widget, int delta, Qt::KeyboardModifiers modifiers,
               Qt::ScrollPhase phase = Qt::NoScrollPhase)
{
    const QPointF centre = QRectF(widget->rect()).center();
    QWheelEvent event(centre, widget->mapToGlobal(centre.toPoint()), QPoint(0, delta / 8),
                      QPoint(0, delta), Qt::NoButton, modifiers, phase, false);
    QApplication::sendEvent(widget, &event);
}

enum class Styling { Default, LongHandleStyle, AppSheet, WidgetSheet };

// How the values move in screenMatchesFreshPaint().
enum class Motion { DragLower, DragUpper, DragSpan, Keys };

} // namespace

Q_DECLARE_METATYPE(Styling)
Q_DECLARE_METATYPE(Motion)
Q_DECLARE_METATYPE(QxDoubleRangeSlider::Handle)

class tst_QxDoubleRangeSlider : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void setters_data();
    void setters();
    void keysMoveByExactSteps_data();
    void keysMoveByExactSteps();
    void tabPicksHandle();
    void keysLikeQSlider_data();
    void keysLikeQSlider();
    void wheelPieces_data();
    void wheelPieces();
    void dragHandle_data();
    void dragHandle();
    void dragSpan_data();
    void dragSpan();
    void overlappingHandles_data();
    void overlappingHandles();
    void clickMirrors_data();
    void clickMirrors();
    void looksLikeTwoPlainSliders_data();
    void looksLikeTwoPlainSliders();
    void screenMatchesFreshPaint_data();
    void screenMatchesFreshPaint();
    void accessibleWidget();
    void accessibleHandles_data();
    void accessibleHandles();
    void randomUse_data();
    void randomUse();
};

void tst_QxDoubleRangeSlider::defaults()
{
    QxDoubleRangeSlider slider;
    QCOMPARE(slider.lowerValue(), 0.0);
    QCOMPARE(slider.upperValue(), 99.0);
    QCOMPARE(slider.minimum(), 0.0);
    QCOMPARE(slider.maximum(), 99.0);
    QCOMPARE(slider.singleStep(), 1.0);
    QCOMPARE(slider.pageStep(), 5.0);
    QCOMPARE(slider.orientation(), Qt::Horizontal);
    QCOMPARE(slider.activeHandle(), Lower);
    QCOMPARE(QxDoubleRangeSlider::staticMetaObject.superClass(), &QWidget::staticMetaObject);
    // Sized like a QSlider of the same orientation.
    QSlider plain(Qt::Horizontal);
    QCOMPARE(slider.sizeHint(), plain.sizeHint());
    QCOMPARE(slider.sizePolicy(), plain.sizePolicy());
    slider.setOrientation(Qt::Vertical);
    plain.setOrientation(Qt::Vertical);
    QCOMPARE(slider.sizeHint(), plain.sizeHint());
    QCOMPARE(slider.sizePolicy(), plain.sizePolicy());

    // Every double property is set by name, as Designer and QUiLoader set it.
    const QMetaObject &own = QxDoubleRangeSlider::staticMetaObject;
    for (const char *name :
         { "lowerValue", "upperValue", "minimum", "maximum", "singleStep", "pageStep" }) {
        const QMetaProperty property = own.property(own.indexOfProperty(name));
        QVERIFY2(property.isValid() && property.isWritable() && property.isDesignable(), name);
        QCOMPARE(property.userType(), int(QMetaType::Double));
    }
    QVERIFY(slider.setProperty("minimum", -2.5));
    QVERIFY(slider.setProperty("upperValue", 7.25));
    QCOMPARE(slider.minimum(), -2.5);
    QCOMPARE(slider.lowerValue(), 0.0);
    QCOMPARE(slider.upperValue(), 7.25);
}

// The calls a host makes, from 0..100 selecting 20..80: each leaves
// minimum <= lower <= upper <= maximum and emits only what changed.
void tst_QxDoubleRangeSlider::setters_data()
{
    QTest::addColumn<int>("call");
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<double>("minimum");
    QTest::addColumn<double>("maximum");
    QTest::addColumn<int>("lowerEmits");
    QTest::addColumn<int>("upperEmits");

    enum { SetLower, SetUpper, SetValues, SetRange, SetMinimum, SetMaximum };
    // clang-format off
    QTest::newRow("lower inside") << int(SetLower) << 30.5 << 0.0 << 30.5 << 80.0 << 0.0 << 100.0 << 1 << 0;
    QTest::newRow("lower unchanged emits nothing") << int(SetLower) << 20.0 << 0.0 << 20.0 << 80.0 << 0.0 << 100.0 << 0 << 0;
    QTest::newRow("lower beyond upper pushes it") << int(SetLower) << 90.0 << 0.0 << 90.0 << 90.0 << 0.0 << 100.0 << 1 << 1;
    QTest::newRow("lower below the range is held") << int(SetLower) << -5.0 << 0.0 << 0.0 << 80.0 << 0.0 << 100.0 << 1 << 0;
    QTest::newRow("lower nan is refused") << int(SetLower) << notANumber << 0.0 << 20.0 << 80.0 << 0.0 << 100.0 << 0 << 0;
    QTest::newRow("lower -inf is the minimum") << int(SetLower) << -inf << 0.0 << 0.0 << 80.0 << 0.0 << 100.0 << 1 << 0;
    QTest::newRow("upper below lower pushes it") << int(SetUpper) << 10.0 << 0.0 << 10.0 << 10.0 << 0.0 << 100.0 << 1 << 1;
    QTest::newRow("upper inf is the maximum") << int(SetUpper) << inf << 0.0 << 20.0 << 100.0 << 0.0 << 100.0 << 0 << 1;
    QTest::newRow("upper nan is refused") << int(SetUpper) << notANumber << 0.0 << 20.0 << 80.0 << 0.0 << 100.0 << 0 << 0;
    QTest::newRow("values") << int(SetValues) << 1.5 << 2.5 << 1.5 << 2.5 << 0.0 << 100.0 << 1 << 1;
    QTest::newRow("values in reverse order") << int(SetValues) << 60.0 << 40.0 << 40.0 << 60.0 << 0.0 << 100.0 << 1 << 1;
    QTest::newRow("values beyond both ends") << int(SetValues) << -1e300 << 1e300 << 0.0 << 100.0 << 0.0 << 100.0 << 1 << 1;
    QTest::newRow("values with a nan keep that one") << int(SetValues) << notANumber << 50.0 << 20.0 << 50.0 << 0.0 << 100.0 << 0 << 1;
    QTest::newRow("range pulls both in") << int(SetRange) << 30.0 << 40.0 << 30.0 << 40.0 << 30.0 << 40.0 << 1 << 1;
    QTest::newRow("range below both") << int(SetRange) << -10.0 << 5.0 << 5.0 << 5.0 << -10.0 << 5.0 << 1 << 1;
    QTest::newRow("reversed range is empty at its minimum") << int(SetRange) << 50.0 << 10.0 << 50.0 << 50.0 << 50.0 << 50.0 << 1 << 1;
    QTest::newRow("range with a nan end is refused") << int(SetRange) << notANumber << 10.0 << 20.0 << 80.0 << 0.0 << 100.0 << 0 << 0;
    QTest::newRow("range with an infinite end is refused") << int(SetRange) << 0.0 << inf << 20.0 << 80.0 << 0.0 << 100.0 << 0 << 0;
    QTest::newRow("whole double range") << int(SetRange) << -std::numeric_limits<double>::max() << std::numeric_limits<double>::max() << 20.0 << 80.0 << -std::numeric_limits<double>::max() << std::numeric_limits<double>::max() << 0 << 0;
    QTest::newRow("minimum above both moves the maximum") << int(SetMinimum) << 200.0 << 0.0 << 200.0 << 200.0 << 200.0 << 200.0 << 1 << 1;
    QTest::newRow("maximum between the values") << int(SetMaximum) << 50.0 << 0.0 << 20.0 << 50.0 << 0.0 << 50.0 << 0 << 1;
    // clang-format on
}

void tst_QxDoubleRangeSlider::setters()
{
    QFETCH(int, call);
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(double, minimum);
    QFETCH(double, maximum);
    QFETCH(int, lowerEmits);
    QFETCH(int, upperEmits);

    QxDoubleRangeSlider slider;
    slider.setRange(0.0, 100.0);
    slider.setValues(20.0, 80.0);
    QSignalSpy lowerSpy(&slider, &QxDoubleRangeSlider::lowerValueChanged);
    QSignalSpy upperSpy(&slider, &QxDoubleRangeSlider::upperValueChanged);
    QSignalSpy bothSpy(&slider, &QxDoubleRangeSlider::valuesChanged);
    switch (call) {
    case 0:
        slider.setLowerValue(a);
        break;
    case 1:
        slider.setUpperValue(a);
        break;
    case 2:
        slider.setValues(a, b);
        break;
    case 3:
        slider.setRange(a, b);
        break;
    case 4:
        slider.setMinimum(a);
        break;
    case 5:
        slider.setMaximum(a);
        break;
    }
    QCOMPARE(slider.lowerValue(), lower);
    QCOMPARE(slider.upperValue(), upper);
    QCOMPARE(slider.minimum(), minimum);
    QCOMPARE(slider.maximum(), maximum);
    QCOMPARE(lowerSpy.count(), lowerEmits);
    QCOMPARE(upperSpy.count(), upperEmits);
    if (lowerEmits)
        QCOMPARE(lowerSpy.at(0).at(0).toDouble(), lower);
    if (upperEmits)
        QCOMPARE(upperSpy.at(0).at(0).toDouble(), upper);
    // Once per change, with both values as they are after it.
    QCOMPARE(bothSpy.count(), lowerEmits || upperEmits ? 1 : 0);
    if (!bothSpy.isEmpty()) {
        QCOMPARE(bothSpy.at(0).at(0).toDouble(), lower);
        QCOMPARE(bothSpy.at(0).at(1).toDouble(), upper);
    }
}

// clang-format off
void tst_QxDoubleRangeSlider::keysMoveByExactSteps_data()
{
    QTest::addColumn<bool>("upperHandle");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<int>("presses");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<int>("emits");

    // From 0.2..0.8 on 0..1, single step 0.1, page step 0.25.
    QTest::newRow("lower, three single steps") << false << Qt::Key_Right << 3 << 0.2 + 0.1 + 0.1 + 0.1 << 0.8 << 3;
    QTest::newRow("upper, three single steps back") << true << Qt::Key_Left << 3 << 0.2 << 0.8 - 0.1 - 0.1 - 0.1 << 3;
    QTest::newRow("lower, page up") << false << Qt::Key_PageUp << 1 << 0.2 + 0.25 << 0.8 << 1;
    QTest::newRow("upper, page down") << true << Qt::Key_PageDown << 1 << 0.2 << 0.8 - 0.25 << 1;
    QTest::newRow("lower stops at upper") << false << Qt::Key_PageUp << 4 << 0.8 << 0.8 << 3;
    QTest::newRow("upper stops at lower") << true << Qt::Key_PageDown << 4 << 0.2 << 0.2 << 3;
    QTest::newRow("lower, home") << false << Qt::Key_Home << 1 << 0.0 << 0.8 << 1;
    QTest::newRow("lower, end stops at upper") << false << Qt::Key_End << 1 << 0.8 << 0.8 << 1;
    QTest::newRow("upper, end") << true << Qt::Key_End << 2 << 0.2 << 1.0 << 1;
    QTest::newRow("upper, home stops at lower") << true << Qt::Key_Home << 1 << 0.2 << 0.2 << 1;
}
// clang-format on

// Tab picks the handle; keys move it by exactly the double steps, one
// emission per press that moves it, and it stops at the other handle.
void tst_QxDoubleRangeSlider::keysMoveByExactSteps()
{
    QFETCH(bool, upperHandle);
    QFETCH(Qt::Key, key);
    QFETCH(int, presses);
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(int, emits);

    Shown shown;
    QVERIFY(shown.exposed);
    QxDoubleRangeSlider &slider = *shown.slider;
    slider.setRange(0.0, 1.0);
    slider.setSingleStep(0.1);
    slider.setPageStep(0.25);
    slider.setValues(0.2, 0.8);
    QTRY_VERIFY(slider.hasFocus());
    slider.setActiveHandle(Lower);
    if (upperHandle)
        QTest::keyClick(&slider, Qt::Key_Tab);
    QCOMPARE(slider.activeHandle(), upperHandle ? Upper : Lower);
    QSignalSpy both(&slider, &QxDoubleRangeSlider::valuesChanged);
    QSignalSpy moved(&slider,
                     upperHandle ? SIGNAL(upperValueChanged(double))
                                 : SIGNAL(lowerValueChanged(double)));
    for (int press = 0; press < presses; ++press)
        QTest::keyClick(&slider, key);
    QCOMPARE(slider.lowerValue(), lower);
    QCOMPARE(slider.upperValue(), upper);
    QCOMPARE(both.count(), emits);
    QCOMPARE(moved.count(), emits);
    QVERIFY(slider.lowerValue() <= slider.upperValue());
}

// Tab moves from the lower handle to the upper one and then out of the
// widget; Shift+Tab comes back onto the upper handle and then the lower one.
// A click activates the handle clicked.
void tst_QxDoubleRangeSlider::tabPicksHandle()
{
    Shown shown;
    QVERIFY(shown.exposed);
    QxDoubleRangeSlider &slider = *shown.slider;
    slider.setValues(30.0, 70.0);
    QTRY_VERIFY(slider.hasFocus());
    slider.setActiveHandle(Lower);
    QTest::keyClick(&slider, Qt::Key_Tab);
    QVERIFY(slider.hasFocus());
    QCOMPARE(slider.activeHandle(), Upper);
    QTest::keyClick(&slider, Qt::Key_Tab);
    QTRY_VERIFY(shown.after->hasFocus());
    QTest::keyClick(shown.after, Qt::Key_Backtab);
    QTRY_VERIFY(slider.hasFocus());
    QCOMPARE(slider.activeHandle(), Upper);
    QTest::keyClick(&slider, Qt::Key_Tab, Qt::ShiftModifier);
    QVERIFY(slider.hasFocus());
    QCOMPARE(slider.activeHandle(), Lower);

    // Keys move the active handle only.
    QTest::keyClick(&slider, Qt::Key_Right);
    QCOMPARE(slider.lowerValue(), 31.0);
    QCOMPARE(slider.upperValue(), 70.0);

    // A click (without moving) on the upper handle activates it.
    shown.after->setFocus();
    QTest::mouseClick(&slider, Qt::LeftButton, Qt::NoModifier, slider.handleRect(Upper).center());
    QVERIFY(slider.hasFocus());
    QCOMPARE(slider.activeHandle(), Upper);
    QCOMPARE(slider.upperValue(), 70.0);
    QTest::keyClick(&slider, Qt::Key_Left);
    QCOMPARE(slider.upperValue(), 69.0);
    QCOMPARE(slider.lowerValue(), 31.0);
}

void tst_QxDoubleRangeSlider::keysLikeQSlider_data()
{
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::addColumn<bool>("invertedAppearance");
    QTest::addColumn<bool>("invertedControls");

    for (const Qt::Orientation orientation : { Qt::Horizontal, Qt::Vertical }) {
        for (const Qt::LayoutDirection direction : { Qt::LeftToRight, Qt::RightToLeft }) {
            for (const bool appearance : { false, true }) {
                for (const bool controls : { false, true }) {
                    QTest::addRow("%s%s%s%s",
                                  orientation == Qt::Horizontal ? "horizontal" : "vertical",
                                  direction == Qt::RightToLeft ? ", right to left" : "",
                                  appearance ? ", inverted appearance" : "",
                                  controls ? ", inverted controls" : "")
                            << orientation << direction << appearance << controls;
                }
            }
        }
    }
}

// Every key moves the active handle the way it moves a QSlider's handle set
// up alike: the oracle.
void tst_QxDoubleRangeSlider::keysLikeQSlider()
{
    QFETCH(Qt::Orientation, orientation);
    QFETCH(Qt::LayoutDirection, direction);
    QFETCH(bool, invertedAppearance);
    QFETCH(bool, invertedControls);

    Shown shown(orientation);
    QVERIFY(shown.exposed);
    QxDoubleRangeSlider &slider = *shown.slider;
    slider.setLayoutDirection(direction);
    slider.setInvertedAppearance(invertedAppearance);
    slider.setInvertedControls(invertedControls);
    slider.setSingleStep(1.0);
    slider.setPageStep(10.0);
    QSlider plain(orientation);
    plain.setLayoutDirection(direction);
    plain.setInvertedAppearance(invertedAppearance);
    plain.setInvertedControls(invertedControls);
    plain.setRange(0, 100);
    plain.setSingleStep(1);
    plain.setPageStep(10);

    for (const Qt::Key key : { Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down,
                               Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_Home, Qt::Key_End }) {
        // The upper handle, alone between 0 and 100, moves as the plain one.
        slider.setValues(0.0, 50.0);
        slider.setActiveHandle(Upper);
        plain.setValue(50);
        QTest::keyClick(&slider, key);
        QTest::keyClick(&plain, key);
        QCOMPARE(slider.upperValue(), double(plain.value()));
        QCOMPARE(slider.lowerValue(), 0.0);
    }
}

// clang-format off
void tst_QxDoubleRangeSlider::wheelPieces_data()
{
    QTest::addColumn<QList<int>>("pieces");
    QTest::addColumn<bool>("shift");
    QTest::addColumn<double>("upper");
    QTest::addColumn<int>("emits");

    // The upper handle active at 40, single step 1.5, page step 10, the
    // lower handle at 30.
    QTest::newRow("eight pieces of 15") << QList<int>{ 15, 15, 15, 15, 15, 15, 15, 15 } << false << 41.5 << 1;
    QTest::newRow("seven pieces of 15 move nothing") << QList<int>{ 15, 15, 15, 15, 15, 15, 15 } << false << 40.0 << 0;
    QTest::newRow("four pieces of 30 back") << QList<int>{ -30, -30, -30, -30 } << false << 38.5 << 1;
    QTest::newRow("two and a half notches in pieces") << QList<int>{ 100, 100, 100 } << false << 43.0 << 2;
    QTest::newRow("a turn back starts afresh") << QList<int>{ 90, -30, 90 } << false << 40.0 << 0;
    QTest::newRow("page with shift") << QList<int>{ 60, 60 } << true << 50.0 << 1;
    QTest::newRow("stops at the lower handle") << QList<int>{ -120, -120 } << true << 30.0 << 1;
    QTest::newRow("stops at the maximum") << QList<int>{ 1200 } << true << 100.0 << 1;
}
// clang-format on

void tst_QxDoubleRangeSlider::wheelPieces()
{
    QFETCH(QList<int>, pieces);
    QFETCH(bool, shift);
    QFETCH(double, upper);
    QFETCH(int, emits);

    Shown shown;
    QVERIFY(shown.exposed);
    QxDoubleRangeSlider &slider = *shown.slider;
    slider.setSingleStep(1.5);
    slider.setPageStep(10.0);
    slider.setValues(30.0, 40.0);
    slider.setActiveHandle(Upper);
    QSignalSpy spy(&slider, &QxDoubleRangeSlider::upperValueChanged);
    for (int i = 0; i < pieces.size(); ++i)
        sendWheel(&slider, pieces.at(i), shift ? Qt::ShiftModifier : Qt::NoModifier,
                  i == 0 ? Qt::ScrollBegin : Qt::ScrollUpdate);
    QCOMPARE(slider.upperValue(), upper);
    QCOMPARE(slider.lowerValue(), 30.0);
    QCOMPARE(spy.count(), emits);
}

void tst_QxDoubleRangeSlider::dragHandle_data()
{
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::addColumn<Handle>("handle");
    QTest::addColumn<double>("to");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");

    // From 30..70, the handle dragged to where a plain slider draws "to".
    // clang-format off
    QTest::newRow("lower to 10") << Qt::Horizontal << Lower << 10.0 << 10.0 << 70.0;
    QTest::newRow("upper to 90") << Qt::Horizontal << Upper << 90.0 << 30.0 << 90.0;
    QTest::newRow("lower past upper stops there") << Qt::Horizontal << Lower << 95.0 << 70.0 << 70.0;
    QTest::newRow("upper past lower stops there") << Qt::Horizontal << Upper << 5.0 << 30.0 << 30.0;
    QTest::newRow("vertical, upper to 90") << Qt::Vertical << Upper << 90.0 << 30.0 << 90.0;
    QTest::newRow("vertical, lower past upper") << Qt::Vertical << Lower << 95.0 << 70.0 << 70.0;
    // clang-format on
}

void tst_QxDoubleRangeSlider::dragHandle()
{
    QFETCH(Qt::Orientation, orientation);
    QFETCH(Handle, handle);
    QFETCH(double, to);
    QFETCH(double, lower);
    QFETCH(double, upper);

    Shown shown(orientation);
    QVERIFY(shown.exposed);
    QxDoubleRangeSlider &slider = *shown.slider;
    slider.setValues(30.0, 70.0);
    QSignalSpy both(&slider, &QxDoubleRangeSlider::valuesChanged);
    const QPoint from = slider.handleRect(handle).center();
    const QPoint target = plainHandle(slider, to / 100.0).center();
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, from);
    QCOMPARE(both.count(), 0);
    QCOMPARE(slider.activeHandle(), handle);
    for (int step = 1; step <= 4; ++step)
        QTest::mouseMove(&slider, from + (target - from) * step / 4);
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, target);

    // One pixel of travel is worth about 0.25 here.
    QVERIFY2(qAbs(slider.lowerValue() - lower) < 0.5,
             qPrintable(QString::number(slider.lowerValue())));
    QVERIFY2(qAbs(slider.upperValue() - upper) < 0.5,
             qPrintable(QString::number(slider.upperValue())));
    QVERIFY(slider.lowerValue() <= slider.upperValue());
    QVERIFY(both.count() >= 1);
    QCOMPARE(both.last().at(0).toDouble(), slider.lowerValue());
    QCOMPARE(both.last().at(1).toDouble(), slider.upperValue());
    QVERIFY(slider.handleRect(handle).contains(target) || lower == upper);
}

void tst_QxDoubleRangeSlider::dragSpan_data()
{
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::addColumn<double>("by");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");

    // From 30..50, pressed midway and moved by the pixels of "by" in value.
    QTest::newRow("forward") << Qt::LeftToRight << 20.0 << 50.0 << 70.0;
    QTest::newRow("back") << Qt::LeftToRight << -10.0 << 20.0 << 40.0;
    QTest::newRow("past the maximum keeps the width") << Qt::LeftToRight << 80.0 << 80.0 << 100.0;
    QTest::newRow("past the minimum keeps the width") << Qt::LeftToRight << -60.0 << 0.0 << 20.0;
    QTest::newRow("right to left, forward") << Qt::RightToLeft << 20.0 << 50.0 << 70.0;
}

// A press between the handles drags both, by the value the pointer moves.
void tst_QxDoubleRangeSlider::dragSpan()
{
    QFETCH(Qt::LayoutDirection, direction);
    QFETCH(double, by);
    QFETCH(double, lower);
    QFETCH(double, upper);

    Shown shown;
    QVERIFY(shown.exposed);
    QxDoubleRangeSlider &slider = *shown.slider;
    slider.setLayoutDirection(direction);
    slider.setValues(30.0, 50.0);
    const QPoint from = plainHandle(slider, 0.4).center();
    QVERIFY(!slider.handleRect(Lower).contains(from));
    QVERIFY(!slider.handleRect(Upper).contains(from));
    const int shift = plainHandle(slider, 0.4 + by / 100.0).center().x() - from.x();
    const QPoint target = from + QPoint(shift, 0);

    QSignalSpy lowerSpy(&slider, &QxDoubleRangeSlider::lowerValueChanged);
    QSignalSpy upperSpy(&slider, &QxDoubleRangeSlider::upperValueChanged);
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, from);
    QCOMPARE(lowerSpy.count(), 0);
    for (int step = 1; step <= 5; ++step)
        QTest::mouseMove(&slider, from + (target - from) * step / 5);
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, target);
    QVERIFY2(qAbs(slider.lowerValue() - lower) < 0.5,
             qPrintable(QString::number(slider.lowerValue())));
    QVERIFY2(qAbs(slider.upperValue() - upper) < 0.5,
             qPrintable(QString::number(slider.upperValue())));
    QVERIFY(qAbs((slider.upperValue() - slider.lowerValue()) - 20.0) < 1e-9);
    QVERIFY(lowerSpy.count() >= 1);
    QVERIFY(upperSpy.count() >= 1);
}

void tst_QxDoubleRangeSlider::overlappingHandles_data()
{
    QTest::addColumn<double>("at");
    QTest::addColumn<double>("by");
    QTest::addColumn<Handle>("moved");

    QTest::newRow("in the middle, dragged up: the upper one") << 50.0 << 20.0 << Upper;
    QTest::newRow("in the middle, dragged down: the lower one") << 50.0 << -20.0 << Lower;
    QTest::newRow("at the maximum, dragged down") << 100.0 << -20.0 << Lower;
    QTest::newRow("at the minimum, dragged up") << 0.0 << 20.0 << Upper;
}

// Handles at one place come apart in the direction of the drag.
void tst_QxDoubleRangeSlider::overlappingHandles()
{
    QFETCH(double, at);
    QFETCH(double, by);
    QFETCH(Handle, moved);

    Shown shown;
    QVERIFY(shown.exposed);
    QxDoubleRangeSlider &slider = *shown.slider;
    slider.setValues(at, at);
    const QPoint from = slider.handleRect(Upper).center();
    const QPoint target(plainHandle(slider, (at + by) / 100.0).center().x(), from.y());
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, from);
    for (int step = 1; step <= 4; ++step)
        QTest::mouseMove(&slider, from + (target - from) * step / 4);
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, target);
    QCOMPARE(slider.activeHandle(), moved);
    QVERIFY2(qAbs(slider.value(moved) - (at + by)) < 0.5,
             qPrintable(QString::number(slider.value(moved))));
    QCOMPARE(slider.value(moved == Lower ? Upper : Lower), at);
}

void tst_QxDoubleRangeSlider::clickMirrors_data()
{
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::addColumn<bool>("inverted");
    QTest::addColumn<double>("along");
    QTest::addColumn<Handle>("jumps");

    // From 40..60; a click where a plain QSlider set up alike draws its
    // handle for "along" makes the nearer handle jump there.
    for (const Qt::Orientation orientation : { Qt::Horizontal, Qt::Vertical }) {
        for (const Qt::LayoutDirection direction : { Qt::LeftToRight, Qt::RightToLeft }) {
            for (const bool inverted : { false, true }) {
                const QByteArray name = layoutName(orientation, direction, inverted);
                QTest::addRow("%s, at 15", name.constData())
                        << orientation << direction << inverted << 0.15 << Lower;
                QTest::addRow("%s, at 85", name.constData())
                        << orientation << direction << inverted << 0.85 << Upper;
            }
        }
    }
}

void tst_QxDoubleRangeSlider::clickMirrors()
{
    QFETCH(Qt::Orientation, orientation);
    QFETCH(Qt::LayoutDirection, direction);
    QFETCH(bool, inverted);
    QFETCH(double, along);
    QFETCH(Handle, jumps);

    Shown shown(orientation);
    QVERIFY(shown.exposed);
    QxDoubleRangeSlider &slider = *shown.slider;
    slider.setLayoutDirection(direction);
    slider.setInvertedAppearance(inverted);
    slider.setValues(40.0, 60.0);
    // The handles sit where plain sliders set up alike draw theirs.
    QCOMPARE(slider.handleRect(Lower), plainHandle(slider, 0.4));
    QCOMPARE(slider.handleRect(Upper), plainHandle(slider, 0.6));

    const QPoint press = plainHandle(slider, along).center();
    QTest::mouseClick(&slider, Qt::LeftButton, Qt::NoModifier, press);
    QCOMPARE(slider.activeHandle(), jumps);
    QVERIFY2(qAbs(slider.value(jumps) - along * 100) < 0.5,
             qPrintable(QString::number(slider.value(jumps))));
    QCOMPARE(slider.value(jumps == Lower ? Upper : Lower), jumps == Lower ? 60.0 : 40.0);
    QVERIFY(slider.handleRect(jumps).contains(press));
}

void tst_QxDoubleRangeSlider::looksLikeTwoPlainSliders_data()
{
    QTest::addColumn<Styling>("styling");
    QTest::addColumn<Qt::Orientation>("orientation");
    QTest::addColumn<Qt::LayoutDirection>("direction");

    const QList<QPair<const char *, Styling>> stylings
            = { { "default style", Styling::Default },
                { "application style", Styling::LongHandleStyle },
                { "application style sheet", Styling::AppSheet },
                { "widget style sheet", Styling::WidgetSheet } };
    for (const auto &styling : stylings) {
        for (const Qt::Orientation orientation : { Qt::Horizontal, Qt::Vertical }) {
            for (const Qt::LayoutDirection direction : { Qt::LeftToRight, Qt::RightToLeft }) {
                QTest::addRow("%s, %s", styling.first,
                              layoutName(orientation, direction).constData())
                        << styling.second << orientation << direction;
            }
        }
    }
}

// Each handle is drawn pixel for pixel as a plain QSlider with the same
// style or style sheet draws its handle at that value, hovered and pressed
// included.
void tst_QxDoubleRangeSlider::looksLikeTwoPlainSliders()
{
    QFETCH(Styling, styling);
    QFETCH(Qt::Orientation, orientation);
    QFETCH(Qt::LayoutDirection, direction);

    const QString sheet
            = QStringLiteral("QSlider::groove { background: #8080c0; border: 1px solid black; }"
                             "QSlider::groove:horizontal { height: 8px; }"
                             "QSlider::groove:vertical { width: 8px; }"
                             "QSlider::handle { background: #c04040; }"
                             "QSlider::handle:hover { background: #f0f040; }"
                             "QSlider::handle:pressed { background: #40c040; }"
                             "QSlider::handle:horizontal { width: 24px; margin: -6px 0; }"
                             "QSlider::handle:vertical { height: 24px; margin: 0 -6px; }");
    const ApplicationStyleGuard guard;
    if (styling == Styling::LongHandleStyle)
        QApplication::setStyle(new LongHandleStyle(40));
    if (styling == Styling::AppSheet)
        qApp->setStyleSheet(sheet);
    Shown shown(orientation);
    QVERIFY(shown.exposed);
    QxDoubleRangeSlider &slider = *shown.slider;
    if (styling == Styling::WidgetSheet)
        slider.setStyleSheet(sheet);
    slider.setLayoutDirection(direction);
    slider.setValues(25.0, 75.0);
    shown.after->setFocus();
    QTRY_VERIFY(!slider.hasFocus());

    // What a plain slider draws at \a fraction, where it draws its handle,
    // and its groove alone.
    struct Plain
    {
        QImage image;
        QImage grooveImage;
        QRect handle;
        QRect groove;
    };
    const auto plainAt = [&](double fraction, bool pressed = false) {
        ReferenceSlider plain;
        shapeLike(plain, slider, fraction);
        Plain drawn;
        drawn.handle = plain.handle();
        drawn.groove = plain.groove();
        if (pressed) {
            // The reference is never shown, so it gets the press without a window.
            const QPointF at = drawn.handle.center();
            QMouseEvent press(QEvent::MouseButtonPress, at, plain.mapToGlobal(at.toPoint()),
                              Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&plain, &press);
        }
        drawn.image = plain.grab().toImage().convertToFormat(QImage::Format_RGB32);
        plain.grooveOnly = true;
        drawn.grooveImage = plain.grab().toImage().convertToFormat(QImage::Format_RGB32);
        return drawn;
    };
    const auto grabbed
            = [&slider] { return slider.grab().toImage().convertToFormat(QImage::Format_RGB32); };
    const Plain lowerPlain = plainAt(0.25);
    const Plain upperPlain = plainAt(0.75);
    const QRect lowerHandle = lowerPlain.handle;
    const QRect upperHandle = upperPlain.handle;
    QCOMPARE(slider.handleRect(Lower), lowerHandle);
    QCOMPARE(slider.handleRect(Upper), upperHandle);
    if (styling == Styling::LongHandleStyle)
        QCOMPARE(orientation == Qt::Horizontal ? lowerHandle.width() : lowerHandle.height(), 40);
    const QImage drawn = grabbed();
    QVERIFY(sameHandle(drawn, lowerPlain.image, lowerPlain.grooveImage, lowerHandle,
                       lowerPlain.groove));
    QVERIFY(sameHandle(drawn, upperPlain.image, upperPlain.grooveImage, upperHandle,
                       upperPlain.groove));
    // The style sheet does reach the handles.
    if (styling == Styling::AppSheet || styling == Styling::WidgetSheet)
        QCOMPARE(drawn.pixelColor(upperHandle.center()), QColor(0xc0, 0x40, 0x40));

    // A pressed handle looks as a plain slider's pressed handle.
    QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, upperHandle.center());
    const Plain pressedPlain = plainAt(0.75, true);
    const QImage pressed = grabbed();
    QVERIFY(sameHandle(pressed, pressedPlain.image, pressedPlain.grooveImage, upperHandle,
                       pressedPlain.groove));
    QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, upperHandle.center());
    QCOMPARE(slider.upperValue(), 75.0);
}

void tst_QxDoubleRangeSlider::screenMatchesFreshPaint_data()
{
    QTest::addColumn<QString>("styleName");
    QTest::addColumn<QString>("sheet");
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::addColumn<bool>("inverted");
    QTest::addColumn<Motion>("motion");

    // Fusion fills the groove up to the handle, Windows does not; the sheet
    // stretches a gradient over the filled page.
    const QString gradient = QStringLiteral(
            "QSlider::groove:horizontal { height: 8px; background: #8080c0; }"
            "QSlider::sub-page:horizontal { background: qlineargradient(x1: 0, y1: 0, x2: 1, y2: 0,"
            " stop: 0 #ff0000, stop: 1 #0000ff); }"
            "QSlider::handle:horizontal { width: 20px; margin: -6px 0; background: #204020; }");
    const QList<QPair<const char *, Motion>> motions = { { "lower dragged", Motion::DragLower },
                                                         { "upper dragged", Motion::DragUpper },
                                                         { "span dragged", Motion::DragSpan },
                                                         { "keys", Motion::Keys } };
    for (const auto &motion : motions) {
        QTest::addRow("fusion, %s", motion.first)
                << "Fusion" << QString() << Qt::LeftToRight << false << motion.second;
        QTest::addRow("fusion, right to left, %s", motion.first)
                << "Fusion" << QString() << Qt::RightToLeft << false << motion.second;
        QTest::addRow("fusion, inverted, %s", motion.first)
                << "Fusion" << QString() << Qt::LeftToRight << true << motion.second;
        QTest::addRow("windows, %s", motion.first)
                << "Windows" << QString() << Qt::LeftToRight << false << motion.second;
        QTest::addRow("gradient sheet, %s", motion.first)
                << "Fusion" << gradient << Qt::LeftToRight << false << motion.second;
    }
}

// A moved handle repaints only a band around it: what is on the screen after
// drags and keys is what a full paint of the widget shows, with no trace of
// where the handles or the filled span were.
void tst_QxDoubleRangeSlider::screenMatchesFreshPaint()
{
    QFETCH(QString, styleName);
    QFETCH(QString, sheet);
    QFETCH(Qt::LayoutDirection, direction);
    QFETCH(bool, inverted);
    QFETCH(Motion, motion);

    const ApplicationStyleGuard guard;
    QStyle *const style = QStyleFactory::create(styleName);
    if (!style)
        QSKIP("style not available");
    QApplication::setStyle(style);
    qApp->setStyleSheet(sheet);
    Shown shown;
    QVERIFY(shown.exposed);
    QxDoubleRangeSlider &slider = *shown.slider;
    slider.setLayoutDirection(direction);
    slider.setInvertedAppearance(inverted);
    slider.setValues(20.0, 80.0);
    QTRY_VERIFY(slider.hasFocus());

    const auto onScreen = [&] {
        const QPoint at = slider.mapTo(&shown.window, QPoint());
        return QGuiApplication::primaryScreen()
                ->grabWindow(shown.window.winId(), at.x(), at.y(), slider.width(), slider.height())
                .toImage()
                .convertToFormat(QImage::Format_RGB32);
    };
    const auto painted
            = [&] { return slider.grab().toImage().convertToFormat(QImage::Format_RGB32); };
    QTRY_COMPARE(onScreen(), painted());

    // Checked while the handle is still held: a release repaints it all.
    const auto drag = [&](const QPoint &from, int by) {
        QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, from);
        QTRY_COMPARE(onScreen(), painted());
        for (int step = 1; step <= 6; ++step)
            QTest::mouseMove(&slider, from + QPoint(by * step / 6, 0));
        QVERIFY(slider.lowerValue() != 20.0 || slider.upperValue() != 80.0);
        QTRY_COMPARE(onScreen(), painted());
        QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, from + QPoint(by, 0));
    };
    const QPoint lower = slider.handleRect(Lower).center();
    const QPoint upper = slider.handleRect(Upper).center();
    switch (motion) {
    case Motion::DragLower:
        drag(lower, (upper.x() - lower.x()) / 2);
        break;
    case Motion::DragUpper:
        drag(upper, (lower.x() - upper.x()) / 2);
        break;
    case Motion::DragSpan:
        drag((lower + upper) / 2, 60);
        break;
    case Motion::Keys:
        slider.setActiveHandle(Upper);
        QTRY_COMPARE(onScreen(), painted());
        for (int press = 0; press < 4; ++press)
            QTest::keyClick(&slider, Qt::Key_PageDown);
        QCOMPARE(slider.upperValue(), 60.0);
        QTRY_COMPARE(onScreen(), painted());
        slider.setActiveHandle(Lower);
        QTest::keyClick(&slider, Qt::Key_End);
        QCOMPARE(slider.lowerValue(), 60.0);
        break;
    }
    QTRY_COMPARE(onScreen(), painted());
}

// The widget reads as both values; its children are the handles.
void tst_QxDoubleRangeSlider::accessibleWidget()
{
    Shown shown;
    QVERIFY(shown.exposed);
    QxDoubleRangeSlider &slider = *shown.slider;
    slider.setValues(2.5, 7.5);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&slider);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), QAccessible::Slider);
    QCOMPARE(accessible->text(QAccessible::Value), QString::fromUtf8("2.5 \u2013 7.5"));
    QCOMPARE(accessible->childCount(), 2);
    for (int index = 0; index < 2; ++index) {
        QAccessibleInterface *handle = accessible->child(index);
        QVERIFY(handle && handle->isValid());
        QCOMPARE(handle->parent(), accessible);
        QCOMPARE(accessible->indexOfChild(handle), index);
        QCOMPARE(handle->role(), QAccessible::Slider);
        const QRect onScreen(slider.mapToGlobal(slider.handleRect(Handle(index)).topLeft()),
                             slider.handleRect(Handle(index)).size());
        QCOMPARE(handle->rect(), onScreen);
        QCOMPARE(accessible->childAt(onScreen.center().x(), onScreen.center().y()), handle);
    }
    QCOMPARE(accessible->child(0)->text(QAccessible::Name), QStringLiteral("Lower value"));
    QCOMPARE(accessible->child(1)->text(QAccessible::Name), QStringLiteral("Upper value"));

    // In German, with a decimal comma.
    slider.setLocale(QLocale(QLocale::German, QLocale::Germany));
    QCOMPARE(accessible->text(QAccessible::Value), QString::fromUtf8("2,5 \u2013 7,5"));
    QCOMPARE(accessible->child(1)->text(QAccessible::Value), QStringLiteral("7,5"));

    // The active handle of the focused slider is the focus child.
    QTRY_VERIFY(slider.hasFocus());
    slider.setActiveHandle(Lower);
    QCOMPARE(accessible->focusChild(), accessible->child(0));
    QVERIFY(accessible->child(0)->state().focused);
    QTest::keyClick(&slider, Qt::Key_Tab);
    QCOMPARE(accessible->focusChild(), accessible->child(1));
    QVERIFY(!accessible->child(0)->state().focused);
    QVERIFY(accessible->child(1)->state().focused);
}

// clang-format off
void tst_QxDoubleRangeSlider::accessibleHandles_data()
{
    QTest::addColumn<Handle>("handle");
    QTest::addColumn<QString>("action");
    QTest::addColumn<double>("wanted");
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");

    // From 0.25..0.75 on 0..1, single step 0.1, page step 0.3. With no
    // action, the wanted value is set through the value interface.
    QTest::newRow("lower, increase") << Lower << QAccessibleActionInterface::increaseAction() << 0.0 << 0.25 + 0.1 << 0.75;
    QTest::newRow("upper, decrease") << Upper << QAccessibleActionInterface::decreaseAction() << 0.0 << 0.25 << 0.75 - 0.1;
    QTest::newRow("lower, page increase") << Lower << QString("Page Increase") << 0.0 << 0.25 + 0.3 << 0.75;
    QTest::newRow("upper, page decrease") << Upper << QString("Page Decrease") << 0.0 << 0.25 << 0.75 - 0.3;
    QTest::newRow("lower, set inside") << Lower << QString() << 0.5 << 0.5 << 0.75;
    QTest::newRow("lower, set beyond upper is held to it") << Lower << QString() << 0.9 << 0.75 << 0.75;
    QTest::newRow("upper, set below lower is held to it") << Upper << QString() << 0.1 << 0.25 << 0.25;
    QTest::newRow("upper, set beyond the maximum") << Upper << QString() << 7.0 << 0.25 << 1.0;
}
// clang-format on

// Each handle has its own value, its range up to the other handle, and the
// step actions of a slider.
void tst_QxDoubleRangeSlider::accessibleHandles()
{
    QFETCH(Handle, handle);
    QFETCH(QString, action);
    QFETCH(double, wanted);
    QFETCH(double, lower);
    QFETCH(double, upper);

    QxDoubleRangeSlider slider;
    slider.setRange(0.0, 1.0);
    slider.setSingleStep(0.1);
    slider.setPageStep(0.3);
    slider.setValues(0.25, 0.75);
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&slider);
    QVERIFY(accessible);
    QAccessibleInterface *child = accessible->child(int(handle));
    QVERIFY(child);
    QAccessibleValueInterface *values = child->valueInterface();
    QVERIFY(values);
    QCOMPARE(values->currentValue().toDouble(), slider.value(handle));
    QCOMPARE(values->minimumValue().toDouble(), handle == Lower ? 0.0 : 0.25);
    QCOMPARE(values->maximumValue().toDouble(), handle == Lower ? 0.75 : 1.0);
    QCOMPARE(values->minimumStepSize().toDouble(), 0.1);
    QAccessibleActionInterface *actions = child->actionInterface();
    QVERIFY(actions);

    QSignalSpy both(&slider, &QxDoubleRangeSlider::valuesChanged);
    if (action.isEmpty()) {
        values->setCurrentValue(wanted);
    } else {
        QVERIFY(actions->actionNames().contains(action));
        actions->doAction(action);
    }
    QCOMPARE(slider.lowerValue(), lower);
    QCOMPARE(slider.upperValue(), upper);
    QCOMPARE(both.count(), 1);
    QCOMPARE(values->currentValue().toDouble(), slider.value(handle));
}

void tst_QxDoubleRangeSlider::randomUse_data()
{
    QTest::addColumn<quint32>("seed");
    for (const quint32 seed : { 1u, 20240611u, 4242424242u })
        QTest::addRow("seed %u", seed) << seed;
}

// Random sequences of everything a host and a user can do, with extreme
// values: the values stay ordered within the range, never NaN, and every
// signal tells the values as they are.
void tst_QxDoubleRangeSlider::randomUse()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    const Qt::Key keys[]
            = { Qt::Key_Left,     Qt::Key_Right, Qt::Key_Up,  Qt::Key_Down, Qt::Key_PageUp,
                Qt::Key_PageDown, Qt::Key_Home,  Qt::Key_End, Qt::Key_Tab };

    Shown shown;
    QVERIFY(shown.exposed);
    QxDoubleRangeSlider &slider = *shown.slider;
    QSignalSpy both(&slider, &QxDoubleRangeSlider::valuesChanged);
    for (int round = 0; round < 500; ++round) {
        const int emitsBefore = both.count();
        switch (random.bounded(10)) {
        case 0:
            slider.setValues(anyDouble(random, 200), anyDouble(random, 200));
            break;
        case 1:
            slider.setLowerValue(anyDouble(random, 200));
            break;
        case 2:
            slider.setUpperValue(anyDouble(random, 200));
            break;
        case 3:
            slider.setRange(anyDouble(random, 200), anyDouble(random, 200));
            break;
        case 4:
            slider.setSingleStep(anyDouble(random, 200));
            slider.setPageStep(anyDouble(random, 200));
            break;
        case 5:
            slider.setFocus();
            QTest::keyClick(&slider, keys[random.bounded(int(sizeof keys / sizeof *keys))]);
            break;
        case 6:
            sendWheel(&slider, int(random.generate()) % 1000,
                      random.bounded(2) ? Qt::ShiftModifier : Qt::NoModifier);
            break;
        case 7: {
            const QPoint from(random.bounded(slider.width()), random.bounded(slider.height()));
            const QPoint to(random.bounded(slider.width()), random.bounded(slider.height()));
            QTest::mousePress(&slider, Qt::LeftButton, Qt::NoModifier, from);
            QTest::mouseMove(&slider, to);
            QTest::mouseRelease(&slider, Qt::LeftButton, Qt::NoModifier, to);
            break;
        }
        case 8:
            slider.setInvertedAppearance(random.bounded(2));
            slider.setLayoutDirection(random.bounded(2) ? Qt::RightToLeft : Qt::LeftToRight);
            break;
        default:
            slider.repaint();
            break;
        }
        QVERIFY(!std::isnan(slider.lowerValue()) && !std::isnan(slider.upperValue()));
        QVERIFY(slider.minimum() <= slider.lowerValue());
        QVERIFY(slider.lowerValue() <= slider.upperValue());
        QVERIFY(slider.upperValue() <= slider.maximum());
        if (both.count() > emitsBefore) {
            QCOMPARE(both.last().at(0).toDouble(), slider.lowerValue());
            QCOMPARE(both.last().at(1).toDouble(), slider.upperValue());
        }
    }
}

QTEST_MAIN(tst_QxDoubleRangeSlider)
#include "tst_QxDoubleRangeSlider.moc"
