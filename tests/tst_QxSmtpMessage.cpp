// The text of a mail as it goes out after DATA: header, body and end
// marker, made by the library's plain functions without a server.

#include "QxMailEncoding.h"
#include "QxMailHeader.h"
#include "QxMimeMessage.h"
#include "QxSmtpMessageStream.h"

#include <QtTest>

Q_DECLARE_METATYPE(QxMailMessage)

namespace {

const QString fromAddress = QStringLiteral("from@x.org");
const QString toAddress = QStringLiteral("to@y.org");
const QString mailSubject = QStringLiteral("Hello");
const QString mailBody = QStringLiteral("Body");
constexpr int chunk = QxSmtpMessageStream::chunkChars;

// The whole DATA text, chunk by chunk as a socket would take it; Date and
// Message-ID read "*".
QByteArray dataText(const QString &subject, const QString &body)
{
    const QxMail::BodyForm form = QxMail::bodyForm(body);
    QxSmtpMessageStream stream(
            QxMail::messageHeader(fromAddress, toAddress, subject, form, "*", "*"), body,
            form.quotedPrintable);
    QByteArray data;
    while (!stream.atEnd())
        data += stream.next();
    return data;
}

// The body of a DATA text as the server keeps it: after the blank line, the
// end marker and the transparency dots removed.
QByteArray receivedBody(const QByteArray &data)
{
    QByteArray body = data.mid(data.indexOf("\r\n\r\n") + 4);
    body.chop(3);
    QByteArrayList lines = body.split('\n');
    for (QByteArray &line : lines) {
        if (line.startsWith('.'))
            line.remove(0, 1);
    }
    return lines.join('\n');
}

QByteArray wholeText(QxSmtpMessageStream &stream)
{
    QByteArray data;
    while (!stream.atEnd() && !stream.failed())
        data += stream.next();
    return data;
}

// The DATA text of \a message, with "T" for the boundaries' token.
QByteArray messageText(const QxMailMessage &message, bool eightBit = true)
{
    const QxMailMessagePrivate &content = QxMailMessagePrivate::get(message);
    std::vector<QxMail::OpenAttachment> attachments;
    if (!QxMail::openAttachments(content, attachments).isEmpty())
        return "(cannot open)";
    QxSmtpMessageStream stream(
            QxMail::messagePieces(content, attachments, eightBit, "*", "*", "T"));
    return wholeText(stream);
}

QxMailMessage plainMessage()
{
    QxMailMessage message;
    message.setFrom(fromAddress);
    message.addTo(toAddress);
    message.setSubject(mailSubject);
    return message;
}

} // namespace

class tst_QxSmtpMessage : public QObject
{
    Q_OBJECT

private slots:
    void message_data();
    void message();
    void chunkBoundaries_data();
    void chunkBoundaries();
    void bodyForm_data();
    void bodyForm();
    void mimeMessage_data();
    void mimeMessage();
    void displayNames_data();
    void displayNames();
    void fileNames_data();
    void fileNames();
    void boundaryNotInText();
    void streamSize_data();
    void streamSize();
};

