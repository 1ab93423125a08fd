#pragma once

#include <QByteArray>
#include <QSharedDataPointer>
#include <QString>
#include <QStringList>

#include "lumo_export.h"

class QxMailMessagePrivate;

/// A mail with any number of recipients, a text and an HTML body and
/// attachments, for QxSmtpMailSender::sendMessage().
///
/// A value: copies are cheap (implicitly shared) and independent. Nothing is
/// checked or read while the message is put together; sendMessage() checks it
/// and refuses a message it cannot send whole. Addresses are written as
/// "name@example.org", with or without angle brackets; a display name, when
/// given, goes into the header quoted or as RFC 2047 encoded words as it
/// needs.
///
/// The text and the HTML go out as a multipart/alternative of the two when
/// both are set (mail readers show the HTML and fall back on the text), and
/// attachments make the whole a multipart/mixed.
class LUMO_EXPORT QxMailMessage
{
public:
    /// An empty message: no sender, no recipient, no body.
    QxMailMessage();
    /// Shares \a other's content until one of the two changes.
    QxMailMessage(const QxMailMessage &other);
    /// Shares \a other's content until one of the two changes.
    QxMailMessage &operator=(const QxMailMessage &other);
    ~QxMailMessage();

    /// The sender's address (without a display name), empty until setFrom().
    QString from() const;
    /// The addresses of the "To" recipients, in the order added.
    QStringList to() const;
    /// The addresses of the "Cc" recipients, in the order added.
    QStringList cc() const;
    /// The addresses of the blind-copy recipients, which go on the envelope
    /// only, never into the message.
    QStringList bcc() const;
    /// The subject; empty by default.
    QString subject() const;
    /// The plain-text body; empty by default.
    QString text() const;
    /// The HTML body; empty (no HTML part) by default.
    QString html() const;

    /// Sets the sender to \a address with the display name \a name.
    void setFrom(const QString &address, const QString &name = QString());
    /// Adds \a address (with the display name \a name) to the "To" field.
    void addTo(const QString &address, const QString &name = QString());
    /// Adds \a address (with the display name \a name) to the "Cc" field.
    void addCc(const QString &address, const QString &name = QString());
    /// Adds a blind-copy recipient: \a address receives the mail without any
    /// recipient seeing it; \a name is kept for symmetry and never sent.
    void addBcc(const QString &address, const QString &name = QString());
    /// Sets the "Reply-To" field to \a address with the display name \a name.
    void setReplyTo(const QString &address, const QString &name = QString());
    /// Sets the subject to \a subject; a line break in it makes sendMessage()
    /// refuse the message.
    void setSubject(const QString &subject);
    /// Sets the plain-text body to \a text. Without HTML, an empty text still
    /// makes an (empty) text part.
    void setText(const QString &text);
    /// Sets the HTML body to \a html; with a text as well the two go as
    /// alternatives, without one the HTML is the only body.
    void setHtml(const QString &html);
    /// Attaches the file at \a filePath under its own file name, with the MIME
    /// type \a mimeType ("image/png"; guessed from the name and content when
    /// empty). The file is opened by sendMessage() and read while the mail
    /// goes out, never whole into memory; it must keep its size until then.
    void addFileAttachment(const QString &filePath, const QString &mimeType = QString());
    /// Attaches \a data under the file name \a fileName with the MIME type
    /// \a mimeType (guessed from the name and data when empty).
    void addDataAttachment(const QByteArray &data, const QString &fileName,
                           const QString &mimeType = QString());
    /// Adds the header field \a name with \a value ("X-Mailer", "List-Id", ...).
    /// sendMessage() refuses a message whose extra field holds a CR or LF, has
    /// a name that is not printable ASCII without ":", or is one the sender
    /// writes itself (From, To, Subject, Content-Type, ...).
    void addHeader(const QByteArray &name, const QString &value);

private:
    friend class QxMailMessagePrivate;
    QSharedDataPointer<QxMailMessagePrivate> d;
};
