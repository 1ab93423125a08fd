#include "SlidersPage.h"

#include <lumo/QxDoubleRangeSlider.h>
#include <lumo/QxDoubleSlider.h>
#include <lumo/QxSliderSpinBox.h>

#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QVBoxLayout>

#include <memory>

namespace {

QDoubleSpinBox *numberBox(double value, double minimum = -1e9, double maximum = 1e9)
{
    auto *box = new QDoubleSpinBox;
    box->setRange(minimum, maximum);
    box->setDecimals(3);
    box->setValue(value);
    box->setKeyboardTracking(false);
    return box;
}

// The readout of a value signal: the last value and how often it came.
QLabel *readout(const QString &objectName)
{
    auto *label = new QLabel;
    label->setObjectName(objectName);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

void showValue(QLabel *label, const char *signal, double value, int count)
{
    label->setText(QStringLiteral("%1(%2)   × %3")
                           .arg(QLatin1String(signal))
                           .arg(value, 0, 'g', 10)
                           .arg(count));
}

} // namespace

SlidersPage::SlidersPage(QWidget *parent)
    : GalleryPage(QStringLiteral("sliders"), tr("Sliders"), parent)
    , m_horizontal(new QxDoubleSlider)
    , m_vertical(new QxDoubleSlider)
    , m_sliderSpinBox(new QxSliderSpinBox)
    , m_minimum(numberBox(-1.0))
    , m_maximum(numberBox(1.0))
    , m_singleStep(numberBox(0.05, 0.0))
    , m_pageStep(numberBox(0.25, 0.0))
    , m_decimals(new QSpinBox)
    , m_spinBoxMinimum(numberBox(0.0))
    , m_spinBoxMaximum(numberBox(100.0))
    , m_spinBoxStep(numberBox(1.0, 0.0))
    , m_spinBoxDecimals(new QSpinBox)
    , m_spinBoxSuffix(new QLineEdit)
    , m_spinBoxTracking(new QCheckBox(tr("Tracking")))
    , m_horizontalReadout(readout(QStringLiteral("horizontalReadout")))
    , m_verticalReadout(readout(QStringLiteral("verticalReadout")))
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(createDoubleSliderGroup());
    layout->addWidget(createSliderSpinBoxGroup());
    layout->addWidget(createRangeSliderGroup());
    layout->addStretch();
}

QGroupBox *SlidersPage::createDoubleSliderGroup()
{
    auto *group = new QGroupBox(QStringLiteral("QxDoubleSlider"));
    auto *groupLayout = new QHBoxLayout(group);
    auto *settings = new QFormLayout;
    m_decimals->setRange(0, 12);
    m_decimals->setValue(2);
    settings->addRow(tr("Minimum"), m_minimum);
    settings->addRow(tr("Maximum"), m_maximum);
    settings->addRow(tr("Single step (wheel)"), m_singleStep);
    settings->addRow(tr("Page step (Shift+wheel)"), m_pageStep);
    settings->addRow(tr("Precision (decimals)"), m_decimals);
    groupLayout->addLayout(settings);

    auto *sliders = new QVBoxLayout;
    m_horizontal->setObjectName(QStringLiteral("horizontalDoubleSlider"));
    m_horizontal->setOrientation(Qt::Horizontal);
    m_vertical->setObjectName(QStringLiteral("verticalDoubleSlider"));
    m_vertical->setOrientation(Qt::Vertical);
    m_vertical->setMinimumHeight(140);
    sliders->addWidget(m_horizontal);
    sliders->addWidget(m_horizontalReadout);
    auto *verticalRow = new QHBoxLayout;
    verticalRow->addWidget(m_vertical);
    verticalRow->addWidget(m_verticalReadout, 1);
    sliders->addLayout(verticalRow);
    auto *hint = new QLabel(tr("Arrow keys move by exactly the single step, PageUp and "
                               "PageDown by the page step, Home and End to the ends. Click "
                               "beside the handle to jump there; the wheel (or a touchpad, "
                               "whose small pieces add up) moves by the single step, with Shift "
                               "by the page step. A dragged knob counts once it changes the "
                               "value by at least 0.1 to the power of the precision."));
    hint->setWordWrap(true);
    sliders->addWidget(hint);
    groupLayout->addLayout(sliders, 1);

    connect(m_horizontal, &QxDoubleSlider::doubleValueChanged, this,
            &SlidersPage::showHorizontalValue);
    connect(m_vertical, &QxDoubleSlider::doubleValueChanged, this, &SlidersPage::showVerticalValue);
    for (QDoubleSpinBox *box : { m_minimum, m_maximum, m_singleStep, m_pageStep })
        connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                &SlidersPage::applySliderSettings);
    connect(m_decimals, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &SlidersPage::applySliderSettings);
    applySliderSettings();
    m_horizontal->setValue(0.25);
    m_vertical->setValue(-0.5);
    return group;
}

