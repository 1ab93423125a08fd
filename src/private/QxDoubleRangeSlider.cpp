#include "QxDoubleRangeSlider.h"

#include "QxAccessibleWidgets.h"
#include "QxQtCompat.h"
#include "QxSliderSteps.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QStyleOptionSlider>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// The QSlider that the style and style sheets see: a hidden child of the same
// orientation, direction and size, whose options the range slider draws with.
// Style sheet rules for QSlider (::handle:horizontal, ...) match it, and its
// option is exactly what a QSlider of that shape hands the style.
class StyleSlider : public QSlider
{
public:
    explicit StyleSlider(QWidget *parent)
        : QSlider(Qt::Horizontal, parent)
    {
        setObjectName(QStringLiteral("qx_rangeslider_style"));
        setFocusPolicy(Qt::NoFocus);
        setVisible(false);
    }

    void fill(QStyleOptionSlider *option) const { initStyleOption(option); }
};

// The integer positions that the style places handles on: fine enough for
// any screen.
constexpr int positionSpan = 1 << 20;

// Where \a value lies between \a low and \a high, from 0 to 1; halved first so
// that a span beyond the largest double does not overflow.
double fractionOf(double value, double low, double high)
{
    const double span = 0.5 * high - 0.5 * low;
    if (!(span > 0))
        return 0.0;
    return std::clamp((0.5 * value - 0.5 * low) / span, 0.0, 1.0);
}

// The value \a fraction of the way from \a low to \a high, exact at the ends.
double valueAt(double fraction, double low, double high)
{
    if (!(fraction > 0))
        return low;
    if (fraction >= 1)
        return high;
    return std::clamp(low * (1 - fraction) + high * fraction, low, high);
}

} // namespace

class QxDoubleRangeSlider::Private
{
public:
    enum Pressed { NothingPressed, LowerPressed, UpperPressed, BothOverlapping, SpanPressed };

    explicit Private(QxDoubleRangeSlider *slider)
        : q(slider)
        , styleSlider(new StyleSlider(slider))
    {
        styleSlider->setRange(0, positionSpan);
    }

    double &valueRef(Handle handle) { return handle == LowerHandle ? lower : upper; }
    int position(double value) const
    {
        return int(std::lround(fractionOf(value, minimum, maximum) * positionSpan));
    }
    bool horizontal() const { return styleSlider->orientation() == Qt::Horizontal; }
    int pick(const QPoint &point) const { return horizontal() ? point.x() : point.y(); }

    // The option a QSlider of this shape hands the style with its handle at
    // \a value; hovered or pressed handles lit as QSlider lights its own.
    QStyleOptionSlider option(double value, bool lit = false, bool down = false) const
    {
        QStyleOptionSlider option;
        styleSlider->fill(&option);
        option.rect = q->rect();
        option.palette = q->palette();
        option.state &= ~(QStyle::State_HasFocus | QStyle::State_MouseOver);
        if (q->underMouse())
            option.state |= QStyle::State_MouseOver;
        option.sliderPosition = option.sliderValue = position(value);
        light(&option, lit, down);
        return option;
    }

    static void light(QStyleOptionSlider *option, bool lit, bool down)
    {
        option->activeSubControls = lit || down ? QStyle::SC_SliderHandle : QStyle::SC_None;
        if (down)
            option->state |= QStyle::State_Sunken;
        else
            option->state &= ~QStyle::State_Sunken;
    }

    // Both handles' rectangles, asked of the style once per change of the
    // values or the shape: hovering, painting and pressing all want them.
    const QRect &handleRect(Handle handle) const
    {
        if (!handlesKnown) {
            QStyleOptionSlider drawn = option(lower);
            QStyle *const style = q->style();
            handles[LowerHandle] = style->subControlRect(QStyle::CC_Slider, &drawn,
                                                         QStyle::SC_SliderHandle, styleSlider);
            drawn.sliderPosition = drawn.sliderValue = position(upper);
            handles[UpperHandle] = style->subControlRect(QStyle::CC_Slider, &drawn,
                                                         QStyle::SC_SliderHandle, styleSlider);
            handlesKnown = true;
        }
        return handles[handle];
    }

