#include "QxDoubleSlider.h"

#include "QxAccessibleWidgets.h"
#include "QxQtCompat.h"
#include "QxSliderSteps.h"

#include <QAccessible>

#include <QMouseEvent>
#include <QStylePainter>
#include <QStyleOptionSlider>
#include <QWheelEvent>

#include <cmath>
#include <limits>

namespace {

const char valueProperty[] = "valueDbl";
const char minimumProperty[] = "minDbl";
const char maximumProperty[] = "maxDbl";
const char decimalsProperty[] = "numDecimals";
const char singleStepProperty[] = "singleStepDbl";
const char pageStepProperty[] = "pageStepDbl";

// Nearest integer with halves rounded upward, computed as qRound computes it
// but kept in double, so that no out-of-range value is ever converted to int.
double roundHalfUp(double r)
{
    if (r >= 0.0)
        return std::trunc(r + 0.5);
    const double t = std::trunc(r - 1.0);
    return std::trunc(r - t + 0.5) + t;
}

// Truncates \a r towards zero into [low, high]; NaN gives low. Converting a
// double outside the int range is undefined, so the bounds come first.
int boundedTruncation(double r, int low, int high)
{
    if (!(r > low))
        return low;
    if (!(r < high))
        return high;
    return static_cast<int>(r);
}

// Qt 5's QStyle::sliderPositionFromValue() overflows once maximum - minimum
// exceeds INT_MAX: every value lands on one end, so any style (a style sheet's
// included) draws and finds the handle in the wrong place on the full int
// range. Slider geometry is linear in the value, so the slider hands the style
// the same option rescaled onto a short range wherever the handle's place
// matters. QSlider's own pixel-to-value mapping (sliderValueFromPosition) copes
// with the full range, so dragging keeps working on the real integer range.
QStyleOptionSlider shortRange(const QStyleOptionSlider &slider)
{
    if (qint64(slider.maximum) - slider.minimum <= std::numeric_limits<int>::max())
        return slider;
    // Fine enough for any screen, and small enough that tick marks drawn
    // once per unit still end in reasonable time.
    constexpr int shortSpan = 1 << 16;
    const double low = slider.minimum;
    const double scale = shortSpan / (double(slider.maximum) - low);
    const auto place = [&](int value) {
        return static_cast<int>(
                std::lround((qBound(slider.minimum, value, slider.maximum) - low) * scale));
    };
    const auto length = [&](int step) {
        return step > 0 ? qMax(1, static_cast<int>(std::lround(step * scale))) : 0;
    };
    QStyleOptionSlider narrowed = slider;
    narrowed.minimum = 0;
    narrowed.maximum = shortSpan;
    narrowed.sliderPosition = place(slider.sliderPosition);
    narrowed.sliderValue = place(slider.sliderValue);
    narrowed.tickInterval = length(slider.tickInterval);
    narrowed.singleStep = length(slider.singleStep);
    narrowed.pageStep = length(slider.pageStep);
    return narrowed;
}

// The integer length that \a step spans from the lower end of the range. The
// whole range spans INT_MAX - INT_MIN, more than an int holds, so the length is
// capped at INT_MAX.
int integerStep(const QxDoubleSlider &slider, double step)
{
    const qint64 length = qint64(slider.qxDoubleSliderToQSlider(slider.minimum() + step))
            - slider.QAbstractSlider::minimum();
    return static_cast<int>(qBound(qint64(0), length, qint64(std::numeric_limits<int>::max())));
}

// Stores a double property. QObject::setProperty() leaves a property alone
// when the new value equals the stored one, and Qt 5's QVariant compares
// doubles with qFuzzyCompare: a value within about 1e-12 of the stored one
// would be emitted but never stored. A value of another type in between
// makes every write land.
void storeDouble(QObject *object, const char *name, double value)
{
    const QVariant stored = object->property(name);
    if (stored.userType() == QMetaType::Double && stored.toDouble() != value
        && stored == QVariant(value))
        object->setProperty(name, QVariant(qint64(0)));
    object->setProperty(name, value);
}

} // namespace

