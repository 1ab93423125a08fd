#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// How the text of a mail is put into octets that SMTP carries unchanged:
// plain functions, so that they can be tested and fuzzed without a server.
namespace QxMail {

// RFC 5322, 2.1.1: the longest line of a message, without the CR LF.
constexpr int maxLineOctets = 998;

bool isAscii(QStringView text);
// The length of \a text in UTF-8, counted without converting it.
qint64 utf8Length(QStringView text);

// How the body goes out: as it is when ASCII, 8-bit when UTF-8 with lines
// short enough, else quoted-printable (a line longer than RFC 5322 allows).
struct BodyForm
{
    bool ascii;
    bool quotedPrintable;
    bool eightBit() const { return !ascii && !quotedPrintable; }
};

BodyForm bodyForm(QStringView body);

// Whether the subject goes into its header line as it is: printable ASCII
// that, with "Subject: ", fits a line.
bool isPlainSubject(const QString &subject);

// \a text as RFC 2047 "B" encoded words, folded onto continuation lines.
QByteArray encodedWords(const QString &text);

// Appends the octets from \a p to \a end as RFC 2045 quoted-printable.
// \a column is the length of the output line so far; soft line breaks keep
// every line within 76 characters.
void appendQuotedPrintable(QByteArray &out, const char *p, const char *end, int &column);

} // namespace QxMail
