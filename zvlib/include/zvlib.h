#pragma once

// zvlib: decimal rounding of doubles.
//
// Both functions round the number as it would be typed: the shortest decimal
// text that reads back as the same double is rounded at a decimal digit and
// read back. So 1.005 rounded to two decimals gives 1.01 and 0.285 gives 0.29,
// where scaling by a power of ten and rounding in binary goes wrong.
// NaN and infinities come back unchanged. Nothing is ever reported: every
// argument combination yields a double.

#if defined(ZVLIB_BUILDING)
#define ZVLIB_EXPORT __attribute__((visibility("default")))
#else
#define ZVLIB_EXPORT
#endif

/// How the dropped digits move the kept ones.
enum ZvRoundingRule : int {
    ZvRoundTowardZero = 0, ///< Drop the digits (truncate).
    ZvRoundAwayFromZero = 1, ///< Any dropped non-zero digit bumps the last kept one.
    ZvRoundHalfAwayFromZero = 2, ///< Nearest; ties go away from zero (commercial rounding).
    ZvRoundHalfToEven = 3, ///< Nearest; ties go to the even digit (banker's rounding).
    ZvRoundTowardNegativeInfinity = 4, ///< Floor.
    ZvRoundTowardPositiveInfinity = 5 ///< Ceiling.
};

/// Rounds \a value to \a decimals digits after the decimal point under \a rule.
/// A negative count rounds to tens, hundreds, ...; a count beyond the digits
/// the value has returns it unchanged. An unknown rule rounds to the nearest.
ZVLIB_EXPORT double ZvRoundToAmountOfDecimals(double value, ZvRoundingRule rule, int decimals);

/// Rounds \a value to \a digits significant digits under \a rule.
/// Fewer than one significant digit is taken as one.
ZVLIB_EXPORT double ZvRoundToAmountOfSignificantDigits(double value, ZvRoundingRule rule,
                                                       int digits);
