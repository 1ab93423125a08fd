#pragma once

#include "QxCustomValidator.h"
#include "lumo_export.h"

/// Rounds the typed number to a number of significant digits and writes it in
/// fixed-point notation without insignificant trailing zeros.
///
/// With 3 digits, "0.000123456" becomes "0.000123", "123456" becomes "123000"
/// and "100" stays "100". A value below the double epsilon in magnitude
/// (2^-52), which includes 0 and text that is no number, leaves the text
/// exactly as typed. Acceptance (validate()) keeps the base's limit of
/// 3 decimals, whatever the count.
class LUMO_EXPORT QxSignificantDigitsValidator : public QxCustomValidator
{
public:
    /// Rounds to \a digits significant digits (fewer than one counts as one).
    QxSignificantDigitsValidator(int digits, QObject *parent);
    ~QxSignificantDigitsValidator() override;

    using QxCustomValidator::fixup;
    /// Returns ZvRoundToAmountOfSignificantDigits(\a value, \a rule, digits).
    double fixup(double value, ZvRoundingRule rule) const override;
    /// Reads \a text as locale() reads it, rounds it through the virtual
    /// fixup(double, ZvRoundingRule) and writes it with as many decimals as
    /// keep the digits significant (none for large values), then
    /// removeTrailingZero().
    void fixup(QString &text, ZvRoundingRule rule) const override;

protected:
    /// The number of significant digits, fixed at construction.
    const int m_digits;
};
