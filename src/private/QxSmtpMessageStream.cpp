#include "QxSmtpMessageStream.h"

#include "QxMailEncoding.h"

#include <QStringView>

#include <cstring>

namespace {

// Base64 lines of 76 characters (RFC 2045, 6.8) hold 57 octets each; a read
// of whole lines keeps every chunk but the last made of whole lines.
constexpr int base64LineChars = 76;
constexpr int base64LineOctets = 57;
constexpr int base64ReadOctets = base64LineOctets * 1024;

// Appends \a octets to \a out with a dot added to each line that starts
// with one; \a lineStart tells whether the first octet starts a line. The
// header fields and MIME lines are made by the library, but an extra field's
// name may start with a dot.
void appendStuffed(QByteArray &out, const QByteArray &octets, bool lineStart)
{
    int start = 0;
    while (start < octets.size()) {
        if ((start > 0 || lineStart) && octets.at(start) == '.')
            out += '.';
        const int lineFeed = octets.indexOf('\n', start);
        const int end = lineFeed < 0 ? int(octets.size()) : lineFeed + 1;
        out.append(octets.constData() + start, end - start);
        start = end;
    }
}

} // namespace

// One text, converted a chunk at a time; \a lineStart tells whether the
// octets before it end a line, which decides whether its first dot is stuffed.
class QxSmtpMessageStream::TextEncoder
{
public:
    TextEncoder(const QString &text, bool encode, bool atLineStart)
        : body(text)
        , quotedPrintable(encode)
        , lineStart(atLineStart)
    {
    }

    bool atEnd() const { return position == body.size(); }
    bool endsAtLineStart() const { return lineStart; }

    QByteArray next()
    {
        int take = qMin(chunkChars, int(body.size()) - position);
        if (position + take < body.size() && body.at(position + take - 1).isHighSurrogate())
            --take;
        const QByteArray utf8 = QStringView(body).mid(position, take).toUtf8();
        position += take;
        QByteArray out;
        out.reserve(utf8.size() + utf8.size() / 8 + 16);
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
        return out;
    }

private:
    const QString body;
    int position = 0;
    int column = 0;
    const bool quotedPrintable;
    bool lineStart;
    bool afterCr = false;
};

QxSmtpMessageStream::Piece QxSmtpMessageStream::Piece::fromOctets(const QByteArray &octets)
{
    Piece piece;
    piece.data = octets;
    return piece;
}

QxSmtpMessageStream::Piece QxSmtpMessageStream::Piece::fromText(const QString &text,
                                                                bool quotedPrintable)
{
    Piece piece;
    piece.kind = Text;
    piece.text = text;
    piece.quotedPrintable = quotedPrintable;
    return piece;
}

QxSmtpMessageStream::Piece QxSmtpMessageStream::Piece::fromDevice(QSharedPointer<QIODevice> device,
                                                                  qint64 size, const QString &name)
{
    Piece piece;
    piece.kind = Base64;
    piece.device = std::move(device);
    piece.size = size;
    piece.name = name;
    return piece;
}

QxSmtpMessageStream::QxSmtpMessageStream(const QByteArray &header, const QString &text, bool encode)
    : QxSmtpMessageStream(
            std::vector<Piece> { Piece::fromOctets(header), Piece::fromText(text, encode) })
{
}

QxSmtpMessageStream::QxSmtpMessageStream(std::vector<Piece> messagePieces)
    : pieces(std::move(messagePieces))
{
}

QxSmtpMessageStream::~QxSmtpMessageStream() = default;

QByteArray QxSmtpMessageStream::next()
{
    QByteArray out;
    while (!ended && !failed() && out.size() < chunkChars) {
        if (index == pieces.size()) {
            // The last line end, if the text has one, opens the end marker.
            out += lineStart ? QByteArray(".\r\n") : QByteArray("\r\n.\r\n");
            ended = true;
            break;
        }
        Piece &piece = pieces[index];
        switch (piece.kind) {
        case Piece::Octets:
            appendStuffed(out, piece.data, lineStart);
            if (!piece.data.isEmpty())
                lineStart = piece.data.endsWith("\r\n");
            ++index;
            break;
        case Piece::Text:
            if (!encoder)
                encoder.reset(new TextEncoder(piece.text, piece.quotedPrintable, lineStart));
            if (encoder->atEnd()) {
                lineStart = encoder->endsAtLineStart();
                encoder.reset();
                ++index;
            } else {
                out += encoder->next();
            }
            break;
        case Piece::Base64:
            out += nextBase64(piece);
            break;
        }
    }
    return failed() ? QByteArray() : out;
}

// The next lines of base64, joined by CR LF, without a line end after the
// last: whatever follows starts with one.
QByteArray QxSmtpMessageStream::nextBase64(Piece &piece)
{
    const qint64 left = piece.size - base64Read;
    if (left == 0) {
        // A device that holds more than it did when the mail was made would
        // be sent cut short.
        if (!piece.device->read(1).isEmpty())
            failure = QStringLiteral("%1 grew while it was sent").arg(piece.name);
        base64Read = 0;
        ++index;
        return QByteArray();
    }
    const qint64 want = qMin<qint64>(left, base64ReadOctets);
    const QByteArray octets = piece.device->read(want);
    if (octets.size() != want) {
        failure = octets.isEmpty() && piece.device->atEnd()
                ? QStringLiteral("%1 shrank while it was sent").arg(piece.name)
                : QStringLiteral("%1 could not be read: %2")
                          .arg(piece.name, piece.device->errorString());
        return QByteArray();
    }
    const QByteArray encoded = octets.toBase64();
    QByteArray out;
    out.reserve(encoded.size() + encoded.size() / base64LineChars * 2 + 2);
    if (base64Read > 0)
        out += "\r\n";
    for (int start = 0; start < encoded.size(); start += base64LineChars) {
        if (start > 0)
            out += "\r\n";
        out.append(encoded.constData() + start, qMin(base64LineChars, encoded.size() - start));
    }
    base64Read += want;
    lineStart = false;
    return out;
}

qint64 QxSmtpMessageStream::size() const
{
    qint64 total = 0;
    bool atLineStart = true;
    for (const Piece &piece : pieces) {
        switch (piece.kind) {
        case Piece::Octets: {
            QByteArray stuffed;
            appendStuffed(stuffed, piece.data, atLineStart);
            total += stuffed.size();
            if (!piece.data.isEmpty())
                atLineStart = piece.data.endsWith("\r\n");
            break;
        }
        case Piece::Text: {
            TextEncoder counter(piece.text, piece.quotedPrintable, atLineStart);
            while (!counter.atEnd())
                total += counter.next().size();
            atLineStart = counter.endsAtLineStart();
            break;
        }
        case Piece::Base64:
            if (piece.size > 0) {
                const qint64 chars = (piece.size + 2) / 3 * 4;
                const qint64 lines = (chars + base64LineChars - 1) / base64LineChars;
                total += chars + 2 * (lines - 1);
                atLineStart = false;
            }
            break;
        }
    }
    return total + (atLineStart ? 3 : 5);
}
