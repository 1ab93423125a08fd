#include "QxUniqueFilename.h"

#include <QFileInfo>

namespace {
// Any directory entry takes the name. QFile::exists() follows symbolic links,
// so a dangling one would pass for free, and writing the name would create a
// file wherever the link points.
bool isTaken(const QString &fileName)
{
    const QFileInfo entry(fileName);
    return entry.exists() || entry.isSymLink();
}
} // namespace

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
    for (qulonglong counter = 1; isTaken(candidate); ++counter)
        candidate = stem + QString::number(counter) + extension;
    return candidate;
}
