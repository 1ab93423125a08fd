#pragma once

#include <QString>

#include <algorithm>
#include <climits>
#include <cmath>

// Writing helpers shared by the rounding and auto-rules validators.
namespace QxNumberText {

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
