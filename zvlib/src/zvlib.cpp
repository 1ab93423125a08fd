#include "zvlib.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// A finite, non-zero double as its shortest decimal text:
// value = sign * 0.d1 d2 d3 ... * 10^(exponent + 1), i.e. digits[0] sits at 10^exponent.
// Fixed buffers rather than strings: the validators round on every repair, and
// allocations would be most of the cost.
struct Decimal
{
    bool negative = false;
    char digits[17] = {}; // a double's shortest text has at most 17 digits
    int count = 0;
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
            d.digits[d.count++] = *p;
    }
    if (p != result.ptr) {
        int exponent = 0;
        std::from_chars(p + 1 + (p[1] == '+'), result.ptr, exponent);
        d.exponent = exponent;
    }
    while (d.count > 1 && d.digits[d.count - 1] == '0')
        --d.count;
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
        const bool moreAfterFive = keep < 0 || keep + 1 < d.count;
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
    if (keep >= d.count)
        return value;

    // Sign, a carry digit, the kept digits, 'e' and the exponent.
    char text[64];
    char *const first = text + (d.negative ? 2 : 1);
    const int kept = keep > 0 ? int(keep) : 0;
    std::memcpy(first, d.digits, std::size_t(kept));
    char *begin = first;
    char *end = first + kept;
    // Place value of the last kept digit, as a power of ten.
    const long long scale = d.exponent - keep + 1;
    if (roundsUp(d, rule, keep)) {
        char *digit = end - 1;
        for (; digit >= first && *digit == '9'; --digit)
            *digit = '0';
        if (digit >= first)
            ++*digit;
        else
            *--begin = '1';
    }
    if (begin == end)
        return std::copysign(0.0, value);

    if (d.negative)
        *--begin = '-';
    *end++ = 'e';
    end = std::to_chars(end, text + sizeof text, scale).ptr;
    double result = 0.0;
    const auto parsed = std::from_chars(begin, end, result);
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
