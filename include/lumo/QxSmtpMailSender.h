#pragma once

#include <QObject>
#include <QString>

#include "lumo_export.h"

class QTcpSocket;
class QTextStream;
class QTimer;

/// Sends one plain-text mail to one recipient through an SMTP server, on the
/// event loop of the thread that creates it.
///
/// Create it with new (it takes no parent), connect to status(), call
/// sendMail() once and return to the event loop. The dialogue is plain SMTP
/// (HELO, MAIL FROM, RCPT TO, DATA, QUIT) in UTF-8: no extended greeting,
/// authentication or encryption. Replies may arrive in any fragments and may
/// span several lines; only a reply's last line decides.
///
/// Each mail has exactly one outcome, reported by status():
/// - success once the server has accepted the message (QUIT is then sent);
/// - "Unexpected reply from smtp server : " and every line of the reply;
/// - "Socket Error : " and the socket's error text;
/// - "Timeout : ..." when setTimeout() is in force and the server stays silent;
/// - "Refused : ..." when sendMail() refuses its input or is called again.
///   A refusal is queued: it arrives after sendMail() returns.
///
/// Ownership: after success or an unexpected reply the sender closes its
/// connection and deletes itself as soon as the server answers, drops the
/// connection or (with a timeout) stays silent. After a socket error, a
/// timeout or a refused first sendMail() it stays alive and its creator
/// deletes it; use deleteLater() from a slot connected to status().
class LUMO_EXPORT QxSmtpMailSender : public QObject
{
    Q_OBJECT
public:
    /// Talks to the SMTP server at \a host (name or address) and \a port; no
    /// connection is made before sendMail().
    QxSmtpMailSender(const QString &host, int port);
    ~QxSmtpMailSender() override;

    /// Sends \a body with \a subject from \a sender to \a recipient and returns
    /// at once; status() reports the outcome.
    ///
    /// The addresses go onto the MAIL FROM and RCPT TO lines exactly as passed,
    /// with no angle brackets added: for a server that insists on the
    /// "<name@example.org>" form, pass the brackets in the address. The message
    /// holds the headers "To: ", "From: " and "Subject: ", a blank line and the
    /// body; a subject or body with non-ASCII characters adds MIME headers
    /// (UTF-8, 8bit) and sends the subject as RFC 2047 encoded words. Every
    /// line end (CR LF, lone CR, lone LF) is sent as CR LF and every line that
    /// starts with "." gets one more ".", so the server keeps the text as is.
    ///
    /// Refused, with nothing sent: an empty address, a CR or LF in an address
    /// or the subject (they would inject commands or headers), and any call
    /// after the first.
    void sendMail(const QString &sender, const QString &recipient, const QString &subject,
                  const QString &body);

    /// Time in milliseconds without any traffic to or from the server after
    /// which the dialogue fails with "Timeout : ..." and the connection is
    /// closed; once the outcome is reported, the sender just closes and
    /// deletes itself then. 0 (the default) or less: no limit.
    int timeout() const;
    /// Sets timeout() to \a msecs; 0 or less switches the limit off.
    void setTimeout(int msecs);

Q_SIGNALS:
    /// The outcome of the mail: \a success with a null \a error, or a failure
    /// text made of a fixed label and the detail.
    void status(bool success, const QString &error);

private Q_SLOTS:
    void readyRead();
    void error();

private:
    enum DialogueState {
        AwaitMailFromReply = 0,
        AwaitHeloReply = 1,
        AwaitRcptToReply = 2,
        AwaitGreeting = 3,
        AwaitDataReply = 4,
        AwaitMessageReply = 5,
        Closing = 6
    };

    bool handleReply(QChar code);
    void fail(const QString &text);
    void finish();
    void timedOut();
    void restartTimer();
    bool listening() const;

    QString messageText;
    QTextStream *textStream = nullptr;
    QTcpSocket *socket;
    QString senderAddress;
    QString recipientAddress;
    QString replyText;
    QString hostName;
    int port;
    DialogueState dialogueState = AwaitGreeting;

    QTimer *timer = nullptr;
    int timeoutMsecs = 0;
    bool mailStarted = false;
    bool outcomeReported = false;
};
