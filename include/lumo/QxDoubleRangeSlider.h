#pragma once

#include <QAbstractSlider>
#include <QWidget>

#include "lumo_export.h"

class QSlider;

/// A slider with two handles that select a range of floating-point values.
///
/// The lower and upper values lie within minimum() and maximum() and never
/// cross: lowerValue() <= upperValue() always holds. It is a plain QWidget,
/// not a QAbstractSlider, so that no integer value, range or step can be set
/// by mistake.
///
/// One handle at a time is active: it has the focus rectangle and is moved by
/// the arrow keys (singleStep()), PageUp and PageDown (pageStep()), Home and
/// End, by exactly those steps, and by the wheel (single steps, page steps
/// with Shift; the small pieces in which touchpads send a notch add up). Tab
/// moves from the lower to the upper handle before it leaves the widget, and
/// Shift+Tab back. A keyboard or wheel step stops at the other handle.
///
/// With the mouse, a handle is dragged; a press on the span between the
/// handles drags both, keeping the span's width; a press on the groove beside
/// them makes the nearer handle jump there (and go on being dragged). Dragged
/// values are the unrounded values of the pointer's place.
///
/// Drawing is the application's style's: the groove once and each handle as
/// the QStyle::SC_SliderHandle of a QStyleOptionSlider, exactly where and as
/// a QSlider of the same size draws a handle at that value. Style sheets
/// apply through the QSlider rules (QSlider::groove, QSlider::handle, with
/// their :horizontal, :vertical, :hover and :pressed states), so that the
/// range slider looks like the application's sliders; a rule for this widget
/// alone reads "QxDoubleRangeSlider QSlider::handle". Right-to-left layouts
/// and invertedAppearance() mirror it as they mirror a QSlider.
///
/// Screen readers see a slider whose value text is both values ("2.5 – 7.5",
/// in the widget's locale), with one accessible child per handle: each a
/// slider with its own value, its own range (up to the other handle), and
/// increase, decrease, page increase and page decrease actions. The active
/// handle is the widget's accessible focus child.
class LUMO_EXPORT QxDoubleRangeSlider : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(double lowerValue READ lowerValue WRITE setLowerValue NOTIFY lowerValueChanged)
    Q_PROPERTY(double upperValue READ upperValue WRITE setUpperValue NOTIFY upperValueChanged)
    Q_PROPERTY(double minimum READ minimum WRITE setMinimum)
    Q_PROPERTY(double maximum READ maximum WRITE setMaximum)
    Q_PROPERTY(double singleStep READ singleStep WRITE setSingleStep)
    Q_PROPERTY(double pageStep READ pageStep WRITE setPageStep)
    Q_PROPERTY(Qt::Orientation orientation READ orientation WRITE setOrientation)
    Q_PROPERTY(bool invertedAppearance READ invertedAppearance WRITE setInvertedAppearance)
    Q_PROPERTY(bool invertedControls READ invertedControls WRITE setInvertedControls)
    Q_PROPERTY(Handle activeHandle READ activeHandle WRITE setActiveHandle)
