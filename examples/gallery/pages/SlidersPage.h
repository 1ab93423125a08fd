#pragma once

#include "GalleryPage.h"

class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QSpinBox;
class QxDoubleRangeSlider;
class QxDoubleSlider;
class QxSliderSpinBox;

/// QxDoubleSlider (horizontal and vertical) and QxSliderSpinBox with their
/// range, steps and precision (and the latter's decimals, suffix and tracking)
/// editable, a QxDoubleRangeSlider, and a live readout of their signals.
class SlidersPage : public GalleryPage
{
    Q_OBJECT
public:
    explicit SlidersPage(QWidget *parent = nullptr);

    QxDoubleSlider *horizontalSlider() const { return m_horizontal; }
    QxDoubleSlider *verticalSlider() const { return m_vertical; }
    QxSliderSpinBox *sliderSpinBox() const { return m_sliderSpinBox; }
    QxDoubleRangeSlider *rangeSlider() const { return m_rangeSlider; }

private slots:
    void showHorizontalValue(double value);
    void showVerticalValue(double value);

private:
    QGroupBox *createDoubleSliderGroup();
    QGroupBox *createSliderSpinBoxGroup();
    QGroupBox *createRangeSliderGroup();
    void applySliderSettings();
    void applySpinBoxRange();

    QxDoubleSlider *m_horizontal;
    QxDoubleSlider *m_vertical;
    QxSliderSpinBox *m_sliderSpinBox;
    QxDoubleRangeSlider *m_rangeSlider = nullptr;

    QDoubleSpinBox *m_minimum;
    QDoubleSpinBox *m_maximum;
    QDoubleSpinBox *m_singleStep;
    QDoubleSpinBox *m_pageStep;
    QSpinBox *m_decimals;
    QDoubleSpinBox *m_spinBoxMinimum;
    QDoubleSpinBox *m_spinBoxMaximum;
    QDoubleSpinBox *m_spinBoxStep;
    QSpinBox *m_spinBoxDecimals;
    QLineEdit *m_spinBoxSuffix;
    QCheckBox *m_spinBoxTracking;
    QLabel *m_horizontalReadout;
    QLabel *m_verticalReadout;
    int m_horizontalCount = 0;
    int m_verticalCount = 0;
};
