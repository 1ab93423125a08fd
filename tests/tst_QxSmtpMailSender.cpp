#include <lumo/QxSmtpMailSender.h>

#include "smtpserverprocess.h"

#include <QtNetwork>
#include <QtTest>

#include <memory>

#include <unistd.h>

Q_DECLARE_METATYPE(QxSmtpMailSender::Security)

namespace {

const QString fromAddress = QStringLiteral("from@x.org");
const QString toAddress = QStringLiteral("to@y.org");
const QString mailSubject = QStringLiteral("Hello");
const QString mailBody = QStringLiteral("Body");

// Script entries: "<" bytes the client must send next, ">" bytes the server
// sends (consecutive ones reach the client in separate reads), "#" the server
// drops the connection, "~" and a number: the server pauses that many ms.
const QByteArray heloCommand = "<HELO there\r\n";
const QByteArray mailFromCommand = "<MAIL FROM:<from@x.org>\r\n";
const QByteArray rcptToCommand = "<RCPT TO:<to@y.org>\r\n";
const QByteArray dataCommand = "<DATA\r\n";
const QByteArray sentMessage
        = "<To: to@y.org\r\nFrom: from@x.org\r\nSubject: Hello\r\nDate: *\r\nMessage-ID: *\r\n"
          "\r\nBody\r\n.\r\n";
const QByteArray quitCommand = "<QUIT\r\n";
const QByteArray drop = "#";

const QByteArrayList fullDialogue = { ">220 mail.y.org ready\r\n",
                                      heloCommand,
                                      ">250 mail.y.org\r\n",
                                      mailFromCommand,
                                      ">250 OK\r\n",
                                      rcptToCommand,
                                      ">250 OK\r\n",
                                      dataCommand,
                                      ">354 go ahead\r\n",
                                      sentMessage,
                                      ">250 queued\r\n",
                                      quitCommand,
                                      ">221 bye\r\n" };

// The dialogue up to and including the client's \a commands th command.
QByteArrayList upToCommand(int commands)
{
    return fullDialogue.mid(0, 2 * commands);
}

QString unexpected(const QString &reply)
{
    return QStringLiteral("Unexpected reply from smtp server : ") + reply;
}

const QString remoteClosed = QStringLiteral("Socket Error : The remote host closed the connection");

// RFC 2045 quoted-printable decoding, with the line ends the maildir keeps.
QByteArray fromQuotedPrintable(QByteArray text)
{
    text.replace("=\n", "");
    QByteArray decoded;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == '=' && i + 2 < text.size()) {
            decoded += QByteArray::fromHex(text.mid(i + 1, 2));
            i += 2;
        } else {
            decoded += text.at(i);
        }
    }
    return decoded;
}

} // namespace

// The ownership rule, by the status label: after an unexpected reply the
// sender deletes itself; after every other failure it closes its connection
// and stays alive (a second of event loop later still) for its creator to
// delete, which never touches freed memory.
void checkOwnership(QPointer<QxSmtpMailSender> &sender, const QString &error)
{
    if (error.startsWith(QLatin1String("Unexpected reply from smtp server : "))) {
        QTRY_VERIFY(sender.isNull());
        return;
    }
    QTest::qWait(2000);
    QVERIFY(!sender.isNull());
    const QList<QAbstractSocket *> sockets = sender->findChildren<QAbstractSocket *>();
    for (const QAbstractSocket *socket : sockets)
        QCOMPARE(socket->state(), QAbstractSocket::UnconnectedState);
    delete sender;
}

// The command line of smtp_server.py for a mode, a certificate name and
// the mode's further words.
QStringList tlsServer(const QStringList &arguments)
{
    return QStringList { QStringLiteral("--mode"), arguments.value(0), QStringLiteral("--name"),
                         arguments.value(1) }
    + arguments.mid(2);
}

// A sender to the TLS server of process, which it reaches as "localhost", the
// name of the server's certificate, and trusts.
QxSmtpMailSender *trustingSender(const SmtpServerProcess &process,
                                 QxSmtpMailSender::Security security)
{
    auto *sender = new QxSmtpMailSender(QStringLiteral("localhost"), process.port());
    sender->setSecurity(security);
    sender->setCaCertificates(QSslCertificate::fromData(process.file(QStringLiteral("cert.pem"))));
    return sender;
}

class tst_QxSmtpMailSender : public QObject
{
    Q_OBJECT

private slots:
    void interface();
    void dialogue_data();
    void dialogue();
    void envelope_data();
    void envelope();
    void messageInChunks();
    void refusedInput_data();
    void refusedInput();
    void secondSendMailRefused();
    void connectionRefused();
    void realServer_data();
    void realServer();
    void multilineServer();
    void secure_data();
    void secure();
    void extensions_data();
    void extensions();
    void credentialsWithNulRefused();
    void startTlsAnsweredByClosing();
    void subjectFolded_data();
    void subjectFolded();
    void replyWithALineTooManyOverTls_data();
    void replyWithALineTooManyOverTls();
    void openSmtpd_data();
    void openSmtpd();
    void cleanupTestCase();

private:
    std::unique_ptr<SmtpServerProcess> cliServer;
    std::unique_ptr<OpenSmtpdProcess> openSmtpdServer;
    int mailCount = 0;
    QStringList messageIds;
};

void tst_QxSmtpMailSender::interface()
{
    const QMetaObject &meta = QxSmtpMailSender::staticMetaObject;
    QCOMPARE(meta.className(), "QxSmtpMailSender");
    QCOMPARE(meta.methodCount() - meta.methodOffset(), 4);
    const QMetaMethod status = meta.method(meta.indexOfSignal("status(bool,QString)"));
    QVERIFY(status.isValid());
    QCOMPARE(status.parameterNames(), QList<QByteArray>({ "success", "error" }));
    const QMetaMethod progress = meta.method(meta.indexOfSignal("progress(qint64,qint64)"));
    QVERIFY(progress.isValid());
    QCOMPARE(progress.parameterNames(), QList<QByteArray>({ "sent", "total" }));
    for (const char *slot : { "readyRead()", "error()" }) {
        const QMetaMethod method = meta.method(meta.indexOfSlot(slot));
        QVERIFY2(method.isValid(), slot);
        QCOMPARE(method.access(), QMetaMethod::Private);
    }

    QxSmtpMailSender sender(QStringLiteral("127.0.0.1"), 25);
    QCOMPARE(sender.parent(), nullptr);
    QCOMPARE(sender.timeout(), 0);
    sender.setTimeout(-5);
    QCOMPARE(sender.timeout(), 0);
    sender.setTimeout(1500);
    QCOMPARE(sender.timeout(), 1500);
    // A coarse timer fires up to 5 % early.
    QCOMPARE(sender.findChild<QTimer *>()->timerType(), Qt::PreciseTimer);
    QCOMPARE(sender.security(), QxSmtpMailSender::NoSecurity);
}

