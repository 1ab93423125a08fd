#include "QxCollapsibleGroupBox.h"

#include <QFrame>
#include <QVBoxLayout>

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
    expanded = show;
}
