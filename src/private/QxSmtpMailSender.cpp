#include "QxSmtpMailSender.h"

#include <QDateTime>
#include <QHostInfo>
#include <QRandomGenerator>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QStringList>
#include <QStringView>
#include <QTcpSocket>
#include <QTimer>

#include <cstring>

namespace {

constexpr char refusedLabel[] = "Refused : ";
constexpr char tlsErrorLabel[] = "TLS Error : ";

// RFC 5322, 2.1.1, without the CR LF.
constexpr int maxLineOctets = 998;
// Characters converted per chunk: with the socket holding at most one chunk
// besides the one being written, memory stays at a few hundred kB per mail.
constexpr int chunkChars = 64 * 1024;

bool isAscii(QStringView text)
{
    // A plain reduction, so that the compiler vectorises it.
    ushort bits = 0;
    for (const QChar c : text)
        bits |= c.unicode();
    return bits < 0x80;
}

bool holdsLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

int utf8Length(QStringView text)
{
    int octets = 0;
    for (const QChar c : text) {
        const ushort unit = c.unicode();
        // A surrogate pair is four octets, two for each half.
        octets += unit < 0x80 ? 1 : unit < 0x800 || c.isSurrogate() ? 2 : 3;
    }
    return octets;
}

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

// RFC 2047 "B" encoded words. 42 bytes of UTF-8 become 56 base64 characters, so
// "Subject: " and the first word stay within 78 characters; a chunk never ends
// inside a UTF-8 sequence, as each word must decode on its own. The words are
// folded onto continuation lines, whose leading space the decoder drops.
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

QByteArray newMessageId(const QString &sender)
{
    const quint64 random = QRandomGenerator::global()->generate64();
    return '<' + QByteArray::number(QDateTime::currentMSecsSinceEpoch(), 36) + '.'
            + QByteArray::number(random, 36) + '@' + domainOf(sender) + '>';
}

// RFC 5322 date-time in local time with its numeric offset, in English
// whatever the locale.
QByteArray currentDate()
{
    return QDateTime::currentDateTime().toString(Qt::RFC2822Date).toLatin1();
}

QByteArray envelopeAddress(const QString &address)
{
    if (address.startsWith(QLatin1Char('<')) && address.endsWith(QLatin1Char('>')))
        return address.toUtf8();
    return '<' + address.toUtf8() + '>';
}

// RFC 5321, 4.1.3: the client's own address as the EHLO argument, as it has no
// name of its own that the server could check.
QByteArray addressLiteral(const QHostAddress &address)
{
    const bool v6 = address.protocol() == QAbstractSocket::IPv6Protocol;
    return (v6 ? "[IPv6:" : "[") + address.toString().toLatin1() + ']';
}

QString refusal(const QString &sender, const QString &recipient, const QString &subject,
                bool loginInClear)
{
    if (sender.isEmpty())
        return QStringLiteral("the sender address is empty");
    if (recipient.isEmpty())
        return QStringLiteral("the recipient address is empty");
    if (holdsLineBreak(sender))
        return QStringLiteral("the sender address holds a line break");
    if (holdsLineBreak(recipient))
        return QStringLiteral("the recipient address holds a line break");
    if (holdsLineBreak(subject))
        return QStringLiteral("the subject holds a line break");
    if (loginInClear)
        return QStringLiteral("a login needs StartTls or ImplicitTls");
    return QString();
}

bool isTlsError(QAbstractSocket::SocketError error)
{
    return error == QAbstractSocket::SslHandshakeFailedError
            || error == QAbstractSocket::SslInternalError
            || error == QAbstractSocket::SslInvalidUserDataError;
}

} // namespace

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
    QxSmtpMessageStream(const QByteArray &header, const QString &text, bool encode)
        : pending(header)
        , body(text)
        , quotedPrintable(encode)
    {
    }

    bool atEnd() const { return ended; }

    QByteArray next()
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
                    appendQuotedPrintable(out, p, runEnd);
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

private:
    bool atLineStart(const QByteArray &out) const
    {
        return out.isEmpty() ? lineEndLast : out.endsWith("\r\n");
    }

    // RFC 2045, 6.7: printable characters but "=" as they are, everything else
    // (spaces too, which is always allowed) as "=XX", lines of at most 76
    // characters joined by soft line breaks.
    void appendQuotedPrintable(QByteArray &out, const char *p, const char *end)
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

