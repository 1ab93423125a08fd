#pragma once

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QProcess>
#include <QSslCertificate>
#include <QStringList>
#include <QTemporaryDir>

/// A local SMTP server for the Mail page: Debian's aiosmtpd, started on a free
/// loopback port, describing every mail it receives (as Python's email package
/// reads it), which the sink hands on as mailReceived() and messageReceived().
/// Nothing leaves the machine.
///
/// It offers STARTTLS with a self-signed certificate for host() that it makes
/// at start, and after STARTTLS a login (AUTH PLAIN and LOGIN) as userName()
/// with password(); mail without TLS or login is taken as well.
class MailSink : public QObject
{
    Q_OBJECT
public:
    /// One leaf of a received mail's MIME tree: a body or an attachment.
    struct Part
    {
        QString type; ///< "text/plain", "image/png", ...
        QString fileName; ///< empty for a part without a file name (a body)
        qint64 size = 0; ///< octets of the decoded content
    };

    /// A received mail as a mail reader sees it.
    struct Mail
    {
        QString text; ///< headers and body as received, lines joined by LF
        QString subject; ///< decoded
        QStringList to; ///< the addresses of the To field
        QStringList cc; ///< the addresses of the Cc field
        QString envelopeFrom; ///< MAIL FROM
        QStringList envelopeTo; ///< every RCPT TO the server took, blind copies included
        QList<Part> parts; ///< the leaves in the order of the mail
    };

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
    QStringList messages() const;
    /// Every mail received so far, in arrival order.
    QList<Mail> mails() const { return m_mails; }
    /// The certificate the running server presents, for the client to trust.
    QList<QSslCertificate> certificates() const;
    /// The login the server takes.
    static QString userName() { return QStringLiteral("gallery"); }
    static QString password() { return QStringLiteral("lumo"); }

signals:
    void started(quint16 port);
    void failed(const QString &reason);
    /// A mail arrived; \a message is its text (Mail::text).
    void messageReceived(const QString &message);
    /// A mail arrived, emitted just before messageReceived().
    void mailReceived(const MailSink::Mail &mail);

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
    QList<Mail> m_mails;
};

Q_DECLARE_METATYPE(MailSink::Mail)
