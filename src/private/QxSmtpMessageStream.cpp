#include "QxSmtpMessageStream.h"

#include "QxMailEncoding.h"

#include <QStringView>

#include <cstring>

QxSmtpMessageStream::QxSmtpMessageStream(const QByteArray &header, const QString &text, bool encode)
    : pending(header)
    , body(text)
    , quotedPrintable(encode)
{
}

QByteArray QxSmtpMessageStream::next()
{
    QByteArray out;
    out.swap(pending);
    if (position == body.size()) {
        // The body's last line end, if it has one, opens the end marker.
        out += atLineStart(out) ? QByteArray(".\r\n") : QByteArray("\r\n.\r\n");
        ended = true;
        return out;
    }
    int take = qMin(chunkChars, int(body.size()) - position);
    if (position + take < body.size() && body.at(position + take - 1).isHighSurrogate())
        --take;
    const QByteArray utf8 = QStringView(body).mid(position, take).toUtf8();
    position += take;
    out.reserve(out.size() + utf8.size() + utf8.size() / 8 + 16);
    const char *p = utf8.constData();
    const char *const end = p + utf8.size();
    while (p != end) {
        if (afterCr) {
            afterCr = false;
            if (*p == '\n') {
                ++p;
                continue;
            }
        }
        // The run up to the next line end goes out whole.
        const char *lineFeed = static_cast<const char *>(std::memchr(p, '\n', size_t(end - p)));
        const char *runEnd = lineFeed ? lineFeed : end;
        if (const void *cr = std::memchr(p, '\r', size_t(runEnd - p)))
            runEnd = static_cast<const char *>(cr);
        if (runEnd != p) {
            if (quotedPrintable) {
                QxMail::appendQuotedPrintable(out, p, runEnd, column);
            } else {
                if (lineStart && *p == '.')
                    out += '.';
                out.append(p, int(runEnd - p));
            }
            lineStart = false;
        }
        if (runEnd == end)
            break;
        out += "\r\n";
        lineStart = true;
        column = 0;
        afterCr = *runEnd == '\r';
        p = runEnd + 1;
    }
    lineEndLast = lineStart;
    return out;
}

bool QxSmtpMessageStream::atLineStart(const QByteArray &out) const
{
    return out.isEmpty() ? lineEndLast : out.endsWith("\r\n");
}
