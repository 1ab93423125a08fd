#include "QxCollapsibleGroupBox.h"

#include "QxAccessibleWidgets.h"

#include <QApplication>
#include <QChildEvent>
#include <QFrame>
#include <QPropertyAnimation>
#include <QStyle>
#include <QVBoxLayout>

namespace {

// Marks a child that the fold hid, so that unfolding shows it again and only it.
const char foldedProperty[] = "_lumo_folded";

// The widget that Tab would reach from \a from, skipping everything inside
// \a contents; null when there is none.
QWidget *nextFocusOutside(QWidget *from, const QWidget *contents)
{
    for (QWidget *candidate = from->nextInFocusChain(); candidate != from;
         candidate = candidate->nextInFocusChain()) {
        if (candidate->window() == from->window() && !contents->isAncestorOf(candidate)
            && candidate->isVisible() && candidate->isEnabled() && !candidate->focusProxy()
            && (candidate->focusPolicy() & Qt::TabFocus))
            return candidate;
    }
    return nullptr;
}
} // namespace

QxCollapsibleGroupBox::QxCollapsibleGroupBox(QWidget *parent)
    : QGroupBox(parent)
    , expanded(true)
    , insideWidget(new QFrame(this))
{
    insideWidget->setVisible(true);
    QVBoxLayout *insideLayout = new QVBoxLayout(insideWidget);
    insideLayout->setContentsMargins(5, 5, 2, 5);

    QVBoxLayout *outerLayout = new QVBoxLayout(this);
    outerLayout->setContentsMargins(0, 2, 0, 0);
    outerLayout->addWidget(insideWidget);

    // Qt checks a box as it becomes checkable: a new box starts expanded.
    setCheckable(true);
    connect(this, SIGNAL(toggled(bool)), this, SLOT(setGroupBoxExpanded(bool)));

    // Unchecking disables the inner frame before the contents fold, and a
    // focused widget inside a disabled parent drops the focus, where the
    // children of a plain group box pass it on along the focus chain.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *old, QWidget *now) {
        if (now || !old || isChecked() || !isEnabled() || !insideWidget->isAncestorOf(old))
            return;
        if (QWidget *next = nextFocusOutside(old, insideWidget))
            next->setFocus(Qt::TabFocusReason);
    });
    QxAccessibleWidgets::install(this);
}

QxCollapsibleGroupBox::~QxCollapsibleGroupBox() = default;

void QxCollapsibleGroupBox::addWidget(QWidget *widget)
{
    if (!widget)
        return;
    insideWidget->layout()->addWidget(widget);
    widget->setParent(insideWidget);
    // A form makes its page a child of the box before it hands it over here;
    // folded by then, it now folds with the inner frame instead.
    if (widget->property(foldedProperty).toBool()) {
        widget->setProperty(foldedProperty, QVariant());
        widget->show();
    }
}

QFrame *QxCollapsibleGroupBox::getInsideWidget() const
{
    return insideWidget;
}

bool QxCollapsibleGroupBox::isExpanded() const
{
    return expanded;
}

bool QxCollapsibleGroupBox::isAnimated() const
{
    return animated;
}

void QxCollapsibleGroupBox::setAnimated(bool on)
{
    animated = on;
    if (!on)
        finishFold();
}

void QxCollapsibleGroupBox::setExpanded(bool show)
{
    // Checking drives the fold through toggled(); a box already checked (or
    // no longer checkable) emits nothing, so the fold is asked for directly.
    setChecked(show);
    setGroupBoxExpanded(show);
}

void QxCollapsibleGroupBox::setGroupBoxExpanded(bool show)
{
    if (show == expanded) {
        // No change to announce; a running fold is on its way there already.
        if (!folding)
            foldContents(show);
        return;
    }
    expanded = show;
    const int duration = animated && isVisible()
            ? style()->styleHint(QStyle::SH_Widget_Animation_Duration, nullptr, this)
            : 0;
    if (duration > 0) {
        animateFold(duration);
    } else {
        finishFold();
        foldContents(show);
    }
    QxAccessibleWidgets::notifyFolded(this);
    Q_EMIT expandedChanged(show);
}

void QxCollapsibleGroupBox::foldContents(bool show)
{
    insideWidget->setVisible(show);
    // Content put into the box the QGroupBox way (box->layout()->addWidget())
    // sits beside the inner frame: it folds too. What the host hid stays hidden.
    const QList<QWidget *> children
            = findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        if (child != insideWidget && !child->isWindow())
            fold(child, show);
    }
}

// The box's maximum height moves from its present height to the one it will
// have, and the parent's layout follows. Unfolding shows the contents first,
// folding hides them last, so that they slide rather than vanish; either way
// the end restores the maximum height and the layout settles exactly where an
// instant fold puts it.
void QxCollapsibleGroupBox::animateFold(int duration)
{
    if (!foldAnimation) {
        foldAnimation = new QPropertyAnimation(this, "maximumHeight", this);
        connect(foldAnimation, &QAbstractAnimation::finished, this,
                &QxCollapsibleGroupBox::finishFold);
    }
    // Turned around halfway, a fold goes back from where it stands.
    if (folding)
        foldAnimation->stop();
    else
        maximumHeightBeforeFold = maximumHeight();
    folding = true;

    const int from = height();
    setMaximumHeight(from);
    int to;
    if (expanded) {
        foldContents(true);
        to = sizeHint().height();
    } else {
        // The title alone: what the box's layout asks for with nothing
        // shown in it.
        const QMargins frame = contentsMargins();
        const QMargins inner = layout() ? layout()->contentsMargins() : QMargins();
        to = frame.top() + frame.bottom() + inner.top() + inner.bottom();
    }
    to = qBound(minimumHeight(), to, maximumHeightBeforeFold);
    foldAnimation->setDuration(duration);
    foldAnimation->setStartValue(from);
    foldAnimation->setEndValue(to);
    foldAnimation->start();
}

void QxCollapsibleGroupBox::finishFold()
{
    if (!folding)
        return;
    folding = false;
    foldAnimation->stop();
    setMaximumHeight(maximumHeightBeforeFold);
    if (!expanded)
        foldContents(false);
}

void QxCollapsibleGroupBox::fold(QWidget *child, bool show)
{
    if (!show && !child->isHidden()) {
        child->setProperty(foldedProperty, true);
        child->hide();
    } else if (show && child->property(foldedProperty).toBool()) {
        child->setProperty(foldedProperty, QVariant());
        child->show();
    }
}

void QxCollapsibleGroupBox::childEvent(QChildEvent *event)
{
    QGroupBox::childEvent(event);
    // A widget added while the box is folded folds at once.
    if (event->added() && !expanded && event->child()->isWidgetType()) {
        auto *child = static_cast<QWidget *>(event->child());
        if (child != insideWidget && !child->isWindow()) {
            child->setProperty(foldedProperty, true);
            child->setVisible(false);
        }
    }
}