void tst_QxSmtpMailSender::dialogue_data()
{
    QTest::addColumn<QByteArrayList>("script");
    QTest::addColumn<int>("timeout");
    QTest::addColumn<bool>("success");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("selfDeletes");
    QTest::addColumn<bool>("closes");

    QTest::newRow("whole dialogue") << fullDialogue << 0 << true << QString() << true << true;
    QTest::newRow("replies in fragments") << QByteArrayList(
            { ">2",        ">20 mail.y",  ">.org ready\r", ">\n",         heloCommand,
              ">250",      "> ok\r\n",    mailFromCommand, ">25",         ">0-more\r\n25",
              ">0 ok\r\n", rcptToCommand, ">250 ok\r",     ">\n",         dataCommand,
              ">3",        ">54 go\r\n",  sentMessage,     ">250 queued", ">\r\n",
              quitCommand, ">22",         ">1 bye\r\n" })
                                          << 0 << true << QString() << true << true;
    QTest::newRow("multi-line replies, one line per read")
            << QByteArrayList({ ">220-mail.y.org\r\n", ">220-says hello\r\n", ">220 ready\r\n",
                                heloCommand,           ">250-mail.y.org\r\n", ">250-PIPELINING\r\n",
                                ">250 8BITMIME\r\n",   mailFromCommand,       ">250-sender\r\n",
                                ">250 ok\r\n",         rcptToCommand,         ">250-recipient\r\n",
                                ">250 ok\r\n",         dataCommand,           ">354-go\r\n",
                                ">354 on\r\n",         sentMessage,           ">250-queued\r\n",
                                ">250 as 12\r\n",      quitCommand,           ">221-bye\r\n",
                                ">221 now\r\n" })
            << 0 << true << QString() << true << true;
    QTest::newRow("multi-line replies in one read")
            << QByteArrayList({ ">220-mail.y.org\r\n220 ready\r\n", heloCommand,
                                ">250-a\r\n250-b\r\n250 c\r\n" })
                    + fullDialogue.mid(3)
            << 0 << true << QString() << true << true;
    QTest::newRow("bare codes and lone line feeds") << QByteArrayList(
            { ">220\n", heloCommand, ">250\n", mailFromCommand, ">250\r\n", rcptToCommand,
              ">250\r\n", dataCommand, ">354\r\n", sentMessage, ">250\n", quitCommand, ">221\n" })
                                                    << 0 << true << QString() << true << true;

    QTest::newRow("greeting refused")
            << QByteArrayList({ ">554 go away\r\n", quitCommand, ">221 bye\r\n" }) << 0 << false
            << unexpected("554 go away\r\n") << true << true;
    QTest::newRow("empty greeting line") << QByteArrayList({ ">\r\n", quitCommand, drop }) << 0
                                         << false << unexpected("\r\n") << true << true;
    QTest::newRow("HELO refused") << upToCommand(1)
                    + QByteArrayList({ ">501 bad\r\n", quitCommand, drop })
                                  << 0 << false << unexpected("501 bad\r\n") << true << true;
    QTest::newRow("MAIL FROM refused")
            << upToCommand(2)
                    + QByteArrayList({ ">550 unknown sender\r\n", quitCommand, ">421 closing\r\n" })
            << 0 << false << unexpected("550 unknown sender\r\n") << true << true;
    QTest::newRow("RCPT TO refused over several reads")
            << upToCommand(3)
                    + QByteArrayList(
                            { ">550-no such", "> user\r\n", ">550 sorry\r\n", quitCommand, drop })
            << 0 << false << unexpected("550-no such user\r\n550 sorry\r\n") << true << true;
    QTest::newRow("DATA answered as if done")
            << upToCommand(4) + QByteArrayList({ ">250 odd\r\n", quitCommand, drop }) << 0 << false
            << unexpected("250 odd\r\n") << true << true;
    QTest::newRow("message refused")
            << upToCommand(5) + QByteArrayList({ ">552 too big\r\n", quitCommand, drop }) << 0
            << false << unexpected("552 too big\r\n") << true << true;

    QTest::newRow("dropped before the greeting")
            << QByteArrayList({ drop }) << 0 << false << remoteClosed << false << true;
    QTest::newRow("dropped after HELO") << upToCommand(1) + QByteArrayList({ drop }) << 0 << false
                                        << remoteClosed << false << true;
    QTest::newRow("dropped within a reply") << upToCommand(2) + QByteArrayList({ ">25", drop }) << 0
                                            << false << remoteClosed << false << true;
    QTest::newRow("dropped after the message") << upToCommand(5) + QByteArrayList({ drop }) << 0
                                               << false << remoteClosed << false << true;
    QTest::newRow("dropped instead of answering QUIT")
            << upToCommand(6) + QByteArrayList({ drop }) << 0 << true << QString() << true << true;
    QTest::newRow("silent after QUIT")
            << upToCommand(6) << 0 << true << QString() << false << false;

    // Replies the sender did not ask for, codes that are not three digits, and
    // replies too long to hold.
    // clang-format off
    QTest::newRow("a line after the greeting's last line") << QByteArrayList({ ">220 h1\r\n250 extra\r\n", quitCommand, drop }) << 0 << false << unexpected("250 extra\r\n") << true << true;
    QTest::newRow("HELO reply with a line too many") << upToCommand(1) + QByteArrayList({ ">250 h1\r\n250-8BITMIME\r\n250 SIZE 100000\r\n", quitCommand, drop }) << 0 << false << unexpected("250-8BITMIME\r\n250 SIZE 100000\r\n") << true << true;
    QTest::newRow("354 and 250 in one segment") << upToCommand(4) + QByteArrayList({ ">354 go\r\n250 ok\r\n", quitCommand, drop }) << 0 << false << unexpected("250 ok\r\n") << true << true;
    QTest::newRow("a reply of one digit") << upToCommand(5) + QByteArrayList({ ">2\r\n", quitCommand, drop }) << 0 << false << unexpected("2\r\n") << true << true;
    QTest::newRow("a reply code of letters") << QByteArrayList({ ">2xx ok\r\n", quitCommand, drop }) << 0 << false << unexpected("2xx ok\r\n") << true << true;
    QTest::newRow("a line without end beyond 4096 octets") << QByteArrayList({ ">220 " + QByteArray(5000, 'x'), quitCommand, drop }) << 0 << false << unexpected("a reply line longer than 4096 octets") << true << true;
    QTest::newRow("a reply beyond 64 KiB") << QByteArrayList({ ">" + QByteArray("220-xxxxxxxxxxxxxxxx\r\n").repeated(4000), quitCommand, drop }) << 0 << false << unexpected("a reply longer than 65536 octets") << true << true;
    QTest::newRow("control characters shown escaped") << QByteArrayList({ ">554 \x1b[31mno\a\r\n", quitCommand, drop }) << 0 << false << unexpected("554 \\x1b[31mno\\x07\r\n") << true << true;
    QTest::newRow("UTF-8 reply text") << QByteArrayList({ QByteArray(">554 ") + QStringLiteral("Grüße").toUtf8() + "\r\n", quitCommand, drop }) << 0 << false << unexpected(QStringLiteral("554 Grüße\r\n")) << true << true;
    QTest::newRow("Latin-1 reply text") << QByteArrayList({ ">554 Gr\xfc\xdf" "e\r\n", quitCommand, drop }) << 0 << false << unexpected(QStringLiteral("554 Grüße\r\n")) << true << true;
    // A server that drips a byte at a time cannot hold the dialogue open
    // beyond the timeout: it counts from the moment the sender waits.
    QTest::newRow("dripping greeting with a timeout") << QByteArrayList({ ">2", "~150", ">2", "~150", ">0", "~150", ">-", "~150", ">x", "~150", ">y", "~150", ">\r\n" }) << 300 << false << QStringLiteral("Timeout : no reply from smtp server within 300 ms") << false << true;
    // clang-format on
    QTest::newRow("silent server with a timeout")
            << QByteArrayList() << 100 << false
            << QStringLiteral("Timeout : no reply from smtp server within 100 ms") << false << true;
    // The answer to the end of the message gets 10 minutes whatever the limit:
    // a mail reported as failed there may still be delivered.
    QTest::newRow("slow answer to the message with a timeout")
            << upToCommand(5)
                    + QByteArrayList({ "~300", ">250 queued\r\n", quitCommand, ">221 bye\r\n" })
            << 50 << true << QString() << true << true;
    QTest::newRow("silent after QUIT with a timeout")
            << upToCommand(6) << 100 << true << QString() << true << true;
    QTest::newRow("silent after a refusal with a timeout")
            << QByteArrayList({ ">554 no\r\n", quitCommand }) << 100 << false
            << unexpected("554 no\r\n") << true << true;
}