void tst_QxSmtpMessage::message_data()
{
    QTest::addColumn<QString>("subject");
    QTest::addColumn<QString>("body");
    QTest::addColumn<QByteArray>("data");

    const QByteArray fields = "Date: *\r\nMessage-ID: *\r\n";
    const QByteArray plain
            = "To: to@y.org\r\nFrom: from@x.org\r\nSubject: Hello\r\n" + fields + "\r\n";
    const QByteArray mime = "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n"
                            "Content-Transfer-Encoding: 8bit\r\n\r\n";
    const QByteArray quoted = "MIME-Version: 1.0\r\nContent-Type: text/plain; charset=UTF-8\r\n"
                              "Content-Transfer-Encoding: quoted-printable\r\n\r\n";
    const QByteArray headerStart = "To: to@y.org\r\nFrom: from@x.org\r\nSubject: ";
    const QByteArray end = "\r\n.\r\n";
    // 999 octets of "a" in quoted-printable: 13 lines of 75 and a soft break, then 24.
    const QByteArray longA
            = QByteArray("a").repeated(75).append("=\r\n").repeated(13) + QByteArray(24, 'a');
    const QByteArray longSpaces = QByteArray("=20").repeated(25).append("=\r\n").repeated(39)
            + QByteArray("=20").repeated(24);

    // clang-format off
    QTest::newRow("plain") << mailSubject << mailBody << plain + "Body" + end;
    QTest::newRow("empty subject") << QString() << mailBody << headerStart + "\r\n" + fields + "\r\nBody" + end;
    QTest::newRow("empty body") << mailSubject << QString() << plain + ".\r\n";
    QTest::newRow("lone LF") << mailSubject << "a\nb" << plain + "a\r\nb" + end;
    QTest::newRow("CR LF stays one line end") << mailSubject << "a\r\nb" << plain + "a\r\nb" + end;
    QTest::newRow("lone CR") << mailSubject << "a\rb" << plain + "a\r\nb" + end;
    QTest::newRow("CR CR LF") << mailSubject << "a\r\r\nb" << plain + "a\r\n\r\nb" + end;
    QTest::newRow("LF CR") << mailSubject << "a\n\rb" << plain + "a\r\n\r\nb" + end;
    QTest::newRow("trailing LF adds no blank line") << mailSubject << "a\n" << plain + "a\r\n.\r\n";
    QTest::newRow("trailing CR LF adds no blank line") << mailSubject << "a\r\n" << plain + "a\r\n.\r\n";
    QTest::newRow("trailing blank line kept") << mailSubject << "a\n\n" << plain + "a\r\n\r\n.\r\n";
    QTest::newRow("dot line") << mailSubject << "a\n.\nb" << plain + "a\r\n..\r\nb" + end;
    QTest::newRow("dot lines in a row from the start") << mailSubject << ".\n.\r\n.\r." << plain + "..\r\n..\r\n..\r\n.." + end;
    QTest::newRow("dot line at the end") << mailSubject << "a\n." << plain + "a\r\n.." + end;
    QTest::newRow("dot and text") << mailSubject << ".x\n..y\n. z" << plain + "..x\r\n...y\r\n.. z" + end;
    QTest::newRow("dots inside lines") << mailSubject << "a.b\n x.\n" << plain + "a.b\r\n x.\r\n.\r\n";
    QTest::newRow("non-ASCII body") << mailSubject << QStringLiteral("Grüße\n.ä") << plain.left(plain.size() - 2) + mime + QStringLiteral("Grüße\r\n..ä").toUtf8() + end;
    QTest::newRow("non-ASCII subject") << QStringLiteral("Grüße") << mailBody << headerStart + "=?UTF-8?B?" + QStringLiteral("Grüße").toUtf8().toBase64() + "?=\r\n" + fields + mime + "Body" + end;
    // 42 bytes of UTF-8 at most per encoded word.
    QTest::newRow("long non-ASCII subject") << QString(30, QChar(0xe4)) << mailBody << headerStart + "=?UTF-8?B?" + QString(21, QChar(0xe4)).toUtf8().toBase64() + "?=\r\n =?UTF-8?B?" + QString(9, QChar(0xe4)).toUtf8().toBase64() + "?=\r\n" + fields + mime + "Body" + end;
    QTest::newRow("four-byte characters stay whole") << QStringLiteral("\U0001F600").repeated(11) << mailBody << headerStart + "=?UTF-8?B?" + QStringLiteral("\U0001F600").repeated(10).toUtf8().toBase64() + "?=\r\n =?UTF-8?B?" + QStringLiteral("\U0001F600").toUtf8().toBase64() + "?=\r\n" + fields + mime + "Body" + end;
    QTest::newRow("998-octet line as it is") << mailSubject << QString(998, QLatin1Char('a')) << plain + QByteArray(998, 'a') + end;
    QTest::newRow("998 octets in 499 characters") << mailSubject << QString(499, QChar(0xe4)) << plain.left(plain.size() - 2) + mime + QString(499, QChar(0xe4)).toUtf8() + end;
    QTest::newRow("999-octet line quoted-printable") << mailSubject << "x\n" + QString(999, QLatin1Char('a')) << plain.left(plain.size() - 2) + quoted + "x\r\n" + longA + end;
    QTest::newRow("long line after a CR") << mailSubject << "x\r" + QString(999, QLatin1Char('a')) + "\n" << plain.left(plain.size() - 2) + quoted + "x\r\n" + longA + "\r\n.\r\n";
    QTest::newRow("quoted-printable spaces") << mailSubject << QString(999, QLatin1Char(' ')) << plain.left(plain.size() - 2) + quoted + longSpaces + end;
    QTest::newRow("quoted-printable leading dot, equals sign, non-ASCII") << mailSubject << ".=\n." + QString(999, QLatin1Char('b')) + QChar(0xe4) << plain.left(plain.size() - 2) + quoted + "=2E=3D\r\n=2E" + QByteArray(72, 'b') + "=\r\n" + QByteArray("b").repeated(75).append("=\r\n").repeated(12) + QByteArray(27, 'b') + "=C3=A4" + end;
    // clang-format on
}

