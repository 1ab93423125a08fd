// Fuzzes zvlib's two rounding functions on arbitrary doubles, rules and digit
// counts, and checks every result against a slow reference that works on the
// exact decimal expansion of the double with big-integer arithmetic, shares no
// code with zvlib and leaves the final conversion to strtod.
//
// Input: 8 bytes of the double's bit pattern, one byte for the function, one
// signed byte for the rule (unknown values included), 4 bytes of digit count.

#include <zvlib.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

// Unsigned big integer in base 10^9, least significant limb first.
class BigInt
{
public:
    explicit BigInt(std::uint64_t value)
    {
        do {
            limbs.push_back(static_cast<std::uint32_t>(value % base));
            value /= base;
        } while (value != 0);
    }

    void multiply(std::uint32_t factor)
    {
        std::uint64_t carry = 0;
        for (std::uint32_t &limb : limbs) {
            const std::uint64_t product = std::uint64_t(limb) * factor + carry;
            limb = static_cast<std::uint32_t>(product % base);
            carry = product / base;
        }
        while (carry != 0) {
            limbs.push_back(static_cast<std::uint32_t>(carry % base));
            carry /= base;
        }
    }

    std::string decimal() const
    {
        std::string text = std::to_string(limbs.back());
        char chunk[16];
        for (auto limb = limbs.rbegin() + 1; limb != limbs.rend(); ++limb) {
            std::snprintf(chunk, sizeof chunk, "%09u", *limb);
            text += chunk;
        }
        return text;
    }

private:
    static constexpr std::uint64_t base = 1000000000;
    std::vector<std::uint32_t> limbs;
};

// A positive decimal: digits[0] stands at 10^lead, digits[i] at 10^(lead - i).
// No leading or trailing zeros.
struct Decimal
{
    std::string digits;
    long long lead = 0;
};

void stripTrailingZeros(Decimal &d)
{
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
}

// The exact value of a finite, positive double.
Decimal exactDecimal(double value)
{
    int binaryExponent = 0;
    const double fraction = std::frexp(value, &binaryExponent);
    // value = mantissa * 2^shift exactly, mantissa an integer below 2^53.
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));
    int shift = binaryExponent - 53;
    BigInt number(mantissa);
    Decimal d;
    if (shift >= 0) {
        for (; shift >= 29; shift -= 29)
            number.multiply(1u << 29);
        number.multiply(1u << shift);
        d.digits = number.decimal();
        d.lead = static_cast<long long>(d.digits.size()) - 1;
    } else {
        // m * 2^-k = m * 5^k / 10^k.
        int k = -shift;
        for (; k >= 13; k -= 13)
            number.multiply(1220703125u); // 5^13
        for (; k > 0; --k)
            number.multiply(5);
        d.digits = number.decimal();
        d.lead = static_cast<long long>(d.digits.size()) - 1 + shift;
    }
    stripTrailingZeros(d);
    return d;
}

double toDouble(bool negative, const Decimal &d)
{
    const std::string text = (negative ? "-" : "") + d.digits + "e"
            + std::to_string(d.lead - static_cast<long long>(d.digits.size()) + 1);
    return std::strtod(text.c_str(), nullptr);
}