    // Forgets what was measured with the style: the size, the style, the
    // direction or the shape changed.
    void forgetGeometry()
    {
        handlesKnown = false;
        travelKnown = false;
        highlight = HighlightUnknown;
    }

    // The value whose handle starts at \a pixel along the axis, as QSlider
    // maps a dragged handle, but in doubles.
    double valueAtPixel(double pixel) const
    {
        if (!travelKnown) {
            const QStyleOptionSlider drawn = option(lower);
            QStyle *const style = q->style();
            const QRect groove = style->subControlRect(QStyle::CC_Slider, &drawn,
                                                       QStyle::SC_SliderGroove, styleSlider);
            const QRect handle = style->subControlRect(QStyle::CC_Slider, &drawn,
                                                       QStyle::SC_SliderHandle, styleSlider);
            const int length = horizontal() ? handle.width() : handle.height();
            travelStart = horizontal() ? groove.x() : groove.y();
            travelEnd = (horizontal() ? groove.right() : groove.bottom()) - length + 1;
            travelUpsideDown = drawn.upsideDown;
            travelKnown = true;
        }
        double fraction = travelEnd > travelStart
                ? (pixel - travelStart) / double(travelEnd - travelStart)
                : 0.0;
        fraction = std::clamp(fraction, 0.0, 1.0);
        if (travelUpsideDown)
            fraction = 1.0 - fraction;
        return valueAt(fraction, minimum, maximum);
    }

