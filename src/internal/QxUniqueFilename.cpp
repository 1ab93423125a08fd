#include "QxUniqueFilename.h"

#include <QFile>

QString QxUniqueFilename::uniqueFilename(const QString &fileName)
{
    // Only the file name is numbered: a dot in a directory name must not move
    // the number into the directory, which would name a directory that does
    // not exist.
    const int nameStart = fileName.lastIndexOf(QLatin1Char('/')) + 1;
    const QString directory = fileName.left(nameStart);
    const QString name = fileName.mid(nameStart);
    const QString stem = directory + name.section(QLatin1Char('.'), 0, -2);
    const QString extension = QLatin1Char('.') + name.section(QLatin1Char('.'), -1);

    QString candidate = fileName;
    for (qulonglong counter = 1; QFile::exists(candidate); ++counter)
        candidate = stem + QString::number(counter) + extension;
    return candidate;
}