void tst_QxSmtpMailSender::dialogue()
{
    QFETCH(QByteArrayList, script);
    QFETCH(int, timeout);
    QFETCH(bool, success);
    QFETCH(QString, error);
    QFETCH(bool, selfDeletes);
    QFETCH(bool, closes);

    ScriptedServer server(script);
    QPointer<QxSmtpMailSender> sender
            = new QxSmtpMailSender(QStringLiteral("127.0.0.1"), server.port());
    QSignalSpy spy(sender.data(), &QxSmtpMailSender::status);
    // Success is reported once QUIT is written, before the server can answer it.
    bool scriptDoneAtStatus = false;
    connect(sender, &QxSmtpMailSender::status, this,
            [&] { scriptDoneAtStatus = server.scriptDone(); });
    server.watch(sender);
    sender->setTimeout(timeout);
    sender->sendMail(fromAddress, toAddress, mailSubject, mailBody);

    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), success);
    QCOMPARE(spy.at(0).at(1).toString(), error);
    QCOMPARE(spy.at(0).at(1).toString().isNull(), success);
    if (success)
        QVERIFY(!scriptDoneAtStatus);
    QTRY_VERIFY(server.scriptDone());
    if (closes)
        QTRY_VERIFY(server.closed());
    if (selfDeletes)
        QTRY_VERIFY(sender.isNull());
    QCOMPARE(server.received(), server.expectedFromClient());
    QCOMPARE(spy.count(), 1);
    QCOMPARE(server.connections(), 1);
    if (!selfDeletes) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(sender);
        delete sender;
    }
}

void tst_QxSmtpMailSender::envelope_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QByteArray>("mailFrom");
    QTest::addColumn<QByteArray>("rcptTo");

    // clang-format off
    QTest::newRow("brackets added") << fromAddress << toAddress << QByteArray("MAIL FROM:<from@x.org>\r\n") << QByteArray("RCPT TO:<to@y.org>\r\n");
    QTest::newRow("brackets kept, not doubled") << "<from@x.org>" << "<to@y.org>" << QByteArray("MAIL FROM:<from@x.org>\r\n") << QByteArray("RCPT TO:<to@y.org>\r\n");
    QTest::newRow("non-ASCII in UTF-8") << QStringLiteral("jörg@x.org") << toAddress << QStringLiteral("MAIL FROM:<jörg@x.org>\r\n").toUtf8() << QByteArray("RCPT TO:<to@y.org>\r\n");
    // clang-format on
}

void tst_QxSmtpMailSender::envelope()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QByteArray, mailFrom);
    QFETCH(QByteArray, rcptTo);

    ScriptedServer server({ ">220 hi\r\n", heloCommand, ">250 ok\r\n", "<" + mailFrom,
                            ">250 ok\r\n", "<" + rcptTo, ">550 no\r\n", quitCommand,
                            ">221 bye\r\n" });
    QPointer<QxSmtpMailSender> sender
            = new QxSmtpMailSender(QStringLiteral("127.0.0.1"), server.port());
    sender->sendMail(from, to, mailSubject, mailBody);
    QTRY_VERIFY(sender.isNull());
    QCOMPARE(server.received(), server.expectedFromClient());
}

// The body goes out in chunks as the socket drains: the socket never holds
// more than a few of them, however long the mail.
void tst_QxSmtpMailSender::messageInChunks()
{
    const QString body = QString(80, QLatin1Char('x')).append(QLatin1Char('\n')).repeated(100000);
    QByteArray data = "<To: to@y.org\r\nFrom: from@x.org\r\nSubject: Hello\r\nDate: *\r\n"
                      "Message-ID: *\r\n\r\n";
    data += QByteArray(80, 'x').append("\r\n").repeated(100000) + ".\r\n";
    ScriptedServer server(upToCommand(4) + QByteArrayList({ ">354 go\r\n", data })
                          + fullDialogue.mid(10));
    QPointer<QxSmtpMailSender> sender
            = new QxSmtpMailSender(QStringLiteral("127.0.0.1"), server.port());
    QSignalSpy spy(sender.data(), &QxSmtpMailSender::status);
    auto *socket = sender->findChild<QTcpSocket *>();
    qint64 mostQueued = 0;
    connect(socket, &QTcpSocket::bytesWritten, this,
            [&] { mostQueued = qMax(mostQueued, socket->bytesToWrite()); });
    sender->sendMail(fromAddress, toAddress, mailSubject, body);
    QTRY_VERIFY_WITH_TIMEOUT(sender.isNull(), 60000);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0), QVariantList({ true, QString() }));
    QCOMPARE(server.received(), server.expectedFromClient());
    QVERIFY2(mostQueued < 512 * 1024, QByteArray::number(mostQueued));
}

