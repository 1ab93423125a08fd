#include "QxAccessibleWidgets.h"

#include "QxCollapsibleGroupBox.h"
#include "QxDoubleRangeSlider.h"
#include "QxDoubleSlider.h"
#include "QxSliderSpinBox.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QDoubleSpinBox>
#include <QFrame>
#include <QPointer>
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

// A number as a person reads it in the widget's locale, as short as it allows.
QString readable(const QWidget *widget, double value)
{
    return widget->locale().toString(value, 'g', QLocale::FloatingPointShortest);
}

// One handle of a range slider: a slider of its own, with its value, the
// range up to the other handle, and step actions. Owned by the range slider's
// interface; it has no object of its own.
class AccessibleRangeHandle : public QAccessibleInterface,
                              public QAccessibleValueInterface,
                              public QAccessibleActionInterface
{
public:
    AccessibleRangeHandle(QxDoubleRangeSlider *slider, QxDoubleRangeSlider::Handle handle)
        : m_slider(slider)
        , m_handle(handle)
    {
    }

    bool isValid() const override { return !m_slider.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override
    {
        QAccessibleInterface *parent = this->parent();
        return parent ? parent->window() : nullptr;
    }
    QAccessibleInterface *parent() const override
    {
        return m_slider ? QAccessible::queryAccessibleInterface(m_slider.data()) : nullptr;
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }

    QString text(QAccessible::Text kind) const override
    {
        if (!m_slider)
            return QString();
        switch (kind) {
        case QAccessible::Name:
            return m_handle == QxDoubleRangeSlider::LowerHandle
                    ? QCoreApplication::translate("QxDoubleRangeSlider", "Lower value")
                    : QCoreApplication::translate("QxDoubleRangeSlider", "Upper value");
        case QAccessible::Value:
            return readable(m_slider, value());
        default:
            return QString();
        }
    }
    void setText(QAccessible::Text, const QString &) override { }
    QRect rect() const override
    {
        if (!m_slider)
            return QRect();
        const QRect handle = m_slider->handleRect(m_handle);
        return QRect(m_slider->mapToGlobal(handle.topLeft()), handle.size());
    }
    QAccessible::Role role() const override { return QAccessible::Slider; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!m_slider)
            return state;
        state.focusable = true;
        state.focused = m_slider->hasFocus() && m_slider->activeHandle() == m_handle;
        state.disabled = !m_slider->isEnabled();
        state.invisible = !m_slider->isVisible();
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface *>(this);
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface *>(this);
        return nullptr;
    }

    QVariant currentValue() const override { return value(); }
    // Each handle reaches the other and no further.
    QVariant minimumValue() const override
    {
        return m_handle == QxDoubleRangeSlider::LowerHandle ? m_slider->minimum()
                                                            : m_slider->lowerValue();
    }
    QVariant maximumValue() const override
    {
        return m_handle == QxDoubleRangeSlider::LowerHandle ? m_slider->upperValue()
                                                            : m_slider->maximum();
    }
    QVariant minimumStepSize() const override { return m_slider->singleStep(); }
    void setCurrentValue(const QVariant &value) override
    {
        bool ok = false;
        const double wanted = value.toDouble(&ok);
        if (!ok || std::isnan(wanted))
            return;
        const double held
                = std::clamp(wanted, minimumValue().toDouble(),
                             std::max(minimumValue().toDouble(), maximumValue().toDouble()));
        if (m_handle == QxDoubleRangeSlider::LowerHandle)
            m_slider->setLowerValue(held);
        else
            m_slider->setUpperValue(held);
    }

    QStringList actionNames() const override
    {
        return { increaseAction(), decreaseAction(), pageIncreaseAction(), pageDecreaseAction(),
                 setFocusAction() };
    }
    void doAction(const QString &name) override
    {
        if (!m_slider)
            return;
        if (name == increaseAction())
            m_slider->triggerAction(m_handle, QAbstractSlider::SliderSingleStepAdd);
        else if (name == decreaseAction())
            m_slider->triggerAction(m_handle, QAbstractSlider::SliderSingleStepSub);
        else if (name == pageIncreaseAction())
            m_slider->triggerAction(m_handle, QAbstractSlider::SliderPageStepAdd);
        else if (name == pageDecreaseAction())
            m_slider->triggerAction(m_handle, QAbstractSlider::SliderPageStepSub);
        else if (name == setFocusAction()) {
            m_slider->setActiveHandle(m_handle);
            m_slider->setFocus(Qt::OtherFocusReason);
        }
    }
    QString localizedActionDescription(const QString &name) const override
    {
        if (name == pageIncreaseAction())
            return QCoreApplication::translate("QxDoubleSlider", "Moves the slider a page up");
        if (name == pageDecreaseAction())
            return QCoreApplication::translate("QxDoubleSlider", "Moves the slider a page down");
        return QAccessibleActionInterface::localizedActionDescription(name);
    }
    QStringList keyBindingsForAction(const QString &) const override { return QStringList(); }

    static QString pageIncreaseAction() { return QStringLiteral("Page Increase"); }
    static QString pageDecreaseAction() { return QStringLiteral("Page Decrease"); }

private:
    double value() const { return m_slider->value(m_handle); }

    QPointer<QxDoubleRangeSlider> m_slider;
    const QxDoubleRangeSlider::Handle m_handle;
};

