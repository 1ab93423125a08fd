#include "QxMailEncoding.h"

#include <QByteArrayList>

namespace QxMail {

namespace {

// Whether a line of the body, between any two line ends, is longer than
// RFC 5322 allows; only lines long enough to matter are measured in octets.
bool hasLongLine(QStringView body, bool ascii)
{
    const int maxChars = ascii ? maxLineOctets : maxLineOctets / 3;
    int start = 0;
    while (start < body.size()) {
        int end = int(body.indexOf(QLatin1Char('\n'), start));
        if (end < 0)
            end = int(body.size());
        if (end - start > maxChars) {
            const QStringView segment = body.mid(start, end - start);
            int lineStart = 0;
            while (lineStart <= segment.size()) {
                int lineEnd = int(segment.indexOf(QLatin1Char('\r'), lineStart));
                if (lineEnd < 0)
                    lineEnd = int(segment.size());
                const QStringView line = segment.mid(lineStart, lineEnd - lineStart);
                if ((ascii ? int(line.size()) : utf8Length(line)) > maxLineOctets)
                    return true;
                lineStart = lineEnd + 1;
            }
        }
        start = end + 1;
    }
    return false;
}

} // namespace

bool isAscii(QStringView text)
{
    // A plain reduction, so that the compiler vectorises it.
    ushort bits = 0;
    for (const QChar c : text)
        bits |= c.unicode();
    return bits < 0x80;
}

qint64 utf8Length(QStringView text)
{
    qint64 octets = 0;
    for (const QChar c : text) {
        const ushort unit = c.unicode();
        // A surrogate pair is four octets, two for each half.
        octets += unit < 0x80 ? 1 : unit < 0x800 || c.isSurrogate() ? 2 : 3;
    }
    return octets;
}

BodyForm bodyForm(QStringView body)
{
    const bool ascii = isAscii(body);
    return { ascii, hasLongLine(body, ascii) };
}

// Anything but short printable ASCII (control characters included) is
// written as encoded words, which fold onto lines of their own.
bool isPlainSubject(const QString &subject)
{
    if (subject.size() + 9 > maxLineOctets)
        return false;
    for (const QChar c : subject) {
        if (c.unicode() < 0x20 || c.unicode() >= 0x7f)
            return false;
    }
    return true;
}

// 42 bytes of UTF-8 become 56 base64 characters, so "Subject: " and the
// first word stay within 78 characters; a chunk never ends inside a UTF-8
// sequence, as each word must decode on its own. The continuation lines'
// leading space is dropped by the decoder.
QByteArray encodedWords(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const int chunkSize = 42;
    QByteArrayList words;
    int start = 0;
    while (start < utf8.size()) {
        int end = qMin(start + chunkSize, utf8.size());
        while (end < utf8.size() && (uchar(utf8.at(end)) & 0xc0) == 0x80)
            --end;
        words << "=?UTF-8?B?" + utf8.mid(start, end - start).toBase64() + "?=";
        start = end;
    }
    return words.join("\r\n ");
}

// RFC 2045, 6.7: printable characters but "=" as they are, everything else
// (spaces too, which is always allowed) as "=XX"; a dot that starts a line
// is encoded too, so that no line of the DATA text starts with one.
void appendQuotedPrintable(QByteArray &out, const char *p, const char *end, int &column)
{
    static const char hex[] = "0123456789ABCDEF";
    for (; p != end; ++p) {
        const uchar octet = uchar(*p);
        const bool literal = octet > 32 && octet < 127 && octet != '=';
        if (column + (literal ? 1 : 3) > 75) {
            out += "=\r\n";
            column = 0;
        }
        if (literal && !(column == 0 && octet == '.')) {
            out += char(octet);
            ++column;
        } else {
            out += '=';
            out += hex[octet >> 4];
            out += hex[octet & 0xf];
            column += 3;
        }
    }
}

} // namespace QxMail