void tst_QxSmtpMessage::message()
{
    QFETCH(QString, subject);
    QFETCH(QString, body);
    QFETCH(QByteArray, data);

    QCOMPARE(dataText(subject, body), data);
}

void tst_QxSmtpMessage::chunkBoundaries_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<QByteArray>("received");

    // Short lines up to the last character of the first chunk.
    const QString before = QStringLiteral("abcdefg\n").repeated((chunk - 1) / 8)
            + QString((chunk - 1) % 8, QLatin1Char('x'));
    const QByteArray sent = QByteArray("abcdefg\r\n").repeated((chunk - 1) / 8)
            + QByteArray((chunk - 1) % 8, 'x');
    // clang-format off
    QTest::newRow("CR LF split between chunks") << before + "\r\nb" << sent + "\r\nb\r\n";
    QTest::newRow("lone CR ends a chunk") << before + "\rb" << sent + "\r\nb\r\n";
    QTest::newRow("dot line starts a chunk") << before + "\n.x" << sent + "\r\n.x\r\n";
    QTest::newRow("surrogate pair across the boundary") << before + QStringLiteral("\U0001F600x") << sent + QStringLiteral("\U0001F600x").toUtf8() + "\r\n";
    QTest::newRow("lines of many chunks") << QStringLiteral("..line\n").repeated(3 * chunk / 7) << QByteArray("..line\r\n").repeated(3 * chunk / 7);
    // clang-format on
}

// However the body falls into chunks, the server keeps the text as it was
// written, with CR LF line ends.
void tst_QxSmtpMessage::chunkBoundaries()
{
    QFETCH(QString, body);
    QFETCH(QByteArray, received);

    const QByteArray data = dataText(mailSubject, body);
    QVERIFY(data.endsWith("\r\n.\r\n"));
    QCOMPARE(receivedBody(data), received);
    QVERIFY(!data.contains("\r\r") && !data.contains("\n\n"));
}

void tst_QxSmtpMessage::bodyForm_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("ascii");
    QTest::addColumn<bool>("quotedPrintable");

    const QString grinning = QStringLiteral("\U0001F600");
    // clang-format off
    QTest::newRow("short ASCII") << QStringLiteral("Body") << true << false;
    QTest::newRow("998 ASCII octets") << QString(998, QLatin1Char('a')) << true << false;
    QTest::newRow("999 ASCII octets") << QString(999, QLatin1Char('a')) << true << true;
    QTest::newRow("999 octets between lone CRs") << "x\r" + QString(999, QLatin1Char('a')) + "\rx" << true << true;
    QTest::newRow("short lines, long text") << QStringLiteral("line\r\n").repeated(1000) << true << false;
    QTest::newRow("998 octets in two-octet characters") << QString(499, QChar(0xe4)) << false << false;
    QTest::newRow("1000 octets in two-octet characters") << QString(500, QChar(0xe4)) << false << true;
    QTest::newRow("996 octets in four-octet characters") << grinning.repeated(249) << false << false;
    QTest::newRow("1000 octets in four-octet characters") << grinning.repeated(250) << false << true;
    QTest::newRow("three-octet characters, 999 octets") << QString(333, QChar(0x20ac)) << false << true;
    // clang-format on
}