// A range slider reads as one slider whose value is both values ("2.5 – 7.5"),
// what a person wants to hear of it; each handle is a child to read, set and
// step on its own, the active one the focus child.
class AccessibleRangeSlider : public QAccessibleWidget
{
public:
    explicit AccessibleRangeSlider(QWidget *widget)
        : QAccessibleWidget(widget, QAccessible::Slider)
    {
    }

    ~AccessibleRangeSlider() override
    {
        for (const QAccessible::Id id : m_children) {
            if (id)
                QAccessible::deleteAccessibleInterface(id);
        }
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Value)
            return QCoreApplication::translate("QxDoubleRangeSlider", "%1 \u2013 %2")
                    .arg(readable(widget(), slider()->lowerValue()),
                         readable(widget(), slider()->upperValue()));
        return QAccessibleWidget::text(kind);
    }

    // The handles, not the widget's own children.
    int childCount() const override { return 2; }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index > 1)
            return nullptr;
        if (!m_children[index])
            m_children[index] = QAccessible::registerAccessibleInterface(
                    new AccessibleRangeHandle(slider(), QxDoubleRangeSlider::Handle(index)));
        return QAccessible::accessibleInterface(m_children[index]);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (int index = 0; index < 2; ++index) {
            if (m_children[index] && QAccessible::accessibleInterface(m_children[index]) == child)
                return index;
        }
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        // The upper handle is drawn on top.
        for (const int index : { 1, 0 }) {
            QAccessibleInterface *handle = child(index);
            if (handle->rect().contains(x, y))
                return handle;
        }
        return nullptr;
    }
    QAccessibleInterface *focusChild() const override
    {
        return widget()->hasFocus() ? child(slider()->activeHandle()) : nullptr;
    }

private:
    QxDoubleRangeSlider *slider() const { return static_cast<QxDoubleRangeSlider *>(widget()); }

    mutable QAccessible::Id m_children[2] = { 0, 0 };
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
    if (className == QLatin1String("QxDoubleRangeSlider"))
        return new AccessibleRangeSlider(static_cast<QWidget *>(object));
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
        && !dynamic_cast<AccessibleCollapsibleGroupBox *>(cached)
        && !dynamic_cast<AccessibleRangeSlider *>(cached))
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

void QxAccessibleWidgets::notifyRangeSliderValues(QWidget *rangeSlider, bool lowerMoved,
                                                  bool upperMoved)
{
    // Without a screen reader, no interfaces are made just to be told.
    if (!QAccessible::isActive())
        return;
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(rangeSlider);
    if (!accessible)
        return;
    QAccessibleValueChangeEvent whole(rangeSlider, accessible->text(QAccessible::Value));
    QAccessible::updateAccessibility(&whole);
    const bool moved[] = { lowerMoved, upperMoved };
    for (int index = 0; index < 2; ++index) {
        if (!moved[index])
            continue;
        QAccessibleInterface *handle = accessible->child(index);
        QAccessibleValueChangeEvent event(handle, handle->valueInterface()->currentValue());
        QAccessible::updateAccessibility(&event);
    }
}

void QxAccessibleWidgets::notifyRangeSliderFocus(QWidget *rangeSlider)
{
    if (!QAccessible::isActive() || !rangeSlider->hasFocus())
        return;
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(rangeSlider);
    if (QAccessibleInterface *handle = accessible ? accessible->focusChild() : nullptr) {
        QAccessibleEvent event(handle, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
}