QGroupBox *SlidersPage::createSliderSpinBoxGroup()
{
    auto *group = new QGroupBox(QStringLiteral("QxSliderSpinBox"));
    auto *groupLayout = new QHBoxLayout(group);
    auto *range = new QFormLayout;
    m_spinBoxMinimum->setObjectName(QStringLiteral("sliderSpinBoxMinimum"));
    m_spinBoxMaximum->setObjectName(QStringLiteral("sliderSpinBoxMaximum"));
    m_spinBoxStep->setObjectName(QStringLiteral("sliderSpinBoxStep"));
    m_spinBoxDecimals->setObjectName(QStringLiteral("sliderSpinBoxDecimals"));
    m_spinBoxSuffix->setObjectName(QStringLiteral("sliderSpinBoxSuffix"));
    m_spinBoxTracking->setObjectName(QStringLiteral("sliderSpinBoxTracking"));
    m_spinBoxDecimals->setRange(0, 12);
    m_spinBoxDecimals->setValue(m_sliderSpinBox->decimals());
    m_spinBoxTracking->setChecked(m_sliderSpinBox->hasTracking());
    m_spinBoxSuffix->setPlaceholderText(tr("e.g. \" mm\""));
    range->addRow(tr("Minimum"), m_spinBoxMinimum);
    range->addRow(tr("Maximum"), m_spinBoxMaximum);
    range->addRow(tr("Single step (keys)"), m_spinBoxStep);
    range->addRow(tr("Decimals"), m_spinBoxDecimals);
    range->addRow(tr("Suffix"), m_spinBoxSuffix);
    range->addRow(QString(), m_spinBoxTracking);
    groupLayout->addLayout(range);
    auto *compound = new QVBoxLayout;
    m_sliderSpinBox->setObjectName(QStringLiteral("sliderSpinBox"));
    QLabel *spinReadout = readout(QStringLiteral("sliderSpinBoxReadout"));
    spinReadout->setText(tr("Move the slider or type a value."));
    QLabel *finishedReadout = readout(QStringLiteral("sliderSpinBoxFinishedReadout"));
    finishedReadout->setText(tr("Return, Tab or a slider release ends the editing."));
    auto *hint = new QLabel(tr("Without tracking the value is announced when the drag is "
                               "released or the typed number is confirmed with Return or Tab."));
    hint->setWordWrap(true);
    compound->addWidget(m_sliderSpinBox);
    compound->addWidget(spinReadout);
    compound->addWidget(finishedReadout);
    compound->addWidget(hint);
    groupLayout->addLayout(compound, 1);
    groupLayout->setAlignment(compound, Qt::AlignTop);

    auto spinCount = std::make_shared<int>(0);
    connect(m_sliderSpinBox, &QxSliderSpinBox::valueChanged, this,
            [spinReadout, spinCount](double value) {
                showValue(spinReadout, "valueChanged", value, ++*spinCount);
            });
    auto finishedCount = std::make_shared<int>(0);
    connect(m_sliderSpinBox, &QxSliderSpinBox::editingFinished, this,
            [finishedReadout, finishedCount] {
                finishedReadout->setText(
                        QStringLiteral("editingFinished()   × %1").arg(++*finishedCount));
            });
    for (QDoubleSpinBox *box : { m_spinBoxMinimum, m_spinBoxMaximum })
        connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                &SlidersPage::applySpinBoxRange);
    connect(m_spinBoxStep, QOverload<double>::of(&QDoubleSpinBox::valueChanged), m_sliderSpinBox,
            &QxSliderSpinBox::setSingleStep);
    connect(m_spinBoxDecimals, QOverload<int>::of(&QSpinBox::valueChanged), m_sliderSpinBox,
            &QxSliderSpinBox::setDecimals);
    connect(m_spinBoxSuffix, &QLineEdit::textChanged, m_sliderSpinBox, &QxSliderSpinBox::setSuffix);
    connect(m_spinBoxTracking, &QCheckBox::toggled, m_sliderSpinBox, &QxSliderSpinBox::setTracking);
    return group;
}

