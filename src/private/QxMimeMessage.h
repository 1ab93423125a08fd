#pragma once

#include "QxMailMessage_p.h"
#include "QxSmtpMessageStream.h"

#include <QByteArray>
#include <QIODevice>
#include <QSharedPointer>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// How a QxMailMessage becomes the DATA text of a mail: its checks, its
// envelope and its MIME structure, as plain functions that tests and fuzz
// targets call without a server.
namespace QxMail {

// An attachment ready to go: its content open for reading, of a size fixed
// when it was opened.
struct OpenAttachment
{
    QSharedPointer<QIODevice> device;
    qint64 size = 0;
    QString fileName;
    QString mimeType;
    QString filePath;
    QByteArray data;
};

// Why \a message cannot be sent, or an empty string. Covers everything but
// the attachments' files.
QString messageFault(const QxMailMessagePrivate &message);

// Opens the attachments of \a message into \a attachments; on failure
// returns why (an empty string when all are open).
QString openAttachments(const QxMailMessagePrivate &message,
                        std::vector<OpenAttachment> &attachments);

// The recipients on the envelope: To, Cc and Bcc in that order, each
// address once.
QStringList envelopeRecipients(const QxMailMessagePrivate &message);

// A lower bound of the size of the message, for a server's SIZE limit.
qint64 minimumSize(const QxMailMessagePrivate &message,
                   const std::vector<OpenAttachment> &attachments);

// Whether a text of the message goes 8-bit (which the server is told of).
bool needsEightBit(const QxMailMessagePrivate &message);

// The DATA text of \a message. Texts that are not ASCII go 8-bit when
// \a eightBit, quoted-printable otherwise; \a token makes the MIME boundaries
// (each adds a character of its own to it, and a token found in a text is
// replaced), so that no boundary occurs in the content.
std::vector<QxSmtpMessageStream::Piece>
messagePieces(const QxMailMessagePrivate &message, const std::vector<OpenAttachment> &attachments,
              bool eightBit, const QByteArray &date, const QByteArray &messageId, QByteArray token);

// A random token for messagePieces().
QByteArray newBoundaryToken();

} // namespace QxMail
