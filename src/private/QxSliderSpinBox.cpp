#include "QxSliderSpinBox.h"

#include "Ui_QxSliderSpinBox.h"

#include <QSignalBlocker>

QxSliderSpinBox::QxSliderSpinBox(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui_QxSliderSpinBox)
    , min(0.0)
    , max(100.0)
{
    ui->setupUi(this);
    connect(ui->slider, SIGNAL(sliderMoved(int)), this, SLOT(onSliderMoved(int)));
    connect(ui->slider, SIGNAL(valueChanged(int)), this, SLOT(onSliderMoved(int)));
    connect(ui->doubleSpinBox, SIGNAL(valueChanged(double)), this, SLOT(onValueChanged(double)));
}

QxSliderSpinBox::~QxSliderSpinBox() = default;

void QxSliderSpinBox::onSliderMoved(int pos)
{
    const double value = min + ((max - min) / ui->slider->maximum()) * pos;
    {
        const QSignalBlocker blocker(ui->doubleSpinBox);
        ui->doubleSpinBox->setValue(value);
    }
    Q_EMIT valueChanged(value);
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
    int bounded = slider->minimum();
    if (position >= high)
        bounded = high;
    else if (position > bounded)
        bounded = static_cast<int>(position);
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
    ui->doubleSpinBox->setMinimum(minimum);
    adjustSlider();
}

void QxSliderSpinBox::setMax(double maximum)
{
    max = maximum;
    ui->doubleSpinBox->setMaximum(maximum);
    adjustSlider();
}
