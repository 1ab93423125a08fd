#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <memory>

#include "lumo_export.h"

class QSslCertificate;
class QTcpSocket;
class QTimer;
class QxSmtpMessageStream;

/// Sends one plain-text mail to one recipient through an SMTP server, on the
/// event loop of the thread that creates it.
///
/// Create it with new (it takes no parent), connect to status(), call
/// sendMail() once and return to the event loop. By default the dialogue is
/// plain SMTP (HELO, MAIL FROM, RCPT TO, DATA, QUIT) in UTF-8; setSecurity()
/// and setCredentials() add TLS and a login (EHLO then replaces HELO).
/// Replies may arrive in any fragments and may span several lines; only a
/// reply's last line decides.
///
/// Each mail has exactly one outcome, reported by status():
/// - success once the server has accepted the message (QUIT is then sent);
/// - "Unexpected reply from smtp server : " and every line of the reply;
/// - "Socket Error : " and the socket's error text;
/// - "TLS Error : " and what failed (handshake, certificate, STARTTLS);
/// - "Timeout : ..." when setTimeout() is in force and the server stays silent;
/// - "Refused : ..." when sendMail() refuses its input or is called again.
///   A refusal is queued: it arrives after sendMail() returns.
///
/// Ownership: once the sender has sent QUIT (after success, an unexpected
/// reply or STARTTLS missing) it closes its connection and deletes itself as
/// soon as the server answers, drops the connection or (with a timeout) stays
/// silent. After a socket or TLS error, a timeout or a refused first
/// sendMail() it stays alive and its creator deletes it; use deleteLater()
/// from a slot connected to status().
class LUMO_EXPORT QxSmtpMailSender : public QObject
{
    Q_OBJECT
public:
    /// How the connection is protected.
    enum Security {
        NoSecurity, ///< Plain SMTP, no TLS (the default).
        StartTls, ///< Upgrades to TLS after EHLO (RFC 3207); fails if the server does not offer it.
        ImplicitTls ///< TLS from the first byte (SMTPS, RFC 8314), usually port 465.
    };
    Q_ENUM(Security)

    /// Talks to the SMTP server at \a host (name or address) and \a port; no
    /// connection is made before sendMail().
    QxSmtpMailSender(const QString &host, int port);
    ~QxSmtpMailSender() override;

    /// Sends \a body with \a subject from \a sender to \a recipient and returns
    /// at once; status() reports the outcome. \a body is kept by reference
    /// (Qt's implicit sharing) and sent in chunks as the connection takes
    /// them, so memory beyond it stays small for any size.
    ///
    /// The addresses go onto the MAIL FROM and RCPT TO lines in angle brackets
    /// ("MAIL FROM:<name@example.org>"); an address already in brackets is sent
    /// as it is. The message holds the headers "To: ", "From: ", "Subject: ",
    /// "Date: " and "Message-ID: ", a blank line and the body; a subject or body
    /// with non-ASCII characters adds MIME headers (UTF-8, 8bit) and sends the
    /// subject as RFC 2047 encoded words, and a body line longer than 998 bytes
    /// sends the whole body quoted-printable. Every line end (CR LF, lone CR,
    /// lone LF) is sent as CR LF and every line that starts with "." gets one
    /// more ".", so the server keeps the text as is.
    ///
    /// Refused, with nothing sent: an empty address, a CR or LF in an address
    /// or the subject (they would inject commands or headers), credentials
    /// without TLS, and any call after the first.
    void sendMail(const QString &sender, const QString &recipient, const QString &subject,
                  const QString &body);

    /// Time in milliseconds without any traffic to or from the server after
    /// which the dialogue fails with "Timeout : ..." and the connection is
    /// closed; once the outcome is reported, the sender just closes and
    /// deletes itself then. After the end of the message the server gets at
    /// least 10 minutes for its answer (RFC 5321, 4.5.3.2.6) whatever the
    /// limit, since a mail reported as failed there may still be delivered.
    /// 0 (the default) or less: no limit.
    int timeout() const;
    /// Sets timeout() to \a msecs; 0 or less switches the limit off.
    void setTimeout(int msecs);

    /// The protection of the connection; NoSecurity by default.
    Security security() const;
    /// Sets security() to \a security; takes effect at sendMail(), later calls
    /// are ignored. The server's certificate must be trusted and issued for
    /// the host name given to the constructor.
    void setSecurity(Security security);

    /// Certificates trusted in addition to the system's authorities, for a
    /// server with a private or self-signed certificate; empty by default.
    QList<QSslCertificate> caCertificates() const;
    /// Sets caCertificates() to \a certificates; takes effect at sendMail().
    void setCaCertificates(const QList<QSslCertificate> &certificates);

    /// Logs in as \a user with \a password (AUTH PLAIN, or AUTH LOGIN when the
    /// server offers only that) before the mail. Needs StartTls or ImplicitTls:
    /// in clear, sendMail() refuses the mail. An empty \a user logs in not.
    void setCredentials(const QString &user, const QString &password);

Q_SIGNALS:
    /// The outcome of the mail: \a success with a null \a error, or a failure
    /// text made of a fixed label and the detail.
    void status(bool success, const QString &error);

private Q_SLOTS:
    void readyRead();
    void error();

private:
    // The values are fixed, which is why they are not in dialogue order; the
    // states after Closing belong to the optional TLS and login steps.
    enum DialogueState {
        AwaitMailFromReply = 0,
        AwaitHeloReply = 1,
        AwaitRcptToReply = 2,
        AwaitGreeting = 3,
        AwaitDataReply = 4,
        AwaitMessageReply = 5,
        Closing = 6,
        AwaitStartTlsReply = 7,
        AwaitHandshake = 8,
        AwaitLoginUserPrompt = 9,
        AwaitLoginPasswordPrompt = 10,
        AwaitAuthReply = 11
    };
    enum class Ending { SendQuit, KeepConnection };
    // Who deletes the sender once the outcome is out.
    enum class Owner { Sender, Creator };

    void connectSocket();
    void readReplies();
    void refuseReply(const QString &why);
    bool handleReply(QChar code);
    void afterGreeting();
    void startMail();
    void encrypted();
    void startLogin();
    void send(const QByteArray &command);
    void writeMessage();
    qint64 bytesQueued() const;
    void fail(const QString &text, Ending ending, Owner deleter);
    void connectionEnded(const QString &failure);
    void finish();
    void timedOut();
    void restartTimer();
    bool listening() const;
    bool usesExtendedHello() const;

    std::unique_ptr<QxSmtpMessageStream> messageStream;
    QTcpSocket *socket;
    QString senderAddress;
    QString recipientAddress;
    QString replyText;
    QString hostName;
    int port;
    DialogueState dialogueState = AwaitGreeting;

    QString subjectText;
    QString bodyText;
    QTimer *timer = nullptr;
    int timeoutMsecs = 0;
    Security securityMode = NoSecurity;
    QList<QSslCertificate> extraCaCertificates;
    QString userName;
    QString userPassword;
    QStringList extensions;
    bool mailStarted = false;
    bool outcomeReported = false;
    bool messageWritten = false;
    bool readingReplies = false;
    Owner owner = Owner::Creator;
};
