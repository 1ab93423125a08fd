// The exported form structure, implemented by the code that uic generates
// from QxSliderSpinBox.ui. The generated header defines a header-only class of
// the same name; renamed here, it does the work and hands its widget pointers
// over, so the .ui stays the one description of the form.

#include "Ui_QxSliderSpinBox.h"

#define Ui_QxSliderSpinBox GeneratedQxSliderSpinBoxForm
#include "ui_QxSliderSpinBox.h"
#undef Ui_QxSliderSpinBox

// A widget added to the .ui must be added to the public structure too.
static_assert(sizeof(GeneratedQxSliderSpinBoxForm) == sizeof(Ui_QxSliderSpinBox),
              "Ui_QxSliderSpinBox lists every object of QxSliderSpinBox.ui");

void Ui_QxSliderSpinBox::setupUi(QWidget *form)
{
    GeneratedQxSliderSpinBoxForm generated;
    generated.setupUi(form);
    horizontalLayout = generated.horizontalLayout;
    slider = generated.slider;
    doubleSpinBox = generated.doubleSpinBox;
}

// The generated form sets the texts of its own widgets: it needs them all, or
// the first translatable widget text would be written through a null pointer.
void Ui_QxSliderSpinBox::retranslateUi(QWidget *form)
{
    GeneratedQxSliderSpinBoxForm generated;
    generated.horizontalLayout = horizontalLayout;
    generated.slider = slider;
    generated.doubleSpinBox = doubleSpinBox;
    generated.retranslateUi(form);
}
