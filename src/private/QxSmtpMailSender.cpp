#include "QxSmtpMailSender_p.h"

#include "QxMailEncoding.h"
#include "QxMailHeader.h"
#include "QxMailMessage_p.h"
#include "QxMimeMessage.h"
#include "QxSmtpMessageStream.h"

#include <QHostAddress>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QStringList>
#include <QStringView>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>

using namespace QxMail;

// Strings are emptied by assigning QString() rather than by clear(): Qt 6
// defines QString::clear() inline outside its exported class, so a copy that
// GCC chooses not to inline here would be exported from this library.

namespace {

constexpr char refusedLabel[] = "Refused : ";
constexpr char tlsErrorLabel[] = "TLS Error : ";
constexpr char unexpectedReplyLabel[] = "Unexpected reply from smtp server : ";

// A server's reply line (RFC 5321 allows 512 octets; the slack is for servers
// that write more) and a whole reply: beyond, the reply is refused at once
// rather than gathered in memory.
constexpr int maxReplyLineOctets = 4096;
constexpr int maxReplyOctets = 64 * 1024;
// How much of a reply a status text shows.
constexpr int maxShownReplyChars = 4096;

// RFC 5321, 4.1.3: the client's own address as the EHLO argument, as it has no
// name of its own that the server could check.
QByteArray addressLiteral(const QHostAddress &address)
{
    const bool v6 = address.protocol() == QAbstractSocket::IPv6Protocol;
    return (v6 ? "[IPv6:" : "[") + address.toString().toLatin1() + ']';
}

QString refusal(const QString &sender, const QString &recipient, const QString &subject)
{
    if (sender.isEmpty())
        return QStringLiteral("the sender address is empty");
    if (recipient.isEmpty())
        return QStringLiteral("the recipient address is empty");
    const QString senderFault = addressFault(sender);
    if (!senderFault.isEmpty())
        return QStringLiteral("the sender address ") + senderFault;
    const QString recipientFault = addressFault(recipient);
    if (!recipientFault.isEmpty())
        return QStringLiteral("the recipient address ") + recipientFault;
    if (holdsLineBreak(subject))
        return QStringLiteral("the subject holds a line break");
    return QString();
}

bool holdsControlCharacter(const QString &text)
{
    return std::any_of(text.cbegin(), text.cend(),
                       [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

// RFC 6750, 2.1: a bearer token is printable ASCII without spaces.
bool isTokenText(const QString &token)
{
    return !token.isEmpty() && std::all_of(token.cbegin(), token.cend(), [](QChar c) {
        return c.unicode() > 0x20 && c.unicode() < 0x7f;
    });
}

// RFC 7628, 3.1: the user name in the GS2 header, with "," and "=" escaped.
QByteArray gs2Name(const QString &user)
{
    QByteArray name = user.toUtf8();
    name.replace('=', "=3D");
    name.replace(',', "=2C");
    return name;
}

// The first line of a reply as a status text shows it, for a list of them.
QString firstLine(const QString &reply)
{
    QString line = reply.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (line.size() > 200)
        line = line.left(200) + QLatin1String("...");
    return line;
}

// A server's reply line as text: UTF-8 where it is valid UTF-8 (RFC 6531),
// Latin-1 otherwise. Converted with its length, so a NUL does not end it.
QString replyLineText(const QByteArray &bytes)
{
    const QString utf8 = QString::fromUtf8(bytes);
    if (utf8.toUtf8() == bytes)
        return utf8;
    return QLatin1String(bytes.constData(), bytes.size());
}

// A reply as a status text shows it: at most the first 4 KiB, and control
// characters other than the line ends between lines escaped ("\x1b").
QString shownReply(const QString &reply)
{
    QString shown;
    const int length = int(qMin<qsizetype>(reply.size(), maxShownReplyChars));
    shown.reserve(length + 8);
    for (int i = 0; i < length; ++i) {
        const QChar c = reply.at(i);
        const ushort unit = c.unicode();
        if ((unit < 0x20 && c != QLatin1Char('\r') && c != QLatin1Char('\n')) || unit == 0x7f)
            shown += QStringLiteral("\\x%1").arg(unit, 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    if (reply.size() > maxShownReplyChars)
        shown += QLatin1String("...");
    return shown;
}

// Whether a reply line starts with a three-digit code and, after it, ends,
// continues ("-") or goes on with text (" "), as RFC 5321, 4.2 has it.
bool hasReplyCode(const QString &line)
{
    if (line.size() < 3)
        return false;
    for (int i = 0; i < 3; ++i) {
        if (line.at(i) < QLatin1Char('0') || line.at(i) > QLatin1Char('9'))
            return false;
    }
    if (line.size() == 3)
        return true;
    const QChar after = line.at(3);
    return after == QLatin1Char(' ') || after == QLatin1Char('-') || after == QLatin1Char('\r')
            || after == QLatin1Char('\n');
}

// Whether a name matches a DNS name of a certificate, with a "*" standing for
// the whole leftmost label only (RFC 6125, 6.4.3).
bool matchesCertificateName(const QString &host, const QString &pattern)
{
    if (pattern.startsWith(QLatin1String("*."))) {
        const int dot = host.indexOf(QLatin1Char('.'));
        return dot > 0 && host.mid(dot).compare(pattern.mid(1), Qt::CaseInsensitive) == 0;
    }
    return host.compare(pattern, Qt::CaseInsensitive) == 0;
}

// RFC 6125, 6.4.4: a certificate with subject alternative names is issued for
// those names only, never for its common name; QSslSocket would take the
// common name as well. Returns whether host passes.
bool certificateNamesHost(const QSslCertificate &certificate, const QString &host)
{
    const auto names = certificate.subjectAlternativeNames();
    if (names.isEmpty())
        return true;
    const QHostAddress address(host);
    if (!address.isNull()) {
        for (const QString &entry : names.values(QSsl::IpAddressEntry)) {
            if (QHostAddress(entry) == address)
                return true;
        }
        return false;
    }
    for (const QString &entry : names.values(QSsl::DnsEntry)) {
        if (matchesCertificateName(host, entry))
            return true;
    }
    return false;
}

bool isTlsError(QAbstractSocket::SocketError error)
{
    return error == QAbstractSocket::SslHandshakeFailedError
            || error == QAbstractSocket::SslInternalError
            || error == QAbstractSocket::SslInvalidUserDataError;
}

} // namespace

QxSmtpMailSender::QxSmtpMailSender(const QString &host, int port)
    : QObject(nullptr)
    , d(new QxSmtpMailSenderPrivate(this, host, port))
{
}

QxSmtpMailSender::~QxSmtpMailSender() = default;

void QxSmtpMailSender::sendMail(const QString &sender, const QString &recipient,
                                const QString &subject, const QString &body)
{
    d->sendMail(sender, recipient, subject, body);
}

void QxSmtpMailSender::sendMessage(const QxMailMessage &message)
{
    d->sendMessage(message);
}

int QxSmtpMailSender::timeout() const
{
    return d->timeoutMsecs;
}

void QxSmtpMailSender::setTimeout(int msecs)
{
    d->setTimeout(msecs);
}

QxSmtpMailSender::Security QxSmtpMailSender::security() const
{
    return d->securityMode;
}

void QxSmtpMailSender::setSecurity(Security security)
{
    d->setSecurity(security);
}

QList<QSslCertificate> QxSmtpMailSender::caCertificates() const
{
    return d->extraCaCertificates;
}

void QxSmtpMailSender::setCaCertificates(const QList<QSslCertificate> &certificates)
{
    d->extraCaCertificates = certificates;
}

void QxSmtpMailSender::setCredentials(const QString &user, const QString &password)
{
    d->login = user.isEmpty() ? QxSmtpMailSenderPrivate::Login::None
                              : QxSmtpMailSenderPrivate::Login::Password;
    d->userName = user;
    d->userPassword = password;
    d->accessToken = QString();
}

void QxSmtpMailSender::setAccessToken(const QString &user, const QString &token)
{
    d->login = user.isEmpty() ? QxSmtpMailSenderPrivate::Login::None
                              : QxSmtpMailSenderPrivate::Login::Token;
    d->userName = user;
    d->accessToken = token;
    d->userPassword = QString();
}

void QxSmtpMailSender::readyRead()
{
    d->readyRead();
}

void QxSmtpMailSender::error()
{
    d->socketError();
}

QxSmtpMailSenderPrivate::QxSmtpMailSenderPrivate(QxSmtpMailSender *sender, const QString &host,
                                                 int serverPort)
    : q(sender)
    , socket(new QTcpSocket(sender))
    , hostName(host)
    , port(serverPort)
{
    connectSocket();
}

QxSmtpMailSenderPrivate::~QxSmtpMailSenderPrivate()
{
    // Tearing down a live connection emits the socket's signals: they must not
    // reach a sender that is going away.
    socket->disconnect(q);
    delete socket;
}

void QxSmtpMailSenderPrivate::connectSocket()
{
    QObject::connect(socket, SIGNAL(readyRead()), q, SLOT(readyRead()));
    // The body goes out a chunk at a time, each once the socket has drained
    // the one before; any traffic also restarts the timeout.
    const auto drained = [this] {
        restartTimer();
        writeMessage();
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, q, drained);
    if (auto *sslSocket = qobject_cast<QSslSocket *>(socket)) {
        QObject::connect(sslSocket, &QSslSocket::encryptedBytesWritten, q, drained);
        QObject::connect(sslSocket, &QSslSocket::encrypted, q, [this] { encrypted(); });
    }
}

void QxSmtpMailSenderPrivate::sendMail(const QString &sender, const QString &recipient,
                                       const QString &subject, const QString &body)
{
    QString refused = mailStarted ? QStringLiteral("sendMail may be called only once per sender")
                                  : refusal(sender, recipient, subject);
    if (refused.isEmpty())
        refused = loginFault();
    if (refuseStart(refused))
        return;
    // The message is made when the server asks for it: nothing here looks at
    // the body, so that this returns at once for any size.
    subjectText = subject;
    bodyText = body;
    senderAddress = sender;
    recipientAddresses = QStringList { recipient };
    start();
}

void QxSmtpMailSenderPrivate::sendMessage(const QxMailMessage &mail)
{
    if (mailStarted) {
        refuseStart(QStringLiteral("a sender sends one mail: sendMessage may be called only once, "
                                   "and not after sendMail"));
        return;
    }
    const QxMailMessagePrivate &content = QxMailMessagePrivate::get(mail);
    QString refused = QxMail::messageFault(content);
    if (refused.isEmpty())
        refused = loginFault();
    // The files last, once nothing else stands in the way.
    if (refused.isEmpty())
        refused = QxMail::openAttachments(content, attachments);
    if (refuseStart(refused)) {
        attachments.clear();
        return;
    }
    message = mail;
    senderAddress = content.from.address;
    recipientAddresses = QxMail::envelopeRecipients(content);
    start();
}

// Why the login as set cannot go ahead, or an empty string.
QString QxSmtpMailSenderPrivate::loginFault() const
{
    if (login == Login::None)
        return QString();
    if (securityMode == QxSmtpMailSender::NoSecurity)
        return QStringLiteral("a login needs StartTls or ImplicitTls");
    // RFC 4616: the login separates its fields with NUL.
    if (userName.contains(QChar(0)) || userPassword.contains(QChar(0)))
        return QStringLiteral("the user name or password holds a NUL character");
    if (login == Login::Token) {
        // The token login separates its fields with control characters.
        if (holdsControlCharacter(userName))
            return QStringLiteral("the user name holds a control character");
        if (!isTokenText(accessToken))
            return QStringLiteral("the access token is empty or holds a character other than "
                                  "printable ASCII");
    }
    return QString();
}

// Reports \a refused, unless it is empty, as the outcome of the one mail of
// this sender, after the caller has returned; returns whether it did.
bool QxSmtpMailSenderPrivate::refuseStart(const QString &refused)
{
    if (refused.isEmpty())
        return false;
    if (!mailStarted) {
        mailStarted = true;
        outcomeReported = true;
    }
    const QString text = withoutSecrets(QLatin1String(refusedLabel) + refused);
    QxSmtpMailSender *const mailSender = q;
    QMetaObject::invokeMethod(
            q, [mailSender, text] { Q_EMIT mailSender->status(false, text); },
            Qt::QueuedConnection);
    return true;
}

void QxSmtpMailSenderPrivate::start()
{
    mailStarted = true;
    dialogueState = AwaitGreeting;
    QObject::connect(socket, SIGNAL(errorOccurred(QAbstractSocket::SocketError)), q, SLOT(error()));

    restartTimer();
    // Last: some failures are reported from within connectToHost() itself.
    if (auto *sslSocket = qobject_cast<QSslSocket *>(socket)) {
        QSslConfiguration configuration = sslSocket->sslConfiguration();
        // RFC 8996: TLS 1.0 and 1.1 are not used, whatever this Qt allows.
        configuration.setProtocol(QSsl::TlsV1_2OrLater);
        if (!extraCaCertificates.isEmpty())
            configuration.setCaCertificates(QSslConfiguration::systemCaCertificates()
                                            + extraCaCertificates);
        sslSocket->setSslConfiguration(configuration);
        if (securityMode == QxSmtpMailSender::ImplicitTls) {
            sslSocket->connectToHostEncrypted(hostName, quint16(port), QIODevice::ReadWrite);
            return;
        }
    }
    socket->connectToHost(hostName, quint16(port), QIODevice::ReadWrite);
}

void QxSmtpMailSenderPrivate::setTimeout(int msecs)
{
    timeoutMsecs = qMax(0, msecs);
    if (timeoutMsecs == 0) {
        if (timer)
            timer->stop();
        return;
    }
    if (!timer) {
        timer = new QTimer(q);
        timer->setSingleShot(true);
        // A coarse timer may fire up to 5 % early.
        timer->setTimerType(Qt::PreciseTimer);
        // A lambda keeps the meta-object to the signal and slots callers know.
        QObject::connect(timer, &QTimer::timeout, q, [this] { timedOut(); });
    }
    restartTimer();
}

void QxSmtpMailSenderPrivate::setSecurity(QxSmtpMailSender::Security security)
{
    if (mailStarted)
        return;
    securityMode = security;
    // The plain dialogue keeps its plain socket; TLS needs a QSslSocket from
    // the start, which still speaks in clear until STARTTLS.
    if (security != QxSmtpMailSender::NoSecurity && !qobject_cast<QSslSocket *>(socket)) {
        delete socket;
        socket = new QSslSocket(q);
        connectSocket();
    }
}

void QxSmtpMailSenderPrivate::readyRead()
{
    // QSslSocket::flush() may deliver readyRead() again from within the
    // handling of a reply; the loop below reads what came then, in the state
    // that the reply it was handling has set.
    if (readingReplies || !listening())
        return;
    readingReplies = true;
    readReplies();
    readingReplies = false;
}

void QxSmtpMailSenderPrivate::readReplies()
{
    // A line without its line feed stays in the socket until the rest arrives;
    // each complete reply is acted on at its last line. The wait for a reply
    // starts when the command goes out: bytes that drip in do not extend it.
    while (listening()) {
        if (!socket->canReadLine()) {
            if (socket->bytesAvailable() > maxReplyLineOctets)
                refuseReply(QStringLiteral("a reply line longer than %1 octets")
                                    .arg(maxReplyLineOctets));
            return;
        }
        const QByteArray bytes = socket->readLine(maxReplyLineOctets + 2);
        if (!bytes.endsWith('\n')) {
            refuseReply(
                    QStringLiteral("a reply line longer than %1 octets").arg(maxReplyLineOctets));
            return;
        }
        const QString line = replyLineText(bytes);
        replyText += line;
        if (replyText.size() > maxReplyOctets) {
            refuseReply(QStringLiteral("a reply longer than %1 octets").arg(maxReplyOctets));
            return;
        }
        if (!hasReplyCode(line)) {
            refuseReply(QString());
            return;
        }
        if (line.size() > 3 && line.at(3) == QLatin1Char('-'))
            continue;
        // Commands go one at a time: whatever the server sent after the last
        // line of a reply came before it could have seen the next command.
        // After STARTTLS that is text in clear that must not reach the TLS
        // session, and goes unread.
        if (socket->bytesAvailable() > 0 && dialogueState != Closing) {
            if (dialogueState == AwaitStartTlsReply) {
                socket->readAll();
            } else {
                replyText = replyLineText(socket->read(maxShownReplyChars + 1));
                refuseReply(QString());
                return;
            }
        }
        if (!handleReply(line.at(0)))
            return;
    }
}

// Fails the dialogue for a reply it cannot take: too long, without a code, or
// sent when none was asked for.
void QxSmtpMailSenderPrivate::refuseReply(const QString &why)
{
    if (dialogueState == Closing) {
        finish();
        return;
    }
    socket->readAll();
    failReply(why);
}

// Fails the dialogue on the reply gathered (or on \a why, when given): a TLS
// error while STARTTLS is answered, an unexpected reply anywhere else.
void QxSmtpMailSenderPrivate::failReply(const QString &why)
{
    const QString detail = why.isEmpty() ? shownReply(replyText) : why;
    replyText = QString();
    if (dialogueState == AwaitStartTlsReply)
        fail(QLatin1String(tlsErrorLabel) + detail, Ending::SendQuit, Owner::Creator);
    else
        fail(QLatin1String(unexpectedReplyLabel) + detail, Ending::SendQuit, Owner::Sender);
}

// Acts on a complete reply whose code starts with \a code; returns whether more
// replies may be read.
bool QxSmtpMailSenderPrivate::handleReply(QChar code)
{
    if (dialogueState == Closing) {
        finish();
        return false;
    }
    const bool prompt = dialogueState == AwaitDataReply || dialogueState == AwaitLoginUserPrompt
            || dialogueState == AwaitLoginPasswordPrompt;
    // Nothing may arrive while the message goes out or TLS is being set up.
    // The reply to the message counts only once all of it has been written
    // out, not merely queued.
    const bool unasked = dialogueState == AwaitHandshake
            || (dialogueState == AwaitMessageReply && (!messageWritten || bytesQueued() > 0));
    if (!unasked) {
        // Each recipient of a message is answered for on its own, and a
        // refused token comes with the server's error as a challenge.
        if (dialogueState == AwaitRcptToReply && message) {
            recipientReplied(code);
            return true;
        }
        if (dialogueState == AwaitTokenReply && code == QLatin1Char('3')) {
            const QString last = replyText.trimmed().section(QLatin1Char('\n'), -1);
            tokenError = replyLineText(QByteArray::fromBase64(last.mid(4).trimmed().toLatin1()));
            replyText = QString();
            // RFC 7628, 3.2.3: a dummy response, after which the server fails
            // the login; XOAUTH2 takes an empty one.
            send(tokenMechanism == "OAUTHBEARER" ? "AQ==\r\n" : "\r\n");
            dialogueState = AwaitTokenFailure;
            return true;
        }
        if (dialogueState == AwaitTokenFailure) {
            const QString detail = shownReply(replyText).trimmed()
                    + QStringLiteral(" (the server refused the access token: %1)")
                              .arg(shownReply(tokenError));
            replyText = QString();
            fail(QLatin1String(unexpectedReplyLabel) + detail, Ending::SendQuit, Owner::Sender);
            return true;
        }
    }
    if (unasked || code != (prompt ? QLatin1Char('3') : QLatin1Char('2'))) {
        failReply(QString());
        return true;
    }
    if (dialogueState == AwaitHeloReply && usesExtendedHello()) {
        // Keywords of the EHLO reply, one a line after the code.
        extensions.clear();
        for (const QString &line : replyText.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            extensions << line.mid(4).trimmed().toUpper();
    }
    replyText = QString();
    switch (dialogueState) {
    case AwaitGreeting:
        if (usesExtendedHello())
            send("EHLO " + addressLiteral(socket->localAddress()) + "\r\n");
        else
            send("HELO there\r\n");
        dialogueState = AwaitHeloReply;
        break;
    case AwaitHeloReply:
        afterGreeting();
        break;
    case AwaitStartTlsReply:
        dialogueState = AwaitHandshake;
        static_cast<QSslSocket *>(socket)->startClientEncryption();
        break;
    case AwaitLoginUserPrompt:
        send(userName.toUtf8().toBase64() + "\r\n");
        dialogueState = AwaitLoginPasswordPrompt;
        break;
    case AwaitLoginPasswordPrompt:
        sentSecrets << userPassword.toUtf8().toBase64();
        send(userPassword.toUtf8().toBase64() + "\r\n");
        dialogueState = AwaitAuthReply;
        break;
    case AwaitAuthReply:
    case AwaitTokenReply:
        startMail();
        break;
    case AwaitMailFromReply:
        recipientIndex = 0;
        send("RCPT TO:" + envelopeAddress(recipientAddresses.first()) + "\r\n");
        dialogueState = AwaitRcptToReply;
        break;
    case AwaitRcptToReply:
        send("DATA\r\n");
        dialogueState = AwaitDataReply;
        break;
    case AwaitDataReply:
        startMessage();
        break;
    case AwaitMessageReply:
        send("QUIT\r\n");
        dialogueState = Closing;
        outcomeReported = true;
        owner = Owner::Sender;
        restartTimer();
        Q_EMIT q->status(true, QString());
        break;
    case AwaitHandshake:
    case AwaitTokenFailure:
    case Closing:
        break;
    }
    return true;
}

// The reply to the RCPT TO of one recipient of a message: the next
// recipient, and once all have replied, DATA, unless any was refused.
void QxSmtpMailSenderPrivate::recipientReplied(QChar code)
{
    if (code != QLatin1Char('2'))
        refusedRecipients << QString::fromUtf8(
                                     envelopeAddress(recipientAddresses.at(recipientIndex)))
                        + QLatin1Char(' ') + firstLine(shownReply(replyText));
    replyText = QString();
    if (++recipientIndex < recipientAddresses.size()) {
        send("RCPT TO:" + envelopeAddress(recipientAddresses.at(recipientIndex)) + "\r\n");
        return;
    }
    if (!refusedRecipients.isEmpty()) {
        fail(QLatin1String(unexpectedReplyLabel)
                     + QStringLiteral("the server refused %1 of %2 recipients, the mail is not "
                                      "sent:\n%3")
                               .arg(refusedRecipients.size())
                               .arg(recipientAddresses.size())
                               .arg(refusedRecipients.join(QLatin1Char('\n'))),
             Ending::SendQuit, Owner::Sender);
        return;
    }
    send("DATA\r\n");
    dialogueState = AwaitDataReply;
}

// Made when the server asks for the message, which is also what its Date
// tells.
void QxSmtpMailSenderPrivate::startMessage()
{
    if (message) {
        // After EHLO, 8-bit text goes only to a server that takes it.
        const bool eightBit
                = !usesExtendedHello() || extensions.contains(QLatin1String("8BITMIME"));
        messageStream.reset(new QxSmtpMessageStream(QxMail::messagePieces(
                QxMailMessagePrivate::get(*message), attachments, eightBit, currentDate(),
                newMessageId(senderAddress), QxMail::newBoundaryToken())));
    } else {
        const BodyForm form = bodyForm(bodyText);
        const QByteArray header
                = messageHeader(senderAddress, recipientAddresses.first(), subjectText, form,
                                currentDate(), newMessageId(senderAddress));
        messageStream.reset(new QxSmtpMessageStream(header, bodyText, form.quotedPrintable));
        bodyText = QString();
    }
    messageSize = messageStream->size();
    dialogueState = AwaitMessageReply;
    writeMessage();
}

// After the (E)HLO reply: TLS first if asked for and not yet on, then the
// login, then the mail.
void QxSmtpMailSenderPrivate::afterGreeting()
{
    auto *sslSocket = qobject_cast<QSslSocket *>(socket);
    if (securityMode == QxSmtpMailSender::StartTls && !sslSocket->isEncrypted()) {
        if (!extensions.contains(QLatin1String("STARTTLS"))) {
            fail(QLatin1String(tlsErrorLabel)
                         + QStringLiteral("the server does not offer STARTTLS"),
                 Ending::SendQuit, Owner::Creator);
            return;
        }
        send("STARTTLS\r\n");
        dialogueState = AwaitStartTlsReply;
        return;
    }
    if (login != Login::None) {
        startLogin();
        return;
    }
    startMail();
}

void QxSmtpMailSenderPrivate::startLogin()
{
    QStringList mechanisms;
    for (const QString &extension : qAsConst(extensions)) {
        if (extension.startsWith(QLatin1String("AUTH "))
            || extension.startsWith(QLatin1String("AUTH=")))
            mechanisms += extension.mid(5).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    if (login == Login::Token) {
        startTokenLogin(mechanisms);
        return;
    }
    if (mechanisms.contains(QLatin1String("PLAIN"))) {
        // RFC 4616: authorisation identity (none), user and password.
        const QByteArray response = '\0' + userName.toUtf8() + '\0' + userPassword.toUtf8();
        sentSecrets << response.toBase64();
        send("AUTH PLAIN " + response.toBase64() + "\r\n");
        dialogueState = AwaitAuthReply;
    } else if (mechanisms.contains(QLatin1String("LOGIN"))) {
        send("AUTH LOGIN\r\n");
        dialogueState = AwaitLoginUserPrompt;
    } else {
        fail(QLatin1String(refusedLabel)
                     + QStringLiteral("the server offers neither AUTH PLAIN nor AUTH LOGIN"),
             Ending::SendQuit, Owner::Creator);
    }
}

// OAUTHBEARER, the standard, before XOAUTH2, which came first and which some
// servers offer alone.
void QxSmtpMailSenderPrivate::startTokenLogin(const QStringList &mechanisms)
{
    QByteArray response;
    if (mechanisms.contains(QLatin1String("OAUTHBEARER"))) {
        tokenMechanism = "OAUTHBEARER";
        response = "n,a=" + gs2Name(userName) + ",\x01host=" + hostName.toUtf8()
                + "\x01port=" + QByteArray::number(port)
                + "\x01"
                  "auth=Bearer "
                + accessToken.toLatin1() + "\x01\x01";
    } else if (mechanisms.contains(QLatin1String("XOAUTH2"))) {
        tokenMechanism = "XOAUTH2";
        response = "user=" + userName.toUtf8()
                + "\x01"
                  "auth=Bearer "
                + accessToken.toLatin1() + "\x01\x01";
    } else {
        fail(QLatin1String(refusedLabel)
                     + QStringLiteral(
                             "the server offers neither AUTH OAUTHBEARER nor AUTH XOAUTH2"),
             Ending::SendQuit, Owner::Creator);
        return;
    }
    sentSecrets << response.toBase64();
    send("AUTH " + tokenMechanism + ' ' + response.toBase64() + "\r\n");
    dialogueState = AwaitTokenReply;
}

void QxSmtpMailSenderPrivate::startMail()
{
    // After EHLO the server's extensions count; the plain HELO dialogue stays
    // as it always was.
    QByteArray parameters;
    if (usesExtendedHello()) {
        const bool asciiAddresses = isAscii(senderAddress)
                && std::all_of(recipientAddresses.cbegin(), recipientAddresses.cend(),
                               [](const QString &address) { return isAscii(address); });
        if (!asciiAddresses) {
            if (!extensions.contains(QLatin1String("SMTPUTF8"))) {
                fail(QLatin1String(refusedLabel)
                             + QStringLiteral(
                                     "the server takes no non-ASCII addresses (no SMTPUTF8)"),
                     Ending::SendQuit, Owner::Creator);
                return;
            }
            parameters += " SMTPUTF8";
        }
        // RFC 1870: a server that states its limit is not sent a larger mail.
        // The body's UTF-8 size is a lower bound of what goes out.
        for (const QString &extension : qAsConst(extensions)) {
            if (!extension.startsWith(QLatin1String("SIZE ")))
                continue;
            bool ok = false;
            const qint64 limit = extension.mid(5).trimmed().toLongLong(&ok);
            qint64 size = utf8Length(senderAddress);
            for (const QString &recipient : qAsConst(recipientAddresses))
                size += utf8Length(recipient);
            size += message ? QxMail::minimumSize(QxMailMessagePrivate::get(*message), attachments)
                            : utf8Length(bodyText) + utf8Length(subjectText);
            if (ok && limit > 0 && size > limit) {
                fail(QLatin1String(refusedLabel)
                             + QStringLiteral("the message (%1 octets at least) exceeds the "
                                              "server's limit of %2 octets")
                                       .arg(size)
                                       .arg(limit),
                     Ending::SendQuit, Owner::Creator);
                return;
            }
        }
        // RFC 6152: an 8-bit body is declared where the server takes one.
        const bool eightBit = message ? QxMail::needsEightBit(QxMailMessagePrivate::get(*message))
                                      : bodyForm(bodyText).eightBit();
        if (eightBit && extensions.contains(QLatin1String("8BITMIME")))
            parameters += " BODY=8BITMIME";
    }
    send("MAIL FROM:" + envelopeAddress(senderAddress) + parameters + "\r\n");
    dialogueState = AwaitMailFromReply;
}

void QxSmtpMailSenderPrivate::encrypted()
{
    if (outcomeReported)
        return;
    // With STARTTLS and with TLS from the first byte alike.
    const QSslCertificate peer = static_cast<QSslSocket *>(socket)->peerCertificate();
    if (!certificateNamesHost(peer, hostName)) {
        socket->abort();
        fail(QLatin1String(tlsErrorLabel)
                     + QStringLiteral("the server's certificate is not issued for %1")
                               .arg(hostName),
             Ending::KeepConnection, Owner::Creator);
        return;
    }
    if (dialogueState != AwaitHandshake)
        return;
    // RFC 3207, 4.2: what the server said in clear is forgotten; the
    // greeting is repeated over TLS.
    extensions.clear();
    dialogueState = AwaitGreeting;
    handleReply(QLatin1Char('2'));
}

void QxSmtpMailSenderPrivate::send(const QByteArray &command)
{
    socket->write(command);
    // The wait for the answer starts now.
    restartTimer();
    socket->flush();
}

qint64 QxSmtpMailSenderPrivate::bytesQueued() const
{
    auto *sslSocket = qobject_cast<QSslSocket *>(socket);
    return socket->bytesToWrite()
            + (sslSocket && sslSocket->isEncrypted() ? sslSocket->encryptedBytesToWrite() : 0);
}

// Writes the next chunks of the message while the socket holds less than one
// chunk; the rest follows on bytesWritten().
void QxSmtpMailSenderPrivate::writeMessage()
{
    // A slot connected to progress() may run the event loop, which drains
    // the socket again.
    if (!messageStream || messageWritten || writingMessage)
        return;
    writingMessage = true;
    const qint64 sentBefore = messageSent;
    while (!messageStream->atEnd() && bytesQueued() < QxSmtpMessageStream::chunkChars) {
        const QByteArray chunk = messageStream->next();
        if (messageStream->failed()) {
            writingMessage = false;
            // Without its end marker the server discards what it has.
            fail(QLatin1String(refusedLabel) + messageStream->errorString(), Ending::SendQuit,
                 Owner::Creator);
            return;
        }
        socket->write(chunk);
        messageSent += chunk.size();
    }
    if (messageStream->atEnd()) {
        messageWritten = true;
        messageStream.reset();
        attachments.clear();
        restartTimer();
    }
    writingMessage = false;
    if (messageSent != sentBefore)
        Q_EMIT q->progress(messageSent, messageSize);
}

// \a text with the password, the token and what the login sent replaced, so
// that a server that echoes them cannot put them into a status text.
QString QxSmtpMailSenderPrivate::withoutSecrets(QString text) const
{
    const QString hidden = QStringLiteral("[hidden]");
    // Shorter ones would hide ordinary words.
    constexpr int shortest = 4;
    for (const QString &secret : { userPassword, accessToken }) {
        if (secret.size() >= shortest)
            text.replace(secret, hidden);
    }
    for (const QByteArray &secret : sentSecrets)
        text.replace(QLatin1String(secret), hidden);
    return text;
}

// Reports a failed mail. With SendQuit the dialogue is over but the connection
// fine: QUIT ends it, and the sender waits in Closing for the server's answer
// or the end of the connection. Halfway through the message, where QUIT would
// be read as text, it closes the connection at once.
void QxSmtpMailSenderPrivate::fail(const QString &text, Ending ending, Owner deleter)
{
    outcomeReported = true;
    owner = deleter;
    if (ending == Ending::SendQuit) {
        const bool midMessage = messageStream && !messageWritten;
        dialogueState = Closing;
        if (midMessage) {
            messageStream.reset();
            socket->abort();
            finish();
        } else {
            send("QUIT\r\n");
            restartTimer();
        }
    } else if (timer) {
        timer->stop();
    }
    Q_EMIT q->status(false, withoutSecrets(text));
}

// The connection broke or fell silent: a failure, unless the outcome is out
// already, in which case nothing is left to wait for.
void QxSmtpMailSenderPrivate::connectionEnded(const QString &failure)
{
    if (dialogueState == Closing) {
        finish();
        return;
    }
    if (outcomeReported)
        return;
    // The creator deletes the sender after these failures: it closes its
    // connection now, whatever state the socket was left in.
    socket->abort();
    fail(failure, Ending::KeepConnection, Owner::Creator);
}

void QxSmtpMailSenderPrivate::finish()
{
    if (timer)
        timer->stop();
    socket->close();
    // After success or an unexpected reply the sender goes by itself; after
    // any other failure its creator deletes it, and it must still be there.
    if (owner == Owner::Sender)
        q->deleteLater();
}

void QxSmtpMailSenderPrivate::socketError()
{
    // A server that drops the connection instead of answering STARTTLS, or
    // during the handshake, fails the TLS step.
    const bool tlsStep = dialogueState == AwaitStartTlsReply || dialogueState == AwaitHandshake;
    const QLatin1String label(isTlsError(socket->error()) || tlsStep ? tlsErrorLabel
                                                                     : "Socket Error : ");
    connectionEnded(label + socket->errorString());
}

void QxSmtpMailSenderPrivate::timedOut()
{
    connectionEnded(
            QStringLiteral("Timeout : no reply from smtp server within %1 ms").arg(timeoutMsecs));
}

void QxSmtpMailSenderPrivate::restartTimer()
{
    // RFC 5321, 4.5.3.2.6: the reply to the end of the message gets 10 minutes,
    // as the server may be delivering it already.
    constexpr int messageReplyMsecs = 10 * 60 * 1000;
    if (!timer || timeoutMsecs <= 0 || !listening())
        return;
    const bool awaitingMessageReply
            = dialogueState == AwaitMessageReply && messageWritten && !outcomeReported;
    timer->start(awaitingMessageReply ? qMax(timeoutMsecs, messageReplyMsecs) : timeoutMsecs);
}

// Whether the dialogue is under way: started, and either no outcome reported yet
// or waiting in Closing for the connection to end.
bool QxSmtpMailSenderPrivate::listening() const
{
    return mailStarted && (!outcomeReported || dialogueState == Closing);
}

bool QxSmtpMailSenderPrivate::usesExtendedHello() const
{
    return securityMode != QxSmtpMailSender::NoSecurity || !userName.isEmpty();
}
