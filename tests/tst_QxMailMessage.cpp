// Messages with recipients, names, HTML and attachments, sent by
// QxSmtpMailSender::sendMessage() to real servers (aiosmtpd through
// smtp_server.py, OpenSMTPD) and read back with Python's email package; the
// access-token logins and the progress signal.

#include <lumo/QxMailMessage.h>
#include <lumo/QxSmtpMailSender.h>

#include "smtpserverprocess.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtNetwork>
#include <QtTest>

#include <memory>

#include <unistd.h>

Q_DECLARE_METATYPE(QxMailMessage)

namespace {

const QString fromAddress = QStringLiteral("from@x.org");
const QString toAddress = QStringLiteral("to@y.org");

QxMailMessage simpleMessage()
{
    QxMailMessage message;
    message.setFrom(fromAddress);
    message.addTo(toAddress);
    message.setSubject(QStringLiteral("Hello"));
    message.setText(QStringLiteral("Body"));
    return message;
}

QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator generator(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(generator.bounded(256));
    return bytes;
}

QString sha256(const QByteArray &data)
{
    return QString::fromLatin1(QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
}

// The text a mail reader gets from a part, with its line ends as LF.
QString readerText(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

struct Outcome
{
    bool success = false;
    QString error;
};

// Sends \a message with \a sender and waits for the outcome and, where the
// ownership rule says so, for the sender to go.
Outcome sendAndWait(QxSmtpMailSender *sender, const QxMailMessage &message)
{
    QPointer<QxSmtpMailSender> watched = sender;
    QSignalSpy spy(sender, &QxSmtpMailSender::status);
    sender->sendMessage(message);
    if (!spy.wait(60000) || spy.count() != 1)
        return { false, QStringLiteral("(no outcome)") };
    Outcome outcome { spy.at(0).at(0).toBool(), spy.at(0).at(1).toString() };
    if (outcome.success || outcome.error.startsWith(QLatin1String("Unexpected reply"))) {
        if (!QTest::qWaitFor([&] { return watched.isNull(); }, 30000))
            outcome.error += QStringLiteral(" (and the sender did not delete itself)");
    } else {
        delete watched;
    }
    return outcome;
}

} // namespace

class tst_QxMailMessage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void value();
    void delivered_data();
    void delivered();
    void refusedMessage_data();
    void refusedMessage();
    void refusedRecipients();
    void progress_data();
    void progress();
    void attachmentChanges_data();
    void attachmentChanges();
    void accessToken_data();
    void accessToken();
    void openSmtpd();
    void cleanupTestCase();

private:
    SmtpServerProcess &plainServer();

    QTemporaryDir files;
    std::unique_ptr<SmtpServerProcess> aiosmtpd;
};

void tst_QxMailMessage::initTestCase()
{
    QVERIFY(files.isValid());
}

SmtpServerProcess &tst_QxMailMessage::plainServer()
{
    if (!aiosmtpd)
        aiosmtpd.reset(new SmtpServerProcess);
    return *aiosmtpd;
}

void tst_QxMailMessage::value()
{
    QxMailMessage message;
    QVERIFY(message.from().isEmpty());
    QVERIFY(message.to().isEmpty());
    message.setFrom(fromAddress, QStringLiteral("Me"));
    message.addTo(QStringLiteral("a@y.org"), QStringLiteral("A"));
    message.addTo(QStringLiteral("b@y.org"));
    message.addCc(QStringLiteral("c@y.org"));
    message.addBcc(QStringLiteral("d@y.org"), QStringLiteral("D"));
    message.setSubject(QStringLiteral("S"));
    message.setText(QStringLiteral("T"));
    message.setHtml(QStringLiteral("<p>H</p>"));

    QxMailMessage copy = message;
    copy.addTo(QStringLiteral("e@y.org"));
    copy.setSubject(QStringLiteral("changed"));
    QCOMPARE(message.to(), QStringList({ "a@y.org", "b@y.org" }));
    QCOMPARE(copy.to(), QStringList({ "a@y.org", "b@y.org", "e@y.org" }));
    QCOMPARE(message.subject(), QStringLiteral("S"));
    QCOMPARE(copy.subject(), QStringLiteral("changed"));
    QCOMPARE(message.from(), fromAddress);
    QCOMPARE(message.cc(), QStringList({ "c@y.org" }));
    QCOMPARE(message.bcc(), QStringList({ "d@y.org" }));
    QCOMPARE(message.text(), QStringLiteral("T"));
    QCOMPARE(message.html(), QStringLiteral("<p>H</p>"));

    message = copy;
    QCOMPARE(message.subject(), QStringLiteral("changed"));
}

void tst_QxMailMessage::delivered_data()
{
    QTest::addColumn<QxMailMessage>("message");
    QTest::addColumn<QByteArrayList>("attachments");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<QByteArray>("headers");
    QTest::addColumn<QStringList>("envelope");

    const QString text = QStringLiteral("Hello,\n.a dot line\n\nbye");
    const QString html = QStringLiteral("<p>Hello, <b>world</b></p>\n<p>.</p>");
    {
        QxMailMessage message;
        message.setFrom(fromAddress, QStringLiteral("Zoë Ålander"));
        message.addTo(QStringLiteral("to@y.org"), QStringLiteral("Doe, John"));
        message.addTo(QStringLiteral("<second@y.org>"), QStringLiteral("Say \"hi\" \\ there"));
        message.addCc(QStringLiteral("cc@y.org"), QStringLiteral("日本 太郎"));
        message.addBcc(QStringLiteral("hidden@y.org"), QStringLiteral("Hidden"));
        message.addBcc(QStringLiteral("to@y.org"));
        message.setReplyTo(QStringLiteral("reply@x.org"), QStringLiteral("=?not encoded?="));
        message.setSubject(QStringLiteral("Grüße – 日本語の件名もちゃんと読めますように, und noch "
                                          "ein wenig mehr Text für eine zweite Zeile"));
        message.setText(text);
        message.addHeader("X-Lumo-Test", QStringLiteral("Grüße"));
        QTest::newRow("names, Cc and Bcc")
                << message << QByteArrayList() << "text/plain"
                << QStringList { "text/plain;utf-8;7bit;" }
                << QByteArray(R"({"From": [["Zoë Ålander", "from@x.org"]],
                   "To": [["Doe, John", "to@y.org"], ["Say \"hi\" \\ there", "second@y.org"]],
                   "Cc": [["日本 太郎", "cc@y.org"]], "Reply-To": [["=?not encoded?=", "reply@x.org"]],
                   "Subject": "Grüße – 日本語の件名もちゃんと読めますように, und noch ein wenig mehr Text für eine zweite Zeile",
                   "X-Lumo-Test": "Grüße"})")
                << QStringList { "to@y.org", "second@y.org", "cc@y.org", "hidden@y.org" };
    }
    {
        QxMailMessage message = simpleMessage();
        message.setText(text);
        message.setHtml(html);
        QTest::newRow("text and HTML")
                << message << QByteArrayList() << "multipart/alternative"
                << QStringList { "text/plain;utf-8;7bit;", "text/html;utf-8;7bit;" }
                << QByteArray(
                           R"({"From": [["", "from@x.org"]], "To": [["", "to@y.org"]], "Subject": "Hello"})")
                << QStringList { toAddress };
    }
    {
        QxMailMessage message = simpleMessage();
        message.setText(QString());
        message.setHtml(QStringLiteral("<p>Grüße</p>"));
        QTest::newRow("HTML only, 8-bit")
                << message << QByteArrayList() << "text/html"
                << QStringList { "text/html;utf-8;8bit;" }
                << QByteArray(
                           R"({"From": [["", "from@x.org"]], "To": [["", "to@y.org"]], "Subject": "Hello"})")
                << QStringList { toAddress };
    }
    {
        QxMailMessage message = simpleMessage();
        message.setText(QStringLiteral("a\n") + QString(1500, QLatin1Char('x')));
        message.setHtml(QStringLiteral("<p>ä</p>"));
        QTest::newRow("long text line, quoted-printable")
                << message << QByteArrayList() << "multipart/alternative"
                << QStringList { "text/plain;utf-8;quoted-printable;", "text/html;utf-8;8bit;" }
                << QByteArray(
                           R"({"From": [["", "from@x.org"]], "To": [["", "to@y.org"]], "Subject": "Hello"})")
                << QStringList { toAddress };
    }
    {
        const QByteArray binary = randomBytes(3001, 1);
        const QByteArray big = randomBytes(5 * 1024 * 1024, 2);
        QFile bigFile(files.filePath(QStringLiteral("big.bin")));
        QVERIFY(bigFile.open(QIODevice::WriteOnly));
        bigFile.write(big);
        bigFile.close();
        const QString longName = QStringLiteral("Ein sehr langer Dateiname mit Umlauten äöü und "
                                                "noch mehr Text – 報告書の最終版.pdf");
        QxMailMessage message = simpleMessage();
        message.setText(text);
        message.setHtml(html);
        message.addDataAttachment(binary, QStringLiteral("data.bin"));
        message.addDataAttachment(QByteArray(), QStringLiteral("empty.txt"),
                                  QStringLiteral("text/plain"));
        message.addFileAttachment(bigFile.fileName(), QStringLiteral("application/x-lumo"));
        message.addDataAttachment("%PDF-1.4\n", longName);
        message.addDataAttachment("quotes", QStringLiteral("a \"quoted\" name.txt"));
        QTest::newRow("attachments")
                << message << QByteArrayList { binary, QByteArray(), big, "%PDF-1.4\n", "quotes" }
                << "multipart/mixed"
                << QStringList { "text/plain;utf-8;7bit;",
                                 "text/html;utf-8;7bit;",
                                 "application/octet-stream;;base64;data.bin",
                                 "text/plain;;base64;empty.txt",
                                 "application/x-lumo;;base64;big.bin",
                                 "application/pdf;;base64;" + longName,
                                 "text/plain;;base64;a \"quoted\" name.txt" }
                << QByteArray(
                           R"({"From": [["", "from@x.org"]], "To": [["", "to@y.org"]], "Subject": "Hello"})")
                << QStringList { toAddress };
    }
    {
        QxMailMessage message;
        message.setFrom(fromAddress);
        message.addBcc(QStringLiteral("only-bcc@y.org"));
        message.addDataAttachment("x", QStringLiteral("x.txt"));
        QTest::newRow("attachment without a text, Bcc only")
                << message << QByteArrayList { "x" } << "multipart/mixed"
                << QStringList { "text/plain;utf-8;7bit;", "text/plain;;base64;x.txt" }
                << QByteArray(R"({"From": [["", "from@x.org"]], "Subject": ""})")
                << QStringList { "only-bcc@y.org" };
    }
}

