#pragma once

#include "QxMailMessage.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QSharedData>
#include <QString>

// An address as the caller gave it and the display name that goes with it.
struct QxMailbox
{
    QString address;
    QString name;
};

struct QxMailAttachment
{
    // A file when filePath is set, else data.
    QString filePath;
    QByteArray data;
    QString fileName;
    QString mimeType;
};

class QxMailMessagePrivate : public QSharedData
{
public:
    static const QxMailMessagePrivate &get(const QxMailMessage &message) { return *message.d; }

    QxMailbox from;
    QxMailbox replyTo;
    QList<QxMailbox> to;
    QList<QxMailbox> cc;
    QList<QxMailbox> bcc;
    QString subject;
    QString text;
    QString html;
    QList<QxMailAttachment> attachments;
    QList<QPair<QByteArray, QString>> headers;
};
