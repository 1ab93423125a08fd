#pragma once

#include "QxQtCompat.h"

#include <QLocale>
#include <QString>

#include <algorithm>
#include <climits>
#include <cmath>

// Reading and writing helpers shared by the validators' repairs.
//
// A repair reads the text as the validator's locale reads it, writes the
// result in the C locale (where the rounding, the precision limits and the
// trimming of trailing zeros are defined) and then puts the locale's
// characters in place of the C ones. The C locale itself keeps
// QString::toDouble's reading, which takes no group separators, so its texts
// are exactly those the validators have always written.
namespace QxNumberText {

inline bool isC(const QLocale &locale)
{
    return locale.language() == QLocale::C;
}

// The text read as a number of the locale, group separators included, and
// with the signs and exponent that the locale writes; text that is no number
// there reads as 0.
inline double read(const QString &text, const QLocale &locale)
{
    return isC(locale) ? text.toDouble() : QxQtCompat::toDouble(locale, text);
}

// A number written in the C locale (ASCII digits, "." as decimal point, ","
// as group separator, "-", "+", "e" or "E" before the exponent, "inf" and
// "nan") with the locale's digits and signs instead. Other characters stay.
inline QString localized(const QString &number, const QLocale &locale)
{
    if (isC(locale))
        return number;
    QString digits[10];
    for (int digit = 0; digit < 10; ++digit)
        digits[digit] = locale.toString(digit);
    QString text;
    text.reserve(number.size());
    for (const QChar c : number) {
        switch (c.unicode()) {
        case '.':
            text += locale.decimalPoint();
            break;
        case ',':
            text += locale.groupSeparator();
            break;
        case '-':
            text += locale.negativeSign();
            break;
        case '+':
            text += locale.positiveSign();
            break;
        case 'e':
            text += locale.exponential();
            break;
        case 'E':
            text += locale.exponential().toUpper();
            break;
        default:
            if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
                text += digits[c.unicode() - '0'];
            else
                text += c;
        }
    }
    return text;
}

// A double's exact decimal expansion ends at most 1074 digits after the point
// (the smallest subnormal is 2^-1074), so a wider precision only appends zeros.
// Capping it keeps an absurd digit count from allocating gigabytes of zeros.
constexpr long long maxPrecision = 1074;

// The value written with QString::arg on "%1": field width 0, blank fill.
// Negative precisions reach Qt unchanged (clamped into int), as Qt gives them
// a meaning of their own.
inline QString write(double value, char format, long long precision)
{
    const auto clamped = std::clamp<long long>(precision, INT_MIN, maxPrecision);
    return QStringLiteral("%1").arg(value, 0, format, static_cast<int>(clamped), QLatin1Char(' '));
}

// The decimals that leave `digits` significant digits of a number of this
// magnitude in fixed-point notation: digits - ceil(log10(magnitude)), at least
// 0, and 0 when the logarithm is not finite (0, infinity, NaN). Computed in
// long long so that no digit count overflows.
inline long long fixedPointDecimals(int digits, double magnitude)
{
    const double exponent = std::ceil(std::log10(magnitude));
    if (!std::isfinite(exponent))
        return 0;
    return std::max(0LL, static_cast<long long>(digits) - static_cast<long long>(exponent));
}

} // namespace QxNumberText