// ASCII goes as it is, UTF-8 as 8-bit, and any line longer than 998 octets
// makes the whole body quoted-printable.
void tst_QxSmtpMessage::bodyForm()
{
    QFETCH(QString, body);
    QFETCH(bool, ascii);
    QFETCH(bool, quotedPrintable);

    const QxMail::BodyForm form = QxMail::bodyForm(body);
    QCOMPARE(form.ascii, ascii);
    QCOMPARE(form.quotedPrintable, quotedPrintable);
    QCOMPARE(QxMail::utf8Length(body), qint64(body.toUtf8().size()));
}

void tst_QxSmtpMessage::mimeMessage_data()
{
    QTest::addColumn<QxMailMessage>("message");
    QTest::addColumn<bool>("eightBit");
    QTest::addColumn<QByteArray>("data");

    const QByteArray head = "From: from@x.org\r\nTo: to@y.org\r\nSubject: Hello\r\nDate: *\r\n"
                            "Message-ID: *\r\nMIME-Version: 1.0\r\n";
    const QByteArray plain7 = "Content-Type: text/plain; charset=UTF-8\r\n"
                              "Content-Transfer-Encoding: 7bit\r\n\r\n";
    const QByteArray html7 = "Content-Type: text/html; charset=UTF-8\r\n"
                             "Content-Transfer-Encoding: 7bit\r\n\r\n";
    const QByteArray alternative
            = "Content-Type: multipart/alternative;\r\n boundary=\"=_aT\"\r\n\r\n";
    const QByteArray mixed = "Content-Type: multipart/mixed;\r\n boundary=\"=_mT\"\r\n\r\n";

    QxMailMessage text = plainMessage();
    text.setText(QStringLiteral("a\n.b"));
    QxMailMessage both = text;
    both.setHtml(QStringLiteral("<p>x</p>\n"));
    QxMailMessage attached = both;
    attached.addDataAttachment(QByteArray(58, 'z'), QStringLiteral("z.txt"),
                               QStringLiteral("text/plain"));
    attached.addDataAttachment(QByteArray(), QStringLiteral("e.bin"),
                               QStringLiteral("application/octet-stream"));
    QxMailMessage names = plainMessage();
    names.addCc(QStringLiteral("c1@y.org"), QStringLiteral("C One"));
    names.addCc(QStringLiteral("<c2@y.org>"));
    names.addBcc(QStringLiteral("hidden@y.org"), QStringLiteral("Hidden"));
    names.setReplyTo(QStringLiteral("r@x.org"));
    names.addHeader("X-Mailer", QStringLiteral("lumo"));
    names.addHeader("X-Long", QString(1000, QLatin1Char('v')));
    QxMailMessage dotField = plainMessage();
    dotField.addHeader(".x", QStringLiteral("v"));
    QxMailMessage german = plainMessage();
    german.setText(QStringLiteral("Grüße"));
    // clang-format off
    QTest::newRow("text") << text << true << head + plain7 + "a\r\n..b\r\n.\r\n";
    QTest::newRow("text and HTML") << both << true << head + alternative + "--=_aT\r\n" + plain7 + "a\r\n..b\r\n--=_aT\r\n" + html7 + "<p>x</p>\r\n\r\n--=_aT--\r\n.\r\n";
    QTest::newRow("attachments") << attached << true << head + mixed + "--=_mT\r\n" + alternative + "--=_aT\r\n" + plain7 + "a\r\n..b\r\n--=_aT\r\n" + html7 + "<p>x</p>\r\n\r\n--=_aT--"
        "\r\n--=_mT\r\nContent-Type: text/plain;\r\n name=\"z.txt\"\r\nContent-Disposition: attachment;\r\n filename=\"z.txt\"\r\nContent-Transfer-Encoding: base64\r\n\r\n" + QByteArray(58, 'z').toBase64().insert(76, "\r\n") +
        "\r\n--=_mT\r\nContent-Type: application/octet-stream;\r\n name=\"e.bin\"\r\nContent-Disposition: attachment;\r\n filename=\"e.bin\"\r\nContent-Transfer-Encoding: base64\r\n\r\n"
        "\r\n--=_mT--\r\n.\r\n";
    QTest::newRow("Cc, Reply-To, extra fields, no Bcc") << names << true << "From: from@x.org\r\nTo: to@y.org\r\nCc: C One <c1@y.org>,\r\n c2@y.org\r\nReply-To: r@x.org\r\nSubject: Hello\r\nDate: *\r\nMessage-ID: *\r\nX-Mailer: lumo\r\nX-Long: " + QxMail::encodedWords(QString(1000, QLatin1Char('v'))) + "\r\nMIME-Version: 1.0\r\n" + plain7 + ".\r\n";
    QTest::newRow("a field name with a leading dot keeps it") << dotField << true << "From: from@x.org\r\nTo: to@y.org\r\nSubject: Hello\r\nDate: *\r\nMessage-ID: *\r\n..x: v\r\nMIME-Version: 1.0\r\n" + plain7 + ".\r\n";
    QTest::newRow("8-bit where the server takes it") << german << true << head + "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: 8bit\r\n\r\n" + QStringLiteral("Grüße").toUtf8() + "\r\n.\r\n";
    QTest::newRow("quoted-printable where it does not") << german << false << head + "Content-Type: text/plain; charset=UTF-8\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\nGr=C3=BC=C3=9Fe\r\n.\r\n";
    // clang-format on
}

