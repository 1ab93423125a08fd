#include "CollapsibleGroupBoxContainer.h"

#include <lumo/QxCollapsibleGroupBox.h>

#include <QBoxLayout>

namespace {

// The pages are the widgets of the inner frame's layout, in layout order.
QList<QWidget *> pages(const QxCollapsibleGroupBox *box)
{
    QList<QWidget *> widgets;
    if (!box)
        return widgets;
    const QLayout *layout = box->getInsideWidget()->layout();
    for (int i = 0; i < layout->count(); ++i) {
        if (QWidget *widget = layout->itemAt(i)->widget())
            widgets << widget;
    }
    return widgets;
}

} // namespace

CollapsibleGroupBoxContainer::CollapsibleGroupBoxContainer(QxCollapsibleGroupBox *box,
                                                           QObject *parent)
    : QObject(parent)
    , m_box(box)
{
}

void CollapsibleGroupBoxContainer::addWidget(QWidget *page)
{
    if (m_box && page)
        m_box->addWidget(page);
}

int CollapsibleGroupBoxContainer::count() const
{
    return pages(m_box).size();
}

void CollapsibleGroupBoxContainer::insertWidget(int index, QWidget *page)
{
    if (!m_box || !page)
        return;
    auto *layout = qobject_cast<QBoxLayout *>(m_box->getInsideWidget()->layout());
    const QList<QWidget *> current = pages(m_box);
    if (!layout || index < 0 || index >= current.size()) {
        addWidget(page);
        return;
    }
    page->setParent(m_box->getInsideWidget());
    layout->insertWidget(layout->indexOf(current.at(index)), page);
}

void CollapsibleGroupBoxContainer::remove(int index)
{
    const QList<QWidget *> current = pages(m_box);
    if (index < 0 || index >= current.size())
        return;
    QWidget *page = current.at(index);
    m_box->getInsideWidget()->layout()->removeWidget(page);
    page->hide();
    page->setParent(nullptr);
}

QWidget *CollapsibleGroupBoxContainer::widget(int index) const
{
    const QList<QWidget *> current = pages(m_box);
    return index >= 0 && index < current.size() ? current.at(index) : nullptr;
}

CollapsibleGroupBoxExtensionFactory::CollapsibleGroupBoxExtensionFactory(QExtensionManager *parent)
    : QExtensionFactory(parent)
{
}

QObject *CollapsibleGroupBoxExtensionFactory::createExtension(QObject *object, const QString &iid,
                                                              QObject *parent) const
{
    auto *box = qobject_cast<QxCollapsibleGroupBox *>(object);
    if (!box || iid != QLatin1String(Q_TYPEID(QDesignerContainerExtension)))
        return nullptr;
    return new CollapsibleGroupBoxContainer(box, parent);
}
