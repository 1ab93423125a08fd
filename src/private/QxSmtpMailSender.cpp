#include "QxSmtpMailSender.h"

#include <QStringList>
#include <QTcpSocket>
#include <QTextStream>
#include <QTimer>

namespace {

const char RefusedLabel[] = "Refused : ";

bool isAscii(const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() > 0x7f)
            return false;
    }
    return true;
}

bool holdsLineBreak(const QString &text)
{
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'));
}

// RFC 2047 "B" encoded words. 42 bytes of UTF-8 become 56 base64 characters, so
// "Subject: " and the first word stay within 78 characters; a chunk never ends
// inside a UTF-8 sequence, as each word must decode on its own. The words are
// folded onto continuation lines, whose leading space the decoder drops.
QString encodedWords(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const int chunkSize = 42;
    QStringList words;
    int start = 0;
    while (start < utf8.size()) {
        int end = qMin(start + chunkSize, utf8.size());
        while (end < utf8.size() && (uchar(utf8.at(end)) & 0xc0) == 0x80)
            --end;
        words << QLatin1String("=?UTF-8?B?")
                        + QString::fromLatin1(utf8.mid(start, end - start).toBase64())
                        + QLatin1String("?=");
        start = end;
    }
    return words.join(QLatin1String("\r\n "));
}

// Every line end (CR LF, lone CR, lone LF) becomes CR LF, so no bare CR or LF
// reaches the server, and every line that starts with a dot gets one more
// (RFC 5321, 4.5.2), so that no line can end the DATA phase early and the
// server strips exactly the dot that was added.
QString toDataText(const QString &text)
{
    QString data;
    data.reserve(text.size() + text.size() / 32 + 16);
    bool lineStart = true;
    const QChar *c = text.constData();
    const QChar *const end = c + text.size();
    for (; c != end; ++c) {
        if (*c == QLatin1Char('\r') || *c == QLatin1Char('\n')) {
            if (*c == QLatin1Char('\r') && c + 1 != end && c[1] == QLatin1Char('\n'))
                ++c;
            data += QLatin1String("\r\n");
            lineStart = true;
            continue;
        }
        if (lineStart && *c == QLatin1Char('.'))
            data += QLatin1Char('.');
        data += *c;
        lineStart = false;
    }
    return data;
}

QString refusal(const QString &sender, const QString &recipient, const QString &subject)
{
    if (sender.isEmpty())
        return QLatin1String("the sender address is empty");
    if (recipient.isEmpty())
        return QLatin1String("the recipient address is empty");
    if (holdsLineBreak(sender))
        return QLatin1String("the sender address holds a line break");
    if (holdsLineBreak(recipient))
        return QLatin1String("the recipient address holds a line break");
    if (holdsLineBreak(subject))
        return QLatin1String("the subject holds a line break");
    return QString();
}

} // namespace

QxSmtpMailSender::QxSmtpMailSender(const QString &host, int port)
    : QObject(nullptr)
    , socket(new QTcpSocket(this))
    , hostName(host)
    , port(port)
{
    connect(socket, SIGNAL(readyRead()), this, SLOT(readyRead()));
}

QxSmtpMailSender::~QxSmtpMailSender()
{
    // Tearing down a live connection emits the socket's signals: they must not
    // reach a sender that is going away.
    socket->disconnect(this);
    delete textStream;
    delete socket;
}

