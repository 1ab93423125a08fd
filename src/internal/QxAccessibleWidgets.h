#pragma once

// What screen readers learn of the library's widgets, through accessible
// interfaces of its own (Qt's for sliders and group boxes are private API):
// the double value, range and step of a QxDoubleSlider, and the value of a
// QxSliderSpinBox through its plain QSlider, with new values and step actions
// taken; the fold of a QxCollapsibleGroupBox (expandable, expanded or
// collapsed) besides what Qt reports of a checkable group box; both values of
// a QxDoubleRangeSlider, each handle a child slider of its own. The widgets
// install the factory when the first one is built.
class QWidget;

namespace QxAccessibleWidgets {

// Installs the factory and makes its interface the one that speaks for widget.
void install(QWidget *widget);

// Tells screen readers that a collapsible group box folded or unfolded.
void notifyFolded(QWidget *groupBox);

// Tells screen readers that a range slider's values moved.
void notifyRangeSliderValues(QWidget *rangeSlider, bool lowerMoved, bool upperMoved);

// Tells screen readers which handle of a focused range slider is active.
void notifyRangeSliderFocus(QWidget *rangeSlider);

} // namespace QxAccessibleWidgets
