#include "MailPage.h"

#include "MailSink.h"

#include <lumo/QxMailAddressEdit.h>
#include <lumo/QxMailMessage.h>
#include <lumo/QxSmtpMailSender.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <QValidator>

#include <limits>
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
    if (edit->text().isEmpty() && edit->isValid()) {
        // An optional list left empty.
        label->setText(MailPage::tr("none"));
        label->setStyleSheet(QStringLiteral("color: #606060"));
        return;
    }
    const bool valid = edit->isValid();
    label->setText(valid ? MailPage::tr("✔ complete") : MailPage::tr("… not complete"));
    label->setStyleSheet(valid ? QStringLiteral("color: #1b7a1b")
                               : QStringLiteral("color: #a05a00"));
}

QString withoutLeadingSpaces(const QString &text)
{
    int start = 0;
    while (start < text.size() && text.at(start).isSpace())
        ++start;
    return text.mid(start);
}

// Addresses separated by commas, each held to the address field's own
// validator, so that a list field refuses and accepts what the one-address
// field does; spaces may follow a comma, as people type lists. An empty list
// is complete: the field is optional.
class AddressListValidator : public QValidator
{
public:
    AddressListValidator(const QValidator *address, QObject *parent)
        : QValidator(parent)
        , m_address(address)
    {
    }

    State validate(QString &input, int &) const override
    {
        if (input.isEmpty())
            return Acceptable;
        State state = Acceptable;
        for (const QString &piece : input.split(QLatin1Char(','))) {
            QString address = withoutLeadingSpaces(piece);
            int position = 0;
            const State piecesState
                    = address.isEmpty() ? Intermediate : m_address->validate(address, position);
            if (piecesState == Invalid)
                return Invalid;
            if (piecesState == Intermediate)
                state = Intermediate;
        }
        return state;
    }

private:
    const QValidator *m_address;
};

// An address field that takes a comma-separated list.
void acceptAddressList(QxMailAddressEdit *edit)
{
    // The field's address validator stays its child, used by the list's.
    edit->setValidator(new AddressListValidator(edit->validator(), edit));
}

QStringList addressList(const QLineEdit *edit)
{
    QStringList addresses;
    for (const QString &piece : edit->text().split(QLatin1Char(','))) {
        const QString address = piece.trimmed();
        if (!address.isEmpty())
            addresses.append(address);
    }
    return addresses;
}

// The HTML alternative of a plain text: the text escaped, its line breaks kept.
QString htmlFromText(const QString &text)
{
    QString body = text.toHtmlEscaped();
    body.replace(QLatin1Char('\n'), QLatin1String("<br>\n"));
    return QLatin1String("<!DOCTYPE html>\n<html><body><p>") + body
            + QLatin1String("</p></body></html>\n");
}

QString dataSize(qint64 size)
{
    return QLocale().formattedDataSize(size);
}

// The roles of the lists' items.
constexpr int pathRole = Qt::UserRole;
constexpr int textRole = Qt::UserRole;
constexpr int mailRole = Qt::UserRole + 1;

} // namespace

MailPage::MailPage(MailSink *sink, QWidget *parent)
    : GalleryPage(QStringLiteral("mail"), tr("Mail"), parent)
    , m_sink(sink)
    , m_fromName(new QLineEdit)
    , m_from(new QxMailAddressEdit(nullptr))
    , m_to(new QxMailAddressEdit(nullptr))
    , m_cc(new QxMailAddressEdit(nullptr))
    , m_bcc(new QxMailAddressEdit(nullptr))
    , m_fromValidity(validityLabel(QStringLiteral("fromValidity")))
    , m_toValidity(validityLabel(QStringLiteral("toValidity")))
    , m_ccValidity(validityLabel(QStringLiteral("ccValidity")))
    , m_bccValidity(validityLabel(QStringLiteral("bccValidity")))
    , m_subject(new QLineEdit(tr("Hello from lumo")))
    , m_body(new QPlainTextEdit)
    , m_html(new QCheckBox(tr("Send HTML too")))
    , m_attachments(new QListWidget)
    , m_attach(new QPushButton(tr("Attach file...")))
    , m_removeAttachment(new QPushButton(tr("Remove")))
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
    , m_receivedEnvelope(new QLabel)
    , m_receivedParts(new QTreeWidget)
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
    connect(m_cc, &QLineEdit::textChanged, this, &MailPage::updateSendable);
    connect(m_bcc, &QLineEdit::textChanged, this, &MailPage::updateSendable);
    connect(m_attach, &QPushButton::clicked, this, &MailPage::attachFiles);
    connect(m_removeAttachment, &QPushButton::clicked, this, &MailPage::removeAttachment);
    connect(m_attachments, &QListWidget::currentRowChanged, this,
            [this](int row) { m_removeAttachment->setEnabled(row >= 0); });
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
    connect(m_sink, &MailSink::mailReceived, this, &MailPage::addReceived);
    connect(m_received, &QListWidget::currentRowChanged, this, &MailPage::showReceived);

    for (const MailSink::Mail &received : m_sink->mails())
        addReceived(received);
    showSinkState();
    updateSendable();
}

