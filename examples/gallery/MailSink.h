#pragma once

#include <QList>
#include <QObject>
#include <QProcess>
#include <QSslCertificate>
#include <QStringList>
#include <QTemporaryDir>

/// A local SMTP server for the Mail page: Debian's aiosmtpd, started on a free
/// loopback port, printing every mail it receives, which the sink hands on as
/// messageReceived(). Nothing leaves the machine.
///
/// It offers STARTTLS with a self-signed certificate for host() that it makes
/// at start, and after STARTTLS a login (AUTH PLAIN and LOGIN) as userName()
/// with password(); mail without TLS or login is taken as well.
class MailSink : public QObject
{
    Q_OBJECT
public:
    explicit MailSink(QObject *parent = nullptr);
    /// Stops the server if it still runs.
    ~MailSink() override;

    /// The aiosmtpd program found on PATH, or an empty text.
    static QString program();

    /// Starts the server; started() or failed() follows.
    void start();
    void stop();

    /// True from start() until stop() or the server's end.
    bool isRunning() const { return m_process != nullptr; }
    /// True between started() and stop() (or the server's end).
    bool isListening() const { return m_listening; }
    QString host() const { return QStringLiteral("127.0.0.1"); }
    /// The port it listens on, 0 while it does not.
    quint16 port() const { return m_listening ? m_port : 0; }
    /// Every message received so far, headers and body, in arrival order.
    QStringList messages() const { return m_messages; }
    /// The certificate the running server presents, for the client to trust.
    QList<QSslCertificate> certificates() const;
    /// The login the server takes.
    static QString userName() { return QStringLiteral("gallery"); }
    static QString password() { return QStringLiteral("lumo"); }

signals:
    void started(quint16 port);
    void failed(const QString &reason);
    void messageReceived(const QString &message);

private:
    void launch();
    void readOutput();
    void readDiagnostics();
    void finished();

    QProcess *m_process = nullptr;
    QTemporaryDir m_certificateDir;
    quint16 m_port = 0;
    int m_attempts = 0;
    bool m_listening = false;
    QByteArray m_output;
    QByteArray m_diagnostics;
    QStringList m_messageLines;
    bool m_inMessage = false;
    QStringList m_messages;
};
