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
/// the value. The spin box's own range follows the widget's, and so do its
/// decimals: enough to tell one slider position from the next (2 for the
/// default range, 9 for 0 to 1e-6), until setDecimals() chooses them (or the
/// caller sets them on the spin box). The spin box takes the focus for the
/// widget (a buddy label's mnemonic reaches it), and both children have
/// accessible names. The form comes from Ui_QxSliderSpinBox, which the widget
/// owns; its children belong to the widget.
///
/// The range, the steps and the decimals may be set in any order: each setter
/// keeps what the others set, and the slider's steps follow the range. The
/// properties serve Qt Designer, uic, QUiLoader and item delegates, which read
/// and write the user property \c value.
class LUMO_EXPORT QxSliderSpinBox : public QWidget
{
    Q_OBJECT
    // Declared in the order that a form sets them: the value comes last, so
    // that the range and the decimals it is held to are there before it.
    Q_PROPERTY(double minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(double maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(int decimals READ decimals WRITE setDecimals)
    Q_PROPERTY(double singleStep READ singleStep WRITE setSingleStep)
    Q_PROPERTY(double pageStep READ pageStep WRITE setPageStep)
    Q_PROPERTY(QString prefix READ prefix WRITE setPrefix)
    Q_PROPERTY(QString suffix READ suffix WRITE setSuffix)
    Q_PROPERTY(bool tracking READ hasTracking WRITE setTracking)
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY valueChanged USER true)
public:
    /// Builds the form (slider at 10 of 1000, spin box at 1.0) over the range
    /// 0.0 to 100.0, as a child of \a parent.
    explicit QxSliderSpinBox(QWidget *parent = nullptr);
    ~QxSliderSpinBox() override;

    /// The value as the spin box shows it: within the range, rounded to decimals().
    double value() const;
    /// The lower end of the range, as given (not rounded to the decimals).
    double minimum() const;
    /// The upper end of the range, as given (not rounded to the decimals).
    double maximum() const;
    /// The number of decimals the spin box shows and rounds the value to.
    int decimals() const;
    /// The step of the spin box's arrow keys and wheel, and, once set with
    /// setSingleStep(), of the slider's arrow keys. 1.0 by default.
    double singleStep() const;
    /// The step of the slider's PageUp and PageDown keys and groove clicks.
    /// Until setPageStep() is called it is ten of the slider's 1000
    /// positions: 1.0 on the default range.
    double pageStep() const;
    /// The text shown before the value in the spin box; empty by default.
    QString prefix() const;
    /// The text shown after the value in the spin box (a unit); empty by default.
    QString suffix() const;
    /// Whether valueChanged() follows a drag of the slider and every
    /// keystroke typed in the spin box (true, the default), or only the drag's
    /// release and the typed number's Return or focus change (false).
    bool hasTracking() const;

    /// Places the slider at the position nearest the spin box's value without
    /// the slider signalling. An empty range, NaN or infinities put it at an end (NaN at 0).
    void adjustSlider();
    /// Sets the lower end of the range. A spin box value below it is pulled up
    /// to it, which emits valueChanged(); otherwise only the slider moves.
    /// The upper end stays as it is, even below the new lower end; setMinimum()
    /// moves it along.
    void setMin(double min);
    /// Sets the upper end of the range. A spin box value above it is pulled
    /// down to it, which emits valueChanged(); otherwise only the slider moves.
    /// The lower end stays as it is, even above the new upper end; setMaximum()
    /// moves it along.
    void setMax(double max);
    /// Sets the lower end of the range as setMin() does; a maximum below it
    /// becomes \a minimum too, as on QDoubleSpinBox.
    void setMinimum(double minimum);
    /// Sets the upper end of the range as setMax() does; a minimum above it
    /// becomes \a maximum too, as on QDoubleSpinBox.
    void setMaximum(double maximum);
    /// Sets both ends of the range at once; \a maximum below \a minimum counts
    /// as \a minimum. The value is pulled into the range (emitting
    /// valueChanged() if that changes it) and the slider follows.
    void setRange(double minimum, double maximum);
    /// Sets the number of decimals the spin box shows and rounds to, from 0
    /// upward as on QDoubleSpinBox. From then on the range no longer chooses
    /// them.
    void setDecimals(int decimals);
    /// Sets the step of the spin box's arrow keys and wheel, and makes the
    /// slider's arrow keys move the value by exactly \a step too. A negative
    /// step is ignored, as on QDoubleSpinBox.
    void setSingleStep(double step);
    /// Makes the slider's PageUp and PageDown keys and groove clicks move the
    /// value by exactly \a step. A negative step is ignored.
    void setPageStep(double step);
    /// Sets the text shown before the value in the spin box.
    void setPrefix(const QString &prefix);
    /// Sets the text shown after the value in the spin box, such as a unit.
    void setSuffix(const QString &suffix);
    /// Turns tracking on or off (see hasTracking()). Off, a drag still shows
    /// its value in the spin box, and a drag released where it started emits
    /// nothing and leaves the value as it was.
    void setTracking(bool enable);

Q_SIGNALS:
    /// The value after every change from either child, as the spin box shows
    /// it: a slider move emits the value of the position rounded to the spin
    /// box's decimals; with tracking on, a drag step emits it twice
    /// (sliderMoved and valueChanged).
    void valueChanged(double value) const;
    /// The user has finished with the value: Return in the spin box, the spin
    /// box losing the focus, or the release of a slider drag.
    void editingFinished();

public Q_SLOTS:
    /// Shows the value of slider position \a pos in the spin box and emits it.
    void onSliderMoved(int pos);
    /// Places the slider for the spin box value \a val and emits it.
    void onValueChanged(double val);
    /// Sets the value, held to the range and rounded to the decimals; emits
    /// valueChanged() if that changes what the spin box shows. NaN is ignored.
    void setValue(double value);

private:
    // Unless a caller chose the spin box's decimals, gives it enough to show
    // every slider position of the range apart.
    void followRange();
    // Gives the slider the whole positions nearest to the steps set on the
    // widget, for the current range.
    void followSteps();
    // The slider position nearest to value.
    int positionOf(double value) const;
    // Moves the value by the exact step of a slider key or groove click.
    void applySliderAction(int action);
    // Shows the value of a drag's release, or of its start where the drag
    // returned to it.
    void finishDrag();

    QScopedPointer<Ui_QxSliderSpinBox> ui;
    double min;
    double max;
    // The decimals last chosen for the range.
    int autoDecimals;
    bool decimalsChosen = false;
    bool singleStepChosen = false;
    bool pageStepChosen = false;
    double chosenPageStep = 0.0;
    // The exact value of a slider action, for the position change it makes.
    bool actionPending = false;
    double actionValue = 0.0;
    // A drag was released elsewhere than it began; the slider reports it next.
    bool releasePending = false;
    // The value when a drag began, restored if it ends where it began.
    double dragStartValue = 0.0;
};