QxDoubleSlider::QxDoubleSlider(QWidget *parent)
    : QSlider(parent)
{
    QAbstractSlider::setMaximum(std::numeric_limits<int>::max());
    QAbstractSlider::setMinimum(std::numeric_limits<int>::min());
    setProperty(valueProperty, 0);
    setProperty(minimumProperty, 0);
    setProperty(maximumProperty, 99);
    setProperty(decimalsProperty, 0);
    setProperty(singleStepProperty, 1);
    setProperty(pageStepProperty, 5);
    connect(this, SIGNAL(valueChanged(int)), this, SLOT(notifyValueChanged(int)));
    // Keys, held presses on the groove and accessibility actions all trigger
    // actions; the double value moves by the exact double step, rather than
    // by the integer step that only approximates it.
    connect(this, &QAbstractSlider::actionTriggered, this,
            [this](int action) { applyAction(action); });
    QxAccessibleWidgets::install(this);
}

QxDoubleSlider::~QxDoubleSlider() = default;

double QxDoubleSlider::value() const
{
    return property(valueProperty).toDouble();
}

double QxDoubleSlider::minimum() const
{
    return property(minimumProperty).toDouble();
}

double QxDoubleSlider::maximum() const
{
    return property(maximumProperty).toDouble();
}

double QxDoubleSlider::singleStep() const
{
    return property(singleStepProperty).toDouble();
}

double QxDoubleSlider::pageStep() const
{
    return property(pageStepProperty).toDouble();
}

double QxDoubleSlider::getPrecision() const
{
    // Negated as a double: -INT_MIN does not exist as an int.
    return std::pow(10.0, -double(property(decimalsProperty).toInt()));
}

int QxDoubleSlider::getWheelDetent()
{
    return QxSliderSteps::wheelDetent;
}

int QxDoubleSlider::qxDoubleSliderToQSlider(double value) const
{
    const int low = QAbstractSlider::minimum();
    const int high = QAbstractSlider::maximum();
    const double min = minimum();
    const double max = maximum();
    double r = (double(high) - low) * (value - min) / (max - min) + low;
    // The product above overflows once the span exceeds about 4e298, and the
    // differences themselves beyond DBL_MAX: divide first, in halves.
    if (!std::isfinite(r) && std::isfinite(value) && std::isfinite(min) && std::isfinite(max))
        r = (double(high) - low) * ((0.5 * value - 0.5 * min) / (0.5 * max - 0.5 * min)) + low;
    return boundedTruncation(roundHalfUp(r), low, high);
}

double QxDoubleSlider::qSliderToQxDoubleSlider(int position) const
{
    const double low = QAbstractSlider::minimum();
    const double high = QAbstractSlider::maximum();
    const double min = minimum();
    const double max = maximum();
    const double value = (position - low) * (max - min) / (high - low) + min;
    // As above: a span beyond DBL_MAX overflows; half of the result does not.
    if (!std::isfinite(value) && std::isfinite(min) && std::isfinite(max))
        return 2.0 * ((position - low) / (high - low) * (0.5 * max - 0.5 * min) + 0.5 * min);
    return value;
}

void QxDoubleSlider::setValue(double value)
{
    // NaN would stay for good (no step, key or end moves it): it is refused.
    if (std::isnan(value))
        return;
    if (std::isinf(value))
        value = value < 0 ? minimum() : maximum();
    storeDouble(this, valueProperty, value);
    updateValueQSlider();
    // QAbstractSlider announced the integer position; a screen reader reads this.
    QAccessibleValueChangeEvent event(this, value);
    QAccessible::updateAccessibility(&event);
    Q_EMIT doubleValueChanged(value);
}

void QxDoubleSlider::setMinimum(double minimum)
{
    // As QAbstractSlider: a minimum above the maximum takes the maximum along.
    if (minimum > maximum())
        storeDouble(this, maximumProperty, minimum);
    storeDouble(this, minimumProperty, minimum);
    if (value() - minimum < -std::numeric_limits<double>::epsilon())
        setValue(minimum);
    else
        updateValueQSlider();
    setSingleStep(singleStep());
    setPageStep(pageStep());
}

