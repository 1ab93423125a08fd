#include "QxMailMessage_p.h"

#include <QFileInfo>

namespace {

QStringList addresses(const QList<QxMailbox> &mailboxes)
{
    QStringList list;
    list.reserve(mailboxes.size());
    for (const QxMailbox &mailbox : mailboxes)
        list << mailbox.address;
    return list;
}

} // namespace

QxMailMessage::QxMailMessage()
    : d(new QxMailMessagePrivate)
{
}

QxMailMessage::QxMailMessage(const QxMailMessage &other) = default;
QxMailMessage &QxMailMessage::operator=(const QxMailMessage &other) = default;
QxMailMessage::~QxMailMessage() = default;

QString QxMailMessage::from() const
{
    return d->from.address;
}

QStringList QxMailMessage::to() const
{
    return addresses(d->to);
}

QStringList QxMailMessage::cc() const
{
    return addresses(d->cc);
}

QStringList QxMailMessage::bcc() const
{
    return addresses(d->bcc);
}

QString QxMailMessage::subject() const
{
    return d->subject;
}

QString QxMailMessage::text() const
{
    return d->text;
}

QString QxMailMessage::html() const
{
    return d->html;
}

void QxMailMessage::setFrom(const QString &address, const QString &name)
{
    d->from = { address, name };
}

void QxMailMessage::addTo(const QString &address, const QString &name)
{
    d->to.append({ address, name });
}

void QxMailMessage::addCc(const QString &address, const QString &name)
{
    d->cc.append({ address, name });
}

void QxMailMessage::addBcc(const QString &address, const QString &name)
{
    d->bcc.append({ address, name });
}

void QxMailMessage::setReplyTo(const QString &address, const QString &name)
{
    d->replyTo = { address, name };
}

void QxMailMessage::setSubject(const QString &subject)
{
    d->subject = subject;
}

void QxMailMessage::setText(const QString &text)
{
    d->text = text;
}

void QxMailMessage::setHtml(const QString &html)
{
    d->html = html;
}

void QxMailMessage::addFileAttachment(const QString &filePath, const QString &mimeType)
{
    d->attachments.append({ filePath, QByteArray(), QFileInfo(filePath).fileName(), mimeType });
}

void QxMailMessage::addDataAttachment(const QByteArray &data, const QString &fileName,
                                      const QString &mimeType)
{
    d->attachments.append({ QString(), data, fileName, mimeType });
}

void QxMailMessage::addHeader(const QByteArray &name, const QString &value)
{
    d->headers.append({ name, value });
}
