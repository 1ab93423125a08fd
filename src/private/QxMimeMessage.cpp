#include "QxMimeMessage.h"

#include "QxMailEncoding.h"
#include "QxMailHeader.h"

#include <QBuffer>
#include <QFile>
#include <QMimeDatabase>
#include <QRandomGenerator>
#include <QSet>

#include <algorithm>
#include <cstring>

namespace QxMail {

namespace {

// RFC 5321, 4.5.3.1.3: a path holds at most 256 octets, brackets included.
constexpr int maxAddressOctets = 254;
// Display names and parameter values longer than this go encoded, as the
// encodings fold onto lines of their own.
constexpr int maxPlainNameChars = 200;
constexpr int maxPlainParameterChars = 60;
constexpr int maxHeaderNameChars = 76;

// The fields the sender writes itself, and Bcc, which must never appear.
const char *const ownFields[] = { "from",
                                  "to",
                                  "cc",
                                  "bcc",
                                  "reply-to",
                                  "subject",
                                  "date",
                                  "message-id",
                                  "mime-version",
                                  "content-type",
                                  "content-transfer-encoding" };

bool isPrintableAscii(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 0x20 || c.unicode() >= 0x7f)
            return false;
    }
    return true;
}

// RFC 5322, 3.2.3: the characters of an atom.
bool isAtomChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
            || (c != '\0' && std::strchr("!#$%&'*+-/=?^_`{|}~", c));
}

// RFC 2045, 5.1: the characters of a token.
bool isTokenChar(QChar c)
{
    return c.unicode() > 0x20 && c.unicode() < 0x7f
            && !QStringLiteral("()<>@,;:\\\"/[]?=").contains(c);
}

bool isMimeType(const QString &type)
{
    const int slash = int(type.indexOf(QLatin1Char('/')));
    if (slash <= 0 || slash == type.size() - 1)
        return false;
    for (int i = 0; i < type.size(); ++i) {
        if (i != slash && !isTokenChar(type.at(i)))
            return false;
    }
    return true;
}

QString bareAddress(const QString &address)
{
    if (address.size() > 1 && address.startsWith(QLatin1Char('<'))
        && address.endsWith(QLatin1Char('>')))
        return address.mid(1, address.size() - 2);
    return address;
}

QByteArray quoted(const QString &text)
{
    QByteArray out = "\"";
    for (const char c : text.toLatin1()) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

// A display name as RFC 5322 has it: atoms as they are, other printable ASCII
// quoted, anything else (and text that would read as encoded words) as
// RFC 2047 encoded words.
QByteArray phrase(const QString &name)
{
    if (name.size() > maxPlainNameChars || !isPrintableAscii(name)
        || name.contains(QLatin1String("=?")))
        return encodedWords(name);
    const QByteArray latin1 = name.toLatin1();
    const bool atoms = !latin1.startsWith(' ') && !latin1.endsWith(' ') && !latin1.contains("  ")
            && std::all_of(latin1.cbegin(), latin1.cend(),
                           [](char c) { return c == ' ' || isAtomChar(c); });
    return atoms ? latin1 : quoted(name);
}

QByteArray mailbox(const QxMailbox &box)
{
    const QByteArray address = bareAddress(box.address).toUtf8();
    return box.name.isEmpty() ? address : phrase(box.name) + " <" + address + '>';
}

QByteArray mailboxList(const QList<QxMailbox> &boxes)
{
    QByteArray list;
    for (const QxMailbox &box : boxes) {
        if (!list.isEmpty())
            list += ",\r\n ";
        list += mailbox(box);
    }
    return list;
}

QByteArray unstructured(const QString &value)
{
    return isPlainSubject(value) && !value.contains(QLatin1String("=?")) ? value.toLatin1()
                                                                         : encodedWords(value);
}

// RFC 2231, 7: the characters a parameter value may hold unencoded.
bool isAttributeChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
            || (c != '\0' && std::strchr("!#$&+-.^_`|~", c));
}