void tst_QxSmtpMailSender::refusedInput_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("error");

    QTest::newRow("empty sender") << QString() << toAddress << mailSubject
                                  << "Refused : the sender address is empty";
    QTest::newRow("empty recipient")
            << fromAddress << "" << mailSubject << "Refused : the recipient address is empty";
    QTest::newRow("CR in the sender") << "from@x.org\rRSET" << toAddress << mailSubject
                                      << "Refused : the sender address holds a line break";
    QTest::newRow("command in the recipient")
            << fromAddress << "to@y.org\r\nRCPT TO: other@z.org" << mailSubject
            << "Refused : the recipient address holds a line break";
    QTest::newRow("header in the subject") << fromAddress << toAddress << "Hello\nBcc: other@z.org"
                                           << "Refused : the subject holds a line break";
    QTest::newRow("CR in the subject") << fromAddress << toAddress << "Hello\r"
                                       << "Refused : the subject holds a line break";
    // clang-format off
    QTest::newRow("ESMTP parameters in the sender") << "alice@example.org> RET=FULL ENVID=x X=<y" << toAddress << mailSubject << "Refused : the sender address holds an angle bracket";
    QTest::newRow("ESMTP parameters in the recipient") << fromAddress << "<bob@example.org> NOTIFY=SUCCESS ORCPT=rfc822;spy@evil.example" << mailSubject << "Refused : the recipient address holds an angle bracket";
    QTest::newRow("a bracket inside the sender") << "alice@example.org>AUTH=<x" << toAddress << mailSubject << "Refused : the sender address holds an angle bracket";
    QTest::newRow("a tab in the recipient") << fromAddress << "to@y.org\tX=1" << mailSubject << "Refused : the recipient address holds a control character";
    QTest::newRow("NUL in the recipient") << fromAddress << QStringLiteral("to@y.org") + QChar(0) << mailSubject << "Refused : the recipient address holds a control character";
    QTest::newRow("escape in the sender") << "from\x1b@x.org" << toAddress << mailSubject << "Refused : the sender address holds a control character";
    QTest::newRow("a space alone") << "al ice@example.org" << toAddress << mailSubject << "Refused : the sender address holds a space";
    // clang-format on
}

void tst_QxSmtpMailSender::refusedInput()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, subject);
    QFETCH(QString, error);

    ScriptedServer server(fullDialogue);
    QPointer<QxSmtpMailSender> sender
            = new QxSmtpMailSender(QStringLiteral("127.0.0.1"), server.port());
    QSignalSpy spy(sender.data(), &QxSmtpMailSender::status);
    sender->sendMail(from, to, subject, mailBody);
    QCOMPARE(spy.count(), 0);
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), false);
    QCOMPARE(spy.at(0).at(1).toString(), error);
    QCOMPARE(sender->findChild<QTcpSocket *>()->state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(server.connections(), 0);

    // The refused sender stays with its creator and takes no further mail.
    sender->sendMail(fromAddress, toAddress, mailSubject, mailBody);
    QTRY_COMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(1).toString(),
             QStringLiteral("Refused : sendMail may be called only once per sender"));
    QCOMPARE(sender->findChild<QTcpSocket *>()->state(), QAbstractSocket::UnconnectedState);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(sender);
    delete sender;
}

void tst_QxSmtpMailSender::secondSendMailRefused()
{
    ScriptedServer server(fullDialogue);
    QPointer<QxSmtpMailSender> sender
            = new QxSmtpMailSender(QStringLiteral("127.0.0.1"), server.port());
    QSignalSpy spy(sender.data(), &QxSmtpMailSender::status);
    sender->sendMail(fromAddress, toAddress, mailSubject, mailBody);
    sender->sendMail(QStringLiteral("other@x.org"), QStringLiteral("other@y.org"), mailSubject,
                     mailBody);
    QCOMPARE(spy.count(), 0);
    QTRY_VERIFY(sender.isNull());
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(0),
             QVariantList(
                     { false,
                       QStringLiteral("Refused : sendMail may be called only once per sender") }));
    QCOMPARE(spy.at(1), QVariantList({ true, QString() }));
    QCOMPARE(server.received(), server.expectedFromClient());
    QCOMPARE(server.connections(), 1);
}

void tst_QxSmtpMailSender::connectionRefused()
{
    const quint16 port = freePort();
    QVERIFY(port != 0);
    QPointer<QxSmtpMailSender> sender = new QxSmtpMailSender(QStringLiteral("127.0.0.1"), port);
    QSignalSpy spy(sender.data(), &QxSmtpMailSender::status);
    sender->sendMail(fromAddress, toAddress, mailSubject, mailBody);
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0),
             QVariantList({ false, QStringLiteral("Socket Error : Connection refused") }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QVERIFY(sender);
    QCOMPARE(spy.count(), 1);
    delete sender;
}