void tst_QxSmtpMessage::mimeMessage()
{
    QFETCH(QxMailMessage, message);
    QFETCH(bool, eightBit);
    QFETCH(QByteArray, data);

    QCOMPARE(messageText(message, eightBit), data);
}

void tst_QxSmtpMessage::displayNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("field");

    // clang-format off
    QTest::newRow("atoms") << "Ann Example" << QByteArray("Ann Example <to@y.org>");
    QTest::newRow("comma, quoted") << "Doe, John" << QByteArray("\"Doe, John\" <to@y.org>");
    QTest::newRow("quote and backslash escaped") << "Say \"hi\" \\" << QByteArray("\"Say \\\"hi\\\" \\\\\" <to@y.org>");
    QTest::newRow("dot, quoted") << "J. Doe" << QByteArray("\"J. Doe\" <to@y.org>");
    QTest::newRow("double space, quoted") << "a  b" << QByteArray("\"a  b\" <to@y.org>");
    QTest::newRow("angle bracket, quoted") << "a <b@c> d" << QByteArray("\"a <b@c> d\" <to@y.org>");
    QTest::newRow("non-ASCII, encoded") << "Zoë" << "=?UTF-8?B?" + QStringLiteral("Zoë").toUtf8().toBase64() + "?= <to@y.org>";
    QTest::newRow("tab, encoded") << "a\tb" << "=?UTF-8?B?" + QByteArray("a\tb").toBase64() + "?= <to@y.org>";
    QTest::newRow("looks encoded, encoded") << "=?UTF-8?B?eA==?=" << "=?UTF-8?B?" + QByteArray("=?UTF-8?B?eA==?=").toBase64() + "?= <to@y.org>";
    QTest::newRow("long, encoded and folded") << QString(201, QLatin1Char('n')) << QxMail::encodedWords(QString(201, QLatin1Char('n'))) + " <to@y.org>";
    // clang-format on
}

void tst_QxSmtpMessage::displayNames()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, field);

    QxMailMessage message;
    message.setFrom(fromAddress);
    message.addTo(toAddress, name);
    const QByteArray data = messageText(message);
    const int start = data.indexOf("\r\nTo: ") + 6;
    QCOMPARE(data.mid(start, data.indexOf("\r\nSubject: ") - start), field);
}