// A parameter such as a file name: quoted when short printable ASCII, else
// percent-encoded UTF-8 (RFC 2231), in numbered sections on lines of their
// own when long.
QByteArray parameter(const QByteArray &key, const QString &value)
{
    if (value.size() <= maxPlainParameterChars && isPrintableAscii(value))
        return key + '=' + quoted(value);
    static const char hex[] = "0123456789ABCDEF";
    QByteArray encoded;
    for (const char c : value.toUtf8()) {
        if (isAttributeChar(c)) {
            encoded += c;
        } else {
            encoded += '%';
            encoded += hex[uchar(c) >> 4];
            encoded += hex[uchar(c) & 0xf];
        }
    }
    if (encoded.size() <= maxPlainParameterChars)
        return key + "*=UTF-8''" + encoded;
    QByteArray sections;
    int start = 0;
    for (int section = 0; start < encoded.size(); ++section) {
        int end = qMin(start + maxPlainParameterChars, int(encoded.size()));
        // A "%XX" stays whole.
        if (end < encoded.size() && encoded.at(end - 1) == '%')
            end -= 1;
        else if (end < encoded.size() && encoded.at(end - 2) == '%')
            end -= 2;
        if (section > 0)
            sections += ";\r\n ";
        sections += key + '*' + QByteArray::number(section) + "*=" + (section == 0 ? "UTF-8''" : "")
                + encoded.mid(start, end - start);
        start = end;
    }
    return sections;
}

struct TextForm
{
    QByteArray encoding;
    bool quotedPrintable;
};

TextForm textForm(const QString &text, bool eightBit)
{
    const BodyForm form = bodyForm(text);
    const bool encode = form.quotedPrintable || (!form.ascii && !eightBit);
    return { encode ? "quoted-printable" : form.ascii ? "7bit" : "8bit", encode };
}

QString mailboxFault(const QxMailbox &box, const QString &role)
{
    const QString address = bareAddress(box.address);
    if (address.isEmpty())
        return QStringLiteral("the %1 address is empty").arg(role);
    const QString fault = addressFault(box.address);
    if (!fault.isEmpty())
        return QStringLiteral("the %1 address %2 %3").arg(role, address, fault);
    if (address.toUtf8().size() > maxAddressOctets)
        return QStringLiteral("the %1 address %2 is longer than %3 octets")
                .arg(role, address.left(40) + QLatin1String("..."))
                .arg(maxAddressOctets);
    if (holdsLineBreak(box.name))
        return QStringLiteral("the name of the %1 address %2 holds a line break")
                .arg(role, address);
    return QString();
}

QString headerFault(const QByteArray &name, const QString &value)
{
    const QString shown = QString::fromUtf8(name).left(40);
    const bool printable = std::all_of(name.cbegin(), name.cend(),
                                       [](char c) { return c > 0x20 && c < 0x7f && c != ':'; });
    if (name.isEmpty() || name.size() > maxHeaderNameChars || !printable)
        return QStringLiteral("the header field name \"%1\" is not 1 to %2 printable ASCII "
                              "characters without \":\"")
                .arg(shown)
                .arg(maxHeaderNameChars);
    for (const char *own : ownFields) {
        if (name.compare(own, Qt::CaseInsensitive) == 0)
            return QStringLiteral("the header field %1 is written by the sender").arg(shown);
    }
    if (holdsLineBreak(value))
        return QStringLiteral("the header field %1 holds a line break").arg(shown);
    return QString();
}

QByteArray textPartHeader(const QByteArray &subtype, const TextForm &form)
{
    return "Content-Type: text/" + subtype
            + "; charset=UTF-8\r\nContent-Transfer-Encoding: " + form.encoding + "\r\n";
}

QString attachmentMimeType(const OpenAttachment &attachment)
{
    if (!attachment.mimeType.isEmpty())
        return attachment.mimeType;
    const QMimeDatabase database;
    const QMimeType type = attachment.filePath.isEmpty()
            ? database.mimeTypeForFileNameAndData(attachment.fileName, attachment.data)
            : database.mimeTypeForFile(attachment.filePath);
    return type.isValid() && isMimeType(type.name()) ? type.name()
                                                     : QStringLiteral("application/octet-stream");
}

