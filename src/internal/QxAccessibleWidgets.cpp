#include "QxAccessibleWidgets.h"

#include "QxCollapsibleGroupBox.h"
#include "QxDoubleSlider.h"
#include "QxSliderSpinBox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace {

// A slider's accessible value, range, step and actions, in the double values
// that a person reads, from one of the two sliders below.
class AccessibleValueSlider : public QAccessibleWidget, public QAccessibleValueInterface
{
public:
    explicit AccessibleValueSlider(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::Slider)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return valueText();
        return QAccessibleWidget::text(kind);
    }

    QVariant currentValue() const override { return value(); }
    QVariant minimumValue() const override { return minimum(); }
    QVariant maximumValue() const override { return maximum(); }
    QVariant minimumStepSize() const override { return step(); }
    void setCurrentValue(const QVariant &value) override
    {
        bool ok = false;
        const double wanted = value.toDouble(&ok);
        // As QDoubleSpinBox: a number is held to the range, anything else refused.
        if (ok && !std::isnan(wanted))
            setValue(std::clamp(wanted, minimum(), std::max(minimum(), maximum())));
    }

    QStringList actionNames() const override
    {
        return QStringList { increaseAction(), decreaseAction(), pageIncreaseAction(),
                             pageDecreaseAction() }
        + QAccessibleWidget::actionNames();
    }

    void doAction(const QString &name) override
    {
        if (name == increaseAction())
            slider()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        else if (name == decreaseAction())
            slider()->triggerAction(QAbstractSlider::SliderSingleStepSub);
        else if (name == pageIncreaseAction())
            slider()->triggerAction(QAbstractSlider::SliderPageStepAdd);
        else if (name == pageDecreaseAction())
            slider()->triggerAction(QAbstractSlider::SliderPageStepSub);
        else
            QAccessibleWidget::doAction(name);
    }

    QString localizedActionDescription(const QString &name) const override
    {
        if (name == pageIncreaseAction())
            return QCoreApplication::translate("QxDoubleSlider", "Moves the slider a page up");
        if (name == pageDecreaseAction())
            return QCoreApplication::translate("QxDoubleSlider", "Moves the slider a page down");
        return QAccessibleWidget::localizedActionDescription(name);
    }

    static QString pageIncreaseAction() { return QStringLiteral("Page Increase"); }
    static QString pageDecreaseAction() { return QStringLiteral("Page Decrease"); }

protected:
    QAbstractSlider *slider() const { return static_cast<QAbstractSlider *>(widget()); }
    virtual double value() const = 0;
    virtual double minimum() const = 0;
    virtual double maximum() const = 0;
    virtual double step() const = 0;
    virtual void setValue(double value) = 0;
    virtual QString valueText() const = 0;
};

class AccessibleDoubleSlider : public AccessibleValueSlider
{
public:
    using AccessibleValueSlider::AccessibleValueSlider;

protected:
    QxDoubleSlider *doubleSlider() const { return static_cast<QxDoubleSlider *>(widget()); }
    double value() const override { return doubleSlider()->value(); }
    double minimum() const override { return doubleSlider()->minimum(); }
    double maximum() const override { return doubleSlider()->maximum(); }
    double step() const override { return doubleSlider()->singleStep(); }
    void setValue(double value) override { doubleSlider()->setValue(value); }
    QString valueText() const override
    {
        // With the slider's decimals where it has any, else as short as the
        // value allows.
        const int decimals = doubleSlider()->property("numDecimals").toInt();
        return widget()->locale().toString(value(), decimals > 0 ? 'f' : 'g',
                                           decimals > 0 ? std::min(decimals, 17)
                                                        : QLocale::FloatingPointShortest);
    }
};