bool sameBits(double a, double b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Adds one unit in the last place of digits; a carry out of the first digit
// moves the lead up.
Decimal incremented(Decimal d)
{
    int i = static_cast<int>(d.digits.size()) - 1;
    for (; i >= 0 && d.digits[i] == '9'; --i)
        d.digits[i] = '0';
    if (i >= 0) {
        ++d.digits[i];
    } else {
        d.digits.insert(d.digits.begin(), '1');
        ++d.lead;
    }
    stripTrailingZeros(d);
    return d;
}

// How the part of d after its first `keep` digits compares with half a unit
// of the last kept place: -1, 0 or 1. Only called when that part is not zero.
int droppedAgainstHalf(const Decimal &d, long long keep)
{
    if (keep < 0)
        return -1; // below a tenth of the unit
    const char first = d.digits[keep];
    if (first != '5')
        return first < '5' ? -1 : 1;
    return keep + 1 < static_cast<long long>(d.digits.size()) ? 1 : 0;
}

Decimal stripped(Decimal d)
{
    stripTrailingZeros(d);
    return d;
}

// The shortest decimal that reads back as value (positive, finite), the
// closest one to it when several have that length, ties to an even last digit.
Decimal shortestDecimal(double value)
{
    const Decimal exact = exactDecimal(value);
    for (std::size_t length = 1;; ++length) {
        if (exact.digits.size() <= length)
            return exact;
        const Decimal low { exact.digits.substr(0, length), exact.lead };
        const Decimal high = incremented(low);
        const bool lowReadsBack = sameBits(toDouble(false, low), value);
        const bool highReadsBack = sameBits(toDouble(false, high), value);
        if (lowReadsBack && highReadsBack) {
            const int half = droppedAgainstHalf(exact, static_cast<long long>(length));
            if (half != 0)
                return half < 0 ? stripped(low) : high;
            return (exact.digits[length - 1] - '0') % 2 == 0 ? stripped(low) : high;
        }
        if (lowReadsBack)
            return stripped(low);
        if (highReadsBack)
            return high;
    }
}

[[noreturn]] void fail(const char *function, double value, int rule, int count, double expected,
                       double alternative, double actual)
{
    std::fprintf(stderr,
                 "%s(%.17g, rule %d, %d) returned %.17g (%a), expected %.17g (%a)"
                 " or %.17g\n",
                 function, value, rule, count, actual, actual, expected, expected, alternative);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    std::uint8_t input[14] = {};
    std::memcpy(input, data, size < sizeof input ? size : sizeof input);
    double value;
    std::memcpy(&value, input, sizeof value);
    const bool significant = input[8] & 1;
    const int rule = static_cast<std::int8_t>(input[9]);
    std::int32_t count;
    std::memcpy(&count, input + 10, sizeof count);

    const char *function
            = significant ? "ZvRoundToAmountOfSignificantDigits" : "ZvRoundToAmountOfDecimals";
    const double actual = significant
            ? ZvRoundToAmountOfSignificantDigits(value, ZvRoundingRule(rule), count)
            : ZvRoundToAmountOfDecimals(value, ZvRoundingRule(rule), count);

    if (!std::isfinite(value) || value == 0.0) {
        if (!sameBits(actual, value))
            fail(function, value, rule, count, value, value, actual);
        return 0;
    }

    const bool negative = std::signbit(value);
    const Decimal typed = shortestDecimal(std::fabs(value));
    const long long keep = significant ? (count < 1 ? 1 : count)
                                       : typed.lead + static_cast<long long>(count) + 1;
    if (keep >= static_cast<long long>(typed.digits.size())) {
        if (!sameBits(actual, value))
            fail(function, value, rule, count, value, value, actual);
        return 0;
    }

    // Rounding picks one of the two neighbours on the grid of the last kept
    // place, 10^(lead - keep + 1); the dropped digits are never all zero here.
    Decimal truncated, bumped;
    if (keep > 0) {
        truncated.digits = typed.digits.substr(0, keep);
        truncated.lead = typed.lead;
        bumped = incremented(truncated);
        stripTrailingZeros(truncated);
    } else {
        bumped.digits = "1";
        bumped.lead = typed.lead - keep + 1;
    }
    const double down = keep > 0 ? toDouble(negative, truncated) : (negative ? -0.0 : 0.0);
    const double up = toDouble(negative, bumped);
    const int half = droppedAgainstHalf(typed, keep);
    const bool lastKeptOdd = keep > 0 && (typed.digits[keep - 1] - '0') % 2 == 1;

    double expected = down, alternative = down;
    switch (rule) {
    case ZvRoundTowardZero:
        break;
    case ZvRoundAwayFromZero:
        expected = alternative = up;
        break;
    case ZvRoundHalfAwayFromZero:
        expected = alternative = half >= 0 ? up : down;
        break;
    case ZvRoundHalfToEven:
        expected = alternative = half > 0 || (half == 0 && lastKeptOdd) ? up : down;
        break;
    case ZvRoundTowardNegativeInfinity:
        expected = alternative = negative ? up : down;
        break;
    case ZvRoundTowardPositiveInfinity:
        expected = alternative = negative ? down : up;
        break;
    default:
        // An unknown rule rounds to the nearest; an exact tie may go either way.
        expected = alternative = half > 0 ? up : down;
        if (half == 0)
            alternative = up;
        break;
    }
    if (!sameBits(actual, expected) && !sameBits(actual, alternative))
        fail(function, value, rule, count, expected, alternative, actual);
    return 0;
}