void tst_QxMailMessage::delivered()
{
    QFETCH(QxMailMessage, message);
    QFETCH(QByteArrayList, attachments);
    QFETCH(QString, type);
    QFETCH(QStringList, parts);
    QFETCH(QByteArray, headers);
    QFETCH(QStringList, envelope);

    SmtpServerProcess &server = plainServer();
    QVERIFY(!QTest::currentTestFailed());
    const Outcome outcome = sendAndWait(
            new QxSmtpMailSender(QStringLiteral("127.0.0.1"), server.port()), message);
    QCOMPARE(outcome.error, QString());
    QVERIFY(outcome.success);

    const QString name = envelope.first();
    QCOMPARE(QString::fromUtf8(server.file(name + QStringLiteral(".envelope"))),
             (QStringList { fromAddress } + envelope).join(QLatin1Char('\n')));
    const QJsonObject mail = QJsonDocument::fromJson(server.file(name + ".json")).object();
    QVERIFY2(!mail.isEmpty(), server.file(name + ".json").constData());
    QCOMPARE(mail.value("defects").toArray(), QJsonArray());
    QCOMPARE(mail.value("type").toString(), type);
    QVERIFY(mail.value("longest_line").toInt() <= 998);
    for (const QJsonValue &field : mail.value("fields").toArray())
        QVERIFY2(field.toString().compare(QLatin1String("Bcc"), Qt::CaseInsensitive) != 0,
                 "a Bcc field");
    QVERIFY(!server.file(name + ".eml").contains("hidden@y.org"));
    QVERIFY(!server.file(name + ".eml").contains("Hidden"));
    const QJsonObject expectedHeaders = QJsonDocument::fromJson(headers).object();
    QVERIFY(!expectedHeaders.isEmpty());
    QCOMPARE(mail.value("headers").toObject(), expectedHeaders);

    const QJsonArray received = mail.value("parts").toArray();
    QStringList receivedParts;
    int attachment = 0;
    for (const QJsonValue &value : received) {
        const QJsonObject part = value.toObject();
        receivedParts << QStringList { part.value("type").toString(),
                                       part.value("charset").toString(),
                                       part.value("encoding").toString(),
                                       part.value("filename").toString() }
                                 .join(QLatin1Char(';'));
        if (!part.value("filename").toString().isEmpty() || part.value("text").isNull()
            || attachment > 0) {
            QVERIFY(attachment < attachments.size());
            QCOMPARE(part.value("size").toInt(), attachments.at(attachment).size());
            QCOMPARE(part.value("sha256").toString(), sha256(attachments.at(attachment)));
            ++attachment;
            continue;
        }
        const bool html = part.value("type").toString() == QLatin1String("text/html");
        QString expected = html ? message.html() : message.text();
        // A mail that is all text ends with the line end before the end marker.
        if (!type.startsWith(QLatin1String("multipart/")) && !expected.endsWith(QLatin1Char('\n')))
            expected += QLatin1Char('\n');
        QCOMPARE(readerText(part.value("text").toString()), expected);
    }
    QCOMPARE(receivedParts, parts);
    QCOMPARE(attachment, attachments.size());
}

