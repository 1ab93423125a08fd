#pragma once

#include "GalleryPage.h"

#include <QPointer>

class MailSink;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QxMailAddressEdit;
class QxSmtpMailSender;

/// A mail form on QxMailAddressEdit and QxSmtpMailSender, with the server's
/// TLS and login, and the local mail sink that shows every mail it receives.
class MailPage : public GalleryPage
{
    Q_OBJECT
public:
    explicit MailPage(MailSink *sink, QWidget *parent = nullptr);
    ~MailPage() override;

    /// Sends the demonstration mail to the sink (starting it if need be) and
    /// is ready once the sink has received it.
    void prepareSnapshot() override;

    /// How long a mail may wait for the server before it fails (QxSmtpMailSender::setTimeout).
    static constexpr int answerTimeoutMs = 20000;

signals:
    /// The outcome of one send, as the page showed it.
    void sendFinished(bool success, const QString &message);

private:
    QGroupBox *createMessageGroup();
    QGroupBox *createServerGroup();
    QGroupBox *createSinkGroup();
    void send();
    void finish(bool success, const QString &message);
    void updateSendable();
    void showSinkState();
    void addReceived(const QString &message);

    MailSink *m_sink;
    QxMailAddressEdit *m_from;
    QxMailAddressEdit *m_to;
    QLabel *m_fromValidity;
    QLabel *m_toValidity;
    QLineEdit *m_subject;
    QPlainTextEdit *m_body;
    QLineEdit *m_host;
    QSpinBox *m_port;
    QComboBox *m_security;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QPushButton *m_send;
    QProgressBar *m_progress;
    QLabel *m_status;
    QLabel *m_sinkState;
    QPushButton *m_startSink;
    QListWidget *m_received;
    QPlainTextEdit *m_receivedText;
    /// The sender under way; it deletes itself after a completed dialogue.
    QPointer<QxSmtpMailSender> m_sender;
};