void SlidersPage::showHorizontalValue(double value)
{
    showValue(m_horizontalReadout, "doubleValueChanged", value, ++m_horizontalCount);
}

void SlidersPage::showVerticalValue(double value)
{
    showValue(m_verticalReadout, "doubleValueChanged", value, ++m_verticalCount);
}

void SlidersPage::applySliderSettings()
{
    // An empty or reversed range, or a step longer than the range, means
    // nothing on a slider: keep the last sound settings until they are sound.
    const double minimum = m_minimum->value();
    const double maximum = m_maximum->value();
    const bool sound = minimum < maximum && m_singleStep->value() <= maximum - minimum
            && m_pageStep->value() <= maximum - minimum;
    for (QDoubleSpinBox *box : { m_minimum, m_maximum, m_singleStep, m_pageStep })
        box->setStyleSheet(sound ? QString() : QStringLiteral("color: #b00020"));
    if (!sound)
        return;
    for (QxDoubleSlider *slider : { m_horizontal, m_vertical }) {
        slider->setPrecision(m_decimals->value());
        slider->setRange(minimum, maximum);
        slider->setSingleStep(m_singleStep->value());
        slider->setPageStep(m_pageStep->value());
    }
}

void SlidersPage::applySpinBoxRange()
{
    const double minimum = m_spinBoxMinimum->value();
    const double maximum = m_spinBoxMaximum->value();
    const bool sound = minimum < maximum;
    for (QDoubleSpinBox *box : { m_spinBoxMinimum, m_spinBoxMaximum })
        box->setStyleSheet(sound ? QString() : QStringLiteral("color: #b00020"));
    if (!sound)
        return;
    m_sliderSpinBox->setRange(minimum, maximum);
    // A range that chose other decimals shows them, until the page sets its own.
    const QSignalBlocker blocker(m_spinBoxDecimals);
    m_spinBoxDecimals->setValue(m_sliderSpinBox->decimals());
}

QGroupBox *SlidersPage::createRangeSliderGroup()
{
    auto *group = new QGroupBox(QStringLiteral("QxDoubleRangeSlider"));
    auto *groupLayout = new QVBoxLayout(group);
    m_rangeSlider = new QxDoubleRangeSlider(Qt::Horizontal);
    m_rangeSlider->setObjectName(QStringLiteral("rangeSlider"));
    m_rangeSlider->setRange(0.0, 10.0);
    m_rangeSlider->setSingleStep(0.1);
    m_rangeSlider->setPageStep(1.0);
    m_rangeSlider->setValues(2.5, 7.5);
    QLabel *rangeReadout = readout(QStringLiteral("rangeSliderReadout"));
    auto *hint = new QLabel(tr("Tab or a click picks the handle that the keys and the wheel "
                               "move, by exactly 0.1 (PageUp and PageDown by 1); drag between "
                               "the handles to move both. The handles never cross."));
    hint->setWordWrap(true);
    groupLayout->addWidget(m_rangeSlider);
    groupLayout->addWidget(rangeReadout);
    groupLayout->addWidget(hint);

    auto rangeCount = std::make_shared<int>(0);
    const auto show = [rangeReadout, rangeCount](double lower, double upper) {
        rangeReadout->setText(QStringLiteral("valuesChanged(%1, %2)   \u00d7 %3")
                                      .arg(lower, 0, 'g', 10)
                                      .arg(upper, 0, 'g', 10)
                                      .arg(++*rangeCount));
    };
    connect(m_rangeSlider, &QxDoubleRangeSlider::valuesChanged, this, show);
    rangeReadout->setText(tr("Move a handle or the span between them."));
    return group;
}