void QxSmtpMailSender::sendMail(const QString &sender, const QString &recipient,
                                const QString &subject, const QString &body)
{
    const QString refused = mailStarted
            ? QStringLiteral("sendMail may be called only once per sender")
            : refusal(sender, recipient, subject);
    if (!refused.isEmpty()) {
        if (!mailStarted) {
            mailStarted = true;
            outcomeReported = true;
        }
        const QString text = QLatin1String(RefusedLabel) + refused;
        QMetaObject::invokeMethod(
                this, [this, text] { Q_EMIT status(false, text); }, Qt::QueuedConnection);
        return;
    }
    mailStarted = true;

    const bool plain = isAscii(subject) && isAscii(body);
    QString message = QLatin1String("To: ") + recipient + QLatin1String("\nFrom: ") + sender
            + QLatin1String("\nSubject: ") + (isAscii(subject) ? subject : encodedWords(subject))
            + QLatin1Char('\n');
    if (!plain) {
        message += QLatin1String("MIME-Version: 1.0\n"
                                 "Content-Type: text/plain; charset=UTF-8\n"
                                 "Content-Transfer-Encoding: 8bit\n");
    }
    message += QLatin1Char('\n') + body;
    messageText = toDataText(message);
    senderAddress = sender;
    recipientAddress = recipient;
    dialogueState = AwaitGreeting;
    connect(socket, SIGNAL(errorOccurred(QAbstractSocket::SocketError)), this, SLOT(error()));

    textStream = new QTextStream(socket);
    textStream->setCodec("UTF-8");
    restartTimer();
    // Last: some failures are reported from within connectToHost() itself.
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
        // A lambda keeps the meta-object to the signal and slots callers know.
        connect(timer, &QTimer::timeout, this, [this] { timedOut(); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this] { restartTimer(); });
    }
    timer->setInterval(timeoutMsecs);
    restartTimer();
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
    const auto send = [this](const QString &command) {
        *textStream << command;
        textStream->flush();
    };
    if (dialogueState == Closing) {
        finish();
        return false;
    }
    const QChar expected = dialogueState == AwaitDataReply ? QLatin1Char('3') : QLatin1Char('2');
    if (code != expected) {
        fail(QLatin1String("Unexpected reply from smtp server : ") + replyText);
        replyText.clear();
        return true;
    }
    replyText.clear();
    switch (dialogueState) {
    case AwaitGreeting:
        send(QStringLiteral("HELO there\r\n"));
        dialogueState = AwaitHeloReply;
        break;
    case AwaitHeloReply:
        *textStream << "MAIL FROM: " << senderAddress;
        send(QStringLiteral("\r\n"));
        dialogueState = AwaitMailFromReply;
        break;
    case AwaitMailFromReply:
        *textStream << "RCPT TO: " << recipientAddress;
        send(QStringLiteral("\r\n"));
        dialogueState = AwaitRcptToReply;
        break;
    case AwaitRcptToReply:
        send(QStringLiteral("DATA\r\n"));
        dialogueState = AwaitDataReply;
        break;
    case AwaitDataReply:
        *textStream << messageText;
        send(QStringLiteral("\r\n.\r\n"));
        dialogueState = AwaitMessageReply;
        break;
    case AwaitMessageReply:
        send(QStringLiteral("QUIT\r\n"));
        dialogueState = Closing;
        outcomeReported = true;
        Q_EMIT status(true, QString());
        break;
    case Closing:
        break;
    }
    return true;
}

// Reports a failed mail; the sender then waits in Closing for the server's next
// reply or the end of the connection, and sends nothing more.
void QxSmtpMailSender::fail(const QString &text)
{
    dialogueState = Closing;
    outcomeReported = true;
    Q_EMIT status(false, text);
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
    // Once the outcome is out, the connection ending (the server dropping it
    // instead of answering QUIT, say) only means nothing is left to wait for.
    if (dialogueState == Closing) {
        finish();
        return;
    }
    if (outcomeReported)
        return;
    outcomeReported = true;
    if (timer)
        timer->stop();
    Q_EMIT status(false, QLatin1String("Socket Error : ") + socket->errorString());
}

void QxSmtpMailSender::timedOut()
{
    if (dialogueState == Closing) {
        finish();
        return;
    }
    if (outcomeReported)
        return;
    outcomeReported = true;
    socket->abort();
    Q_EMIT status(
            false,
            QStringLiteral("Timeout : no reply from smtp server within %1 ms").arg(timeoutMsecs));
}

void QxSmtpMailSender::restartTimer()
{
    if (timer && timeoutMsecs > 0 && listening())
        timer->start();
}

// Whether the dialogue is under way: started, and either no outcome reported yet
// or waiting in Closing for the connection to end.
bool QxSmtpMailSender::listening() const
{
    return mailStarted && (!outcomeReported || dialogueState == Closing);
}
