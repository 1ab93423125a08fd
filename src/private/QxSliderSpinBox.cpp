#include "QxSliderSpinBox.h"

#include "QxAccessibleWidgets.h"
#include "Ui_QxSliderSpinBox.h"

#include <QAccessible>

#include <QDoubleSpinBox>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace {

// The decimals that show one slider position apart from the next on this
// range: at least the spin box's usual 2, at most the 15 digits a double
// holds after the point for values of order 1.
int decimalsFor(double minimum, double maximum, int positions)
{
    const double step = (maximum - minimum) / positions;
    const double digits = std::ceil(-std::log10(step) - 1e-9);
    if (!std::isfinite(digits))
        return 2;
    return static_cast<int>(std::clamp(digits, 2.0, 15.0));
}

// The whole number of slider positions nearest to step on this range: at
// least one, so that a key always moves the knob, at most all of them.
int positionsFor(double step, double minimum, double maximum, int positions)
{
    const double exact = step * positions / (maximum - minimum);
    if (!(exact >= 1.0))
        return 1;
    if (exact >= positions)
        return positions;
    return static_cast<int>(std::lround(exact));
}

} // namespace

QxSliderSpinBox::QxSliderSpinBox(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_QxSliderSpinBox)
    , min(0.0)
    , max(100.0)
{
    ui->setupUi(this);
    autoDecimals = ui->doubleSpinBox->decimals();
    // A buddy label's mnemonic, Tab and a click on the widget reach the spin
    // box, where the value is typed; a screen reader names both parts.
    // (QLabel hands the focus only to a buddy that takes it by policy.)
    setFocusProxy(ui->doubleSpinBox);
    setFocusPolicy(ui->doubleSpinBox->focusPolicy());
    ui->slider->setAccessibleName(tr("Slider"));
    ui->doubleSpinBox->setAccessibleName(tr("Value"));
    connect(ui->slider, SIGNAL(sliderMoved(int)), this, SLOT(onSliderMoved(int)));
    connect(ui->slider, SIGNAL(valueChanged(int)), this, SLOT(onSliderMoved(int)));
    connect(ui->doubleSpinBox, SIGNAL(valueChanged(double)), this, SLOT(onValueChanged(double)));
    connect(ui->slider, &QAbstractSlider::actionTriggered, this,
            &QxSliderSpinBox::applySliderAction);
    connect(ui->slider, &QAbstractSlider::sliderPressed, this,
            [this] { dragStartValue = ui->doubleSpinBox->value(); });
    connect(ui->slider, &QAbstractSlider::sliderReleased, this, &QxSliderSpinBox::finishDrag);
    connect(ui->doubleSpinBox, &QAbstractSpinBox::editingFinished, this,
            &QxSliderSpinBox::editingFinished);
    // The slider speaks for the widget's value (its own position is 0..1000).
    QxAccessibleWidgets::install(ui->slider);
    connect(this, &QxSliderSpinBox::valueChanged, this, [this](double value) {
        QAccessibleValueChangeEvent event(ui->slider, value);
        QAccessible::updateAccessibility(&event);
    });
}

QxSliderSpinBox::~QxSliderSpinBox() = default;

double QxSliderSpinBox::value() const
{
    return ui->doubleSpinBox->value();
}

double QxSliderSpinBox::minimum() const
{
    return min;
}

double QxSliderSpinBox::maximum() const
{
    return max;
}

int QxSliderSpinBox::decimals() const
{
    return ui->doubleSpinBox->decimals();
}

double QxSliderSpinBox::singleStep() const
{
    return ui->doubleSpinBox->singleStep();
}

double QxSliderSpinBox::pageStep() const
{
    if (pageStepChosen)
        return chosenPageStep;
    return ui->slider->pageStep() * ((max - min) / ui->slider->maximum());
}

QString QxSliderSpinBox::prefix() const
{
    return ui->doubleSpinBox->prefix();
}

QString QxSliderSpinBox::suffix() const
{
    return ui->doubleSpinBox->suffix();
}

bool QxSliderSpinBox::hasTracking() const
{
    return ui->slider->hasTracking();
}

void QxSliderSpinBox::onSliderMoved(int pos)
{
    double value = min + ((max - min) / ui->slider->maximum()) * pos;
    if (actionPending) {
        actionPending = false;
        value = actionValue;
    }
    {
        const QSignalBlocker blocker(ui->doubleSpinBox);
        ui->doubleSpinBox->setValue(value);
    }
    // Without tracking a drag shows where it is, and tells on release.
    if (!hasTracking() && ui->slider->isSliderDown())
        return;
    // What the spin box shows, rounded to its decimals and held to its range:
    // the widget never announces a value that a person cannot see.
    Q_EMIT valueChanged(ui->doubleSpinBox->value());
    if (releasePending) {
        releasePending = false;
        Q_EMIT editingFinished();
    }
}

void QxSliderSpinBox::onValueChanged(double val)
{
    adjustSlider();
    Q_EMIT valueChanged(val);
}

void QxSliderSpinBox::setValue(double value)
{
    if (std::isnan(value))
        return;
    ui->doubleSpinBox->setValue(value);
}

void QxSliderSpinBox::adjustSlider()
{
    QSlider *slider = ui->slider;
    const QSignalBlocker blocker(slider);
    slider->setValue(positionOf(ui->doubleSpinBox->value()));
}