void tst_QxMailMessage::refusedMessage_data()
{
    QTest::addColumn<QxMailMessage>("message");
    QTest::addColumn<QString>("error");

    const auto with = [](const std::function<void(QxMailMessage &)> &change) {
        QxMailMessage message = simpleMessage();
        change(message);
        return message;
    };
    // clang-format off
    QTest::newRow("no sender") << with([](QxMailMessage &m) { m.setFrom(QString()); }) << "Refused : the message has no sender";
    QTest::newRow("no recipient") << [] { QxMailMessage m; m.setFrom(fromAddress); m.setText("x"); return m; }() << "Refused : the message has no recipient";
    QTest::newRow("command in a Cc address") << with([](QxMailMessage &m) { m.addCc("cc@y.org\r\nRCPT TO:<spy@evil.example>"); }) << "Refused : the recipient address cc@y.org\r\nRCPT TO:<spy@evil.example> holds a line break";
    QTest::newRow("ESMTP parameters in a Bcc address") << with([](QxMailMessage &m) { m.addBcc("<b@y.org> NOTIFY=SUCCESS"); }) << "Refused : the recipient address <b@y.org> NOTIFY=SUCCESS holds an angle bracket";
    QTest::newRow("space in the reply-to address") << with([](QxMailMessage &m) { m.setReplyTo("r @x.org"); }) << "Refused : the reply-to address r @x.org holds a space";
    QTest::newRow("address too long") << with([](QxMailMessage &m) { m.addTo(QString(250, 'a') + "@y.org"); }) << "Refused : the recipient address " + QString(40, 'a') + "... is longer than 254 octets";
    QTest::newRow("line break in a name") << with([](QxMailMessage &m) { m.addTo("n@y.org", "Name\nBcc: spy@evil.example"); }) << "Refused : the name of the recipient address n@y.org holds a line break";
    QTest::newRow("line break in the subject") << with([](QxMailMessage &m) { m.setSubject("Hi\r\nBcc: spy@evil.example"); }) << "Refused : the subject holds a line break";
    QTest::newRow("header injection in a value") << with([](QxMailMessage &m) { m.addHeader("X-Note", "a\r\nBcc: spy@evil.example"); }) << "Refused : the header field X-Note holds a line break";
    QTest::newRow("lone LF in a value") << with([](QxMailMessage &m) { m.addHeader("X-Note", "a\nb"); }) << "Refused : the header field X-Note holds a line break";
    QTest::newRow("a field the sender writes") << with([](QxMailMessage &m) { m.addHeader("content-type", "text/html"); }) << "Refused : the header field content-type is written by the sender";
    QTest::newRow("Bcc as a field") << with([](QxMailMessage &m) { m.addHeader("Bcc", "spy@evil.example"); }) << "Refused : the header field Bcc is written by the sender";
    QTest::newRow("colon in a name") << with([](QxMailMessage &m) { m.addHeader("X-A: b\r\nX-C", "d"); }) << "Refused : the header field name \"X-A: b\r\nX-C\" is not 1 to 76 printable ASCII characters without \":\"";
    QTest::newRow("non-ASCII name") << with([](QxMailMessage &m) { m.addHeader("X-Grüße", "d"); }) << "Refused : the header field name \"X-Grüße\" is not 1 to 76 printable ASCII characters without \":\"";
    QTest::newRow("empty name") << with([](QxMailMessage &m) { m.addHeader("", "d"); }) << "Refused : the header field name \"\" is not 1 to 76 printable ASCII characters without \":\"";
    QTest::newRow("header in a MIME type") << with([](QxMailMessage &m) { m.addDataAttachment("x", "x.txt", "text/plain\r\nBcc: spy@evil.example"); }) << "Refused : the MIME type \"text/plain\r\nBcc: spy@evil.example\" of the attachment x.txt is not of the form type/subtype";
    QTest::newRow("parameters in a MIME type") << with([](QxMailMessage &m) { m.addDataAttachment("x", "x.txt", "text/plain; charset=x"); }) << "Refused : the MIME type \"text/plain; charset=x\" of the attachment x.txt is not of the form type/subtype";
    QTest::newRow("missing file") << with([](QxMailMessage &m) { m.addFileAttachment("/nonexistent/file.pdf"); }) << "Refused : the attachment /nonexistent/file.pdf cannot be opened: No such file or directory";
    QTest::newRow("a pipe, which has no size") << with([](QxMailMessage &m) { m.addFileAttachment("/proc/self/fd/0"); }) << "";
    // clang-format on
}

