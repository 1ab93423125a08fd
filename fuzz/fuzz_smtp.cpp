// Fuzzes QxSmtpMailSender's reply handling: a loopback server plays back
// arbitrary bytes in arbitrary fragments, the event loop running between them
// so that each fragment reaches the sender's readyRead() on its own.
//
// Input: fragments, each one length byte n followed by up to n bytes.
// Whatever the server says, the sender must stay within the dialogue: what it
// writes is a prefix of the one correct client transcript, or after a failure
// such a prefix up to a whole command and then QUIT; it reports exactly
// one outcome, success only once the server has taken DATA, every failure
// text carries one of its labels, and nothing it allocated outlives it.

#include <lumo/QxSmtpMailSender.h>

#include <QCoreApplication>
#include <QPointer>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const QByteArray &what)
{
    std::fprintf(stderr, "fuzz_smtp: %s\n", what.constData());
    std::abort();
}

QTcpServer &server()
{
    static int argc = 1;
    static char name[] = "fuzz_smtp";
    static char *argv[] = { name, nullptr };
    static QCoreApplication application(argc, argv);
    static QTcpServer listener;
    if (!listener.isListening() && !listener.listen(QHostAddress::LocalHost))
        fail("cannot listen on loopback");
    return listener;
}

// Lets both ends of the loopback connection act on what the other wrote.
void exchange()
{
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents(QEventLoop::AllEvents);
}

const QByteArray expectedTranscript = "HELO there\r\n"
                                      "MAIL FROM:<from@example.com>\r\n"
                                      "RCPT TO:<to@example.com>\r\n"
                                      "DATA\r\n"
                                      "To: to@example.com\r\n"
                                      "From: from@example.com\r\n"
                                      "Subject: fuzz\r\n"
                                      "Date: *\r\n"
                                      "Message-ID: *\r\n"
                                      "\r\n"
                                      "a\r\n"
                                      "..\r\n"
                                      "b"
                                      "\r\n.\r\n"
                                      "QUIT\r\n";

// The Date and Message-ID fields differ in every mail.
QByteArray masked(const QByteArray &data)
{
    static const QRegularExpression fields(
            QStringLiteral("(?<=\r\n)(Date|Message-ID): [^\r\n]*(?=\r\n)"));
    return QString::fromLatin1(data).replace(fields, QStringLiteral("\\1: *")).toLatin1();
}

// Whether \a transcript is the start of the dialogue, possibly ended by QUIT
// after a whole command when \a failed.
bool withinDialogue(const QByteArray &transcript, bool failed)
{
    if (expectedTranscript.startsWith(transcript))
        return true;
    const QByteArray quit = "QUIT\r\n";
    if (!failed || !transcript.endsWith(quit))
        return false;
    const QByteArray before = transcript.left(transcript.size() - quit.size());
    return expectedTranscript.startsWith(before) && (before.isEmpty() || before.endsWith("\r\n"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QTcpServer &listener = server();
    QPointer<QxSmtpMailSender> sender = new QxSmtpMailSender("127.0.0.1", listener.serverPort());
    int successes = 0;
    QStringList failures;
    QObject::connect(sender, &QxSmtpMailSender::status, [&](bool success, const QString &error) {
        if (success) {
            ++successes;
            if (!error.isNull())
                fail("success reported with a text");
        } else {
            failures << error;
        }
    });
    sender->sendMail("from@example.com", "to@example.com", "fuzz", "a\n.\nb");

    if (!listener.waitForNewConnection(5000))
        fail("the sender did not connect");
    QTcpSocket *peer = listener.nextPendingConnection();
    // Each fragment leaves at once: with Nagle's algorithm a small segment
    // would wait for the sender's delayed acknowledgement of the previous one.
    peer->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    QByteArray transcript;
    exchange();

    for (std::size_t at = 0; at < size;) {
        const std::size_t length = std::min<std::size_t>(data[at], size - at - 1);
        peer->write(reinterpret_cast<const char *>(data + at + 1), qint64(length));
        peer->flush();
        at += 1 + length;
        exchange();
        transcript += peer->readAll();
    }
    transcript = masked(transcript + peer->readAll());
    peer->close();
    exchange();
    delete peer;

    // A sender that has not closed its dialogue is its creator's to dispose of.
    delete sender.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    if (!withinDialogue(transcript, !failures.isEmpty()))
        fail("the sender wrote outside the dialogue: " + transcript.toPercentEncoding(" "));
    if (successes + failures.size() != 1)
        fail(QByteArray::number(successes + failures.size())
             + " outcomes reported: " + failures.join(" | ").toUtf8());
    // Success needs the server's '3' to DATA and a '2' after it. What follows
    // DATA may be cut short when the server answers before it has read the
    // message: the next reply then closes the connection, and the sender goes
    // with whatever it had not written yet.
    const QByteArray throughData
            = expectedTranscript.left(expectedTranscript.indexOf("DATA\r\n") + 6);
    if (successes == 1 && !transcript.startsWith(throughData))
        fail("success reported without the whole dialogue: " + transcript.toPercentEncoding(" "));
    for (const QString &failure : qAsConst(failures)) {
        if (!failure.startsWith("Unexpected reply from smtp server : ")
            && !failure.startsWith("Socket Error : "))
            fail("failure text without its label: " + failure.toUtf8());
    }
    return 0;
}