    // Whether the style draws the groove differently with the handle at
    // either end (Fusion's and style sheets' filled page): only then does the
    // groove need a second, clipped pass to show the span between handles.
    // Found by drawing both once per shape, state and palette.
    bool grooveHighlights(const QStyleOptionSlider &groove) const
    {
        const qreal ratio = q->devicePixelRatioF();
        if (highlight != HighlightUnknown && highlightState == groove.state
            && highlightPalette == groove.palette.cacheKey() && highlightRatio == ratio)
            return highlight == Highlights;
        const auto drawnAt = [&](int position) {
            QImage image(groove.rect.size() * ratio, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            QStyleOptionSlider at = groove;
            at.sliderPosition = at.sliderValue = position;
            q->style()->drawComplexControl(QStyle::CC_Slider, &at, &painter, styleSlider);
            return image;
        };
        highlight = drawnAt(0) == drawnAt(positionSpan) ? Plain : Highlights;
        highlightState = groove.state;
        highlightPalette = groove.palette.cacheKey();
        highlightRatio = ratio;
        return highlight == Highlights;
    }

    // The band across the widget from \a before to \a after along the axis.
    QRect band(const QRect &before, const QRect &after) const
    {
        const QRect both = before | after;
        return horizontal() ? QRect(both.left(), 0, both.width(), q->height())
                            : QRect(0, both.top(), q->width(), both.height());
    }

    // Stores a sound pair (minimum <= newLower <= newUpper <= maximum) and
    // tells everyone who listens what changed.
    void store(double newLower, double newUpper)
    {
        const bool lowerMoved = newLower != lower;
        const bool upperMoved = newUpper != upper;
        if (!lowerMoved && !upperMoved)
            return;
        const QRect lowerBefore = handleRect(LowerHandle);
        const QRect upperBefore = handleRect(UpperHandle);
        lower = newLower;
        upper = newUpper;
        handlesKnown = false;
        // A moved handle changes the groove only between its old and new
        // places (the fill ends under the handle). Style sheets may stretch a
        // gradient over the whole filled page, so they repaint it all.
        if (q->style()->inherits("QStyleSheetStyle")) {
            q->update();
        } else {
            QRegion dirty;
            if (lowerMoved)
                dirty += band(lowerBefore, handleRect(LowerHandle));
            if (upperMoved)
                dirty += band(upperBefore, handleRect(UpperHandle));
            q->update(dirty);
        }
        QxAccessibleWidgets::notifyRangeSliderValues(q, lowerMoved, upperMoved);
        if (lowerMoved)
            Q_EMIT q->lowerValueChanged(lower);
        if (upperMoved)
            Q_EMIT q->upperValueChanged(upper);
        Q_EMIT q->valuesChanged(lower, upper);
    }

    // Moves \a handle to \a value, held between its end of the range and the
    // other handle: handles moved by the user stop at each other.
    void move(Handle handle, double value)
    {
        if (std::isnan(value))
            return;
        if (handle == LowerHandle)
            store(std::clamp(value, minimum, upper), upper);
        else
            store(lower, std::clamp(value, lower, maximum));
    }

    // Which part of the slider \a point is on, the topmost handle first.
    Pressed partAt(const QPoint &point) const
    {
        const bool onUpper = handleRect(UpperHandle).contains(point);
        const bool onLower = handleRect(LowerHandle).contains(point);
        if (onUpper && onLower)
            return BothOverlapping;
        if (onUpper)
            return UpperPressed;
        if (onLower)
            return LowerPressed;
        const int at = pick(point);
        const int lowerCentre = pick(handleRect(LowerHandle).center());
        const int upperCentre = pick(handleRect(UpperHandle).center());
        if (at > std::min(lowerCentre, upperCentre) && at < std::max(lowerCentre, upperCentre))
            return SpanPressed;
        return NothingPressed;
    }

    void setHovered(int control)
    {
        if (control != hovered) {
            hovered = control;
            q->update();
        }
    }

    QxDoubleRangeSlider *const q;
    StyleSlider *const styleSlider;
    double lower = 0.0;
    double upper = 99.0;
    double minimum = 0.0;
    double maximum = 99.0;
    double singleStep = 1.0;
    double pageStep = 5.0;
    Handle active = LowerHandle;
    // Wheel travel not yet spent on a whole step.
    qint64 wheelRemainder = 0;
    Pressed pressed = NothingPressed;
    // Where the press was, along the axis, and how far into the handle.
    int pressPixel = 0;
    int clickOffset = 0;
    // The values when a span drag began.
    double pressLower = 0.0;
    double pressUpper = 0.0;
    // The handle under the pointer (a Pressed value), for the hover light.
    int hovered = NothingPressed;

    // Measured with the style, kept until forgetGeometry().
    mutable QRect handles[2];
    mutable bool handlesKnown = false;
    // Where a dragged handle's leading edge travels, along the axis.
    mutable bool travelKnown = false;
    mutable int travelStart = 0;
    mutable int travelEnd = 0;
    mutable bool travelUpsideDown = false;
    enum Highlight { HighlightUnknown, Plain, Highlights };
    mutable Highlight highlight = HighlightUnknown;
    mutable QStyle::State highlightState;
    mutable qint64 highlightPalette = 0;
    mutable qreal highlightRatio = 1;
};

QxDoubleRangeSlider::QxDoubleRangeSlider(QWidget *parent)
    : QxDoubleRangeSlider(Qt::Horizontal, parent)
{
}

QxDoubleRangeSlider::QxDoubleRangeSlider(Qt::Orientation orientation, QWidget *parent)
    : QWidget(parent)
    , d(new Private(this))
{
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setOrientation(orientation);
    QxAccessibleWidgets::install(this);
}

QxDoubleRangeSlider::~QxDoubleRangeSlider()
{
    delete d;
}

double QxDoubleRangeSlider::lowerValue() const
{
    return d->lower;
}

double QxDoubleRangeSlider::upperValue() const
{
    return d->upper;
}

double QxDoubleRangeSlider::value(Handle handle) const
{
    return handle == LowerHandle ? d->lower : d->upper;
}

double QxDoubleRangeSlider::minimum() const
{
    return d->minimum;
}

double QxDoubleRangeSlider::maximum() const
{
    return d->maximum;
}

double QxDoubleRangeSlider::singleStep() const
{
    return d->singleStep;
}

double QxDoubleRangeSlider::pageStep() const
{
    return d->pageStep;
}

Qt::Orientation QxDoubleRangeSlider::orientation() const
{
    return d->styleSlider->orientation();
}

bool QxDoubleRangeSlider::invertedAppearance() const
{
    return d->styleSlider->invertedAppearance();
}

bool QxDoubleRangeSlider::invertedControls() const
{
    return d->styleSlider->invertedControls();
}

QxDoubleRangeSlider::Handle QxDoubleRangeSlider::activeHandle() const
{
    return d->active;
}

QRect QxDoubleRangeSlider::handleRect(Handle handle) const
{
    return d->handleRect(handle);
}

void QxDoubleRangeSlider::setRange(double minimum, double maximum)
{
    // An infinite end has no place on the groove.
    if (!std::isfinite(minimum) || !std::isfinite(maximum))
        return;
    d->minimum = minimum;
    d->maximum = std::max(minimum, maximum);
    d->forgetGeometry();
    d->store(std::clamp(d->lower, d->minimum, d->maximum),
             std::clamp(d->upper, d->minimum, d->maximum));
    // The handles move on the groove even when no value changed.
    update();
}

void QxDoubleRangeSlider::setMinimum(double minimum)
{
    setRange(minimum, std::max(minimum, d->maximum));
}

void QxDoubleRangeSlider::setMaximum(double maximum)
{
    setRange(std::min(d->minimum, maximum), maximum);
}

void QxDoubleRangeSlider::setSingleStep(double step)
{
    if (!std::isnan(step))
        d->singleStep = std::abs(step);
}

void QxDoubleRangeSlider::setPageStep(double step)
{
    if (!std::isnan(step))
        d->pageStep = std::abs(step);
}

void QxDoubleRangeSlider::setOrientation(Qt::Orientation orientation)
{
    if (orientation == this->orientation() && testAttribute(Qt::WA_WState_OwnSizePolicy))
        return;
    d->styleSlider->setOrientation(orientation);
    d->forgetGeometry();
    // As QSlider: long along the groove, fixed across it.
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Fixed, QSizePolicy::Slider);
    if (orientation == Qt::Vertical)
        policy.transpose();
    setSizePolicy(policy);
    updateGeometry();
    update();
}