public:
    /// The two handles.
    enum Handle {
        LowerHandle, ///< The handle of lowerValue().
        UpperHandle ///< The handle of upperValue().
    };
    Q_ENUM(Handle)

    /// A horizontal range slider over 0 to 99 selecting all of it, single step
    /// 1, page step 5, the lower handle active.
    explicit QxDoubleRangeSlider(QWidget *parent = nullptr);
    /// A range slider of the given \a orientation, otherwise as above.
    explicit QxDoubleRangeSlider(Qt::Orientation orientation, QWidget *parent = nullptr);
    ~QxDoubleRangeSlider() override;

    /// The lower end of the selected range.
    double lowerValue() const;
    /// The upper end of the selected range.
    double upperValue() const;
    /// The value of \a handle.
    double value(Handle handle) const;
    /// The lowest value a handle can take.
    double minimum() const;
    /// The highest value a handle can take.
    double maximum() const;
    /// The step of the arrow keys and of one wheel notch.
    double singleStep() const;
    /// The step of PageUp, PageDown and Shift+wheel.
    double pageStep() const;
    /// Horizontal (the default) or vertical.
    Qt::Orientation orientation() const;
    /// Whether the minimum is drawn at the right (or, vertical, the top)
    /// instead of the left (bottom); a right-to-left layout mirrors it again.
    bool invertedAppearance() const;
    /// Whether the arrow and page keys move the other way, as on QSlider.
    bool invertedControls() const;
    /// The handle that keys, the wheel and the focus rectangle are on.
    Handle activeHandle() const;
    /// Where the style draws \a handle, in the widget's coordinates.
    QRect handleRect(Handle handle) const;

    /// Sets both ends of the range, a maximum below the minimum taken as the
    /// minimum. Values outside the new range are pulled into it (emitting
    /// their signals). NaN ends are refused.
    void setRange(double minimum, double maximum);
    /// Sets the lower end of the range; a maximum below it follows.
    void setMinimum(double minimum);
    /// Sets the upper end of the range; a minimum above it follows.
    void setMaximum(double maximum);
    /// Sets the step of the arrow keys and the wheel; a negative step counts
    /// by its magnitude, NaN is refused.
    void setSingleStep(double step);
    /// Sets the step of the page keys and Shift+wheel; a negative step counts
    /// by its magnitude, NaN is refused.
    void setPageStep(double step);
    /// Sets the orientation.
    void setOrientation(Qt::Orientation orientation);
    /// Sets whether the appearance is inverted (see invertedAppearance()).
    void setInvertedAppearance(bool inverted);
    /// Sets whether the keys are inverted (see invertedControls()).
    void setInvertedControls(bool inverted);
    /// Makes \a handle the one that keys and the wheel move.
    void setActiveHandle(Handle handle);
    /// Moves \a handle as QAbstractSlider::triggerAction() moves a slider:
    /// by exactly one single or page step, or to an end of the range, stopping
    /// at the other handle. Drag actions do nothing.
    void triggerAction(Handle handle, QAbstractSlider::SliderAction action);

    /// The preferred size: a QSlider's of the same orientation.
    QSize sizeHint() const override;
    /// The smallest sensible size: a QSlider's of the same orientation.
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    /// The lower value changed, by any means; \a value is the new one.
    void lowerValueChanged(double value);
    /// The upper value changed, by any means; \a value is the new one.
    void upperValueChanged(double value);
    /// Either value or both changed; emitted once per change, after
    /// lowerValueChanged() and upperValueChanged(), with both new values.
    void valuesChanged(double lower, double upper);

public Q_SLOTS:
    /// Sets the lower value, held to the range; an upper value below it is
    /// pushed up to it. NaN is refused; an infinity is the nearer end.
    void setLowerValue(double value);
    /// Sets the upper value, held to the range; a lower value above it is
    /// pushed down to it. NaN is refused; an infinity is the nearer end.
    void setUpperValue(double value);
    /// Sets both values at once, held to the range and taken in either order,
    /// with one valuesChanged(). A NaN leaves its value unchanged.
    void setValues(double lower, double upper);

protected:
    /// Draws the groove and both handles with the style.
    void paintEvent(QPaintEvent *event) override;
    /// Picks the handle, the span or the groove under the pointer.
    void mousePressEvent(QMouseEvent *event) override;
    /// Drags what the press picked.
    void mouseMoveEvent(QMouseEvent *event) override;
    /// Ends a drag.
    void mouseReleaseEvent(QMouseEvent *event) override;
    /// Moves the active handle by the arrow, page, Home and End keys.
    void keyPressEvent(QKeyEvent *event) override;
    /// Moves the active handle by whole steps per 120 of wheel travel, added
    /// up over events.
    void wheelEvent(QWheelEvent *event) override;
    /// Tab coming in activates the lower handle, Shift+Tab the upper one.
    void focusInEvent(QFocusEvent *event) override;
    /// Repaints the focus rectangle away.
    void focusOutEvent(QFocusEvent *event) override;
    /// Tab goes from the lower handle to the upper one, Shift+Tab back,
    /// before the focus leaves the widget.
    bool focusNextPrevChild(bool next) override;
    /// Follows the pointer over the handles for the style's hover light.
    bool event(QEvent *event) override;
    /// Keeps the slider that style sheets see the widget's size.
    void resizeEvent(QResizeEvent *event) override;

private:
    class Private;
    Private *const d;
};
