#include "GalleryPage.h"

#include <QTimer>

GalleryPage::GalleryPage(const QString &title, QWidget *parent)
    : QWidget(parent)
    , m_title(title)
{
    setObjectName(name() + QStringLiteral("Page"));
}

QString GalleryPage::name() const
{
    return m_title.toLower().remove(QLatin1Char(' '));
}

void GalleryPage::prepareSnapshot()
{
    QTimer::singleShot(0, this, &GalleryPage::snapshotReady);
}