void QxDoubleRangeSlider::setInvertedAppearance(bool inverted)
{
    d->styleSlider->setInvertedAppearance(inverted);
    d->forgetGeometry();
    update();
}

void QxDoubleRangeSlider::setInvertedControls(bool inverted)
{
    d->styleSlider->setInvertedControls(inverted);
}

void QxDoubleRangeSlider::setActiveHandle(Handle handle)
{
    if (handle == d->active)
        return;
    d->active = handle;
    update();
    QxAccessibleWidgets::notifyRangeSliderFocus(this);
}

void QxDoubleRangeSlider::triggerAction(Handle handle, QAbstractSlider::SliderAction action)
{
    const double low = handle == LowerHandle ? d->minimum : d->lower;
    const double high = handle == LowerHandle ? d->upper : d->maximum;
    d->move(handle,
            QxSliderSteps::actionTarget(action, value(handle), low, high, d->singleStep,
                                        d->pageStep));
}

void QxDoubleRangeSlider::setLowerValue(double value)
{
    if (std::isnan(value))
        return;
    value = std::clamp(value, d->minimum, d->maximum);
    d->store(value, std::max(value, d->upper));
}

void QxDoubleRangeSlider::setUpperValue(double value)
{
    if (std::isnan(value))
        return;
    value = std::clamp(value, d->minimum, d->maximum);
    d->store(std::min(value, d->lower), value);
}

