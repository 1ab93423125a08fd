#pragma once

#include <QByteArray>
#include <QString>

#include "QxMailEncoding.h"

namespace QxMail {

// The header of a one-recipient plain-text mail, ending with the blank line
// before the body: "To", "From", "Subject" (as encoded words unless plain),
// "Date" and "Message-ID", and the MIME fields that a non-ASCII subject or a
// body in \a form needs.
QByteArray messageHeader(const QString &sender, const QString &recipient, const QString &subject,
                         BodyForm form, const QByteArray &date, const QByteArray &messageId);

// Whether \a text holds a CR or an LF, which would end a command or a header
// line early.
bool holdsLineBreak(const QString &text);

// \a address for a MAIL FROM or RCPT TO line: in angle brackets, added
// unless it has them.
QByteArray envelopeAddress(const QString &address);

// Why an address cannot go onto a MAIL FROM or RCPT TO line, or an empty
// string: a space, an angle bracket other than one pair around all of it, or
// a control character would let it carry ESMTP parameters or other commands.
QString addressFault(const QString &address);

// A Message-ID unique to this mail, in the sender's domain.
QByteArray newMessageId(const QString &sender);

// RFC 5322 date-time in local time with its numeric offset, in English
// whatever the locale.
QByteArray currentDate();

} // namespace QxMail
