#include "QxSnapWidget.h"

#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QTextStream>
#include <QWidget>

void QxSnapWidget::snapWidget(QWidget *widget, QString fileName, QTextStream &report)
{
    if (!widget)
        return;

    QImage image(widget->size(), QImage::Format_ARGB32);
    // An empty widget gives a null image, which cannot be painted on or saved.
    if (image.isNull())
        return;
    image.fill(0);

    QPainter painter(&image);
    widget->render(&painter, QPoint(0, 0), QRegion(),
                   QWidget::DrawWindowBackground | QWidget::DrawChildren);
    painter.end();

    if (!image.save(fileName, nullptr, -1))
        return;
    report << QCoreApplication::translate("QxSnapWidget", "Snapshot written in")
           << QLatin1String(" \"") << fileName << QLatin1Char('"') << Qt::endl;
}
