#include "QxCollapsibleGroupBox.h"

#include <QApplication>
#include <QFrame>
#include <QVBoxLayout>

namespace {
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
    , insideWidget(new QFrame(this))
    , expanded(true)
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
}

QxCollapsibleGroupBox::~QxCollapsibleGroupBox() = default;

void QxCollapsibleGroupBox::addWidget(QWidget *widget)
{
    if (!widget)
        return;
    insideWidget->layout()->addWidget(widget);
    widget->setParent(insideWidget);
}

QFrame *QxCollapsibleGroupBox::getInsideWidget() const
{
    return insideWidget;
}

void QxCollapsibleGroupBox::setGroupBoxExpanded(bool show)
{
    insideWidget->setVisible(show);
    // Written here and read nowhere; the class has always carried it.
    expanded = show;
}
