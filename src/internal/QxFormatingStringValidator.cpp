#include "QxFormatingStringValidator.h"

#include "QxNumberText.h"

#include <algorithm>

namespace {

// Bounds the text a format can ask for (about 10,000 characters even for the
// largest double), well inside what a QLineEdit holds.
constexpr int maxWidthOrPrecision = 9999;

bool isOneOf(QChar c, QLatin1String set)
{
    return c.unicode() != 0 && set.contains(c);
}

// Steps over a run of decimal digits; false when their value exceeds the limit.
bool skipNumber(const QString &format, int &i)
{
    int value = 0;
    for (; i < format.size() && isOneOf(format.at(i), QLatin1String("0123456789")); ++i) {
        value = value * 10 + (format.at(i).unicode() - '0');
        if (value > maxWidthOrPrecision)
            return false;
    }
    return true;
}

struct SplitFormat
{
    QString prefix;
    QByteArray conversion;
    QString suffix;
};

// The format split around its one conversion, with "%%" already written as
// "%" in the literal parts; an empty conversion when the format is outside
// the contract. Only a conversion that reads exactly one double may reach
// sprintf: any other would read (or with %n write) memory through a missing
// argument.
SplitFormat split(const QString &format)
{
    SplitFormat parts;
    QString literal;
    for (int i = 0; i < format.size();) {
        if (format.at(i) != QLatin1Char('%')) {
            literal += format.at(i++);
            continue;
        }
        const int start = i++;
        if (i < format.size() && format.at(i) == QLatin1Char('%')) {
            literal += format.at(i++);
            continue;
        }
        if (!parts.conversion.isEmpty())
            return {};
        while (i < format.size() && isOneOf(format.at(i), QLatin1String("#0- +'")))
            ++i;
        if (!skipNumber(format, i))
            return {};
        if (i < format.size() && format.at(i) == QLatin1Char('.') && !skipNumber(format, ++i))
            return {};
        if (i < format.size() && format.at(i) == QLatin1Char('l'))
            ++i;
        if (i == format.size() || !isOneOf(format.at(i), QLatin1String("fFeEgGaA")))
            return {};
        ++i;
        parts.conversion = format.mid(start, i - start).toLatin1();
        parts.prefix = literal;
        literal.clear();
    }
    if (parts.conversion.isEmpty())
        return {};
    parts.suffix = literal;
    return parts;
}

// Where the exponent that starts at mark in a number ends: after its sign
// and digits.
int exponentEnd(const QString &number, int mark)
{
    int end = mark + 1;
    if (end < number.size() && isOneOf(number.at(end), QLatin1String("+-")))
        ++end;
    while (end < number.size() && isOneOf(number.at(end), QLatin1String("0123456789")))
        ++end;
    return end;
}

// Trims trailing zeros through trim, with the exponent text[mark, end) set
// aside (when mark is not negative), so only the mantissa loses zeros.
void trimMantissa(QString &text, int mark, int end, void (*trim)(QString &))
{
    if (mark < 0) {
        trim(text);
        return;
    }
    const QString exponent = text.mid(mark, end - mark);
    text.remove(mark, end - mark);
    trim(text);
    text.insert(std::min<qsizetype>(mark, text.size()), exponent);
}

// Drops the zeros that end the fraction of a number written in the C locale,
// then a point left bare. A "," there is a group separator: a number without
// "." has no fraction and is left alone.
void trimFraction(QString &number)
{
    if (!number.contains(QLatin1Char('.')))
        return;
    while (number.endsWith(QLatin1Char('0')))
        number.chop(1);
    if (number.endsWith(QLatin1Char('.')))
        number.chop(1);
}

} // namespace

QxFormatingStringValidator::QxFormatingStringValidator(const QString &format, QObject *parent)
    : QxCustomValidator(parent)
{
    const SplitFormat parts = split(format);
    m_prefix = parts.prefix;
    m_conversion = parts.conversion;
    m_suffix = parts.suffix;
}