void tst_QxSmtpMailSender::realServer_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QByteArray>("encoding");
    QTest::addColumn<QByteArray>("content");

    const QByteArray plain
            = "To: %1\r\nFrom: from@x.org\r\nSubject: Hello\r\nDate: *\r\nMessage-ID: *\r\n\r\n";
    // clang-format off
    QTest::newRow("dot lines everywhere") << mailSubject << ".\n.\na\n.\n\n.\nb\n.\n." << QByteArray() << plain + ".\r\n.\r\na\r\n.\r\n\r\n.\r\nb\r\n.\r\n.\r\n";
    QTest::newRow("dot and text") << mailSubject << ".x\n..\n..y\nz.\n.\r\n.end" << QByteArray() << plain + ".x\r\n..\r\n..y\r\nz.\r\n.\r\n.end\r\n";
    QTest::newRow("mixed line ends") << mailSubject << "a\r\nb\rc\nd\r\r\ne\n\r." << QByteArray() << plain + "a\r\nb\r\nc\r\nd\r\n\r\ne\r\n\r\n.\r\n";
    QTest::newRow("trailing line end") << mailSubject << "a\n" << QByteArray() << plain + "a\r\n";
    QTest::newRow("empty body") << mailSubject << QString() << QByteArray() << plain;
    QTest::newRow("empty subject") << QString() << mailBody << QByteArray() << QByteArray("To: %1\r\nFrom: from@x.org\r\nSubject: \r\nDate: *\r\nMessage-ID: *\r\n\r\nBody\r\n");
    // clang-format on

    QString big;
    QByteArray bigContent;
    for (int line = 0; bigContent.size() < 5 * 1024 * 1024; ++line) {
        const QString text = (line % 3 == 0 ? QStringLiteral(".") : QString())
                + QStringLiteral("line %1 ").arg(line) + QString(90, QLatin1Char('x'));
        big += text + QLatin1Char('\n');
        bigContent += text.toLatin1() + "\r\n";
    }
    QTest::newRow("5 MiB") << mailSubject << big << QByteArray() << plain + bigContent;

    const QString subject = QStringLiteral("Grüße aus Köln – 日本語の件名もちゃんと読めますように");
    const QString body = QStringLiteral("Grüße\n.ä\nЖ\r\n日本語");
    // The encoded subject is checked through the server's mail parser.
    QTest::newRow("non-ASCII") << subject << body << QByteArray("8bit")
                               << QStringLiteral("Grüße\r\n.ä\r\nЖ\r\n日本語\r\n").toUtf8();
    // Quoted-printable text is checked through the server's mail parser.
    QTest::newRow("long line") << mailSubject
                               << "short\n" + QString(1500, QLatin1Char('x')) + " = . \n.\n"
                    + QString(10, QLatin1Char('y'))
                               << QByteArray("quoted-printable") << QByteArray();
    QTest::newRow("long non-ASCII line and dots")
            << subject
            << QStringLiteral(".") + QString(600, QChar(0xe4)) + QStringLiteral("\n.\n.")
                    + QString(400, QChar(0x65e5)) + QStringLiteral("\U0001F600").repeated(300)
            << QByteArray("quoted-printable") << QByteArray();
}

void tst_QxSmtpMailSender::realServer()
{
    QFETCH(QString, subject);
    QFETCH(QString, body);
    QFETCH(QByteArray, encoding);
    QFETCH(QByteArray, content);

    if (!cliServer) {
        cliServer.reset(new SmtpServerProcess);
        if (QTest::currentTestFailed()) {
            cliServer.reset();
            return;
        }
    }
    const QString recipient = QStringLiteral("mail%1@example.org").arg(++mailCount);
    QPointer<QxSmtpMailSender> sender
            = new QxSmtpMailSender(QStringLiteral("127.0.0.1"), cliServer->port());
    QSignalSpy spy(sender.data(), &QxSmtpMailSender::status);
    sender->sendMail(fromAddress, recipient, subject, body);
    QTRY_VERIFY_WITH_TIMEOUT(sender.isNull(), 60000);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0), QVariantList({ true, QString() }));

    const QByteArray original = cliServer->file(recipient + ".eml");
    // Date and Message-ID follow Subject, in RFC 5322 form; the identifier is
    // new for every mail and its right part the sender's domain.
    const QRegularExpression fields(QStringLiteral(
            "\r\nDate: ([^\r]*)\r\nMessage-ID: (<[0-9a-z]+\\.[0-9a-z]+@x\\.org>)\r\n"));
    const QRegularExpressionMatch match = fields.match(QString::fromLatin1(original));
    QVERIFY2(match.hasMatch(), original.left(400).constData());
    QVERIFY2(QDateTime::fromString(match.captured(1), Qt::RFC2822Date).isValid(),
             qPrintable(match.captured(1)));
    QVERIFY(!messageIds.contains(match.captured(2)));
    messageIds << match.captured(2);

    const QByteArray received = masked(original);
    if (encoding.isEmpty()) {
        QCOMPARE(received, content.replace("%1", recipient.toLatin1()));
    } else {
        QVERIFY(received.startsWith("To: " + recipient.toLatin1()
                                    + "\r\nFrom: from@x.org\r\nSubject: "
                                    + (subject == mailSubject ? "Hello" : "=?UTF-8?B?")));
        const QByteArray mime
                = "\r\nMessage-ID: *\r\nMIME-Version: 1.0\r\nContent-Type: text/plain; "
                  "charset=UTF-8\r\nContent-Transfer-Encoding: "
                + encoding + "\r\n\r\n";
        QVERIFY2(received.contains(mime), received.left(600).constData());
        if (!content.isEmpty())
            QVERIFY(received.endsWith(mime + content));
        for (const QByteArray &line : received.split('\n'))
            QVERIFY2(line.size() <= 79, line.constData());
    }
    QCOMPARE(cliServer->file(recipient + ".envelope"), "from@x.org\n" + recipient.toLatin1());
    QCOMPARE(QString::fromUtf8(cliServer->file(recipient + ".subject")), subject);
    QString text = body;
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"))
            .replace(QLatin1Char('\r'), QLatin1Char('\n'));
    text.replace(QLatin1Char('\n'), QLatin1String("\r\n"));
    if (!text.isEmpty() && !text.endsWith(QLatin1String("\r\n")))
        text += QLatin1String("\r\n");
    QCOMPARE(QString::fromUtf8(cliServer->file(recipient + ".text")), text);
}

void tst_QxSmtpMailSender::multilineServer()
{
    SmtpServerProcess server({ QStringLiteral("--mode"), QStringLiteral("multiline") });
    if (QTest::currentTestFailed())
        return;
    QPointer<QxSmtpMailSender> sender
            = new QxSmtpMailSender(QStringLiteral("127.0.0.1"), server.port());
    QSignalSpy spy(sender.data(), &QxSmtpMailSender::status);
    sender->sendMail(fromAddress, toAddress, mailSubject, QStringLiteral("a\n.\nb"));
    QTRY_VERIFY_WITH_TIMEOUT(sender.isNull(), 30000);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0), QVariantList({ true, QString() }));
    QCOMPARE(masked(server.file(toAddress + ".eml")),
             QByteArray("To: to@y.org\r\nFrom: from@x.org\r\nSubject: Hello\r\nDate: *\r\n"
                        "Message-ID: *\r\n\r\na\r\n.\r\nb\r\n"));
}

