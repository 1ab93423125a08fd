#include "GalleryPage.h"

#include <QTimer>

GalleryPage::GalleryPage(const QString &name, const QString &title, QWidget *parent)
    : QWidget(parent)
    , m_name(name)
    , m_title(title)
{
    setObjectName(name + QStringLiteral("Page"));
}

void GalleryPage::prepareSnapshot()
{
    QTimer::singleShot(0, this, &GalleryPage::snapshotReady);
}
