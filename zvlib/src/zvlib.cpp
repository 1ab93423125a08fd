#include "zvlib.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {

// A finite, non-zero double as its shortest decimal text:
// value = sign * 0.d1 d2 d3 ... * 10^(exponent + 1), i.e. digits[0] sits at 10^exponent.
struct Decimal
{
    bool negative = false;
    std::string digits;
    long long exponent = 0;
};

Decimal decompose(double value)
{
    char buffer[64];
    const auto result
            = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    Decimal d;
    const char *p = buffer;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; p != result.ptr && *p != 'e'; ++p) {
        if (*p != '.')
            d.digits += *p;
    }
    if (p != result.ptr) {
        int exponent = 0;
        std::from_chars(p + 1 + (p[1] == '+'), result.ptr, exponent);
        d.exponent = exponent;
    }
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

bool roundsUp(const Decimal &d, ZvRoundingRule rule, long long keep)
{
    // keep < number of digits here, so the dropped part is never all zeros.
    const char firstDropped = keep >= 0 ? d.digits[keep] : '0';
    switch (rule) {
    case ZvRoundTowardZero:
        return false;
    case ZvRoundAwayFromZero:
        return true;
    case ZvRoundTowardNegativeInfinity:
        return d.negative;
    case ZvRoundTowardPositiveInfinity:
        return !d.negative;
    case ZvRoundHalfToEven: {
        if (firstDropped != '5')
            return firstDropped > '5';
        const bool moreAfterFive = keep < 0 || keep + 1 < static_cast<long long>(d.digits.size());
        const bool lastKeptOdd = keep > 0 && (d.digits[keep - 1] - '0') % 2 == 1;
        return moreAfterFive || lastKeptOdd;
    }
    case ZvRoundHalfAwayFromZero:
    default:
        return firstDropped >= '5';
    }
}

// Keeps the first `keep` significant digits of value, whose decomposition is d
// (a count that may be zero, negative or beyond the digits present), and
// rounds under rule.
double roundKeepingDigits(double value, const Decimal &d, ZvRoundingRule rule, long long keep)
{
    if (keep >= static_cast<long long>(d.digits.size()))
        return value;

    std::string kept = keep > 0 ? d.digits.substr(0, keep) : std::string();
    // Place value of the last kept digit, as a power of ten.
    const long long scale = d.exponent - keep + 1;
    if (roundsUp(d, rule, keep)) {
        int i = static_cast<int>(kept.size()) - 1;
        for (; i >= 0 && kept[i] == '9'; --i)
            kept[i] = '0';
        if (i >= 0)
            ++kept[i];
        else
            kept.insert(kept.begin(), '1');
    }
    if (kept.empty())
        return std::copysign(0.0, value);

    const std::string text = (d.negative ? "-" : "") + kept + 'e' + std::to_string(scale);
    double result = 0.0;
    const auto parsed = std::from_chars(text.data(), text.data() + text.size(), result);
    if (parsed.ec == std::errc::result_out_of_range)
        return std::copysign(scale > 0 ? std::numeric_limits<double>::infinity() : 0.0, value);
    return result;
}

} // namespace

double ZvRoundToAmountOfDecimals(double value, ZvRoundingRule rule, int decimals)
{
    if (!std::isfinite(value) || value == 0.0)
        return value;
    const Decimal d = decompose(value);
    return roundKeepingDigits(value, d, rule, d.exponent + decimals + 1);
}

double ZvRoundToAmountOfSignificantDigits(double value, ZvRoundingRule rule, int digits)
{
    if (!std::isfinite(value) || value == 0.0)
        return value;
    return roundKeepingDigits(value, decompose(value), rule, digits < 1 ? 1 : digits);
}