void QxDoubleSlider::setMaximum(double maximum)
{
    if (maximum < minimum())
        storeDouble(this, minimumProperty, maximum);
    storeDouble(this, maximumProperty, maximum);
    if (value() - maximum > std::numeric_limits<double>::epsilon())
        setValue(maximum);
    else
        updateValueQSlider();
    setSingleStep(singleStep());
    setPageStep(pageStep());
}

void QxDoubleSlider::setRange(double minimum, double maximum)
{
    setMinimum(minimum);
    setMaximum(std::max(minimum, maximum));
}

void QxDoubleSlider::setSingleStep(double step)
{
    // A step's direction comes from the key or the wheel, as on QSlider.
    step = std::abs(step);
    storeDouble(this, singleStepProperty, step);
    QAbstractSlider::setSingleStep(integerStep(*this, step));
}

void QxDoubleSlider::setPageStep(double step)
{
    step = std::abs(step);
    storeDouble(this, pageStepProperty, step);
    QAbstractSlider::setPageStep(integerStep(*this, step));
}

void QxDoubleSlider::setPrecision(int decimals)
{
    setProperty(decimalsProperty, decimals);
}

void QxDoubleSlider::updateValueQSlider()
{
    const double current = value();
    disconnect(this, SIGNAL(valueChanged(int)), this, SLOT(notifyValueChanged(int)));
    QAbstractSlider::setValue(qxDoubleSliderToQSlider(current));
    // Unique: a receiver of valueChanged(int) that calls setValue() again
    // reconnects first, and the connection must not be doubled.
    connect(this, SIGNAL(valueChanged(int)), this, SLOT(notifyValueChanged(int)),
            Qt::UniqueConnection);
}

void QxDoubleSlider::applyAction(int action)
{
    if (action < SliderSingleStepAdd || action > SliderToMaximum)
        // Drags: the position is the user's, mapped back by notifyValueChanged().
        return;
    const double target = QxSliderSteps::actionTarget(action, value(), minimum(), maximum(),
                                                      singleStep(), pageStep());
    if (target != value())
        setValue(target);
    else
        updateValueQSlider();
    // The position now matches the value, so the action's own update of the
    // integer value that follows changes nothing and emits nothing.
    setSliderPosition(QAbstractSlider::value());
}

void QxDoubleSlider::sliderChange(SliderChange change)
{
    // The integer range spans all of int for good; a change from outside
    // (setRange(int, int) through a base pointer, a meta-call) is undone.
    if (change == SliderRangeChange
        && (QAbstractSlider::minimum() != std::numeric_limits<int>::min()
            || QAbstractSlider::maximum() != std::numeric_limits<int>::max())) {
        QAbstractSlider::setRange(std::numeric_limits<int>::min(), std::numeric_limits<int>::max());
        if (property(valueProperty).isValid())
            updateValueQSlider();
        return;
    }
    QSlider::sliderChange(change);
}

void QxDoubleSlider::notifyValueChanged(int value)
{
    const double mapped = qSliderToQxDoubleSlider(value);
    // A NaN difference fails the test and so counts as too small.
    if (std::abs(mapped - this->value()) >= getPrecision())
        setValue(mapped);
}

QRect QxDoubleSlider::handleRect() const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QStyleOptionSlider drawn = shortRange(option);
    return style()->subControlRect(QStyle::CC_Slider, &drawn, QStyle::SC_SliderHandle, this);
}

QPoint QxDoubleSlider::toQtGeometry(const QPoint &point) const
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect qtHandle
            = style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    const QPoint shift = qtHandle.topLeft() - handleRect().topLeft();
    if (shift.isNull())
        return point;
    if (handleRect().contains(point))
        return point + shift;
    if (qtHandle.contains(point))
        return point - shift;
    return point;
}

