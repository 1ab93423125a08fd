#pragma once

// What the double sliders share: exact steps for slider actions and the wheel
// travel that adds up to whole steps.

#include <QAbstractSlider>
#include <QtGlobal>

#include <algorithm>

namespace QxSliderSteps {

// Where \a action takes \a value: by exactly the double step, or to an end,
// held to [low, high]. Drags and other actions leave the value; NaN (from a
// NaN step) goes to low.
inline double actionTarget(int action, double value, double low, double high, double singleStep,
                           double pageStep)
{
    double target = value;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        target += singleStep;
        break;
    case QAbstractSlider::SliderSingleStepSub:
        target -= singleStep;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        target += pageStep;
        break;
    case QAbstractSlider::SliderPageStepSub:
        target -= pageStep;
        break;
    case QAbstractSlider::SliderToMinimum:
        target = low;
        break;
    case QAbstractSlider::SliderToMaximum:
        target = high;
        break;
    default:
        return value;
    }
    if (!(target >= low))
        return low;
    return std::min(target, high);
}

// The wheel delta of one step.
constexpr int wheelDetent = 120;

// Touchpads and fine wheels send a notch in pieces: they add up in
// \a remainder, and a step is taken per whole detent. A turn the other way
// starts afresh. Returns the whole steps that \a delta completes, negative
// when turned back.
inline qint64 wheelSteps(qint64 &remainder, qint64 delta)
{
    if ((delta < 0 && remainder > 0) || (delta > 0 && remainder < 0))
        remainder = 0;
    remainder += delta;
    const qint64 steps = remainder / wheelDetent;
    remainder -= steps * wheelDetent;
    return steps;
}

} // namespace QxSliderSteps
