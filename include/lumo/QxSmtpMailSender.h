#pragma once

#include <QList>
#include <QObject>
#include <QString>

#include <memory>

#include "lumo_export.h"

class QSslCertificate;
class QxMailMessage;
class QxSmtpMailSenderPrivate;

/// Sends one mail through an SMTP server, on the event loop of the thread
/// that creates it: a plain-text mail to one recipient with sendMail(), or a
/// QxMailMessage (recipients, HTML, attachments) with sendMessage().
///
/// Create it with new (it takes no parent), connect to status(), call
/// sendMail() or sendMessage() once and return to the event loop. By default the dialogue is
/// plain SMTP (HELO, MAIL FROM, RCPT TO, DATA, QUIT) in UTF-8; setSecurity()
/// and setCredentials() or setAccessToken() add TLS and a login (EHLO then
/// replaces HELO).
/// Replies may arrive in any fragments and may span several lines; only a
/// reply's last line decides. A reply needs a three-digit code; one that
/// comes when none was asked for (lines after a reply's last line, an answer
/// before the whole message is written), a line over 4096 octets or a reply
/// over 64 KiB is an unexpected reply, and a status text shows at most the
/// first 4 KiB of a reply, control characters escaped ("\x1b"). Reply text is
/// read as UTF-8 where it is valid UTF-8, else as Latin-1.
///
/// Each mail has exactly one outcome, reported by status():
/// - success once the server has accepted the message (QUIT is then sent);
/// - "Unexpected reply from smtp server : " and every line of the reply;
/// - "Socket Error : " and the socket's error text;
/// - "TLS Error : " and what failed (handshake, certificate, STARTTLS);
/// - "Timeout : ..." when setTimeout() is in force and the server stays silent;
/// - "Refused : ..." when sendMail() or sendMessage() refuses its input or is
///   called again, or when an attachment changes while it is sent.
///   A refusal is queued: it arrives after sendMail() returns.
///
/// Ownership, by the status label and without exception:
/// - after success and after "Unexpected reply from smtp server : ..." the
///   sender deletes itself (deleteLater()), once the server has answered QUIT,
///   dropped the connection or, with a timeout, stayed silent;
/// - after "Socket Error", "TLS Error", "Timeout" and "Refused" it closes its
///   connection (with QUIT first where the dialogue allows it) and never
///   deletes itself: its creator deletes it, with deleteLater() from a slot
///   connected to status() or at any later time.
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
    /// Refused, with nothing sent: an empty address; an address holding a CR,
    /// LF or other control character, a space, or an angle bracket other than
    /// one pair around all of it (it could carry ESMTP parameters or
    /// commands); a CR or LF in the subject; credentials without TLS or
    /// holding a NUL; and any call after the first. A subject that is not
    /// short printable ASCII goes out as folded encoded words, so that no
    /// header line exceeds 998 octets and no control character reaches it.
    ///
    /// After EHLO (with TLS or a login) the server's extensions count: a mail
    /// larger than its SIZE is refused before MAIL FROM, an 8-bit body is
    /// declared with BODY=8BITMIME where offered, and non-ASCII addresses go
    /// with SMTPUTF8 where offered and are refused otherwise.
    void sendMail(const QString &sender, const QString &recipient, const QString &subject,
                  const QString &body);

    /// Sends \a message and returns at once, with the dialogue, TLS, login,
    /// outcomes and ownership of sendMail(); a sender sends one mail, by
    /// either function.
    ///
    /// Every address of To, Cc and Bcc gets its RCPT TO (each address once);
    /// Bcc addresses never appear in the message. If the server refuses any
    /// recipient, the mail is abandoned before DATA, so that it reaches all
    /// of them or none, and status() reports "Unexpected reply from smtp
    /// server : " with each refused address and the server's reply.
    ///
    /// Refused, with nothing sent: a message without a sender or any
    /// recipient, a faulty address (as for sendMail(), or longer than 254
    /// octets), a line break in the subject or a display name, an extra header
    /// field that QxMailMessage::addHeader() describes as refused, a MIME type
    /// that is not "type/subtype", an attachment file that cannot be opened or
    /// is not a regular file, and the login cases of sendMail(). Attachment
    /// files are opened here and read as the connection takes the mail, never
    /// whole into memory; one that shrinks, grows or fails to read meanwhile
    /// ends the dialogue without the end of the message (the connection is
    /// dropped, so the server discards it) and with "Refused : ...".
    ///
    /// Texts that are not ASCII go 8-bit where the server offers 8BITMIME or
    /// the plain HELO dialogue is used, quoted-printable otherwise.
    void sendMessage(const QxMailMessage &message);

    /// Time in milliseconds that each reply may take, counted from the moment
    /// the sender starts waiting for it (bytes that drip in do not extend it),
    /// after which the dialogue fails with "Timeout : ..." and the connection
    /// is closed; once the outcome is reported (waiting for the answer to
    /// QUIT), the sender just closes the connection then, and deletes itself
    /// where the ownership rule says so. After the end of the message the server gets at
    /// least 10 minutes for its answer (RFC 5321, 4.5.3.2.6) whatever the
    /// limit, since a mail reported as failed there may still be delivered.
    /// 0 (the default) or less: no limit.
    int timeout() const;
    /// Sets timeout() to \a msecs; 0 or less switches the limit off.
    void setTimeout(int msecs);

    /// The protection of the connection; NoSecurity by default.
    Security security() const;
    /// Sets security() to \a security; takes effect at sendMail(), later calls
    /// are ignored. TLS 1.2 or later is required (RFC 8996). The server's
    /// certificate must be trusted and issued for the host name given to the
    /// constructor; a certificate with subject alternative names is matched
    /// against those only (RFC 6125). What the server sends in clear after its
    /// STARTTLS reply is discarded.
    void setSecurity(Security security);

    /// Certificates trusted in addition to the system's authorities, for a
    /// server with a private or self-signed certificate; empty by default.
    QList<QSslCertificate> caCertificates() const;
    /// Sets caCertificates() to \a certificates; takes effect at sendMail().
    void setCaCertificates(const QList<QSslCertificate> &certificates);

    /// Logs in as \a user with \a password (AUTH PLAIN, or AUTH LOGIN when the
    /// server offers only that) before the mail. Needs StartTls or ImplicitTls:
    /// in clear, sendMail() refuses the mail. An empty \a user logs in not.
    /// Replaces an access token set with setAccessToken().
    void setCredentials(const QString &user, const QString &password);

    /// Logs in as \a user with the OAuth 2 access \a token (obtained by the
    /// caller, for example with Qt Network Authorization) before the mail:
    /// OAUTHBEARER (RFC 7628) where the server offers it, else XOAUTH2. Needs
    /// StartTls or ImplicitTls, as setCredentials() does, which it replaces.
    /// A token the server refuses ends in one "Unexpected reply from smtp
    /// server : " status that carries the server's error; neither the token
    /// nor a password ever appears in a status text.
    void setAccessToken(const QString &user, const QString &token);

Q_SIGNALS:
    /// The outcome of the mail: \a success with a null \a error, or a failure
    /// text made of a fixed label and the detail.
    void status(bool success, const QString &error);
    /// The message text goes out: \a sent of its \a total octets (after DATA,
    /// end marker included) are handed to the connection. Emitted as the
    /// connection drains, for sendMail() and sendMessage() alike, ending with
    /// \a sent equal to \a total; a slot must not delete the sender (use
    /// deleteLater()).
    void progress(qint64 sent, qint64 total);

private Q_SLOTS:
    void readyRead();
    void error();

private:
    const std::unique_ptr<QxSmtpMailSenderPrivate> d;
};