QxSmtpMailSender::QxSmtpMailSender(const QString &host, int serverPort)
    : QObject(nullptr)
    , socket(new QTcpSocket(this))
    , hostName(host)
    , port(serverPort)
{
    connectSocket();
}

QxSmtpMailSender::~QxSmtpMailSender()
{
    // Tearing down a live connection emits the socket's signals: they must not
    // reach a sender that is going away.
    socket->disconnect(this);
    delete socket;
}

void QxSmtpMailSender::connectSocket()
{
    connect(socket, SIGNAL(readyRead()), this, SLOT(readyRead()));
    // The body goes out a chunk at a time, each once the socket has drained
    // the one before; any traffic also restarts the timeout.
    const auto drained = [this] {
        restartTimer();
        writeMessage();
    };
    connect(socket, &QTcpSocket::bytesWritten, this, drained);
    if (auto *sslSocket = qobject_cast<QSslSocket *>(socket)) {
        connect(sslSocket, &QSslSocket::encryptedBytesWritten, this, drained);
        connect(sslSocket, &QSslSocket::encrypted, this, [this] { encrypted(); });
    }
}

void QxSmtpMailSender::sendMail(const QString &sender, const QString &recipient,
                                const QString &subject, const QString &body)
{
    const QString refused = mailStarted
            ? QStringLiteral("sendMail may be called only once per sender")
            : refusal(sender, recipient, subject,
                      !userName.isEmpty() && securityMode == NoSecurity);
    if (!refused.isEmpty()) {
        if (!mailStarted) {
            mailStarted = true;
            outcomeReported = true;
        }
        const QString text = QLatin1String(refusedLabel) + refused;
        QMetaObject::invokeMethod(
                this, [this, text] { Q_EMIT status(false, text); }, Qt::QueuedConnection);
        return;
    }
    mailStarted = true;

    // The message is made when the server asks for it: nothing here looks at
    // the body, so that this returns at once for any size.
    subjectText = subject;
    bodyText = body;
    senderAddress = sender;
    recipientAddress = recipient;
    dialogueState = AwaitGreeting;
    connect(socket, SIGNAL(errorOccurred(QAbstractSocket::SocketError)), this, SLOT(error()));

    restartTimer();
    // Last: some failures are reported from within connectToHost() itself.
    if (auto *sslSocket = qobject_cast<QSslSocket *>(socket)) {
        QSslConfiguration configuration = sslSocket->sslConfiguration();
        if (!extraCaCertificates.isEmpty())
            configuration.setCaCertificates(QSslConfiguration::systemCaCertificates()
                                            + extraCaCertificates);
        sslSocket->setSslConfiguration(configuration);
        if (securityMode == ImplicitTls) {
            sslSocket->connectToHostEncrypted(hostName, quint16(port), QIODevice::ReadWrite);
            return;
        }
    }
    socket->connectToHost(hostName, quint16(port), QIODevice::ReadWrite);
}

int QxSmtpMailSender::timeout() const
{
    return timeoutMsecs;
}

void QxSmtpMailSender::setTimeout(int msecs)
{
    timeoutMsecs = qMax(0, msecs);
    if (timeoutMsecs == 0) {
        if (timer)
            timer->stop();
        return;
    }
    if (!timer) {
        timer = new QTimer(this);
        timer->setSingleShot(true);
        // A coarse timer may fire up to 5 % early.
        timer->setTimerType(Qt::PreciseTimer);
        // A lambda keeps the meta-object to the signal and slots callers know.
        connect(timer, &QTimer::timeout, this, [this] { timedOut(); });
    }
    restartTimer();
}

QxSmtpMailSender::Security QxSmtpMailSender::security() const
{
    return securityMode;
}

void QxSmtpMailSender::setSecurity(Security security)
{
    if (mailStarted)
        return;
    securityMode = security;
    // The plain dialogue keeps its plain socket; TLS needs a QSslSocket from
    // the start, which still speaks in clear until STARTTLS.
    if (security != NoSecurity && !qobject_cast<QSslSocket *>(socket)) {
        delete socket;
        socket = new QSslSocket(this);
        connectSocket();
    }
}

QList<QSslCertificate> QxSmtpMailSender::caCertificates() const
{
    return extraCaCertificates;
}

void QxSmtpMailSender::setCaCertificates(const QList<QSslCertificate> &certificates)
{
    extraCaCertificates = certificates;
}