void QxDoubleRangeSlider::setValues(double lower, double upper)
{
    if (std::isnan(lower))
        lower = d->lower;
    if (std::isnan(upper))
        upper = d->upper;
    lower = std::clamp(lower, d->minimum, d->maximum);
    upper = std::clamp(upper, d->minimum, d->maximum);
    d->store(std::min(lower, upper), std::max(lower, upper));
}

QSize QxDoubleRangeSlider::sizeHint() const
{
    // QSlider's own measure, asked of this widget's style.
    ensurePolished();
    const QStyleOptionSlider option = d->option(d->lower);
    const int thickness = style()->pixelMetric(QStyle::PM_SliderThickness, &option, d->styleSlider);
    QSize size(84, thickness);
    if (orientation() == Qt::Vertical)
        size.transpose();
    return style()->sizeFromContents(QStyle::CT_Slider, &option, size, d->styleSlider);
}

QSize QxDoubleRangeSlider::minimumSizeHint() const
{
    QSize size = sizeHint();
    const QStyleOptionSlider option = d->option(d->lower);
    const int length = style()->pixelMetric(QStyle::PM_SliderLength, &option, d->styleSlider);
    // Room for both handles side by side.
    if (orientation() == Qt::Horizontal)
        size.setWidth(2 * length);
    else
        size.setHeight(2 * length);
    return size;
}

void QxDoubleRangeSlider::paintEvent(QPaintEvent *event)
{
    // A drag repaints a band around the moved handle: passes that fall
    // wholly outside it are left out.
    const QRect dirty = event->rect();
    d->styleSlider->ensurePolished();
    QPainter painter(this);
    QStyle *const style = this->style();
    // One option for every pass, its position and light changed between them.
    QStyleOptionSlider option = d->option(d->lower);
    option.subControls = QStyle::SC_SliderGroove;
    if (!d->grooveHighlights(option)) {
        style->drawComplexControl(QStyle::CC_Slider, &option, &painter, d->styleSlider);
    } else {
        // The style fills the groove from the minimum up to the handle:
        // drawn as at the minimum up to the lower handle's centre and as at
        // the upper value beyond, the fill marks the selected range.
        const QPoint split = d->handleRect(LowerHandle).center();
        // Not upside down, the minimum is left or on top.
        const bool minimumFirst = !option.upsideDown;
        QRect minimumSide = rect();
        QRect rest = rect();
        if (d->horizontal()) {
            (minimumFirst ? minimumSide : rest).setRight(split.x());
            (minimumFirst ? rest : minimumSide).setLeft(split.x() + 1);
        } else {
            (minimumFirst ? minimumSide : rest).setBottom(split.y());
            (minimumFirst ? rest : minimumSide).setTop(split.y() + 1);
        }
        if (minimumSide.intersects(dirty)) {
            option.sliderPosition = option.sliderValue = 0;
            painter.setClipRect(minimumSide);
            style->drawComplexControl(QStyle::CC_Slider, &option, &painter, d->styleSlider);
        }
        if (rest.intersects(dirty)) {
            option.sliderPosition = option.sliderValue = d->position(d->upper);
            painter.setClipRect(rest);
            style->drawComplexControl(QStyle::CC_Slider, &option, &painter, d->styleSlider);
        }
        painter.setClipping(false);
    }

    using Pressed = Private::Pressed;
    const bool spanDown = d->pressed == Pressed::SpanPressed;
    const QStyle::State state = option.state;
    option.subControls = QStyle::SC_SliderHandle;
    for (const Handle handle : { LowerHandle, UpperHandle }) {
        if (!d->handleRect(handle).intersects(dirty))
            continue;
        const Pressed own = handle == LowerHandle ? Pressed::LowerPressed : Pressed::UpperPressed;
        option.state = state;
        Private::light(&option, d->hovered == own, spanDown || d->pressed == own);
        option.sliderPosition = option.sliderValue = d->position(value(handle));
        if (hasFocus() && handle == d->active)
            option.state |= QStyle::State_HasFocus;
        style->drawComplexControl(QStyle::CC_Slider, &option, &painter, d->styleSlider);
    }
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = d->handleRect(d->active);
        style->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

void QxDoubleRangeSlider::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || d->pressed != Private::NothingPressed) {
        event->ignore();
        return;
    }
    event->accept();
    const QPoint point = event->pos();
    d->pressPixel = d->pick(point);
    d->pressLower = d->lower;
    d->pressUpper = d->upper;
    d->pressed = d->partAt(point);
    switch (d->pressed) {
    case Private::LowerPressed:
    case Private::UpperPressed:
    case Private::BothOverlapping: {
        // Both overlapping handles share a place; which one moves, the first
        // move tells.
        const Handle handle = d->pressed == Private::LowerPressed ? LowerHandle : UpperHandle;
        d->clickOffset = d->pick(point - handleRect(handle).topLeft());
        if (d->pressed != Private::BothOverlapping)
            setActiveHandle(handle);
        break;
    }
    case Private::SpanPressed:
        break;
    case Private::NothingPressed: {
        // Beside both handles: the nearer one jumps there, centred under the
        // pointer, and goes on being dragged.
        const double wanted = [&] {
            const QRect handle = handleRect(d->active);
            d->clickOffset = (d->horizontal() ? handle.width() : handle.height()) / 2;
            return d->valueAtPixel(d->pressPixel - d->clickOffset);
        }();
        const Handle handle = wanted <= d->lower ? LowerHandle : UpperHandle;
        setActiveHandle(handle);
        d->move(handle, wanted);
        d->pressed = handle == LowerHandle ? Private::LowerPressed : Private::UpperPressed;
        break;
    }
    }
    update();
}

