#include "MailPage.h"

#include "MailSink.h"

#include <lumo/QxMailAddressEdit.h>
#include <lumo/QxSmtpMailSender.h>

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include <memory>

namespace {

QLabel *validityLabel(const QString &objectName)
{
    auto *label = new QLabel;
    label->setObjectName(objectName);
    label->setMinimumWidth(110);
    return label;
}

void showValidity(QxMailAddressEdit *edit, QLabel *label)
{
    const bool valid = edit->isValid();
    label->setText(valid ? MailPage::tr("✔ complete") : MailPage::tr("… not complete"));
    label->setStyleSheet(valid ? QStringLiteral("color: #1b7a1b")
                               : QStringLiteral("color: #a05a00"));
}

} // namespace

MailPage::MailPage(MailSink *sink, QWidget *parent)
    : GalleryPage(QStringLiteral("mail"), tr("Mail"), parent)
    , m_sink(sink)
    , m_from(new QxMailAddressEdit(nullptr))
    , m_to(new QxMailAddressEdit(nullptr))
    , m_fromValidity(validityLabel(QStringLiteral("fromValidity")))
    , m_toValidity(validityLabel(QStringLiteral("toValidity")))
    , m_subject(new QLineEdit(tr("Hello from lumo")))
    , m_body(new QPlainTextEdit)
    , m_host(new QLineEdit(QStringLiteral("127.0.0.1")))
    , m_port(new QSpinBox)
    , m_security(new QComboBox)
    , m_user(new QLineEdit)
    , m_password(new QLineEdit)
    , m_send(new QPushButton(tr("Send")))
    , m_progress(new QProgressBar)
    , m_status(new QLabel)
    , m_sinkState(new QLabel)
    , m_startSink(new QPushButton(tr("Start local mail sink")))
    , m_received(new QListWidget)
    , m_receivedText(new QPlainTextEdit)
{
    auto *form = new QVBoxLayout;
    form->addWidget(createMessageGroup(), 1);
    form->addWidget(createServerGroup());
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(form, 3);
    layout->addWidget(createSinkGroup(), 2);

    connect(m_from, &QLineEdit::textChanged, this, &MailPage::updateSendable);
    connect(m_to, &QLineEdit::textChanged, this, &MailPage::updateSendable);
    connect(m_host, &QLineEdit::textChanged, this, &MailPage::updateSendable);
    connect(m_send, &QPushButton::clicked, this, &MailPage::send);
    connect(m_startSink, &QPushButton::clicked, m_sink, &MailSink::start);
    connect(m_sink, &MailSink::started, this, [this](quint16 port) {
        m_host->setText(m_sink->host());
        m_port->setValue(port);
        showSinkState();
    });
    connect(m_sink, &MailSink::failed, this, [this](const QString &reason) {
        showSinkState();
        m_sinkState->setText(m_sinkState->text() + QLatin1Char('\n') + reason);
    });
    connect(m_sink, &MailSink::messageReceived, this, &MailPage::addReceived);
    connect(m_received, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            m_receivedText->setPlainText(m_received->item(row)->data(Qt::UserRole).toString());
    });

    for (const QString &received : m_sink->messages())
        addReceived(received);
    showSinkState();
    updateSendable();
}

QGroupBox *MailPage::createMessageGroup()
{
    auto *group = new QGroupBox(tr("Message (QxMailAddressEdit, QxSmtpMailSender)"));
    auto *form = new QFormLayout(group);
    m_from->setObjectName(QStringLiteral("from"));
    m_from->setText(QStringLiteral("gallery@lumo.example"));
    m_to->setObjectName(QStringLiteral("to"));
    m_to->setText(QStringLiteral("you@lumo.example"));
    auto *fromRow = new QHBoxLayout;
    fromRow->addWidget(m_from);
    fromRow->addWidget(m_fromValidity);
    auto *toRow = new QHBoxLayout;
    toRow->addWidget(m_to);
    toRow->addWidget(m_toValidity);
    form->addRow(tr("From"), fromRow);
    form->addRow(tr("To"), toRow);
    m_subject->setObjectName(QStringLiteral("subject"));
    form->addRow(tr("Subject"), m_subject);
    m_body->setObjectName(QStringLiteral("body"));
    m_body->setPlainText(tr("This mail went through QxSmtpMailSender.\n"
                            "The next line is a single dot, which the sender doubles:\n"
                            ".\n"
                            "Regards,\nthe lumo gallery"));
    form->addRow(tr("Body"), m_body);
    return group;
}

QGroupBox *MailPage::createServerGroup()
{
    auto *group = new QGroupBox(tr("Server"));
    auto *form = new QFormLayout(group);
    auto *serverRow = new QHBoxLayout;
    m_host->setObjectName(QStringLiteral("host"));
    m_port->setObjectName(QStringLiteral("port"));
    m_port->setRange(1, 65535);
    m_port->setValue(25);
    serverRow->addWidget(m_host, 1);
    serverRow->addWidget(new QLabel(tr("Port")));
    serverRow->addWidget(m_port);
    form->addRow(tr("Host"), serverRow);
    m_security->setObjectName(QStringLiteral("security"));
    m_security->addItem(tr("None"), QxSmtpMailSender::NoSecurity);
    m_security->addItem(tr("STARTTLS"), QxSmtpMailSender::StartTls);
    m_security->addItem(tr("TLS from the start (SMTPS)"), QxSmtpMailSender::ImplicitTls);
    form->addRow(tr("Security"), m_security);
    m_user->setObjectName(QStringLiteral("user"));
    m_user->setPlaceholderText(tr("no login; the sink takes \"%1\"").arg(MailSink::userName()));
    m_password->setObjectName(QStringLiteral("password"));
    m_password->setEchoMode(QLineEdit::Password);
    m_password->setPlaceholderText(tr("the sink's is \"%1\"").arg(MailSink::password()));
    form->addRow(tr("User"), m_user);
    form->addRow(tr("Password"), m_password);
    auto *sendRow = new QHBoxLayout;
    m_send->setObjectName(QStringLiteral("send"));
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setRange(0, 0);
    m_progress->setTextVisible(false);
    m_progress->setVisible(false);
    sendRow->addWidget(m_send);
    sendRow->addWidget(m_progress, 1);
    form->addRow(sendRow);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    form->addRow(m_status);
    return group;
}