void tst_QxSmtpMailSender::secure_data()
{
    QTest::addColumn<QStringList>("server");
    QTest::addColumn<QxSmtpMailSender::Security>("security");
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("trusted");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QByteArray>("session");

    const QString user = QStringLiteral("lumo");
    const QString password = QStringLiteral("secret");
    const QStringList startTls = { QStringLiteral("starttls"), QStringLiteral("localhost") };
    const QStringList implicit = { QStringLiteral("implicit"), QStringLiteral("localhost") };
    const auto viaStartTls = QxSmtpMailSender::StartTls;
    const auto viaImplicitTls = QxSmtpMailSender::ImplicitTls;

    // clang-format off
    QTest::newRow("STARTTLS") << startTls << viaStartTls << QString() << QString() << true << QString() << QByteArray("tls\nanonymous");
    QTest::newRow("STARTTLS, AUTH PLAIN") << startTls << viaStartTls << user << password << true << QString() << QByteArray("tls\nlumo");
    QTest::newRow("STARTTLS, AUTH LOGIN only") << startTls + QStringList{ QStringLiteral("LOGIN") } << viaStartTls << user << password << true << QString() << QByteArray("tls\nlumo");
    QTest::newRow("implicit TLS, AUTH PLAIN") << implicit << viaImplicitTls << user << password << true << QString() << QByteArray("tls\nlumo");
    QTest::newRow("wrong password") << startTls << viaStartTls << user << QStringLiteral("guess") << true << QStringLiteral("Unexpected reply from smtp server : 535") << QByteArray();
    QTest::newRow("no AUTH mechanism the sender knows") << startTls + QStringList{ QStringLiteral("NONE") } << viaStartTls << user << password << true << QStringLiteral("Refused : the server offers neither AUTH PLAIN nor AUTH LOGIN") << QByteArray();
    QTest::newRow("server without STARTTLS") << QStringList{ QStringLiteral("plain"), QStringLiteral("localhost") } << viaStartTls << QString() << QString() << true << QStringLiteral("TLS Error : the server does not offer STARTTLS") << QByteArray();
    QTest::newRow("certificate for another name") << QStringList{ QStringLiteral("starttls"), QStringLiteral("mail.example.org") } << viaStartTls << QString() << QString() << true << QStringLiteral("TLS Error : The host name did not match any of the valid hosts for this certificate") << QByteArray();
    QTest::newRow("certificate not trusted") << startTls << viaStartTls << QString() << QString() << false << QStringLiteral("TLS Error : The certificate is self-signed, and untrusted") << QByteArray();
    QTest::newRow("implicit TLS, certificate not trusted") << implicit << viaImplicitTls << QString() << QString() << false << QStringLiteral("TLS Error : The certificate is self-signed, and untrusted") << QByteArray();
    QTest::newRow("common name fits, alternative name does not") << QStringList{ QStringLiteral("implicit"), QStringLiteral("localhost/other.example") } << viaImplicitTls << QString() << QString() << true << QStringLiteral("TLS Error : ") << QByteArray();
    QTest::newRow("STARTTLS, alternative name does not fit") << QStringList{ QStringLiteral("starttls"), QStringLiteral("localhost/other.example") } << viaStartTls << QString() << QString() << true << QStringLiteral("TLS Error : ") << QByteArray();
    QTest::newRow("TLS 1.0 and 1.1 only") << QStringList{ QStringLiteral("implicit-tls1.1"), QStringLiteral("localhost") } << viaImplicitTls << QString() << QString() << true << QStringLiteral("TLS Error : ") << QByteArray();
    // Text in clear after the STARTTLS reply never reaches the TLS session:
    // the login follows the EHLO over TLS, which offers AUTH LOGIN only.
    QTest::newRow("text injected after the STARTTLS reply") << QStringList{ QStringLiteral("starttls-extensions"), QStringLiteral("localhost"), QStringLiteral("AUTH LOGIN"), QStringLiteral("INJECT") } << viaStartTls << user << password << true << QStringLiteral("Unexpected reply from smtp server : 535 no") << QByteArray();
    QTest::newRow("login in clear refused") << QStringList{ QStringLiteral("plain"), QStringLiteral("localhost") } << QxSmtpMailSender::NoSecurity << user << password << true << QStringLiteral("Refused : a login needs StartTls or ImplicitTls") << QByteArray();
    // clang-format on
}

void tst_QxSmtpMailSender::secure()
{
    QFETCH(QStringList, server);
    QFETCH(QxSmtpMailSender::Security, security);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(bool, trusted);
    QFETCH(QString, error);
    QFETCH(QByteArray, session);

    if (!QSslSocket::supportsSsl())
        QFAIL("Qt finds no TLS library");
    SmtpServerProcess process(tlsServer(server));
    if (QTest::currentTestFailed())
        return;
    const QList<QSslCertificate> certificates
            = QSslCertificate::fromData(process.file(QStringLiteral("cert.pem")));
    QCOMPARE(certificates.size(), 1);

    // The certificate is issued for "localhost", not for the address.
    QPointer<QxSmtpMailSender> sender
            = new QxSmtpMailSender(QStringLiteral("localhost"), process.port());
    sender->setSecurity(security);
    QCOMPARE(sender->security(), security);
    if (trusted)
        sender->setCaCertificates(certificates);
    sender->setCredentials(user, password);
    sender->setTimeout(20000);
    QSignalSpy spy(sender.data(), &QxSmtpMailSender::status);
    sender->sendMail(fromAddress, toAddress, mailSubject, mailBody);
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 20000);
    QVERIFY2(spy.at(0).at(1).toString().startsWith(error), qPrintable(spy.at(0).at(1).toString()));
    QCOMPARE(spy.at(0).at(0).toBool(), error.isEmpty());
    if (error.isEmpty()) {
        QTRY_VERIFY(sender.isNull());
        QCOMPARE(process.file(toAddress + QStringLiteral(".session")), session);
        QCOMPARE(masked(process.file(toAddress + QStringLiteral(".eml"))),
                 QByteArray("To: to@y.org\r\nFrom: from@x.org\r\nSubject: Hello\r\nDate: *\r\n"
                            "Message-ID: *\r\n\r\nBody\r\n"));
    } else {
        QCOMPARE(process.file(toAddress + QStringLiteral(".eml")), QByteArray("(missing)"));
        checkOwnership(sender, error);
    }
    QCOMPARE(spy.count(), 1);
}