void tst_QxMailMessage::refusedMessage()
{
    QFETCH(QxMailMessage, message);
    QFETCH(QString, error);

    ScriptedServer server({ ">220 ready\r\n" });
    QPointer<QxSmtpMailSender> sender
            = new QxSmtpMailSender(QStringLiteral("127.0.0.1"), server.port());
    QSignalSpy spy(sender.data(), &QxSmtpMailSender::status);
    QElapsedTimer clock;
    clock.start();
    sender->sendMessage(message);
    QCOMPARE(spy.count(), 0);
    QTRY_COMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), false);
    const QString reported = spy.at(0).at(1).toString();
    if (error.isEmpty())
        QVERIFY2(reported.startsWith(QLatin1String("Refused : the attachment /proc/self/fd/0 ")),
                 qPrintable(reported));
    else
        QCOMPARE(reported, error);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(sender);
    QCOMPARE(sender->findChild<QTcpSocket *>()->state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(server.connections(), 0);

    // Whatever comes next, a sender sends one mail.
    sender->sendMessage(simpleMessage());
    QTRY_COMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(1).toString(),
             QStringLiteral("Refused : a sender sends one mail: sendMessage may be called only "
                            "once, and not after sendMail"));
    QCOMPARE(server.connections(), 0);
    delete sender;
}