QGroupBox *MailPage::createSinkGroup()
{
    auto *group = new QGroupBox(tr("Local mail sink (aiosmtpd, STARTTLS and login)"));
    auto *layout = new QVBoxLayout(group);
    m_sinkState->setObjectName(QStringLiteral("sinkState"));
    m_sinkState->setWordWrap(true);
    m_startSink->setObjectName(QStringLiteral("startSink"));
    m_received->setObjectName(QStringLiteral("received"));
    m_receivedText->setObjectName(QStringLiteral("receivedText"));
    m_receivedText->setReadOnly(true);
    layout->addWidget(m_sinkState);
    layout->addWidget(m_startSink);
    layout->addWidget(new QLabel(tr("Received mails")));
    layout->addWidget(m_received, 1);
    layout->addWidget(m_receivedText, 2);
    return group;
}

MailPage::~MailPage()
{
    delete m_sender;
}

void MailPage::updateSendable()
{
    showValidity(m_from, m_fromValidity);
    showValidity(m_to, m_toValidity);
    m_send->setEnabled(!m_sender && m_from->isValid() && m_to->isValid()
                       && !m_host->text().trimmed().isEmpty());
}

void MailPage::showSinkState()
{
    if (m_sink->isListening()) {
        m_sinkState->setText(tr("Listening on %1:%2; every mail it receives is listed below.")
                                     .arg(m_sink->host())
                                     .arg(m_sink->port()));
    } else {
        m_sinkState->setText(tr("Not running. Start it here or with lumo-gallery --mail-sink."));
    }
    m_startSink->setEnabled(!m_sink->isRunning());
}

void MailPage::send()
{
    if (m_sender)
        return;
    // The sender has no parent. It deletes itself after a success or an
    // unexpected reply; after any other failure the page disposes of it.
    const QString host = m_host->text().trimmed();
    m_sender = new QxSmtpMailSender(host, m_port->value());
    m_sender->setTimeout(answerTimeoutMs);
    m_sender->setSecurity(QxSmtpMailSender::Security(m_security->currentData().toInt()));
    // The sink's certificate is self-signed: trusted for the sink only.
    if (m_sink->isListening() && host == m_sink->host() && m_port->value() == m_sink->port())
        m_sender->setCaCertificates(m_sink->certificates());
    m_sender->setCredentials(m_user->text(), m_password->text());
    connect(m_sender, &QxSmtpMailSender::status, this, [this](bool success, const QString &error) {
        if (!success && !error.startsWith(QLatin1String("Unexpected reply from smtp server : ")))
            m_sender->deleteLater();
        finish(success,
               success ? tr("Sent: the server accepted the mail.")
                       : tr("Not sent. %1").arg(error.trimmed()));
    });
    m_progress->setVisible(true);
    m_status->setText(tr("Sending to %1:%2 …").arg(m_host->text()).arg(m_port->value()));
    m_sender->sendMail(m_from->text(), m_to->text(), m_subject->text(), m_body->toPlainText());
    updateSendable();
}

void MailPage::finish(bool success, const QString &message)
{
    m_sender = nullptr;
    m_progress->setVisible(false);
    m_status->setText(message);
    m_status->setStyleSheet(success ? QStringLiteral("color: #1b7a1b")
                                    : QStringLiteral("color: #b00020"));
    updateSendable();
    emit sendFinished(success, message);
}

void MailPage::addReceived(const QString &message)
{
    QString subject;
    QString to;
    for (const QString &line : message.split(QLatin1Char('\n'))) {
        if (line.isEmpty())
            break;
        if (line.startsWith(QLatin1String("Subject: ")))
            subject = line.mid(9);
        else if (line.startsWith(QLatin1String("To: ")))
            to = line.mid(4);
    }
    auto *item = new QListWidgetItem(tr("%1 — to %2").arg(subject, to));
    item->setData(Qt::UserRole, message);
    m_received->addItem(item);
    m_received->setCurrentItem(item);
}

void MailPage::prepareSnapshot()
{
    // Ready once the sender has its answer and the sink shows the mail (they
    // come in either order), or once anything on the way failed.
    auto *waiting = new QObject(this);
    auto received = std::make_shared<bool>(false);
    auto sent = std::make_shared<bool>(false);
    auto done = [this, waiting] {
        waiting->deleteLater();
        disconnect(m_sink, nullptr, waiting, nullptr);
        disconnect(this, nullptr, waiting, nullptr);
        emit snapshotReady();
    };
    connect(m_sink, &MailSink::messageReceived, waiting, [=] {
        *received = true;
        if (*sent)
            done();
    });
    connect(m_sink, &MailSink::failed, waiting, done);
    connect(this, &MailPage::sendFinished, waiting, [=](bool success) {
        *sent = true;
        if (!success || *received)
            done();
    });
    if (m_sink->isListening()) {
        send();
    } else {
        connect(m_sink, &MailSink::started, waiting, [this] { send(); });
        m_sink->start();
    }
}
