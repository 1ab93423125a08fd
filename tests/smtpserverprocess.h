#pragma once

#include <QFile>
#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

// The tests' SMTP servers: smtp_server.py (aiosmtpd, plain or with TLS, or
// misbehaving) started on a free loopback port for the life of the object,
// keeping each mail in a temporary directory.

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
