#pragma once

#include <QSlider>

#include "lumo_export.h"

/// A QSlider driven in floating-point values.
///
/// The value, range, steps and precision are dynamic properties of the object
/// ("valueDbl", "minDbl", "maxDbl", "numDecimals", "singleStepDbl",
/// "pageStepDbl"), readable by any code through QObject::property(). They start
/// as integer variants (0, 0, 99, 0, 1, 5); the setters store doubles. The
/// integer slider underneath always spans the whole int range, onto which the
/// floating-point range is mapped; the floating-point accessors hide the
/// integer ones of QAbstractSlider.
///
/// Emits doubleValueChanged() on every setValue(), including repeated equal
/// values, and whenever the knob moves by at least getPrecision(). A left click
/// beside the handle makes the knob jump there. Arrow and page keys (and every
/// other QAbstractSlider::triggerAction()) move the value by exactly the
/// floating-point step, and the wheel by whole steps, adding up the small
/// pieces in which touchpads send a notch; a key or wheel that moves nothing
/// emits nothing.
///
/// A string-based connection to the slot setValue(int), as a Designer form
/// makes from a QSpinBox, sets the floating-point value; in C++ setValue()
/// takes a double.
///
/// The double properties value, minimum, maximum, singleStep and pageStep
/// shadow QAbstractSlider's integer ones, so that Qt Designer, uic, QUiLoader
/// and QObject::setProperty() set the floating-point state through the setters
/// below and never touch the integer range. The dynamic properties above hold
/// the same state and keep working.
///
/// The slider draws with whatever style and style sheet it is given, like any
/// QSlider; it hands the style a rescaled option wherever the handle's place
/// matters, because Qt 5's own slider geometry overflows on the full int range.
class LUMO_EXPORT QxDoubleSlider : public QSlider
{
    Q_OBJECT
    Q_PROPERTY(double value READ value WRITE setValue NOTIFY doubleValueChanged USER true)
    Q_PROPERTY(double minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(double maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(double singleStep READ singleStep WRITE setSingleStep)
    Q_PROPERTY(double pageStep READ pageStep WRITE setPageStep)
public:
    /// A vertical slider over 0 to 99 at 0, single step 1, page step 5,
    /// precision 0 decimals. The integer position stays 0, the middle of the
    /// int range, until the first setValue(), setMinimum() or setMaximum().
    explicit QxDoubleSlider(QWidget *parent = nullptr);
    ~QxDoubleSlider() override;

    /// The stored value, unrounded; it may lie outside the range (see setValue()).
    double value() const;
    /// The lower end of the range ("minDbl").
    double minimum() const;
    /// The upper end of the range ("maxDbl").
    double maximum() const;
    /// The step of the arrow keys and of one wheel notch ("singleStepDbl").
    double singleStep() const;
    /// The step of page keys, groove clicks and Shift+wheel ("pageStepDbl").
    double pageStep() const;
    /// The smallest change of the knob that counts: 10 to the power of minus
    /// the number of decimals set with setPrecision().
    double getPrecision() const;
    /// The wheel delta of one step: 120.
    static int getWheelDetent();

    /// The integer position of \a value, rounded half upward: the minimum maps
    /// to INT_MIN, the maximum to INT_MAX. Values outside the range, an empty
    /// range and infinities give the nearer end of the int range; NaN gives INT_MIN.
    int qxDoubleSliderToQSlider(double value) const;
    /// The floating-point value of the integer \a position, unrounded.
    double qSliderToQxDoubleSlider(int position) const;

    /// Stores \a value as given (neither bounded nor rounded), places the knob
    /// and emits doubleValueChanged(\a value), also when the value is unchanged.
    /// NaN is refused (nothing changes); an infinity stands for the nearer end
    /// of the range.
    void setValue(double value);
    /// Sets the lower end of the range. A value below it is pulled up to it
    /// (emitting doubleValueChanged()); the knob and the integer steps follow.
    /// As on QAbstractSlider, a minimum above the maximum moves the maximum too.
    void setMinimum(double minimum);
    /// Sets the upper end of the range. A value above it is pulled down to it
    /// (emitting doubleValueChanged()); the knob and the integer steps follow.
    /// A maximum below the minimum moves the minimum too.
    void setMaximum(double maximum);
    /// Sets both ends, as QAbstractSlider::setRange() does for integers: the
    /// maximum is at least the minimum. setRange(0, 10) sets the double range.
    void setRange(double minimum, double maximum);
    /// Sets the step of the arrow keys and of one wheel notch; a negative step
    /// counts by its magnitude, as on QSlider.
    void setSingleStep(double step);
    /// Sets the step of page keys, groove clicks and Shift+wheel; a negative
    /// step counts by its magnitude.
    void setPageStep(double step);
    /// Sets the number of decimals a knob movement must change to count. Neither
    /// rounds the value nor emits anything.
    void setPrecision(int decimals);
    /// Places the knob for the stored value. valueChanged(int) still reaches
    /// other receivers, but the move does not come back as a floating-point change.
    void updateValueQSlider();

Q_SIGNALS:
    /// The value given to setValue(), on every call.
    void doubleValueChanged(double value);

#ifdef Q_MOC_RUN
    // Seen by the meta-object only, so that SLOT(setValue(int)) (a Designer
    // connection) reaches setValue(double) rather than QAbstractSlider's raw
    // knob position, while C++ calls keep their one overload.
public Q_SLOTS:
    void setValue(int value);
#endif

protected Q_SLOTS:
    /// Turns a change of the integer position into a floating-point one when
    /// it differs from the stored value by at least getPrecision().
    void notifyValueChanged(int value);

protected:
    /// A left press beside the handle makes the knob jump to the pressed
    /// place; every press then goes on to QSlider.
    void mousePressEvent(QMouseEvent *event) override;
    /// Moves the value by whole single steps (page steps with Shift) per 120
    /// of wheel travel, added up over events, within the range; ignored while
    /// tracking is off.
    void wheelEvent(QWheelEvent *event) override;
    /// Follows the pointer over the drawn handle, for the style's hover light.
    bool event(QEvent *event) override;
    /// Undoes any change of the integer range, which must span all of int.
    void sliderChange(SliderChange change) override;
    /// Draws as QSlider does, with the handle where the value puts it.
    void paintEvent(QPaintEvent *event) override;
    /// Ends a drag as QSlider does and repaints the handle.
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    // Moves the value for a QAbstractSlider action by the exact double step.
    void applyAction(int action);
    // Where the handle is drawn.
    QRect handleRect() const;
    // Where QSlider, which finds its handle with Qt's own geometry (misplaced
    // on the full int range), must see \a point to take it as the user means
    // it: the drawn handle and Qt's place for it change places.
    QPoint toQtGeometry(const QPoint &point) const;

    // Wheel travel not yet spent on a whole step.
    qint64 m_wheelRemainder = 0;
    // The part of the slider under the pointer, where it is drawn.
    int m_hoveredControl = 0;
};
