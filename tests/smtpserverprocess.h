#pragma once

#include <lumo/QxSmtpMailSender.h>

#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QLocalSocket>
#include <QPointer>
#include <QProcess>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

// The tests' SMTP servers: smtp_server.py (aiosmtpd, plain or with TLS, or
// misbehaving) started on a free loopback port for the life of the object,
// keeping each mail in a temporary directory; a server that plays a script;
// and OpenSMTPD.

inline quint16 freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
        return 0;
    return probe.serverPort();
}

// Whether a server on the loopback \a port takes a connection.
inline bool acceptsConnections(quint16 port)
{
    QTcpSocket probe;
    probe.connectToHost(QHostAddress::LocalHost, port);
    const bool connected = probe.waitForConnected(1000);
    probe.abort();
    return connected;
}

class SmtpServerProcess
{
public:
    // \a arguments follow the port and the mail directory on smtp_server.py's
    // command line ("--mode", "starttls", ...). Check QTest::currentTestFailed()
    // after constructing one: it fails the test when the server does not start.
    explicit SmtpServerProcess(const QStringList &arguments = {})
    {
        QVERIFY(outDir.isValid());
        serverPort = freePort();
        QVERIFY(serverPort != 0);
        // The Debian interpreter, where python3-aiosmtpd lives.
        serverProcess.start(QStringLiteral("/usr/bin/python3"),
                            QStringList { QStringLiteral(LUMO_TEST_SOURCE_DIR "/smtp_server.py"),
                                          QString::number(serverPort), outDir.path() }
                                    + arguments);
        QVERIFY2(serverProcess.waitForStarted(), qPrintable(serverProcess.errorString()));
        QTRY_VERIFY2_WITH_TIMEOUT(acceptsConnections(serverPort)
                                          || serverProcess.state() == QProcess::NotRunning,
                                  "the SMTP server does not accept connections", 30000);
        QVERIFY2(serverProcess.state() == QProcess::Running,
                 qPrintable(
                         "the SMTP server ended (is python3-aiosmtpd installed? run scripts/deps): "
                         + QString::fromLocal8Bit(serverProcess.readAllStandardError())));
    }

    ~SmtpServerProcess()
    {
        serverProcess.closeWriteChannel();
        serverProcess.terminate();
        if (!serverProcess.waitForFinished(10000))
            serverProcess.kill();
        serverProcess.waitForFinished();
    }

    quint16 port() const { return serverPort; }
    // What it prints (with --print) comes on standard output.
    QProcess &process() { return serverProcess; }

