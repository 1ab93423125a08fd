#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QSharedPointer>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

// The DATA text of one mail, made on demand in chunks from its pieces: octets
// written as they are (header lines, MIME boundaries), texts converted to
// UTF-8, and attachments read from a device and written in base64. Every line
// end of a text (CR LF, lone CR, lone LF) becomes CR LF, so no bare CR or LF
// reaches the server, and every line that starts with a dot gets one more
// (RFC 5321, 4.5.2), so that no line can end the DATA phase early and the
// server strips exactly the dot that was added. In quoted-printable a text's
// lines are encoded instead, and a leading dot becomes "=2E". The last chunk
// ends with the end marker.
class QxSmtpMessageStream
{
public:
    // Characters converted per chunk: with the socket holding at most one
    // chunk besides the one being written, memory stays at a few hundred kB
    // per mail whatever its size.
    static constexpr int chunkChars = 64 * 1024;

    struct Piece
    {
        enum Kind { Octets, Text, Base64 };

        static Piece fromOctets(const QByteArray &octets);
        static Piece fromText(const QString &text, bool quotedPrintable);
        // \a size octets read from \a device, which is open; \a name says
        // what it is when it cannot be read.
        static Piece fromDevice(QSharedPointer<QIODevice> device, qint64 size, const QString &name);

        Kind kind = Octets;
        QByteArray data;
        QString text;
        bool quotedPrintable = false;
        QSharedPointer<QIODevice> device;
        qint64 size = 0;
        QString name;
    };

    // A one-text mail: \a header, then \a text (quoted-printable when
    // \a encode).
    QxSmtpMessageStream(const QByteArray &header, const QString &text, bool encode);
    explicit QxSmtpMessageStream(std::vector<Piece> pieces);
    ~QxSmtpMessageStream();

    bool atEnd() const { return ended; }
    // The next chunk; empty once failed().
    QByteArray next();
    // Whether a device ended early, held more than its size or could not be
    // read: the text is then incomplete and must not be ended.
    bool failed() const { return !failure.isEmpty(); }
    QString errorString() const { return failure; }
    // The octets of the whole DATA text, end marker included. Texts are
    // converted once more to count them; devices are not read.
    qint64 size() const;

    class TextEncoder;

private:
    QByteArray nextBase64(Piece &piece);

    std::vector<Piece> pieces;
    std::size_t index = 0;
    std::unique_ptr<TextEncoder> encoder;
    qint64 base64Read = 0;
    QString failure;
    bool lineStart = true;
    bool ended = false;
};