void QxDoubleSlider::paintEvent(QPaintEvent *)
{
    // As QSlider paints, with the option on the short range.
    QStyleOptionSlider option;
    initStyleOption(&option);
    QStyleOptionSlider drawn = shortRange(option);
    drawn.subControls = QStyle::SC_SliderGroove | QStyle::SC_SliderHandle;
    if (tickPosition() != NoTicks)
        drawn.subControls |= QStyle::SC_SliderTickmarks;
    // Only a press on the handle holds the slider down; styles draw it sunken
    // then. Otherwise the part under the pointer is lit, found where it is drawn.
    if (isSliderDown()) {
        drawn.activeSubControls = QStyle::SC_SliderHandle;
        drawn.state |= QStyle::State_Sunken;
    } else {
        drawn.activeSubControls = QStyle::SubControls(m_hoveredControl);
    }
    QStylePainter painter(this);
    painter.drawComplexControl(QStyle::CC_Slider, drawn);
}

bool QxDoubleSlider::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove:
    case QEvent::HoverLeave: {
        // QSlider tracks the hovered part with its own geometry, which puts
        // the handle elsewhere on the full int range.
        int control = QStyle::SC_None;
        if (event->type() != QEvent::HoverLeave) {
            QStyleOptionSlider option;
            initStyleOption(&option);
            const QStyleOptionSlider drawn = shortRange(option);
            control = style()->hitTestComplexControl(
                    QStyle::CC_Slider, &drawn,
                    QxQtCompat::hoverPosition(static_cast<QHoverEvent *>(event)), this);
        }
        if (control != m_hoveredControl) {
            m_hoveredControl = control;
            update();
        }
        break;
    }
    default:
        break;
    }
    return QSlider::event(event);
}

void QxDoubleSlider::mousePressEvent(QMouseEvent *event)
{
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect handle = handleRect();
    if (event->button() == Qt::LeftButton && !handle.contains(event->pos())) {
        // The knob's centre travels between half a handle from one end of the
        // widget and half a handle from the other; presses beyond land on the
        // end. The minimum lies at the left or bottom end unless the option
        // is upside down, as QSlider sets it for right-to-left layouts,
        // vertical sliders and inverted appearance.
        const bool horizontal = orientation() == Qt::Horizontal;
        const double half = (horizontal ? handle.width() : handle.height()) * 0.5 + 0.5;
        const double end = (horizontal ? width() : height()) - half;
        int at = horizontal ? event->pos().x() : event->pos().y();
        if (half > at)
            at = static_cast<int>(half);
        if (at > end)
            at = static_cast<int>(end);
        double fraction = (at - half) / (end - half);
        if (option.upsideDown)
            fraction = 1.0 - fraction;
        const int low = QAbstractSlider::minimum();
        const int high = QAbstractSlider::maximum();
        QAbstractSlider::setValue(
                boundedTruncation((double(high) - low) * fraction + low, low, high));
        event->accept();
    }
    // QSlider looks for its handle with Qt's own geometry, which misplaces it
    // on the full int range: the press reaches QSlider where QSlider looks for
    // what the user pressed.
    const QPoint at = toQtGeometry(event->pos());
    if (at == event->pos()) {
        QSlider::mousePressEvent(event);
        return;
    }
    const auto moved = QxQtCompat::movedMouseEvent(event, at - event->pos());
    QSlider::mousePressEvent(moved.get());
    event->setAccepted(moved->isAccepted());
}

void QxDoubleSlider::mouseReleaseEvent(QMouseEvent *event)
{
    QSlider::mouseReleaseEvent(event);
    // QSlider repaints only where its own geometry puts the handle.
    update();
}

void QxDoubleSlider::wheelEvent(QWheelEvent *event)
{
    if (!hasTracking()) {
        event->ignore();
        return;
    }
    const qint64 steps = QxSliderSteps::wheelSteps(m_wheelRemainder, QxQtCompat::wheelDelta(event));
    event->accept();
    if (steps == 0)
        return;
    const double step = (event->modifiers() & Qt::ShiftModifier) ? pageStep() : singleStep();
    // The wheel stops at the ends; NaN (from a NaN step) goes to the minimum.
    double next = value() + step * double(steps);
    if (!(next >= minimum()))
        next = minimum();
    else if (next > maximum())
        next = maximum();
    if (next != value())
        setValue(next);
}