int QxSliderSpinBox::positionOf(double value) const
{
    const QSlider *slider = ui->slider;
    const int high = slider->maximum();
    const double position = high * (value - min) / (max - min);
    // Bounded before the conversion: an empty range or an infinite end makes
    // the position infinite or NaN, which no int can hold.
    // The nearest position: a typed 32.3 on 0..100 stands at 323, not 322.
    if (position >= high)
        return high;
    if (position > slider->minimum())
        return static_cast<int>(std::lround(position));
    return slider->minimum();
}

// The spin box's own range follows the widget's, so that it can show every
// value that onSliderMoved() emits. Narrowing it pulls the spin box value in,
// which reports through onValueChanged() like any other change of the spin box.
// The slider is re-placed in every case: the range has changed even when the
// spin box value, rounded to its decimals, has not.
void QxSliderSpinBox::setMin(double minimum)
{
    min = minimum;
    followRange();
    ui->doubleSpinBox->setMinimum(minimum);
    followSteps();
    adjustSlider();
}

void QxSliderSpinBox::setMax(double maximum)
{
    max = maximum;
    followRange();
    ui->doubleSpinBox->setMaximum(maximum);
    followSteps();
    adjustSlider();
}

void QxSliderSpinBox::setMinimum(double minimum)
{
    setRange(minimum, std::max(minimum, max));
}

void QxSliderSpinBox::setMaximum(double maximum)
{
    setRange(std::min(min, maximum), maximum);
}

// Both ends reach the spin box together, so that its value is held to the new
// range once rather than to a mix of the old and the new.
void QxSliderSpinBox::setRange(double minimum, double maximum)
{
    min = minimum;
    max = std::max(minimum, maximum);
    followRange();
    ui->doubleSpinBox->setRange(min, max);
    followSteps();
    adjustSlider();
}

void QxSliderSpinBox::setDecimals(int decimals)
{
    decimalsChosen = true;
    ui->doubleSpinBox->setDecimals(decimals);
    autoDecimals = ui->doubleSpinBox->decimals();
}

void QxSliderSpinBox::setSingleStep(double step)
{
    if (!(step >= 0.0))
        return;
    singleStepChosen = true;
    ui->doubleSpinBox->setSingleStep(step);
    followSteps();
}

void QxSliderSpinBox::setPageStep(double step)
{
    if (!(step >= 0.0))
        return;
    pageStepChosen = true;
    chosenPageStep = step;
    followSteps();
}

void QxSliderSpinBox::setPrefix(const QString &prefix)
{
    ui->doubleSpinBox->setPrefix(prefix);
}

void QxSliderSpinBox::setSuffix(const QString &suffix)
{
    ui->doubleSpinBox->setSuffix(suffix);
}

// The spin box follows too, as a QDoubleSpinBox without keyboard tracking
// beside a QSlider without tracking would.
void QxSliderSpinBox::setTracking(bool enable)
{
    ui->slider->setTracking(enable);
    ui->doubleSpinBox->setKeyboardTracking(enable);
}

void QxSliderSpinBox::followSteps()
{
    QSlider *slider = ui->slider;
    const int positions = slider->maximum() - slider->minimum();
    if (singleStepChosen)
        slider->setSingleStep(positionsFor(singleStep(), min, max, positions));
    if (pageStepChosen)
        slider->setPageStep(positionsFor(chosenPageStep, min, max, positions));
}

// QAbstractSlider has moved the knob by its whole positions and asks for the
// value; the chosen step gives it exactly, and the knob goes to the position
// nearest to that.
void QxSliderSpinBox::applySliderAction(int action)
{
    double step = 0.0;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
    case QAbstractSlider::SliderSingleStepSub:
        if (!singleStepChosen)
            return;
        step = singleStep();
        break;
    case QAbstractSlider::SliderPageStepAdd:
    case QAbstractSlider::SliderPageStepSub:
        if (!pageStepChosen)
            return;
        step = chosenPageStep;
        break;
    default:
        return;
    }
    if (action == QAbstractSlider::SliderSingleStepSub
        || action == QAbstractSlider::SliderPageStepSub)
        step = -step;
    QDoubleSpinBox *box = ui->doubleSpinBox;
    const double target = std::clamp(box->value() + step, box->minimum(), box->maximum());
    if (!std::isfinite(target))
        return;
    QSlider *slider = ui->slider;
    const int position = positionOf(target);
    if (position == slider->value()) {
        // The knob stays, so the slider reports nothing: the spin box does.
        slider->setSliderPosition(position);
        box->setValue(target);
        return;
    }
    actionPending = true;
    actionValue = target;
    slider->setSliderPosition(position);
}

void QxSliderSpinBox::finishDrag()
{
    QSlider *slider = ui->slider;
    if (slider->sliderPosition() != slider->value()) {
        // The slider reports the released position next; the end of the
        // editing follows that value.
        releasePending = true;
        return;
    }
    if (!hasTracking()) {
        // Back where it began: no change, so the value before the drag
        // rather than the one of its position.
        const QSignalBlocker blocker(ui->doubleSpinBox);
        ui->doubleSpinBox->setValue(dragStartValue);
    }
    Q_EMIT editingFinished();
}

void QxSliderSpinBox::followRange()
{
    QDoubleSpinBox *box = ui->doubleSpinBox;
    // Decimals a caller set on the spin box are the caller's to keep.
    if (decimalsChosen || box->decimals() != autoDecimals)
        return;
    autoDecimals = decimalsFor(min, max, ui->slider->maximum());
    if (box->decimals() == autoDecimals)
        return;
    // Set before the new end, which the spin box rounds to its decimals; the
    // value stays what it was as far as the new decimals show it.
    const QSignalBlocker blocker(box);
    const double value = box->value();
    box->setDecimals(autoDecimals);
    box->setValue(value);
}
