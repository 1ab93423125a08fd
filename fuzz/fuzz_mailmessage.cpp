// Fuzzes the making of a MIME message from arbitrary fields, without a
// server: display names, subject, texts, an extra header field, an
// attachment's name, MIME type and content.
//
// Input: fields separated by NUL, as UTF-8 (invalid sequences become U+FFFD):
// sender name, recipient name, subject, text, HTML, header name, header
// value, attachment name, MIME type, attachment content (raw octets, the rest
// of the input). A message the library refuses is fine; one it accepts must
// be CR LF lines of at most 998 octets with one end marker, exactly as long
// as announced, with no header field but the ones the sender writes and the
// one extra field, no part header field but the MIME ones, and the
// attachment back byte for byte.

#include "QxMailEncoding.h"
#include "QxMailMessage_p.h"
#include "QxMimeMessage.h"
#include "QxSmtpMessageStream.h"

#include <QByteArrayList>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_mailmessage: %s\n", what);
    std::abort();
}

const QByteArrayList topFields
        = { "From",       "To",           "Subject",      "Date",
            "Message-ID", "MIME-Version", "Content-Type", "Content-Transfer-Encoding" };
const QByteArrayList partFields
        = { "Content-Type", "Content-Disposition", "Content-Transfer-Encoding" };

// Checks the field lines of a header block; returns how often \a extra came.
int checkFields(const QByteArrayList &lines, const QByteArrayList &allowed, const QByteArray &extra)
{
    int extras = 0;
    for (const QByteArray &line : lines) {
        if (line.startsWith(' ') || line.startsWith('\t'))
            continue;
        const int colon = line.indexOf(':');
        if (colon <= 0)
            fail("a header line that is neither a field nor a continuation");
        const QByteArray name = line.left(colon);
        if (!extra.isEmpty() && name == extra)
            ++extras;
        else if (!allowed.contains(name))
            fail("a header field the message does not write");
    }
    return extras;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    QByteArrayList fields = input.split('\0');
    while (fields.size() < 10)
        fields << QByteArray();
    const QByteArray content = QByteArrayList(fields.mid(9)).join('\0');
    const auto text = [&](int i) { return QString::fromUtf8(fields.at(i)); };

    QxMailMessage message;
    message.setFrom(QStringLiteral("from@example.com"), text(0));
    message.addTo(QStringLiteral("to@example.com"), text(1));
    message.addBcc(QStringLiteral("bcc@example.com"), QStringLiteral("Hidden Name"));
    message.setSubject(text(2));
    message.setText(text(3));
    message.setHtml(text(4));
    if (!fields.at(5).isEmpty())
        message.addHeader(fields.at(5), text(6));
    if (!fields.at(7).isEmpty())
        message.addDataAttachment(content, text(7), text(8));

    const QxMailMessagePrivate &mail = QxMailMessagePrivate::get(message);
    if (!QxMail::messageFault(mail).isEmpty())
        return 0;
    std::vector<QxMail::OpenAttachment> attachments;
    if (!QxMail::openAttachments(mail, attachments).isEmpty())
        fail("a data attachment that cannot be opened");
    QxSmtpMessageStream stream(QxMail::messagePieces(mail, attachments, size % 2 == 0, "*", "*",
                                                     QxMail::newBoundaryToken()));
    const qint64 announced = stream.size();
    QByteArray out;
    while (!stream.atEnd()) {
        out += stream.next();
        if (stream.failed())
            fail("a data attachment that cannot be read");
    }
    if (out.size() != announced)
        fail("a size other than the one announced");
    if (!out.endsWith(".\r\n") || out.contains("Hidden Name") || out.contains("bcc@example.com"))
        fail("no end marker, or the Bcc recipient in the message");

    QByteArrayList lines = out.split('\n');
    lines.removeLast();
    for (int i = 0; i < lines.size(); ++i) {
        QByteArray &line = lines[i];
        if (!line.endsWith('\r') || line.count('\r') != 1)
            fail("a bare CR or LF");
        line.chop(1);
        if (line == "." && i != lines.size() - 1)
            fail("a line that ends the DATA phase early");
        // RFC 5321, 4.5.3.1.6: the dot added for transparency does not count.
        if (line.startsWith('.'))
            line.remove(0, 1);
        if (line.size() > QxMail::maxLineOctets)
            fail("a line longer than 998 octets");
    }
    lines.removeLast();

    const int headerEnd = int(lines.indexOf(QByteArray()));
    const int extras = checkFields(lines.mid(0, headerEnd), topFields + QByteArrayList { "Cc" },
                                   fields.at(5));
    if (extras != (fields.at(5).isEmpty() ? 0 : 1))
        fail("the extra field missing or repeated");
    if (fields.at(7).isEmpty())
        return 0;

    // The attachment: the part whose header names it, then its base64 lines
    // up to the next delimiter.
    const QByteArray boundaryLine = [&] {
        for (const QByteArray &line : lines.mid(0, headerEnd)) {
            const int at = line.indexOf("boundary=\"=_m");
            if (at >= 0)
                return "--" + line.mid(at + 10, line.size() - at - 11);
        }
        fail("no multipart/mixed boundary");
    }();
    QByteArrayList parts;
    const QByteArray joined = lines.join('\n');
    const QByteArray delimiter = '\n' + boundaryLine;
    for (int start = 0;;) {
        const int next = joined.indexOf(delimiter, start);
        parts << joined.mid(start, next < 0 ? -1 : next - start);
        if (next < 0)
            break;
        start = next + delimiter.size();
    }
    if (parts.size() != 4 || parts.last() != "--")
        fail("not the text part and one attachment");
    QByteArrayList attachmentLines = parts.at(2).split('\n');
    attachmentLines.removeFirst(); // the rest of the delimiter line
    const int blank = int(attachmentLines.indexOf(QByteArray()));
    checkFields(attachmentLines.mid(0, blank), partFields, QByteArray());
    if (QByteArray::fromBase64(attachmentLines.mid(blank + 1).join()) != content)
        fail("the attachment does not read back");
    return 0;
}
