#pragma once

#include <QScopedPointer>
#include <QWidget>

#include "lumo_export.h"

class Ui_QxSliderSpinBox;

/// A horizontal slider and a double spin box editing one floating-point value.
///
/// The spin box shows the value; the slider, fixed at 0 to 1000, shows where
/// the value lies in the range (0.0 to 100.0 by default). Moving either child
/// moves the other without any signal coming back, and valueChanged() announces
/// the value. The spin box's own range follows setMin() and setMax(), and so
/// do its decimals: enough to tell one slider position from the next (2 for
/// the default range, 9 for 0 to 1e-6), unless the caller set them on the spin
/// box. The spin box takes the focus for the widget (a buddy label's mnemonic
/// reaches it), and both children have accessible names. The form
/// comes from Ui_QxSliderSpinBox, which the widget owns; its children belong to
/// the widget.
class LUMO_EXPORT QxSliderSpinBox : public QWidget
{
    Q_OBJECT
public:
    /// Builds the form (slider at 10 of 1000, spin box at 1.0) over the range
    /// 0.0 to 100.0, as a child of \a parent.
    explicit QxSliderSpinBox(QWidget *parent = nullptr);
    ~QxSliderSpinBox() override;

    /// Places the slider at the position nearest the spin box's value without
    /// the slider signalling. An empty range, NaN or infinities put it at an end (NaN at 0).
    void adjustSlider();
    /// Sets the lower end of the range. A spin box value below it is pulled up
    /// to it, which emits valueChanged(); otherwise only the slider moves.
    void setMin(double min);
    /// Sets the upper end of the range. A spin box value above it is pulled
    /// down to it, which emits valueChanged(); otherwise only the slider moves.
    void setMax(double max);

Q_SIGNALS:
    /// The value after every change from either child, as the spin box shows
    /// it: a slider move emits the value of the position rounded to the spin
    /// box's decimals; a drag step emits it twice (sliderMoved and valueChanged).
    void valueChanged(double value) const;

public Q_SLOTS:
    /// Shows the value of slider position \a pos in the spin box and emits it.
    void onSliderMoved(int pos);
    /// Places the slider for the spin box value \a val and emits it.
    void onValueChanged(double val);

private:
    // Unless a caller chose the spin box's decimals, gives it enough to show
    // every slider position of the range apart.
    void followRange();

    QScopedPointer<Ui_QxSliderSpinBox> ui;
    double min;
    double max;
    // The decimals last chosen for the range.
    int autoDecimals;
};
