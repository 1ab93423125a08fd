#pragma once

#include "GalleryPage.h"
#include "MailSink.h"

#include <QPointer>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLayout;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QxMailAddressEdit;
class QxSmtpMailSender;

/// A mail form on QxMailAddressEdit, QxMailMessage and QxSmtpMailSender: copies
/// and blind copies, attachments, an HTML alternative, the server's TLS and
/// login and the sending's progress; and the local mail sink that shows every
/// mail it receives with its parts.
class MailPage : public GalleryPage
{
    Q_OBJECT
public:
    explicit MailPage(MailSink *sink, QWidget *parent = nullptr);
    ~MailPage() override;

    /// Sends the demonstration mail to the sink (starting it if need be) and
    /// is ready once the sink has received it.
    void prepareSnapshot() override;

    /// Attaches the file at \a path to the mails sent from now on, as the
    /// "Attach file..." button does; false, with the reason in the status line,
    /// when it is not a readable file.
    bool addAttachment(const QString &path);

    /// How long a mail may wait for the server before it fails (QxSmtpMailSender::setTimeout).
    static constexpr int answerTimeoutMs = 20000;

signals:
    /// The outcome of one send, as the page showed it.
    void sendFinished(bool success, const QString &message);

private:
    QGroupBox *createMessageGroup();
    QGroupBox *createServerGroup();
    QGroupBox *createSinkGroup();
    QLayout *createAttachmentsRow();
    void attachFiles();
    void removeAttachment();
    void send();
    void showProgress(qint64 sent, qint64 total);
    void finish(bool success, const QString &message);
    void updateSendable();
    void showSinkState();
    void addReceived(const MailSink::Mail &mail);
    void showReceived(int row);

    MailSink *m_sink;
    QLineEdit *m_fromName;
    QxMailAddressEdit *m_from;
    QxMailAddressEdit *m_to;
    QxMailAddressEdit *m_cc;
    QxMailAddressEdit *m_bcc;
    QLabel *m_fromValidity;
    QLabel *m_toValidity;
    QLabel *m_ccValidity;
    QLabel *m_bccValidity;
    QLineEdit *m_subject;
    QPlainTextEdit *m_body;
    QCheckBox *m_html;
    QListWidget *m_attachments;
    QPushButton *m_attach;
    QPushButton *m_removeAttachment;
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
    QLabel *m_receivedEnvelope;
    QTreeWidget *m_receivedParts;
    QPlainTextEdit *m_receivedText;
    /// The sender under way; it deletes itself after a completed dialogue.
    QPointer<QxSmtpMailSender> m_sender;
};