// The plain slider of a QxSliderSpinBox speaks for the widget's value, which
// its spin box holds.
class AccessibleSpinBoxSlider : public AccessibleValueSlider
{
public:
    AccessibleSpinBoxSlider(QSlider *slider, QDoubleSpinBox *spinBox)
        : AccessibleValueSlider(slider)
        , m_spinBox(spinBox)
    {
    }

protected:
    double value() const override { return m_spinBox->value(); }
    double minimum() const override { return m_spinBox->minimum(); }
    double maximum() const override { return m_spinBox->maximum(); }
    double step() const override
    {
        return (maximum() - minimum()) / std::max(1, slider()->maximum() - slider()->minimum());
    }
    void setValue(double value) override { m_spinBox->setValue(value); }
    QString valueText() const override { return m_spinBox->text(); }

private:
    QDoubleSpinBox *m_spinBox;
};

// A title as a person reads it: "&&" is an ampersand, a lone "&" marks the
// mnemonic and is not read.
QString withoutMnemonic(const QString &title)
{
    QString text;
    for (int i = 0; i < title.size(); ++i) {
        if (title.at(i) == QLatin1Char('&') && ++i == title.size())
            break;
        text += title.at(i);
    }
    return text;
}

// A checkable group box as Qt reports one (a check box named by its title,
// with a toggle action), which also tells whether its content is shown.
class AccessibleCollapsibleGroupBox : public QAccessibleWidget
{
public:
    explicit AccessibleCollapsibleGroupBox(QWidget *widget)
        : QAccessibleWidget(widget)
    {
    }

    QAccessible::Role role() const override
    {
        return box()->isCheckable() ? QAccessible::CheckBox : QAccessible::Grouping;
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name) {
            const QString name = QAccessibleWidget::text(kind);
            return name.isEmpty() ? withoutMnemonic(box()->title()) : name;
        }
        return QAccessibleWidget::text(kind);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = box()->isCheckable();
        state.checked = box()->isChecked();
        state.expandable = true;
        state.expanded = box()->getInsideWidget()->isVisibleTo(box());
        state.collapsed = !state.expanded;
        return state;
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (box()->isCheckable())
            names.prepend(toggleAction());
        return names;
    }

    void doAction(const QString &name) override
    {
        if (name == toggleAction() && box()->isCheckable())
            box()->setChecked(!box()->isChecked());
        else
            QAccessibleWidget::doAction(name);
    }

private:
    QxCollapsibleGroupBox *box() const { return static_cast<QxCollapsibleGroupBox *>(widget()); }
};

QAccessibleInterface *widgetFactory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType())
        return nullptr;
    if (className == QLatin1String("QxCollapsibleGroupBox"))
        return new AccessibleCollapsibleGroupBox(static_cast<QWidget *>(object));
    if (className == QLatin1String("QxDoubleSlider"))
        return new AccessibleDoubleSlider(static_cast<QWidget *>(object));
    if (className == QLatin1String("QSlider") && object->parent()
        && object->parent()->inherits("QxSliderSpinBox")
        && object->objectName() == QLatin1String("slider")) {
        auto *spinBox = object->parent()->findChild<QDoubleSpinBox *>(
                QStringLiteral("doubleSpinBox"), Qt::FindDirectChildrenOnly);
        if (spinBox)
            return new AccessibleSpinBoxSlider(static_cast<QSlider *>(object), spinBox);
    }
    return nullptr;
}

} // namespace

void QxAccessibleWidgets::install(QWidget *widget)
{
    // Once per process; the library has no start-up code of its own to do it.
    static const bool installed = [] {
        QAccessible::installFactory(widgetFactory);
        return true;
    }();
    Q_UNUSED(installed)
    // Qt queries (and caches) an interface as soon as a widget announces a
    // change, which the integer slider does while it is being built: one
    // made then is Qt's own, and goes, so that the next query makes ours.
    QAccessibleInterface *cached = QAccessible::queryAccessibleInterface(widget);
    if (cached && !dynamic_cast<AccessibleValueSlider *>(cached)
        && !dynamic_cast<AccessibleCollapsibleGroupBox *>(cached))
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(cached));
}

void QxAccessibleWidgets::notifyFolded(QWidget *groupBox)
{
    QAccessible::State changed;
    changed.expanded = true;
    changed.collapsed = true;
    QAccessibleStateChangeEvent event(groupBox, changed);
    QAccessible::updateAccessibility(&event);
}
