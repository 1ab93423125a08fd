#include "QxSnapWidget.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QTextStream>
#include <QWidget>

#include <cerrno>

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

namespace {

// Whether fileName (followed through symbolic links) is a file that exists
// and is no regular file or folder: a device, a pipe, a socket.
bool isSpecialFile(const QString &fileName)
{
    struct stat info;
    if (::stat(QFile::encodeName(fileName).constData(), &info) != 0)
        return false;
    return !S_ISREG(info.st_mode) && !S_ISDIR(info.st_mode);
}

// Writes data into a special file in place: a device or a pipe cannot be
// replaced by a renamed file, and must not be. The open does not wait for a
// pipe's reader (none is a failure, not a frozen window); the writes then
// wait for the reader as any writer of a pipe does. A reader that leaves
// mid-write fails the snapshot: the SIGPIPE that the write raises would
// otherwise end the whole application, so it is held back in this thread and
// taken off again if the write caused it.
bool writeSpecialFile(const QString &fileName, const QByteArray &data)
{
    const int fd = ::open(QFile::encodeName(fileName).constData(),
                          O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    sigset_t brokenPipe, previousMask, pending;
    sigemptyset(&brokenPipe);
    sigaddset(&brokenPipe, SIGPIPE);
    sigemptyset(&pending);
    sigpending(&pending);
    const bool alreadyPending = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &brokenPipe, &previousMask);

    const int flags = ::fcntl(fd, F_GETFL);
    bool written = flags >= 0 && ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0;
    bool readerLeft = false;
    for (qint64 done = 0; written && done < data.size();) {
        const ssize_t n = ::write(fd, data.constData() + done, size_t(data.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        readerLeft = n < 0 && errno == EPIPE;
        written = n > 0;
        done += n > 0 ? n : 0;
    }
    const bool closed = ::close(fd) == 0;

    if (readerLeft && !alreadyPending) {
        const timespec now = { 0, 0 };
        while (sigtimedwait(&brokenPipe, nullptr, &now) < 0 && errno == EINTR) { }
    }
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
    return closed && written;
}

} // namespace

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

    // A regular file is written to a temporary file that replaces the target only
    // once all of it is on disk: a plain file buffers the last write until it
    // is closed, and a full disk would go unnoticed and leave a cut file.
    // Without a writer for the suffix (or without a suffix) nothing is written.
    // The explicit flush matters: Qt 5's commit() does not check the flush
    // that its close() makes, and would install a cut file.
    const QByteArray format = QFileInfo(fileName).suffix().toLower().toLatin1();
    if (format.isEmpty())
        return;
    if (isSpecialFile(fileName)) {
        QByteArray data;
        QBuffer buffer(&data);
        if (!buffer.open(QIODevice::WriteOnly) || !image.save(&buffer, format.constData(), -1)
            || !writeSpecialFile(fileName, data))
            return;
    } else {
        QSaveFile file(fileName);
        if (!file.open(QIODevice::WriteOnly) || !image.save(&file, format.constData(), -1)
            || !file.flush() || !file.commit())
            return;
    }
    report << QCoreApplication::translate("QxSnapWidget", "Snapshot written in")
           << QLatin1String(" \"") << fileName << QLatin1Char('"') << Qt::endl;
}