void tst_QxSmtpMailSender::extensions_data()
{
    QTest::addColumn<QStringList>("offered");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("error");
    QTest::addColumn<QByteArray>("mailFrom");

    const QString eightBit = QStringLiteral("Grüße");
    const QString utf8Sender = QStringLiteral("grüße@x.org");
    // clang-format off
    QTest::newRow("8-bit body, 8BITMIME offered") << QStringList{ "8BITMIME" } << fromAddress << eightBit << QString() << QByteArray("MAIL FROM:<from@x.org> BODY=8BITMIME\r\n");
    QTest::newRow("8-bit body, 8BITMIME not offered") << QStringList{ "PIPELINING" } << fromAddress << eightBit << QString() << QByteArray("MAIL FROM:<from@x.org>\r\n");
    QTest::newRow("ASCII body, 8BITMIME offered") << QStringList{ "8BITMIME" } << fromAddress << mailBody << QString() << QByteArray("MAIL FROM:<from@x.org>\r\n");
    QTest::newRow("non-ASCII sender, SMTPUTF8 offered") << QStringList{ "SMTPUTF8" } << utf8Sender << mailBody << QString() << QStringLiteral("MAIL FROM:<grüße@x.org> SMTPUTF8\r\n").toUtf8();
    QTest::newRow("non-ASCII sender, no SMTPUTF8") << QStringList{ "8BITMIME" } << utf8Sender << mailBody << "Refused : the server takes no non-ASCII addresses (no SMTPUTF8)" << QByteArray();
    QTest::newRow("message within the size limit") << QStringList{ "SIZE 100000" } << fromAddress << mailBody << QString() << QByteArray("MAIL FROM:<from@x.org>\r\n");
    QTest::newRow("message over the size limit") << QStringList{ "SIZE 100" } << fromAddress << QString(500, 'x') << "Refused : the message (" << QByteArray();
    // clang-format on
}

// After EHLO the sender honours what the server offers: the size limit
// before anything of the mail is sent, 8BITMIME for an 8-bit body, SMTPUTF8
// for non-ASCII addresses (refused right after EHLO where it is missing).
void tst_QxSmtpMailSender::extensions()
{
    QFETCH(QStringList, offered);
    QFETCH(QString, from);
    QFETCH(QString, body);
    QFETCH(QString, error);
    QFETCH(QByteArray, mailFrom);

    if (!QSslSocket::supportsSsl())
        QFAIL("Qt finds no TLS library");
    SmtpServerProcess process(tlsServer(
            QStringList { QStringLiteral("implicit-extensions"), QStringLiteral("localhost") }
            + offered));
    if (QTest::currentTestFailed())
        return;
    QPointer<QxSmtpMailSender> sender = trustingSender(process, QxSmtpMailSender::ImplicitTls);
    sender->setTimeout(20000);
    QSignalSpy spy(sender.data(), &QxSmtpMailSender::status);
    sender->sendMail(from, toAddress, mailSubject, body);
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 20000);
    QVERIFY2(spy.at(0).at(1).toString().startsWith(error), qPrintable(spy.at(0).at(1).toString()));
    QCOMPARE(spy.at(0).at(0).toBool(), error.isEmpty());
    if (error.isEmpty())
        QTRY_VERIFY(sender.isNull());
    else
        checkOwnership(sender, error);
    const QByteArray commands = process.file(QStringLiteral("commands"));
    QList<QByteArray> lines = commands.split('\n');
    QByteArray sentMailFrom;
    for (const QByteArray &line : lines) {
        if (line.startsWith("MAIL FROM:"))
            sentMailFrom = line + '\n';
    }
    QCOMPARE(sentMailFrom, mailFrom);
    QCOMPARE(commands.contains("DATA\r\n"), error.isEmpty());
    QVERIFY(commands.contains("QUIT\r\n"));
}

// RFC 4616 separates the login's fields with NUL: a name or password that
// holds one is refused before anything is sent.
void tst_QxSmtpMailSender::credentialsWithNulRefused()
{
    ScriptedServer server(fullDialogue);
    QPointer<QxSmtpMailSender> sender
            = new QxSmtpMailSender(QStringLiteral("127.0.0.1"), server.port());
    sender->setSecurity(QxSmtpMailSender::StartTls);
    sender->setCredentials(QStringLiteral("lumo"), QStringLiteral("se") + QChar(0) + "cret");
    QSignalSpy spy(sender.data(), &QxSmtpMailSender::status);
    sender->sendMail(fromAddress, toAddress, mailSubject, mailBody);
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(1).toString(),
             QStringLiteral("Refused : the user name or password holds a NUL character"));
    QCOMPARE(server.connections(), 0);
    delete sender;
}

// A server that drops the connection instead of answering STARTTLS fails the
// TLS step, not the socket; the creator deletes the sender.
void tst_QxSmtpMailSender::startTlsAnsweredByClosing()
{
    ScriptedServer server(QByteArrayList({ ">220 hi\r\n", "<EHLO [127.0.0.1]\r\n",
                                           ">250-hi\r\n250 STARTTLS\r\n", "<STARTTLS\r\n", drop }));
    QPointer<QxSmtpMailSender> sender
            = new QxSmtpMailSender(QStringLiteral("127.0.0.1"), server.port());
    sender->setSecurity(QxSmtpMailSender::StartTls);
    QSignalSpy spy(sender.data(), &QxSmtpMailSender::status);
    sender->sendMail(fromAddress, toAddress, mailSubject, mailBody);
    QTRY_COMPARE(spy.count(), 1);
    const QString error = spy.at(0).at(1).toString();
    QVERIFY2(error.startsWith(QLatin1String("TLS Error : ")), qPrintable(error));
    QCOMPARE(server.received(), server.expectedFromClient());
    checkOwnership(sender, error);
}

void tst_QxSmtpMailSender::subjectFolded_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<bool>("encoded");

    QTest::newRow("short ASCII stays as it is") << QStringLiteral("Hello") << false;
    QTest::newRow("2000 characters") << QString(2000, QLatin1Char('a')) << true;
    QTest::newRow("2000 characters with spaces") << QStringLiteral("word ").repeated(400) << true;
    QTest::newRow("control characters") << QStringLiteral("a\x1b[31m\a\v\f") + QChar(0) << true;
    QTest::newRow("long non-ASCII") << QStringLiteral("Grüße ").repeated(300) << true;
}

// No header line of the message exceeds 998 octets, whatever the subject,
// and control characters never reach it raw; the subject reads back whole.
void tst_QxSmtpMailSender::subjectFolded()
{
    QFETCH(QString, subject);
    QFETCH(bool, encoded);

    SmtpServerProcess process(
            tlsServer({ QStringLiteral("implicit-extensions"), QStringLiteral("localhost"),
                        QStringLiteral("8BITMIME") }));
    if (QTest::currentTestFailed())
        return;
    QPointer<QxSmtpMailSender> sender = trustingSender(process, QxSmtpMailSender::ImplicitTls);
    QSignalSpy spy(sender.data(), &QxSmtpMailSender::status);
    sender->sendMail(fromAddress, toAddress, subject, mailBody);
    QTRY_VERIFY_WITH_TIMEOUT(sender.isNull(), 20000);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), true);

    // The Subject field with its continuation lines, read back.
    const QList<QByteArray> lines = process.file(QStringLiteral("commands")).split('\n');
    QByteArray field;
    bool inSubject = false;
    for (const QByteArray &line : lines) {
        QVERIFY2(line.size() <= 999, qPrintable(QString::number(line.size())));
        for (const char c : line.left(line.size() - 1))
            QVERIFY2(uchar(c) >= 0x20 || c == '\t', "a control character in a line");
        if (line.startsWith("Subject: ")) {
            inSubject = true;
            field = line.mid(9).trimmed();
        } else if (inSubject && line.startsWith(' ')) {
            field += ' ' + line.trimmed();
        } else {
            inSubject = false;
        }
    }
    if (!encoded) {
        QCOMPARE(QString::fromLatin1(field), subject);
        return;
    }
    QByteArray decoded;
    for (const QByteArray &word : field.split(' ')) {
        QVERIFY2(word.startsWith("=?UTF-8?B?") && word.endsWith("?="), word.constData());
        decoded += QByteArray::fromBase64(word.mid(10, word.size() - 12));
    }
    QCOMPARE(QString::fromUtf8(decoded.constData(), decoded.size()), subject);
}