QxFormatingStringValidator::~QxFormatingStringValidator() = default;

bool QxFormatingStringValidator::isUsableFormat(const QString &format)
{
    return !split(format).conversion.isEmpty();
}

QString QxFormatingStringValidator::withoutLiterals(const QString &text, bool *partial) const
{
    QString number = text;
    if (!m_prefix.isEmpty() && number.startsWith(m_prefix))
        number.remove(0, m_prefix.size());
    if (!m_suffix.isEmpty() && number.endsWith(m_suffix)) {
        number.chop(m_suffix.size());
    } else if (partial) {
        // The beginning of the suffix, as it stands while it is being typed.
        for (int length = m_suffix.size() - 1; length > 0; --length) {
            if (number.endsWith(m_suffix.left(length))) {
                number.chop(length);
                *partial = true;
                break;
            }
        }
    }
    return number;
}

double QxFormatingStringValidator::textValue(const QString &text, bool *ok) const
{
    const QLocale locale = this->locale();
    bool read = false;
    const double number = QxNumberText::read(text, locale, &read);
    if (read) {
        if (ok)
            *ok = true;
        return number;
    }
    // The format's own output ("2.50%") means the number inside its literal
    // text, and so does text whose suffix is still being typed ("2.5 °" for
    // "%.1f °C"), which validate() lets through: Return there keeps 2.5.
    bool partial = false;
    return QxNumberText::read(withoutLiterals(text, &partial), locale, ok);
}

double QxFormatingStringValidator::value(const QString &text) const
{
    return textValue(text, nullptr);
}

QValidator::State QxFormatingStringValidator::validate(QString &input, int &pos) const
{
    // A format that is never used repairs nothing: Qt's digit limit stays.
    if (m_conversion.isEmpty())
        return QDoubleValidator::validate(input, pos);
    State typed = QxNumberText::acceptance(*this, input, !clampsToRange());
    if (typed != Acceptable) {
        bool partial = false;
        const QString number = withoutLiterals(input, &partial);
        if (number != input) {
            const State inside = QxNumberText::acceptance(*this, number, !clampsToRange());
            typed = partial ? std::min(inside, Intermediate) : inside;
            // The prefix alone, or part of it, starts a text of the format.
            if (number.isEmpty() || (typed == Invalid && m_prefix.startsWith(input)))
                typed = Intermediate;
        } else if (!input.isEmpty() && m_prefix.startsWith(input)) {
            typed = Intermediate;
        }
    }
    if (typed != Acceptable)
        return typed;
    QString repaired = input;
    fixup(repaired);
    return value(repaired) == value(input) ? Acceptable : Intermediate;
}

void QxFormatingStringValidator::fixup(QString &text, ZvRoundingRule) const
{
    if (m_conversion.isEmpty())
        return;
    const QLocale locale = this->locale();
    // asprintf writes exactly what the deprecated QString::sprintf wrote.
    QString number = QString::asprintf(m_conversion.constData(), value(text));
    // Qt writes the a and A conversions like f, so "e" only ever starts an exponent.
    const int mark = number.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    const int end = mark < 0 ? mark : exponentEnd(number, mark);

    if (QxNumberText::isC(locale)) {
        // The literal text is copied as it is rather than through a Latin-1
        // format that Qt would decode as UTF-8, so "%.1f °C" keeps its degree
        // sign. The trimming looks at the end of the whole text.
        text = m_prefix + number + m_suffix;
        const int shift = mark < 0 ? 0 : m_prefix.size();
        trimMantissa(text, mark + shift, end + shift, removeTrailingZero);
        return;
    }
    // Elsewhere only the number is trimmed, and only where it ends the text:
    // the literal text around it holds no decimal point of the number's.
    if (m_suffix.isEmpty())
        trimMantissa(number, mark, end, trimFraction);
    text = m_prefix + QxNumberText::localized(number, locale) + m_suffix;
}