void QxDoubleRangeSlider::mouseMoveEvent(QMouseEvent *event)
{
    if (d->pressed == Private::NothingPressed) {
        event->ignore();
        return;
    }
    event->accept();
    const int at = d->pick(event->pos());
    if (d->pressed == Private::SpanPressed) {
        // Both handles move by the value the pointer moved, keeping the span.
        const double moved = d->valueAtPixel(at) - d->valueAtPixel(d->pressPixel);
        const double width = d->pressUpper - d->pressLower;
        double lower = std::clamp(d->pressLower + moved, d->minimum, d->maximum);
        double upper = d->pressUpper + (lower - d->pressLower);
        if (!(upper <= d->maximum)) {
            upper = d->maximum;
            lower = std::max(d->minimum, upper - width);
        }
        d->store(lower, std::max(lower, upper));
        return;
    }
    if (d->pressed == Private::BothOverlapping) {
        const double towards = d->valueAtPixel(at) - d->valueAtPixel(d->pressPixel);
        if (towards == 0)
            return;
        d->pressed = towards > 0 ? Private::UpperPressed : Private::LowerPressed;
        setActiveHandle(towards > 0 ? UpperHandle : LowerHandle);
    }
    const Handle handle = d->pressed == Private::LowerPressed ? LowerHandle : UpperHandle;
    d->move(handle, d->valueAtPixel(at - d->clickOffset));
}

void QxDoubleRangeSlider::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || d->pressed == Private::NothingPressed) {
        event->ignore();
        return;
    }
    event->accept();
    d->pressed = Private::NothingPressed;
    update();
}