void tst_QxSmtpMailSender::replyWithALineTooManyOverTls_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QxSmtpMailSender::Security>("security");

    QTest::newRow("SMTPS") << QStringLiteral("implicit-extensions")
                           << QxSmtpMailSender::ImplicitTls;
    QTest::newRow("STARTTLS") << QStringLiteral("starttls-extensions")
                              << QxSmtpMailSender::StartTls;
}

// An EHLO reply with lines after its last one, over TLS, where flushing a
// command may read the next reply from within the handling of this one: an
// unexpected reply, never a second DATA or a success.
// scripts/repeat-mail-reentry runs it fifty times each way.
void tst_QxSmtpMailSender::replyWithALineTooManyOverTls()
{
    QFETCH(QString, mode);
    QFETCH(QxSmtpMailSender::Security, security);

    SmtpServerProcess process(
            tlsServer({ mode, QStringLiteral("localhost"), QStringLiteral("EXTRA") }));
    if (QTest::currentTestFailed())
        return;
    QPointer<QxSmtpMailSender> sender = trustingSender(process, security);
    sender->setCredentials(QStringLiteral("lumo"), QStringLiteral("secret"));
    sender->setTimeout(20000);
    QSignalSpy spy(sender.data(), &QxSmtpMailSender::status);
    sender->sendMail(fromAddress, toAddress, mailSubject, mailBody);
    QTRY_COMPARE_WITH_TIMEOUT(spy.count(), 1, 20000);
    QCOMPARE(spy.at(0).at(0).toBool(), false);
    QCOMPARE(spy.at(0).at(1).toString(),
             unexpected(QStringLiteral("250-8BITMIME\r\n250 SIZE 100000\r\n")));
    QTRY_VERIFY(sender.isNull());
    const QByteArray commands = process.file(QStringLiteral("commands"));
    QVERIFY(!commands.contains("DATA"));
    QVERIFY(!commands.contains("AUTH"));
    QCOMPARE(spy.count(), 1);
}

void tst_QxSmtpMailSender::openSmtpd_data()
{
    QTest::addColumn<QString>("recipient");
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("quoted");
    QTest::addColumn<QByteArray>("stored");

    const QString longLine = QString(2000, QLatin1Char('x'));
    // clang-format off
    QTest::newRow("angle brackets") << "plain@example.org" << mailSubject << mailBody << QString() << false << QByteArray("Body\n");
    QTest::newRow("dot lines") << "dots@example.org" << mailSubject << ".\n..\n.x\na\n." << QString() << false << QByteArray(".\n..\n.x\na\n.\n");
    QTest::newRow("trailing line end") << "trailing@example.org" << mailSubject << "a\nb\n" << QString() << false << QByteArray("a\nb\n");
    QTest::newRow("long line") << "long@example.org" << mailSubject << "a\n" + longLine << QString() << true << "a\n" + longLine.toLatin1() + "\n";
    QTest::newRow("non-ASCII") << "utf8@example.org" << QStringLiteral("Grüße") << QStringLiteral("Grüße\n.ä\n日本語") << QString() << false << QStringLiteral("Grüße\n.ä\n日本語\n").toUtf8();
    QTest::newRow("refused recipient") << "someone@other.example" << mailSubject << mailBody << "Unexpected reply from smtp server : 550 Invalid recipient: <someone@other.example>\r\n" << false << QByteArray();
    // clang-format on
}

void tst_QxSmtpMailSender::openSmtpd()
{
    QFETCH(QString, recipient);
    QFETCH(QString, subject);
    QFETCH(QString, body);
    QFETCH(QString, error);
    QFETCH(bool, quoted);
    QFETCH(QByteArray, stored);

    if (geteuid() != 0)
        QSKIP("OpenSMTPD runs only as root");
    if (!openSmtpdServer) {
        openSmtpdServer.reset(new OpenSmtpdProcess);
        if (QTest::currentTestFailed()) {
            openSmtpdServer.reset();
            return;
        }
    }
    QPointer<QxSmtpMailSender> sender
            = new QxSmtpMailSender(QStringLiteral("127.0.0.1"), openSmtpdServer->port());
    QSignalSpy spy(sender.data(), &QxSmtpMailSender::status);
    sender->sendMail(fromAddress, recipient, subject, body);
    QTRY_VERIFY_WITH_TIMEOUT(sender.isNull(), 30000);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0), QVariantList({ error.isEmpty(), error }));
    if (!error.isEmpty())
        return;

    QTRY_VERIFY_WITH_TIMEOUT(!openSmtpdServer->mailFor(recipient).isEmpty(), 30000);
    const QByteArray mail = openSmtpdServer->mailFor(recipient);
    const int bodyStart = mail.indexOf("\n\n") + 2;
    const QByteArray header = mail.left(bodyStart);
    QVERIFY2(header.startsWith("Return-Path: <from@x.org>\n"), header.constData());
    // The server adds its own Date and Message-ID only where they are missing.
    QCOMPARE(header.count("\nDate: "), 1);
    QCOMPARE(header.count("\nMessage-ID: "), 1);
    QVERIFY2(header.contains("\nTo: " + recipient.toUtf8() + "\nFrom: from@x.org\nSubject: "),
             header.constData());
    QCOMPARE(header.contains("Content-Transfer-Encoding: quoted-printable\n"), quoted);
    const QByteArray content = mail.mid(bodyStart);
    for (const QByteArray &line : content.split('\n'))
        QVERIFY(line.size() <= 998);
    QCOMPARE(quoted ? fromQuotedPrintable(content) : content, stored);
}

void tst_QxSmtpMailSender::cleanupTestCase()
{
    cliServer.reset();
    openSmtpdServer.reset();
}

QTEST_MAIN(tst_QxSmtpMailSender)
#include "tst_QxSmtpMailSender.moc"
