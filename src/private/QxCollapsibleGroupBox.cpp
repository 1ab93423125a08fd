#include "QxCollapsibleGroupBox.h"

#include "QxAccessibleWidgets.h"

#include <QApplication>
#include <QChildEvent>
#include <QFrame>
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

void QxCollapsibleGroupBox::setGroupBoxExpanded(bool show)
{
    const bool changed = show != insideWidget->isVisibleTo(this);
    insideWidget->setVisible(show);
    expanded = show;
    // Content put into the box the QGroupBox way (box->layout()->addWidget())
    // sits beside the inner frame: it folds too. What the host hid stays hidden.
    const QList<QWidget *> children
            = findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
    for (QWidget *child : children) {
        if (child != insideWidget && !child->isWindow())
            fold(child, show);
    }
    if (changed)
        QxAccessibleWidgets::notifyFolded(this);
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
