#pragma once

#include "QxMailMessage.h"
#include "QxMimeMessage.h"
#include "QxSmtpMailSender.h"

#include <QList>
#include <QSslCertificate>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

class QTcpSocket;
class QTimer;
class QxSmtpMessageStream;

// The dialogue of one mail: the state of the conversation with the server,
// TLS and the login. The socket and the timer are children of the sender, so
// that they go with it.
class QxSmtpMailSenderPrivate
{
public:
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
        AwaitAuthReply = 11,
        AwaitTokenReply = 12,
        AwaitTokenFailure = 13
    };
    enum class Login { None, Password, Token };
    enum class Ending { SendQuit, KeepConnection };
    // Who deletes the sender once the outcome is out.
    enum class Owner { Sender, Creator };

    QxSmtpMailSenderPrivate(QxSmtpMailSender *sender, const QString &host, int port);
    ~QxSmtpMailSenderPrivate();

    void sendMail(const QString &sender, const QString &recipient, const QString &subject,
                  const QString &body);
    void sendMessage(const QxMailMessage &message);
    QString loginFault() const;
    bool refuseStart(const QString &refused);
    void start();
    void setTimeout(int msecs);
    void setSecurity(QxSmtpMailSender::Security security);

    void connectSocket();
    void readyRead();
    void readReplies();
    void refuseReply(const QString &why);
    void failReply(const QString &why);
    bool handleReply(QChar code);
    void afterGreeting();
    void startMail();
    void encrypted();
    void startLogin();
    void startTokenLogin(const QStringList &mechanisms);
    void recipientReplied(QChar code);
    void startMessage();
    void send(const QByteArray &command);
    void writeMessage();
    QString withoutSecrets(QString text) const;
    qint64 bytesQueued() const;
    void fail(const QString &text, Ending ending, Owner deleter);
    void connectionEnded(const QString &failure);
    void finish();
    void socketError();
    void timedOut();
    void restartTimer();
    bool listening() const;
    bool usesExtendedHello() const;

    QxSmtpMailSender *const q;
    std::unique_ptr<QxSmtpMessageStream> messageStream;
    QTcpSocket *socket;
    QString senderAddress;
    QStringList recipientAddresses;
    int recipientIndex = 0;
    QStringList refusedRecipients;
    // Set by sendMessage(); sendMail() sends bodyText instead.
    std::optional<QxMailMessage> message;
    std::vector<QxMail::OpenAttachment> attachments;
    QString replyText;
    const QString hostName;
    const int port;
    DialogueState dialogueState = AwaitGreeting;

    QString subjectText;
    QString bodyText;
    QTimer *timer = nullptr;
    int timeoutMsecs = 0;
    QxSmtpMailSender::Security securityMode = QxSmtpMailSender::NoSecurity;
    QList<QSslCertificate> extraCaCertificates;
    Login login = Login::None;
    QString userName;
    QString userPassword;
    QString accessToken;
    // What went out with the login, which a server might echo.
    QList<QByteArray> sentSecrets;
    qint64 messageSize = 0;
    qint64 messageSent = 0;
    QStringList extensions;
    QByteArray tokenMechanism;
    QString tokenError;
    bool mailStarted = false;
    bool outcomeReported = false;
    bool messageWritten = false;
    bool readingReplies = false;
    bool writingMessage = false;
    Owner owner = Owner::Creator;
};
