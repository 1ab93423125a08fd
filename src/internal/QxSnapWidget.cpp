#include "QxSnapWidget.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
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

    // The image is written to a temporary file that replaces the target only
    // once all of it is on disk: a plain file buffers the last write until it
    // is closed, and a full disk would go unnoticed and leave a cut file.
    // Without a writer for the suffix (or without a suffix) nothing is written.
    // The explicit flush matters: Qt 5's commit() does not check the flush
    // that its close() makes, and would install a cut file.
    QSaveFile file(fileName);
    const QByteArray format = QFileInfo(fileName).suffix().toLower().toLatin1();
    if (format.isEmpty() || !file.open(QIODevice::WriteOnly)
        || !image.save(&file, format.constData(), -1) || !file.flush() || !file.commit())
        return;
    report << QCoreApplication::translate("QxSnapWidget", "Snapshot written in")
           << QLatin1String(" \"") << fileName << QLatin1Char('"') << Qt::endl;
}
