// The text of a mail as it goes out after DATA: header, body and end
// marker, made by the library's plain functions without a server.

#include "QxMailEncoding.h"
#include "QxMailHeader.h"
#include "QxSmtpMessageStream.h"

#include <QtTest>

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

QTEST_APPLESS_MAIN(tst_QxSmtpMessage)
#include "tst_QxSmtpMessage.moc"
