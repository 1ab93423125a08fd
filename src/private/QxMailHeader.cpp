#include "QxMailHeader.h"

#include <QDateTime>
#include <QHostInfo>
#include <QRandomGenerator>
#include <QStringView>

namespace QxMail {

namespace {

// The part of an address after its last "@", without a closing bracket; the
// machine's name when there is none.
QByteArray domainOf(const QString &address)
{
    const int at = address.lastIndexOf(QLatin1Char('@'));
    QString domain = at < 0 ? QString() : address.mid(at + 1);
    if (domain.endsWith(QLatin1Char('>')))
        domain.chop(1);
    domain = domain.trimmed();
    if (domain.isEmpty())
        domain = QHostInfo::localHostName();
    return domain.isEmpty() ? QByteArray("localhost") : domain.toUtf8();
}

} // namespace

QByteArray messageHeader(const QString &sender, const QString &recipient, const QString &subject,
                         BodyForm form, const QByteArray &date, const QByteArray &messageId)
{
    QByteArray header = "To: " + recipient.toUtf8() + "\r\nFrom: " + sender.toUtf8()
            + "\r\nSubject: "
            + (isPlainSubject(subject) ? subject.toLatin1() : encodedWords(subject))
            + "\r\nDate: " + date + "\r\nMessage-ID: " + messageId + "\r\n";
    if (!isAscii(subject) || !form.ascii || form.quotedPrintable) {
        header += "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n"
                  "Content-Transfer-Encoding: ";
        header += form.quotedPrintable ? "quoted-printable\r\n" : "8bit\r\n";
    }
    header += "\r\n";
    return header;
}

bool holdsLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

QByteArray envelopeAddress(const QString &address)
{
    if (address.startsWith(QLatin1Char('<')) && address.endsWith(QLatin1Char('>')))
        return address.toUtf8();
    return '<' + address.toUtf8() + '>';
}

QString addressFault(const QString &address)
{
    QStringView inner(address);
    if (inner.startsWith(QLatin1Char('<')) && inner.endsWith(QLatin1Char('>')) && inner.size() > 1)
        inner = inner.mid(1, inner.size() - 2);
    for (const QChar c : inner) {
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return QStringLiteral("holds a line break");
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("holds a control character");
        if (c == QLatin1Char(' ') || c == QLatin1Char('\t') || c.isSpace())
            return QStringLiteral("holds a space");
        if (c == QLatin1Char('<') || c == QLatin1Char('>'))
            return QStringLiteral("holds an angle bracket");
    }
    return QString();
}

QByteArray newMessageId(const QString &sender)
{
    const quint64 random = QRandomGenerator::global()->generate64();
    return '<' + QByteArray::number(QDateTime::currentMSecsSinceEpoch(), 36) + '.'
            + QByteArray::number(random, 36) + '@' + domainOf(sender) + '>';
}

QByteArray currentDate()
{
    return QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1();
}

} // namespace QxMail