QGroupBox *MailPage::createMessageGroup()
{
    auto *group = new QGroupBox(tr("Message (QxMailAddressEdit, QxMailMessage, QxSmtpMailSender)"));
    auto *form = new QFormLayout(group);
    m_fromName->setObjectName(QStringLiteral("fromName"));
    m_fromName->setPlaceholderText(tr("Name (optional)"));
    m_fromName->setAccessibleName(tr("Sender's name"));
    m_from->setObjectName(QStringLiteral("from"));
    m_from->setText(QStringLiteral("gallery@lumo.example"));
    m_from->setAccessibleName(tr("Sender's address"));
    m_to->setObjectName(QStringLiteral("to"));
    m_to->setText(QStringLiteral("you@lumo.example"));
    m_cc->setObjectName(QStringLiteral("cc"));
    m_cc->setAccessibleName(tr("Cc addresses"));
    m_cc->setPlaceholderText(tr("addresses, separated by commas"));
    acceptAddressList(m_cc);
    m_bcc->setObjectName(QStringLiteral("bcc"));
    m_bcc->setAccessibleName(tr("Bcc addresses"));
    m_bcc->setPlaceholderText(tr("hidden from the other recipients"));
    acceptAddressList(m_bcc);
    auto *fromRow = new QHBoxLayout;
    fromRow->addWidget(m_fromName, 2);
    fromRow->addWidget(m_from, 3);
    fromRow->addWidget(m_fromValidity);
    form->addRow(tr("From"), fromRow);
    const auto addAddressRow
            = [form](const QString &label, QxMailAddressEdit *edit, QLabel *validity) {
                  auto *row = new QHBoxLayout;
                  row->addWidget(edit);
                  row->addWidget(validity);
                  form->addRow(label, row);
              };
    addAddressRow(tr("To"), m_to, m_toValidity);
    addAddressRow(tr("Cc"), m_cc, m_ccValidity);
    addAddressRow(tr("Bcc"), m_bcc, m_bccValidity);
    m_subject->setObjectName(QStringLiteral("subject"));
    form->addRow(tr("Subject"), m_subject);
    m_body->setObjectName(QStringLiteral("body"));
    m_body->setPlainText(tr("This mail went through QxSmtpMailSender.\n"
                            "The next line is a single dot, which the sender doubles:\n"
                            ".\n"
                            "Regards,\nthe lumo gallery"));
    form->addRow(tr("Body"), m_body);
    m_html->setObjectName(QStringLiteral("html"));
    m_html->setToolTip(
            tr("The body goes as text and as HTML made from it (multipart/alternative)"));
    form->addRow(QString(), m_html);
    form->addRow(tr("Attachments"), createAttachmentsRow());
    return group;
}

QLayout *MailPage::createAttachmentsRow()
{
    m_attachments->setObjectName(QStringLiteral("attachments"));
    m_attachments->setAccessibleName(tr("Attachments"));
    m_attachments->setMaximumHeight(m_attachments->fontMetrics().height() * 5);
    m_attach->setObjectName(QStringLiteral("attach"));
    m_attach->setAccessibleName(tr("Attach file"));
    m_removeAttachment->setObjectName(QStringLiteral("removeAttachment"));
    m_removeAttachment->setAccessibleName(tr("Remove attachment"));
    m_removeAttachment->setEnabled(false);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_attach);
    buttons->addWidget(m_removeAttachment);
    buttons->addStretch();
    auto *row = new QHBoxLayout;
    row->addWidget(m_attachments, 1);
    row->addLayout(buttons);
    return row;
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
    m_progress->setAccessibleName(tr("Sending progress"));
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
    m_received->setAccessibleName(tr("Received mails"));
    m_receivedEnvelope->setObjectName(QStringLiteral("receivedEnvelope"));
    m_receivedEnvelope->setWordWrap(true);
    m_receivedEnvelope->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_receivedParts->setObjectName(QStringLiteral("receivedParts"));
    m_receivedParts->setAccessibleName(tr("Parts of the selected mail"));
    m_receivedParts->setRootIsDecorated(false);
    m_receivedParts->setHeaderLabels({ tr("Type"), tr("File name"), tr("Size") });
    m_receivedText->setObjectName(QStringLiteral("receivedText"));
    m_receivedText->setAccessibleName(tr("Text of the selected mail"));
    m_receivedText->setReadOnly(true);
    layout->addWidget(m_sinkState);
    layout->addWidget(m_startSink);
    layout->addWidget(new QLabel(tr("Received mails")));
    layout->addWidget(m_received, 1);
    layout->addWidget(m_receivedEnvelope);
    layout->addWidget(m_receivedParts, 1);
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
    showValidity(m_cc, m_ccValidity);
    showValidity(m_bcc, m_bccValidity);
    m_send->setEnabled(!m_sender && m_from->isValid() && m_to->isValid() && m_cc->isValid()
                       && m_bcc->isValid() && !m_host->text().trimmed().isEmpty());
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

