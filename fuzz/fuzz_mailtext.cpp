// Fuzzes the text of a mail as it goes out after DATA, without a server: the
// header, the choice of body encoding, encoded words, quoted-printable and
// dot-stuffing.
//
// Input: a subject, a NUL, then the body, both as UTF-8 (invalid sequences
// become U+FFFD, as in any QString). Whatever they hold, the DATA text must
// be CR LF lines of at most 998 octets with no bare CR or LF, end with the
// one end marker, and give back the body: with its line ends as CR LF, and
// decoded from quoted-printable where it was encoded.

#include "QxMailEncoding.h"
#include "QxMailHeader.h"
#include "QxSmtpMessageStream.h"

#include <QByteArrayList>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_mailtext: %s\n", what);
    std::abort();
}

QByteArray decodedQuotedPrintable(const QByteArray &text)
{
    QByteArray decoded;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) != '=') {
            decoded += text.at(i);
        } else if (text.mid(i + 1, 2) == "\r\n") {
            i += 2;
        } else {
            decoded += QByteArray::fromHex(text.mid(i + 1, 2));
            i += 2;
        }
    }
    return decoded;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    const int nul = input.indexOf('\0');
    const QString subject = QString::fromUtf8(nul < 0 ? QByteArray() : input.left(nul));
    const QString body = QString::fromUtf8(nul < 0 ? input : input.mid(nul + 1));

    const QxMail::BodyForm form = QxMail::bodyForm(body);
    QxSmtpMessageStream stream(QxMail::messageHeader(QStringLiteral("from@example.com"),
                                                     QStringLiteral("to@example.com"), subject,
                                                     form, "*", "*"),
                               body, form.quotedPrintable);
    QByteArray text;
    while (!stream.atEnd())
        text += stream.next();

    if (!text.endsWith("\r\n.\r\n"))
        fail("no end marker");
    const int headerEnd = text.indexOf("\r\n\r\n");
    if (headerEnd < 0)
        fail("no blank line after the header");
    QByteArrayList lines = text.split('\n');
    lines.removeLast(); // after the end marker's line feed
    int offset = 0;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        const bool inBody = offset > headerEnd;
        offset += line.size() + 1;
        if (!line.endsWith('\r') || line.count('\r') != 1)
            fail("a bare CR or LF");
        // RFC 5321, 4.5.3.1.6: the dot added for transparency does not count.
        const int stuffed = inBody && line.startsWith('.') ? 1 : 0;
        if (line.size() - 1 - stuffed > QxMail::maxLineOctets)
            fail("a line longer than 998 octets");
        if (line == ".\r" && i != lines.size() - 1)
            fail("a line that ends the DATA phase early");
        if (form.quotedPrintable && inBody && line.size() - 1 > 76)
            fail("a quoted-printable line longer than 76 characters");
    }

    // The body back, as the server keeps it and a reader decodes it.
    QByteArray sent = text.mid(headerEnd + 4);
    sent.chop(3);
    QByteArrayList bodyLines = sent.split('\n');
    for (QByteArray &line : bodyLines) {
        if (line.startsWith('.'))
            line.remove(0, 1);
    }
    sent = bodyLines.join('\n');
    if (form.quotedPrintable)
        sent = decodedQuotedPrintable(sent);
    QString expected = body;
    expected.replace(QLatin1String("\r\n"), QLatin1String("\n"))
            .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    expected.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    if (!expected.isEmpty() && !expected.endsWith(QLatin1String("\r\n")))
        expected += QLatin1String("\r\n");
    if (sent != expected.toUtf8())
        fail("the body does not read back");
    return 0;
}