void QxDoubleRangeSlider::keyPressEvent(QKeyEvent *event)
{
    // The keys of QAbstractSlider, with its mirroring for right-to-left
    // layouts and inverted controls.
    using Action = QAbstractSlider::SliderAction;
    const bool inverted = invertedControls();
    const auto either = [inverted](Action plain, Action invertedAction) {
        return inverted ? invertedAction : plain;
    };
    Action action = QAbstractSlider::SliderNoAction;
    switch (event->key()) {
    case Qt::Key_Left:
        action = isRightToLeft()
                ? either(QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub)
                : either(QAbstractSlider::SliderSingleStepSub,
                         QAbstractSlider::SliderSingleStepAdd);
        break;
    case Qt::Key_Right:
        action = isRightToLeft()
                ? either(QAbstractSlider::SliderSingleStepSub, QAbstractSlider::SliderSingleStepAdd)
                : either(QAbstractSlider::SliderSingleStepAdd,
                         QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Up:
        action = either(QAbstractSlider::SliderSingleStepAdd, QAbstractSlider::SliderSingleStepSub);
        break;
    case Qt::Key_Down:
        action = either(QAbstractSlider::SliderSingleStepSub, QAbstractSlider::SliderSingleStepAdd);
        break;
    case Qt::Key_PageUp:
        action = either(QAbstractSlider::SliderPageStepAdd, QAbstractSlider::SliderPageStepSub);
        break;
    case Qt::Key_PageDown:
        action = either(QAbstractSlider::SliderPageStepSub, QAbstractSlider::SliderPageStepAdd);
        break;
    case Qt::Key_Home:
        action = QAbstractSlider::SliderToMinimum;
        break;
    case Qt::Key_End:
        action = QAbstractSlider::SliderToMaximum;
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    triggerAction(d->active, action);
}

void QxDoubleRangeSlider::wheelEvent(QWheelEvent *event)
{
    event->accept();
    const qint64 steps
            = QxSliderSteps::wheelSteps(d->wheelRemainder, QxQtCompat::wheelDelta(event));
    if (steps == 0)
        return;
    const double step = (event->modifiers() & Qt::ShiftModifier) ? d->pageStep : d->singleStep;
    d->move(d->active, value(d->active) + step * double(steps));
}

void QxDoubleRangeSlider::focusInEvent(QFocusEvent *event)
{
    if (event->reason() == Qt::TabFocusReason)
        setActiveHandle(LowerHandle);
    else if (event->reason() == Qt::BacktabFocusReason)
        setActiveHandle(UpperHandle);
    QWidget::focusInEvent(event);
    QxAccessibleWidgets::notifyRangeSliderFocus(this);
}

void QxDoubleRangeSlider::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
}

bool QxDoubleRangeSlider::focusNextPrevChild(bool next)
{
    if (hasFocus() && next && d->active == LowerHandle) {
        setActiveHandle(UpperHandle);
        return true;
    }
    if (hasFocus() && !next && d->active == UpperHandle) {
        setActiveHandle(LowerHandle);
        return true;
    }
    return QWidget::focusNextPrevChild(next);
}

bool QxDoubleRangeSlider::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverLeave:
        // Style sheets may size a hovered slider's handles differently.
        d->handlesKnown = false;
        break;
    default:
        break;
    }
    switch (event->type()) {
    case QEvent::HoverEnter:
    case QEvent::HoverMove: {
        const int part = d->partAt(QxQtCompat::hoverPosition(static_cast<QHoverEvent *>(event)));
        // Overlapping handles: the upper one is drawn on top.
        d->setHovered(part == Private::BothOverlapping ? int(Private::UpperPressed) : part);
        break;
    }
    case QEvent::HoverLeave:
        d->setHovered(Private::NothingPressed);
        break;
    case QEvent::StyleChange:
    case QEvent::FontChange:
    case QEvent::PaletteChange:
    case QEvent::LayoutDirectionChange:
    case QEvent::EnabledChange:
        d->forgetGeometry();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void QxDoubleRangeSlider::resizeEvent(QResizeEvent *event)
{
    d->styleSlider->resize(size());
    d->forgetGeometry();
    QWidget::resizeEvent(event);
}