void tst_QxMailMessage::refusedRecipients()
{
    SmtpServerProcess &server = plainServer();
    QVERIFY(!QTest::currentTestFailed());
    QxMailMessage message;
    message.setFrom(fromAddress);
    message.addTo(QStringLiteral("partly@y.org"));
    message.addCc(QStringLiteral("refused-cc@y.org"));
    message.addBcc(QStringLiteral("<refused-bcc@y.org>"));
    const Outcome outcome = sendAndWait(
            new QxSmtpMailSender(QStringLiteral("127.0.0.1"), server.port()), message);
    QVERIFY(!outcome.success);
    QCOMPARE(outcome.error,
             QStringLiteral("Unexpected reply from smtp server : the server refused 2 of 3 "
                            "recipients, the mail is not sent:\n"
                            "<refused-cc@y.org> 550 5.1.1 <refused-cc@y.org>: no such user here\n"
                            "<refused-bcc@y.org> 550 5.1.1 <refused-bcc@y.org>: no such user "
                            "here"));
    // The sender went once the server had answered QUIT: nothing more comes.
    QCOMPARE(server.file(QStringLiteral("partly@y.org.envelope")), QByteArray("(missing)"));
}

void tst_QxMailMessage::progress_data()
{
    QTest::addColumn<bool>("asMessage");
    QTest::newRow("sendMail") << false;
    QTest::newRow("sendMessage") << true;
}

