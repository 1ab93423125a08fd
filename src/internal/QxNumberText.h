#pragma once

#include "QxQtCompat.h"

#include <QDoubleValidator>
#include <QLocale>
#include <QString>

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

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
inline double read(const QString &text, const QLocale &locale, bool *ok = nullptr)
{
    return isC(locale) ? text.toDouble(ok) : QxQtCompat::toDouble(locale, text, ok);
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

// A number written with the locale's digits, decimal point, group separator,
// signs and exponent, rewritten with the C locale's: the reverse of
// localized(). An exponent that the text ends with only the beginning of
// (Arabic's has two letters) becomes "e" too, so that typing it is not refused.
inline QString unlocalized(const QString &text, const QLocale &locale)
{
    QString plain = text;
    const QString exponential = locale.exponential();
    for (int length = exponential.size() - 1; length > 0; --length) {
        if (plain.endsWith(exponential.left(length), Qt::CaseInsensitive)) {
            plain.chop(length);
            plain += QLatin1Char('e');
            break;
        }
    }
    plain.replace(exponential, QLatin1String("e"), Qt::CaseInsensitive)
            .replace(locale.negativeSign(), QLatin1String("-"))
            .replace(locale.positiveSign(), QLatin1String("+"));
    const QString point = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    QString result;
    result.reserve(plain.size());
    for (const QChar c : plain) {
        if (QString(c) == point)
            result += QLatin1Char('.');
        else if (QString(c) == group)
            result += QLatin1Char(',');
        else if (c.isDigit())
            result += QLatin1Char(char('0' + c.digitValue()));
        else
            result += c;
    }
    return result;
}

// What QDoubleValidator with the settings of validator (range, notation,
// locale) says of number when any number of decimals is allowed: the
// validators' repairs, not a digit limit, decide how many digits a number
// keeps. The C locale reads no group separator, so there a "," is refused
// rather than accepted and then read as no number. Where Qt 6.4 refuses text
// written with the locale's own signs and exponent (Arabic (Egypt)), the same
// number in the C locale's characters decides. Unless bounded, the range is
// left out: any number of the notation is then acceptable.
inline QValidator::State acceptance(const QDoubleValidator &validator, const QString &number,
                                    bool bounded = true)
{
    const QLocale locale = validator.locale();
    if (isC(locale) && number.contains(QLatin1Char(',')))
        return QValidator::Invalid;
    constexpr double infinity = std::numeric_limits<double>::infinity();
    QDoubleValidator qt(bounded ? validator.bottom() : -infinity,
                        bounded ? validator.top() : infinity, 1000, nullptr);
    qt.setNotation(validator.notation());
    qt.setLocale(locale);
    QString text = number;
    int position = text.size();
    const QValidator::State state = qt.validate(text, position);
    if (state == QValidator::Acceptable || !QxQtCompat::localeRefusesItsOwnSigns || isC(locale))
        return state;
    QString plain = unlocalized(number, locale);
    if (plain == number || plain.contains(QLatin1Char(',')))
        return state;
    qt.setLocale(QLocale::c());
    position = plain.size();
    return std::max(state, qt.validate(plain, position));
}

} // namespace QxNumberText