bool MailPage::addAttachment(const QString &path)
{
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable()) {
        m_status->setText(tr("Not attached: %1 is no readable file.").arg(path));
        m_status->setStyleSheet(QStringLiteral("color: #b00020"));
        return false;
    }
    auto *item = new QListWidgetItem(tr("%1 (%2)").arg(file.fileName(), dataSize(file.size())),
                                     m_attachments);
    item->setData(pathRole, file.absoluteFilePath());
    item->setToolTip(file.absoluteFilePath());
    m_attachments->setCurrentItem(item);
    return true;
}

void MailPage::attachFiles()
{
    const QStringList paths = QFileDialog::getOpenFileNames(this, tr("Attach files"));
    for (const QString &path : paths)
        addAttachment(path);
}

void MailPage::removeAttachment()
{
    delete m_attachments->currentItem();
    m_removeAttachment->setEnabled(m_attachments->currentRow() >= 0);
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
    QxSmtpMailSender *sender = m_sender;
    connect(sender, &QxSmtpMailSender::progress, this, [this, sender](qint64 sent, qint64 total) {
        if (sender == m_sender)
            showProgress(sent, total);
    });
    connect(m_sender, &QxSmtpMailSender::status, this, [this](bool success, const QString &error) {
        if (!success && !error.startsWith(QLatin1String("Unexpected reply from smtp server : ")))
            m_sender->deleteLater();
        finish(success,
               success ? tr("Sent: the server accepted the mail.")
                       : tr("Not sent. %1").arg(error.trimmed()));
    });

    QxMailMessage message;
    message.setFrom(m_from->text(), m_fromName->text().trimmed());
    message.addTo(m_to->text());
    for (const QString &address : addressList(m_cc))
        message.addCc(address);
    for (const QString &address : addressList(m_bcc))
        message.addBcc(address);
    message.setSubject(m_subject->text());
    const QString body = m_body->toPlainText();
    message.setText(body);
    if (m_html->isChecked())
        message.setHtml(htmlFromText(body));
    for (int row = 0; row < m_attachments->count(); ++row)
        message.addFileAttachment(m_attachments->item(row)->data(pathRole).toString());

    // Busy until the connection takes the first chunk of the mail.
    m_progress->setRange(0, 0);
    m_progress->setTextVisible(false);
    m_progress->setVisible(true);
    m_status->setText(tr("Sending to %1:%2 …").arg(m_host->text()).arg(m_port->value()));
    m_status->setStyleSheet(QString());
    m_sender->sendMessage(message);
    updateSendable();
}

void MailPage::showProgress(qint64 sent, qint64 total)
{
    if (total <= 0)
        return;
    // The bar counts in int: a mail beyond 2 GiB is counted in larger units.
    const qint64 unit = total / std::numeric_limits<int>::max() + 1;
    m_progress->setRange(0, int(total / unit));
    m_progress->setValue(int(sent / unit));
    m_progress->setFormat(tr("%1 of %2").arg(dataSize(sent), dataSize(total)));
    m_progress->setTextVisible(true);
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

void MailPage::addReceived(const MailSink::Mail &mail)
{
    const QString separator = QStringLiteral(", ");
    QString text = tr("%1 — to %2").arg(mail.subject, mail.to.join(separator));
    if (!mail.cc.isEmpty())
        text += tr(", cc %1").arg(mail.cc.join(separator));
    QStringList parts;
    int attachments = 0;
    for (const MailSink::Part &part : mail.parts) {
        parts.append(
                part.fileName.isEmpty()
                        ? tr("%1, %2").arg(part.type, dataSize(part.size))
                        : tr("%1 (%2), %3").arg(part.fileName, part.type, dataSize(part.size)));
        if (!part.fileName.isEmpty())
            ++attachments;
    }
    if (attachments > 0)
        text += attachments == 1 ? tr(", 1 attachment") : tr(", %1 attachments").arg(attachments);
    auto *item = new QListWidgetItem(text);
    item->setData(textRole, mail.text);
    item->setData(mailRole, QVariant::fromValue(mail));
    item->setToolTip(parts.join(QLatin1Char('\n')));
    m_received->addItem(item);
    m_received->setCurrentItem(item);
}

void MailPage::showReceived(int row)
{
    if (row < 0)
        return;
    const QListWidgetItem *item = m_received->item(row);
    const auto mail = item->data(mailRole).value<MailSink::Mail>();
    m_receivedText->setPlainText(item->data(textRole).toString());
    const QString separator = QStringLiteral(", ");
    m_receivedEnvelope->setText(
            tr("Envelope: from %1 to %2").arg(mail.envelopeFrom, mail.envelopeTo.join(separator)));
    m_receivedParts->clear();
    for (const MailSink::Part &part : mail.parts) {
        new QTreeWidgetItem(m_receivedParts, { part.type, part.fileName, dataSize(part.size) });
    }
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
