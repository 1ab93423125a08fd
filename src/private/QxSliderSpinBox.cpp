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
    // The slider speaks for the widget's value (its own position is 0..1000).
    QxAccessibleWidgets::install(ui->slider);
    connect(this, &QxSliderSpinBox::valueChanged, this, [this](double value) {
        QAccessibleValueChangeEvent event(ui->slider, value);
        QAccessible::updateAccessibility(&event);
    });
}

QxSliderSpinBox::~QxSliderSpinBox() = default;

void QxSliderSpinBox::onSliderMoved(int pos)
{
    const double value = min + ((max - min) / ui->slider->maximum()) * pos;
    {
        const QSignalBlocker blocker(ui->doubleSpinBox);
        ui->doubleSpinBox->setValue(value);
    }
    // What the spin box shows, rounded to its decimals and held to its range:
    // the widget never announces a value that a person cannot see.
    Q_EMIT valueChanged(ui->doubleSpinBox->value());
}

void QxSliderSpinBox::onValueChanged(double val)
{
    adjustSlider();
    Q_EMIT valueChanged(val);
}

void QxSliderSpinBox::adjustSlider()
{
    QSlider *slider = ui->slider;
    const int high = slider->maximum();
    const double position = high * (ui->doubleSpinBox->value() - min) / (max - min);
    // Bounded before the conversion: an empty range or an infinite end makes
    // the position infinite or NaN, which no int can hold.
    // The nearest position: a typed 32.3 on 0..100 stands at 323, not 322.
    int bounded = slider->minimum();
    if (position >= high)
        bounded = high;
    else if (position > bounded)
        bounded = static_cast<int>(std::lround(position));
    const QSignalBlocker blocker(slider);
    slider->setValue(bounded);
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
    adjustSlider();
}

void QxSliderSpinBox::setMax(double maximum)
{
    max = maximum;
    followRange();
    ui->doubleSpinBox->setMaximum(maximum);
    adjustSlider();
}

void QxSliderSpinBox::followRange()
{
    QDoubleSpinBox *box = ui->doubleSpinBox;
    // Decimals a caller set on the spin box are the caller's to keep.
    if (box->decimals() != autoDecimals)
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
