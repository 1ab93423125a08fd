#include "QxFormatingStringValidator.h"

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

} // namespace

QxFormatingStringValidator::QxFormatingStringValidator(const QString &format, QObject *parent)
    : QxCustomValidator(parent)
{
    // Only a conversion that reads exactly one double may reach sprintf: any
    // other would read (or with %n write) memory through a missing argument.
    QString literal;
    QByteArray conversion;
    QString prefix;
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
        if (!conversion.isEmpty())
            return;
        while (i < format.size() && isOneOf(format.at(i), QLatin1String("#0- +'")))
            ++i;
        if (!skipNumber(format, i))
            return;
        if (i < format.size() && format.at(i) == QLatin1Char('.') && !skipNumber(format, ++i))
            return;
        if (i < format.size() && format.at(i) == QLatin1Char('l'))
            ++i;
        if (i == format.size() || !isOneOf(format.at(i), QLatin1String("fFeEgGaA")))
            return;
        ++i;
        conversion = format.mid(start, i - start).toLatin1();
        prefix = literal;
        literal.clear();
    }
    if (conversion.isEmpty())
        return;
    m_prefix = prefix;
    m_conversion = conversion;
    m_suffix = literal;
}

QxFormatingStringValidator::~QxFormatingStringValidator() = default;

void QxFormatingStringValidator::fixup(QString &text, ZvRoundingRule) const
{
    if (m_conversion.isEmpty())
        return;
    QString number;
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    number.sprintf(m_conversion.constData(), text.toDouble());
    QT_WARNING_POP
    // The literal text is copied as it is rather than through a Latin-1 format
    // that Qt would decode as UTF-8, so "%.1f °C" keeps its degree sign.
    text = m_prefix + number + m_suffix;

    const int mark = number.indexOf(QLatin1Char('e'), 0, Qt::CaseInsensitive);
    if (mark < 0) {
        removeTrailingZero(text);
        return;
    }
    int end = mark + 1;
    if (end < number.size() && isOneOf(number.at(end), QLatin1String("+-")))
        ++end;
    while (end < number.size() && isOneOf(number.at(end), QLatin1String("0123456789")))
        ++end;
    const int at = m_prefix.size() + mark;
    const QString exponent = text.mid(at, end - mark);
    text.remove(at, end - mark);
    removeTrailingZero(text);
    text.insert(std::min(at, text.size()), exponent);
}