void QxSmtpMailSender::setCredentials(const QString &user, const QString &password)
{
    userName = user;
    userPassword = password;
}

void QxSmtpMailSender::readyRead()
{
    if (!listening())
        return;
    restartTimer();
    // A line without its line feed stays in the socket until the rest arrives;
    // each complete reply is acted on at its last line.
    while (socket->canReadLine()) {
        // Converted with its length: fromLatin1(QByteArray) stops at a NUL, and a
        // reply line that starts with one would leave no first character.
        const QByteArray bytes = socket->readLine();
        const QString line = QLatin1String(bytes.constData(), bytes.size());
        replyText += line;
        const bool continued = line.size() > 3 && line.at(3) == QLatin1Char('-');
        if (!continued && !handleReply(line.at(0)))
            return;
    }
}

// Acts on a complete reply whose code starts with \a code; returns whether more
// replies may be read.
bool QxSmtpMailSender::handleReply(QChar code)
{
    if (dialogueState == Closing) {
        finish();
        return false;
    }
    const bool prompt = dialogueState == AwaitDataReply || dialogueState == AwaitLoginUserPrompt
            || dialogueState == AwaitLoginPasswordPrompt;
    // Nothing may arrive while the message goes out or TLS is being set up.
    const bool unasked = dialogueState == AwaitHandshake
            || (dialogueState == AwaitMessageReply && !messageWritten);
    if (unasked || code != (prompt ? QLatin1Char('3') : QLatin1Char('2'))) {
        const QString label = dialogueState == AwaitStartTlsReply
                ? QLatin1String(tlsErrorLabel)
                : QStringLiteral("Unexpected reply from smtp server : ");
        fail(label + replyText, Ending::SendQuit);
        replyText.clear();
        return true;
    }
    if (dialogueState == AwaitHeloReply && usesExtendedHello()) {
        // Keywords of the EHLO reply, one a line after the code.
        extensions.clear();
        for (const QString &line : replyText.split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            extensions << line.mid(4).trimmed().toUpper();
    }
    replyText.clear();
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
        send(userPassword.toUtf8().toBase64() + "\r\n");
        dialogueState = AwaitAuthReply;
        break;
    case AwaitAuthReply:
        startMail();
        break;
    case AwaitMailFromReply:
        send("RCPT TO:" + envelopeAddress(recipientAddress) + "\r\n");
        dialogueState = AwaitRcptToReply;
        break;
    case AwaitRcptToReply:
        send("DATA\r\n");
        dialogueState = AwaitDataReply;
        break;
    case AwaitDataReply: {
        const bool ascii = isAscii(bodyText);
        const bool quotedPrintable = hasLongLine(bodyText, ascii);
        const bool asciiSubject = isAscii(subjectText);
        // Made when the message goes out, which is also what its Date tells.
        const QByteArray dateField = currentDate();
        const QByteArray messageId = newMessageId(senderAddress);
        QByteArray header = "To: " + recipientAddress.toUtf8()
                + "\r\nFrom: " + senderAddress.toUtf8() + "\r\nSubject: "
                + (asciiSubject ? subjectText.toLatin1() : encodedWords(subjectText))
                + "\r\nDate: " + dateField + "\r\nMessage-ID: " + messageId + "\r\n";
        if (!asciiSubject || !ascii || quotedPrintable) {
            header += "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n"
                      "Content-Transfer-Encoding: ";
            header += quotedPrintable ? "quoted-printable\r\n" : "8bit\r\n";
        }
        header += "\r\n";
        messageStream.reset(new QxSmtpMessageStream(header, bodyText, quotedPrintable));
        bodyText.clear();
        dialogueState = AwaitMessageReply;
        writeMessage();
        break;
    }
    case AwaitMessageReply:
        send("QUIT\r\n");
        dialogueState = Closing;
        outcomeReported = true;
        restartTimer();
        Q_EMIT status(true, QString());
        break;
    case AwaitHandshake:
    case Closing:
        break;
    }
    return true;
}

// After the (E)HLO reply: TLS first if asked for and not yet on, then the
// login, then the mail.
void QxSmtpMailSender::afterGreeting()
{
    auto *sslSocket = qobject_cast<QSslSocket *>(socket);
    if (securityMode == StartTls && !sslSocket->isEncrypted()) {
        if (!extensions.contains(QLatin1String("STARTTLS"))) {
            fail(QLatin1String(tlsErrorLabel)
                         + QStringLiteral("the server does not offer STARTTLS"),
                 Ending::SendQuit);
            return;
        }
        send("STARTTLS\r\n");
        dialogueState = AwaitStartTlsReply;
        return;
    }
    if (!userName.isEmpty()) {
        startLogin();
        return;
    }
    startMail();
}

