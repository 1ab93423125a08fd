#pragma once

#include <QDoubleSpinBox>
#include <QHBoxLayout>
#include <QSlider>
#include <QWidget>

#include "lumo_export.h"

/// The designer form of QxSliderSpinBox: a slider and a double spin box side by
/// side, built from QxSliderSpinBox.ui.
///
/// setupUi() fills the three pointers; the widgets and the layout belong to the
/// form widget through Qt's object tree, never to this structure.
class LUMO_EXPORT Ui_QxSliderSpinBox
{
public:
    QHBoxLayout *horizontalLayout = nullptr;
    /// Horizontal, 0 to 1000, page step 10, at 10; expands sideways.
    QSlider *slider = nullptr;
    /// Without buttons, 0.0 to 100.0, at 1.0.
    QDoubleSpinBox *doubleSpinBox = nullptr;

    /// Builds the form on \a form: names it "QxSliderSpinBox" unless it has a
    /// name already, sizes it 149 x 20, creates the children, sets the window
    /// title and connects slots by name.
    void setupUi(QWidget *form);
    /// Sets the window title: "Form", translated in the context "QxSliderSpinBox".
    void retranslateUi(QWidget *form);
};