    QByteArray file(const QString &name) const
    {
        QFile file(outDir.filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

private:
    QTemporaryDir outDir;
    QProcess serverProcess;
    quint16 serverPort = 0;
};

// The Date and Message-ID fields differ in every mail: compared as "*".
inline QByteArray masked(const QByteArray &data)
{
    static const QRegularExpression fields(
            QStringLiteral("(?<=\r\n)(Date|Message-ID): [^\r\n]*(?=\r\n)"));
    return QString::fromLatin1(data).replace(fields, QStringLiteral("\\1: *")).toLatin1();
}

// A loopback SMTP server that plays a script against one client and keeps
// every byte the client sends.
class ScriptedServer : public QObject
{
public:
    explicit ScriptedServer(const QByteArrayList &script)
        : script(script)
    {
        connect(&server, &QTcpServer::newConnection, this, &ScriptedServer::accept);
        server.listen(QHostAddress::LocalHost);
    }

    quint16 port() const { return server.serverPort(); }
    int connections() const { return connectionCount; }
    bool scriptDone() const { return step == script.size(); }
    bool closed() const { return connectionClosed; }
    QByteArray received() const { return buffer; }

    QByteArray expectedFromClient() const
    {
        QByteArray expected;
        for (const QByteArray &entry : script) {
            if (entry.startsWith('<'))
                expected += entry.mid(1);
        }
        return expected;
    }

    // Fragments are sent one client read apart: the next goes out once the
    // client's socket has read the previous one.
    void watch(QxSmtpMailSender *sender)
    {
        auto *clientSocket = sender->findChild<QTcpSocket *>();
        QVERIFY(clientSocket);
        connect(clientSocket, &QTcpSocket::readyRead, this, [this] {
            awaitingClientRead = false;
            advance();
        });
    }

private:
    void accept()
    {
        ++connectionCount;
        QTcpSocket *next = server.nextPendingConnection();
        if (connection) {
            next->deleteLater();
            return;
        }
        connection = next;
        connect(connection, &QTcpSocket::readyRead, this, [this] {
            buffer += connection->readAll();
            if (!fieldsMasked && buffer.contains("\r\nMessage-ID: ")
                && buffer.indexOf("\r\n", buffer.indexOf("\r\nMessage-ID: ") + 2) > 0) {
                buffer = masked(buffer);
                fieldsMasked = true;
            }
            advance();
        });
        connect(connection, &QTcpSocket::disconnected, this, [this] { connectionClosed = true; });
        advance();
    }

    void advance()
    {
        while (connection && !paused && step < script.size()) {
            const QByteArray &entry = script.at(step);
            const QByteArray data = entry.mid(1);
            if (entry.startsWith('~')) {
                paused = true;
                QTimer::singleShot(data.toInt(), this, [this] {
                    paused = false;
                    advance();
                });
            } else if (entry.startsWith('<')) {
                if (buffer.size() - consumed < data.size())
                    return;
                consumed += data.size();
            } else if (entry.startsWith('>')) {
                if (awaitingClientRead)
                    return;
                connection->write(data);
                connection->flush();
                awaitingClientRead
                        = step + 1 < script.size() && script.at(step + 1).startsWith('>');
            } else {
                connection->disconnectFromHost();
            }
            ++step;
        }
    }

    QTcpServer server;
    QPointer<QTcpSocket> connection;
    QByteArrayList script;
    QByteArray buffer;
    int consumed = 0;
    int step = 0;
    int connectionCount = 0;
    bool awaitingClientRead = false;
    bool connectionClosed = false;
    bool fieldsMasked = false;
    bool paused = false;
};

// OpenSMTPD as a plain foreground process (smtpd -d) with a private
// configuration on a free loopback port: its default rules (local senders,
// envelope syntax checks) and one local domain, example.org, whose mail it
// stores in a maildir. It needs root, and only one can run on a machine at a
// time (its control socket has a fixed path).
class OpenSmtpdProcess
{
public:
    OpenSmtpdProcess()
    {
        if (!QFile::exists(QLatin1String(program)))
            QFAIL("OpenSMTPD is not installed: run scripts/deps");
        QVERIFY(dir.isValid());
        // Delivery runs as "nobody", which must reach the maildir.
        QFile::setPermissions(dir.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                      | QFileDevice::ExeOwner | QFileDevice::ReadOther
                                      | QFileDevice::ExeOther);
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("mail")));
        QFile::setPermissions(dir.filePath(QStringLiteral("mail")),
                              QFileDevice::Permissions(0x7777));
        serverPort = freePort();
        QVERIFY(serverPort != 0);
        QFile config(dir.filePath(QStringLiteral("smtpd.conf")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        config.write(
                QStringLiteral("table users { \"@example.org\" = \"nobody\" }\n"
                               "listen on 127.0.0.1 port %1\n"
                               "action \"store\" maildir \"%2\" virtual <users>\n"
                               "match from local for domain \"example.org\" action \"store\"\n")
                        .arg(serverPort)
                        .arg(dir.filePath(QStringLiteral("mail")))
                        .toUtf8());
        config.close();
        // One that another test run started may still be shutting down.
        QTRY_VERIFY_WITH_TIMEOUT(!controlSocketAnswers(), 30000);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QLatin1String(program),
                      { QStringLiteral("-d"), QStringLiteral("-f"), config.fileName() });
        QVERIFY2(process.waitForStarted(), qPrintable(process.errorString()));
        QTRY_VERIFY_WITH_TIMEOUT(
                acceptsConnections(serverPort) || process.state() == QProcess::NotRunning, 30000);
        QVERIFY2(process.state() == QProcess::Running, process.readAll().constData());
    }

    ~OpenSmtpdProcess()
    {
        process.terminate();
        if (!process.waitForFinished(20000))
            process.kill();
        process.waitForFinished();
    }

    quint16 port() const { return serverPort; }

    // The stored mail delivered to \a recipient, empty while there is none.
    QByteArray mailFor(const QString &recipient) const
    {
        const QDir delivered(dir.filePath(QStringLiteral("mail/new")));
        for (const QString &name : delivered.entryList(QDir::Files)) {
            QFile file(delivered.filePath(name));
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QByteArray mail = file.readAll();
            if (mail.contains("\nDelivered-To: " + recipient.toUtf8() + '\n'))
                return mail;
        }
        return QByteArray();
    }

private:
    static constexpr char program[] = "/usr/sbin/smtpd";

    static bool controlSocketAnswers()
    {
        QLocalSocket control;
        control.connectToServer(QStringLiteral("/run/smtpd.sock"));
        return control.waitForConnected(200);
    }

    QTemporaryDir dir;
    QProcess process;
    quint16 serverPort = 0;
};