void tst_QxMailMessage::progress()
{
    QFETCH(bool, asMessage);

    SmtpServerProcess &server = plainServer();
    QVERIFY(!QTest::currentTestFailed());
    const QString recipient = asMessage ? QStringLiteral("progress-message@y.org")
                                        : QStringLiteral("progress-mail@y.org");
    QPointer<QxSmtpMailSender> sender
            = new QxSmtpMailSender(QStringLiteral("127.0.0.1"), server.port());
    QSignalSpy progress(sender.data(), &QxSmtpMailSender::progress);
    QSignalSpy status(sender.data(), &QxSmtpMailSender::status);
    QString body;
    for (int line = 0; body.size() < 1024 * 1024; ++line)
        body += QStringLiteral("line %1 of the body\n").arg(line);
    if (asMessage) {
        QxMailMessage message;
        message.setFrom(fromAddress);
        message.addTo(recipient);
        message.setText(body);
        message.addDataAttachment(randomBytes(3 * 1024 * 1024, 3), QStringLiteral("a.bin"));
        sender->sendMessage(message);
    } else {
        sender->sendMail(fromAddress, recipient, QStringLiteral("Hello"), body);
    }
    QVERIFY(status.wait(60000));
    QCOMPARE(status.at(0), QVariantList({ true, QString() }));
    QTRY_VERIFY(sender.isNull());

    QVERIFY2(progress.count() > 2, "the message went out in one piece");
    const qint64 total = progress.first().at(1).toLongLong();
    qint64 previous = 0;
    for (const QList<QVariant> &arguments : qAsConst(progress)) {
        QCOMPARE(arguments.at(1).toLongLong(), total);
        QVERIFY(arguments.at(0).toLongLong() > previous);
        previous = arguments.at(0).toLongLong();
    }
    QCOMPARE(previous, total);
    // What the server kept, and the end marker it took away: no line starts
    // with a dot, so no dot was added.
    QCOMPARE(server.file(recipient + QStringLiteral(".eml")).size() + 3, total);
}

void tst_QxMailMessage::attachmentChanges_data()
{
    QTest::addColumn<qint64>("newSize");
    QTest::addColumn<QString>("error");
    QTest::newRow("shrinks") << qint64(1000)
                             << "Refused : the attachment changing.bin shrank while it was sent";
    QTest::newRow("grows") << qint64(-1)
                           << "Refused : the attachment changing.bin grew while it was sent";
}

