#include "GalleryWindow.h"

#include "pages/GalleryPage.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QStackedWidget>

GalleryWindow::GalleryWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_index(new QListWidget)
    , m_stack(new QStackedWidget)
{
    setWindowTitle(tr("lumo gallery"));
    auto *central = new QWidget;
    auto *layout = new QHBoxLayout(central);
    m_index->setObjectName(QStringLiteral("pageIndex"));
    m_index->setMaximumWidth(150);
    layout->addWidget(m_index);
    layout->addWidget(m_stack, 1);
    setCentralWidget(central);

    connect(m_index, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0 || row >= m_pages.size())
            return;
        m_stack->setCurrentIndex(row);
        emit currentPageChanged(m_pages.at(row));
    });
}

void GalleryWindow::addPage(GalleryPage *page)
{
    m_pages.append(page);
    m_stack->addWidget(page);
    m_index->addItem(page->title());
    if (m_pages.size() == 1)
        m_index->setCurrentRow(0);
}

GalleryPage *GalleryWindow::page(const QString &name) const
{
    for (GalleryPage *page : m_pages) {
        if (page->name() == name)
            return page;
    }
    return nullptr;
}

GalleryPage *GalleryWindow::currentPage() const
{
    return qobject_cast<GalleryPage *>(m_stack->currentWidget());
}

void GalleryWindow::showPage(GalleryPage *page)
{
    const int row = m_pages.indexOf(page);
    if (row >= 0)
        m_index->setCurrentRow(row);
}
