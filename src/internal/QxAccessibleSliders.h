#pragma once

// Screen readers hear the sliders' floating-point values: an accessible
// interface of the library's own (Qt's slider interface is private API)
// reports the double value, range and step of a QxDoubleSlider, and the value
// of a QxSliderSpinBox through its plain QSlider, and takes new values and
// step actions. The widgets install it when the first one is built.
class QWidget;

namespace QxAccessibleSliders {

// Installs the interface's factory and makes it the one that speaks for slider.
void install(QWidget *slider);

} // namespace QxAccessibleSliders