void tst_QxMailMessage::attachmentChanges()
{
    QFETCH(qint64, newSize);
    QFETCH(QString, error);

    SmtpServerProcess &server = plainServer();
    QVERIFY(!QTest::currentTestFailed());
    const QString path = files.filePath(QStringLiteral("changing.bin"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(randomBytes(8 * 1024 * 1024, 4));
    file.close();

    QxMailMessage message;
    message.setFrom(fromAddress);
    message.addTo(QStringLiteral("changed@y.org"));
    message.addFileAttachment(path);
    QPointer<QxSmtpMailSender> sender
            = new QxSmtpMailSender(QStringLiteral("127.0.0.1"), server.port());
    QSignalSpy status(sender.data(), &QxSmtpMailSender::status);
    bool changed = false;
    connect(sender.data(), &QxSmtpMailSender::progress, this, [&] {
        if (changed)
            return;
        changed = true;
        QFile change(path);
        if (newSize >= 0) {
            QVERIFY(change.resize(newSize));
        } else {
            QVERIFY(change.open(QIODevice::Append));
            change.write("more");
        }
    });
    sender->sendMessage(message);
    QVERIFY(status.wait(60000));
    QVERIFY(changed);
    QCOMPARE(status.at(0), QVariantList({ false, error }));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(sender);
    QCOMPARE(sender->findChild<QTcpSocket *>()->state(), QAbstractSocket::UnconnectedState);
    delete sender;

    // The server has dealt with the dropped connection once a later mail is
    // in; the cut one never arrived.
    QxMailMessage later;
    later.setFrom(fromAddress);
    later.addTo(QStringLiteral("later@y.org"));
    const Outcome outcome
            = sendAndWait(new QxSmtpMailSender(QStringLiteral("127.0.0.1"), server.port()), later);
    QVERIFY(outcome.success);
    QCOMPARE(server.file(QStringLiteral("changed@y.org.envelope")), QByteArray("(missing)"));
}

void tst_QxMailMessage::accessToken_data()
{
    QTest::addColumn<QString>("offered");
    QTest::addColumn<QString>("login");
    QTest::addColumn<QString>("token");
    QTest::addColumn<QByteArray>("initialResponse");
    QTest::addColumn<QByteArray>("dummyResponse");
    QTest::addColumn<QString>("error");

    const QByteArray bearer = "\x01"
                              "auth=Bearer ";
    const QString refused = QStringLiteral(
            "Unexpected reply from smtp server : 535 5.7.8 token [hidden] not accepted (the server "
            "refused the access token: {\"status\": \"invalid_token\", \"schemes\": \"bearer\", "
            "\"scope\": \"https://mail.example/\"})");
    // clang-format off
    QTest::newRow("OAUTHBEARER first") << "AUTH XOAUTH2 OAUTHBEARER" << "token" << "good-token" << "AUTH OAUTHBEARER n,a=lumo@example.org,\x01host=localhost\x01port=*" + bearer + "good-token\x01\x01" << QByteArray() << QString();
    QTest::newRow("XOAUTH2 alone") << "AUTH XOAUTH2" << "token" << "good-token" << "AUTH XOAUTH2 user=lumo@example.org" + bearer + "good-token\x01\x01" << QByteArray() << QString();
    QTest::newRow("XOAUTH2 refused") << "AUTH XOAUTH2" << "token" << "expired-token-1234" << "AUTH XOAUTH2 user=lumo@example.org" + bearer + "expired-token-1234\x01\x01" << QByteArray("\r\n") << refused;
    QTest::newRow("OAUTHBEARER refused") << "AUTH OAUTHBEARER" << "token" << "expired-token-1234" << "AUTH OAUTHBEARER n,a=lumo@example.org,\x01host=localhost\x01port=*" + bearer + "expired-token-1234\x01\x01" << QByteArray("AQ==\r\n") << refused;
    QTest::newRow("no token login offered") << "AUTH PLAIN LOGIN" << "token" << "good-token" << QByteArray() << QByteArray() << "Refused : the server offers neither AUTH OAUTHBEARER nor AUTH XOAUTH2";
    QTest::newRow("token, then password: the password") << "AUTH PLAIN XOAUTH2" << "token,password" << "good-token" << "AUTH PLAIN " + QByteArray("\0lumo@example.org\0secret", 24) << QByteArray() << QString();
    QTest::newRow("password, then token: the token") << "AUTH PLAIN XOAUTH2" << "password,token" << "good-token" << "AUTH XOAUTH2 user=lumo@example.org" + bearer + "good-token\x01\x01" << QByteArray() << QString();
    QTest::newRow("control character in the token") << "AUTH XOAUTH2" << "token" << "good\x01user=x" << QByteArray() << QByteArray() << "Refused : the access token is empty or holds a character other than printable ASCII";
    QTest::newRow("space in the token") << "AUTH XOAUTH2" << "token" << "good token" << QByteArray() << QByteArray() << "Refused : the access token is empty or holds a character other than printable ASCII";
    QTest::newRow("empty token") << "AUTH XOAUTH2" << "token" << "" << QByteArray() << QByteArray() << "Refused : the access token is empty or holds a character other than printable ASCII";
    QTest::newRow("in clear") << "" << "token" << "good-token" << QByteArray() << QByteArray() << "Refused : a login needs StartTls or ImplicitTls";
    // clang-format on
}

void tst_QxMailMessage::accessToken()
{
    QFETCH(QString, offered);
    QFETCH(QString, login);
    QFETCH(QString, token);
    QFETCH(QByteArray, initialResponse);
    QFETCH(QByteArray, dummyResponse);
    QFETCH(QString, error);

    SmtpServerProcess process(
            { QStringLiteral("--mode"), QStringLiteral("implicit-extensions"), offered });
    QVERIFY(!QTest::currentTestFailed());
    auto *sender = new QxSmtpMailSender(QStringLiteral("localhost"), process.port());
    sender->setSecurity(offered.isEmpty() ? QxSmtpMailSender::NoSecurity
                                          : QxSmtpMailSender::ImplicitTls);
    sender->setCaCertificates(QSslCertificate::fromData(process.file(QStringLiteral("cert.pem"))));
    for (const QString &kind : login.split(QLatin1Char(','))) {
        if (kind == QLatin1String("token"))
            sender->setAccessToken(QStringLiteral("lumo@example.org"), token);
        else
            sender->setCredentials(QStringLiteral("lumo@example.org"), QStringLiteral("secret"));
    }
    const Outcome outcome = sendAndWait(sender, simpleMessage());
    QCOMPARE(outcome.error, error);
    QCOMPARE(outcome.success, error.isEmpty());
    QVERIFY(!outcome.error.contains(QLatin1String("expired-token-1234")));

    const QByteArray commands = process.file(QStringLiteral("commands"));
    QCOMPARE(commands.contains("MAIL FROM:"), error.isEmpty());
    if (initialResponse.isEmpty()) {
        QVERIFY(!commands.contains("AUTH"));
        return;
    }
    // The initial response, decoded, with the port masked.
    QByteArray authLine = commands.mid(commands.indexOf("AUTH "));
    authLine = authLine.left(authLine.indexOf("\r\n"));
    const int space = authLine.lastIndexOf(' ');
    QByteArray decoded = authLine.left(space + 1) + QByteArray::fromBase64(authLine.mid(space + 1));
    decoded.replace("port=" + QByteArray::number(process.port()), "port=*");
    QCOMPARE(decoded, initialResponse);
    if (!dummyResponse.isEmpty())
        QVERIFY(commands.contains(authLine + "\r\n" + dummyResponse));
}

void tst_QxMailMessage::openSmtpd()
{
    if (geteuid() != 0)
        QSKIP("OpenSMTPD runs only as root");
    OpenSmtpdProcess server;
    QVERIFY(!QTest::currentTestFailed());
    const QByteArray data = randomBytes(200 * 1024, 5);
    QxMailMessage message;
    message.setFrom(fromAddress, QStringLiteral("Zoë"));
    message.addTo(QStringLiteral("attached@example.org"), QStringLiteral("Doe, John"));
    message.setSubject(QStringLiteral("Grüße"));
    message.setText(QStringLiteral("see the attachment"));
    message.setHtml(QStringLiteral("<p>see the attachment</p>"));
    message.addDataAttachment(data, QStringLiteral("Bericht über.bin"));
    const Outcome outcome = sendAndWait(
            new QxSmtpMailSender(QStringLiteral("127.0.0.1"), server.port()), message);
    QCOMPARE(outcome.error, QString());
    QTRY_VERIFY_WITH_TIMEOUT(!server.mailFor(QStringLiteral("attached@example.org")).isEmpty(),
                             30000);

    // Python's mail parser reads what was delivered.
    QTemporaryFile stored;
    QVERIFY(stored.open());
    stored.write(server.mailFor(QStringLiteral("attached@example.org")));
    stored.close();
    QProcess reader;
    reader.start(QStringLiteral("/usr/bin/python3"),
                 { QStringLiteral("-c"),
                   QStringLiteral("import email, email.policy, hashlib, sys\n"
                                  "m = email.message_from_binary_file(open(sys.argv[1], 'rb'), "
                                  "policy=email.policy.default)\n"
                                  "print(m['To'].addresses[0].display_name, m['Subject'])\n"
                                  "for p in m.iter_attachments():\n"
                                  "    print(p.get_filename(), "
                                  "hashlib.sha256(p.get_payload(decode=True)).hexdigest())\n"),
                   stored.fileName() });
    QVERIFY(reader.waitForFinished(30000));
    QCOMPARE(QString::fromUtf8(reader.readAllStandardOutput()),
             QStringLiteral("Doe, John Grüße\nBericht über.bin %1\n").arg(sha256(data)));
}

void tst_QxMailMessage::cleanupTestCase()
{
    aiosmtpd.reset();
}

QTEST_GUILESS_MAIN(tst_QxMailMessage)
#include "tst_QxMailMessage.moc"