QByteArray attachmentHeader(const OpenAttachment &attachment)
{
    const QByteArray type = attachmentMimeType(attachment).toLatin1();
    if (attachment.fileName.isEmpty())
        return "Content-Type: " + type
                + "\r\nContent-Disposition: attachment\r\nContent-Transfer-Encoding: base64\r\n";
    return "Content-Type: " + type + ";\r\n " + parameter("name", attachment.fileName)
            + "\r\nContent-Disposition: attachment;\r\n "
            + parameter("filename", attachment.fileName)
            + "\r\nContent-Transfer-Encoding: base64\r\n";
}

bool hasPlainPart(const QxMailMessagePrivate &message)
{
    return !message.text.isEmpty() || message.html.isEmpty();
}

} // namespace

QString messageFault(const QxMailMessagePrivate &message)
{
    if (message.from.address.isEmpty())
        return QStringLiteral("the message has no sender");
    if (message.to.isEmpty() && message.cc.isEmpty() && message.bcc.isEmpty())
        return QStringLiteral("the message has no recipient");
    QString fault = mailboxFault(message.from, QStringLiteral("sender"));
    if (fault.isEmpty() && !message.replyTo.address.isEmpty())
        fault = mailboxFault(message.replyTo, QStringLiteral("reply-to"));
    const QList<QxMailbox> *const lists[] = { &message.to, &message.cc, &message.bcc };
    for (const QList<QxMailbox> *list : lists) {
        for (const QxMailbox &box : *list) {
            if (fault.isEmpty())
                fault = mailboxFault(box, QStringLiteral("recipient"));
        }
    }
    if (!fault.isEmpty())
        return fault;
    if (holdsLineBreak(message.subject))
        return QStringLiteral("the subject holds a line break");
    for (const auto &header : message.headers) {
        fault = headerFault(header.first, header.second);
        if (!fault.isEmpty())
            return fault;
    }
    for (const QxMailAttachment &attachment : message.attachments) {
        if (!attachment.mimeType.isEmpty() && !isMimeType(attachment.mimeType))
            return QStringLiteral("the MIME type \"%1\" of the attachment %2 is not of the form "
                                  "type/subtype")
                    .arg(attachment.mimeType.left(60), attachment.fileName);
    }
    return QString();
}

QString openAttachments(const QxMailMessagePrivate &message,
                        std::vector<OpenAttachment> &attachments)
{
    attachments.clear();
    for (const QxMailAttachment &attachment : message.attachments) {
        OpenAttachment open;
        open.fileName = attachment.fileName;
        open.mimeType = attachment.mimeType;
        if (attachment.filePath.isEmpty()) {
            auto buffer = QSharedPointer<QBuffer>::create();
            buffer->setData(attachment.data);
            buffer->open(QIODevice::ReadOnly);
            open.device = buffer;
            open.size = attachment.data.size();
            open.data = attachment.data;
        } else {
            auto file = QSharedPointer<QFile>::create(attachment.filePath);
            if (!file->open(QIODevice::ReadOnly))
                return QStringLiteral("the attachment %1 cannot be opened: %2")
                        .arg(attachment.filePath, file->errorString());
            // Its size is written into the message before it is read: a pipe
            // or a device has none.
            if (file->isSequential())
                return QStringLiteral("the attachment %1 is not a regular file")
                        .arg(attachment.filePath);
            open.size = file->size();
            open.device = file;
            open.filePath = attachment.filePath;
        }
        attachments.push_back(std::move(open));
    }
    return QString();
}

QStringList envelopeRecipients(const QxMailMessagePrivate &message)
{
    QStringList recipients;
    QSet<QString> seen;
    for (const QList<QxMailbox> *list : { &message.to, &message.cc, &message.bcc }) {
        for (const QxMailbox &box : *list) {
            const QString address = bareAddress(box.address);
            if (!seen.contains(address)) {
                seen.insert(address);
                recipients << box.address;
            }
        }
    }
    return recipients;
}