void tst_QxSmtpMessage::fileNames_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("parameter");

    const QString longName = QStringLiteral("Bericht über das Jahr – ")
            + QString(40, QLatin1Char('x')) + QStringLiteral(".pdf");
    // clang-format off
    QTest::newRow("plain") << "report.pdf" << QByteArray("filename=\"report.pdf\"");
    QTest::newRow("quote") << "a\"b.txt" << QByteArray("filename=\"a\\\"b.txt\"");
    QTest::newRow("non-ASCII") << "Grüße.txt" << QByteArray("filename*=UTF-8''Gr%C3%BC%C3%9Fe.txt");
    QTest::newRow("line break") << "a\r\nb.txt" << QByteArray("filename*=UTF-8''a%0D%0Ab.txt");
    QTest::newRow("NUL") << QStringLiteral("a") + QChar(0) + QStringLiteral("b") << QByteArray("filename*=UTF-8''a%00b");
    QTest::newRow("long, in sections, escapes whole") << longName << QByteArray("filename*0*=UTF-8''Bericht%20%C3%BCber%20das%20Jahr%20%E2%80%93%20xxxxxxxxxxxxx;\r\n filename*1*=xxxxxxxxxxxxxxxxxxxxxxxxxxx.pdf");
    // clang-format on
}

void tst_QxSmtpMessage::fileNames()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, parameter);

    QxMailMessage message = plainMessage();
    message.addDataAttachment("x", fileName, QStringLiteral("text/plain"));
    const QByteArray data = messageText(message);
    const int start = data.indexOf("Content-Disposition: attachment;\r\n ") + 35;
    QCOMPARE(data.mid(start, data.indexOf("\r\nContent-Transfer-Encoding: base64", start) - start),
             parameter);
}

// A text that holds the boundary token gets another, random one.
void tst_QxSmtpMessage::boundaryNotInText()
{
    QxMailMessage message = plainMessage();
    message.setText(QStringLiteral("--=_aT\n--=_mT--\n"));
    message.setHtml(QStringLiteral("<p>T</p>"));
    message.addDataAttachment("x", QStringLiteral("x.txt"));
    const QByteArray data = messageText(message);
    const QByteArrayList lines = data.split('\n');
    QCOMPARE(lines.count("--=_aT\r"), 1);
    QCOMPARE(lines.count("--=_mT--\r"), 1);
    const QRegularExpression boundary(QStringLiteral("boundary=\"=_m([^\"]+)\""));
    const QString token = boundary.match(QString::fromLatin1(data)).captured(1);
    QVERIFY(token.size() > 10);
    QVERIFY(!message.text().contains(token));
}

void tst_QxSmtpMessage::streamSize_data()
{
    QTest::addColumn<QxMailMessage>("message");

    const auto withAttachment = [](int size) {
        QxMailMessage message = plainMessage();
        message.setText(QStringLiteral(".a\n"));
        message.addDataAttachment(QByteArray(size, 'q'), QStringLiteral("q.bin"));
        return message;
    };
    QxMailMessage quoted = plainMessage();
    quoted.setText(QString(3000, QLatin1Char('=')) + QStringLiteral("\n.x"));
    quoted.setHtml(QStringLiteral("ä").repeated(chunk + 3));
    QxMailMessage empty = plainMessage();
    // clang-format off
    QTest::newRow("empty") << empty;
    QTest::newRow("quoted-printable over chunks") << quoted;
    for (int size : { 0, 1, 2, 3, 56, 57, 58, 57 * 1024, 57 * 1024 + 1, 3 * 57 * 1024 + 100 })
        QTest::newRow(qPrintable(QStringLiteral("attachment of %1 octets").arg(size))) << withAttachment(size);
    // clang-format on
}

// The total that progress reports is known before the first chunk.
void tst_QxSmtpMessage::streamSize()
{
    QFETCH(QxMailMessage, message);

    const QxMailMessagePrivate &content = QxMailMessagePrivate::get(message);
    std::vector<QxMail::OpenAttachment> attachments;
    QCOMPARE(QxMail::openAttachments(content, attachments), QString());
    QxSmtpMessageStream stream(QxMail::messagePieces(content, attachments, true, "*", "*", "T"));
    const qint64 size = stream.size();
    QCOMPARE(qint64(wholeText(stream).size()), size);
    QVERIFY(!stream.failed());
}

QTEST_APPLESS_MAIN(tst_QxSmtpMessage)
#include "tst_QxSmtpMessage.moc"
