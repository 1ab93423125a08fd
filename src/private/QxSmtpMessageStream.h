#pragma once

#include <QByteArray>
#include <QString>

// The DATA text of one mail, header, body and end marker, made on demand in
// chunks of UTF-8. Every line end (CR LF, lone CR, lone LF) becomes CR LF, so
// no bare CR or LF reaches the server, and every line that starts with a dot
// gets one more (RFC 5321, 4.5.2), so that no line can end the DATA phase
// early and the server strips exactly the dot that was added. In
// quoted-printable the body's lines are encoded instead, and a leading dot
// becomes "=2E".
class QxSmtpMessageStream
{
public:
    // Characters converted per chunk: with the socket holding at most one
    // chunk besides the one being written, memory stays at a few hundred kB
    // per mail.
    static constexpr int chunkChars = 64 * 1024;

    QxSmtpMessageStream(const QByteArray &header, const QString &text, bool encode);

    bool atEnd() const { return ended; }
    // The next chunk; the last one ends with the end marker.
    QByteArray next();

private:
    bool atLineStart(const QByteArray &out) const;

    QByteArray pending;
    const QString body;
    int position = 0;
    int column = 0;
    const bool quotedPrintable;
    bool lineStart = true;
    bool lineEndLast = true;
    bool afterCr = false;
    bool ended = false;
};