void QxSmtpMailSender::startLogin()
{
    QStringList mechanisms;
    for (const QString &extension : qAsConst(extensions)) {
        if (extension.startsWith(QLatin1String("AUTH "))
            || extension.startsWith(QLatin1String("AUTH=")))
            mechanisms += extension.mid(5).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
    if (mechanisms.contains(QLatin1String("PLAIN"))) {
        // RFC 4616: authorisation identity (none), user and password.
        const QByteArray response = '\0' + userName.toUtf8() + '\0' + userPassword.toUtf8();
        send("AUTH PLAIN " + response.toBase64() + "\r\n");
        dialogueState = AwaitAuthReply;
    } else if (mechanisms.contains(QLatin1String("LOGIN"))) {
        send("AUTH LOGIN\r\n");
        dialogueState = AwaitLoginUserPrompt;
    } else {
        fail(QLatin1String(refusedLabel)
                     + QStringLiteral("the server offers neither AUTH PLAIN nor AUTH LOGIN"),
             Ending::SendQuit);
    }
}

void QxSmtpMailSender::startMail()
{
    send("MAIL FROM:" + envelopeAddress(senderAddress) + "\r\n");
    dialogueState = AwaitMailFromReply;
}

void QxSmtpMailSender::encrypted()
{
    if (dialogueState != AwaitHandshake || outcomeReported)
        return;
    // RFC 3207, 4.2: what the server said in clear is forgotten; the
    // greeting is repeated over TLS.
    extensions.clear();
    dialogueState = AwaitGreeting;
    handleReply(QLatin1Char('2'));
}

void QxSmtpMailSender::send(const QByteArray &command)
{
    socket->write(command);
    socket->flush();
}

// Writes the next chunks of the message while the socket holds less than one
// chunk; the rest follows on bytesWritten().
void QxSmtpMailSender::writeMessage()
{
    if (!messageStream || messageWritten)
        return;
    auto *sslSocket = qobject_cast<QSslSocket *>(socket);
    const auto queued = [this, sslSocket] {
        return socket->bytesToWrite()
                + (sslSocket && sslSocket->isEncrypted() ? sslSocket->encryptedBytesToWrite() : 0);
    };
    while (!messageStream->atEnd() && queued() < chunkChars)
        socket->write(messageStream->next());
    if (messageStream->atEnd()) {
        messageWritten = true;
        messageStream.reset();
        restartTimer();
    }
}

// Reports a failed mail. With SendQuit the dialogue is over but the connection
// fine: QUIT ends it, and the sender waits in Closing for the server's answer
// or the end of the connection. Halfway through the message, where QUIT would
// be read as text, it closes the connection at once.
void QxSmtpMailSender::fail(const QString &text, Ending ending)
{
    outcomeReported = true;
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
    Q_EMIT status(false, text);
}

// The connection broke or fell silent: a failure, unless the outcome is out
// already, in which case nothing is left to wait for.
void QxSmtpMailSender::connectionEnded(const QString &failure, bool abort)
{
    if (dialogueState == Closing) {
        finish();
        return;
    }
    if (outcomeReported)
        return;
    if (abort)
        socket->abort();
    fail(failure, Ending::KeepConnection);
}

void QxSmtpMailSender::finish()
{
    if (timer)
        timer->stop();
    socket->close();
    deleteLater();
}

void QxSmtpMailSender::error()
{
    const QLatin1String label(isTlsError(socket->error()) ? tlsErrorLabel : "Socket Error : ");
    connectionEnded(label + socket->errorString(), false);
}

void QxSmtpMailSender::timedOut()
{
    connectionEnded(
            QStringLiteral("Timeout : no reply from smtp server within %1 ms").arg(timeoutMsecs),
            true);
}

void QxSmtpMailSender::restartTimer()
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
bool QxSmtpMailSender::listening() const
{
    return mailStarted && (!outcomeReported || dialogueState == Closing);
}

bool QxSmtpMailSender::usesExtendedHello() const
{
    return securityMode != NoSecurity || !userName.isEmpty();
}