qint64 minimumSize(const QxMailMessagePrivate &message,
                   const std::vector<OpenAttachment> &attachments)
{
    qint64 size = utf8Length(message.subject) + utf8Length(message.text) + utf8Length(message.html);
    for (const OpenAttachment &attachment : attachments)
        size += attachment.size;
    return size;
}

bool needsEightBit(const QxMailMessagePrivate &message)
{
    return (hasPlainPart(message) && bodyForm(message.text).eightBit())
            || (!message.html.isEmpty() && bodyForm(message.html).eightBit());
}

QByteArray newBoundaryToken()
{
    const quint64 high = QRandomGenerator::global()->generate64();
    const quint64 low = QRandomGenerator::global()->generate64();
    return QByteArray::number(high, 36) + '.' + QByteArray::number(low, 36);
}

std::vector<QxSmtpMessageStream::Piece>
messagePieces(const QxMailMessagePrivate &message, const std::vector<OpenAttachment> &attachments,
              bool eightBit, const QByteArray &date, const QByteArray &messageId, QByteArray token)
{
    using Piece = QxSmtpMessageStream::Piece;
    // Quoted-printable and base64 cannot hold "=_"; the texts that go as they
    // are are searched.
    while (message.text.contains(QLatin1String(token))
           || message.html.contains(QLatin1String(token)))
        token = newBoundaryToken();
    const QByteArray mixed = "=_m" + token;
    const QByteArray alternative = "=_a" + token;

    QByteArray out = "From: " + mailbox(message.from) + "\r\n";
    if (!message.to.isEmpty())
        out += "To: " + mailboxList(message.to) + "\r\n";
    if (!message.cc.isEmpty())
        out += "Cc: " + mailboxList(message.cc) + "\r\n";
    if (!message.replyTo.address.isEmpty())
        out += "Reply-To: " + mailbox(message.replyTo) + "\r\n";
    out += "Subject: " + unstructured(message.subject) + "\r\nDate: " + date
            + "\r\nMessage-ID: " + messageId + "\r\n";
    for (const auto &header : message.headers)
        out += header.first + ": " + unstructured(header.second) + "\r\n";
    out += "MIME-Version: 1.0\r\n";

    std::vector<Piece> pieces;
    const auto textPart = [&](const QByteArray &subtype, const QString &text) {
        const TextForm form = textForm(text, eightBit);
        out += textPartHeader(subtype, form) + "\r\n";
        pieces.push_back(Piece::fromOctets(out));
        pieces.push_back(Piece::fromText(text, form.quotedPrintable));
        out.clear();
    };
    // Every part's content ends before the CR LF that opens the next
    // delimiter, which belongs to the delimiter (RFC 2046, 5.1.1).
    if (!attachments.empty())
        out += "Content-Type: multipart/mixed;\r\n boundary=\"" + mixed + "\"\r\n\r\n--" + mixed
                + "\r\n";
    if (hasPlainPart(message) && !message.html.isEmpty()) {
        out += "Content-Type: multipart/alternative;\r\n boundary=\"" + alternative + "\"\r\n\r\n--"
                + alternative + "\r\n";
        textPart("plain", message.text);
        out += "\r\n--" + alternative + "\r\n";
        textPart("html", message.html);
        out += "\r\n--" + alternative + "--";
        if (attachments.empty())
            out += "\r\n";
    } else if (!message.html.isEmpty()) {
        textPart("html", message.html);
    } else {
        textPart("plain", message.text);
    }
    for (const OpenAttachment &attachment : attachments) {
        out += "\r\n--" + mixed + "\r\n" + attachmentHeader(attachment) + "\r\n";
        pieces.push_back(Piece::fromOctets(out));
        pieces.push_back(
                Piece::fromDevice(attachment.device, attachment.size,
                                  QStringLiteral("the attachment %1").arg(attachment.fileName)));
        out.clear();
    }
    if (!attachments.empty())
        out += "\r\n--" + mixed + "--\r\n";
    if (!out.isEmpty())
        pieces.push_back(Piece::fromOctets(out));
    return pieces;
}

} // namespace QxMail
